#pragma once
// The console's lines at a terminal, read through libedit: the prompt "SQL> " and numbered
// continuation lines, editing keys (emacs style; ~/.editrc applies), a history kept between
// sessions in a file, and Tab completion.

#include <cstdio>
#include <string>

#include "ocilite/console/Completion.h"
#include "ocilite/console/LineSource.h"

struct editline;
struct history;

namespace ocilite {

class LineEditor : public LineSource {
public:
    // historyPath: the file the history is read from and written back to (empty: none).
    LineEditor(std::string historyPath, const Completion& completion);
    ~LineEditor() override;
    LineEditor(const LineEditor&) = delete;
    LineEditor& operator=(const LineEditor&) = delete;

    Result Next(std::string& line, int lineOfStatement) override;

    // $XDG_DATA_HOME/tabrook/ocilite-sql_history (~/.local/share/... without the variable).
    static std::string DefaultHistoryPath();

private:
    static const char* Prompt(editline* el);
    static unsigned char Complete(editline* el, int key);
    void Remember(const std::string& line);

    std::string historyPath_;
    const Completion& completion_;
    FILE* out_;
    editline* el_ = nullptr;
    history* history_ = nullptr;
    std::string prompt_;
};

}  // namespace ocilite
