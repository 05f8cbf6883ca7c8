// Fuzzes number format models: input is "model\nvalue". Rendering and parsing with any model
// either works or throws OraError; text rendered without '#' parses back under the model.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ocilite/types/OraNumber.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t nl = input.find('\n');
    const std::string_view fmt = input.substr(0, nl);
    const std::string_view rest = nl == std::string_view::npos ? std::string_view() : input.substr(nl + 1);
    try {
        (void)ocilite::OraNumber::ParseWithFormat(rest, fmt);
    } catch (const ocilite::OraError&) {}
    try {
        ocilite::OraNumber value;
        if (!ocilite::OraNumber::TryParse(rest, value)) value = ocilite::OraNumber::FromInt64(-1234);
        const std::string text = value.Format(fmt);
        if (text.find('#') == std::string::npos && !text.empty()) {
            const ocilite::OraNumber back = ocilite::OraNumber::ParseWithFormat(text, fmt);
            // Negative values rounding to zero keep their '-' and read back as zero.
            if (!(back.IsZero() && value.IsNegative()) && back.Format(fmt) != text) std::abort();
        }
    } catch (const ocilite::OraError&) {}
    return 0;
}
