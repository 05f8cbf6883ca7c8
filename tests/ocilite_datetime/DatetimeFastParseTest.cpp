// Parse reads text that follows a plain numeric model to the letter in one pass and leaves all
// other text to the general reader. These tests hold the two routes to the same outcome, value
// or error (code and message), over many random texts near the shapes an import sees.

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "ocilite/types/DatetimeFormat.h"
#include "ocilite/types/OraError.h"
#include "tests/ocilite_datetime/DatetimeTestSupport.h"

using namespace ocilite;

namespace {

const OraTimestamp kNow = dttest::Tz(dttest::Ts(2025, 6, 15, 10, 20, 30), 120);

// "V <canonical value>" or "E <ORA message>".
std::string Outcome(const std::function<OraTimestamp()>& parse) {
    try {
        return "V " + dttest::Canon(parse());
    } catch (const OraError& e) {
        return std::string("E ") + e.what();
    }
}

struct Model {
    const char* format;
    DatetimeKind kind;
    bool plain;  // whether the model takes the one-pass route
};

constexpr DatetimeKind D = DatetimeKind::Date;
constexpr DatetimeKind T = DatetimeKind::Timestamp;
constexpr DatetimeKind Z = DatetimeKind::TimestampTz;

const Model kModels[] = {
    {"RRRR-MM-DD HH24:MI:SS", D, true},
    {"RRRR-MM-DD", D, true},
    {"YYYY-MM-DD HH24:MI:SS", T, true},
    {"RRRR-MM-DD HH24:MI:SSXFF", T, true},
    {"RRRR-MM-DD HH24:MI:SSXFF3", T, true},
    {"RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", Z, true},
    {"RRRR-MM-DD HH24:MI:SSXFF", Z, true},
    {"YYYY-MM-DD HH24:MI:SS.FF TZHTZM", Z, true},
    {"YYYYMMDD", D, true},
    {"YYYYMMDDHH24MISS", D, true},
    {"DD.MM.YYYY HH24:MI", D, true},
    {"MM/DD/RRRR", D, true},
    {"HH24:MI:SS.FF6", T, true},
    {"YYYY - MM - DD", D, true},
    // Not plain: the general reader alone.
    {"FXRRRR-MM-DD", D, false},
    {"RRRR-MM-DD -TZH:TZM", Z, false},
    {"YYYY-MON-DD", D, false},
    {"DD-MM-RR", D, false},
    {"YYYY-MM-DD\"T\"HH24:MI:SS", D, false},
    {"YYYY-MM-DD HH:MI:SS AM", D, false},
    {"DDTH-MM-YYYY", D, false},
    {"YYYY-MM-DD HH24:MI:SSXFF TZR", Z, false},
    {"YYYY-MM-DD-", D, false},
};

// A text of the model's shape with random fields, some of them out of range.
std::string Shaped(const std::string& format, std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto digits = [&](int value, int width) {
        std::string s = std::to_string(value);
        if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), '0');
        return s;
    };
    std::string out;
    size_t i = 0;
    auto starts = [&](const char* word) { return format.compare(i, std::strlen(word), word) == 0; };
    while (i < format.size()) {
        if (starts("YYYY") || starts("RRRR")) {
            out += digits(pick(0, 9) == 0 ? pick(0, 9999) : pick(1900, 2099), 4);
            i += 4;
        } else if (starts("HH24")) {
            out += digits(pick(0, 25), 2);
            i += 4;
        } else if (starts("FF")) {
            const int n = pick(1, 10);
            for (int k = 0; k < n; ++k) out += static_cast<char>('0' + pick(0, 9));
            i += 2;
            while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;
        } else if (starts("TZH")) {
            if (pick(0, 2) != 0) out += pick(0, 1) ? '+' : '-';
            out += digits(pick(0, 16), 2);
            i += 3;
        } else if (starts("TZM")) {
            out += digits(pick(0, 61), 2);
            i += 3;
        } else if (starts("MM") || starts("DD") || starts("MI") || starts("SS")) {
            const int top = starts("MM") ? 13 : starts("DD") ? 32 : 60;
            out += digits(pick(0, top), 2);
            i += 2;
        } else if (starts("MON")) {
            out += pick(0, 1) ? "JAN" : "Feb";
            i += 3;
        } else if (starts("RR")) {
            out += digits(pick(0, 99), 2);
            i += 2;
        } else if (starts("FX")) {
            i += 2;
        } else if (format[i] == 'X') {
            out += '.';
            ++i;
        } else if (format[i] == '"') {
            const size_t end = format.find('"', i + 1);
            out += format.substr(i + 1, end - i - 1);
            i = end + 1;
        } else {
            out += format[i++];
        }
    }
    return out;
}

// The shaped text with a few random edits: bytes dropped, doubled, replaced or inserted.
std::string Mutated(std::string s, std::mt19937& rng) {
    static const char kBytes[] = "0123456789 -+:./TAxZ\t";
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int edits = pick(0, 3) == 0 ? 0 : pick(1, 3);
    for (int e = 0; e < edits; ++e) {
        const size_t at = s.empty() ? 0 : static_cast<size_t>(pick(0, static_cast<int>(s.size()) - 1));
        const char byte = kBytes[pick(0, static_cast<int>(sizeof kBytes) - 2)];
        switch (pick(0, 5)) {
            case 0:
                if (!s.empty()) s.erase(at, 1);
                break;
            case 1:
                if (!s.empty()) s.insert(at, 1, s[at]);
                break;
            case 2:
                if (!s.empty()) s[at] = byte;
                break;
            case 3: s.insert(at, 1, byte); break;
            case 4: s.resize(at); break;
            default: s += byte; break;
        }
    }
    return s;
}

TEST(DatetimeFastParse, ModelsThatTakeTheOnePassRoute) {
    for (const Model& m : kModels) {
        const DatetimeFormat f = DatetimeFormat::Compile(m.format, FormatUse::Parse, m.kind);
        EXPECT_EQ(f.PlainNumeric(), m.plain) << m.format;
        EXPECT_FALSE(DatetimeFormat::Compile(m.format, FormatUse::Render, m.kind).PlainNumeric()) << m.format;
    }
}

TEST(DatetimeFastParse, SameOutcomeAsTheGeneralReaderOnRandomText) {
    std::mt19937 rng(20261208);
    int values = 0, errors = 0;
    for (const Model& m : kModels) {
        const DatetimeFormat f = DatetimeFormat::Compile(m.format, FormatUse::Parse, m.kind);
        for (int n = 0; n < 20000; ++n) {
            const std::string text = Mutated(Shaped(m.format, rng), rng);
            const std::string fast = Outcome([&] { return Parse(text, f, m.kind, kNow); });
            const std::string general = Outcome([&] { return ParseGeneral(text, f, m.kind, kNow); });
            ASSERT_EQ(fast, general) << m.format << " <" << text << ">";
            (fast[0] == 'V' ? values : errors) += 1;
        }
    }
    // The inputs reach both outcomes often, so neither side of the comparison is idle.
    EXPECT_GT(values, 50000);
    EXPECT_GT(errors, 50000);
}

TEST(DatetimeFastParse, ImportShapesReadOnePass) {
    struct Case {
        const char* text;
        const char* format;
        DatetimeKind kind;
        const char* expected;  // Canon() of the value, or the ORA message
    };
    const Case cases[] = {
        {"2024-03-05 13:45:09", "RRRR-MM-DD HH24:MI:SS", D, "V 02024-03-05 13:45:09.000000000"},
        {"2024-03-05 13:45:09.123", "RRRR-MM-DD HH24:MI:SSXFF", T, "V 02024-03-05 13:45:09.123000000"},
        {"2024-03-05 13:45:09.123 -05:30", "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", Z,
         "V 02024-03-05 13:45:09.123000000 -05:30"},
        {"2024-03-05 13:45:09.123", "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", Z, "V 02024-03-05 13:45:09.123000000 +02:00"},
        {"2024-02-30 00:00:00", "RRRR-MM-DD HH24:MI:SS", D, "E ORA-01839: date not valid for month specified"},
        {"2024-13-01 00:00:00", "RRRR-MM-DD HH24:MI:SS", D, "E ORA-01843: not a valid month"},
        {"0000-01-01 00:00:00", "RRRR-MM-DD HH24:MI:SS", D,
         "E ORA-01841: (full) year must be between -4713 and +9999, and not be 0"},
        {"2024-01-01 24:00:00", "RRRR-MM-DD HH24:MI:SS", D, "E ORA-01850: hour must be between 0 and 23"},
        {"20240102", "YYYYMMDD", D, "V 02024-01-02 00:00:00.000000000"},
    };
    for (const Case& c : cases) {
        const DatetimeFormat f = DatetimeFormat::Compile(c.format, FormatUse::Parse, c.kind);
        ASSERT_TRUE(f.PlainNumeric()) << c.format;
        EXPECT_EQ(Outcome([&] { return Parse(c.text, f, c.kind, kNow); }), c.expected) << c.text;
        EXPECT_EQ(Outcome([&] { return ParseGeneral(c.text, f, c.kind, kNow); }), c.expected) << c.text;
    }
}

}  // namespace
