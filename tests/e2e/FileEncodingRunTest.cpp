// The file's own encoding through the real program under a UTF-8 client: a file of each
// encoding imports as the same text and exports back to the same bytes, its refused line
// stays as its bytes stood; Auto finds what the file is; a file that is not text of the
// encoding named is refused before any row; a character an encoding lacks is counted.

#include <gtest/gtest.h>

#include "tests/e2e/E2eHarness.h"
#include "transfer/TextConverter.h"

namespace tabrook::e2e {
namespace {

// 表 and ソ end in the byte 0x5C in Shift-JIS; ｱｲ are half-width katakana.
const std::string kRows =
    "1,\"日本語の表\",\"ソフト\"\r\n"
    "2,\"あいう\",\"ｱｲ\"\r\n"
    "3,\"plain ascii\",\"x\"\r\n";
const std::string kRefused = "x4,\"表\",\"ソ\"\r\n";  // not a number: refused
const std::string kStored = "ID|BODY|MEMO\n1|日本語の表|ソフト\n2|あいう|ｱｲ\n3|plain ascii|x\n";

std::string Encoded(const std::string& utf8, const char* iconvName) {
    TextConverter converter(iconvName, "UTF-8");
    std::string out;
    EXPECT_TRUE(converter.Convert(utf8, out)) << iconvName;
    return out;
}

class FileEncodingRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Sandbox::BinariesPresent()) GTEST_SKIP() << "build tabrook, ocilite-sql and libocilite.so first";
        box.env["TABROOK_OCI_LIBRARY"] = Sandbox::Binary("libocilite.so").string();
        box.env["NLS_LANG"] = "";
        ASSERT_EQ(box.Sql("db/test.db", "create table NOTE (ID NUMBER(6), BODY VARCHAR2(40), MEMO NVARCHAR2(20));\n")
                      .status,
                  0);
    }

    std::string Path(const std::string& name) const { return (box.Work() / name).string(); }

    ProcessResult Run(const std::string& csv, const std::string& mode, const std::vector<std::string>& extra) {
        WriteFile(box.Work() / "run.lst", std::string(mode == "EXPORT" ? "1" : "0") + "\r\nNOTE\t" + csv + "\r\n");
        std::vector<std::string> args{"USER=scott/tiger@db/test.db", "MODE=" + mode, "LISTFILE=" + Path("run.lst"),
                                      "LOG=" + Path("logs/run.log"), "AUTOSTART=TRUE", "AUTOCLOSE=TRUE"};
        args.insert(args.end(), extra.begin(), extra.end());
        return box.Tabrook(args);
    }

    std::vector<LogLine> Log() { return ParseLog(ReadFile(box.Work() / "logs" / "run.log")); }
    std::string Stored() { return box.Sql("db/test.db", "select ID, BODY, MEMO from NOTE order by ID;\n").out; }

    Sandbox box;
};

struct EncodingCase {
    const char* keyword;  // ENCODING=
    const char* iconv;
    std::string mark;
    bool autoFinds;  // Auto reads the file as this encoding (EUC-JP is taken for Shift-JIS)
};

const EncodingCase kCases[] = {
    {"SJIS", "CP932", "", true},
    {"EUC-JP", "EUC-JP", "", false},
    {"UTF-8", "UTF-8", "", true},
    {"UTF-8-BOM", "UTF-8", "\xEF\xBB\xBF", true},
    {"UTF-16LE", "UTF-16LE", std::string("\xFF\xFE", 2), true},
};

TEST_F(FileEncodingRun, EachEncodingImportsAndExportsToTheSameBytesAndKeepsRefusedBytes) {
    for (const EncodingCase& c : kCases) {
        SCOPED_TRACE(c.keyword);
        for (const std::string& encoding : {std::string(c.keyword), std::string(c.autoFinds ? "AUTO" : "")}) {
            if (encoding.empty()) continue;
            SCOPED_TRACE(encoding);
            ASSERT_EQ(box.Sql("db/test.db", "delete from NOTE;\n").status, 0);
            WriteFile(box.Work() / "in.csv", c.mark + Encoded(kRows + kRefused, c.iconv));
            ProcessResult in = Run(Path("in.csv"), "IMPORT", {"ENCODING=" + encoding});
            EXPECT_EQ(in.status, 2) << in.err;  // one row refused
            EXPECT_EQ(Stored(), kStored);
            EXPECT_EQ(ReadFile(box.Work() / "in.err"), c.mark + Encoded(kRefused, c.iconv));
        }
        ProcessResult out = Run(Path("out.csv"), "EXPORT", {std::string("ENCODING=") + c.keyword});
        EXPECT_EQ(out.status, 0) << out.err;
        EXPECT_EQ(ReadFile(box.Work() / "out.csv"), c.mark + Encoded(kRows, c.iconv));
        const std::vector<LogLine> log = Log();
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log[1].fields.back().rfind("Library=", 0), 0u);
        EXPECT_EQ(log[1].fields[log[1].fields.size() - 2], std::string("Encoding=") + c.keyword);
    }
}

TEST_F(FileEncodingRun, AutoIsTheDefaultAndTheLogSaysWhatItFound) {
    WriteFile(box.Work() / "in.csv", Encoded(kRows, "CP932"));
    ProcessResult in = Run(Path("in.csv"), "IMPORT", {});
    EXPECT_EQ(in.status, 0) << in.err;
    EXPECT_EQ(Stored(), kStored);
    const std::vector<LogLine> log = Log();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "F", "Q"}));
    EXPECT_EQ(log[1].fields.size(), 13u);  // the settings line of a default run is as it was
    EXPECT_NE(log[2].fields[5].find("文字コード: SJIS"), std::string::npos) << log[2].fields[5];

    // The client character set as the encoding: the bytes go in as they stand, as before.
    ASSERT_EQ(box.Sql("db/test.db", "delete from NOTE;\n").status, 0);
    WriteFile(box.Work() / "plain.csv", kRows);
    EXPECT_EQ(Run(Path("plain.csv"), "IMPORT", {"ENCODING=CLIENT"}).status, 0);
    EXPECT_EQ(Stored(), kStored);
}

TEST_F(FileEncodingRun, AFileThatIsNotTextOfTheNamedEncodingIsRefusedBeforeAnyRow) {
    WriteFile(box.Work() / "in.csv", "1,\"ok\",\"x\"\r\n" + Encoded("2,\"表\",\"x\"\r\n", "CP932"));
    ProcessResult in = Run(Path("in.csv"), "IMPORT", {"ENCODING=UTF-8", "TRUNCATE=TRUE"});
    EXPECT_EQ(in.status, 1);
    const std::vector<LogLine> log = Log();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "E015", "F", "Q"}));
    EXPECT_EQ(log[2].fields[5], "CSVファイルは文字コード UTF-8 のテキストではありません（2行目）。");
    EXPECT_EQ(Stored(), "ID|BODY|MEMO\n");
}

TEST_F(FileEncodingRun, ACharacterTheEncodingLacksIsReplacedAndCounted) {
    ASSERT_EQ(box.Sql("db/test.db", "insert into NOTE values (1, 'a😀b€', '🍣');\n").status, 0);
    ProcessResult out = Run(Path("out.csv"), "EXPORT", {"ENCODING=EUC-JP"});
    EXPECT_EQ(out.status, 0) << out.err;
    EXPECT_EQ(ReadFile(box.Work() / "out.csv"), "1,\"a?b?\",\"?\"\r\n");
    const std::vector<LogLine> log = Log();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "F", "Q"}));
    EXPECT_EQ(log[2].fields[5], "エクスポートを完了しました。 文字コード EUC-JP にない文字 3 個を ? で出力しました。");
}

}  // namespace
}  // namespace tabrook::e2e
