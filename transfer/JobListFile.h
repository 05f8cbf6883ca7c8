#pragma once
// The job list file (*.LST): line 1 holds the mode the list was saved in (0 Import, 1 Export),
// every further line one job as "table<TAB>csv path". Written with CR LF line ends; read with
// CR LF or LF alone.

#include <string>
#include <vector>

#include "transfer/JobList.h"

namespace tabrook {

class Host;
struct RunContext;

// One row of a job list as the job list window saves it.
struct JobListRow {
    std::string Table;
    std::string Csv;

    bool operator==(const JobListRow&) const = default;
};

// Replaces context.JobList with the jobs of the file at path. When the file cannot be read:
// logs "I997", shows the message through host unless context.AutoClose, empties
// context.ListFile, leaves the job list as it was and returns false. A last line without a
// line feed is a job too. listMode (when given) receives the mode line: 0, 1, or -1 when it
// names neither.
bool ReadJobList(const std::string& path, RunContext& context, Host& host, int* listMode = nullptr);

// The mode line of a job list file's text: 0 Import, 1 Export, -1 for anything else.
int JobListMode(const std::string& text);

// The jobs of a job list file's text (without the failure handling of the file).
std::vector<JobListRow> ParseJobListText(const std::string& text);

// Writes a job list file: the mode, then one line per row in order. On failure returns false
// with a user-readable reason in *error (when given); a file left half-written is removed.
bool WriteJobList(const std::string& path, int mode, const std::vector<JobListRow>& rows, std::string* error = nullptr);

}  // namespace tabrook
