#include "transfer/SplitFields.h"

#include <cstring>

#include "transfer/SplitFieldsLoop.h"

namespace tabrook {

// The plain byte-by-byte form of the rule; SplitFieldsInto is the fast form and the tests hold
// the two to the same results.
std::string SplitFields(std::string_view line, char sep, char delim, DoubleByteCode code) {
    const bool hasDelim = delim != '\0';
    const bool hasSep = sep != '\0';
    std::string out;
    out.reserve(line.size() + 1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const std::size_t width = CharLength(code, line.data() + i, line.data() + line.size());
        if (width > 1) {  // a multibyte character is copied whole, whatever its later bytes are
            out.append(line.data() + i, width);
            i += width - 1;
        } else if (hasDelim && c == delim) {
            if (quoted && i + 1 < line.size() && line[i + 1] == delim) {
                out += c;  // a doubled delimiter inside quotes is one delimiter character
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (hasSep && c == sep && !quoted) {
            out += '\n';
        } else {
            out += c;
        }
    }
    if (!out.empty()) out += '\n';
    return out;
}

void SplitFieldsInto(std::string_view line, char sep, char delim, std::vector<std::string>& fields,
                     DoubleByteCode code) {
    // Characters need walking only when a byte looked for can stand inside one.
    if (code != DoubleByteCode::None &&
        ((sep != '\0' && CanBeInsideCharacter(code, sep)) || (delim != '\0' && CanBeInsideCharacter(code, delim)))) {
        split_detail::SplitIntoWhole(line, sep, delim, fields, code);
    } else {
        split_detail::SplitInto<false>(line, sep, delim, fields, code);
    }
}

}  // namespace tabrook
