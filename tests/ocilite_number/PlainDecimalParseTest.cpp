// TryParse reads a plain decimal in one pass and leaves every other text to the general reader.
// Both routes must give the same outcome: accepted or not, and the same number (its stored
// form compared byte for byte).

#include <gtest/gtest.h>
#include <random>
#include <string>

#include "ocilite/types/OraNumber.h"

using namespace ocilite;

namespace {

// "V <varnum bytes in hex>", "refused" or "E <ORA message>".
std::string Outcome(bool (*parse)(std::string_view, OraNumber&), const std::string& text) {
    OraNumber n;
    try {
        if (!parse(text, n)) return "refused";
    } catch (const OraError& e) {
        return std::string("E ") + e.what();  // numeric overflow
    }
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "V ";
    for (unsigned char c : n.ToVarnum()) {
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

TEST(PlainDecimalParse, SameOutcomeAsTheGeneralReaderOnRandomText) {
    std::mt19937 rng(424242);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    static const char kBytes[] = "0123456789.-+eE x";
    int accepted = 0, refused = 0;
    for (int round = 0; round < 200000; ++round) {
        std::string text;
        if (round % 2 == 0) {
            // Well-formed decimals of every length around the one-pass limit, zeros included.
            if (pick(0, 3) == 0) text += '-';
            for (int n = pick(0, 24); n > 0; --n) text += static_cast<char>('0' + (pick(0, 2) == 0 ? 0 : pick(0, 9)));
            if (pick(0, 2) != 0) {
                text += '.';
                for (int n = pick(0, 24); n > 0; --n)
                    text += static_cast<char>('0' + (pick(0, 2) == 0 ? 0 : pick(0, 9)));
            }
        } else {
            for (int n = pick(0, 12); n > 0; --n) text += kBytes[pick(0, sizeof kBytes - 2)];
        }
        const std::string fast = Outcome(&OraNumber::TryParse, text);
        ASSERT_EQ(fast, Outcome(&OraNumber::TryParseGeneral, text)) << "<" << text << ">";
        (fast == "refused" ? refused : accepted) += 1;
    }
    EXPECT_GT(accepted, 100000);
    EXPECT_GT(refused, 20000);
}

TEST(PlainDecimalParse, ImportShapes) {
    struct Case {
        const char* text;
        const char* shown;  // ToText of the value, or nullptr when refused
    };
    const Case cases[] = {
        {"12345.67", "12345.67"},
        {"-0.05", "-.05"},
        {".5", ".5"},
        {"5.", "5"},
        {"-0", "0"},
        {"007", "7"},
        {"100", "100"},
        {"0.000", "0"},
        {"-", nullptr},
        {".", nullptr},
        {"1.2.3", nullptr},
        {"--1", nullptr},
        {"12345678901234567890123456789012345678", "12345678901234567890123456789012345678"},
    };
    for (const Case& c : cases) {
        OraNumber n;
        const bool ok = OraNumber::TryParse(c.text, n);
        EXPECT_EQ(ok, c.shown != nullptr) << c.text;
        if (ok && c.shown != nullptr) {
            EXPECT_EQ(n.ToText(), c.shown) << c.text;
        }
    }
}

}  // namespace
