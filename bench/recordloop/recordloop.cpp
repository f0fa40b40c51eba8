// How the record loop's time grows: with the cells it writes, not with the
// marks of the prototype per record nor with the records alone; and how fast
// the marked-row search skips unmarked rows. Prints each figure against its
// goal and exits with 1 when one is missed.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>

#include "convert/ConversionEngine.h"
#include "convert/PrepareConversion.h"
#include "support/MemoryIo.h"

namespace {

using namespace zorbik;

// A target that only counts, so that no page of memory is touched.
class CountingSink : public ByteSink {
public:
    bool Write(const std::uint8_t*, std::size_t n) override
    {
        bytes += n;
        return true;
    }
    std::uint64_t bytes = 0;
};

// Thread time of one conversion, the least of three.
double ConversionSeconds(std::int32_t columns, std::uint32_t records)
{
    // `columns` 4-byte integer columns in records of 4 * columns + 2 bytes.
    const std::uint32_t length = 4 * static_cast<std::uint32_t>(columns) + 2;
    Marks marks;
    marks.SetMarker(0, MarkerKind::LineBegin);
    for (std::int32_t c = 0; c < columns; ++c) {
        marks.SetMarker(1 + 4 * c, MarkerKind::ColumnBegin);
        marks.SetFieldType(1 + 4 * c, FieldType::BinInteger);
        marks.SetMarker(4 + 4 * c, MarkerKind::ColumnEnd);
    }
    marks.SetMarker(static_cast<std::int32_t>(length) - 1, MarkerKind::LineEnd);
    std::mt19937 random(2);
    std::vector<std::uint8_t> bytes(std::size_t{length} * records);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    const PreparedConversion p = PrepareConversion(marks, static_cast<std::uint32_t>(bytes.size()));
    const MemorySource source(bytes);
    double least = 1e9;
    for (int i = 0; i < 3; ++i) {
        CountingSink sink;
        std::atomic<bool> stop{false};
        timespec start{}, end{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        RunConversion(source, p.layout, p.plan, sink, stop, {});
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
        least = std::min(least, static_cast<double>(end.tv_sec - start.tv_sec) + 1e-9 * (end.tv_nsec - start.tv_nsec));
    }
    return least;
}

bool Report(const char* what, double value, const char* goal, bool met)
{
    std::printf("%-58s %6.2f  (goal %s)%s\n", what, value, goal, met ? "" : "  MISSED");
    return met;
}

} // namespace

int main()
{
    // The same 2 million cells as 20000 records of 100 columns, 80000 of 25
    // and 4000 of 500, and a quarter of them.
    const double middle = ConversionSeconds(100, 20000);
    const double manyRecords = ConversionSeconds(25, 80000);
    const double manyMarks = ConversionSeconds(500, 4000);
    const double quarter = ConversionSeconds(100, 5000);
    std::printf("record loop: %.0f ns per cell\n", middle * 1e9 / 2e6);
    bool ok = Report("time of 500 columns / of 100, same cells", manyMarks / middle, "< 3", manyMarks < 3 * middle);
    ok &= Report("time of 80000 records / of 20000, same cells", manyRecords / middle, "< 3", manyRecords < 3 * middle);
    ok &= Report("time of 4 x the records / of 1 x", middle / quarter, "1 to 12", middle > quarter && middle < 12 * quarter);

    // 40 marks among 2 billion rows, searched from end to end 1000 times.
    Marks store;
    for (std::int32_t i = 0; i < 40; ++i)
        store.SetMarker(i * 50'000'000, MarkerKind::ByteMark);
    const auto start = std::chrono::steady_clock::now();
    std::int64_t visited = 0;
    for (int pass = 0; pass < 1000; ++pass)
        for (std::int32_t row = -1; MarkedRowSearch(store, row, MarkerKind::ByteMark, MarkerKind::LineEnd, row) == FoundWanted;)
            ++visited;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ok &= Report("seconds for 1000 searches past 2e9 rows with 40 marks", seconds, "< 1", seconds < 1 && visited == 40000);
    return ok ? 0 : 1;
}
