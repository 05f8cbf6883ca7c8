#pragma once
// Oracle's NUMBER: an exact decimal of up to 40 significant digits (20 base-100 digits) in
// the range 1e-130 .. < 1e126, with its 22-byte OCINumber form, the on-disk varnum form,
// text conversion with and without a number format model, and the arithmetic of the OCI
// number services. Every failure throws ocilite::OraError with Oracle's number and text.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ocilite/types/OraError.h"

namespace ocilite {

class OraNumber {
public:
    // Largest number of base-100 mantissa digits a NUMBER holds.
    static constexpr int kMaxDigits100 = 20;
    // Size of the OCINumber struct: length byte + up to 21 varnum bytes.
    static constexpr int kOciSize = 22;

    OraNumber() = default;  // zero

    // --- the OCINumber and varnum forms -------------------------------------------------
    // bytes[0] = length of the varnum that follows (1..21), then exponent byte and mantissa.
    static OraNumber FromOci(const uint8_t (&bytes)[22]);
    static OraNumber FromOciBytes(const uint8_t* bytes);  // same, for raw OCINumber pointers
    void ToOci(uint8_t (&bytes)[22]) const;
    void ToOciBytes(uint8_t* bytes) const;  // writes all 22 bytes
    // The on-disk form without the length byte, as DUMP shows it (1..21 bytes; negative
    // numbers shorter than 21 bytes end with the 102 terminator). Throws ORA-22060 for
    // bytes that are no valid number.
    static OraNumber FromVarnum(const uint8_t* p, size_t len);
    std::string ToVarnum() const;

    // --- integers and reals ------------------------------------------------------------
    static OraNumber FromInt64(int64_t v);
    static OraNumber FromUInt64(uint64_t v);
    // The double's shortest round-trip decimal text (at most 17 significant digits), so
    // 0.1 becomes exactly .1. NaN and infinities throw ORA-01426 "numeric overflow".
    static OraNumber FromDouble(double v);
    static OraNumber FromFloat(float v);  // same with the float's shortest text
    // Rounds to the nearest integer (half away from zero) and throws ORA-01426
    // "numeric overflow" when it does not fit.
    int64_t ToInt64() const;
    uint64_t ToUInt64() const;
    double ToDouble() const;

    // --- text ----------------------------------------------------------------------------
    // TO_NUMBER without a model: blanks around, optional sign, digits with one '.', an
    // optional exponent e/E[+-]ddd. Anything else throws ORA-01722 "invalid number";
    // values of 1e126 and more throw ORA-01426 "numeric overflow"; tiny values become 0.
    // More than 40 significant digits are rounded (half away from zero).
    static OraNumber Parse(std::string_view text);
    // Like Parse, but returns false instead of throwing ORA-01722.
    static bool TryParse(std::string_view text, OraNumber& out);
    // The same by the general reader alone. TryParse reads a plain decimal of up to 38
    // characters ([-]digits[.digits]) in one pass and comes here for every other text; both
    // give the same result, which the tests hold them to.
    static bool TryParseGeneral(std::string_view text, OraNumber& out);
    // TO_CHAR(n) without a model (TM9): the fewest characters, ".05", "-1", "12.5";
    // scientific "1.5E+100" / "1E-130" (as TME writes it) when the fixed form would exceed
    // 64 characters.
    std::string ToText() const;
    // TO_NUMBER(text, fmt) with a number format model. ORA-01481 for a bad model,
    // ORA-01722 for text that does not match it.
    static OraNumber ParseWithFormat(std::string_view text, std::string_view fmt);
    // TO_CHAR(n, fmt) / OCINumberToText. ORA-01481 "invalid number format model" for a bad
    // model; the output is '#' characters when the value does not fit the model.
    std::string Format(std::string_view fmt) const;
    // Same with NLS_NUMERIC_CHARACTERS (decimal character, group separator) and the
    // currency symbol used by L / C / U elements.
    std::string Format(std::string_view fmt, char decimalChar, char groupChar, std::string_view currency = "$") const;
    static OraNumber ParseWithFormat(std::string_view text, std::string_view fmt, char decimalChar, char groupChar,
                                     std::string_view currency = "$");

    // --- comparison ------------------------------------------------------------------------
    int Compare(const OraNumber& other) const;  // -1, 0, 1
    bool operator==(const OraNumber& other) const { return Compare(other) == 0; }
    std::strong_ordering operator<=>(const OraNumber& other) const {
        int c = Compare(other);
        return c < 0 ? std::strong_ordering::less : c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal;
    }

    // --- arithmetic (results rounded to 40 significant digits; ORA-01426 on overflow,
    //     underflow gives 0) ------------------------------------------------------------------
    OraNumber Add(const OraNumber& b) const;
    OraNumber Sub(const OraNumber& b) const;
    OraNumber Mul(const OraNumber& b) const;
    OraNumber Div(const OraNumber& b) const;  // ORA-01476 "divisor is equal to zero"
    OraNumber Mod(const OraNumber& b) const;  // Oracle's MOD: a - b*TRUNC(a/b); MOD(a,0)=a
    OraNumber Abs() const;
    OraNumber Neg() const;
    OraNumber Floor() const;
    OraNumber Ceil() const;
    OraNumber Round(int places = 0) const;  // half away from zero; places may be negative
    OraNumber Trunc(int places = 0) const;
    OraNumber Power(int exponent) const;               // ORA-01476 for 0 to a negative power
    OraNumber Power(const OraNumber& exponent) const;  // ORA-01428 for a negative base with
                                                       // a non-integer exponent
    OraNumber Ln() const;                              // ORA-01428 "argument 'x' is out of range"
    OraNumber Log(const OraNumber& base) const;        // log of *this in the given base
    OraNumber Exp() const;
    OraNumber Sqrt() const;  // ORA-01428 for negative arguments
    bool IsZero() const { return len_ == 0; }
    bool IsNegative() const { return neg_; }
    int Sign() const { return len_ == 0 ? 0 : neg_ ? -1 : 1; }
    bool IsInteger() const;

    friend OraNumber operator+(const OraNumber& a, const OraNumber& b) { return a.Add(b); }
    friend OraNumber operator-(const OraNumber& a, const OraNumber& b) { return a.Sub(b); }
    friend OraNumber operator*(const OraNumber& a, const OraNumber& b) { return a.Mul(b); }
    friend OraNumber operator/(const OraNumber& a, const OraNumber& b) { return a.Div(b); }
    OraNumber operator-() const { return Neg(); }

    // --- column rules ----------------------------------------------------------------------
    // The value stored into NUMBER(precision, scale): rounded to the scale (negative scale
    // rounds left of the point), ORA-01438 "value larger than specified precision allowed
    // for this column" when more than precision digits remain before the rounding position.
    // Arguments as OCI describes a column: precision 0 or -1 with scale 0 or -127 is a plain
    // NUMBER (kept as is); precision 0 or -1 with another scale is NUMBER(*,s) (38 digits);
    // scale -127 with a precision is FLOAT(precision), which only rounds (FitToFloat).
    // NUMBER(*,0) is the same as NUMBER(38,0).
    OraNumber FitToPrecisionScale(int precision, int scale) const;
    // The value stored into FLOAT(binaryPrecision): rounded to ceil(b * 0.30103)
    // significant decimal digits.
    OraNumber FitToFloat(int binaryPrecision) const;
    // Number of significant decimal digits, and the decimal exponent of the first one
    // (123.4 -> digits 4, exponent 2). Zero has 0 digits and exponent 0.
    int SignificantDigits() const;
    int DecimalExponent() const;

    // --- ordering key --------------------------------------------------------------------
    // Bytes whose memcmp order equals numeric order (shorter is less when one key is a
    // prefix of the other), for storing NUMBER as a BLOB that sorts as a number.
    std::string SortKey() const;
    static OraNumber FromSortKey(std::string_view key);

    // --- internals made visible for the format and OCI code -------------------------------
    // Base-100 mantissa digits, most significant first; value = 0.d1d2.. * 100^(exponent100)
    // with d1 != 0 unless zero. Trailing zero digits never stored.
    int Digits100Count() const { return len_; }
    uint8_t Digit100(int i) const { return digits_[i]; }
    int Exponent100() const { return exp_; }
    // Builds from sign, base-100 exponent (as above) and digits; normalises (strips leading
    // and trailing zeros, rounds to 20 digits, checks range).
    static OraNumber FromParts(bool negative, int exponent100, const uint8_t* digits, int count);
    // Builds from a decimal digit string (no sign, no point, leading zeros allowed) with the
    // value digits * 10^decimalExponent; rounds to 40 significant digits half away from zero.
    static OraNumber FromDecimal(bool negative, std::string_view digits, int decimalExponent);
    // Decimal digits without leading/trailing zeros and the exponent such that
    // value = 0.digits * 10^exponent (1.5 -> "15", 1).
    void ToDecimal(std::string& digits, int& exponent) const;

private:
    bool neg_ = false;
    uint8_t len_ = 0;  // number of base-100 digits (0 for zero)
    int16_t exp_ = 0;  // base-100 exponent, value = 0.d1d2.. * 100^exp_
    uint8_t digits_[kMaxDigits100] = {};
};

}  // namespace ocilite
