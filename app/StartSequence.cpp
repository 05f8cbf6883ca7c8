#include "app/StartSequence.h"

#include "app/BuiltInDefaults.h"
#include "app/MainController.h"
#include "transfer/Host.h"
#include "transfer/JobListFile.h"
#include "app/RegistrySettings.h"
#include "transfer/RunContext.h"
#include "transfer/RunLog.h"
#include "transfer/TOracle.h"
#include "transfer/TransferSettings.h"
#include "transfer/Tdm.h"

namespace tabrook {

namespace {

constexpr const char* kOciUnusable = "OCIが使用できません。";

}  // namespace

StartSequence::StartSequence(Tdm& dm, Host& host, StartUi& ui, TransferSettings& settings,
                             RunContext& context)
    : dm_(dm), host_(host), ui_(ui), settings_(settings), context_(context),
      thread_(std::make_unique<TOracle>(&dm, host, settings, context)) {}

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
  thread_->SetOnWorkDone([](void* self, TThreadEx&) { static_cast<StartSequence*>(self)->RunFinished(); },
                         this);
  thread_->Resume();

  RegistrySettings(true, kConnectionPart | kTransferPart,
                   SettingsTargets{settings, context, logon_, openFolder_});

  commandLine_ = ParseCommandLine(args, settings, context, logon_);
  ApplyAutoCloseRule(context);
  CopyLogonToSession();

  startFailed_ = false;
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

  const std::string& level = dm_.OCI.OCIVersion;
  ui_.SetTimestampFieldEnabled(!level.empty() && level[0] == '9');

  if (!commandLine_.DateFmtAside.empty() && dm_.CheckDateFormat(commandLine_.DateFmtAside))
    settings.DateFmt = commandLine_.DateFmtAside;
  if (!commandLine_.TimestampFmtAside.empty() &&
      dm_.CheckTimestampFormat(commandLine_.TimestampFmtAside))
    settings.TimestampFmt = commandLine_.TimestampFmtAside;

  if (commandLine_.UserGiven) {
    if (!dm_.OCI.Connect()) {
      WriteLog("I999", dm_.OCI.ErrMsg);
      startFailed_ = true;
    }
  } else {
    dm_.OCI.Login();
  }
  CopySessionToLogon();
  ShowConnection();

  if (!startFailed_ && !context.ListFile.empty()) {
    if (!ReadJobList(context.ListFile, context, host_)) startFailed_ = true;
  }

  SettleMode(settings);
  // The mode rule of the window's settings display holds with or without a window, so a
  // stored mode other than Import or Export is neither run nor written back.
  ApplyShownModeRule(settings);
  if (context.AutoStart) ui_.PostToUi([this] { AutoStartRun(); });
  ui_.ShowSettings();
  if (dm_.OCI.Connected) StoreConnection();
  return true;
}

std::string StartSequence::ConnectionCaption() const {
  if (dm_.OCI.Connected) return "Tabrook+  [" + dm_.OCI.User + " @ " + dm_.OCI.ConnStr + "]";
  return "Tabrook+ ";
}

void StartSequence::ShowConnection() {
  ui_.ShowConnectionState(dm_.OCI.Connected, ConnectionCaption());
  if (!dm_.OCI.Connected && !dm_.OCI.ErrMsg.empty() && !context_.AutoClose)
    host_.MessageBox(dm_.OCI.ErrMsg, MsgIcon::Error, MsgButtons::Ok);
}

void StartSequence::StoreConnection() {
  CopySessionToLogon();
  RegistrySettings(false, kConnectionPart,
                   SettingsTargets{settings_, context_, logon_, openFolder_});
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
  RegistrySettings(false, kTransferPart,
                   SettingsTargets{settings_, context, logon_, openFolder_});
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

int StartSequence::ExitStatus() const {
  if (!Unattended()) return kExitSuccess;
  if (startFailed_ || ociUnusable_ || nothingRan_) return kExitFailure;
  RunOutcome outcome = thread_->Outcome();
  if (outcome.NonZeroResults > 0) return kExitFailure;
  if (outcome.RefusedRows > 0) return kExitRowsRefused;
  return kExitSuccess;
}

}  // namespace tabrook
