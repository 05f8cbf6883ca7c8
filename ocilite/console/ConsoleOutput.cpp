#include "ocilite/console/ConsoleOutput.h"

#include <algorithm>
#include <cstdio>

namespace ocilite {

void ConsoleOutput::Screen(std::string_view text) {
    if (!paging_) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return;
    }
    if (pager_.IsOpen()) {
        if (!pager_.Write(text)) pagerQuit_ = true;
        return;
    }
    held_.append(text);
    heldLines_ += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    if (heldLines_ < screenRows_ - 1) return;
    // more than a screen: the pager takes it from here, or the screen when there is none
    if (pager_.Open(Pager::Command())) {
        if (!pager_.Write(held_)) pagerQuit_ = true;
    } else {
        paging_ = false;
        std::fwrite(held_.data(), 1, held_.size(), stdout);
    }
    held_.clear();
}

void ConsoleOutput::Write(std::string_view text) {
    Screen(text);
    if (spool_.is_open()) spool_.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void ConsoleOutput::Error(std::string_view line) {
    std::fflush(stdout);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    if (spool_.is_open()) spool_ << line << '\n';
}

void ConsoleOutput::Flush() {
    std::fflush(stdout);
    if (spool_.is_open()) spool_.flush();
}

std::optional<std::string> ConsoleOutput::StartSpool(const std::string& path, bool append) {
    StopSpool();
    spool_.open(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    if (!spool_) return "cannot create the spool file " + path;
    spoolPath_ = path;
    return std::nullopt;
}

void ConsoleOutput::StopSpool() {
    if (spool_.is_open()) spool_.close();
    spool_.clear();
    spoolPath_.clear();
}

void ConsoleOutput::BeginResult() {
    paging_ = screenRows_ > 0;
    pagerQuit_ = false;
    held_.clear();
    heldLines_ = 0;
}

void ConsoleOutput::EndResult() {
    if (!held_.empty()) std::fwrite(held_.data(), 1, held_.size(), stdout);
    held_.clear();
    pager_.Close();
    paging_ = false;
}

}  // namespace ocilite
