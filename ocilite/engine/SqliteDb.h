#pragma once
// Thin RAII helpers over the SQLite C API for the engine's own statements. Failures of the
// engine's internal SQL are not the user's SQL errors: they map to the Oracle error a server
// gives for the same condition (lock wait, disk full, corrupt file) or to ORA-00600.

#include <memory>
#include <sqlite3.h>
#include <string>
#include <string_view>

namespace ocilite {

// Throws the OraError matching an SQLite result code (SQLITE_BUSY -> ORA-00054, ...).
[[noreturn]] void ThrowSqlite(sqlite3* db, int rc);

class SqliteStmt {
public:
    SqliteStmt() = default;
    SqliteStmt(sqlite3* db, std::string_view sql);
    ~SqliteStmt() { sqlite3_finalize(stmt_); }
    SqliteStmt(const SqliteStmt&) = delete;
    SqliteStmt& operator=(const SqliteStmt&) = delete;
    SqliteStmt(SqliteStmt&& o) noexcept : db_(o.db_), stmt_(o.stmt_) { o.stmt_ = nullptr; }
    SqliteStmt& operator=(SqliteStmt&& o) noexcept {
        std::swap(db_, o.db_);
        std::swap(stmt_, o.stmt_);
        return *this;
    }

    sqlite3_stmt* get() const { return stmt_; }
    SqliteStmt& Bind(int i, std::string_view text);
    SqliteStmt& Bind(int i, int64_t v);
    SqliteStmt& BindBlob(int i, std::string_view bytes);
    SqliteStmt& BindNull(int i);
    bool Step();  // true while a row is available
    void Reset() { sqlite3_reset(stmt_); }
    std::string Text(int col) const;
    int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
    bool IsNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

// Owns a prepared statement: finalized when the handle goes, on every path out.
struct StmtFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using StmtHandle = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

void ExecSql(sqlite3* db, std::string_view sql);

// SQL text literal with quotes doubled.
std::string SqlQuote(std::string_view text);

}  // namespace ocilite
