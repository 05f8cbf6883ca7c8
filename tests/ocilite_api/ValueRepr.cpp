#include "tests/ocilite_api/ValueRepr.h"

#include <cstdio>

namespace ocitest {

std::string Repr(const ocilite::Value& v) {
    using namespace ocilite;
    if (IsNull(v)) return "NULL";
    if (auto* t = std::get_if<TextValue>(&v)) return (t->national ? "NTEXT:" : "TEXT:") + t->bytes;
    if (auto* n = std::get_if<OraNumber>(&v)) return "NUM:" + n->ToText();
    if (auto* d = std::get_if<DatetimeValue>(&v)) {
        char buf[80];
        const OraTimestamp& ts = d->value;
        std::snprintf(buf, sizeof buf, "DT%d:%04d-%02d-%02d %02d:%02d:%02d.%09u%s", static_cast<int>(d->kind), ts.year,
                      ts.month, ts.day, ts.hour, ts.minute, ts.second, ts.nanos, ts.hasZone ? " Z" : "");
        return buf;
    }
    if (auto* ym = std::get_if<OraIntervalYM>(&v)) return "YM:" + ym->ToText(9);
    if (auto* ds = std::get_if<OraIntervalDS>(&v)) return "DS:" + ds->ToText(9, 9);
    if (auto* r = std::get_if<RawValue>(&v)) {
        std::string out = "RAW:";
        char b[3];
        for (unsigned char c : r->bytes) {
            std::snprintf(b, sizeof b, "%02X", c);
            out += b;
        }
        return out;
    }
    if (auto* f = std::get_if<BinaryFloatValue>(&v)) return "BF:" + std::to_string(f->value);
    if (auto* d = std::get_if<BinaryDoubleValue>(&v)) return "BD:" + std::to_string(d->value);
    if (auto* r = std::get_if<RowidValue>(&v)) return "ROWID:" + r->text;
    if (auto* l = std::get_if<LobRefValue>(&v)) return "LOB:" + std::to_string(l->lobType) + ":" + l->locator;
    return "?";
}

}  // namespace ocitest
