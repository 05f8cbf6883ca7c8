#include "transfer/ErrorFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace tabrook {

namespace {
constexpr char kErrFileUnwritable[] = "エラーファイルを出力できません。";
constexpr char kErmFileUnwritable[] = "エラーメッセージファイルを出力できません。";
}  // namespace

ErrorFiles::ErrorFiles(std::string errPath, std::string ermPath)
    : errPath_(std::move(errPath)), ermPath_(std::move(ermPath)) {}

ErrorFiles::~ErrorFiles() {
    Close();
}

std::string ErrorFiles::Open() {
    std::string message;
    err_ = CreateWorkingFile(errPath_);
    if (!err_) message = kErrFileUnwritable;
    erm_ = CreateWorkingFile(ermPath_);
    if (!erm_) message += std::string(message.empty() ? "" : "\n") + kErmFileUnwritable;
    return message;
}

void ErrorFiles::Fail(const char* which, int error) {
    if (failure_.empty()) failure_ = std::string(which) + SystemReason(error);
}

void ErrorFiles::Write(const std::string& record, const std::string& reason) {
    if (std::FILE* file = err_.get()) {
        if (!preamble_.empty()) {
            if (std::fwrite(preamble_.data(), 1, preamble_.size(), file) != preamble_.size())
                Fail(kErrFileUnwritable, errno);
            preamble_.clear();
        }
        const bool written = std::fwrite(record.data(), 1, record.size(), file) == record.size() &&
                             std::fwrite(lineEnd_.data(), 1, lineEnd_.size(), file) == lineEnd_.size();
        if (!written) Fail(kErrFileUnwritable, errno);
    }
    if (std::FILE* file = erm_.get()) {
        std::string text = reason;
        std::replace(text.begin(), text.end(), '\n', ' ');
        text += "\r\n";
        if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) Fail(kErmFileUnwritable, errno);
    }
}

void ErrorFiles::Flush() {
    if (err_ && (std::fflush(err_.get()) != 0 || std::ferror(err_.get()))) Fail(kErrFileUnwritable, errno);
    if (erm_ && (std::fflush(erm_.get()) != 0 || std::ferror(erm_.get()))) Fail(kErmFileUnwritable, errno);
}

void ErrorFiles::Close() {
    if (!CloseChecked(err_)) Fail(kErrFileUnwritable, errno);
    if (!CloseChecked(erm_)) Fail(kErmFileUnwritable, errno);
}

void ErrorFiles::Remove() {
    Close();
    std::remove(errPath_.c_str());
    std::remove(ermPath_.c_str());
}

}  // namespace tabrook
