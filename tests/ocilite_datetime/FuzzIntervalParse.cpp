// Fuzz target: TO_YMINTERVAL / TO_DSINTERVAL either raise OraError or give a value whose text
// reads back to the same value.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ocilite/types/OraError.h"
#include "ocilite/types/OraInterval.h"

using namespace ocilite;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const OraIntervalYM ym = OraIntervalYM::Parse(text);
        if (!(OraIntervalYM::Parse(ym.ToText(9)) == ym)) std::abort();
    } catch (const OraError&) {}
    try {
        const OraIntervalDS ds = OraIntervalDS::Parse(text);
        if (!(OraIntervalDS::Parse(ds.ToText(9, 9)) == ds)) std::abort();
        uint8_t bytes[11];
        ds.ToBytes11(bytes);
        if (!(OraIntervalDS::FromBytes11(bytes) == ds)) std::abort();
    } catch (const OraError&) {}
    return 0;
}
