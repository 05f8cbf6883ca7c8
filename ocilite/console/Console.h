#pragma once
// Runs what the console reads: SQL statements on the session, with their results printed in
// the style of the mode (scripts: '|' lines; people at a terminal: aligned columns and
// feedback; CSV when asked), and the console's own commands (DESCRIBE, SET, SHOW, SPOOL, @,
// @@, CONNECT, HELP).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ocilite/console/ConsoleCommand.h"
#include "ocilite/console/ConsoleOutput.h"
#include "ocilite/console/ConsoleSettings.h"
#include "ocilite/console/ResultPrinter.h"
#include "ocilite/console/ScriptReader.h"
#include "ocilite/engine/Engine.h"

namespace ocilite {

class Console {
public:
    // forPeople: the interactive style (aligned results, blank lines between blocks).
    Console(std::unique_ptr<Session> session, ConsoleSettings& settings, ConsoleOutput& output, bool forPeople);
    ~Console();

    // Runs every entry of the reader; false when any statement or command failed. Stops early
    // at EXIT in a script run with @ (Exited) or at Ctrl+C in a script.
    bool Run(ScriptReader& reader);
    // Runs one entry; false when it failed.
    bool RunEntry(const ScriptEntry& entry);
    // EXIT or QUIT was read in a script run with @.
    bool Exited() const { return exited_; }
    // Commits the work at the end; false (and said) when the commit fails.
    bool Finish();

    Session& CurrentSession() { return *session_; }

private:
    bool RunSql(const std::string& sql);
    bool RunCommand(const ConsoleCommand& command);
    bool Describe(const std::string& name);
    bool Show(const std::string& what);
    bool Spool(const std::string& argument);
    bool RunFile(const std::string& name, bool besideScript);
    bool Connect(const std::string& argument);
    void Help();

    void Echo(const std::string& text);
    void Fail(const std::string& message);
    // Starts a block of people's output with a blank line.
    void Block();
    std::unique_ptr<ResultPrinter> MakePrinter(TextSink sink) const;

    std::unique_ptr<Session> session_;
    ConsoleSettings& settings_;
    ConsoleOutput& output_;
    bool forPeople_;
    std::vector<std::filesystem::path> scriptFolders_;  // of the @ scripts running, innermost last
    bool exited_ = false;
    bool printed_ = false;  // this entry printed a block
};

}  // namespace ocilite
