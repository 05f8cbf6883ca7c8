// Every value written with a model that holds all of its fields reads back to the same value,
// and writing it again gives the same text.

#include <gtest/gtest.h>
#include <random>

#include "ocilite/types/DatetimeFormat.h"
#include "tests/ocilite_datetime/DatetimeTestSupport.h"

using namespace ocilite;

namespace {

struct RoundTripModel {
    const char* format;
    DatetimeKind kind;
    int fsprec;
    bool bcYears;  // the model can carry years before 1 AD
};

const RoundTripModel kModels[] = {
    {"RRRR-MM-DD HH24:MI:SS", DatetimeKind::Date, 0, false},
    {"YYYY/MM/DD HH24:MI:SS", DatetimeKind::Date, 0, false},
    {"DD-MON-YYYY HH:MI:SS AM", DatetimeKind::Date, 0, false},
    {"fmDay, Month DD, YYYY HH12:MI:SS P.M.", DatetimeKind::Date, 0, false},
    {"YYYYMMDDHH24MISS", DatetimeKind::Date, 0, false},
    {"SYYYY-MM-DD HH24:MI:SS", DatetimeKind::Date, 0, true},
    {"YYYY-MM-DD HH24:MI:SS BC", DatetimeKind::Date, 0, true},
    {"J SSSSS", DatetimeKind::Date, 0, false},
    {"DDD YYYY HH24:MI:SS", DatetimeKind::Date, 0, false},
    {"RM DD YYYY HH24 MI SS", DatetimeKind::Date, 0, false},
    {"RRRR-MM-DD HH24:MI:SSXFF", DatetimeKind::Timestamp, 9, false},
    {"RRRR-MM-DD HH24:MI:SSXFF9 TZH:TZM", DatetimeKind::TimestampTz, 9, false},
    {"YYYY-MM-DD\"T\"HH24:MI:SS.FF9TZR", DatetimeKind::TimestampTz, 9, false},
};

OraTimestamp RandomValue(std::mt19937_64& rng, const RoundTripModel& m) {
    const int64_t firstDay = OraTimestamp{m.bcYears ? -4712 : 1, 1, 1}.DayNumber();
    const int64_t lastDay = OraTimestamp{9999, 12, 31}.DayNumber();
    OraTimestamp t = OraTimestamp::FromDayNumber(std::uniform_int_distribution<int64_t>(firstDay, lastDay)(rng));
    t.hour = static_cast<int>(rng() % 24);
    t.minute = static_cast<int>(rng() % 60);
    t.second = static_cast<int>(rng() % 60);
    if (m.kind != DatetimeKind::Date) t.nanos = static_cast<uint32_t>(rng() % 1000000000);
    if (m.kind == DatetimeKind::TimestampTz) {
        t.hasZone = true;
        t.tzMinutes = static_cast<int>(rng() % (14 * 60 * 2 + 1)) - 14 * 60;
    }
    return t;
}

TEST(DatetimeRoundTrip, RenderThenParseGivesTheValueBack) {
    std::mt19937_64 rng(20240305);
    const OraTimestamp now = dttest::Tz(dttest::Ts(2025, 6, 15), 0);
    for (const RoundTripModel& m : kModels) {
        SCOPED_TRACE(m.format);
        const DatetimeFormat out = DatetimeFormat::Compile(m.format, FormatUse::Render, m.kind);
        const DatetimeFormat in = DatetimeFormat::Compile(m.format, FormatUse::Parse, m.kind);
        for (int i = 0; i < 3000; ++i) {
            const OraTimestamp value = RandomValue(rng, m);
            ASSERT_TRUE(value.IsValid()) << dttest::Canon(value);
            const std::string text = Render(value, out, m.fsprec);
            OraTimestamp back;
            ASSERT_NO_THROW(back = Parse(text, in, m.kind, now)) << text;
            ASSERT_EQ(dttest::Canon(back), dttest::Canon(value)) << text;
            ASSERT_EQ(Render(back, out, m.fsprec), text);
        }
    }
}

}  // namespace
