#pragma once
// The KEY=value options of the command line (USER, MODE, SEP, DELIM, REPCR, CRTYPE, HEADER,
// TRUNCATE, AUTOCOMMIT, ESC, AUTOCLOSE, LISTFILE, AUTOSTART, TIMESTAMPFMT, DATEFMT, ERRCNT,
// ERRSTOP, LOG, LOBDATA, LOADMODE=INSERT|UPSERT|UPDATE, ENCODING, MAPBY, CREATE). Keys ignore case; values are taken as given. Arguments without "=" (or with
// "=" first) and unknown keys are skipped; a key given twice takes effect twice.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "oci/LogonValues.h"
#include "transfer/RunContext.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

struct CommandLineResult {
    bool UserGiven = false;         // USER was given: log on without the dialog
    bool PasswordGiven = false;     // USER had a password part ("user/password@db")
    bool ModeGiven = false;         // MODE named IMPORT or EXPORT
    std::string DateFmtAside;       // last DATEFMT, applied by start-up after a format check
    std::string TimestampFmtAside;  // last TIMESTAMPFMT, likewise
};

// Applies the options in args (the arguments after the program name) to the settings, the run
// context and the logon values. Shows no message and never fails.
CommandLineResult ParseCommandLine(const std::vector<std::string>& args, TransferSettings& settings,
                                   RunContext& context, LogonValues& logon);

// "(TAB)" gives a tab, "(WQ)" a double quote (any case); anything else is returned unchanged.
std::string DecodeCharName(std::string_view value);

// The log file that a LOG value names, or nothing when the value is empty. "TRUE" (any case)
// means Tabrook.log in defaultFolder (DefaultFileFolder); a path whose folder cannot be created
// falls back to the same; a ".tmp" extension becomes ".log" (the working file of the log uses ".tmp").
std::optional<std::string> LogFileFromOption(const std::string& value, const std::filesystem::path& defaultFolder);

// ASCII upper case, as the option words are compared.
std::string UpperAscii(std::string_view text);

}  // namespace tabrook
