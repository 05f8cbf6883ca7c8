// Errors raised while compiling a format model, before any input is read.
// Source of the numbers and texts: Oracle Database Error Messages, ORA-01800 to ORA-01899
// https://docs.oracle.com/cd/A58617_01/server.804/a58312/newch227.htm

#include <gtest/gtest.h>

#include "ocilite/types/DatetimeFormat.h"
#include "tests/ocilite_datetime/DatetimeTestSupport.h"

using namespace ocilite;
using dttest::OraCodeOf;

namespace {

struct CompileCase {
    const char* format;
    FormatUse use;
    DatetimeKind kind;
    int error;  // 0: compiles
};

constexpr FormatUse P = FormatUse::Parse;
constexpr FormatUse R = FormatUse::Render;
constexpr DatetimeKind D = DatetimeKind::Date;
constexpr DatetimeKind T = DatetimeKind::Timestamp;
constexpr DatetimeKind Z = DatetimeKind::TimestampTz;
constexpr DatetimeKind L = DatetimeKind::TimestampLtz;

const CompileCase kCompileCases[] = {
    {"RRRR-MM-DD HH24:MI:SS", P, D, 0},
    {"RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", P, Z, 0},
    {"yyyy-mm-dd hh24:mi:ss", R, D, 0},
    // Fractions on a DATE, zones without a zone: not recognized.
    {"YYYY-MM-DD HH24:MI:SSXFF", R, D, 1821},
    {"YYYY-MM-DD HH24:MI:SS.FF3", P, D, 1821},
    {"YYYY-MM-DD HH24:MI:SSXFF TZH:TZM", R, T, 1821},
    {"YYYY-MM-DD HH24:MI:SSXFF TZR", P, T, 1821},
    {"YYYY-MM-DD HH24:MI:SSXFF TZH:TZM", R, L, 0},
    {"YYYY-MM-DD HH24:MI:SSXFF TZH:TZM", P, L, 1821},
    // Unknown elements and broken quotes.
    {"ABC", R, D, 1821},
    {"YYYY-MM-DD HH24:MI:SS Z", R, D, 1821},
    {"HH25", R, D, 1821},
    {"\"unterminated", R, D, 1821},
    {"EE", R, D, 1821},
    // Duplicates and conflicts in input models.
    {"YYYY-MM-DD MM", P, D, 1810},
    {"YYYY-MM-DD MM", R, D, 0},
    {"AM PM", P, D, 1810},
    {"YYYY RR", P, D, 1812},
    {"HH HH24", P, D, 1813},
    {"AM A.M.", P, D, 1814},
    {"AD B.C.", P, D, 1815},
    {"MM MON", P, D, 1816},
    {"D DY", P, D, 1817},
    {"HH24:MI AM", P, D, 1818},
    {"SYYYY BC", P, D, 1819},
    {"J DDD", P, D, 1811},
    // Output-only elements in an input model.
    {"Q", P, D, 1820},
    {"WW YYYY", P, D, 1820},
    {"IYYY", P, D, 1820},
    {"CC", P, D, 1820},
    {"YEAR", P, D, 1820},
    {"Q WW W IW IYYY CC SCC YEAR", R, D, 0},
};

TEST(DatetimeFormatCompile, GoldenTable) {
    for (const CompileCase& c : kCompileCases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(OraCodeOf([&] { DatetimeFormat::Compile(c.format, c.use, c.kind); }), c.error);
    }
}

TEST(DatetimeFormatCompile, ErrorTexts) {
    const std::pair<const char*, const char*> cases[] = {
        {"ABC", "ORA-01821: date format not recognized"},
        {"MM MM", "ORA-01810: format code appears twice"},
        {"HH24 PM", "ORA-01818: 'HH24' precludes use of meridian indicator"},
        {"Q", "ORA-01820: format code cannot appear in date input format"},
        {"J DDD", "ORA-01811: Julian date precludes use of day of year"},
    };
    for (const auto& [format, message] : cases) {
        try {
            DatetimeFormat::Compile(format, FormatUse::Parse, DatetimeKind::Date);
            ADD_FAILURE() << format << " compiled";
        } catch (const OraError& e) {
            EXPECT_EQ(e.Message(), message);
        }
    }
}

TEST(DatetimeFormatCompile, KeepsTextKindAndZone) {
    const DatetimeFormat f = DatetimeFormat::Compile("YYYY TZH", FormatUse::Render, DatetimeKind::TimestampTz);
    EXPECT_EQ(f.Text(), "YYYY TZH");
    EXPECT_EQ(f.Kind(), DatetimeKind::TimestampTz);
    EXPECT_TRUE(f.HasTimeZone());
    EXPECT_FALSE(DatetimeFormat::Compile("YYYY", FormatUse::Render, DatetimeKind::TimestampTz).HasTimeZone());
}

}  // namespace
