#include "app/ClientTextDecoder.h"

#include <iconv.h>

#include <cerrno>

#include "oci/ClientCharsets.h"

namespace tabrook {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

ClientTextDecoder::ClientTextDecoder(std::string charset) : charset_(std::move(charset)) {
    if (const KnownCharset* known = FindCharsetByName(charset_); known != nullptr && known->Iconv != nullptr) {
        const iconv_t converter = iconv_open("UTF-8", known->Iconv);
        if (converter != kNoConverter) converter_ = converter;
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
