#include "ocilite/console/LineEditor.h"

#include <histedit.h>
#include <unistd.h>

#include <filesystem>
#include <sys/stat.h>

#include "ocilite/console/CancelSignal.h"
#include "ocilite/console/DisplayWidth.h"
#include "ocilite/engine/SqliteSession.h"

namespace ocilite {
namespace {

constexpr int kHistoryLines = 1000;

}  // namespace

std::string LineEditor::DefaultHistoryPath() {
    return SqliteSession::UserDataFolder() + "/ocilite-sql_history";
}

LineEditor::LineEditor(std::string historyPath, const Completion& completion)
    : historyPath_(std::move(historyPath)), completion_(completion), out_(isatty(STDOUT_FILENO) ? stdout : stderr) {
    el_ = el_init("ocilite-sql", stdin, out_, stderr);
    history_ = history_init();
    HistEvent event;
    history(history_, &event, H_SETSIZE, kHistoryLines);
    history(history_, &event, H_SETUNIQUE, 1);
    if (!historyPath_.empty()) history(history_, &event, H_LOAD, historyPath_.c_str());
    el_set(el_, EL_CLIENTDATA, this);
    el_set(el_, EL_EDITOR, "emacs");
    el_set(el_, EL_PROMPT, &LineEditor::Prompt);
    el_set(el_, EL_HIST, history, history_);
    el_set(el_, EL_ADDFN, "ocilite-complete", "Complete keywords, table and column names", &LineEditor::Complete);
    el_set(el_, EL_BIND, "^I", "ocilite-complete", nullptr);
    el_source(el_, nullptr);
}

LineEditor::~LineEditor() {
    el_end(el_);
    history_end(history_);
}

const char* LineEditor::Prompt(editline* el) {
    void* self = nullptr;
    el_get(el, EL_CLIENTDATA, &self);
    return static_cast<LineEditor*>(self)->prompt_.c_str();
}

LineSource::Result LineEditor::Next(std::string& line, int lineOfStatement) {
    if (lineOfStatement <= 1) {
        prompt_ = "SQL> ";
    } else {
        char number[16];
        std::snprintf(number, sizeof number, "%3d  ", lineOfStatement);
        prompt_ = number;
    }
    CancelSignal::Clear();
    int count = 0;
    const char* text = el_gets(el_, &count);
    if (!text) {
        std::fputc('\n', out_);
        std::fflush(out_);
        return CancelSignal::Pending() ? Result::Interrupted : Result::End;
    }
    line.assign(text, static_cast<size_t>(count));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    Remember(line);
    return Result::Line;
}

void LineEditor::Remember(const std::string& line) {
    if (line.find_first_not_of(" \t") == std::string::npos) return;
    HistEvent event;
    history(history_, &event, H_ENTER, line.c_str());
    if (historyPath_.empty()) return;
    // the history folder is private, like the databases beside it
    const std::filesystem::path folder = std::filesystem::path(historyPath_).parent_path();
    std::error_code ec;
    if (!std::filesystem::exists(folder, ec)) {
        std::filesystem::create_directories(folder.parent_path(), ec);
        ::mkdir(folder.c_str(), 0700);
    }
    const mode_t saved = ::umask(077);
    history(history_, &event, H_SAVE, historyPath_.c_str());
    ::umask(saved);
}

unsigned char LineEditor::Complete(editline* el, int) {
    void* self = nullptr;
    el_get(el, EL_CLIENTDATA, &self);
    auto& editor = *static_cast<LineEditor*>(self);
    const LineInfo* info = el_line(el);
    const std::string before(info->buffer, static_cast<size_t>(info->cursor - info->buffer));
    const auto candidates = editor.completion_.Candidates(before);
    if (candidates.empty()) return CC_ERROR;
    const size_t typed = before.size() - Completion::WordStart(before);
    if (candidates.size() == 1) {
        el_insertstr(el, (candidates.front().substr(typed) + " ").c_str());
        return CC_REFRESH;
    }
    const std::string common = Completion::CommonPrefix(candidates);
    if (common.size() > typed) {
        el_insertstr(el, common.substr(typed).c_str());
        return CC_REFRESH;
    }
    // several ways on: list them under the line, then show the line again
    std::string list = "\n";
    int used = 0;
    for (const auto& c : candidates) {
        const int width = DisplayWidth(c) + 2;
        if (used > 0 && used + width > 78) {
            list += '\n';
            used = 0;
        }
        list += c + "  ";
        used += width;
    }
    std::fprintf(editor.out_, "%s\n", list.c_str());
    return CC_REDISPLAY;
}

}  // namespace ocilite
