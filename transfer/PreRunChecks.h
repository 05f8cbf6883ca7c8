#pragma once
// The checks made before a transfer starts. CheckImport and CheckExport decide from what the
// previews found out (the run context) whether the transfer may start: 0 with the question to
// confirm, or a refusal code with its text. They look at neither the database nor the disk.
// CheckDateFormat and CheckTimestampFormat try a user's format on the client library.

#include <string>

#include "transfer/TargetFacts.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

class TOCI8Func;

// Refusal codes of CheckImport / CheckExport.
enum PreRunRefusal : int {
    kCheckCsvUnreadable = 1,   // import: the CSV preview could not read the file
    kCheckCsvEmpty = 2,        // import: no data line
    kCheckNoCsvFile = 3,       // export: no file name
    kCheckNoTable = 5,         // export: no table name
    kCheckNoTableInfo = 6,     // a named table could not be described (import: any failure)
    kCheckImportIntoView = 8,  // import: the target is a view
    kCheckPlanFailed = 11,  // import: header names match no column, or the table was not made
};

int CheckImport(std::string& message, const TransferSettings& settings, const TargetFacts& context);
int CheckExport(std::string& message, const TransferSettings& settings, const TargetFacts& context);

// True when the client library renders today's date with format without an error.
bool CheckDateFormat(TOCI8Func& oci, const std::string& format);
// True when the client library renders the current timestamp (with zone, 6 fractional
// digits) with format without an error.
bool CheckTimestampFormat(TOCI8Func& oci, const std::string& format);

}  // namespace tabrook
