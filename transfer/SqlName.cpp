#include "transfer/SqlName.h"

namespace tabrook {

bool IsQuotableName(std::string_view name) {
    return name.find('"') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::string UnquotableNameMessage(std::string_view name) {
    std::string shown;
    for (char c : name) {
        if (c == '\0') {
            shown += "\\0";
        } else {
            shown += c;
        }
    }
    return "名前にダブルクォートまたはNUL文字が含まれているため、SQLを組み立てられません。\n" + shown;
}

std::string Quoted(std::string_view name) {
    std::string text;
    text.reserve(name.size() + 2);
    text += '"';
    text += name;
    text += '"';
    return text;
}

}  // namespace tabrook

namespace tabrook {

std::string TableIdentifier(std::string_view typed, DoubleByteCode code) {
    if (typed.size() >= 2 && typed.front() == '"' && typed.back() == '"')
        return std::string(typed.substr(1, typed.size() - 2));
    std::string identifier(typed);
    const char* const begin = identifier.data();
    const char* const end = begin + identifier.size();
    for (const char* p = begin; p < end;) {
        const std::size_t length = CharLength(code, p, end);
        if (length == 1 && *p >= 'a' && *p <= 'z') identifier[static_cast<std::size_t>(p - begin)] -= 'a' - 'A';
        p += length;
    }
    return identifier;
}

std::string TypedTableName(std::string_view identifier, DoubleByteCode code) {
    if (!identifier.empty() && identifier.front() != '"' && TableIdentifier(identifier, code) == identifier)
        return std::string(identifier);
    return Quoted(identifier);
}

}  // namespace tabrook
