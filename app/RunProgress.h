#pragma once
// How far a run has come, for the progress bar of the status bar: the share of the CSV file
// read (import), the rows fetched against the row count of Count (export, when Count has
// been pressed for that table), and during a job list the job's number among the jobs that
// run and an estimate of the time left. A transfer that has ended counts whole. Pure
// arithmetic on what the transfer thread's progress sink holds.

#include <cstddef>
#include <string>

namespace tabrook {

struct ProgressInput {
    bool ExportMode = false;
    long long FileBytes = 0;    // size of the CSV file being imported
    long long BytesRead = 0;    // bytes of it read so far
    long long CountedRows = 0;  // rows Count found in the table being exported (0: unknown)
    long long RowsDone = 0;     // rows written so far (export)
    std::size_t JobNumber = 0;  // 1-based number of the job being run among those that run (0: single)
    std::size_t JobTotal = 0;   // jobs that run in the job-list run
    bool JobDone = false;       // the current transfer has ended
    bool Running = true;        // the run goes on (when it has ended, no time is left)
    double ElapsedSeconds = 0;  // since the run started
};

struct ProgressView {
    int Percent = -1;  // 0..100, or -1 when the share is unknown
    // "2/5  00:12" during a job list (number of total, time left); the rows written by an
    // export whose share is unknown ("1234件"); else empty.
    std::string Text;
};

ProgressView ComputeProgress(const ProgressInput& input);

// A duration as "mm:ss", or "h:mm:ss" from an hour on.
std::string DurationText(double seconds);

}  // namespace tabrook
