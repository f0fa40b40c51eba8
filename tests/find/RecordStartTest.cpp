// Bytes to record start: where a header of random, blank or zero bytes
// ends, with an end mark or an unfinished record after the records, in
// small patterns, a large source read in pieces and real tables.
#include <gtest/gtest.h>

#include "find/RecordStart.h"
#include "find/FindTables.h"

namespace zorbik::findtest {
namespace {

void TextRecord(Bytes& b, std::uint32_t, std::mt19937& rng)
{
    Put(b, Pick(rng, {"Anna", "Mueller", "Jo", "Wagnerova", "Ute"}), 10);
    Right(b, std::to_string(rng() % 100000), 6);
}

void BinaryRecord(Bytes& b, std::uint32_t k, std::mt19937& rng)
{
    Int(b, 500 + k, 4);
    Int(b, rng() % 20000, 4);
    Int(b, rng() % 3, 4);
}

Bytes Title(std::size_t size)
{
    Bytes b;
    Put(b, "CUSTOMERS 1991", size);
    return b;
}

TEST(RecordStart, IsWhereTheHeaderEnds)
{
    struct Case {
        const char* name;
        Bytes source;
        std::uint32_t length;
        std::uint64_t start;
    };
    const Case cases[] = {
        {"no header", Records({}, 100, TextRecord), 16, 0},
        {"a random header", Records(RandomBytes(333), 100, TextRecord), 16, 333},
        {"a title padded with blanks", Records(Title(90), 100, TextRecord), 16, 90},
        {"loose bytes after the records", Records(RandomBytes(100), 100, TextRecord, RandomBytes(5, 9)), 16, 100},
        {"binary records behind zero bytes", Records(Bytes(512, 0), 200, BinaryRecord), 12, 512},
        {"a header of 3000 bytes in a source of 2 MiB", Records(RandomBytes(3000), (2 << 20) / 12, BinaryRecord), 12, 3000},
        {"the sample table", SourceFile("resources/sample/customers.dat"), 52, 64},
        {"a dBASE table in code page 1252", UmlautTable(1252), 39, DbfHeaderLength(4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StartChoice choice = ChooseRecordStart(SampleOf(c.source), c.length);
        EXPECT_EQ(choice.start, c.start);
        ASSERT_FALSE(choice.close.empty());
        EXPECT_EQ(choice.close[0].start, c.start);
    }
}

} // namespace
} // namespace zorbik::findtest
