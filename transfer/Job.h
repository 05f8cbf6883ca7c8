#pragma once
// One transfer of a job list: a table and a CSV file, with the outcome of its last run.

#include <string>

namespace tabrook {

struct Job {
    std::string Table;
    std::string Csv;
    std::string RecordText;   // lines read or rows fetched, decimal
    std::string SuccessText;  // rows inserted or written, decimal
    std::string ErrorText;    // rows refused, decimal
    std::string Status;       // status message of the last run
    int Result = 0;           // 0 ended normally, -1 cancelled or stopped, else an error code
    bool Selected = false;    // takes part in the next run
};

}  // namespace tabrook
