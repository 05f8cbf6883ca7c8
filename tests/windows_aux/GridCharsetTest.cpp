// The data grid's view under a Shift-JIS client: what the previews put into the grid (file
// bytes, column names from the engine) is in the client's character set and shows as Japanese.

#include <gtest/gtest.h>

#include "tests/engines/EngineTestSupport.h"
#include "tests/support/ScopedEnv.h"
#include "windows/GridTableModel.h"

namespace tabrook::testing {
namespace {

class GridCharsetTest : public DatabaseTest {};

TEST_F(GridCharsetTest, ShiftJisFileAndColumnNamesShowAsJapanese) {
    const ScopedEnv shiftJis("NLS_LANG", "JAPANESE_JAPAN.JA16SJIS");
    Exec({"create table T (\"\x97\xF1\" varchar2(20), B varchar2(20))"});  // 列
    WriteBytes(Path("sjis.csv"), "\x93\xFA\x96\x7B\x8C\xEA,\x83\x7C\n");      // 日本語,ポ
    GridTableModel view(grid_);
    ASSERT_TRUE(PreviewTable(target_, "T")) << host_.status;
    ASSERT_TRUE(PreviewCsv(target_, Path("sjis.csv").string()));
    EXPECT_EQ(view.data(view.index(0, 0), Qt::DisplayRole).toString(), QString::fromUtf8("日本語"));
    EXPECT_EQ(view.data(view.index(0, 1), Qt::DisplayRole).toString(), QString::fromUtf8("ポ"));
    EXPECT_EQ(view.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString::fromUtf8("列\nVARCHAR2(20)"));
}

}  // namespace
}  // namespace tabrook::testing
