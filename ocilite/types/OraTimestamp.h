#pragma once
// One value type for every datetime the engine stores: DATE (no fraction, no zone), TIMESTAMP,
// TIMESTAMP WITH TIME ZONE (fixed offset east of UTC) and WITH LOCAL TIME ZONE. Fields hold the
// wall-clock time in the value's own zone; comparisons and sort keys normalise zoned values to UTC.
// The calendar is Julian up to 1582-10-04 and Gregorian from 1582-10-15, as Oracle counts it.

#include <cstdint>
#include <string>

namespace ocilite {

struct OraTimestamp {
    int year = 1;  // -4712..9999, no year 0 (negative = BC)
    int month = 1, day = 1, hour = 0, minute = 0, second = 0;
    uint32_t nanos = 0;  // 0..999999999
    bool hasZone = false;
    int tzMinutes = 0;  // offset east of UTC, meaningful when hasZone

    // Throws OraError with the error Oracle gives for the first field out of range.
    void Validate() const;
    bool IsValid() const noexcept;

    // <0, 0, >0 like memcmp; zoned values are compared as UTC instants, an unzoned value as
    // if its fields were UTC (Oracle compares a TIMESTAMP with a zoned value in the session zone;
    // callers convert first when they need that).
    int Compare(const OraTimestamp& other) const noexcept;
    bool operator==(const OraTimestamp& other) const noexcept { return Compare(other) == 0; }

    // Day number counted like the Julian Day (J format element): 2451545 is 2000-01-01.
    int64_t DayNumber() const noexcept;
    static OraTimestamp FromDayNumber(int64_t dayNumber);
    int DayOfWeek() const noexcept;  // 1 = Sunday .. 7 = Saturday
    int DayOfYear() const noexcept;  // 1..366
    int64_t SecondsOfDay() const noexcept { return hour * 3600 + minute * 60 + second; }

    // Same instant seen at another offset (fields shift, hasZone becomes true).
    OraTimestamp AtOffset(int newTzMinutes) const;
    OraTimestamp ToUtc() const { return AtOffset(0); }
    // Adds whole seconds to the wall-clock fields (may cross days, months and years).
    OraTimestamp PlusSeconds(int64_t seconds) const;

    // The 7-byte internal DATE: century+100, year-of-century+100, month, day, hour+1, minute+1,
    // second+1 (BC years use the same formula with negative parts: -4712 gives 53, 88).
    void ToDate7(uint8_t out[7]) const noexcept;
    static OraTimestamp FromDate7(const uint8_t in[7]);
    // TIMESTAMP: the DATE bytes of the wall-clock time plus 4 big-endian bytes of nanoseconds.
    void ToTimestamp11(uint8_t out[11]) const noexcept;
    static OraTimestamp FromTimestamp11(const uint8_t in[11]);
    // TIMESTAMP WITH TIME ZONE: DATE bytes of the UTC instant, nanoseconds, tz hour + 20, tz minute + 60.
    void ToTimestamp13(uint8_t out[13]) const noexcept;
    static OraTimestamp FromTimestamp13(const uint8_t in[13]);

    // OCIDate, 8 bytes: native sb2 year, ub1 month, day, hour, minute, second (zero-based), padding.
    void ToOCIDate(void* ociDate8) const noexcept;
    static OraTimestamp FromOCIDate(const void* ociDate8) noexcept;  // not validated

    // 11 bytes whose memcmp order is chronological order (UTC for zoned values).
    std::string SortKey() const;

    // Current time from the system clock: local wall time; with a zone, the local offset too.
    static OraTimestamp Now(bool withZone);

    // Calendar helpers.
    static bool IsLeapYear(int year) noexcept;
    static int DaysInMonth(int year, int month) noexcept;
};

}  // namespace ocilite
