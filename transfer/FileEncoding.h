#pragma once
// The encoding of a CSV file: the setting Encoding (key ENCODING=) and what each value means.
// Client is the client character set: the file's bytes are read and written as they stand.
// Auto (import only; an export writes Client) keeps that for a file valid in the client
// character set and otherwise decides by the file: a byte-order mark, else valid UTF-8, else
// Windows code page 932.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tabrook {

enum class FileEncoding : unsigned char { Client, Auto, Utf8, Utf8Bom, Sjis, EucJp, Utf16Le };

// The keyword of the command line, the stored setting and the log: "CLIENT", "AUTO", "UTF-8",
// "UTF-8-BOM", "SJIS", "EUC-JP", "UTF-16LE".
const char* EncodingKeyword(FileEncoding encoding);
// The encoding a keyword names (any case; "SHIFT-JIS", "CP932", "UTF8" and "EUCJP" as well;
// empty text is Client); nullopt for anything else.
std::optional<FileEncoding> EncodingFromKeyword(std::string_view keyword);

// The name iconv knows the encoding by (Client and Auto have none: empty).
const char* EncodingIconvName(FileEncoding encoding);
// The byte-order mark the encoding writes at the start of a file (empty when none).
std::string_view EncodingMark(FileEncoding encoding);

// The iconv name of an Oracle client character set name such as "JA16SJIS" or "AL32UTF8";
// empty for a name the program cannot convert to.
std::string IconvNameOfCharset(std::string_view oracleName);

// The length of the well-formed UTF-8 at the start of text (no overlong forms, surrogates or
// values past U+10FFFF), in whole characters. cut tells whether it stopped at a character that
// the end of the text cuts short (as opposed to an invalid sequence).
std::size_t ValidUtf8Prefix(std::string_view text, bool& cut);
inline bool IsValidUtf8(std::string_view text) {
    bool cut = false;
    return ValidUtf8Prefix(text, cut) == text.size();
}

}  // namespace tabrook
