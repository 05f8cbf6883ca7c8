#include "ocilite/api/ValueText.h"

#include <charconv>
#include <cstdio>
#include <limits>

#include "ocilite/api/DatetimeText.h"
#include "ocilite/types/OraError.h"

namespace ocilite::api {
namespace {

// Oracle's TO_CHAR of BINARY_FLOAT/BINARY_DOUBLE: shortest round-trip digits in scientific
// form with a three-digit exponent ("1.5E+000"), "Inf", "-Inf" and "Nan" for the specials.
template <class T>
void BinaryFloatText(T v, std::string& out) {
    if (v != v) {
        out = "Nan";
        return;
    }
    if (v == std::numeric_limits<T>::infinity()) {
        out = "Inf";
        return;
    }
    if (v == -std::numeric_limits<T>::infinity()) {
        out = "-Inf";
        return;
    }
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    std::string_view s(buf, static_cast<size_t>(res.ptr - buf));
    size_t e = s.find('e');
    std::string mantissa(s.substr(0, e));
    int exponent = 0;
    std::from_chars(s.data() + e + 1 + (s[e + 1] == '+' ? 1 : 0), s.data() + s.size(), exponent);
    if (mantissa.find('.') == std::string::npos) mantissa += ".0";
    char tail[16];
    std::snprintf(tail, sizeof tail, "E%c%03d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    out = mantissa + tail;
}

int LeadPrecision(const ColumnInfo& column) {
    return column.precision > 0 ? column.precision : 9;
}

}  // namespace

void ValueToText(const Value& value, const ColumnInfo& column, std::string& out) {
    out.clear();
    struct Visitor {
        const ColumnInfo& column;
        std::string& out;
        void operator()(const std::monostate&) const {}
        void operator()(const TextValue& v) const { out = v.bytes; }
        void operator()(const OraNumber& v) const { out = v.ToText(); }
        void operator()(const DatetimeValue& v) const {
            int kind = static_cast<int>(v.kind);
            int fs = kind == 0 ? 0 : (column.scale > 0 && column.scale <= 9 ? column.scale : 6);
            AppendDefaultDatetimeText(out, v.value, kind, fs);
        }
        void operator()(const OraIntervalYM& v) const {
            try {
                out = v.ToText(LeadPrecision(column));
            } catch (const OraError&) {
                out = v.ToText(9);
            }
        }
        void operator()(const OraIntervalDS& v) const {
            int fs = column.scale > 0 && column.scale <= 9 ? column.scale : 6;
            try {
                out = v.ToText(LeadPrecision(column), fs);
            } catch (const OraError&) {
                out = v.ToText(9, fs);
            }
        }
        void operator()(const RawValue& v) const {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out.reserve(v.bytes.size() * 2);
            for (unsigned char c : v.bytes) {
                out.push_back(kHex[c >> 4]);
                out.push_back(kHex[c & 15]);
            }
        }
        void operator()(const BinaryFloatValue& v) const { BinaryFloatText(v.value, out); }
        void operator()(const BinaryDoubleValue& v) const { BinaryFloatText(v.value, out); }
        void operator()(const RowidValue& v) const { out = v.text; }
        void operator()(const LobRefValue& v) const {
            // A CLOB fetched into a character buffer gives its text, as Oracle's client does.
            if (v.lobType == 112) {
                out = v.locator;
                return;
            }
            const char* got = v.lobType == 113 ? "BLOB" : v.lobType == 114 ? "FILE" : v.national ? "NCLOB" : "CLOB";
            throw OraError(932, std::string("inconsistent datatypes: expected CHAR got ") + got);
        }
    };
    std::visit(Visitor{column, out}, value);
}

}  // namespace ocilite::api
