#include "ocilite/console/Pager.h"

#include <unistd.h>

#include <cstdlib>

namespace ocilite {

std::string Pager::Command() {
    if (const char* pager = std::getenv("PAGER")) return pager;
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::string less = folders.substr(start, end - start) + "/less";
        if (::access(less.c_str(), X_OK) == 0) return "less -FRSX";
        start = end + 1;
    }
    return {};
}

bool Pager::Open(const std::string& command) {
    Close();
    if (command.empty()) return false;
    std::fflush(stdout);
    pipe_ = ::popen(command.c_str(), "w");
    return pipe_ != nullptr;
}

bool Pager::Write(std::string_view text) {
    if (!pipe_) return false;
    return std::fwrite(text.data(), 1, text.size(), pipe_) == text.size();
}

void Pager::Close() {
    if (pipe_) ::pclose(pipe_);
    pipe_ = nullptr;
}

}  // namespace ocilite
