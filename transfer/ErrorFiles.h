#pragma once
// The two error files of an import: the refused records exactly as read (.err, importable as
// it stands once mended) and one message line for each (.erm), in the same order. Created
// afresh when the import starts, closed when it ends; a refused row that cannot be written is
// remembered as a failure with its reason, so that the import does not lose it unseen.

#include <string>
#include <utility>

#include "transfer/SafeFiles.h"

namespace tabrook {

class ErrorFiles {
public:
    ErrorFiles(std::string errPath, std::string ermPath);
    ~ErrorFiles();
    ErrorFiles(const ErrorFiles&) = delete;
    ErrorFiles& operator=(const ErrorFiles&) = delete;

    // Creates both files; the message of the files that could not be created (empty: both
    // were). An import may go on without them when the user agrees.
    std::string Open();
    // The bytes the error-record file starts with (a byte-order mark) and ends each record with
    // (CR LF unless set; UTF-16 files need their own).
    void SetRecordForm(std::string preamble, std::string lineEnd) {
        preamble_ = std::move(preamble);
        lineEnd_ = std::move(lineEnd);
    }
    // Writes one refused record and its reason (line breaks in the reason become blanks).
    void Write(const std::string& record, const std::string& reason);
    // Pushes what was written to the disk (before a commit makes its rows final).
    void Flush();
    // Closes both files; what failed on the way stays in Failure().
    void Close();
    // Removes both files (an import that refused nothing).
    void Remove();

    // The first failure to write a refused row, with the system's reason; empty while none.
    const std::string& Failure() const { return failure_; }
    bool Failed() const { return !failure_.empty(); }
    const std::string& ErrPath() const { return errPath_; }
    const std::string& ErmPath() const { return ermPath_; }

private:
    void Fail(const char* which, int error);

    std::string errPath_;
    std::string ermPath_;
    FilePtr err_;
    FilePtr erm_;
    std::string failure_;
    std::string preamble_;  // written before the first record
    std::string lineEnd_ = "\r\n";
};

}  // namespace tabrook
