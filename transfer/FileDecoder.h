#pragma once
// FileDecoder: how an import (and the preview of its file) reads the text of a CSV file whose
// encoding is not the client character set. It decides the encoding (the setting, or for
// Auto what the file is), checks that the file is valid in it before any row is sent, and
// converts each record read to the client character set before it is split. Records are read
// as the file's bytes (so a refused record goes to the error file exactly as it stood), except
// for UTF-16, which the reader turns into UTF-8 block by block (Stream) and the error file gets
// back in UTF-16.

#include <memory>
#include <string>
#include <string_view>

#include "transfer/DoubleByte.h"
#include "transfer/FileEncoding.h"
#include "transfer/TextConverter.h"

namespace tabrook {

// Why a record is refused when its text has no character in the client character set.
inline constexpr char kUnconvertibleMessage[] = "クライアント文字セットにない文字があります。";

class FileDecoder {
public:
    // The whole file is looked at (as an import does); a preview looks at the start only.
    static constexpr long long kWholeFile = -1;

    // Decides how the file at path is read: setting as the user chose it, clientCharset the
    // Oracle name of the client character set. Auto and a named encoding read the file up to
    // scanLimit bytes. Returns the message that refuses the file (empty: it can be read).
    std::string Open(const std::string& path, FileEncoding setting, const std::string& clientCharset,
                     long long scanLimit = kWholeFile);

    // What the file is read as: Client when its bytes are taken as they stand.
    FileEncoding Used() const { return used_; }
    // Whether Auto found an encoding other than the client character set.
    bool Detected() const { return detected_; }
    // The text for the window and the log when the file is converted: "文字コード: SJIS".
    std::string Note() const;

    // The double-byte scheme records are read in (the file's, or the client's when unconverted).
    DoubleByteCode RecordCode(DoubleByteCode clientCode) const;
    // Non-null for UTF-16: the reader converts the file's blocks to UTF-8 with it.
    TextConverter* Stream() { return stream_.get(); }
    // The byte-order mark that the stream skips.
    std::string_view StreamMark() const { return stream_ ? EncodingMark(used_) : std::string_view(); }

    // Whether records must go through Decode before they are split.
    bool Converts() const { return record_ != nullptr; }
    // Converts record to the client character set into text; false when a character has no
    // equivalent there (the record is then refused with kUnconvertibleMessage).
    bool Decode(const std::string& record, std::string& text);

    // The bytes of record as they stand in the file (the record itself unless it was read
    // through Stream); the error file gets these, with ErrLineEnd after each.
    const std::string& FileBytes(const std::string& record);
    std::string_view ErrLineEnd() const { return stream_ ? std::string_view("\r\0\n\0", 4) : "\r\n"; }
    // What the error file starts with: the file's byte-order mark when it has one.
    std::string_view ErrPreamble() const { return EncodingMark(used_); }

private:
    // Sets up the converters for used_ against the client character set's iconv name.
    std::string Prepare(const std::string& clientIconv);

    FileEncoding used_ = FileEncoding::Client;
    bool detected_ = false;
    std::unique_ptr<TextConverter> stream_;  // UTF-16LE to UTF-8
    std::unique_ptr<TextConverter> record_;  // a record to the client character set
    std::unique_ptr<TextConverter> back_;    // UTF-8 to UTF-16LE, for the error file
    std::string fileBytes_;
};

}  // namespace tabrook
