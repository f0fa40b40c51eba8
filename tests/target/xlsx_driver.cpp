// Writes an .xlsx through XlsxTarget for xlsx_cells.py, which reads it
// back with openpyxl.
//
//     xlsx_driver PATH CODEPAGE < CELLS
//
// CELLS: a line of the columns, NAME:t (text), NAME:i (integer) or NAME:n
// (number), then one line per row: t:HEX (the text's bytes), i:INTEGER or
// n:NUMBER (as from_chars reads it, nan and inf too). Prints the notes:
// undefined bytes, texts cut. Takes its locale from the environment, as the
// window does.
#include <charconv>
#include <clocale>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "target/XlsxTarget.h"

using namespace zorbik;

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::setlocale(LC_ALL, "");
    XlsxTarget target(argv[1], TargetOptions{});
    TargetStart start{{}, 0, static_cast<std::uint16_t>(std::stoi(argv[2]))};
    std::string line, cell;
    std::getline(std::cin, line);
    for (std::istringstream columns(line); columns >> cell;)
        start.columns.push_back({cell.substr(0, cell.size() - 2), static_cast<CellKind>(std::string("tin").find(cell.back()))});
    if (!target.Begin(start))
        return 1;
    for (std::uint64_t k = 0; std::getline(std::cin, line); ++k) {
        target.Row(k);
        for (std::istringstream cells(line); cells >> cell;) {
            std::string bytes;
            for (std::size_t i = 2; cell[0] == 't' && i + 1 < cell.size(); i += 2)
                bytes += static_cast<char>(std::stoi(cell.substr(i, 2), nullptr, 16));
            if (cell[0] == 't')
                target.Text(reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<std::uint32_t>(bytes.size()));
            else if (cell[0] == 'i')
                target.Integer(std::stoll(cell.substr(2)));
            else if (double number = 0; std::from_chars(cell.data() + 2, cell.data() + cell.size(), number).ec == std::errc())
                target.Number(number);
        }
        target.EndRow();
    }
    if (target.Failed() || !target.End())
        return 1;
    std::printf("%llu %llu\n", static_cast<unsigned long long>(target.Notes().undefinedBytes),
                static_cast<unsigned long long>(target.Notes().textsCut));
}
