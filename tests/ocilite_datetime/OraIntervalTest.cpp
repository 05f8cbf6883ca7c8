// TO_YMINTERVAL / TO_DSINTERVAL input, interval text, precision fitting and byte forms.
// Forms and examples: Oracle SQL Reference TO_YMINTERVAL and TO_DSINTERVAL
// https://docs.oracle.com/cd/E11882_01/server.112/e41084/functions215.htm
// https://docs.oracle.com/cd/E11882_01/server.112/e41084/functions204.htm
// Text shape: OCIIntervalToText (OCI Programmer's Guide), sign always, leading field padded.

#include <gtest/gtest.h>
#include <random>

#include "ocilite/types/OraInterval.h"
#include "tests/ocilite_datetime/DatetimeTestSupport.h"

using namespace ocilite;
using dttest::OraCodeOf;

namespace {

struct YMCase {
    const char* text;
    int64_t months;  // expected total when error == 0
    int lead;
    const char* rendered;
    int error;
};

const YMCase kYMCases[] = {
    {"01-02", 14, 2, "+01-02", 0},
    {"P1Y2M", 14, 2, "+01-02", 0},
    {"-P1Y2M", -14, 2, "-01-02", 0},
    {"-1-2", -14, 9, "-000000001-02", 0},
    {"+1-2", 14, 1, "+1-02", 0},
    {"100 - 10", 1210, 3, "+100-10", 0},
    {"  0-0  ", 0, 2, "+00-00", 0},
    {"P14M", 14, 2, "+01-02", 0},
    {"P1Y2M3DT4H5M6.5S", 14, 2, "+01-02", 0},  // days and time accepted and ignored
    {"P999999999Y", 999999999LL * 12, 9, "+999999999-00", 0},
    {"abc", 0, 2, nullptr, 1867},
    {"", 0, 2, nullptr, 1867},
    {"1", 0, 2, nullptr, 1867},
    {"1-", 0, 2, nullptr, 1867},
    {"1-2x", 0, 2, nullptr, 1867},
    {"P", 0, 2, nullptr, 1867},
    {"P1YT", 0, 2, nullptr, 1867},
    {"P2M1Y", 0, 2, nullptr, 1867},
    {"P 1Y", 0, 2, nullptr, 1867},
    {"1-12", 0, 2, nullptr, 1843},
    {"1000000000-0", 0, 2, nullptr, 1873},
};

TEST(OraIntervalYM, GoldenTable) {
    for (const YMCase& c : kYMCases) {
        SCOPED_TRACE(c.text);
        if (c.error != 0) {
            EXPECT_EQ(OraCodeOf([&] { OraIntervalYM::Parse(c.text); }), c.error);
            continue;
        }
        const OraIntervalYM v = OraIntervalYM::Parse(c.text);
        EXPECT_EQ(v.months, c.months);
        EXPECT_EQ(v.ToText(c.lead), c.rendered);
    }
}

TEST(OraIntervalYM, LeadingPrecisionTooSmall) {
    const OraIntervalYM v = OraIntervalYM::Parse("100-0");
    EXPECT_EQ(OraCodeOf([&] { v.ToText(2); }), 1873);
    EXPECT_EQ(OraCodeOf([&] { v.FitToPrecision(2); }), 1873);
    EXPECT_EQ(OraCodeOf([&] { v.FitToPrecision(3); }), 0);
    try {
        v.FitToPrecision(2);
    } catch (const OraError& e) {
        EXPECT_EQ(e.Message(), "ORA-01873: the leading precision of the interval is too small");
    }
}

TEST(OraIntervalYM, BytesAndSortKey) {
    const OraIntervalYM v{-14};
    uint8_t b[5];
    v.ToBytes5(b);
    EXPECT_EQ(b[0], 0x7F);  // -1 + 0x80000000
    EXPECT_EQ(b[3], 0xFF);
    EXPECT_EQ(b[4], 60 - 2);
    EXPECT_EQ(OraIntervalYM::FromBytes5(b).months, -14);
    EXPECT_LT(OraIntervalYM{-15}.SortKey(), OraIntervalYM{-14}.SortKey());
    EXPECT_LT(OraIntervalYM{-1}.SortKey(), OraIntervalYM{0}.SortKey());
    EXPECT_LT(OraIntervalYM{0}.SortKey(), OraIntervalYM{1}.SortKey());
}

struct DSCase {
    const char* text;
    int lead, fs;
    const char* rendered;
    int error;
};

const DSCase kDSCases[] = {
    {"1 02:03:04.5", 2, 6, "+01 02:03:04.500000", 0},
    {"P1DT2H3M4.5S", 2, 6, "+01 02:03:04.500000", 0},
    {"5 04:03:02.1", 2, 6, "+05 04:03:02.100000", 0},
    {"-P135DT08H35M47.123456789S", 9, 9, "-000000135 08:35:47.123456789", 0},
    {"-1 23:58:34.431152", 9, 9, "-000000001 23:58:34.431152000", 0},
    {"+0 00:00:00", 2, 0, "+00 00:00:00", 0},
    {"1 2:3:4", 1, 2, "+1 02:03:04.00", 0},
    {"100   10:00:00", 3, 6, "+100 10:00:00.000000", 0},
    {"PT36H", 2, 6, "+01 12:00:00.000000", 0},
    {"PT90M", 2, 0, "+00 01:30:00", 0},
    {"P2D", 2, 3, "+02 00:00:00.000", 0},
    {"1 02:03:04.123456789", 2, 3, "+01 02:03:04.123", 0},  // text cuts the fraction
    {"abc", 2, 6, nullptr, 1867},
    {"10:00:00", 2, 6, nullptr, 1867},
    {"1 10:00", 2, 6, nullptr, 1867},
    {"1 10:00:00.1234567890", 2, 6, nullptr, 1867},
    {"P1Y", 2, 6, nullptr, 1867},
    {"P1DT", 2, 6, nullptr, 1867},
    {"PT1S2M", 2, 6, nullptr, 1867},
    {"PT1.5M", 2, 6, nullptr, 1867},
    {"1 24:00:00", 2, 6, nullptr, 1850},
    {"1 10:60:00", 2, 6, nullptr, 1851},
    {"1 10:00:60", 2, 6, nullptr, 1852},
    {"1000000000 00:00:00", 2, 6, nullptr, 1873},
};

TEST(OraIntervalDS, GoldenTable) {
    for (const DSCase& c : kDSCases) {
        SCOPED_TRACE(c.text);
        if (c.error != 0) {
            EXPECT_EQ(OraCodeOf([&] { OraIntervalDS::Parse(c.text); }), c.error);
            continue;
        }
        EXPECT_EQ(OraIntervalDS::Parse(c.text).ToText(c.lead, c.fs), c.rendered);
    }
}

TEST(OraIntervalDS, FitToPrecisionRoundsTheFractionAndChecksTheDays) {
    const OraIntervalDS v = OraIntervalDS::Parse("1 23:59:59.995");
    EXPECT_EQ(v.FitToPrecision(2, 2).ToText(2, 2), "+02 00:00:00.00");
    EXPECT_EQ(v.FitToPrecision(2, 3).ToText(2, 3), "+01 23:59:59.995");
    EXPECT_EQ(OraIntervalDS::Parse("-0 00:00:00.125").FitToPrecision(2, 2).ToText(2, 2), "-00 00:00:00.13");
    EXPECT_EQ(OraCodeOf([&] { OraIntervalDS::Parse("100 00:00:00").FitToPrecision(2, 6); }), 1873);
    EXPECT_EQ(OraCodeOf([&] { OraIntervalDS::Parse("99 23:59:59.9").FitToPrecision(2, 0); }), 1873);
}

TEST(OraIntervalDS, BytesRoundTripAndSortKeysOrderValues) {
    std::mt19937_64 rng(11);
    std::vector<OraIntervalDS> values;
    for (int i = 0; i < 500; ++i) {
        const bool negative = rng() % 2;
        values.push_back(OraIntervalDS::FromParts(
            negative, static_cast<int64_t>(rng() % 1000000), static_cast<int>(rng() % 24), static_cast<int>(rng() % 60),
            static_cast<int>(rng() % 60), static_cast<int32_t>(rng() % 1000000000)));
    }
    for (const OraIntervalDS& v : values) {
        uint8_t b[11];
        v.ToBytes11(b);
        ASSERT_EQ(OraIntervalDS::FromBytes11(b), v);
        ASSERT_EQ(OraIntervalDS::Parse(v.ToText(9, 9)), v) << v.ToText(9, 9);
    }
    for (size_t i = 1; i < values.size(); ++i) {
        const int byKey = values[i - 1].SortKey().compare(values[i].SortKey());
        ASSERT_EQ((byKey > 0) - (byKey < 0), values[i - 1].Compare(values[i]));
    }
    uint8_t b[11];
    OraIntervalDS::Parse("-1 02:03:04.5").ToBytes11(b);
    EXPECT_EQ(b[3], 0xFF);  // -1 day
    EXPECT_EQ(b[4], 60 - 2);
    EXPECT_EQ(b[5], 60 - 3);
    EXPECT_EQ(b[6], 60 - 4);
}

}  // namespace
