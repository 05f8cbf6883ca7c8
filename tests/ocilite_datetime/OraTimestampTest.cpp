// The value type: byte forms, calendar, comparison, sort keys and the clock.

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <random>
#include <vector>

#include "ocilite/types/OraTimestamp.h"
#include "tests/ocilite_datetime/DatetimeTestSupport.h"

using namespace ocilite;
using dttest::OraCodeOf;
using dttest::Ts;
using dttest::Tz;

namespace {

// 7-byte DATE: Oracle's own example 1992-11-30 15:17:00 and the BC encoding
// (OCI Programmer's Guide, "DATE" external datatype; python-oracledb / ODPI-C encoders).
struct Date7Case {
    OraTimestamp value;
    std::array<uint8_t, 7> bytes;
};

const Date7Case kDate7Cases[] = {
    {Ts(1992, 11, 30, 15, 17, 0), {119, 192, 11, 30, 16, 18, 1}},
    {Ts(2024, 3, 15, 13, 45, 30), {120, 124, 3, 15, 14, 46, 31}},
    {Ts(2004, 3, 1, 13, 5, 9), {0x78, 0x68, 0x03, 0x01, 0x0E, 0x06, 0x0A}},
    {Ts(1, 1, 1), {100, 101, 1, 1, 1, 1, 1}},
    {Ts(-1, 1, 1), {100, 99, 1, 1, 1, 1, 1}},
    {Ts(-101, 1, 1), {99, 99, 1, 1, 1, 1, 1}},
    {Ts(-4712, 1, 1), {53, 88, 1, 1, 1, 1, 1}},
    {Ts(9999, 12, 31, 23, 59, 59), {199, 199, 12, 31, 24, 60, 60}},
};

TEST(OraTimestamp, Date7Bytes) {
    for (const Date7Case& c : kDate7Cases) {
        SCOPED_TRACE(dttest::Canon(c.value));
        std::array<uint8_t, 7> bytes{};
        c.value.ToDate7(bytes.data());
        EXPECT_EQ(bytes, c.bytes);
        EXPECT_EQ(dttest::Canon(OraTimestamp::FromDate7(c.bytes.data())), dttest::Canon(c.value));
    }
}

TEST(OraTimestamp, Timestamp11And13Bytes) {
    const OraTimestamp t = Ts(2004, 3, 1, 13, 5, 9, 123456789);
    uint8_t b11[11];
    t.ToTimestamp11(b11);
    EXPECT_EQ(b11[7], 0x07);  // 123456789 = 0x075BCD15
    EXPECT_EQ(b11[8], 0x5B);
    EXPECT_EQ(b11[9], 0xCD);
    EXPECT_EQ(b11[10], 0x15);
    EXPECT_EQ(dttest::Canon(OraTimestamp::FromTimestamp11(b11)), dttest::Canon(t));

    // Zoned: the date bytes hold the UTC instant; the zone bytes hour+20, minute+60.
    const OraTimestamp z = Tz(Ts(2004, 3, 1, 5, 0, 0, 5), -(5 * 60 + 30));
    uint8_t b13[13];
    z.ToTimestamp13(b13);
    EXPECT_EQ(b13[3], 1);
    EXPECT_EQ(b13[4], 10 + 1);  // 05:00 -05:30 is 10:30 UTC
    EXPECT_EQ(b13[5], 30 + 1);
    EXPECT_EQ(b13[11], 20 - 5);
    EXPECT_EQ(b13[12], 60 - 30);
    EXPECT_EQ(dttest::Canon(OraTimestamp::FromTimestamp13(b13)), dttest::Canon(z));
}

TEST(OraTimestamp, OciDateLayout) {
    const OraTimestamp t = Ts(-4712, 12, 31, 23, 58, 57);
    uint8_t raw[8];
    std::memset(raw, 0xEE, sizeof raw);
    t.ToOCIDate(raw);
    int16_t year;
    std::memcpy(&year, raw, 2);
    EXPECT_EQ(year, -4712);
    EXPECT_EQ(raw[2], 12);
    EXPECT_EQ(raw[3], 31);
    EXPECT_EQ(raw[4], 23);  // zero-based time fields, unlike the 7-byte DATE
    EXPECT_EQ(raw[5], 58);
    EXPECT_EQ(raw[6], 57);
    EXPECT_EQ(dttest::Canon(OraTimestamp::FromOCIDate(raw)), dttest::Canon(t));
}

TEST(OraTimestamp, CalendarSwitchesFromJulianToGregorianIn1582) {
    const OraTimestamp before = Ts(1582, 10, 4);
    EXPECT_EQ(OraTimestamp::FromDayNumber(before.DayNumber() + 1).day, 15);
    EXPECT_TRUE(OraTimestamp::IsLeapYear(1500));  // Julian rule
    EXPECT_FALSE(OraTimestamp::IsLeapYear(1700));
    EXPECT_FALSE(OraTimestamp::IsLeapYear(1900));
    EXPECT_TRUE(OraTimestamp::IsLeapYear(2000));
    EXPECT_TRUE(OraTimestamp::IsLeapYear(-1));  // 1 BC
    EXPECT_EQ(Ts(2004, 3, 1).DayOfWeek(), 2);   // Monday; Sunday is 1
    EXPECT_EQ(Ts(2000, 1, 1).DayNumber(), 2451545);
    EXPECT_EQ(Ts(2004, 12, 31).DayOfYear(), 366);
    EXPECT_EQ(Ts(1582, 12, 31).DayOfYear(), 355);  // ten days were skipped
}

TEST(OraTimestamp, DayNumbersRoundTripOverTheWholeRange) {
    int64_t previous = Ts(-4712, 1, 1).DayNumber() - 1;
    for (int year : {-4712, -1, 1, 1582, 1583, 2024, 9999}) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= OraTimestamp::DaysInMonth(year, month); ++day) {
                if (year == 1582 && month == 10 && day > 4 && day < 15) continue;
                const OraTimestamp t = Ts(year, month, day);
                const int64_t n = t.DayNumber();
                const OraTimestamp back = OraTimestamp::FromDayNumber(n);
                ASSERT_EQ(dttest::Canon(back), dttest::Canon(t));
                ASSERT_GT(n, previous);
                previous = n;
            }
        }
    }
}

TEST(OraTimestamp, ValidateRaisesTheFieldsError) {
    const std::pair<OraTimestamp, int> cases[] = {
        {Ts(0, 1, 1), 1841},
        {Ts(10000, 1, 1), 1841},
        {Ts(-4713, 1, 1), 1841},
        {Ts(2024, 13, 1), 1843},
        {Ts(2024, 1, 32), 1847},
        {Ts(2023, 2, 29), 1839},
        {Ts(1582, 10, 5), 1839},
        {Ts(2024, 1, 1, 24), 1850},
        {Ts(2024, 1, 1, 0, 60), 1851},
        {Ts(2024, 1, 1, 0, 0, 60), 1852},
        {Ts(2024, 1, 1, 0, 0, 0, 1000000000), 1880},
        {Tz(Ts(2024, 1, 1), 16 * 60), 1874},
        {Ts(2024, 2, 29), 0},
    };
    for (const auto& [value, code] : cases) {
        SCOPED_TRACE(dttest::Canon(value));
        EXPECT_EQ(OraCodeOf([&] { value.Validate(); }), code);
        EXPECT_EQ(value.IsValid(), code == 0);
    }
}

TEST(OraTimestamp, ZonedValuesCompareAsInstants) {
    const OraTimestamp tokyo = Tz(Ts(2004, 3, 1, 9, 0, 0), 9 * 60);
    const OraTimestamp utc = Tz(Ts(2004, 3, 1, 0, 0, 0), 0);
    const OraTimestamp ny = Tz(Ts(2004, 2, 29, 19, 0, 0), -5 * 60);
    EXPECT_EQ(tokyo.Compare(utc), 0);
    EXPECT_EQ(ny.Compare(utc), 0);
    EXPECT_EQ(tokyo.SortKey(), ny.SortKey());
    EXPECT_LT(Tz(Ts(2004, 3, 1, 9, 0, 0), 10 * 60).Compare(tokyo), 0);
    EXPECT_EQ(dttest::Canon(ny.AtOffset(9 * 60)), dttest::Canon(tokyo));
}

TEST(OraTimestamp, SortKeyOrderIsChronologicalOrder) {
    std::mt19937_64 rng(7);
    std::vector<OraTimestamp> values;
    for (int i = 0; i < 2000; ++i) {
        OraTimestamp t =
            OraTimestamp::FromDayNumber(Ts(-4712, 1, 1).DayNumber() + static_cast<int64_t>(rng() % 5373000));
        t.hour = static_cast<int>(rng() % 24);
        t.nanos = static_cast<uint32_t>(rng() % 3);
        if (rng() % 2) {
            t.hasZone = true;
            t.tzMinutes = static_cast<int>(rng() % 1500) - 750;
        }
        values.push_back(t);
    }
    for (size_t i = 1; i < values.size(); ++i) {
        const int byKey = values[i - 1].SortKey().compare(values[i].SortKey());
        const int byValue = values[i - 1].Compare(values[i]);
        ASSERT_EQ((byKey > 0) - (byKey < 0), byValue)
            << dttest::Canon(values[i - 1]) << " vs " << dttest::Canon(values[i]);
    }
}

TEST(OraTimestamp, NowFollowsTheSystemClockAndZone) {
    const time_t before = time(nullptr);
    const OraTimestamp local = OraTimestamp::Now(false);
    const OraTimestamp zoned = OraTimestamp::Now(true);
    const time_t after = time(nullptr);
    EXPECT_FALSE(local.hasZone);
    EXPECT_TRUE(local.IsValid());
    ASSERT_TRUE(zoned.hasZone);
    std::tm utc{};
    gmtime_r(&before, &utc);
    const OraTimestamp utcBefore =
        Tz(Ts(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec), 0);
    const OraTimestamp seen = zoned.ToUtc();
    OraTimestamp seenWhole = seen;
    seenWhole.nanos = 0;
    EXPECT_GE(seenWhole.Compare(utcBefore), 0);
    EXPECT_LE(seenWhole.Compare(utcBefore.PlusSeconds(after - before + 1)), 0);
    // The zone is the local offset of that moment: of the start or of the end of the call,
    // should a daylight-saving change fall in between.
    std::tm localBefore{};
    std::tm localAfter{};
    localtime_r(&before, &localBefore);
    localtime_r(&after, &localAfter);
    EXPECT_TRUE(zoned.tzMinutes == static_cast<int>(localBefore.tm_gmtoff / 60) ||
                zoned.tzMinutes == static_cast<int>(localAfter.tm_gmtoff / 60))
        << zoned.tzMinutes;
}

}  // namespace
