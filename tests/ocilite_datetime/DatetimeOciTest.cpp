// The OCI date services as the OCI layer calls them, including the format checks the program
// runs on a user's date and timestamp formats (render the current date; accepted when nothing
// is raised).

#include <cstring>
#include <gtest/gtest.h>

#include "ocilite/types/DatetimeOci.h"
#include "tests/ocilite_datetime/DatetimeTestSupport.h"

using namespace ocilite;
using dttest::OraCodeOf;

namespace {

OciDate Date(int16_t y, uint8_t mo, uint8_t d, uint8_t h = 0, uint8_t mi = 0, uint8_t s = 0) {
    OciDate date{};
    date.year = y;
    date.month = mo;
    date.day = d;
    date.hour = h;
    date.minute = mi;
    date.second = s;
    return date;
}

std::string DateToText(const OciDate& d, std::string_view fmt, uint32_t size = 256) {
    char buf[256];
    uint32_t len = size;
    OciDateToText(d, fmt, "American", buf, &len);
    return std::string(buf, len);
}

TEST(DatetimeOci, DateToText) {
    const OciDate d = Date(2004, 3, 1, 13, 5, 9);
    EXPECT_EQ(DateToText(d, "YYYY/MM/DD HH24:MI:SS"), "2004/03/01 13:05:09");
    EXPECT_EQ(DateToText(d, "yyyy-mm-dd hh24:mi:ss"), "2004-03-01 13:05:09");
    EXPECT_EQ(DateToText(d, ""), "01-MAR-04");
    EXPECT_EQ(DateToText(d, "YYYY", 4), "2004");
    EXPECT_EQ(OraCodeOf([&] { DateToText(d, "YYYY/MM/DD", 9); }), 1877);
    EXPECT_EQ(OraCodeOf([&] { DateToText(d, "YYYY-MM-DD HH24:MI:SSXFF"); }), 1821);
    EXPECT_EQ(OraCodeOf([&] { DateToText(Date(2004, 2, 30), "YYYY"); }), 1839);
    char buf[64];
    uint32_t len = sizeof buf;
    EXPECT_EQ(OraCodeOf([&] { OciDateToText(d, "YYYY", "Klingon", buf, &len); }), 12705);
    len = sizeof buf;
    OciDateToText(d, "DD", "", buf, &len);
    EXPECT_STREQ(buf, "01");  // NUL-terminated when there is room
}

TEST(DatetimeOci, DateFromText) {
    OciDate d{};
    OciDateFromText("2024-03-05 13:45:09", "RRRR-MM-DD HH24:MI:SS", "American", &d);
    EXPECT_EQ(d.year, 2024);
    EXPECT_EQ(d.month, 3);
    EXPECT_EQ(d.day, 5);
    EXPECT_EQ(d.hour, 13);
    EXPECT_EQ(d.minute, 45);
    EXPECT_EQ(d.second, 9);
    OciDateFromText("05-MAR-2024", "", "", &d);  // "DD-MON-YY" takes four digits too
    EXPECT_EQ(d.year, 2024);
    EXPECT_EQ(OraCodeOf([&] { OciDateFromText("2024-02-30", "YYYY-MM-DD", "", &d); }), 1839);
}

TEST(DatetimeOci, DateCheckBits) {
    const std::pair<OciDate, unsigned> cases[] = {
        {Date(2024, 2, 29, 23, 59, 59), 0u},
        {Date(2023, 2, 29), kOciDateInvalidDay},
        {Date(2024, 13, 1), kOciDateInvalidMonth},
        {Date(2024, 0, 1), kOciDateMonthBelowValid},
        {Date(2024, 1, 0), kOciDateDayBelowValid},
        {Date(0, 1, 1), kOciDateYearZero},
        {Date(-4713, 1, 1), kOciDateYearBelowValid},
        {Date(1582, 10, 10), kOciDateDayMissingFrom1582},
        {Date(2024, 1, 1, 24, 60, 60), kOciDateInvalidHour | kOciDateInvalidMinute | kOciDateInvalidSecond},
    };
    for (const auto& [date, bits] : cases)
        EXPECT_EQ(OciDateCheck(date), bits) << date.year << "-" << int(date.month) << "-" << int(date.day);
}

TEST(DatetimeOci, LastDayAndNextDay) {
    OciDate out{};
    OciDateLastDay(Date(2024, 2, 10, 8, 30, 0), &out);
    EXPECT_EQ(out.day, 29);
    EXPECT_EQ(out.hour, 8);
    OciDateLastDay(Date(2023, 2, 10), &out);
    EXPECT_EQ(out.day, 28);
    OciDateNextDay(Date(2004, 3, 1, 7), "MONDAY", &out);  // a Monday: the next one
    EXPECT_EQ(out.day, 8);
    EXPECT_EQ(out.hour, 7);
    OciDateNextDay(Date(2004, 3, 1), "tue", &out);
    EXPECT_EQ(out.day, 2);
    OciDateNextDay(Date(2004, 12, 30), "Saturday", &out);
    EXPECT_EQ(out.year, 2005);
    EXPECT_EQ(out.month, 1);
    EXPECT_EQ(out.day, 1);
    EXPECT_EQ(OraCodeOf([&] { OciDateNextDay(Date(2004, 3, 1), "Blursday", &out); }), 1846);
}

TEST(DatetimeOci, DateTimeToText) {
    const OraTimestamp z = dttest::Tz(dttest::Ts(2004, 3, 1, 13, 5, 9, 123456000), 9 * 60);
    char buf[256];
    uint32_t len = sizeof buf;
    OciDateTimeToText(z, DatetimeKind::TimestampTz, "", 6, "", buf, &len);
    EXPECT_EQ(std::string(buf, len), "01-MAR-04 01.05.09.123456 PM +09:00");
    len = sizeof buf;
    OciDateTimeToText(z, DatetimeKind::TimestampTz, "YYYY/MM/DD HH24:MI:SSXFF TZH:TZM", 6, "", buf, &len);
    EXPECT_EQ(std::string(buf, len), "2004/03/01 13:05:09.123456 +09:00");
    len = sizeof buf;
    OciDateTimeToText(z, DatetimeKind::Timestamp, "", 3, "", buf, &len);
    EXPECT_EQ(std::string(buf, len), "01-MAR-04 01.05.09.123 PM");
}

TEST(DatetimeOci, IntervalToText) {
    char buf[32];
    size_t len = 0;
    OciIntervalToText(OraIntervalYM{27}, 2, buf, sizeof buf, &len);
    EXPECT_EQ(std::string(buf, len), "+02-03");
    OciIntervalToText(OraIntervalDS::Parse("5 04:03:02.1"), 2, 6, buf, sizeof buf, &len);
    EXPECT_EQ(std::string(buf, len), "+05 04:03:02.100000");
    EXPECT_EQ(OraCodeOf([&] { OciIntervalToText(OraIntervalYM{27}, 2, buf, 6, &len); }), 1877);
}

// The program's format checks: the current date rendered with the user's format.
bool DateFormatAccepted(std::string_view fmt) {
    OciDate now{};
    OciDateSysDate(&now);
    return OraCodeOf([&] { DateToText(now, fmt); }) == 0;
}

bool TimestampFormatAccepted(std::string_view fmt) {
    const OraTimestamp now = OciDateTimeSysTimeStamp();
    char buf[256];
    uint32_t len = sizeof buf;
    return OraCodeOf([&] { OciDateTimeToText(now, DatetimeKind::TimestampTz, fmt, 6, "", buf, &len); }) == 0;
}

TEST(DatetimeOci, FormatChecksOnTheCurrentTime) {
    EXPECT_TRUE(DateFormatAccepted("RRRR-MM-DD HH24:MI:SS"));
    EXPECT_TRUE(DateFormatAccepted("YYYY/MM/DD"));
    EXPECT_FALSE(DateFormatAccepted("RRRR-MM-DD HH24:MI:SSXFF TZH:TZM"));
    EXPECT_FALSE(DateFormatAccepted("not a format"));
    EXPECT_TRUE(TimestampFormatAccepted("RRRR-MM-DD HH24:MI:SSXFF TZH:TZM"));
    EXPECT_TRUE(TimestampFormatAccepted("YYYY/MM/DD HH24:MI:SSXFF TZH:TZM"));
    EXPECT_FALSE(TimestampFormatAccepted("RRRR-MM-DD HH24:MI:SSXFF TZH:TZM QQQ\""));
}

TEST(DatetimeOci, SysDateIsValidLocalTime) {
    OciDate d{};
    OciDateSysDate(&d);
    EXPECT_EQ(OciDateCheck(d), 0u);
    const OraTimestamp ts = OciDateTimeSysTimeStamp();
    EXPECT_TRUE(ts.hasZone);
    EXPECT_TRUE(ts.IsValid());
}

TEST(DatetimeOci, CachedFormatsAreReused) {
    const DatetimeFormat& a = CachedDatetimeFormat("YYYY-MM-DD", FormatUse::Parse, DatetimeKind::Date);
    const DatetimeFormat& b = CachedDatetimeFormat("YYYY-MM-DD", FormatUse::Parse, DatetimeKind::Date);
    EXPECT_EQ(&a, &b);
    const DatetimeFormat& c = CachedDatetimeFormat("YYYY-MM-DD", FormatUse::Render, DatetimeKind::Date);
    EXPECT_NE(&a, &c);
    EXPECT_EQ(OraCodeOf([] { CachedDatetimeFormat("YYYY-MM-DD FF", FormatUse::Parse, DatetimeKind::Date); }), 1821);
}

}  // namespace
