#include "ocilite/engine/Placeholders.h"

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

}  // namespace ocilite
