#pragma once
// Splits an SQL script into statements the way the console reads them: a statement ends with
// ';' at the end of a line (outside a quoted string), or with a line holding only '/'. PL/SQL
// blocks (BEGIN, DECLARE, CREATE PROCEDURE ...) end only with '/'. Blank lines and comment
// lines between statements are skipped; EXIT or QUIT ends the script. A console command
// (DESCRIBE, SET, @file ...) is one line at the start of a statement.

#include <istream>
#include <memory>
#include <optional>
#include <string>

#include "ocilite/console/LineSource.h"

namespace ocilite {

struct ScriptEntry {
    std::string text;  // a statement without its terminator, or a command line
    bool command = false;
};

class ScriptReader {
public:
    explicit ScriptReader(std::istream& in)
        : ownSource_(std::make_unique<StreamLineSource>(in)), source_(*ownSource_) {}
    explicit ScriptReader(LineSource& source) : source_(source) {}

    // The next statement or command, or nothing at the end of the script.
    std::optional<ScriptEntry> Next();
    // Line number (1-based) where the last returned statement started.
    int StartLine() const { return startLine_; }
    // The script ended with EXIT or QUIT.
    bool Exited() const { return exited_; }

private:
    std::unique_ptr<LineSource> ownSource_;
    LineSource& source_;
    int line_ = 0;
    int startLine_ = 0;
    bool done_ = false;
    bool exited_ = false;
};

}  // namespace ocilite
