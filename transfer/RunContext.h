#pragma once
// The values that name the current target and describe the state of a run. The program keeps
// one instance and hands it to the parts that use it.

#include <atomic>
#include <string>

#include "transfer/JobList.h"

namespace tabrook {

struct RunContext {
    std::string TableName;
    std::string CsvFile;
    std::string ListFile;  // job list file named on the command line
    std::string LogFile;   // empty: no log is kept
    bool AutoStart = false;
    bool AutoClose = false;  // no message boxes; close at the end of the run
    bool EscCancel = true;
    bool TableInfoOk = false;
    bool IsTable = true;
    bool CsvHasData = false;
    int TableColumnCount = 0;
    int CsvColumnCount = 0;
    int GridColumnCount = 0;
    std::atomic<bool> Running{false};  // written by the transfer thread, read by the UI thread
    tabrook::JobList JobList;

    // Puts every field back to its start value and empties the job list.
    void Reset();
};

}  // namespace tabrook
