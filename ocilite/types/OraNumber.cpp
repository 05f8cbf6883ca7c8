// NUMBER representation: normalisation, the OCINumber/varnum byte forms, integers, reals,
// TO_NUMBER text parsing, TM9 text, comparison and the NUMBER(p,s) column rules.
#include "ocilite/types/OraNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace ocilite {

namespace {

// Exponent limits of the base-100 form value = 0.d1d2.. * 100^E: 1e-130 is 0.01 * 100^-64,
// and numbers below 1e126 have E <= 63.
constexpr int kMinExponent100 = -64;
constexpr int kMaxExponent100 = 63;
// Fixed notation longer than this switches TM9 to scientific notation.
constexpr size_t kMaxTextMinimumWidth = 64;

[[noreturn]] void ThrowOverflow() {
    throw OraError(1426, "numeric overflow");
}
[[noreturn]] void ThrowInvalidNumber() {
    throw OraError(1722, "invalid number");
}
[[noreturn]] void ThrowBadBytes() {
    throw OraError(22060, "argument [1] is an invalid or uninitialized number");
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Normalisation

OraNumber OraNumber::FromParts(bool negative, int exponent100, const uint8_t* digits, int count) {
    OraNumber r;
    int first = 0;
    while (first < count && digits[first] == 0) {
        ++first;
        --exponent100;
    }
    if (first == count) return r;
    int n = count - first;
    uint8_t buf[kMaxDigits100 + 1];
    bool roundUp = n > kMaxDigits100 && digits[first + kMaxDigits100] >= 50;
    n = std::min(n, kMaxDigits100);
    for (int i = 0; i < n; ++i) buf[i] = digits[first + i];
    if (roundUp) {
        int i = n - 1;
        while (i >= 0 && buf[i] == 99) buf[i--] = 0;
        if (i < 0) {
            buf[0] = 1;
            n = 1;
            ++exponent100;
        } else {
            ++buf[i];
        }
    }
    while (n > 0 && buf[n - 1] == 0) --n;
    if (exponent100 > kMaxExponent100) ThrowOverflow();
    if (exponent100 < kMinExponent100) return r;  // underflow gives zero
    r.neg_ = negative;
    r.len_ = static_cast<uint8_t>(n);
    r.exp_ = static_cast<int16_t>(exponent100);
    for (int i = 0; i < n; ++i) r.digits_[i] = buf[i];
    return r;
}

OraNumber OraNumber::FromDecimal(bool negative, std::string_view digits, int decimalExponent) {
    size_t b = 0;
    while (b < digits.size() && digits[b] == '0') ++b;
    size_t e = digits.size();
    while (e > b && digits[e - 1] == '0') {
        --e;
        ++decimalExponent;
    }
    if (b == e) return OraNumber();
    // Only 41 decimal digits can influence a 20-digit base-100 mantissa and its rounding.
    const size_t kKeep = 2 * kMaxDigits100 + 3;
    long long exp10 = static_cast<long long>(e - b) + decimalExponent;  // value = 0.d * 10^exp10
    size_t len = std::min(e - b, kKeep);
    if (exp10 > 2 * kMaxExponent100 + 2) ThrowOverflow();
    if (exp10 < 2 * kMinExponent100 - 2) return OraNumber();
    // Pair decimal digits into base-100 digits; an odd exponent needs a leading zero digit.
    bool padFront = (exp10 % 2) != 0;
    int exponent100 = static_cast<int>(padFront ? (exp10 + 1) / 2 : exp10 / 2);
    uint8_t pairs[kMaxDigits100 + 4] = {};
    size_t total = len + (padFront ? 1 : 0);
    int count = static_cast<int>((total + 1) / 2);
    for (size_t k = 0; k < total; ++k) {
        int d = (padFront && k == 0) ? 0 : digits[b + k - (padFront ? 1 : 0)] - '0';
        if (k % 2 == 0)
            pairs[k / 2] = static_cast<uint8_t>(d * 10);
        else
            pairs[k / 2] = static_cast<uint8_t>(pairs[k / 2] + d);
    }
    return FromParts(negative, exponent100, pairs, count);
}

void OraNumber::ToDecimal(std::string& digits, int& exponent) const {
    digits.clear();
    if (len_ == 0) {
        exponent = 0;
        return;
    }
    exponent = 2 * exp_;
    for (int i = 0; i < len_; ++i) {
        digits.push_back(static_cast<char>('0' + digits_[i] / 10));
        digits.push_back(static_cast<char>('0' + digits_[i] % 10));
    }
    if (digits.front() == '0') {
        digits.erase(0, 1);
        --exponent;
    }
    if (digits.back() == '0') digits.pop_back();
}

int OraNumber::SignificantDigits() const {
    if (len_ == 0) return 0;
    return 2 * len_ - (digits_[0] < 10 ? 1 : 0) - (digits_[len_ - 1] % 10 == 0 ? 1 : 0);
}

int OraNumber::DecimalExponent() const {
    if (len_ == 0) return 0;
    return 2 * exp_ - (digits_[0] < 10 ? 1 : 0) - 1;
}

bool OraNumber::IsInteger() const {
    return len_ <= exp_ || len_ == 0;
}

// ---------------------------------------------------------------------------------------
// Byte forms

std::string OraNumber::ToVarnum() const {
    std::string out;
    if (len_ == 0) {
        out.push_back(static_cast<char>(0x80));
        return out;
    }
    out.reserve(static_cast<size_t>(len_) + 2);
    if (!neg_) {
        out.push_back(static_cast<char>(192 + exp_));
        for (int i = 0; i < len_; ++i) out.push_back(static_cast<char>(digits_[i] + 1));
    } else {
        out.push_back(static_cast<char>(63 - exp_));
        for (int i = 0; i < len_; ++i) out.push_back(static_cast<char>(101 - digits_[i]));
        if (len_ < kMaxDigits100) out.push_back(static_cast<char>(102));
    }
    return out;
}

OraNumber OraNumber::FromVarnum(const uint8_t* p, size_t len) {
    if (p == nullptr || len == 0 || len > 21) ThrowBadBytes();
    if (len == 1 && p[0] == 0x80) return OraNumber();
    uint8_t digits[kMaxDigits100];
    int count = 0;
    if (p[0] & 0x80) {
        if (len < 2) ThrowBadBytes();
        for (size_t i = 1; i < len; ++i) {
            if (p[i] < 1 || p[i] > 100) ThrowBadBytes();
            digits[count++] = static_cast<uint8_t>(p[i] - 1);
        }
        return FromParts(false, p[0] - 192, digits, count);
    }
    size_t end = len;
    if (end > 1 && p[end - 1] == 102) --end;
    if (end < 2) ThrowBadBytes();
    for (size_t i = 1; i < end; ++i) {
        if (p[i] < 2 || p[i] > 101) ThrowBadBytes();
        digits[count++] = static_cast<uint8_t>(101 - p[i]);
    }
    return FromParts(true, 63 - p[0], digits, count);
}

OraNumber OraNumber::FromOci(const uint8_t (&bytes)[22]) {
    return FromOciBytes(&bytes[0]);
}

OraNumber OraNumber::FromOciBytes(const uint8_t* bytes) {
    if (bytes == nullptr) ThrowBadBytes();
    return FromVarnum(bytes + 1, bytes[0]);
}

void OraNumber::ToOci(uint8_t (&bytes)[22]) const {
    ToOciBytes(&bytes[0]);
}

void OraNumber::ToOciBytes(uint8_t* bytes) const {
    // Written without a temporary string: this runs for every bound and fetched value.
    std::memset(bytes, 0, kOciSize);
    if (len_ == 0) {
        bytes[0] = 1;
        bytes[1] = 0x80;
        return;
    }
    int n = 1;
    if (!neg_) {
        bytes[1] = static_cast<uint8_t>(192 + exp_);
        for (int i = 0; i < len_; ++i) bytes[2 + i] = static_cast<uint8_t>(digits_[i] + 1);
        n += len_;
    } else {
        bytes[1] = static_cast<uint8_t>(63 - exp_);
        for (int i = 0; i < len_; ++i) bytes[2 + i] = static_cast<uint8_t>(101 - digits_[i]);
        n += len_;
        if (len_ < kMaxDigits100) bytes[1 + n++] = 102;
    }
    bytes[0] = static_cast<uint8_t>(n);
}

std::string OraNumber::SortKey() const {
    return ToVarnum();
}

OraNumber OraNumber::FromSortKey(std::string_view key) {
    return FromVarnum(reinterpret_cast<const uint8_t*>(key.data()), key.size());
}

// ---------------------------------------------------------------------------------------
// Integers and reals

OraNumber OraNumber::FromUInt64(uint64_t v) {
    if (v == 0) return OraNumber();
    uint8_t rev[11];
    int n = 0;
    while (v != 0) {
        rev[n++] = static_cast<uint8_t>(v % 100);
        v /= 100;
    }
    uint8_t digits[11];
    for (int i = 0; i < n; ++i) digits[i] = rev[n - 1 - i];
    return FromParts(false, n, digits, n);
}

OraNumber OraNumber::FromInt64(int64_t v) {
    uint64_t mag = v < 0 ? uint64_t(0) - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    OraNumber r = FromUInt64(mag);
    r.neg_ = v < 0;
    return r;
}

namespace {
// Magnitude of an integral NUMBER, or false when it exceeds 64 bits.
bool IntegerMagnitude(const OraNumber& r, uint64_t& out) {
    out = 0;
    if (r.Exponent100() > 10) return false;
    for (int i = 0; i < r.Exponent100(); ++i) {
        const uint64_t d = i < r.Digits100Count() ? r.Digit100(i) : 0;
        if (out > (std::numeric_limits<uint64_t>::max() - d) / 100) return false;
        out = out * 100 + d;
    }
    return true;
}
}  // namespace

uint64_t OraNumber::ToUInt64() const {
    const OraNumber r = Round(0);
    uint64_t mag = 0;
    if (r.IsZero()) return 0;
    if (r.neg_ || !IntegerMagnitude(r, mag)) ThrowOverflow();
    return mag;
}

int64_t OraNumber::ToInt64() const {
    const OraNumber r = Round(0);
    uint64_t mag = 0;
    if (r.IsZero()) return 0;
    const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (r.neg_ ? 1 : 0);
    if (!IntegerMagnitude(r, mag) || mag > limit) ThrowOverflow();
    return r.neg_ ? static_cast<int64_t>(uint64_t(0) - mag) : static_cast<int64_t>(mag);
}

double OraNumber::ToDouble() const {
    if (len_ == 0) return 0.0;
    std::string digits;
    int exponent = 0;
    ToDecimal(digits, exponent);
    std::string text = digits + "e" + std::to_string(exponent - static_cast<int>(digits.size()));
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);  // correctly rounded
    return neg_ ? -v : v;
}

namespace {
template <typename Real>
OraNumber FromReal(Real v) {
    if (!std::isfinite(v)) ThrowOverflow();
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    return OraNumber::Parse(std::string_view(buf, static_cast<size_t>(res.ptr - buf)));
}
}  // namespace

OraNumber OraNumber::FromDouble(double v) {
    return FromReal(v);
}
OraNumber OraNumber::FromFloat(float v) {
    return FromReal(v);
}

// ---------------------------------------------------------------------------------------
// Text without a model

bool OraNumber::TryParse(std::string_view s, OraNumber& out) {
    // A plain decimal, the usual text of an imported number: its digits are paired into
    // base-100 digits directly, the decimal point on a pair boundary.
    const bool negative = !s.empty() && s[0] == '-';
    const std::string_view body = s.substr(negative ? 1 : 0);
    if (body.empty() || body.size() > 38) return TryParseGeneral(s, out);
    const size_t point = body.find('.');
    const std::string_view whole = body.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : body.substr(point + 1);
    if (whole.empty() && fraction.empty()) return TryParseGeneral(s, out);
    for (char c : whole)
        if (c < '0' || c > '9') return TryParseGeneral(s, out);
    for (char c : fraction)
        if (c < '0' || c > '9') return TryParseGeneral(s, out);
    uint8_t pairs[kMaxDigits100 + 2];
    int count = 0;
    size_t i = 0;
    if (whole.size() % 2 != 0) {
        pairs[count++] = static_cast<uint8_t>(whole[0] - '0');
        i = 1;
    }
    for (; i < whole.size(); i += 2)
        pairs[count++] = static_cast<uint8_t>((whole[i] - '0') * 10 + (whole[i + 1] - '0'));
    const int exponent100 = count;
    for (i = 0; i + 1 < fraction.size(); i += 2)
        pairs[count++] = static_cast<uint8_t>((fraction[i] - '0') * 10 + (fraction[i + 1] - '0'));
    if (i < fraction.size()) pairs[count++] = static_cast<uint8_t>((fraction[i] - '0') * 10);
    out = FromParts(negative, exponent100, pairs, count);
    return true;
}

bool OraNumber::TryParseGeneral(std::string_view s, OraNumber& out) {
    size_t i = 0;
    const size_t n = s.size();
    while (i < n && s[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    char buf[48];
    int count = 0;
    long long exp10 = 0;
    bool anyDigit = false;
    for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
        anyDigit = true;
        if (count == 0 && s[i] == '0') continue;
        if (count < 46)
            buf[count++] = s[i];
        else
            ++exp10;
    }
    if (i < n && s[i] == '.') {
        for (++i; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
            anyDigit = true;
            if (count == 0 && s[i] == '0') {
                --exp10;
                continue;
            }
            if (count < 46) {
                buf[count++] = s[i];
                --exp10;
            }
        }
    }
    if (!anyDigit) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNeg = false;
        if (i < n && (s[i] == '+' || s[i] == '-')) expNeg = s[i++] == '-';
        if (i >= n || s[i] < '0' || s[i] > '9') return false;
        long long e = 0;
        for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i) e = std::min(e * 10 + (s[i] - '0'), 1000000LL);
        exp10 += expNeg ? -e : e;
    }
    while (i < n && s[i] == ' ') ++i;
    if (i != n) return false;
    if (count == 0) {
        out = OraNumber();
        return true;
    }
    exp10 = std::clamp(exp10, -100000LL, 100000LL);
    out = FromDecimal(negative, std::string_view(buf, static_cast<size_t>(count)), static_cast<int>(exp10));
    return true;
}

OraNumber OraNumber::Parse(std::string_view text) {
    OraNumber r;
    if (!TryParse(text, r)) ThrowInvalidNumber();
    return r;
}

std::string OraNumber::ToText() const {
    if (len_ == 0) return "0";
    std::string digits;
    int e = 0;
    ToDecimal(digits, e);
    const int n = static_cast<int>(digits.size());
    std::string out;
    out.reserve(48);
    if (neg_) out.push_back('-');
    if (e <= 0) {
        out.push_back('.');
        out.append(static_cast<size_t>(-e), '0');
        out += digits;
    } else if (e < n) {
        out.append(digits, 0, static_cast<size_t>(e));
        out.push_back('.');
        out.append(digits, static_cast<size_t>(e));
    } else {
        out += digits;
        out.append(static_cast<size_t>(e - n), '0');
    }
    if (out.size() <= kMaxTextMinimumWidth) return out;
    // Scientific notation, as TME writes it: d.dddE+XX.
    out.clear();
    if (neg_) out.push_back('-');
    out.push_back(digits[0]);
    if (n > 1) {
        out.push_back('.');
        out.append(digits, 1);
    }
    int x = e - 1;
    out.push_back('E');
    out.push_back(x < 0 ? '-' : '+');
    std::string ex = std::to_string(std::abs(x));
    if (ex.size() < 2) out.push_back('0');
    out += ex;
    return out;
}

// ---------------------------------------------------------------------------------------
// Comparison

int OraNumber::Compare(const OraNumber& o) const {
    int sa = Sign(), sb = o.Sign();
    if (sa != sb) return sa < sb ? -1 : 1;
    if (sa == 0) return 0;
    int mag = 0;
    if (exp_ != o.exp_) {
        mag = exp_ < o.exp_ ? -1 : 1;
    } else {
        int m = std::min(len_, o.len_);
        for (int i = 0; i < m && mag == 0; ++i)
            if (digits_[i] != o.digits_[i]) mag = digits_[i] < o.digits_[i] ? -1 : 1;
        if (mag == 0 && len_ != o.len_) mag = len_ < o.len_ ? -1 : 1;
    }
    return neg_ ? -mag : mag;
}

// ---------------------------------------------------------------------------------------
// Column rules

OraNumber OraNumber::FitToPrecisionScale(int precision, int scale) const {
    if (precision <= 0 && (scale == 0 || scale == -127)) return *this;  // plain NUMBER
    if (scale == -127) return FitToFloat(precision);                    // FLOAT(b) describes with scale -127
    if (precision <= 0) precision = 38;                                 // NUMBER(*,s)
    OraNumber r = Round(scale);
    if (r.IsZero()) return r;
    // The rounded value must stay below 10^(precision - scale).
    if (r.DecimalExponent() + 1 > precision - scale)
        throw OraError(1438, "value larger than specified precision allowed for this column");
    return r;
}

OraNumber OraNumber::FitToFloat(int binaryPrecision) const {
    if (len_ == 0) return *this;
    int digits = static_cast<int>(std::ceil(binaryPrecision * 0.30103));
    digits = std::clamp(digits, 1, 40);
    return Round(digits - 1 - DecimalExponent());
}

}  // namespace ocilite
