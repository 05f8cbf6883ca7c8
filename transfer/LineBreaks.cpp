#include "transfer/LineBreaks.h"

namespace tabrook {

std::string_view LineBreakOf(int crType) {
    switch (crType) {
        case 1: return "\n";
        case 2: return "\r";
        default: return "\r\n";
    }
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(from, pos)) != std::string_view::npos; pos = hit + from.size()) {
        out.append(text, pos, hit - pos);
        out.append(to);
    }
    out.append(text, pos);
    return out;
}

void RestoreLineBreaks(std::string& field, const TransferSettings& settings) {
    if (!settings.ReplaceCR || settings.ReplaceCRString.empty()) return;
    if (field.find(settings.ReplaceCRString) == std::string::npos) return;  // the usual case
    field = ReplaceAll(field, settings.ReplaceCRString, LineBreakOf(settings.CRType));
}

void ReplaceLineBreaks(std::string& value, const TransferSettings& settings) {
    if (!settings.ReplaceCR) return;
    const std::string_view lineBreak = LineBreakOf(settings.CRType);
    if (value.find(lineBreak) == std::string::npos) return;
    value = ReplaceAll(value, lineBreak, settings.ReplaceCRString);
}

}  // namespace tabrook
