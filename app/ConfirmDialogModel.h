#pragma once
// The run confirmation dialog's state and rules, without widgets: the three message lines,
// what the mode shows, the error limit and the batch-break flag, and what is stored when the
// dialog closes. The dialog shows Show()'s result, edits ErrorLimit and BatchBreak, and calls
// Close with the button pressed.

#include <string>

namespace tabrook {

struct TransferSettings;

// Which run the dialog confirms.
enum ConfirmBoxMode : int {
    kBoxSingle = 0,        // the single transfer of the main window
    kBoxJobWindow = 1,     // the selected jobs, from the job list window
    kBoxMainWithJobs = 2,  // from the main window while the job list holds jobs
};

// The dialog's results, numbered as the platform's modal results.
enum ConfirmResult : int { kConfirmStart = 1, kConfirmCancel = 2, kConfirmSingle = 5 };

class ConfirmDialogModel {
public:
    static constexpr int kMinErrorLimit = 0;
    static constexpr int kMaxErrorLimit = 999999;

    // Set by the caller before every showing.
    std::string MsgText[3];
    int BoxMode = kBoxSingle;

    // Shown controls after Show (a mode other than 0, 1 or 2 leaves them as they were).
    std::string StartCaption = "開始(&S)";
    bool BatchBreakVisible = false;
    bool SingleVisible = false;

    // Takes the settings' ErrCnt and ErrStop into the controls and applies the mode.
    void Show(const TransferSettings& settings);

    // The error limit as the spin edit holds it: always within 0 to 999999.
    int ErrorLimit() const { return errorLimit_; }
    void SetErrorLimit(int value);
    // The red warning shows while the limit is 0 (no limit).
    bool WarningVisible() const { return errorLimit_ == 0; }

    bool BatchBreak = false;

    // Closing with result: unless it is Cancel, ErrCnt and ErrStop take the dialog's values.
    void Close(int result, TransferSettings& settings) const;

    // The lines the main window's Execute shows while the job list holds jobs (mode 2).
    void SetMainWithJobs(int mode, bool truncate);
    // The lines of a single transfer: the first three lines of the pre-run check's text (mode 0).
    void SetSingle(const std::string& confirmation);
    // The lines of a run from the job list window (mode 1).
    void SetJobWindow(int mode, bool truncate);

private:
    int errorLimit_ = 100;
};

// The truncate warning of the third line.
extern const char* const kBatchTruncateWarning;

}  // namespace tabrook
