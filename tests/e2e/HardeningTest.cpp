// The real program under an operator's bad days: input files named like error files, full
// disks (a file size limit stands in), exports aimed at the program's own database, planted
// links, file modes, the password from the environment, odd option values, a folder given as
// the CSV file, logs that cannot be written, a broken client library, and long LOB records.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <ctime>

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "tests/e2e/E2eHarness.h"

namespace tabrook::e2e {
namespace {

const char* const kSchema = R"(create table EMP (ID NUMBER(6), NAME VARCHAR2(40), HIRED DATE, SALARY NUMBER(10,2));
create table NOTE (ID NUMBER(6), BODY VARCHAR2(100), MEMO NVARCHAR2(20));
)";

const char* const kGoodAndBad =
    "1,Good,2020-01-01 00:00:00,1\r\n"
    "x,Bad number,2020-01-01 00:00:00,2\r\n";

// A file size limit in the child: writes past it fail with EFBIG, as on a full disk (the
// signal that would end the program is ignored, as a full disk sends none).
std::function<void()> FileSizeLimit(rlim_t bytes) {
    return [bytes] {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return 0;
    return info.st_mode & 07777;
}

class Hardening : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Sandbox::BinariesPresent()) GTEST_SKIP() << "build tabrook, ocilite-sql and libocilite.so first";
        box.env["TABROOK_OCI_LIBRARY"] = Sandbox::Binary("libocilite.so").string();
        ProcessResult created = box.Sql("db/test.db", kSchema);
        ASSERT_EQ(created.status, 0) << created.err;
    }

    std::string Path(const std::string& name) const { return (box.Work() / name).string(); }

    std::string JobList(const std::string& name, char mode,
                        const std::vector<std::pair<std::string, std::string>>& jobs) {
        std::string text = std::string(1, mode) + "\r\n";
        for (const auto& [table, csv] : jobs) text += table + "\t" + csv + "\r\n";
        WriteFile(box.Work() / name, text);
        return Path(name);
    }

    std::vector<std::string> Args(const std::string& list, const std::string& mode,
                                  const std::string& user = "scott/tiger@db/test.db", bool log = true) {
        std::vector<std::string> args{"USER=" + user, "MODE=" + mode, "LISTFILE=" + list, "AUTOSTART=TRUE",
                                      "AUTOCLOSE=TRUE"};
        if (log) args.push_back("LOG=" + Path("logs/run.log"));
        return args;
    }

    std::vector<LogLine> Log() { return ParseLog(ReadFile(box.Work() / "logs" / "run.log")); }

    // The transfer line of a one-job run ("O" or "Ennn").
    LogLine JobLine() {
        std::vector<LogLine> log = Log();
        for (const LogLine& line : log)
            if (line.code == "O" || line.code == "C" || (line.code.size() == 4 && line.code[0] == 'E')) return line;
        ADD_FAILURE() << "no transfer line in the log";
        return {};
    }

    std::string Query(const std::string& sql) {
        ProcessResult result = box.Sql("db/test.db", sql);
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out;
    }

    // Inserts rows rows into EMP with long names, through the console.
    void FillEmp(int rows) {
        std::string script;
        for (int i = 1; i <= rows; ++i)
            script += "insert into EMP values (" + std::to_string(i) + ", '" + std::string(38, 'n') +
                      "', TO_DATE('2020-01-01', 'YYYY-MM-DD'), " + std::to_string(i) + ");\n";
        ASSERT_EQ(box.Sql("db/test.db", script).status, 0);
    }

    Sandbox box;
};

// An input named like either error file is never deleted: the error files get the input's
// whole name with the extensions appended.
TEST_F(Hardening, AnInputNamedLikeAnErrorFileIsKept) {
    for (const std::string name : {"data.erm", "data.err"}) {
        SCOPED_TRACE(name);
        WriteFile(box.Work() / "in" / name, kGoodAndBad);
        std::string list = JobList("import.lst", '0', {{"EMP", Path("in/" + name)}});
        ProcessResult run = box.Tabrook(Args(list, "IMPORT"));
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(ReadFile(box.Work() / "in" / name), kGoodAndBad) << "the input was overwritten or deleted";
        EXPECT_EQ(ReadFile(box.Work() / "in" / (name + ".err")), "x,Bad number,2020-01-01 00:00:00,2\r\n");
        EXPECT_NE(ReadFile(box.Work() / "in" / (name + ".erm")).find("ORA-01722"), std::string::npos);
    }
}

// Refused rows that do not fit on the disk fail the job with the reason; they are not
// reported as refused rows in files that lack them, and nothing of the job is committed.
TEST_F(Hardening, RefusedRowsThatCannotBeRecordedFailTheJob) {
    std::string csv = "1,Good,2020-01-01 00:00:00,1\r\n";
    for (int i = 0; i < 1500; ++i)
        csv += "x" + std::to_string(i) + "," + std::string(90, 'b') + ",2020-01-01 00:00:00,2\r\n";
    WriteFile(box.Work() / "in" / "emp.csv", csv);
    std::string list = JobList("import.lst", '0', {{"EMP", Path("in/emp.csv")}});
    box.childSetup = FileSizeLimit(64 * 1024);
    std::vector<std::string> args = Args(list, "IMPORT");
    args.push_back("ERRCNT=0");  // no error limit: every row is refused and recorded
    ProcessResult run = box.Tabrook(args);
    box.childSetup = nullptr;
    EXPECT_EQ(run.status, 1) << run.err;
    LogLine line = JobLine();
    EXPECT_EQ(line.code, "E999");
    ASSERT_EQ(line.fields.size(), 9u);
    EXPECT_NE(line.fields[5].find("エラーファイルを出力できません。"), std::string::npos) << line.fields[5];
    EXPECT_EQ(line.fields[5].find("エラーレコードがあります。"), std::string::npos) << line.fields[5];
    EXPECT_EQ(Query("select count(*) from EMP;\n"), "COUNT(*)\n0\n");
}

// A failed export leaves the file that was there as it was, and no half file anywhere.
TEST_F(Hardening, AFailedExportLeavesTheTargetAsItWas) {
    FillEmp(2000);
    WriteFile(box.Work() / "out" / "emp.csv", "old\r\n");
    std::string list = JobList("export.lst", '1', {{"EMP", Path("out/emp.csv")}});
    box.childSetup = FileSizeLimit(32 * 1024);
    ProcessResult run = box.Tabrook(Args(list, "EXPORT"));
    box.childSetup = nullptr;
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(JobLine().code, "E004");
    EXPECT_EQ(ReadFile(box.Work() / "out" / "emp.csv"), "old\r\n");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(box.Work() / "out"))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"emp.csv"});

    // Without the limit the same export replaces the file whole.
    ProcessResult again = box.Tabrook(Args(list, "EXPORT"));
    EXPECT_EQ(again.status, 0) << again.err;
    const std::string out = ReadFile(box.Work() / "out" / "emp.csv");
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2000);
}

// An export aimed at the database file, under any of its names, is refused and the database
// stays whole.
TEST_F(Hardening, AnExportNeverWritesIntoTheDatabase) {
    FillEmp(3);
    fs::create_hard_link(box.Work() / "db" / "test.db", box.Work() / "hardlink.db");
    fs::create_symlink(box.Work() / "db" / "test.db", box.Work() / "symlink.db");
    for (const std::string target : {"db/test.db", "db/../db/test.db", "hardlink.db", "symlink.db", "db/test.db-wal"}) {
        SCOPED_TRACE(target);
        std::string list = JobList("export.lst", '1', {{"EMP", Path(target)}});
        ProcessResult run = box.Tabrook(Args(list, "EXPORT"));
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(JobLine().code, "E004");
        EXPECT_EQ(Query("select count(*) from EMP;\n"), "COUNT(*)\n3\n");
    }
}

// A commit that fails on a full database reports its own error, not a rollback's after it.
TEST_F(Hardening, AFailedCommitReportsItsOwnErrorAlone) {
    std::string csv;
    for (int i = 1; i <= 2000; ++i)
        csv += std::to_string(i) + "," + std::string(38, 'c') + ",2020-01-01 00:00:00,1\r\n";
    WriteFile(box.Work() / "in" / "emp.csv", csv);
    std::string list = JobList("import.lst", '0', {{"EMP", Path("in/emp.csv")}});
    const auto databaseSize = fs::file_size(box.Work() / "db" / "test.db");
    box.childSetup = FileSizeLimit(std::max<rlim_t>(databaseSize, 64 * 1024));
    std::vector<std::string> args = Args(list, "IMPORT");
    args.push_back("AUTOCOMMIT=1500");  // the first commit on the way meets the full disk
    ProcessResult run = box.Tabrook(args);
    box.childSetup = nullptr;
    EXPECT_EQ(run.status, 1) << run.err;
    LogLine line = JobLine();
    EXPECT_EQ(line.code, "E999");
    ASSERT_EQ(line.fields.size(), 9u);
    EXPECT_EQ(line.fields[5].rfind("ORA-", 0), 0u) << line.fields[5];
    EXPECT_EQ(line.fields[5].find("ORA-00600"), std::string::npos) << line.fields[5];
    EXPECT_EQ(line.fields[5].find("ORA-", 4), std::string::npos) << "two errors glued: " << line.fields[5];
    EXPECT_EQ(Query("select count(*) from EMP;\n"), "COUNT(*)\n0\n");
    EXPECT_EQ(line.fields[2], "1501");
}

// Links planted under the names of the log's working file and of the error files are
// replaced, never followed.
TEST_F(Hardening, PlantedLinksAreNotFollowed) {
    WriteFile(box.Work() / "victim.txt", "precious\n");
    fs::create_directories(box.Work() / "logs");
    fs::create_symlink(box.Work() / "victim.txt", box.Work() / "logs" / "run.tmp");
    WriteFile(box.Work() / "in" / "emp.csv", kGoodAndBad);
    fs::create_symlink(box.Work() / "victim.txt", box.Work() / "in" / "emp.err");
    fs::create_symlink(box.Work() / "victim.txt", box.Work() / "in" / "emp.erm");
    std::string list = JobList("import.lst", '0', {{"EMP", Path("in/emp.csv")}});
    ProcessResult run = box.Tabrook(Args(list, "IMPORT"));
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(ReadFile(box.Work() / "victim.txt"), "precious\n");
    EXPECT_EQ(Codes(Log()), (std::vector<std::string>{"S", "H", "O", "F", "Q"}));
    EXPECT_FALSE(fs::is_symlink(box.Work() / "in" / "emp.err"));
    EXPECT_EQ(ReadFile(box.Work() / "in" / "emp.err"), "x,Bad number,2020-01-01 00:00:00,2\r\n");
}

// The default database and its folder are the user's own; the log and error files follow
// the umask.
TEST_F(Hardening, FileModes) {
    WriteFile(box.Work() / "in" / "emp.csv", kGoodAndBad);
    ASSERT_EQ(box.Sql("", kSchema).status, 0);  // the default database, created at first logon
    std::string list = JobList("import.lst", '0', {{"EMP", Path("in/emp.csv")}});
    box.childSetup = [] { ::umask(022); };
    ProcessResult run = box.Tabrook(Args(list, "IMPORT", "scott/tiger@"));
    box.childSetup = nullptr;
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(ModeOf(box.Root() / "data" / "tabrook"), 0700u);
    EXPECT_EQ(ModeOf(box.Root() / "data" / "tabrook" / "default.db"), 0600u);
    EXPECT_EQ(ModeOf(box.Work() / "logs" / "run.log"), 0644u);
    EXPECT_EQ(ModeOf(box.Work() / "in" / "emp.err"), 0644u);
}

struct PasswordCase {
    const char* name;
    std::string user;
    std::string variable;  // TABROOK_PASSWORD ("" leaves it unset)
    int status;
    std::string logText;  // part of the I999 text ("" when the run succeeds)
};

class PasswordFromEnvironment : public Hardening, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(PasswordFromEnvironment, ForUserAtDatabase) {
    const PasswordCase& c = GetParam();
    box.env["TABROOK_PASSWORD"] = c.variable;
    WriteFile(box.Work() / "in" / "emp.csv", "1,Good,2020-01-01 00:00:00,1\r\n");
    std::string list = JobList("import.lst", '0', {{"EMP", Path("in/emp.csv")}});
    ProcessResult run = box.Tabrook(Args(list, "IMPORT", c.user, false));
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.logText.empty()) {
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(Query("select count(*) from EMP;\n"), "COUNT(*)\n1\n");
    } else {
        // No log: the reason is one line on standard error.
        EXPECT_NE(run.err.find(c.logText), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(E2e, PasswordFromEnvironment,
                         ::testing::Values(PasswordCase{"FromVariable", "scott@db/test.db", "tiger", 0, ""},
                                           PasswordCase{"CommandLineStillWorks", "scott/tiger@db/test.db", "", 0, ""},
                                           PasswordCase{"WrongInVariable", "scott@db/test.db", "wrong", 1, "ORA-01017"},
                                           PasswordCase{"Missing", "scott@db/test.db", "", 1, "TABROOK_PASSWORD"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Option values the program cannot take fall back to what it can.
TEST_F(Hardening, OddOptionValues) {
    WriteFile(box.Work() / "in" / "emp.csv", "1,Good,2020-01-01 00:00:00,1\r\n");
    std::string list = JobList("import.lst", '0', {{"EMP", Path("in/emp.csv")}});
    std::string longFormat = "YYYY";
    while (longFormat.size() < 256 + 10) longFormat += "-MM";
    std::vector<std::string> args = Args(list, "IMPORT");
    args.insert(args.end(), {"AUTOCOMMIT=99999999999", "ERRCNT=99999999999", "DATEFMT=" + longFormat});
    ProcessResult run = box.Tabrook(args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<LogLine> log = Log();
    ASSERT_GE(log.size(), 2u);
    ASSERT_GE(log[1].fields.size(), 12u);
    EXPECT_EQ(log[1].fields[7], "AutoCommit=10000");
    EXPECT_EQ(log[1].fields[8], "DateFmt=RRRR-MM-DD HH24:MI:SS") << "a format the client cannot take was kept";
    EXPECT_EQ(log[1].fields[10], "ErrCnt=999999");
}

// A folder or a named pipe given as the CSV file cannot be opened (a folder is not a file
// without data; a pipe would block the run for ever), and a named pipe as the job list is
// unreadable; the jobs after a refused one still run.
TEST_F(Hardening, WhatIsNotARegularFileIsRefusedAsInput) {
    fs::create_directories(box.Work() / "in" / "folder.csv");
    ASSERT_EQ(::mkfifo(Path("in/pipe.csv").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(Path("pipe.lst").c_str(), 0600), 0);
    WriteFile(box.Work() / "in" / "emp.csv", "1,Good,2020-01-01 00:00:00,1\r\n");
    for (auto [input, reason] : {std::pair{"in/folder.csv", "(Is a directory)"}, {"in/pipe.csv", "(Not a regular file)"}}) {
        SCOPED_TRACE(input);
        std::string list = JobList("import.lst", '0', {{"EMP", Path(input)}, {"EMP", Path("in/emp.csv")}});
        ProcessResult run = box.Tabrook(Args(list, "IMPORT"));
        EXPECT_EQ(run.status, 1) << run.err;
        const std::vector<LogLine> log = Log();
        EXPECT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "E001", "O", "F", "Q"}));
        ASSERT_GE(log.size(), 3u);
        ASSERT_GE(log[2].fields.size(), 6u);
        EXPECT_EQ(log[2].fields[5], std::string("CSVファイルを開けません。") + reason);
    }
    EXPECT_EQ(Query("select count(*) from EMP;\n"), "COUNT(*)\n2\n");
    ProcessResult listed = box.Tabrook(Args(Path("pipe.lst"), "IMPORT"));
    EXPECT_EQ(listed.status, 1) << listed.err;
    EXPECT_EQ(Codes(Log()), (std::vector<std::string>{"S", "I997", "Q"}));
}

// A log that cannot be created is said once on standard error and the run goes on; a run
// that fails without a log says why on standard error.
TEST_F(Hardening, LogFailuresAndFailuresWithoutALogAreSaid) {
    WriteFile(box.Work() / "in" / "emp.csv", "1,Good,2020-01-01 00:00:00,1\r\n");
    std::string list = JobList("import.lst", '0', {{"EMP", Path("in/emp.csv")}});
    fs::create_directories(box.Work() / "logs" / "run.tmp");  // the working file cannot be made
    ProcessResult run = box.Tabrook(Args(list, "IMPORT"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("cannot create the log"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(Query("select count(*) from EMP;\n"), "COUNT(*)\n1\n");

    struct Case {
        std::string user, list, text;
    };
    fs::create_directories(box.Work() / "in" / "folder.csv");
    const std::vector<Case> cases = {
        {"scott/wrong@db/test.db", list, "ORA-01017"},
        {"scott/tiger@db/test.db", Path("missing.lst"), "I997"},
        {"scott/tiger@db/test.db", JobList("bad.lst", '0', {{"EMP", Path("in/folder.csv")}}), "E001"},
    };
    for (const Case& c : cases) {
        ProcessResult failed = box.Tabrook(Args(c.list, "IMPORT", c.user, false));
        EXPECT_EQ(failed.status, 1) << failed.err;
        EXPECT_NE(failed.err.find(c.text), std::string::npos) << failed.err;
        EXPECT_EQ(std::count(failed.err.begin(), failed.err.end(), '\n'), 1) << failed.err;
    }
}

// A record whose CLOB holds more lines than any limit a reader might set imports as the one
// row it is, and exports back to the same bytes.
TEST_F(Hardening, ALongLobRecordComesBackWhole) {
    Query("create table DOC (ID NUMBER(6), BODY CLOB);\n");
    std::string body;
    for (int i = 0; i < 10003; ++i) body += (i ? "\n" : "") + std::to_string(i);
    const std::string file = "1,\"" + body + "\"\r\n2,\"short\"\r\n";
    WriteFile(box.Work() / "in" / "doc.csv", file);
    std::vector<std::string> args = Args(JobList("import.lst", '0', {{"DOC", Path("in/doc.csv")}}), "IMPORT");
    args.push_back("LOBDATA=TRUE");
    ProcessResult in = box.Tabrook(args);
    ASSERT_EQ(in.status, 0) << in.err;
    EXPECT_EQ(Query("select count(*) from DOC;\n"), "COUNT(*)\n2\n");

    args = Args(JobList("export.lst", '1', {{"DOC", Path("out/doc.csv")}}), "EXPORT");
    args.push_back("LOBDATA=TRUE");
    fs::create_directories(box.Work() / "out");
    ProcessResult out = box.Tabrook(args);
    ASSERT_EQ(out.status, 0) << out.err;
    EXPECT_TRUE(ReadFile(box.Work() / "out" / "doc.csv") == file) << "the export differs from the import's file";
}

// The next export of a target removes the working files that killed exports of it left behind,
// and only those: this user's files under its working name, older than the run and locked by
// no running process.
TEST_F(Hardening, AnExportRemovesOnlyStaleWorkingFilesOfItsTarget) {
    struct Planted {
        std::string name;
        bool fresh;      // changed after the run began
        bool locked;     // held by a running process
        bool removed;
    };
    const std::vector<Planted> planted = {
        {".emp.csv.0123abcd.tmp", false, false, true},  {".emp.csv.89abcdef.tmp", true, false, false},
        {".emp.csv.fedcba98.tmp", false, true, false},  {".emp.csv.0123ABCD.tmp", false, false, false},
        {".other.csv.0123abcd.tmp", false, false, false}, {"emp.csv.0123abcd.tmp", false, false, false},
        {".emp.csv.0123abcd.tmp.x", false, false, false},
    };
    std::vector<int> locks;
    for (const Planted& p : planted) {
        const fs::path path = box.Work() / "out" / p.name;
        WriteFile(path, "partial");
        const time_t when = p.fresh ? ::time(nullptr) + 3600 : 1000000000;
        const struct timespec times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        if (p.locked) {
            locks.push_back(::open(path.c_str(), O_RDONLY));
            ASSERT_EQ(::flock(locks.back(), LOCK_EX), 0);
        }
    }
    ProcessResult run = box.Tabrook(Args(JobList("export.lst", '1', {{"EMP", Path("out/emp.csv")}}), "EXPORT"));
    for (int fd : locks) ::close(fd);
    EXPECT_EQ(run.status, 0) << run.err;
    for (const Planted& p : planted) EXPECT_EQ(fs::exists(box.Work() / "out" / p.name), !p.removed) << p.name;
}

// A client library that is there but does not load: its loader message is shown, and the
// fall-back to the embedded engine is said and named in the log.
TEST_F(Hardening, ABrokenClientLibraryIsNamedWithTheLoadersReason) {
    WriteFile(box.Work() / "lib" / "libclntsh.so", std::string(256, 'z'));
    WriteFile(box.Work() / "in" / "emp.csv", "1,Good,2020-01-01 00:00:00,1\r\n");
    std::string list = JobList("import.lst", '0', {{"EMP", Path("in/emp.csv")}});

    box.env["TABROOK_OCI_LIBRARY"] = Path("lib/libclntsh.so");
    ProcessResult forced = box.Tabrook(Args(list, "IMPORT"));
    EXPECT_EQ(forced.status, 1);
    std::vector<LogLine> log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[1].code, "I999");
    ASSERT_EQ(log[1].fields.size(), 1u);
    EXPECT_NE(log[1].fields[0].find("invalid ELF header"), std::string::npos) << log[1].fields[0];

    box.env["TABROOK_OCI_LIBRARY"] = "";
    box.env["LD_LIBRARY_PATH"] = Path("lib");
    ProcessResult fellBack = box.Tabrook(Args(list, "IMPORT"));
    EXPECT_EQ(fellBack.status, 0) << fellBack.err;
    EXPECT_NE(fellBack.err.find("invalid ELF header"), std::string::npos) << fellBack.err;
    EXPECT_NE(fellBack.err.find("embedded engine"), std::string::npos) << fellBack.err;
    log = Log();
    ASSERT_GE(log.size(), 2u);
    ASSERT_EQ(log[1].fields.size(), 13u);
    EXPECT_EQ(log[1].fields[12], "Library=" + Sandbox::Binary("libocilite.so").string());
}

// No client library found: the embedded engine is the normal case and the run says nothing on
// standard error, whatever language the user's locale speaks (its loader messages included).
TEST_F(Hardening, NoClientLibraryIsQuietUnderAJapaneseLocale) {
    const fs::path locales = box.Work() / "locale";
    fs::create_directories(locales);
    const std::string compile = "localedef -i ja_JP -f UTF-8 '" + (locales / "ja_JP.UTF-8").string() + "' 2>/dev/null";
    if (std::system(compile.c_str()) != 0) GTEST_SKIP() << "localedef cannot make ja_JP.UTF-8 here (package locales)";
    WriteFile(box.Work() / "in" / "emp.csv", "1,Good,2020-01-01 00:00:00,1\r\n");
    box.env["TABROOK_OCI_LIBRARY"] = "";
    box.env["LOCPATH"] = locales.string();
    box.env["LANG"] = box.env["LC_ALL"] = "ja_JP.UTF-8";
    ProcessResult run = box.Tabrook(Args(JobList("import.lst", '0', {{"EMP", Path("in/emp.csv")}}), "IMPORT"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

// An import list run unattended while the window was last left in Export mode: without MODE
// the list's mode line decides, so it reads its file rather than writing over it; a MODE that
// disagrees with the mode line wins and the log says so.
TEST_F(Hardening, AJobListRunsInTheModeItWasMadeFor) {
    WriteFile(box.ConfigFile(), "[List-1]\nMode=1\n");
    const std::string csv = Path("in/emp.csv");
    fs::create_directories(box.Work() / "in");
    WriteFile(csv, "1,Good,2020-01-01 00:00:00,1\r\n");
    const std::string list = JobList("import.lst", '0', {{"EMP", csv}});
    std::vector<std::string> args = Args(list, "IMPORT");
    args.erase(args.begin() + 1);  // no MODE
    ProcessResult run = box.Tabrook(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(csv), "1,Good,2020-01-01 00:00:00,1\r\n");
    EXPECT_EQ(Query("select count(*) from EMP;\n"), "COUNT(*)\n1\n");

    ProcessResult forced = box.Tabrook(Args(list, "EXPORT"));
    EXPECT_EQ(forced.status, 0) << forced.err;
    const std::vector<LogLine> log = Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[1].code, "W");
    EXPECT_EQ(log[1].fields.back(), "MODE=EXPORT overrides the job list's mode line (IMPORT)");
}

// A typed table name means its upper-case form unless it stands in double quotes (then its
// case is kept), and a name that names no table is refused with the client's reason.
TEST_F(Hardening, TableNamesAreReadAsInSql) {
    Query("create table \"Mixed\" (ID NUMBER(6));\n");
    WriteFile(box.Work() / "in" / "emp.csv", "1,Good,2020-01-01 00:00:00,1\r\n");
    fs::create_directories(box.Work() / "out");
    struct Case {
        bool import;
        std::string table, code, text;
    };
    const std::vector<Case> cases = {
        {true, "emp", "O", ""},           {false, "emp", "O", ""},
        {false, "\"EMP\"", "O", ""},      {false, "\"Mixed\"", "O", ""},
        {false, "\"emp\"", "E006", "ORA-00942"}, {false, "nosuch", "E006", "ORA-00942"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const std::string csv = Path(c.import ? "in/emp.csv" : "out/t.csv");
        const std::string list = JobList("jobs.lst", c.import ? '0' : '1', {{c.table, csv}});
        ProcessResult run = box.Tabrook(Args(list, c.import ? "IMPORT" : "EXPORT"));
        const LogLine line = JobLine();
        EXPECT_EQ(line.code, c.code) << run.err;
        ASSERT_GE(line.fields.size(), 6u);
        EXPECT_NE(line.fields[5].find(c.text), std::string::npos) << line.fields[5];
    }
    EXPECT_EQ(Query("select count(*) from EMP;\n"), "COUNT(*)\n1\n");
}

// A file wider than the most columns a transfer takes, into a narrow table: its extra fields
// are dropped as those of any record with more fields than the table has columns.
TEST_F(Hardening, ExtraFieldsPastTheColumnLimitAreDropped) {
    Query("create table PAIR (A NUMBER(6), B VARCHAR2(10));\n");
    std::string record = "1,x";
    for (int field = 3; field <= 1001; ++field) record += ",f";
    WriteFile(box.Work() / "in" / "wide.csv", record + "\r\n");
    ProcessResult run = box.Tabrook(Args(JobList("import.lst", '0', {{"PAIR", Path("in/wide.csv")}}), "IMPORT"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(JobLine().code, "O");
    EXPECT_EQ(Query("select A, B from PAIR;\n"), "A|B\n1|x\n");
}

// Installed where the user cannot write (as the package is, in /usr/bin), the program puts
// the default log and bare file names of a job list into the user's data folder.
TEST_F(Hardening, WithoutAWritableProgramFolderFilesGoToTheDataFolder) {
    FillEmp(1);
    const fs::path bin = box.Root() / "bin";
    fs::create_directories(bin);
    fs::copy_file(Sandbox::Binary("tabrook"), bin / "tabrook");
    fs::permissions(bin, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (::geteuid() == 0) {  // root may write anywhere: the run is made as an ordinary user
        for (const auto& entry : fs::recursive_directory_iterator(box.Root()))
            ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
        box.childSetup = [] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
        };
    }
    std::vector<std::string> args =
        Args(JobList("export.lst", '1', {{"EMP", "emp.csv"}}), "EXPORT", "scott/tiger@db/test.db", false);
    args.push_back("LOG=TRUE");
    ProcessResult run = box.Run(bin / "tabrook", args);
    box.childSetup = nullptr;
    EXPECT_EQ(run.status, 0) << run.err;
    const fs::path data = box.Root() / "data" / "tabrook";
    EXPECT_EQ(Codes(ParseLog(ReadFile(data / "Tabrook.log"))), (std::vector<std::string>{"S", "H", "O", "F", "Q"}));
    EXPECT_NE(ReadFile(data / "emp.csv").find(std::string(38, 'n')), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(bin), fs::directory_iterator()), 1) << "written beside the program";
}

}  // namespace
}  // namespace tabrook::e2e
