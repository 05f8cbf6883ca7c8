// Fuzzes TO_NUMBER without a model: every accepted text renders to a value that parses back
// to the same number, and only OraError escapes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ocilite/types/OraNumber.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const ocilite::OraNumber n = ocilite::OraNumber::Parse(text);
        const ocilite::OraNumber back = ocilite::OraNumber::Parse(n.ToText());
        if (!(back == n)) std::abort();
        uint8_t oci[22];
        n.ToOci(oci);
        if (!(ocilite::OraNumber::FromOci(oci) == n)) std::abort();
        if (!(ocilite::OraNumber::FromSortKey(n.SortKey()) == n)) std::abort();
        (void)n.FitToPrecisionScale(10, 2);
    } catch (const ocilite::OraError&) {}
    // Raw bytes as a varnum must be refused or decode to a number that re-encodes.
    try {
        const ocilite::OraNumber v = ocilite::OraNumber::FromVarnum(data, size);
        const std::string key = v.ToVarnum();
        if (!(ocilite::OraNumber::FromSortKey(key) == v)) std::abort();
    } catch (const ocilite::OraError&) {}
    return 0;
}
