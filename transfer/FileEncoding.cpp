#include "transfer/FileEncoding.h"

#include <array>

namespace tabrook {

namespace {

struct EncodingName {
    FileEncoding encoding;
    const char* keyword;
    const char* iconv;
};

constexpr std::array<EncodingName, 7> kEncodings = {{
    {FileEncoding::Client, "CLIENT", ""},
    {FileEncoding::Auto, "AUTO", ""},
    {FileEncoding::Utf8, "UTF-8", "UTF-8"},
    {FileEncoding::Utf8Bom, "UTF-8-BOM", "UTF-8"},
    {FileEncoding::Sjis, "SJIS", "CP932"},
    {FileEncoding::EucJp, "EUC-JP", "EUC-JP"},
    {FileEncoding::Utf16Le, "UTF-16LE", "UTF-16LE"},
}};

struct CharsetName {
    const char* oracle;
    const char* iconv;
};

// The client character sets the program reads and writes, by their Oracle names.
constexpr CharsetName kCharsets[] = {
    {"AL32UTF8", "UTF-8"},         {"UTF8", "UTF-8"},           {"JA16SJIS", "CP932"},
    {"JA16SJISTILDE", "CP932"},    {"JA16SJISYEN", "CP932"},    {"JA16EUC", "EUC-JP"},
    {"JA16EUCTILDE", "EUC-JP"},    {"ZHS16GBK", "GBK"},         {"ZHS32GB18030", "GB18030"},
    {"ZHT16BIG5", "BIG5"},         {"ZHT16MSWIN950", "CP950"},  {"ZHT16HKSCS", "BIG5-HKSCS"},
    {"KO16MSWIN949", "CP949"},     {"WE8MSWIN1252", "CP1252"},  {"WE8ISO8859P1", "ISO-8859-1"},
    {"US7ASCII", "ASCII"},
};

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

}  // namespace

const char* EncodingKeyword(FileEncoding encoding) {
    for (const EncodingName& name : kEncodings)
        if (name.encoding == encoding) return name.keyword;
    return "CLIENT";
}

std::optional<FileEncoding> EncodingFromKeyword(std::string_view keyword) {
    std::string upper = Upper(keyword);
    while (!upper.empty() && upper.back() == ' ') upper.pop_back();
    while (!upper.empty() && upper.front() == ' ') upper.erase(0, 1);
    if (upper.empty()) return FileEncoding::Client;
    if (upper == "UTF8") return FileEncoding::Utf8;
    if (upper == "UTF8-BOM" || upper == "UTF-8BOM") return FileEncoding::Utf8Bom;
    if (upper == "SHIFT-JIS" || upper == "SHIFT_JIS" || upper == "CP932" || upper == "MS932") return FileEncoding::Sjis;
    if (upper == "EUCJP" || upper == "EUC_JP") return FileEncoding::EucJp;
    if (upper == "UTF16LE" || upper == "UTF-16") return FileEncoding::Utf16Le;
    for (const EncodingName& name : kEncodings)
        if (upper == name.keyword) return name.encoding;
    return std::nullopt;
}

const char* EncodingIconvName(FileEncoding encoding) {
    for (const EncodingName& name : kEncodings)
        if (name.encoding == encoding) return name.iconv;
    return "";
}

std::string_view EncodingMark(FileEncoding encoding) {
    switch (encoding) {
        case FileEncoding::Utf8Bom: return "\xEF\xBB\xBF";
        case FileEncoding::Utf16Le: return "\xFF\xFE";
        default: return {};
    }
}

std::string IconvNameOfCharset(std::string_view oracleName) {
    const std::string upper = Upper(oracleName);
    for (const CharsetName& name : kCharsets)
        if (upper == name.oracle) return name.iconv;
    return {};
}

std::size_t ValidUtf8Prefix(std::string_view text, bool& cut) {
    cut = false;
    const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* p = begin;
    const unsigned char* const end = p + text.size();
    while (p < end) {
        // ASCII runs go eight bytes at a time.
        while (end - p >= 8) {
            unsigned long long word;
            __builtin_memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL) break;
            p += 8;
        }
        if (p == end) break;
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;  // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            break;
        }
        bool whole = true;
        for (std::size_t k = 1; k < length && whole; ++k) {
            if (p + k >= end) {
                cut = true;
                whole = false;
                break;
            }
            const unsigned char c = p[k];
            whole = c >= (k == 1 ? low : 0x80) && c <= (k == 1 ? high : 0xBF);
        }
        if (!whole) break;
        p += length;
    }
    return static_cast<std::size_t>(p - begin);
}

}  // namespace tabrook
