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

}  // namespace ocilite::fn

namespace ocilite::fn {
namespace {

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

const FunctionDef kFunctions[] = {
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

std::span<const FunctionDef> DatetimeFunctions() {
    return kFunctions;
}

}  // namespace ocilite::fn
