// The OCI number services on raw OCINumber buffers, including the digit count and masks
// the client computes with them to show NUMBER values.
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "ocilite/types/OraNumberOci.h"

using ocilite::OraError;
using ocilite::OraNumber;
namespace on = ocilite::ocinumber;

namespace {

struct Num {
    uint8_t b[22] = {};
};

Num Make(const char* text) {
    Num n;
    OraNumber::Parse(text).ToOci(n.b);
    return n;
}

std::string Text(const Num& n) {
    return OraNumber::FromOci(n.b).ToText();
}

int ErrorCode(const std::function<void()>& f) {
    try {
        f();
    } catch (const OraError& e) {
        return e.Code();
    }
    return 0;
}

// The client's digit count: d = floor(log10(|n|) + 1) with OCINumberLog base 10, add, floor
// and ToInt; hasFraction compares |n| with its floor.
std::pair<int, bool> NumberDigits(const Num& n) {
    Num a, ten, one, lg, sum, fl;
    on::Abs(n.b, a.b);
    if (on::IsZero(a.b)) return {1, false};
    int32_t v10 = 10, v1 = 1;
    on::FromInt(&v10, 4, on::kSigned, ten.b);
    on::FromInt(&v1, 4, on::kSigned, one.b);
    on::Log(ten.b, a.b, lg.b);
    on::Add(lg.b, one.b, sum.b);
    on::Floor(sum.b, fl.b);
    int32_t d = 0;
    on::ToInt(fl.b, 4, on::kSigned, &d);
    Num af;
    on::Floor(a.b, af.b);
    return {d, on::Cmp(a.b, af.b) != 0};
}

std::string MaskFor(const Num& n) {
    auto [d, frac] = NumberDigits(n);
    const std::string nines39(39, '9');
    if (d > 40 || d < -4) return "FM0D" + nines39 + "EEEE";
    if (d < 0 || d == 0) return "FM0D" + nines39;
    if (frac)
        return "FM" + std::string(static_cast<size_t>(d), '9') + "D" + std::string(static_cast<size_t>(40 - d), '9');
    return "FM" + std::string(static_cast<size_t>(d), '9');
}

std::string ValueText(const Num& n, const std::string& mask) {
    char buf[101];
    on::ToText(n.b, mask, "", buf, sizeof buf);
    return buf;
}

TEST(OraNumberOci, DigitCounts) {
    EXPECT_EQ(NumberDigits(Make("0")), std::make_pair(1, false));
    EXPECT_EQ(NumberDigits(Make("-123.45")), std::make_pair(3, true));
    EXPECT_EQ(NumberDigits(Make("0.05")), std::make_pair(-1, true));
    EXPECT_EQ(NumberDigits(Make("7")), std::make_pair(1, false));
    // Exact powers of ten must not fall one short through a logarithm of 2.999...
    EXPECT_EQ(NumberDigits(Make("1000")), std::make_pair(4, false));
    EXPECT_EQ(NumberDigits(Make("1e37")), std::make_pair(38, false));
    // 39 nines: log10 is 38.99999... which rounds to 39 in 40 digits, so the count is one
    // high; the mask built from it still has room for every digit.
    EXPECT_EQ(NumberDigits(Make("999999999999999999999999999999999999999")).first, 40);
    EXPECT_EQ(NumberDigits(Make("0.001")), std::make_pair(-2, true));
}

// Around every power-of-ten boundary the digit count may come out one high (the mask then
// has a spare place) but never one short, which would show the value as '#'.
TEST(OraNumberOci, DigitCountsNeverFallShortAtBoundaries) {
    const char* values[] = {
        "9.999999999999999999999999999999999999",
        "10.00000000000000000000000000000000001",
        "99999.99999999999999999999999",
        "100000.0000000000000000000001",
        "12345.678",
        "0.0999999999999999999999999999",
        "0.1000000000000000000000000001",
        "1e-130",
        "9.99999999999999999999e125",
        "5e-5",
        "31622.7766016837933199889354443271853372",
    };
    for (const char* text : values) {
        SCOPED_TRACE(text);
        const Num n = Make(text);
        const OraNumber value = OraNumber::Parse(text);
        const int exact = value.DecimalExponent() + 1;
        const int counted = NumberDigits(n).first;
        EXPECT_GE(counted, exact);
        EXPECT_LE(counted, exact + 1);
    }
}

struct ShownCase {
    const char* value;
    const char* shown;
};

// What a NUMBER column without a format shows, through the mask chosen from its digits.
const ShownCase kShown[] = {
    {"0", "0"},
    {"7", "7"},
    {"12345", "12345"},
    {"-123.45", "-123.45"},
    {"0.05", "0.05"},
    {"0.5", "0.5"},
    {"0.00001234", "0.00001234"},
    {"0.000001234", "1.234E-06"},
    {"1e39", "1000000000000000000000000000000000000000"},
    {"1e40", "1.E+40"},
    {"999999999999999999999999999999999999999", "999999999999999999999999999999999999999"},
    {"1.5e45", "1.5E+45"},
    {"1e45", "1.E+45"},
    {"12345678901234567890.123456789", "12345678901234567890.123456789"},
    {"-1e-130", "-1.E-130"},
};

TEST(OraNumberOci, ShownWithComputedMask) {
    for (const auto& c : kShown) {
        SCOPED_TRACE(c.value);
        const Num n = Make(c.value);
        EXPECT_EQ(ValueText(n, MaskFor(n)), c.shown) << MaskFor(n);
    }
    // A NUMBER(10,2) column uses the fixed mask.
    EXPECT_EQ(ValueText(Make("1234.5"), "FM99999999.09"), "1234.5");
    EXPECT_EQ(ValueText(Make("1234.567"), "FM99999999.09"), "1234.57");
}

TEST(OraNumberOci, ArithmeticAliasesResults) {
    Num a = Make("2.5"), b = Make("4");
    on::Mul(a.b, b.b, a.b);  // result aliases the first operand
    EXPECT_EQ(Text(a), "10");
    on::Sub(a.b, b.b, b.b);
    EXPECT_EQ(Text(b), "6");
    on::Div(a.b, b.b, a.b);
    EXPECT_EQ(Text(a), "1.66666666666666666666666666666666666667");
    on::Round(a.b, 2, a.b);
    EXPECT_EQ(Text(a), "1.67");
    on::Trunc(a.b, 0, a.b);
    EXPECT_EQ(Text(a), "1");
    on::IntPower(b.b, 3, a.b);
    EXPECT_EQ(Text(a), "216");
    on::Mod(a.b, Make("100").b, a.b);
    EXPECT_EQ(Text(a), "16");
    on::Ceil(Make("-1.5").b, a.b);
    EXPECT_EQ(Text(a), "-1");
    on::Exp(Make("0").b, a.b);
    EXPECT_EQ(Text(a), "1");
    on::SetZero(a.b);
    EXPECT_EQ(a.b[0], 1);
    EXPECT_EQ(a.b[1], 0x80);
    on::Assign(b.b, a.b);
    EXPECT_EQ(std::memcmp(a.b, b.b, 22), 0);
    EXPECT_EQ(on::Cmp(Make("-2").b, Make("1").b), -1);
}

TEST(OraNumberOci, IntegersAndReals) {
    Num n;
    uint8_t u8 = 250;
    on::FromInt(&u8, 1, on::kUnsigned, n.b);
    EXPECT_EQ(Text(n), "250");
    int16_t s16 = -300;
    on::FromInt(&s16, 2, on::kSigned, n.b);
    EXPECT_EQ(Text(n), "-300");
    int64_t s64 = INT64_MIN;
    on::FromInt(&s64, 8, on::kSigned, n.b);
    EXPECT_EQ(Text(n), "-9223372036854775808");

    int32_t out32 = 0;
    on::ToInt(Make("-7.9").b, 4, on::kSigned, &out32);
    EXPECT_EQ(out32, -7);
    uint16_t out16 = 0;
    on::ToInt(Make("65535").b, 2, on::kUnsigned, &out16);
    EXPECT_EQ(out16, 65535);
    EXPECT_EQ(ErrorCode([&] { on::ToInt(Make("65536").b, 2, on::kUnsigned, &out16); }), 22053);
    EXPECT_EQ(ErrorCode([&] { on::ToInt(Make("-1").b, 2, on::kUnsigned, &out16); }), 22063);
    EXPECT_EQ(ErrorCode([&] { on::ToInt(Make("1").b, 3, on::kSigned, &out32); }), 22057);
    EXPECT_EQ(ErrorCode([&] { on::ToInt(Make("1").b, 4, 1, &out32); }), 22055);
    EXPECT_EQ(ErrorCode([&] { on::FromInt(&out32, 16, on::kSigned, n.b); }), 22057);

    double d = 0.1;
    on::FromReal(&d, sizeof d, n.b);
    EXPECT_EQ(Text(n), ".1");
    float f = 2.5f;
    on::FromReal(&f, sizeof f, n.b);
    EXPECT_EQ(Text(n), "2.5");
    double back = 0;
    on::ToReal(Make("0.1").b, sizeof back, &back);
    EXPECT_EQ(back, 0.1);
    // Only DBL_DIG digits take part: 1/3 becomes the double nearest to 0.333333333333333.
    Num third;
    on::Div(Make("1").b, Make("3").b, third.b);
    on::ToReal(third.b, sizeof back, &back);
    EXPECT_EQ(back, 0.333333333333333);
}

TEST(OraNumberOci, ErrorNumbers) {
    Num r;
    Num uninitialised;
    EXPECT_EQ(ErrorCode([&] { on::Div(Make("1").b, Make("0").b, r.b); }), 22056);
    EXPECT_EQ(ErrorCode([&] { on::Add(uninitialised.b, Make("1").b, r.b); }), 22060);
    EXPECT_EQ(ErrorCode([&] { on::Mul(Make("1e100").b, Make("1e100").b, r.b); }), 22053);
    char small[4];
    EXPECT_EQ(ErrorCode([&] { on::ToText(Make("12345").b, "99999", "", small, sizeof small); }), 22059);
    char buf[64];
    EXPECT_EQ(ErrorCode([&] { on::ToText(Make("12345").b, "999", "", buf, sizeof buf); }), 22065);
    EXPECT_EQ(ErrorCode([&] { on::ToText(Make("1").b, "9Q9", "", buf, sizeof buf); }), 22061);
    EXPECT_EQ(ErrorCode([&] { on::ToText(Make("1").b, "9", "NLS_NUMERIC_CHARACTERS='..'", buf, sizeof buf); }), 22064);
    EXPECT_EQ(ErrorCode([&] { on::FromText("12x", "999", "", r.b); }), 22062);
}

TEST(OraNumberOci, TextWithNlsParameters) {
    char buf[64];
    const size_t len = on::ToText(Make("1234.5").b, "9G999D99", "NLS_NUMERIC_CHARACTERS=',.'", buf, sizeof buf);
    EXPECT_STREQ(buf, " 1.234,50");
    EXPECT_EQ(len, 9u);
    Num n;
    on::FromText("1.234,50", "9G999D99", "nls_numeric_characters = ',.'", n.b);
    EXPECT_EQ(Text(n), "1234.5");
    on::FromText("EUR12", "L99", "NLS_CURRENCY='EUR'", n.b);
    EXPECT_EQ(Text(n), "12");
}

}  // namespace
