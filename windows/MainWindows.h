#pragma once
// The desktop program's windows around the main window, created once at start: the run
// confirmation dialog, the job list window and the table chooser. This class ties them to the
// main window's controller in both directions: it is the controller's RunConfirmDialog,
// JobListWindow and TableChooser, and the two windows' JobWindowOwner (the main window's side
// of their commands). The transfer thread's job rows reach the job list window through the host.

#include <array>
#include <string>

#include "app/MainController.h"
#include "windows/JobWindowOwner.h"

namespace tabrook {

class QtHost;
class Tdm;
class TfmJob;
class TfmMain;
class TfmTable;
class TfrmMsgBox;
struct RunContext;
struct TransferSettings;

class MainWindows : public JobWindowOwner, public RunConfirmDialog, public JobListWindow, public TableChooser {
public:
    // Creates the three windows (owned by window as their parent) and plugs them into
    // controller and host. Call after window.Attach(&controller).
    MainWindows(Tdm& dm, QtHost& host, TfmMain& window, MainController& controller, TransferSettings& settings,
                RunContext& context);
    ~MainWindows() override;
    MainWindows(const MainWindows&) = delete;
    MainWindows& operator=(const MainWindows&) = delete;

    TfrmMsgBox& MsgBox() { return *msgBox_; }
    TfmJob& JobWindow() { return *jobWindow_; }
    TfmTable& Chooser() { return *chooser_; }

    // ---- JobWindowOwner ----
    bool Connected() const override;
    void StartJobListRun() override;
    void ShowSettings() override;
    void SwitchMode(int mode) override;
    void SetTableAndPreview(const std::string& table) override;
    void SetCsvAndPreview(const std::string& csv) override;
    void EscapePressed() override;
    std::string CsvOpenFolder() const override;

    // ---- RunConfirmDialog ----
    ConfirmAnswer Ask(const std::array<std::string, 3>& lines, int boxMode) override;

    // ---- JobListWindow ----
    void ShowWindow() override;
    bool AddJob(const std::string& table, const std::string& csv) override;
    void ReplaceJob(const std::string& table, const std::string& csv) override;
    void SyncJobList() override;

    // ---- TableChooser ----
    bool Choose(const std::string& presetName) override;

private:
    // The room between the main window and the job list window placed beside it.
    static constexpr int kJobWindowGap = 16;
    void PlaceJobWindow();

    Tdm& dm_;
    QtHost& host_;
    TfmMain& window_;
    MainController& controller_;
    TransferSettings& settings_;
    TfrmMsgBox* msgBox_ = nullptr;
    TfmJob* jobWindow_ = nullptr;
    TfmTable* chooser_ = nullptr;
    class TfmCreateTable* createTable_ = nullptr;
};

}  // namespace tabrook
