#pragma once
// Files the engines and the run log open: owned stdio handles, input files opened only when
// they are regular files, working files created exclusively (never through a planted link) and
// renamed over their target only when complete, and the check that a target is not a file
// the program is using already (its database, its log).

#include <cstdio>
#include <memory>
#include <string>

namespace tabrook {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens path for reading in binary mode; null when it cannot be opened or is not a regular
// file: a folder (errno EISDIR) would open and then read as an empty file, a named pipe or a
// device (errno EINVAL) would block or never end.
FilePtr OpenForReading(const std::string& path);

// Creates path for writing, refusing an existing file or symbolic link of that name
// (O_EXCL | O_NOFOLLOW); the mode is 0666 less the umask. Null with errno on failure.
FilePtr CreateExclusive(const std::string& path);

// Creates the working file path afresh: an existing entry of that name is removed first (a
// symbolic link itself, never the file it points to), then the file is created exclusively.
FilePtr CreateWorkingFile(const std::string& path);

// Flushes and closes file; true only when every byte written reached the file.
bool CloseChecked(FilePtr& file);

// The text of errno for messages: "(No space left on device)".
std::string SystemReason(int error);

// An output file written under a working name of its own beside target (".NAME.XXXXXXXX.tmp",
// locked while it is written) and renamed over target by Commit. Until then an existing target
// stays as it was; destroyed without a successful Commit, the working file is removed. Working
// files of target that a killed run left behind are removed when the next one is created (only
// this user's, older than this run and locked by nobody).
class WorkingFile {
public:
    explicit WorkingFile(std::string target);
    ~WorkingFile();
    WorkingFile(const WorkingFile&) = delete;
    WorkingFile& operator=(const WorkingFile&) = delete;

    // Creates the working file; false with errno when it cannot be created.
    bool Create();
    std::FILE* get() const { return file_.get(); }
    // Closes the working file and renames it to the target; false with errno when a write,
    // the close or the rename failed (the working file is then removed, the target untouched).
    bool Commit();
    const std::string& WorkingPath() const { return working_; }
    // Closes and removes the working file; the target stays as it was.
    void Discard();

private:
    void Unlock();

    std::string target_;
    std::string working_;
    FilePtr file_;
    int lock_ = -1;  // a descriptor of the working file holding its lock
};

// True when path names a file this process holds open (compared by device and inode, so any
// name of it counts), or the journal of such a file ("-journal", "-wal", "-shm"): writing
// there would destroy the program's own database or log.
bool IsFileInUse(const std::string& path);

}  // namespace tabrook
