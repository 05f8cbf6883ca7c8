// Transcendental NUMBER functions (LN, LOG, EXP, POWER, SQRT). They are evaluated with 50
// decimal digits and rounded to the NUMBER's 40, so exact results such as LOG(10, 1000) = 3
// or SQRT(2.25) = 1.5 come out exact, which callers that take FLOOR of a logarithm rely on.
#include <boost/multiprecision/cpp_dec_float.hpp>
#include <cmath>

#include "ocilite/types/OraNumber.h"

namespace ocilite {

namespace {

using Real = boost::multiprecision::number<boost::multiprecision::cpp_dec_float<50>, boost::multiprecision::et_off>;

Real ToReal(const OraNumber& x) {
    if (x.IsZero()) return Real(0);
    std::string digits;
    int e = 0;
    x.ToDecimal(digits, e);
    std::string text = (x.IsNegative() ? "-0." : "0.") + digits + "e" + std::to_string(e);
    return Real(text);
}

OraNumber FromReal(const Real& v) {
    if (boost::multiprecision::isnan(v) || boost::multiprecision::isinf(v)) throw OraError(1426, "numeric overflow");
    if (v == 0) return OraNumber();
    // 45 significant digits: the NUMBER rounding then happens once, from these.
    return OraNumber::Parse(v.str(45, std::ios_base::scientific));
}

[[noreturn]] void ThrowOutOfRange(const OraNumber& arg) {
    throw OraError(1428, "argument '" + arg.ToText() + "' is out of range");
}

// Results beyond NUMBER's range overflow; tiny ones become zero.
const Real kLnOverflow = Real(126) * boost::multiprecision::log(Real(10));

}  // namespace

OraNumber OraNumber::Ln() const {
    if (Sign() <= 0) ThrowOutOfRange(*this);
    return FromReal(boost::multiprecision::log(ToReal(*this)));
}

OraNumber OraNumber::Log(const OraNumber& base) const {
    if (base.Sign() <= 0 || base == FromInt64(1)) ThrowOutOfRange(base);
    if (Sign() <= 0) ThrowOutOfRange(*this);
    // Powers of ten in base 10 are exact without a series (the digit count of a value is
    // computed this way for every unformatted NUMBER shown).
    const bool powerOfTen = SignificantDigits() == 1 && (Digit100(0) == 1 || Digit100(0) == 10);
    if (powerOfTen && base == FromInt64(10)) return FromInt64(DecimalExponent());
    // The logarithm of the base is kept for the next call: callers repeat the same base.
    thread_local OraNumber lastBase;
    thread_local Real lastLnBase;
    if (lastBase.IsZero() || !(lastBase == base)) {
        lastLnBase = boost::multiprecision::log(ToReal(base));
        lastBase = base;
    }
    return FromReal(boost::multiprecision::log(ToReal(*this)) / lastLnBase);
}

OraNumber OraNumber::Exp() const {
    Real x = ToReal(*this);
    if (x > kLnOverflow) throw OraError(1426, "numeric overflow");
    if (x < -kLnOverflow * 2) return OraNumber();
    return FromReal(boost::multiprecision::exp(x));
}

OraNumber OraNumber::Sqrt() const {
    if (Sign() < 0) ThrowOutOfRange(*this);
    if (IsZero()) return *this;
    return FromReal(boost::multiprecision::sqrt(ToReal(*this)));
}

OraNumber OraNumber::Power(int exponent) const {
    if (IsZero()) {
        if (exponent < 0) throw OraError(1476, "divisor is equal to zero");
        return exponent == 0 ? FromInt64(1) : OraNumber();
    }
    // The size of the result decides overflow and underflow before any multiplication;
    // the borderline cases are left to the final conversion.
    const double lg = static_cast<double>(exponent) * std::log10(std::abs(ToDouble()));
    if (lg > 127) throw OraError(1426, "numeric overflow");
    if (lg < -135) return OraNumber();
    Real base = ToReal(*this);
    Real result = 1;
    long long e = exponent < 0 ? -static_cast<long long>(exponent) : exponent;
    while (e > 0) {
        if (e & 1) result *= base;
        base *= base;
        e >>= 1;
    }
    if (exponent < 0) result = Real(1) / result;
    return FromReal(result);
}

OraNumber OraNumber::Power(const OraNumber& exponent) const {
    if (exponent.IsInteger() && exponent.DecimalExponent() < 9) return Power(static_cast<int>(exponent.ToInt64()));
    if (Sign() < 0) ThrowOutOfRange(*this);
    if (IsZero()) {
        if (exponent.Sign() < 0) ThrowOutOfRange(exponent);
        return OraNumber();
    }
    Real lg = boost::multiprecision::log(ToReal(*this)) * ToReal(exponent);
    if (lg > kLnOverflow) throw OraError(1426, "numeric overflow");
    if (lg < -kLnOverflow * 2) return OraNumber();
    return FromReal(boost::multiprecision::exp(lg));
}

}  // namespace ocilite
