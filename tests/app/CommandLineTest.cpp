// The command line options, the built-in defaults and the log-file rule.

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/BuiltInDefaults.h"
#include "app/CommandLine.h"
#include "app/DefaultFileFolder.h"
#include "app/ProgramFolder.h"

namespace tabrook {
namespace {

// A fresh folder standing in for the program's folder, so the log rule never writes beside
// the test executable.
class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tabrook-cmdline-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_ / "prog");
        SetProgramFolderForTesting(folder_ / "prog");
        ApplyBuiltInDefaults(settings_, context_, logon_);
    }
    void TearDown() override {
        SetProgramFolderForTesting({});
        std::error_code ignored;
        std::filesystem::permissions(folder_ / "locked", std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(folder_, ignored);
    }
    CommandLineResult Parse(const std::vector<std::string>& args) {
        return ParseCommandLine(args, settings_, context_, logon_);
    }
    std::string ProgLog() const { return (folder_ / "prog" / "Tabrook.log").string(); }

    std::filesystem::path folder_;
    TransferSettings settings_;
    RunContext context_;
    LogonValues logon_;
};

TEST_F(CommandLineTest, BuiltInDefaults) {
    settings_.WithHeader = true;  // stored-only settings are not defaults' business
    ApplyBuiltInDefaults(settings_, context_, logon_);
    EXPECT_EQ(settings_.Mode, kModeUnset);
    EXPECT_EQ(settings_.Separator, ",");
    EXPECT_EQ(settings_.Delimiter, "\"");
    EXPECT_EQ(settings_.ErrCnt, 100);
    EXPECT_EQ(settings_.DateFmt, "RRRR-MM-DD HH24:MI:SS");
    EXPECT_EQ(settings_.TimestampFmt, "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM");
    EXPECT_TRUE(settings_.WithHeader);
    EXPECT_TRUE(context_.EscCancel);
    EXPECT_TRUE(context_.IsTable);
    EXPECT_FALSE(context_.AutoStart || context_.AutoClose || context_.TableInfoOk || context_.CsvHasData);
    EXPECT_EQ(context_.LogFile, "");
    SettleMode(settings_);
    EXPECT_EQ(settings_.Mode, 0);
    settings_.Mode = 1;
    SettleMode(settings_);
    EXPECT_EQ(settings_.Mode, 1);
}

TEST_F(CommandLineTest, UserOption) {
    struct Case {
        std::string value, user, password, connStr;
        bool passwordGiven;
    };
    const std::vector<Case> cases = {
        {"scott", "scott", "", "stored", false},  // no "/": connect string kept
        {"scott@db", "scott", "", "db", false},   // no password part
        {"scott@x@y", "scott", "", "x@y", false},
        {"scott/tiger", "scott", "tiger", "", true},  // "/" without "@": emptied
        {"scott/tiger@db", "scott", "tiger", "db", true},
        {"scott/t@x@y", "scott", "t", "x@y", true},  // split at the first "@"
        {"scott/", "scott", "", "", true},
        {"a@b/c", "a", "", "b/c", false},  // "@" first: a connect path
        {"scott@db/test.db", "scott", "", "db/test.db", false},
        {"u/p/q@c", "u", "p/q", "c", true},
    };
    for (const Case& c : cases) {
        logon_ = {"storedUser", "storedPassword", "stored"};
        const CommandLineResult result = Parse({"USER=" + c.value});
        EXPECT_TRUE(result.UserGiven) << c.value;
        EXPECT_EQ(result.PasswordGiven, c.passwordGiven) << c.value;
        EXPECT_EQ(logon_.User, c.user) << c.value;
        EXPECT_EQ(logon_.Password, c.password) << c.value;
        EXPECT_EQ(logon_.ConnStr, c.connStr) << c.value;
    }
    EXPECT_FALSE(Parse({"MODE=EXPORT"}).UserGiven);
}

TEST_F(CommandLineTest, SettingOptions) {
    struct Case {
        std::vector<std::string> args;
        std::function<void(const TransferSettings&, const RunContext&)> check;
    };
    using S = const TransferSettings&;
    using C = const RunContext&;
    const std::vector<Case> cases = {
        {{"MODE=export"}, [](S s, C) { EXPECT_EQ(s.Mode, 1); }},
        {{"mode=Import"}, [](S s, C) { EXPECT_EQ(s.Mode, 0); }},
        {{"MODE=both"}, [](S s, C) { EXPECT_EQ(s.Mode, kModeUnset); }},
        {{"SEP=(tab)"}, [](S s, C) { EXPECT_EQ(s.Separator, "\t"); }},
        {{"SEP=;:"}, [](S s, C) { EXPECT_EQ(s.Separator, ";"); }},
        {{"SEP="}, [](S s, C) { EXPECT_EQ(s.Separator, ""); }},
        {{"DELIM=(WQ)"}, [](S s, C) { EXPECT_EQ(s.Delimiter, "\""); }},
        {{"DELIM='"}, [](S s, C) { EXPECT_EQ(s.Delimiter, "'"); }},
        {{"DELIM="}, [](S s, C) { EXPECT_EQ(s.Delimiter, ""); }},
        {{"REPCR=TRUE"},
         [](S s, C) {
             EXPECT_TRUE(s.ReplaceCR);
             EXPECT_EQ(s.ReplaceCRString, "TRUE");
         }},
        {{"REPCR=abcdefgh"}, [](S s, C) { EXPECT_EQ(s.ReplaceCRString, "abcdef"); }},
        {{"REPCR=(Tab)"}, [](S s, C) { EXPECT_EQ(s.ReplaceCRString, "\t"); }},
        {{"REPCR=<br>", "REPCR=false"},
         [](S s, C) {
             EXPECT_FALSE(s.ReplaceCR);
             EXPECT_EQ(s.ReplaceCRString, "<br>");
         }},
        {{"CRTYPE=lf"}, [](S s, C) { EXPECT_EQ(s.CRType, 1); }},
        {{"CRTYPE=CR"}, [](S s, C) { EXPECT_EQ(s.CRType, 2); }},
        {{"CRTYPE=CR", "CRTYPE=CRLF"}, [](S s, C) { EXPECT_EQ(s.CRType, 0); }},
        {{"CRTYPE=LF", "CRTYPE=x"}, [](S s, C) { EXPECT_EQ(s.CRType, 1); }},
        {{"HEADER=TRUE", "HEADER=FALSE"}, [](S s, C) { EXPECT_FALSE(s.WithHeader); }},
        {{"HEADER=YES"}, [](S s, C) { EXPECT_FALSE(s.WithHeader); }},
        {{"truncate=true"}, [](S s, C) { EXPECT_TRUE(s.Truncate); }},
        {{"AUTOCOMMIT=20000"},
         [](S s, C) {
             EXPECT_TRUE(s.AutoCommit);
             EXPECT_EQ(s.AutoCmtCnt, 10000);
         }},
        {{"AUTOCOMMIT=500"}, [](S s, C) { EXPECT_EQ(s.AutoCmtCnt, 500); }},
        {{"AUTOCOMMIT=TRUE"},
         [](S s, C) {
             EXPECT_TRUE(s.AutoCommit);
             EXPECT_EQ(s.AutoCmtCnt, 1);
         }},
        {{"AUTOCOMMIT=-3"}, [](S s, C) { EXPECT_EQ(s.AutoCmtCnt, -3); }},
        {{"AUTOCOMMIT=99999999999999"},
         [](S s, C) {
             EXPECT_TRUE(s.AutoCommit);
             EXPECT_EQ(s.AutoCmtCnt, 10000);
         }},
        {{"AUTOCOMMIT=2147483648"}, [](S s, C) { EXPECT_EQ(s.AutoCmtCnt, 10000); }},
        {{"ERRCNT=99999999999"}, [](S s, C) { EXPECT_EQ(s.ErrCnt, 999999); }},
        {{"ERRCNT=+99999999999999999999999"}, [](S s, C) { EXPECT_EQ(s.ErrCnt, 999999); }},
        {{"AUTOCOMMIT=5", "AUTOCOMMIT=False"},
         [](S s, C) {
             EXPECT_FALSE(s.AutoCommit);
             EXPECT_EQ(s.AutoCmtCnt, 5);
         }},
        {{"ERRCNT=abc"}, [](S s, C) { EXPECT_EQ(s.ErrCnt, 100); }},
        {{"ERRCNT=1000000"}, [](S s, C) { EXPECT_EQ(s.ErrCnt, 999999); }},
        {{"ERRCNT=+7"}, [](S s, C) { EXPECT_EQ(s.ErrCnt, 7); }},
        {{"ERRCNT= 7"}, [](S s, C) { EXPECT_EQ(s.ErrCnt, 100); }},
        {{"ERRCNT=0"}, [](S s, C) { EXPECT_EQ(s.ErrCnt, 0); }},
        {{"ERRSTOP=true"}, [](S s, C) { EXPECT_TRUE(s.ErrStop); }},
        {{"LOBDATA=true"}, [](S s, C) { EXPECT_TRUE(s.LobData); }},
        {{"LOBDATA=TRUE", "lobdata=False"}, [](S s, C) { EXPECT_FALSE(s.LobData); }},
        {{"LOBDATA=yes"}, [](S s, C) { EXPECT_FALSE(s.LobData); }},
        {{"ESC=false"}, [](S, C c) { EXPECT_FALSE(c.EscCancel); }},
        {{"ESC=true"}, [](S, C c) { EXPECT_TRUE(c.EscCancel); }},
        {{"AUTOSTART=TRUE", "AUTOCLOSE=true"}, [](S, C c) { EXPECT_TRUE(c.AutoStart && c.AutoClose); }},
        {{"AUTOSTART=FALSE"}, [](S, C c) { EXPECT_FALSE(c.AutoStart); }},
        {{"LISTFILE=/my jobs/a=b.lst"}, [](S, C c) { EXPECT_EQ(c.ListFile, "/my jobs/a=b.lst"); }},
        {{"=MODE=EXPORT", "MODE", "MODE =EXPORT", "XYZ=1"}, [](S s, C) { EXPECT_EQ(s.Mode, kModeUnset); }},
        {{"SEP= "}, [](S s, C) { EXPECT_EQ(s.Separator, " "); }},
    };
    for (const Case& c : cases) {
        ApplyBuiltInDefaults(settings_, context_, logon_);
        settings_ = TransferSettings{};
        settings_.Mode = kModeUnset;
        Parse(c.args);
        SCOPED_TRACE(c.args.front());
        c.check(settings_, context_);
    }
}

TEST_F(CommandLineTest, FormatsAreKeptAside) {
    const CommandLineResult result =
        Parse({"DATEFMT=YYYY/MM/DD", "DATEFMT=DD.MM.YYYY", "TIMESTAMPFMT=YYYY-MM-DD\"T\"HH24:MI:SS.FF3"});
    EXPECT_EQ(result.DateFmtAside, "DD.MM.YYYY");
    EXPECT_EQ(result.TimestampFmtAside, "YYYY-MM-DD\"T\"HH24:MI:SS.FF3");
    EXPECT_EQ(settings_.DateFmt, "RRRR-MM-DD HH24:MI:SS") << "applied only after a format check";
    EXPECT_EQ(Parse({}).DateFmtAside, "");
}

TEST_F(CommandLineTest, AutoCloseNeedsAutoStart) {
    Parse({"AUTOCLOSE=TRUE"});
    ApplyAutoCloseRule(context_);
    EXPECT_FALSE(context_.AutoClose);
    Parse({"AUTOCLOSE=TRUE", "AUTOSTART=TRUE"});
    ApplyAutoCloseRule(context_);
    EXPECT_TRUE(context_.AutoClose);
}

TEST_F(CommandLineTest, LogOption) {
    struct Case {
        std::string value, expected;
    };
    const std::string base = folder_.string();
    const std::vector<Case> cases = {
        {"true", ProgLog()},
        {"TRUE", ProgLog()},
        {base + "/logs/run.tmp", base + "/logs/run.log"},
        {base + "/logs/run.TMP", base + "/logs/run.log"},
        {base + "/deep/er/run.txt", base + "/deep/er/run.txt"},
        {base + "/noext", base + "/noext"},
        {base + "/locked/sub/run.log", ProgLog()},  // folder cannot be created
        {base + "/afile/run.log", ProgLog()},       // a file stands where the folder would be
    };
    std::filesystem::create_directories(folder_ / "locked");
    std::filesystem::permissions(folder_ / "locked",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    std::ofstream(folder_ / "afile") << "a file where a folder is wanted";
    const bool rootIgnoresPermissions = [&] {
        std::error_code error;
        std::filesystem::create_directories(folder_ / "locked" / "probe", error);
        return !error;
    }();
    for (const Case& c : cases) {
        if (rootIgnoresPermissions && c.value.find("/locked/") != std::string::npos) continue;
        context_.LogFile.clear();
        Parse({"LOG=" + c.value});
        EXPECT_EQ(context_.LogFile, c.expected) << c.value;
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "deep" / "er")) << "missing levels are created";
    context_.LogFile = "kept.log";
    Parse({"LOG="});
    EXPECT_EQ(context_.LogFile, "kept.log") << "an empty LOG value is ignored";
}

TEST(DecodeCharName, Names) {
    EXPECT_EQ(DecodeCharName("(tab)"), "\t");
    EXPECT_EQ(DecodeCharName("(Wq)"), "\"");
    EXPECT_EQ(DecodeCharName("abc"), "abc");
    EXPECT_EQ(DecodeCharName("(tab"), "(tab");
    EXPECT_EQ(DecodeCharName(""), "");
}

TEST(ProgramFolder, IsTheFolderOfThisExecutable) {
    SetProgramFolderForTesting({});
    EXPECT_TRUE(std::filesystem::exists(ProgramFolder() / "app_tests"));
}

// Files named without a folder never land among the system's programs, even for root.
TEST(DefaultFileFolder, NeverASystemFolderOfPrograms) {
    for (const char* folder : {"/usr/bin", "/usr/bin/", "/bin", "/usr/local/bin"})
        EXPECT_TRUE(IsSystemProgramFolder(folder)) << folder;
    EXPECT_FALSE(IsSystemProgramFolder(ProgramFolder()));
    SetProgramFolderForTesting("/usr/bin");
    EXPECT_NE(DefaultFileFolder(), std::filesystem::path("/usr/bin"));
    SetProgramFolderForTesting({});
}

}  // namespace
}  // namespace tabrook
