// The program. It reads the command line first: an unattended run (AUTOSTART=TRUE together
// with AUTOCLOSE=TRUE) runs on the headless core under a QCoreApplication and needs no
// display; it ends with 0 (success), 2 (rows refused) or 1 (failure).

#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/BuiltInDefaults.h"
#include "app/CommandLine.h"
#include "app/HeadlessHost.h"
#include "app/HeadlessUi.h"
#include "transfer/Host.h"
#include "transfer/RunContext.h"
#include "transfer/RunLog.h"
#include "app/StartSequence.h"
#include "transfer/TransferSettings.h"
#include "transfer/Tdm.h"

namespace {

// Whether the command line asks for an unattended run, decided on scratch values so the real
// start sequence still applies the options in its own order.
bool IsUnattended(const std::vector<std::string>& args) {
  tabrook::TransferSettings settings;
  tabrook::RunContext context;
  tabrook::LogonValues logon;
  tabrook::ParseCommandLine(args, settings, context, logon);
  tabrook::ApplyAutoCloseRule(context);
  return context.AutoStart && context.AutoClose;
}

int RunUnattended(int argc, char** argv, const std::vector<std::string>& args) {
  QCoreApplication app(argc, argv);
  app.setApplicationName("Tabrook+ Version 1.2a");
  // The program's one instance of the transfer settings and of the run context.
  tabrook::TransferSettings settings;
  tabrook::RunContext context;
  tabrook::Tdm dm;
  tabrook::HeadlessHost host(dm, settings, context);
  tabrook::HeadlessUi ui;
  tabrook::StartSequence sequence(dm, host, ui, settings, context);
  const int status = sequence.Start(args) ? app.exec() : sequence.ExitStatus();
  if (status == tabrook::StartSequence::kExitFailure) {
    // Without a log the scheduler's mail is the only place the reason can show.
    const bool logKept = tabrook::TheRunLog().Kept();
    const std::string reason = tabrook::TheRunLog().LastFailure();
    if (!logKept && !reason.empty()) {
      std::fprintf(stderr, "tabrook: %s\n", reason.c_str());
    } else if (sequence.NothingRan()) {
      std::fprintf(stderr,
                   "tabrook: nothing was run: an unattended run needs a logon (USER=user/password@database) "
                   "and a job list file (LISTFILE=path)\n");
    } else if (!logKept) {
      std::fprintf(stderr, "tabrook: the run failed\n");
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (IsUnattended(args)) return RunUnattended(argc, argv, args);
  std::fprintf(stderr,
               "tabrook: the windows are not built yet; only unattended runs are available "
               "(AUTOSTART=TRUE AUTOCLOSE=TRUE USER=user/password@database LISTFILE=jobs.lst)\n");
  return 1;
}
