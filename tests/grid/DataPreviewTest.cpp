// The previews on the grid model, end to end through the client layer and the embedded
// database, and the transfer plan built from what they show.
#include <gtest/gtest.h>

#include "app/DataPreview.h"
#include "app/PreviewCellText.h"
#include "app/ProgramFolder.h"
#include "tests/engines/EngineTestSupport.h"

namespace tabrook::testing {
namespace {

std::vector<std::string> HeaderRow(const GridModel& grid, int row) {
    std::vector<std::string> cells;
    for (int c = 1; c < grid.ColCount(); ++c) cells.push_back(grid.Cell(c, row));
    return cells;
}

TEST(TypeTexts, SizeSuffixFollowsTheType) {
    struct Case {
        std::string typeName;
        int code, precision, scale;
        std::string text;
    };
    const Case cases[] = {
        {"NUMBER", 2, 0, 0, "NUMBER"},
        {"NUMBER", 2, 8, 2, "NUMBER(10,2)"},
        {"NUMBER", 2, 127, -127, "NUMBER(0)"},
        {"NUMBER", 2, 5, 0, "NUMBER(5)"},
        {"VARCHAR2", 1, 20, 0, "VARCHAR2(20)"},
        {"TIMESTAMP", 187, 6, 0, "TIMESTAMP(6)"},
        {"DATE", 12, 0, 0, "DATE"},
        {"LONG", 8, 4000, 0, "LONG"},
        {"CLOB", 112, 0, 0, "CLOB"},
        {"NCLOB", 9112, 0, 0, "NCLOB"},
        {"ROWID", 104, 0, 0, "ROWID"},
        {"LONG RAW", 24, 0, 0, "LONG RAW"},
        {"RAW", 23, 16, 0, "RAW(16)"},
        {"INTERVAL DS", 190, -4, 6, "INTERVAL DS(2,6)"},
    };
    for (const Case& c : cases) EXPECT_EQ(TypeText(c.typeName, c.code, c.precision, c.scale), c.text) << c.text;
}

class PreviewTest : public DatabaseTest {};

TEST_F(PreviewTest, EmptyNamesChangeNothing) {
    grid_.SetCell(1, 0, "kept");
    EXPECT_FALSE(PreviewTable(target_, ""));
    EXPECT_FALSE(PreviewCsv(target_, ""));
    EXPECT_EQ(grid_.Cell(1, 0), "kept");
}

TEST_F(PreviewTest, TableHeadersAndTypeTexts) {
    Exec(
        {"create table T (ID number(10), AMT number(10,2), N number, NAME varchar2(20), C char(2), D date, "
         "TS timestamp(6), NV nvarchar2(10))"});
    ASSERT_TRUE(PreviewTable(target_, "T"));
    EXPECT_EQ(HeaderRow(grid_, 0), (std::vector<std::string>{"ID", "AMT", "N", "NAME", "C", "D", "TS", "NV"}));
    // An unconstrained NUMBER is described with precision 0 and scale -127, so it shows a size
    // of 0; a national column shows its size in bytes.
    EXPECT_EQ(HeaderRow(grid_, 1), (std::vector<std::string>{"NUMBER(10)", "NUMBER(10,2)", "NUMBER(0)", "VARCHAR2(20)",
                                                             "CHAR(2)", "DATE", "TIMESTAMP(6)", "NVARCHAR2(20)"}));
    EXPECT_TRUE(context_.TableInfoOk);
    EXPECT_EQ(context_.TableName, "T");
    EXPECT_EQ(context_.TableColumnCount, 8);
    EXPECT_TRUE(context_.IsTable);
    EXPECT_EQ(grid_.ColCount(), 9);
    EXPECT_EQ(host_.busyDepth, 0);
}

TEST_F(PreviewTest, ViewIsNotATableAndUnknownTableFails) {
    Exec({"create table T (A number(3))", "create view V as select A from T"});
    ASSERT_TRUE(PreviewTable(target_, "V"));
    EXPECT_FALSE(context_.IsTable);
    EXPECT_TRUE(CheckIsTable(target_, "T"));
    EXPECT_FALSE(CheckIsTable(target_, "V"));
    // A name with a single quote is only a value: the lookup finds nothing and says table.
    EXPECT_TRUE(CheckIsTable(target_, "V' or OBJECT_NAME = 'V"));
    EXPECT_FALSE(PreviewTable(target_, "NOPE"));
    EXPECT_NE(host_.status.find("ORA-00942"), std::string::npos) << host_.status;
    EXPECT_FALSE(context_.TableInfoOk);
    EXPECT_EQ(grid_.Cell(1, 0), "");
    EXPECT_EQ(host_.busyDepth, 0);
}

TEST_F(PreviewTest, NameWithADoubleQuoteIsRefusedWithAMessage) {
    Exec({"create table T (A number(3))"});
    EXPECT_FALSE(PreviewTable(target_, "T\" --"));
    EXPECT_NE(host_.status.find("ダブルクォート"), std::string::npos) << host_.status;
    EXPECT_FALSE(context_.TableInfoOk);
}

TEST_F(PreviewTest, ExportModeShowsTheFirstThirtyRows) {
    settings_.Mode = 1;
    Exec({"create table T (A number(3), N nvarchar2(5), B varchar2(5))"});
    std::vector<std::string> inserts;
    for (int i = 1; i <= 35; ++i) inserts.push_back("insert into T values (" + std::to_string(i) + ", N'n', 'b')");
    Exec(inserts);
    ASSERT_TRUE(PreviewTable(target_, "T"));
    EXPECT_EQ(host_.status, kTableDataPreviewText);
    EXPECT_EQ(grid_.Cell(0, 2), "001");
    EXPECT_EQ(grid_.Cell(0, 31), "030");
    int filled = 0;
    for (int r = 2; r < 32; ++r) filled += grid_.Cell(1, r).empty() ? 0 : 1;
    EXPECT_EQ(filled, 30);
    EXPECT_EQ(grid_.Cell(2, 2), "n");  // the national column in its own grid column
    EXPECT_EQ(grid_.Cell(3, 2), "b");
    EXPECT_FALSE(context_.CsvHasData);
}

TEST_F(PreviewTest, DateFormatChangeShowsDatesAnew) {
    settings_.Mode = 1;
    Exec({"create table T (D date)", "insert into T values (TO_DATE('2004-03-01 13:05:09','YYYY-MM-DD HH24:MI:SS'))"});
    ASSERT_TRUE(PreviewTable(target_, "T"));
    EXPECT_EQ(grid_.Cell(1, 2), "2004-03-01 13:05:09");
    settings_.DateFmt = "DD/MM/YYYY";
    ASSERT_TRUE(PreviewTable(target_, "T"));
    EXPECT_EQ(grid_.Cell(1, 2), "01/03/2004");
}

TEST_F(PreviewTest, CsvLinesHeaderBlankLinesAndWidestLine) {
    WriteBytes(Path("a.csv"), "H1,H2\r\n\r\na,,b,\n\n\"a,b\",c\nx");
    settings_.WithHeader = true;
    ASSERT_TRUE(PreviewCsv(target_, Path("a.csv").string()));
    EXPECT_EQ(host_.status, kCsvDataPreviewText);
    EXPECT_TRUE(context_.CsvHasData);
    EXPECT_EQ(context_.CsvColumnCount, 4);
    EXPECT_EQ(context_.GridColumnCount, 4);
    EXPECT_EQ(grid_.ColCount(), 5);
    EXPECT_EQ(HeaderRow(grid_, 2), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(HeaderRow(grid_, 3), (std::vector<std::string>{"a,b", "c", "", ""}));
    EXPECT_EQ(HeaderRow(grid_, 4), (std::vector<std::string>{"x", "", "", ""}));
    EXPECT_EQ(grid_.Cell(0, 4), "003");
    EXPECT_EQ(grid_.Cell(0, 5), "");

    ClearCsvPreview(target_);
    settings_.WithHeader = false;
    ASSERT_TRUE(PreviewCsv(target_, Path("a.csv").string()));
    EXPECT_EQ(grid_.Cell(1, 2), "H1");
    EXPECT_EQ(grid_.Cell(0, 5), "004");
}

TEST_F(PreviewTest, OnlyThirtyLinesAreReadAndLaterLinesDoNotWidenTheGrid) {
    std::string file;
    for (int i = 1; i <= 30; ++i) file += std::to_string(i) + ",x\n";
    for (int i = 31; i <= 40; ++i) file += std::to_string(i) + ",x,y,z,w\n";
    WriteBytes(Path("long.csv"), file);
    ASSERT_TRUE(PreviewCsv(target_, Path("long.csv").string()));
    EXPECT_EQ(context_.CsvColumnCount, 2);
    EXPECT_EQ(grid_.ColCount(), 3);
    EXPECT_EQ(grid_.Cell(1, 31), "30");
}

TEST_F(PreviewTest, AHugeFieldShowsABoundedPrefixCutOnACharacter) {
    std::string huge;
    for (int i = 0; i < 400000; ++i) huge += "\xE3\x81\x82";  // あ, 1.2 MB
    WriteBytes(Path("huge.csv"), "x," + huge + ",y\n");
    ASSERT_TRUE(PreviewCsv(target_, Path("huge.csv").string()));
    const std::string& cell = grid_.Cell(2, 2);
    ASSERT_LE(cell.size(), kPreviewCellBytes + sizeof kPreviewCutMark);
    ASSERT_TRUE(cell.ends_with(kPreviewCutMark)) << cell.substr(cell.size() - 8);
    const std::size_t kept = cell.size() - (sizeof kPreviewCutMark - 1);
    EXPECT_EQ(kept % 3, 0u);
    EXPECT_EQ(cell.substr(0, kept), huge.substr(0, kept));
    EXPECT_EQ(grid_.Cell(3, 2), "y");
}

// Past the preview's bounds: a long record shows its start (a cut field ends in the mark), is
// counted whole, the next row is the next record and the part not held shows nothing; a wide one
// shows 1,000 fields; a field that never closes stops the preview at 64 MiB.
TEST_F(PreviewTest, RecordsPastThePreviewBoundsShowInPart) {
    const std::tuple<std::string, int, int, std::string, std::string> cases[] = {
        {"x," + std::string(5 << 20, 'a') + ",y\nr,s\n", 3, 4, "r", "aaaa"},
        {"1" + std::string(2000000, ',') + "\nw,1\n", 2000001, 1001, "w", "項目数 2000001 のうち先頭の 1000 項目"},
        {"1,ok\n2,\"start\n" + std::string(65 << 20, 'z'), 2, 3, "2", "先頭の 64 MiB までを表示"},
    };
    for (const auto& [bytes, csvColumns, colCount, lastRow, note] : cases) {
        ClearCsvPreview(target_);
        WriteBytes(Path("b.csv"), bytes);
        ASSERT_TRUE(PreviewCsv(target_, Path("b.csv").string()));
        EXPECT_EQ(std::tuple(context_.CsvColumnCount, grid_.ColCount(), grid_.Cell(0, 3), grid_.Cell(1, 3),
                             grid_.Cell(0, 4) + grid_.Cell(3, 2)),
                  std::tuple(csvColumns, colCount, "002", lastRow, ""));
        EXPECT_NE((grid_.Cell(2, 2) + host_.status).find(note), std::string::npos) << host_.status;
        EXPECT_EQ(grid_.Cell(lastRow == "w" ? 1000 : 2, lastRow == "2" ? 3 : 2).ends_with(kPreviewCutMark),
                  lastRow != "w");
    }
}

TEST_F(PreviewTest, GridFollowsTheWiderSide) {
    std::string create = "create table W (";
    for (int i = 1; i <= 40; ++i) create += (i > 1 ? ", C" : "C") + std::to_string(i) + " number(3)";
    Exec({create + ")"});
    ASSERT_TRUE(PreviewTable(target_, "W"));
    EXPECT_EQ(grid_.ColCount(), 41);
    std::string line;
    for (int i = 1; i <= 50; ++i) line += (i > 1 ? "," : "") + std::to_string(i);
    WriteBytes(Path("w.csv"), line + "\n");
    ASSERT_TRUE(PreviewCsv(target_, Path("w.csv").string()));
    EXPECT_EQ(grid_.ColCount(), 51);
    ClearCsvPreview(target_);
    EXPECT_EQ(grid_.ColCount(), 41);
    EXPECT_EQ(grid_.Cell(50, 2), "");
    ClearTablePreview(target_);
    EXPECT_EQ(grid_.ColCount(), 6);
    EXPECT_FALSE(context_.TableInfoOk);
    EXPECT_EQ(context_.TableName, "");
}

TEST_F(PreviewTest, ImportColumnMoveSurvivesANewCsvButNotANewTablePreview) {
    Exec({"create table T (A number(3), B number(3))"});
    WriteBytes(Path("1.csv"), "1,2\n");
    WriteBytes(Path("2.csv"), "3,4\n");
    Preview("T", Path("1.csv"));
    grid_.ColumnMoved(2, 1, false);
    ClearCsvPreview(target_);
    ASSERT_TRUE(PreviewCsv(target_, Path("2.csv").string()));
    EXPECT_EQ(HeaderRow(grid_, 0), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(HeaderRow(grid_, 2), (std::vector<std::string>{"3", "4"}));
    ASSERT_TRUE(PreviewTable(target_, "T"));
    EXPECT_EQ(HeaderRow(grid_, 0), (std::vector<std::string>{"A", "B"}));
}

TEST_F(PreviewTest, ExportModeOnlyRemembersTheFileName) {
    settings_.Mode = 1;
    EXPECT_TRUE(PreviewCsv(target_, "does/not/exist.csv"));
    EXPECT_EQ(context_.CsvFile, "does/not/exist.csv");
    EXPECT_FALSE(context_.CsvHasData);
}

TEST_F(PreviewTest, UnreadableFileFailsSilently) {
    grid_.SetCell(1, 2, "old");
    EXPECT_FALSE(PreviewCsv(target_, Path("missing.csv").string()));
    EXPECT_FALSE(context_.CsvHasData);
    EXPECT_EQ(grid_.Cell(1, 2), "old");
    EXPECT_EQ(host_.busyDepth, 0);
}

TEST_F(PreviewTest, BareFileNameIsLookedUpInTheProgramFolder) {
    SetProgramFolderForTesting(dir_);
    WriteBytes(Path("data.csv"), "1\n");
    EXPECT_TRUE(PreviewCsv(target_, "data.csv"));
    EXPECT_EQ(context_.CsvFile, (dir_ / "data.csv").string());
    SetProgramFolderForTesting({});
}

TEST_F(PreviewTest, ClearPreviewEmptiesEverything) {
    Exec({"create table T (A number(3))"});
    WriteBytes(Path("c.csv"), "1,2,3\n");
    Preview("T", Path("c.csv"));
    ClearPreview(target_);
    EXPECT_EQ(grid_.ColCount(), 6);
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 6; ++c) EXPECT_EQ(grid_.Cell(c, r), "") << c << "," << r;
    }
    EXPECT_FALSE(context_.TableInfoOk);
    EXPECT_FALSE(context_.CsvHasData);
    EXPECT_EQ(context_.GridColumnCount, 0);
    EXPECT_EQ(host_.status, "");
}

// The plan follows the grid's mapping: in Import mode a drag moves only the header rows, so
// another table column takes the field; fields without a column stay in the plan as skipped
// ones, and a record is padded to the wider of table and file.
TEST_F(PreviewTest, PlanFollowsTheMappingTheGridShows) {
    Exec({"create table T (A number(5), B varchar2(5), C clob)"});
    WriteBytes(Path("p.csv"), "1,x,y,z\n");
    struct Case {
        int mode;
        int from, to;  // a drag in the grid, or none (0, 0)
        std::vector<std::pair<std::string, int>> columns;
        int fieldCount;
    };
    const Case cases[] = {
        {0, 0, 0, {{"A", 2}, {"B", 1}, {"C", 112}}, 4},  // the extra field is padded, not planned
        {0, 1, 3, {{"B", 1}, {"C", 112}, {"A", 2}}, 4},
        {1, 2, 1, {{"B", 1}, {"A", 2}, {"C", 112}}, 3},
    };
    for (const Case& c : cases) {
        settings_.Mode = c.mode;
        static_cast<TargetFacts&>(context_) = TargetFacts{};
        Preview("T", Path("p.csv"));
        if (c.from != 0) grid_.ColumnMoved(c.from, c.to, c.mode == 1);
        const TransferPlan plan = Plan("T", Path("p.csv").string());
        std::vector<std::pair<std::string, int>> columns;
        for (std::size_t k = 0; k < plan.Columns.size(); ++k) {
            columns.emplace_back(plan.Columns[k].Name, plan.Columns[k].TypeCode);
            EXPECT_EQ(plan.Columns[k].Field, static_cast<int>(k));
        }
        EXPECT_EQ(columns, c.columns) << c.mode << c.from;
        EXPECT_EQ(plan.FieldCount, c.fieldCount) << c.mode << c.from;
        EXPECT_EQ(plan.ExportMode, c.mode == 1);
        EXPECT_EQ(plan.Columns[2].Kind().Import, c.from == 1 ? ImportClass::Plain : ImportClass::Skipped);
    }
}

}  // namespace
}  // namespace tabrook::testing
