#include "app/DefaultFileFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include "app/EmbeddedDatabase.h"
#include "app/ProgramFolder.h"

namespace tabrook {

bool IsSystemProgramFolder(const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::weakly_canonical(folder, error);
    if (error) return false;
    for (const char* system : {"/bin", "/sbin", "/usr/bin", "/usr/sbin", "/usr/local/bin", "/usr/local/sbin",
                               "/usr/games", "/usr/local/games"}) {
        if (real == std::filesystem::weakly_canonical(system, error) && !error) return true;
    }
    return false;
}

std::filesystem::path DefaultFileFolder() {
    const std::filesystem::path program = ProgramFolder();
    if (!IsSystemProgramFolder(program) && ::access(program.c_str(), W_OK) == 0) return program;
    // The folder of the default database.
    const std::filesystem::path data = std::filesystem::path(EmbeddedDatabaseFile("")).parent_path();
    std::error_code error;
    std::filesystem::create_directories(data.parent_path(), error);
    ::mkdir(data.c_str(), 0700);  // the user's own, as the database makes it
    return data;
}

}  // namespace tabrook
