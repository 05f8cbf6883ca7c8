// The confirmation dialog's rules: what each mode shows, the error limit's range and warning,
// and what closing stores.

#include <gtest/gtest.h>
#include <string>

#include "app/ConfirmDialogModel.h"
#include "transfer/TransferSettings.h"

namespace tabrook {
namespace {

struct ModeCase {
    int mode;
    const char* start;
    bool batchBreak;
    bool single;
};

TEST(ConfirmDialogModel, EachModeShowsItsButtonsAndAnUnknownModeChangesNothing) {
    const ModeCase cases[] = {{kBoxSingle, "開始(&S)", false, false},
                              {kBoxJobWindow, "バッチ開始(&S)", true, false},
                              {kBoxMainWithJobs, "バッチ開始(&S)", true, true}};
    TransferSettings settings;
    for (const ModeCase& c : cases) {
        ConfirmDialogModel dialog;
        dialog.BoxMode = c.mode;
        dialog.Show(settings);
        EXPECT_EQ(dialog.StartCaption, c.start) << c.mode;
        EXPECT_EQ(dialog.BatchBreakVisible, c.batchBreak) << c.mode;
        EXPECT_EQ(dialog.SingleVisible, c.single) << c.mode;
        dialog.BoxMode = 7;
        dialog.Show(settings);
        EXPECT_EQ(dialog.StartCaption, c.start) << "7 after " << c.mode;
        EXPECT_EQ(dialog.SingleVisible, c.single) << "7 after " << c.mode;
    }
}

TEST(ConfirmDialogModel, CancelKeepsTheOldLimitAndStartStoresTheNewOne) {
    TransferSettings settings;
    settings.ErrCnt = 100;
    settings.ErrStop = false;
    ConfirmDialogModel dialog;
    dialog.BoxMode = kBoxJobWindow;
    dialog.Show(settings);
    EXPECT_EQ(dialog.ErrorLimit(), 100);
    dialog.SetErrorLimit(5);
    dialog.BatchBreak = true;
    dialog.Close(kConfirmCancel, settings);
    EXPECT_EQ(settings.ErrCnt, 100);
    EXPECT_FALSE(settings.ErrStop);
    dialog.Close(kConfirmStart, settings);
    EXPECT_EQ(settings.ErrCnt, 5);
    EXPECT_TRUE(settings.ErrStop);
    settings.ErrCnt = 9;
    dialog.Close(kConfirmSingle, settings);  // the single transfer stores too
    EXPECT_EQ(settings.ErrCnt, 5);
}

TEST(ConfirmDialogModel, LimitStaysInRangeAndZeroShowsTheWarning) {
    ConfirmDialogModel dialog;
    TransferSettings settings;
    settings.ErrCnt = 2000000;  // a stored value beyond the spin edit's range
    dialog.Show(settings);
    EXPECT_EQ(dialog.ErrorLimit(), 999999);
    EXPECT_FALSE(dialog.WarningVisible());
    dialog.SetErrorLimit(-4);
    EXPECT_EQ(dialog.ErrorLimit(), 0);
    EXPECT_TRUE(dialog.WarningVisible());
    dialog.SetErrorLimit(1);
    EXPECT_FALSE(dialog.WarningVisible());
}

TEST(ConfirmDialogModel, TheCallersLines) {
    ConfirmDialogModel dialog;
    dialog.SetMainWithJobs(/*mode=*/0, /*truncate=*/true);
    EXPECT_EQ(dialog.BoxMode, kBoxMainWithJobs);
    EXPECT_EQ(dialog.MsgText[0], "JobListが登録されています。");
    EXPECT_EQ(dialog.MsgText[1], "バッチモードでインポートします。");
    EXPECT_EQ(dialog.MsgText[2], "Truncateオプションが選択されています。対象テーブルのデータは破棄されます。");
    dialog.SetMainWithJobs(1, true);  // no truncate in Export mode
    EXPECT_EQ(dialog.MsgText[1], "バッチモードでエクスポートします。");
    EXPECT_EQ(dialog.MsgText[2], "");

    dialog.SetJobWindow(0, false);
    EXPECT_EQ(dialog.BoxMode, kBoxJobWindow);
    EXPECT_EQ(dialog.MsgText[0], "選択したリストをインポートします。");
    EXPECT_EQ(dialog.MsgText[1], "");
    EXPECT_EQ(dialog.MsgText[2], "");

    // The single transfer shows the first three lines of the check's text, the rest dropped,
    // and no line of an earlier showing survives.
    dialog.SetSingle("データをインポートします。\nよろしいですか？");
    EXPECT_EQ(dialog.BoxMode, kBoxSingle);
    EXPECT_EQ(dialog.MsgText[0], "データをインポートします。");
    EXPECT_EQ(dialog.MsgText[1], "よろしいですか？");
    EXPECT_EQ(dialog.MsgText[2], "");
    dialog.SetSingle("1\n2\n3\n4");
    EXPECT_EQ(dialog.MsgText[2], "3");
}

}  // namespace
}  // namespace tabrook
