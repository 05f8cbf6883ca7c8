#pragma once
// Export: writes every row of one table or view into one CSV file. The columns of the plan are
// selected in its order, each fetched row becomes one line (text-like values
// between delimiters, the others bare, line breaks inside values replaced when asked), and the
// lines are written ten at a time together with the counts in the status bar.
//
// Runs on whichever thread calls it, from its plan alone; reaches the user only through the
// host and publishes its counts to the state's progress sink without waiting.

#include <string>
#include <vector>

namespace tabrook {

class Host;
class Tdm;
class TransferJobState;
struct PlanColumn;
struct TransferPlan;

// Result codes of Export.
enum ExportResult : int {
    kExportDone = 0,
    kExportCancelled = -1,       // overwrite declined, cancel pending before the select, or cancelled
    kExportCannotWrite = 4,      // the CSV file cannot be created or written
    kExportTooManyColumns = 11,  // the column mapping is wider than the limit
    kExportFailed = 999,         // the select or a fetch failed, a value could not be rendered, bad name
};

// The select statement of an export: the named columns in order (national-character columns
// converted to the database character set under their own names) from the table.
std::string ExportSelect(const std::string& table, const std::vector<PlanColumn>& columns);

// Exports the plan's table into its CSV file. state's counters are expected to be zero on
// entry. On return message holds the status text; the result is one of ExportResult.
int Export(TransferJobState& state, Tdm& dm, Host& host, const TransferPlan& plan, std::string& message);

}  // namespace tabrook
