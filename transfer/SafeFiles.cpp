#include "transfer/SafeFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <sys/stat.h>

namespace tabrook {

namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// When this run of the program began: a working file last changed before it is not this run's.
const std::time_t kRunStart = std::time(nullptr);

// The name of target's working file with the given eight hex digits: ".NAME.XXXXXXXX.tmp".
std::string WorkingName(const std::string& targetName, const char* digits) {
    return "." + targetName + "." + digits + ".tmp";
}

// Whether name is a working file name of targetName.
bool IsWorkingName(const std::string& name, const std::string& targetName) {
    const std::string prefix = "." + targetName + ".";
    if (name.size() != prefix.size() + 12 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0)
        return false;
    for (std::size_t i = prefix.size(); i < prefix.size() + 8; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i])) || std::isupper(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

// Removes the working files of target left by runs that ended without finishing them (a
// killed export): regular files of this user under a working name of target, last changed
// before this run, and not locked by the process writing them.
void RemoveStaleWorkingFiles(const std::filesystem::path& target) {
    const std::string targetName = target.filename().string();
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!IsWorkingName(name, targetName)) continue;
        struct stat named {};
        if (::lstat(entry.path().c_str(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != ::geteuid() ||
            named.st_mtime >= kRunStart)
            continue;
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened {};
        if (::fstat(fd, &opened) == 0 && SameFile(opened, named) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(entry.path().c_str());
        ::close(fd);
    }
}

}  // namespace

FilePtr OpenForReading(const std::string& path) {
    // Opened without blocking: opening a named pipe would otherwise wait for a writer for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0) {
        error = errno;
    } else if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        error = errno;
    }
    std::FILE* file = error == 0 ? fdopen(fd, "rb") : nullptr;
    if (file == nullptr) {
        if (error == 0) error = errno;
        ::close(fd);
        errno = error;
        return nullptr;
    }
    return FilePtr(file);
}

FilePtr CreateExclusive(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.c_str());
        errno = error;
    }
    return FilePtr(file);
}

FilePtr CreateWorkingFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return nullptr;
    return CreateExclusive(path);
}

bool CloseChecked(FilePtr& file) {
    if (!file) return true;
    std::FILE* raw = file.release();
    const bool flushed = std::fflush(raw) == 0 && std::ferror(raw) == 0;
    const int error = errno;
    const bool closed = std::fclose(raw) == 0;
    if (!flushed) errno = error;
    return flushed && closed;
}

std::string SystemReason(int error) {
    return std::string("(") + std::strerror(error) + ")";
}

WorkingFile::WorkingFile(std::string target) : target_(std::move(target)) {}

WorkingFile::~WorkingFile() {
    Discard();
}

bool WorkingFile::Create() {
    Discard();
    const std::filesystem::path target(target_);
    RemoveStaleWorkingFiles(target);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(random()));
        std::filesystem::path working = target;
        working.replace_filename(WorkingName(target.filename().string(), digits));
        file_ = CreateExclusive(working.string());
        if (file_) {
            working_ = working.string();
            // Locked while this run owns it (through a descriptor of its own, which outlives
            // the stream until the rename): a later run removes only files nobody locks.
            lock_ = ::dup(fileno(file_.get()));
            if (lock_ >= 0) ::flock(lock_, LOCK_EX | LOCK_NB);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool WorkingFile::Commit() {
    if (working_.empty()) return false;
    if (!CloseChecked(file_)) {
        const int error = errno;
        Discard();
        errno = error;
        return false;
    }
    if (std::rename(working_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        Discard();
        errno = error;
        return false;
    }
    working_.clear();
    Unlock();
    return true;
}

void WorkingFile::Discard() {
    file_.reset();
    if (!working_.empty()) ::unlink(working_.c_str());
    working_.clear();
    Unlock();
}

void WorkingFile::Unlock() {
    if (lock_ >= 0) ::close(lock_);
    lock_ = -1;
}

bool IsFileInUse(const std::string& path) {
    struct stat target {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    std::error_code ignored;
    const std::string wanted = std::filesystem::weakly_canonical(path, ignored).string();
    DIR* folder = ::opendir("/proc/self/fd");
    if (folder == nullptr) return false;
    bool used = false;
    while (dirent* entry = ::readdir(folder)) {
        if (entry->d_name[0] == '.') continue;
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        struct stat open {};
        if (exists && ::stat(link.c_str(), &open) == 0 && S_ISREG(open.st_mode) && SameFile(open, target)) {
            used = true;
            break;
        }
        char name[4096];
        const ssize_t length = ::readlink(link.c_str(), name, sizeof name - 1);
        if (length <= 0) continue;
        const std::string openName(name, static_cast<std::size_t>(length));
        for (const char* journal : {"-journal", "-wal", "-shm"}) {
            if (wanted == openName + journal) used = true;
        }
        if (used) break;
    }
    ::closedir(folder);
    return used;
}

}  // namespace tabrook
