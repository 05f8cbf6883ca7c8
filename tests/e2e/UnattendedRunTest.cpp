// Unattended runs through the real program and the embedded engine: job-list imports and
// exports with the run log checked line by line, rows refused, each start failure with its
// log code and exit status, ErrStop, the settings stored for the next start, and the default
// discovery of the embedded engine beside the program.

#include <gtest/gtest.h>

#include "tests/e2e/E2eHarness.h"

namespace tabrook::e2e {
namespace {

const char* const kSchema = R"(create table EMP (ID NUMBER(6), NAME VARCHAR2(40), HIRED DATE, SALARY NUMBER(10,2));
create table NOTE (ID NUMBER(6), BODY VARCHAR2(100), MEMO NVARCHAR2(20));
)";

const char* const kEmpCsv =
    "1,\"Yamada 山田\",2020-04-01 09:00:00,1234.5\r\n"
    "2,Sato,2021-05-02 10:30:00,99\r\n"
    "3,\"Tanaka, Jr.\",2019-12-31 23:59:59,\r\n";

const char* const kNoteCsv =
    "10,\"say \"\"hi\"\"\",日本語\r\n"
    "11,,メモ\r\n";

const char* const kImportDone = "インポートを完了しました。";

class UnattendedRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Sandbox::BinariesPresent()) GTEST_SKIP() << "build tabrook, ocilite-sql and libocilite.so first";
        box.env["TABROOK_OCI_LIBRARY"] = Sandbox::Binary("libocilite.so").string();
        ProcessResult created = box.Sql("db/test.db", kSchema);
        ASSERT_EQ(created.status, 0) << created.err;
    }

    std::string Path(const std::string& name) const { return (box.Work() / name).string(); }

    // A job list file: the mode line, then "table<TAB>csv" lines.
    std::string JobList(const std::string& name, const std::vector<std::pair<std::string, std::string>>& jobs,
                        char mode = '0') {
        std::string text = std::string(1, mode) + "\r\n";
        for (const auto& [table, csv] : jobs) text += table + "\t" + csv + "\r\n";
        WriteFile(box.Work() / name, text);
        return Path(name);
    }

    std::vector<std::string> UnattendedArgs(const std::string& list, const std::string& mode,
                                            const std::string& user = "scott/tiger@db/test.db") {
        return {"USER=" + user,   "MODE=" + mode,  "LISTFILE=" + list, "LOG=" + Path("logs/run.log"),
                "AUTOSTART=TRUE", "AUTOCLOSE=TRUE"};
    }

    std::vector<LogLine> FinishedLog() {
        EXPECT_FALSE(fs::exists(box.Work() / "logs" / "run.tmp")) << "the working file was not renamed";
        return ParseLog(ReadFile(box.Work() / "logs" / "run.log"));
    }

    std::string Query(const std::string& sql) {
        ProcessResult result = box.Sql("db/test.db", sql);
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out;
    }

    Sandbox box;
};

TEST_F(UnattendedRun, ImportsAJobListAndLogsEveryTransfer) {
    WriteFile(box.Work() / "in" / "emp.csv", kEmpCsv);
    WriteFile(box.Work() / "in" / "note.csv", kNoteCsv);
    std::string list = JobList("import.lst", {{"EMP", Path("in/emp.csv")}, {"NOTE", Path("in/note.csv")}});

    ProcessResult run = box.Tabrook(UnattendedArgs(list, "IMPORT"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    std::vector<LogLine> log = FinishedLog();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "O", "F", "Q"}));
    EXPECT_TRUE(log[0].fields.empty());
    ASSERT_EQ(log[1].fields.size(), 13u);
    EXPECT_EQ(log[1].fields[0], "Mode=Import");
    EXPECT_EQ(log[1].fields[12], "Library=" + Sandbox::Binary("libocilite.so").string());
    EXPECT_EQ(log[1].fields[1], "Separator=,");
    EXPECT_EQ(log[1].fields[2], "Delimiter=\"");
    EXPECT_EQ(log[1].fields[8], "DateFmt=RRRR-MM-DD HH24:MI:SS");
    EXPECT_EQ(log[1].fields[11], "ErrStop=False");
    // An import's line ends with its lines read split: inserted, updated, skipped.
    EXPECT_EQ(log[2].fields, (std::vector<std::string>{"EMP", Path("in/emp.csv"), "3", "3", "0", kImportDone,
                                                       "Inserted=3", "Updated=0", "Skipped=0"}));
    EXPECT_EQ(log[3].fields, (std::vector<std::string>{"NOTE", Path("in/note.csv"), "2", "2", "0", kImportDone,
                                                       "Inserted=2", "Updated=0", "Skipped=0"}));
    EXPECT_TRUE(log[4].fields.empty());
    EXPECT_TRUE(log[5].fields.empty());

    EXPECT_EQ(Query("select ID, NAME, HIRED, SALARY from EMP order by ID;\n"),
              "ID|NAME|HIRED|SALARY\n"
              "1|Yamada 山田|2020-04-01 09:00:00|1234.5\n"
              "2|Sato|2021-05-02 10:30:00|99\n"
              "3|Tanaka, Jr.|2019-12-31 23:59:59|\n");
    EXPECT_EQ(Query("select ID, BODY, MEMO from NOTE order by ID;\n"),
              "ID|BODY|MEMO\n"
              "10|say \"hi\"|日本語\n"
              "11||メモ\n");
}

TEST_F(UnattendedRun, ExportsAJobListThatReadsBackAsTheSameFiles) {
    ASSERT_EQ(box.Sql("db/test.db",
                      "insert into EMP values (1, 'Yamada 山田', TO_DATE('2020-04-01 09:00:00', 'YYYY-MM-DD "
                      "HH24:MI:SS'), 1234.5);\n"
                      "insert into EMP values (2, 'Sato, \"S\"', TO_DATE('2021-05-02 10:30:00', 'YYYY-MM-DD "
                      "HH24:MI:SS'), NULL);\n")
                  .status,
              0);
    std::string list = JobList("export.lst", {{"EMP", Path("out/emp.csv")}}, '1');
    fs::create_directories(box.Work() / "out");

    ProcessResult run = box.Tabrook(UnattendedArgs(list, "EXPORT"));
    EXPECT_EQ(run.status, 0) << run.err;

    std::vector<LogLine> log = FinishedLog();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "F", "Q"}));
    EXPECT_EQ(log[1].fields[0], "Mode=Export");
    ASSERT_EQ(log[2].fields.size(), 6u);
    EXPECT_EQ(log[2].fields[0], "EMP");
    EXPECT_EQ(log[2].fields[1], Path("out/emp.csv"));
    EXPECT_EQ(log[2].fields[2], "2");
    EXPECT_EQ(log[2].fields[3], "2");
    EXPECT_EQ(log[2].fields[4], "0");

    std::string csv = ReadFile(box.Work() / "out" / "emp.csv");
    EXPECT_NE(csv.find("Yamada 山田"), std::string::npos) << csv;
    EXPECT_NE(csv.find("2020-04-01 09:00:00"), std::string::npos) << csv;
    EXPECT_NE(csv.find("1234.5"), std::string::npos) << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2) << csv;

    // The exported file imports again to the same rows.
    ASSERT_EQ(
        box.Sql("db/test.db", "create table EMP2 (ID NUMBER(6), NAME VARCHAR2(40), HIRED DATE, SALARY NUMBER(10,2));\n")
            .status,
        0);
    std::string back = JobList("back.lst", {{"EMP2", Path("out/emp.csv")}});
    ProcessResult again = box.Tabrook(UnattendedArgs(back, "IMPORT"));
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(Query("select * from EMP2 order by ID;\n").substr(Query("select * from EMP2 order by ID;\n").find('\n')),
              Query("select * from EMP order by ID;\n").substr(Query("select * from EMP order by ID;\n").find('\n')));
}

TEST_F(UnattendedRun, DatesOracleRefusesGoToTheErrorFile) {
    // a doubled separator and a run of punctuation where the model has one character are
    // errors in Oracle's TO_DATE, so those rows must not load
    WriteFile(box.Work() / "in" / "emp.csv",
              "1,Good,2020-01-01 00:00:00,1\r\n"
              "2,Doubled,2020--01-01 00:00:00,2\r\n"
              "3,Lenient,2020/01/01 00.00.00,3\r\n"
              "4,Run,2020-01-01 00:%:00,4\r\n");
    std::string list = JobList("import.lst", {{"EMP", Path("in/emp.csv")}});
    ProcessResult run = box.Tabrook(UnattendedArgs(list, "IMPORT"));
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(ReadFile(box.Work() / "in" / "emp.err"),
              "2,Doubled,2020--01-01 00:00:00,2\r\n"
              "4,Run,2020-01-01 00:%:00,4\r\n");
    EXPECT_EQ(Query("select ID from EMP order by ID;\n"), "ID\n1\n3\n");
}

TEST_F(UnattendedRun, RefusedRowsEndWithStatusTwoAndTheErrorFiles) {
    WriteFile(box.Work() / "in" / "emp.csv",
              "1,Good,2020-01-01 00:00:00,1\r\n"
              "x,Bad number,2020-01-01 00:00:00,2\r\n"
              "3,Good too,2020-01-01 00:00:00,3\r\n");
    std::string list = JobList("import.lst", {{"EMP", Path("in/emp.csv")}});
    ProcessResult run = box.Tabrook(UnattendedArgs(list, "IMPORT"));
    EXPECT_EQ(run.status, 2) << run.err;
    std::vector<LogLine> log = FinishedLog();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "F", "Q"}));
    ASSERT_EQ(log[2].fields.size(), 9u);
    EXPECT_EQ(log[2].fields[8], "Skipped=0");
    EXPECT_EQ(log[2].fields[2], "3");
    EXPECT_EQ(log[2].fields[3], "2");
    EXPECT_EQ(log[2].fields[4], "1");
    EXPECT_EQ(log[2].fields[5], "エラーレコードがあります。");
    EXPECT_EQ(ReadFile(box.Work() / "in" / "emp.err"), "x,Bad number,2020-01-01 00:00:00,2\r\n");
    EXPECT_NE(ReadFile(box.Work() / "in" / "emp.erm").find("ORA-"), std::string::npos);
}

struct StartFailure {
    const char* name;
    std::string library;  // TABROOK_OCI_LIBRARY ("" keeps the built engine)
    std::string user;
    bool listExists;
    std::string code;
    std::string textPart;  // part of the log text of that code
};

class StartFailures : public UnattendedRun, public ::testing::WithParamInterface<StartFailure> {};

TEST_P(StartFailures, AreLoggedAndEndWithStatusOneWithoutRunning) {
    const StartFailure& c = GetParam();
    if (!c.library.empty()) box.env["TABROOK_OCI_LIBRARY"] = c.library;
    WriteFile(box.Work() / "in" / "emp.csv", kEmpCsv);
    std::string list = c.listExists ? JobList("import.lst", {{"EMP", Path("in/emp.csv")}}) : Path("missing.lst");

    ProcessResult run = box.Tabrook(UnattendedArgs(list, "IMPORT", c.user));
    EXPECT_EQ(run.status, 1) << run.err;
    std::vector<LogLine> log = FinishedLog();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", c.code, "Q"}));
    ASSERT_EQ(log[1].fields.size(), 1u);
    EXPECT_NE(log[1].fields[0].find(c.textPart), std::string::npos) << log[1].fields[0];
    EXPECT_EQ(Query("select count(*) from EMP;\n"), "COUNT(*)\n0\n");
}

INSTANTIATE_TEST_SUITE_P(
    E2e, StartFailures,
    ::testing::Values(StartFailure{"NoLibrary", "/nonexistent/libnothing.so", "scott/tiger@db/test.db", true, "I999",
                                   "のロードに失敗しました"},
                      StartFailure{"WrongPassword", "", "scott/wrong@db/test.db", true, "I999", "ORA-01017"},
                      StartFailure{"MissingDatabase", "", "scott/tiger@db/none.db", true, "I999", "ORA-12154"},
                      StartFailure{"UnreadableListFile", "", "scott/tiger@db/test.db", false, "I997",
                                   "JobListファイルを読み取れません。"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ErrStopCase {
    const char* name;
    bool errStop;
    std::vector<std::string> codes;
    std::string secondCount;  // rows in EMP afterwards
};

class ErrStopRuns : public UnattendedRun, public ::testing::WithParamInterface<ErrStopCase> {};

TEST_P(ErrStopRuns, AFailedJobStopsTheRunOnlyWithErrStop) {
    const ErrStopCase& c = GetParam();
    WriteFile(box.Work() / "in" / "emp.csv", kEmpCsv);
    std::string list = JobList("import.lst", {{"MISSING", Path("in/emp.csv")}, {"EMP", Path("in/emp.csv")}});
    std::vector<std::string> args = UnattendedArgs(list, "IMPORT");
    args.push_back(std::string("ERRSTOP=") + (c.errStop ? "TRUE" : "FALSE"));
    ProcessResult run = box.Tabrook(args);
    EXPECT_EQ(run.status, 1) << run.err;
    std::vector<LogLine> log = FinishedLog();
    ASSERT_EQ(Codes(log), c.codes);
    EXPECT_EQ(log[2].fields, (std::vector<std::string>{"MISSING", Path("in/emp.csv"), "0", "0", "0",
                                                       "テーブル情報を取得できません。", "Inserted=0",
                                                       "Updated=0", "Skipped=0"}));
    EXPECT_EQ(Query("select count(*) from EMP;\n"), "COUNT(*)\n" + c.secondCount + "\n");
}

INSTANTIATE_TEST_SUITE_P(E2e, ErrStopRuns,
                         ::testing::Values(ErrStopCase{"Off", false, {"S", "H", "E006", "O", "F", "Q"}, "3"},
                                           ErrStopCase{"On", true, {"S", "H", "E006", "F", "Q"}, "0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UnattendedRun, LobDataCarriesClobTextAndBlobHexThroughExportAndImport) {
    ASSERT_EQ(box.Sql("db/test.db",
                      "create table DOC (ID NUMBER(3), BODY CLOB, PIC BLOB);\n"
                      "create table COPY (ID NUMBER(3), BODY CLOB, PIC BLOB);\n"
                      "insert into DOC values (1, 'text, \"quoted\" 日本語', HEXTORAW('00FF10'));\n"
                      "insert into DOC values (2, NULL, NULL);\n")
                  .status,
              0);
    fs::create_directories(box.Work() / "out");
    // Without the option the contents stay behind placeholders.
    const std::string plain = JobList("plain.lst", {{"DOC", Path("out/plain.csv")}});
    ProcessResult run = box.Tabrook(UnattendedArgs(plain, "EXPORT"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(box.Work() / "out" / "plain.csv"), "1,(CLOB),(BLOB)\r\n2,,\r\n");

    const std::string out = JobList("out.lst", {{"DOC", Path("out/doc.csv")}});
    std::vector<std::string> args = UnattendedArgs(out, "EXPORT");
    args.push_back("LOBDATA=TRUE");
    run = box.Tabrook(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(box.Work() / "out" / "doc.csv"), "1,\"text, \"\"quoted\"\" 日本語\",00FF10\r\n2,\"\",\r\n");

    const std::string in = JobList("in.lst", {{"COPY", Path("out/doc.csv")}});
    args = UnattendedArgs(in, "IMPORT");
    args.push_back("LOBDATA=TRUE");
    run = box.Tabrook(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Query("select ID, BODY, PIC from COPY order by ID;\n"),
              "ID|BODY|PIC\n1|text, \"quoted\" 日本語|00FF10\n2||\n");
}

TEST_F(UnattendedRun, StoredSettingsAreReadButAnUnattendedRunWritesNone) {
    // Settings stored by an interactive session.
    const std::string stored =
        "[List-1]\nSeparator=\";\"\nHeadOn=1\nErrCnt=7\nAutoCmtOn=1\nAutoCmtCnt=50\n"
        "USER=someone\nCONN=elsewhere.db\n";
    WriteFile(box.ConfigFile(), stored);
    WriteFile(box.Work() / "in" / "emp.csv", "ID;NAME;HIRED;SALARY\r\n1;Semi;2020-01-01 00:00:00;5\r\n");
    std::string list = JobList("import.lst", {{"EMP", Path("in/emp.csv")}});
    ProcessResult first = box.Tabrook(UnattendedArgs(list, "IMPORT"));
    ASSERT_EQ(first.status, 0) << first.err << ReadFile(box.Work() / "in" / "emp.erm");
    std::vector<LogLine> log = FinishedLog();
    ASSERT_GE(log.size(), 3u);
    ASSERT_GE(log[1].fields.size(), 12u);
    EXPECT_EQ(log[1].fields[1], "Separator=;");
    EXPECT_EQ(log[1].fields[5], "WithHeader=True");
    EXPECT_EQ(log[1].fields[7], "AutoCommit=50");
    EXPECT_EQ(log[1].fields[10], "ErrCnt=7");
    EXPECT_EQ(Query("select NAME from EMP;\n"), "NAME\nSemi\n");

    // Options of an unattended run are for that run only: TRUNCATE once does not make the next
    // scheduled import of another table truncate it, and the logon is not stored either.
    ASSERT_EQ(box.Sql("db/test.db", "insert into NOTE values (1, 'keep me', NULL);\n").status, 0);
    std::vector<std::string> args = UnattendedArgs(list, "IMPORT");
    args.insert(args.end(), {"TRUNCATE=TRUE", "SEP=,", "ERRCNT=3"});
    WriteFile(box.Work() / "in" / "emp.csv", "ID,NAME,HIRED,SALARY\r\n2,Again,2020-01-02 00:00:00,6\r\n");
    ProcessResult truncating = box.Tabrook(args);
    ASSERT_EQ(truncating.status, 0) << truncating.err;
    EXPECT_EQ(ReadFile(box.ConfigFile()), stored) << "an unattended run wrote the settings";

    WriteFile(box.Work() / "in" / "note.csv", "ID;BODY;MEMO\r\n2;added;\r\n");
    std::string notes = JobList("note.lst", {{"NOTE", Path("in/note.csv")}});
    ProcessResult next = box.Tabrook(UnattendedArgs(notes, "IMPORT"));
    ASSERT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(Query("select BODY from NOTE order by ID;\n"), "BODY\nkeep me\nadded\n");
    EXPECT_EQ(ReadFile(box.ConfigFile()), stored);
}

TEST_F(UnattendedRun, FindsTheEmbeddedEngineBesideTheProgramWithoutTheVariable) {
    box.env["TABROOK_OCI_LIBRARY"] = "";
    WriteFile(box.Work() / "in" / "emp.csv", kEmpCsv);
    std::string list = JobList("import.lst", {{"EMP", Path("in/emp.csv")}});
    ProcessResult run = box.Tabrook(UnattendedArgs(list, "IMPORT"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Codes(FinishedLog()), (std::vector<std::string>{"S", "H", "O", "F", "Q"}));
}

TEST_F(UnattendedRun, AnInteractiveStartWithoutWindowsSaysSoAndFails) {
    ProcessResult run = box.Tabrook({"AUTOSTART=TRUE"});  // AUTOCLOSE missing: not unattended
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("windows"), std::string::npos) << run.err;
}

TEST_F(UnattendedRun, AnUnattendedStartWithoutAJobListFileRunsNothingAndFails) {
    ProcessResult run =
        box.Tabrook({"USER=scott/tiger@db/test.db", "AUTOSTART=TRUE", "AUTOCLOSE=TRUE", "LOG=" + Path("logs/run.log")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("LISTFILE"), std::string::npos) << run.err;
    EXPECT_EQ(Codes(FinishedLog()), (std::vector<std::string>{"S", "Q"}));
}

}  // namespace
}  // namespace tabrook::e2e
