#pragma once
// The console's own commands, each on one line of its own at the start of a statement:
// DESC[RIBE] name, SET option value, SHOW option, SPOOL file|OFF, @file, @@file, HELP,
// CONN[ECT] user[/password][@database]. A trailing ';' is allowed. SET TRANSACTION, SET ROLE
// and SET CONSTRAINTS stay SQL.

#include <optional>
#include <string>

namespace ocilite {

enum class CommandKind { Describe, Set, Show, Spool, Run, RunRelative, Help, Connect };

struct ConsoleCommand {
    CommandKind kind;
    std::string argument;  // the rest of the line, trimmed, without a trailing ';'
};

// The command a line holds, or nothing when the line is SQL.
std::optional<ConsoleCommand> ParseConsoleCommand(const std::string& line);

}  // namespace ocilite
