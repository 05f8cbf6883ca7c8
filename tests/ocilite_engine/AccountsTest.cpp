// Accounts and privileges: objects belong to their owner and others reach them through
// grants; the first account holds the system privileges; ten failed logons in a row lock an
// account until it is unlocked.

#include <sqlite3.h>

#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

const std::string kMissing = "ORA-00942: table or view does not exist";
const std::string kDenied = "ORA-01031: insufficient privileges";
const std::string kBadLogon = "ORA-01017: invalid username/password; logon denied";
const std::string kLocked = "ORA-28000: The account is locked.";

std::string LogonError(const std::string& user, const std::string& pw, const std::string& db) {
    try {
        Session::Logon(user, pw, db, false);
        return "";
    } catch (const OraError& e) {
        return e.Message();
    }
}

class AccountsTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();  // scott creates the database: its administrator
        Exec("CREATE USER alice IDENTIFIED BY pa");
        Exec("CREATE USER bob IDENTIFIED BY pb");
        alice_ = Logon("alice", "pa", false);
        bob_ = Logon("bob", "pb", false);
        Exec("CREATE TABLE t(a NUMBER)", alice_.get());
        Exec("INSERT INTO t VALUES(1)", alice_.get());
        alice_->Commit();
    }

    // What bob's statements on alice's table give, in order.
    std::vector<std::string> BobTries() {
        std::vector<std::string> out;
        for (const char* sql : {"SELECT a FROM alice.t", "INSERT INTO alice.t VALUES(2)", "UPDATE alice.t SET a = a",
                                "DELETE FROM alice.t WHERE a = 2"})
            out.push_back(ErrorOf(sql, bob_.get()));
        bob_->Rollback();
        return out;
    }

    std::unique_ptr<Session> alice_, bob_;
};

TEST_F(AccountsTest, OtherAccountsReachAnObjectOnlyThroughItsGrants) {
    using V = std::vector<std::string>;
    EXPECT_EQ(BobTries(), (V{kMissing, kMissing, kMissing, kMissing}));
    Exec("GRANT SELECT ON t TO bob", alice_.get());
    EXPECT_EQ(BobTries(), (V{"", kDenied, kDenied, kDenied}));
    Exec("GRANT INSERT, DELETE ON t TO bob", alice_.get());
    EXPECT_EQ(BobTries(), (V{"", "", kDenied, ""}));
    Exec("GRANT ALL ON t TO bob", alice_.get());
    EXPECT_EQ(BobTries(), (V{"", "", "", ""}));
    Exec("REVOKE ALL ON t FROM bob", alice_.get());
    EXPECT_EQ(BobTries(), (V{kMissing, kMissing, kMissing, kMissing}));
    // a WHERE clause reads rows: DELETE alone empties the table but cannot pick rows
    Exec("GRANT DELETE ON t TO bob", alice_.get());
    EXPECT_EQ(ErrorOf("DELETE FROM alice.t WHERE a = 1", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("DELETE FROM alice.t", bob_.get()), "");
    bob_->Rollback();
    Exec("REVOKE DELETE ON t FROM bob", alice_.get());
    Exec("GRANT SELECT ON t TO PUBLIC", alice_.get());
    EXPECT_EQ(BobTries(), (V{"", kDenied, kDenied, kDenied}));
    // the administrator reads and changes every account's tables
    EXPECT_EQ(Rows("SELECT a FROM alice.t"), V{"1"});
    EXPECT_EQ(ErrorOf("UPDATE alice.t SET a = 5"), "");
}

TEST_F(AccountsTest, DdlAndGrantsOnAnotherAccountsObjectsAreRefused) {
    EXPECT_EQ(ErrorOf("DROP TABLE alice.t", bob_.get()), kMissing);
    EXPECT_EQ(ErrorOf("TRUNCATE TABLE alice.t", bob_.get()), kMissing);
    EXPECT_EQ(ErrorOf("GRANT SELECT ON alice.t TO bob", bob_.get()), kMissing);
    Exec("GRANT SELECT ON t TO bob", alice_.get());
    EXPECT_EQ(ErrorOf("DROP TABLE alice.t", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("GRANT SELECT ON alice.t TO scott", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("CREATE TABLE alice.u(a NUMBER)", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("GRANT SELECT ON t TO alice", alice_.get()),
              "ORA-01749: you may not GRANT/REVOKE privileges to/from yourself");
    EXPECT_EQ(ErrorOf("GRANT SELECT ON t TO nobody", alice_.get()), "ORA-01917: user or role 'NOBODY' does not exist");
    EXPECT_EQ(ErrorOf("REVOKE UPDATE ON t FROM bob", alice_.get()),
              "ORA-01927: cannot REVOKE privileges you did not grant");
    EXPECT_EQ(ErrorOf("GRANT FLY ON t TO bob", alice_.get()), "ORA-00990: missing or invalid privilege");
    EXPECT_EQ(Rows("SELECT a FROM alice.t", bob_.get()), std::vector<std::string>{"1"});
    // the administrator may drop it
    Exec("DROP TABLE alice.t");
    EXPECT_EQ(ErrorOf("SELECT a FROM t", alice_.get()), kMissing);
}

TEST_F(AccountsTest, GrantsGoWithTheObjectTheyWereMadeOn) {
    Exec("CREATE TABLE last(a NUMBER)", alice_.get());
    Exec("GRANT SELECT ON last TO bob", alice_.get());
    EXPECT_EQ(ErrorOf("SELECT * FROM alice.last", bob_.get()), "");
    Exec("DROP TABLE last", alice_.get());
    // a new table may get the dropped one's id; it gets none of its grants
    Exec("CREATE TABLE last(b NUMBER)", alice_.get());
    Exec("CREATE TABLE other(c NUMBER)", alice_.get());
    EXPECT_EQ(ErrorOf("SELECT * FROM alice.last", bob_.get()), kMissing);
    EXPECT_EQ(ErrorOf("SELECT * FROM alice.other", bob_.get()), kMissing);
}

TEST_F(AccountsTest, AViewRunsWithItsOwnersPrivileges) {
    Exec("CREATE VIEW v AS SELECT a * 10 AS ten FROM t", alice_.get());
    Exec("GRANT SELECT ON v TO bob", alice_.get());
    EXPECT_EQ(Rows("SELECT ten FROM alice.v", bob_.get()), std::vector<std::string>{"10"});
    EXPECT_EQ(ErrorOf("SELECT a FROM alice.t", bob_.get()), kMissing);
}

TEST_F(AccountsTest, DictionaryViewsShowWhatTheAccountMaySee) {
    using V = std::vector<std::string>;
    Exec("CREATE TABLE mine(b NUMBER)", bob_.get());
    EXPECT_EQ(Rows("SELECT owner || '.' || table_name FROM all_tables ORDER BY 1", bob_.get()), V{"BOB.MINE"});
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM all_tab_columns WHERE owner = 'ALICE'", bob_.get()), V{"0"});
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM all_objects WHERE owner = 'ALICE'", bob_.get()), V{"0"});
    Exec("GRANT SELECT ON t TO bob", alice_.get());
    EXPECT_EQ(Rows("SELECT owner || '.' || table_name FROM all_tables ORDER BY 1", bob_.get()),
              (V{"ALICE.T", "BOB.MINE"}));
    EXPECT_EQ(Rows("SELECT column_name FROM all_tab_columns WHERE owner = 'ALICE'", bob_.get()), V{"A"});
    EXPECT_EQ(Rows("SELECT object_name FROM all_objects WHERE owner = 'ALICE'", bob_.get()), V{"T"});
    EXPECT_EQ(ErrorOf("SELECT * FROM dba_tables", bob_.get()), kMissing);
    EXPECT_EQ(Rows("SELECT owner || '.' || table_name FROM dba_tables ORDER BY 1"), (V{"ALICE.T", "BOB.MINE"}));
}

TEST_F(AccountsTest, TheAdministratorHoldsTheSystemPrivilegesAndGrantsThem) {
    EXPECT_EQ(ErrorOf("CREATE USER carol IDENTIFIED BY pc", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("ALTER USER alice IDENTIFIED BY stolen", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("ALTER USER alice ACCOUNT LOCK", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("DROP USER alice CASCADE", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("GRANT CREATE USER TO bob", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("DROP USER scott", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("ALTER USER bob IDENTIFIED BY pb2", bob_.get()), "");  // its own password
    EXPECT_EQ(LogonError("bob", "pb2", db_), "");
    EXPECT_EQ(LogonError("alice", "pa", db_), "");

    Exec("GRANT CREATE USER, DROP USER TO bob");
    EXPECT_EQ(ErrorOf("CREATE USER carol IDENTIFIED BY pc", bob_.get()), "");
    EXPECT_EQ(ErrorOf("DROP USER carol", bob_.get()), "");
    EXPECT_EQ(ErrorOf("ALTER USER alice IDENTIFIED BY x", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("GRANT TELEPORT TO bob"), "ORA-00990: missing or invalid privilege");
    Exec("REVOKE CREATE USER FROM bob");
    EXPECT_EQ(ErrorOf("CREATE USER dave IDENTIFIED BY pd", bob_.get()), kDenied);
    EXPECT_EQ(ErrorOf("REVOKE CREATE USER FROM bob"), "ORA-01952: system privileges not granted to 'BOB'");
    // dropping an account drops the grants it held: a new account of that name starts clean
    Exec("GRANT SELECT ON t TO bob", alice_.get());
    bob_.reset();
    Exec("DROP USER bob CASCADE");
    Exec("CREATE USER bob IDENTIFIED BY again");
    auto bob = Logon("bob", "again", false);
    EXPECT_EQ(ErrorOf("SELECT a FROM alice.t", bob.get()), kMissing);
}

TEST_F(AccountsTest, TenFailedLogonsInARowLockTheAccountUntilUnlocked) {
    // nine failures, then a good logon: the count starts again
    for (int i = 0; i < 9; ++i) ASSERT_EQ(LogonError("bob", "wrong", db_), kBadLogon);
    EXPECT_EQ(LogonError("bob", "pb", db_), "");
    for (int i = 0; i < 9; ++i) ASSERT_EQ(LogonError("bob", "wrong", db_), kBadLogon);
    EXPECT_EQ(LogonError("bob", "pb", db_), "");
    // ten in a row lock it: the right password then gets ORA-28000, a wrong one still ORA-01017
    for (int i = 0; i < 10; ++i) ASSERT_EQ(LogonError("bob", "wrong", db_), kBadLogon) << i;
    EXPECT_EQ(LogonError("bob", "pb", db_), kLocked);
    EXPECT_EQ(LogonError("bob", "wrong", db_), kBadLogon);
    EXPECT_EQ(LogonError("alice", "pa", db_), "");  // other accounts are not touched
    // a session already open keeps working
    EXPECT_EQ(Rows("SELECT user FROM dual", bob_.get()), std::vector<std::string>{"BOB"});
    Exec("ALTER USER bob ACCOUNT UNLOCK");
    EXPECT_EQ(LogonError("bob", "pb", db_), "");
    Exec("ALTER USER bob ACCOUNT LOCK");
    EXPECT_EQ(LogonError("bob", "pb", db_), kLocked);
    Exec("ALTER USER bob IDENTIFIED BY pb ACCOUNT UNLOCK");
    EXPECT_EQ(LogonError("bob", "pb", db_), "");
}

// While another session holds the write lock, failed logons still count (in the journal beside
// the file) and lock the account; the count reaches the database with the next logon that can
// write it, and an unlock clears it.
TEST_F(AccountsTest, FailedLogonsCountWhileAnotherSessionHoldsTheWriteLock) {
    Exec("INSERT INTO t VALUES(2)", alice_.get());  // alice now holds the write lock
    EXPECT_EQ(LogonError("bob", "wrong", db_), kBadLogon);
    EXPECT_EQ(LogonError("bob", "pb", db_), "") << "a good logon needs no lock and clears the count";
    for (int i = 0; i < 10; ++i) ASSERT_EQ(LogonError("bob", "wrong", db_), kBadLogon) << i;
    EXPECT_EQ(LogonError("bob", "pb", db_), kLocked);
    alice_->Commit();
    EXPECT_EQ(LogonError("bob", "pb", db_), kLocked);
    EXPECT_EQ(std::filesystem::file_size(db_ + "-logon"), 0u) << "the database has taken the journal in";
    Exec("ALTER USER bob ACCOUNT UNLOCK");
    EXPECT_EQ(LogonError("bob", "pb", db_), "");
}

TEST_F(EngineTest, AFileFromBeforePrivilegesMakesItsFirstAccountTheAdministrator) {
    Exec("CREATE USER alice IDENTIFIED BY pa");
    Exec("CREATE TABLE t(a NUMBER)");
    session_.reset();
    {
        // take the file back to the catalog it had before accounts had states and grants
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(db_.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "DROP TABLE ocl_grants; DROP TABLE ocl_sys_privs; DROP TABLE ocl_account_state;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    auto alice = Logon("alice", "pa", false);
    EXPECT_EQ(ErrorOf("SELECT * FROM scott.t", alice.get()), "ORA-00942: table or view does not exist");
    EXPECT_EQ(ErrorOf("CREATE USER x IDENTIFIED BY y", alice.get()), "ORA-01031: insufficient privileges");
    auto scott = Logon("scott", "tiger", false);
    EXPECT_EQ(ErrorOf("CREATE USER x IDENTIFIED BY y", scott.get()), "");
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM t", scott.get()), std::vector<std::string>{"0"});
}

}  // namespace
}  // namespace ocilite::test
