#include "transfer/SafeFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <sys/stat.h>

namespace tabrook {

namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

FilePtr OpenForReading(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return nullptr;
    struct stat info {};
    if (fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return nullptr;
    }
    return file;
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
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
        std::filesystem::path working = target;
        working.replace_filename("." + target.filename().string() + suffix);
        file_ = CreateExclusive(working.string());
        if (file_) {
            working_ = working.string();
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
    return true;
}

void WorkingFile::Discard() {
    file_.reset();
    if (!working_.empty()) ::unlink(working_.c_str());
    working_.clear();
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
