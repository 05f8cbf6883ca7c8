#include "app/ClientTextDecoder.h"

#include <iconv.h>

#include <cerrno>

namespace tabrook {

namespace {

struct IconvName {
    const char* oracle;
    const char* iconv;
};

// Oracle's client character sets that are not UTF-8, with the converter of the C library
// that reads them (the Shift-JIS sets follow the Windows table, NEC and IBM rows included).
constexpr IconvName kIconvNames[] = {
    {"JA16SJIS", "CP932"},           {"JA16SJISTILDE", "CP932"},  {"JA16SJISYEN", "CP932"},
    {"JA16EUC", "EUC-JP"},           {"ZHS16GBK", "GBK"},         {"ZHS32GB18030", "GB18030"},
    {"ZHT16BIG5", "BIG5"},           {"ZHT16MSWIN950", "CP950"},  {"ZHT16HKSCS", "BIG5-HKSCS"},
    {"KO16MSWIN949", "CP949"},       {"WE8MSWIN1252", "CP1252"},  {"WE8ISO8859P1", "ISO-8859-1"},
};

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

ClientTextDecoder::ClientTextDecoder(std::string charset) : charset_(std::move(charset)) {
    for (const IconvName& name : kIconvNames) {
        if (charset_ != name.oracle) continue;
        const iconv_t converter = iconv_open("UTF-8", name.iconv);
        if (converter != kNoConverter) converter_ = converter;
        break;
    }
}

ClientTextDecoder::~ClientTextDecoder() {
    if (converter_ != nullptr) iconv_close(static_cast<iconv_t>(converter_));
}

QString ClientTextDecoder::Decode(std::string_view bytes) const {
    if (converter_ == nullptr) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const auto converter = static_cast<iconv_t>(converter_);
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
        // A byte that starts no character of the set (or one cut short at the end).
        utf8 += "\xEF\xBF\xBD";
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    return QString::fromStdString(utf8);
}

}  // namespace tabrook
