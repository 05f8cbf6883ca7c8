// The import engine end to end: real CSV files in a temporary folder, the grid previews, the
// client layer and the embedded database.
#include <gtest/gtest.h>

#include "oci/ColumnKind.h"
#include "tests/engines/EngineTestSupport.h"
#include "transfer/ExportEngine.h"
#include "transfer/ImportEngine.h"

namespace tabrook::testing {
namespace {

constexpr char kDone[] = "インポートを完了しました。";

class ImportTest : public DatabaseTest {
protected:
    // Previews table and file as the main window does, then imports.
    int RunImport(const std::string& table, const std::string& csvBytes, std::string* message = nullptr,
                  const char* fileName = "data.csv", const ImportOptions& options = {}) {
        csv_ = Path(fileName);
        WriteBytes(csv_, csvBytes);
        Preview(table, csv_);
        if (::testing::Test::HasFatalFailure()) return -100;
        state_.RecordCount = state_.ErrorCount = state_.SuccessCount = 0;  // as the thread does
        std::string text;
        const int rc = Import(state_, dm_, host_, Plan(context_.TableName, context_.CsvFile), text, options);
        if (message != nullptr) *message = text;
        EXPECT_EQ(host_.busyDepth, 0) << "the busy pointer was not restored";
        return rc;
    }
    std::string Err() { return ReadBytes(ErrorRecordPath(csv_.string())); }
    std::string Erm() { return ReadBytes(ErrorMessagePath(csv_.string())); }
    bool ErrorFilesExist() {
        return std::filesystem::exists(ErrorRecordPath(csv_.string())) ||
               std::filesystem::exists(ErrorMessagePath(csv_.string()));
    }

    std::filesystem::path csv_;
};

TEST_F(ImportTest, PlainFileLoadsEveryLineAndRemovesTheErrorFiles) {
    Exec({"create table EMP (ID number(10), NAME varchar2(20), BORN date)"});
    std::string message;
    // Blank lines and mixed line ends are invisible; the last line has no line break.
    const int rc =
        RunImport("EMP", "1,\"Smith, J\",2001-02-03 04:05:06\r\n\r\n2,Doe,\n\n3,,1999-12-31 00:00:00", &message);
    EXPECT_EQ(rc, kImportDone);
    EXPECT_EQ(message, kDone);
    EXPECT_EQ(state_.RecordCount, 3);
    EXPECT_EQ(state_.SuccessCount, 3);
    EXPECT_EQ(state_.ErrorCount, 0);
    EXPECT_FALSE(ErrorFilesExist());
    EXPECT_TRUE(host_.boxes.empty());
    settings_.DateFmt = "YYYY-MM-DD HH24:MI:SS";
    dm_.OCI.DateFormat = "YYYY-MM-DD HH24:MI:SS";
    EXPECT_EQ(Query("select ID, NAME, BORN from EMP order by ID"),
              (Rows{{"1", "Smith, J", "2001-02-03 04:05:06"}, {"2", "Doe", ""}, {"3", "", "1999-12-31 00:00:00"}}));
}

TEST_F(ImportTest, HeaderLineIsCountedButNeverInserted) {
    // Text columns: a header sent to the database would be inserted, not refused.
    Exec({"create table T (A varchar2(5), B varchar2(10))"});
    settings_.WithHeader = true;
    EXPECT_EQ(RunImport("T", "A,B\n1,x\n2,y\n"), kImportDone);
    EXPECT_EQ(state_.RecordCount, 3);
    EXPECT_EQ(state_.SuccessCount, 2);
    EXPECT_EQ(state_.ErrorCount, 0);
    EXPECT_EQ(Query("select A, B from T order by A"), (Rows{{"1", "x"}, {"2", "y"}}));
}

TEST_F(ImportTest, RefusedRowsGoToBothErrorFilesAndTheUserIsAskedToSeeThem) {
    Exec({"create table T (A number(5) not null, B varchar2(3))"});
    settings_.ErrCnt = 0;
    host_.answers = {kMsgYes};
    std::string message;
    // An empty value binds NULL, also for a NOT NULL column; a value too long is refused too.
    const int rc = RunImport("T", "1,ok\n,null-a\n2,toolong\n3,\"q\"\"x\"\n", &message);
    EXPECT_EQ(rc, kImportDone);
    EXPECT_EQ(state_.SuccessCount, 2);
    EXPECT_EQ(state_.ErrorCount, 2);
    EXPECT_EQ(Err(), ",null-a\r\n2,toolong\r\n");
    const std::string erm = Erm();
    ASSERT_EQ(std::count(erm.begin(), erm.end(), '\n'), 2) << erm;
    EXPECT_EQ(erm.find('\n'), erm.find("\r\n") + 1);
    EXPECT_NE(erm.find("ORA-01400"), std::string::npos) << erm;
    EXPECT_NE(erm.find("ORA-12899"), std::string::npos) << erm;
    ASSERT_EQ(host_.boxes.size(), 1u);
    EXPECT_EQ(host_.boxes[0].text, std::string(kDone) + "\nエラーレコードがあります。\n表示しますか？");
    EXPECT_EQ(host_.boxes[0].icon, MsgIcon::Warning);
    EXPECT_EQ(message, "");
    // The shell could not open them, so both went to the viewer, records first.
    EXPECT_EQ(host_.opened,
              (std::vector<std::string>{ErrorRecordPath(csv_.string()), ErrorMessagePath(csv_.string())}));
    EXPECT_EQ(host_.viewed, host_.opened);
    EXPECT_EQ(Query("select B from T where A = 3"), (Rows{{"q\"x"}}));
}

TEST_F(ImportTest, ErrorRecordFileImportsAsItStands) {
    Exec({"create table T (A number(5) not null, B varchar2(5))"});
    host_.defaultAnswer = kMsgNo;
    settings_.ErrCnt = 0;
    ASSERT_EQ(RunImport("T", "1,a\n,\"x,y\"\n,z\n"), kImportDone);
    ASSERT_EQ(state_.ErrorCount, 2);
    // Fix the table, then feed the error-record file back in unchanged.
    Exec({"delete from T", "create table T2 (A number(5), B varchar2(5))"});
    const std::string err = Err();
    RecordingJobState again;
    Preview("T2", ErrorRecordPath(csv_.string()));
    std::string message;
    ASSERT_EQ(Import(again, dm_, host_, Plan("T2", context_.CsvFile), message), kImportDone);
    EXPECT_EQ(again.SuccessCount, 2);
    EXPECT_EQ(Query("select A, B from T2 order by B"), (Rows{{"", "x,y"}, {"", "z"}}));
    EXPECT_EQ(err, ",\"x,y\"\r\n,z\r\n");
    // Its own error files would have had its name: the file is left as it was.
    EXPECT_EQ(Err(), err);
}

TEST_F(ImportTest, ErrorRecordFileKeepsItsRowsWhenImportedAndRefusedAgain) {
    Exec({"create table T (A number(5) not null)"});
    host_.defaultAnswer = kMsgNo;
    settings_.ErrCnt = 0;
    ASSERT_EQ(RunImport("T", "1\n\"\"\n"), kImportDone);
    const std::string err = Err();
    ASSERT_EQ(err, "\"\"\r\n");
    RecordingJobState again;
    Preview("T", ErrorRecordPath(csv_.string()));
    std::string message;
    ASSERT_EQ(Import(again, dm_, host_, Plan("T", context_.CsvFile), message), kImportDone);
    EXPECT_EQ(again.ErrorCount, 1);
    EXPECT_EQ(Err(), err);
    EXPECT_EQ(ReadBytes(ErrorRecordPath(csv_.string()) + ".err"), err);
}

TEST_F(ImportTest, ErrorLimitAsksOnceAndGoingOnEndsWith12) {
    Exec({"create table T (A number(5) not null)"});
    settings_.ErrCnt = 2;
    host_.answers = {kMsgNo, kMsgNo};                  // go on; do not show the files
    const int rc = RunImport("T", "\n\n\n", nullptr);  // three blank lines are no lines at all
    EXPECT_EQ(rc, kImportDone);
    // Three refused records: a value that is not a number.
    const int rc2 = RunImport("T", "x\ny\nz\n");
    EXPECT_EQ(rc2, kImportDoneAfterLimit);
    ASSERT_EQ(host_.boxes.size(), 2u);
    EXPECT_EQ(host_.boxes[0].text, "エラーが中断件数に達しました。中断しますか？");
    EXPECT_EQ(host_.boxes[0].icon, MsgIcon::Question);
    EXPECT_EQ(Err(), "x\r\ny\r\nz\r\n");
    const std::string erm = Erm();
    EXPECT_EQ(std::count(erm.begin(), erm.end(), '\n'), 3);
}

TEST_F(ImportTest, ErrorLimitInAJobListRunStopsAndRollsBack) {
    Exec({"create table T (A number(5))"});
    settings_.ErrCnt = 2;
    state_.JobListRun = true;
    std::string message;
    const int rc = RunImport("T", "1\nx\n2\ny\n3\n", &message);
    EXPECT_EQ(rc, kImportCancelled);
    EXPECT_EQ(message, "エラーレコードがあります。");
    EXPECT_TRUE(host_.boxes.empty());
    EXPECT_TRUE(state_.CancelRequest);
    EXPECT_EQ(state_.RecordCount, 4);
    EXPECT_EQ(CountRows("T"), 0);  // nothing was committed
    EXPECT_EQ(Err(), "x\r\ny\r\n");
}

TEST_F(ImportTest, ErrorLimitConfirmedInASingleRunStops) {
    Exec({"create table T (A number(5))"});
    settings_.ErrCnt = 1;
    host_.answers = {kMsgYes, kMsgNo};
    std::string message;
    EXPECT_EQ(RunImport("T", "1\nx\n2\n", &message), kImportCancelled);
    EXPECT_EQ(host_.Texts(), (std::vector<std::string>{"エラーが中断件数に達しました。中断しますか？",
                                                       "中断しました。\nエラーレコードがあります。\n表示しますか？"}));
    EXPECT_EQ(message, "");
    EXPECT_EQ(CountRows("T"), 0);
}

struct RhythmCase {
    const char* name;
    bool autoCommit;
    int interval;
    bool header;
    int cancelAtRecord;  // the cancel is requested before this line is inserted
    int rowsKept;        // rows that survive the rollback of the cancel
};

class CommitRhythm : public ImportTest, public ::testing::WithParamInterface<RhythmCase> {};

TEST_P(CommitRhythm, RollbackOfACancelKeepsWhatWasCommitted) {
    const RhythmCase& rc = GetParam();
    Exec({"create table T (A number(5))"});
    settings_.AutoCommit = rc.autoCommit;
    settings_.AutoCmtCnt = rc.interval;
    settings_.WithHeader = rc.header;
    state_.stopHook = [&] {
        if (state_.RecordCount == rc.cancelAtRecord) state_.CancelRequest = true;
        return false;
    };
    std::string file = rc.header ? "A\n" : "";
    for (int i = 1; i <= 8; ++i) file += std::to_string(i) + "\n";
    std::string message;
    EXPECT_EQ(RunImport("T", file, &message), kImportCancelled);
    EXPECT_EQ(message, "キャンセルしました。");
    ASSERT_FALSE(host_.boxes.empty());
    EXPECT_EQ(host_.boxes[0].text, "キャンセルしますか？");
    EXPECT_EQ(CountRows("T"), rc.rowsKept);
}

// Without a header the first commit comes after line 2 and then after every line; with a
// header line, after every data line. An interval of 3 commits after lines 4 and 7.
INSTANTIATE_TEST_SUITE_P(Import, CommitRhythm,
                         ::testing::Values(RhythmCase{"NoAutoCommit", false, 1, false, 5, 0},
                                           RhythmCase{"EveryLineNoHeaderCancelAt2", true, 1, false, 2, 0},
                                           RhythmCase{"EveryLineNoHeaderCancelAt3", true, 1, false, 3, 2},
                                           RhythmCase{"EveryLineNoHeaderCancelAt5", true, 1, false, 5, 4},
                                           RhythmCase{"EveryLineHeaderCancelAt3", true, 1, true, 3, 1},
                                           RhythmCase{"EveryLineHeaderCancelAt5", true, 1, true, 5, 3},
                                           RhythmCase{"EveryThirdCancelAt7", true, 3, false, 7, 4},
                                           RhythmCase{"EveryThirdCancelAt8", true, 3, false, 8, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportTest, AnsweringNoToTheCancelQuestionGoesOn) {
    Exec({"create table T (A number(5))"});
    state_.stopHook = [&] {
        if (state_.RecordCount == 2) state_.CancelRequest = true;
        return false;
    };
    host_.answers = {kMsgNo};
    std::string message;
    EXPECT_EQ(RunImport("T", "1\n2\n3\n", &message), kImportDone);
    EXPECT_EQ(message, kDone);
    EXPECT_EQ(host_.Texts(), (std::vector<std::string>{"キャンセルしますか？"}));
    EXPECT_FALSE(state_.CancelRequest);
    EXPECT_EQ(CountRows("T"), 3);
}

TEST_F(ImportTest, StopRequestEndsWithoutAQuestion) {
    Exec({"create table T (A number(5))"});
    state_.stopHook = [&] { return state_.RecordCount == 2; };
    std::string message;
    EXPECT_EQ(RunImport("T", "1\n2\n3\n", &message), kImportCancelled);
    EXPECT_EQ(message, "キャンセルしました。");
    EXPECT_TRUE(host_.boxes.empty());
    EXPECT_EQ(CountRows("T"), 0);
}

TEST_F(ImportTest, CancelPendingBeforeTheFirstRowLeavesEmptyErrorFiles) {
    Exec({"create table T (A number(5))"});
    state_.CancelRequest = true;
    std::string message = "x";
    EXPECT_EQ(RunImport("T", "1\n", &message), kImportCancelled);
    EXPECT_EQ(message, "");
    EXPECT_EQ(Err(), "");
    EXPECT_TRUE(std::filesystem::exists(ErrorMessagePath(csv_.string())));
    EXPECT_EQ(CountRows("T"), 0);
}

TEST_F(ImportTest, UnreadableCsvFile) {
    Exec({"create table T (A number(5))"});
    ASSERT_TRUE(PreviewTable(target_, "T"));
    const std::string missing = Path("missing.csv").string();
    std::string message;
    EXPECT_EQ(Import(state_, dm_, host_, Plan("T", missing), message), kImportCsvUnreadable);
    EXPECT_EQ(message, "");
    ASSERT_EQ(host_.boxes.size(), 1u);
    EXPECT_EQ(host_.boxes[0].text, "CSVファイルを開けません。");
    EXPECT_EQ(host_.boxes[0].icon, MsgIcon::Warning);

    state_.JobListRun = true;
    EXPECT_EQ(Import(state_, dm_, host_, Plan("T", missing), message), kImportCsvUnreadable);
    EXPECT_EQ(message, "CSVファイルを開けません。");
    EXPECT_EQ(host_.boxes.size(), 1u);
}

TEST_F(ImportTest, ErrorFileThatCannotBeCreatedAsksFirst) {
    Exec({"create table T (A number(5) not null)"});
    csv_ = Path("data.csv");
    // A folder that cannot be removed stands where the error-record file would go.
    std::filesystem::create_directories(std::filesystem::path(ErrorRecordPath(csv_.string())) / "keep");
    host_.answers = {kMsgNo};
    std::string message;
    EXPECT_EQ(RunImport("T", "1\n", &message), kImportNoErrorFiles);
    EXPECT_EQ(message, "エラーファイルを出力できません。");
    EXPECT_EQ(host_.Texts(),
              (std::vector<std::string>{"エラーファイルを出力できません。\nインポートを実行しますか？"}));
    EXPECT_EQ(CountRows("T"), 0);

    // Going on imports without the missing file; the message file still records the refusal.
    host_.boxes.clear();
    host_.answers = {kMsgYes, kMsgNo};
    EXPECT_EQ(RunImport("T", "1\n\"\"\n", &message), kImportDone);
    EXPECT_EQ(CountRows("T"), 1);
    const std::string erm = Erm();
    EXPECT_EQ(std::count(erm.begin(), erm.end(), '\n'), 1);

    state_.JobListRun = true;  // a job-list run never goes on without its files
    EXPECT_EQ(RunImport("T", "1\n", &message), kImportNoErrorFiles);
}

TEST_F(ImportTest, GridWiderThanTheLimitIsRefused) {
    Exec({"create table T (A number(5))"});
    WriteBytes(Path("a.csv"), "1\n");
    Preview("T", Path("a.csv"));
    grid_.SetColCount(TransferPlan::kMaxColumns + 2);
    grid_.SetColumnType(TransferPlan::kMaxColumns + 1, grid_.ColumnType(1));  // a column moved past the limit
    std::string message;
    EXPECT_EQ(Import(state_, dm_, host_, Plan("T", context_.CsvFile), message), kImportTooManyColumns);
    EXPECT_EQ(message, "項目数が1000を越えるテーブルにはインポートできません。");
    ASSERT_EQ(host_.boxes.size(), 1u);
    EXPECT_EQ(host_.boxes[0].icon, MsgIcon::Error);
}

TEST_F(ImportTest, NoImportableColumn) {
    Exec({"create table T (B blob)"});
    std::string message;
    EXPECT_EQ(RunImport("T", "1,2\n", &message), kImportNothingToImport);
    EXPECT_EQ(message, "インポートできる項目がありません。");
}

TEST_F(ImportTest, TruncateEmptiesExactlyTheTableItLoads) {
    // Two tables whose names differ only in case: the truncate must hit the quoted one.
    Exec({"create table \"emp\" (A number(5))", "create table EMP (A number(5))", "insert into \"emp\" values (1)",
          "insert into EMP values (2)"});
    settings_.Truncate = true;
    EXPECT_EQ(RunImport("\"emp\"", "7\n"), kImportDone);
    EXPECT_EQ(Query("select A from \"emp\""), (Rows{{"7"}}));
    EXPECT_EQ(Query("select A from EMP"), (Rows{{"2"}}));
}

TEST_F(ImportTest, FailedTruncateEndsWith999) {
    Exec({"create table T (A number(5))", "create view V as select A from T"});
    settings_.Truncate = true;
    std::string message;
    EXPECT_EQ(RunImport("V", "1\n", &message), kImportFailed);
    EXPECT_NE(message.find("ORA-"), std::string::npos) << message;
}

TEST_F(ImportTest, NamesHoldingADoubleQuoteAreRefusedBeforeAnyStatement) {
    Exec({"create table T (A number(5))", "insert into T values (5)"});
    WriteBytes(Path("a.csv"), "1\n");
    Preview("T", Path("a.csv"));
    settings_.Truncate = true;
    std::string message;
    EXPECT_EQ(Import(state_, dm_, host_, Plan("T\" where 1=1 --", context_.CsvFile), message),
              kImportFailed);
    EXPECT_NE(message.find("ダブルクォート"), std::string::npos) << message;
    grid_.SetCell(1, 0, "A\"x");
    EXPECT_EQ(Import(state_, dm_, host_, Plan("T", context_.CsvFile), message), kImportFailed);
    EXPECT_NE(message.find("A\"x"), std::string::npos) << message;
    EXPECT_EQ(CountRows("T"), 1);  // not truncated
}

TEST_F(ImportTest, ShortRecordsArePaddedWithNulls) {
    Exec({"create table T (A number(5), B varchar2(5), C varchar2(5))"});
    EXPECT_EQ(RunImport("T", "1,x,y\n2\n3,z\n"), kImportDone);
    EXPECT_EQ(Query("select A, B, C from T order by A"), (Rows{{"1", "x", "y"}, {"2", "", ""}, {"3", "z", ""}}));
}

TEST_F(ImportTest, FieldsBeyondTheTableAreReadAndIgnored) {
    Exec({"create table T (A number(5), B varchar2(5))"});
    EXPECT_EQ(RunImport("T", "1,x,extra,more\n"), kImportDone);
    EXPECT_EQ(Query("select A, B from T"), (Rows{{"1", "x"}}));
}

TEST_F(ImportTest, MovedHeadersPairFieldsWithOtherColumns) {
    Exec({"create table T (A number(5), B varchar2(5), C varchar2(5))"});
    csv_ = Path("m.csv");
    WriteBytes(csv_, "x,1,y\n");
    Preview("T", csv_);
    grid_.ColumnMoved(2, 1, /*exportMode=*/false);  // headers B, A, C over fields x, 1, y
    std::string message;
    ASSERT_EQ(Import(state_, dm_, host_, Plan("T", context_.CsvFile), message), kImportDone) << message;
    EXPECT_EQ(Query("select A, B, C from T"), (Rows{{"1", "x", "y"}}));
}

TEST_F(ImportTest, AnEmptyHeaderColumnSkipsItsField) {
    Exec({"create table T (A number(5), B varchar2(5))"});
    csv_ = Path("s.csv");
    WriteBytes(csv_, "1,skipped,b\n");
    Preview("T", csv_);
    ASSERT_EQ(grid_.ColCount(), 4);
    grid_.ColumnMoved(3, 2, false);  // headers A, (none), B
    std::string message;
    ASSERT_EQ(Import(state_, dm_, host_, Plan("T", context_.CsvFile), message), kImportDone) << message;
    EXPECT_EQ(Query("select A, B from T"), (Rows{{"1", "b"}}));
}

TEST_F(ImportTest, NationalColumnsGoThroughTranslate) {
    Exec({"create table T (ID number(3), N nvarchar2(10), C nchar(4))"});
    EXPECT_EQ(RunImport("T", "1,日本語,ab\n2,,\n"), kImportDone);
    EXPECT_EQ(Query("select ID, TRANSLATE(N USING CHAR_CS), TRANSLATE(C USING CHAR_CS) from T order by ID"),
              (Rows{{"1", "日本語", "ab  "}, {"2", "", ""}}));
}

TEST_F(ImportTest, DatesAndTimestampsUseTheUsersFormats) {
    Exec({"create table \"Mixed\" (\"Day\" date, \"At\" timestamp(3))"});
    settings_.DateFmt = "DD.MM.YYYY";
    settings_.TimestampFmt = "YYYY/MM/DD HH24:MI:SS.FF";
    EXPECT_EQ(RunImport("\"Mixed\"", "03.02.2001,2020/01/02 03:04:05.678\n"), kImportDone);
    EXPECT_EQ(state_.ErrorCount, 0) << Erm();
    dm_.OCI.DateFormat = "YYYY-MM-DD";
    dm_.OCI.TimeStampFormat = "YYYY-MM-DD HH24:MI:SS.FF";
    EXPECT_EQ(Query("select \"Day\", \"At\" from \"Mixed\""), (Rows{{"2001-02-03", "2020-01-02 03:04:05.678"}}));
    // A value that does not match the format is a refused row, not a failed import.
    EXPECT_EQ(RunImport("\"Mixed\"", "2001-02-03,\n", nullptr, "bad.csv"), kImportDone);
    EXPECT_EQ(state_.ErrorCount, 1);
}

TEST_F(ImportTest, ReplacementTextBecomesALineBreak) {
    Exec({"create table T (A varchar2(20))"});
    settings_.ReplaceCR = true;
    EXPECT_EQ(RunImport("T", "1\\n2\n"), kImportDone);
    EXPECT_EQ(Query("select A from T"), (Rows{{"1\r\n2"}}));
}

TEST_F(ImportTest, TwoImportsInARowBindEachColumnOnce) {
    Exec({"create table T (A number(5), B varchar2(5))"});
    EXPECT_EQ(RunImport("T", "1,a\n"), kImportDone);
    EXPECT_EQ(dm_.OCIcur.Binds.size(), 2u);
    EXPECT_EQ(RunImport("T", "2,b\n"), kImportDone);
    EXPECT_EQ(dm_.OCIcur.Binds.size(), 2u);
    EXPECT_EQ(CountRows("T"), 2);
}

TEST_F(ImportTest, CountsAreShownEveryTenLines) {
    Exec({"create table T (A number(5))"});
    std::string file;
    for (int i = 1; i <= 25; ++i) file += std::to_string(i) + "\n";
    // Row by row: at the start, before lines 1, 11 and 21, and at the end.
    EXPECT_EQ(RunImport("T", file, nullptr, "data.csv", ImportOptions{1}), kImportDone);
    EXPECT_EQ(state_.shownCounts, (std::vector<std::pair<int, int>>{{0, 0}, {0, 0}, {10, 0}, {20, 0}, {25, 0}}));
    // In arrays of 8 rows the counts are shown at the same points; they hold the rows whose
    // outcome is known, the batches sent so far (rows 1-8 before line 11, 1-16 before line 21).
    state_.shownCounts.clear();
    Exec({"delete from T"});
    EXPECT_EQ(RunImport("T", file, nullptr, "data.csv", ImportOptions{8}), kImportDone);
    EXPECT_EQ(state_.shownCounts, (std::vector<std::pair<int, int>>{{0, 0}, {0, 0}, {8, 0}, {16, 0}, {25, 0}}));
    EXPECT_EQ(CountRows("T"), 25);
}

TEST_F(ImportTest, CommitFailingAtTheEndIsAnError) {
    Exec({"create table T (A number(5))"});
    // The session goes away during the run: nothing can be committed any more.
    state_.stopHook = [&] {
        if (state_.RecordCount == 2) dm_.OCI.DisConnect();
        return false;
    };
    std::string message;
    EXPECT_EQ(RunImport("T", "1\n2\n", &message), kImportFailed);
    EXPECT_NE(message, kDone);
    EXPECT_EQ(message, "接続されていません");
}

TEST_F(ImportTest, CommitFailingDuringTheRunStopsTheImport) {
    Exec({"create table T (A number(5))"});
    settings_.AutoCommit = true;
    state_.stopHook = [&] {
        if (state_.RecordCount == 3) dm_.OCI.DisConnect();
        return false;
    };
    std::string message;
    EXPECT_EQ(RunImport("T", "1\n2\n3\n4\n5\n", &message), kImportFailed);
    EXPECT_NE(message.find("接続されていません"), std::string::npos) << message;
    EXPECT_EQ(state_.RecordCount, 3);
}

TEST_F(ImportTest, RollbackFailingAfterACancelIsReported) {
    Exec({"create table T (A number(5))"});
    state_.stopHook = [&] {
        if (state_.RecordCount == 2) {
            dm_.OCI.DisConnect();
            return true;
        }
        return false;
    };
    std::string message;
    EXPECT_EQ(RunImport("T", "1\n2\n", &message), kImportFailed);
    EXPECT_EQ(message, "キャンセルしました。\n接続されていません");
}

struct BadInputCase {
    const char* name;
    std::string file;
    Rows rows;        // what the table holds afterwards
    std::string err;  // what the error-record file holds
};

class BadInput : public ImportTest, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInput, LoadsWhatItCanAndKeepsTheRest) {
    const BadInputCase& c = GetParam();
    Exec({"create table T (A number(5), B varchar2(5))"});
    settings_.ErrCnt = 0;
    host_.defaultAnswer = kMsgNo;
    EXPECT_EQ(RunImport("T", c.file), kImportDone);
    EXPECT_EQ(Query("select A, B from T order by A"), c.rows);
    if (c.err.empty()) {
        EXPECT_FALSE(ErrorFilesExist());
    } else {
        EXPECT_EQ(Err(), c.err);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Import, BadInput,
    ::testing::Values(
        BadInputCase{"ByteOrderMarkIsNotData",
                     "\xEF\xBB\xBF"
                     "1,a\r\n",
                     {{"1", "a"}},
                     ""},
        BadInputCase{"UnclosedQuoteKeepsTheRestOfTheFileInOneRecord", "1,\"abc\n2,d\n", {}, "1,\"abc\n2,d\r\n"},
        BadInputCase{"QuotedSeparatorStaysInTheValue", "1,\"a,b\"\n", {{"1", "a,b"}}, ""},
        BadInputCase{"LeadingZerosSurviveInText", "1,007\n", {{"1", "007"}}, ""},
        BadInputCase{"NulByteEndsTheLinesText", std::string("1,ab\0cd\n2,e\n", 12), {{"1", "ab"}, {"2", "e"}}, ""},
        BadInputCase{"TooLongValueIsRefusedWholeLineKept", "1,abcdefgh\n2,ok\n", {{"2", "ok"}}, "1,abcdefgh\r\n"},
        BadInputCase{"NotANumberIsRefused", "x1,a\n3,c\n", {{"3", "c"}}, "x1,a\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// A plan made by hand, with no preview and no grid behind it, is all the engines need: a field
// without a column is skipped, a short record padded, and an export writes the mapping's order.
TEST_F(ImportTest, EnginesRunFromAPlanAlone) {
    Exec({"create table T (A number(5), B varchar2(5), C varchar2(5))"});
    WriteBytes(Path("in.csv"), "x,1,b1\ny,2\n");
    struct Case {
        bool exportMode;
        std::vector<MappedColumn> mapping;
        std::string file;
    };
    const Case cases[] = {
        {false, {{"", -1}, {"A", 2}, {"B", 1}, {"C", 1}}, "in.csv"},
        {true, {{"B", 1}, {"A", 2}}, "out.csv"},
    };
    for (const Case& c : cases) {
        TransferSettings settings;
        settings.Mode = c.exportMode ? 1 : 0;
        TargetFacts facts;
        facts.TableName = "T";
        facts.CsvFile = Path(c.file).string();
        RecordingJobState state;
        state.JobListRun = true;
        std::string message;
        const TransferPlan plan = BuildTransferPlan(c.mapping, settings, facts);
        const int rc = c.exportMode ? Export(state, dm_, host_, plan, message) : Import(state, dm_, host_, plan, message);
        EXPECT_EQ(rc, 0) << message;
        EXPECT_EQ(state.SuccessCount, 2);
    }
    EXPECT_EQ(Query("select A, B, C from T order by A"), (Rows{{"1", "b1", ""}, {"2", "", ""}}));
    EXPECT_EQ(ReadBytes(Path("out.csv")), "\"b1\",1\r\n\"\",2\r\n");
    EXPECT_TRUE(host_.boxes.empty());
}

// The codes whose placeholder is not plain from the type's name alone (the others are covered
// end to end by the import tests above).
TEST(ImportClasses, TypeCodesWhosePlaceholderIsNotObvious) {
    const std::pair<int, ImportClass> cases[] = {
        {-1, ImportClass::Skipped},       // a grid column without a table column
        {104, ImportClass::Skipped},      // ROWID is never written
        {9112, ImportClass::Skipped},     // NCLOB, the client's private code
        {232, ImportClass::TimestampTz},  // WITH LOCAL TIME ZONE takes the zoned conversion
        {9096, ImportClass::National},    // NCHAR as well as NVARCHAR2
        {0, ImportClass::Plain}};         // a type the table does not recognise is bound as text
    for (const auto& [code, kind] : cases) EXPECT_EQ(KindOf(code).Import, kind) << code;
}

TEST(ImportErrorFiles, ExtensionIsReplacedOrAppended) {
    EXPECT_EQ(ErrorRecordPath("/d/a.csv"), "/d/a.err");
    EXPECT_EQ(ErrorMessagePath("/d/a.b.txt"), "/d/a.b.erm");
    EXPECT_EQ(ErrorRecordPath("/d.x/data"), "/d.x/data.err");
}

}  // namespace
}  // namespace tabrook::testing
