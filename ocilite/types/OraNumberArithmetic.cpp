// Exact NUMBER arithmetic: sums and products on the base-100 digits, quotients and
// remainders with big integers; every result rounded to 20 base-100 digits half away from
// zero, as the NUMBER format holds them.
#include <algorithm>
#include <boost/multiprecision/cpp_int.hpp>
#include <cstdio>
#include <cstring>
#include <string>

#include "ocilite/types/OraNumber.h"

namespace ocilite {

namespace {

using BigInt = boost::multiprecision::cpp_int;

// Positions span from 100^63 down to 100^-84 (the lowest digit of the smallest number).
constexpr int kSpan = 63 + 84 + 4;

BigInt MantissaOf(const OraNumber& x) {
    BigInt m = 0;
    for (int i = 0; i < x.Digits100Count(); ++i) m = m * 100 + x.Digit100(i);
    return m;
}

// Decimal digits of a non-negative big integer, 18 at a time (cpp_int's own str() trips a
// false -Wrestrict in GCC 12 at -O3).
std::string DecimalDigits(BigInt v) {
    const BigInt chunk = BigInt(1000000000000000000ULL);
    uint64_t parts[32];
    int n = 0;
    while (v != 0 && n < 32) {
        BigInt q, r;
        boost::multiprecision::divide_qr(v, chunk, q, r);
        parts[n++] = static_cast<uint64_t>(r);
        v = q;
    }
    std::string out = n == 0 ? "0" : std::to_string(parts[n - 1]);
    char buf[24];
    for (int i = n - 2; i >= 0; --i) {
        std::snprintf(buf, sizeof buf, "%018llu", static_cast<unsigned long long>(parts[i]));
        out += buf;
    }
    return out;
}

// value = mantissa * 10^exp10.
OraNumber FromBig(bool negative, const BigInt& mantissa, int exp10) {
    if (mantissa == 0) return OraNumber();
    return OraNumber::FromDecimal(negative, DecimalDigits(mantissa), exp10);
}

// Compares magnitudes only.
int CompareMagnitude(const OraNumber& a, const OraNumber& b) {
    return a.Abs().Compare(b.Abs());
}

}  // namespace

OraNumber OraNumber::Abs() const {
    OraNumber r = *this;
    r.neg_ = false;
    return r;
}

OraNumber OraNumber::Neg() const {
    OraNumber r = *this;
    if (r.len_ != 0) r.neg_ = !r.neg_;
    return r;
}

OraNumber OraNumber::Add(const OraNumber& b) const {
    if (b.len_ == 0) return *this;
    if (len_ == 0) return b;
    // Lay both magnitudes out on a common grid of base-100 positions.
    const int top = std::max<int>(exp_, b.exp_) + 1;  // one spare position for a carry
    const int bottom = std::min(exp_ - len_, b.exp_ - b.len_);
    const int width = top - bottom;
    int acc[kSpan] = {};
    const OraNumber* big = this;
    const OraNumber* small = &b;
    bool subtract = neg_ != b.neg_;
    if (subtract && CompareMagnitude(*this, b) < 0) std::swap(big, small);
    for (int i = 0; i < big->len_; ++i) acc[top - big->exp_ + i] += big->digits_[i];
    for (int i = 0; i < small->len_; ++i)
        acc[top - small->exp_ + i] += subtract ? -small->digits_[i] : small->digits_[i];
    for (int i = width - 1; i > 0; --i) {
        if (acc[i] >= 100) {
            acc[i] -= 100;
            ++acc[i - 1];
        } else if (acc[i] < 0) {
            acc[i] += 100;
            --acc[i - 1];
        }
    }
    uint8_t digits[kSpan];
    for (int i = 0; i < width; ++i) digits[i] = static_cast<uint8_t>(acc[i]);
    return FromParts(big->neg_, top, digits, width);
}

OraNumber OraNumber::Sub(const OraNumber& b) const {
    return Add(b.Neg());
}

OraNumber OraNumber::Mul(const OraNumber& b) const {
    if (len_ == 0 || b.len_ == 0) return OraNumber();
    int acc[2 * kMaxDigits100 + 1] = {};
    for (int i = 0; i < len_; ++i)
        for (int j = 0; j < b.len_; ++j) acc[i + j + 1] += digits_[i] * b.digits_[j];
    const int width = len_ + b.len_;
    for (int i = width; i > 0; --i) {
        acc[i - 1] += acc[i] / 100;
        acc[i] %= 100;
    }
    uint8_t digits[2 * kMaxDigits100 + 1];
    for (int i = 0; i <= width; ++i) digits[i] = static_cast<uint8_t>(acc[i]);
    // acc[0] is a carry position worth 100^(Ea+Eb-1).
    return FromParts(neg_ != b.neg_, exp_ + b.exp_, digits, width + 1);
}

OraNumber OraNumber::Div(const OraNumber& b) const {
    if (b.len_ == 0) throw OraError(1476, "divisor is equal to zero");
    if (len_ == 0) return OraNumber();
    // Quotient of the mantissas scaled so that it has at least 22 base-100 digits: the 21st
    // decides the rounding, and half-away rounding needs no more.
    const int k = 23 + b.len_ - len_;
    BigInt num = MantissaOf(*this);
    for (int i = 0; i < k; ++i) num *= 100;
    BigInt q = num / MantissaOf(b);
    const int exp10 = 2 * ((exp_ - len_) - (b.exp_ - b.len_) - k);
    return FromBig(neg_ != b.neg_, q, exp10);
}

OraNumber OraNumber::Mod(const OraNumber& b) const {
    if (b.len_ == 0 || len_ == 0) return *this;
    // Exact remainder on a common exponent; the result takes the dividend's sign.
    const int ea = exp_ - len_, eb = b.exp_ - b.len_;
    const int low = std::min(ea, eb);
    BigInt ma = MantissaOf(*this), mb = MantissaOf(b);
    for (int i = low; i < ea; ++i) ma *= 100;
    for (int i = low; i < eb; ++i) mb *= 100;
    BigInt r = ma % mb;
    return FromBig(neg_, r, 2 * low);
}

namespace {

// Adds one unit in the last place of a decimal digit string; returns true if it grew.
bool IncrementDecimal(std::string& s) {
    for (size_t i = s.size(); i-- > 0;) {
        if (s[i] != '9') {
            ++s[i];
            return false;
        }
        s[i] = '0';
    }
    s = "1" + s;
    return true;
}

}  // namespace

// Keeps `places` decimal places (negative: rounds left of the point).
static OraNumber RoundOrTruncate(const OraNumber& x, int places, bool round) {
    if (x.IsZero()) return x;
    // Nothing to cut when no digit lies past the position: the common case of a value stored
    // into a column with room for it, decided without spelling the digits out.
    if (static_cast<long long>(x.DecimalExponent()) + 1 + places >= x.SignificantDigits()) return x;
    std::string digits;
    int e = 0;
    x.ToDecimal(digits, e);
    const long long keep = static_cast<long long>(e) + places;
    if (keep >= static_cast<long long>(digits.size())) return x;
    if (keep < 0) return OraNumber();
    if (keep == 0) {
        if (round && digits[0] >= '5') return OraNumber::FromDecimal(x.IsNegative(), "1", -places);
        return OraNumber();
    }
    bool up = round && digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    if (up) IncrementDecimal(digits);
    return OraNumber::FromDecimal(x.IsNegative(), digits, -places);
}

OraNumber OraNumber::Round(int places) const {
    return RoundOrTruncate(*this, places, true);
}
OraNumber OraNumber::Trunc(int places) const {
    return RoundOrTruncate(*this, places, false);
}

OraNumber OraNumber::Floor() const {
    OraNumber t = Trunc(0);
    if (neg_ && !IsInteger()) return t.Sub(FromInt64(1));
    return t;
}

OraNumber OraNumber::Ceil() const {
    OraNumber t = Trunc(0);
    if (!neg_ && len_ != 0 && !IsInteger()) return t.Add(FromInt64(1));
    return t;
}

}  // namespace ocilite
