// TO_CHAR / OCIDateToText / OCIDateTimeToText: writes a datetime with a compiled model.

#include <cstdlib>
#include <cstring>

#include "ocilite/types/DatetimeErrors.h"
#include "ocilite/types/DatetimeFormat.h"
#include "ocilite/types/DatetimeNames.h"

namespace ocilite {
namespace {

void AppendNumber(std::string& out, int64_t value, int width, bool fillMode) {
    if (width == 2 && !fillMode && value >= 0 && value < 100) {  // the common case: MM, DD, HH24, MI, SS
        const char two[2] = {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
        out.append(two, 2);
        return;
    }
    char buf[24];
    int n = 0;
    uint64_t v = static_cast<uint64_t>(value < 0 ? -value : value);
    do {
        buf[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (!fillMode) {
        while (n < width) buf[n++] = '0';
    }
    while (n > 0) out.push_back(buf[--n]);
}

void AppendOrdinal(std::string& out, int64_t value, DtCase letterCase) {
    const int64_t lastTwo = value % 100, last = value % 10;
    const char* suffix = "TH";
    if (lastTwo < 11 || lastTwo > 13) {
        if (last == 1)
            suffix = "ST";
        else if (last == 2)
            suffix = "ND";
        else if (last == 3)
            suffix = "RD";
    }
    dtnames::AppendCased(out, suffix, letterCase);
}

const char* const kOnes[] = {"ZERO",     "ONE",     "TWO",     "THREE",     "FOUR",     "FIVE",    "SIX",
                             "SEVEN",    "EIGHT",   "NINE",    "TEN",       "ELEVEN",   "TWELVE",  "THIRTEEN",
                             "FOURTEEN", "FIFTEEN", "SIXTEEN", "SEVENTEEN", "EIGHTEEN", "NINETEEN"};
const char* const kTens[] = {"", "", "TWENTY", "THIRTY", "FORTY", "FIFTY", "SIXTY", "SEVENTY", "EIGHTY", "NINETY"};

std::string SpellBelowHundred(int v) {
    if (v < 20) return kOnes[v];
    std::string s = kTens[v / 10];
    if (v % 10 != 0) s.append("-").append(kOnes[v % 10]);
    return s;
}

// A number in words (SP), or as an ordinal in words (SPTH): FIVE THOUSAND TWENTY-FIRST.
std::string SpellNumber(int64_t value, bool ordinal) {
    std::string s;
    if (value < 0) {
        s = "MINUS ";
        value = -value;
    }
    auto group = [](int v) {  // 1..999
        std::string g;
        if (v >= 100) {
            g = std::string(kOnes[v / 100]) + " HUNDRED";
            v %= 100;
            if (v != 0) g += ' ';
        }
        if (v != 0) g += SpellBelowHundred(v);
        return g;
    };
    if (value == 0) {
        s += kOnes[0];
    } else {
        const int64_t millions = value / 1000000, thousands = value / 1000 % 1000, rest = value % 1000;
        std::string words;
        if (millions != 0) words += group(static_cast<int>(millions)) + " MILLION";
        if (thousands != 0) words += (words.empty() ? "" : " ") + group(static_cast<int>(thousands)) + " THOUSAND";
        if (rest != 0) words += (words.empty() ? "" : " ") + group(static_cast<int>(rest));
        s += words;
    }
    if (!ordinal) return s;
    // the last word becomes an ordinal
    size_t start = s.find_last_of(" -");
    start = start == std::string::npos ? 0 : start + 1;
    const std::string last = s.substr(start);
    static const std::pair<const char*, const char*> kIrregular[] = {
        {"ONE", "FIRST"},    {"TWO", "SECOND"}, {"THREE", "THIRD"},    {"FIVE", "FIFTH"},
        {"EIGHT", "EIGHTH"}, {"NINE", "NINTH"}, {"TWELVE", "TWELFTH"}, {"ZERO", "ZEROTH"}};
    for (const auto& [plain, ord] : kIrregular)
        if (last == plain) return s.substr(0, start) + ord;
    if (last.back() == 'Y') return s.substr(0, s.size() - 1) + "IETH";
    return s + "TH";
}

// The YEAR element: years are read in pairs ("TWENTY TWENTY-FOUR"), round thousands and the
// years just after them as a number ("TWO THOUSAND FIVE").
std::string SpellYear(int year) {
    const int hi = year / 100, lo = year % 100;
    if (hi == 0) return SpellBelowHundred(lo);
    if (hi % 10 == 0) {
        std::string s = std::string(kOnes[hi / 10]) + " THOUSAND";
        if (lo != 0) s.append(" ").append(SpellBelowHundred(lo));
        return s;
    }
    if (lo == 0) return SpellBelowHundred(hi) + " HUNDRED";
    return SpellBelowHundred(hi) + " " + SpellBelowHundred(lo);
}

// ISO 8601 week-numbering year and week of a date.
void IsoWeek(const OraTimestamp& t, int& isoYear, int& week) {
    const int64_t jdn = t.DayNumber();
    const int64_t isoDow = jdn % 7 + 1;  // Monday = 1
    const int64_t thursday = jdn - isoDow + 4;
    isoYear = OraTimestamp::FromDayNumber(thursday).year;
    const int64_t firstDay = OraTimestamp{isoYear, 1, 1}.DayNumber();
    week = static_cast<int>((thursday - firstDay) / 7 + 1);
}

int64_t NumberOf(const DtItem& item, const OraTimestamp& t) {
    const int absYear = std::abs(t.year);
    switch (item.element) {
        case DtElement::YYYY:
        case DtElement::RRRR:
        case DtElement::SYYYY:
        case DtElement::YCommaYYY: return absYear;
        case DtElement::YYY: return absYear % 1000;
        case DtElement::YY:
        case DtElement::RR: return absYear % 100;
        case DtElement::Y: return absYear % 10;
        case DtElement::CC:
        case DtElement::SCC: return (absYear + 99) / 100;
        case DtElement::Q: return (t.month + 2) / 3;
        case DtElement::MM: return t.month;
        case DtElement::WW: return (t.DayOfYear() - 1) / 7 + 1;
        case DtElement::W: return (t.day - 1) / 7 + 1;
        case DtElement::DDD: return t.DayOfYear();
        case DtElement::DD: return t.day;
        case DtElement::D: return t.DayOfWeek();
        case DtElement::J: {
            // Julian days count from 1 January 4712 BC (J = 1) over a calendar with a year 0
            // of 365 days, so days before 1 AD lie 365 below the astronomical day number
            const int64_t n = t.DayNumber();
            return n < kJulianFirstAd ? n - 365 : n;
        }
        case DtElement::HH:
        case DtElement::HH12: return t.hour % 12 == 0 ? 12 : t.hour % 12;
        case DtElement::HH24: return t.hour;
        case DtElement::MI: return t.minute;
        case DtElement::SS: return t.second;
        case DtElement::SSSSS: return t.SecondsOfDay();
        default: return 0;
    }
}

int WidthOf(DtElement e) {
    switch (e) {
        case DtElement::YYYY:
        case DtElement::RRRR:
        case DtElement::SYYYY:
        case DtElement::IYYY: return 4;
        case DtElement::YYY:
        case DtElement::IYY:
        case DtElement::DDD: return 3;
        case DtElement::SSSSS: return 5;
        case DtElement::J: return 7;
        case DtElement::Y:
        case DtElement::I:
        case DtElement::Q:
        case DtElement::W:
        case DtElement::D: return 1;
        default: return 2;
    }
}

}  // namespace

void RenderTo(std::string& out, const OraTimestamp& t, const DatetimeFormat& fmt, int fsprec) {
    for (const DtItem& item : fmt.Items()) {
        const bool fm = item.fillMode;
        switch (item.element) {
            case DtElement::Literal:
            case DtElement::Punctuation: out.append(item.text); continue;
            case DtElement::SYYYY:
            case DtElement::SCC:
                if (t.year < 0)
                    out.push_back('-');
                else if (!fm)
                    out.push_back(' ');
                break;
            default: break;
        }
        switch (item.element) {
            case DtElement::YCommaYYY: {
                const int y = std::abs(t.year);
                AppendNumber(out, y / 1000, 1, fm);
                out.push_back(',');
                AppendNumber(out, y % 1000, 3, false);
                break;
            }
            case DtElement::IYYY:
            case DtElement::IYY:
            case DtElement::IY:
            case DtElement::I: {
                int isoYear = 0, week = 0;
                IsoWeek(t, isoYear, week);
                const int y = std::abs(isoYear);
                const int mod = item.element == DtElement::IYYY  ? 10000
                                : item.element == DtElement::IYY ? 1000
                                : item.element == DtElement::IY  ? 100
                                                                 : 10;
                AppendNumber(out, y % mod, WidthOf(item.element), fm);
                break;
            }
            case DtElement::IW: {
                int isoYear = 0, week = 0;
                IsoWeek(t, isoYear, week);
                AppendNumber(out, week, 2, fm);
                if (item.suffix) AppendOrdinal(out, week, item.suffixCase);
                break;
            }
            case DtElement::YEAR:
            case DtElement::SYEAR:
                if (item.element == DtElement::SYEAR) out.push_back(t.year < 0 ? '-' : ' ');
                dtnames::AppendCased(out, SpellYear(std::abs(t.year)), item.letterCase);
                break;
            case DtElement::MON:
                dtnames::AppendCased(out, std::string_view(dtnames::kMonths[t.month - 1], 3), item.letterCase);
                break;
            case DtElement::MONTH:
                dtnames::AppendCased(out, dtnames::kMonths[t.month - 1], item.letterCase, fm ? 0 : dtnames::kNameWidth);
                break;
            case DtElement::RM:
                dtnames::AppendCased(out, dtnames::kRomanMonths[t.month - 1], item.letterCase, fm ? 0 : 4);
                break;
            case DtElement::DY:
                dtnames::AppendCased(out, std::string_view(dtnames::kDays[t.DayOfWeek() - 1], 3), item.letterCase);
                break;
            case DtElement::DAY:
                dtnames::AppendCased(out, dtnames::kDays[t.DayOfWeek() - 1], item.letterCase,
                                     fm ? 0 : dtnames::kNameWidth);
                break;
            case DtElement::FF: {
                int digits = item.digits != 0 ? item.digits : fsprec;
                if (digits < 0) digits = 0;
                if (digits > 9) digits = 9;
                uint32_t v = t.nanos;
                for (int i = digits; i < 9; ++i) v /= 10;  // cut, do not round
                if (digits > 0) AppendNumber(out, v, digits, false);
                break;
            }
            case DtElement::AM: dtnames::AppendCased(out, t.hour < 12 ? "AM" : "PM", item.letterCase); break;
            case DtElement::AMDots: dtnames::AppendCased(out, t.hour < 12 ? "A.M." : "P.M.", item.letterCase); break;
            case DtElement::AD: dtnames::AppendCased(out, t.year < 0 ? "BC" : "AD", item.letterCase); break;
            case DtElement::ADDots: dtnames::AppendCased(out, t.year < 0 ? "B.C." : "A.D.", item.letterCase); break;
            case DtElement::X: out.push_back('.'); break;
            case DtElement::TZH:
                out.push_back(t.tzMinutes < 0 ? '-' : '+');
                AppendNumber(out, std::abs(t.tzMinutes) / 60, 2, fm);
                break;
            case DtElement::TZM: AppendNumber(out, std::abs(t.tzMinutes) % 60, 2, fm); break;
            case DtElement::TZR:
                out.push_back(t.tzMinutes < 0 ? '-' : '+');
                AppendNumber(out, std::abs(t.tzMinutes) / 60, 2, false);
                out.push_back(':');
                AppendNumber(out, std::abs(t.tzMinutes) % 60, 2, false);
                break;
            case DtElement::TZD: break;  // offsets carry no daylight-saving abbreviation
            default: {
                const int64_t v = NumberOf(item, t);
                if (item.suffix >= 2) {
                    // spelled in the element's letter case: DDSP FOUR, Ddsp Four, ddspth fourth
                    dtnames::AppendCased(out, SpellNumber(v, item.suffix == 3), item.letterCase);
                    break;
                }
                AppendNumber(out, v, WidthOf(item.element), fm);
                if (item.suffix) AppendOrdinal(out, v, item.suffixCase);
                break;
            }
        }
    }
}

bool RenderPlain(const OraTimestamp& t, const DatetimeFormat& fmt, int fsprec, char* out, size_t capacity,
                 size_t& length) {
    if (!fmt.IsPlain()) return false;
    static constexpr uint32_t kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
    const int zone = std::abs(t.tzMinutes);
    // Field values by DtPlainStep::Field (the fraction is cut per step).
    const int values[] = {0, std::abs(t.year), t.month, t.day, t.hour, t.minute, t.second, 0, zone / 60, zone % 60};
    const int fractionDigits = fsprec < 0 ? 0 : fsprec > 9 ? 9 : fsprec;
    const char* const literals = fmt.PlainLiterals().data();
    char* p = out;
    char* const end = out + capacity;
    for (const DtPlainStep& step : fmt.PlainSteps()) {
        // a literal, then a sign and up to nine digits
        if (static_cast<size_t>(end - p) < step.literalLength + 10u) return false;
        // separators are a character or two: a plain loop beats a call to memcpy
        for (const char* l = literals + step.literalStart; l != literals + step.literalStart + step.literalLength;)
            *p++ = *l++;
        int width = step.width;
        int v = values[step.field];
        switch (step.field) {
            case DtPlainStep::None: continue;
            case DtPlainStep::Fraction:
                if (width == 0) width = fractionDigits;
                if (width == 0) continue;
                v = static_cast<int>(t.nanos / kPowers[9 - width]);  // cut, do not round
                break;
            case DtPlainStep::ZoneHour: *p++ = t.tzMinutes < 0 ? '-' : '+'; break;
            default: break;
        }
        // A value wider than its field (or negative) is written as the general path decides.
        if (v < 0 || static_cast<uint32_t>(v) >= kPowers[width]) return false;
        auto u = static_cast<uint32_t>(v);
        for (int k = width - 1; k >= 0; --k) {
            p[k] = static_cast<char>('0' + u % 10);
            u /= 10;
        }
        p += width;
    }
    length = static_cast<size_t>(p - out);
    return true;
}

std::string Render(const OraTimestamp& value, const DatetimeFormat& fmt, int fsprec) {
    std::string out;
    out.reserve(fmt.Text().size() + 16);
    RenderTo(out, value, fmt, fsprec);
    return out;
}

}  // namespace ocilite
