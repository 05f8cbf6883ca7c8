#pragma once
// The settings kept between runs of the program, per user: the last logon (user and connect
// string, never the password), the folder of the last CSV file and every transfer option.
// Stored with QSettings under organization "Vornex", application "Hollin", group "List-1":
// the registry on Windows, an INI file under XDG_CONFIG_HOME elsewhere. Numbers and flags are
// stored as integers (flags 1 or 0, read as true when not 0).
//
// Reading never fails: a missing or ill-typed value gives that value's default alone.
// Writing never reports: a value that cannot be written is skipped and the rest still go.

#include <string>

#include "oci/LogonValues.h"
#include "transfer/RunContext.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

// The two parts that are read or written separately; combine them with |.
enum SettingsPart : int {
    kConnectionPart = 1,  // "USER", "CONN"
    kTransferPart = 2,    // "Folder" and the transfer settings
};

// Where the stored values come from and go to.
struct SettingsTargets {
    TransferSettings& Settings;
    RunContext& Context;      // CsvFile gives the folder that is written to "Folder"
    LogonValues& Logon;       // Password is cleared on every read and never written
    std::string& OpenFolder;  // initial folder of the CSV open dialog
};

// load true reads the parts named by parts (a set of SettingPart bits), false writes them.
void RegistrySettings(bool load, int parts, const SettingsTargets& targets);

// The job list window's own value "ListFolder" under the same key (empty when missing).
std::string ReadListFolder();
void WriteListFolder(const std::string& folder);

// The main window's size and position as the window toolkit encodes them ("MainWindow"; empty
// when missing).
std::string ReadWindowPlacement();
void WriteWindowPlacement(const std::string& placement);

// The defaults of the stored values, as a first start sees them.
constexpr int kDefaultStoredMode = 0;
constexpr int kDefaultStoredAutoCmtCnt = 1;
constexpr int kDefaultStoredErrCnt = 100;

}  // namespace tabrook
