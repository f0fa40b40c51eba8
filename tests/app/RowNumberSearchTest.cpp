#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "app/RowNumberSearch.h"

namespace zorbik {
namespace {

// The plain way: read every row's number from `start` on, then from 0.
std::int64_t ScanForPrefix(const std::string& digits, std::int64_t start, std::int64_t rows)
{
    if (start < 0 || start >= rows)
        start = 0;
    for (std::int64_t i = 0; i < rows; ++i) {
        const std::int64_t row = (start + i) % rows;
        if (!digits.empty() && std::to_string(row).rfind(digits, 0) == 0)
            return row;
    }
    return -1;
}

TEST(RowNumberSearch, FindsWhatReadingEveryRowWouldFind)
{
    const char* const prefixes[] = {"0", "1", "2", "9", "10", "12", "15", "99", "100", "102", "999", "1024", "01", "00"};
    // Every start in short lists; the starts around the number lengths in
    // longer ones.
    const std::int64_t someStarts[] = {0,   1,   2,   9,   10,  11,  12,   15,   16,   99,
                                       100, 101, 102, 150, 151, 999, 1000, 1001, 1023, 1024};
    for (const std::int64_t rows : {1, 2, 9, 10, 11, 100, 101, 1024, 1025, 3000}) {
        std::vector<std::int64_t> starts(someStarts, someStarts + std::size(someStarts));
        for (std::int64_t start = 0; rows <= 101 && start <= rows; ++start)
            starts.push_back(start);
        starts.push_back(rows);
        for (const char* prefix : prefixes) {
            for (const std::int64_t start : starts) {
                SCOPED_TRACE(std::to_string(rows) + " rows, \"" + prefix + "\" from " + std::to_string(start));
                ASSERT_EQ(FirstRowWithPrefix(prefix, start, rows), ScanForPrefix(prefix, start, rows));
            }
        }
    }
}

TEST(RowNumberSearch, EdgesOfTheInput)
{
    struct Row {
        const char* digits;
        std::int64_t start;
        std::int64_t rows;
        std::int64_t found;
    };
    const Row rows[] = {
        {"", 0, 100, -1},
        {"x", 0, 100, -1},
        {"1a", 0, 100, -1},
        {"-1", 0, 100, -1},
        {" 1", 0, 100, -1},
        {"1", 0, 0, -1},
        {"1", -5, 100, 1},
        // The last row of a list as long as row numbers go.
        {"2147483646", 0, 2147483647, 2147483646},
        {"2147483647", 0, 2147483647, -1},
        {"21474836460", 0, 2147483647, -1},
        {"9999999999", 0, 2147483647, -1},
        // Far down a long list: the next number with the prefix.
        {"7", 7000000, 2147483647, 7000000},
        {"7", 8000000, 2147483647, 70000000},
        {"7", 800000000, 2147483647, 7},
        {"15", 1501, 1000000, 1501},
        {"15", 1600, 1000000, 15000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("\"") + row.digits + "\" from " + std::to_string(row.start));
        EXPECT_EQ(FirstRowWithPrefix(row.digits, row.start, row.rows), row.found);
    }
}

} // namespace
} // namespace zorbik
