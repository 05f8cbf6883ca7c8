// TO_NUMBER without a model (what bound text becomes) and TO_CHAR without a model.
#include <gtest/gtest.h>

#include "ocilite/types/OraNumber.h"

using ocilite::OraError;
using ocilite::OraNumber;

namespace {

struct ParseCase {
    const char* input;
    const char* text;  // TO_CHAR of the result
};

// Accepted numeric text: blanks around, sign, one '.', exponent.
const ParseCase kAccepted[] = {
    {"12", "12"},
    {"+12", "12"},
    {"-12", "-12"},
    {" 12 ", "12"},
    {".5", ".5"},
    {"5.", "5"},
    {"-.5", "-.5"},
    {"1e5", "100000"},
    {"1E+05", "100000"},
    {"1.5e-3", ".0015"},
    {"0.05", ".05"},
    {"000123.4500", "123.45"},
    {"-0", "0"},
    {"0e999999", "0"},
    {"12345", "12345"},
    {"-1234.56", "-1234.56"},
    {"1e-131", "0"},  // below the range: zero
    {"9.99999999999999999999999999999999999999e125", "9.99999999999999999999999999999999999999E+125"},
    // More than 40 digits: rounded half away from zero at the 20th base-100 digit.
    {"1.23456789012345678901234567890123456789012345", "1.23456789012345678901234567890123456789"},
    {"12345678901234567890123456789012345678905", "12345678901234567890123456789012345678900"},
    {"12345678901234567890123456789012345678950", "12345678901234567890123456789012345679000"},
    {"0.33333333333333333333333333333333333333333333", ".3333333333333333333333333333333333333333"},
};

TEST(OraNumberText, AcceptedText) {
    for (const auto& c : kAccepted) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(OraNumber::Parse(c.input).ToText(), c.text);
    }
}

// Refused: ORA-01722 invalid number.
const char* const kRefused[] = {
    "",    " ",     "1,000", "1 000", "12-",  "1e",  "e5",  ".",    "+",   "0x1A", "inf", "NaN",
    "--1", "1.2.3", "1e+",   "abc",   "1 e5", "- 1", "1\t", "\r12", "$12", "1d",   "1f",  "１２",
};

TEST(OraNumberText, RefusedTextIsInvalidNumber) {
    for (const char* input : kRefused) {
        SCOPED_TRACE(input);
        try {
            OraNumber::Parse(input);
            ADD_FAILURE() << "accepted";
        } catch (const OraError& e) {
            EXPECT_EQ(e.Code(), 1722);
            EXPECT_STREQ(e.what(), "ORA-01722: invalid number");
        }
        OraNumber out = OraNumber::FromInt64(7);
        EXPECT_FALSE(OraNumber::TryParse(input, out));
    }
}

TEST(OraNumberText, OutOfRangeOverflows) {
    for (const char* input : {"1e126", "-1e126", "99999999999999999999999999999999999999999e100",
                              "9.999999999999999999999999999999999999999999e125"}) {
        SCOPED_TRACE(input);
        try {
            OraNumber::Parse(input);
            ADD_FAILURE() << "accepted";
        } catch (const OraError& e) {
            EXPECT_STREQ(e.what(), "ORA-01426: numeric overflow");
        }
    }
}

// TO_CHAR(n): fixed notation up to 64 characters, then scientific.
const ParseCase kToText[] = {
    {"0", "0"},
    {"0.05", ".05"},
    {"12.5", "12.5"},
    {"-1", "-1"},
    {"1e45", "1000000000000000000000000000000000000000000000"},
    {"1e63", "1000000000000000000000000000000000000000000000000000000000000000"},
    {"1e64", "1E+64"},
    {"-1.5e100", "-1.5E+100"},
    {"1e-60", ".000000000000000000000000000000000000000000000000000000000001"},
    {"1.5e-64", "1.5E-64"},
    {"1e-130", "1E-130"},
};

TEST(OraNumberText, TextMinimum) {
    for (const auto& c : kToText) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(OraNumber::Parse(c.input).ToText(), c.text);
    }
}

TEST(OraNumberText, IntegersAndReals) {
    EXPECT_EQ(OraNumber::FromInt64(INT64_MIN).ToText(), "-9223372036854775808");
    EXPECT_EQ(OraNumber::FromInt64(INT64_MIN).ToInt64(), INT64_MIN);
    EXPECT_EQ(OraNumber::FromUInt64(UINT64_MAX).ToUInt64(), UINT64_MAX);
    EXPECT_EQ(OraNumber::Parse("2.5").ToInt64(), 3);
    EXPECT_EQ(OraNumber::Parse("-2.5").ToInt64(), -3);
    EXPECT_THROW(OraNumber::Parse("9223372036854775808").ToInt64(), OraError);
    EXPECT_THROW(OraNumber::Parse("-1").ToUInt64(), OraError);

    EXPECT_EQ(OraNumber::FromDouble(0.1).ToText(), ".1");
    EXPECT_EQ(OraNumber::FromDouble(-1234.56).ToText(), "-1234.56");
    EXPECT_EQ(OraNumber::FromDouble(1e300 * 1e-200).ToText(), "1E+100");
    EXPECT_EQ(OraNumber::FromFloat(0.1f).ToText(), ".1");
    EXPECT_THROW(OraNumber::FromDouble(1e200), OraError);
    EXPECT_THROW(OraNumber::FromDouble(std::numeric_limits<double>::quiet_NaN()), OraError);
    EXPECT_EQ(OraNumber::Parse("0.1").ToDouble(), 0.1);
    EXPECT_EQ(OraNumber::Parse("-123.45").ToDouble(), -123.45);
    EXPECT_EQ(OraNumber::Parse("1e-130").ToDouble(), 1e-130);
}

}  // namespace
