// Number format models: TO_CHAR(number, fmt) and TO_NUMBER(text, fmt).
#include <gtest/gtest.h>

#include "ocilite/types/NumberFormatModel.h"
#include "ocilite/types/OraNumber.h"

using ocilite::OraError;
using ocilite::OraNumber;

namespace {

struct FormatCase {
    const char* value;
    const char* fmt;
    const char* expected;
};

// Oracle's examples of TO_CHAR results ("Format Models", Number Format Models examples table,
// https://docs.oracle.com/cd/B19306_01/server.102/b14200/sql_elements004.htm, the same table
// reprinted at https://docs.oracle.com/cd/F25597_01/document/products/itools/jdev/904/jdev_help_ja.zip)
// and the element table of https://docs.oracle.com/cd/B13789_01/server.101/b10758/sqlqr07.htm.
const FormatCase kDocumented[] = {
    {"-1234567890", "9999999999S", "1234567890-"},
    {"0", "99.99", "   .00"},
    {"0.1", "99.99", "   .10"},
    {"-0.2", "99.99", "  -.20"},
    {"0", "90.99", "  0.00"},
    {"0.1", "90.99", "  0.10"},
    {"-0.2", "90.99", " -0.20"},
    {"0", "9999", "    0"},
    {"1", "9999", "    1"},
    {"0", "B9999", "     "},
    {"1", "B9999", "    1"},
    {"0", "B90.99", "      "},
    {"123.456", "999.999", " 123.456"},
    {"-123.456", "999.999", "-123.456"},
    {"123.456", "FM999.009", "123.456"},
    {"123.456", "9.9EEEE", "  1.2E+02"},
    {"1E+123", "9.9EEEE", " 1.0E+123"},  // a three-digit exponent uses the blank
    {"-1E+123", "9.9EEEE", "-1.0E+123"},
    {"1E-130", "9.9EEEE", " 1.0E-130"},
    {"123.456", "FM9.9EEEE", "1.2E+02"},
    {"123.45", "FM999.009", "123.45"},
    {"123", "FM999.009", "123.00"},
    {"123.45", "L999.99", "          $123.45"},
    {"123.45", "FML999.99", "$123.45"},
    {"1234567890", "9999999999S", "1234567890+"},
    {"1234.1275", "9,999.00", " 1,234.13"},
    {"123", "999.009", " 123.000"},
    {"1234", "9G999", " 1,234"},
    {"12.34", "99D99", " 12.34"},
    {"-123", "999MI", "123-"},
    {"-123", "999PR", "<123>"},
    {"123", "S999", "+123"},
    {"123", "999S", "123+"},
    {"12", "0999", " 0012"},
    {"12.3", "9990.00", "   12.30"},
    {"123", "$9999", "  $123"},
    {"11", "RN", "             XI"},
    {"11", "FMrn", "xi"},
    {"3040", "99999V99", "  304000"},
    {"3040", "U00999", "          $03040"},
    {"121.976", "99.99EEEE", "  1.22E+02"},
    {"-1234.567", "TM9", "-1234.567"},
    {"343543.98", "$999.99", "########"},
    {"666.66", "99.99", "######"},
    {"0.66", "fm99.99", ".66"},
    {"0.60", "fm90.90", "0.60"},
    {"6000", "99,999.00", "  6,000.00"},
    {"6000", "00,000.00", " 06,000.00"},
    {"123.45", "0009.9", " 0123.5"},
    {"1233123.45", "9,999,999.99", " 1,233,123.45"},
};

TEST(NumberFormatModel, DocumentedExamples) {
    for (const auto& c : kDocumented) {
        SCOPED_TRACE(std::string(c.value) + " '" + c.fmt + "'");
        EXPECT_EQ(OraNumber::Parse(c.value).Format(c.fmt), c.expected);
    }
}

// Layout rules derived from the element descriptions (sign slot, '#' width, FM trimming,
// rounding), and the masks the client uses for NUMBER columns: FM99999999.09 for
// NUMBER(10,2), FM followed by nines for integers, FM0D<39 nines> for small values and
// FM0D<39 nines>EEEE beyond 40 digits.
const FormatCase kLayout[] = {
    {"0.3", "99.99", "   .30"},
    {"0.3", "FM00.99", "00.3"},
    {"0.3", "FM99.00000", ".30000"},
    {"12923", "FM99999.99", "12923."},
    {"0", "FM0D9", "0."},
    {"0", "FM0D09", "0.0"},
    {"1.1234", "FM0.099", "1.123"},
    {"12.5", "FM99999999.09", "12.5"},
    {"0.5", "FM99999999.09", ".5"},
    {"-3", "FM99999999.09", "-3.0"},
    {"0", "FM99999999.09", ".0"},
    {"12345678.905", "FM99999999.09", "12345678.91"},
    {"-0.004", "FM99999999.09", "-.0"},
    {"123456789", "FM99999999.09", "############"},
    {"12345", "FM99999", "12345"},
    {"-123.45", "FM999D9999999999999999999999999999999999999", "-123.45"},
    {"0.0001234", "FM0D999999999999999999999999999999999999999", "0.0001234"},
    {"1.5e45", "FM0D999999999999999999999999999999999999999EEEE", "1.5E+45"},
    {"-1.234e-100", "FM0D999999999999999999999999999999999999999EEEE", "-1.234E-100"},
    {"-123.45", "999.99MI", "123.45-"},
    {"123.45", "999.99MI", "123.45 "},
    {"-230", "999PR", "<230>"},
    {"230", "999PR", " 230 "},
    {"230", "FM999PR", "230"},
    {"42", "S999", " +42"},
    {"-42", "999S", " 42-"},
    {"123", "999V99", " 12300"},
    {"1234", "999V99", "######"},
    {"123", "XX", " 7B"},
    {"123", "xx", " 7b"},
    {"123", "000X", " 007B"},
    {"10", "0XXX", " 000A"},  // one leading 0 pads every free position
    {"10", "FM0XXX", "000A"},
    {"10", "0xxx", " 000a"},
    {"197.6", "XX", " C6"},
    {"123", "X", "##"},
    {"-1", "XX", "###"},
    {"4095", "FMXXX", "FFF"},
    {"12345", "9,999", "######"},
    {"12345", "$9", "###"},
    {"12345", "9990", "#####"},
    {"12345", "99999", " 12345"},
    {"-12345", "99999", "-12345"},
    {"12345", "9999999", "   12345"},
    {"0", "9999999", "       0"},
    {"12345.345", "99,999,999.99", "     12,345.35"},
    {"0.0019", "FM0.099", "0.002"},
    {"123.456", "999EEEE", "  1E+02"},
    {".00123456", "999EEEE", "  1E-03"},
    {"-1", "999EEEE", " -1E+00"},
    {"0", "9.99EEEE", "  0.00E+00"},
    {"123.456", "fm00.00000000EEEE", "1.23456000E+02"},
    {"9.96", "9.9EEEE", "  1.0E+01"},
    {"0.45", "TME", "4.5E-01"},
    {"123", "TME", "1.23E+02"},
    {"0.45", "TM", ".45"},
    {"-1", "$9", "-$1"},
    {"-1", "S$9", "-$1"},
    {"1999", "RN", "        MCMXCIX"},
    {"4000", "RN", "###############"},
    {"1234567.891", "9G999G999D99", " 1,234,567.89"},
};

TEST(NumberFormatModel, LayoutRules) {
    for (const auto& c : kLayout) {
        SCOPED_TRACE(std::string(c.value) + " '" + c.fmt + "'");
        EXPECT_EQ(OraNumber::Parse(c.value).Format(c.fmt), c.expected);
    }
}

TEST(NumberFormatModel, NlsCharacters) {
    const OraNumber n = OraNumber::Parse("1234567.891");
    EXPECT_EQ(n.Format("9G999G999D99", ',', '.'), " 1.234.567,89");
    EXPECT_EQ(n.Format("FML9G999G999D99", ',', ' ', "EUR"), "EUR1 234 567,89");
    // '.' and ',' are literal whatever the NLS characters are.
    EXPECT_EQ(n.Format("9,999,999.99", ',', '.'), " 1,234,567.89");
    EXPECT_EQ(OraNumber::ParseWithFormat("1.234,5", "9G999D9", ',', '.').ToText(), "1234.5");
}

const char* const kBadModels[] = {
    ",999", "9.9.9", "99D9.9", "9,99.9,9", "999MI9", "99PR9", "S99S", "9X",  "X0",       "9EEEE9",
    "EEEE", "abc",   "99V9.9", "TM9 ",     "RN9",    "FMFM9", "$$9",  "BB9", "9999MIPR", "LC999",
};

TEST(NumberFormatModel, InvalidModels) {
    for (const char* fmt : kBadModels) {
        SCOPED_TRACE(fmt);
        try {
            OraNumber::FromInt64(1).Format(fmt);
            ADD_FAILURE() << "accepted";
        } catch (const OraError& e) {
            EXPECT_STREQ(e.what(), "ORA-01481: invalid number format model");
        }
    }
}

struct ParseCase {
    const char* text;
    const char* fmt;
    const char* value;  // nullptr: ORA-01722
};

// TO_NUMBER with a model (SQL Reference TO_NUMBER examples and the element rules).
const ParseCase kParse[] = {
    {"$2,304.25", "$9,999.99", "2304.25"},
    {"1,234.56", "9,999.99", "1234.56"},
    {"-1,234.56", "9,999.99", "-1234.56"},
    {"1234.56", "9G999D99", "1234.56"},
    {"123-", "999MI", "-123"},
    {"123 ", "999MI", "123"},
    {"<123>", "999PR", "-123"},
    {"+42", "S99", "42"},
    {"42-", "99S", "-42"},
    {"1.2E+02", "9.9EEEE", "120"},
    {"  12", "9999", "12"},
    {"7B", "XX", "123"},
    {"ff", "xxx", "255"},
    // 999999999999999999999999999999999999999099999 in hex: rounded once to NUMBER's
    // digits (39 here, as the base-100 digits fall), not again at every hex digit.
    {"2CD76FE086B93CE2F768A00B229FFFFFF2445F", "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX",
     "999999999999999999999999999999999999999000000"},
    {"12300", "999V99", "123"},
    {"-0.5", "90.9", "-.5"},
    {"12345", "9999", nullptr},  // too many digits
    {"1.234", "9.99", nullptr},  // too many decimals
    {"   1 ", "0", nullptr},     // a trailing blank not in the model
    {"1x", "99", nullptr},
    {"", "99", nullptr},
    {"-", "99", nullptr},
    {"<12", "99PR", nullptr},
    {"12-", "99", nullptr},
    {"GG", "XX", nullptr},
};

TEST(NumberFormatModel, ParseWithModel) {
    for (const auto& c : kParse) {
        SCOPED_TRACE(std::string("'") + c.text + "' '" + c.fmt + "'");
        if (c.value == nullptr) {
            try {
                OraNumber::ParseWithFormat(c.text, c.fmt);
                ADD_FAILURE() << "accepted";
            } catch (const OraError& e) {
                EXPECT_EQ(e.Code(), 1722);
            }
        } else {
            EXPECT_EQ(OraNumber::ParseWithFormat(c.text, c.fmt).ToText(), c.value);
        }
    }
}

// Every value that renders without '#' parses back to the same value under the same model,
// once rounded to the model's decimal places.
TEST(NumberFormatModel, RenderedTextParsesBack) {
    const char* const models[] = {"99999999.99", "FM99999999.09", "9G999G999D999", "S999999.99",
                                  "999999.99MI", "999999.99PR",   "$999,999.00",   "FM0.99999",
                                  "9.999EEEE",   "FM9.99999EEEE", "XXXXXXXX",      "0000000",
                                  "TM9",         "L99999.99",     "C99999.99",     "99999V99"};
    const char* const values[] = {"0",           "1",       "-1",    "12.5", "-0.25", "1234.5678",
                                  "-98765.4321", "0.00042", "99999", "255",  "4096"};
    for (const char* fmt : models) {
        for (const char* v : values) {
            const OraNumber x = OraNumber::Parse(v);
            std::string text;
            try {
                text = x.Format(fmt);
            } catch (const OraError&) {
                continue;
            }
            if (text.find('#') != std::string::npos) continue;
            SCOPED_TRACE(std::string(v) + " '" + fmt + "' -> '" + text + "'");
            const OraNumber back = OraNumber::ParseWithFormat(text, fmt);
            // A negative value that rounds to zero keeps its minus sign ("-.00"), which
            // reads back as plain zero.
            if (x.IsNegative() && back.IsZero()) {
                EXPECT_NE(text.find('-'), std::string::npos);
                continue;
            }
            EXPECT_EQ(back.Format(fmt), text);
        }
    }
}

}  // namespace
