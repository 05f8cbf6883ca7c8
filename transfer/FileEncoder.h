#pragma once
// FileEncoder: how an export writes its text in the encoding the user named. The lines are
// made in the client character set; the encoder converts them, writing a character the
// encoding cannot hold as the encoding's replacement character ("?") and counting those.
// Client and Auto write the client's bytes as they stand.

#include <memory>
#include <string>
#include <string_view>

#include "transfer/FileEncoding.h"
#include "transfer/TextConverter.h"

namespace tabrook {

class FileEncoder {
public:
    // Sets up the encoding for setting against the client character set (an Oracle name);
    // the message that refuses the export (empty: it can be written).
    std::string Open(FileEncoding setting, const std::string& clientCharset);

    // What the file starts with: the encoding's byte-order mark, if it has one.
    std::string_view Preamble() const { return EncodingMark(used_); }
    // The bytes to write for text (whole lines in the client character set).
    std::string_view Encode(const std::string& text);
    // Characters written as the replacement so far.
    long long Replaced() const { return replaced_; }
    // For the job's message: how many characters were replaced (empty when none).
    std::string Note() const;

private:
    FileEncoding used_ = FileEncoding::Client;
    std::unique_ptr<TextConverter> converter_;
    std::string replacement_;
    std::string out_;
    long long replaced_ = 0;
};

}  // namespace tabrook
