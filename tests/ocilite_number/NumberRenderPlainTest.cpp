// The plain fill-mode path of number format models (RenderPlain, taken by OCINumberToText for
// the masks clients build for NUMBER columns) against the general path (Render), over random
// numbers of every magnitude and the masks a client computes.
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "ocilite/types/NumberFormatModel.h"
#include "ocilite/types/OraNumber.h"
#include "ocilite/types/OraNumberOci.h"

using ocilite::NumberFormatModel;
using ocilite::NumberFormatSymbols;
using ocilite::OraError;
using ocilite::OraNumber;
namespace on = ocilite::ocinumber;

namespace {

std::string Nines(int n) {
    return n > 0 ? std::string(static_cast<size_t>(n), '9') : std::string();
}

// The mask a client gives a NUMBER(precision, scale) column: p = precision - scale integer
// positions, then for a positive scale ".0" and scale - 1 nines; longer than 65 characters
// is no mask.
std::string DeclaredMask(int p, int s) {
    std::string mask;
    if (s > 0)
        mask = "FM" + Nines(p) + ".0" + Nines(s - 1);
    else if (p != 0)
        mask = "FM" + Nines(p);
    return mask.size() > 65 ? std::string() : mask;
}

// The masks a client computes from a value's integer digit count when the column has none.
std::string ComputedMask(int digits, bool hasFraction) {
    if (digits < 0) return "FM0D" + Nines(39);
    if (hasFraction) return "FM" + Nines(digits) + "D" + Nines(40 - digits);
    return "FM" + Nines(digits);
}

std::vector<std::string> ClientMasks() {
    std::vector<std::string> masks;
    for (int precision = 1; precision <= 38; ++precision) {
        for (int scale = -3; scale <= precision + 2; ++scale) {
            const std::string mask = DeclaredMask(precision - scale, scale);
            if (!mask.empty()) masks.push_back(mask);
        }
    }
    for (int digits = -1; digits <= 40; ++digits) {
        masks.push_back(ComputedMask(digits, true));
        if (digits > 0) masks.push_back(ComputedMask(digits, false));
    }
    // Other plain models: '0' positions, D, nothing before or after the decimal character.
    for (const char* mask : {"FM0", "FM09", "FM990", "FM0999D00", "FM.99", "FM9.", "FM9D", "FM00.00", "FM9999.9099",
                             "fm999d99", "FM0D0", "FM999990D0999"})
        masks.push_back(mask);
    return masks;
}

// A random number: 1 to 40 significant digits, any exponent NUMBER holds, either sign, or a
// small value of the shapes NUMBER(p,s) columns hold (up to 12 integer digits, 0-4 decimals).
OraNumber RandomNumber(std::mt19937_64& rng) {
    const int shape = static_cast<int>(rng() % 10);
    if (shape == 0) return OraNumber();
    std::string digits;
    int exponent = 0;
    if (shape < 5) {
        const int intDigits = static_cast<int>(rng() % 13), decimals = static_cast<int>(rng() % 5);
        for (int k = 0; k < intDigits + decimals; ++k) digits += static_cast<char>('0' + rng() % 10);
        if (digits.empty()) digits = "0";
        exponent = -decimals;
    } else {
        const int count = 1 + static_cast<int>(rng() % 40);
        for (int k = 0; k < count; ++k) digits += static_cast<char>('0' + rng() % 10);
        exponent = static_cast<int>(rng() % 250) - 170;
    }
    return OraNumber::FromDecimal(rng() % 2 == 0, digits, exponent);
}

TEST(NumberRenderPlain, GivesTheGeneralPathsTextForRandomNumbersAndClientMasks) {
    std::mt19937_64 rng(20261208);
    NumberFormatSymbols american;
    NumberFormatSymbols comma;
    comma.decimal = ',';
    comma.group = '.';
    const std::vector<std::string> masks = ClientMasks();
    std::vector<NumberFormatModel> models;
    for (const std::string& mask : masks) models.push_back(NumberFormatModel::Compile(mask));
    std::vector<long> plain(models.size(), 0);
    long general = 0;
    for (int i = 0; i < 1500; ++i) {
        const OraNumber value = RandomNumber(rng);
        for (size_t m = 0; m < models.size(); ++m) {
            ASSERT_TRUE(models[m].IsPlain()) << masks[m];
            for (const NumberFormatSymbols* symbols : {&american, &comma}) {
                const std::string expected = models[m].Render(value, *symbols);
                char out[128];
                size_t length = 0;
                if (models[m].RenderPlain(value, *symbols, out, sizeof out, length)) {
                    ++plain[m];
                    ASSERT_EQ(std::string(out, length), expected) << value.ToText() << " with " << masks[m];
                } else {
                    // Only a value that rounds to the model's decimals or overflows its field
                    // leaves the plain path.
                    ++general;
                    std::string digits;
                    int e = 0;
                    value.ToDecimal(digits, e);
                    const bool overflow = expected.find_first_not_of('#') == std::string::npos;
                    const int decimals = static_cast<int>(digits.size()) - e;
                    const std::string fmt = masks[m];
                    const size_t point = fmt.find_first_of(".Dd");
                    const int shown = point == std::string::npos ? 0 : static_cast<int>(fmt.size() - point - 1);
                    EXPECT_TRUE(overflow || decimals > shown) << value.ToText() << " with " << masks[m];
                }
            }
        }
    }
    // Both paths must have been exercised, the plain one with every mask.
    for (size_t m = 0; m < models.size(); ++m) EXPECT_GT(plain[m], 0) << masks[m];
    EXPECT_GT(general, 0);
}

TEST(NumberRenderPlain, RefusesModelsOutsideThePlainShape) {
    for (const char* mask : {"999", "99.99", "FM9,999", "FM9G999", "FMS999", "FM999MI", "FM999PR", "FM$999", "FML999",
                             "FMB999", "FM99V99", "FM9.9EEEE", "FMXX", "FMRN", "TM9", "FM999S"}) {
        const NumberFormatModel model = NumberFormatModel::Compile(mask);
        EXPECT_FALSE(model.IsPlain()) << mask;
        char out[128];
        size_t length = 0;
        EXPECT_FALSE(model.RenderPlain(OraNumber::Parse("12"), NumberFormatSymbols(), out, sizeof out, length)) << mask;
    }
}

TEST(NumberRenderPlain, LeavesTheGeneralPathWhenTheBufferCouldBeTooSmall) {
    const NumberFormatModel model = NumberFormatModel::Compile("FM99999999.09");
    char out[16];
    size_t length = 0;
    // sign, 8 integer positions, the point and 2 decimals need 12 bytes
    EXPECT_FALSE(model.RenderPlain(OraNumber::Parse("1.5"), NumberFormatSymbols(), out, 11, length));
    ASSERT_TRUE(model.RenderPlain(OraNumber::Parse("-12345678.5"), NumberFormatSymbols(), out, 12, length));
    EXPECT_EQ(std::string(out, length), "-12345678.5");
}

// OCINumberToText takes the plain path without NLS parameters and the general one with them:
// the same symbols through both give the same text, and the same errors.
TEST(NumberRenderPlain, OciTextIsTheSameWithAndWithoutTheNlsParameters) {
    std::mt19937_64 rng(8122026);
    const std::vector<std::string> masks = ClientMasks();
    const std::string nls = "NLS_NUMERIC_CHARACTERS='.,'";
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        const OraNumber value = RandomNumber(rng);
        uint8_t number[22];
        value.ToOci(number);
        const std::string& mask = masks[rng() % masks.size()];
        for (size_t size : {size_t(101), size_t(3)}) {
            char fast[101], slow[101];
            std::memset(fast, 'x', sizeof fast);
            std::memset(slow, 'x', sizeof slow);
            int fastError = 0, slowError = 0;
            size_t fastLength = 0, slowLength = 0;
            try {
                fastLength = on::ToText(number, mask, "", fast, size);
            } catch (const OraError& e) {
                fastError = e.Code();
            }
            try {
                slowLength = on::ToText(number, mask, nls, slow, size);
            } catch (const OraError& e) {
                slowError = e.Code();
            }
            ASSERT_EQ(fastError, slowError) << value.ToText() << " with " << mask;
            if (fastError == 0) {
                ASSERT_EQ(std::string(fast, fastLength + 1), std::string(slow, slowLength + 1))
                    << value.ToText() << " with " << mask;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 2000);
}

}  // namespace
