#pragma once
// The run confirmation dialog: three message lines (the third red), the error limit of the run
// with its red warning at 0, the batch-break check box, and the start, single-transfer and
// Cancel buttons. The rules live in ConfirmDialogModel; this window shows them and hands the
// user's edits back. Created once and reused for every showing.

#include <QDialog>

#include "app/ConfirmDialogModel.h"
#include "windows/TCSpinEdit.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace tabrook {

struct TransferSettings;

class TfrmMsgBox : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMsgBox(QWidget* parent = nullptr);

    // The caller fills the model's MsgText and BoxMode (or uses its SetSingle, SetJobWindow or
    // SetMainWithJobs), then calls Execute.
    ConfirmDialogModel& Model() { return model_; }

    // Shows the dialog modally over settings' ErrCnt and ErrStop and returns the button pressed:
    // kConfirmStart, kConfirmSingle or kConfirmCancel (also Esc). Unless cancelled, ErrCnt and
    // ErrStop take the dialog's values.
    int Execute(TransferSettings& settings);

    // Takes the model and settings into the controls (the first half of Execute; a test or a
    // screenshot can show the dialog without running its loop).
    void Prepare(const TransferSettings& settings);
    // Closes with result, storing into settings unless it is Cancel (the second half).
    void Finish(int result, TransferSettings& settings);

    // The client area as designed; a wider text widens it.
    static constexpr int kClientWidth = 433;
    static constexpr int kClientHeight = 146;

    QLabel* lblMsg[3] = {};
    QLabel* lblWarn = nullptr;
    TCSpinEdit* udErrBreak = nullptr;
    QCheckBox* cbBatBreak = nullptr;
    QPushButton* pbStart = nullptr;
    QPushButton* pbSingle = nullptr;
    QPushButton* pbCancel = nullptr;

private:
    void ErrBreakChanged(int value);
    void FitAndCentre();

    ConfirmDialogModel model_;
};

}  // namespace tabrook
