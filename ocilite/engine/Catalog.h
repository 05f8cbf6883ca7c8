#pragma once
// The engine's catalog of Oracle names, kept in SQLite tables of its own inside the database
// file: accounts, objects (tables and views) with their owners, columns with declared types,
// and constraints. Each Oracle table is stored in an SQLite table named t<object id> with
// columns c1..cn, so Oracle's case-sensitive quoted names never meet SQLite's own rules.

#include <cstdint>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <vector>

#include "ocilite/engine/SqlType.h"

namespace ocilite {

struct CatalogColumn {
    std::string name;
    SqlType type;
    bool notNull = false;
    std::string defaultText;  // Oracle expression text, empty when none
};

struct CatalogConstraint {
    std::string owner, name;
    char type = 'U';           // 'P' or 'U'
    std::vector<int> columns;  // 0-based column positions
};

struct CatalogObject {
    int64_t id = 0;
    std::string owner, name;
    std::string type;                      // "TABLE" or "VIEW"
    std::vector<CatalogColumn> columns;    // tables only
    std::string viewText;                  // views: the query text
    std::vector<std::string> viewColumns;  // views: explicit column names, if given
    std::vector<CatalogConstraint> constraints;

    std::string StorageName() const { return "t" + std::to_string(id); }
    static std::string ColumnStorage(size_t pos) { return "c" + std::to_string(pos + 1); }
};

class Catalog {
public:
    explicit Catalog(sqlite3* db) : db_(db) {}

    // Creates the catalog tables in a new database file.
    void EnsureSchema();

    // Accounts.
    bool UserExists(const std::string& user);
    std::optional<std::string> PasswordHash(const std::string& user);
    void CreateUser(const std::string& user, const std::string& passwordHash);
    void SetPassword(const std::string& user, const std::string& passwordHash);
    void DropUser(const std::string& user);
    int64_t UserCount();

    // Account state and privileges (Accounts.cpp). Tables added to files made before them are
    // created by EnsureAccountSchema, which needs the write lock.
    bool HasAccountSchema();
    void EnsureAccountSchema();
    struct LogonState {
        int failed = 0;  // failed logons in a row
        bool locked = false;
    };
    LogonState AccountState(const std::string& user);
    // Counts a failed logon (locking the account at `limit`), or clears the count after a good one.
    LogonState RecordLogon(const std::string& user, bool good, int limit);
    // The account's state with the logons its database's journal holds (see LogonJournal).
    LogonState AccountStateWithJournal(const std::string& user, int limit);
    // Takes the logon journal into the accounts' counts and empties it (under the write lock).
    void TakeInLogonJournal(int limit);
    void SetLocked(const std::string& user, bool locked);
    // The first account of the database is its administrator and holds every system privilege;
    // others hold the ones granted to them.
    bool IsAdministrator(const std::string& user);
    bool HasSystemPrivilege(const std::string& user, const std::string& privilege);
    void GrantSystem(const std::string& grantee, const std::string& privilege);
    void RevokeSystem(const std::string& grantee, const std::string& privilege);
    // Object privileges: SELECT, INSERT, UPDATE, DELETE on one object of another account.
    void GrantObject(int64_t objectId, const std::string& grantee, const std::string& privilege);
    // false when the grantee did not hold the privilege
    bool RevokeObject(int64_t objectId, const std::string& grantee, const std::string& privilege);
    // What `user` may do with `obj`: Own (its owner or the administrator), Granted (this
    // privilege), Other (some privilege, not this one: ORA-01031), None (ORA-00942).
    enum class Access { None, Other, Granted, Own };
    Access ObjectAccess(const std::string& user, const CatalogObject& obj, const std::string& privilege);
    // SQL condition (over ocl_objects under `alias`) for the objects `user` may see in the
    // ALL_ views.
    std::string VisibleObjectsCondition(const std::string& user, const std::string& alias);
    void DropGrantsOn(int64_t objectId);
    void DropAccountData(const std::string& user);

    std::optional<CatalogObject> Find(const std::string& owner, const std::string& name);
    bool NameUsed(const std::string& owner, const std::string& name);
    std::vector<CatalogObject> ObjectsOf(const std::string& owner);

    // Records a table and creates its storage table and unique indexes. Constraint names left
    // empty get SYS_Cnnnnnnn names.
    CatalogObject CreateTable(const std::string& owner, const std::string& name, std::vector<CatalogColumn> columns,
                              std::vector<CatalogConstraint> constraints);
    void CreateView(const std::string& owner, const std::string& name, const std::string& text,
                    const std::vector<std::string>& columns, bool replace);
    void DropObject(const CatalogObject& obj);

    // The constraint behind SQLite's "UNIQUE constraint failed: tN.cA, tN.cB" message.
    std::string ConstraintForUniqueFailure(const std::string& sqliteMessage);

private:
    std::string NextConstraintName();
    sqlite3* db_;
};

}  // namespace ocilite
