#include "transfer/GetField.h"

namespace tabrook {

std::string GetField(std::string_view text, std::string_view sep, int n) {
    if (n < 0) return {};
    std::size_t pos = 0;
    for (int piece = 0;; ++piece) {
        const std::size_t found = sep.empty() ? std::string_view::npos : text.find(sep, pos);
        if (found == std::string_view::npos) {
            return piece == n ? std::string(text.substr(pos)) : std::string();
        }
        if (piece == n) return std::string(text.substr(pos, found - pos));
        pos = found + sep.size();
    }
}

}  // namespace tabrook
