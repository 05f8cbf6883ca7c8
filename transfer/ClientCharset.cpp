#include "transfer/ClientCharset.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

#include "oci/TOCI8Func.h"

namespace tabrook {

namespace {

struct NamedCharset {
    unsigned id;
    const char* name;
};

// The client character sets by their OCI ids, for an environment that reports only its id.
constexpr NamedCharset kClientCharsets[] = {
    {873, "AL32UTF8"},     {871, "UTF8"},          {832, "JA16SJIS"},      {834, "JA16SJISYEN"},
    {838, "JA16SJISTILDE"}, {830, "JA16EUC"},       {852, "ZHS16GBK"},      {854, "ZHS32GB18030"},
    {865, "ZHT16BIG5"},    {867, "ZHT16MSWIN950"}, {868, "ZHT16HKSCS"},    {846, "KO16MSWIN949"},
    {178, "WE8MSWIN1252"}, {31, "WE8ISO8859P1"},   {1, "US7ASCII"},
};

std::string Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

}  // namespace

std::string ClientCharsetName(TOCI8Func& oci) {
    if (const char* nlsLang = std::getenv("NLS_LANG"); nlsLang != nullptr) {
        const std::string_view value(nlsLang);
        if (const std::size_t dot = value.rfind('.'); dot != std::string_view::npos) {
            const std::string name = Trimmed(value.substr(dot + 1));
            if (!name.empty()) return name;
        }
    }
    if (oci.hEnv != nullptr && oci.Entries().OCIAttrGet != nullptr) {
        ub2 id = 0;
        if (oci.Entries().OCIAttrGet(oci.hEnv, OCI_HTYPE_ENV, &id, nullptr, OCI_ATTR_ENV_CHARSET_ID, oci.hErr) ==
            OCI_SUCCESS) {
            for (const NamedCharset& charset : kClientCharsets) {
                if (charset.id == id) return charset.name;
            }
        }
    }
    return "AL32UTF8";
}

DoubleByteCode ClientDoubleByteCode(TOCI8Func& oci) {
    if (const char* nlsLang = std::getenv("NLS_LANG"); nlsLang != nullptr) {
        const std::string_view value(nlsLang);
        // A value that names a character set decides; one without (language_territory only) leaves
        // the client's own default, which the environment reports.
        if (value.find('.') != std::string_view::npos) return DoubleByteCodeOfNlsLang(value);
    }
    if (oci.hEnv == nullptr || oci.Entries().OCIAttrGet == nullptr) return DoubleByteCode::None;
    ub2 id = 0;
    const sword status =
        oci.Entries().OCIAttrGet(oci.hEnv, OCI_HTYPE_ENV, &id, nullptr, OCI_ATTR_ENV_CHARSET_ID, oci.hErr);
    return status == OCI_SUCCESS ? DoubleByteCodeOfCharsetId(id) : DoubleByteCode::None;
}

}  // namespace tabrook
