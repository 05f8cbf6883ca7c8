// The table chooser over the embedded engine: the kind chosen from the last preview, the
// preselection by exact case, OK, double click and an empty list, Esc stopping a long load
// without closing, the filter, and Ctrl+A with Ctrl+E filling the job list (in one step).

#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>

#include "tests/engines/EngineTestSupport.h"
#include "tests/windows_aux/WidgetTestSupport.h"
#include "windows/TfmTable.h"

namespace tabrook::testing {
namespace {

class TableChooserTest : public DatabaseTest {
protected:
    void CreateTables(int count, const std::string& prefix) {
        std::vector<std::string> statements;
        for (int i = 0; i < count; ++i)
            statements.push_back("create table " + prefix + std::to_string(i) + " (ID number(5))");
        Exec(statements);
    }
    // Shows the chooser as the main window does and waits for the list to be loaded.
    void ShowAndLoad(const QString& preset) {
        chooser.PresetName = preset;
        const unsigned before = chooser.LoadsFinished();
        chooser.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
        ASSERT_TRUE(ProcessUntil([&] { return chooser.LoadsFinished() > before; }));
    }
    std::vector<std::string> Shown() const {
        std::vector<std::string> names;
        for (int i = 0; i < chooser.lbTable->count(); ++i) {
            if (!chooser.lbTable->item(i)->isHidden()) names.push_back(chooser.lbTable->item(i)->text().toStdString());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> Selected() const {
        std::vector<std::string> names;
        for (QListWidgetItem* item : chooser.lbTable->selectedItems()) names.push_back(item->text().toStdString());
        return names;
    }

    FakeOwner owner;
    TfrmMsgBox msgBox;
    ScriptedJobWindow jobWindow{context_, settings_, host_, owner, msgBox};
    TfmTable chooser{dm_, host_, context_, jobWindow, owner};
};

TEST_F(TableChooserTest, PreselectsTheExactNameOnlyAndOkHandsTheCurrentNameBack) {
    Exec({"create table EMP (ID number(5))", "create table DEPT (ID number(5))",
          "create table \"PAD  \" (ID number(5))"});
    ShowAndLoad("EMP");
    EXPECT_TRUE(chooser.rbTable->isChecked());
    EXPECT_EQ(Shown(), (std::vector<std::string>{"DEPT", "EMP", "PAD"}));
    EXPECT_EQ(Selected(), std::vector<std::string>{"EMP"});
    ASSERT_NE(chooser.lbTable->currentItem(), nullptr);
    EXPECT_EQ(chooser.lbTable->currentItem()->text(), "EMP");
    QTest::mouseClick(chooser.pbOk, Qt::LeftButton);
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    EXPECT_EQ(context_.TableName, "EMP");

    // The same name in another case: nothing is selected.
    ShowAndLoad("emp");
    EXPECT_TRUE(Selected().empty());
    // A double click takes the clicked name.
    QListWidgetItem* dept = chooser.lbTable->findItems("DEPT", Qt::MatchExactly).front();
    ASSERT_TRUE(ProcessUntil([&] { return chooser.lbTable->visualItemRect(dept).isValid(); }));
    QTest::qWait(QApplication::doubleClickInterval() + 50);  // well apart from the click on OK
    DoubleClick(chooser.lbTable->viewport(), chooser.lbTable->visualItemRect(dept).center());
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(context_.TableName, "DEPT");
}

TEST_F(TableChooserTest, AfterAViewItListsViewsAndCancelChangesNothing) {
    Exec({"create table EMP (ID number(5))", "create view V_EMP as select ID from EMP"});
    context_.IsTable = false;
    context_.TableName = "V_EMP";
    ShowAndLoad("V_EMP");
    EXPECT_TRUE(chooser.rbView->isChecked());
    EXPECT_EQ(Shown(), std::vector<std::string>{"V_EMP"});
    // The other kind loads again.
    QTest::mouseClick(chooser.rbTable, Qt::LeftButton);
    ASSERT_TRUE(ProcessUntil([&] { return chooser.LoadsFinished() == 2; }));
    EXPECT_EQ(Shown(), std::vector<std::string>{"EMP"});
    QTest::mouseClick(chooser.pbCancel, Qt::LeftButton);
    EXPECT_EQ(chooser.result(), QDialog::Rejected);
    EXPECT_EQ(context_.TableName, "V_EMP");
}

TEST_F(TableChooserTest, OkWithoutACurrentNameKeepsTheTypedNameAndEachShowingStartsUnfiltered) {
    Exec({"create table EMP (ID number(5))", "create table DEPT (ID number(5))"});
    ShowAndLoad("DEPT");
    chooser.edFilter->setText("EM");
    chooser.reject();
    // Typed in another case: nothing is current, OK keeps the name as typed.
    ShowAndLoad("dept");
    EXPECT_TRUE(chooser.edFilter->text().isEmpty());
    EXPECT_EQ(Shown(), (std::vector<std::string>{"DEPT", "EMP"}));
    ASSERT_EQ(chooser.lbTable->currentItem(), nullptr);
    QTest::mouseClick(chooser.pbOk, Qt::LeftButton);
    EXPECT_EQ(context_.TableName, "dept");
}

TEST_F(TableChooserTest, NotLoggedOnGivesAnEmptyListAndOkAnEmptyName) {
    dm_.OCI.DisConnect();
    context_.TableName = "EMP";
    ShowAndLoad("EMP");
    EXPECT_EQ(chooser.lbTable->count(), 0);
    EXPECT_TRUE(host_.boxes.empty());
    QTest::mouseClick(chooser.pbOk, Qt::LeftButton);
    EXPECT_EQ(context_.TableName, "");
}

TEST_F(TableChooserTest, EscStopsALongLoadAndKeepsTheWindowOpen) {
    CreateTables(400, "T");
    chooser.PresetName = "T1";
    chooser.show();
    // Esc arrives while the first slice is on the screen.
    QTimer::singleShot(0, &chooser, [&] { QTest::keyClick(chooser.lbTable, Qt::Key_Escape); });
    ASSERT_TRUE(ProcessUntil([&] { return chooser.LoadsFinished() == 1; }));
    EXPECT_TRUE(chooser.isVisible());
    EXPECT_GT(chooser.lbTable->count(), 0);
    EXPECT_LT(chooser.lbTable->count(), 400);
    EXPECT_EQ(host_.busyDepth, 0);  // the pointer is back
    // A new load runs to the end and the cursor is free for it.
    QTest::mouseClick(chooser.rbTable, Qt::LeftButton);
    ASSERT_TRUE(ProcessUntil([&] { return chooser.LoadsFinished() == 2; }));
    EXPECT_EQ(chooser.lbTable->count(), 400);
    // Esc when nothing loads does not close either.
    QTest::keyClick(chooser.lbTable, Qt::Key_Escape);
    EXPECT_TRUE(chooser.isVisible());
    chooser.reject();
}

TEST_F(TableChooserTest, AKindClickedDuringALoadTakesOverTheList) {
    CreateTables(400, "T");
    Exec({"create view V_ONE as select ID from T0", "create view V_TWO as select ID from T1"});
    chooser.show();
    // The click arrives while the first slice of tables is on the screen.
    QTimer::singleShot(0, &chooser, [&] { QTest::mouseClick(chooser.rbView, Qt::LeftButton); });
    ASSERT_TRUE(ProcessUntil([&] { return chooser.LoadsFinished() >= 1; }));
    QApplication::processEvents();
    EXPECT_EQ(chooser.LoadsFinished(), 1u);  // the interrupted load of tables did not finish on its own
    EXPECT_TRUE(chooser.rbView->isChecked());
    EXPECT_EQ(Shown(), (std::vector<std::string>{"V_ONE", "V_TWO"}));
    EXPECT_EQ(host_.busyDepth, 0);
    chooser.reject();
}

TEST_F(TableChooserTest, ALongListKeepsTheWindowResponsive) {
    // TABROOK_CHOOSER_TABLES sets another count (for example 10000) for a longer measurement.
    const int count = qEnvironmentVariableIsSet("TABROOK_CHOOSER_TABLES")
                          ? qEnvironmentVariableIntValue("TABROOK_CHOOSER_TABLES")
                          : 3000;
    CreateTables(count, "BIG_");
    chooser.show();
    // The longest stretch between two turns of the event loop while the list loads.
    QElapsedTimer clock;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(0);
    clock.start();
    QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, clock.restart()); });
    tick.start();
    ASSERT_TRUE(ProcessUntil([&] { return chooser.LoadsFinished() == 1; }, 120000));
    EXPECT_EQ(chooser.lbTable->count(), count);
    tick.stop();
    std::printf("longest wait between two event-loop turns while loading %d names: %lld ms\n", count,
                static_cast<long long>(longest));
    EXPECT_LT(longest, 500);
    chooser.reject();
}

TEST_F(TableChooserTest, FilterNarrowsAndCtrlEAddsTheShownSelectionToTheJobList) {
    Exec({"create table EMP (ID number(5))", "create table EMP_HIST (ID number(5))", "create table DEPT (ID number(5))",
          "create table SALGRADE (ID number(5))"});
    owner.csvFolder = "/data/in";
    ASSERT_TRUE(jobWindow.AddJob("dept", "/old/dept.csv"));
    ShowAndLoad("");
    QTest::keyClicks(chooser.edFilter, "emp");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"EMP", "EMP_HIST"}));
    chooser.edFilter->clear();
    EXPECT_EQ(Shown().size(), 4u);
    QTest::keyClicks(chooser.edFilter, "p");  // not SALGRADE
    EXPECT_EQ(Shown(), (std::vector<std::string>{"DEPT", "EMP", "EMP_HIST"}));
    chooser.lbTable->setFocus();
    QTest::keyClick(chooser.lbTable, Qt::Key_A, Qt::ControlModifier);
    std::vector<std::string> selected = Selected();
    std::sort(selected.begin(), selected.end());
    EXPECT_EQ(selected, (std::vector<std::string>{"DEPT", "EMP", "EMP_HIST"}));
    jobWindow.hide();
    QTest::keyClick(chooser.lbTable, Qt::Key_E, Qt::ControlModifier);
    // The job window is shown; DEPT was listed already (as dept) and is not added again.
    EXPECT_TRUE(jobWindow.isVisible());
    EXPECT_TRUE(chooser.isVisible());
    ASSERT_EQ(context_.JobList.Count(), 3u);
    std::vector<std::string> jobs;
    for (std::size_t i = 0; i < context_.JobList.Count(); ++i) {
        jobs.push_back(context_.JobList[i].Table + " " + context_.JobList[i].Csv);
    }
    EXPECT_EQ(jobs[0], "dept /old/dept.csv");
    std::sort(jobs.begin() + 1, jobs.end());
    EXPECT_EQ(jobs[1], "EMP /data/in/EMP.csv");
    EXPECT_EQ(jobs[2], "EMP_HIST /data/in/EMP_HIST.csv");
    chooser.reject();
}

TEST_F(TableChooserTest, CtrlEAddsFourThousandNamesInOneStep) {
    constexpr int kCount = 4000;
    CreateTables(kCount, "T_");
    ShowAndLoad("");
    // Rows the job window's view receives: rebuilding the list for every added name gives it
    // 1 + 2 + ... + kCount rows, one step gives it kCount.
    long long rowsInserted = 0;
    QObject::connect(jobWindow.lvJob->model(), &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) { rowsInserted += last - first + 1; });
    chooser.lbTable->setFocus();
    QTest::keyClick(chooser.lbTable, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(chooser.lbTable, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(context_.JobList.Count(), static_cast<std::size_t>(kCount));
    EXPECT_EQ(jobWindow.lvJob->topLevelItemCount(), kCount);
    EXPECT_LE(rowsInserted, kCount);
    chooser.reject();
}

}  // namespace
}  // namespace tabrook::testing
