#include "transfer/DoubleByte.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace tabrook {

namespace {

struct Charset {
    const char* name;
    unsigned id;
    DoubleByteCode code;
};

// The Oracle character sets whose characters can hold an ASCII byte after their first byte.
constexpr Charset kCharsets[] = {
    {"JA16SJIS", 832, DoubleByteCode::ShiftJis},      {"JA16SJISYEN", 834, DoubleByteCode::ShiftJis},
    {"JA16SJISTILDE", 838, DoubleByteCode::ShiftJis}, {"ZHS16GBK", 852, DoubleByteCode::Gbk},
    {"ZHS32GB18030", 854, DoubleByteCode::Gb18030},   {"ZHT16BIG5", 865, DoubleByteCode::Big5},
    {"ZHT16MSWIN950", 867, DoubleByteCode::Big5},     {"ZHT16HKSCS", 868, DoubleByteCode::Big5},
    {"ZHT16HKSCS31", 992, DoubleByteCode::Big5},      {"KO16MSWIN949", 846, DoubleByteCode::Uhc},
};

}  // namespace

DoubleByteCode DoubleByteCodeOfCharsetName(std::string_view name) {
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    for (const Charset& charset : kCharsets) {
        if (upper == charset.name) return charset.code;
    }
    return DoubleByteCode::None;
}

DoubleByteCode DoubleByteCodeOfCharsetId(unsigned id) {
    for (const Charset& charset : kCharsets) {
        if (id == charset.id) return charset.code;
    }
    return DoubleByteCode::None;
}

DoubleByteCode DoubleByteCodeOfNlsLang(std::string_view nlsLang) {
    const std::size_t dot = nlsLang.rfind('.');
    if (dot == std::string_view::npos) return DoubleByteCode::None;
    std::string_view name = nlsLang.substr(dot + 1);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.remove_suffix(1);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.front()))) name.remove_prefix(1);
    return DoubleByteCodeOfCharsetName(name);
}

}  // namespace tabrook
