#pragma once
// What the previews learnt of a transfer's target: the table (described, a table or a view,
// its column count) and the CSV file (read, its widest record). The pre-run checks decide on
// these facts; the window keeps the facts of what it shows, and a job-list run learns them
// afresh for every job.

#include <string>
#include <vector>

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
    // The fields of the file's header line (with a header), in the client character set.
    std::vector<std::string> CsvHeader;
    // What the file was found to be when its encoding is not the client's ("文字コード: SJIS").
    std::string CsvEncoding;
    // Why the job cannot run as planned: the header names match no column (MAPBY=HEADER), or
    // the missing table could not be made from the file (CREATE=TRUE). Empty: it can.
    std::string PlanFailure;
    // The table was made from the file before the job (CREATE=TRUE).
    bool TableCreated = false;
};

}  // namespace tabrook
