#include "transfer/ExportLine.h"

#include <stdexcept>

namespace tabrook {

void ExportLine::AppendHeader(std::string& out, std::span<const std::string> names) const {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) out += separator_;
        out += names[i];
    }
    out += kLineEnd;
}

void ExportLine::AppendValue(std::string& out, std::string_view value, bool textLike) const {
    if (!textLike || delimiter_ == '\0') {
        out += value;
        return;
    }
    out += delimiter_;
    if (wholeCharacters_) {
        const char* const end = value.data() + value.size();
        for (const char* p = value.data(); p < end;) {
            const std::size_t width = CharLength(code_, p, end);
            out.append(p, width);
            if (width == 1 && *p == delimiter_) out += delimiter_;
            p += width;
        }
        out += delimiter_;
        return;
    }
    std::size_t pos = 0;
    for (std::size_t hit; (hit = value.find(delimiter_, pos)) != std::string_view::npos; pos = hit + 1) {
        out.append(value, pos, hit + 1 - pos);
        out += delimiter_;  // doubled, so the reader gives back one delimiter character
    }
    out.append(value, pos);
    out += delimiter_;
}

void ExportLine::AppendRecord(std::string& out, std::span<const std::string> values,
                              const std::vector<bool>& textLike) const {
    if (values.size() != textLike.size()) {
        throw std::invalid_argument("ExportLine: one text-like flag per value is needed");
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out += separator_;
        AppendValue(out, values[i], textLike[i]);
    }
    out += kLineEnd;
}

}  // namespace tabrook
