#include "app/ClientTextDecoder.h"

#include <iconv.h>

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
    return QString::fromStdString(ConvertToUtf8With(bytes, converter_));
}

}  // namespace tabrook
