#include "ocilite/engine/Placeholders.h"

#include "ocilite/engine/ValueCodec.h"

#include <algorithm>
#include <cctype>
#include <variant>

namespace ocilite {

int PlaceholderIndex(std::string_view placeholder, const std::vector<std::string>& names) {
    std::string name(placeholder);
    if (!name.empty() && name[0] == ':') name.erase(0, 1);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
        name = name.substr(1, name.size() - 2);
    } else {
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

void StoreBindValue(int index, Value value, std::vector<Value>& binds, std::vector<bool>& bound) {
    if (index < 0 || static_cast<size_t>(index) >= binds.size()) throw OraError(1036, "illegal variable name/number");
    if (auto* t = std::get_if<TextValue>(&value); t && t->bytes.empty()) value = std::monostate{};
    binds[static_cast<size_t>(index)] = std::move(value);
    bound[static_cast<size_t>(index)] = true;
}

Value BlankPadded(const TextValue& t, int length) {
    TextValue out = t;
    while (!out.bytes.empty() && out.bytes.back() == ' ') out.bytes.pop_back();
    const size_t chars = Utf8Length(out.bytes);
    if (chars < static_cast<size_t>(std::max(length, 0))) out.bytes.append(static_cast<size_t>(length) - chars, ' ');
    return out;
}

}  // namespace ocilite
