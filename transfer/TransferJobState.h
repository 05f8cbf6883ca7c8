#pragma once
// What the import and export engines work on besides the database and the settings: the
// column list read from the grid, the counters, the import's error files, the kind of run and
// the cancel request. The transfer thread derives from this class and routes the synchronized
// steps to the user interface thread; tests derive from it to drive the engines directly.

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "transfer/SafeFiles.h"

namespace tabrook {

class TransferJobState {
public:
    // The most columns a transfer handles; a wider grid is refused.
    static constexpr int kMaxColumns = 1000;

    TransferJobState() : ColumnTypes(kMaxColumns, 0), ColumnNames(kMaxColumns) {}
    virtual ~TransferJobState() = default;
    TransferJobState(const TransferJobState&) = delete;
    TransferJobState& operator=(const TransferJobState&) = delete;

    // Column list in grid order: entry k belongs to CSV field k. ColumnCount is the number of
    // entries in use, or -1 when the grid holds more than kMaxColumns data columns.
    std::vector<int> ColumnTypes;
    std::vector<std::string> ColumnNames;
    int ColumnCount = 0;

    int RecordCount = 0;   // lines read (import) or rows fetched (export)
    int ErrorCount = 0;    // rows the database refused
    int SuccessCount = 0;  // rows inserted or written

    // The import's error-record (.err) and error-message (.erm) files while it runs.
    FilePtr ErrFile;
    FilePtr ErmFile;

    // A job-list run shows no message box except the cancel question.
    bool JobListRun = false;
    // Set by the user interface (Esc, closing the main window) at any time, and by the import
    // itself when the error limit stops it.
    std::atomic<bool> CancelRequest{false};

    // Synchronized step: fills ColumnTypes, ColumnNames and ColumnCount from the grid's header
    // rows (ReadGridColumns with capacity kMaxColumns), on the user interface thread.
    virtual void SyncReadColumns() = 0;
    // Synchronized step: shows SuccessCount and ErrorCount in the status bar.
    virtual void SyncShowCounts() = 0;
    // True when the thread running the engine is being stopped or terminated: the engine ends
    // as cancelled at the next line or row.
    virtual bool StopPending() const = 0;
};

}  // namespace tabrook
