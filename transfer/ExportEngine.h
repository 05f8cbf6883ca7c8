#pragma once
// Export: writes every row of one table or view into one CSV file. The columns of the grid's
// column list are selected in grid order, each fetched row becomes one line (text-like values
// between delimiters, the others bare, line breaks inside values replaced when asked), and the
// lines are written ten at a time together with the counts in the status bar.
//
// Runs on whichever thread calls it; reaches the user only through the host and the state's
// synchronized steps, and reads the settings it is given as they stand.

#include <string>

namespace tabrook {

class Host;
class Tdm;
struct TransferSettings;
class TransferJobState;

// Result codes of Export.
enum ExportResult : int {
    kExportDone = 0,
    kExportCancelled = -1,       // overwrite declined, cancel pending before the select, or cancelled
    kExportCannotWrite = 4,      // the CSV file cannot be created or written
    kExportTooManyColumns = 11,  // the grid holds more columns than the limit
    kExportFailed = 999,         // the select or a fetch failed, a value could not be rendered, bad name
};

// True for the type codes whose values are written between delimiters.
bool IsTextLikeExportType(int typeCode);

// The select statement of an export: the named columns in order (national-character columns
// converted to the database character set under their own names) from the table.
std::string ExportSelect(const std::string& table, const int* types, const std::string* names, int count);

// Exports table into csvFile. state's counters are expected to be zero on entry. On return
// message holds the status text; the result is one of ExportResult.
int Export(TransferJobState& state, Tdm& dm, Host& host, const TransferSettings& settings, const std::string& table,
           const std::string& csvFile, std::string& message);

}  // namespace tabrook
