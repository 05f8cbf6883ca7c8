#include "ocilite/types/OraInterval.h"

#include <cstdlib>

#include "ocilite/types/DatetimeErrors.h"

namespace ocilite {
namespace {

constexpr int64_t kMaxLeading = 999999999;  // the 9 leading digits TO_*INTERVAL return
constexpr int64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A cursor over interval text; every malformation is ORA-01867.
struct Cursor {
    std::string_view s;
    size_t pos = 0;

    bool AtEnd() const { return pos >= s.size(); }
    char Peek() const { return pos < s.size() ? s[pos] : '\0'; }
    bool Accept(char c) {
        if (Peek() != c) return false;
        ++pos;
        return true;
    }
    void SkipBlanks() {
        while (pos < s.size() && IsBlank(s[pos])) ++pos;
    }
    // An unsigned number of at most 9 digits; more digits than that overflow the leading field.
    int64_t Number(bool leading = false) {
        int64_t v = 0;
        int n = 0;
        while (pos < s.size() && IsDigit(s[pos])) {
            if (n == 9) dterr::Raise(leading ? 1873 : 1867);
            v = v * 10 + (s[pos] - '0');
            ++pos;
            ++n;
        }
        if (n == 0) dterr::Raise(1867);
        return v;
    }
    // Fraction digits after the radix, scaled to nanoseconds (at most 9 digits).
    int32_t Fraction() {
        int64_t v = 0;
        int n = 0;
        while (pos < s.size() && IsDigit(s[pos])) {
            if (n == 9) dterr::Raise(1867);
            v = v * 10 + (s[pos] - '0');
            ++pos;
            ++n;
        }
        return static_cast<int32_t>(v * kPow10[9 - n]);
    }
};

void AppendPadded(std::string& out, int64_t v, int width) {
    std::string digits = std::to_string(v);
    for (size_t n = digits.size(); n < static_cast<size_t>(width); ++n) out.push_back('0');
    out.append(digits);
}

void CheckLead(int64_t leadValue, int leadPrecision) {
    if (leadPrecision < 0 || leadPrecision > 9) dterr::Raise(1873);
    const int64_t limit = kPow10[leadPrecision] - 1;
    if (leadValue > limit) dterr::Raise(1873);
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

// ISO 8601 duration "[-]P[nY][nM][nD][T[nH][nM][n[.f]S]]"; `allowYearMonth` false for day-second.
struct IsoParts {
    bool negative = false;
    int64_t years = 0, months = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
    int32_t nanos = 0;
};

IsoParts ParseIso(Cursor& c, bool allowYearMonth) {
    IsoParts p;
    p.negative = c.Accept('-');
    if (!c.Accept('P') && !c.Accept('p')) dterr::Raise(1867);
    bool any = false;
    // Date part: designators in order Y, M, D.
    int stage = 0;
    while (!c.AtEnd() && IsDigit(c.Peek())) {
        const int64_t v = c.Number(true);
        const char d = static_cast<char>(c.Peek() & ~0x20);
        if (d == 'Y' && stage < 1 && allowYearMonth) {
            p.years = v;
            stage = 1;
        } else if (d == 'M' && stage < 2 && allowYearMonth) {
            p.months = v;
            stage = 2;
        } else if (d == 'D' && stage < 3) {
            p.days = v;
            stage = 3;
        } else
            dterr::Raise(1867);
        ++c.pos;
        any = true;
    }
    if (c.Accept('T') || c.Accept('t')) {
        bool anyTime = false;
        stage = 0;
        while (!c.AtEnd()) {
            const int64_t v = c.Number(true);
            int32_t frac = 0;
            bool hasFrac = false;
            if (c.Accept('.')) {
                frac = c.Fraction();
                hasFrac = true;
            }
            const char d = static_cast<char>(c.Peek() & ~0x20);
            if (d == 'H' && stage < 1 && !hasFrac) {
                p.hours = v;
                stage = 1;
            } else if (d == 'M' && stage < 2 && !hasFrac) {
                p.minutes = v;
                stage = 2;
            } else if (d == 'S' && stage < 3) {
                p.seconds = v;
                p.nanos = frac;
                stage = 3;
            } else
                dterr::Raise(1867);
            ++c.pos;
            anyTime = true;
        }
        if (!anyTime) dterr::Raise(1867);
        any = true;
    }
    if (!any || !c.AtEnd()) dterr::Raise(1867);
    return p;
}

}  // namespace

// ---- INTERVAL YEAR TO MONTH ----

OraIntervalYM OraIntervalYM::Parse(std::string_view text) {
    Cursor c{Trim(text)};
    if (c.s.empty()) dterr::Raise(1867);
    const char first = c.Peek();
    if (first == 'P' || first == 'p' || (first == '-' && c.s.size() > 1 && (c.s[1] == 'P' || c.s[1] == 'p'))) {
        const IsoParts p = ParseIso(c, true);
        const int64_t months = p.years * 12 + p.months;
        if (months / 12 > kMaxLeading) dterr::Raise(1873);
        return OraIntervalYM{p.negative ? -months : months};
    }
    bool negative = false;
    if (c.Peek() == '+' || c.Peek() == '-') {
        negative = c.Peek() == '-';
        ++c.pos;
        c.SkipBlanks();
    }
    const int64_t years = c.Number(true);
    c.SkipBlanks();
    if (!c.Accept('-')) dterr::Raise(1867);
    c.SkipBlanks();
    const int64_t months = c.Number();
    if (!c.AtEnd()) dterr::Raise(1867);
    if (months > 11) dterr::Raise(1843);
    const int64_t total = years * 12 + months;
    return OraIntervalYM{negative ? -total : total};
}

std::string OraIntervalYM::ToText(int leadPrecision) const {
    const int64_t absMonths = months < 0 ? -months : months;
    CheckLead(absMonths / 12, leadPrecision);
    std::string out;
    out.push_back(months < 0 ? '-' : '+');
    AppendPadded(out, absMonths / 12, leadPrecision);
    out.push_back('-');
    AppendPadded(out, absMonths % 12, 2);
    return out;
}

OraIntervalYM OraIntervalYM::FitToPrecision(int leadPrecision) const {
    CheckLead((months < 0 ? -months : months) / 12, leadPrecision);
    return *this;
}

void OraIntervalYM::ToBytes5(uint8_t out[5]) const noexcept {
    PutBE32(static_cast<uint32_t>(static_cast<int32_t>(months / 12)) + 0x80000000u, out);
    out[4] = static_cast<uint8_t>(months % 12 + 60);
}

OraIntervalYM OraIntervalYM::FromBytes5(const uint8_t in[5]) {
    const int64_t years = static_cast<int32_t>(GetBE32(in) - 0x80000000u);
    return OraIntervalYM{years * 12 + (in[4] - 60)};
}

std::string OraIntervalYM::SortKey() const {
    std::string key(8, '\0');
    uint64_t v = static_cast<uint64_t>(months) ^ (uint64_t{1} << 63);
    for (int i = 7; i >= 0; --i) {
        key[static_cast<size_t>(i)] = static_cast<char>(v & 0xFF);
        v >>= 8;
    }
    return key;
}

// ---- INTERVAL DAY TO SECOND ----

OraIntervalDS OraIntervalDS::FromParts(bool negative, int64_t days, int hours, int minutes, int secs, int32_t nanos) {
    const int64_t total = days * 86400 + int64_t{hours} * 3600 + int64_t{minutes} * 60 + secs;
    OraIntervalDS v;
    v.seconds = negative ? -total : total;
    v.nanos = negative ? -nanos : nanos;
    return v;
}

int64_t OraIntervalDS::Days() const noexcept {
    return std::llabs(seconds) / 86400;
}
int OraIntervalDS::Hours() const noexcept {
    return static_cast<int>(std::llabs(seconds) / 3600 % 24);
}
int OraIntervalDS::Minutes() const noexcept {
    return static_cast<int>(std::llabs(seconds) / 60 % 60);
}
int OraIntervalDS::Seconds() const noexcept {
    return static_cast<int>(std::llabs(seconds) % 60);
}
int32_t OraIntervalDS::Nanos() const noexcept {
    return nanos < 0 ? -nanos : nanos;
}

OraIntervalDS OraIntervalDS::Parse(std::string_view text) {
    Cursor c{Trim(text)};
    if (c.s.empty()) dterr::Raise(1867);
    const char first = c.Peek();
    if (first == 'P' || first == 'p' || (first == '-' && c.s.size() > 1 && (c.s[1] == 'P' || c.s[1] == 'p'))) {
        const IsoParts p = ParseIso(c, false);
        const int64_t total = p.days * 86400 + p.hours * 3600 + p.minutes * 60 + p.seconds;
        if (total / 86400 > kMaxLeading) dterr::Raise(1873);
        OraIntervalDS v;
        v.seconds = p.negative ? -total : total;
        v.nanos = p.negative ? -p.nanos : p.nanos;
        return v;
    }
    bool negative = false;
    if (c.Peek() == '+' || c.Peek() == '-') {
        negative = c.Peek() == '-';
        ++c.pos;
        c.SkipBlanks();
    }
    const int64_t days = c.Number(true);
    if (!IsBlank(c.Peek())) dterr::Raise(1867);
    c.SkipBlanks();
    const int64_t hours = c.Number();
    if (!c.Accept(':')) dterr::Raise(1867);
    const int64_t minutes = c.Number();
    if (!c.Accept(':')) dterr::Raise(1867);
    const int64_t secs = c.Number();
    int32_t nanos = 0;
    if (c.Accept('.')) nanos = c.Fraction();
    if (!c.AtEnd()) dterr::Raise(1867);
    if (hours > 23) dterr::Raise(1850);
    if (minutes > 59) dterr::Raise(1851);
    if (secs > 59) dterr::Raise(1852);
    return FromParts(negative, days, static_cast<int>(hours), static_cast<int>(minutes), static_cast<int>(secs), nanos);
}

std::string OraIntervalDS::ToText(int leadPrecision, int fsPrecision) const {
    CheckLead(Days(), leadPrecision);
    if (fsPrecision < 0 || fsPrecision > 9) dterr::Raise(1867);
    std::string out;
    out.push_back(IsNegative() ? '-' : '+');
    AppendPadded(out, Days(), leadPrecision);
    out.push_back(' ');
    AppendPadded(out, Hours(), 2);
    out.push_back(':');
    AppendPadded(out, Minutes(), 2);
    out.push_back(':');
    AppendPadded(out, Seconds(), 2);
    if (fsPrecision > 0) {
        out.push_back('.');
        AppendPadded(out, Nanos() / kPow10[9 - fsPrecision], fsPrecision);
    }
    return out;
}

OraIntervalDS OraIntervalDS::FitToPrecision(int leadPrecision, int fsPrecision) const {
    if (fsPrecision < 0 || fsPrecision > 9) dterr::Raise(1867);
    const int64_t unit = kPow10[9 - fsPrecision];
    int64_t absSeconds = std::llabs(seconds);
    int64_t absNanos = (Nanos() + unit / 2) / unit * unit;  // half away from zero
    if (absNanos >= 1000000000) {
        absNanos -= 1000000000;
        ++absSeconds;
    }
    CheckLead(absSeconds / 86400, leadPrecision);
    OraIntervalDS v;
    const bool negative = IsNegative();
    v.seconds = negative ? -absSeconds : absSeconds;
    v.nanos = static_cast<int32_t>(negative ? -absNanos : absNanos);
    return v;
}

void OraIntervalDS::ToBytes11(uint8_t out[11]) const noexcept {
    const int sign = IsNegative() ? -1 : 1;
    PutBE32(static_cast<uint32_t>(static_cast<int32_t>(sign * Days())) + 0x80000000u, out);
    out[4] = static_cast<uint8_t>(sign * Hours() + 60);
    out[5] = static_cast<uint8_t>(sign * Minutes() + 60);
    out[6] = static_cast<uint8_t>(sign * Seconds() + 60);
    PutBE32(static_cast<uint32_t>(nanos) + 0x80000000u, out + 7);
}

OraIntervalDS OraIntervalDS::FromBytes11(const uint8_t in[11]) {
    const int64_t days = static_cast<int32_t>(GetBE32(in) - 0x80000000u);
    OraIntervalDS v;
    v.seconds = days * 86400 + (in[4] - 60) * 3600 + (in[5] - 60) * 60 + (in[6] - 60);
    v.nanos = static_cast<int32_t>(GetBE32(in + 7) - 0x80000000u);
    return v;
}

std::string OraIntervalDS::SortKey() const {
    std::string key(12, '\0');
    uint64_t s = static_cast<uint64_t>(seconds) ^ (uint64_t{1} << 63);
    for (int i = 7; i >= 0; --i) {
        key[static_cast<size_t>(i)] = static_cast<char>(s & 0xFF);
        s >>= 8;
    }
    uint32_t n = static_cast<uint32_t>(nanos) + 0x80000000u;
    for (int i = 11; i >= 8; --i) {
        key[static_cast<size_t>(i)] = static_cast<char>(n & 0xFF);
        n >>= 8;
    }
    return key;
}

int OraIntervalDS::Compare(const OraIntervalDS& o) const noexcept {
    if (seconds != o.seconds) return seconds < o.seconds ? -1 : 1;
    if (nanos != o.nanos) return nanos < o.nanos ? -1 : 1;
    return 0;
}

}  // namespace ocilite
