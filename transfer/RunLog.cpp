#include "transfer/RunLog.h"

#include <cstdio>
#include <system_error>

#include "transfer/Host.h"
#include "transfer/RunContext.h"

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
  if (logFile_.empty()) return true;
  std::error_code ignored;
  std::filesystem::remove(logFile_, ignored);  // every start begins a new log
  file_ = std::fopen(WorkingFileOf(logFile_).c_str(), "wb");
  if (!file_) {
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

bool RunLog::WriteLocked(std::string_view code, std::string_view text) {
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
  return std::fflush(file_) == 0 && written;
}

void RunLog::Close() {
  std::lock_guard lock(mutex_);
  if (logFile_.empty() || !file_) return;
  WriteLocked("Q", {});
  std::fclose(file_);
  file_ = nullptr;
  std::error_code ignored;  // a failed rename leaves the log under the working name
  std::filesystem::rename(WorkingFileOf(logFile_), logFile_, ignored);
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

bool WriteLog(std::string_view code, std::string_view text) { return TheRunLog().Write(code, text); }

void CloseLog() { TheRunLog().Close(); }

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
