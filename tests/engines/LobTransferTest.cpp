// Tables with LOB columns through the previews, the export and the import: placeholders with
// the LobData option off, contents with it on, a byte-for-byte round trip of megabytes, and
// memory that stays flat however many such rows go through.
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>

#include "oci/ColumnKind.h"
#include "tests/engines/EngineTestSupport.h"
#include "transfer/ExportEngine.h"
#include "transfer/ImportEngine.h"
#include "transfer/LobTransfer.h"

namespace tabrook::testing {
namespace {

std::string EveryByte() {
    std::string s;
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
}

// Text of n bytes holding the delimiter, the separator, multibyte characters and, when
// lineBreaks, CR LF pairs.
std::string BigText(std::size_t n, bool lineBreaks) {
    const std::string chunk = lineBreaks ? "say \"hi\", 日本語\r\nnext line; " : "say \"hi\", 日本語 and more; ";
    std::string s;
    s.reserve(n + chunk.size());
    while (s.size() < n) s += chunk;
    return s;
}

// Peak resident memory of this process in kB since the last ResetPeak().
long PeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}
bool ResetPeak() {
    std::ofstream refs("/proc/self/clear_refs");
    refs << "5";
    refs.flush();
    return static_cast<bool>(refs);
}

class LobTransferTest : public DatabaseTest {
protected:
    int ExportTable(const std::string& table, const std::filesystem::path& file, std::string* message = nullptr) {
        settings_.Mode = 1;
        context_.Reset();
        EXPECT_TRUE(PreviewTable(target_, table)) << host_.status;
        state_.RecordCount = state_.ErrorCount = state_.SuccessCount = 0;
        std::string text;
        const int rc = Export(state_, dm_, host_, Plan(table, file.string()), text);
        if (message != nullptr) *message = text;
        return rc;
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
        return state_.SuccessCount;
    }
    // Every row of a query with the contents of its LOB columns (CLOB text, BLOB bytes);
    // NULL shows as "<null>".
    Rows Contents(const std::string& sql) {
        Rows rows;
        ExportLobs lobs(query_, true);
        query_.SetSQL(sql);
        EXPECT_TRUE(query_.Execute(0)) << sql << ": " << query_.ErrMsg();
        while (query_.Fetch()) {
            std::vector<std::string> row;
            for (std::size_t i = 0; i < query_.Values.size(); ++i) {
                const DataAttr& column = query_.Columns[i];
                if (column.Indicator == -1) {
                    row.push_back("<null>");
                } else if (KindOf(column.DataType).LobData) {
                    std::string content;
                    lobs.ReadColumn(i, content);
                    row.push_back(content);
                } else {
                    row.push_back(query_.Values[i]);
                }
            }
            rows.push_back(row);
        }
        return rows;
    }
    // Inserts one row of SRC with bound LOB contents (ID, CLOB, BLOB, NCLOB).
    void InsertRow(const std::string& table, int id, const std::string* text, const std::string* bytes,
                   const std::string* national) {
        ImportLob clob(dm_.OCI, 112), blob(dm_.OCI, 113), nclob(dm_.OCI, kTypeNClob);
        std::string error;
        query_.SetSQL("insert into " + table + " values (" + std::to_string(id) + ", :C, :B, :N)");
        ASSERT_TRUE(query_.Parse(0)) << query_.ErrMsg();
        AddBind(query_.Binds, ":C", "", true);
        AddBind(query_.Binds, ":B", "", true);
        AddBind(query_.Binds, ":N", "", true);
        std::string hex;
        if (bytes != nullptr) AppendHex(hex, *bytes);
        ASSERT_TRUE(clob.Fill(text ? *text : "", error)) << error;
        ASSERT_TRUE(blob.Fill(hex, error)) << error;
        ASSERT_TRUE(nclob.Fill(national ? *national : "", error)) << error;
        clob.Attach(*query_.Binds[0]);
        blob.Attach(*query_.Binds[1]);
        nclob.Attach(*query_.Binds[2]);
        ASSERT_TRUE(query_.ExecuteWithBind(0)) << query_.ErrMsg();
        query_.CleanUp();
        ASSERT_TRUE(dm_.OCI.Commit()) << dm_.OCI.ErrMsg();
    }
};

constexpr char kLobColumns[] = "ID number(5), TXT clob, BIN blob, NTXT nclob";

TEST_F(LobTransferTest, PlaceholdersInPreviewAndExportWithTheOptionOff) {
    Exec({std::string("create table T (") + kLobColumns + ", F bfile)",
          "insert into T values (1, 'some \"text\"', HEXTORAW('00FF'), TO_CLOB('n'), BFILENAME('DOCS', 'a.txt'))",
          "insert into T values (2, NULL, NULL, NULL, NULL)"});
    settings_.Mode = 1;
    ASSERT_TRUE(PreviewTable(target_, "T")) << host_.status;
    std::vector<std::string> first, second;
    for (int c = 1; c <= 5; ++c) {
        first.push_back(grid_.Cell(c, 2));
        second.push_back(grid_.Cell(c, 3));
    }
    EXPECT_EQ(first, (std::vector<std::string>{"1", "(CLOB)", "(BLOB)", "(NCLOB)", "(BFILE)"}));
    EXPECT_EQ(second, (std::vector<std::string>{"2", "", "", "", ""}));

    std::string message;
    ASSERT_EQ(ExportTable("T", Path("off.csv"), &message), kExportDone) << message;
    EXPECT_EQ(ReadBytes(Path("off.csv")), "1,(CLOB),(BLOB),(NCLOB),(BFILE)\r\n2,,,,\r\n");

    // The import leaves LOB columns out: the fields are read and ignored.
    Exec({std::string("create table D (") + kLobColumns + ", F bfile)"});
    EXPECT_EQ(ImportFile("D", Path("off.csv")), 2);
    EXPECT_EQ(Query("select ID, LENGTH(TXT), LENGTH(NTXT) from D order by ID"), (Rows{{"1", "", ""}, {"2", "", ""}}));
}

TEST_F(LobTransferTest, ContentsInTheFileWithTheOptionOn) {
    Exec({std::string("create table T (") + kLobColumns + ", F bfile)",
          "insert into T values (1, 'some \"text\", more', HEXTORAW('00FF7f'), TO_CLOB('ｎ'), BFILENAME('D', 'a'))",
          "insert into T values (2, NULL, NULL, NULL, NULL)",
          "insert into T values (3, 'a' || CHR(13) || CHR(10) || 'b', EMPTY_BLOB(), EMPTY_CLOB(), NULL)"});
    settings_.LobData = true;
    settings_.ReplaceCR = true;
    std::string message;
    ASSERT_EQ(ExportTable("T", Path("on.csv"), &message), kExportDone) << message;
    EXPECT_EQ(ReadBytes(Path("on.csv")),
              "1,\"some \"\"text\"\", more\",00FF7F,\"ｎ\",(BFILE)\r\n"
              "2,\"\",,\"\",\r\n"
              "3,\"a\\nb\",,\"\",\r\n");
    // The preview is not changed by the option: it shows placeholders.
    EXPECT_EQ(grid_.Cell(2, 2), "(CLOB)");
}

TEST_F(LobTransferTest, ImportRefusesABlobFieldThatIsNotHexadecimalAndKeepsTheRest) {
    Exec({std::string("create table T (") + kLobColumns + ")"});
    WriteBytes(Path("in.csv"), "1,\"ok\",0aFF,\"n\"\r\n2,\"bad\",0G,\"n\"\r\n3,\"odd\",ABC,\r\n4,,,\r\n");
    settings_.LobData = true;
    ImportFile("T", Path("in.csv"));
    EXPECT_EQ(state_.SuccessCount, 2);
    EXPECT_EQ(state_.ErrorCount, 2);
    EXPECT_EQ(ReadBytes(ErrorRecordPath(Path("in.csv").string())), "2,\"bad\",0G,\"n\"\r\n3,\"odd\",ABC,\r\n");
    EXPECT_EQ(ReadBytes(ErrorMessagePath(Path("in.csv").string())),
              "BLOBの値が16進数ではありません: BIN\r\nBLOBの値が16進数ではありません: BIN\r\n");
    EXPECT_EQ(Contents("select ID, TXT, BIN, NTXT from T order by ID"),
              (Rows{{"1", "ok", std::string("\x0a\xff", 2), "n"}, {"4", "<null>", "<null>", "<null>"}}));
}

TEST_F(LobTransferTest, MegabytesEveryByteNullAndEmptyRoundTripByteForByte) {
    Exec(
        {std::string("create table SRC (") + kLobColumns + ")", std::string("create table DST (") + kLobColumns + ")"});
    const std::string big = BigText(5 * 1024 * 1024, true);
    const std::string bytes = EveryByte();
    const std::string national = "全角テキスト\"引用\"";
    const std::string empty;
    InsertRow("SRC", 1, &big, &bytes, &national);
    InsertRow("SRC", 2, nullptr, nullptr, nullptr);
    const std::string small = "x";
    InsertRow("SRC", 3, &small, &empty, &empty);  // empty LOBs bind NULL: the file has one form for both

    settings_.LobData = true;
    settings_.ReplaceCR = true;
    host_.defaultAnswer = kMsgNo;
    std::string message;
    ASSERT_EQ(ExportTable("SRC", Path("first.csv"), &message), kExportDone) << message;
    ASSERT_EQ(ImportFile("DST", Path("first.csv")), 3) << ReadBytes(ErrorMessagePath(Path("first.csv").string()));
    ASSERT_EQ(ExportTable("DST", Path("second.csv"), &message), kExportDone) << message;
    EXPECT_EQ(ReadBytes(Path("second.csv")), ReadBytes(Path("first.csv")));

    const Rows source = Contents("select ID, TXT, BIN, NTXT from SRC order by ID");
    const Rows copied = Contents("select ID, TXT, BIN, NTXT from DST order by ID");
    ASSERT_EQ(copied.size(), 3u);
    EXPECT_TRUE(copied[0][1] == big) << "the 5 MB CLOB differs";
    EXPECT_EQ(copied[0][2], bytes);
    EXPECT_EQ(copied[0][3], national);
    EXPECT_EQ(copied[1], (std::vector<std::string>{"2", "<null>", "<null>", "<null>"}));
    EXPECT_EQ(copied, source);
}

TEST_F(LobTransferTest, MemoryStaysFlatWhateverTheNumberOfMegabyteRows) {
    if (!ResetPeak() || PeakKb() < 0) GTEST_SKIP() << "the peak resident size cannot be reset here";
    Exec(
        {std::string("create table SRC (") + kLobColumns + ")", std::string("create table DST (") + kLobColumns + ")"});
    const std::string big = BigText(4 * 1024 * 1024, false);
    std::string bytes(1024 * 1024, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31);
    settings_.LobData = true;
    host_.defaultAnswer = kMsgNo;

    // Growth of the peak resident size during the export and during the import of `rows` rows
    // of 4 MB text and 1 MB bytes each (the previews before them are not measured: the CSV
    // preview keeps up to 30 lines for the grid).
    auto roundTripGrowth = [&](int rows, const std::string& name) {
        for (int i = 0; i < rows; ++i) InsertRow("SRC", i, &big, &bytes, nullptr);
        settings_.Mode = 1;
        context_.Reset();
        EXPECT_TRUE(PreviewTable(target_, "SRC")) << host_.status;
        state_.RecordCount = state_.ErrorCount = state_.SuccessCount = 0;
        std::string message;
        ResetPeak();
        long before = PeakKb();
        EXPECT_EQ(Export(state_, dm_, host_, Plan("SRC", Path(name).string()), message), kExportDone) << message;
        const long exportGrowth = PeakKb() - before;
        settings_.Mode = 0;
        context_.Reset();
        EXPECT_TRUE(PreviewTable(target_, "DST")) << host_.status;
        EXPECT_TRUE(PreviewCsv(target_, Path(name).string()));
        state_.RecordCount = state_.ErrorCount = state_.SuccessCount = 0;
        ResetPeak();
        before = PeakKb();
        EXPECT_EQ(Import(state_, dm_, host_, Plan("DST", Path(name).string()), message), kImportDone)
            << message;
        const long importGrowth = PeakKb() - before;
        EXPECT_EQ(state_.SuccessCount, rows);
        std::cout << rows << " rows: export " << exportGrowth << " kB, import " << importGrowth << " kB\n";
        return std::max(exportGrowth, importGrowth);
    };
    const long two = roundTripGrowth(2, "two.csv");
    Exec({"truncate table SRC", "truncate table DST"});
    const long ten = roundTripGrowth(10, "ten.csv");
    EXPECT_EQ(CountRows("DST"), 10);
    // Ten rows carry 40 MB more than two; flat memory means the peak hardly moves.
    EXPECT_LT(ten, two + 16 * 1024) << "two rows: " << two << " kB, ten rows: " << ten << " kB";
}

}  // namespace
}  // namespace tabrook::testing
