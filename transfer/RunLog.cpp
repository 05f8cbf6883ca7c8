#include "transfer/RunLog.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "transfer/Host.h"
#include "transfer/RunContext.h"
#include "transfer/SafeFiles.h"

namespace tabrook {

RunLog::~RunLog() {
    if (file_) std::fclose(file_);
}

std::filesystem::path RunLog::WorkingFileOf(const std::string& logFile) {
    std::filesystem::path path(logFile);
    path.replace_extension(".tmp");
    return path;
}

bool RunLog::Open(const std::string& logFile, bool autoClose, Host& host) {
    std::lock_guard lock(mutex_);
    if (file_) {  // opened twice: finish the earlier log first
        std::fclose(file_);
        file_ = nullptr;
    }
    logFile_ = logFile;
    failed_ = false;
    lastFailure_.clear();
    if (logFile_.empty()) return true;
    std::error_code ignored;
    std::filesystem::remove(logFile_, ignored);  // every start begins a new log
    // Created afresh and exclusively: a link planted under the working name in a shared
    // folder is removed, never followed.
    file_ = CreateWorkingFile(WorkingFileOf(logFile_).string()).release();
    if (!file_) {
        MarkFailed("cannot create the log", errno);
        if (!autoClose) host.MessageBox("ログを記録できません。", MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    WriteLocked("S", {});
    return true;
}

bool RunLog::Write(std::string_view code, std::string_view text) {
    std::lock_guard lock(mutex_);
    return WriteLocked(code, text);
}

void RunLog::MarkFailed(const char* what, int error) {
    if (failed_) return;
    failed_ = true;
    if (notice_) notice_(std::string(what) + " " + logFile_ + " " + SystemReason(error));
}

bool RunLog::WriteLocked(std::string_view code, std::string_view text) {
    if (!code.empty() && (code.front() == 'I' || code.front() == 'E')) {
        lastFailure_.assign(code);
        for (char c : text) lastFailure_ += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
        if (!text.empty()) lastFailure_.insert(code.size(), ": ");
    }
    if (logFile_.empty()) return true;
    if (!file_) return false;
    std::string line(code);
    line += '\t';
    line += LogTimeStamp(clock_ ? clock_() : std::time(nullptr));
    if (!text.empty()) {
        line += '\t';
        for (char c : text) {
            if (c != '\n') line += c;  // one event, one line; a CR is kept
        }
    }
    line += "\r\n";
    const bool written = std::fwrite(line.data(), 1, line.size(), file_) == line.size();
    const bool ok = std::fflush(file_) == 0 && written;
    if (!ok) MarkFailed("cannot write the log", errno);
    return ok;
}

void RunLog::Close() {
    std::lock_guard lock(mutex_);
    if (logFile_.empty() || !file_) return;
    WriteLocked("Q", {});
    if (std::fclose(file_) != 0) MarkFailed("cannot write the log", errno);
    file_ = nullptr;
    std::error_code renameError;  // a failed rename leaves the log under the working name
    std::filesystem::rename(WorkingFileOf(logFile_), logFile_, renameError);
    if (renameError) MarkFailed("cannot rename the log to", renameError.value());
}

void RunLog::SetFailureNotice(std::function<void(const std::string&)> notice) {
    std::lock_guard lock(mutex_);
    notice_ = std::move(notice);
}

std::string RunLog::LastFailure() const {
    std::lock_guard lock(mutex_);
    return lastFailure_;
}

bool RunLog::Failed() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

bool RunLog::Kept() const {
    std::lock_guard lock(mutex_);
    return !logFile_.empty() && !failed_;
}

bool RunLog::IsOpen() const {
    std::lock_guard lock(mutex_);
    return file_ != nullptr;
}

RunLog& TheRunLog() {
    static RunLog log;
    return log;
}

bool OpenLog(const RunContext& context, Host& host) {
    return TheRunLog().Open(context.LogFile, context.AutoClose, host);
}

bool WriteLog(std::string_view code, std::string_view text) {
    return TheRunLog().Write(code, text);
}

void CloseLog() {
    TheRunLog().Close();
}

std::string LogTimeStamp(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    return text;
}

std::string ResultLogCode(int result) {
    if (result == 0) return "O";
    if (result == -1) return "C";
    char text[24];
    const long long magnitude = result < 0 ? -static_cast<long long>(result) : result;
    std::snprintf(text, sizeof text, "E%s%03lld", result < 0 ? "-" : "", magnitude);
    return text;
}

}  // namespace tabrook
