// Export, import the file into an empty copy of the table, export again: the copy must hold
// the source table's values and the two files must be the same bytes, for every column type
// the engines carry and for values holding the delimiter, the separator and line breaks.
// (Comparing the two files alone would let a loss made twice pass.)
#include <gtest/gtest.h>

#include "tests/engines/EngineTestSupport.h"
#include "transfer/ExportEngine.h"
#include "transfer/ImportEngine.h"

namespace tabrook::testing {
namespace {

class RoundTripTest : public DatabaseTest {
protected:
    int ExportTable(const std::string& table, const std::filesystem::path& file) {
        settings_.Mode = 1;
        context_.Reset();
        EXPECT_TRUE(PreviewTable(target_, table)) << host_.status;
        state_.RecordCount = state_.ErrorCount = state_.SuccessCount = 0;
        std::string message;
        const int rc = Export(state_, dm_, host_, Plan(table, file.string()), message);
        EXPECT_EQ(rc, kExportDone) << message;
        return state_.SuccessCount;
    }
    int ImportFile(const std::string& table, const std::filesystem::path& file) {
        settings_.Mode = 0;
        context_.Reset();
        EXPECT_TRUE(PreviewTable(target_, table)) << host_.status;
        EXPECT_TRUE(PreviewCsv(target_, file.string()));
        state_.RecordCount = state_.ErrorCount = state_.SuccessCount = 0;
        std::string message;
        const int rc = Import(state_, dm_, host_, Plan(table, file.string()), message);
        EXPECT_EQ(rc, kImportDone) << message;
        EXPECT_EQ(state_.ErrorCount, 0) << ReadBytes(ErrorMessagePath(file.string()));
        return state_.SuccessCount;
    }

    void RoundTrip(const std::string& columns, const std::vector<std::string>& rows) {
        std::vector<std::string> setup = {"create table SRC (" + columns + ")", "create table DST (" + columns + ")"};
        for (const std::string& row : rows) setup.push_back("insert into SRC values (" + row + ")");
        Exec(setup);
        host_.defaultAnswer = kMsgNo;
        const int written = ExportTable("SRC", Path("first.csv"));
        ASSERT_EQ(written, static_cast<int>(rows.size()));
        ASSERT_EQ(ImportFile("DST", Path("first.csv")), written);
        ASSERT_EQ(ExportTable("DST", Path("second.csv")), written);
        const std::string first = ReadBytes(Path("first.csv"));
        EXPECT_EQ(ReadBytes(Path("second.csv")), first);
        EXPECT_FALSE(first.empty());
        const Rows source = Query("select * from SRC order by 1");
        ASSERT_EQ(source.size(), rows.size());
        EXPECT_EQ(Query("select * from DST order by 1"), source);
    }
};

TEST_F(RoundTripTest, EveryCarriedTypeWithDefaultSettings) {
    settings_.WithHeader = true;
    settings_.ReplaceCR = true;
    settings_.TimestampFmt = "RRRR-MM-DD HH24:MI:SSXFF";
    RoundTrip(
        "ID number(10), AMT number(10,2), FREE number, F float, V varchar2(60), C char(6), D date, "
        "TS timestamp(6), YM interval year to month, DS interval day to second, NV nvarchar2(20), NC nchar(4), "
        "L long",
        {"1, 12.5, 1234.5, 0.25, 'say \"hi\", ok', 'ab', TO_DATE('2004-03-01 13:05:09','YYYY-MM-DD HH24:MI:SS'), "
         "TO_TIMESTAMP('2020-01-02 03:04:05.123456','YYYY-MM-DD HH24:MI:SS.FF'), INTERVAL '1-2' YEAR TO MONTH, "
         "INTERVAL '3 04:05:06.5' DAY TO SECOND, N'日本語', N'ア', 'long text'",
         "2, -0.05, -7, 1e10, 'line one' || CHR(13) || CHR(10) || 'line two', 'x,\"y', "
         "TO_DATE('1999-12-31 23:59:59','YYYY-MM-DD HH24:MI:SS'), NULL, NULL, NULL, NULL, NULL, NULL",
         "3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL"});
    EXPECT_NE(ReadBytes(Path("first.csv")).find("\"line one\\nline two\""), std::string::npos);
}

TEST_F(RoundTripTest, TimestampsWithZoneAndAnotherSeparator) {
    settings_.Separator = "\t";
    settings_.Delimiter = "'";
    RoundTrip("ID number(3), TZ timestamp(3) with time zone, V varchar2(20)",
              {"1, TO_TIMESTAMP_TZ('2021-06-07 08:09:10.250 +09:00','YYYY-MM-DD HH24:MI:SS.FF TZH:TZM'), 'it''s\tok'",
               "2, NULL, ''''"});
}

// Without line-break replacement the line breaks of a value go into the file as they are,
// inside the value's delimiters, and read back into the same value: CR LF, LF and CR, blank
// lines, breaks next to doubled delimiters and at either end of a value.
TEST_F(RoundTripTest, LineBreaksInsideValuesWithoutReplacement) {
    settings_.WithHeader = true;
    settings_.ReplaceCR = false;
    const std::string columns = "ID number(3), V varchar2(60), W varchar2(20)";
    RoundTrip(columns, {"1, 'one' || CHR(13) || CHR(10) || 'two', 'lf' || CHR(10) || 'only'",
                        "2, 'cr' || CHR(13) || 'only', CHR(13) || CHR(10)",
                        "3, 'blank' || CHR(10) || CHR(10) || CHR(13) || CHR(13) || 'lines', CHR(10) || 'x' || CHR(13)",
                        "4, 'say \"' || CHR(13) || CHR(10) || '\" end', '\"' || CHR(10) || '\"'",
                        "5, NULL, 'plain, with comma'"});
    const std::string first = ReadBytes(Path("first.csv"));
    EXPECT_NE(first.find("\"one\r\ntwo\""), std::string::npos) << first;
    EXPECT_NE(first.find("\"cr\ronly\""), std::string::npos) << first;
    EXPECT_EQ(Query("select ID, V, W from DST order by ID"), Query("select ID, V, W from SRC order by ID"));
    EXPECT_EQ(Query("select V from DST where ID = 3"), (Rows{{"blank\n\n\r\rlines"}}));
}

// With a Shift-JIS client and the delimiter |, a character whose second byte is | is written
// as it is and reads back whole, next to a real | that is doubled.
TEST_F(RoundTripTest, ShiftJisValuesWithTheirSecondByteAsDelimiter) {
    struct ClientCharset {  // unset again however the test ends
        ClientCharset() { ::setenv("NLS_LANG", "JAPANESE_JAPAN.JA16SJIS", 1); }
        ~ClientCharset() { ::unsetenv("NLS_LANG"); }
    } shiftJis;
    settings_.Delimiter = "|";
    settings_.ReplaceCR = false;
    RoundTrip("ID number(3), V varchar2(40)",
              {"1, '\x83\x7C|\x83\x7C'", "2, '\x95\x5C' || CHR(13) || CHR(10) || '\x83\x7C'"});
    EXPECT_NE(ReadBytes(Path("first.csv")).find("1,|\x83\x7C||\x83\x7C|\r\n"), std::string::npos);
    EXPECT_EQ(Query("select V from DST order by ID"), Query("select V from SRC order by ID"));
}

}  // namespace
}  // namespace tabrook::testing
