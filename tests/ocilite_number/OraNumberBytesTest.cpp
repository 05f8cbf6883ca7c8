// The 22-byte OCINumber and the varnum forms: golden encodings, round trips, the ordering
// key, and bytes that are no number.
#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

#include "ocilite/types/OraNumber.h"

using ocilite::OraError;
using ocilite::OraNumber;

namespace {

std::string Hex(const std::string& bytes) {
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, out.empty() ? "%02X" : " %02X", c);
        out += buf;
    }
    return out;
}

struct VarnumCase {
    const char* text;
    const char* hex;
};

// Encodings as DUMP shows them: zero is 80, exponent byte 193+k for positives, its
// complement 62-k for negatives, digits +1 (positive) or 101-d (negative) and the 102
// terminator on short negatives.
const VarnumCase kVarnums[] = {
    {"0", "80"},
    {"1", "C1 02"},
    {"100", "C2 02"},
    {"0.5", "C0 33"},
    {"123.45", "C2 02 18 2E"},
    {"-1", "3E 64 66"},
    {"-123.45", "3D 64 4E 38 66"},
    {"-100", "3D 64 66"},
    {"1e-130", "80 02"},
    {"-1e-130", "7F 64 66"},
    {"9.9e125", "FF 64"},
    {"0.05", "C0 06"},
    {"1234567890123456789012345678901234567890", "D4 0D 23 39 4F 5B 0D 23 39 4F 5B 0D 23 39 4F 5B 0D 23 39 4F 5B"},
};

TEST(OraNumberBytes, GoldenVarnums) {
    for (const auto& c : kVarnums) {
        SCOPED_TRACE(c.text);
        OraNumber n = OraNumber::Parse(c.text);
        EXPECT_EQ(Hex(n.ToVarnum()), c.hex);
        std::string v = n.ToVarnum();
        EXPECT_EQ(OraNumber::FromVarnum(reinterpret_cast<const uint8_t*>(v.data()), v.size()), n);
    }
}

TEST(OraNumberBytes, OciStructCarriesLengthAndZeroPadding) {
    uint8_t bytes[22];
    std::fill(std::begin(bytes), std::end(bytes), uint8_t{0xEE});
    OraNumber::Parse("-123.45").ToOci(bytes);
    EXPECT_EQ(bytes[0], 5);
    EXPECT_EQ(bytes[1], 0x3D);
    EXPECT_EQ(bytes[5], 102);
    for (int i = 6; i < 22; ++i) EXPECT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(OraNumber::FromOci(bytes).ToText(), "-123.45");

    OraNumber().ToOci(bytes);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 0x80);
    EXPECT_TRUE(OraNumber::FromOci(bytes).IsZero());
}

TEST(OraNumberBytes, RandomValuesRoundTripThroughEveryForm) {
    std::mt19937_64 rng(42);
    for (int i = 0; i < 5000; ++i) {
        std::string digits;
        const int n = 1 + static_cast<int>(rng() % 40);
        for (int k = 0; k < n; ++k) digits += static_cast<char>('0' + rng() % 10);
        const int exp = static_cast<int>(rng() % 230) - 160;  // stays below 1e126
        const OraNumber x = OraNumber::FromDecimal(rng() % 2 == 0, digits, exp);
        SCOPED_TRACE(x.ToText());
        uint8_t oci[22];
        x.ToOci(oci);
        EXPECT_EQ(OraNumber::FromOci(oci), x);
        EXPECT_EQ(OraNumber::Parse(x.ToText()), x);
        EXPECT_EQ(OraNumber::FromSortKey(x.SortKey()), x);
    }
}

TEST(OraNumberBytes, SortKeyOrdersLikeTheNumbers) {
    std::vector<OraNumber> values;
    for (const char* t : {"-9.9e125", "-1e10", "-1.01", "-1", "-0.99", "-1e-130", "0", "1e-130", "0.5", "1",
                          "1.000000000000000000000000000000000000001", "1.01", "99", "100", "1e125"})
        values.push_back(OraNumber::Parse(t));
    std::mt19937_64 rng(7);
    for (int i = 0; i < 2000; ++i) {
        std::string digits = std::to_string(rng() % 100000000);
        values.push_back(OraNumber::FromDecimal(rng() % 2 == 0, digits, static_cast<int>(rng() % 40) - 20));
    }
    std::vector<OraNumber> byKey = values, byValue = values;
    std::sort(byValue.begin(), byValue.end());
    std::sort(byKey.begin(), byKey.end(),
              [](const OraNumber& a, const OraNumber& b) { return a.SortKey() < b.SortKey(); });
    ASSERT_EQ(byKey.size(), byValue.size());
    for (size_t i = 0; i < byKey.size(); ++i) EXPECT_EQ(byKey[i], byValue[i]) << i;
}

TEST(OraNumberBytes, BytesThatAreNoNumberAreRefused) {
    const std::vector<std::vector<uint8_t>> bad = {
        {},              // empty
        {0xC1},          // exponent without mantissa
        {0xC1, 0},       // positive digit byte 0 is outside 1..100
        {0xC1, 101},     // positive digit byte above 100
        {0x3E, 1, 102},  // negative digit byte 1 is outside 2..101
        {0xC1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2},  // 22 bytes
    };
    for (const auto& b : bad) {
        try {
            OraNumber::FromVarnum(b.data(), b.size());
            ADD_FAILURE() << "accepted " << b.size() << " bytes";
        } catch (const OraError& e) {
            EXPECT_EQ(e.Code(), 22060);
        }
    }
    uint8_t uninitialised[22] = {};
    EXPECT_THROW(OraNumber::FromOci(uninitialised), OraError);
}

}  // namespace
