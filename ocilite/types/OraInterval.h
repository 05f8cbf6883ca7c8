#pragma once
// INTERVAL YEAR TO MONTH and INTERVAL DAY TO SECOND values: TO_YMINTERVAL / TO_DSINTERVAL
// parsing (SQL and ISO 8601 forms), the text OCIIntervalToText gives, storage into a column
// of a given precision, Oracle's internal byte forms and a memcmp-ordered sort key.

#include <cstdint>
#include <string>
#include <string_view>

namespace ocilite {

struct OraIntervalYM {
    int64_t months = 0;  // signed total

    // TO_YMINTERVAL: "[+|-]years-months" (blanks allowed around the parts) or ISO 8601
    // "[-]P[nY][nM][nD][T[nH][nM][n[.f]S]]" (days and time accepted and ignored).
    // Throws ORA-01867 for a malformed text, ORA-01873 when years exceed 9 digits.
    static OraIntervalYM Parse(std::string_view text);

    // "+02-03": sign, years zero-padded to `leadPrecision` digits, "-", two-digit months.
    // Throws ORA-01873 when the years need more digits than `leadPrecision`.
    std::string ToText(int leadPrecision) const;
    // Checks the value fits INTERVAL YEAR(leadPrecision) TO MONTH (ORA-01873 otherwise).
    OraIntervalYM FitToPrecision(int leadPrecision) const;

    void ToBytes5(uint8_t out[5]) const noexcept;  // 4-byte BE years + 0x80000000, months + 60
    static OraIntervalYM FromBytes5(const uint8_t in[5]);
    std::string SortKey() const;  // 8 bytes, memcmp order = numeric order

    int Compare(const OraIntervalYM& o) const noexcept { return months < o.months ? -1 : months > o.months; }
    bool operator==(const OraIntervalYM& o) const noexcept { return months == o.months; }
};

struct OraIntervalDS {
    // Signed total: whole seconds and nanoseconds carry the same sign.
    int64_t seconds = 0;
    int32_t nanos = 0;

    static OraIntervalDS FromParts(bool negative, int64_t days, int hours, int minutes, int secs, int32_t nanos);
    bool IsNegative() const noexcept { return seconds < 0 || nanos < 0; }
    int64_t Days() const noexcept;  // absolute values of the fields
    int Hours() const noexcept;
    int Minutes() const noexcept;
    int Seconds() const noexcept;
    int32_t Nanos() const noexcept;  // absolute

    // TO_DSINTERVAL: "[+|-]days hh:mi:ss[.frac]" or ISO 8601 "[-]P[nD][T[nH][nM][n[.f]S]]".
    // Throws ORA-01867 for a malformed text; ORA-01850/01851/01852 for an hour, minute or
    // second out of range in the SQL form; ORA-01873 when days exceed 9 digits.
    static OraIntervalDS Parse(std::string_view text);

    // "+05 04:03:02.100000": sign, days zero-padded to `leadPrecision`, HH:MI:SS, then "." and
    // exactly `fsPrecision` digits (none when 0; the fraction is cut, not rounded).
    std::string ToText(int leadPrecision, int fsPrecision) const;
    // Rounds the fraction to `fsPrecision` digits and checks the days fit `leadPrecision`
    // digits (ORA-01873), as storing into INTERVAL DAY(lead) TO SECOND(fs) does.
    OraIntervalDS FitToPrecision(int leadPrecision, int fsPrecision) const;

    // 4-byte BE days + 0x80000000, hours+60, minutes+60, seconds+60, 4-byte BE nanos + 0x80000000.
    void ToBytes11(uint8_t out[11]) const noexcept;
    static OraIntervalDS FromBytes11(const uint8_t in[11]);
    std::string SortKey() const;  // 12 bytes, memcmp order = numeric order

    int Compare(const OraIntervalDS& o) const noexcept;
    bool operator==(const OraIntervalDS& o) const noexcept { return Compare(o) == 0; }
};

}  // namespace ocilite
