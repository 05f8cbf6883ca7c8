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

namespace {

TEST_F(ConsoleTest, DescribeShowsEveryTypeAsOracleWritesIt) {
    RunResult r = Run("--create scott/tiger@d.db",
                      "create table every (n number not null, n10 number(10), n82 number(8,2), f float, f10 float(10),"
                      " v varchar2(40), vc varchar2(10 char), nv nvarchar2(5), c char(3), nc nchar(2), d date,"
                      " t timestamp, t3 timestamp(3), tz timestamp with time zone,"
                      " ltz timestamp(0) with local time zone, ym interval year to month,"
                      " ds interval day(3) to second(2), r raw(16), bf binary_float, bd binary_double,"
                      " cl clob, ncl nclob, bl blob, bfl bfile);\n"
                      "create table l (id number primary key, lg long);\n"
                      "desc every\ndescribe scott.l;\ndesc nosuch\n");
    EXPECT_EQ(r.out,
              "Name|Null?|Type\n"
              "N|NOT NULL|NUMBER\nN10||NUMBER(10)\nN82||NUMBER(8,2)\nF||FLOAT\nF10||FLOAT(10)\n"
              "V||VARCHAR2(40)\nVC||VARCHAR2(10 CHAR)\nNV||NVARCHAR2(5)\nC||CHAR(3)\nNC||NCHAR(2)\nD||DATE\n"
              "T||TIMESTAMP(6)\nT3||TIMESTAMP(3)\nTZ||TIMESTAMP(6) WITH TIME ZONE\n"
              "LTZ||TIMESTAMP(0) WITH LOCAL TIME ZONE\nYM||INTERVAL YEAR(2) TO MONTH\n"
              "DS||INTERVAL DAY(3) TO SECOND(2)\nR||RAW(16)\nBF||BINARY_FLOAT\nBD||BINARY_DOUBLE\n"
              "CL||CLOB\nNCL||NCLOB\nBL||BLOB\nBFL||BFILE\n"
              "Name|Null?|Type\nID|NOT NULL|NUMBER\nLG||LONG\n");
    EXPECT_EQ(r.err, "ORA-04043: object nosuch does not exist\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(ConsoleTest, CsvOutput) {
    const std::string sql =
        "create table t (id number, name varchar2(20), note varchar2(20));\n"
        "insert into t values (1, 'a,b', 'say \"hi\"');\n"
        "insert into t values (2, 'plain', null);\n"
        "select * from t order by id;\n";
    RunResult byOption = Run("--create --csv scott/tiger@c.db", sql);
    EXPECT_EQ(byOption.out, "ID,NAME,NOTE\r\n1,\"a,b\",\"say \"\"hi\"\"\"\r\n2,plain,\r\n");
    EXPECT_EQ(byOption.status, 0) << byOption.err;
    RunResult bySet = Run("scott/tiger@c.db", "set markup csv on\nset heading off\nselect name from t order by id;\n");
    EXPECT_EQ(bySet.out, "\"a,b\"\r\nplain\r\n");
}

TEST_F(ConsoleTest, ScriptsSpoolAndSettings) {
    fs::create_directories(dir_ / "sub");
    std::ofstream(dir_ / "sub" / "outer.sql") << "insert into t values (1);\n@@inner\n";
    std::ofstream(dir_ / "sub" / "inner.sql") << "insert into t values (2);\nexit\ninsert into t values (3);\n";
    RunResult r = Run("--create scott/tiger@s.db",
                      "create table t (a number);\n"
                      "@sub/outer\n"
                      "select 'not reached' from dual;\n");
    EXPECT_EQ(r.status, 0) << r.err;  // EXIT in a script run with @ leaves the console
    EXPECT_EQ(r.out, "");
    RunResult s = Run("scott/tiger@s.db",
                      "spool out.lst\n"
                      "set null (none) \n"
                      "set feedback on\n"
                      "set echo on\n"
                      "select a, null n from t order by a;\n"
                      "spool off\n"
                      "show user\n"
                      "set colour on\n"
                      "show pagesize\n");
    const std::string spooled =
        "SQL> select a, null n from t order by a\nA|N\n1|(none)\n2|(none)\n2 rows selected.\nSQL> spool off\n";
    EXPECT_EQ(s.out,
              spooled + "SQL> show user\nUSER is \"SCOTT\"\nSQL> set colour on\nSQL> show pagesize\npagesize 50\n");
    EXPECT_EQ(ReadFile(dir_ / "out.lst"), spooled);
    EXPECT_EQ(s.err, "unknown SET option \"colour\"\n");
    EXPECT_EQ(s.status, 1);
}

TEST_F(ConsoleTest, ConnectSwitchesAccounts) {
    RunResult r = Run("--create admin/pw@a.db",
                      "create user clerk identified by pw2;\n"
                      "connect clerk/pw2@a.db\n"
                      "select user from dual;\n"
                      "connect clerk/wrong@a.db\n"
                      "select user from dual;\n");
    EXPECT_EQ(r.out, "USER\nCLERK\nUSER\nCLERK\n");
    EXPECT_EQ(r.err, "ORA-01017: invalid username/password; logon denied\nstill connected as CLERK\n");
    EXPECT_EQ(r.status, 1);
}

}  // namespace
