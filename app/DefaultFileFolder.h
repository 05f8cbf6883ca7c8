#pragma once

#include <filesystem>

namespace tabrook {

// The folder of files named without a folder: the default log (LOG=TRUE) and bare CSV names.
// The program's folder where this user may write there (a portable install); otherwise, as for
// an installed package in /usr/bin, the user's data folder $XDG_DATA_HOME/tabrook
// (~/.local/share/tabrook without the variable), created 0700 when missing. A system folder of
// programs (/usr/bin and its kin) is never used, even by root, who may write there.
std::filesystem::path DefaultFileFolder();

// Whether folder is one of the system's folders of programs (links followed).
bool IsSystemProgramFolder(const std::filesystem::path& folder);

}  // namespace tabrook
