// The BIFF2 worksheet as a target: the fixed header, DIMENSIONS, per record
// a ROW record and its cells, the fixed trailer. A whole row is encoded
// into one reservation of the output buffer. Texts keep their bytes, but
// those of an EBCDIC or UTF-8 source, which go into 1252.
#pragma once

#include <algorithm>
#include <atomic>
#include <bit>
#include <optional>

#include "codepage/CodePages.h"
#include "codepage/Windows1252Transcoder.h"
#include "sheet/OutputBuffer.h"
#include "sheet/SheetWriter.h"
#include "target/CellTarget.h"

namespace zorbik {

class Biff2Target {
public:
    // `capacity`: bytes collected before a write, raised to a row's at
    // least; `writeBehind` as OutputBuffer has it; `names`: a first row of
    // the columns' names, record k in row k + 1.
    Biff2Target(ByteSink& sink, const std::atomic<bool>& stop, std::size_t capacity, bool writeBehind,
                bool names = false)
        : sink_(sink), stop_(stop), capacity_(capacity), writeBehind_(writeBehind), names_(names ? 1 : 0)
    {
    }

    // Bytes of the largest row the columns can give: its ROW record and
    // the largest cell of every column.
    static std::size_t MaxRowBytes(const std::vector<TargetColumn>& columns)
    {
        std::size_t bytes = SheetWriter::kRowRecordSize;
        for (const TargetColumn& column : columns) {
            bytes += column.kind == CellKind::Text
                         ? SheetWriter::LabelCellSize(std::min(column.bytes, SheetWriter::kMaxLabel))
                         : SheetWriter::kNumberCellSize;
        }
        return bytes;
    }

    bool Begin(const TargetStart& start)
    {
        maxRowBytes_ = std::max(MaxRowBytes(start.columns), names_ != 0 ? NamesBytes(start.columns) : 0);
        columnCount_ = static_cast<std::uint32_t>(start.columns.size());
        out_.emplace(sink_, &stop_, std::max(capacity_, maxRowBytes_), writeBehind_);
        SheetWriter writer(*out_);
        writer.WriteSheetHeader(CodePageRecordValue(start.codePage));
        // The sheet declares one page: 1252 for a source it transcodes,
        // else the source's. A column of another page is transcoded into
        // 1252 where the sheet declares it, and keeps its bytes where not.
        const std::uint16_t declared = WorksheetTranscodes(start.codePage) ? kDefaultCodePage : start.codePage;
        std::vector<std::uint16_t> made;
        for (const TargetColumn& column : start.columns) {
            const std::uint16_t page = column.codePage == 0 ? start.codePage : column.codePage;
            std::size_t at = 0;
            if (page != declared && declared == kDefaultCodePage) {
                while (at < made.size() && made[at] != page)
                    ++at;
                if (at == made.size()) {
                    made.push_back(page);
                    transcoders_.emplace_back(page);
                }
                ++at; // 0: bytes kept
            }
            transcoderOf_.push_back(static_cast<std::uint32_t>(at));
        }
        writer.WriteDimensions(static_cast<std::uint32_t>(start.recordCount + names_), columnCount_);
        if (names_ != 0)
            PutNames(start.columns);
        return true;
    }
    void Row(std::uint64_t k)
    {
        const auto row = static_cast<std::uint32_t>(k + names_);
        rowStart_ = out_->Reserve(maxRowBytes_);
        at_ = SheetWriter::PutRowRecord(rowStart_, row, columnCount_);
        cell_ = CellAddress(row, 0);
        column_ = 0;
    }
    void Text(const std::uint8_t* bytes, std::uint32_t n)
    {
        if (const std::uint32_t t = transcoderOf_[column_]; t != 0) {
            n = transcoders_[t - 1].Transcode(bytes, n, text_, SheetWriter::kMaxLabel);
            bytes = text_;
        }
        at_ = SheetWriter::PutLabelCell(at_, cell_, bytes, n);
        Next();
    }
    // Integers of 0 to 65535 are INTEGER cells, the others numbers.
    void Integer(std::int64_t value)
    {
        if (value >= 0 && value <= 0xFFFF) {
            at_ = SheetWriter::PutIntegerCell(at_, cell_, static_cast<std::uint16_t>(value));
            Next();
        } else {
            Number(static_cast<double>(value));
        }
    }
    void Unsigned(std::uint64_t value) { Number(static_cast<double>(value)); }
    // A date is the number its bytes are as digits (or the day number of
    // a TDateTime): a BIFF2 cell's format comes from the sheet's fixed
    // header, which has no date format.
    void Date(const DateValue&, double asNumber) { Number(asNumber); }
    // No cell at all.
    void Empty(bool) { Next(); }
    void Number(double value)
    {
        std::uint8_t bytes[8];
        StoreLe64(bytes, std::bit_cast<std::uint64_t>(value));
        at_ = SheetWriter::PutNumberCell(at_, cell_, bytes);
        Next();
    }
    void EndRow() { out_->Commit(static_cast<std::size_t>(at_ - rowStart_)); }
    bool Failed() const { return out_ && out_->Failed(); }
    bool End()
    {
        SheetWriter(*out_).WriteSheetTrailer();
        out_->Drain();
        return !out_->Failed();
    }
    void Abort()
    {
        if (out_)
            out_->Settle();
    }
    TargetNotes Notes() const
    {
        std::uint64_t unmapped = 0;
        for (const Windows1252Transcoder& transcoder : transcoders_)
            unmapped += transcoder.Unmapped();
        return {unmapped, 0};
    }

private:
    // Row 0: the names, ASCII, which every page the sheet declares holds.
    static std::uint32_t NameBytes(const TargetColumn& column)
    {
        return static_cast<std::uint32_t>(std::min<std::size_t>(column.name.size(), SheetWriter::kMaxLabel));
    }
    static std::size_t NamesBytes(const std::vector<TargetColumn>& columns)
    {
        std::size_t bytes = SheetWriter::kRowRecordSize;
        for (const TargetColumn& column : columns)
            bytes += SheetWriter::LabelCellSize(NameBytes(column));
        return bytes;
    }
    void PutNames(const std::vector<TargetColumn>& columns)
    {
        std::uint8_t* start = out_->Reserve(NamesBytes(columns));
        std::uint8_t* at = SheetWriter::PutRowRecord(start, 0, columnCount_);
        CellAddress cell(0, 0);
        for (const TargetColumn& column : columns) {
            at = SheetWriter::PutLabelCell(at, cell, reinterpret_cast<const std::uint8_t*>(column.name.data()),
                                           NameBytes(column));
            cell = cell.NextColumn();
        }
        out_->Commit(static_cast<std::size_t>(at - start));
    }

    void Next()
    {
        cell_ = cell_.NextColumn();
        ++column_;
    }

    ByteSink& sink_;
    const std::atomic<bool>& stop_;
    std::size_t capacity_;
    bool writeBehind_;
    std::uint32_t names_; // rows before the first record
    std::optional<OutputBuffer> out_;
    std::size_t maxRowBytes_ = 0;
    std::uint32_t columnCount_ = 0;
    std::uint8_t* rowStart_ = nullptr;
    std::uint8_t* at_ = nullptr;
    CellAddress cell_{0, 0};
    std::vector<Windows1252Transcoder> transcoders_;
    std::vector<std::uint32_t> transcoderOf_; // per column: 0 keeps the bytes, t the transcoder t - 1
    std::uint32_t column_ = 0;
    std::uint8_t text_[SheetWriter::kMaxLabel]; // a text in 1252
};

} // namespace zorbik
