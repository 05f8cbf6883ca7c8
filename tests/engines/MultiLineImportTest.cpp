// Records that span lines and Shift-JIS text, end to end: the CSV preview, the pre-run check
// and the import engine over the same files, with refused records in the error-record file.
#include <cstdlib>
#include <gtest/gtest.h>

#include "tests/engines/EngineTestSupport.h"
#include "transfer/ClientCharset.h"
#include "transfer/ImportEngine.h"
#include "transfer/PreRunChecks.h"
#include "transfer/RecordReader.h"

namespace tabrook::testing {
namespace {

class MultiLineImportTest : public DatabaseTest {
protected:
    void TearDown() override {
        ::unsetenv("NLS_LANG");
        DatabaseTest::TearDown();
    }

    int RunImport(const std::string& table, const std::filesystem::path& csv) {
        csv_ = csv;
        Preview(table, csv_);
        if (::testing::Test::HasFatalFailure()) return -100;
        state_.RecordCount = state_.ErrorCount = state_.SuccessCount = 0;
        std::string message;
        const int rc = Import(state_, dm_, host_, Plan(table, context_.CsvFile), message);
        EXPECT_EQ(host_.busyDepth, 0);
        return rc;
    }
    int ImportBytes(const std::string& table, const std::string& bytes, const char* name = "data.csv") {
        WriteBytes(Path(name), bytes);
        return RunImport(table, Path(name));
    }
    // The cells of preview row r (1-based), columns 1 to n.
    std::vector<std::string> PreviewRow(int r, int n) {
        std::vector<std::string> cells;
        for (int c = 1; c <= n; ++c) cells.push_back(grid_.Cell(c, r + 1));
        return cells;
    }
    std::string Err() { return ReadBytes(ErrorRecordPath(csv_.string())); }
    static std::string Golden(const std::string& name) { return std::string(TABROOK_TEST_DATA) + "/csv/" + name; }

    std::filesystem::path csv_;
};

// The file a spreadsheet writes for a cell of two lines reads back as one row, with the line
// break of the file inside the value, whatever the line-end style.
TEST_F(MultiLineImportTest, QuotedLineBreakStaysInTheValue) {
    for (const std::string brk : {"\r\n", "\n", "\r"}) {
        Exec({"create table T (A varchar2(20), B number(3), C number(3))"});
        settings_.WithHeader = true;
        const std::string file =
            "a,b,c" + brk + "1,2,3" + brk + "\"Once upon " + brk + "a time\",5,6" + brk + "7,8,9" + brk;
        EXPECT_EQ(ImportBytes("T", file), kImportDone);
        EXPECT_EQ(state_.RecordCount, 4);
        EXPECT_EQ(state_.SuccessCount, 3);
        EXPECT_EQ(state_.ErrorCount, 0);
        EXPECT_EQ(context_.CsvColumnCount, 3);
        EXPECT_EQ(PreviewRow(2, 3), (std::vector<std::string>{"Once upon " + brk + "a time", "5", "6"}));
        EXPECT_EQ(Query("select A, B, C from T order by C"),
                  (Rows{{"1", "2", "3"}, {"Once upon " + brk + "a time", "5", "6"}, {"7", "8", "9"}}));
        Exec({"drop table T"});
    }
}

// The golden file of the reader through preview and import: every multi-line record is one
// row; the one the table refuses goes to the error-record file with all its lines, and that
// file imports again as the same record.
TEST_F(MultiLineImportTest, GoldenFileThroughPreviewImportAndErrorFile) {
    Exec({"create table T (ID number(3), TEXT varchar2(60), N number(3))"});
    settings_.WithHeader = true;
    host_.defaultAnswer = kMsgNo;
    std::filesystem::copy_file(Golden("multiline.csv"), Path("multiline.csv"));
    EXPECT_EQ(RunImport("T", Path("multiline.csv")), kImportDone);
    EXPECT_EQ(context_.CsvColumnCount, 3);
    EXPECT_EQ(PreviewRow(1, 3), (std::vector<std::string>{"1", "Once upon \r\na time", "5"}));
    EXPECT_EQ(PreviewRow(7, 3), (std::vector<std::string>{"7", "mixed\r\n\n\rends", "10"}));
    EXPECT_EQ(PreviewRow(10, 3), (std::vector<std::string>{"10", "end of file\r\nwithout line end", ""}));
    EXPECT_EQ(grid_.Cell(0, 12), "");  // ten records, ten rows
    EXPECT_EQ(state_.RecordCount, 11);
    EXPECT_EQ(state_.SuccessCount, 9);
    EXPECT_EQ(state_.ErrorCount, 1);
    EXPECT_EQ(Query("select ID, TEXT, N from T order by ID"), (Rows{{"1", "Once upon \r\na time", "5"},
                                                                    {"2", "lf\nonly", "6"},
                                                                    {"3", "cr\ronly", "7"},
                                                                    {"4", "blank\r\n\r\nline inside", "8"},
                                                                    {"5", "doubled \"\r\n\" quotes", "9"},
                                                                    {"7", "mixed\r\n\n\rends", "10"},
                                                                    {"8", "\"\n\"", "11"},
                                                                    {"9", "split \"\nquo\"ted", "12"},
                                                                    {"10", "end of file\r\nwithout line end", ""}}));
    EXPECT_EQ(Err(), "6,x,\"last field\nspans\"\r\n");

    Exec({"create table T2 (ID number(3), TEXT varchar2(60), N varchar2(60))"});
    settings_.WithHeader = false;
    const std::filesystem::path err = ErrorRecordPath(csv_.string());
    std::filesystem::copy_file(err, Path("again.csv"));
    EXPECT_EQ(RunImport("T2", Path("again.csv")), kImportDone);
    EXPECT_EQ(Query("select ID, TEXT, N from T2"), (Rows{{"6", "x", "last field\nspans"}}));
}

// The lines after a stray delimiter are never split into rows of their own: they stay one
// record with the stray delimiter's line, whether the field closes after many lines or never,
// and that record goes whole to the error-record file (here the table refuses its long value).
TEST_F(MultiLineImportTest, LinesAfterAStrayDelimiterAreNeverSplitIntoRows) {
    Exec({"create table T (ID number(6), NAME varchar2(20), NOTE varchar2(20))"});
    settings_.WithHeader = true;
    std::filesystem::copy_file(Golden("stray.csv"), Path("stray.csv"));
    EXPECT_EQ(RunImport("T", Path("stray.csv")), kImportDone);
    EXPECT_EQ(state_.RecordCount, 2);
    EXPECT_EQ(Query("select count(*) from T"), (Rows{{"0"}}));
    EXPECT_EQ(Err(), "1,5\" pipe,a\r\n2,b,c\r\n3,\"quoted, ok\",d\r\n4,e,f\r\n");

    Exec({"truncate table T"});
    settings_.WithHeader = false;
    std::string file = "1,5\" pipe,a\r\n";
    for (int i = 2; i <= 10050; ++i) file += std::to_string(i) + ",b,c\r\n";
    file += "99999,x\",y\r\n";
    EXPECT_EQ(ImportBytes("T", file, "long.csv"), kImportDone);
    EXPECT_EQ(state_.RecordCount, 1);
    EXPECT_EQ(state_.ErrorCount, 1);
    EXPECT_EQ(Query("select count(*) from T"), (Rows{{"0"}}));

    // A field that never closes is refused whole, with its own reason, never inserted.
    Exec({"create table T3 (ID number(6), NAME varchar2(4000))"});
    EXPECT_EQ(ImportBytes("T3", "1,\"open\r\n2,b\r\n", "open.csv"), kImportDone);
    EXPECT_EQ(state_.ErrorCount, 1);
    EXPECT_EQ(Query("select count(*) from T3"), (Rows{{"0"}}));
    EXPECT_EQ(ReadBytes(ErrorMessagePath(Path("open.csv").string())), std::string(kUnclosedFieldMessage) + "\r\n");
}

// The pre-run check compares the table with the records the preview read, not with the
// pieces of lines.
TEST_F(MultiLineImportTest, PreRunCheckCountsFieldsOfWholeRecords) {
    Exec({"create table T (A number(3), B varchar2(20), C number(3))"});
    WriteBytes(Path("data.csv"), "1,\"x\r\ny\",2\r\n3,\"z\nw\",4\r\n");
    Preview("T", Path("data.csv"));
    EXPECT_EQ(context_.CsvColumnCount, 3);
    std::string message;
    EXPECT_EQ(CheckImport(message, settings_, context_), 0);
    EXPECT_EQ(message.rfind("データをインポートします。", 0), 0u) << message;
}

// Line-break replacement works on the joined value: a real line break and a replacement text
// in one value both arrive as line breaks.
TEST_F(MultiLineImportTest, ReplacementAppliesToTheJoinedValue) {
    Exec({"create table T (A number(3), B varchar2(20))"});
    settings_.ReplaceCR = true;
    EXPECT_EQ(ImportBytes("T", "1,\"a\r\nb\\nc\"\r\n"), kImportDone);
    EXPECT_EQ(Query("select A, B from T"), (Rows{{"1", "a\r\nb\r\nc"}}));
}

// With a Shift-JIS client, a character whose second byte is the separator or the delimiter
// stays whole in the preview and in the table; the client character set comes from NLS_LANG.
TEST_F(MultiLineImportTest, ShiftJisFieldsStayWhole) {
    EXPECT_EQ(ClientDoubleByteCode(dm_.OCI), DoubleByteCode::None);  // the engine reports AL32UTF8
    ::setenv("NLS_LANG", "JAPANESE_JAPAN.JA16SJIS", 1);
    EXPECT_EQ(ClientDoubleByteCode(dm_.OCI), DoubleByteCode::ShiftJis);

    Exec({"create table T (ID number(3), NAME varchar2(40), NOTE varchar2(40))"});
    settings_.WithHeader = true;
    settings_.Separator = "|";
    std::filesystem::copy_file(Golden("sjis_pipe.csv"), Path("pipe.csv"));
    EXPECT_EQ(RunImport("T", Path("pipe.csv")), kImportDone);
    const std::string po = "\x83\x7C", hyou = "\x95\x5C";
    EXPECT_EQ(PreviewRow(1, 3), (std::vector<std::string>{"1", po + "\x83X\x83g", hyou + "\x8E\xA6"}));
    EXPECT_EQ(Query("select ID, NAME, NOTE from T where ID = 3"),
              (Rows{{"3", po + "\r\n" + hyou, "\x96\x96\x94\xF6"}}));
    EXPECT_EQ(state_.SuccessCount, 3);

    Exec({"truncate table T"});
    settings_.Separator = "\t";
    settings_.Delimiter = "|";
    std::filesystem::copy_file(Golden("sjis_tab.csv"), Path("tab.csv"));
    EXPECT_EQ(RunImport("T", Path("tab.csv")), kImportDone);
    EXPECT_EQ(state_.SuccessCount, 3);
    EXPECT_EQ(Query("select ID, NAME from T where ID = 2"), (Rows{{"2", "\x89\xFC\x8Ds\r\n" + po}}));

    // Read as single-byte text the same file is cut apart.
    ::setenv("NLS_LANG", "AMERICAN_AMERICA.WE8MSWIN1252", 1);
    Exec({"truncate table T"});
    settings_.Separator = "|";
    settings_.Delimiter = "\"";
    EXPECT_EQ(RunImport("T", Path("pipe.csv")), kImportDone);
    EXPECT_NE(Query("select NAME from T where ID = 1"), (Rows{{po + "\x83X\x83g"}}));
}

}  // namespace
}  // namespace tabrook::testing
