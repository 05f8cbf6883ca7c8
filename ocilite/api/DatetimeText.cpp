#include "ocilite/api/DatetimeText.h"

#include "ocilite/types/DatetimeOci.h"

namespace ocilite::api {
namespace {

constexpr std::string_view kDateFormat = "DD-MON-RR";
constexpr std::string_view kTimestampFormat = "DD-MON-RR HH.MI.SSXFF AM";
constexpr std::string_view kTimestampTzFormat = "DD-MON-RR HH.MI.SSXFF AM TZR";

DatetimeKind KindOf(int kind) {
    switch (kind) {
        case 1: return DatetimeKind::Timestamp;
        case 2: return DatetimeKind::TimestampTz;
        case 3: return DatetimeKind::TimestampLtz;
        default: return DatetimeKind::Date;
    }
}

std::string_view FormatOf(int kind) {
    switch (kind) {
        case 1:
        case 3: return kTimestampFormat;
        case 2: return kTimestampTzFormat;
        default: return kDateFormat;
    }
}

}  // namespace

void AppendDefaultDatetimeText(std::string& out, const OraTimestamp& value, int kind, int fsPrecision) {
    const DatetimeFormat& fmt = CachedDatetimeFormat(FormatOf(kind), FormatUse::Render, KindOf(kind));
    RenderTo(out, value, fmt, fsPrecision);
}

OraTimestamp ParseDefaultDatetimeText(std::string_view text, int kind) {
    const DatetimeFormat& fmt = CachedDatetimeFormat(FormatOf(kind), FormatUse::Parse, KindOf(kind));
    return Parse(text, fmt, KindOf(kind), OraTimestamp::Now(kind == 2));
}

}  // namespace ocilite::api
