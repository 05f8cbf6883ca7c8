#pragma once
// The main window: a view over the main window's controller. It lays out the controls, shows
// what the controller tells it (MainView), and hands every user action to the controller.
// The grid is a QTableView over the controller's grid model: the two fixed rows are its
// column headers, the row numbers its row headers.

#include <QMainWindow>
#include <QPointer>
#include <optional>
#include <string>

#include "app/MainController.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTimer;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTableView;

namespace tabrook {

class GridTableModel;
class StatusPanel;
class TCSpinEdit;

class TfmMain : public QMainWindow, public MainView {
public:
    TfmMain();
    ~TfmMain() override;

    // Ties the window to its controller (before the start sequence runs).
    void Attach(MainController* controller);
    // Unties it again: call before the controller (which owns the grid model) goes away.
    void Detach();

    // ---- StartUi ----
    void PostToUi(std::function<void()> call) override;
    void Quit(int status) override;
    void ShowConnectionState(bool connected, const std::string& caption) override;
    void ShowSettings() override;
    void SetTimestampFieldEnabled(bool enabled) override;
    void SetRunControlsEnabled(bool enabled) override;
    bool JobWindowVisible() override;
    void BringJobWindowToFront() override;

    // ---- MainView ----
    std::string TableText() const override;
    void SetTableText(const std::string& text) override;
    std::string CsvText() const override;
    void SetCsvText(const std::string& text) override;
    void SetDateFmtText(const std::string& text) override;
    void SetTimestampFmtText(const std::string& text) override;
    void ShowOptions(const TransferSettings& settings, int shownCommitCount) override;
    void SetOptionEnabling(const OptionEnabling& enabling) override;
    void ShowCounts(int success, int error) override;
    void ShowLoadSplit(long long inserted, long long updated, bool shown) override;
    std::optional<std::string> AskCsvFile(bool save, const std::string& proposedName,
                                          const std::string& folder) override;
    void BringToFront() override;
    void ShowProgress(const ProgressView& progress) override;

    // The message panel of the status bar.
    void SetStatusText(const QString& text);
    // The job list window, brought to the front at the end of a job-list run.
    void SetJobWindow(QWidget* window) { jobWindow_ = window; }
    // Takes the size and position of the last session (if any were stored).
    void RestorePlacement();

    // The controls, for the tests of the window.
    QRadioButton* rbImport = nullptr;
    QRadioButton* rbExport = nullptr;
    QLineEdit* edTable = nullptr;
    QLineEdit* edCSV = nullptr;
    QLineEdit* edSep = nullptr;
    QLineEdit* edDelim = nullptr;
    QLineEdit* edRepCR = nullptr;
    QLineEdit* edDateFmt = nullptr;
    QLineEdit* edDateTimeFmt = nullptr;
    QPushButton* pbTable = nullptr;
    QPushButton* pbCount = nullptr;
    QPushButton* pbCSV = nullptr;
    QPushButton* pbJobList = nullptr;
    QPushButton* pbJobAdd = nullptr;
    QPushButton* pbConnect = nullptr;
    QPushButton* pbExecute = nullptr;
    QPushButton* pbEnd = nullptr;
    QPushButton* pbArrange = nullptr;  // arranges the grid by the header line's names
    QCheckBox* cbHead = nullptr;
    QCheckBox* cbTruncate = nullptr;
    QComboBox* cmbLoadMode = nullptr;  // INSERT, UPSERT, UPDATE (LoadMode.h), next to cbTruncate
    QCheckBox* cbAutoCmt = nullptr;
    QCheckBox* cbRepCR = nullptr;
    TCSpinEdit* udCmt = nullptr;
    QComboBox* cmbCRType = nullptr;
    QComboBox* cmbEncoding = nullptr;  // the CSV file's encoding, in FileEncoding's order
    QTableView* sgData = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QLabel* sbSuccess = nullptr;
    QLabel* sbError = nullptr;
    QLabel* sbSplit = nullptr;  // an import by key: inserted and updated
    StatusPanel* sbMessage = nullptr;
    QGroupBox* rgMode = nullptr;
    QProgressBar* pgRun = nullptr;
    // While a run goes on it reads the run's progress every MainController::kProgressInterval.
    QTimer* tmProgress = nullptr;
    GridTableModel* GridView() const { return gridModel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildPanel1();
    void BuildGrid();
    void BuildPanel2();
    void BuildStatusBar();
    void Connect();
    void ShowGridSelection();
    void TakeGridSelection();
    // A drag of files over any control of the window: the window's drop handling.
    bool FileDragEvent(QEvent* event);
    bool CtrlTab(QLineEdit* edit);

    MainController* controller_ = nullptr;
    GridTableModel* gridModel_ = nullptr;
    QButtonGroup* rgMode_ = nullptr;
    QSplitter* formatSplitter_ = nullptr;
    QWidget* panel2Body_ = nullptr;
    QPointer<QWidget> jobWindow_;
    QString dialogName_;
    bool resettingHeader_ = false;
};

}  // namespace tabrook
