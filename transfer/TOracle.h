#pragma once
// The transfer thread: one long-lived parked worker that runs either one transfer from the plan
// the window made (a single run) or the selected jobs of the job list one after another (a
// job-list run), planning each job itself. It writes the settings line and one log line per
// transfer and keeps each job's status and counts. It never waits for the window: counts go to
// its progress sink, job rows are handed to the host to show when it can, and only questions
// and message boxes wait for the user. The user interface sets JobListRun, Interactive and
// CancelRequest (and the plan of a single run), then calls Start.

#include <atomic>
#include <cstddef>
#include <string>

#include "transfer/RunSummary.h"
#include "transfer/TThreadEx.h"
#include "transfer/TransferJobState.h"
#include "transfer/TransferPlan.h"
#include "transfer/TransferProgress.h"

namespace tabrook {

class Host;
class JobPlanner;
class Tdm;
struct Job;
struct RunContext;
struct TransferSettings;

// What the runs since the thread was created came to; read while the thread is idle.
struct RunOutcome {
    int Runs = 0;               // DoWork calls that ran
    int Transfers = 0;          // transfers that reached their check or engine
    int NonZeroResults = 0;     // transfers that ended with a result other than 0
    long long RefusedRows = 0;  // rows refused over all transfers
};

class TOracle : public TThreadEx, public TransferJobState {
public:
    // dm gives the engines their session and cursor; host receives the questions, the boxes and
    // the job rows (see Host.h); settings and context are what the runs read (and, for the
    // context, the job list they update and the Running flag). All must outlive the thread.
    TOracle(Tdm* dm, Host& host, const TransferSettings& settings, RunContext& context);
    ~TOracle() override;

    // Index in the job list of the job being run.
    std::atomic<std::size_t> JobIndex{0};
    // At the end of a job-list run, report the outcome in a message box.
    std::atomic<bool> Interactive{false};

    // The plan of the next single run, and the rows it is expected to write (an export whose
    // table was counted; 0: unknown). Set on the user interface thread before Start.
    void SetSinglePlan(TransferPlan plan, long long expectedRows = 0);
    const TransferPlan& SinglePlan() const { return singlePlan_; }
    long long SingleExpectedRows() const { return singleExpectedRows_; }
    // Plans the jobs of job-list runs; null plans each job from its names alone.
    void SetPlanner(JobPlanner* planner) { planner_ = planner; }
    // Where the counts of the runs go; the window reads it on a timer.
    TransferProgress& ProgressSink() { return progress_; }

    bool StopPending() const override { return StopRequested || Terminated(); }

    // Totals of every run so far; stable only while the thread is idle.
    RunOutcome Outcome() const;

protected:
    void DoWork() override;

    // The plan of a job of a job-list run (the planner's, or the job's names alone).
    virtual TransferPlan PlanJob(const Job& job, const TransferSettings& settings);
    // The pre-run check of the plan (0: the transfer may start).
    virtual int CheckTransfer(const TransferPlan& plan, std::string& message);
    // The engine of the plan's mode; returns its result code.
    virtual int RunTransfer(const TransferPlan& plan, std::string& message);

    const TransferSettings& Settings() const { return settings_; }
    RunContext& Context() const { return context_; }
    Host& TheHost() const { return host_; }

private:
    void RunJobList(const TransferSettings& settings, const std::string& settingsLine);
    void RunSingle(const std::string& settingsLine);
    // Counts start at zero for a transfer whose file (an import's) has fileBytes bytes.
    void StartTransfer(int jobNumber, const TransferPlan& plan, long long expectedRows);
    void Record(int result);
    // The summary of the transfer that just ended (RunSummary.h), shown in the window's status;
    // a transfer whose counts do not add up gets result kSummaryMismatch and says so first.
    RunSummary Summarize(bool exportMode, int& result, std::string& message);
    // Hands job index's row to the host, which shows it when it can.
    void ShowJobRow(std::size_t index);

    Tdm* dm_;
    Host& host_;
    const TransferSettings& settings_;
    RunContext& context_;
    JobPlanner* planner_ = nullptr;
    TransferPlan singlePlan_;
    long long singleExpectedRows_ = 0;
    TransferProgress progress_;
    RunOutcome outcome_;
};

// The completion message of a run in the given mode.
const char* CompletionMessage(bool exportMode);
// The message of a job-list run that ErrStop ended.
extern const char* const kCancelledMessage;

}  // namespace tabrook
