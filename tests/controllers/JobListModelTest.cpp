// The job list window's rules on its model: adding and replacing by table name, block moves,
// the button rules, the synchronization with the job list, files and folders of rows, and
// saving and loading list files on disk.

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "app/JobListModel.h"
#include "tests/engines/EngineTestSupport.h"
#include "tests/transfer/TempFolder.h"
#include "transfer/Job.h"
#include "transfer/RunContext.h"

namespace tabrook {
namespace {

using testing::RecordingHost;
using testing::TempFolder;

std::vector<std::string> Tables(const JobListModel& model) {
    std::vector<std::string> tables;
    for (const JobRow& row : model.Rows()) tables.push_back(row.Table);
    return tables;
}

std::vector<bool> Selection(const JobListModel& model) {
    std::vector<bool> selected;
    for (const JobRow& row : model.Rows()) selected.push_back(row.Selected);
    return selected;
}

class JobListModelTest : public ::testing::Test {
protected:
    void Fill(int n) {
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(model.AddJob("T" + std::to_string(i), "t" + std::to_string(i) + ".csv"));
    }
    void SelectRows(std::initializer_list<std::size_t> rows) {
        for (std::size_t i = 0; i < model.Count(); ++i) model.Select(i, false);
        for (std::size_t row : rows) model.Select(row, true);
    }

    RunContext context;
    JobListModel model{context};
};

TEST_F(JobListModelTest, AddRefusesATableListedInAnyCaseAndReplaceTakesTheNewCase) {
    ASSERT_TRUE(model.AddJob("emp", "old.csv"));
    int changes = 0;
    model.SetObserver([&](std::size_t) { ++changes; });
    EXPECT_FALSE(model.AddJob("EMP", "new.csv"));
    EXPECT_EQ(changes, 0);
    model.ShowJobRow(0, Job{"emp", "old.csv", "7", "6", "1", "done", 0, false});
    ASSERT_TRUE(model.ReplaceJob("EMP", "new.csv"));
    EXPECT_EQ(model.Rows()[0], (JobRow{"EMP", "new.csv", "", "", "", "", false}));
    EXPECT_FALSE(model.ReplaceJob("DEPT", "d.csv"));  // nothing to replace
    // Both add and replace rebuild the job list.
    ASSERT_EQ(context.JobList.Count(), 1u);
    EXPECT_EQ(context.JobList[0].Table, "EMP");
    EXPECT_EQ(context.JobList[0].Csv, "new.csv");
    EXPECT_TRUE(model.AddJob("emp_2", "x.csv"));  // a longer name is another table
    EXPECT_FALSE(model.AddJob("EMP_2", "y.csv"));
}

struct MoveCase {
    const char* name;
    std::vector<std::size_t> selected;
    bool up;                         // the command tried
    bool moves;                      // whether it is possible (and the button enabled)
    std::vector<std::string> after;  // tables after the command
    std::vector<bool> selectionAfter;
};

class BlockMoves : public JobListModelTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(BlockMoves, MoveTheSelectedBlockByOneRowOrNothing) {
    const MoveCase& c = GetParam();
    Fill(5);
    SelectRows({});
    for (std::size_t row : c.selected) model.Select(row, true);
    const JobButtons buttons = model.Buttons(true);
    EXPECT_EQ(c.up ? buttons.Up : buttons.Down, c.moves);
    EXPECT_EQ(c.up ? model.MoveUp() : model.MoveDown(), c.moves);
    EXPECT_EQ(Tables(model), c.after);
    EXPECT_EQ(Selection(model), c.selectionAfter);
}

INSTANTIATE_TEST_SUITE_P(
    JobList, BlockMoves,
    ::testing::Values(
        MoveCase{
            "TwoAndThreeUp", {1, 2}, true, true, {"T2", "T3", "T1", "T4", "T5"}, {true, true, false, false, false}},
        MoveCase{
            "TwoAndThreeDown", {1, 2}, false, true, {"T1", "T4", "T2", "T3", "T5"}, {false, false, true, true, false}},
        MoveCase{"FirstRowUp", {0}, true, false, {"T1", "T2", "T3", "T4", "T5"}, {true, false, false, false, false}},
        MoveCase{"LastRowDown", {4}, false, false, {"T1", "T2", "T3", "T4", "T5"}, {false, false, false, false, true}},
        MoveCase{"GapUp", {1, 3}, true, false, {"T1", "T2", "T3", "T4", "T5"}, {false, true, false, true, false}},
        MoveCase{"GapDown", {1, 3}, false, false, {"T1", "T2", "T3", "T4", "T5"}, {false, true, false, true, false}},
        MoveCase{
            "NothingSelected", {}, true, false, {"T1", "T2", "T3", "T4", "T5"}, {false, false, false, false, false}},
        MoveCase{"WholeListDown",
                 {0, 1, 2, 3, 4},
                 false,
                 false,
                 {"T1", "T2", "T3", "T4", "T5"},
                 {true, true, true, true, true}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobListModelTest, ButtonRules) {
    EXPECT_EQ(model.Buttons(true), (JobButtons{true, true, false, false, false, false}));  // empty list
    Fill(3);
    SelectRows({1});
    EXPECT_EQ(model.Buttons(true), (JobButtons{true, true, true, true, true, true}));
    EXPECT_EQ(model.Buttons(false), (JobButtons{true, true, true, false, true, true}));  // no logon: no Execute
    context.Running = true;
    EXPECT_EQ(model.Buttons(true), JobButtons{});  // a run: nothing but Close
}

TEST_F(JobListModelTest, EveryCommandDoesNothingWhileARunIsInProgress) {
    Fill(3);
    SelectRows({1, 2});
    const std::vector<JobRow> before = model.Rows();
    context.Running = true;
    EXPECT_FALSE(model.AddJob("NEW", "n.csv"));
    EXPECT_FALSE(model.ReplaceJob("T1", "other.csv"));
    EXPECT_FALSE(model.MoveUp());
    EXPECT_FALSE(model.MoveDown());
    EXPECT_FALSE(model.DeleteSelected());
    EXPECT_FALSE(model.SetFolder("/elsewhere"));
    RecordingHost host;
    EXPECT_FALSE(model.Load("/nonexistent.lst", host));
    EXPECT_EQ(model.Rows(), before);
}

TEST_F(JobListModelTest, SyncCarriesTheSelectionSoOnlySelectedRowsRun) {
    Fill(3);
    SelectRows({1});
    model.SyncJobList();
    ASSERT_EQ(context.JobList.Count(), 3u);
    EXPECT_FALSE(context.JobList[0].Selected);
    EXPECT_TRUE(context.JobList[1].Selected);
    EXPECT_FALSE(context.JobList[2].Selected);
    // Moves and deletes reach the job list only at the next synchronization.
    ASSERT_TRUE(model.DeleteSelected());
    EXPECT_EQ(context.JobList.Count(), 3u);
    model.SyncJobList();
    EXPECT_EQ(context.JobList.Count(), 2u);
    EXPECT_EQ(context.JobList[1].Table, "T3");
}

TEST_F(JobListModelTest, FileMenuCaptionFollowsTheSelectionAndFolderKeepsEachFileName) {
    Fill(3);
    SelectRows({0});
    EXPECT_EQ(model.FileMenuCaption(), "ファイル(&F)");
    SelectRows({0, 2});
    EXPECT_EQ(model.FileMenuCaption(), "フォルダ(&F)");
    SelectRows({});
    EXPECT_EQ(model.FileMenuCaption(), "フォルダ(&F)");  // none selected: the last caption stays
    ASSERT_TRUE(model.ReplaceJob("T1", "/data/in/a.csv"));
    ASSERT_TRUE(model.ReplaceJob("T3", "plain.csv"));
    SelectRows({0, 2});
    EXPECT_FALSE(model.SetFile("/x.csv"));  // two rows: a folder, not a file
    ASSERT_TRUE(model.SetFolder("/data/out"));
    EXPECT_EQ(model.Rows()[0].Csv, "/data/out/a.csv");
    EXPECT_EQ(model.Rows()[1].Csv, "t2.csv");
    EXPECT_EQ(model.Rows()[2].Csv, "/data/out/plain.csv");
    SelectRows({1});
    ASSERT_TRUE(model.SetFile("/y/z.csv"));
    EXPECT_EQ(model.Rows()[1].Csv, "/y/z.csv");
}

TEST_F(JobListModelTest, ErrorFilesOfTheFirstSelectedRowThatExist) {
    TempFolder folder;
    const std::string csv = folder.File("data.csv");
    ASSERT_TRUE(model.AddJob("T", csv));
    SelectRows({0});
    EXPECT_TRUE(model.ExistingErrorFiles().empty());
    std::ofstream(folder.File("data.erm")) << "ORA-01400\n";
    EXPECT_EQ(model.ExistingErrorFiles(), (std::vector<std::string>{folder.File("data.erm")}));
    std::ofstream(folder.File("data.err")) << "x\n";
    EXPECT_EQ(model.ExistingErrorFiles(), (std::vector<std::string>{folder.File("data.err"), folder.File("data.erm")}));
    SelectRows({});
    EXPECT_TRUE(model.ExistingErrorFiles().empty());
}

TEST_F(JobListModelTest, SaveWritesTheModeFirstAndLoadBringsTheRowsBack) {
    TempFolder folder;
    Fill(3);
    const std::string list = folder.File("jobs.lst");
    std::string message;
    ASSERT_TRUE(model.Save(list, /*mode=*/1, &message));
    EXPECT_EQ(TempFolder::Read(list), "1\r\nT1\tt1.csv\r\nT2\tt2.csv\r\nT3\tt3.csv\r\n");

    RunContext other;
    JobListModel loaded(other);
    RecordingHost host;
    ASSERT_TRUE(loaded.Load(list, host));
    EXPECT_EQ(Tables(loaded), (std::vector<std::string>{"T1", "T2", "T3"}));
    EXPECT_TRUE(host.boxes.empty());

    // An unreadable file: the reader's message, and an empty list.
    EXPECT_FALSE(loaded.Load(folder.File("missing.lst"), host));
    EXPECT_EQ(loaded.Count(), 0u);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "JobListファイルを読み取れません。");

    EXPECT_FALSE(model.Save(folder.File("no/such/folder/x.lst"), 0, &message));
    EXPECT_EQ(message, "ファイルを書き込めません。");
}

TEST_F(JobListModelTest, ProgressReachesARowOnlyWhileTheRowsMatchTheJobList) {
    Fill(2);
    std::vector<std::size_t> told;
    model.SetObserver([&](std::size_t index) { told.push_back(index); });
    Job job{"T2", "t2.csv", "10", "9", "1", "done", 0, true};
    model.ShowJobRow(1, job);
    EXPECT_EQ(model.Rows()[1].Status, "done");
    EXPECT_EQ(model.Rows()[1].ErrorText, "1");
    EXPECT_EQ(told, (std::vector<std::size_t>{1}));
    ASSERT_TRUE(model.AddJob("T3", "t3.csv"));  // synchronized: still one to one
    context.JobList.Add("EXTRA", "e.csv");      // the list changed behind the rows
    job.Status = "late";
    model.ShowJobRow(0, job);
    EXPECT_EQ(model.Rows()[0].Status, "");
}

TEST(JobListPaths, FolderOfAndTrailingSeparator) {
    EXPECT_EQ(FolderOf("/a/b/c.csv"), "/a/b/");
    EXPECT_EQ(FolderOf("c.csv"), "");
    EXPECT_EQ(WithTrailingSeparator("/a/b"), "/a/b/");
    EXPECT_EQ(WithTrailingSeparator("/a/b/"), "/a/b/");
    EXPECT_EQ(WithTrailingSeparator(""), "");
}

}  // namespace
}  // namespace tabrook
