#include "ocilite/types/DatetimeOci.h"

#include <cstring>
#include <list>
#include <string>

#include "ocilite/types/DatetimeErrors.h"
#include "ocilite/types/DatetimeNames.h"

namespace ocilite {
namespace {

constexpr std::string_view kDefaultDateFormat = "DD-MON-YY";
constexpr std::string_view kDefaultTimestampFormat = "DD-MON-RR HH.MI.SSXFF AM";
constexpr std::string_view kDefaultTimestampTzFormat = "DD-MON-RR HH.MI.SSXFF AM TZR";

void CheckLanguage(std::string_view lang) {
    if (lang.empty()) return;
    if (lang.size() == 8 && dtnames::StartsWithNoCase(lang, "AMERICAN")) return;
    if (lang.size() == 7 && dtnames::StartsWithNoCase(lang, "ENGLISH")) return;
    dterr::Raise(12705);
}

OraTimestamp FromOci(const OciDate& d) {
    return OraTimestamp::FromOCIDate(&d);
}

OciDate ToOci(const OraTimestamp& t) {
    OciDate d{};
    t.ToOCIDate(&d);
    return d;
}

void CopyOut(std::string_view text, char* buf, uint32_t* bufSize) {
    if (text.size() > *bufSize) dterr::Raise(1877);
    std::memcpy(buf, text.data(), text.size());
    if (text.size() < *bufSize) buf[text.size()] = '\0';
    *bufSize = static_cast<uint32_t>(text.size());
}

void CopyOut(const std::string& text, char* buf, size_t buflen, size_t* resultLen) {
    if (text.size() + 1 > buflen) dterr::Raise(1877);
    std::memcpy(buf, text.data(), text.size());
    buf[text.size()] = '\0';
    *resultLen = text.size();
}

// Renders with the plain path when the model allows it, else with the general one into a
// per-thread buffer, and copies the text out as OCIDateToText / OCIDateTimeToText do.
void RenderOut(const OraTimestamp& t, const DatetimeFormat& f, int fsprec, char* buf, uint32_t* bufSize) {
    char text[256];
    size_t length = 0;
    if (RenderPlain(t, f, fsprec, text, sizeof text, length)) {
        CopyOut(std::string_view(text, length), buf, bufSize);
        return;
    }
    thread_local std::string rendered;
    rendered.clear();
    RenderTo(rendered, t, f, fsprec);
    CopyOut(rendered, buf, bufSize);
}

}  // namespace

const DatetimeFormat& CachedDatetimeFormat(std::string_view fmt, FormatUse use, DatetimeKind kind) {
    struct Entry {
        std::string text;
        FormatUse use;
        DatetimeKind kind;
        DatetimeFormat format;
    };
    // Most recently used first; a handful of formats are in play at any time.
    thread_local std::list<Entry> cache;
    for (auto it = cache.begin(); it != cache.end(); ++it) {
        if (it->use == use && it->kind == kind && it->text == fmt) {
            if (it != cache.begin()) cache.splice(cache.begin(), cache, it);
            return cache.front().format;
        }
    }
    DatetimeFormat compiled = DatetimeFormat::Compile(fmt, use, kind);
    cache.push_front(Entry{std::string(fmt), use, kind, std::move(compiled)});
    if (cache.size() > 16) cache.pop_back();
    return cache.front().format;
}

void OciDateFromText(std::string_view text, std::string_view fmt, std::string_view lang, OciDate* out) {
    CheckLanguage(lang);
    const DatetimeFormat& f =
        CachedDatetimeFormat(fmt.empty() ? kDefaultDateFormat : fmt, FormatUse::Parse, DatetimeKind::Date);
    *out = ToOci(Parse(text, f, DatetimeKind::Date, OraTimestamp::Now(false)));
}

void OciDateToText(const OciDate& date, std::string_view fmt, std::string_view lang, char* buf, uint32_t* bufSize) {
    CheckLanguage(lang);
    const OraTimestamp t = FromOci(date);
    t.Validate();
    const DatetimeFormat& f =
        CachedDatetimeFormat(fmt.empty() ? kDefaultDateFormat : fmt, FormatUse::Render, DatetimeKind::Date);
    RenderOut(t, f, 0, buf, bufSize);
}

void OciDateSysDate(OciDate* out) {
    *out = ToOci(OraTimestamp::Now(false));
}

unsigned OciDateCheck(const OciDate& d) noexcept {
    unsigned bits = 0;
    if (d.year == 0) bits |= kOciDateYearZero;
    if (d.year < -4712) bits |= kOciDateYearBelowValid;
    if (d.year > 9999) bits |= kOciDateInvalidYear;
    if (d.month < 1) bits |= kOciDateMonthBelowValid;
    if (d.month > 12) bits |= kOciDateInvalidMonth;
    if (d.day < 1) bits |= kOciDateDayBelowValid;
    if (d.month >= 1 && d.month <= 12 && d.year != 0 && d.day > OraTimestamp::DaysInMonth(d.year, d.month))
        bits |= kOciDateInvalidDay;
    if (d.year == 1582 && d.month == 10 && d.day > 4 && d.day < 15) bits |= kOciDateDayMissingFrom1582;
    if (d.hour > 23) bits |= kOciDateInvalidHour;
    if (d.minute > 59) bits |= kOciDateInvalidMinute;
    if (d.second > 59) bits |= kOciDateInvalidSecond;
    return bits;
}

void OciDateLastDay(const OciDate& date, OciDate* out) {
    OraTimestamp t = FromOci(date);
    t.Validate();
    t.day = OraTimestamp::DaysInMonth(t.year, t.month);
    *out = ToOci(t);
}

void OciDateNextDay(const OciDate& date, std::string_view dayName, OciDate* out) {
    const OraTimestamp t = FromOci(date);
    t.Validate();
    size_t length = 0;
    const int wanted = dtnames::MatchDay(dayName, length);
    if (wanted == 0 || length != dayName.size()) dterr::Raise(1846);
    int ahead = (wanted - t.DayOfWeek() + 7) % 7;
    if (ahead == 0) ahead = 7;
    OraTimestamp next = OraTimestamp::FromDayNumber(t.DayNumber() + ahead);
    next.hour = t.hour;
    next.minute = t.minute;
    next.second = t.second;
    next.Validate();
    *out = ToOci(next);
}

void OciDateTimeToText(const OraTimestamp& value, DatetimeKind kind, std::string_view fmt, int fsprec,
                       std::string_view lang, char* buf, uint32_t* bufSize) {
    CheckLanguage(lang);
    value.Validate();
    std::string_view model = fmt;
    if (model.empty()) {
        model = kind == DatetimeKind::TimestampTz ? kDefaultTimestampTzFormat
                : kind == DatetimeKind::Date      ? kDefaultDateFormat
                                                  : kDefaultTimestampFormat;
    }
    const DatetimeFormat& f = CachedDatetimeFormat(model, FormatUse::Render, kind);
    RenderOut(value, f, fsprec, buf, bufSize);
}

OraTimestamp OciDateTimeSysTimeStamp() {
    return OraTimestamp::Now(true);
}

void OciIntervalToText(const OraIntervalYM& value, int lfprec, char* buf, size_t buflen, size_t* resultLen) {
    CopyOut(value.ToText(lfprec), buf, buflen, resultLen);
}

void OciIntervalToText(const OraIntervalDS& value, int lfprec, int fsprec, char* buf, size_t buflen,
                       size_t* resultLen) {
    CopyOut(value.ToText(lfprec, fsprec), buf, buflen, resultLen);
}

}  // namespace ocilite
