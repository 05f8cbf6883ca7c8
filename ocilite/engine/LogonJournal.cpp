#include "ocilite/engine/LogonJournal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace ocilite {
namespace {

// A file descriptor held under an exclusive lock of the whole file, closed at the end.
class LockedFile {
public:
    LockedFile(const std::string& path, int flags) : fd_(::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0600)) {
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~LockedFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    int Fd() const { return fd_; }

    std::string ReadAll() const {
        std::string text;
        char buffer[4096];
        ::lseek(fd_, 0, SEEK_SET);
        for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
        return text;
    }

private:
    int fd_;
};

}  // namespace

LogonJournal::LogonJournal(const std::string& databasePath) : path_(databasePath + "-logon") {}

void LogonJournal::Count(const std::string& text, std::map<std::string, Tally>& tallies) {
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty()) continue;
        if (line[0] == '+') {
            Tally& tally = tallies[line.substr(1)];
            tally = Tally{0, true};  // the good logon's own attempt and every one before it
        } else {
            ++tallies[line].attempts;
        }
    }
}

LogonJournal::Tally LogonJournal::TallyOf(const std::string& user) const {
    LockedFile file(path_, O_RDONLY);
    if (file.Fd() < 0) return {};
    std::map<std::string, Tally> tallies;
    Count(file.ReadAll(), tallies);
    return tallies[user];
}

bool LogonJournal::Append(const std::string& line) {
    LockedFile file(path_, O_WRONLY | O_APPEND | O_CREAT);
    if (file.Fd() < 0) return false;
    const std::string text = line + "\n";
    return ::write(file.Fd(), text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
           ::fdatasync(file.Fd()) == 0;
}

std::map<std::string, LogonJournal::Tally> LogonJournal::TakeAll() {
    std::map<std::string, Tally> tallies;
    LockedFile file(path_, O_RDWR);
    if (file.Fd() < 0) return tallies;
    Count(file.ReadAll(), tallies);
    if (!tallies.empty() && ::ftruncate(file.Fd(), 0) != 0) tallies.clear();  // kept for the next logon
    return tallies;
}

}  // namespace ocilite
