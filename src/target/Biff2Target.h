// The BIFF2 worksheet as a target: the fixed header, DIMENSIONS, per record
// a ROW record and its cells, the fixed trailer. A whole row is encoded
// into one reservation of the output buffer.
#pragma once

#include <algorithm>
#include <atomic>
#include <bit>
#include <optional>

#include "codepage/CodePages.h"
#include "sheet/OutputBuffer.h"
#include "sheet/SheetWriter.h"
#include "target/CellTarget.h"

namespace zorbik {

class Biff2Target {
public:
    // `capacity`: bytes collected before a write, raised to a row's at
    // least; `writeBehind` as OutputBuffer has it.
    Biff2Target(ByteSink& sink, const std::atomic<bool>& stop, std::size_t capacity, bool writeBehind)
        : sink_(sink), stop_(stop), capacity_(capacity), writeBehind_(writeBehind)
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
        maxRowBytes_ = MaxRowBytes(start.columns);
        columnCount_ = static_cast<std::uint32_t>(start.columns.size());
        out_.emplace(sink_, &stop_, std::max(capacity_, maxRowBytes_), writeBehind_);
        SheetWriter writer(*out_);
        writer.WriteSheetHeader(CodePageRecordValue(start.codePage));
        writer.WriteDimensions(static_cast<std::uint32_t>(start.recordCount), columnCount_);
        return true;
    }
    void Row(std::uint64_t k)
    {
        rowStart_ = out_->Reserve(maxRowBytes_);
        at_ = SheetWriter::PutRowRecord(rowStart_, static_cast<std::uint32_t>(k), columnCount_);
        cell_ = CellAddress(static_cast<std::uint32_t>(k), 0);
    }
    void Text(const std::uint8_t* bytes, std::uint32_t n)
    {
        at_ = SheetWriter::PutLabelCell(at_, cell_, bytes, n);
        cell_ = cell_.NextColumn();
    }
    // Integers of 0 to 65535 are INTEGER cells, the others numbers.
    void Integer(std::int64_t value)
    {
        if (value >= 0 && value <= 0xFFFF) {
            at_ = SheetWriter::PutIntegerCell(at_, cell_, static_cast<std::uint16_t>(value));
            cell_ = cell_.NextColumn();
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
    void Empty(bool) { cell_ = cell_.NextColumn(); }
    void Number(double value)
    {
        std::uint8_t bytes[8];
        StoreLe64(bytes, std::bit_cast<std::uint64_t>(value));
        at_ = SheetWriter::PutNumberCell(at_, cell_, bytes);
        cell_ = cell_.NextColumn();
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
    TargetNotes Notes() const { return {}; }

private:
    ByteSink& sink_;
    const std::atomic<bool>& stop_;
    std::size_t capacity_;
    bool writeBehind_;
    std::optional<OutputBuffer> out_;
    std::size_t maxRowBytes_ = 0;
    std::uint32_t columnCount_ = 0;
    std::uint8_t* rowStart_ = nullptr;
    std::uint8_t* at_ = nullptr;
    CellAddress cell_{0, 0};
};

} // namespace zorbik
