#pragma once
// The progress sink of a run: the transfer thread writes how far it has come without ever
// waiting, and the window reads it on a timer. Everything is an atomic: a reader may see the
// counts of a moment a few records apart from each other, never a torn number; the final
// counts of a job are exact once JobDone reads true.

#include <atomic>
#include <cstdint>

namespace tabrook {

class TransferProgress {
public:
    struct Snapshot {
        bool Running = false;
        bool ExportMode = false;
        int JobNumber = 0;  // 1-based number of the job among the jobs that run; 0: a single run
        int JobTotal = 0;   // jobs that run (the selected ones); 0: a single run
        long long Records = 0;
        long long Success = 0;
        long long Errors = 0;
        long long Updated = 0;       // of Success, rows an UPSERT or UPDATE updated
        long long FileBytes = 0;     // size of the file an import reads (0: unknown)
        long long BytesRead = 0;     // bytes of it read so far
        long long ExpectedRows = 0;  // rows an export will write, when counted (0: unknown)
        bool JobDone = false;        // the current job's engine has ended
        std::uint64_t Jobs = 0;      // jobs started since the sink was made: tells runs apart
    };

    // A run begins: jobTotal jobs (0 for a single transfer).
    void StartRun(bool exportMode, int jobTotal);
    // A job (or the single transfer) begins; its counts start at zero.
    void StartJob(int jobNumber, long long fileBytes, long long expectedRows);
    // The counts of the current job. Cheap: the engines call it every few records.
    void SetCounts(long long records, long long success, long long errors) {
        records_.store(records, std::memory_order_relaxed);
        success_.store(success, std::memory_order_relaxed);
        errors_.store(errors, std::memory_order_relaxed);
    }
    void SetBytesRead(long long bytes) { bytesRead_.store(bytes, std::memory_order_relaxed); }
    void SetUpdated(long long updated) { updated_.store(updated, std::memory_order_relaxed); }
    // The current job's engine has ended: its counts are final.
    void EndJob();
    // The run has ended.
    void EndRun();

    Snapshot Read() const;

private:
    std::atomic<bool> running_{false};
    std::atomic<bool> exportMode_{false};
    std::atomic<int> jobNumber_{0};
    std::atomic<int> jobTotal_{0};
    std::atomic<long long> records_{0};
    std::atomic<long long> success_{0};
    std::atomic<long long> errors_{0};
    std::atomic<long long> updated_{0};
    std::atomic<long long> fileBytes_{0};
    std::atomic<long long> bytesRead_{0};
    std::atomic<long long> expectedRows_{0};
    std::atomic<bool> jobDone_{false};
    std::atomic<std::uint64_t> jobs_{0};
};

}  // namespace tabrook
