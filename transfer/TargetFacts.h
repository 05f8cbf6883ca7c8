#pragma once
// What the previews learnt of a transfer's target: the table (described, a table or a view,
// its column count) and the CSV file (read, its widest record). The pre-run checks decide on
// these facts; the window keeps the facts of what it shows, and a job-list run learns them
// afresh for every job.

#include <string>

namespace tabrook {

struct TargetFacts {
    std::string TableName;
    std::string CsvFile;
    bool TableInfoOk = false;
    bool IsTable = true;
    bool CsvHasData = false;
    int TableColumnCount = 0;
    int CsvColumnCount = 0;
    int GridColumnCount = 0;  // the wider of the two counts
    std::string CsvFailure;   // why the file could not be read, "(...)"; empty when it could
    // Why the named table could not be described (the client's error, such as ORA-00942);
    // empty when it was described or no name was given.
    std::string TableFailure;
};

}  // namespace tabrook
