// The program. It reads the command line first: an unattended run (AUTOSTART=TRUE together
// with AUTOCLOSE=TRUE) runs on the headless core under a QCoreApplication and needs no
// display; it ends with 0 (success), 2 (rows refused) or 1 (failure). Any other start is
// interactive: the login dialog when no USER is given, then the main window.

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/BuiltInDefaults.h"
#include "app/CommandLine.h"
#include "app/HeadlessHost.h"
#include "app/HeadlessUi.h"
#include "app/MainController.h"
#include "app/StartSequence.h"
#include "transfer/Host.h"
#include "transfer/RunContext.h"
#include "transfer/RunLog.h"
#include "transfer/TOracle.h"
#include "transfer/Tdm.h"
#include "transfer/TransferSettings.h"
#include "windows/EventLoopProbe.h"
#include "windows/MainWindows.h"
#include "windows/QtFonts.h"
#include "windows/QtHost.h"
#include "windows/QtTranslations.h"
#include "windows/TfmLogin8.h"
#include "windows/TfmMain.h"

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
    tabrook::HeadlessHost host(context);
    tabrook::HeadlessUi ui;
    tabrook::StartSequence sequence(dm, host, ui, settings, context);
    const int status = sequence.Start(args) ? app.exec() : sequence.ExitStatus();
    // A scheduler mails what a job writes on standard error: one line for a run that failed or
    // refused rows, nothing for one that went well.
    const std::string outcome = sequence.UnattendedOutcomeLine(status);
    if (!outcome.empty()) std::fprintf(stderr, "tabrook: %s\n", outcome.c_str());
    return status;
}

// Whether the windows have somewhere to go: a platform named for Qt, or an X or Wayland
// display. Without one QApplication would abort; the program says why and fails instead.
bool DisplayAvailable() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

int RunInteractive(int argc, char** argv, const std::vector<std::string>& args) {
    if (!DisplayAvailable()) {
        std::fprintf(stderr,
                     "tabrook: no display to show the windows on (DISPLAY is not set); an unattended run needs "
                     "none: AUTOSTART=TRUE AUTOCLOSE=TRUE USER=user/password@database LISTFILE=jobs.lst\n");
        return 1;
    }
    QApplication app(argc, argv);
    app.setApplicationName("Tabrook+ Version 1.2a");
    app.setFont(tabrook::UiFont());
    // The standard buttons and dialogs speak the program's language.
    tabrook::InstallQtJapanese(app);
    // The window ends the program itself once its close is allowed (a login dialog closing
    // before the window shows must not end it).
    app.setQuitOnLastWindowClosed(false);
    tabrook::TransferSettings settings;
    tabrook::RunContext context;
    tabrook::Tdm dm;
    tabrook::QtHost host;
    tabrook::TfmMain window;
    host.SetWindow(&window, [&window](const QString& text) { window.SetStatusText(text); });
    dm.OCI.CreateLoginPrompt = [&window] { return std::make_unique<tabrook::LoginDialogPrompt>(&window); };
    tabrook::StartSequence sequence(dm, host, window, settings, context);
    tabrook::MainController controller(dm, host, sequence, window, settings, context);
    host.SetBeforeBox([&controller] { controller.RefreshProgress(); });
    window.Attach(&controller);
    // The confirmation dialog, the job list window and the table chooser, tied to the controller.
    tabrook::MainWindows windows(dm, host, window, controller, settings, context);
    // The close waits for the transfer thread while still delivering its blocking calls.
    sequence.Thread().SetMessagePump([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); });
    if (!sequence.Start(args)) {
        window.Detach();
        return sequence.ExitStatus();
    }
    window.RestorePlacement();
    window.show();
    // A job list file named on the command line is shown in the job list window at once.
    if (!context.ListFile.empty() && context.JobList.Count() > 0 && !context.AutoStart) windows.ShowWindow();
    // The benchmark's measure of how long the event loop stands still during a run.
    std::unique_ptr<tabrook::EventLoopProbe> probe(tabrook::EventLoopProbe::FromEnvironment(context.Running));
    const int status = app.exec();
    // The window lets go of the controller's grid before the controller goes away.
    window.Detach();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (IsUnattended(args)) return RunUnattended(argc, argv, args);
    return RunInteractive(argc, argv, args);
}
