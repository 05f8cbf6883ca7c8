#pragma once

#include <filesystem>

namespace tabrook {

// The folder that holds the running executable (where the default log and the embedded
// engine live). Falls back to the current folder when it cannot be found.
std::filesystem::path ProgramFolder();

// Makes ProgramFolder() return folder (empty: the real folder again). For tests.
void SetProgramFolderForTesting(const std::filesystem::path& folder);

}  // namespace tabrook
