#pragma once
// The console's command line and its connect strings:
//   ocilite-sql [--create] [--csv] [-f FILE] [USER[/PASSWORD][@DATABASE]]
// The database part follows the last '@' (empty or missing: the user's default database); a
// missing password is asked for.

#include <optional>
#include <string>

namespace ocilite {

struct ConnectTarget {
    std::string user;
    std::optional<std::string> password;
    std::string database;
};

// USER[/PASSWORD][@DATABASE]; nothing when there is no user.
std::optional<ConnectTarget> SplitConnect(const std::string& text);

struct CommandLine {
    bool create = false;
    bool csv = false;
    bool help = false;
    std::string file;     // -f FILE ("-": standard input)
    std::string connect;  // empty: the default account on the default database
    std::string error;    // what is wrong with the command line, if anything

    static CommandLine Parse(int argc, char** argv);
};

}  // namespace ocilite
