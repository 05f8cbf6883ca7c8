// The transfer thread with the real engines, previews and embedded engine, in process: a cancel
// requested during job 2 of 3 and confirmed through the host's question (with and without
// ErrStop), and one parked thread reused for an import run and then an export run.

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>

#include "app/HeadlessHost.h"
#include "app/PreviewPlanner.h"
#include "tests/e2e/E2eHarness.h"
#include "transfer/RunContext.h"
#include "transfer/RunLog.h"
#include "transfer/TOracle.h"
#include "transfer/Tdm.h"
#include "transfer/TransferSettings.h"

namespace tabrook::e2e {
namespace {

// Requests the cancel (as Esc would) once job cancelTable has read ten rows, and answers
// every question with Yes. The import shows its counts at its start and before records 1, 11,
// 21 and so on: the third showing in the job comes after ten rows. (The counts themselves
// hold the rows sent so far, which in arrays can be none yet.)
class CancellingHost : public HeadlessHost {
public:
    using HeadlessHost::HeadlessHost;

    // Watches the counts thread publishes, in the job it runs.
    void Watch(TOracle& watched, const RunContext& context) {
        thread = &watched;
        watched.CountsPublished = [this, &context] {
            const std::string& table = context.JobList[thread->JobIndex].Table;
            if (table != countedTable) {
                countedTable = table;
                shown = 0;
            }
            ++shown;
            if (table == cancelTable && shown == 3 && !requested) {
                requested = true;
                thread->CancelRequest = true;
            }
        };
    }
    int MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override {
        std::lock_guard lock(mutex);
        boxes.push_back(text);
        return buttons == MsgButtons::YesNo ? kMsgYes : kMsgOk;
    }

    TOracle* thread = nullptr;
    std::string cancelTable;
    std::string countedTable;
    int shown = 0;  // counts shown in the current job
    bool requested = false;
    std::mutex mutex;
    std::vector<std::string> boxes;
};

class ThreadRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Sandbox::BinariesPresent()) GTEST_SKIP() << "build ocilite-sql and libocilite.so first";
        ::setenv("TABROOK_OCI_LIBRARY", Sandbox::Binary("libocilite.so").c_str(), 1);
        database = (box.Work() / "thread.db").string();
        ASSERT_EQ(box.Sql(database,
                          "create table T1 (ID NUMBER(6), NAME VARCHAR2(20));\n"
                          "create table T2 (ID NUMBER(6), NAME VARCHAR2(20));\n"
                          "create table T3 (ID NUMBER(6), NAME VARCHAR2(20));\n")
                      .status,
                  0);
        std::string csv;
        for (int i = 1; i <= 50; ++i) csv += std::to_string(i) + ",name " + std::to_string(i) + "\r\n";
        for (const char* table : {"T1", "T2", "T3"}) WriteFile(box.Work() / (std::string(table) + ".csv"), csv);

        context.LogFile = (box.Work() / "run.log").string();
        ASSERT_TRUE(OpenLog(context, logHost));
        dm.OCI.User = "scott";
        dm.OCI.Password = "tiger";
        dm.OCI.ConnStr = database;
        ASSERT_TRUE(dm.OCI.Connect()) << dm.OCI.ErrMsg();
        for (const char* table : {"T1", "T2", "T3"})
            context.JobList.Add(table, (box.Work() / (std::string(table) + ".csv")).string()).Selected = true;
    }
    void TearDown() override {
        CloseLog();
        if (dm.OCI.Connected) dm.OCI.DisConnect();
    }

    std::vector<std::string> LogCodes() {
        CloseLog();
        return Codes(ParseLog(ReadFile(box.Work() / "run.log")));
    }

    std::string Count(const std::string& table) {
        ProcessResult result = box.Sql(database, "select count(*) from " + table + ";\n");
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out.substr(result.out.find('\n') + 1);
    }

    // Answers the log's own message, should it have one.
    struct QuietHost : Host {
        int MessageBox(const std::string&, MsgIcon, MsgButtons) override { return kMsgOk; }
    };

    Sandbox box;
    std::string database;
    TransferSettings settings;
    RunContext context;
    QuietHost logHost;
    Tdm dm;
};

struct CancelCase {
    const char* name;
    bool errStop;
    std::vector<std::string> codes;
    std::string thirdRows;
    std::string finalMessage;
};

class CancelInJobTwo : public ThreadRun, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelInJobTwo, IsAskedConfirmedAndEndsOnlyThatJobUnlessErrStop) {
    const CancelCase& c = GetParam();
    settings.ErrStop = c.errStop;
    CancellingHost host(context, nullptr);
    TOracle thread(&dm, host, settings, context);
    PreviewPlanner planner(dm, nullptr);
    thread.SetPlanner(&planner);
    host.Watch(thread, context);
    host.cancelTable = "T2";
    thread.Resume();
    thread.JobListRun = true;
    thread.Interactive = true;
    thread.Start();
    thread.WaitIdle();

    EXPECT_EQ(LogCodes(), c.codes);
    const JobList& jobs = context.JobList;
    EXPECT_EQ(jobs[0].Result, 0);
    EXPECT_EQ(jobs[0].SuccessText, "50");
    EXPECT_EQ(jobs[1].Result, -1);
    EXPECT_EQ(jobs[1].Status, "キャンセルしました。");
    if (c.errStop) {
        EXPECT_EQ(jobs[2].Status, "");
        EXPECT_EQ(jobs[2].RecordText, "");
    } else {
        EXPECT_EQ(jobs[2].Result, 0);
        EXPECT_EQ(jobs[2].SuccessText, "50");
    }
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0], "キャンセルしますか？");
    EXPECT_EQ(host.boxes[1], c.finalMessage);
    EXPECT_EQ(Count("T1"), "50\n");
    EXPECT_EQ(Count("T2"), "0\n");  // rolled back: nothing was committed before the cancel
    EXPECT_EQ(Count("T3"), c.thirdRows + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    E2e, CancelInJobTwo,
    ::testing::Values(
        CancelCase{"GoesOn", false, {"S", "H", "O", "C", "O", "F", "Q"}, "50", "インポートを完了しました。"},
        CancelCase{"ErrStop", true, {"S", "H", "O", "C", "F", "Q"}, "0", "キャンセルしました。"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ThreadRun, OneParkedThreadRunsAnImportAndThenAnExport) {
    HeadlessHost host(context, nullptr);
    std::atomic<int> completions{0};  // outlives the thread, whose last wake-up counts too
    PreviewPlanner planner(dm, nullptr);
    TOracle thread(&dm, host, settings, context);
    thread.SetPlanner(&planner);
    thread.SetOnWorkDone([&](void*, TThreadEx&) { ++completions; }, nullptr);
    thread.Resume();
    thread.WaitIdle();

    thread.JobListRun = true;
    thread.Start();
    thread.WaitIdle();
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(Count("T3"), "50\n");

    settings.Mode = 1;
    context.JobList.Clear();
    context.JobList.Add("T2", (box.Work() / "t2-out.csv").string()).Selected = true;
    thread.Start();
    thread.WaitIdle();
    EXPECT_EQ(completions, 2);
    EXPECT_EQ(LogCodes(), (std::vector<std::string>{"S", "H", "O", "O", "O", "F", "H", "O", "F", "Q"}));
    // Text values are written between the delimiters.
    std::string expected;
    for (int i = 1; i <= 50; ++i) expected += std::to_string(i) + ",\"name " + std::to_string(i) + "\"\r\n";
    EXPECT_EQ(ReadFile(box.Work() / "t2-out.csv"), expected);
    EXPECT_EQ(thread.Outcome().Runs, 2);
    EXPECT_EQ(thread.Outcome().NonZeroResults, 0);
}

}  // namespace
}  // namespace tabrook::e2e
