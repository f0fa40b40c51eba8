// Writes the cells as one table of an SQLite database, one row per record.
// Every row goes through one prepared INSERT inside one transaction. The
// file is a temporary that replaces the target only after End() succeeded,
// so the database keeps no journal and does not wait for the disk: a
// conversion that fails leaves nothing the user could take for a result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codepage/CodePages.h"
#include "target/CellTarget.h"
#include "target/TargetFormat.h"
#include "target/TextDecoder.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zorbik {

class SqliteTarget {
public:
    // `path` (UTF-8) may name an empty file, which SQLite opens as a new
    // database.
    SqliteTarget(const std::string& path, const TargetOptions& options);
    ~SqliteTarget();
    SqliteTarget(const SqliteTarget&) = delete;
    SqliteTarget& operator=(const SqliteTarget&) = delete;

    // Creates the table, its columns named as the start says, with the
    // affinity of their kind: INTEGER, REAL or TEXT (dates too).
    bool Begin(const TargetStart& start);
    void Row(std::uint64_t) { column_ = 0; }
    void Text(const std::uint8_t* bytes, std::uint32_t n);
    void Integer(std::int64_t value);
    // NaN becomes NULL (SQLite has no NaN); the infinities stay REAL.
    void Number(double value);
    // Integers past the largest int64 are REAL: SQLite's integers are signed.
    void Unsigned(std::uint64_t value) { Number(static_cast<double>(value)); }
    // The ISO 8601 text, which SQLite's date functions read.
    void Date(const DateValue& date, double);
    void Empty(bool);
    void EndRow();
    bool Failed() const { return failed_; }
    // Commits the rows and closes the database; false when either fails.
    bool End();
    // Closes the database without committing.
    void Abort();
    TargetNotes Notes() const { return {decoders_.Undefined(), 0}; }

private:
    bool Execute(const std::string& sql);
    void Bound(int result);

    std::string path_;
    std::string table_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    ColumnDecoders decoders_{kDefaultCodePage, {}};
    // One buffer per column: a text is bound without a copy, so its bytes
    // must stay until the row's step.
    std::vector<std::vector<char>> texts_;
    int column_ = 0;
    bool failed_ = false;
};

static_assert(CellTarget<SqliteTarget>);

} // namespace zorbik
