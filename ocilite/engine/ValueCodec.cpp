#include "ocilite/engine/ValueCodec.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "ocilite/types/OraError.h"

namespace ocilite {
namespace {

// ---- datetime keys -----------------------------------------------------------------------
std::string DatetimeKey(const OraTimestamp& in, TypeKind kind) {
    bool zoned = kind == TypeKind::TimestampTz || kind == TypeKind::TimestampLtz;
    OraTimestamp u = zoned && in.hasZone ? in.ToUtc() : in;
    std::string key(kind == TypeKind::TimestampTz ? 13 : 11, '\0');
    unsigned year = static_cast<unsigned>(u.year + 5000);
    key[0] = static_cast<char>(year >> 8);
    key[1] = static_cast<char>(year & 0xFF);
    key[2] = static_cast<char>(u.month);
    key[3] = static_cast<char>(u.day);
    key[4] = static_cast<char>(u.hour);
    key[5] = static_cast<char>(u.minute);
    key[6] = static_cast<char>(u.second);
    uint32_t ns = kind == TypeKind::Date ? 0 : u.nanos;
    for (int i = 0; i < 4; ++i) key[7 + i] = static_cast<char>((ns >> (24 - 8 * i)) & 0xFF);
    if (kind == TypeKind::TimestampTz) {
        unsigned off = static_cast<unsigned>((in.hasZone ? in.tzMinutes : 0) + 2000);
        key[11] = static_cast<char>(off >> 8);
        key[12] = static_cast<char>(off & 0xFF);
    }
    return key;
}

OraTimestamp DatetimeFromKey(const unsigned char* p, int n, TypeKind kind, const Nls& nls) {
    OraTimestamp t;
    if (n < 11) throw OraError(600, "internal error code, arguments: [datetime key]");
    t.year = ((p[0] << 8) | p[1]) - 5000;
    t.month = p[2];
    t.day = p[3];
    t.hour = p[4];
    t.minute = p[5];
    t.second = p[6];
    t.nanos = (uint32_t(p[7]) << 24) | (uint32_t(p[8]) << 16) | (uint32_t(p[9]) << 8) | p[10];
    if (kind == TypeKind::TimestampTz) {
        int off = n >= 13 ? ((p[11] << 8) | p[12]) - 2000 : 0;
        t.hasZone = true;
        t.tzMinutes = 0;
        t = t.AtOffset(off);
    } else if (kind == TypeKind::TimestampLtz) {
        t.hasZone = true;
        t.tzMinutes = 0;
        t = t.AtOffset(nls.tzMinutes);
    }
    return t;
}

std::string IntervalDsKey(const OraIntervalDS& v) {
    std::string key(12, '\0');
    uint64_t s = static_cast<uint64_t>(v.seconds) ^ (uint64_t(1) << 63);
    for (int i = 0; i < 8; ++i) key[i] = static_cast<char>((s >> (56 - 8 * i)) & 0xFF);
    uint32_t ns = static_cast<uint32_t>(v.nanos + 1000000000);
    for (int i = 0; i < 4; ++i) key[8 + i] = static_cast<char>((ns >> (24 - 8 * i)) & 0xFF);
    return key;
}

OraIntervalDS IntervalDsFromKey(const unsigned char* p, int n) {
    OraIntervalDS v;
    if (n < 12) return v;
    uint64_t s = 0;
    for (int i = 0; i < 8; ++i) s = (s << 8) | p[i];
    v.seconds = static_cast<int64_t>(s ^ (uint64_t(1) << 63));
    uint32_t ns = 0;
    for (int i = 0; i < 4; ++i) ns = (ns << 8) | p[8 + i];
    v.nanos = static_cast<int32_t>(ns) - 1000000000;
    return v;
}

std::string Hex(const std::string& bytes) {
    static const char* d = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += d[c >> 4];
        out += d[c & 15];
    }
    return out;
}

std::string Unhex(const std::string& text) {
    auto nib = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    size_t i = 0;
    if (text.size() % 2) {
        int v = nib(text[0]);
        if (v < 0) throw OraError(1465, "invalid hex number");
        out += static_cast<char>(v);
        i = 1;
    }
    for (; i < text.size(); i += 2) {
        int a = nib(text[i]), b = nib(text[i + 1]);
        if (a < 0 || b < 0) throw OraError(1465, "invalid hex number");
        out += static_cast<char>(a * 16 + b);
    }
    return out;
}

std::string DoubleText(double d) {
    if (std::isnan(d)) return "Nan";
    if (std::isinf(d)) return d > 0 ? "Inf" : "-Inf";
    return OraNumber::FromDouble(d).ToText();
}

[[noreturn]] void Inconsistent(const char* expected, const Value& got) {
    throw OraError(932, std::string("inconsistent datatypes: expected ") + expected + " got " + ValueTypeName(got));
}

int YearDigits(int64_t years) {
    int d = 1;
    for (int64_t y = years < 0 ? -years : years; y >= 10; y /= 10) ++d;
    return d < 2 ? 2 : d;
}

OraTimestamp RoundFraction(OraTimestamp t, int scale) {
    if (scale >= 9) return t;
    uint32_t unit = 1;
    for (int i = scale; i < 9; ++i) unit *= 10;
    uint32_t rounded = (t.nanos + unit / 2) / unit * unit;
    if (rounded >= 1000000000u) {
        t.nanos = 0;
        bool zone = t.hasZone;
        int tz = t.tzMinutes;
        t = t.PlusSeconds(1);
        t.hasZone = zone;
        t.tzMinutes = tz;
    } else {
        t.nanos = rounded;
    }
    return t;
}
// The stored form of a datetime value: the column's kind when the slot is typed, else the
// value's own kind.
static TypeKind StorageKindOf(const SqlType& type, const DatetimeValue& d) {
    if (type.IsDatetime()) return type.kind;
    switch (d.kind) {
        case DatetimeKind::Date: return TypeKind::Date;
        case DatetimeKind::Timestamp: return TypeKind::Timestamp;
        case DatetimeKind::TimestampTz: return TypeKind::TimestampTz;
        default: return TypeKind::TimestampLtz;
    }
}

}  // namespace

std::string DatetimeStorageKey(const OraTimestamp& t, TypeKind kind) {
    return DatetimeKey(t, kind);
}

std::string SqlLiteral(const Value& v, const SqlType& type) {
    auto blob = [](const std::string& bytes) { return "X'" + Hex(bytes) + "'"; };
    switch (v.index()) {
        case 0: return "NULL";
        case 1: {
            std::string out = "'";
            for (char c : std::get<TextValue>(v).bytes) {
                if (c == '\'') out += '\'';
                out += c;
            }
            return out + "'";
        }
        case 2: return blob(std::get<OraNumber>(v).SortKey());
        case 3: {
            const auto& d = std::get<DatetimeValue>(v);
            const TypeKind k = StorageKindOf(type, d);
            return blob(DatetimeKey(d.value, k));
        }
        case 4: return std::to_string(std::get<OraIntervalYM>(v).months);
        case 5: return blob(IntervalDsKey(std::get<OraIntervalDS>(v)));
        case 6: return blob(std::get<RawValue>(v).bytes);
        case 7:
        case 8: {
            double d = v.index() == 7 ? std::get<BinaryFloatValue>(v).value : std::get<BinaryDoubleValue>(v).value;
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.17g", d);
            return buf;
        }
        default: return "NULL";
    }
}

Nls Nls::Default() {
    Nls n;
    n.dateFormat = DatetimeFormat::Compile("DD-MON-RR", FormatUse::Render, DatetimeKind::Date);
    n.timestampFormat = DatetimeFormat::Compile("DD-MON-RR HH.MI.SSXFF AM", FormatUse::Render, DatetimeKind::Timestamp);
    n.timestampTzFormat =
        DatetimeFormat::Compile("DD-MON-RR HH.MI.SSXFF AM TZR", FormatUse::Render, DatetimeKind::TimestampTz);
    n.dateParse = DatetimeFormat::Compile("DD-MON-RR", FormatUse::Parse, DatetimeKind::Date);
    n.timestampParse = DatetimeFormat::Compile("DD-MON-RR HH.MI.SSXFF AM", FormatUse::Parse, DatetimeKind::Timestamp);
    n.timestampTzParse =
        DatetimeFormat::Compile("DD-MON-RR HH.MI.SSXFF AM TZR", FormatUse::Parse, DatetimeKind::TimestampTz);
    OraTimestamp now = OraTimestamp::Now(true);
    n.tzMinutes = now.tzMinutes;
    return n;
}

DatetimeKind DatetimeKindOf(TypeKind k) {
    switch (k) {
        case TypeKind::Timestamp: return DatetimeKind::Timestamp;
        case TypeKind::TimestampTz: return DatetimeKind::TimestampTz;
        case TypeKind::TimestampLtz: return DatetimeKind::TimestampLtz;
        default: return DatetimeKind::Date;
    }
}

const char* ValueTypeName(const Value& v) {
    switch (v.index()) {
        case 0: return "NULL";
        case 1: return std::get<TextValue>(v).national ? "NCHAR" : "CHAR";
        case 2: return "NUMBER";
        case 3:
            switch (std::get<DatetimeValue>(v).kind) {
                case DatetimeKind::Date: return "DATE";
                case DatetimeKind::Timestamp: return "TIMESTAMP";
                case DatetimeKind::TimestampTz: return "TIMESTAMP WITH TIME ZONE";
                case DatetimeKind::TimestampLtz: return "TIMESTAMP WITH LOCAL TIME ZONE";
            }
            return "DATE";
        case 4: return "INTERVAL YEAR TO MONTH";
        case 5: return "INTERVAL DAY TO SECOND";
        case 6: return "BINARY";
        case 7: return "BINARY_FLOAT";
        case 8: return "BINARY_DOUBLE";
        case 9: return "ROWID";
        case 10: {
            const auto& l = std::get<LobRefValue>(v);
            return l.lobType == 113 ? "BLOB" : l.lobType == 114 ? "FILE" : l.national ? "NCLOB" : "CLOB";
        }
        default: return "LOB";
    }
}

size_t Utf8Length(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

namespace {

// A LOB's content as stored in its cell: BLOB bytes as a blob, CLOB text and BFILE names as
// text. An empty LOB stays a zero-length value, which SQLite keeps apart from NULL.
void BindLobContent(sqlite3_stmt* stmt, int idx, const LobRefValue& lob, sqlite3_destructor_type lifetime) {
    static const char kNothing = 0;
    const char* data = lob.locator.empty() ? &kNothing : lob.locator.data();
    const int size = static_cast<int>(lob.locator.size());
    if (lob.lobType == 113)
        sqlite3_bind_blob(stmt, idx, data, size, lifetime);
    else
        sqlite3_bind_text(stmt, idx, data, size, lifetime);
}

}  // namespace

void BindStored(sqlite3_stmt* stmt, int idx, const SqlType& type, const Value& v) {
    if (IsNull(v)) {
        sqlite3_bind_null(stmt, idx);
        return;
    }
    switch (v.index()) {
        case 1: {
            const std::string& s = std::get<TextValue>(v).bytes;
            sqlite3_bind_text(stmt, idx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            return;
        }
        case 2: {
            std::string key = std::get<OraNumber>(v).SortKey();
            sqlite3_bind_blob(stmt, idx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
            return;
        }
        case 3: {
            const auto& d = std::get<DatetimeValue>(v);
            const TypeKind k = StorageKindOf(type, d);
            std::string key = DatetimeKey(d.value, k);
            sqlite3_bind_blob(stmt, idx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
            return;
        }
        case 4: sqlite3_bind_int64(stmt, idx, std::get<OraIntervalYM>(v).months); return;
        case 5: {
            std::string key = IntervalDsKey(std::get<OraIntervalDS>(v));
            sqlite3_bind_blob(stmt, idx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
            return;
        }
        case 6: {
            const std::string& s = std::get<RawValue>(v).bytes;
            sqlite3_bind_blob(stmt, idx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            return;
        }
        case 7: sqlite3_bind_double(stmt, idx, std::get<BinaryFloatValue>(v).value); return;
        case 8: sqlite3_bind_double(stmt, idx, std::get<BinaryDoubleValue>(v).value); return;
        case 9: sqlite3_bind_text(stmt, idx, std::get<RowidValue>(v).text.c_str(), -1, SQLITE_TRANSIENT); return;
        case 10: BindLobContent(stmt, idx, std::get<LobRefValue>(v), SQLITE_TRANSIENT); return;
        default: sqlite3_bind_null(stmt, idx); return;
    }
}

void BindStoredInPlace(sqlite3_stmt* stmt, int idx, const SqlType& type, const Value& v, std::string& buffer) {
    switch (v.index()) {
        case 1: {
            const std::string& s = std::get<TextValue>(v).bytes;
            sqlite3_bind_text(stmt, idx, s.data(), static_cast<int>(s.size()), SQLITE_STATIC);
            return;
        }
        case 2:
            buffer = std::get<OraNumber>(v).SortKey();
            sqlite3_bind_blob(stmt, idx, buffer.data(), static_cast<int>(buffer.size()), SQLITE_STATIC);
            return;
        case 3: {
            const auto& d = std::get<DatetimeValue>(v);
            buffer = DatetimeKey(d.value, StorageKindOf(type, d));
            sqlite3_bind_blob(stmt, idx, buffer.data(), static_cast<int>(buffer.size()), SQLITE_STATIC);
            return;
        }
        case 10: BindLobContent(stmt, idx, std::get<LobRefValue>(v), SQLITE_STATIC); return;
        default: BindStored(stmt, idx, type, v); return;
    }
}

void ResultStored(sqlite3_context* ctx, const SqlType& type, const Value& v) {
    switch (v.index()) {
        case 0: sqlite3_result_null(ctx); return;
        case 1: {
            const std::string& s = std::get<TextValue>(v).bytes;
            sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            return;
        }
        case 2: {
            std::string key = std::get<OraNumber>(v).SortKey();
            sqlite3_result_blob(ctx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
            return;
        }
        case 3: {
            const auto& d = std::get<DatetimeValue>(v);
            const TypeKind k = StorageKindOf(type, d);
            std::string key = DatetimeKey(d.value, k);
            sqlite3_result_blob(ctx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
            return;
        }
        case 4: sqlite3_result_int64(ctx, std::get<OraIntervalYM>(v).months); return;
        case 5: {
            std::string key = IntervalDsKey(std::get<OraIntervalDS>(v));
            sqlite3_result_blob(ctx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
            return;
        }
        case 6: {
            const std::string& s = std::get<RawValue>(v).bytes;
            sqlite3_result_blob(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            return;
        }
        case 7: sqlite3_result_double(ctx, std::get<BinaryFloatValue>(v).value); return;
        case 8: sqlite3_result_double(ctx, std::get<BinaryDoubleValue>(v).value); return;
        case 9: sqlite3_result_text(ctx, std::get<RowidValue>(v).text.c_str(), -1, SQLITE_TRANSIENT); return;
        case 10: {
            const auto& l = std::get<LobRefValue>(v);
            static const char kNothing = 0;
            const char* data = l.locator.empty() ? &kNothing : l.locator.data();
            if (l.lobType == 113)
                sqlite3_result_blob(ctx, data, static_cast<int>(l.locator.size()), SQLITE_TRANSIENT);
            else
                sqlite3_result_text(ctx, data, static_cast<int>(l.locator.size()), SQLITE_TRANSIENT);
            return;
        }
        default: sqlite3_result_null(ctx); return;
    }
}

namespace {

template <typename Src>
Value ReadGeneric(const SqlType& type, int storage, Src src, const Nls& nls) {
    if (storage == SQLITE_NULL) return std::monostate{};
    auto blob = [&]() { return std::string(static_cast<const char*>(src.blob()), static_cast<size_t>(src.bytes())); };
    auto text = [&]() {
        return std::string(reinterpret_cast<const char*>(src.text()), static_cast<size_t>(src.bytes()));
    };
    switch (type.kind) {
        case TypeKind::Number:
            if (storage == SQLITE_BLOB) {
                // read in place: a key longer than a short string would be copied to the heap
                return OraNumber::FromSortKey(
                    std::string_view(static_cast<const char*>(src.blob()), static_cast<size_t>(src.bytes())));
            }
            if (storage == SQLITE_INTEGER) return OraNumber::FromInt64(src.int64());
            if (storage == SQLITE_FLOAT) return OraNumber::FromDouble(src.dbl());
            return OraNumber::Parse(text());
        case TypeKind::BinaryFloat:
            if (storage == SQLITE_BLOB)
                return BinaryFloatValue{static_cast<float>(OraNumber::FromSortKey(blob()).ToDouble())};
            return BinaryFloatValue{static_cast<float>(src.dbl())};
        case TypeKind::BinaryDouble:
            if (storage == SQLITE_BLOB) return BinaryDoubleValue{OraNumber::FromSortKey(blob()).ToDouble()};
            return BinaryDoubleValue{src.dbl()};
        case TypeKind::Date:
        case TypeKind::Timestamp:
        case TypeKind::TimestampTz:
        case TypeKind::TimestampLtz: {
            if (storage != SQLITE_BLOB) return Coerce(TextValue{text(), false}, type, nls);
            DatetimeValue d;
            d.kind = DatetimeKindOf(type.kind);
            d.value = DatetimeFromKey(static_cast<const unsigned char*>(src.blob()), src.bytes(), type.kind, nls);
            return d;
        }
        case TypeKind::IntervalYM:
            if (storage == SQLITE_INTEGER) return OraIntervalYM{src.int64()};
            return OraIntervalYM::Parse(text());
        case TypeKind::IntervalDS:
            if (storage == SQLITE_BLOB)
                return IntervalDsFromKey(static_cast<const unsigned char*>(src.blob()), src.bytes());
            return OraIntervalDS::Parse(text());
        case TypeKind::Raw:
        case TypeKind::LongRaw:
        case TypeKind::Blob:
            if (storage == SQLITE_TEXT) return RawValue{Unhex(text())};
            return RawValue{blob()};
        case TypeKind::Rowid: return RowidValue{text()};
        default: break;
    }
    // text types and unknown: text; other storage shapes become their text
    if (storage == SQLITE_INTEGER) return TextValue{std::to_string(src.int64()), type.national};
    if (storage == SQLITE_FLOAT) return TextValue{DoubleText(src.dbl()), type.national};
    if (storage == SQLITE_BLOB) return TextValue{Hex(blob()), type.national};
    std::string s = text();
    if (s.empty()) return std::monostate{};
    return TextValue{std::move(s), type.national};
}

struct ValueSrc {
    sqlite3_value* v;
    const void* blob() const { return sqlite3_value_blob(v); }
    const unsigned char* text() const { return sqlite3_value_text(v); }
    int bytes() const { return sqlite3_value_bytes(v); }
    sqlite3_int64 int64() const { return sqlite3_value_int64(v); }
    double dbl() const { return sqlite3_value_double(v); }
};
struct ColumnSrc {
    sqlite3_stmt* s;
    int c;
    const void* blob() const { return sqlite3_column_blob(s, c); }
    const unsigned char* text() const { return sqlite3_column_text(s, c); }
    int bytes() const { return sqlite3_column_bytes(s, c); }
    sqlite3_int64 int64() const { return sqlite3_column_int64(s, c); }
    double dbl() const { return sqlite3_column_double(s, c); }
};

}  // namespace

Value ReadStored(const SqlType& type, sqlite3_value* v, const Nls& nls) {
    return ReadGeneric(type, sqlite3_value_type(v), ValueSrc{v}, nls);
}

Value ReadColumn(const SqlType& type, sqlite3_stmt* stmt, int col, const Nls& nls) {
    return ReadGeneric(type, sqlite3_column_type(stmt, col), ColumnSrc{stmt, col}, nls);
}

void ReadColumnInto(Value& out, const SqlType& type, sqlite3_stmt* stmt, int col, const Nls& nls) {
    const int storage = sqlite3_column_type(stmt, col);
    switch (type.kind) {
        case TypeKind::Unknown:
        case TypeKind::Varchar:
        case TypeKind::Char:
        case TypeKind::Long:
        case TypeKind::Clob:
        case TypeKind::Bfile:
            // Stored text, as ReadGeneric gives it, into the string the slot already holds.
            if (storage == SQLITE_TEXT) {
                const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
                const size_t bytes = static_cast<size_t>(sqlite3_column_bytes(stmt, col));
                if (bytes == 0) {
                    out = std::monostate{};
                } else if (auto* t = std::get_if<TextValue>(&out)) {
                    t->bytes.assign(text, bytes);
                    t->national = type.national;
                    t->fixedChar = false;
                } else {
                    out = TextValue{std::string(text, bytes), type.national};
                }
                return;
            }
            break;
        case TypeKind::Number:
            // Keys read in place into the number the slot holds (no variant built and moved).
            if (storage == SQLITE_BLOB) {
                const auto* key = static_cast<const char*>(sqlite3_column_blob(stmt, col));
                const size_t bytes = static_cast<size_t>(sqlite3_column_bytes(stmt, col));
                const OraNumber n = OraNumber::FromSortKey(std::string_view(key, bytes));
                if (auto* slot = std::get_if<OraNumber>(&out))
                    *slot = n;
                else
                    out = n;
                return;
            }
            break;
        case TypeKind::Date:
        case TypeKind::Timestamp:
        case TypeKind::TimestampTz:
        case TypeKind::TimestampLtz:
            if (storage == SQLITE_BLOB) {
                const auto* key = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, col));
                const int bytes = sqlite3_column_bytes(stmt, col);
                DatetimeValue d;
                d.kind = DatetimeKindOf(type.kind);
                d.value = DatetimeFromKey(key, bytes, type.kind, nls);
                if (auto* slot = std::get_if<DatetimeValue>(&out))
                    *slot = d;
                else
                    out = d;
                return;
            }
            break;
        default: break;
    }
    out = ReadGeneric(type, storage, ColumnSrc{stmt, col}, nls);
}

std::string ValueToText(const Value& v, const Nls& nls) {
    switch (v.index()) {
        case 0: return {};
        case 1: return std::get<TextValue>(v).bytes;
        case 2: return std::get<OraNumber>(v).ToText();
        case 3: {
            const auto& d = std::get<DatetimeValue>(v);
            switch (d.kind) {
                case DatetimeKind::Date: return Render(d.value, nls.dateFormat, 0);
                case DatetimeKind::Timestamp:
                case DatetimeKind::TimestampLtz: return Render(d.value, nls.timestampFormat, 6);
                case DatetimeKind::TimestampTz: return Render(d.value, nls.timestampTzFormat, 6);
            }
            return {};
        }
        case 4: {
            const auto& y = std::get<OraIntervalYM>(v);
            return y.ToText(YearDigits(y.months / 12));
        }
        case 5: {
            const auto& d = std::get<OraIntervalDS>(v);
            return d.ToText(YearDigits(d.Days()), 9);
        }
        case 6: return Hex(std::get<RawValue>(v).bytes);
        case 7: return DoubleText(std::get<BinaryFloatValue>(v).value);
        case 8: return DoubleText(std::get<BinaryDoubleValue>(v).value);
        case 9: return std::get<RowidValue>(v).text;
        case 10: {
            const auto& l = std::get<LobRefValue>(v);
            return l.lobType == 113 ? Hex(l.locator) : l.locator;
        }
        default: return {};
    }
}

namespace {

// A LOB value (a locator's content, EMPTY_CLOB(), BFILENAME) into a column or an argument.
// CLOB stays a CLOB and BLOB a BLOB, empty ones included; a CLOB gives its text to character
// targets and a BLOB its bytes to RAW ones, as Oracle converts them implicitly.
Value CoerceLob(const Value& v, const SqlType& target) {
    const auto& l = std::get<LobRefValue>(v);
    switch (target.kind) {
        case TypeKind::Unknown: return v;
        case TypeKind::Clob:
            if (l.lobType != 112) break;
            if (l.national == target.national) return v;
            return LobRefValue{l.lobType, target.national, l.locator};
        case TypeKind::Blob:
            if (l.lobType == 113) return v;
            break;
        case TypeKind::Bfile:
            if (l.lobType == 114) return v;
            break;
        case TypeKind::Varchar:
        case TypeKind::Char:
        case TypeKind::Long:
            if (l.lobType != 112) break;
            if (l.locator.empty()) return std::monostate{};
            return TextValue{l.locator, target.national};
        case TypeKind::Raw:
        case TypeKind::LongRaw:
            if (l.lobType != 113) break;
            if (l.locator.empty()) return std::monostate{};
            return RawValue{l.locator};
        default: break;
    }
    Inconsistent(TypeName(target).c_str(), v);
}

}  // namespace

Value Coerce(const Value& v, const SqlType& target, const Nls& nls) {
    if (IsNull(v)) return v;
    if (v.index() == 10) return CoerceLob(v, target);
    if (auto* t = std::get_if<TextValue>(&v); t && t->bytes.empty()) return std::monostate{};
    switch (target.kind) {
        case TypeKind::Unknown: return v;
        case TypeKind::Varchar:
        case TypeKind::Char:
        case TypeKind::Long:
        case TypeKind::Clob: {
            if (v.index() == 6 && target.kind != TypeKind::Long && target.kind != TypeKind::Clob)
                return TextValue{Hex(std::get<RawValue>(v).bytes), target.national};
            if (auto* t = std::get_if<TextValue>(&v)) {
                if (t->national == target.national) return v;
                return TextValue{t->bytes, target.national};
            }
            std::string s = ValueToText(v, nls);
            if (s.empty()) return std::monostate{};
            return TextValue{std::move(s), target.national};
        }
        case TypeKind::Number:
            switch (v.index()) {
                case 1: return OraNumber::Parse(std::get<TextValue>(v).bytes);
                case 2: return v;
                case 7: return OraNumber::FromDouble(std::get<BinaryFloatValue>(v).value);
                case 8: return OraNumber::FromDouble(std::get<BinaryDoubleValue>(v).value);
                default: Inconsistent("NUMBER", v);
            }
        case TypeKind::BinaryFloat:
        case TypeKind::BinaryDouble: {
            double d = 0;
            switch (v.index()) {
                case 1: {
                    const std::string& s = std::get<TextValue>(v).bytes;
                    d = OraNumber::Parse(s).ToDouble();
                    break;
                }
                case 2: d = std::get<OraNumber>(v).ToDouble(); break;
                case 7: d = std::get<BinaryFloatValue>(v).value; break;
                case 8: d = std::get<BinaryDoubleValue>(v).value; break;
                default: Inconsistent(target.kind == TypeKind::BinaryFloat ? "BINARY_FLOAT" : "BINARY_DOUBLE", v);
            }
            if (target.kind == TypeKind::BinaryFloat) return BinaryFloatValue{static_cast<float>(d)};
            return BinaryDoubleValue{d};
        }
        case TypeKind::Date:
        case TypeKind::Timestamp:
        case TypeKind::TimestampTz:
        case TypeKind::TimestampLtz: {
            DatetimeKind want = DatetimeKindOf(target.kind);
            if (auto* t = std::get_if<TextValue>(&v)) {
                const DatetimeFormat& f = want == DatetimeKind::Date          ? nls.dateParse
                                          : want == DatetimeKind::TimestampTz ? nls.timestampTzParse
                                                                              : nls.timestampParse;
                OraTimestamp now = OraTimestamp::Now(true);
                DatetimeKind parseKind = want == DatetimeKind::TimestampLtz ? DatetimeKind::Timestamp : want;
                DatetimeValue d{want, Parse(t->bytes, f, parseKind, now)};
                if (want == DatetimeKind::TimestampLtz) {
                    d.value.hasZone = true;
                    d.value.tzMinutes = nls.tzMinutes;
                }
                return d;
            }
            auto* d = std::get_if<DatetimeValue>(&v);
            if (!d) Inconsistent(TypeName(target).c_str(), v);
            DatetimeValue out{want, d->value};
            if (want == DatetimeKind::Date) {
                if (out.value.hasZone && d->kind == DatetimeKind::TimestampLtz)
                    out.value = out.value.AtOffset(nls.tzMinutes);
                out.value.nanos = 0;
                out.value.hasZone = false;
                out.value.tzMinutes = 0;
            } else if (want == DatetimeKind::Timestamp) {
                if (out.value.hasZone && d->kind == DatetimeKind::TimestampLtz)
                    out.value = out.value.AtOffset(nls.tzMinutes);
                out.value.hasZone = false;
                out.value.tzMinutes = 0;
            } else if (!out.value.hasZone) {
                out.value.hasZone = true;
                out.value.tzMinutes = nls.tzMinutes;
            } else if (want == DatetimeKind::TimestampLtz) {
                out.value = out.value.AtOffset(nls.tzMinutes);
            }
            return out;
        }
        case TypeKind::IntervalYM:
            if (auto* t = std::get_if<TextValue>(&v)) return OraIntervalYM::Parse(t->bytes);
            if (v.index() == 4) return v;
            Inconsistent("INTERVAL YEAR TO MONTH", v);
        case TypeKind::IntervalDS:
            if (auto* t = std::get_if<TextValue>(&v)) return OraIntervalDS::Parse(t->bytes);
            if (v.index() == 5) return v;
            Inconsistent("INTERVAL DAY TO SECOND", v);
        case TypeKind::Raw:
        case TypeKind::LongRaw:
        case TypeKind::Blob:
            if (auto* t = std::get_if<TextValue>(&v)) return RawValue{Unhex(t->bytes)};
            if (v.index() == 6) return v;
            Inconsistent("BINARY", v);
        case TypeKind::Bfile: Inconsistent("FILE", v);
        case TypeKind::Rowid:
            if (auto* t = std::get_if<TextValue>(&v)) return RowidValue{t->bytes};
            if (v.index() == 9) return v;
            Inconsistent("ROWID", v);
    }
    return v;
}

std::string QuotedPath(const ColumnTarget& col) {
    return "\"" + col.owner + "\".\"" + col.table + "\".\"" + col.column + "\"";
}

void CheckVarcharLength(const std::string& bytes, const ColumnTarget& col) {
    const SqlType& t = col.type;
    if (bytes.size() <= static_cast<size_t>(t.length)) return;  // fits in bytes, so in characters too
    size_t len = t.charSemantics ? Utf8Length(bytes) : bytes.size();
    if (len > static_cast<size_t>(t.length))
        throw OraError(12899, "value too large for column " + QuotedPath(col) + " (actual: " + std::to_string(len) +
                                  ", maximum: " + std::to_string(t.length) + ")");
}

OraNumber FitNumber(const OraNumber& n, const SqlType& t) {
    if (t.isFloat) return n.FitToFloat(t.precision);
    if (t.precision > 0) return n.FitToPrecisionScale(t.precision, t.scale);
    if (t.scaleGiven) return n.FitToPrecisionScale(38, t.scale);  // NUMBER(*,s), INTEGER
    return n;
}

Value FitColumn(Value v, const ColumnTarget& col, bool update) {
    if (IsNull(v)) {
        if (col.notNull) {
            if (update) throw OraError(1407, "cannot update (" + QuotedPath(col) + ") to NULL");
            throw OraError(1400, "cannot insert NULL into (" + QuotedPath(col) + ")");
        }
        return v;
    }
    const SqlType& t = col.type;
    auto tooLarge = [&](size_t actual, int maximum) {
        throw OraError(12899, "value too large for column " + QuotedPath(col) + " (actual: " + std::to_string(actual) +
                                  ", maximum: " + std::to_string(maximum) + ")");
    };
    switch (t.kind) {
        case TypeKind::Varchar:
        case TypeKind::Char: {
            auto& text = std::get<TextValue>(v);
            size_t len = t.charSemantics ? Utf8Length(text.bytes) : text.bytes.size();
            if (len > static_cast<size_t>(t.length)) {
                // CHAR: trailing blanks beyond the width are cut rather than refused
                if (t.kind == TypeKind::Char) {
                    size_t keep = text.bytes.find_last_not_of(' ');
                    std::string trimmed = keep == std::string::npos ? std::string() : text.bytes.substr(0, keep + 1);
                    size_t tl = t.charSemantics ? Utf8Length(trimmed) : trimmed.size();
                    if (tl <= static_cast<size_t>(t.length)) {
                        text.bytes = trimmed;
                        len = tl;
                    } else {
                        tooLarge(len, t.length);
                    }
                } else {
                    tooLarge(len, t.length);
                }
            }
            if (t.kind == TypeKind::Char && len < static_cast<size_t>(t.length))
                text.bytes.append(static_cast<size_t>(t.length) - len, ' ');
            return v;
        }
        case TypeKind::Number: return FitNumber(std::get<OraNumber>(v), t);
        case TypeKind::Timestamp:
        case TypeKind::TimestampTz:
        case TypeKind::TimestampLtz: {
            auto& d = std::get<DatetimeValue>(v);
            d.value = RoundFraction(d.value, t.scale);
            return v;
        }
        case TypeKind::IntervalYM: return std::get<OraIntervalYM>(v).FitToPrecision(t.precision);
        case TypeKind::IntervalDS: return std::get<OraIntervalDS>(v).FitToPrecision(t.precision, t.scale);
        case TypeKind::Raw: {
            const auto& r = std::get<RawValue>(v);
            if (r.bytes.size() > static_cast<size_t>(t.length)) tooLarge(r.bytes.size(), t.length);
            return v;
        }
        default: return v;
    }
}

}  // namespace ocilite
