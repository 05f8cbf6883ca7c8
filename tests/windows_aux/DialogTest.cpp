// The confirmation dialog and the folder picker as the user sees them: the controls each mode
// shows, the red warning following the error limit at once, what Start, the single-transfer
// button, Cancel and Esc store, and the folder picker's start folder and cancel path.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

#include "transfer/TransferSettings.h"
#include "windows/QtTranslations.h"
#include "windows/TFolderDialog.h"
#include "windows/TfrmMsgBox.h"

namespace tabrook::testing {
namespace {

struct ModeCase {
    int mode;
    const char* startCaption;
    bool batchBreakShown;
    bool singleShown;
};

class ConfirmDialogModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ConfirmDialogModes, ShowTheirButtonsAndTheCheckBox) {
    const ModeCase& c = GetParam();
    TfrmMsgBox box;
    TransferSettings settings;
    box.Model().BoxMode = c.mode;
    box.Model().MsgText[0] = "選択したリストをインポートします。";
    box.Prepare(settings);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.windowTitle(), "Tabrook+ Version 1.2a");
    EXPECT_EQ(box.pbStart->text(), QString::fromUtf8(c.startCaption));
    EXPECT_EQ(box.cbBatBreak->isVisible(), c.batchBreakShown);
    EXPECT_EQ(box.pbSingle->isVisible(), c.singleShown);
    EXPECT_TRUE(box.pbCancel->isVisible());
    EXPECT_EQ(box.lblMsg[0]->text(), QString::fromUtf8("選択したリストをインポートします。"));
    // No close box: the dialog ends through its buttons or Esc only.
    EXPECT_FALSE(box.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(box.windowFlags() & Qt::WindowSystemMenuHint);
    box.hide();
}

INSTANTIATE_TEST_SUITE_P(Widgets, ConfirmDialogModes,
                         ::testing::Values(ModeCase{0, "開始(&S)", false, false},
                                           ModeCase{1, "バッチ開始(&S)", true, false},
                                           ModeCase{2, "バッチ開始(&S)", true, true}),
                         [](const auto& info) { return "Mode" + std::to_string(info.param.mode); });

TEST(ConfirmDialog, UnknownModeKeepsTheControlsOfTheLastShowing) {
    TfrmMsgBox box;
    TransferSettings settings;
    box.Model().BoxMode = 2;
    box.Prepare(settings);
    box.Model().BoxMode = 7;
    box.Prepare(settings);
    box.show();
    EXPECT_EQ(box.pbStart->text(), QString::fromUtf8("バッチ開始(&S)"));
    EXPECT_TRUE(box.pbSingle->isVisible());
    box.hide();
}

TEST(ConfirmDialog, RedWarningFollowsTheLimitAsItIsTyped) {
    TfrmMsgBox box;
    TransferSettings settings;
    box.Prepare(settings);
    box.show();
    EXPECT_EQ(box.udErrBreak->minimum(), 0);
    EXPECT_EQ(box.udErrBreak->maximum(), 999999);
    EXPECT_FALSE(box.lblWarn->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const int width = box.udErrBreak->width();
    box.udErrBreak->setValue(0);
    EXPECT_TRUE(box.lblWarn->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(box.udErrBreak->width(), width);  // the warning takes no room from the spin box
    EXPECT_EQ(box.lblWarn->palette().color(QPalette::WindowText), QColor(Qt::red));
    box.udErrBreak->setValue(1);
    EXPECT_FALSE(box.lblWarn->isVisible());
    // Typed beyond the range: the spin box brings the value back into it.
    box.udErrBreak->setValue(5000000);
    EXPECT_EQ(box.udErrBreak->value(), 999999);
    // A stored limit of 0 shows the warning as the dialog opens.
    settings.ErrCnt = 0;
    box.Prepare(settings);
    EXPECT_TRUE(box.lblWarn->isVisible());
    box.hide();
}

TEST(ConfirmDialog, ZeroTypedShowsTheWarningBeforeTheFieldIsLeft) {
    TfrmMsgBox box;
    TransferSettings settings;
    box.Prepare(settings);
    box.show();
    box.udErrBreak->setFocus();
    box.udErrBreak->selectAll();
    QTest::keyClick(box.udErrBreak, Qt::Key_0);
    EXPECT_TRUE(box.lblWarn->isVisible());
    QTest::keyClick(box.udErrBreak, Qt::Key_5);  // "05" is five
    EXPECT_FALSE(box.lblWarn->isVisible());
    box.hide();
}

TEST(ConfirmDialog, DesignedSizeInTheMiddleOfTheScreenUnlessATextNeedsMore) {
    TfrmMsgBox box;
    TransferSettings settings;
    box.Model().SetSingle("データをインポートします。\nよろしいですか？\n");
    box.Prepare(settings);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.width(), TfrmMsgBox::kClientWidth);
    EXPECT_GE(box.height(), TfrmMsgBox::kClientHeight);
    EXPECT_LE(std::abs(box.frameGeometry().center().x() - box.screen()->availableGeometry().center().x()), 2);
    // A long line widens the dialog so that it shows whole.
    const std::string wide = "テーブル [" + std::string(60, 'T') + "] をエクスポートします。";
    box.Model().SetSingle(wide + "\nよろしいですか？\n");
    box.Prepare(settings);
    EXPECT_GE(box.lblMsg[0]->width(), box.lblMsg[0]->sizeHint().width());
    EXPECT_GT(box.width(), TfrmMsgBox::kClientWidth);
    // ... and the next short text has the designed width again.
    box.Model().SetSingle("データをインポートします。\nよろしいですか？\n");
    box.Prepare(settings);
    EXPECT_EQ(box.width(), TfrmMsgBox::kClientWidth);
    box.hide();
}

TEST(QtTexts, StandardButtonsSpeakJapanese) {
    if (!InstallQtJapanese(*QCoreApplication::instance())) GTEST_SKIP() << "qt6-translations-l10n is not installed";
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith(QString::fromUtf8("はい")));
    // The other tests of this program see Qt's texts as they were.
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

TEST(ConfirmDialog, AnEmptyLineKeepsTheOtherLinesInPlace) {
    TfrmMsgBox box;
    TransferSettings settings;
    box.Model().MsgText[0] = "データをインポートします。";
    box.Model().MsgText[1] = "よろしいですか？";
    box.Model().MsgText[2] = "Truncate";
    box.Prepare(settings);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QRect third = box.lblMsg[2]->geometry();
    box.Model().MsgText[1] = "";
    box.Prepare(settings);
    QApplication::processEvents();
    EXPECT_EQ(box.lblMsg[2]->geometry(), third);
    EXPECT_TRUE(box.lblMsg[1]->text().isEmpty());
    EXPECT_EQ(box.lblMsg[2]->palette().color(QPalette::WindowText), QColor(Qt::red));
    box.hide();
}

// What the user does while the dialog is open (run from the dialog's own event loop).
struct CloseCase {
    const char* name;
    std::function<void(TfrmMsgBox&)> act;
    int result;
    int errCnt;
    bool errStop;
};

class ConfirmDialogClose : public ::testing::TestWithParam<CloseCase> {};

TEST_P(ConfirmDialogClose, StoresTheLimitAndBatchBreakUnlessCancelled) {
    const CloseCase& c = GetParam();
    TfrmMsgBox box;
    TransferSettings settings;
    settings.ErrCnt = 100;
    settings.ErrStop = false;
    box.Model().BoxMode = 2;
    QTimer::singleShot(0, &box, [&] {
        box.udErrBreak->setValue(5);
        box.cbBatBreak->setChecked(true);
        c.act(box);
    });
    EXPECT_EQ(box.Execute(settings), c.result);
    EXPECT_EQ(settings.ErrCnt, c.errCnt);
    EXPECT_EQ(settings.ErrStop, c.errStop);
    EXPECT_FALSE(box.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Widgets, ConfirmDialogClose,
    ::testing::Values(
        CloseCase{"Start", [](TfrmMsgBox& b) { QTest::mouseClick(b.pbStart, Qt::LeftButton); }, 1, 5, true},
        CloseCase{"Single", [](TfrmMsgBox& b) { QTest::mouseClick(b.pbSingle, Qt::LeftButton); }, 5, 5, true},
        CloseCase{"Cancel", [](TfrmMsgBox& b) { QTest::mouseClick(b.pbCancel, Qt::LeftButton); }, 2, 100, false},
        CloseCase{"Escape", [](TfrmMsgBox& b) { QTest::keyClick(&b, Qt::Key_Escape); }, 2, 100, false},
        CloseCase{"EnterStarts", [](TfrmMsgBox& b) { QTest::keyClick(b.pbStart, Qt::Key_Return); }, 1, 5, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Folder picker ----

struct StartCase {
    const char* folder;
    const char* start;
};

class FolderStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(FolderStart, DropsTheTrailingSeparatorExceptOnARoot) {
    EXPECT_EQ(TFolderDialog::StartFolder(QString::fromUtf8(GetParam().folder)), QString::fromUtf8(GetParam().start));
}

INSTANTIATE_TEST_SUITE_P(Widgets, FolderStart,
                         ::testing::Values(StartCase{"C:\\data\\", "C:\\data"}, StartCase{"C:\\", "C:\\"},
                                           StartCase{"/srv/Data/", "/srv/Data"}, StartCase{"/", "/"},
                                           StartCase{"/srv/data", "/srv/data"}, StartCase{"", ""}));

// Runs the picker of dialog, handing the open file dialog to act.
bool RunPicker(TFolderDialog& dialog, const std::function<void(QFileDialog&)>& act) {
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        act(*picker);
    });
    return dialog.Execute();
}

TEST(FolderDialog, StartsAtTheFolderAndHandsBackThePick) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("Data/Out"));
    QWidget owner;
    TFolderDialog dialog(&owner);
    EXPECT_EQ(dialog.Message, QString::fromUtf8("フォルダを選択してください"));
    EXPECT_FALSE(dialog.CanNetwork);
    dialog.Folder = root.path() + "/Data/";
    QString title, shownAt;
    const bool picked = RunPicker(dialog, [&](QFileDialog& picker) {
        title = picker.windowTitle();
        shownAt = picker.directory().absolutePath();
        picker.selectFile(root.path() + "/Data/Out");
        static_cast<QDialog&>(picker).accept();  // as the dialog's own button does
    });
    EXPECT_TRUE(picked);
    EXPECT_EQ(title, QString::fromUtf8("フォルダを選択してください"));
    // The start folder is shown (its parent lists it, selected) and keeps its letter case.
    EXPECT_TRUE(shownAt == root.path() + "/Data" || shownAt == root.path()) << shownAt.toStdString();
    EXPECT_EQ(dialog.Folder, root.path() + "/Data/Out");
}

TEST(FolderDialog, CancelKeepsTheFolderAndAMissingStartIsNotPreselected) {
    QWidget owner;
    TFolderDialog dialog(&owner);
    dialog.Folder = "/no/such/folder/";
    QString shownAt;
    EXPECT_FALSE(RunPicker(dialog, [&](QFileDialog& picker) {
        shownAt = picker.directory().absolutePath();
        picker.reject();
    }));
    EXPECT_EQ(dialog.Folder, "/no/such/folder/");
    EXPECT_FALSE(shownAt.startsWith("/no/such"));
    TFolderDialog ownerless(nullptr);
    EXPECT_TRUE(ownerless.Message.isEmpty());
}

}  // namespace
}  // namespace tabrook::testing
