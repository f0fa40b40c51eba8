// How the record loop's time grows: with the cells it writes, not with the
// marks of the prototype per record nor with the records alone; and how fast
// the marked-row search skips unmarked rows. Prints each figure against its
// goal and exits with 1 when one is missed.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstring>
#include <random>
#include <vector>

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

// One column of a record kind: its type, options and width, and how a
// valid field of it is made from a number.
struct Field {
    FieldType type;
    FieldOptions options;
    std::uint32_t width;
    void (*make)(std::uint8_t* at, std::uint32_t width, std::uint64_t n);
};

void TextField(std::uint8_t* at, std::uint32_t width, std::uint64_t n)
{
    for (std::uint32_t i = 0; i < width; ++i)
        at[i] = i < 8 ? static_cast<std::uint8_t>('A' + (n >> (3 * i)) % 26) : ' ';
}
void LittleField(std::uint8_t* at, std::uint32_t width, std::uint64_t n)
{
    for (std::uint32_t i = 0; i < width; ++i)
        at[i] = static_cast<std::uint8_t>(n >> (8 * i));
}
void BigField(std::uint8_t* at, std::uint32_t width, std::uint64_t n)
{
    for (std::uint32_t i = 0; i < width; ++i)
        at[width - 1 - i] = static_cast<std::uint8_t>(n >> (8 * i));
}
void RealField(std::uint8_t* at, std::uint32_t width, std::uint64_t n)
{
    const double value = static_cast<double>(n % 100'000'000) / 100 - 300'000;
    if (width == 4) {
        const float single = static_cast<float>(value);
        std::memcpy(at, &single, 4);
    } else {
        std::memcpy(at, &value, 8);
    }
}
void DecimalField(std::uint8_t* at, std::uint32_t width, std::uint64_t n)
{
    std::snprintf(reinterpret_cast<char*>(at), width + 1, "%*.2f", static_cast<int>(width),
                  static_cast<double>(n % 10'000'000) / 100);
}
void BcdField(std::uint8_t* at, std::uint32_t, std::uint64_t n)
{
    for (int i = 0; i < 9; ++i, n /= 100)
        at[i] = static_cast<std::uint8_t>(n % 10 | (n / 10 % 10) << 4);
    at[9] = 2;
}
void PackedField(std::uint8_t* at, std::uint32_t width, std::uint64_t n)
{
    at[width - 1] = static_cast<std::uint8_t>((n % 10) << 4 | (n % 3 == 0 ? 0xD : 0xC));
    n /= 10;
    for (std::uint32_t i = width - 1; i-- > 0; n /= 100)
        at[i] = static_cast<std::uint8_t>(n % 10 | (n / 10 % 10) << 4);
}
void ZonedField(std::uint8_t* at, std::uint32_t width, std::uint64_t n)
{
    for (std::uint32_t i = width; i-- > 0; n /= 10)
        at[i] = static_cast<std::uint8_t>('0' + n % 10);
    if (n % 3 == 0)
        at[width - 1] = static_cast<std::uint8_t>(at[width - 1] - '0' + 'p'); // overpunched minus
}

FieldOptions Options(std::uint8_t scale, bool bigEndian = false)
{
    FieldOptions options;
    options.scale = scale;
    options.bigEndian = bigEndian;
    return options;
}

// Thread time per cell of converting `records` records of `fields` to
// `format`, the least of three.
double NanosecondsPerCell(const std::vector<Field>& fields, std::uint32_t records, TargetFormat format)
{
    std::uint32_t length = 1;
    Marks marks;
    marks.SetMarker(0, MarkerKind::LineBegin);
    for (const Field& field : fields) {
        marks.SetMarker(static_cast<std::int32_t>(length), MarkerKind::ColumnBegin);
        marks.SetFieldType(static_cast<std::int32_t>(length), field.type);
        marks.SetFieldOptions(static_cast<std::int32_t>(length), field.options);
        length += field.width;
        marks.SetMarker(static_cast<std::int32_t>(length) - 1, MarkerKind::ColumnEnd);
    }
    marks.SetMarker(static_cast<std::int32_t>(length), MarkerKind::LineEnd);
    ++length;
    std::mt19937_64 random(3);
    std::vector<std::uint8_t> bytes(std::size_t{length} * records);
    for (std::uint32_t r = 0; r < records; ++r) {
        std::uint8_t* at = bytes.data() + std::size_t{r} * length + 1;
        for (const Field& field : fields) {
            field.make(at, field.width, random() >> 4);
            at += field.width;
        }
    }
    const PreparedConversion p = PrepareConversion(marks, bytes.size());
    const MemorySource source(bytes);
    double least = 1e9;
    for (int i = 0; i < 3; ++i) {
        CountingSink sink;
        std::atomic<bool> stop{false};
        TargetPlace place;
        place.options.format = format;
        place.sink = &sink;
        timespec start{}, end{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        const ConversionOutcome outcome = RunConversion(source, p.layout, p.plan, place, stop, {});
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
        if (!outcome.faults.empty())
            std::printf("(the generated fields are not all valid)\n");
        least = std::min(least, static_cast<double>(end.tv_sec - start.tv_sec) + 1e-9 * (end.tv_nsec - start.tv_nsec));
    }
    return least * 1e9 / (static_cast<double>(records) * static_cast<double>(fields.size()));
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

    // The field types COBOL programs write against the benchmark's mixed
    // layout of the classic ones, per cell, into .xls and CSV.
    const std::vector<Field> mixed = {
        {FieldType::Text, {}, 20, TextField},        {FieldType::BinInteger, {}, 2, LittleField},
        {FieldType::BinInteger, {}, 4, LittleField}, {FieldType::BinReal, {}, 4, RealField},
        {FieldType::BinReal, {}, 8, RealField},      {FieldType::DecimalNumber, {}, 10, DecimalField},
        {FieldType::Bcd, {}, 10, BcdField},
    };
    const std::vector<Field> cobol = {
        {FieldType::Text, {}, 20, TextField},
        {FieldType::Packed, Options(2), 5, PackedField},
        {FieldType::Packed, {}, 8, PackedField},
        {FieldType::Zoned, Options(2), 9, ZonedField},
        {FieldType::Zoned, {}, 6, ZonedField},
        {FieldType::Integer, Options(0, true), 2, BigField},
        {FieldType::Integer, Options(2, true), 4, BigField},
    };
    for (const TargetFormat format : {TargetFormat::Xls, TargetFormat::Csv}) {
        const double classic = NanosecondsPerCell(mixed, 60000, format);
        const double mainframe = NanosecondsPerCell(cobol, 60000, format);
        std::printf("%s: %.1f ns per cell of the mixed layout, %.1f of the COBOL one\n",
                    format == TargetFormat::Xls ? ".xls" : "CSV", classic, mainframe);
        ok &= Report("time per cell, COBOL types / mixed layout", mainframe / classic, "<= 1.3", mainframe <= 1.3 * classic);
    }

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
