// Bytes to record length: the distance at which the bytes repeat, not a
// multiple of it, in small patterns, in a large source read in pieces and
// in real tables.
#include <gtest/gtest.h>

#include <cmath>

#include "find/RecordLength.h"
#include "find/FindTables.h"

namespace zorbik::findtest {
namespace {

const std::vector<std::string> kWords = {"Anna", "Mueller", "Schmidt", "Jo", "Koch", "Wagnerova", "Ute"};

TEST(RecordLength, IsTheDistanceAtWhichTheBytesRepeat)
{
    struct Case {
        const char* name;
        Bytes source;
        std::uint32_t length;
        std::uint32_t multiple; // an alternative that explains nearly as much (0: none asked)
    };
    const Case cases[] = {
        {"a text and a right-aligned number", Records(RandomBytes(50), 200, [](Bytes& b, std::uint32_t, std::mt19937& rng) {
             Put(b, Pick(rng, kWords), 10);
             Right(b, std::to_string(rng() % 100000), 6);
         }), 16, 0},
        {"a counter and a small binary number", Records({}, 300, [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
             Int(b, 1000 + k, 4);
             Int(b, rng() % 100, 2);
         }), 6, 0},
        {"a flag that alternates: the record, not two of them", Records({}, 300, [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
             b.push_back(k % 2 ? '*' : ' ');
             Put(b, Pick(rng, kWords), 8);
         }), 9, 18},
        {"three records only", Records({}, 3, [](Bytes& b, std::uint32_t k, std::mt19937&) {
             Put(b, "Record " + std::to_string(k) + " of three", 30);
             Put(b, "", 70, '\0');
         }), 100, 0},
        {"records of 40 in a source of 2 MiB", Records(RandomBytes(5000), (2 << 20) / 40, [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
             Int(b, k, 4);
             Put(b, Pick(rng, kWords), 30, '\0');
             Int(b, rng() % 5000, 6);
         }), 40, 0},
        {"the sample table", SourceFile("resources/sample/customers.dat"), 52, 0},
        {"a dBASE table in code page 850", UmlautTable(850), 39, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LengthChoice choice = ChooseRecordLength(SampleOf(c.source));
        EXPECT_EQ(choice.length, c.length);
        EXPECT_GT(choice.bitsSavedPerByte, 0.3); // twice what a guess needs
        EXPECT_LT(choice.unrelatedRival, 75); // no unrelated length explains nearly as much
        if (c.multiple != 0) {
            ASSERT_FALSE(choice.alternatives.empty());
            EXPECT_EQ(choice.alternatives[0].length, c.multiple);
            EXPECT_GT(choice.alternatives[0].score, 90);
        }
    }
}

TEST(RecordLength, NothingRepeatsInRandomBytes)
{
    const LengthChoice choice = ChooseRecordLength(SampleOf(RandomBytes(30000)));
    EXPECT_LT(choice.bitsSavedPerByte, 0.05);
}

TEST(RecordLength, FastLog2IsLog2)
{
    for (const double x : {1.0, 1.5, 3.0, 0.75, 1000.0, 1e-5, 123456.789})
        EXPECT_NEAR(FastLog2(x), std::log2(x), 1e-6) << x;
    EXPECT_EQ(FastLog2(0), -1074);
}

} // namespace
} // namespace zorbik::findtest
