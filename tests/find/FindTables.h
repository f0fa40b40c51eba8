// Sources for the finder's tests: records made by a function behind a
// header, dBASE III tables in a DOS or a Windows code page, and the files
// of the source tree.
#pragma once

#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "codepage/CodePages.h"
#include "find/ByteSample.h"
#include "support/MemoryIo.h"

namespace zorbik::findtest {

using Bytes = std::vector<std::uint8_t>;
using MakeRecord = std::function<void(Bytes&, std::uint32_t k, std::mt19937& rng)>;

inline void Int(Bytes& b, std::uint64_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline void Put(Bytes& b, std::string text, std::size_t width, char pad = ' ')
{
    text.resize(width, pad);
    b.insert(b.end(), text.begin(), text.end());
}

inline void Right(Bytes& b, const std::string& text, std::size_t width)
{
    Put(b, std::string(width - text.size(), ' ') + text, width);
}

// COBOL's packed decimal (COMP-3) of `width` bytes: digit nibbles, then
// the sign nibble C or D, F when unsigned.
inline void Packed(Bytes& b, std::int64_t value, int width, bool isSigned = true)
{
    std::string hex = std::to_string(value < 0 ? -value : value) + (!isSigned ? "F" : value < 0 ? "D" : "C");
    hex.insert(0, 2 * static_cast<std::size_t>(width) - hex.size(), '0');
    for (std::size_t i = 0; i < hex.size(); i += 2)
        b.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
}

// A COBOL DISPLAY number of `width` digits with its sign overpunched on the
// last one: 'p'..'y' when negative (GnuCOBOL), or IBM's '{' 'A'..'I' and
// '}' 'J'..'R'.
inline void Zoned(Bytes& b, std::int64_t value, int width, bool ibm = false)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    const int last = digits.back() - '0';
    if (ibm)
        digits.back() = (value < 0 ? "}JKLMNOPQR" : "{ABCDEFGHI")[last];
    else if (value < 0)
        digits.back() = static_cast<char>('p' + last);
    b.insert(b.end(), digits.begin(), digits.end());
}

inline std::string Pick(std::mt19937& rng, const std::vector<std::string>& words)
{
    return words[rng() % words.size()];
}

// `header`, `count` records, `tail`.
inline Bytes Records(Bytes header, int count, const MakeRecord& record, const Bytes& tail = {})
{
    std::mt19937 rng(7);
    for (int k = 0; k < count; ++k)
        record(header, static_cast<std::uint32_t>(k), rng);
    header.insert(header.end(), tail.begin(), tail.end());
    return header;
}

inline Bytes RandomBytes(std::size_t n, unsigned seed = 3)
{
    std::mt19937 rng(seed);
    Bytes b;
    for (std::size_t i = 0; i < n; ++i)
        b.push_back(static_cast<std::uint8_t>(rng()));
    return b;
}

inline ByteSample SampleOf(const Bytes& bytes)
{
    return ReadSample(MemorySource(bytes));
}

// UTF-8 text in a code page: each character as the byte that shows it.
inline std::string Encode(const std::string& utf8, std::uint16_t codePage)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = (utf8[i] & 0x80) == 0 ? 1 : (utf8[i] & 0xE0) == 0xC0 ? 2 : 3;
        char byte = utf8[i];
        for (int b = 0x80; n > 1 && b < 0x100; ++b)
            if (CodePageCharUtf8(static_cast<std::uint8_t>(b), codePage) == utf8.substr(i, n))
                byte = static_cast<char>(b);
        out += byte;
        i += n;
    }
    return out;
}

// A dBASE III table of texts (C) and right-aligned numbers (N): header, one
// descriptor per field, 0Dh, records behind a blank deletion flag, 1Ah.
struct DbfField {
    char kind;
    std::uint8_t width;
};

inline std::uint32_t DbfHeaderLength(std::size_t fields)
{
    return static_cast<std::uint32_t>(32 * fields + 33);
}

inline Bytes DbfTable(const std::vector<DbfField>& fields, const std::vector<std::vector<std::string>>& rows)
{
    std::uint32_t length = 1;
    for (const DbfField& f : fields)
        length += f.width;
    Bytes b{3, 95, 1, 1};
    Int(b, rows.size(), 4);
    Int(b, DbfHeaderLength(fields.size()), 2);
    Int(b, length, 2);
    b.resize(32, 0);
    for (std::size_t k = 0; k < fields.size(); ++k) {
        Put(b, "F" + std::to_string(k), 11, '\0');
        b.push_back(static_cast<std::uint8_t>(fields[k].kind));
        Put(b, "", 4, '\0');
        b.insert(b.end(), {fields[k].width, 0});
        Put(b, "", 14, '\0');
    }
    b.push_back(0x0D);
    for (const std::vector<std::string>& row : rows) {
        b.push_back(' ');
        for (std::size_t k = 0; k < fields.size(); ++k) {
            const std::string& cell = row[k];
            fields[k].kind == 'C' ? Put(b, cell, fields[k].width) : Right(b, cell, fields[k].width);
        }
    }
    b.push_back(0x1A);
    return b;
}

// Names and cities with umlauts in `codePage`, an age and an amount:
// " 37  7919.10" at offset 27.
inline Bytes UmlautTable(std::uint16_t codePage)
{
    const std::vector<std::string> names = {"Müller", "Schäfer", "Groß", "Weiß, Käthe", "Böhm", "Jäger", "Dupont", "Nørgaard"};
    const std::vector<std::string> cities = {"Zürich", "Lübeck", "Düsseldorf", "München", "Köln", "Århus", "Leeds", "Paris"};
    std::mt19937 rng(static_cast<unsigned>(codePage));
    std::vector<std::vector<std::string>> rows;
    for (int k = 0; k < 120; ++k)
        rows.push_back({Encode(Pick(rng, names), codePage), Encode(Pick(rng, cities), codePage),
                        std::to_string(18 + rng() % 80),
                        std::to_string(rng() % 10000) + "." + std::to_string(10 + rng() % 90)});
    return DbfTable({{'C', 14}, {'C', 12}, {'N', 3}, {'N', 9}}, rows);
}

inline Bytes SourceFile(const std::string& path)
{
    std::ifstream in(std::string(ZORBIK_SOURCE_DIR) + "/" + path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace zorbik::findtest
