#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <sqlite3.h>

#include "support/TempDir.h"
#include "target/SqliteTarget.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

// Texts of code page 850 with umlauts, one ending at a NUL after a quote,
// the extremes of 64-bit integers, NaN and the infinities: each value reads
// back as it was and with its column's storage class (NaN as NULL), in a
// table and columns whose names need quoting, declared with the affinity
// of their kind; the target's file was there before, empty.
TEST(SqliteTarget, ValuesReadBackWithTheirColumnsTypes)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        std::string text;
        std::int64_t integer;
        double number;
        std::string textRead;
        const char* numberType;
    } rows[] = {
        {"M\x81ller \x84\x94 Stra\xe1"
         "e",
         -1, 0.1, "Müller äö Straße", "real"},
        {std::string("say \"hi\"\0 hidden", 16), std::int64_t{1} << 40, std::nan(""), "say \"hi\"", "null"},
        {"", std::numeric_limits<std::int64_t>::min(), inf, "", "real"},
        {"\x01\t", std::numeric_limits<std::int64_t>::max(), -inf, "\x01\t", "real"},
    };
    TempDir dir;
    WriteFile(dir / "t.db", std::string());
    TargetOptions options;
    options.table = "my \"table\"";
    SqliteTarget target(dir / "t.db", options);
    ASSERT_TRUE(target.Begin({{{"Name", CellKind::Text}, {"Count \"n\"", CellKind::Integer}, {"Value", CellKind::Number}},
                              std::size(rows), 850}));
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        target.Row(k);
        target.Text(reinterpret_cast<const std::uint8_t*>(rows[k].text.data()),
                    static_cast<std::uint32_t>(rows[k].text.size()));
        target.Integer(rows[k].integer);
        target.Number(rows[k].number);
        target.EndRow();
    }
    ASSERT_FALSE(target.Failed());
    ASSERT_TRUE(target.End());
    EXPECT_EQ(target.Notes(), TargetNotes{});

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2((dir / "t.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* query = nullptr;
    const auto column = [&](int i) { return std::string(reinterpret_cast<const char*>(sqlite3_column_text(query, i))); };
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT name, type FROM pragma_table_info('my \"table\"')", -1, &query, nullptr),
              SQLITE_OK);
    for (const char* declared : {"Name TEXT", "Count \"n\" INTEGER", "Value REAL"}) {
        ASSERT_EQ(sqlite3_step(query), SQLITE_ROW);
        EXPECT_EQ(column(0) + ' ' + column(1), declared);
    }
    EXPECT_EQ(sqlite3_step(query), SQLITE_DONE);
    sqlite3_finalize(query);
    ASSERT_EQ(sqlite3_prepare_v2(db,
                                 "SELECT Name, typeof(Name), \"Count \"\"n\"\"\", typeof(\"Count \"\"n\"\"\"), Value, "
                                 "typeof(Value) FROM \"my \"\"table\"\"\" ORDER BY rowid",
                                 -1, &query, nullptr),
              SQLITE_OK);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.textRead);
        ASSERT_EQ(sqlite3_step(query), SQLITE_ROW);
        EXPECT_EQ(column(0) + ' ' + column(1) + ' ' + column(3) + ' ' + column(5),
                  row.textRead + " text integer " + row.numberType);
        EXPECT_EQ(sqlite3_column_int64(query, 2), row.integer);
        if (!std::isnan(row.number)) {
            EXPECT_EQ(sqlite3_column_double(query, 4), row.number);
        }
    }
    EXPECT_EQ(sqlite3_step(query), SQLITE_DONE);
    sqlite3_finalize(query);
    sqlite3_close(db);
}

} // namespace
} // namespace zorbik
