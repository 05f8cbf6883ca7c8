#pragma once
// The program's start and end without windows: built-in defaults, stored settings, the command
// line, the log, the OCI check, the logon, the job list file, the auto-start run, the
// completion routine of every run, the close, and the exit status of an unattended run.
//
// The windows (when there are any) take part through StartUi: they show the connection and the
// settings, enable and disable their controls, and carry posted calls to their thread. The
// unattended program uses a StartUi that has nothing to show.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/PreviewPlanner.h"

namespace tabrook {

class Host;
class Tdm;
class TOracle;
struct RunContext;
struct TransferSettings;

// What the start sequence asks of the windows. Every step but PostToUi and Quit has a default
// that does nothing, which is what a program without windows does.
class StartUi {
public:
    virtual ~StartUi() = default;
    // Queues call to run later on the user interface thread (never runs it at once).
    virtual void PostToUi(std::function<void()> call) = 0;
    // Ends the message loop with the given status.
    virtual void Quit(int status) = 0;
    // Caption and the connection-dependent controls; caption is "Tabrook+  [user @ conn]" or
    // "Tabrook+ ".
    virtual void ShowConnectionState(bool connected, const std::string& caption) {
        (void)connected;
        (void)caption;
    }
    // Copies the transfer settings into the controls.
    virtual void ShowSettings() {}
    // The timestamp format field is usable only with a client of level 9.
    virtual void SetTimestampFieldEnabled(bool enabled) { (void)enabled; }
    // The two panels and the grid: disabled during a run.
    virtual void SetRunControlsEnabled(bool enabled) { (void)enabled; }
    // The job list window, when it is shown, comes to the front after a job-list run.
    virtual bool JobWindowVisible() { return false; }
    virtual void BringJobWindowToFront() {}
    // Makes the job list window's rows the job list before a run (when that window exists).
    virtual void SyncJobList() {}
};

class StartSequence {
public:
    // The unattended exit statuses: success, a failure, rows refused but every job ended well.
    static constexpr int kExitSuccess = 0;
    static constexpr int kExitFailure = 1;
    static constexpr int kExitRowsRefused = 2;

    // settings and context are the program's one instance of each; the sequence fills them at
    // the start and hands them to the transfer thread. All must outlive the sequence.
    StartSequence(Tdm& dm, Host& host, StartUi& ui, TransferSettings& settings, RunContext& context);
    ~StartSequence();
    StartSequence(const StartSequence&) = delete;
    StartSequence& operator=(const StartSequence&) = delete;

    // Runs the start: defaults, stored settings, command line (args without the program name),
    // log, OCI check, logon, job list file, and posts the auto-start run when asked. False when
    // OCI cannot be used at all: the program then quits (the quit is already requested).
    bool Start(const std::vector<std::string>& args);

    // Handler of the posted auto-start request: starts the job-list run, or closes at once when
    // an unattended start already failed.
    void AutoStartRun();

    // Completion routine of the transfer thread, called on that thread after every wake-up.
    void RunFinished();

    // The close handling. While a run is in progress it requests the cancel and refuses (false).
    // Otherwise it stores the settings, stops the thread, logs off, releases OCI and closes the
    // log, and returns true: the program may end.
    bool FormCloseQuery();

    // Asks for the close from any thread: posted to the user interface thread; when the close is
    // allowed the message loop ends with ExitStatus().
    void PostCloseRequest();

    // The exit status: 0 for an interactive session. For an unattended run: 1 when the start
    // failed or a transfer ended with a result other than 0, else 2 when rows were refused,
    // else 0. Also 1 when the unattended run had nothing it could run.
    int ExitStatus() const;

    // The one line an unattended run that ended with status (1 or 2) writes on standard error,
    // where a scheduler's mail shows it: what failed, how many rows were refused, where the
    // log is. Empty for status 0.
    std::string UnattendedOutcomeLine(int status) const;

    // The caption for the session state, as ShowConnection shows it.
    std::string ConnectionCaption() const;
    // Caption and controls from the session state; when not connected the session's ErrMsg
    // is shown (unless AutoClose).
    void ShowConnection();

    // After a logon to the embedded engine failed because its database file does not exist:
    // asks whether to create it (not under AutoClose), creates it with the logon's user and
    // password as its first account and logs on. True when the session is now connected.
    bool OfferDatabaseCreation();

    // Stores the connection values (after a successful logon).
    void StoreConnection();

    TOracle& Thread() { return *thread_; }
    // Where the previews of a job-list run's jobs are shown, called on the user interface
    // thread (unset: they are not shown, as in a program without windows).
    void SetJobPreviewSink(std::function<void(const JobPreview&)> sink) { jobPreviewSink_ = std::move(sink); }
    bool StartFailed() const { return startFailed_; }
    bool Closed() const { return closed_; }
    // An unattended start that found nothing it could run (no connection or no job list file).
    bool NothingRan() const { return nothingRan_; }
    // Initial folder of the CSV file dialogs, from the stored "Folder".
    const std::string& OpenFolder() const { return openFolder_; }
    const CommandLineResult& CommandLine() const { return commandLine_; }

private:
    void CopyLogonToSession();
    void CopySessionToLogon();
    bool Unattended() const;

    Tdm& dm_;
    Host& host_;
    StartUi& ui_;
    TransferSettings& settings_;
    RunContext& context_;
    std::function<void(const JobPreview&)> jobPreviewSink_;
    // Declared before the thread, which uses it until it is destroyed.
    PreviewPlanner planner_;
    std::unique_ptr<TOracle> thread_;
    LogonValues logon_;
    CommandLineResult commandLine_;
    std::string openFolder_;
    bool startFailed_ = false;
    bool ociUnusable_ = false;
    bool nothingRan_ = false;
    std::atomic<bool> closed_{false};
    bool closePosted_ = false;
};

}  // namespace tabrook
