#pragma once
// What an import or export works on besides the session and its plan: the counters, the kind
// of run, the cancel request, and the progress sink the counts are published to. The transfer
// thread derives from this class; tests derive from it to drive the engines directly.

#include <atomic>
#include <functional>

namespace tabrook {

class TransferProgress;

class TransferJobState {
public:
    TransferJobState() = default;
    virtual ~TransferJobState() = default;
    TransferJobState(const TransferJobState&) = delete;
    TransferJobState& operator=(const TransferJobState&) = delete;

    int RecordCount = 0;   // lines read (import) or rows fetched (export)
    int ErrorCount = 0;    // rows the database refused
    int SuccessCount = 0;  // rows inserted or written (import: and updated)
    // Import: of SuccessCount, the rows an UPSERT or UPDATE updated (the rest were inserted).
    int UpdatedCount = 0;
    // Import: lines read that went to no row and were not refused: the header line, empty
    // lines, and the line at which a stop or a confirmed cancel ended the run. A run's lines
    // read add up to SuccessCount + ErrorCount + SkippedCount (RunSummary.h).
    int SkippedCount = 0;
    long long BytesRead = 0;  // bytes of the CSV file an import has read

    // A job-list run shows no message box except the cancel question.
    bool JobListRun = false;
    // Set by the user interface (Esc, closing the main window) at any time, and by the import
    // itself when the error limit stops it.
    std::atomic<bool> CancelRequest{false};
    // Where the counts go; none: they stay here.
    TransferProgress* Progress = nullptr;
    // Called on the engine's thread after each publishing of the counts (when set): lets a
    // watcher act at a known record, as tests of a run in the middle of its rows do.
    std::function<void()> CountsPublished;

    // Hands the counts to the progress sink without waiting. The engines call it every ten
    // records or rows and once at their end.
    virtual void PublishCounts();
    // True when the thread running the engine is being stopped or terminated: the engine ends
    // as cancelled at the next line or row.
    virtual bool StopPending() const = 0;
};

}  // namespace tabrook
