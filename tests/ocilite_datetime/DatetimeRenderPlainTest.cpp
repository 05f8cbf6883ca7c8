// The plain path of datetime rendering (RenderPlain, taken by OCIDateToText and
// OCIDateTimeToText for numeric formats) against the general path (Render), over random
// dates, timestamps and zones with the formats the program uses by default and their kin.
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "ocilite/types/DatetimeFormat.h"
#include "ocilite/types/DatetimeOci.h"
#include "ocilite/types/OraError.h"

using namespace ocilite;

namespace {

// Date and timestamp formats: the program's defaults for DateFmt and TimestampFmt, the
// client's own defaults, and variants of them (other separators, FFn, no zone, lower case,
// quoted text).
const char* const kPlainFormats[] = {
    "RRRR-MM-DD HH24:MI:SS",
    "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM",
    "RRRR-MM-DD HH24:MI:SSXFF",
    "YYYY/MM/DD HH24:MI:SS",
    "YYYY/MM/DD HH24:MI:SSXFF TZH:TZM",
    "YYYY-MM-DD\"T\"HH24:MI:SS.FF3TZH:TZM",
    "yyyy-mm-dd hh24:mi:ss.ff9",
    "YYYYMMDDHH24MISSFF6",
    "DD.MM.YYYY HH24:MI",
    "RRRR-MM-DD HH24:MI:SSXFF1 TZH TZM",
};

// Formats with elements the plain path leaves to the general one.
const char* const kOtherFormats[] = {
    "FMRRRR-MM-DD HH24:MI:SS",
    "DD-MON-RR HH.MI.SSXFF AM",
    "YYYY-MM-DD HH24:MI:SS TZR",
    "DDTH MONTH YYYY",
    "SYYYY-MM-DD",
    "J",
    "RRRR-FMMM-DD",
    "YY-MM-DD",
};

OraTimestamp RandomTimestamp(std::mt19937_64& rng, DatetimeKind kind) {
    OraTimestamp t;
    do {
        t.year = static_cast<int>(rng() % 14712) - 4712;
    } while (t.year == 0);
    t.month = 1 + static_cast<int>(rng() % 12);
    t.day = 1 + static_cast<int>(rng() % static_cast<uint64_t>(OraTimestamp::DaysInMonth(t.year, t.month)));
    if (t.year == 1582 && t.month == 10 && t.day > 4 && t.day < 15) t.day = 4;
    t.hour = static_cast<int>(rng() % 24);
    t.minute = static_cast<int>(rng() % 60);
    t.second = static_cast<int>(rng() % 60);
    if (kind != DatetimeKind::Date) t.nanos = static_cast<uint32_t>(rng() % 1000000000);
    if (kind == DatetimeKind::TimestampTz) {
        t.hasZone = true;
        t.tzMinutes = static_cast<int>(rng() % (26 * 60 + 1)) - 12 * 60;  // -12:00 .. +14:00
    }
    return t;
}

// The compiled models of the formats for the kinds that accept them.
struct Model {
    std::string text;
    DatetimeKind kind;
    DatetimeFormat format;
};

std::vector<Model> Compiled(const char* const* formats, size_t count) {
    std::vector<Model> models;
    for (size_t i = 0; i < count; ++i) {
        for (DatetimeKind kind :
             {DatetimeKind::Date, DatetimeKind::Timestamp, DatetimeKind::TimestampTz, DatetimeKind::TimestampLtz}) {
            try {
                models.push_back({formats[i], kind, DatetimeFormat::Compile(formats[i], FormatUse::Render, kind)});
            } catch (const OraError&) {
                // FF on a DATE, a zone element on a value without one: ORA-01821
            }
        }
    }
    return models;
}

TEST(DatetimeRenderPlain, GivesTheGeneralPathsTextForRandomValues) {
    const std::vector<Model> models = Compiled(kPlainFormats, std::size(kPlainFormats));
    ASSERT_GE(models.size(), std::size(kPlainFormats));
    std::mt19937_64 rng(20261208);
    for (const Model& model : models) {
        ASSERT_TRUE(model.format.IsPlain()) << model.text;
        for (int i = 0; i < 3000; ++i) {
            const OraTimestamp t = RandomTimestamp(rng, model.kind);
            const int fsprec = static_cast<int>(rng() % 10);
            char out[256];
            size_t length = 0;
            ASSERT_TRUE(RenderPlain(t, model.format, fsprec, out, sizeof out, length)) << model.text;
            ASSERT_EQ(std::string(out, length), Render(t, model.format, fsprec))
                << model.text << " " << t.year << "-" << t.month << "-" << t.day << " fsprec " << fsprec;
        }
    }
}

TEST(DatetimeRenderPlain, LeavesOtherElementsToTheGeneralPath) {
    const std::vector<Model> models = Compiled(kOtherFormats, std::size(kOtherFormats));
    ASSERT_GE(models.size(), std::size(kOtherFormats));
    const OraTimestamp t{2004, 3, 1, 13, 5, 9, 123456789, true, 540};
    for (const Model& model : models) {
        EXPECT_FALSE(model.format.IsPlain()) << model.text;
        char out[256];
        size_t length = 0;
        EXPECT_FALSE(RenderPlain(t, model.format, 6, out, sizeof out, length)) << model.text;
    }
    // A model compiled for parsing is never rendered.
    EXPECT_FALSE(DatetimeFormat::Compile("RRRR-MM-DD", FormatUse::Parse, DatetimeKind::Date).IsPlain());
}

TEST(DatetimeRenderPlain, LeavesTheGeneralPathWhenTheTextMightNotFit) {
    const DatetimeFormat f = DatetimeFormat::Compile("RRRR-MM-DD HH24:MI:SS", FormatUse::Render, DatetimeKind::Date);
    const OraTimestamp t{2004, 3, 1, 13, 5, 9};
    char out[64];
    size_t length = 0;
    EXPECT_FALSE(RenderPlain(t, f, 0, out, 10, length));
    ASSERT_TRUE(RenderPlain(t, f, 0, out, sizeof out, length));
    EXPECT_EQ(std::string(out, length), "2004-03-01 13:05:09");
}

// Through the OCI services, which take the plain path where it applies: the same text as the
// general path, and ORA-01877 for a buffer one byte too small either way.
TEST(DatetimeRenderPlain, OciServicesGiveTheGeneralPathsText) {
    std::mt19937_64 rng(8122026);
    const char* const formats[] = {"RRRR-MM-DD HH24:MI:SS", "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", "DD-MON-RR HH24:MI:SS",
                                   "RRRR-MM-DD HH24:MI:SSXFF"};
    int compared = 0;
    for (int i = 0; i < 4000; ++i) {
        const char* fmt = formats[rng() % std::size(formats)];
        const DatetimeKind kind = i % 2 == 0 ? DatetimeKind::Date : DatetimeKind::TimestampTz;
        const OraTimestamp t = RandomTimestamp(rng, kind);
        DatetimeFormat model;
        try {
            model = DatetimeFormat::Compile(fmt, FormatUse::Render, kind);
        } catch (const OraError&) {
            continue;
        }
        const int fsprec = kind == DatetimeKind::Date ? 0 : static_cast<int>(rng() % 10);
        const std::string expected = Render(t, model, fsprec);
        char buf[256];
        uint32_t size = sizeof buf;
        if (kind == DatetimeKind::Date) {
            OciDate d{};
            t.ToOCIDate(&d);
            OciDateToText(d, fmt, "", buf, &size);
        } else {
            OciDateTimeToText(t, kind, fmt, fsprec, "", buf, &size);
        }
        ASSERT_EQ(std::string(buf, size), expected) << fmt;
        uint32_t tooSmall = static_cast<uint32_t>(expected.size() - 1);
        int code = 0;
        try {
            OciDateTimeToText(t, kind, fmt, fsprec, "", buf, &tooSmall);
        } catch (const OraError& e) {
            code = e.Code();
        }
        EXPECT_EQ(code, 1877) << fmt;
        ++compared;
    }
    EXPECT_GT(compared, 2500);
}

}  // namespace
