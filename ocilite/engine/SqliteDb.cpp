#include "ocilite/engine/SqliteDb.h"

#include "ocilite/types/OraError.h"

namespace ocilite {

void ThrowSqlite(sqlite3* db, int rc) {
    int primary = rc & 0xFF;
    switch (primary) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED: throw OraError(54, "resource busy and acquire with NOWAIT specified or timeout expired");
        case SQLITE_FULL: throw OraError(1653, "unable to extend table by 8 in tablespace USERS");
        case SQLITE_READONLY: throw OraError(16000, "database or pluggable database open for read-only access");
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT: throw OraError(1578, "ORACLE data block corrupted (file # 1, block # 1)");
        case SQLITE_IOERR:
        case SQLITE_CANTOPEN: throw OraError(1115, "IO error reading block from file 1 (block # 1)");
        case SQLITE_NOMEM: throw OraError(4031, "unable to allocate memory");
        case SQLITE_INTERRUPT: throw OraError(1013, "user requested cancel of current operation");
        default: break;
    }
    std::string detail = db ? sqlite3_errmsg(db) : "";
    // SQLite's own parser has a fixed stack: a statement nested past it is too deep, as the
    // engine's parser says for deeper nesting still.
    if (detail == "parser stack overflow") throw OraError(3095, "expression level is too deep");
    throw OraError(600, "internal error code, arguments: [ocilite], [" + std::to_string(rc) + "], [" + detail + "]");
}

SqliteStmt::SqliteStmt(sqlite3* db, std::string_view sql) : db_(db) {
    int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) ThrowSqlite(db, rc);
}

SqliteStmt& SqliteStmt::Bind(int i, std::string_view text) {
    sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}
SqliteStmt& SqliteStmt::Bind(int i, int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
}
SqliteStmt& SqliteStmt::BindBlob(int i, std::string_view bytes) {
    sqlite3_bind_blob(stmt_, i, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}
SqliteStmt& SqliteStmt::BindNull(int i) {
    sqlite3_bind_null(stmt_, i);
    return *this;
}

bool SqliteStmt::Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(stmt_);
    ThrowSqlite(db_, rc);
}

std::string SqliteStmt::Text(int col) const {
    const unsigned char* p = sqlite3_column_text(stmt_, col);
    return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(stmt_, col)))
             : std::string();
}

void ExecSql(sqlite3* db, std::string_view sql) {
    std::string s(sql);
    int rc = sqlite3_exec(db, s.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowSqlite(db, rc);
}

std::string SqlQuote(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

}  // namespace ocilite
