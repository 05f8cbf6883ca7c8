// Fuzz target: input is "<format>\n<text>". Compiling and parsing either raise OraError or give a
// valid value; a parsed value renders with the same model without error.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ocilite/types/DatetimeFormat.h"
#include "ocilite/types/OraError.h"

using namespace ocilite;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t newline = input.find('\n');
    if (newline == std::string_view::npos) return 0;
    const std::string_view fmt = input.substr(0, newline), text = input.substr(newline + 1);
    OraTimestamp now;
    now.year = 2025;
    now.month = 6;
    now.day = 15;
    now.hasZone = true;
    now.tzMinutes = 120;
    for (DatetimeKind kind : {DatetimeKind::Date, DatetimeKind::Timestamp, DatetimeKind::TimestampTz}) {
        try {
            const DatetimeFormat in = DatetimeFormat::Compile(fmt, FormatUse::Parse, kind);
            const OraTimestamp value = Parse(text, in, kind, now);
            if (!value.IsValid()) std::abort();
            const DatetimeFormat out = DatetimeFormat::Compile(fmt, FormatUse::Render, kind);
            (void)Render(value, out, 9);
        } catch (const OraError&) {}
        try {
            const DatetimeFormat out = DatetimeFormat::Compile(fmt, FormatUse::Render, kind);
            (void)Render(now, out, 6);
        } catch (const OraError&) {}
    }
    return 0;
}
