#pragma once
// The values that name the current target and describe the state of a run. The program keeps
// one instance and hands it to the parts that use it.

#include <atomic>
#include <string>

#include "transfer/JobList.h"
#include "transfer/TargetFacts.h"

namespace tabrook {

// The target's facts come first: the previews of the window fill them.
struct RunContext : TargetFacts {
    std::string ListFile;  // job list file named on the command line
    std::string LogFile;   // empty: no log is kept
    bool AutoStart = false;
    bool AutoClose = false;  // no message boxes; close at the end of the run
    bool EscCancel = true;
    std::atomic<bool> Running{false};  // written by the transfer thread, read by the UI thread
    tabrook::JobList JobList;

    // Puts every field back to its start value and empties the job list.
    void Reset();
};

}  // namespace tabrook
