#include "ocilite/engine/SqliteSession.h"

#include <fcntl.h>
#include <sodium.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sys/stat.h>

#include "ocilite/engine/LogonJournal.h"
#include "ocilite/engine/Parser.h"
#include "ocilite/engine/Plan.h"
#include "ocilite/engine/SqliteDb.h"
#include "ocilite/engine/MergeStatement.h"
#include "ocilite/engine/SqliteStatement.h"
#include "ocilite/engine/Translator.h"
#include "ocilite/types/OraError.h"

namespace ocilite {
namespace {

int LockTimeoutMs() {
    if (const char* v = std::getenv("OCILITE_LOCK_TIMEOUT_MS")) {
        int ms = std::atoi(v);
        if (ms >= 0) return ms;
    }
    return 10000;
}

[[noreturn]] void LogonDenied() {
    throw OraError(1017, "invalid username/password; logon denied");
}

// Oracle's limit on the columns of a table or view.
constexpr size_t kMaxColumns = 1000;

void RequireColumnLimit(size_t columns) {
    if (columns > kMaxColumns) throw OraError(1792, "maximum number of columns in a table or view is 1000");
}

// A file path as an SQLite URI (the characters URIs give a meaning escaped), so that a query
// parameter can follow it.
std::string SqliteFileUri(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = path.empty() || path[0] != '/' ? "file:" : "file://";  // an empty authority
    for (unsigned char c : path) {
        if (c == '%' || c == '?' || c == '#' || c < 0x20) {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri;
}

}  // namespace

std::unique_ptr<Session> Session::Logon(std::string_view user, std::string_view password, std::string_view connect,
                                        bool create) {
    return SqliteSession::Open(user, password, connect, create);
}

std::string SqliteSession::DefaultDatabasePath() {
    return UserDataFolder() + "/default.db";
}

std::string SqliteSession::UserDataFolder() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.local/share";
    }
    return base + "/tabrook";
}

std::string SqliteSession::NormalizeName(std::string_view name) {
    std::string n(name);
    while (!n.empty() && std::isspace(static_cast<unsigned char>(n.back()))) n.pop_back();
    while (!n.empty() && std::isspace(static_cast<unsigned char>(n.front()))) n.erase(0, 1);
    if (n.size() >= 2 && n.front() == '"' && n.back() == '"') return n.substr(1, n.size() - 2);
    for (char& c : n) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return n;
}

// Argon2id with the parameters of OWASP's password storage guidance (19 MiB, 2 passes, one
// lane): enough for the password of a local file, and a third of the memory of libsodium's
// "interactive" preset. Hashes made with other parameters keep verifying: the parameters
// travel in the hash text.
constexpr unsigned long long kHashPasses = 2;
constexpr std::size_t kHashMemory = 19u * 1024 * 1024;

std::string SqliteSession::HashPassword(std::string_view password) {
    if (sodium_init() < 0) throw OraError(600, "internal error code, arguments: [sodium_init]");
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), kHashPasses, kHashMemory) != 0)
        throw OraError(4031, "unable to allocate memory");
    return out;
}

bool SqliteSession::VerifyPassword(const std::string& hash, std::string_view password) {
    if (sodium_init() < 0) return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::unique_ptr<SqliteSession> SqliteSession::Open(std::string_view userIn, std::string_view password,
                                                   std::string_view connect, bool create) {
    std::string user = NormalizeName(userIn);
    if (user.empty()) LogonDenied();
    if (password.empty()) throw OraError(1005, "null password given; logon denied");
    std::string path(connect);
    while (!path.empty() && std::isspace(static_cast<unsigned char>(path.back()))) path.pop_back();
    while (!path.empty() && std::isspace(static_cast<unsigned char>(path.front()))) path.erase(0, 1);
    std::error_code ec;
    if (path.empty()) {
        path = DefaultDatabasePath();
        if (!std::filesystem::exists(path, ec)) {
            create = true;
            // The folder of the user's own databases is private: other users of the machine
            // cannot list or open what is in it, whatever the umask.
            const std::filesystem::path folder = std::filesystem::path(path).parent_path();
            std::filesystem::create_directories(folder.parent_path(), ec);
            ::mkdir(folder.c_str(), 0700);
        }
    }
    bool exists = std::filesystem::exists(path, ec);
    if (!exists && !create) throw OraError(12154, "TNS:could not resolve the connect identifier specified");
    if (exists && std::filesystem::is_directory(path, ec))
        throw OraError(12154, "TNS:could not resolve the connect identifier specified");

    // A new database file is readable by its owner only; SQLite gives its WAL and shared-memory
    // files the mode of the database file. An empty file is a valid empty database.
    bool madeFile = false;
    if (!exists && create) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            madeFile = true;
        }
    }
    // SQLite keeps memory statistics under a global mutex on every allocation; the engine never
    // reads them. Only possible before SQLite's first use in the process, which is this one.
    static const bool noMemoryStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    (void)noMemoryStatistics;
    std::unique_ptr<SqliteSession> s(new SqliteSession());
    // A database whose folder may not be written cannot have its journal files there: it opens
    // for reading only, as a file that cannot change (nobody can write it without them either),
    // and its writes are refused (ORA-16000). A file that may not be written opens for reading.
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const bool folderReadOnly = exists && ::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0;
    s->readOnly_ = folderReadOnly || (exists && ::access(path.c_str(), W_OK) != 0);
    int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI |
                (s->readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0));
    const std::string uri = SqliteFileUri(path) + (folderReadOnly ? "?immutable=1" : "");
    int rc = sqlite3_open_v2(uri.c_str(), &s->db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (madeFile) ::unlink(path.c_str());
        if (!exists) throw OraError(12154, "TNS:could not resolve the connect identifier specified");
        ThrowSqlite(s->db_, rc);
    }
    sqlite3_extended_result_codes(s->db_, 1);
    sqlite3_busy_timeout(s->db_, LockTimeoutMs());
    s->catalog_ = Catalog(s->db_);
    s->nls_ = Nls::Default();
    s->host_.context.nls = &s->nls_;
    RegisterSqlFunctions(s->db_, &s->host_);
    // An existing account is checked without waiting for the write lock, so a logon does not
    // wait for another session's open transaction.
    bool hasCatalog = false;
    {
        SqliteStmt probe(s->db_, "SELECT count(*) FROM sqlite_master WHERE name = 'ocl_users'");
        probe.Step();
        hasCatalog = probe.Int(0) > 0;
    }
    // A file without accounts (an empty file is one) that is not to be created is refused before
    // anything is written to it.
    if (!hasCatalog && !create) {
        VerifyPassword(DummyHash(), password);
        LogonDenied();
    }
    // WAL keeps readers apart from the writer; NORMAL sync keeps every committed transaction
    // across a killed process (only a power loss may take the last commits back).
    ExecSql(s->db_, std::string(s->readOnly_ ? "" : "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;") +
                        " PRAGMA case_sensitive_like=ON; PRAGMA foreign_keys=OFF;");
    if (hasCatalog && !s->catalog_.HasAccountSchema()) {
        // a file from before account states and privileges: add their tables once
        ExecSql(s->db_, "BEGIN IMMEDIATE");
        try {
            s->catalog_.EnsureAccountSchema();
            ExecSql(s->db_, "COMMIT");
        } catch (...) {
            sqlite3_exec(s->db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }
    if (hasCatalog) {
        auto hash = s->catalog_.PasswordHash(user);
        if (hash) {
            s->CheckLogon(user, *hash, password);
            s->user_ = user;
            s->host_.context.user = user;
            return s;
        }
        if (!create) {
            // an unknown name costs what a wrong password costs, so names cannot be found by timing
            VerifyPassword(DummyHash(), password);
            LogonDenied();
        }
    }
    ExecSql(s->db_, "BEGIN IMMEDIATE");
    try {
        s->catalog_.EnsureSchema();
        s->catalog_.EnsureAccountSchema();
        auto hash = s->catalog_.PasswordHash(user);
        if (!hash) {
            if (!create) LogonDenied();
            s->catalog_.CreateUser(user, HashPassword(password));
            ExecSql(s->db_, "COMMIT");
        } else {
            ExecSql(s->db_, "COMMIT");
            s->CheckLogon(user, *hash, password);
        }
    } catch (...) {
        sqlite3_exec(s->db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    s->user_ = user;
    s->host_.context.user = user;
    return s;
}

// The hash of a random password nobody knows, made with the parameters HashPassword uses:
// checking a password against it takes as long as against an account's own hash.
const std::string& SqliteSession::DummyHash() {
    static const std::string hash =
        "$argon2id$v=19$m=19456,t=2,p=1$fPTI7tZo7jmGfJXmdKXwZg$/4QVHLzU03vAl8JCzq/rg7Hvvdnqi9JmHwv9k/KBmRU";
    return hash;
}

// Checks the password of an existing account and keeps its failed-logon count: the
// FAILED_LOGIN_ATTEMPTS-th failure in a row locks the account (ORA-28000 from then on, until
// ALTER USER ... ACCOUNT UNLOCK). A wrong password stays ORA-01017 on a locked account, so the
// lock tells nothing to someone who does not know the password.
//
// Every failure is recorded before its outcome is told: with the write lock in the database,
// else (another session holds it) in the logon journal beside it, else the logon is refused as
// busy without the password being checked. A database nobody may write cannot count failures;
// the state it holds still applies.
void SqliteSession::CheckLogon(const std::string& user, const std::string& hash, std::string_view password) {
    bool good = false;
    Catalog::LogonState state;
    if (readOnly_) {
        good = VerifyPassword(hash, password);
        state = catalog_.AccountState(user);
    } else {
        sqlite3_busy_timeout(db_, 0);  // a busy database is no reason to wait: the journal records
        const int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_busy_timeout(db_, LockTimeoutMs());
        if (rc == SQLITE_OK) {
            try {
                catalog_.TakeInLogonJournal(kFailedLoginAttempts);
                good = VerifyPassword(hash, password);
                state = catalog_.RecordLogon(user, good, kFailedLoginAttempts);
                ExecSql(db_, "COMMIT");
            } catch (const OraError&) {
                sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
                throw;
            }
        } else if ((rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED) {
            LogonJournal journal(sqlite3_db_filename(db_, "main"));
            state = catalog_.AccountStateWithJournal(user, kFailedLoginAttempts);
            if (!journal.Attempt(user)) ThrowSqlite(db_, SQLITE_BUSY);
            good = VerifyPassword(hash, password);
            // A success that cannot be written down leaves the attempt counted: stricter, never looser.
            if (good && !state.locked) journal.Succeeded(user);
        } else {
            ThrowSqlite(db_, rc);
        }
    }
    if (!good) LogonDenied();
    if (state.locked) throw OraError(28000, "The account is locked.");
}

SqliteSession::~SqliteSession() {
    // Work not committed is rolled back, as when a session ends without COMMIT.
    if (inTransaction_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
}

std::unique_ptr<Statement> SqliteSession::Prepare(std::string_view sql) {
    if (ClassifyStatement(sql) == StatementType::Merge) return std::make_unique<MergeStatement>(*this, sql);
    return std::make_unique<SqliteStatement>(*this, sql);
}

void SqliteSession::BeginWork() {
    if (inTransaction_) return;
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowSqlite(db_, rc);
    inTransaction_ = true;
}

void SqliteSession::Commit() {
    if (!inTransaction_) return;
    int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        // A commit that fails on a full disk or an I/O error may roll the transaction back
        // by itself; a later ROLLBACK must then find nothing to undo rather than fail.
        if (sqlite3_get_autocommit(db_)) inTransaction_ = false;
        ThrowSqlite(db_, rc);
    }
    inTransaction_ = false;
}

void SqliteSession::Rollback() {
    if (!inTransaction_) return;
    if (sqlite3_get_autocommit(db_)) {  // SQLite already ended the transaction after an error
        inTransaction_ = false;
        return;
    }
    // statements still reading are reset so the rollback can proceed
    for (sqlite3_stmt* st = sqlite3_next_stmt(db_, nullptr); st; st = sqlite3_next_stmt(db_, st))
        if (sqlite3_stmt_busy(st)) sqlite3_reset(st);
    int rc = sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowSqlite(db_, rc);
    inTransaction_ = false;
}

void SqliteSession::ThrowStepError(int rc) {
    if (host_.pending) {
        OraError e = *host_.pending;
        host_.pending.reset();
        throw e;
    }
    if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) {
        std::string name = catalog_.ConstraintForUniqueFailure(sqlite3_errmsg(db_));
        throw OraError(1, "unique constraint (" + name + ") violated");
    }
    // A cancelled change ends SQLite's whole transaction, not the one statement: the session
    // then has no transaction left to commit or roll back.
    if ((rc & 0xFF) == SQLITE_INTERRUPT && sqlite3_get_autocommit(db_)) inTransaction_ = false;
    ThrowSqlite(db_, rc);
}

StmtHandle SqliteSession::PrepareSql(Plan& plan) {
    sqlite3_stmt* prepared = nullptr;
    int rc = sqlite3_prepare_v3(db_, plan.sql.c_str(), static_cast<int>(plan.sql.size()), SQLITE_PREPARE_PERSISTENT,
                                &prepared, nullptr);
    StmtHandle owner(prepared);
    if (rc != SQLITE_OK) {
        // ROWNUM is numbered with a window function, which SQLite refuses in some places
        // (inside OR or NOT, in a bound that depends on the row): not supported there
        const std::string_view message = sqlite3_errmsg(db_);
        if (message.find("window function") != std::string_view::npos) throw OraError(3001, "unimplemented feature");
        // an aggregate of outer columns only, in a subquery: it belongs to the outer statement,
        // where no aggregate may stand
        if (message.find("misuse of aggregate") != std::string_view::npos)
            throw OraError(934, "group function is not allowed here");
        ThrowSqlite(db_, rc);
    }
    sqlite3_stmt* stmt = owner.get();
    for (size_t i = 0; i < plan.calls.size(); ++i) {
        int idx = sqlite3_bind_parameter_index(stmt, (":f" + std::to_string(i)).c_str());
        if (idx > 0) sqlite3_bind_pointer(stmt, idx, plan.calls[i].get(), kCallPointer, nullptr);
    }
    for (size_t i = 0; i < plan.puts.size(); ++i) {
        int idx = sqlite3_bind_parameter_index(stmt, (":p" + std::to_string(i)).c_str());
        if (idx > 0) sqlite3_bind_pointer(stmt, idx, plan.puts[i].get(), kPutPointer, nullptr);
    }
    for (size_t i = 0; i < plan.slots.size(); ++i)
        plan.slots[i].param = sqlite3_bind_parameter_index(stmt, (":b" + std::to_string(i)).c_str());
    return owner;
}

// ---- statements the session runs itself -------------------------------------------------

void SqliteSession::RunSessionStatement(const ParsedStatement& st) {
    switch (st.kind) {
        case StmtKind::Commit: Commit(); return;
        case StmtKind::Rollback:
            if (!st.name.empty()) {
                if (!inTransaction_)
                    throw OraError(1086, "savepoint '" + st.name + "' never established in this session or is invalid");
                std::string sql = "ROLLBACK TO \"sp_" + st.name + "\"";
                if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
                    throw OraError(1086, "savepoint '" + st.name + "' never established in this session or is invalid");
                return;
            }
            Rollback();
            return;
        case StmtKind::Savepoint: {
            BeginWork();
            ExecSql(db_, "SAVEPOINT \"sp_" + st.name + "\"");
            return;
        }
        case StmtKind::AlterSession: return;
        case StmtKind::PlSql: throw OraError(3001, "unimplemented feature");
        default: Ddl(st); return;
    }
}

void SqliteSession::Ddl(const ParsedStatement& st) {
    // DDL commits the open transaction, then runs in a transaction of its own.
    Commit();
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowSqlite(db_, rc);
    try {
        switch (st.kind) {
            case StmtKind::CreateTable: CreateTable(st); break;
            case StmtKind::CreateView: CreateView(st); break;
            case StmtKind::Drop: Drop(st); break;
            case StmtKind::Truncate: {
                auto obj = catalog_.Find(st.schema.empty() ? user_ : st.schema, st.name);
                if (!obj || obj->type != "TABLE") throw OraError(942, "table or view does not exist");
                RequireOwnOrAny(*obj, "DROP ANY TABLE");
                ExecSql(db_, "DELETE FROM " + obj->StorageName());
                break;
            }
            case StmtKind::CreateUser: {
                RequireSystem("CREATE USER");
                std::string name = st.name;
                if (catalog_.UserExists(name))
                    throw OraError(1920, "user name '" + name + "' conflicts with another user or role name");
                catalog_.CreateUser(name, HashPassword(st.password));
                break;
            }
            case StmtKind::CreateDirectory: {
                // Directory objects belong to the database, as in Oracle (no owner). A database
                // made before directories existed gets their table now.
                ExecSql(db_, "CREATE TABLE IF NOT EXISTS ocl_directories(name TEXT PRIMARY KEY, path TEXT NOT NULL)");
                SqliteStmt used(db_, "SELECT 1 FROM ocl_directories WHERE name = ?");
                used.Bind(1, st.name);
                if (used.Step() && !st.orReplace) throw OraError(955, "name is already used by an existing object");
                SqliteStmt put(db_, "INSERT OR REPLACE INTO ocl_directories(name, path) VALUES(?, ?)");
                put.Bind(1, st.name).Bind(2, st.directoryPath);
                put.Step();
                break;
            }
            case StmtKind::AlterUser: {
                // an account may change its own password; anything else takes ALTER USER
                if (st.name != user_ || !st.accountState.empty()) RequireSystem("ALTER USER");
                if (!catalog_.UserExists(st.name)) throw OraError(1918, "user '" + st.name + "' does not exist");
                if (!st.password.empty()) catalog_.SetPassword(st.name, HashPassword(st.password));
                if (!st.accountState.empty()) {
                    catalog_.TakeInLogonJournal(kFailedLoginAttempts);  // older failures go before the change
                    catalog_.SetLocked(st.name, st.accountState == "LOCK");
                }
                break;
            }
            case StmtKind::Grant:
            case StmtKind::Revoke: GrantOrRevoke(st); break;
            default: throw OraError(900, "invalid SQL statement");
        }
        rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) ThrowSqlite(db_, rc);
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

// ---- privileges ---------------------------------------------------------------------------

void SqliteSession::RequireSystem(const std::string& privilege) {
    if (!catalog_.HasSystemPrivilege(user_, privilege)) throw OraError(1031, "insufficient privileges");
}

// DDL on another account's object: ORA-00942 when the object is hidden from this account,
// ORA-01031 when it is visible but the ANY privilege is missing.
void SqliteSession::RequireOwnOrAny(const CatalogObject& obj, const std::string& anyPrivilege) {
    if (obj.owner == user_ || catalog_.HasSystemPrivilege(user_, anyPrivilege)) return;
    if (catalog_.ObjectAccess(user_, obj, "SELECT") == Catalog::Access::None)
        throw OraError(942, "table or view does not exist");
    throw OraError(1031, "insufficient privileges");
}

void SqliteSession::GrantOrRevoke(const ParsedStatement& st) {
    bool grant = st.kind == StmtKind::Grant;
    for (const auto& g : st.grantees)
        if (g != "PUBLIC" && !catalog_.UserExists(g)) throw OraError(1917, "user or role '" + g + "' does not exist");
    if (st.name.empty()) {
        // system privileges
        static const char* const kSystem[] = {
            "CREATE SESSION",   "CREATE TABLE",     "CREATE VIEW",         "CREATE ANY TABLE",
            "CREATE ANY VIEW",  "DROP ANY TABLE",   "DROP ANY VIEW",       "SELECT ANY TABLE",
            "INSERT ANY TABLE", "UPDATE ANY TABLE", "DELETE ANY TABLE",    "CREATE USER",
            "ALTER USER",       "DROP USER",        "GRANT ANY PRIVILEGE", "GRANT ANY OBJECT PRIVILEGE"};
        for (const auto& p : st.columns) {
            bool known = false;
            for (const char* k : kSystem) known = known || p == k;
            if (!known) throw OraError(990, "missing or invalid privilege");
        }
        RequireSystem("GRANT ANY PRIVILEGE");
        for (const auto& g : st.grantees)
            for (const auto& p : st.columns) {
                if (grant)
                    catalog_.GrantSystem(g, p);
                else
                    catalog_.RevokeSystem(g, p);
            }
        return;
    }
    std::vector<std::string> privileges;
    for (const auto& p : st.columns) {
        if (p == "ALL") {
            for (const char* a : {"SELECT", "INSERT", "UPDATE", "DELETE"}) privileges.push_back(a);
        } else if (p == "SELECT" || p == "INSERT" || p == "UPDATE" || p == "DELETE") {
            privileges.push_back(p);
        } else {
            throw OraError(990, "missing or invalid privilege");
        }
    }
    std::string owner = st.schema.empty() ? user_ : st.schema;
    auto obj = catalog_.Find(owner, st.name);
    if (!obj) throw OraError(942, "table or view does not exist");
    if (obj->owner != user_ && !catalog_.HasSystemPrivilege(user_, "GRANT ANY OBJECT PRIVILEGE")) {
        if (catalog_.ObjectAccess(user_, *obj, "SELECT") == Catalog::Access::None)
            throw OraError(942, "table or view does not exist");
        throw OraError(1031, "insufficient privileges");
    }
    for (const auto& g : st.grantees) {
        if (g == obj->owner) throw OraError(1749, "you may not GRANT/REVOKE privileges to/from yourself");
        bool any = false;
        for (const auto& p : privileges) {
            if (grant)
                catalog_.GrantObject(obj->id, g, p);
            else
                any = catalog_.RevokeObject(obj->id, g, p) || any;
        }
        if (!grant && !any) throw OraError(1927, "cannot REVOKE privileges you did not grant");
    }
}

void SqliteSession::CreateTable(const ParsedStatement& st) {
    std::string owner = st.schema.empty() ? user_ : st.schema;
    if (owner != user_) RequireSystem("CREATE ANY TABLE");
    if (!st.schema.empty() && !catalog_.UserExists(owner)) throw OraError(1918, "user '" + owner + "' does not exist");
    if (catalog_.NameUsed(owner, st.name)) throw OraError(955, "name is already used by an existing object");
    std::vector<CatalogColumn> cols;
    std::vector<CatalogConstraint> cons;
    std::set<std::string> names;
    auto addName = [&](const std::string& n) {
        if (!names.insert(n).second) throw OraError(957, "duplicate column name");
    };
    if (st.select) {
        // CREATE TABLE ... AS SELECT: columns from the query's describe
        Plan plan;
        std::vector<std::string> binds;
        Translator tr(catalog_, user_, plan, binds);
        ParsedStatement q;
        auto result = tr.TranslateQuery(*st.select, nullptr);
        if (!binds.empty()) throw OraError(1027, "bind variables not allowed for data definition operations");
        RequireColumnLimit(result.columns.size());
        for (const auto& c : result.columns) {
            if (c.info.name.empty() || c.info.name.find('(') != std::string::npos)
                throw OraError(998, "must name this expression with a column alias");
            addName(c.info.name);
            CatalogColumn col;
            col.name = c.info.name;
            col.type = c.type;
            if (col.type.kind == TypeKind::Unknown) col.type = SqlType::Text(1);
            col.type.literal = false;
            cols.push_back(std::move(col));
        }
        CatalogObject obj = catalog_.CreateTable(owner, st.name, std::move(cols), {});
        plan.sql = "INSERT INTO " + obj.StorageName() + " SELECT * FROM (" + result.sql + ")";
        StmtHandle stmt = PrepareSql(plan);
        host_.pending.reset();
        int rc = sqlite3_step(stmt.get());
        if (rc != SQLITE_DONE) ThrowStepError(rc);
        return;
    }
    RequireColumnLimit(st.columnDefs.size());
    int longs = 0;
    for (const auto& c : st.columnDefs) {
        addName(c.name);
        CatalogColumn col;
        col.name = c.name;
        col.type = TypeFromSpec(c.type);
        if (col.type.kind == TypeKind::Long || col.type.kind == TypeKind::LongRaw) ++longs;
        col.notNull = c.notNull || c.primaryKey;
        if (!c.defaultText.empty()) {
            // the default must be an expression that parses on its own
            ParseStatement("SELECT " + c.defaultText + " FROM DUAL");
            col.defaultText = c.defaultText;
        }
        if (c.primaryKey || c.unique) {
            CatalogConstraint k;
            k.owner = owner;
            k.name = c.constraintName;
            k.type = c.primaryKey ? 'P' : 'U';
            k.columns.push_back(static_cast<int>(cols.size()));
            cons.push_back(std::move(k));
        }
        cols.push_back(std::move(col));
    }
    if (longs > 1) throw OraError(1754, "a table may contain only one column of type LONG");
    for (const auto& tc : st.constraints) {
        CatalogConstraint k;
        k.owner = owner;
        k.name = tc.name;
        k.type = tc.type;
        for (const auto& n : tc.columns) {
            int pos = -1;
            for (size_t i = 0; i < cols.size(); ++i)
                if (cols[i].name == n) pos = static_cast<int>(i);
            if (pos < 0) throw OraError(904, "\"" + n + "\": invalid identifier");
            if (tc.type == 'P') cols[static_cast<size_t>(pos)].notNull = true;
            k.columns.push_back(pos);
        }
        cons.push_back(std::move(k));
    }
    int primaryKeys = 0;
    for (const auto& k : cons) {
        if (k.type == 'P') ++primaryKeys;
        for (int c : k.columns) {
            const SqlType& t = cols[static_cast<size_t>(c)].type;
            if (t.IsLob() || t.kind == TypeKind::Long || t.kind == TypeKind::LongRaw)
                throw OraError(2329, "column of datatype " + TypeName(t) + " cannot be unique or a primary key");
        }
    }
    if (primaryKeys > 1) throw OraError(2260, "table can have only one primary key");
    std::set<std::string> conNames;
    for (const auto& k : cons)
        if (!k.name.empty() && !conNames.insert(k.name).second)
            throw OraError(2264, "name already used by an existing constraint");
    catalog_.CreateTable(owner, st.name, std::move(cols), std::move(cons));
}

void SqliteSession::CreateView(const ParsedStatement& st) {
    std::string owner = st.schema.empty() ? user_ : st.schema;
    if (owner != user_) RequireSystem("CREATE ANY VIEW");
    if (auto existing = catalog_.Find(owner, st.name)) {
        if (!st.orReplace || existing->type != "VIEW")
            throw OraError(955, "name is already used by an existing object");
    }
    Plan plan;
    std::vector<std::string> binds;
    Translator tr(catalog_, owner, plan, binds);
    auto result = tr.TranslateQuery(*st.select, nullptr);
    if (!binds.empty()) throw OraError(1027, "bind variables not allowed for data definition operations");
    if (!st.columns.empty() && st.columns.size() != result.columns.size())
        throw OraError(1730, "invalid number of column names specified");
    RequireColumnLimit(result.columns.size());
    std::set<std::string> names;
    for (size_t i = 0; i < result.columns.size(); ++i) {
        const std::string& n = st.columns.empty() ? result.columns[i].info.name : st.columns[i];
        if (st.columns.empty() && n.find('(') != std::string::npos)
            throw OraError(998, "must name this expression with a column alias");
        if (!names.insert(n).second) throw OraError(957, "duplicate column name");
    }
    catalog_.CreateView(owner, st.name, st.viewText, st.columns, st.orReplace);
}

std::string SqliteSession::DirectoryPath(std::string_view name) {
    {
        SqliteStmt probe(db_, "SELECT count(*) FROM sqlite_master WHERE name = 'ocl_directories'");
        probe.Step();
        if (probe.Int(0) == 0) throw OraError(22285, "non-existent directory or file for FILEOPEN operation");
    }
    SqliteStmt s(db_, "SELECT path FROM ocl_directories WHERE name = ?");
    s.Bind(1, std::string(name));
    if (!s.Step()) throw OraError(22285, "non-existent directory or file for FILEOPEN operation");
    return s.Text(0);
}

void SqliteSession::Drop(const ParsedStatement& st) {
    if (st.objectType == "DIRECTORY") {
        ExecSql(db_, "CREATE TABLE IF NOT EXISTS ocl_directories(name TEXT PRIMARY KEY, path TEXT NOT NULL)");
        SqliteStmt used(db_, "SELECT 1 FROM ocl_directories WHERE name = ?");
        used.Bind(1, st.name);
        if (!used.Step()) throw OraError(4043, "object " + st.name + " does not exist");
        SqliteStmt drop(db_, "DELETE FROM ocl_directories WHERE name = ?");
        drop.Bind(1, st.name);
        drop.Step();
        return;
    }
    if (st.objectType == "USER") {
        RequireSystem("DROP USER");
        if (!catalog_.UserExists(st.name)) throw OraError(1918, "user '" + st.name + "' does not exist");
        if (st.name == user_) throw OraError(1940, "cannot drop a user that is currently connected");
        // the administrator's account holds the database's system privileges: it stays
        if (catalog_.IsAdministrator(st.name)) throw OraError(1031, "insufficient privileges");
        auto objects = catalog_.ObjectsOf(st.name);
        if (!objects.empty() && !st.cascade)
            throw OraError(1922, "CASCADE must be specified to drop '" + st.name + "'");
        for (const auto& o : objects) catalog_.DropObject(o);
        catalog_.DropAccountData(st.name);
        catalog_.DropUser(st.name);
        return;
    }
    std::string owner = st.schema.empty() ? user_ : st.schema;
    auto obj = catalog_.Find(owner, st.name);
    if (!obj || obj->type != st.objectType) throw OraError(942, "table or view does not exist");
    RequireOwnOrAny(*obj, obj->type == "VIEW" ? "DROP ANY VIEW" : "DROP ANY TABLE");
    catalog_.DropObject(*obj);
}

}  // namespace ocilite
