#include "ocilite/engine/Functions.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <map>

#include "ocilite/engine/FunctionsInternal.h"
#include "ocilite/engine/TextCase.h"
#include "ocilite/types/DatetimeNames.h"
#include "ocilite/types/OraError.h"

namespace ocilite::fn {

// ---- helpers -----------------------------------------------------------------------------
SqlType NumberType() {
    return SqlType::Of(TypeKind::Number);
}
SqlType TextType(bool national) {
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
Value TextOrNull(std::string s, bool national) {
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
SqlType Common(const std::vector<SqlType>& ts, size_t from, size_t step) {
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

}  // namespace ocilite::fn

namespace ocilite {

const FunctionDef* FindFunction(std::string_view name) {
    for (auto family : {fn::ArithmeticFunctions(), fn::TextFunctions(), fn::ConversionFunctions(), fn::NullFunctions(),
                        fn::DatetimeFunctions()})
        for (const auto& f : family)
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
