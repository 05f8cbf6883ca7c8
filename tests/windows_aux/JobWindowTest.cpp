// The job list window as the user works it: the rows and columns, block moves with the buttons
// and Alt+arrows, the buttons while a run goes on, Save and Load through the list-file dialogs,
// the File/Folder command, the double click on error files, Set, Esc, progress rows, and an
// Execute of one selected row that runs only that job over the embedded engine.

#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "app/HeadlessHost.h"
#include "app/PreviewPlanner.h"
#include "app/RegistrySettings.h"
#include "tests/engines/EngineTestSupport.h"
#include "tests/windows_aux/WidgetTestSupport.h"
#include "transfer/Job.h"
#include "transfer/RunContext.h"
#include "transfer/TOracle.h"
#include "transfer/TransferSettings.h"

namespace tabrook::testing {
namespace {

namespace fs = std::filesystem;

class JobWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("tabrook-jobwindow-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { fs::remove_all(folder); }

    void Fill(int n) {
        for (int i = 1; i <= n; ++i) {
            ASSERT_TRUE(window.AddJob("T" + std::to_string(i), "/data/t" + std::to_string(i) + ".csv"));
        }
    }
    // Selects the rows as a user would: a click, then Ctrl+clicks.
    void SelectRows(std::initializer_list<int> rows) {
        bool first = true;
        for (int row : rows) {
            const QRect rect = window.lvJob->visualItemRect(window.lvJob->topLevelItem(row));
            QTest::mouseClick(window.lvJob->viewport(), Qt::LeftButton, first ? Qt::NoModifier : Qt::ControlModifier,
                              rect.center());
            first = false;
        }
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> texts;
        for (int i = 0; i < window.lvJob->topLevelItemCount(); ++i) {
            texts.push_back(window.lvJob->topLevelItem(i)->text(column).toStdString());
        }
        return texts;
    }
    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        for (int i = 0; i < window.lvJob->topLevelItemCount(); ++i) {
            if (window.lvJob->topLevelItem(i)->isSelected()) rows.push_back(i);
        }
        return rows;
    }
    // Load, Save, Delete, Execute, Up, Down.
    std::vector<bool> Buttons() const {
        return {window.pbLoad->isEnabled(), window.pbSave->isEnabled(), window.pbDel->isEnabled(),
                window.pbExec->isEnabled(), window.pbUp->isEnabled(),   window.pbDown->isEnabled()};
    }

    fs::path folder;
    TransferSettings settings;
    RunContext context;
    RecordingHost host;
    FakeOwner owner;
    TfrmMsgBox msgBox;
    ScriptedJobWindow window{context, settings, host, owner, msgBox};
};

TEST_F(JobWindowTest, ShowsSixColumnsAndRefusesATableListedInAnotherCase) {
    ASSERT_EQ(window.lvJob->columnCount(), 6);
    std::vector<std::string> captions;
    for (int i = 0; i < 6; ++i) captions.push_back(window.lvJob->headerItem()->text(i).toStdString());
    EXPECT_EQ(captions, (std::vector<std::string>{"TABLE", "CSV", "STATUS", "Record", "Success", "Error"}));
    EXPECT_EQ(window.windowTitle(), "JobList");
    ASSERT_TRUE(window.AddJob("emp", "/data/emp.csv"));
    EXPECT_FALSE(window.AddJob("EMP", "/data/EMP.csv"));
    ASSERT_TRUE(window.ReplaceJob("EMP", "/data/new.csv"));
    EXPECT_EQ(Column(0), std::vector<std::string>{"EMP"});
    EXPECT_EQ(Column(1), std::vector<std::string>{"/data/new.csv"});
    // A path wider than its column stays readable whole in the tooltip, even after a replace.
    EXPECT_EQ(window.lvJob->topLevelItem(0)->toolTip(1).toStdString(), "/data/new.csv");
    // Adding synchronizes the job list at once.
    ASSERT_EQ(context.JobList.Count(), 1u);
    EXPECT_EQ(context.JobList[0].Csv, "/data/new.csv");
    EXPECT_EQ(window.lvJob->topLevelItem(0)->textAlignment(3) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
}

TEST_F(JobWindowTest, BlocksMoveWithTheArrowsAndStaySelected) {
    Fill(5);
    SelectRows({1, 2});
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, true, true, true, true}));
    QTest::mouseClick(window.pbUp, Qt::LeftButton);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"T2", "T3", "T1", "T4", "T5"}));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 1}));
    EXPECT_FALSE(window.pbUp->isEnabled());  // the block is at the top
    EXPECT_TRUE(window.pbDown->isEnabled());
    // Alt+Down in the list moves it back down, twice.
    QTest::keyClick(window.lvJob, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(window.lvJob, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"T1", "T4", "T2", "T3", "T5"}));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{2, 3}));
    // Not one block: both arrows off, and Alt+Up does nothing.
    SelectRows({1, 3});
    EXPECT_FALSE(window.pbUp->isEnabled());
    EXPECT_FALSE(window.pbDown->isEnabled());
    QTest::keyClick(window.lvJob, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"T1", "T4", "T2", "T3", "T5"}));
    SelectRows({4});
    EXPECT_TRUE(window.pbUp->isEnabled());
    EXPECT_FALSE(window.pbDown->isEnabled());
    // Ctrl+A selects every row; the block is the whole list, which cannot move.
    QTest::keyClick(window.lvJob, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows().size(), 5u);
    EXPECT_FALSE(window.pbUp->isEnabled());
    EXPECT_FALSE(window.pbDown->isEnabled());
    QTest::mouseClick(window.pbDel, Qt::LeftButton);
    EXPECT_EQ(window.lvJob->topLevelItemCount(), 0);
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, false, false, false, false}));
}

TEST_F(JobWindowTest, EveryCaptionShowsAtTheFirstSizeAndAWiderWindowWidensTableAndCsv) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QHeaderView* header = window.lvJob->header();
    const QFontMetrics metrics(header->font());
    int used = 0;
    for (int i = 0; i < 6; ++i) {
        used += header->sectionSize(i);
        EXPECT_GE(header->sectionSize(i), metrics.horizontalAdvance(window.lvJob->headerItem()->text(i))) << i;
    }
    EXPECT_LE(used, window.lvJob->viewport()->width());
    std::vector<int> before;
    for (int i = 0; i < 6; ++i) before.push_back(header->sectionSize(i));
    window.resize(window.width() + 400, window.height());
    ASSERT_TRUE(ProcessUntil([&] { return header->sectionSize(0) > before[0]; }));
    EXPECT_GT(header->sectionSize(1), before[1]);
    for (int i = 2; i < 6; ++i) EXPECT_EQ(header->sectionSize(i), before[static_cast<std::size_t>(i)]) << i;
}

TEST_F(JobWindowTest, TheFocusRectangleMovesWithTheBlock) {
    Fill(4);
    window.show();
    window.lvJob->setFocus();
    QTest::mouseClick(window.lvJob->viewport(), Qt::LeftButton, {},
                      window.lvJob->visualItemRect(window.lvJob->topLevelItem(2)).center());
    QTest::keyClick(window.lvJob, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"T1", "T3", "T2", "T4"}));
    // The next arrow goes on from the moved row.
    QTest::keyClick(window.lvJob, Qt::Key_Up);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
}

TEST_F(JobWindowTest, ExecuteNeedsALogonAndASelection) {
    Fill(2);
    EXPECT_FALSE(window.pbExec->isEnabled());  // nothing selected
    owner.connected = false;
    SelectRows({0});
    EXPECT_FALSE(window.pbExec->isEnabled());
    EXPECT_TRUE(window.pbDel->isEnabled());
    owner.connected = true;
    SelectRows({1});
    EXPECT_TRUE(window.pbExec->isEnabled());
}

TEST_F(JobWindowTest, DuringARunEveryCommandDoesNothingAndAClickDisablesTheButtons) {
    Fill(3);
    SelectRows({1});
    window.saveAnswer = QString::fromStdString((folder / "x.lst").string());
    window.openAnswer = window.saveAnswer;
    window.folderAnswer = "/elsewhere";
    context.Running = true;
    SelectRows({1});  // the click in the list updates the buttons
    EXPECT_EQ(Buttons(), (std::vector<bool>(6, false)));
    window.pbDelClick();
    window.pbUpClick();
    window.pbDownClick();
    window.pbLoadClick();
    window.pbSaveClick();
    window.pbExecClick();
    window.mnSetClick();
    window.mnFileClick();
    QTest::keyClick(window.lvJob, Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(window.AddJob("T9", "t9.csv"));
    EXPECT_FALSE(window.ReplaceJob("T1", "new.csv"));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"T1", "T2", "T3"}));
    EXPECT_TRUE(window.asked.empty());  // no dialog opened
    EXPECT_EQ(owner.runs, 0);
    EXPECT_TRUE(owner.previewed.empty());
    EXPECT_FALSE(fs::exists(folder / "x.lst"));
    // The menu's items are off, Esc still reaches the main window, Close still hides.
    window.pnPopup();
    EXPECT_FALSE(window.mnSet->isEnabled());
    EXPECT_FALSE(window.mnFile->isEnabled());
    QTest::keyClick(window.lvJob, Qt::Key_Escape);
    EXPECT_EQ(owner.escapes, 1);
    QTest::mouseClick(window.pbClose, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    context.Running = false;
}

TEST_F(JobWindowTest, SaveInExportModeWritesTheModeFirstAndRemembersTheFolder) {
    Fill(3);
    settings.Mode = 1;
    const fs::path list = folder / "jobs.lst";
    window.saveAnswer = QString::fromStdString(list.string());
    QTest::mouseClick(window.pbSave, Qt::LeftButton);
    EXPECT_EQ(ReadBytes(list), "1\r\nT1\t/data/t1.csv\r\nT2\t/data/t2.csv\r\nT3\t/data/t3.csv\r\n");
    EXPECT_TRUE(window.warnings.empty());
    EXPECT_EQ(ReadListFolder(), folder.string());
    // The next showing starts both list-file dialogs there.
    window.hide();
    window.show();
    EXPECT_EQ(window.ListFolder().toStdString(), folder.string());

    // An unwritable file: the warning, and the rows unchanged.
    window.saveAnswer = QString::fromStdString((folder / "no" / "such" / "x.lst").string());
    window.pbSaveClick();
    ASSERT_EQ(window.warnings.size(), 1u);
    EXPECT_EQ(window.warnings[0], QString::fromUtf8("ファイルを書き込めません。"));
    EXPECT_EQ(window.lvJob->topLevelItemCount(), 3);
    // A cancelled dialog writes nothing.
    window.saveAnswer.clear();
    window.pbSaveClick();
    EXPECT_EQ(window.warnings.size(), 1u);
}

TEST_F(JobWindowTest, LoadShowsTheFileAndTheSettingsAndAnUnreadableFileEmptiesTheList) {
    Fill(2);
    const fs::path list = folder / "in.lst";
    WriteBytes(list, "0\r\nDEPT\t/x/dept.csv\r\nEMP\t/x/emp.csv\r\nSALGRADE\t/x/s.csv\r\n");
    window.openAnswer = QString::fromStdString(list.string());
    QTest::mouseClick(window.pbLoad, Qt::LeftButton);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"DEPT", "EMP", "SALGRADE"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"/x/dept.csv", "/x/emp.csv", "/x/s.csv"}));
    EXPECT_EQ(owner.settingsShown, 1);
    EXPECT_TRUE(window.questions.empty());  // saved for Import, loaded in Import mode
    // A list saved for Export, loaded in Import mode: the window offers to switch.
    WriteBytes(list, "1\r\nDEPT\t/x/dept.csv\r\n");
    window.pbLoadClick();
    ASSERT_EQ(window.questions.size(), 1u);
    EXPECT_TRUE(window.questions[0].contains(QString::fromUtf8("エクスポートモードに切り替えますか？")));
    EXPECT_EQ(owner.switchedTo, std::vector<int>{1});
    window.openAnswer = QString::fromStdString((folder / "missing.lst").string());
    window.pbLoadClick();
    EXPECT_EQ(window.lvJob->topLevelItemCount(), 0);
    EXPECT_FALSE(host.boxes.empty());  // the reader said why
    EXPECT_EQ(owner.settingsShown, 3);
}

TEST_F(JobWindowTest, FileOrFolderKeepsEachRowsOwnFileName) {
    ASSERT_TRUE(window.AddJob("A", "/old/a.csv"));
    ASSERT_TRUE(window.AddJob("B", "/old/sub/b.csv"));
    ASSERT_TRUE(window.AddJob("C", "/old/c.csv"));
    SelectRows({0, 1});
    window.pnPopup();
    EXPECT_EQ(window.mnFile->text(), QString::fromUtf8("フォルダ(&F)"));
    window.folderAnswer = "/new/place";
    window.mnFile->trigger();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"/new/place/a.csv", "/new/place/b.csv", "/old/c.csv"}));
    EXPECT_EQ(window.asked.back(), "folder:/old/");
    // One row: the file dialog, opened on the row's own file.
    SelectRows({2});
    window.pnPopup();
    EXPECT_EQ(window.mnFile->text(), QString::fromUtf8("ファイル(&F)"));
    window.csvAnswer = "/picked/other.csv";
    QTest::keyClick(window.lvJob, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(window.asked.back(), "csv:/old/c.csv");
    EXPECT_EQ(Column(1)[2], "/picked/other.csv");
    // Cancelled: nothing changes.
    window.csvAnswer.clear();
    window.mnFileClick();
    EXPECT_EQ(Column(1)[2], "/picked/other.csv");
}

TEST_F(JobWindowTest, DoubleClickOpensOnlyTheErrorFilesThatExist) {
    const fs::path csv = folder / "data.csv";
    ASSERT_TRUE(window.AddJob("DATA", csv.string()));
    const QRect rect = window.lvJob->visualItemRect(window.lvJob->topLevelItem(0));
    DoubleClick(window.lvJob->viewport(), rect.center());
    EXPECT_TRUE(host.opened.empty());
    EXPECT_TRUE(host.viewed.empty());

    WriteBytes(folder / "data.erm", "ORA-01722: invalid number\r\n");
    DoubleClick(window.lvJob->viewport(), rect.center());
    EXPECT_EQ(host.opened, std::vector<std::string>{(folder / "data.erm").string()});
    // The desktop could not open it: our own viewer shows it.
    EXPECT_EQ(host.viewed, std::vector<std::string>{(folder / "data.erm").string()});

    WriteBytes(folder / "data.err", "x,1\r\n");
    host.opened.clear();
    host.viewed.clear();
    host.shellOpens = true;
    DoubleClick(window.lvJob->viewport(), rect.center());
    EXPECT_EQ(host.opened, (std::vector<std::string>{(folder / "data.err").string(), (folder / "data.erm").string()}));
    EXPECT_TRUE(host.viewed.empty());
}

TEST_F(JobWindowTest, SetPutsTheTableThenTheFileIntoTheMainWindowAndEscGoesThere) {
    Fill(2);
    window.mnSetClick();
    EXPECT_TRUE(owner.previewed.empty());  // no row selected
    SelectRows({1});
    QTest::keyClick(window.lvJob, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(owner.previewed, (std::vector<std::string>{"table:T2", "csv:/data/t2.csv"}));
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(owner.escapes, 1);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(JobWindowTest, ProgressReachesTheRowsOnlyWhileShownAndMatchingTheList) {
    Fill(2);
    const Job done{"T2", "/data/t2.csv", "10", "9", "1", "インポートを完了しました。", 0, true};
    window.ShowJobRow(1, done);
    EXPECT_EQ(Column(2)[1], "インポートを完了しました。");
    EXPECT_EQ(Column(3)[1], "10");
    EXPECT_EQ(Column(5)[1], "1");
    window.hide();
    const Job later{"T1", "/data/t1.csv", "5", "5", "0", "later", 0, true};
    window.ShowJobRow(0, later);
    EXPECT_EQ(Column(2)[0], "");
}

// Execute through the confirmation dialog with the transfer thread over the embedded engine.
class JobWindowRun : public DatabaseTest {
protected:
    TfrmMsgBox msgBox;
    FakeOwner owner;
};

TEST_F(JobWindowRun, ExecuteOfTheSecondOfThreeRowsRunsOnlyThatJob) {
    Exec({"create table T1 (ID number(6), NAME varchar2(20))", "create table T2 (ID number(6), NAME varchar2(20))",
          "create table T3 (ID number(6), NAME varchar2(20))"});
    for (const char* table : {"T1", "T2", "T3"})
        WriteBytes(Path(std::string(table) + ".csv"), "1,one\r\n2,two\r\n3,three\r\n");
    settings_.Truncate = true;
    ScriptedJobWindow window(context_, settings_, host_, owner, msgBox);
    window.show();
    for (const char* table : {"T1", "T2", "T3"})
        ASSERT_TRUE(window.AddJob(table, Path(std::string(table) + ".csv").string()));

    HeadlessHost runHost(context_, nullptr);
    PreviewPlanner planner(dm_, nullptr);
    TOracle thread(&dm_, runHost, settings_, context_);
    thread.SetPlanner(&planner);
    thread.Resume();
    thread.WaitIdle();
    owner.onRun = [&] {
        thread.JobListRun = true;
        thread.Start();
        thread.WaitIdle();
    };
    const QRect rect = window.lvJob->visualItemRect(window.lvJob->topLevelItem(1));
    QTest::mouseClick(window.lvJob->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    // Cancelled in the dialog: nothing runs.
    window.confirmAnswer = kConfirmCancel;
    QTest::mouseClick(window.pbExec, Qt::LeftButton);
    EXPECT_EQ(owner.runs, 0);
    window.confirmAnswer = kConfirmStart;
    QTest::mouseClick(window.pbExec, Qt::LeftButton);
    EXPECT_EQ(window.confirmLines,
              (std::vector<std::string>{"選択したリストをインポートします。", "", kBatchTruncateWarning, "1"}));
    ASSERT_EQ(owner.runs, 1);
    EXPECT_EQ(CountRows("T1"), 0);
    EXPECT_EQ(CountRows("T2"), 3);
    EXPECT_EQ(CountRows("T3"), 0);
    ASSERT_EQ(context_.JobList.Count(), 3u);
    EXPECT_TRUE(context_.JobList[1].Selected);
    EXPECT_FALSE(context_.JobList[0].Selected);
    EXPECT_EQ(context_.JobList[1].SuccessText, "3");
    EXPECT_EQ(context_.JobList[0].SuccessText, "");
}

}  // namespace
}  // namespace tabrook::testing
