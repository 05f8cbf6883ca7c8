#pragma once
// The table chooser: the logged-on user's tables or views, loaded after the window is shown in
// slices that let events through (a long list never freezes it; Esc stops the load), the name
// typed in the main window preselected, and a filter field that narrows the list as the user
// types. OK hands the current name back through the run context's TableName; Ctrl+E puts the
// selected names into the job list. Modal; created once and reused.

#include <QDialog>
#include <QString>

#include "app/TableListLoader.h"

class QAction;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tabrook {

class Host;
class JobWindowOwner;
class Tdm;
class TfmJob;
struct RunContext;

class TfmTable : public QDialog {
    Q_OBJECT
public:
    TfmTable(Tdm& dm, Host& host, RunContext& context, TfmJob& jobWindow, JobWindowOwner& owner,
             QWidget* parent = nullptr);

    // The name to preselect; the caller sets it before every showing.
    QString PresetName;
    // Set by Esc while the list loads.
    bool CancelLoad = false;

    // Names fetched between two yields to the event loop.
    static constexpr std::size_t kSlice = 64;

    // Loads the list of the kind the radio buttons name (see the class comment).
    void LoadObjectList();
    bool Loading() const { return loader_.Loading(); }
    // Loads that ran to their end or were stopped with Esc (not those a newer load replaced).
    unsigned LoadsFinished() const { return loadsFinished_; }
    // Narrows the list to the names containing text (ASCII letters in any case).
    void SetFilter(const QString& text);

    void pbOkClick();
    // Places the chooser in the middle of the screen (before every showing).
    void CentreOnScreen();
    void mnAddJobClick();

    QRadioButton* rbTable = nullptr;
    QRadioButton* rbView = nullptr;
    QLineEdit* edFilter = nullptr;
    QListWidget* lbTable = nullptr;
    QPushButton* pbOk = nullptr;
    QPushButton* pbCancel = nullptr;
    QAction* mnAddJob = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void ApplyFilter(int from);
    void ApplyPreselection();
    void SelectAllShown();

    Tdm& dm_;
    RunContext& context_;
    TfmJob& jobWindow_;
    JobWindowOwner& owner_;
    TableListLoader loader_;
    // Counts the loads started, so a load interrupted by a newer one stops adding names.
    unsigned loadNumber_ = 0;
    unsigned loadsFinished_ = 0;
};

}  // namespace tabrook
