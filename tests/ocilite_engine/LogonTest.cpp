// Accounts and connect strings: database files, password hashes, Oracle's logon errors.

#include <sqlite3.h>

#include "tests/ocilite_engine/EngineTestSupport.h"
#include "tests/support/ScopedEnv.h"

namespace ocilite::test {
namespace {

std::string LogonError(const std::string& user, const std::string& pw, const std::string& db, bool create) {
    try {
        Session::Logon(user, pw, db, create);
        return "";
    } catch (const OraError& e) {
        return e.Message();
    }
}

TEST_F(EngineTest, LogonErrorsFollowOracle) {
    struct Case {
        const char* user;
        const char* pw;
        bool otherFile;
        bool create;
        const char* expected;
    } cases[] = {
        {"scott", "tiger", false, false, ""},
        {"SCOTT", "tiger", false, false, ""},  // unquoted names fold
        {"scott", "TIGER", false, false, "ORA-01017: invalid username/password; logon denied"},
        {"nobody", "tiger", false, false, "ORA-01017: invalid username/password; logon denied"},
        {"\"scott\"", "tiger", false, false, "ORA-01017: invalid username/password; logon denied"},
        {"scott", "", false, false, "ORA-01005: null password given; logon denied"},
        {"scott", "tiger", true, false, "ORA-12154: TNS:could not resolve the connect identifier specified"},
        {"newbie", "pw", false, true, ""},  // --create adds the account
    };
    for (const auto& c : cases) {
        std::string db = c.otherFile ? dir_.File("missing.db") : db_;
        EXPECT_EQ(LogonError(c.user, c.pw, db, c.create), c.expected) << c.user << "/" << c.pw;
    }
    EXPECT_EQ(LogonError("newbie", "pw", db_, false), "");
    EXPECT_FALSE(std::filesystem::exists(dir_.File("missing.db")));
}

TEST_F(EngineTest, PasswordsAreStoredOnlyAsHashes) {
    session_.reset();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(db_.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT pwhash FROM ocl_users WHERE name = 'SCOTT'", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    std::string hash = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    sqlite3_close(db);
    EXPECT_EQ(hash.rfind("$argon2id$v=19$m=19456,t=2,p=1$", 0), 0u) << hash;  // 19 MiB, 2 passes, 1 lane
    EXPECT_EQ(hash.find("tiger"), std::string::npos);
}

TEST_F(EngineTest, HashesMadeWithEarlierParametersStillVerify) {
    session_.reset();
    // "tiger" hashed with 64 MiB, as databases made before the parameters changed hold it.
    const char* earlier =
        "$argon2id$v=19$m=65536,t=2,p=1$pLvqDXPXv2IVCeZvUmjKOA$tDkTpbCdGSw1hCRWClX7zfQ+iM1/hbruVQ8VUvtHTBE";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(db_.c_str(), &db), SQLITE_OK);
    const std::string update = std::string("UPDATE ocl_users SET pwhash = '") + earlier + "' WHERE name = 'SCOTT'";
    ASSERT_EQ(sqlite3_exec(db, update.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(LogonError("scott", "tiger", db_, false), "");
    EXPECT_EQ(LogonError("scott", "lion", db_, false), "ORA-01017: invalid username/password; logon denied");
}

TEST_F(EngineTest, CreateUserAddsAnAccountWithItsOwnSchema) {
    Exec("CREATE USER alice IDENTIFIED BY Secret1");
    EXPECT_EQ(ErrorOf("CREATE USER alice IDENTIFIED BY x"),
              "ORA-01920: user name 'ALICE' conflicts with another user or role name");
    Exec("CREATE TABLE t(a NUMBER)");
    Exec("INSERT INTO t VALUES(1)");
    session_->Commit();
    auto alice = Logon("alice", "Secret1", false);
    EXPECT_EQ(ErrorOf("SELECT * FROM t", alice.get()), "ORA-00942: table or view does not exist");
    EXPECT_EQ(ErrorOf("SELECT a FROM scott.t", alice.get()), "ORA-00942: table or view does not exist");
    Exec("GRANT SELECT ON t TO alice");
    EXPECT_EQ(Rows("SELECT a FROM scott.t", alice.get()), std::vector<std::string>{"1"});
    Exec("CREATE TABLE t(b VARCHAR2(5))", alice.get());  // same name, other schema
    EXPECT_EQ(Rows("SELECT TABLE_NAME FROM user_tables", alice.get()), std::vector<std::string>{"T"});
    EXPECT_EQ(LogonError("alice", "secret1", db_, false), "ORA-01017: invalid username/password; logon denied");
}

TEST(DefaultDatabase, EmptyConnectStringUsesTheUsersDataFolder) {
    TempDir dir;
    tabrook::testing::ScopedEnv dataHome("XDG_DATA_HOME", dir.Path().string());
    { auto s = Session::Logon("first", "pw", "", false); }
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "tabrook" / "default.db"));
    EXPECT_THROW(Session::Logon("second", "pw", "", false), OraError);  // not created twice
    EXPECT_NO_THROW(Session::Logon("first", "pw", "", false));
}

}  // namespace
}  // namespace ocilite::test
