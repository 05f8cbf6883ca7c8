// The job list file: reading into the run context, writing as the job window saves it.

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/transfer/BoxRecordingHost.h"
#include "tests/transfer/TempFolder.h"
#include "transfer/JobListFile.h"
#include "transfer/RunContext.h"
#include "transfer/RunLog.h"

namespace tabrook {

void PrintTo(const JobListRow& row, std::ostream* out) {
    *out << "{" << row.Table << " | " << row.Csv << "}";
}

namespace {

using testing::BoxRecordingHost;
using testing::TempFolder;

std::vector<JobListRow> Rows(const JobList& list) {
    std::vector<JobListRow> rows;
    for (std::size_t i = 0; i < list.Count(); ++i) rows.push_back({list[i].Table, list[i].Csv});
    return rows;
}

TEST(ReadJobList, Files) {
    BoxRecordingHost host;
    struct Case {
        const char* name;
        std::string text;
        std::vector<JobListRow> jobs;
    };
    const std::vector<Case> cases = {
        {"only the mode line", "0\r\n", {}},
        {"empty file", "", {}},
        {"CR LF lines",
         "1\r\nEMP\t/data/emp.csv\r\nDEPT\t/data/dept.csv\r\n",
         {{"EMP", "/data/emp.csv"}, {"DEPT", "/data/dept.csv"}}},
        {"LF lines", "0\nEMP\ta.csv\n", {{"EMP", "a.csv"}}},
        {"pieces after the second tab are ignored", "0\nEMP\tp.csv\textra\n", {{"EMP", "p.csv"}}},
        {"no tab gives an empty path", "0\nEMP\n", {{"EMP", ""}}},
        {"a line starting with a tab is skipped", "0\n\tp.csv\nEMP\tq.csv\n", {{"EMP", "q.csv"}}},
        {"blank lines are skipped", "0\n\n\r\nEMP\tq.csv\n\n", {{"EMP", "q.csv"}}},
        {"duplicates are kept", "0\nA\tx\nA\ty\n", {{"A", "x"}, {"A", "y"}}},
        {"last line without a line feed is kept", "0\r\nA\ta.csv\r\nB\tb.csv", {{"A", "a.csv"}, {"B", "b.csv"}}},
        {"paths with blanks and non-ASCII bytes",
         "0\r\n\x95\\\t/tmp/my data/\x83\x7C.csv\r\n",
         {{"\x95\\", "/tmp/my data/\x83\x7C.csv"}}},
        {"a very long line stays one job",
         "0\n" + std::string(20000, 'T') + "\t" + std::string(20000, 'p') + "\n",
         {{std::string(20000, 'T'), std::string(20000, 'p')}}},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        RunContext context;
        context.JobList.Add("OLD", "old.csv");
        const std::string path = folder.Write("jobs.lst", c.text);
        ASSERT_TRUE(ReadJobList(path, context, host)) << c.name;
        EXPECT_EQ(Rows(context.JobList), c.jobs) << c.name;
        for (std::size_t i = 0; i < context.JobList.Count(); ++i) {
            EXPECT_EQ(context.JobList[i].Result, 0);
            EXPECT_FALSE(context.JobList[i].Selected);
            EXPECT_EQ(context.JobList[i].Status, "");
        }
    }
}

TEST(ReadJobList, UnreadableFileKeepsTheListLogsAndWarns) {
    TempFolder folder;
    RunLog& log = TheRunLog();
    const std::string logFile = folder.File("run.log");
    BoxRecordingHost logHost;
    ASSERT_TRUE(log.Open(logFile, true, logHost));
    for (const std::string& path : {folder.File("missing.lst"), folder.Path().string()}) {
        for (bool autoClose : {false, true}) {
            BoxRecordingHost host;
            RunContext context;
            context.AutoClose = autoClose;
            context.ListFile = path;
            context.JobList.Add("KEEP", "keep.csv");
            EXPECT_FALSE(ReadJobList(path, context, host)) << path;
            EXPECT_EQ(context.ListFile, "");
            EXPECT_EQ(Rows(context.JobList), (std::vector<JobListRow>{{"KEEP", "keep.csv"}}));
            if (autoClose) {
                EXPECT_TRUE(host.boxes.empty());
            } else {
                ASSERT_EQ(host.boxes.size(), 1u);
                EXPECT_EQ(host.boxes[0].Text, "JobListファイルを読み取れません。");
                EXPECT_EQ(host.boxes[0].Icon, MsgIcon::Warning);
            }
        }
    }
    log.Close();
    const std::string text = TempFolder::Read(logFile);
    std::size_t count = 0;
    for (std::size_t at = 0; (at = text.find("I997\t", at)) != std::string::npos; ++at) ++count;
    EXPECT_EQ(count, 4u);
    EXPECT_NE(text.find("\tJobListファイルを読み取れません。\r\n"), std::string::npos);
}

// Line 1 holds the mode the list was saved in; the reader skips it whatever it holds (a run
// uses the mode in effect), even when it looks like a job.
TEST(ReadJobList, FirstLineIsTheModeAndNeverAJob) {
    const struct {
        const char* text;
        std::vector<JobListRow> jobs;
    } cases[] = {{"1\r\nT\tf.csv\r\n", {{"T", "f.csv"}}},
                 {"0\r\n", {}},
                 {"EMP\tfirst.csv\r\nT\tf.csv\r\n", {{"T", "f.csv"}}},
                 {"7\nA\ta.csv\nB\tb.csv", {{"A", "a.csv"}, {"B", "b.csv"}}}};
    BoxRecordingHost host;
    TempFolder folder;
    for (const auto& c : cases) {
        RunContext context;
        const std::string path = folder.Write("mode.lst", c.text);
        ASSERT_TRUE(ReadJobList(path, context, host)) << c.text;
        EXPECT_EQ(Rows(context.JobList), c.jobs) << c.text;
    }
}

TEST(WriteJobList, WritesWhatTheReaderReadsBack) {
    BoxRecordingHost host;
    TempFolder folder;
    const std::string path = folder.File("saved.lst");
    const std::vector<JobListRow> rows = {{"EMP", "/data/emp.csv"}, {"DEPT", "/my files/d.csv"}, {"X", ""}};
    ASSERT_TRUE(WriteJobList(path, 1, rows));
    EXPECT_EQ(TempFolder::Read(path), "1\r\nEMP\t/data/emp.csv\r\nDEPT\t/my files/d.csv\r\nX\t\r\n");
    RunContext context;
    ASSERT_TRUE(ReadJobList(path, context, host));
    EXPECT_EQ(Rows(context.JobList), rows);
}

TEST(WriteJobList, RefusalsKeepTheOldFile) {
    TempFolder folder;
    const std::string path = folder.Write("keep.lst", "0\r\nOLD\told.csv\r\n");
    std::string error;
    EXPECT_FALSE(WriteJobList(path, 0, {{"A", "with\ttab.csv"}}, &error));
    EXPECT_NE(error.find("tab or line break"), std::string::npos) << error;
    EXPECT_FALSE(WriteJobList(path, 0, {{"A\nB", "x.csv"}}, &error));
    EXPECT_EQ(TempFolder::Read(path), "0\r\nOLD\told.csv\r\n");

    error.clear();
    EXPECT_FALSE(WriteJobList(folder.File("no/such/folder/x.lst"), 0, {{"A", "a"}}, &error));
    EXPECT_NE(error.find("x.lst"), std::string::npos) << error;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
        << "no partial file is left behind";
}

}  // namespace
}  // namespace tabrook
