#include "ocilite/console/ValueText.h"

#include <cmath>
#include <cstdio>

#include "ocilite/types/DatetimeFormat.h"

namespace ocilite {
namespace {

std::string Hex(const std::string& bytes) {
    static const char* d = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += d[c >> 4];
        out += d[c & 15];
    }
    return out;
}

std::string DoubleText(double d) {
    if (std::isnan(d)) return "Nan";
    if (std::isinf(d)) return d > 0 ? "Inf" : "-Inf";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17G", d);
    // shortest text that reads back as the same double
    for (int prec = 1; prec <= 17; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*G", prec, d);
        if (std::strtod(buf, nullptr) == d) break;
    }
    return buf;
}

int Digits(int64_t v) {
    int d = 1;
    for (v = v < 0 ? -v : v; v >= 10; v /= 10) ++d;
    return d;
}

}  // namespace

std::string ConsoleText(const Value& v, const ColumnInfo& column) {
    switch (v.index()) {
        case 0: return {};
        case 1: return std::get<TextValue>(v).bytes;
        case 2: return std::get<OraNumber>(v).ToText();
        case 3: {
            const auto& d = std::get<DatetimeValue>(v);
            static const DatetimeFormat date =
                DatetimeFormat::Compile("YYYY-MM-DD HH24:MI:SS", FormatUse::Render, DatetimeKind::Date);
            static const DatetimeFormat ts =
                DatetimeFormat::Compile("YYYY-MM-DD HH24:MI:SS.FF", FormatUse::Render, DatetimeKind::Timestamp);
            static const DatetimeFormat tz = DatetimeFormat::Compile("YYYY-MM-DD HH24:MI:SS.FF TZH:TZM",
                                                                     FormatUse::Render, DatetimeKind::TimestampTz);
            int fs = column.scale > 0 && column.scale <= 9 ? column.scale : 6;
            if (column.dataType != 187 && column.dataType != 188 && column.dataType != 232 &&
                d.kind != DatetimeKind::Date)
                fs = 9;
            switch (d.kind) {
                case DatetimeKind::Date: return Render(d.value, date, 0);
                case DatetimeKind::TimestampTz: return Render(d.value, tz, fs);
                default: {
                    OraTimestamp t = d.value;
                    t.hasZone = false;
                    return Render(t, ts, fs);
                }
            }
        }
        case 4: {
            const auto& y = std::get<OraIntervalYM>(v);
            int lead = column.precision > 0 ? column.precision : 2;
            lead = std::max<int>(lead, Digits(y.months / 12));
            return y.ToText(lead);
        }
        case 5: {
            const auto& d = std::get<OraIntervalDS>(v);
            int lead = column.precision > 0 ? column.precision : 2;
            lead = std::max<int>(lead, Digits(d.Days()));
            return d.ToText(lead, column.scale >= 0 ? column.scale : 6);
        }
        case 6: return Hex(std::get<RawValue>(v).bytes);
        case 7: return DoubleText(std::get<BinaryFloatValue>(v).value);
        case 8: return DoubleText(std::get<BinaryDoubleValue>(v).value);
        case 9: return std::get<RowidValue>(v).text;
        case 10: {
            const auto& lob = std::get<LobRefValue>(v);
            if (lob.lobType == 113) return Hex(lob.locator);
            if (lob.lobType == 114) {
                // A BFILE shows as Oracle's tools name it: bfilename('DIRECTORY', 'file').
                const size_t cut = lob.locator.find('\0');
                const std::string dir = lob.locator.substr(0, cut);
                const std::string file = cut == std::string::npos ? std::string() : lob.locator.substr(cut + 1);
                return "bfilename('" + dir + "', '" + file + "')";
            }
            return lob.locator;
        }
        default: return {};
    }
}

}  // namespace ocilite
