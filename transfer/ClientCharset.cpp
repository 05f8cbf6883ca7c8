#include "transfer/ClientCharset.h"

#include <cstdlib>
#include <string_view>

#include "oci/TOCI8Func.h"

namespace tabrook {

std::string ClientCharsetName(TOCI8Func& oci) {
    return oci.ClientCharsetName();
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
