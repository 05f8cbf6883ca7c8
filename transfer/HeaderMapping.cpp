#include "transfer/HeaderMapping.h"

#include <unordered_map>

namespace tabrook {

namespace {
constexpr std::size_t kNamedUnmatched = 3;  // the summary names this many unmatched fields
}

std::string HeaderKey(std::string_view name, char delimiter) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    for (;;) {
        while (!name.empty() && blank(name.front())) name.remove_prefix(1);
        while (!name.empty() && blank(name.back())) name.remove_suffix(1);
        if (name.size() >= 2 && ((name.front() == delimiter && name.back() == delimiter) ||
                                 (name.front() == '"' && name.back() == '"'))) {
            name = name.substr(1, name.size() - 2);
            continue;
        }
        break;
    }
    std::string key(name);
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return key;
}

HeaderArrangement ArrangeByHeader(const std::vector<std::string>& header, const std::vector<std::string>& columns,
                                  char delimiter) {
    std::unordered_map<std::string, int> byName;
    for (std::size_t c = 0; c < columns.size(); ++c) byName.emplace(HeaderKey(columns[c], delimiter), static_cast<int>(c));
    HeaderArrangement arrangement;
    std::vector<bool> used(columns.size(), false);
    for (const std::string& field : header) {
        const auto found = byName.find(HeaderKey(field, delimiter));
        if (found != byName.end() && !used[static_cast<std::size_t>(found->second)] && !found->first.empty()) {
            used[static_cast<std::size_t>(found->second)] = true;
            arrangement.Order.push_back(found->second);
            ++arrangement.Matched;
        } else {
            arrangement.Order.push_back(-1);
            arrangement.Unmatched.push_back(field);
        }
    }
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (!used[c]) arrangement.Order.push_back(static_cast<int>(c));
    return arrangement;
}

std::string ArrangementSummary(const HeaderArrangement& arrangement) {
    std::string text = "項目名で" + std::to_string(arrangement.Matched) + "項目を対応付けました。";
    if (arrangement.Unmatched.empty()) return text;
    text += "一致しない項目: ";
    for (std::size_t k = 0; k < arrangement.Unmatched.size() && k < kNamedUnmatched; ++k) {
        if (k > 0) text += ", ";
        text += arrangement.Unmatched[k];
    }
    if (arrangement.Unmatched.size() > kNamedUnmatched)
        text += " ほか" + std::to_string(arrangement.Unmatched.size() - kNamedUnmatched) + "項目";
    return text;
}

}  // namespace tabrook
