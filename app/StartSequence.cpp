#include "app/StartSequence.h"

#include <cstdio>
#include <cstdlib>

#include "app/BuiltInDefaults.h"
#include "app/EmbeddedDatabase.h"
#include "app/MainController.h"
#include "app/RegistrySettings.h"
#include "oci/OciLibrary.h"
#include "transfer/Host.h"
#include "transfer/JobListFile.h"
#include "transfer/RunContext.h"
#include "transfer/RunLog.h"
#include "transfer/TOracle.h"
#include "transfer/Tdm.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

namespace {

constexpr const char* kOciUnusable = "OCIが使用できません。";
constexpr const char* kPasswordVariable = "TABROOK_PASSWORD";
constexpr const char* kNoPassword =
    "no password: give USER=user/password@database or set TABROOK_PASSWORD for USER=user@database";

// One line on standard error, where a scheduler's mail shows it.
void SayOnStandardError(const std::string& text) {
    std::fprintf(stderr, "tabrook: %s\n", text.c_str());
    std::fflush(stderr);
}

}  // namespace

StartSequence::StartSequence(Tdm& dm, Host& host, StartUi& ui, TransferSettings& settings, RunContext& context)
    : dm_(dm),
      host_(host),
      ui_(ui),
      settings_(settings),
      context_(context),
      planner_(dm,
               [this](JobPreview preview) {
                   // Handed to the window's thread; the transfer thread does not wait for it.
                   if (!jobPreviewSink_) return;
                   ui_.PostToUi([this, preview = std::move(preview)] {
                       if (jobPreviewSink_ && !closed_) jobPreviewSink_(preview);
                   });
               }),
      thread_(std::make_unique<TOracle>(&dm, host, settings, context)) {
    thread_->SetPlanner(&planner_);
}

StartSequence::~StartSequence() {
    // Destroying the thread wakes it once more; its completion routine must find nothing to do.
    closePosted_ = true;
    closed_ = true;
    thread_->Stop(false);
    thread_.reset();
}

bool StartSequence::Unattended() const {
    const RunContext& context = context_;
    return context.AutoStart && context.AutoClose;
}

void StartSequence::CopyLogonToSession() {
    dm_.OCI.User = logon_.User;
    dm_.OCI.Password = logon_.Password;
    dm_.OCI.ConnStr = logon_.ConnStr;
}

void StartSequence::CopySessionToLogon() {
    logon_.User = dm_.OCI.User;
    logon_.Password = dm_.OCI.Password;
    logon_.ConnStr = dm_.OCI.ConnStr;
}

bool StartSequence::Start(const std::vector<std::string>& args) {
    TransferSettings& settings = settings_;
    RunContext& context = context_;

    ApplyBuiltInDefaults(settings, context, logon_);
    context.JobList.Clear();

    // The worker parks itself at once and waits for its first run.
    thread_->SetOnWorkDone([](void* self, TThreadEx&) { static_cast<StartSequence*>(self)->RunFinished(); }, this);
    thread_->Resume();

    RegistrySettings(true, kConnectionPart | kTransferPart, SettingsTargets{settings, context, logon_, openFolder_});

    commandLine_ = ParseCommandLine(args, settings, context, logon_);
    ApplyAutoCloseRule(context);
    // A scheduler gives the password in the environment rather than on the command line,
    // where every user of the machine could read it in the process list.
    bool passwordMissing = false;
    if (commandLine_.UserGiven && !commandLine_.PasswordGiven) {
        if (const char* password = std::getenv(kPasswordVariable); password != nullptr) {
            logon_.Password = password;
        } else {
            passwordMissing = true;
        }
    }
    CopyLogonToSession();

    startFailed_ = false;
    // An unattended run has nobody to show a broken log to: it says so once on standard error
    // and goes on without the log.
    TheRunLog().SetFailureNotice(Unattended() ? std::function<void(const std::string&)>(SayOnStandardError)
                                              : std::function<void(const std::string&)>());
    OpenLog(context, host_);

    // An exception escaping the activation means the library cannot be used at all; a failure
    // reported by the result (no library, missing entry) surfaces at the logon below.
    try {
        dm_.OCI.Active();
    } catch (...) {
        WriteLog("I998", kOciUnusable);
        if (!context.AutoClose) host_.MessageBox(kOciUnusable, MsgIcon::Error, MsgButtons::Ok);
        ociUnusable_ = true;
        startFailed_ = true;
        // The program ends here: the log is closed so that it is found under its own name.
        closed_ = true;
        CloseLog();
        ui_.Quit(ExitStatus());
        return false;
    }

    if (context.AutoClose && dm_.OCI.FellBackToEmbedded()) {
        std::string reasons;
        for (const std::string& reason : dm_.OCI.LibraryLoadFailures()) reasons += " (" + reason + ")";
        SayOnStandardError("the Oracle client library could not be loaded" + reasons + "; using the embedded engine " +
                           dm_.OCI.LibraryPath());
    }

    const std::string& level = dm_.OCI.OCIVersion;
    ui_.SetTimestampFieldEnabled(!level.empty() && level[0] == '9');

    if (!commandLine_.DateFmtAside.empty() && dm_.CheckDateFormat(commandLine_.DateFmtAside))
        settings.DateFmt = commandLine_.DateFmtAside;
    if (!commandLine_.TimestampFmtAside.empty() && dm_.CheckTimestampFormat(commandLine_.TimestampFmtAside))
        settings.TimestampFmt = commandLine_.TimestampFmtAside;

    if (commandLine_.UserGiven && passwordMissing && !Unattended()) {
        dm_.OCI.Login();  // the dialog asks for the password the command line left out
    } else if (commandLine_.UserGiven && passwordMissing) {
        WriteLog("I999", kNoPassword);
        startFailed_ = true;
    } else if (commandLine_.UserGiven) {
        if (!dm_.OCI.Connect()) {
            WriteLog("I999", dm_.OCI.ErrMsg());
            startFailed_ = true;
        }
    } else {
        dm_.OCI.Login();
    }
    // A database file of the embedded engine that is not there yet is made on request.
    if (OfferDatabaseCreation()) startFailed_ = false;
    // A logon that succeeded with a warning (the password's grace period) is a session; the
    // warning is shown, or logged where nobody watches.
    if (dm_.OCI.Connected && !dm_.OCI.LogonWarning.empty()) {
        if (context.AutoClose) {
            WriteLog("W", dm_.OCI.LogonWarning);
        } else {
            host_.MessageBox(dm_.OCI.LogonWarning, MsgIcon::Warning, MsgButtons::Ok);
        }
    }
    CopySessionToLogon();
    ShowConnection();

    if (!startFailed_ && !context.ListFile.empty()) {
        int listMode = -1;
        if (!ReadJobList(context.ListFile, context, host_, &listMode)) {
            startFailed_ = true;
        } else if (listMode >= 0 && !commandLine_.ModeGiven) {
            // The list knows what it was made for: an import list must never run as an export
            // over its own input files (nor the reverse), whatever mode the window was left in.
            settings.Mode = listMode;
        } else if (listMode >= 0 && settings.Mode != listMode) {
            WriteLog("W", std::string("MODE=") + (settings.Mode == 1 ? "EXPORT" : "IMPORT") +
                              " overrides the job list's mode line (" + (listMode == 1 ? "EXPORT" : "IMPORT") + ")");
        }
    }

    SettleMode(settings);
    // The mode rule of the window's settings display holds with or without a window, so a
    // stored mode other than Import or Export is neither run nor written back.
    ApplyShownModeRule(settings);
    if (context.AutoStart) ui_.PostToUi([this] { AutoStartRun(); });
    ui_.ShowSettings();
    // An unattended run reads the stored settings but writes none back: its options are for
    // this run only, not for the next scheduled run of another job.
    if (dm_.OCI.Connected && !Unattended()) StoreConnection();
    return true;
}

std::string StartSequence::ConnectionCaption() const {
    if (!dm_.OCI.Connected) return "Tabrook+ ";
    // The embedded engine's default database is named by its file, like every other one.
    const std::string database = OciLibrary::IsEmbedded(dm_.OCI.LibraryPath()) ? EmbeddedDatabaseFile(dm_.OCI.ConnStr)
                                                                                 : dm_.OCI.ConnStr;
    return "Tabrook+  [" + dm_.OCI.User + " @ " + database + "]";
}

bool StartSequence::OfferDatabaseCreation() {
    TOCI8Ctrl& oci = dm_.OCI;
    if (context_.AutoClose || !MissingEmbeddedDatabase(oci)) return false;
    if (host_.MessageBox(CreateDatabaseQuestion(oci.ConnStr, oci.User), MsgIcon::Question, MsgButtons::YesNo) !=
        kMsgYes) {
        oci.ForgetError();  // the user has read why; no second box about it
        return false;
    }
    std::string failure;
    if (!CreateEmbeddedDatabase(oci.User, oci.Password, oci.ConnStr, failure)) {
        oci.ReportFailure(failure);
        return false;
    }
    return oci.Connect();
}

void StartSequence::ShowConnection() {
    ui_.ShowConnectionState(dm_.OCI.Connected, ConnectionCaption());
    if (!dm_.OCI.Connected && !dm_.OCI.ErrMsg().empty() && !context_.AutoClose)
        host_.MessageBox(dm_.OCI.ErrMsg(), MsgIcon::Error, MsgButtons::Ok);
}

void StartSequence::StoreConnection() {
    CopySessionToLogon();
    RegistrySettings(false, kConnectionPart, SettingsTargets{settings_, context_, logon_, openFolder_});
}

void StartSequence::AutoStartRun() {
    RunContext& context = context_;
    if (context.AutoClose && startFailed_) {
        PostCloseRequest();
        return;
    }
    for (std::size_t i = 0; i < context.JobList.Count(); ++i) context.JobList[i].Selected = true;
    if (context.AutoStart && dm_.OCI.Connected && !context.ListFile.empty()) {
        ui_.SetRunControlsEnabled(false);
        thread_->JobListRun = true;
        thread_->Interactive = !context.AutoClose;
        thread_->Start();
        return;
    }
    // Nothing can run. With windows the window stays open; a program without windows has
    // nothing left to wait for, so an unattended start ends here as a failure.
    if (Unattended()) {
        nothingRan_ = true;
        PostCloseRequest();
    }
}

void StartSequence::RunFinished() {
    if (closed_) return;
    ui_.PostToUi([this] { ui_.SetRunControlsEnabled(true); });
    if (context_.AutoClose) {
        PostCloseRequest();
        return;
    }
    if (thread_->Interactive && thread_->JobListRun)
        ui_.PostToUi([this] {
            if (ui_.JobWindowVisible()) ui_.BringJobWindowToFront();
        });
}

void StartSequence::PostCloseRequest() {
    ui_.PostToUi([this] {
        if (closed_) return;
        if (FormCloseQuery()) ui_.Quit(ExitStatus());
    });
}

bool StartSequence::FormCloseQuery() {
    if (closed_) return true;
    RunContext& context = context_;
    if (context.Running) {
        thread_->CancelRequest = true;
        return false;
    }
    if (!Unattended()) RegistrySettings(false, kTransferPart, SettingsTargets{settings_, context, logon_, openFolder_});
    thread_->StopRequested = true;
    thread_->WaitIdle();
    thread_->Terminate();
    closed_ = true;
    if (dm_.OCI.Connected) dm_.OCI.DisConnect();
    try {
        dm_.OCI.UnActive();
    } catch (...) {
        // Releasing the library at the end may fail; nothing is left to do about it.
    }
    CloseLog();
    return true;
}

std::string StartSequence::UnattendedOutcomeLine(int status) const {
    if (status == kExitSuccess) return {};
    if (nothingRan_)
        return "nothing was run: an unattended run needs a logon (USER=user/password@database) and a job list file "
               "(LISTFILE=path)";
    const RunOutcome outcome = thread_->Outcome();
    std::string line;
    if (status == kExitFailure) {
        const std::string reason = TheRunLog().LastFailure();
        line = reason.empty() ? "the run failed" : "the run failed: " + reason;
        if (outcome.NonZeroResults > 1) line += "; " + std::to_string(outcome.NonZeroResults) + " jobs failed";
        if (outcome.RefusedRows > 0) line += "; " + std::to_string(outcome.RefusedRows) + " rows refused";
    } else {
        line = std::to_string(outcome.RefusedRows) + (outcome.RefusedRows == 1 ? " row" : " rows") +
               " refused (see the .err and .erm files beside the CSV files)";
    }
    if (TheRunLog().Kept()) line += "; log: " + context_.LogFile;
    return line;
}

int StartSequence::ExitStatus() const {
    if (!Unattended()) return kExitSuccess;
    if (startFailed_ || ociUnusable_ || nothingRan_) return kExitFailure;
    RunOutcome outcome = thread_->Outcome();
    if (outcome.NonZeroResults > 0) return kExitFailure;
    if (outcome.RefusedRows > 0) return kExitRowsRefused;
    return kExitSuccess;
}

}  // namespace tabrook
