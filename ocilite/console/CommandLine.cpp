#include "ocilite/console/CommandLine.h"

namespace ocilite {

std::optional<ConnectTarget> SplitConnect(const std::string& text) {
    ConnectTarget t;
    const size_t slash = text.find('/');
    if (slash == std::string::npos) {
        const size_t at = text.find('@');
        t.user = text.substr(0, at);
        if (at != std::string::npos) t.database = text.substr(at + 1);
    } else {
        t.user = text.substr(0, slash);
        const std::string rest = text.substr(slash + 1);
        const size_t at = rest.rfind('@');
        t.password = rest.substr(0, at);
        if (at != std::string::npos) t.database = rest.substr(at + 1);
    }
    if (t.user.empty()) return std::nullopt;
    return t;
}

CommandLine CommandLine::Parse(int argc, char** argv) {
    CommandLine c;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--create") {
            c.create = true;
        } else if (a == "--csv") {
            c.csv = true;
        } else if (a == "-f" && i + 1 < argc) {
            c.file = argv[++i];
        } else if (a == "-h" || a == "--help") {
            c.help = true;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            c.error = "unknown option " + a;
        } else if (c.connect.empty() && !a.empty()) {
            c.connect = a;
        } else {
            c.error = "unexpected argument " + a;
        }
    }
    if (!c.connect.empty() && !SplitConnect(c.connect)) c.error = "no user in " + c.connect;
    return c;
}

}  // namespace ocilite
