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
