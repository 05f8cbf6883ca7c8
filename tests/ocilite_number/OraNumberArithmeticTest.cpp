// Arithmetic of the OCI number services and of SQL, and the NUMBER(p,s) column rules.
#include <functional>
#include <gtest/gtest.h>
#include <map>

#include "ocilite/types/OraNumber.h"

using ocilite::OraError;
using ocilite::OraNumber;

namespace {

OraNumber N(const char* t) {
    return OraNumber::Parse(t);
}

struct BinaryCase {
    const char* op;
    const char* a;
    const char* b;
    const char* expected;
};

const BinaryCase kBinary[] = {
    {"+", "1", "2", "3"},
    {"+", "0.1", "0.2", ".3"},
    {"+", "-1.5", "1.5", "0"},
    {"+", "1e125", "-1e-130", "1E+125"},
    {"+", "99.99", "0.01", "100"},
    {"-", "1000", "0.001", "999.999"},
    {"-", "1", "2", "-1"},
    {"-", "-5", "-7", "2"},
    {"*", "1.5", "-2.25", "-3.375"},
    {"*", "12345678901234567890", "98765432109876543210", "1219326311370217952237463801111263526900"},
    {"*", "1e-70", "1e-70", "0"},
    {"/", "1", "3", ".3333333333333333333333333333333333333333"},
    {"/", "2", "3", ".6666666666666666666666666666666666666667"},
    {"/", "10", "3", "3.33333333333333333333333333333333333333"},
    {"/", "-7", "2", "-3.5"},
    {"/", "1", "8", ".125"},
    {"mod", "11", "4", "3"},
    {"mod", "-11", "4", "-3"},
    {"mod", "11", "-4", "3"},
    {"mod", "-7.5", "2", "-1.5"},
    {"mod", "11", "0", "11"},  // MOD(n, 0) is n
    {"mod", "1e100", "7", "4"},
    {"log", "1000", "10", "3"},
    {"log", "8", "2", "3"},
    {"log", "0.001", "10", "-3"},
    {"power", "2", "10", "1024"},
    {"power", "2", "-3", ".125"},
    {"power", "4", "0.5", "2"},
    {"power", "10", "125", "1E+125"},
    {"power", "10", "-130", "1E-130"},
};

TEST(OraNumberArithmetic, BinaryOperations) {
    const std::map<std::string, std::function<OraNumber(const OraNumber&, const OraNumber&)>> ops = {
        {"+", [](auto& a, auto& b) { return a + b; }},          {"-", [](auto& a, auto& b) { return a - b; }},
        {"*", [](auto& a, auto& b) { return a * b; }},          {"/", [](auto& a, auto& b) { return a / b; }},
        {"mod", [](auto& a, auto& b) { return a.Mod(b); }},     {"log", [](auto& a, auto& b) { return a.Log(b); }},
        {"power", [](auto& a, auto& b) { return a.Power(b); }},
    };
    for (const auto& c : kBinary) {
        SCOPED_TRACE(std::string(c.a) + " " + c.op + " " + c.b);
        EXPECT_EQ(ops.at(c.op)(N(c.a), N(c.b)).ToText(), c.expected);
    }
}

struct UnaryCase {
    const char* input;
    const char* floor;
    const char* ceil;
    const char* round0;
    const char* trunc0;
};

const UnaryCase kUnary[] = {
    {"7.5", "7", "8", "8", "7"},
    {"-7.5", "-8", "-7", "-8", "-7"},
    {"-7", "-7", "-7", "-7", "-7"},
    {"0.4", "0", "1", "0", "0"},
    {"-0.4", "-1", "0", "0", "0"},
    {"0.5", "0", "1", "1", "0"},
    {"999.5", "999", "1000", "1000", "999"},
};

TEST(OraNumberArithmetic, FloorCeilRoundTrunc) {
    for (const auto& c : kUnary) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(N(c.input).Floor().ToText(), c.floor);
        EXPECT_EQ(N(c.input).Ceil().ToText(), c.ceil);
        EXPECT_EQ(N(c.input).Round().ToText(), c.round0);
        EXPECT_EQ(N(c.input).Trunc().ToText(), c.trunc0);
    }
    // Places on either side of the point (SQL Reference ROUND/TRUNC examples).
    EXPECT_EQ(N("15.193").Round(1).ToText(), "15.2");
    EXPECT_EQ(N("15.193").Round(-1).ToText(), "20");
    EXPECT_EQ(N("15.79").Trunc(1).ToText(), "15.7");
    EXPECT_EQ(N("15.79").Trunc(-1).ToText(), "10");
    EXPECT_EQ(N("-1.005").Round(2).ToText(), "-1.01");
    EXPECT_EQ(N("99.5").Round(-3).ToText(), "0");
    EXPECT_EQ(N("500").Round(-3).ToText(), "1000");
}

TEST(OraNumberArithmetic, ErrorsCarryOracleTexts) {
    auto expectError = [](const std::function<void()>& f, const char* message) {
        try {
            f();
            ADD_FAILURE() << "no error, expected " << message;
        } catch (const OraError& e) {
            EXPECT_STREQ(e.what(), message);
        }
    };
    expectError([] { N("1") / N("0"); }, "ORA-01476: divisor is equal to zero");
    expectError([] { N("9e125") + N("9e125"); }, "ORA-01426: numeric overflow");
    expectError([] { N("1e100") * N("1e100"); }, "ORA-01426: numeric overflow");
    expectError([] { N("-1").Ln(); }, "ORA-01428: argument '-1' is out of range");
    expectError([] { N("0").Ln(); }, "ORA-01428: argument '0' is out of range");
    expectError([] { N("8").Log(N("1")); }, "ORA-01428: argument '1' is out of range");
    expectError([] { N("-2").Sqrt(); }, "ORA-01428: argument '-2' is out of range");
    expectError([] { N("-8").Power(N("0.5")); }, "ORA-01428: argument '-8' is out of range");
    expectError([] { N("300").Exp(); }, "ORA-01426: numeric overflow");
    expectError([] { N("10").Power(126); }, "ORA-01426: numeric overflow");
}

TEST(OraNumberArithmetic, TranscendentalValues) {
    EXPECT_EQ(N("1").Exp().ToText(), "2.71828182845904523536028747135266249776");
    EXPECT_EQ(N("2").Sqrt().ToText(), "1.41421356237309504880168872420969807857");
    EXPECT_EQ(N("2.25").Sqrt().ToText(), "1.5");
    EXPECT_EQ(N("1").Ln().ToText(), "0");
    EXPECT_EQ(N("-2").Power(3).ToText(), "-8");
    EXPECT_EQ(N("-400").Exp().ToText(), "0");
}

// Storing into NUMBER(p,s): SQL Reference "NUMBER Data Type" table and its worked examples.
struct FitCase {
    const char* value;
    int precision;
    int scale;
    const char* stored;  // nullptr: ORA-01438
};

const FitCase kFit[] = {
    {"123.89", 0, -127, "123.89"},  // NUMBER
    {"123.89", 3, 0, "124"},        {"123.89", 6, 2, "123.89"},     {"123.89", 6, 1, "123.9"},
    {"123.89", 4, 2, nullptr},      {"123.89", 6, -2, "100"},       {"1234.9876", 6, 2, "1234.99"},
    {"12345.12345", 6, 2, nullptr}, {"12345.345", 5, -2, "12300"},  {"1234567", 5, -2, "1234600"},
    {"12345678", 5, -2, nullptr},   {".01234", 4, 5, ".01234"},     {".000127", 4, 5, ".00013"},
    {"0.1", 4, 5, nullptr},         {"0.01234567", 4, 5, ".01235"}, {".00000123", 2, 7, ".0000012"},
    {"12345.58", -1, 1, "12345.6"},  // NUMBER(*,1)
    {"12345.58", 0, 0, "12345.58"},  // plain NUMBER as described with precision 0
    {"12345.58", 38, 0, "12346"},    // NUMBER(*,0) = NUMBER(38,0)
    {"99.995", 4, 2, nullptr},       // rounds to 100.00: too wide
    {"-99.994", 4, 2, "-99.99"},    {"0.004", 2, 2, "0"},           {"1.23", 5, -127, "1.2"},  // FLOAT(5)
    {"7.89", 5, -127, "7.9"},       {"12.79", 5, -127, "13"},       {"123.45", 5, -127, "120"},
    {"1e100", 126, -127, "1E+100"},
};

TEST(OraNumberColumnRules, FitToPrecisionScale) {
    for (const auto& c : kFit) {
        SCOPED_TRACE(std::string(c.value) + " NUMBER(" + std::to_string(c.precision) + "," + std::to_string(c.scale) +
                     ")");
        if (c.stored == nullptr) {
            try {
                N(c.value).FitToPrecisionScale(c.precision, c.scale);
                ADD_FAILURE() << "stored";
            } catch (const OraError& e) {
                EXPECT_STREQ(e.what(), "ORA-01438: value larger than specified precision allowed for this column");
            }
        } else {
            EXPECT_EQ(N(c.value).FitToPrecisionScale(c.precision, c.scale).ToText(), c.stored);
        }
    }
}

TEST(OraNumberArithmetic, DigitCountsAndComparison) {
    EXPECT_EQ(N("123.4").SignificantDigits(), 4);
    EXPECT_EQ(N("123.4").DecimalExponent(), 2);
    EXPECT_EQ(N("0.05").DecimalExponent(), -2);
    EXPECT_TRUE(N("120").IsInteger());
    EXPECT_FALSE(N("0.5").IsInteger());
    EXPECT_LT(N("-2"), N("-1.5"));
    EXPECT_LT(N("1.5"), N("1.51"));
    EXPECT_EQ(N("1.50"), N("1.5"));
    EXPECT_GT(N("1e-130"), N("0"));
    EXPECT_EQ(N("-3").Sign(), -1);
}

}  // namespace
