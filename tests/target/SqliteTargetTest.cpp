#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include <sqlite3.h>

#include "support/TempDir.h"
#include "target/SqliteTarget.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

// Every row a query gives, its values as SQLite writes them in text,
// parted by blanks.
std::vector<std::string> Query(sqlite3* db, const char* sql)
{
    std::vector<std::string> rows;
    const auto add = [](void* rows, int n, char** values, char**) {
        std::string row;
        for (int i = 0; i < n; ++i)
            row += (i ? " " : "") + std::string(values[i] ? values[i] : "NULL");
        static_cast<std::vector<std::string>*>(rows)->push_back(row);
        return 0;
    };
    EXPECT_EQ(sqlite3_exec(db, sql, add, &rows, nullptr), SQLITE_OK) << sql;
    return rows;
}

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
        std::string read; // each value and its storage class
    } rows[] = {
        {"M\x81ller \x84\x94 Stra\xe1"
         "e",
         -1, 0.1, "Müller äö Straße text -1 integer 0.1 real"},
        {std::string("say \"hi\"\0 hidden", 16), std::int64_t{1} << 40, std::nan(""),
         "say \"hi\" text 1099511627776 integer NULL null"},
        {"", std::numeric_limits<std::int64_t>::min(), inf, " text -9223372036854775808 integer Inf real"},
        {"\x01\t", std::numeric_limits<std::int64_t>::max(), -inf, "\x01\t text 9223372036854775807 integer -Inf real"},
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

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2((dir / "t.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_EQ(Query(db, "SELECT name, type FROM pragma_table_info('my \"table\"')"),
              (std::vector<std::string>{"Name TEXT", "Count \"n\" INTEGER", "Value REAL"}));
    const std::vector<std::string> read =
        Query(db, "SELECT Name, typeof(Name), \"Count \"\"n\"\"\", typeof(\"Count \"\"n\"\"\"), Value, typeof(Value) "
                  "FROM \"my \"\"table\"\"\" ORDER BY rowid");
    ASSERT_EQ(read.size(), std::size(rows));
    for (std::size_t k = 0; k < read.size(); ++k)
        EXPECT_EQ(read[k], rows[k].read);
    sqlite3_close(db);
}

} // namespace
} // namespace zorbik
