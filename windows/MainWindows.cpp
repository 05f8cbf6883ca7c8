#include "windows/MainWindows.h"

#include <QDialog>
#include <QRect>
#include <QScreen>
#include <QString>
#include <algorithm>

#include "transfer/Tdm.h"
#include "transfer/TransferSettings.h"
#include "windows/QtHost.h"
#include "windows/TfmCreateTable.h"
#include "windows/TfmJob.h"
#include "windows/TfmMain.h"
#include "windows/TfmTable.h"
#include "windows/TfrmMsgBox.h"

namespace tabrook {

MainWindows::MainWindows(Tdm& dm, QtHost& host, TfmMain& window, MainController& controller, TransferSettings& settings,
                         RunContext& context)
    : dm_(dm), host_(host), window_(window), controller_(controller), settings_(settings) {
    msgBox_ = new TfrmMsgBox(&window);
    jobWindow_ = new TfmJob(context, settings, host, *this, *msgBox_, &window);
    PlaceJobWindow();
    window.SetJobWindow(jobWindow_);
    chooser_ = new TfmTable(dm, host, context, *jobWindow_, *this, &window);
    controller.SetConfirmDialog(this);
    controller.SetJobListWindow(this);
    controller.SetTableChooser(this);
    createTable_ = new TfmCreateTable(&window);
    controller.SetCreateTableDialog(createTable_);
    host.SetJobRowSink([this](std::size_t index, const Job& job) { jobWindow_->ShowJobRow(index, job); });
}

MainWindows::~MainWindows() {
    host_.SetJobRowSink({});
    controller_.SetConfirmDialog(nullptr);
    controller_.SetJobListWindow(nullptr);
    controller_.SetTableChooser(nullptr);
    controller_.SetCreateTableDialog(nullptr);
    delete createTable_;
    // The windows are the main window's children; this object goes before the main window (it
    // is created after it), so they go here, before the controller they call is gone.
    delete chooser_;
    delete jobWindow_;
    delete msgBox_;
}

void MainWindows::PlaceJobWindow() {
    // Beside the main window, so the job list does not cover its table and CSV fields; below
    // it when the screen has no room on the right; always on the screen.
    const QRect main = window_.geometry();
    const QSize size = jobWindow_->size().expandedTo(jobWindow_->sizeHint());
    QPoint at(main.right() + kJobWindowGap, main.top());
    const QScreen* screen = window_.screen();
    if (screen != nullptr) {
        const QRect room = screen->availableGeometry();
        if (at.x() + size.width() > room.right()) at = QPoint(main.left(), main.bottom() + kJobWindowGap);
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - size.width())));
        at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - size.height())));
    }
    jobWindow_->move(at);
}

// ---- JobWindowOwner ----

bool MainWindows::Connected() const {
    return dm_.OCI.Connected;
}

void MainWindows::StartJobListRun() {
    controller_.StartJobListRun();
}

void MainWindows::ShowSettings() {
    controller_.ShowSettings();
}

void MainWindows::SwitchMode(int mode) {
    controller_.ModeClicked(mode);
}

void MainWindows::SetTableAndPreview(const std::string& table) {
    window_.SetTableText(table);
    controller_.TableChanged(table);
    controller_.TableEnter();
}

void MainWindows::SetCsvAndPreview(const std::string& csv) {
    window_.SetCsvText(csv);
    controller_.CsvChanged(csv);
    controller_.CsvEnter();
}

void MainWindows::EscapePressed() {
    controller_.EscPressed();
}

std::string MainWindows::CsvOpenFolder() const {
    return controller_.DialogFolder();
}

// ---- RunConfirmDialog ----

ConfirmAnswer MainWindows::Ask(const std::array<std::string, 3>& lines, int boxMode) {
    ConfirmDialogModel& model = msgBox_->Model();
    for (int i = 0; i < 3; ++i) model.MsgText[i] = lines[static_cast<std::size_t>(i)];
    model.BoxMode = boxMode == kBoxModeJobList ? kBoxMainWithJobs : kBoxSingle;
    const int result = msgBox_->Execute(settings_);
    if (result == kConfirmCancel) return ConfirmAnswer::Cancel;
    if (result == kConfirmSingle) return ConfirmAnswer::Single;
    // The start button: the job-list run with a job list, the single transfer otherwise.
    return boxMode == kBoxModeJobList ? ConfirmAnswer::StartJobList : ConfirmAnswer::Single;
}

// ---- JobListWindow ----

void MainWindows::ShowWindow() {
    jobWindow_->show();
    jobWindow_->raise();
}

bool MainWindows::AddJob(const std::string& table, const std::string& csv) {
    return jobWindow_->AddJob(table, csv);
}

void MainWindows::ReplaceJob(const std::string& table, const std::string& csv) {
    jobWindow_->ReplaceJob(table, csv);
}

void MainWindows::SyncJobList() {
    jobWindow_->SyncJobList();
}

// ---- TableChooser ----

bool MainWindows::Choose(const std::string& presetName) {
    chooser_->PresetName = QString::fromStdString(presetName);
    chooser_->CentreOnScreen();
    return chooser_->exec() == QDialog::Accepted;
}

}  // namespace tabrook
