// A Shift-JIS file through the real program under NLS_LANG=...JA16SJIS: the import stores
// correct Japanese text in the (UTF-8) embedded database, and the export writes the same bytes
// back, as with Oracle's client and the same NLS_LANG; CLOB and NCLOB text travels the same way.

#include <gtest/gtest.h>

#include "tests/e2e/E2eHarness.h"

namespace tabrook::e2e {
namespace {

// Shift-JIS bytes: 表 and ソ end in 0x5C (the backslash byte), 0x8160 is the wave dash, 0x8740
// the circled one of the NEC extensions, 0xB1 a half-width katakana.
const std::string kSjisCsv =
    "1,\"\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\x5C\",\"\x83\x5C\x83\x74\x83\x67\"\r\n"  // 日本語の表,ソフト
    "2,\"\x82\xA0\x81\x60\x82\xA2\",\"\x87\x40\xB1\"\r\n"                              // あ〜い,①ｱ
    "3,\"plain ascii\",\"\\~\"\r\n";

// The same rows as the database holds them (UTF-8), as ocilite-sql prints them.
const std::string kStored =
    "ID|BODY|MEMO\n"
    "1|日本語の表|ソフト\n"
    "2|あ\xE3\x80\x9Cい|①ｱ\n"
    "3|plain ascii|\\~\n";

class ClientCharsetRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Sandbox::BinariesPresent()) GTEST_SKIP() << "build tabrook, ocilite-sql and libocilite.so first";
        box.env["TABROOK_OCI_LIBRARY"] = Sandbox::Binary("libocilite.so").string();
        ProcessResult created =
            box.Sql("db/test.db", "create table NOTE (ID NUMBER(6), BODY VARCHAR2(40), MEMO NVARCHAR2(20));\n");
        ASSERT_EQ(created.status, 0) << created.err;
    }

    std::string Path(const std::string& name) const { return (box.Work() / name).string(); }

    std::string JobList(const std::string& name, const std::string& table, const std::string& csv) {
        WriteFile(box.Work() / name, "0\r\n" + table + "\t" + csv + "\r\n");
        return Path(name);
    }

    ProcessResult Run(const std::string& list, const std::string& mode, bool lobData = false) {
        std::vector<std::string> args{"USER=scott/tiger@db/test.db", "MODE=" + mode, "LISTFILE=" + list,
                                      "LOG=" + Path("logs/run.log"), "AUTOSTART=TRUE", "AUTOCLOSE=TRUE"};
        if (lobData) args.push_back("LOBDATA=TRUE");
        return box.Tabrook(args);
    }

    Sandbox box;
};

TEST_F(ClientCharsetRun, ShiftJisFileImportsAsJapaneseTextAndExportsToTheSameBytes) {
    box.env["NLS_LANG"] = "JAPANESE_JAPAN.JA16SJIS";
    WriteFile(box.Work() / "in" / "note.csv", kSjisCsv);
    ProcessResult in = Run(JobList("import.lst", "NOTE", Path("in/note.csv")), "IMPORT");
    ASSERT_EQ(in.status, 0) << in.err;

    // ocilite-sql speaks UTF-8: the database holds the characters, not the Shift-JIS bytes
    ProcessResult stored = box.Sql("db/test.db", "select ID, BODY, MEMO from NOTE order by ID;\n");
    EXPECT_EQ(stored.out, kStored);
    ProcessResult lengths = box.Sql("db/test.db", "select LENGTH(BODY) from NOTE where ID = 1;\n");
    EXPECT_EQ(lengths.out, "LENGTH(BODY)\n5\n");

    fs::create_directories(box.Work() / "out");
    ProcessResult out = Run(JobList("export.lst", "NOTE", Path("out/note.csv")), "EXPORT");
    ASSERT_EQ(out.status, 0) << out.err;
    EXPECT_EQ(ReadFile(box.Work() / "out" / "note.csv"), kSjisCsv);
}

// A CLOB of 20,001 characters is 40,002 bytes in Shift-JIS: it moves in pieces, one of which
// ends inside a character, and its length and offsets count characters, not bytes.
TEST_F(ClientCharsetRun, LobTextIsConvertedLikeOtherText) {
    box.env["NLS_LANG"] = "JAPANESE_JAPAN.JA16SJIS";
    ASSERT_EQ(box.Sql("db/test.db", "create table DOC (ID NUMBER(6), BODY CLOB, MEMO NCLOB);\n").status, 0);
    std::string longRow = "4,\"";
    for (int i = 0; i < 20001; ++i) longRow += "\x82\xA0";  // あ
    longRow += "\",\"\x8F\x49\"\r\n";                     // 終
    WriteFile(box.Work() / "in" / "doc.csv", kSjisCsv + longRow);
    ProcessResult in = Run(JobList("import.lst", "DOC", Path("in/doc.csv")), "IMPORT", true);
    ASSERT_EQ(in.status, 0) << in.err;
    box.env["NLS_LANG"] = "";
    EXPECT_EQ(box.Sql("db/test.db", "select ID, BODY, MEMO from DOC where ID < 4 order by ID;\n").out, kStored);
    EXPECT_EQ(box.Sql("db/test.db", "select LENGTH(BODY), LENGTH(REPLACE(BODY, 'あ')), MEMO from DOC where ID = 4;\n")
                  .out,
              "LENGTH(BODY)|LENGTH(REPLACE(BODY,'あ'))|MEMO\n20001||終\n");

    box.env["NLS_LANG"] = "JAPANESE_JAPAN.JA16SJIS";
    fs::create_directories(box.Work() / "out");
    ProcessResult out = Run(JobList("export.lst", "DOC", Path("out/doc.csv")), "EXPORT", true);
    ASSERT_EQ(out.status, 0) << out.err;
    EXPECT_EQ(ReadFile(box.Work() / "out" / "doc.csv"), kSjisCsv + longRow);
}

TEST_F(ClientCharsetRun, TextTheClientSetLacksBecomesItsReplacementCharacter) {
    // Under AL32UTF8 the database text goes out as UTF-8 (exports quote every text field); under
    // JA16SJIS a character Shift-JIS lacks becomes the full-width question mark.
    ASSERT_EQ(box.Sql("db/test.db", "insert into NOTE values (1, 'café 日本', NULL);\n").status, 0);
    fs::create_directories(box.Work() / "out");
    box.env["NLS_LANG"] = "AMERICAN_AMERICA.AL32UTF8";
    ASSERT_EQ(Run(JobList("utf8.lst", "NOTE", Path("out/utf8.csv")), "EXPORT").status, 0);
    EXPECT_EQ(ReadFile(box.Work() / "out" / "utf8.csv"), "1,\"café 日本\",\"\"\r\n");
    box.env["NLS_LANG"] = "JAPANESE_JAPAN.JA16SJIS";
    ASSERT_EQ(Run(JobList("sjis.lst", "NOTE", Path("out/sjis.csv")), "EXPORT").status, 0);
    EXPECT_EQ(ReadFile(box.Work() / "out" / "sjis.csv"), "1,\"caf\x81\x48 \x93\xFA\x96\x7B\",\"\"\r\n");
}

// A column named in Japanese, under JA16SJIS: its bind finds the column, and the engine's
// message about it reaches the error-message file and the log as the program's UTF-8.
TEST_F(ClientCharsetRun, JapaneseColumnNamesBindAndMessagesArriveAsUtf8) {
    ASSERT_EQ(box.Sql("db/test.db", "create table KANA (\"名前\" VARCHAR2(4));\n").status, 0);
    box.env["NLS_LANG"] = "JAPANESE_JAPAN.JA16SJIS";
    WriteFile(box.Work() / "in" / "kana.csv", "\x93\xFA\x96\x7B\x8C\xEA\r\n\x82\xA0\r\n");  // 日本語, あ
    ProcessResult in = Run(JobList("kana.lst", "KANA", Path("in/kana.csv")), "IMPORT");
    EXPECT_EQ(in.status, 2) << in.err;  // 日本語 is 9 bytes in the database
    EXPECT_EQ(box.Sql("db/test.db", "select \"名前\" from KANA;\n").out, "名前\nあ\n");
    EXPECT_EQ(ReadFile(box.Work() / "in" / "kana.erm"),
              "ORA-12899: value too large for column \"SCOTT\".\"KANA\".\"名前\" (actual: 9, maximum: 4) \r\n");
}

}  // namespace
}  // namespace tabrook::e2e
