// Fields matched to columns by the header's names (MAPBY=HEADER) and a missing table made from
// the file (CREATE=TRUE), through the real program; and the three features together: an
// Excel-style Shift-JIS file creates its table, a second file with its header in another
// order fills it, and the export gives the first file's bytes back.

#include <gtest/gtest.h>

#include "tests/e2e/E2eHarness.h"
#include "transfer/TextConverter.h"

namespace tabrook::e2e {
namespace {

class HeaderAndCreateRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Sandbox::BinariesPresent()) GTEST_SKIP() << "build tabrook, ocilite-sql and libocilite.so first";
        box.env["TABROOK_OCI_LIBRARY"] = Sandbox::Binary("libocilite.so").string();
        box.env["NLS_LANG"] = "";
        ASSERT_EQ(box.Sql("db/test.db", "create table EMP (ID NUMBER(6), NAME VARCHAR2(40), HIRED DATE);\n").status, 0);
    }

    std::string Path(const std::string& name) const { return (box.Work() / name).string(); }

    // Runs the jobs (table, file) of one list with the extra keys.
    ProcessResult Run(const std::vector<std::pair<std::string, std::string>>& jobs, const std::string& mode,
                      const std::vector<std::string>& extra) {
        std::string list = std::string(mode == "EXPORT" ? "1" : "0") + "\r\n";
        for (const auto& [table, csv] : jobs) list += table + "\t" + Path(csv) + "\r\n";
        WriteFile(box.Work() / "run.lst", list);
        std::vector<std::string> args{"USER=scott/tiger@db/test.db", "MODE=" + mode, "LISTFILE=" + Path("run.lst"),
                                      "LOG=" + Path("logs/run.log"), "AUTOSTART=TRUE", "AUTOCLOSE=TRUE"};
        args.insert(args.end(), extra.begin(), extra.end());
        return box.Tabrook(args);
    }
    std::vector<LogLine> Log() { return ParseLog(ReadFile(box.Work() / "logs" / "run.log")); }
    std::string Query(const std::string& sql) { return box.Sql("db/test.db", sql).out; }

    Sandbox box;
};

TEST_F(HeaderAndCreateRun, MapByHeaderPutsEachFieldIntoTheColumnOfItsName) {
    struct Case {
        const char* what;
        std::string csv;
        std::vector<std::string> keys;
        std::string code;     // the job's log code
        std::string stored;   // the table afterwards
        std::string message;  // the end of the job's log line
    };
    const Case cases[] = {
        {"names in another order, an unknown field, a column the file lacks",
         "\"Name\", hired ,EXTRA,id\r\nSato,2021-05-02 10:30:00,zz,2\r\n", {"MAPBY=HEADER", "HEADER=TRUE"}, "O",
         "ID|NAME|HIRED\n2|Sato|2021-05-02 10:30:00\n", "インポートを完了しました。"},
        {"a header that names no column fails the job", "a,b,c\r\n1,2,3\r\n", {"MAPBY=HEADER", "HEADER=TRUE"}, "E011",
         "ID|NAME|HIRED\n", "ヘッダー行の項目名がテーブルのどのカラムとも一致しません。"},
        {"MAPBY without a header line fails the job", "1,2,3\r\n", {"MAPBY=HEADER"}, "E011", "ID|NAME|HIRED\n",
         "ヘッダー行がないため、項目名でカラムを対応付けできません。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(box.Sql("db/test.db", "delete from EMP;\n").status, 0);
        WriteFile(box.Work() / "emp.csv", c.csv);
        Run({{"EMP", "emp.csv"}}, "IMPORT", c.keys);
        const std::vector<LogLine> log = Log();
        ASSERT_EQ(log.size(), 5u);
        EXPECT_EQ(log[2].code, c.code);
        EXPECT_EQ(log[2].fields[5], c.message);
        EXPECT_EQ(Query("select ID, NAME, HIRED from EMP;\n"), c.stored);
    }
}

TEST_F(HeaderAndCreateRun, CreateMakesAMissingTableAndTheJobLineSaysSo) {
    WriteFile(box.Work() / "new.csv", "code,price\r\n007,-1.5\r\n010,2\r\n");
    ProcessResult in = Run({{"FRESH", "new.csv"}, {"EMP", "new.csv"}}, "IMPORT", {"CREATE=TRUE", "HEADER=TRUE"});
    const std::vector<LogLine> log = Log();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "O", "F", "Q"})) << in.err;
    EXPECT_EQ(log[1].fields[log[1].fields.size() - 2], "Create=True");
    EXPECT_EQ(log[2].fields[5], "テーブルをCSVファイルから作成しました。 インポートを完了しました。");
    EXPECT_EQ(log[3].fields[5], "インポートを完了しました。");  // an existing table is used as it is
    EXPECT_EQ(Query("select CODE, PRICE from FRESH;\n"), "CODE|PRICE\n007|-1.5\n010|2\n");

    // Without the key a missing table fails as before.
    Run({{"OTHER", "new.csv"}}, "IMPORT", {"HEADER=TRUE"});
    EXPECT_EQ(Log()[2].code, "E006");
}

TEST_F(HeaderAndCreateRun, AShiftJisFileCreatesItsTableAndASecondFillsItByNameThenExportsTheSameBytes) {
    const auto sjis = [](const std::string& utf8) {
        std::string out;
        EXPECT_TRUE(TextConverter("CP932", "UTF-8").Convert(utf8, out));
        return out;
    };
    // As a spreadsheet saves it: code page 932, CR LF, no byte-order mark. (A NUMBER(p,s) column
    // exports with at least one decimal, so the amounts have one.)
    const std::string first = sjis("ID,氏名,入社日,給与\r\n1,\"山田 太郎\",2020-04-01 09:00:00,1234.5\r\n"
                                   "2,\"ソフト表\",2021-05-02 10:30:00,99.5\r\n");
    const std::string second = sjis("給与,ID,氏名,入社日\r\n7.5,3,\"表計算\",2022-01-31 00:00:00\r\n");
    WriteFile(box.Work() / "first.csv", first);
    WriteFile(box.Work() / "second.csv", second);
    ProcessResult in = Run({{"社員", "first.csv"}, {"社員", "second.csv"}}, "IMPORT",
                           {"CREATE=TRUE", "MAPBY=HEADER", "HEADER=TRUE"});
    EXPECT_EQ(in.status, 0) << in.err;
    const std::vector<LogLine> log = Log();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "O", "F", "Q"}));
    EXPECT_EQ(log[2].fields[5],
              "テーブルをCSVファイルから作成しました。 インポートを完了しました。 （文字コード: SJIS）");

    Run({{"社員", "out.csv"}}, "EXPORT", {"ENCODING=SJIS", "HEADER=TRUE"});
    EXPECT_EQ(ReadFile(box.Work() / "out.csv"), first + sjis("3,\"表計算\",2022-01-31 00:00:00,7.5\r\n"));
}

}  // namespace
}  // namespace tabrook::e2e
