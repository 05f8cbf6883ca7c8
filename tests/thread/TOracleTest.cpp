// The batch runner on the parked thread, with scripted transfers standing in for the engines:
// the reset pass, the run pass, job fields and rows, the log lines H/O/C/E/F, ErrStop,
// the cancel question during job 2 of 3, the final messages, the single run, the Running flag
// and the reuse of one thread for several runs. (The same paths through the real engines
// and the embedded database are covered by the end-to-end tests.)

#include <gtest/gtest.h>

// Scripts name only the fields a case needs.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "transfer/Host.h"
#include "transfer/RunContext.h"
#include "transfer/RunLog.h"
#include "transfer/TOracle.h"
#include "transfer/TransferSettings.h"

namespace tabrook {
namespace {

namespace fs = std::filesystem;

// What a scripted transfer does: its check result, its engine result, counters and status.
struct Script {
    int check = 0;
    int result = 0;
    int records = 0;
    int successes = 0;
    int errors = 0;
    std::string message;
    // Lines to "read"; when cancelAtLine is reached the user interface requests a cancel, and
    // the transfer asks the question as the engines do.
    int cancelAtLine = -1;
};

// Records everything the runner shows and answers the cancel question.
class TestHost : public Host {
public:
    explicit TestHost(RunContext& context) : context_(context) {}
    int MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override {
        std::lock_guard lock(mutex);
        boxes.push_back({text, icon});
        if (buttons == MsgButtons::YesNo) return answerYes ? kMsgYes : kMsgNo;
        return kMsgOk;
    }
    void Step(const std::string& step) {
        std::lock_guard lock(mutex);
        steps.push_back(step);
    }
    void ShowJobRow(std::size_t index, const Job& job) override {
        std::lock_guard lock(mutex);
        steps.push_back("row:" + std::to_string(index) + ":" + job.Status + "|" + job.RecordText + "|" +
                        job.SuccessText + "|" + job.ErrorText);
    }
    struct Box {
        std::string text;
        MsgIcon icon;
    };
    std::mutex mutex;
    std::vector<Box> boxes;
    std::vector<std::string> steps;
    bool answerYes = true;

private:
    RunContext& context_;
};

class ScriptedOracle : public TOracle {
public:
    ScriptedOracle(TestHost& host, const TransferSettings& settings, RunContext& context)
        : TOracle(nullptr, host, settings, context), host_(&host) {}
    ~ScriptedOracle() override { EndWorker(); }

    std::map<std::string, Script> scripts;
    std::vector<std::string> ran;  // tables whose engine ran
    std::atomic<bool> runningSeenInWork{false};

protected:
    TransferPlan PlanJob(const Job& job, const TransferSettings& settings) override {
        host_->Step("table:" + job.Table);
        host_->Step("csv:" + job.Csv);
        return TOracle::PlanJob(job, settings);
    }
    int CheckTransfer(const TransferPlan& plan, std::string& message) override {
        const Script& script = scripts[plan.Table];
        if (script.check != 0) message = "check refused " + plan.Table;
        return script.check;
    }
    int RunTransfer(const TransferPlan& plan, std::string& message) override {
        const std::string& table = plan.Table;
        runningSeenInWork = Context().Running.load();
        ran.push_back(table);
        const Script& script = scripts[table];
        for (int line = 0; line < script.cancelAtLine + 5 && script.cancelAtLine >= 0; ++line) {
            ++RecordCount;
            ++SuccessCount;
            if (line == script.cancelAtLine) CancelRequest = true;  // Esc pressed
            if (CancelRequest) {
                if (host_->MessageBox("キャンセルしますか？", MsgIcon::Question, MsgButtons::YesNo) == kMsgYes) {
                    message = "キャンセルしました。";
                    return -1;
                }
                CancelRequest = false;
            }
        }
        if (script.cancelAtLine >= 0) return 0;
        RecordCount = script.records;
        SuccessCount = script.successes;
        ErrorCount = script.errors;
        message = script.message;
        return script.result;
    }

private:
    TestHost* host_;
};

// One log line split at its tabs, the time stamp checked and dropped.
std::vector<std::vector<std::string>> ReadLog(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    std::vector<std::vector<std::string>> lines;
    std::size_t start = 0;
    static const std::regex stamp(R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2})");
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "line without CR LF";
        if (end == std::string::npos) break;
        std::string line = text.substr(start, end - start);
        std::vector<std::string> fields;
        std::size_t pos = 0;
        while (true) {
            std::size_t tab = line.find('\t', pos);
            fields.push_back(line.substr(pos, tab - pos));
            if (tab == std::string::npos) break;
            pos = tab + 1;
        }
        EXPECT_GE(fields.size(), 2u);
        if (fields.size() >= 2) {
            EXPECT_TRUE(std::regex_match(fields[1], stamp)) << fields[1];
            fields.erase(fields.begin() + 1);
        }
        lines.push_back(fields);
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> Codes(const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::string> codes;
    for (const auto& line : lines) codes.push_back(line[0]);
    return codes;
}

class TOracleTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("tabrook-oracle-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        context.LogFile = (folder / "run.log").string();
        ASSERT_TRUE(OpenLog(context, host));
        thread.Resume();
        thread.WaitIdle();
    }
    void TearDown() override {
        CloseLog();
        fs::remove_all(folder);
    }

    void AddJob(const std::string& table, Script script, bool selected = true) {
        Job& job = context.JobList.Add(table, table + ".csv");
        job.Selected = selected;
        thread.scripts[table] = std::move(script);
    }

    void RunJobList(bool interactive = true) {
        thread.JobListRun = true;
        thread.Interactive = interactive;
        thread.Start();
        thread.WaitIdle();
    }

    std::vector<std::vector<std::string>> FinishLog() {
        CloseLog();
        EXPECT_FALSE(fs::exists(folder / "run.tmp"));
        return ReadLog(folder / "run.log");
    }

    fs::path folder;
    TransferSettings settings;
    RunContext context;
    TestHost host{context};
    ScriptedOracle thread{host, settings, context};
};

TEST_F(TOracleTest, JobListRunLogsEachJobAndGoesOnAfterAFailedCheck) {
    AddJob("T1", {.records = 10, .successes = 9, .errors = 1, .message = ""});
    AddJob("T2", {.check = 6});
    AddJob("T3", {.result = 12, .records = 300, .successes = 200, .errors = 100, .message = "中断しました。"});
    RunJobList();

    auto log = FinishLog();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "E006", "E012", "F", "Q"}));
    ASSERT_EQ(log[1].size(), 14u);      // H, the twelve settings and the library in use
    EXPECT_EQ(log[1][13], "Library=");  // no session in this test
    EXPECT_EQ(log[1][1], "Mode=Import");
    EXPECT_EQ(log[1][2], "Separator=,");
    EXPECT_EQ(log[1][12], "ErrStop=False");
    // An import's line ends with the split of its lines read: inserted, updated, skipped.
    EXPECT_EQ(log[2], (std::vector<std::string>{"O", "T1", "T1.csv", "10", "9", "1", "", "Inserted=9", "Updated=0",
                                                "Skipped=0"}));
    EXPECT_EQ(log[3], (std::vector<std::string>{"E006", "T2", "T2.csv", "0", "0", "0", "check refused T2",
                                                "Inserted=0", "Updated=0", "Skipped=0"}));
    EXPECT_EQ(log[4], (std::vector<std::string>{"E012", "T3", "T3.csv", "300", "200", "100", "中断しました。",
                                                "Inserted=200", "Updated=0", "Skipped=0"}));

    const JobList& jobs = context.JobList;
    EXPECT_EQ(jobs[1].Result, 6);
    EXPECT_EQ(jobs[1].Status, "check refused T2");
    EXPECT_EQ(jobs[1].RecordText, "0");
    EXPECT_EQ(jobs[2].ErrorText, "100");
    EXPECT_EQ(thread.ran, (std::vector<std::string>{"T1", "T3"}));
    ASSERT_EQ(host.boxes.size(), 1u);
    // Failed jobs make the end a warning that counts them, not a success.
    EXPECT_EQ(host.boxes[0].text, "インポートを終了しました。\n2件のジョブが失敗しました。JobListで確認してください。");
    EXPECT_EQ(host.boxes[0].icon, MsgIcon::Warning);

    RunOutcome outcome = thread.Outcome();
    EXPECT_EQ(outcome.Transfers, 3);
    EXPECT_EQ(outcome.NonZeroResults, 2);
    EXPECT_EQ(outcome.RefusedRows, 101);
}

// A transfer whose lines read are not all accounted for fails, whatever its engine said; an
// export's line keeps its fields as they were.
TEST_F(TOracleTest, CountsThatDoNotAddUpFailTheJob) {
    AddJob("T1", {.records = 10, .successes = 8, .errors = 1, .message = "インポートを完了しました。"});
    AddJob("T2", {.records = 4, .successes = 4});
    RunJobList(false);
    auto log = FinishLog();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "E998", "O", "F", "Q"}));
    // (the log drops the line feed between the two)
    EXPECT_EQ(log[2][6], "件数が合いません。(読込 10 ≠ 挿入 8 + 更新 0 + エラー 1 + スキップ 0)"
                         "インポートを完了しました。");
    EXPECT_EQ(context.JobList[0].Status,
              "件数が合いません。(読込 10 ≠ 挿入 8 + 更新 0 + エラー 1 + スキップ 0)\nインポートを完了しました。");
    EXPECT_EQ(context.JobList[0].Result, 998);
    EXPECT_EQ(context.JobList[1].Result, 0);
}

TEST_F(TOracleTest, ResetPassEmptiesEverySelectedRowBeforeTheFirstJobRuns) {
    AddJob("A", {.records = 1, .successes = 1});
    AddJob("B", {}, /*selected=*/false);
    AddJob("C", {.records = 2, .successes = 2});
    context.JobList[0].Status = "old";
    context.JobList[1].Status = "untouched";
    RunJobList();
    std::vector<std::string> expected = {
        "row:0:|||", "row:2:|||",                  // reset pass
        "table:A",   "csv:A.csv", "row:0:|1|1|0",  // job A
        "table:C",   "csv:C.csv", "row:2:|2|2|0",  // job C
    };
    EXPECT_EQ(host.steps, expected);
    EXPECT_EQ(context.JobList[1].Status, "untouched");
    // The progress counts the jobs that ran, and ends on the last one's final counts.
    const TransferProgress::Snapshot progress = thread.ProgressSink().Read();
    EXPECT_EQ(std::make_tuple(progress.JobNumber, progress.JobTotal, progress.Records, progress.Success),
              std::make_tuple(2, 2, 2LL, 2LL));
    EXPECT_TRUE(progress.JobDone);
    EXPECT_FALSE(progress.Running);
}

TEST_F(TOracleTest, ErrStopEndsTheRunAfterTheFirstFailedJobAndLaterJobsStayEmpty) {
    settings.ErrStop = true;
    AddJob("T1", {.records = 5, .successes = 5});
    AddJob("T2", {.result = 999, .message = "ORA-00942: table or view does not exist\nsecond line"});
    AddJob("T3", {.records = 7, .successes = 7});
    context.JobList[2].Status = "stale";
    RunJobList();

    auto log = FinishLog();
    ASSERT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "E999", "F", "Q"}));
    // The line feed of a two-line message is removed, the line stays one line.
    EXPECT_EQ(log[3][6], "ORA-00942: table or view does not existsecond line");
    const Job& third = context.JobList[2];
    EXPECT_EQ(third.Status, "");
    EXPECT_EQ(third.RecordText, "");
    EXPECT_EQ(third.SuccessText, "");
    EXPECT_EQ(third.ErrorText, "");
    EXPECT_EQ(thread.ran, (std::vector<std::string>{"T1", "T2"}));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text,
              "インポートを終了しました。\n1件のジョブが失敗しました。JobListで確認してください。\n"
              "後続のジョブはキャンセルしました。");
}

TEST_F(TOracleTest, RefusedRowsAloneDoNotStopAnErrStopRun) {
    settings.ErrStop = true;
    AddJob("T1", {.records = 5, .successes = 3, .errors = 2});
    AddJob("T2", {.records = 1, .successes = 1});
    RunJobList();
    EXPECT_EQ(thread.ran, (std::vector<std::string>{"T1", "T2"}));
    EXPECT_EQ(host.boxes.back().text, "インポートを完了しました。");
}

struct CancelCase {
    const char* name;
    bool errStop;
    std::vector<std::string> codes;
    std::vector<std::string> ran;
    const char* finalMessage;
};

class CancelDuringJobTwo : public TOracleTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelDuringJobTwo, ConfirmedCancelEndsOnlyThatJobUnlessErrStop) {
    const CancelCase& c = GetParam();
    settings.ErrStop = c.errStop;
    AddJob("T1", {.records = 3, .successes = 3});
    AddJob("T2", {.cancelAtLine = 4});
    AddJob("T3", {.records = 2, .successes = 2});
    RunJobList();

    auto log = FinishLog();
    EXPECT_EQ(Codes(log), c.codes);
    EXPECT_EQ(log[3], (std::vector<std::string>{"C", "T2", "T2.csv", "5", "5", "0", "キャンセルしました。",
                                                "Inserted=5", "Updated=0", "Skipped=0"}));
    const Job& second = context.JobList[1];
    EXPECT_EQ(second.Result, -1);
    EXPECT_EQ(second.Status, "キャンセルしました。");
    EXPECT_EQ(thread.ran, c.ran);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].text, "キャンセルしますか？");
    EXPECT_EQ(host.boxes[1].text, c.finalMessage);
    if (c.errStop) {
        EXPECT_EQ(context.JobList[2].Status, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Thread, CancelDuringJobTwo,
    ::testing::Values(
        CancelCase{
            "GoesOn", false, {"S", "H", "O", "C", "O", "F", "Q"}, {"T1", "T2", "T3"}, "インポートを完了しました。"},
        CancelCase{"ErrStop", true, {"S", "H", "O", "C", "F", "Q"}, {"T1", "T2"}, "キャンセルしました。"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TOracleTest, DeclinedCancelQuestionLetsTheJobFinish) {
    host.answerYes = false;
    AddJob("T1", {.cancelAtLine = 1});
    RunJobList();
    auto log = FinishLog();
    EXPECT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "F", "Q"}));
    EXPECT_EQ(context.JobList[0].RecordText, "6");
}

TEST_F(TOracleTest, JobListWithoutSelectedJobsWritesOnlyHAndF) {
    AddJob("T1", {}, false);
    RunJobList();
    auto log = FinishLog();
    EXPECT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "F", "Q"}));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "インポートを完了しました。");
}

TEST_F(TOracleTest, NonInteractiveJobListRunShowsNoFinalMessage) {
    settings.Mode = 1;
    AddJob("T1", {.records = 1, .successes = 1});
    RunJobList(/*interactive=*/false);
    EXPECT_TRUE(host.boxes.empty());
    auto log = FinishLog();
    EXPECT_EQ(log[1][1], "Mode=Export");
}

TEST_F(TOracleTest, StopBeforeAJobLeavesTheRunPass) {
    // The first job's engine asks the thread to stop, as closing the program does.
    class StoppingOracle : public ScriptedOracle {
    public:
        using ScriptedOracle::ScriptedOracle;
        ~StoppingOracle() override { EndWorker(); }

    protected:
        int RunTransfer(const TransferPlan& plan, std::string& message) override {
            StopRequested = true;
            return ScriptedOracle::RunTransfer(plan, message);
        }
    };
    CloseLog();
    StoppingOracle stopping(host, settings, context);
    ASSERT_TRUE(OpenLog(context, host));
    context.JobList.Add("T1", "a.csv").Selected = true;
    context.JobList.Add("T2", "b.csv").Selected = true;
    stopping.Resume();
    stopping.JobListRun = true;
    stopping.Start();
    stopping.WaitIdle();
    auto log = FinishLog();
    EXPECT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "F", "Q"}));
    EXPECT_EQ(stopping.ran, (std::vector<std::string>{"T1"}));
    EXPECT_EQ(context.JobList[1].RecordText, "");  // the stop came before job 2 started
}

struct SingleCase {
    const char* name;
    int mode;
    bool autoClose;
    Script script;
    std::string code;
    std::vector<std::string> boxes;
    MsgIcon icon;
};

class SingleRun : public TOracleTest, public ::testing::WithParamInterface<SingleCase> {};

TEST_P(SingleRun, LogsOneTransferAndReportsItUnlessAutoClose) {
    const SingleCase& c = GetParam();
    settings.Mode = c.mode;
    context.AutoClose = c.autoClose;
    TargetFacts facts;
    facts.TableName = "EMP";
    facts.CsvFile = "/data/emp.csv";
    TransferSettings planned = settings;
    thread.SetSinglePlan(BuildTransferPlan({}, planned, facts));
    thread.scripts["EMP"] = c.script;
    thread.JobListRun = false;
    thread.Interactive = true;
    thread.Start();
    thread.WaitIdle();

    auto log = FinishLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(Codes(log), (std::vector<std::string>{"S", "H", c.code, "F", "Q"}));
    EXPECT_EQ(log[2][1], "EMP");
    EXPECT_EQ(log[2][2], "/data/emp.csv");
    std::vector<std::string> shown;
    for (const auto& box : host.boxes) shown.push_back(box.text);
    EXPECT_EQ(shown, c.boxes);
    if (!host.boxes.empty()) {
        EXPECT_EQ(host.boxes.back().icon, c.icon);
    }
    // A single run runs the plan it was given: it plans nothing itself.
    EXPECT_TRUE(host.steps.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Thread, SingleRun,
    ::testing::Values(
        SingleCase{"ImportDone",
                   0,
                   false,
                   {.records = 3, .successes = 3},
                   "O",
                   {"インポートを完了しました。"},
                   MsgIcon::Information},
        SingleCase{"ExportDone",
                   1,
                   false,
                   {.records = 3, .successes = 3},
                   "O",
                   {"エクスポートを完了しました。"},
                   MsgIcon::Information},
        SingleCase{"Failed",
                   0,
                   false,
                   {.result = 7, .message = "nothing to import"},
                   "E007",
                   {"nothing to import"},
                   MsgIcon::Warning},
        SingleCase{"FailedWithoutText", 0, false, {.result = 1}, "E001", {}, MsgIcon::Warning},
        SingleCase{"AutoCloseShowsNothing", 0, true, {.records = 1, .successes = 1}, "O", {}, MsgIcon::Information},
        SingleCase{"LongResult", 1, true, {.result = 1234}, "E1234", {}, MsgIcon::Warning}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TOracleTest, RunningIsSetExactlyWhileTheRunIsInProgress) {
    std::atomic<int> runningInCompletion{-1};
    thread.SetOnWorkDone([&](void*, TThreadEx&) { runningInCompletion = context.Running ? 1 : 0; }, nullptr);
    AddJob("T1", {.records = 1, .successes = 1});
    RunJobList();
    EXPECT_TRUE(thread.runningSeenInWork);
    EXPECT_EQ(runningInCompletion, 0);
    EXPECT_FALSE(context.Running);
    // The routine refers to this test's locals: the fixture's thread outlives them.
    thread.SetOnWorkDone(nullptr, nullptr);
}

TEST_F(TOracleTest, OneThreadServesManyRunsAndAStaleCancelIsClearedAtStart) {
    AddJob("T1", {.records = 1, .successes = 1});
    for (int run = 0; run < 3; ++run) {
        thread.CancelRequest = true;  // Esc pressed while nothing ran
        RunJobList(false);
    }
    auto log = FinishLog();
    EXPECT_EQ(Codes(log), (std::vector<std::string>{"S", "H", "O", "F", "H", "O", "F", "H", "O", "F", "Q"}));
    EXPECT_EQ(thread.Outcome().Runs, 3);
    EXPECT_EQ(thread.Outcome().NonZeroResults, 0);
}

}  // namespace
}  // namespace tabrook
