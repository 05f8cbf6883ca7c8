#pragma once
// The OCI date, datetime and interval services as C++ functions on raw values: the OCI layer
// wraps each one, turning the OraError it throws into OCI_ERROR and the error handle's text.
// Formats given empty mean the OCI default for the type ("DD-MON-YY" for OCIDate,
// "DD-MON-RR HH.MI.SSXFF AM" for timestamps, with " TZR" for zoned ones). The language may be
// empty, "American" or "English" (any case); anything else raises ORA-12705.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ocilite/types/DatetimeFormat.h"
#include "ocilite/types/OraInterval.h"
#include "ocilite/types/OraTimestamp.h"

namespace ocilite {

// Layout twin of OCIDate (8 bytes, align 2): time fields are zero-based.
struct OciDate {
    int16_t year;
    uint8_t month, day, hour, minute, second, padding;
};
static_assert(sizeof(OciDate) == 8 && alignof(OciDate) == 2, "OCIDate layout");

// OCIDateCheck result bits.
enum : unsigned {
    kOciDateInvalidDay = 0x1,
    kOciDateDayBelowValid = 0x2,
    kOciDateInvalidMonth = 0x4,
    kOciDateMonthBelowValid = 0x8,
    kOciDateInvalidYear = 0x10,
    kOciDateYearBelowValid = 0x20,
    kOciDateInvalidHour = 0x40,
    kOciDateHourBelowValid = 0x80,
    kOciDateInvalidMinute = 0x100,
    kOciDateMinuteBelowValid = 0x200,
    kOciDateInvalidSecond = 0x400,
    kOciDateSecondBelowValid = 0x800,
    kOciDateDayMissingFrom1582 = 0x1000,
    kOciDateYearZero = 0x2000,
    kOciDateInvalidFormat = 0x8000,
};

// OCIDateFromText: TO_DATE semantics relative to the current local date.
void OciDateFromText(std::string_view text, std::string_view fmt, std::string_view lang, OciDate* out);
// OCIDateToText: writes the text (NUL-terminated when room is left) and sets *bufSize to its
// length; ORA-01877 when it does not fit *bufSize.
void OciDateToText(const OciDate& date, std::string_view fmt, std::string_view lang, char* buf, uint32_t* bufSize);
void OciDateSysDate(OciDate* out);
// OCIDateCheck: 0 for a valid date, else the OR of the kOciDate* bits.
unsigned OciDateCheck(const OciDate& date) noexcept;
// OCIDateLastDay: the last day of the date's month, time kept.
void OciDateLastDay(const OciDate& date, OciDate* out);
// OCIDateNextDay: the first day strictly after `date` whose name (full or abbreviated, any case)
// is `dayName`, time kept; ORA-01846 for an unknown name.
void OciDateNextDay(const OciDate& date, std::string_view dayName, OciDate* out);

// OCIDateTimeToText for a descriptor of `kind` holding `value`.
void OciDateTimeToText(const OraTimestamp& value, DatetimeKind kind, std::string_view fmt, int fsprec,
                       std::string_view lang, char* buf, uint32_t* bufSize);
// OCIDateTimeSysTimeStamp: local time with the local offset, microseconds or better.
OraTimestamp OciDateTimeSysTimeStamp();
// OCIIntervalToText; ORA-01877 when the text (plus NUL) does not fit `buflen`.
void OciIntervalToText(const OraIntervalYM& value, int lfprec, char* buf, size_t buflen, size_t* resultLen);
void OciIntervalToText(const OraIntervalDS& value, int lfprec, int fsprec, char* buf, size_t buflen, size_t* resultLen);

// A per-thread cache of compiled models, for callers that convert row after row with one format.
// The reference stays valid until this thread has compiled 16 other models through the cache.
const DatetimeFormat& CachedDatetimeFormat(std::string_view fmt, FormatUse use, DatetimeKind kind);

}  // namespace ocilite
