// End-to-end runs of the ocilite-sql binary: golden scripts with their expected standard output
// and error, the exit status, commit at the end, stdin input and logon failures.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string out, err;
};

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ocilite-console-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs ocilite-sql in the temporary folder with `args`, feeding `input` on stdin.
    RunResult Run(const std::string& args, const std::string& input = "") {
        fs::path in = dir_ / "stdin.txt", out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
        std::ofstream(in, std::ios::binary) << input;
        std::string cmd = "cd '" + dir_.string() +
                          "' && OCILITE_LOCK_TIMEOUT_MS=500 '" TABROOK_BINARY_DIR "/ocilite-sql' " + args + " < '" +
                          in.string() + "' > '" + out.string() + "' 2> '" + err.string() + "'";
        int rc = std::system(cmd.c_str());
        RunResult r;
        r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        r.out = ReadFile(out);
        r.err = ReadFile(err);
        return r;
    }

    fs::path dir_;
};

TEST_F(ConsoleTest, GoldenScripts) {
    const fs::path data = fs::path(TABROOK_TEST_DATA) / "sql";
    int scripts = 0;
    for (const auto& entry : fs::directory_iterator(data)) {
        if (entry.path().extension() != ".sql") continue;
        ++scripts;
        SCOPED_TRACE(entry.path().filename().string());
        fs::remove(dir_ / "golden.db");
        RunResult r = Run("--create -f '" + entry.path().string() + "' scott/tiger@golden.db");
        fs::path base = entry.path();
        std::string expectedOut = ReadFile(base.replace_extension(".out"));
        std::string expectedErr = ReadFile(base.replace_extension(".err"));
        EXPECT_EQ(r.out, expectedOut);
        EXPECT_EQ(r.err, expectedErr);
        EXPECT_EQ(r.status, expectedErr.empty() ? 0 : 1);
    }
    EXPECT_GE(scripts, 4);
}

TEST_F(ConsoleTest, WorkIsCommittedAtTheEndAndReadFromStdin) {
    RunResult a = Run("--create scott/tiger@data.db", "create table t(a number);\ninsert into t values(42);\n");
    EXPECT_EQ(a.status, 0) << a.err;
    RunResult b = Run("scott/tiger@data.db", "select a from t;\n");
    EXPECT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(b.out, "A\n42\n");
    // an explicit rollback in the script is honoured before the final commit
    Run("scott/tiger@data.db", "insert into t values(1);\nrollback;\ninsert into t values(2);\n");
    EXPECT_EQ(Run("scott/tiger@data.db", "select a from t order by a;\n").out, "A\n2\n42\n");
}

TEST_F(ConsoleTest, QuotedNamesHoldCommentsAndQuotes) {
    RunResult made = Run("--create scott/tiger@q.db",
                         "create table \"T--C\" (a number);\n"
                         "create table \"Q'T\" (b number);\n"
                         "insert into \"T--C\" values (1);\n"
                         "insert into \"Q'T\" values (2);\n");
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.err, "");
    RunResult read = Run("scott/tiger@q.db", "select a from \"T--C\";\nselect * from \"Q'T\";\n");
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, "A\n1\nB\n2\n");
}

TEST_F(ConsoleTest, LogonFailuresExitWithStatusOne) {
    RunResult missing = Run("scott/tiger@nosuch.db", "select 1 from dual;\n");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "ORA-12154: TNS:could not resolve the connect identifier specified\n");
    EXPECT_FALSE(fs::exists(dir_ / "nosuch.db"));
    ASSERT_EQ(Run("--create scott/tiger@x.db", "").status, 0);
    RunResult wrong = Run("scott/wrong@x.db", "select 1 from dual;\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err, "ORA-01017: invalid username/password; logon denied\n");
    EXPECT_EQ(wrong.out, "");
    RunResult usage = Run("", "");
    EXPECT_EQ(usage.status, 1);
    EXPECT_NE(usage.err.find("usage: ocilite-sql"), std::string::npos);
}

TEST_F(ConsoleTest, CreateUserThenLogOnAsThatUser) {
    ASSERT_EQ(Run("--create admin/pw@u.db", "CREATE USER loader IDENTIFIED BY \"S3cret\";\n").status, 0);
    RunResult r = Run("loader/S3cret@u.db", "select user from dual;\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "USER\nLOADER\n");
}

}  // namespace
