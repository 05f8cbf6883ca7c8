#include "oci/ClientCharsets.h"

#include <iconv.h>

#include <cerrno>

namespace tabrook {

namespace {

constexpr KnownCharset kCharsets[] = {
    {873, "AL32UTF8", nullptr},          {871, "UTF8", nullptr},           {1, "US7ASCII", nullptr},
    {832, "JA16SJIS", "CP932"},          {838, "JA16SJISTILDE", "CP932"},  {834, "JA16SJISYEN", "CP932"},
    {830, "JA16EUC", "EUC-JP"},          {852, "ZHS16GBK", "GBK"},         {854, "ZHS32GB18030", "GB18030"},
    {865, "ZHT16BIG5", "BIG5"},          {867, "ZHT16MSWIN950", "CP950"},  {868, "ZHT16HKSCS", "BIG5-HKSCS"},
    {846, "KO16MSWIN949", "CP949"},      {178, "WE8MSWIN1252", "CP1252"},  {31, "WE8ISO8859P1", "ISO-8859-1"},
};

bool IsAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

const KnownCharset* FindCharsetById(unsigned id) {
    for (const KnownCharset& charset : kCharsets)
        if (charset.Id == id) return &charset;
    return nullptr;
}

const KnownCharset* FindCharsetByName(std::string_view oracleName) {
    for (const KnownCharset& charset : kCharsets)
        if (oracleName == charset.Oracle) return &charset;
    return nullptr;
}

std::string ConvertToUtf8With(std::string_view bytes, void* descriptor) {
    const auto converter = static_cast<iconv_t>(descriptor);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string utf8;
    utf8.reserve(bytes.size() * 3 / 2 + 8);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(converter, &in, &inLeft, &out, &outLeft);
        utf8.append(buffer, sizeof buffer - outLeft);
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        utf8 += "\xEF\xBF\xBD";  // a byte that starts no character of the set, or one cut short
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    return utf8;
}

std::string ConvertToUtf8(std::string_view bytes, const char* iconvName) {
    if (iconvName == nullptr || IsAscii(bytes)) return std::string(bytes);
    const iconv_t converter = iconv_open("UTF-8", iconvName);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
    std::string utf8 = ConvertToUtf8With(bytes, converter);
    iconv_close(converter);
    return utf8;
}

}  // namespace tabrook
