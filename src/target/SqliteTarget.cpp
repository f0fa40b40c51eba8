#include "target/SqliteTarget.h"

#include "target/DateText.h"

#include <cmath>
#include <utility>

#include <sqlite3.h>

namespace zorbik {
namespace {

// An SQL identifier in double quotes, so that any name is one.
std::string Quoted(const std::string& name)
{
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

const char* Affinity(CellKind kind)
{
    switch (kind) {
    case CellKind::Integer:
        return "INTEGER";
    case CellKind::Number:
        return "REAL";
    case CellKind::Text:
    case CellKind::Date:
        break;
    }
    return "TEXT";
}

} // namespace

SqliteTarget::SqliteTarget(const std::string& path, const TargetOptions& options)
    : path_(path), table_(options.table.empty() ? "records" : options.table)
{
}

SqliteTarget::~SqliteTarget()
{
    Abort();
}

bool SqliteTarget::Execute(const std::string& sql)
{
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        failed_ = true;
    return !failed_;
}

bool SqliteTarget::Begin(const TargetStart& start)
{
    decoders_ = ColumnDecoders(start.codePage, ColumnPages(start));
    texts_.assign(start.columns.size(), {});
    // Even a failed open leaves a handle to close.
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        failed_ = true;
        return false;
    }
    std::string create = "CREATE TABLE " + Quoted(table_) + " (";
    std::string insert = "INSERT INTO " + Quoted(table_) + " VALUES (";
    for (std::size_t i = 0; i < start.columns.size(); ++i) {
        create += (i ? ", " : "") + Quoted(start.columns[i].name) + ' ' + Affinity(start.columns[i].kind);
        insert += i ? ", ?" : "?";
    }
    if (!Execute("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA locking_mode=EXCLUSIVE") ||
        !Execute(create + ')') || !Execute("BEGIN"))
        return false;
    if (sqlite3_prepare_v2(db_, (insert + ')').c_str(), -1, &insert_, nullptr) != SQLITE_OK)
        failed_ = true;
    return !failed_;
}

void SqliteTarget::Bound(int result)
{
    ++column_;
    if (result != SQLITE_OK)
        failed_ = true;
}

void SqliteTarget::Text(const std::uint8_t* bytes, std::uint32_t n)
{
    if (failed_)
        return;
    std::vector<char>& text = texts_[static_cast<std::size_t>(column_)];
    if (text.size() < std::size_t{n} * TextDecoder::kMaxPerByte)
        text.resize(std::size_t{n} * TextDecoder::kMaxPerByte);
    const std::size_t size = decoders_.For(static_cast<std::size_t>(column_)).Decode(bytes, n, text.data());
    // An empty text is '' and not NULL; a null pointer would bind NULL.
    Bound(sqlite3_bind_text64(insert_, column_ + 1, size ? text.data() : "", size, SQLITE_STATIC, SQLITE_UTF8));
}

void SqliteTarget::Integer(std::int64_t value)
{
    if (!failed_)
        Bound(sqlite3_bind_int64(insert_, column_ + 1, value));
}

void SqliteTarget::Number(double value)
{
    if (!failed_)
        Bound(std::isnan(value) ? sqlite3_bind_null(insert_, column_ + 1)
                                : sqlite3_bind_double(insert_, column_ + 1, value));
}

void SqliteTarget::Date(const DateValue& date, double)
{
    if (failed_)
        return;
    std::vector<char>& text = texts_[static_cast<std::size_t>(column_)];
    text.resize(kDateTextSize);
    const std::size_t size = DateText(date, text.data());
    Bound(sqlite3_bind_text64(insert_, column_ + 1, text.data(), size, SQLITE_STATIC, SQLITE_UTF8));
}

void SqliteTarget::Empty(bool)
{
    if (!failed_)
        Bound(sqlite3_bind_null(insert_, column_ + 1));
}

void SqliteTarget::EndRow()
{
    if (failed_)
        return;
    if (sqlite3_step(insert_) != SQLITE_DONE)
        failed_ = true;
    sqlite3_reset(insert_);
}

bool SqliteTarget::End()
{
    if (!db_ || failed_) {
        Abort();
        return false;
    }
    sqlite3_finalize(std::exchange(insert_, nullptr));
    const bool committed = Execute("COMMIT");
    sqlite3* const db = std::exchange(db_, nullptr);
    const bool closed = sqlite3_close(db) == SQLITE_OK;
    if (!closed)
        sqlite3_close_v2(db);
    failed_ = !committed || !closed;
    return !failed_;
}

void SqliteTarget::Abort()
{
    sqlite3_finalize(std::exchange(insert_, nullptr));
    // Rolls back the open transaction; without a journal the file may hold
    // part of it, which is why the caller deletes it.
    sqlite3_close_v2(std::exchange(db_, nullptr));
}

} // namespace zorbik
