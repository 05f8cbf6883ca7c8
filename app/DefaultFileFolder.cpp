#include "app/DefaultFileFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include "app/EmbeddedDatabase.h"
#include "app/ProgramFolder.h"

namespace tabrook {

std::filesystem::path DefaultFileFolder() {
    const std::filesystem::path program = ProgramFolder();
    if (::access(program.c_str(), W_OK) == 0) return program;
    // The folder of the default database.
    const std::filesystem::path data = std::filesystem::path(EmbeddedDatabaseFile("")).parent_path();
    std::error_code error;
    std::filesystem::create_directories(data.parent_path(), error);
    ::mkdir(data.c_str(), 0700);  // the user's own, as the database makes it
    return data;
}

}  // namespace tabrook
