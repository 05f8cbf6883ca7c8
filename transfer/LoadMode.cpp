#include "transfer/LoadMode.h"

#include <cctype>
#include <string>

namespace tabrook {

const char* LoadModeName(int mode) {
    switch (mode) {
        case kLoadUpsert: return "UPSERT";
        case kLoadUpdate: return "UPDATE";
        default: return "INSERT";
    }
}

std::optional<int> ParseLoadMode(std::string_view word) {
    std::string upper;
    for (char c : word) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int mode : {kLoadInsert, kLoadUpsert, kLoadUpdate})
        if (upper == LoadModeName(mode)) return mode;
    return std::nullopt;
}

int SettledLoadMode(int mode) {
    return mode == kLoadUpsert || mode == kLoadUpdate ? mode : kLoadInsert;
}

}  // namespace tabrook
