#include "app/ProgramFolder.h"

#include <mutex>
#include <system_error>

namespace tabrook {

namespace {
std::mutex overrideMutex;
std::filesystem::path folderOverride;
}  // namespace

std::filesystem::path ProgramFolder() {
    {
        std::lock_guard lock(overrideMutex);
        if (!folderOverride.empty()) return folderOverride;
    }
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && exe.has_parent_path()) return exe.parent_path();
    return std::filesystem::current_path(error);
}

void SetProgramFolderForTesting(const std::filesystem::path& folder) {
    std::lock_guard lock(overrideMutex);
    folderOverride = folder;
}

}  // namespace tabrook
