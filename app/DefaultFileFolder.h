#pragma once

#include <filesystem>

namespace tabrook {

// The folder of files named without a folder: the default log (LOG=TRUE) and bare CSV names.
// The program's folder where this user may write there (a portable install); otherwise, as for
// an installed package in /usr/bin, the user's data folder $XDG_DATA_HOME/tabrook
// (~/.local/share/tabrook without the variable), created 0700 when missing.
std::filesystem::path DefaultFileFolder();

}  // namespace tabrook
