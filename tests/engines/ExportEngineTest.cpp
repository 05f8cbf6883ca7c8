// The export engine end to end: rows of the embedded database written to real files.
#include <gtest/gtest.h>

#include "oci/ColumnKind.h"
#include "tests/engines/EngineTestSupport.h"
#include "transfer/ExportEngine.h"

namespace tabrook::testing {
namespace {

constexpr char kDone[] = "エクスポートを完了しました。";

class ExportTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        settings_.Mode = 1;
    }

    int RunExport(const std::string& table, std::string* message = nullptr, const char* fileName = "out.csv") {
        out_ = Path(fileName);
        if (!PreviewTable(target_, table)) ADD_FAILURE() << host_.status;
        PreviewCsv(target_, out_.string());
        state_.RecordCount = state_.ErrorCount = state_.SuccessCount = 0;
        std::string text;
        const int rc = Export(state_, dm_, host_, Plan(table, context_.CsvFile), text);
        if (message != nullptr) *message = text;
        EXPECT_EQ(host_.busyDepth, 0) << "the busy pointer was not restored";
        return rc;
    }
    std::string Out() { return ReadBytes(out_); }

    std::filesystem::path out_;
};

TEST_F(ExportTest, TextValuesAreDelimitedAndOthersBare) {
    Exec({"create table T (ID number(5), NAME varchar2(10), CODE char(3), BORN date, AMOUNT number(10,2))",
          "insert into T values (1, 'ab', 'x', TO_DATE('2001-02-03 04:05:06','YYYY-MM-DD HH24:MI:SS'), 12.5)",
          "insert into T values (2, NULL, NULL, NULL, NULL)"});
    settings_.WithHeader = true;
    std::string message;
    EXPECT_EQ(RunExport("T", &message), kExportDone);
    EXPECT_EQ(message, kDone);
    EXPECT_EQ(Out(),
              "ID,NAME,CODE,BORN,AMOUNT\r\n"
              "1,\"ab\",\"x  \",2001-02-03 04:05:06,12.5\r\n"
              "2,\"\",\"\",,\r\n");
    EXPECT_EQ(state_.RecordCount, 2);
    EXPECT_EQ(state_.SuccessCount, 2);
    EXPECT_EQ(state_.ErrorCount, 0);
}

TEST_F(ExportTest, EmptyTableGivesTheHeaderOrNothing) {
    Exec({"create table T (A number(5), B varchar2(5))"});
    settings_.WithHeader = true;
    EXPECT_EQ(RunExport("T"), kExportDone);
    EXPECT_EQ(Out(), "A,B\r\n");
    settings_.WithHeader = false;
    EXPECT_EQ(RunExport("T", nullptr, "empty.csv"), kExportDone);
    EXPECT_EQ(Out(), "");
    EXPECT_TRUE(std::filesystem::exists(out_));
}

TEST_F(ExportTest, SeparatorDelimiterAndLineBreaksInsideValues) {
    Exec({"create table T (ID number(3), V varchar2(40))", "insert into T values (1, 'say \"hi\", then; go')",
          "insert into T values (2, 'one' || CHR(13) || CHR(10) || 'two')",
          "insert into T values (3, 'lone' || CHR(10) || 'lf')"});
    settings_.Separator = ";";
    settings_.ReplaceCR = true;
    EXPECT_EQ(RunExport("T"), kExportDone);
    EXPECT_EQ(Out(),
              "1;\"say \"\"hi\"\", then; go\"\r\n"
              "2;\"one\\ntwo\"\r\n"
              "3;\"lone\nlf\"\r\n");
}

TEST_F(ExportTest, NoDelimiterWritesTextBare) {
    Exec({"create table T (A varchar2(5), B number(3))", "insert into T values ('x', 7)"});
    settings_.Delimiter = "";
    settings_.Separator = "\t";
    EXPECT_EQ(RunExport("T"), kExportDone);
    EXPECT_EQ(Out(), "x\t7\r\n");
}

TEST_F(ExportTest, MovedColumnsAreWrittenInGridOrder) {
    Exec({"create table T (A number(3), B varchar2(3), C number(3))", "insert into T values (1, 'b', 3)"});
    ASSERT_TRUE(PreviewTable(target_, "T"));
    grid_.ColumnMoved(3, 1, /*exportMode=*/true);
    settings_.WithHeader = true;
    out_ = Path("moved.csv");
    std::string message;
    ASSERT_EQ(Export(state_, dm_, host_, Plan("T", out_.string()), message), kExportDone) << message;
    EXPECT_EQ(Out(), "C,A,B\r\n3,1,\"b\"\r\n");
}

TEST_F(ExportTest, NationalColumnsAreTranslatedUnderTheirOwnNames) {
    Exec({"create table T (N nvarchar2(10), C nchar(3))", "insert into T values (N'日本', N'a')"});
    settings_.WithHeader = true;
    EXPECT_EQ(RunExport("T"), kExportDone);
    EXPECT_EQ(Out(), "N,C\r\n\"日本\",\"a  \"\r\n");
}

TEST_F(ExportTest, ExistingFileIsOverwrittenOnlyWhenConfirmed) {
    Exec({"create table T (A number(3))", "insert into T values (1)"});
    WriteBytes(Path("out.csv"), "keep me");
    host_.answers = {kMsgNo};
    std::string message = "";
    EXPECT_EQ(RunExport("T", &message), kExportCancelled);
    EXPECT_EQ(message, "");
    EXPECT_EQ(Out(), "keep me");
    EXPECT_EQ(host_.Texts(), (std::vector<std::string>{"既にファイルが存在します。上書きしますか？"}));

    host_.answers = {kMsgYes};
    EXPECT_EQ(RunExport("T"), kExportDone);
    EXPECT_EQ(Out(), "1\r\n");

    // A job-list run overwrites without asking.
    host_.boxes.clear();
    state_.JobListRun = true;
    EXPECT_EQ(RunExport("T"), kExportDone);
    EXPECT_TRUE(host_.boxes.empty());
}

TEST_F(ExportTest, FileThatCannotBeCreated) {
    Exec({"create table T (A number(3))"});
    std::string message;
    EXPECT_EQ(RunExport("T", &message, "no/such/folder/out.csv"), kExportCannotWrite);
    EXPECT_EQ(message, "CSVファイルを出力できません。(No such file or directory)");
    ASSERT_EQ(host_.boxes.size(), 1u);
    EXPECT_EQ(host_.boxes[0].icon, MsgIcon::Error);
}

TEST_F(ExportTest, GridWiderThanTheLimitLeavesAnEmptyFile) {
    Exec({"create table T (A number(3))", "insert into T values (1)"});
    ASSERT_TRUE(PreviewTable(target_, "T"));
    grid_.SetColCount(TransferPlan::kMaxColumns + 2);
    grid_.SetColumnType(TransferPlan::kMaxColumns + 1, grid_.ColumnType(1));  // a column moved past the limit
    out_ = Path("wide.csv");
    std::string message;
    EXPECT_EQ(Export(state_, dm_, host_, Plan("T", out_.string()), message), kExportTooManyColumns);
    EXPECT_EQ(message, "項目数が1000を越えるテーブルはエクスポートできません。");
    EXPECT_EQ(Out(), "");
}

TEST_F(ExportTest, FailedSelectEndsWith999AndAnEmptyFile) {
    Exec({"create table T (A number(3))", "insert into T values (1)"});
    ASSERT_TRUE(PreviewTable(target_, "T"));
    Exec({"drop table T"});
    out_ = Path("gone.csv");
    std::string message;
    EXPECT_EQ(Export(state_, dm_, host_, Plan("T", out_.string()), message), kExportFailed);
    EXPECT_NE(message.find("ORA-00942"), std::string::npos) << message;
    EXPECT_EQ(Out(), "");
}

TEST_F(ExportTest, CancelPendingBeforeTheSelect) {
    Exec({"create table T (A number(3))", "insert into T values (1)"});
    state_.CancelRequest = true;
    std::string message;
    EXPECT_EQ(RunExport("T", &message), kExportCancelled);
    EXPECT_EQ(message, "");
    EXPECT_EQ(Out(), "");
}

class ExportRows : public ExportTest {
protected:
    void SetUp() override {
        ExportTest::SetUp();
        Exec({"create table T (A number(3))"});
        std::vector<std::string> inserts;
        for (int i = 1; i <= 25; ++i) inserts.push_back("insert into T values (" + std::to_string(i) + ")");
        Exec(inserts);
    }
    static std::string Lines(int from, int to) {
        std::string text;
        for (int i = from; i <= to; ++i) text += std::to_string(i) + "\r\n";
        return text;
    }
};

TEST_F(ExportRows, CountsAreShownEveryTenRows) {
    EXPECT_EQ(RunExport("T"), kExportDone);
    EXPECT_EQ(state_.shownCounts, (std::vector<std::pair<int, int>>{{0, 0}, {0, 0}, {10, 0}, {20, 0}, {25, 0}}));
    EXPECT_EQ(Out(), Lines(1, 25));
}

// Names in the output file's folder besides the target itself: a working file left behind.
std::vector<std::string> Leftovers(const std::filesystem::path& target) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name != target.filename().string() && name.find(".csv") != std::string::npos) names.push_back(name);
    }
    return names;
}

TEST_F(ExportRows, ConfirmedCancelLeavesAnExistingFileAsItWas) {
    WriteBytes(Path("out.csv"), "old\r\n");
    state_.stopHook = [&] {
        if (state_.RecordCount == 12) state_.CancelRequest = true;
        return false;
    };
    std::string message;
    state_.JobListRun = true;
    EXPECT_EQ(RunExport("T", &message), kExportCancelled);
    EXPECT_EQ(message, "キャンセルしました。");
    EXPECT_EQ(Out(), "old\r\n");
    EXPECT_EQ(Leftovers(out_), std::vector<std::string>{});
    EXPECT_EQ(state_.SuccessCount, 12);
}

TEST_F(ExportRows, DeclinedCancelFinishesAndAsksAgainOnlyAfterANewRequest) {
    int requests = 0;
    state_.stopHook = [&] {
        if (state_.RecordCount == 3 || state_.RecordCount == 20) {
            state_.CancelRequest = true;
            ++requests;
        }
        return false;
    };
    host_.answers = {kMsgNo, kMsgNo};
    EXPECT_EQ(RunExport("T"), kExportDone);
    EXPECT_EQ(requests, 2);
    EXPECT_EQ(host_.Texts(), (std::vector<std::string>{"キャンセルしますか？", "キャンセルしますか？"}));
    EXPECT_EQ(Out(), Lines(1, 25));
}

TEST_F(ExportRows, StopRequestEndsWithoutAQuestionAndWithoutAHalfFile) {
    state_.stopHook = [&] { return state_.RecordCount == 5; };
    std::string message;
    EXPECT_EQ(RunExport("T", &message), kExportCancelled);
    EXPECT_EQ(message, "キャンセルしました。");
    EXPECT_TRUE(host_.boxes.empty());
    EXPECT_FALSE(std::filesystem::exists(out_)) << "a half file under the target's name";
    EXPECT_EQ(Leftovers(out_), std::vector<std::string>{});
}

TEST_F(ExportRows, FetchThatFailsIsAnErrorNotTheEnd) {
    WriteBytes(Path("out.csv"), "old\r\n");
    state_.JobListRun = true;
    // The rows are fetched ahead on another thread; the fetch of row 20 fails.
    Exec({"create view V as select A, 10/(A-20) Q from T"});
    std::string message;
    EXPECT_EQ(RunExport("V", &message), kExportFailed);
    EXPECT_NE(message.find("ORA-01476"), std::string::npos) << message;
    // The file that was there before stays as it was; no working file is left behind.
    EXPECT_EQ(Out(), "old\r\n");
    EXPECT_EQ(Leftovers(out_), std::vector<std::string>{});
}

TEST_F(ExportTest, ValueThatCannotBeRenderedStopsTheExport) {
    Exec({"create table T (D date)", "insert into T values (SYSDATE)"});
    settings_.DateFmt = "YYYY-MM-DD XYZZY";  // not a date format
    std::string message;
    EXPECT_EQ(RunExport("T", &message), kExportFailed);
    EXPECT_NE(message.find("ORA-"), std::string::npos) << message;
    EXPECT_EQ(Out(), "");
}

TEST_F(ExportTest, NamesHoldingADoubleQuoteAreRefused) {
    Exec({"create table T (A number(3))", "insert into T values (1)"});
    ASSERT_TRUE(PreviewTable(target_, "T"));
    grid_.SetCell(1, 0, "A\" from T --");
    out_ = Path("q.csv");
    std::string message;
    EXPECT_EQ(Export(state_, dm_, host_, Plan("T", out_.string()), message), kExportFailed);
    EXPECT_NE(message.find("ダブルクォート"), std::string::npos) << message;
}

// The codes whose quoting is not plain from the type's name: timestamps and intervals are
// written between delimiters, a DATE is not.
TEST(ExportClasses, TextLikeTypesThatAreNotObvious) {
    for (int code : {187, 190, 232}) EXPECT_TRUE(KindOf(code).TextLike) << code;
    for (int code : {12, 104, 9112}) EXPECT_FALSE(KindOf(code).TextLike) << code;
}

TEST(ExportSelectText, NationalColumnsKeepTheirNames) {
    const std::vector<PlanColumn> columns = {{"ID", 2, 0}, {"N", 9009, 1}, {"Mixed Case", 9096, 2}};
    EXPECT_EQ(ExportSelect("Emp", columns),
              "select \"ID\",TRANSLATE(\"N\" USING CHAR_CS) \"N\" ,TRANSLATE(\"Mixed Case\" USING CHAR_CS) "
              "\"Mixed Case\"  from \"Emp\"");
}

}  // namespace
}  // namespace tabrook::testing
