#pragma once
// Import: loads one CSV file into one table. One INSERT with a bind variable per importable
// column is prepared once and executed for the CSV lines, in arrays of consecutive lines (see
// ImportOptions). Refused rows go to an error-record file (.err, importable as it stands) and
// their messages to an error-message file (.erm); commits come every AutoCmtCnt lines when
// AutoCommit is set and once at the end; a cancelled import rolls back what was not yet
// committed.
//
// Runs on whichever thread calls it, from its plan alone: the columns, the file, the settings.
// It reaches the user only through the host (questions, messages, the busy pointer, opening
// the error files) and publishes its counts to the state's progress sink without waiting.

#include <functional>
#include <string>
#include <string_view>

#include "transfer/SafeFiles.h"

namespace tabrook {

class Host;
class Tdm;
class TransferJobState;
struct TransferPlan;

// Result codes of Import.
enum ImportResult : int {
    kImportDone = 0,             // the file was read to its end (rows may have been refused)
    kImportCancelled = -1,       // stop, confirmed cancel, error-limit stop, or pending cancel
    kImportCsvUnreadable = 1,    // the CSV file cannot be opened
    kImportNothingToImport = 7,  // no column of the list is importable
    kImportNoErrorFiles = 9,     // an error file could not be created and the user declined
    kImportTooManyColumns = 10,  // the column mapping is empty or wider than the limit
    kImportDoneAfterLimit = 12,  // the error limit was reached, the user went on to the end
    kImportNoKey = 14,           // UPSERT/UPDATE: the table has no usable key (ImportStatement.h)
    kImportBadEncoding = 15,     // the file is not text of the encoding named
    kImportFailed = 999,         // truncate, prepare, commit or rollback failed; bad name
};

// The error-record and error-message files of a CSV file: its extension replaced. (When the
// CSV file is itself an error-record file, the import appends the extensions instead.)
std::string ErrorRecordPath(std::string_view csvFile);
std::string ErrorMessagePath(std::string_view csvFile);

// How an import sends its rows to the database.
struct ImportOptions {
    ImportOptions() = default;
    explicit ImportOptions(int batchRows) : BatchRows(batchRows) {}

    // Rows sent per execute: up to this many consecutive records go in one array DML in
    // batch-error mode. 1 sends every record on its own execute through the cursor (the
    // row-by-row engine). Either way the import's outcome is the same: the same rows inserted,
    // refused, counted, committed and written to the error files, in file order, the same
    // questions at the same records. A batch ends at a commit point, before a stop or cancel
    // is handled, before a row that goes on its own (LOB fields, a value over 4000 bytes),
    // and before its arrays would pass 4 MiB (rows times the widest value of each column).
    // A refusal inside a batch that reaches the error limit is met as one by one: the rows
    // after it were sent, but are not counted or recorded unless the run goes on, and when it
    // stops they go with its rollback. One difference is seen while the import runs: the
    // counts shown every ten records hold the rows whose outcome is known, the batches sent.
    // A client that cannot run the array sends every row on its own from then on.
    int BatchRows = 5000;
    // Opens the CSV file for reading (empty: the file system's own open). A test gives a file
    // whose reading fails part of the way.
    std::function<FilePtr(const std::string&)> OpenCsv;
};

// Imports the plan's CSV file into its table. state's counters are expected to be zero on
// entry (the thread clears them). On return message holds the status text of the run; the
// result is one of ImportResult.
int Import(TransferJobState& state, Tdm& dm, Host& host, const TransferPlan& plan, std::string& message,
           const ImportOptions& options = {});

}  // namespace tabrook
