#pragma once
// Splits an SQL script into statements the way the console reads them: a statement ends with
// ';' at the end of a line (outside a quoted string), or with a line holding only '/'. PL/SQL
// blocks (BEGIN, DECLARE, CREATE PROCEDURE ...) end only with '/'. Blank lines and comment
// lines between statements are skipped; EXIT or QUIT ends the script.

#include <istream>
#include <optional>
#include <string>

namespace ocilite {

class ScriptReader {
public:
    explicit ScriptReader(std::istream& in) : in_(in) {}

    // The next statement without its terminator, or nothing at the end of the script.
    std::optional<std::string> Next();
    // Line number (1-based) where the last returned statement started.
    int StartLine() const { return startLine_; }

private:
    std::istream& in_;
    int line_ = 0;
    int startLine_ = 0;
    bool done_ = false;
};

}  // namespace ocilite
