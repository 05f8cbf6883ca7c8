#pragma once
// Where the console writes: results and messages to standard output, errors to standard
// error, both copied into the spool file while SPOOL is on. On a terminal a result longer
// than the screen goes through the pager; until it passes a screen it is held back.

#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "ocilite/console/Pager.h"

namespace ocilite {

class ConsoleOutput {
public:
    // screenRows: the terminal's height, or 0 when results are never paged.
    explicit ConsoleOutput(int screenRows = 0) : screenRows_(screenRows) {}

    void Write(std::string_view text);
    // One line of an error message.
    void Error(std::string_view line);
    void Flush();

    // SPOOL file [APPEND]: an error message when the file cannot be opened.
    std::optional<std::string> StartSpool(const std::string& path, bool append);
    void StopSpool();
    // The spool file's path, empty when SPOOL is off.
    const std::string& SpoolPath() const { return spoolPath_; }

    // Around one result's rows: a long one is shown through the pager.
    void BeginResult();
    void EndResult();
    // The user quit the pager before the end of the result: fetch no more rows.
    bool PagerQuit() const { return pagerQuit_; }

private:
    void Screen(std::string_view text);

    int screenRows_;
    std::ofstream spool_;
    std::string spoolPath_;
    bool paging_ = false;
    bool pagerQuit_ = false;
    std::string held_;
    int heldLines_ = 0;
    Pager pager_;
};

}  // namespace ocilite
