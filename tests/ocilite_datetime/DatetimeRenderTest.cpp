// TO_CHAR / OCIDateTimeToText output, one case per row.
// Element meanings and examples: Oracle SQL Reference, "Format Models", datetime format elements
// https://docs.oracle.com/cd/B19306_01/server.102/b14200/sql_elements004.htm

#include <gtest/gtest.h>

#include "ocilite/types/DatetimeFormat.h"
#include "tests/ocilite_datetime/DatetimeTestSupport.h"

using namespace ocilite;
using dttest::Ts;
using dttest::Tz;

namespace {

struct RenderCase {
    OraTimestamp value;
    DatetimeKind kind;
    const char* format;
    int fsprec;
    const char* expected;
};

const OraTimestamp kMonday = Ts(2004, 3, 1, 13, 5, 9);                        // a Monday, leap year
const OraTimestamp kZoned = Tz(Ts(2004, 3, 1, 13, 5, 9, 123456000), 9 * 60);  // +09:00

const RenderCase kRenderCases[] = {
    // The program's default display formats.
    {kMonday, DatetimeKind::Date, "YYYY/MM/DD HH24:MI:SS", 0, "2004/03/01 13:05:09"},
    {kZoned, DatetimeKind::TimestampTz, "YYYY/MM/DD HH24:MI:SSXFF TZH:TZM", 6, "2004/03/01 13:05:09.123456 +09:00"},
    {kZoned, DatetimeKind::TimestampTz, "YYYY/MM/DD HH24:MI:SSXFF TZH:TZM", 3, "2004/03/01 13:05:09.123 +09:00"},
    {kZoned, DatetimeKind::TimestampTz, "YYYY/MM/DD HH24:MI:SSXFF TZH:TZM", 9, "2004/03/01 13:05:09.123456000 +09:00"},
    {kZoned, DatetimeKind::TimestampTz, "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", 6, "2004-03-01 13:05:09.123456 +09:00"},
    {kZoned, DatetimeKind::Timestamp, "HH24:MI:SS.FF2", 6, "13:05:09.12"},  // FFn cuts
    {kZoned, DatetimeKind::Timestamp, "SSXFF", 0, "09."},
    {Tz(kMonday, -30), DatetimeKind::TimestampTz, "TZH:TZM", 0, "-00:30"},
    {Tz(kMonday, -300), DatetimeKind::TimestampTz, "TZH:TZM TZR", 0, "-05:00 -05:00"},
    {Tz(kMonday, 0), DatetimeKind::TimestampTz, "TZH:TZM", 0, "+00:00"},
    // Years.
    {kMonday, DatetimeKind::Date, "YYYY YYY YY Y", 0, "2004 004 04 4"},
    {kMonday, DatetimeKind::Date, "RRRR RR", 0, "2004 04"},
    {kMonday, DatetimeKind::Date, "Y,YYY", 0, "2,004"},
    {kMonday, DatetimeKind::Date, "SYYYY", 0, " 2004"},
    {Ts(-44, 3, 15), DatetimeKind::Date, "SYYYY", 0, "-0044"},
    {Ts(-44, 3, 15), DatetimeKind::Date, "YYYY BC", 0, "0044 BC"},
    {kMonday, DatetimeKind::Date, "YYYY B.C.", 0, "2004 A.D."},
    {kMonday, DatetimeKind::Date, "yyyy ad", 0, "2004 ad"},
    {Ts(44, 1, 1), DatetimeKind::Date, "YYYY", 0, "0044"},
    {Ts(44, 1, 1), DatetimeKind::Date, "FMYYYY", 0, "44"},
    // CC: "2002 returns 21; 2000 returns 20" (documentation example).
    {Ts(2002, 1, 1), DatetimeKind::Date, "CC", 0, "21"},
    {Ts(2000, 1, 1), DatetimeKind::Date, "CC", 0, "20"},
    {kMonday, DatetimeKind::Date, "YEAR", 0, "TWO THOUSAND FOUR"},
    {Ts(1998, 1, 1), DatetimeKind::Date, "Year", 0, "Nineteen Ninety-Eight"},
    {Ts(1900, 1, 1), DatetimeKind::Date, "year", 0, "nineteen hundred"},
    // Months, quarter, weeks.
    {kMonday, DatetimeKind::Date, "MM MON Mon mon", 0, "03 MAR Mar mar"},
    {kMonday, DatetimeKind::Date, "MONTH|Month|month|", 0, "MARCH    |March    |march    |"},
    {kMonday, DatetimeKind::Date, "FMMonth DD", 0, "March 1"},
    {Ts(2004, 9, 1), DatetimeKind::Date, "Month|", 0, "September|"},
    {kMonday, DatetimeKind::Date, "RM|rm|FMRM", 0, "III |iii |III"},
    {kMonday, DatetimeKind::Date, "Q WW W IW", 0, "1 09 1 10"},
    {Ts(2021, 1, 1), DatetimeKind::Date, "IYYY-IW IY I", 0, "2020-53 20 0"},
    // Days.
    {kMonday, DatetimeKind::Date, "DD DDD D", 0, "01 061 2"},
    {kMonday, DatetimeKind::Date, "DAY|Day|DY|Dy|dy", 0, "MONDAY   |Monday   |MON|Mon|mon"},
    {Ts(2004, 3, 3), DatetimeKind::Date, "Day|", 0, "Wednesday|"},
    {kMonday, DatetimeKind::Date, "DDTH DDth fmDDth", 0, "01ST 01st 1st"},
    {Ts(2004, 3, 12), DatetimeKind::Date, "fmDDTH", 0, "12TH"},
    {Ts(2004, 3, 22), DatetimeKind::Date, "fmDDTH", 0, "22ND"},
    // "3RD of April, 1998" (documentation example with fmDDTH and fmMonth).
    {Ts(1998, 4, 3), DatetimeKind::Date, "fmDDTH \"of\" Month, YYYY", 0, "3RD of April, 1998"},
    {Ts(2000, 1, 1), DatetimeKind::Date, "J", 0, "2451545"},
    // Time of day.
    {kMonday, DatetimeKind::Date, "HH:MI:SS AM", 0, "01:05:09 PM"},
    {kMonday, DatetimeKind::Date, "HH12:MI a.m.", 0, "01:05 p.m."},
    {Ts(2004, 3, 1, 0, 5, 0), DatetimeKind::Date, "HH HH24 PM", 0, "12 00 AM"},
    {Ts(2004, 3, 1, 0, 5, 0), DatetimeKind::Date, "FMHH24:MI", 0, "0:5"},
    {Ts(2004, 3, 1, 12, 0, 0), DatetimeKind::Date, "HH P.M.", 0, "12 P.M."},
    {kMonday, DatetimeKind::Date, "SSSSS", 0, "47109"},
    // Short and long formats of the American territory.
    {kMonday, DatetimeKind::Date, "DS", 0, "03/01/2004"},
    {kMonday, DatetimeKind::Date, "DL", 0, "Monday, March 1, 2004"},
    {kMonday, DatetimeKind::Date, "TS", 0, "1:05:09 PM"},
    // Quoted text and punctuation are copied; FM toggles.
    {kMonday, DatetimeKind::Date, "\"Day\" DD, \"at\" HH24", 0, "Day 01, at 13"},
    {kMonday, DatetimeKind::Date, "FMDD FMDD", 0, "1 01"},
    {kMonday, DatetimeKind::Date, "YYYY;MM:DD.", 0, "2004;03:01."},
};

TEST(DatetimeRender, GoldenTable) {
    for (const RenderCase& c : kRenderCases) {
        SCOPED_TRACE(c.format);
        const DatetimeFormat f = DatetimeFormat::Compile(c.format, FormatUse::Render, c.kind);
        EXPECT_EQ(Render(c.value, f, c.fsprec), c.expected);
    }
}

TEST(DatetimeRender, RenderToAppendsToTheBuffer) {
    const DatetimeFormat f = DatetimeFormat::Compile("YYYY", FormatUse::Render, DatetimeKind::Date);
    std::string out = "x=";
    RenderTo(out, kMonday, f, 0);
    RenderTo(out, Ts(1999, 1, 1), f, 0);
    EXPECT_EQ(out, "x=20041999");
}

TEST(DatetimeRender, BoundaryYearsRender) {
    const DatetimeFormat f =
        DatetimeFormat::Compile("SYYYY-MM-DD HH24:MI:SS BC J", FormatUse::Render, DatetimeKind::Date);
    EXPECT_EQ(Render(Ts(9999, 12, 31, 23, 59, 59), f, 0), " 9999-12-31 23:59:59 AD 5373484");
    EXPECT_EQ(Render(Ts(1582, 10, 15), f, 0), " 1582-10-15 00:00:00 AD 2299161");
    EXPECT_EQ(Render(Ts(1582, 10, 4), f, 0), " 1582-10-04 00:00:00 AD 2299160");
}

}  // namespace
