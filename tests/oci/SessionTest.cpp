// Session control against the stub library: logon and logoff, the login prompt, transactions,
// children, and the failure table.

#include <gtest/gtest.h>

#include "oci/TOCI8Ctrl.h"
#include "oci/TOCI8Cur.h"
#include "tests/oci/StubLibrary.h"

namespace tabrook {
namespace {

using test::ScopedOciLibrary;
using test::StubLibrary;

class Session : public ::testing::Test {
protected:
    StubLibrary stub{"full"};
    ScopedOciLibrary use{stub.Path()};
    TOCI8Ctrl oci;
};

TEST_F(Session, ConnectPassesTheThreePropertiesWithTheirLengths) {
    oci.User = "scott";
    oci.Password = "tiger";
    oci.ConnStr = "data/db.sqlite";
    ASSERT_TRUE(oci.Connect()) << oci.ErrMsg();
    EXPECT_TRUE(oci.Connected);
    EXPECT_NE(oci.hSvc, nullptr);
    EXPECT_EQ(stub.LastLogon(), "scott/tiger@data/db.sqlite");

    TOCI8Ctrl empty;
    ASSERT_TRUE(empty.Connect());
    EXPECT_EQ(stub.LastLogon(), "/@");
}

TEST_F(Session, WrongPasswordGivesTheOracleMessage) {
    stub.SetError(1017, "ORA-01017: invalid username/password; logon denied\n");
    stub.Force("OCILogon", -1);
    EXPECT_FALSE(oci.Connect());
    EXPECT_EQ(oci.ErrMsg(), "ORA-01017: invalid username/password; logon denied\n");
    EXPECT_EQ(oci.ErrCode(), 1017);
    EXPECT_FALSE(oci.Connected);
}

TEST_F(Session, ConnectWhileConnectedLogsOffFirst) {
    ASSERT_TRUE(oci.Connect());
    ASSERT_TRUE(oci.Connect());
    EXPECT_EQ(stub.Count("OCILogoff"), 1);
    EXPECT_EQ(stub.Count("OCILogon"), 2);
}

TEST_F(Session, DisconnectWhenNotConnectedMakesNoCall) {
    ASSERT_TRUE(oci.Active());
    const std::string before = stub.Calls();
    EXPECT_TRUE(oci.DisConnect());
    EXPECT_EQ(stub.Calls(), before);
}

TEST_F(Session, RefusedLogoffKeepsTheSession) {
    ASSERT_TRUE(oci.Connect());
    stub.Force("OCILogoff", -1);
    EXPECT_FALSE(oci.DisConnect());
    EXPECT_EQ(oci.ErrMsg(), "セッションを切断できません");
    EXPECT_EQ(oci.ErrCode(), -1);
    EXPECT_TRUE(oci.Connected);
    EXPECT_FALSE(oci.Connect());
    EXPECT_EQ(oci.ErrMsg(), "セッションを切断できません");
    stub.Reset();
    EXPECT_TRUE(oci.DisConnect());
    EXPECT_FALSE(oci.Connected);
}

TEST_F(Session, CommitAndRollbackNeedAConnection) {
    const std::string before = stub.Calls();
    EXPECT_FALSE(oci.Commit());
    EXPECT_EQ(oci.ErrMsg(), "接続されていません");
    EXPECT_EQ(oci.ErrCode(), -1);
    EXPECT_FALSE(oci.Rollback());
    EXPECT_EQ(oci.ErrMsg(), "接続されていません");
    EXPECT_EQ(stub.Calls(), before);
}

TEST_F(Session, CommitRefusedByTheServerGivesItsMessage) {
    ASSERT_TRUE(oci.Connect());
    EXPECT_TRUE(oci.Commit());
    EXPECT_TRUE(oci.Rollback());
    stub.SetError(2091, "ORA-02091: transaction rolled back\n");
    stub.Force("OCITransCommit", -1);
    EXPECT_FALSE(oci.Commit());
    EXPECT_EQ(oci.ErrMsg(), "ORA-02091: transaction rolled back\n");
    EXPECT_EQ(oci.ErrCode(), 2091);
}

TEST_F(Session, UnActiveForgetsTheSessionThatWentWithTheEnvironment) {
    ASSERT_TRUE(oci.Connect());
    TOCI8Cur cur;
    cur.SetParent(&oci);
    EXPECT_TRUE(oci.UnActive());
    EXPECT_FALSE(oci.Connected);
    cur.SetSQL("select 1 from dual");
    EXPECT_FALSE(cur.Execute());
    EXPECT_EQ(cur.ErrMsg(), "接続されていません");
}

// A login prompt that answers as told and remembers what it was shown.
class ScriptedPrompt : public LoginPrompt {
public:
    struct Script {
        bool ok = true;
        LogonValues answer;
        LogonValues shown;
        LoginFocus focus = LoginFocus::User;
        int asked = 0;
        int destroyed = 0;
    };
    explicit ScriptedPrompt(Script& s) : s_(s) {}
    ~ScriptedPrompt() override { ++s_.destroyed; }
    bool Ask(LogonValues& values, LoginFocus focus) override {
        ++s_.asked;
        s_.shown = values;
        s_.focus = focus;
        if (s_.ok) values = s_.answer;
        return s_.ok;
    }

private:
    Script& s_;
};

class Login : public Session {
protected:
    ScriptedPrompt::Script script;
    void SetUp() override {
        oci.CreateLoginPrompt = [this] { return std::make_unique<ScriptedPrompt>(script); };
    }
};

TEST_F(Login, FocusIsOnThePasswordWhenAUserIsKnown) {
    script.ok = false;
    EXPECT_FALSE(oci.Login());
    EXPECT_EQ(script.focus, LoginFocus::User);
    oci.User = "scott";
    oci.ConnStr = "db";
    EXPECT_FALSE(oci.Login());
    EXPECT_EQ(script.focus, LoginFocus::Password);
    EXPECT_EQ(script.shown.User, "scott");
    EXPECT_EQ(script.shown.ConnStr, "db");
    EXPECT_EQ(script.destroyed, 2);
}

TEST_F(Login, OkCopiesTheValuesBackAndConnects) {
    script.answer = {"alice", "secret", "x.db"};
    ASSERT_TRUE(oci.Login()) << oci.ErrMsg();
    EXPECT_EQ(oci.User, "alice");
    EXPECT_EQ(oci.Password, "secret");
    EXPECT_EQ(oci.ConnStr, "x.db");
    EXPECT_TRUE(oci.Connected);
    EXPECT_EQ(stub.LastLogon(), "alice/secret@x.db");
    EXPECT_EQ(script.destroyed, 1);
}

TEST_F(Login, CancelLeavesPropertiesAndConnectionAlone) {
    oci.User = "scott";
    oci.Password = "tiger";
    ASSERT_TRUE(oci.Connect());
    script.ok = false;
    script.answer = {"other", "x", "y"};
    EXPECT_FALSE(oci.Login());
    EXPECT_EQ(oci.ErrMsg(), "");
    EXPECT_EQ(oci.User, "scott");
    EXPECT_EQ(oci.Password, "tiger");
    EXPECT_TRUE(oci.Connected);
    EXPECT_EQ(stub.Count("OCILogoff"), 0);
}

TEST_F(Login, RefusedLogoffLeavesThePropertiesUnchanged) {
    oci.User = "scott";
    ASSERT_TRUE(oci.Connect());
    stub.Force("OCILogoff", -1);
    script.answer = {"other", "x", "y"};
    EXPECT_FALSE(oci.Login());
    EXPECT_EQ(oci.ErrMsg(), "セッションを切断できません");
    EXPECT_EQ(oci.User, "scott");
}

TEST_F(Login, WrongPasswordGivesTheOracleMessage) {
    stub.SetError(1017, "ORA-01017: invalid username/password; logon denied\n");
    stub.Force("OCILogon", -1);
    script.answer = {"scott", "wrong", ""};
    EXPECT_FALSE(oci.Login());
    EXPECT_EQ(oci.ErrMsg(), "ORA-01017: invalid username/password; logon denied\n");
    EXPECT_FALSE(oci.Connected);
}

TEST_F(Session, LoginWithoutAPromptFailsWithAMessage) {
    EXPECT_FALSE(oci.Login());
    EXPECT_FALSE(oci.ErrMsg().empty());
    oci.CreateLoginPrompt = [] { return std::unique_ptr<LoginPrompt>(); };
    EXPECT_FALSE(oci.Login());
    EXPECT_FALSE(oci.ErrMsg().empty());
}

// A child that logs the order it is visited in and answers CleanUp as told.
class RecordingChild : public TOCI8Base {
public:
    RecordingChild(std::string name, std::string& log, bool cleanOk = true)
        : name_(std::move(name)), log_(log), cleanOk_(cleanOk) {}
    void SetParent(TOCI8Ctrl* parent) override {
        if (parent == nullptr) log_ += "free:" + name_ + " ";
        TOCI8Base::SetParent(parent);
    }
    bool CleanUp() override {
        log_ += "clean:" + name_ + " ";
        return cleanOk_;
    }

private:
    std::string name_;
    std::string& log_;
    bool cleanOk_;
};

TEST_F(Session, ChildrenAreRegisteredOnceAndFreedLastFirst) {
    std::string log;
    RecordingChild a("a", log), b("b", log), c("c", log);
    a.SetParent(&oci);
    b.SetParent(&oci);
    c.SetParent(&oci);
    oci.CtrlBind(&b);
    ASSERT_EQ(oci.Children().size(), 3u);
    EXPECT_TRUE(oci.CleanUp());
    EXPECT_EQ(log, "clean:a clean:b clean:c ");
    log.clear();
    EXPECT_TRUE(oci.FreeChild());
    EXPECT_EQ(log, "free:c free:b free:a ");
    EXPECT_TRUE(oci.Children().empty());
    EXPECT_EQ(a.OCIParent(), nullptr);
}

TEST_F(Session, AChildThatCannotCloseStopsCleanUpAndDisconnect) {
    std::string log;
    RecordingChild a("a", log), b("b", log, false), c("c", log);
    a.SetParent(&oci);
    b.SetParent(&oci);
    c.SetParent(&oci);
    ASSERT_TRUE(oci.Connect());
    log.clear();
    EXPECT_FALSE(oci.DisConnect());
    EXPECT_EQ(log, "clean:a clean:b ");
    EXPECT_EQ(oci.ErrMsg(), "");
    EXPECT_TRUE(oci.Connected);
    oci.FreeChild();
}

TEST_F(Session, FreeChildGoesOnPastAChildThatRefuses) {
    ASSERT_TRUE(oci.Connect());
    std::string log;
    RecordingChild first("first", log);
    first.SetParent(&oci);
    TOCI8Cur cur;
    cur.SetParent(&oci);
    cur.SetSQL("insert into t values (1)");
    stub.SetStmtType(4);
    ASSERT_TRUE(cur.Parse());  // an open cursor refuses to change its connection
    EXPECT_FALSE(oci.FreeChild());
    EXPECT_EQ(log, "free:first ");
    EXPECT_EQ(cur.OCIParent(), &oci);
    ASSERT_TRUE(cur.CleanUp());
    EXPECT_TRUE(oci.FreeChild());
}

TEST_F(Session, ChildConnectionCheckMessages) {
    TOCI8Cur cur;
    EXPECT_FALSE(cur.ConnChk());
    EXPECT_EQ(cur.ErrCode(), -1);
    EXPECT_EQ(cur.ErrMsg(), "TOCI8Ctrlが指定されていません");
    cur.SetParent(&oci);
    EXPECT_FALSE(cur.ConnChk());
    EXPECT_EQ(cur.ErrMsg(), "接続されていません");
    ASSERT_TRUE(oci.Connect());
    EXPECT_TRUE(cur.ConnChk());
    EXPECT_EQ(cur.ErrCode(), 0);
    EXPECT_EQ(cur.ErrMsg(), "");
}

}  // namespace
}  // namespace tabrook
