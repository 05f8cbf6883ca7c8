#pragma once
// The job list window: the jobs (table, CSV file, status and counts) a job-list run transfers
// one after the other. The rows and rules live in JobListModel; this window shows them, turns
// the user's clicks and keys into its commands, and talks to the main window through
// JobWindowOwner. Not modal; created once and hidden by Close.

#include <QString>
#include <QWidget>

#include "app/JobListModel.h"

class QAction;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace tabrook {

class Host;
class JobWindowOwner;
class TfrmMsgBox;
struct RunContext;
struct TransferSettings;

class TfmJob : public QWidget {
    Q_OBJECT
public:
    TfmJob(RunContext& context, TransferSettings& settings, Host& host, JobWindowOwner& owner, TfrmMsgBox& msgBox,
           QWidget* parent = nullptr);

    // Operations of the other windows.
    bool AddJob(const std::string& table, const std::string& csv);
    // Many jobs in one step (see JobListModel::AddJobs).
    std::size_t AddJobs(const std::vector<std::pair<std::string, std::string>>& jobs);
    bool ReplaceJob(const std::string& table, const std::string& csv);
    void SyncJobList();
    void ShowJobList();
    void UpdateJobButtons();
    // The transfer thread's progress (on the user interface thread): shown only while the
    // window is visible and its rows match the job list one to one.
    void ShowJobRow(std::size_t index, const Job& job);

    JobListModel& Model() { return model_; }

    // Commands (buttons, menu and keys call them; each does nothing while a transfer runs).
    void pbLoadClick();
    void pbSaveClick();
    void pbExecClick();
    void pbDelClick();
    void pbUpClick();
    void pbDownClick();
    void mnSetClick();
    void mnFileClick();
    void lvJobDblClick();
    // Prepares the pop-up menu as it is about to open (enabled items, File/Folder caption).
    void pnPopup();

    // The initial folder of the two list-file dialogs ("ListFolder").
    QString ListFolder() const { return listFolder_; }

    QPushButton* pbLoad = nullptr;
    QPushButton* pbSave = nullptr;
    QPushButton* pbExec = nullptr;
    QPushButton* pbDel = nullptr;
    QPushButton* pbUp = nullptr;
    QPushButton* pbDown = nullptr;
    QPushButton* pbClose = nullptr;
    QTreeWidget* lvJob = nullptr;
    QMenu* pn = nullptr;
    QAction* mnSet = nullptr;
    QAction* mnFile = nullptr;

protected:
    // The dialogs the commands open; tests replace them. An empty text means cancelled.
    virtual QString ChooseListFileToOpen();
    virtual QString ChooseListFileToSave();
    virtual QString ChooseCsvFile(const QString& current);
    virtual QString ChooseFolder(const QString& start);
    // Shows the confirmation dialog, already filled; returns its result.
    virtual int Confirm();
    // A warning box with the application title.
    virtual void Warn(const QString& text);
    virtual bool AskYesNo(const QString& text);
    TfrmMsgBox& MsgBox() { return msgBox_; }

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Room beside a column's caption in its header.
    static constexpr int kCaptionPadding = 18;
    // Moves the selected block one row up (by -1) or down (+1), the focus rectangle with it.
    void MoveBlock(int by);
    void RowsChanged(std::size_t index);
    void SelectionFromView();
    void FillRow(int index);
    // A list file was chosen in a list-file dialog: both dialogs start there next time.
    void ListFileChosen(const QString& path);

    RunContext& context_;
    TransferSettings& settings_;
    Host& host_;
    JobWindowOwner& owner_;
    TfrmMsgBox& msgBox_;
    JobListModel model_;
    QString listFolder_;
    bool filling_ = false;
};

// The filters of the list-file and CSV dialogs.
extern const char* const kListFileFilter;
extern const char* const kCsvFileFilter;

}  // namespace tabrook
