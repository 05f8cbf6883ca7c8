#pragma once
// The pager a long result goes through on a terminal: $PAGER when it is set (empty: none),
// else "less -FRSX" when less is installed.

#include <cstdio>
#include <string>
#include <string_view>

namespace ocilite {

class Pager {
public:
    // The command to run, or empty when there is none.
    static std::string Command();

    Pager() = default;
    ~Pager() { Close(); }
    Pager(const Pager&) = delete;
    Pager& operator=(const Pager&) = delete;

    bool Open(const std::string& command);
    bool IsOpen() const { return pipe_ != nullptr; }
    // False once the pager has quit (its pipe is closed).
    bool Write(std::string_view text);
    // Waits for the pager to end.
    void Close();

private:
    FILE* pipe_ = nullptr;
};

}  // namespace ocilite
