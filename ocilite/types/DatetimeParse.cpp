// TO_DATE / TO_TIMESTAMP / TO_TIMESTAMP_TZ: reads text with a compiled model, with Oracle's
// leniency when FX is off (blanks skipped, any punctuation matches any punctuation, separators
// may be left out between full-width numbers, numbers may be shorter than their element, month
// numbers fall back to names, trailing time fields may be missing).

#include <algorithm>
#include <climits>
#include <cstdint>

#include "ocilite/types/DatetimeErrors.h"
#include "ocilite/types/DatetimeFormat.h"
#include "ocilite/types/DatetimeNames.h"

namespace ocilite {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool IsDateElement(DtElement e) {
    switch (e) {
        case DtElement::SYYYY:
        case DtElement::YYYY:
        case DtElement::YYY:
        case DtElement::YY:
        case DtElement::Y:
        case DtElement::YCommaYYY:
        case DtElement::RRRR:
        case DtElement::RR:
        case DtElement::MM:
        case DtElement::MON:
        case DtElement::MONTH:
        case DtElement::RM:
        case DtElement::DDD:
        case DtElement::DD:
        case DtElement::D:
        case DtElement::DY:
        case DtElement::DAY:
        case DtElement::J:
        case DtElement::AD:
        case DtElement::ADDots: return true;
        default: return false;
    }
}

// Elements that may start with a letter, so a missing separator before them is no error.
bool MayStartWithLetter(DtElement e) {
    switch (e) {
        case DtElement::MM:
        case DtElement::MON:
        case DtElement::MONTH:
        case DtElement::RM:
        case DtElement::DY:
        case DtElement::DAY:
        case DtElement::AM:
        case DtElement::AMDots:
        case DtElement::AD:
        case DtElement::ADDots:
        case DtElement::TZR:
        case DtElement::TZD:
        case DtElement::Literal: return true;
        default: return false;
    }
}

bool MayStartWithSign(DtElement e) {
    return e == DtElement::SYYYY || e == DtElement::TZH || e == DtElement::TZR;
}

constexpr int kUnset = INT_MIN;  // years may be negative

struct Fields {
    int year = kUnset;  // as read (before BC)
    bool yearFromSigned = false;
    int era = kUnset;  // 0 AD, 1 BC
    int month = kUnset, day = kUnset, dayOfYear = kUnset;
    int64_t julian = kUnset;
    int hour24 = kUnset, hour12 = kUnset, minute = kUnset, second = kUnset, secondsOfDay = kUnset;
    int meridian = kUnset;  // 0 AM, 1 PM
    uint32_t nanos = 0;
    bool haveZone = false;
    int zoneHour = 0, zoneMinute = 0;
    bool zoneNegative = false;
    bool haveZoneRegion = false;
    int zoneRegionMinutes = 0;
};

class Parser {
public:
    Parser(std::string_view text, const DatetimeFormat& fmt, const OraTimestamp& now)
        : s_(text), items_(fmt.Items()), now_(now) {}

    Fields Run() {
        const size_t count = items_.size();
        for (size_t k = 0; k < count; ++k) {
            const DtItem& item = items_[k];
            exact_ = item.exact;
            if (!exact_) SkipSpaces();
            if (pos_ >= s_.size()) {
                // Input used up: the rest of the model may only hold time, zone and text items.
                for (size_t r = k; r < items_.size(); ++r) {
                    if (IsDateElement(items_[r].element)) dterr::Raise(1840);
                }
                return f_;
            }
            const DtItem* next = k + 1 < count ? &items_[k + 1] : nullptr;
            ParseItem(item, next);
        }
        SkipSpaces();
        if (pos_ < s_.size()) dterr::Raise(1830);
        return f_;
    }

private:
    void SkipSpaces() {
        while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
    }

    char Peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }

    // Reads up to `maxDigits` digits. Under FX (without FM) exactly `width` digits are required.
    // Zero digits: ORA-01858. A letter right after a short number: ORA-01858.
    int64_t ReadNumber(const DtItem& item, int maxDigits, int width, const DtItem* next, int* count = nullptr) {
        int64_t value = 0;
        int n = 0;
        while (n < maxDigits && pos_ < s_.size() && IsDigit(s_[pos_])) {
            value = value * 10 + (s_[pos_] - '0');
            ++pos_;
            ++n;
        }
        if (n == 0) dterr::Raise(1858);
        if (n < maxDigits && pos_ < s_.size() && IsAlpha(s_[pos_]) &&
            !(next != nullptr && MayStartWithLetter(next->element)) && !IsOrdinalSuffix(item))
            dterr::Raise(1858);
        if (exact_ && !item.fillMode && width > 0 && n != width) dterr::Raise(1862);
        if (item.suffix != 0 || IsOrdinalSuffix(item)) SkipOrdinalSuffix();
        if (count != nullptr) *count = n;
        return value;
    }

    bool IsOrdinalSuffix(const DtItem& item) const {
        if (item.suffix == 0 || pos_ + 2 > s_.size()) return false;
        const std::string_view two = s_.substr(pos_, 2);
        return dtnames::StartsWithNoCase(two, "ST") || dtnames::StartsWithNoCase(two, "ND") ||
               dtnames::StartsWithNoCase(two, "RD") || dtnames::StartsWithNoCase(two, "TH");
    }

    void SkipOrdinalSuffix() {
        if (pos_ + 2 > s_.size()) return;
        const std::string_view two = s_.substr(pos_, 2);
        if (dtnames::StartsWithNoCase(two, "ST") || dtnames::StartsWithNoCase(two, "ND") ||
            dtnames::StartsWithNoCase(two, "RD") || dtnames::StartsWithNoCase(two, "TH"))
            pos_ += 2;
    }

    int RRYear(int64_t twoDigits) const {
        const int century = now_.year / 100;
        const int current = now_.year % 100;
        int c = century;
        if (current < 50 && twoDigits >= 50) c = century - 1;
        if (current >= 50 && twoDigits < 50) c = century + 1;
        return c * 100 + static_cast<int>(twoDigits);
    }

    int FillFromCurrentYear(int64_t value, int64_t modulus) const {
        return static_cast<int>(now_.year / modulus * modulus + value);
    }

    void SetYear(int64_t year) {
        if (year == 0 || year > 9999) dterr::Raise(1841);
        f_.year = static_cast<int>(year);
    }

    void ParsePunctuation(const DtItem& item, const DtItem* next) {
        if (exact_) {
            if (s_.substr(pos_, item.text.size()) != item.text) dterr::Raise(1861);
            pos_ += item.text.size();
            return;
        }
        const size_t start = pos_;
        while (pos_ < s_.size() && !IsDigit(s_[pos_]) && !IsAlpha(s_[pos_])) ++pos_;
        // Leave a sign in front of a digit to a signed element that follows.
        if (next != nullptr && MayStartWithSign(next->element) && pos_ > start && pos_ < s_.size() &&
            IsDigit(s_[pos_]) && (s_[pos_ - 1] == '+' || s_[pos_ - 1] == '-'))
            --pos_;
        // Any punctuation character matches any other, and blanks around it are free, but the
        // input may not hold more punctuation characters than the model has here
        // ('2021--03-04' under YYYY-MM-DD, '% /' for one '-').
        size_t wanted = 0, given = 0;
        for (char c : item.text)
            if (!IsSpace(c)) ++wanted;
        for (size_t i = start; i < pos_; ++i)
            if (!IsSpace(s_[i])) ++given;
        if (given > std::max<size_t>(wanted, 1)) dterr::Raise(1861);
        if (pos_ == start && pos_ < s_.size() && IsAlpha(s_[pos_]) &&
            !(next != nullptr && MayStartWithLetter(next->element)))
            dterr::Raise(1861);
    }

    void ParseLiteral(const DtItem& item) {
        const std::string_view want = item.text;
        if (pos_ + want.size() > s_.size()) dterr::Raise(1861);
        for (size_t i = 0; i < want.size(); ++i) {
            char a = s_[pos_ + i], b = want[i];
            if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
            if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
            if (a != b) dterr::Raise(1861);
        }
        pos_ += want.size();
    }

    void ParseZoneRegion() {
        const char c = Peek();
        if (c == '+' || c == '-' || IsDigit(c)) {
            bool negative = false;
            if (c == '+' || c == '-') {
                negative = c == '-';
                ++pos_;
            }
            DtItem plain;
            const int64_t h = ReadNumber(plain, 2, 0, nullptr);
            int64_t m = 0;
            if (Peek() == ':') {
                ++pos_;
                m = ReadNumber(plain, 2, 0, nullptr);
            }
            if (h > 15) dterr::Raise(1874);
            if (m > 59) dterr::Raise(1875);
            f_.haveZoneRegion = true;
            f_.zoneRegionMinutes = static_cast<int>((negative ? -1 : 1) * (h * 60 + m));
            return;
        }
        size_t end = pos_;
        while (end < s_.size() && (IsAlpha(s_[end]) || s_[end] == '/' || s_[end] == '_')) ++end;
        const std::string_view name = s_.substr(pos_, end - pos_);
        if (name.size() == 3 && (dtnames::StartsWithNoCase(name, "UTC") || dtnames::StartsWithNoCase(name, "GMT"))) {
        } else if (name.size() == 1 && dtnames::StartsWithNoCase(name, "Z")) {
        } else {
            // Named regions other than UTC need a time zone database this engine does not carry.
            dterr::Raise(1882);
        }
        pos_ = end;
        f_.haveZoneRegion = true;
        f_.zoneRegionMinutes = 0;
    }

    void ParseItem(const DtItem& item, const DtItem* next) {
        size_t length = 0;
        int count = 0;
        switch (item.element) {
            case DtElement::Punctuation: ParsePunctuation(item, next); return;
            case DtElement::Literal: ParseLiteral(item); return;
            case DtElement::YYYY: SetYear(ReadNumber(item, 4, 4, next)); return;
            case DtElement::SYYYY: {
                bool negative = false;
                if (Peek() == '-' || Peek() == '+') {
                    negative = Peek() == '-';
                    ++pos_;
                }
                const int64_t v = ReadNumber(item, 4, 4, next);
                if (v == 0) dterr::Raise(1841);
                f_.year = static_cast<int>(negative ? -v : v);
                f_.yearFromSigned = true;
                return;
            }
            case DtElement::YCommaYYY: {
                int64_t v = 0;
                int n = 0;
                while (pos_ < s_.size() && n < 4 && (IsDigit(s_[pos_]) || (s_[pos_] == ',' && n == 1))) {
                    if (s_[pos_] != ',') {
                        v = v * 10 + (s_[pos_] - '0');
                        ++n;
                    }
                    ++pos_;
                }
                if (n == 0) dterr::Raise(1858);
                SetYear(v);
                return;
            }
            case DtElement::YYY: SetYear(FillFromCurrentYear(ReadNumber(item, 3, 3, next), 1000)); return;
            case DtElement::Y: SetYear(FillFromCurrentYear(ReadNumber(item, 1, 1, next), 10)); return;
            case DtElement::YY: {
                const int64_t v = ReadNumber(item, 4, 2, next, &count);
                SetYear(count <= 2 ? FillFromCurrentYear(v, 100) : v);
                return;
            }
            case DtElement::RR:
            case DtElement::RRRR: {
                // RR takes four digits as they are, even under FX.
                const bool savedExact = exact_;
                exact_ = false;
                const int64_t v = ReadNumber(item, 4, 0, next, &count);
                exact_ = savedExact;
                if (exact_ && !item.fillMode && count != 2 && count != 4) dterr::Raise(1862);
                SetYear(count <= 2 ? RRYear(v) : v);
                return;
            }
            case DtElement::MM:
                if (IsDigit(Peek())) {
                    const int64_t v = ReadNumber(item, 2, 2, next);
                    if (v < 1 || v > 12) dterr::Raise(1843);
                    f_.month = static_cast<int>(v);
                    return;
                }
                if (exact_) dterr::Raise(1858);  // FX: a month number must be a number
                [[fallthrough]];
            case DtElement::MON:
            case DtElement::MONTH: {
                const int m = dtnames::MatchMonth(s_.substr(pos_), length);
                if (m == 0) dterr::Raise(1843);
                pos_ += length;
                f_.month = m;
                return;
            }
            case DtElement::RM: {
                const int m = dtnames::MatchRomanMonth(s_.substr(pos_), length);
                if (m == 0) dterr::Raise(1843);
                pos_ += length;
                f_.month = m;
                return;
            }
            case DtElement::DD: {
                const int64_t v = ReadNumber(item, 2, 2, next);
                if (v < 1 || v > 31) dterr::Raise(1847);
                f_.day = static_cast<int>(v);
                return;
            }
            case DtElement::DDD: {
                const int64_t v = ReadNumber(item, 3, 3, next);
                if (v < 1 || v > 366) dterr::Raise(1848);
                f_.dayOfYear = static_cast<int>(v);
                return;
            }
            case DtElement::D: {
                const int64_t v = ReadNumber(item, 1, 1, next);
                if (v < 1 || v > 7) dterr::Raise(1846);
                return;
            }
            case DtElement::DY:
            case DtElement::DAY: {
                if (dtnames::MatchDay(s_.substr(pos_), length) == 0) dterr::Raise(1846);
                pos_ += length;
                return;
            }
            case DtElement::J: {
                const int64_t v = ReadNumber(item, 7, 7, next);
                if (v < 1 || v > 5373484) dterr::Raise(1854);
                f_.julian = v;
                return;
            }
            case DtElement::HH:
            case DtElement::HH12: {
                const int64_t v = ReadNumber(item, 2, 2, next);
                if (v < 1 || v > 12) dterr::Raise(1849);
                f_.hour12 = static_cast<int>(v);
                return;
            }
            case DtElement::HH24: {
                const int64_t v = ReadNumber(item, 2, 2, next);
                if (v > 23) dterr::Raise(1850);
                f_.hour24 = static_cast<int>(v);
                return;
            }
            case DtElement::MI: {
                const int64_t v = ReadNumber(item, 2, 2, next);
                if (v > 59) dterr::Raise(1851);
                f_.minute = static_cast<int>(v);
                return;
            }
            case DtElement::SS: {
                const int64_t v = ReadNumber(item, 2, 2, next);
                if (v > 59) dterr::Raise(1852);
                f_.second = static_cast<int>(v);
                return;
            }
            case DtElement::SSSSS: {
                const int64_t v = ReadNumber(item, 5, 5, next);
                if (v > 86399) dterr::Raise(1853);
                f_.secondsOfDay = static_cast<int>(v);
                return;
            }
            case DtElement::FF: {
                if (!IsDigit(Peek())) {
                    if (IsAlpha(Peek())) dterr::Raise(1858);
                    return;  // no fraction given: zero
                }
                const int maxDigits = item.digits != 0 ? item.digits : 9;
                int64_t v = ReadNumber(item, maxDigits, 0, next, &count);
                for (int i = count; i < 9; ++i) v *= 10;
                f_.nanos = static_cast<uint32_t>(v);
                return;
            }
            case DtElement::X:
                if (Peek() == '.')
                    ++pos_;
                else if (exact_)
                    dterr::Raise(1861);
                return;
            case DtElement::AM:
            case DtElement::AMDots: {
                const std::string_view rest = s_.substr(pos_);
                if (dtnames::StartsWithNoCase(rest, "A.M.")) {
                    f_.meridian = 0;
                    pos_ += 4;
                } else if (dtnames::StartsWithNoCase(rest, "P.M.")) {
                    f_.meridian = 1;
                    pos_ += 4;
                } else if (dtnames::StartsWithNoCase(rest, "AM")) {
                    f_.meridian = 0;
                    pos_ += 2;
                } else if (dtnames::StartsWithNoCase(rest, "PM")) {
                    f_.meridian = 1;
                    pos_ += 2;
                } else
                    dterr::Raise(1855);
                return;
            }
            case DtElement::AD:
            case DtElement::ADDots: {
                const std::string_view rest = s_.substr(pos_);
                if (dtnames::StartsWithNoCase(rest, "A.D.")) {
                    f_.era = 0;
                    pos_ += 4;
                } else if (dtnames::StartsWithNoCase(rest, "B.C.")) {
                    f_.era = 1;
                    pos_ += 4;
                } else if (dtnames::StartsWithNoCase(rest, "AD")) {
                    f_.era = 0;
                    pos_ += 2;
                } else if (dtnames::StartsWithNoCase(rest, "BC")) {
                    f_.era = 1;
                    pos_ += 2;
                } else
                    dterr::Raise(1856);
                return;
            }
            case DtElement::TZH: {
                bool negative = false;
                if (Peek() == '-' || Peek() == '+') {
                    negative = Peek() == '-';
                    ++pos_;
                }
                const int64_t v = ReadNumber(item, 2, 2, next);
                if (v > 15) dterr::Raise(1874);
                f_.haveZone = true;
                f_.zoneHour = static_cast<int>(v);
                f_.zoneNegative = negative;
                return;
            }
            case DtElement::TZM: {
                const int64_t v = ReadNumber(item, 2, 2, next);
                if (v > 59) dterr::Raise(1875);
                f_.haveZone = true;
                f_.zoneMinute = static_cast<int>(v);
                return;
            }
            case DtElement::TZR: ParseZoneRegion(); return;
            case DtElement::TZD: {
                // Daylight-saving abbreviations only qualify a region; with offsets they carry nothing.
                while (pos_ < s_.size() && IsAlpha(s_[pos_])) ++pos_;
                return;
            }
            default: dterr::Raise(1820);
        }
    }

    std::string_view s_;
    const std::vector<DtItem>& items_;
    const OraTimestamp& now_;
    size_t pos_ = 0;
    bool exact_ = false;
    Fields f_;
};

OraTimestamp Assemble(const Fields& f, DatetimeKind kind, const OraTimestamp& now) {
    OraTimestamp t;
    if (f.julian != kUnset) {
        if (f.julian < kJulianFirstAd && f.julian > kJulianFirstAd - 366) dterr::Raise(1841);  // year 0
        t = OraTimestamp::FromDayNumber(f.julian < kJulianFirstAd ? f.julian + 365 : f.julian);
        // Day numbers count from 4713 BC; the first days of it lie before the DATE range.
        if (t.year < -4712) dterr::Raise(1841);
    } else {
        int year = f.year != kUnset ? f.year : now.year;
        if (f.era == 1 && year > 0) year = -year;
        if (year < -4712 || year > 9999 || year == 0) dterr::Raise(1841);
        t.year = year;
        if (f.dayOfYear != kUnset) {
            const int64_t first = OraTimestamp{year, 1, 1}.DayNumber();
            const OraTimestamp d = OraTimestamp::FromDayNumber(first + f.dayOfYear - 1);
            if (d.year != year) dterr::Raise(1848);
            t.month = d.month;
            t.day = d.day;
        } else {
            t.month = f.month != kUnset ? f.month : now.month;
            t.day = f.day != kUnset ? f.day : 1;
            if (t.day > OraTimestamp::DaysInMonth(t.year, t.month) ||
                (t.year == 1582 && t.month == 10 && t.day > 4 && t.day < 15))
                dterr::Raise(1839);
        }
    }
    if (f.hour24 != kUnset) {
        t.hour = f.hour24;
    } else if (f.hour12 != kUnset) {
        t.hour = f.meridian == kUnset ? f.hour12 : f.hour12 % 12 + (f.meridian == 1 ? 12 : 0);
    }
    if (f.minute != kUnset) t.minute = f.minute;
    if (f.second != kUnset) t.second = f.second;
    if (f.secondsOfDay != kUnset) {
        const int h = f.secondsOfDay / 3600, m = f.secondsOfDay / 60 % 60, s = f.secondsOfDay % 60;
        if ((f.hour24 != kUnset || f.hour12 != kUnset) && t.hour != h) dterr::Raise(1836);
        if (f.minute != kUnset && f.minute != m) dterr::Raise(1837);
        if (f.second != kUnset && f.second != s) dterr::Raise(1838);
        t.hour = h;
        t.minute = m;
        t.second = s;
    }
    if (kind != DatetimeKind::Date) t.nanos = f.nanos;
    if (kind == DatetimeKind::TimestampTz) {
        t.hasZone = true;
        if (f.haveZone) {
            const int minutes = f.zoneHour * 60 + f.zoneMinute;
            t.tzMinutes = f.zoneNegative ? -minutes : minutes;
        } else if (f.haveZoneRegion) {
            t.tzMinutes = f.zoneRegionMinutes;
        } else {
            t.tzMinutes = now.hasZone ? now.tzMinutes : 0;
        }
    }
    t.Validate();  // every field was range-checked on the way; this keeps that a guarantee
    return t;
}

// ---- the one-pass reader of plain numeric models --------------------------------------------
// It accepts only text that the general reader takes without any of its leniency: every number
// has exactly its element's width (a fraction 1 to its digits), punctuation is the model's own,
// no blanks are skipped, nothing is missing and nothing is left over. The fields it fills are
// those the general reader fills for such text; any other text, and every value out of range,
// is left to the general reader, which also gives the errors.

// Fixed width of a number element of a plain model; 0 for the others.
int PlainWidth(DtElement e) {
    switch (e) {
        case DtElement::YYYY:
        case DtElement::RRRR: return 4;
        case DtElement::MM:
        case DtElement::DD:
        case DtElement::HH24:
        case DtElement::MI:
        case DtElement::SS:
        case DtElement::TZH:
        case DtElement::TZM: return 2;
        default: return 0;
    }
}

bool IsPlainNumber(DtElement e) {
    return PlainWidth(e) > 0 || e == DtElement::FF;
}

bool ReadFixed(std::string_view s, size_t& pos, int width, int& value) {
    if (s.size() - pos < static_cast<size_t>(width)) return false;
    int v = 0;
    for (int i = 0; i < width; ++i) {
        const char c = s[pos + static_cast<size_t>(i)];
        if (!IsDigit(c)) return false;
        v = v * 10 + (c - '0');
    }
    pos += static_cast<size_t>(width);
    value = v;
    return true;
}

bool ReadPlain(std::string_view s, const std::vector<DtItem>& items, Fields& f) {
    size_t pos = 0;
    const size_t count = items.size();
    for (size_t k = 0; k < count; ++k) {
        const DtItem& item = items[k];
        const DtItem* next = k + 1 < count ? &items[k + 1] : nullptr;
        int v = 0;
        switch (item.element) {
            case DtElement::Punctuation: {
                // compared byte by byte: the model's punctuation is one or two bytes
                for (const char c : item.text) {
                    if (pos >= s.size() || s[pos] != c) return false;
                    ++pos;
                }
                // The next element is a number; a zone hour may bring its sign.
                if (pos < s.size() && (s[pos] == '+' || s[pos] == '-') && next->element == DtElement::TZH) {
                    if (pos + 1 >= s.size() || !IsDigit(s[pos + 1])) return false;
                } else if (pos >= s.size() || !IsDigit(s[pos])) {
                    return false;
                }
                continue;
            }
            case DtElement::X:
                if (pos >= s.size() || s[pos] != '.') return false;
                ++pos;
                continue;
            case DtElement::FF: {
                const size_t maxDigits = item.digits != 0 ? item.digits : 9;
                uint32_t nanos = 0;
                size_t n = 0;
                while (n < maxDigits && pos < s.size() && IsDigit(s[pos])) {
                    nanos = nanos * 10 + static_cast<uint32_t>(s[pos] - '0');
                    ++pos;
                    ++n;
                }
                if (n == 0) return false;
                if (pos < s.size() && (IsDigit(s[pos]) || IsAlpha(s[pos]))) return false;
                for (size_t i = n; i < 9; ++i) nanos *= 10;
                f.nanos = nanos;
                continue;
            }
            case DtElement::TZH: {
                bool negative = false;
                if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
                    negative = s[pos] == '-';
                    ++pos;
                }
                if (!ReadFixed(s, pos, 2, v) || v > 15) return false;
                f.haveZone = true;
                f.zoneHour = v;
                f.zoneNegative = negative;
                break;
            }
            default: {
                if (!ReadFixed(s, pos, PlainWidth(item.element), v)) return false;
                switch (item.element) {
                    case DtElement::YYYY:
                    case DtElement::RRRR:
                        if (v == 0) return false;
                        f.year = v;
                        break;
                    case DtElement::MM:
                        if (v < 1 || v > 12) return false;
                        f.month = v;
                        break;
                    case DtElement::DD:
                        if (v < 1 || v > 31) return false;
                        f.day = v;
                        break;
                    case DtElement::HH24:
                        if (v > 23) return false;
                        f.hour24 = v;
                        break;
                    case DtElement::MI:
                        if (v > 59) return false;
                        f.minute = v;
                        break;
                    case DtElement::SS:
                        if (v > 59) return false;
                        f.second = v;
                        break;
                    case DtElement::TZM:
                        if (v > 59) return false;
                        f.haveZone = true;
                        f.zoneMinute = v;
                        break;
                    default: return false;
                }
                break;
            }
        }
        // After a number: the end of the text only at the end of the model; a digit only where
        // a fixed-width number follows directly (YYYYMMDD); a letter never.
        if (pos >= s.size()) {
            if (next != nullptr) return false;
        } else if (IsAlpha(s[pos])) {
            return false;
        } else if (IsDigit(s[pos]) && (next == nullptr || PlainWidth(next->element) == 0)) {
            return false;
        }
    }
    return pos == s.size();
}

}  // namespace

bool IsPlainNumericModel(const std::vector<DtItem>& items) {
    if (items.empty()) return false;
    for (size_t k = 0; k < items.size(); ++k) {
        const DtItem& item = items[k];
        if (item.exact || item.suffix != 0) return false;
        const DtItem* next = k + 1 < items.size() ? &items[k + 1] : nullptr;
        switch (item.element) {
            case DtElement::Punctuation:
                // Between numbers only. Before a zone hour it may not hold a sign itself: the
                // general reader would give that sign to the hour.
                if (k == 0 || next == nullptr || !IsPlainNumber(items[k - 1].element) || !IsPlainNumber(next->element))
                    return false;
                if (next->element == DtElement::TZH && item.text.find_first_of("+-") != std::string::npos) return false;
                break;
            case DtElement::X:
                if (next == nullptr || next->element != DtElement::FF) return false;
                break;
            default:
                if (!IsPlainNumber(item.element)) return false;
                break;
        }
    }
    return true;
}

OraTimestamp ParseGeneral(std::string_view text, const DatetimeFormat& fmt, DatetimeKind kind,
                          const OraTimestamp& now) {
    Parser parser(text, fmt, now);
    return Assemble(parser.Run(), kind, now);
}

OraTimestamp Parse(std::string_view text, const DatetimeFormat& fmt, DatetimeKind kind, const OraTimestamp& now) {
    if (fmt.PlainNumeric()) {
        Fields f;
        if (ReadPlain(text, fmt.Items(), f)) return Assemble(f, kind, now);
    }
    return ParseGeneral(text, fmt, kind, now);
}

}  // namespace ocilite
