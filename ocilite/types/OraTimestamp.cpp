#include "ocilite/types/OraTimestamp.h"

#include <cstring>
#include <ctime>

#include "ocilite/types/DatetimeErrors.h"
#include "ocilite/types/DatetimeOci.h"

namespace ocilite {
namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kFirstGregorianDay = 2299161;  // 1582-10-15

// Oracle numbers BC years -1, -2, ...; astronomical numbering has a year 0 (= 1 BC).
int Astronomical(int year) {
    return year < 0 ? year + 1 : year;
}

bool IsGregorianDate(int year, int month, int day) {
    if (year != 1582) return year > 1582;
    if (month != 10) return month > 10;
    return day >= 15;
}

int64_t DayNumberOf(int year, int month, int day) {
    const int64_t a = (14 - month) / 12;
    const int64_t y = Astronomical(year) + 4800 - a;
    const int64_t m = month + 12 * a - 3;
    const int64_t base = day + (153 * m + 2) / 5 + 365 * y + y / 4;
    if (IsGregorianDate(year, month, day)) return base - y / 100 + y / 400 - 32045;
    return base - 32083;
}

void SplitDayNumber(int64_t jdn, int& year, int& month, int& day) {
    int64_t b = 0, c = 0;
    if (jdn >= kFirstGregorianDay) {
        const int64_t a = jdn + 32044;
        b = (4 * a + 3) / 146097;
        c = a - 146097 * b / 4;
    } else {
        c = jdn + 32082;
    }
    const int64_t d = (4 * c + 3) / 1461;
    const int64_t e = c - 1461 * d / 4;
    const int64_t m = (5 * e + 2) / 153;
    day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    month = static_cast<int>(m + 3 - 12 * (m / 10));
    const int64_t astro = 100 * b + d - 4800 + m / 10;
    year = static_cast<int>(astro <= 0 ? astro - 1 : astro);
}

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Seconds since the day-number epoch of the wall-clock fields, minus the zone offset.
int64_t InstantSeconds(const OraTimestamp& t) {
    int64_t s = DayNumberOf(t.year, t.month, t.day) * kSecondsPerDay + t.SecondsOfDay();
    if (t.hasZone) s -= int64_t{t.tzMinutes} * 60;
    return s;
}

OraTimestamp FromInstantSeconds(int64_t seconds, uint32_t nanos) {
    OraTimestamp t;
    const int64_t days = FloorDiv(seconds, kSecondsPerDay);
    const int64_t secs = seconds - days * kSecondsPerDay;
    SplitDayNumber(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(secs / 3600);
    t.minute = static_cast<int>(secs / 60 % 60);
    t.second = static_cast<int>(secs % 60);
    t.nanos = nanos;
    return t;
}

void PutDate7(int year, int month, int day, int hour, int minute, int second, uint8_t* out) {
    out[0] = static_cast<uint8_t>(year / 100 + 100);
    out[1] = static_cast<uint8_t>(year % 100 + 100);
    out[2] = static_cast<uint8_t>(month);
    out[3] = static_cast<uint8_t>(day);
    out[4] = static_cast<uint8_t>(hour + 1);
    out[5] = static_cast<uint8_t>(minute + 1);
    out[6] = static_cast<uint8_t>(second + 1);
}

OraTimestamp GetDate7(const uint8_t* in) {
    OraTimestamp t;
    t.year = (in[0] - 100) * 100 + (in[1] - 100);
    t.month = in[2];
    t.day = in[3];
    t.hour = in[4] - 1;
    t.minute = in[5] - 1;
    t.second = in[6] - 1;
    return t;
}

void PutBE32(uint32_t v, uint8_t* out) {
    out[0] = static_cast<uint8_t>(v >> 24);
    out[1] = static_cast<uint8_t>(v >> 16);
    out[2] = static_cast<uint8_t>(v >> 8);
    out[3] = static_cast<uint8_t>(v);
}

uint32_t GetBE32(const uint8_t* in) {
    return (uint32_t{in[0]} << 24) | (uint32_t{in[1]} << 16) | (uint32_t{in[2]} << 8) | in[3];
}

int FirstInvalidField(const OraTimestamp& t) {
    if (t.year < -4712 || t.year > 9999 || t.year == 0) return 1841;
    if (t.month < 1 || t.month > 12) return 1843;
    if (t.day < 1 || t.day > 31) return 1847;
    if (t.day > OraTimestamp::DaysInMonth(t.year, t.month)) return 1839;
    if (t.year == 1582 && t.month == 10 && t.day > 4 && t.day < 15) return 1839;
    if (t.hour < 0 || t.hour > 23) return 1850;
    if (t.minute < 0 || t.minute > 59) return 1851;
    if (t.second < 0 || t.second > 59) return 1852;
    if (t.nanos > 999999999u) return 1880;
    if (t.hasZone) {
        if (t.tzMinutes / 60 < -15 || t.tzMinutes / 60 > 15) return 1874;
    }
    return 0;
}

}  // namespace

bool OraTimestamp::IsLeapYear(int year) noexcept {
    const int a = Astronomical(year);
    if (year <= 1582) return ((a % 4) + 4) % 4 == 0;
    return (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
}

int OraTimestamp::DaysInMonth(int year, int month) noexcept {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && IsLeapYear(year)) return 29;
    return kDays[month - 1];
}

void OraTimestamp::Validate() const {
    if (const int code = FirstInvalidField(*this)) dterr::Raise(code);
}

bool OraTimestamp::IsValid() const noexcept {
    return FirstInvalidField(*this) == 0;
}

int OraTimestamp::Compare(const OraTimestamp& other) const noexcept {
    const int64_t a = InstantSeconds(*this), b = InstantSeconds(other);
    if (a != b) return a < b ? -1 : 1;
    if (nanos != other.nanos) return nanos < other.nanos ? -1 : 1;
    return 0;
}

int64_t OraTimestamp::DayNumber() const noexcept {
    return DayNumberOf(year, month, day);
}

OraTimestamp OraTimestamp::FromDayNumber(int64_t dayNumber) {
    OraTimestamp t;
    SplitDayNumber(dayNumber, t.year, t.month, t.day);
    return t;
}

int OraTimestamp::DayOfWeek() const noexcept {
    return static_cast<int>((DayNumber() + 1) % 7) + 1;
}

int OraTimestamp::DayOfYear() const noexcept {
    return static_cast<int>(DayNumber() - DayNumberOf(year, 1, 1)) + 1;
}

OraTimestamp OraTimestamp::AtOffset(int newTzMinutes) const {
    OraTimestamp t = FromInstantSeconds(InstantSeconds(*this) + int64_t{newTzMinutes} * 60, nanos);
    t.hasZone = true;
    t.tzMinutes = newTzMinutes;
    return t;
}

OraTimestamp OraTimestamp::PlusSeconds(int64_t seconds) const {
    OraTimestamp t = FromInstantSeconds(DayNumber() * kSecondsPerDay + SecondsOfDay() + seconds, nanos);
    t.hasZone = hasZone;
    t.tzMinutes = tzMinutes;
    return t;
}

void OraTimestamp::ToDate7(uint8_t out[7]) const noexcept {
    PutDate7(year, month, day, hour, minute, second, out);
}

OraTimestamp OraTimestamp::FromDate7(const uint8_t in[7]) {
    return GetDate7(in);
}

void OraTimestamp::ToTimestamp11(uint8_t out[11]) const noexcept {
    ToDate7(out);
    PutBE32(nanos, out + 7);
}

OraTimestamp OraTimestamp::FromTimestamp11(const uint8_t in[11]) {
    OraTimestamp t = GetDate7(in);
    t.nanos = GetBE32(in + 7);
    return t;
}

void OraTimestamp::ToTimestamp13(uint8_t out[13]) const noexcept {
    const OraTimestamp utc = hasZone ? ToUtc() : *this;
    PutDate7(utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second, out);
    PutBE32(nanos, out + 7);
    const int tz = hasZone ? tzMinutes : 0;
    out[11] = static_cast<uint8_t>(tz / 60 + 20);
    out[12] = static_cast<uint8_t>(tz % 60 + 60);
}

OraTimestamp OraTimestamp::FromTimestamp13(const uint8_t in[13]) {
    OraTimestamp utc = GetDate7(in);
    utc.nanos = GetBE32(in + 7);
    utc.hasZone = true;
    utc.tzMinutes = 0;
    const int tz = (in[11] - 20) * 60 + (in[12] - 60);
    return utc.AtOffset(tz);
}

void OraTimestamp::ToOCIDate(void* ociDate8) const noexcept {
    OciDate d{};
    d.year = static_cast<int16_t>(year);
    d.month = static_cast<uint8_t>(month);
    d.day = static_cast<uint8_t>(day);
    d.hour = static_cast<uint8_t>(hour);
    d.minute = static_cast<uint8_t>(minute);
    d.second = static_cast<uint8_t>(second);
    std::memcpy(ociDate8, &d, sizeof d);
}

OraTimestamp OraTimestamp::FromOCIDate(const void* ociDate8) noexcept {
    OciDate d;
    std::memcpy(&d, ociDate8, sizeof d);
    OraTimestamp t;
    t.year = d.year;
    t.month = d.month;
    t.day = d.day;
    t.hour = d.hour;
    t.minute = d.minute;
    t.second = d.second;
    return t;
}

std::string OraTimestamp::SortKey() const {
    const OraTimestamp t = hasZone ? ToUtc() : *this;
    std::string key(11, '\0');
    auto* p = reinterpret_cast<uint8_t*>(key.data());
    const unsigned y = static_cast<unsigned>(t.year + 4713);  // BC years sort first
    p[0] = static_cast<uint8_t>(y >> 8);
    p[1] = static_cast<uint8_t>(y);
    p[2] = static_cast<uint8_t>(t.month);
    p[3] = static_cast<uint8_t>(t.day);
    p[4] = static_cast<uint8_t>(t.hour);
    p[5] = static_cast<uint8_t>(t.minute);
    p[6] = static_cast<uint8_t>(t.second);
    PutBE32(t.nanos, p + 7);
    return key;
}

OraTimestamp OraTimestamp::Now(bool withZone) {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    const time_t secs = ts.tv_sec;
    localtime_r(&secs, &local);
    OraTimestamp t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // leap second
    t.nanos = static_cast<uint32_t>(ts.tv_nsec);
    if (withZone) {
        t.hasZone = true;
        t.tzMinutes = static_cast<int>(local.tm_gmtoff / 60);
    }
    return t;
}

}  // namespace ocilite
