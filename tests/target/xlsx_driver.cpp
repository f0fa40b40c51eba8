// Writes an .xlsx through XlsxTarget for xlsx_cells.py, which reads it
// back with openpyxl.
//
//     xlsx_driver PATH CODEPAGE < CELLS   the first line NAME:KIND ..., then one
//                                         row per line: t:HEX (a text's bytes),
//                                         i:INTEGER or n:NUMBER (strtod's words)
//     xlsx_driver PATH rows N             N rows of one integer column "k"
//
// Prints the notes: undefined bytes, texts cut.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "target/XlsxTarget.h"

using namespace zorbik;

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4)
        return 2;
    XlsxTarget target(argv[1], TargetOptions{});
    if (argc == 4) {
        const std::uint64_t rows = std::strtoull(argv[3], nullptr, 10);
        if (!target.Begin({{{"k", CellKind::Integer}}, rows, 1252}))
            return 1;
        for (std::uint64_t k = 0; k < rows; ++k) {
            target.Row(k);
            target.Integer(static_cast<std::int64_t>(k));
            target.EndRow();
        }
    } else {
        TargetStart start{{}, 0, static_cast<std::uint16_t>(std::atoi(argv[2]))};
        std::string line, cell;
        std::getline(std::cin, line);
        for (std::istringstream names(line); names >> cell;)
            start.columns.push_back({cell.substr(0, cell.find(':')), cell.back() == 't'   ? CellKind::Text
                                                                    : cell.back() == 'i' ? CellKind::Integer
                                                                                         : CellKind::Number});
        if (!target.Begin(start))
            return 1;
        for (std::uint64_t k = 0; std::getline(std::cin, line); ++k) {
            target.Row(k);
            for (std::istringstream cells(line); cells >> cell;) {
                const std::string value = cell.substr(2);
                std::string bytes;
                for (std::size_t i = 0; cell[0] == 't' && i + 1 < value.size(); i += 2)
                    bytes += static_cast<char>(std::stoi(value.substr(i, 2), nullptr, 16));
                if (cell[0] == 't')
                    target.Text(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                static_cast<std::uint32_t>(bytes.size()));
                else if (cell[0] == 'i')
                    target.Integer(std::stoll(value));
                else
                    target.Number(std::strtod(value.c_str(), nullptr));
            }
            target.EndRow();
        }
    }
    if (target.Failed() || !target.End())
        return 1;
    std::printf("%llu %llu\n", static_cast<unsigned long long>(target.Notes().undefinedBytes),
                static_cast<unsigned long long>(target.Notes().textsCut));
    return 0;
}
