#pragma once
// The transfer thread: one long-lived parked worker that runs either one transfer of the
// current table and CSV file (a single run) or the selected jobs of the job list one after
// another (a job-list run). It writes the settings line and one log line per transfer, keeps
// each job's status and counts, and reaches the windows only through the host's synchronized
// steps. The user interface sets JobListRun, Interactive and CancelRequest, then calls Start.

#include <atomic>
#include <cstddef>
#include <string>

#include "transfer/TThreadEx.h"
#include "transfer/TransferJobState.h"

namespace tabrook {

class Host;
class Tdm;
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
    // dm gives the engines their session and cursor; host receives every call the thread makes
    // towards the user (see Host.h); settings and context are what the runs read (and, for the
    // context, the job list they update and the Running flag). All must outlive the thread.
    TOracle(Tdm* dm, Host& host, const TransferSettings& settings, RunContext& context);
    ~TOracle() override;

    // Index in the job list of the job being run.
    std::atomic<std::size_t> JobIndex{0};
    // At the end of a job-list run, report the outcome in a message box.
    std::atomic<bool> Interactive{false};

    // Synchronized steps: each runs on the user interface side while this thread waits.
    void SyncReadColumns() override;
    void SyncShowCounts() override;
    void SyncShowJobTable();
    void SyncShowJobCsv();
    void SyncShowJobRow();

    bool StopPending() const override { return StopRequested || Terminated(); }

    // Totals of every run so far; stable only while the thread is idle.
    RunOutcome Outcome() const;

protected:
    void DoWork() override;

    // The pre-run check of the current mode on the run context (0: the transfer may start).
    virtual int CheckTransfer(bool exportMode, std::string& message);
    // The engine of the current mode on table and csv; returns its result code.
    virtual int RunTransfer(bool exportMode, const std::string& table, const std::string& csv, std::string& message);

    const TransferSettings& Settings() const { return settings_; }
    RunContext& Context() const { return context_; }
    Host& TheHost() const { return host_; }

private:
    void RunJobList(bool exportMode, const std::string& settingsLine);
    void RunSingle(bool exportMode, const std::string& settingsLine);
    void Record(int result);

    Tdm* dm_;
    Host& host_;
    const TransferSettings& settings_;
    RunContext& context_;
    RunOutcome outcome_;
};

// The completion message of a run in the given mode.
const char* CompletionMessage(bool exportMode);
// The message of a job-list run that ErrStop ended.
extern const char* const kCancelledMessage;

}  // namespace tabrook
