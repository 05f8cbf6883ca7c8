// The checks before a run: refusal codes and confirmation texts from the run context, and the
// user's date and timestamp formats tried on the client library.
#include <gtest/gtest.h>

#include "tests/engines/EngineTestSupport.h"
#include "transfer/PreRunChecks.h"

namespace tabrook::testing {
namespace {

constexpr char kTruncateLine[] = "\nTruncateオプションが選択されています。現在のテーブルのデータは破棄されます。";

struct ImportCheckCase {
    const char* name;
    bool tableInfoOk, isTable, csvHasData;
    int csvColumns, tableColumns;
    bool truncate;
    int code;
    std::string message;
};

class ImportCheck : public ::testing::TestWithParam<ImportCheckCase> {};

TEST_P(ImportCheck, DecidesInOrder) {
    const ImportCheckCase& c = GetParam();
    RunContext context;
    context.TableInfoOk = c.tableInfoOk;
    context.IsTable = c.isTable;
    context.CsvHasData = c.csvHasData;
    context.CsvColumnCount = c.csvColumns;
    context.TableColumnCount = c.tableColumns;
    TransferSettings settings;
    settings.Truncate = c.truncate;
    std::string message;
    EXPECT_EQ(CheckImport(message, settings, context), c.code);
    EXPECT_EQ(message, c.message);
}

const std::string kMismatch =
    "テーブルとインポートデータのカラム数が一致しません。\nデータをインポートしますが、データに不整合が生じるかもしれま"
    "せん。";

INSTANTIATE_TEST_SUITE_P(
    PreRun, ImportCheck,
    ::testing::Values(
        ImportCheckCase{"NoTable", false, false, false, 0, 0, false, 6, "テーブル情報を取得できません。"},
        ImportCheckCase{"View", true, false, true, 3, 3, false, 8, "Viewにはインポートできません。"},
        ImportCheckCase{"CsvUnread", true, true, false, 3, 3, false, 1, "CSVファイルを開けません。"},
        ImportCheckCase{"CsvEmpty", true, true, true, 0, 3, false, 2, "CSVファイルにデータがありません。"},
        ImportCheckCase{"MismatchTruncate", true, true, true, 4, 3, true, 0, kMismatch + kTruncateLine},
        ImportCheckCase{"Mismatch", true, true, true, 2, 3, false, 0, kMismatch + "\n"},
        ImportCheckCase{"Match", true, true, true, 3, 3, false, 0, "データをインポートします。\nよろしいですか？\n"},
        ImportCheckCase{"MatchTruncate", true, true, true, 3, 3, true, 0,
                        std::string("データをインポートします。\nよろしいですか？") + kTruncateLine}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExportCheck, TableThenFileName) {
    const struct {
        bool tableInfoOk;
        std::string csvFile;
        int code;
        std::string message;
    } cases[] = {
        {false, "/tmp/out.csv", 5, "テーブルが指定されていません。"},
        {true, "/tmp/folder/", 3, "CSVファイルが指定されていません。"},
        {true, "", 3, "CSVファイルが指定されていません。"},
        {true, "/nonexistent/out.csv", 0,
         "テーブル [EMP] をファイル [/nonexistent/out.csv] にエクスポートします。\nよろしいですか？\n"},
        // A file that is there already is named as replaced.
        {true, "/proc/self/status", 0,
         "テーブル [EMP] をファイル [/proc/self/status] にエクスポートします。\nよろしいですか？\n"
         "ファイルは既に存在します。上書きされます。"},
    };
    for (const auto& c : cases) {
        RunContext context;
        context.TableName = "EMP";
        context.TableInfoOk = c.tableInfoOk;
        context.CsvFile = c.csvFile;
        std::string message;
        EXPECT_EQ(CheckExport(message, TransferSettings{}, context), c.code) << c.csvFile;
        EXPECT_EQ(message, c.message);
    }
}

class FormatCheck : public DatabaseTest {};

TEST_F(FormatCheck, DateAndTimestampFormats) {
    EXPECT_TRUE(dm_.CheckDateFormat(TransferSettings{}.DateFmt));
    EXPECT_TRUE(dm_.CheckDateFormat("DD.MM.YYYY"));
    EXPECT_FALSE(dm_.CheckDateFormat("YYYY-MM-DD XYZZY"));
    EXPECT_TRUE(dm_.CheckTimestampFormat(TransferSettings{}.TimestampFmt));
    EXPECT_TRUE(dm_.CheckTimestampFormat("YYYY/MM/DD HH24:MI:SS.FF"));
    EXPECT_FALSE(dm_.CheckTimestampFormat("YYYY-MM-DD XYZZY"));
}

}  // namespace
}  // namespace tabrook::testing
