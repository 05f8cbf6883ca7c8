#pragma once
// The client character sets the program knows by Oracle's id and name, with the converter of
// the C library that reads each (none for the UTF-8 sets and ASCII, whose bytes are already
// the program's text). The Shift-JIS sets follow the Windows table, NEC and IBM rows included.

#include <string>
#include <string_view>

namespace tabrook {

struct KnownCharset {
    unsigned Id;
    const char* Oracle;
    const char* Iconv;  // nullptr: the bytes are UTF-8 as they stand
};

const KnownCharset* FindCharsetById(unsigned id);
const KnownCharset* FindCharsetByName(std::string_view oracleName);

// bytes of the character set the C library calls iconvName, as UTF-8; a byte that starts no
// character of the set becomes U+FFFD. Text of ASCII bytes only is returned as it is.
std::string ConvertToUtf8(std::string_view bytes, const char* iconvName);
// The same through an iconv descriptor opened into UTF-8 (an iconv_t), for a caller that
// converts many texts with one.
std::string ConvertToUtf8With(std::string_view bytes, void* converter);

}  // namespace tabrook
