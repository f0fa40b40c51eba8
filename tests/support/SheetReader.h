// A minimal reader of the worksheet files the program writes, for tests:
// checks the record framing and decodes the cells.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace zorbik::testing {

struct Cell {
    enum Kind { Label, Integer, Number } kind;
    std::uint16_t row;
    std::uint16_t column;
    std::string text;     // Label
    std::uint16_t integer = 0; // Integer
    double number = 0;    // Number
    std::uint64_t bits = 0;
};

struct Sheet {
    bool wellFormed = false;
    std::string error;
    std::uint16_t dimRows = 0, dimColumns = 0;
    std::vector<std::uint16_t> rowRecords; // row index of each ROW record
    std::vector<Cell> cells;
};

inline std::uint16_t Le16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline Sheet ReadSheet(const std::vector<std::uint8_t>& bytes)
{
    Sheet sheet;
    std::size_t pos = 0;
    bool sawEof = false;
    while (pos + 4 <= bytes.size()) {
        const std::uint16_t type = Le16(&bytes[pos]);
        const std::uint16_t length = Le16(&bytes[pos + 2]);
        if (pos + 4 + length > bytes.size()) {
            sheet.error = "record runs past the end at " + std::to_string(pos);
            return sheet;
        }
        const std::uint8_t* body = &bytes[pos + 4];
        switch (type) {
        case 0x0000:
            sheet.dimRows = Le16(body + 2);
            sheet.dimColumns = Le16(body + 6);
            break;
        case 0x0008:
            sheet.rowRecords.push_back(Le16(body));
            break;
        case 0x0004: {
            Cell c{Cell::Label, Le16(body), Le16(body + 2), {}, 0, 0, 0};
            const std::uint8_t n = body[7];
            if (length != 8 + n) {
                sheet.error = "LABEL length mismatch";
                return sheet;
            }
            c.text.assign(reinterpret_cast<const char*>(body + 8), n);
            sheet.cells.push_back(c);
            break;
        }
        case 0x0002: {
            Cell c{Cell::Integer, Le16(body), Le16(body + 2), {}, Le16(body + 7), 0, 0};
            sheet.cells.push_back(c);
            break;
        }
        case 0x0003: {
            Cell c{Cell::Number, Le16(body), Le16(body + 2), {}, 0, 0, 0};
            std::memcpy(&c.bits, body + 7, 8);
            std::memcpy(&c.number, body + 7, 8);
            sheet.cells.push_back(c);
            break;
        }
        case 0x000A:
            sawEof = true;
            break;
        default:
            break;
        }
        pos += 4 + length;
        if (sawEof)
            break;
    }
    sheet.wellFormed = sawEof && pos == bytes.size();
    if (!sheet.wellFormed && sheet.error.empty())
        sheet.error = sawEof ? "bytes after EOF" : "no EOF record";
    return sheet;
}

} // namespace zorbik::testing
