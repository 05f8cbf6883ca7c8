// The NLS look-ups drivers make while they set an environment up: character set names and
// ids, their IANA names, the widest character of the client set, and NLS_LANG's sets.

#include <cstring>
#include <string_view>

#include "ocilite/api/ClientCharset.h"
#include "ocilite/api/HandleBase.h"
#include "ocilite/api/NlsInfo.h"
#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"

using namespace ocilite::api;

namespace {

constexpr std::string_view kNationalCharsetName = "AL16UTF16";

// Oracle's names of the supported sets and their IANA names, in the order a lookup from IANA
// prefers (AL32UTF8 before UTF8, JA16SJIS before its TILDE variant).
struct IanaName {
    const char* oracle;
    const char* iana;
};
constexpr IanaName kIanaNames[] = {
    {"AL32UTF8", "UTF-8"},          {"UTF8", "UTF-8"},        {"AL16UTF16", "UTF-16"}, {"JA16SJIS", "Shift_JIS"},
    {"JA16SJISTILDE", "Shift_JIS"}, {"JA16EUC", "EUC-JP"},    {"ZHS16GBK", "GBK"},     {"WE8MSWIN1252", "windows-1252"},
    {"WE8ISO8859P1", "ISO-8859-1"}, {"US7ASCII", "US-ASCII"},
};

// Copies a name with its terminating zero; false when the buffer is too small.
bool PutName(OraText* buf, size_t buflen, std::string_view name) {
    if (buf == nullptr || buflen <= name.size()) return false;
    std::memcpy(buf, name.data(), name.size());
    buf[name.size()] = 0;
    return true;
}

// The widest character of a set, in bytes.
sb4 MaxBytes(const ClientCharset& cs) {
    switch (cs.id) {
        case 873: return 4;  // AL32UTF8
        case 871:            // UTF8
        case 830: return 3;  // JA16EUC
        case 832:
        case 838:
        case 852: return 2;
        default: return 1;
    }
}

}  // namespace

extern "C" {

sword OCINlsNumericInfoGet(void* envhp, OCIError* errhp, sb4* val, ub2 item) {
    if (LiveHandle(envhp) == nullptr || val == nullptr) return OCI_INVALID_HANDLE;
    const ClientCharset& cs = CurrentClientCharset();
    switch (item) {
        case OCI_NLS_CHARSET_MAXBYTESZ: *val = MaxBytes(cs); return OCI_SUCCESS;
        case OCI_NLS_CHARSET_FIXEDWIDTH: *val = MaxBytes(cs) == 1 ? 1 : 0; return OCI_SUCCESS;
        default:
            if (Diagnostics* d = DiagnosticsOf(errhp))
                d->SetOra(12705, "Cannot access NLS data files or invalid environment specified");
            return OCI_ERROR;
    }
}

sword OCINlsCharSetIdToName(void* envhp, OraText* buf, size_t buflen, ub2 id) {
    if (LiveHandle(envhp) == nullptr) return OCI_INVALID_HANDLE;
    if (id == kNationalCharsetId) return PutName(buf, buflen, kNationalCharsetName) ? OCI_SUCCESS : OCI_ERROR;
    const ClientCharset* cs = FindClientCharset(id);
    return cs != nullptr && PutName(buf, buflen, cs->name) ? OCI_SUCCESS : OCI_ERROR;
}

ub2 OCINlsCharSetNameToId(void* envhp, const OraText* name) {
    if (LiveHandle(envhp) == nullptr || name == nullptr) return 0;
    std::string_view text(reinterpret_cast<const char*>(name));
    if (EqualNoCase(text, kNationalCharsetName)) return kNationalCharsetId;
    const ClientCharset* cs = FindClientCharset(text);
    return cs != nullptr ? cs->id : 0;
}

sword OCINlsNameMap(void* envhp, OraText* buf, size_t buflen, const OraText* srcbuf, ub4 flag) {
    if (LiveHandle(envhp) == nullptr || srcbuf == nullptr) return OCI_INVALID_HANDLE;
    std::string_view source(reinterpret_cast<const char*>(srcbuf));
    const bool toOracle = flag == OCI_NLS_CS_IANA_TO_ORA;
    if (!toOracle && flag != OCI_NLS_CS_ORA_TO_IANA) return OCI_ERROR;
    for (const auto& n : kIanaNames)
        if (EqualNoCase(source, toOracle ? n.iana : n.oracle))
            return PutName(buf, buflen, toOracle ? n.oracle : n.iana) ? OCI_SUCCESS : OCI_ERROR;
    return OCI_ERROR;
}

sword OCINlsEnvironmentVariableGet(void* valp, size_t size, ub2 item, ub2 charset, size_t* rsize) {
    // NLS_LANG's character set; NLS_NCHAR is not read, the national set is the database's.
    if (valp == nullptr || size < sizeof(ub2)) return OCI_ERROR;
    ub2 id = 0;
    if (item == OCI_NLS_CHARSET_ID)
        id = CurrentClientCharset().id;
    else if (item == OCI_NLS_NCHARSET_ID)
        id = kNationalCharsetId;
    else
        return OCI_ERROR;
    std::memcpy(valp, &id, sizeof id);
    if (rsize != nullptr) *rsize = sizeof id;
    return OCI_SUCCESS;
}

}  // extern "C"
