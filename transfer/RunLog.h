#pragma once
// The run log: one line per event ("code<TAB>yyyy/mm/dd hh:nn:ss[<TAB>text]", CR LF, flushed at
// once). While the program runs it is written to a working file with the extension ".tmp",
// renamed to the log's own name when the log is closed, so a log under its own name is
// always complete.

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace tabrook {

class Host;
struct RunContext;

class RunLog {
public:
    RunLog() = default;
    ~RunLog();
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // Starts the log logFile (empty: no log is kept): deletes an old log of that name, creates
    // the working file and writes "S". On failure shows "ログを記録できません。" through host
    // unless autoClose, and every later Write returns false.
    bool Open(const std::string& logFile, bool autoClose, Host& host);

    // True when the line was written or no log is kept; false when the log is wanted but not open.
    bool Write(std::string_view code, std::string_view text);

    // Writes "Q", closes the working file and renames it to the log's name.
    void Close();

    bool IsOpen() const;
    // True when a log is wanted but could not be created, written, closed or renamed.
    bool Failed() const;
    // True when a log is wanted and every line so far reached it.
    bool Kept() const;
    // Called once, with a one-line reason, when the log fails for the first time (cannot be
    // created, written or renamed); the run goes on without it.
    void SetFailureNotice(std::function<void(const std::string&)> notice);
    // The last start failure or failed transfer given to Write, even when no log is kept:
    // its code, a colon and its text on one line ("I999: ORA-01017: ..."); empty when none.
    std::string LastFailure() const;

    // The working file of a log: its name with the extension replaced by ".tmp".
    static std::filesystem::path WorkingFileOf(const std::string& logFile);

    // Replaces the clock for tests; null restores the system clock.
    void SetClockForTesting(std::time_t (*clock)()) { clock_ = clock; }

private:
    bool WriteLocked(std::string_view code, std::string_view text);
    void MarkFailed(const char* what, int error);

    mutable std::mutex mutex_;
    std::string logFile_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
    std::string lastFailure_;
    std::function<void(const std::string&)> notice_;
    std::time_t (*clock_)() = nullptr;
};

// The program's one log: both threads write to it. OpenLog starts it with the run context's
// LogFile and AutoClose.
RunLog& TheRunLog();
bool OpenLog(const RunContext& context, Host& host);
bool WriteLog(std::string_view code, std::string_view text);
void CloseLog();

// The time stamp of a log line in local time: "yyyy/mm/dd hh:nn:ss".
std::string LogTimeStamp(std::time_t when);

// The log code of a transfer result: "O" for 0, "C" for -1, else "E" and the number with at
// least three digits ("E005", "E1234", "E-002").
std::string ResultLogCode(int result);

}  // namespace tabrook
