#pragma once
// Session over one SQLite connection to a database file: logon against the accounts kept in
// the file, the transaction (begun by the first change, ended by COMMIT/ROLLBACK; DDL commits
// before and after), and the statements the session runs itself (DDL, accounts).

#include <memory>
#include <sqlite3.h>
#include <string>

#include "ocilite/engine/Catalog.h"
#include "ocilite/engine/Engine.h"
#include "ocilite/engine/SqlFunctions.h"
#include "ocilite/engine/SqliteDb.h"
#include "ocilite/engine/ValueCodec.h"

namespace ocilite {

struct ParsedStatement;
struct Plan;

class SqliteSession : public Session {
public:
    static std::unique_ptr<SqliteSession> Open(std::string_view user, std::string_view password,
                                               std::string_view connect, bool create);
    ~SqliteSession() override;

    std::unique_ptr<Statement> Prepare(std::string_view sql) override;
    void Commit() override;
    void Rollback() override;
    const std::string& UserName() const override { return user_; }
    void Cancel() override { sqlite3_interrupt(db_); }
    bool InTransaction() const override { return inTransaction_; }
    std::string DirectoryPath(std::string_view name) override;

    sqlite3* Db() const { return db_; }
    Catalog& Cat() { return catalog_; }
    const Nls& NlsSettings() const { return nls_; }
    FunctionHost& Host() { return host_; }

    // Starts the transaction before the first change (waits for other writers, then ORA-00054).
    void BeginWork();
    // Runs a statement the session handles itself; DDL commits first.
    void RunSessionStatement(const ParsedStatement& st);
    // Throws the OraError for a failed sqlite3_step: a pending function error, a unique key
    // violation (ORA-00001), or the mapped SQLite condition.
    [[noreturn]] void ThrowStepError(int rc);
    // Prepares plan SQL, binds its call-site pointers and finds each bind slot's parameter.
    StmtHandle PrepareSql(Plan& plan);

    // Password hashing with libsodium (Argon2id).
    static std::string HashPassword(std::string_view password);
    static bool VerifyPassword(const std::string& hash, std::string_view password);
    static const std::string& DummyHash();
    // FAILED_LOGIN_ATTEMPTS of the default profile
    static constexpr int kFailedLoginAttempts = 10;
    void CheckLogon(const std::string& user, const std::string& hash, std::string_view password);
    // The default database: $XDG_DATA_HOME/tabrook/default.db.
    static std::string DefaultDatabasePath();
    // The user's data folder of the program: $XDG_DATA_HOME/tabrook (~/.local/share/tabrook).
    static std::string UserDataFolder();
    // Unquoted user names fold to upper case, "quoted" ones are kept.
    static std::string NormalizeName(std::string_view name);

private:
    SqliteSession() = default;
    void Ddl(const ParsedStatement& st);
    void CreateTable(const ParsedStatement& st);
    void CreateView(const ParsedStatement& st);
    void Drop(const ParsedStatement& st);
    void GrantOrRevoke(const ParsedStatement& st);
    void RequireSystem(const std::string& privilege);
    void RequireOwnOrAny(const CatalogObject& obj, const std::string& anyPrivilege);

    sqlite3* db_ = nullptr;
    Catalog catalog_{nullptr};
    Nls nls_;
    FunctionHost host_;
    std::string user_;
    bool inTransaction_ = false;
    bool readOnly_ = false;  // opened for reading only: its folder or file may not be written
};

}  // namespace ocilite
