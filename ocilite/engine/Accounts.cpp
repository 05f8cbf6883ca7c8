// Accounts beyond their password: the failed-logon count and lock of each account, the
// system privileges granted to accounts other than the administrator, and the object
// privileges one account grants another on its tables and views.

#include "ocilite/engine/Catalog.h"
#include "ocilite/engine/LogonJournal.h"
#include "ocilite/engine/SqliteDb.h"
#include "ocilite/types/OraError.h"

namespace ocilite {

bool Catalog::HasAccountSchema() {
    SqliteStmt s(db_, "SELECT count(*) FROM sqlite_master WHERE name = 'ocl_grants'");
    s.Step();
    return s.Int(0) > 0;
}

void Catalog::EnsureAccountSchema() {
    ExecSql(db_,
            "CREATE TABLE IF NOT EXISTS ocl_account_state(name TEXT PRIMARY KEY,"
            " failed INTEGER NOT NULL DEFAULT 0, locked INTEGER NOT NULL DEFAULT 0);"
            "CREATE TABLE IF NOT EXISTS ocl_sys_privs(grantee TEXT NOT NULL, privilege TEXT NOT NULL,"
            " PRIMARY KEY(grantee, privilege));"
            "CREATE TABLE IF NOT EXISTS ocl_grants(obj_id INTEGER NOT NULL, grantee TEXT NOT NULL,"
            " privilege TEXT NOT NULL, PRIMARY KEY(obj_id, grantee, privilege));");
}

Catalog::LogonState Catalog::AccountState(const std::string& user) {
    LogonState st;
    SqliteStmt s(db_, "SELECT failed, locked FROM ocl_account_state WHERE name = ?");
    s.Bind(1, user);
    if (s.Step()) {
        st.failed = static_cast<int>(s.Int(0));
        st.locked = s.Int(1) != 0;
    }
    return st;
}

Catalog::LogonState Catalog::RecordLogon(const std::string& user, bool good, int limit) {
    LogonState st = AccountState(user);
    if (good) {
        if (st.failed == 0 || st.locked) return st;
        st.failed = 0;
    } else {
        if (st.locked) return st;
        ++st.failed;
        st.locked = st.failed >= limit;
    }
    SqliteStmt s(db_,
                 "INSERT INTO ocl_account_state(name, failed, locked) VALUES(?1, ?2, ?3)"
                 " ON CONFLICT(name) DO UPDATE SET failed = ?2, locked = ?3");
    s.Bind(1, user).Bind(2, static_cast<int64_t>(st.failed)).Bind(3, static_cast<int64_t>(st.locked ? 1 : 0));
    s.Step();
    return st;
}

namespace {

// A state after the logons of a journal's tally: a good logon clears the count of an account
// that is not locked; each attempt after it counts as a failure until the limit locks it.
Catalog::LogonState After(Catalog::LogonState st, const LogonJournal::Tally& tally, int limit) {
    if (st.locked) return st;
    if (tally.goodLogon) st.failed = 0;
    st.failed += tally.attempts;
    st.locked = st.failed >= limit;
    return st;
}

std::string DatabasePath(sqlite3* db) {
    const char* path = sqlite3_db_filename(db, "main");
    return path ? path : "";
}

}  // namespace

Catalog::LogonState Catalog::AccountStateWithJournal(const std::string& user, int limit) {
    return After(AccountState(user), LogonJournal(DatabasePath(db_)).TallyOf(user), limit);
}

void Catalog::TakeInLogonJournal(int limit) {
    for (const auto& [user, tally] : LogonJournal(DatabasePath(db_)).TakeAll()) {
        if (!PasswordHash(user)) continue;  // an account dropped since
        const LogonState st = After(AccountState(user), tally, limit);
        SqliteStmt s(db_,
                     "INSERT INTO ocl_account_state(name, failed, locked) VALUES(?1, ?2, ?3)"
                     " ON CONFLICT(name) DO UPDATE SET failed = ?2, locked = ?3");
        s.Bind(1, user).Bind(2, static_cast<int64_t>(st.failed)).Bind(3, static_cast<int64_t>(st.locked ? 1 : 0));
        s.Step();
    }
}

void Catalog::SetLocked(const std::string& user, bool locked) {
    SqliteStmt s(db_,
                 "INSERT INTO ocl_account_state(name, failed, locked) VALUES(?1, 0, ?2)"
                 " ON CONFLICT(name) DO UPDATE SET failed = 0, locked = ?2");
    s.Bind(1, user).Bind(2, static_cast<int64_t>(locked ? 1 : 0));
    s.Step();
}

bool Catalog::IsAdministrator(const std::string& user) {
    SqliteStmt s(db_, "SELECT name FROM ocl_users ORDER BY rowid LIMIT 1");
    return s.Step() && s.Text(0) == user;
}

bool Catalog::HasSystemPrivilege(const std::string& user, const std::string& privilege) {
    if (IsAdministrator(user)) return true;
    SqliteStmt s(db_, "SELECT 1 FROM ocl_sys_privs WHERE grantee IN (?, 'PUBLIC') AND privilege = ?");
    s.Bind(1, user).Bind(2, privilege);
    return s.Step();
}

void Catalog::GrantSystem(const std::string& grantee, const std::string& privilege) {
    SqliteStmt s(db_, "INSERT OR IGNORE INTO ocl_sys_privs(grantee, privilege) VALUES(?, ?)");
    s.Bind(1, grantee).Bind(2, privilege);
    s.Step();
}

void Catalog::RevokeSystem(const std::string& grantee, const std::string& privilege) {
    SqliteStmt s(db_, "DELETE FROM ocl_sys_privs WHERE grantee = ? AND privilege = ?");
    s.Bind(1, grantee).Bind(2, privilege);
    s.Step();
    if (sqlite3_changes(db_) == 0) throw OraError(1952, "system privileges not granted to '" + grantee + "'");
}

void Catalog::GrantObject(int64_t objectId, const std::string& grantee, const std::string& privilege) {
    SqliteStmt s(db_, "INSERT OR IGNORE INTO ocl_grants(obj_id, grantee, privilege) VALUES(?, ?, ?)");
    s.Bind(1, objectId).Bind(2, grantee).Bind(3, privilege);
    s.Step();
}

bool Catalog::RevokeObject(int64_t objectId, const std::string& grantee, const std::string& privilege) {
    SqliteStmt s(db_, "DELETE FROM ocl_grants WHERE obj_id = ? AND grantee = ? AND privilege = ?");
    s.Bind(1, objectId).Bind(2, grantee).Bind(3, privilege);
    s.Step();
    return sqlite3_changes(db_) > 0;
}

Catalog::Access Catalog::ObjectAccess(const std::string& user, const CatalogObject& obj, const std::string& privilege) {
    if (obj.owner == user) return Access::Own;
    if (!HasAccountSchema()) return Access::Own;  // a file from before privileges, read only
    // the administrator holds SELECT/INSERT/UPDATE/DELETE ANY TABLE
    if (HasSystemPrivilege(user, privilege + " ANY TABLE")) return Access::Own;
    SqliteStmt s(db_, "SELECT max(privilege = ?) FROM ocl_grants WHERE obj_id = ? AND grantee IN (?, 'PUBLIC')");
    s.Bind(1, privilege).Bind(2, obj.id).Bind(3, user);
    if (!s.Step() || s.IsNull(0)) return Access::None;
    return s.Int(0) != 0 ? Access::Granted : Access::Other;
}

std::string Catalog::VisibleObjectsCondition(const std::string& user, const std::string& alias) {
    if (IsAdministrator(user) || HasSystemPrivilege(user, "SELECT ANY TABLE")) return "1";
    std::string quoted = "'";
    for (char c : user) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    quoted += "'";
    std::string cond = "(" + alias + ".owner = " + quoted;
    if (HasAccountSchema())
        cond += " OR " + alias + ".id IN (SELECT obj_id FROM ocl_grants WHERE grantee IN (" + quoted + ", 'PUBLIC'))";
    return cond + ")";
}

void Catalog::DropGrantsOn(int64_t objectId) {
    if (!HasAccountSchema()) return;
    SqliteStmt s(db_, "DELETE FROM ocl_grants WHERE obj_id = ?");
    s.Bind(1, objectId);
    s.Step();
}

void Catalog::DropAccountData(const std::string& user) {
    if (!HasAccountSchema()) return;
    for (const char* sql : {"DELETE FROM ocl_grants WHERE grantee = ?", "DELETE FROM ocl_sys_privs WHERE grantee = ?",
                            "DELETE FROM ocl_account_state WHERE name = ?"}) {
        SqliteStmt s(db_, sql);
        s.Bind(1, user);
        s.Step();
    }
}

}  // namespace ocilite
