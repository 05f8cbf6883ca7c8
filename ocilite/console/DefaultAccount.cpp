#include "ocilite/console/DefaultAccount.h"

#include <cstdlib>
#include <fstream>

namespace ocilite {
namespace {

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

}  // namespace

std::string StoredUserName() {
    std::string folder;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        folder = xdg;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home ? home : ".") + "/.config";
    }
    std::ifstream in(folder + "/Vornex/Hollin.conf");
    std::string line;
    bool inGroup = false;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (!line.empty() && line.front() == '[') {
            inGroup = line == "[List-1]";
        } else if (inGroup && line.rfind("USER=", 0) == 0) {
            std::string value = Trim(line.substr(5));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

}  // namespace ocilite
