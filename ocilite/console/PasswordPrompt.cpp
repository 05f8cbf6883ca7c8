#include "ocilite/console/PasswordPrompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

namespace ocilite {
namespace {

// The controlling terminal, closed on every path out.
class Terminal {
public:
    Terminal() : fd_(::open("/dev/tty", O_RDWR | O_CLOEXEC)) {}
    ~Terminal() {
        if (fd_ >= 0) ::close(fd_);
    }
    int fd() const { return fd_; }
    void Put(const std::string& text) const { (void)!::write(fd_, text.data(), text.size()); }

private:
    int fd_;
};

std::optional<std::string> Ask(const std::string& prompt, bool masked) {
    Terminal tty;
    if (tty.fd() < 0) return std::nullopt;
    termios saved{};
    const bool raw = masked && ::tcgetattr(tty.fd(), &saved) == 0;
    if (raw) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~(ECHO | ICANON));
        quiet.c_cc[VMIN] = 1;
        quiet.c_cc[VTIME] = 0;
        ::tcsetattr(tty.fd(), TCSAFLUSH, &quiet);
    }
    tty.Put(prompt);
    std::string text;
    bool ended = false;
    for (;;) {
        char c = 0;
        if (::read(tty.fd(), &c, 1) != 1) {
            ended = true;
            break;
        }
        if (c == '\n' || c == '\r') break;
        if (raw && c == saved.c_cc[VEOF] && text.empty()) {
            ended = true;
            break;
        }
        if (raw && (c == 0x7F || c == '\b')) {
            if (text.empty()) continue;
            // one star per character: drop the UTF-8 continuation bytes with their lead byte
            while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
            text.pop_back();
            tty.Put("\b \b");
            continue;
        }
        text += c;
        if (raw && (static_cast<unsigned char>(c) & 0xC0) != 0x80) tty.Put("*");
    }
    if (raw) {
        ::tcsetattr(tty.fd(), TCSAFLUSH, &saved);
        tty.Put("\n");
    }
    if (ended && text.empty()) return std::nullopt;
    return text;
}

}  // namespace

std::optional<std::string> AskPassword(const std::string& prompt) {
    return Ask(prompt, true);
}
std::optional<std::string> AskLine(const std::string& prompt) {
    return Ask(prompt, false);
}

}  // namespace ocilite
