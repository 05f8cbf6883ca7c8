#include "ocilite/engine/Functions.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <map>

#include "ocilite/engine/TextCase.h"
#include "ocilite/types/DatetimeNames.h"
#include "ocilite/types/OraError.h"

namespace ocilite {
namespace {

// ---- helpers -----------------------------------------------------------------------------
SqlType NumberType() {
    return SqlType::Of(TypeKind::Number);
}
SqlType TextType(bool national = false) {
    return SqlType::Text(4000, national);
}
SqlType Want(TypeKind k) {
    return SqlType::Of(k);
}

const std::string& Str(const Value& v) {
    return std::get<TextValue>(v).bytes;
}
const OraNumber& Num(const Value& v) {
    return std::get<OraNumber>(v);
}
Value TextOrNull(std::string s, bool national = false) {
    if (s.empty()) return std::monostate{};
    return TextValue{std::move(s), national};
}
bool AnyNull(const std::vector<Value>& a) {
    return std::any_of(a.begin(), a.end(), [](const Value& v) { return IsNull(v); });
}
int64_t IntArg(const Value& v) {
    return Num(v).Trunc(0).ToInt64();
}
int IntervalDigits(int64_t v) {
    int d = 1;
    for (v = v < 0 ? -v : v; v >= 10; v /= 10) ++d;
    return d;
}

// Result type when two expressions meet in NVL/DECODE/CASE/GREATEST: the first non-null one.
SqlType Common(const std::vector<SqlType>& ts, size_t from = 0, size_t step = 1) {
    for (size_t i = from; i < ts.size(); i += step)
        if (ts[i].kind != TypeKind::Unknown) {
            SqlType t = ts[i];
            if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
            t.literal = false;
            return t;
        }
    return TextType();
}

const DatetimeFormat& CachedFormat(FnState& st, const std::string& text, FormatUse use, DatetimeKind kind) {
    int key = static_cast<int>(use) * 8 + static_cast<int>(kind);
    if (!st.format || st.formatText != text || st.formatKind != key) {
        st.format = DatetimeFormat::Compile(text, use, kind);
        st.formatText = text;
        st.formatKind = key;
    }
    return *st.format;
}

OraTimestamp NowFor(const EvalContext& cx) {
    OraTimestamp now = OraTimestamp::Now(true);
    if (!now.hasZone) {
        now.hasZone = true;
        now.tzMinutes = cx.nls->tzMinutes;
    }
    return now;
}

// Whole seconds of a monotonic clock. The coarse clock is read without a system call and is
// plenty for a value refreshed once a second.
int64_t MonotonicSecond() {
#if defined(CLOCK_MONOTONIC_COARSE)
    timespec ts{};
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &ts) == 0) return static_cast<int64_t>(ts.tv_sec);
#endif
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

const OraTimestamp& CachedNow(FnState& st, const EvalContext& cx) {
    const int64_t second = MonotonicSecond();
    if (st.nowReadAt != second) {
        st.now = NowFor(cx);
        st.nowReadAt = second;
    }
    return st.now;
}

// ---- datetime arithmetic ------------------------------------------------------------------
OraTimestamp AddNanos(const OraTimestamp& t, int64_t seconds, int64_t nanos) {
    int64_t total = static_cast<int64_t>(t.nanos) + nanos;
    int64_t carry = total >= 0 ? total / 1000000000 : -((-total + 999999999) / 1000000000);
    total -= carry * 1000000000;
    OraTimestamp r = t.PlusSeconds(seconds + carry);
    r.nanos = static_cast<uint32_t>(total);
    r.hasZone = t.hasZone;
    r.tzMinutes = t.tzMinutes;
    return r;
}

OraTimestamp AddMonths(const OraTimestamp& t, int64_t months) {
    int64_t m = static_cast<int64_t>(t.year) * 12 + (t.month - 1) + months;
    OraTimestamp r = t;
    bool wasLast = t.day == OraTimestamp::DaysInMonth(t.year, t.month);
    int64_t year = m >= 0 ? m / 12 : -((-m + 11) / 12);
    r.year = static_cast<int>(year);
    r.month = static_cast<int>(m - year * 12) + 1;
    if (r.year == 0 || r.year < -4712 || r.year > 9999)
        throw OraError(1841, "(full) year must be between -4713 and +9999, and not be 0");
    int dim = OraTimestamp::DaysInMonth(r.year, r.month);
    if (wasLast || r.day > dim) r.day = dim;
    return r;
}

// Datetime plus an INTERVAL YEAR TO MONTH: the day stays as it is, and a day the target month
// does not have is an error (ADD_MONTHS moves to the month's last day instead).
OraTimestamp AddIntervalMonths(const OraTimestamp& t, int64_t months) {
    int64_t m = static_cast<int64_t>(t.year) * 12 + (t.month - 1) + months;
    int64_t year = m >= 0 ? m / 12 : -((-m + 11) / 12);
    OraTimestamp r = t;
    r.year = static_cast<int>(year);
    r.month = static_cast<int>(m - year * 12) + 1;
    if (r.year == 0 || r.year < -4712 || r.year > 9999)
        throw OraError(1841, "(full) year must be between -4713 and +9999, and not be 0");
    if (r.day > OraTimestamp::DaysInMonth(r.year, r.month)) throw OraError(1839, "date not valid for month specified");
    return r;
}

// Days between two datetimes as a NUMBER (fractional).
OraNumber DaysBetween(const OraTimestamp& a, const OraTimestamp& b) {
    OraTimestamp ua = a.hasZone ? a.ToUtc() : a, ub = b.hasZone ? b.ToUtc() : b;
    int64_t secs = (ua.DayNumber() - ub.DayNumber()) * 86400 + ua.SecondsOfDay() - ub.SecondsOfDay();
    OraNumber n = OraNumber::FromInt64(secs);
    return n.Div(OraNumber::FromInt64(86400));
}

OraIntervalDS Difference(const OraTimestamp& a, const OraTimestamp& b) {
    OraTimestamp ua = a.hasZone ? a.ToUtc() : a, ub = b.hasZone ? b.ToUtc() : b;
    int64_t secs = (ua.DayNumber() - ub.DayNumber()) * 86400 + ua.SecondsOfDay() - ub.SecondsOfDay();
    int64_t nanos = static_cast<int64_t>(ua.nanos) - static_cast<int64_t>(ub.nanos);
    if (secs > 0 && nanos < 0) {
        --secs;
        nanos += 1000000000;
    }
    if (secs < 0 && nanos > 0) {
        ++secs;
        nanos -= 1000000000;
    }
    OraIntervalDS d;
    d.seconds = secs;
    d.nanos = static_cast<int32_t>(nanos);
    return d;
}

// ---- operators ----------------------------------------------------------------------------
SqlType ArithType(const std::vector<SqlType>& a, std::vector<SqlType>& w, char op) {
    const SqlType& l = a[0];
    const SqlType& r = a[1];
    auto isInterval = [](const SqlType& t) { return t.kind == TypeKind::IntervalYM || t.kind == TypeKind::IntervalDS; };
    if (l.IsDatetime() || r.IsDatetime()) {
        if (l.IsDatetime() && r.IsDatetime()) {
            if (op != '-') throw OraError(975, "date + date not allowed");
            if (l.kind == TypeKind::Date && r.kind == TypeKind::Date) return NumberType();
            return SqlType{TypeKind::IntervalDS, false, false, false, 0, false, 9, 9, false};
        }
        if (op == '*' || op == '/') throw OraError(932, "inconsistent datatypes: expected NUMBER got DATE");
        const SqlType& d = l.IsDatetime() ? l : r;
        const SqlType& other = l.IsDatetime() ? r : l;
        if (op == '-' && r.IsDatetime()) throw OraError(932, "inconsistent datatypes: expected DATE got NUMBER");
        if (!isInterval(other)) w[l.IsDatetime() ? 1 : 0] = NumberType();
        SqlType out = d;
        if (isInterval(other) && d.kind == TypeKind::Date && other.kind == TypeKind::IntervalDS) out = d;
        return out;
    }
    if (isInterval(l) && isInterval(r)) {
        if (op == '*' || op == '/') throw OraError(932, "inconsistent datatypes: expected NUMBER got INTERVAL");
        return l;
    }
    if (isInterval(l) || isInterval(r)) {
        // An interval adds to an interval or a datetime only, and scales by a number (either
        // side of *, the left of /). An untyped side (a bind, NULL) takes the type that fits.
        const bool left = isInterval(l);
        const SqlType& iv = left ? l : r;
        const SqlType& other = left ? r : l;
        const char* ivName = iv.kind == TypeKind::IntervalYM ? "INTERVAL YEAR TO MONTH" : "INTERVAL DAY TO SECOND";
        if (op == '+' || op == '-') {
            if (other.kind != TypeKind::Unknown)
                throw OraError(932, std::string("inconsistent datatypes: expected ") + (left ? ivName : "NUMBER") +
                                        " got " + (left ? "NUMBER" : ivName));
            w[left ? 1 : 0] = iv;
            return iv;
        }
        if (op == '/' && !left)
            throw OraError(932, std::string("inconsistent datatypes: expected NUMBER got ") + ivName);
        w[left ? 1 : 0] = NumberType();
        return iv;
    }
    if (l.kind == TypeKind::BinaryDouble || r.kind == TypeKind::BinaryDouble) {
        w[0] = w[1] = Want(TypeKind::BinaryDouble);
        return Want(TypeKind::BinaryDouble);
    }
    if (l.kind == TypeKind::BinaryFloat || r.kind == TypeKind::BinaryFloat) {
        w[0] = w[1] = Want(TypeKind::BinaryFloat);
        return Want(TypeKind::BinaryFloat);
    }
    w[0] = w[1] = NumberType();
    return NumberType();
}

Value Arith(std::vector<Value>& a, const CompiledCall& c, char op) {
    if (AnyNull(a)) return std::monostate{};
    Value& l = a[0];
    Value& r = a[1];
    if (auto* dl = std::get_if<DatetimeValue>(&l)) {
        if (auto* dr = std::get_if<DatetimeValue>(&r)) {
            if (c.result.kind == TypeKind::Number) return DaysBetween(dl->value, dr->value);
            return Difference(dl->value, dr->value);
        }
        DatetimeValue out = *dl;
        int sign = op == '-' ? -1 : 1;
        if (auto* n = std::get_if<OraNumber>(&r)) {
            // days, with the fraction as seconds (rounded to whole seconds for DATE)
            OraNumber secs = n->Mul(OraNumber::FromInt64(86400));
            int64_t whole = secs.Trunc(0).ToInt64();
            int64_t nanos =
                secs.Sub(OraNumber::FromInt64(whole)).Mul(OraNumber::FromInt64(1000000000)).Round(0).ToInt64();
            if (dl->kind == DatetimeKind::Date) {
                whole = secs.Round(0).ToInt64();
                nanos = 0;
            }
            out.value = AddNanos(out.value, sign * whole, sign * nanos);
            if (out.kind != DatetimeKind::Date && dl->kind != DatetimeKind::Date) {}
            return out;
        }
        if (auto* ym = std::get_if<OraIntervalYM>(&r)) {
            out.value = AddIntervalMonths(out.value, sign * ym->months);
            return out;
        }
        if (auto* ds = std::get_if<OraIntervalDS>(&r)) {
            out.value = AddNanos(out.value, sign * ds->seconds, sign * static_cast<int64_t>(ds->nanos));
            if (out.kind == DatetimeKind::Date) out.value.nanos = 0;
            return out;
        }
    }
    if (std::holds_alternative<DatetimeValue>(r) ||
        (op == '*' && (std::holds_alternative<OraIntervalYM>(r) || std::holds_alternative<OraIntervalDS>(r)) &&
         !std::holds_alternative<OraIntervalYM>(l) && !std::holds_alternative<OraIntervalDS>(l))) {
        std::swap(l, r);
        return Arith(a, c, op);
    }
    if (auto* yl = std::get_if<OraIntervalYM>(&l)) {
        if (auto* yr = std::get_if<OraIntervalYM>(&r))
            return OraIntervalYM{op == '-' ? yl->months - yr->months : yl->months + yr->months};
        OraNumber f = Num(r);
        OraNumber m = OraNumber::FromInt64(yl->months);
        m = op == '*' ? m.Mul(f) : m.Div(f);
        return OraIntervalYM{m.Trunc(0).ToInt64()};
    }
    if (auto* xl = std::get_if<OraIntervalDS>(&l)) {
        auto total = [](const OraIntervalDS& d) {
            return OraNumber::FromInt64(d.seconds)
                .Mul(OraNumber::FromInt64(1000000000))
                .Add(OraNumber::FromInt64(d.nanos));
        };
        OraNumber t = total(*xl);
        if (auto* xr = std::get_if<OraIntervalDS>(&r))
            t = op == '-' ? t.Sub(total(*xr)) : t.Add(total(*xr));
        else
            t = op == '*' ? t.Mul(Num(r)) : t.Div(Num(r));
        OraNumber billion = OraNumber::FromInt64(1000000000);
        OraIntervalDS out;
        out.seconds = t.Div(billion).Trunc(0).ToInt64();
        out.nanos = static_cast<int32_t>(t.Sub(OraNumber::FromInt64(out.seconds).Mul(billion)).Round(0).ToInt64());
        return out;
    }
    if (c.result.kind == TypeKind::BinaryDouble || c.result.kind == TypeKind::BinaryFloat) {
        double x = l.index() == 8 ? std::get<BinaryDoubleValue>(l).value : std::get<BinaryFloatValue>(l).value;
        double y = r.index() == 8 ? std::get<BinaryDoubleValue>(r).value : std::get<BinaryFloatValue>(r).value;
        double z = op == '+' ? x + y : op == '-' ? x - y : op == '*' ? x * y : x / y;
        if (c.result.kind == TypeKind::BinaryFloat) return BinaryFloatValue{static_cast<float>(z)};
        return BinaryDoubleValue{z};
    }
    const OraNumber& x = Num(l);
    const OraNumber& y = Num(r);
    switch (op) {
        case '+': return x.Add(y);
        case '-': return x.Sub(y);
        case '*': return x.Mul(y);
        default: return x.Div(y);
    }
}

SqlType AddType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    return ArithType(a, w, '+');
}
SqlType SubType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    return ArithType(a, w, '-');
}
SqlType MulType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    return ArithType(a, w, '*');
}
SqlType DivType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    return ArithType(a, w, '/');
}
Value AddEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    return Arith(a, c, '+');
}
Value SubEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    return Arith(a, c, '-');
}
Value MulEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    return Arith(a, c, '*');
}
Value DivEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    return Arith(a, c, '/');
}

SqlType NegType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    if (a[0].kind == TypeKind::IntervalYM || a[0].kind == TypeKind::IntervalDS || a[0].kind == TypeKind::BinaryDouble ||
        a[0].kind == TypeKind::BinaryFloat)
        return a[0];
    w[0] = NumberType();
    return NumberType();
}
Value NegEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    Value& v = a[0];
    if (IsNull(v)) return v;
    if (auto* n = std::get_if<OraNumber>(&v)) return n->Neg();
    if (auto* y = std::get_if<OraIntervalYM>(&v)) return OraIntervalYM{-y->months};
    if (auto* d = std::get_if<OraIntervalDS>(&v)) {
        OraIntervalDS r = *d;
        r.seconds = -r.seconds;
        r.nanos = -r.nanos;
        return r;
    }
    if (auto* f = std::get_if<BinaryDoubleValue>(&v)) return BinaryDoubleValue{-f->value};
    if (auto* f = std::get_if<BinaryFloatValue>(&v)) return BinaryFloatValue{-f->value};
    return v;
}

SqlType ConcatType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    bool national = false;
    for (auto& t : a) national = national || t.national;
    w[0] = w[1] = TextType(national);
    if (a[0].kind == TypeKind::Clob || a[1].kind == TypeKind::Clob) {
        SqlType t = SqlType::Of(TypeKind::Clob);
        t.national = national;
        return t;
    }
    int len = std::min(32767, (a[0].length > 0 ? a[0].length : 40) + (a[1].length > 0 ? a[1].length : 40));
    return SqlType::Text(len, national);
}
Value ConcatEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    std::string s;
    for (auto& v : a)
        if (!IsNull(v)) s += Str(v);
    return TextOrNull(std::move(s), c.result.national);
}

SqlType TranslateCharType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = TextType(false);
    SqlType t = a[0].IsText() ? a[0] : TextType(false);
    if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
    if (t.national) {
        // national characters need up to 4 bytes each in the database character set
        t.charSemantics = false;
        t.length = std::min(4000, t.length * 4);
    }
    t.national = false;
    t.literal = false;
    return t;
}
SqlType TranslateNcharType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = TextType(true);
    SqlType t = a[0].IsText() ? a[0] : TextType(true);
    if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
    t.national = true;
    t.charSemantics = true;
    t.literal = false;
    if (t.length <= 0 || t.length > 2000) t.length = 2000;
    return t;
}
Value Identity(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (auto* t = std::get_if<TextValue>(&a[0])) t->national = c.result.national;
    return a[0];
}

// ---- conversion functions ---------------------------------------------------------------
template <TypeKind K>
SqlType ToDatetimeType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    for (auto& x : w) x = TextType();
    SqlType t = SqlType::Of(K);
    if (K != TypeKind::Date) t.scale = 9;
    return t;
}
template <TypeKind K>
Value ToDatetimeEval(std::vector<Value>& a, const CompiledCall& c, FnState& st, const EvalContext& cx) {
    if (IsNull(a[0])) return std::monostate{};
    DatetimeKind kind = DatetimeKindOf(K);
    if (a.size() < 2) return Coerce(a[0], c.result, *cx.nls);
    if (IsNull(a[1])) return std::monostate{};
    const DatetimeFormat& f = CachedFormat(st, Str(a[1]), FormatUse::Parse, kind);
    return DatetimeValue{kind, Parse(Str(a[0]), f, kind, CachedNow(st, cx))};
}

SqlType ToCharType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    if (a.size() > 1) w[1] = TextType();
    if (a.size() > 2) w[2] = TextType();
    if (a[0].IsText()) {
        SqlType t = a[0];
        t.national = false;
        if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
        t.literal = false;
        return t;
    }
    if (a[0].kind == TypeKind::Unknown) w[0] = TextType();
    return SqlType::Text(a[0].IsDatetime() ? 75 : 64);
}
Value ToCharEval(std::vector<Value>& a, const CompiledCall& c, FnState& st, const EvalContext& cx) {
    if (IsNull(a[0])) return std::monostate{};
    if (a.size() < 2) {
        // without a model the text follows the value's type: its fractional second precision
        // and an interval's leading precision
        const SqlType& t = c.actual[0];
        if (auto* d = std::get_if<DatetimeValue>(&a[0]); d && d->kind != DatetimeKind::Date) {
            int fs = t.IsDatetime() && t.kind != TypeKind::Date && t.scale >= 0 ? std::min(t.scale, 9) : 6;
            const DatetimeFormat& f =
                d->kind == DatetimeKind::TimestampTz ? cx.nls->timestampTzFormat : cx.nls->timestampFormat;
            return TextOrNull(Render(d->value, f, fs));
        }
        if (auto* y = std::get_if<OraIntervalYM>(&a[0]); y && t.kind == TypeKind::IntervalYM) {
            int lead = t.precision > 0 ? t.precision : 2;
            return TextOrNull(y->ToText(std::max(lead, IntervalDigits(y->months / 12))));
        }
        if (auto* d = std::get_if<OraIntervalDS>(&a[0]); d && t.kind == TypeKind::IntervalDS) {
            int lead = t.precision > 0 ? t.precision : 2;
            int fs = t.scale >= 0 ? std::min(t.scale, 9) : 6;
            return TextOrNull(d->ToText(std::max(lead, IntervalDigits(d->Days())), fs));
        }
        std::string s = ValueToText(a[0], *cx.nls);
        return TextOrNull(std::move(s));
    }
    if (IsNull(a[1])) return std::monostate{};
    if (auto* d = std::get_if<DatetimeValue>(&a[0])) {
        int fs = c.actual[0].kind == TypeKind::Date ? 0 : std::clamp(c.actual[0].scale, 0, 9);
        const DatetimeFormat& f = CachedFormat(st, Str(a[1]), FormatUse::Render, d->kind);
        return TextOrNull(Render(d->value, f, fs));
    }
    if (auto* n = std::get_if<OraNumber>(&a[0])) return TextOrNull(n->Format(Str(a[1])));
    if (auto* f = std::get_if<BinaryDoubleValue>(&a[0]))
        return TextOrNull(OraNumber::FromDouble(f->value).Format(Str(a[1])));
    if (auto* f = std::get_if<BinaryFloatValue>(&a[0]))
        return TextOrNull(OraNumber::FromDouble(f->value).Format(Str(a[1])));
    if (std::holds_alternative<TextValue>(a[0])) return a[0];
    return TextOrNull(ValueToText(a[0], *cx.nls));
}

SqlType ToNumberType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    if (!a[0].IsNumeric()) w[0] = TextType();
    for (size_t i = 1; i < a.size(); ++i) w[i] = TextType();
    return NumberType();
}
Value ToNumberEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    if (auto* n = std::get_if<OraNumber>(&a[0])) return *n;
    if (auto* f = std::get_if<BinaryDoubleValue>(&a[0])) return OraNumber::FromDouble(f->value);
    if (auto* f = std::get_if<BinaryFloatValue>(&a[0])) return OraNumber::FromDouble(f->value);
    if (a.size() > 1) {
        if (IsNull(a[1])) return std::monostate{};
        return OraNumber::ParseWithFormat(Str(a[0]), Str(a[1]));
    }
    return OraNumber::Parse(Str(a[0]));
}

SqlType ToYmType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = TextType();
    SqlType t = SqlType::Of(TypeKind::IntervalYM);
    t.precision = 9;
    return t;
}
Value ToYmEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    return OraIntervalYM::Parse(Str(a[0]));
}
SqlType ToDsType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = TextType();
    SqlType t = SqlType::Of(TypeKind::IntervalDS);
    t.precision = 9;
    t.scale = 9;
    return t;
}
Value ToDsEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    return OraIntervalDS::Parse(Str(a[0]));
}

SqlType HexToRawType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = TextType();
    SqlType t = SqlType::Of(TypeKind::Raw);
    t.length = 2000;
    return t;
}
Value HexToRawEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext& cx) {
    return Coerce(a[0], c.result, *cx.nls);
}
SqlType RawToHexType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = Want(TypeKind::Raw);
    return TextType();
}
Value RawToHexEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext& cx) {
    return TextOrNull(ValueToText(a[0], *cx.nls));
}

// ---- LOB constructors -------------------------------------------------------------------
SqlType EmptyClobType(const std::vector<SqlType>&, std::vector<SqlType>&) {
    return SqlType::Of(TypeKind::Clob);
}
Value EmptyClobEval(std::vector<Value>&, const CompiledCall&, FnState&, const EvalContext&) {
    return LobRefValue{112, false, {}};
}
SqlType EmptyBlobType(const std::vector<SqlType>&, std::vector<SqlType>&) {
    return SqlType::Of(TypeKind::Blob);
}
Value EmptyBlobEval(std::vector<Value>&, const CompiledCall&, FnState&, const EvalContext&) {
    return LobRefValue{113, false, {}};
}
SqlType ToClobType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = TextType(a[0].national);
    SqlType t = SqlType::Of(TypeKind::Clob);
    t.national = a[0].national;
    return t;
}
Value ToClobEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    return LobRefValue{112, c.result.national, Str(a[0])};
}
SqlType BfileNameType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = TextType();
    w[1] = TextType();
    return SqlType::Of(TypeKind::Bfile);
}
// A BFILE value carries the directory name and the file name, joined by a NUL byte.
Value BfileNameEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    std::string ref = Str(a[0]);
    ref += '\0';
    ref += Str(a[1]);
    return LobRefValue{114, false, std::move(ref)};
}

// ---- NULL handling ----------------------------------------------------------------------
SqlType NvlType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    SqlType t = Common(a);
    for (auto& x : w) x = t;
    return t;
}
Value NvlEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    for (auto& v : a)
        if (!IsNull(v)) return v;
    return std::monostate{};
}
SqlType Nvl2Type(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    SqlType t = Common(a, 1);
    w[1] = w[2] = t;
    return t;
}
Value Nvl2Eval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[2] : a[1];
}
SqlType NullIfType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[1] = a[0];
    return a[0];
}

int CompareValues(const Value& x, const Value& y) {
    if (x.index() != y.index()) return x.index() < y.index() ? -1 : 1;
    switch (x.index()) {
        case 1: {
            int c = Str(x).compare(Str(y));
            return c < 0 ? -1 : c > 0;
        }
        case 2: return Num(x).Compare(Num(y));
        case 3: return std::get<DatetimeValue>(x).value.Compare(std::get<DatetimeValue>(y).value);
        case 4: return std::get<OraIntervalYM>(x).Compare(std::get<OraIntervalYM>(y));
        case 5: return std::get<OraIntervalDS>(x).Compare(std::get<OraIntervalDS>(y));
        case 6: return std::get<RawValue>(x).bytes.compare(std::get<RawValue>(y).bytes);
        case 7:
            return (std::get<BinaryFloatValue>(x).value > std::get<BinaryFloatValue>(y).value) -
                   (std::get<BinaryFloatValue>(x).value < std::get<BinaryFloatValue>(y).value);
        case 8:
            return (std::get<BinaryDoubleValue>(x).value > std::get<BinaryDoubleValue>(y).value) -
                   (std::get<BinaryDoubleValue>(x).value < std::get<BinaryDoubleValue>(y).value);
        default: return 0;
    }
}

Value NullIfEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (!IsNull(a[0]) && !IsNull(a[1]) && CompareValues(a[0], a[1]) == 0) return std::monostate{};
    return a[0];
}

// DECODE(expr, search, result [, search, result]... [, default])
SqlType DecodeType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    SqlType t = Common(a, 2, 2);
    for (size_t i = 1; i + 1 < a.size(); i += 2) {
        w[i] = a[0].kind == TypeKind::Unknown ? Common(a, 1, 2) : a[0];
        w[i + 1] = t;
    }
    if (a.size() % 2 == 0) w.back() = t;
    w[0] = a[0].kind == TypeKind::Unknown ? Common(a, 1, 2) : a[0];
    return t;
}
Value DecodeEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    for (size_t i = 1; i + 1 < a.size(); i += 2) {
        bool match =
            (IsNull(a[0]) && IsNull(a[i])) || (!IsNull(a[0]) && !IsNull(a[i]) && CompareValues(a[0], a[i]) == 0);
        if (match) return a[i + 1];
    }
    if (a.size() % 2 == 0) return a.back();
    return std::monostate{};
}

SqlType GreatestType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    SqlType t = a[0].kind == TypeKind::Unknown ? Common(a) : a[0];
    if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
    for (auto& x : w) x = t;
    return t;
}
Value GreatestEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    bool least = std::strcmp(c.fn->name, "LEAST") == 0;
    size_t best = 0;
    for (size_t i = 1; i < a.size(); ++i) {
        int cmp = CompareValues(a[i], a[best]);
        if (least ? cmp < 0 : cmp > 0) best = i;
    }
    return a[best];
}

// ---- character functions ------------------------------------------------------------------
// Byte offset of the character at 0-based index i in UTF-8 text (s.size() when past the end).
size_t Utf8Offset(const std::string& s, size_t index) {
    size_t count = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (count == index) return i;
            ++count;
        }
    }
    return s.size();
}

SqlType TextResult(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    bool national = a[0].national;
    w[0] = TextType(national);
    for (size_t i = 1; i < a.size(); ++i) w[i] = NumberType();
    SqlType t = a[0].IsText() ? a[0] : TextType(national);
    if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
    if (t.length <= 0) t.length = 4000;
    t.literal = false;
    return t;
}
Value SubstrEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    const std::string& s = Str(a[0]);
    int64_t len = static_cast<int64_t>(Utf8Length(s));
    int64_t pos = IntArg(a[1]);
    if (pos == 0) pos = 1;
    if (pos < 0) pos = len + pos + 1;
    if (pos < 1 || pos > len) return std::monostate{};
    int64_t count = a.size() > 2 ? IntArg(a[2]) : len;
    if (count < 1) return std::monostate{};
    size_t from = Utf8Offset(s, static_cast<size_t>(pos - 1));
    size_t to = Utf8Offset(s, static_cast<size_t>(std::min(len, pos - 1 + count)));
    return TextOrNull(s.substr(from, to - from), c.result.national);
}
SqlType LengthType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = TextType(a[0].national);
    return NumberType();
}
Value LengthEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    bool bytes = std::strcmp(c.fn->name, "LENGTHB") == 0;
    return OraNumber::FromInt64(static_cast<int64_t>(bytes ? Str(a[0]).size() : Utf8Length(Str(a[0]))));
}
SqlType SameTextType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    for (size_t i = 0; i < w.size(); ++i) w[i] = TextType(a[0].national);
    SqlType t = a[0].IsText() ? a[0] : TextType(a[0].national);
    t.literal = false;
    return t;
}
Value CaseEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return a[0];
    std::string name = c.fn->name;
    TextCase how = name == "UPPER" ? TextCase::Upper : name == "LOWER" ? TextCase::Lower : TextCase::Initial;
    return TextValue{ChangeCase(Str(a[0]), how), c.result.national};
}
Value TrimEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    std::string set = a.size() > 1 ? Str(a[1]) : " ";
    if (std::strcmp(c.fn->name, "TRIM") == 0 && set.size() != 1 && a.size() > 1)
        throw OraError(30001, "trim set should have only one character");
    std::string s = Str(a[0]);
    std::string name = c.fn->name;
    if (name != "RTRIM") {
        size_t p = s.find_first_not_of(set);
        s = p == std::string::npos ? std::string() : s.substr(p);
    }
    if (name != "LTRIM") {
        size_t p = s.find_last_not_of(set);
        s = p == std::string::npos ? std::string() : s.substr(0, p + 1);
    }
    return TextOrNull(std::move(s), c.result.national);
}
SqlType PadType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = TextType(a[0].national);
    w[1] = NumberType();
    if (a.size() > 2) w[2] = TextType(a[0].national);
    return TextType(a[0].national);
}
Value PadEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    std::string s = Str(a[0]);
    int64_t n = IntArg(a[1]);
    if (n <= 0) return std::monostate{};
    std::string pad = a.size() > 2 ? Str(a[2]) : " ";
    size_t len = Utf8Length(s);
    if (len >= static_cast<size_t>(n))
        return TextOrNull(s.substr(0, Utf8Offset(s, static_cast<size_t>(n))), c.result.national);
    std::string fill;
    size_t need = static_cast<size_t>(n) - len;
    while (Utf8Length(fill) < need) fill += pad;
    fill = fill.substr(0, Utf8Offset(fill, need));
    bool left = std::strcmp(c.fn->name, "LPAD") == 0;
    return TextOrNull(left ? fill + s : s + fill, c.result.national);
}
Value ReplaceEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    std::string s = Str(a[0]);
    if (IsNull(a[1])) return a[0];
    std::string from = Str(a[1]);
    std::string to = a.size() > 2 && !IsNull(a[2]) ? Str(a[2]) : std::string();
    std::string out;
    size_t p = 0;
    while (true) {
        size_t q = s.find(from, p);
        if (q == std::string::npos) break;
        out += s.substr(p, q - p) + to;
        p = q + from.size();
    }
    out += s.substr(p);
    return TextOrNull(std::move(out), c.result.national);
}
SqlType InstrType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = w[1] = TextType();
    for (size_t i = 2; i < a.size(); ++i) w[i] = NumberType();
    return NumberType();
}
Value InstrEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    const std::string& s = Str(a[0]);
    const std::string& sub = Str(a[1]);
    int64_t start = a.size() > 2 ? IntArg(a[2]) : 1;
    int64_t nth = a.size() > 3 ? IntArg(a[3]) : 1;
    if (start == 0 || nth < 1) return OraNumber::FromInt64(0);
    int64_t len = static_cast<int64_t>(Utf8Length(s));
    int64_t found = 0;
    if (start > 0) {
        for (int64_t i = start - 1; i < len; ++i) {
            size_t off = Utf8Offset(s, static_cast<size_t>(i));
            if (s.compare(off, sub.size(), sub) == 0 && ++found == nth) return OraNumber::FromInt64(i + 1);
        }
    } else {
        for (int64_t i = len + start; i >= 0; --i) {
            size_t off = Utf8Offset(s, static_cast<size_t>(i));
            if (s.compare(off, sub.size(), sub) == 0 && ++found == nth) return OraNumber::FromInt64(i + 1);
        }
    }
    return OraNumber::FromInt64(0);
}
SqlType ChrType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = NumberType();
    return SqlType::Text(1);
}
Value ChrEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return a[0];
    int64_t code = IntArg(a[0]);
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char b = static_cast<char>((code >> shift) & 0xFF);
        if (b || !s.empty() || shift == 0) s += b;
    }
    return TextValue{s, false};
}
SqlType AsciiType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = TextType();
    return NumberType();
}
Value AsciiEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return a[0];
    return OraNumber::FromInt64(static_cast<unsigned char>(Str(a[0])[0]));
}
SqlType Translate3Type(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = w[1] = w[2] = TextType(a[0].national);
    return TextType(a[0].national);
}
Value Translate3Eval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    // byte-wise mapping; multi-byte characters are kept when not listed
    const std::string& s = Str(a[0]);
    const std::string& from = Str(a[1]);
    const std::string& to = Str(a[2]);
    std::string out;
    for (char ch : s) {
        size_t p = from.find(ch);
        if (p == std::string::npos)
            out += ch;
        else if (p < to.size())
            out += to[p];
    }
    return TextOrNull(std::move(out), c.result.national);
}

// ---- numeric functions ----------------------------------------------------------------------
SqlType NumArgs(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    for (size_t i = 0; i < a.size(); ++i) w[i] = NumberType();
    return NumberType();
}
Value AbsEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[0] : Value(Num(a[0]).Abs());
}
Value CeilEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[0] : Value(Num(a[0]).Ceil());
}
Value FloorEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[0] : Value(Num(a[0]).Floor());
}
Value SignEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[0] : Value(OraNumber::FromInt64(Num(a[0]).Sign()));
}
Value ModEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return AnyNull(a) ? Value() : Value(Num(a[0]).Mod(Num(a[1])));
}
Value PowerEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return AnyNull(a) ? Value() : Value(Num(a[0]).Power(Num(a[1])));
}
Value SqrtEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[0] : Value(Num(a[0]).Sqrt());
}

// ROUND and TRUNC of a datetime to one of the documented units.
OraTimestamp TruncDate(const OraTimestamp& t, const std::string& fmtIn, bool round) {
    std::string fmt;
    for (char ch : fmtIn) fmt += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    auto is = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (fmt == n) return true;
        return false;
    };
    OraTimestamp r = t;
    r.nanos = 0;
    const int64_t dayNo = t.DayNumber();
    const int64_t secondOfDay = t.SecondsOfDay();
    auto dayStart = [&](int64_t n) {
        OraTimestamp d = OraTimestamp::FromDayNumber(n);
        d.hasZone = t.hasZone;
        d.tzMinutes = t.tzMinutes;
        return d;
    };
    auto yearStart = [&](int year) {
        OraTimestamp d = t;
        d.year = year;
        d.month = d.day = 1;
        d.hour = d.minute = d.second = 0;
        d.nanos = 0;
        return d;
    };
    auto mondayBased = [](int64_t n) { return static_cast<int>((OraTimestamp::FromDayNumber(n).DayOfWeek() + 5) % 7); };
    // first day of ISO year `year`: the Monday of the week holding 4 January
    auto isoYearStart = [&](int year) {
        int64_t jan4 = yearStart(year).DayNumber() + 3;
        return jan4 - mondayBased(jan4);
    };
    // a week-like unit: periods of 7 days from `anchor`
    auto week = [&](int64_t anchor) {
        int64_t start = dayNo - ((dayNo - anchor) % 7 + 7) % 7;
        if (round && (dayNo - start) * 86400 + secondOfDay >= 7 * 86400 / 2) start += 7;
        return dayStart(start);
    };
    if (fmt.empty() || is({"DD", "DDD", "J"})) {
        if (round && t.hour >= 12) r = r.PlusSeconds(86400);
        r.hour = r.minute = r.second = 0;
    } else if (is({"HH", "HH24", "HH12"})) {
        if (round && t.minute >= 30) r = r.PlusSeconds(3600);
        r.minute = r.second = 0;
    } else if (is({"MI"})) {
        if (round && t.second >= 30) r = r.PlusSeconds(60);
        r.second = 0;
    } else if (is({"MM", "MON", "MONTH", "RM"})) {
        if (round && t.day >= 16) r = AddMonths(r, 1);
        r.day = 1;
        r.hour = r.minute = r.second = 0;
    } else if (is({"Q"})) {
        // quarters round up on the sixteenth day of their second month
        int first = (t.month - 1) / 3 * 3 + 1;
        r.month = first;
        r.day = 1;
        r.hour = r.minute = r.second = 0;
        if (round && (t.month > first + 1 || (t.month == first + 1 && t.day >= 16))) r = AddMonths(r, 3);
    } else if (is({"YYYY", "SYYYY", "YEAR", "SYEAR", "YYY", "YY", "Y", "RRRR", "RR"})) {
        r = yearStart(t.year);
        if (round && t.month >= 7) r = AddMonths(r, 12);
    } else if (is({"CC", "SCC"})) {
        // centuries begin with their year 1 (2001, 2101); they round up from year 51
        int into = t.year > 0 ? (t.year - 1) % 100 : 0;
        int first = t.year > 0 ? t.year - into : t.year;
        if (round && into >= 50) first += 100;
        r = yearStart(first);
    } else if (is({"IYYY", "IYY", "IY", "I"})) {
        int isoYear = OraTimestamp::FromDayNumber(dayNo + 3 - mondayBased(dayNo)).year;
        int64_t start = isoYearStart(isoYear);
        if (round && t.month >= 7 && t.year == isoYear) start = isoYearStart(isoYear + 1);
        r = dayStart(start);
    } else if (is({"WW"})) {
        r = week(yearStart(t.year).DayNumber());
    } else if (is({"IW"})) {
        r = week(dayNo - mondayBased(dayNo));
    } else if (is({"W"})) {
        OraTimestamp first = t;
        first.day = 1;
        r = week(first.DayNumber());
    } else if (is({"DAY", "DY", "D"})) {
        // weeks start on Sunday in the American territory
        r = week(dayNo - (t.DayOfWeek() - 1));
    } else {
        throw OraError(1898, "too many precision specifiers");
    }
    return r;
}

SqlType RoundType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    if (a[0].IsDatetime()) {
        if (a.size() > 1) w[1] = TextType();
        return SqlType::Of(TypeKind::Date);
    }
    return NumArgs(a, w);
}
Value RoundEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    bool round = std::strcmp(c.fn->name, "ROUND") == 0;
    if (auto* d = std::get_if<DatetimeValue>(&a[0])) {
        OraTimestamp t = d->value;
        if (t.hasZone && d->kind != DatetimeKind::TimestampTz) t.hasZone = false;
        t = TruncDate(t, a.size() > 1 ? Str(a[1]) : "DD", round);
        t.hasZone = false;
        return DatetimeValue{DatetimeKind::Date, t};
    }
    int places = a.size() > 1 ? static_cast<int>(IntArg(a[1])) : 0;
    return round ? Num(a[0]).Round(places) : Num(a[0]).Trunc(places);
}

// ---- datetime functions ---------------------------------------------------------------------
SqlType SysdateType(const std::vector<SqlType>&, std::vector<SqlType>&) {
    return SqlType::Of(TypeKind::Date);
}
Value SysdateEval(std::vector<Value>&, const CompiledCall&, FnState&, const EvalContext&) {
    OraTimestamp now = OraTimestamp::Now(false);
    now.nanos = 0;
    return DatetimeValue{DatetimeKind::Date, now};
}
SqlType SystimestampType(const std::vector<SqlType>&, std::vector<SqlType>&) {
    SqlType t = SqlType::Of(TypeKind::TimestampTz);
    t.scale = 6;
    return t;
}
Value SystimestampEval(std::vector<Value>&, const CompiledCall&, FnState&, const EvalContext& cx) {
    OraTimestamp now = NowFor(cx);
    now.nanos = now.nanos / 1000 * 1000;
    return DatetimeValue{DatetimeKind::TimestampTz, now};
}
SqlType LocalTimestampType(const std::vector<SqlType>&, std::vector<SqlType>&) {
    SqlType t = SqlType::Of(TypeKind::Timestamp);
    t.scale = 6;
    return t;
}
Value LocalTimestampEval(std::vector<Value>&, const CompiledCall&, FnState&, const EvalContext&) {
    OraTimestamp now = OraTimestamp::Now(false);
    now.nanos = now.nanos / 1000 * 1000;
    now.hasZone = false;
    return DatetimeValue{DatetimeKind::Timestamp, now};
}
SqlType UserType(const std::vector<SqlType>&, std::vector<SqlType>&) {
    return SqlType::Text(128);
}
Value UserEval(std::vector<Value>&, const CompiledCall&, FnState&, const EvalContext& cx) {
    return TextValue{cx.user, false};
}
SqlType AddMonthsType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = a[0].IsDatetime() ? a[0] : SqlType::Of(TypeKind::Date);
    w[1] = NumberType();
    return SqlType::Of(TypeKind::Date);
}
Value AddMonthsEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    OraTimestamp t = std::get<DatetimeValue>(a[0]).value;
    t.nanos = 0;
    t.hasZone = false;
    return DatetimeValue{DatetimeKind::Date, AddMonths(t, IntArg(a[1]))};
}
SqlType LastDayType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = a[0].IsDatetime() ? a[0] : SqlType::Of(TypeKind::Date);
    return SqlType::Of(TypeKind::Date);
}
Value LastDayEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return a[0];
    OraTimestamp t = std::get<DatetimeValue>(a[0]).value;
    t.day = OraTimestamp::DaysInMonth(t.year, t.month);
    t.nanos = 0;
    t.hasZone = false;
    return DatetimeValue{DatetimeKind::Date, t};
}
SqlType NextDayType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = a[0].IsDatetime() ? a[0] : SqlType::Of(TypeKind::Date);
    w[1] = TextType();
    return SqlType::Of(TypeKind::Date);
}
// NEXT_DAY(date, day): the first later date that falls on the named day (full or abbreviated
// American name), at the same time of day.
Value NextDayEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    OraTimestamp t = std::get<DatetimeValue>(a[0]).value;
    std::string name = Str(a[1]);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    size_t length = 0;
    int day = dtnames::MatchDay(name, length);
    if (day == 0 || length != name.size()) throw OraError(1846, "not a valid day of the week");
    int ahead = (day - t.DayOfWeek() + 7) % 7;
    if (ahead == 0) ahead = 7;
    t = t.PlusSeconds(int64_t{86400} * ahead);
    t.nanos = 0;
    t.hasZone = false;
    return DatetimeValue{DatetimeKind::Date, t};
}
SqlType MonthsBetweenType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = w[1] = SqlType::Of(TypeKind::Date);
    return NumberType();
}
Value MonthsBetweenEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    const OraTimestamp& x = std::get<DatetimeValue>(a[0]).value;
    const OraTimestamp& y = std::get<DatetimeValue>(a[1]).value;
    int64_t months = (static_cast<int64_t>(x.year) * 12 + x.month) - (static_cast<int64_t>(y.year) * 12 + y.month);
    bool xl = x.day == OraTimestamp::DaysInMonth(x.year, x.month);
    bool yl = y.day == OraTimestamp::DaysInMonth(y.year, y.month);
    OraNumber m = OraNumber::FromInt64(months);
    if (x.day == y.day || (xl && yl)) return m;
    int64_t secs = (x.day - y.day) * 86400LL + x.SecondsOfDay() - y.SecondsOfDay();
    return m.Add(OraNumber::FromInt64(secs).Div(OraNumber::FromInt64(31LL * 86400)));
}
SqlType ExtractType(const std::vector<SqlType>& a, std::vector<SqlType>&) {
    (void)a;
    return NumberType();
}
Value ExtractEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[1])) return std::monostate{};
    const std::string& field = Str(a[0]);
    if (auto* d = std::get_if<DatetimeValue>(&a[1])) {
        OraTimestamp t = d->value;
        if (d->kind == DatetimeKind::TimestampTz && field != "TIMEZONE_HOUR" && field != "TIMEZONE_MINUTE")
            t = t.ToUtc();
        if (field == "YEAR") return OraNumber::FromInt64(t.year);
        if (field == "MONTH") return OraNumber::FromInt64(t.month);
        if (field == "DAY") return OraNumber::FromInt64(t.day);
        if (d->kind != DatetimeKind::Date) {
            if (field == "HOUR") return OraNumber::FromInt64(t.hour);
            if (field == "MINUTE") return OraNumber::FromInt64(t.minute);
            if (field == "SECOND")
                return OraNumber::FromInt64(t.second).Add(
                    OraNumber::FromInt64(t.nanos).Div(OraNumber::FromInt64(1000000000)));
            if (d->kind == DatetimeKind::TimestampTz && field == "TIMEZONE_HOUR")
                return OraNumber::FromInt64(t.tzMinutes / 60);
            if (d->kind == DatetimeKind::TimestampTz && field == "TIMEZONE_MINUTE")
                return OraNumber::FromInt64(t.tzMinutes % 60);
        }
        throw OraError(1878, "specified field not found in datetime or interval");
    }
    if (auto* y = std::get_if<OraIntervalYM>(&a[1])) {
        if (field == "YEAR") return OraNumber::FromInt64(y->months / 12);
        if (field == "MONTH") return OraNumber::FromInt64(y->months % 12);
    }
    if (auto* d = std::get_if<OraIntervalDS>(&a[1])) {
        int sign = d->IsNegative() ? -1 : 1;
        if (field == "DAY") return OraNumber::FromInt64(sign * d->Days());
        if (field == "HOUR") return OraNumber::FromInt64(sign * d->Hours());
        if (field == "MINUTE") return OraNumber::FromInt64(sign * d->Minutes());
        if (field == "SECOND")
            return OraNumber::FromInt64(sign * d->Seconds())
                .Add(OraNumber::FromInt64(sign * d->Nanos()).Div(OraNumber::FromInt64(1000000000)));
    }
    throw OraError(1878, "specified field not found in datetime or interval");
}

// CAST(x AS type): the wanted type is set by the translator in `result`.
SqlType CastType(const std::vector<SqlType>& a, std::vector<SqlType>&) {
    return a[0];
}
Value CastEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext& cx) {
    Value v = Coerce(a[0], c.result, *cx.nls);
    if (IsNull(v)) return v;
    ColumnTarget t;
    t.type = c.result;
    if (c.result.kind == TypeKind::Varchar || c.result.kind == TypeKind::Char || c.result.kind == TypeKind::Raw) {
        const std::string& s = c.result.kind == TypeKind::Raw ? std::get<RawValue>(v).bytes : Str(v);
        size_t len = c.result.charSemantics ? Utf8Length(s) : s.size();
        if (len > static_cast<size_t>(c.result.length)) throw OraError(25137, "Data value out of range");
    }
    return FitColumn(std::move(v), t, false);
}

const FunctionDef kFunctions[] = {
    {"+", 2, 2, AddType, AddEval},
    {"-", 2, 2, SubType, SubEval},
    {"*", 2, 2, MulType, MulEval},
    {"/", 2, 2, DivType, DivEval},
    {"$NEG", 1, 1, NegType, NegEval},
    {"||", 2, 2, ConcatType, ConcatEval},
    {"CONCAT", 2, 2, ConcatType, ConcatEval},
    {"$TRANSLATE_CHAR", 1, 1, TranslateCharType, Identity},
    {"$TRANSLATE_NCHAR", 1, 1, TranslateNcharType, Identity},
    {"TO_NCHAR", 1, 1, TranslateNcharType, Identity},
    {"$CAST", 1, 1, CastType, CastEval},
    {"$CONVERT", 1, 1, CastType, Identity},
    {"TO_DATE", 1, 3, ToDatetimeType<TypeKind::Date>, ToDatetimeEval<TypeKind::Date>},
    {"TO_TIMESTAMP", 1, 3, ToDatetimeType<TypeKind::Timestamp>, ToDatetimeEval<TypeKind::Timestamp>},
    {"TO_TIMESTAMP_TZ", 1, 3, ToDatetimeType<TypeKind::TimestampTz>, ToDatetimeEval<TypeKind::TimestampTz>},
    {"TO_CHAR", 1, 3, ToCharType, ToCharEval},
    {"TO_NUMBER", 1, 3, ToNumberType, ToNumberEval},
    {"TO_YMINTERVAL", 1, 1, ToYmType, ToYmEval},
    {"TO_DSINTERVAL", 1, 1, ToDsType, ToDsEval},
    {"HEXTORAW", 1, 1, HexToRawType, HexToRawEval},
    {"EMPTY_CLOB", 0, 0, EmptyClobType, EmptyClobEval},
    {"EMPTY_BLOB", 0, 0, EmptyBlobType, EmptyBlobEval},
    {"TO_CLOB", 1, 1, ToClobType, ToClobEval},
    {"BFILENAME", 2, 2, BfileNameType, BfileNameEval},
    {"RAWTOHEX", 1, 1, RawToHexType, RawToHexEval},
    {"NVL", 2, 2, NvlType, NvlEval},
    {"COALESCE", 1, 255, NvlType, NvlEval},
    {"NVL2", 3, 3, Nvl2Type, Nvl2Eval},
    {"NULLIF", 2, 2, NullIfType, NullIfEval},
    {"DECODE", 3, 255, DecodeType, DecodeEval},
    {"GREATEST", 1, 255, GreatestType, GreatestEval},
    {"LEAST", 1, 255, GreatestType, GreatestEval},
    {"SUBSTR", 2, 3, TextResult, SubstrEval},
    {"LENGTH", 1, 1, LengthType, LengthEval},
    {"LENGTHB", 1, 1, LengthType, LengthEval},
    {"UPPER", 1, 1, SameTextType, CaseEval},
    {"LOWER", 1, 1, SameTextType, CaseEval},
    {"INITCAP", 1, 1, SameTextType, CaseEval},
    {"TRIM", 1, 2, SameTextType, TrimEval},
    {"LTRIM", 1, 2, SameTextType, TrimEval},
    {"RTRIM", 1, 2, SameTextType, TrimEval},
    {"LPAD", 2, 3, PadType, PadEval},
    {"RPAD", 2, 3, PadType, PadEval},
    {"REPLACE", 2, 3, SameTextType, ReplaceEval},
    {"TRANSLATE", 3, 3, Translate3Type, Translate3Eval},
    {"INSTR", 2, 4, InstrType, InstrEval},
    {"CHR", 1, 1, ChrType, ChrEval},
    {"ASCII", 1, 1, AsciiType, AsciiEval},
    {"ABS", 1, 1, NumArgs, AbsEval},
    {"CEIL", 1, 1, NumArgs, CeilEval},
    {"FLOOR", 1, 1, NumArgs, FloorEval},
    {"SIGN", 1, 1, NumArgs, SignEval},
    {"MOD", 2, 2, NumArgs, ModEval},
    {"POWER", 2, 2, NumArgs, PowerEval},
    {"SQRT", 1, 1, NumArgs, SqrtEval},
    {"ROUND", 1, 2, RoundType, RoundEval},
    {"TRUNC", 1, 2, RoundType, RoundEval},
    {"SYSDATE", 0, 0, SysdateType, SysdateEval},
    {"CURRENT_DATE", 0, 0, SysdateType, SysdateEval},
    {"SYSTIMESTAMP", 0, 0, SystimestampType, SystimestampEval},
    {"CURRENT_TIMESTAMP", 0, 0, SystimestampType, SystimestampEval},
    {"LOCALTIMESTAMP", 0, 0, LocalTimestampType, LocalTimestampEval},
    {"USER", 0, 0, UserType, UserEval},
    {"ADD_MONTHS", 2, 2, AddMonthsType, AddMonthsEval},
    {"LAST_DAY", 1, 1, LastDayType, LastDayEval},
    {"MONTHS_BETWEEN", 2, 2, MonthsBetweenType, MonthsBetweenEval},
    {"NEXT_DAY", 2, 2, NextDayType, NextDayEval},
    {"EXTRACT", 2, 2, ExtractType, ExtractEval},
};

}  // namespace

const FunctionDef* FindFunction(std::string_view name) {
    for (const auto& f : kFunctions)
        if (name == f.name) return &f;
    return nullptr;
}

CompiledCall CompiledCall::Resolve(const FunctionDef* fn, std::vector<SqlType> actual) {
    if (static_cast<int>(actual.size()) < fn->minArgs) throw OraError(938, "not enough arguments for function");
    if (static_cast<int>(actual.size()) > fn->maxArgs) throw OraError(939, "too many arguments for function");
    CompiledCall c;
    c.fn = fn;
    c.wanted.assign(actual.size(), SqlType{});
    c.result = fn->type(actual, c.wanted);
    c.actual = std::move(actual);
    return c;
}

namespace {

// Whether Coerce(v, want) would give v itself: non-empty text of the wanted character set
// into a character type. Such an argument is left where it is instead of being copied.
bool AlreadyCoerced(const Value& v, const SqlType& want) {
    const auto* t = std::get_if<TextValue>(&v);
    if (t == nullptr || t->bytes.empty()) return false;
    switch (want.kind) {
        case TypeKind::Varchar:
        case TypeKind::Char:
        case TypeKind::Long:
        case TypeKind::Clob: return t->national == want.national;
        default: return false;
    }
}

}  // namespace

Value CompiledCall::Invoke(std::vector<Value>& args, const EvalContext& cx) const {
    for (size_t i = 0; i < args.size() && i < wanted.size(); ++i)
        if (wanted[i].kind != TypeKind::Unknown && !AlreadyCoerced(args[i], wanted[i]))
            args[i] = Coerce(args[i], wanted[i], *cx.nls);
    return fn->eval(args, *this, state, cx);
}

}  // namespace ocilite
