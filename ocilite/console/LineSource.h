#pragma once
// Where the console reads its lines: a script file or pipe, or the line editor at a terminal.

#include <istream>
#include <string>

namespace ocilite {

class LineSource {
public:
    enum class Result { Line, End, Interrupted };
    virtual ~LineSource() = default;
    // The next line without its line break. lineOfStatement is 1 at the start of a statement
    // and counts the continuation lines after it (a prompt shows it). Interrupted: the user
    // pressed Ctrl+C and the statement typed so far is dropped.
    virtual Result Next(std::string& line, int lineOfStatement) = 0;
};

class StreamLineSource : public LineSource {
public:
    explicit StreamLineSource(std::istream& in) : in_(in) {}
    Result Next(std::string& line, int) override { return std::getline(in_, line) ? Result::Line : Result::End; }

private:
    std::istream& in_;
};

}  // namespace ocilite
