// TO_DATE / TO_TIMESTAMP / TO_TIMESTAMP_TZ input, one case per row: the value read, or the ORA
// code raised. "Now" is fixed at 2025-06-15 10:20:30 +02:00 so defaults and RR are stable.
// Rules and examples: Oracle SQL Reference, "Format Models" (datetime format elements, FX, RR,
// String-to-Date Conversion Rules)
// https://docs.oracle.com/cd/B19306_01/server.102/b14200/sql_elements004.htm

#include <gtest/gtest.h>

#include "ocilite/types/DatetimeFormat.h"
#include "tests/ocilite_datetime/DatetimeTestSupport.h"

using namespace ocilite;
using dttest::Canon;
using dttest::OraCodeOf;

namespace {

const OraTimestamp kNow = dttest::Tz(dttest::Ts(2025, 6, 15, 10, 20, 30), 120);

struct ParseCase {
    const char* text;
    const char* format;
    DatetimeKind kind;
    const char* expected;  // Canon() of the value, or nullptr when `error` is expected
    int error;
};

constexpr DatetimeKind D = DatetimeKind::Date;
constexpr DatetimeKind T = DatetimeKind::Timestamp;
constexpr DatetimeKind Z = DatetimeKind::TimestampTz;

const ParseCase kParseCases[] = {
    // The import's default formats.
    {"2024-03-05 13:45:09", "RRRR-MM-DD HH24:MI:SS", D, "02024-03-05 13:45:09.000000000", 0},
    {"2024-03-05 13:45:09.123 +09:00", "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", Z, "02024-03-05 13:45:09.123000000 +09:00",
     0},
    {"2024-03-05 13:45:09.5 -05:30", "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", Z, "02024-03-05 13:45:09.500000000 -05:30", 0},
    {"2024-03-05 13:45:09 +09:00", "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", Z, "02024-03-05 13:45:09.000000000 +09:00", 0},
    {"2024-03-05 13:45:09.123456789", "RRRR-MM-DD HH24:MI:SSXFF", T, "02024-03-05 13:45:09.123456789", 0},
    // Zone missing: the session's offset.
    {"2024-03-05 13:45:09.25", "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", Z, "02024-03-05 13:45:09.250000000 +02:00", 0},
    // Leniency without FX.
    {"2021/01/01", "YYYY-MM-DD", D, "02021-01-01 00:00:00.000000000", 0},
    {"2021 - 01 - 01", "YYYY-MM-DD", D, "02021-01-01 00:00:00.000000000", 0},
    {"20210102", "YYYY-MM-DD", D, "02021-01-02 00:00:00.000000000", 0},
    {"2021-1-2", "YYYY-MM-DD", D, "02021-01-02 00:00:00.000000000", 0},
    {"  2021-01-02", "YYYY-MM-DD", D, "02021-01-02 00:00:00.000000000", 0},
    {"2021-01-02  ", "YYYY-MM-DD", D, "02021-01-02 00:00:00.000000000", 0},
    {"2021-01-02", "YYYY-MM-DD HH24:MI:SS", D, "02021-01-02 00:00:00.000000000", 0},
    {"2021-01-02 10", "YYYY-MM-DD HH24:MI:SS", D, "02021-01-02 10:00:00.000000000", 0},
    {"10AUG2016", "DD-MM-RR", D, "02016-08-10 00:00:00.000000000", 0},
    {"10-August-2016", "DD-MON-YYYY", D, "02016-08-10 00:00:00.000000000", 0},
    {"10-aug-2016", "DD-MONTH-YYYY", D, "02016-08-10 00:00:00.000000000", 0},
    {"January 15, 1989, 11:00 A.M.", "Month dd, YYYY, HH:MI A.M.", D, "01989-01-15 11:00:00.000000000", 0},
    {"2024-03-05T13:45:09", "YYYY-MM-DD\"T\"HH24:MI:SS", D, "02024-03-05 13:45:09.000000000", 0},
    {"2024-03-05t13:45:09", "YYYY-MM-DD\"T\"HH24:MI:SS", D, "02024-03-05 13:45:09.000000000", 0},
    {"Tuesday 2024-03-05", "DAY YYYY-MM-DD", D, "02024-03-05 00:00:00.000000000", 0},
    {"5th of March", "DDTH \"of\" Month", D, "02025-03-05 00:00:00.000000000", 0},
    // Missing elements: current year and month, day 1, midnight.
    {"15", "DD", D, "02025-06-15 00:00:00.000000000", 0},
    {"2020", "YYYY", D, "02020-06-01 00:00:00.000000000", 0},
    {"13:45", "HH24:MI", D, "02025-06-01 13:45:00.000000000", 0},
    // Years: RR pivot in 2025, YY in the current century, YYYY as written.
    {"49", "RR", D, "02049-06-01 00:00:00.000000000", 0},
    {"50", "RR", D, "01950-06-01 00:00:00.000000000", 0},
    {"99", "RR", D, "01999-06-01 00:00:00.000000000", 0},
    {"00", "RR", D, "02000-06-01 00:00:00.000000000", 0},
    {"27-OCT-98", "DD-MON-RR", D, "01998-10-27 00:00:00.000000000", 0},
    {"27-OCT-17", "DD-MON-RR", D, "02017-10-27 00:00:00.000000000", 0},
    {"1850", "RR", D, "01850-06-01 00:00:00.000000000", 0},
    {"98", "RRRR", D, "01998-06-01 00:00:00.000000000", 0},
    {"98", "YY", D, "02098-06-01 00:00:00.000000000", 0},
    {"1998", "YY", D, "01998-06-01 00:00:00.000000000", 0},
    {"98", "YYYY", D, "00098-06-01 00:00:00.000000000", 0},
    {"7", "Y", D, "02027-06-01 00:00:00.000000000", 0},
    {"2,004", "Y,YYY", D, "02004-06-01 00:00:00.000000000", 0},
    {"-0044-03-15", "SYYYY-MM-DD", D, "-0044-03-15 00:00:00.000000000", 0},
    {"0044-03-15 BC", "YYYY-MM-DD BC", D, "-0044-03-15 00:00:00.000000000", 0},
    {"0044-03-15 b.c.", "YYYY-MM-DD B.C.", D, "-0044-03-15 00:00:00.000000000", 0},
    // Other elements.
    {"III-2004", "RM-YYYY", D, "02004-03-01 00:00:00.000000000", 0},
    {"061 2004", "DDD YYYY", D, "02004-03-01 00:00:00.000000000", 0},
    {"2451545", "J", D, "02000-01-01 00:00:00.000000000", 0},
    {"47109", "SSSSS", D, "02025-06-01 13:05:09.000000000", 0},
    {"01:05 PM", "HH:MI AM", D, "02025-06-01 13:05:00.000000000", 0},
    {"12:05 AM", "HH:MI AM", D, "02025-06-01 00:05:00.000000000", 0},
    {"12:05 pm", "HH12:MI P.M.", D, "02025-06-01 12:05:00.000000000", 0},
    {"2024-03-05 13:45:09 UTC", "YYYY-MM-DD HH24:MI:SS TZR", Z, "02024-03-05 13:45:09.000000000 +00:00", 0},
    {"2024-03-05 13:45:09 -03:30", "YYYY-MM-DD HH24:MI:SS TZR", Z, "02024-03-05 13:45:09.000000000 -03:30", 0},
    {"09.1", "SS.FF3", T, "02025-06-01 00:00:09.100000000", 0},
    // FX: exact punctuation and widths; FM relaxes the widths again.
    {"2024-03-05", "FXYYYY-MM-DD", D, "02024-03-05 00:00:00.000000000", 0},
    {"2024-3-5", "FXYYYY-MM-DD", D, nullptr, 1862},
    {"2024/03/05", "FXYYYY-MM-DD", D, nullptr, 1861},
    {"2024-3-5", "FXFMYYYY-MM-DD", D, "02024-03-05 00:00:00.000000000", 0},
    {"10-AUGUST-2016", "FXDD-MM-RR", D, nullptr, 1858},
    {"18/february/2016", "FXDD/MM/YYYY", D, nullptr, 1858},
    {"05-03-2016", "FXDD-MM-RR", D, "02016-03-05 00:00:00.000000000", 0},
    // Errors from the input, with the numbers Oracle gives.
    {"10", "DD-MM-RR", D, nullptr, 1840},
    {"2021-01-01 10:00", "YYYY-MM-DD", D, nullptr, 1830},
    {"2021-01-01T10:00", "YYYY-MM-DD HH24:MI", D, nullptr, 1861},
    {"2024-03-05X13:45:09", "YYYY-MM-DD\"T\"HH24:MI:SS", D, nullptr, 1861},
    {"2021-0x-01", "YYYY-MM-DD", D, nullptr, 1858},
    {"abcd-01-01", "YYYY-MM-DD", D, nullptr, 1858},
    {"2024-13-01", "YYYY-MM-DD", D, nullptr, 1843},
    {"2024-00-01", "YYYY-MM-DD", D, nullptr, 1843},
    {"2024-Foo-01", "YYYY-MON-DD", D, nullptr, 1843},
    {"2024-02-30", "YYYY-MM-DD", D, nullptr, 1839},
    {"2023-02-29", "YYYY-MM-DD", D, nullptr, 1839},
    {"1582-10-10", "YYYY-MM-DD", D, nullptr, 1839},
    {"2024-01-32", "YYYY-MM-DD", D, nullptr, 1847},
    {"2024-01-00", "YYYY-MM-DD", D, nullptr, 1847},
    {"0000-01-01", "YYYY-MM-DD", D, nullptr, 1841},
    {"25:00", "HH24:MI", D, nullptr, 1850},
    {"13:00", "HH:MI", D, nullptr, 1849},
    {"00:00", "HH12:MI", D, nullptr, 1849},
    {"10:60", "HH24:MI", D, nullptr, 1851},
    {"10:10:60", "HH24:MI:SS", D, nullptr, 1852},
    {"86400", "SSSSS", D, nullptr, 1853},
    {"10 47109", "HH24 SSSSS", D, nullptr, 1836},
    {"366 2023", "DDD YYYY", D, nullptr, 1848},
    {"0", "J", D, nullptr, 1854},
    {"5373485", "J", D, nullptr, 1854},
    {"01:05 XM", "HH:MI AM", D, nullptr, 1855},
    {"2004 XD", "YYYY AD", D, nullptr, 1856},
    {"Funday 2024-03-05", "DAY YYYY-MM-DD", D, nullptr, 1846},
    {"13:45 +16:00", "HH24:MI TZH:TZM", Z, nullptr, 1874},
    {"13:45 +01:60", "HH24:MI TZH:TZM", Z, nullptr, 1875},
    {"13:45 Europe/Paris", "HH24:MI TZR", Z, nullptr, 1882},
    {"09.x", "SSXFF", T, nullptr, 1858},
};

TEST(DatetimeParse, GoldenTable) {
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.format);
        const DatetimeFormat f = DatetimeFormat::Compile(c.format, FormatUse::Parse, c.kind);
        if (c.expected != nullptr) {
            OraTimestamp t;
            ASSERT_NO_THROW(t = Parse(c.text, f, c.kind, kNow));
            EXPECT_EQ(Canon(t), c.expected);
            EXPECT_TRUE(t.IsValid());
        } else {
            EXPECT_EQ(OraCodeOf([&] { Parse(c.text, f, c.kind, kNow); }), c.error);
        }
    }
}

TEST(DatetimeParse, MessagesCarryOraclesWording) {
    const DatetimeFormat f = DatetimeFormat::Compile("YYYY-MM-DD", FormatUse::Parse, DatetimeKind::Date);
    const std::pair<const char*, const char*> cases[] = {
        {"2021-01-01 10", "ORA-01830: date format picture ends before converting entire input string"},
        {"2021", "ORA-01840: input value not long enough for date format"},
        {"2021-13-01", "ORA-01843: not a valid month"},
        {"2021-01-32", "ORA-01847: day of month must be between 1 and last day of month"},
        {"2021-02-30", "ORA-01839: date not valid for month specified"},
        {"2021-0x-01", "ORA-01858: a non-numeric character was found where a numeric was expected"},
        {"0000-01-01", "ORA-01841: (full) year must be between -4713 and +9999, and not be 0"},
    };
    for (const auto& [text, message] : cases) {
        try {
            Parse(text, f, DatetimeKind::Date, kNow);
            ADD_FAILURE() << text << " was accepted";
        } catch (const OraError& e) {
            EXPECT_EQ(e.Message(), message);
        }
    }
}

TEST(DatetimeParse, DateKindDropsNothingButTheFraction) {
    const DatetimeFormat f = DatetimeFormat::Compile("YYYY-MM-DD HH24:MI:SS", FormatUse::Parse, DatetimeKind::Date);
    const OraTimestamp t = Parse("2024-03-05 13:45:09", f, DatetimeKind::Date, kNow);
    EXPECT_FALSE(t.hasZone);
    EXPECT_EQ(t.nanos, 0u);
}

}  // namespace
