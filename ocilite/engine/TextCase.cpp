#include "ocilite/engine/TextCase.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace ocilite {

std::string ChangeCase(std::string_view utf8, TextCase how) {
    std::string out;
    out.reserve(utf8.size());
    const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
    const int32_t length = static_cast<int32_t>(utf8.size());
    bool wordStart = true;  // INITCAP: a word is a run of letters and digits
    int32_t i = 0;
    while (i < length) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(s, i, length, c);
        if (c < 0) {
            out.append(utf8.substr(static_cast<size_t>(start), static_cast<size_t>(i - start)));
            wordStart = true;
            continue;
        }
        UChar32 mapped = c;
        switch (how) {
            case TextCase::Upper: mapped = u_toupper(c); break;
            case TextCase::Lower: mapped = u_tolower(c); break;
            case TextCase::Initial:
                if (u_isalnum(c)) {
                    mapped = wordStart ? u_totitle(c) : u_tolower(c);
                    wordStart = false;
                } else {
                    wordStart = true;
                }
                break;
        }
        uint8_t buf[U8_MAX_LENGTH];
        int32_t n = 0;
        UBool error = false;
        U8_APPEND(buf, n, U8_MAX_LENGTH, mapped, error);
        if (error)
            out.append(utf8.substr(static_cast<size_t>(start), static_cast<size_t>(i - start)));
        else
            out.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
    }
    return out;
}

}  // namespace ocilite
