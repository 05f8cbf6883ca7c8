// Number format models: compiling the model text, rendering (TO_CHAR) and parsing
// (TO_NUMBER). Layout rules follow the SQL Reference "Format Models" page: a sign slot left
// of the number unless S, MI or PR is given, '#' over the whole field when the integer part
// does not fit, rounding half away from zero to the model's decimal places, FM dropping
// padding blanks and trailing zeros that stand in 9 positions after the decimal character.
#include "ocilite/types/NumberFormatModel.h"

#include <algorithm>
#include <boost/multiprecision/cpp_int.hpp>
#include <cctype>

namespace ocilite {

namespace {

[[noreturn]] void ThrowBadModel() {
    throw OraError(1481, "invalid number format model");
}
[[noreturn]] void ThrowInvalidNumber() {
    throw OraError(1722, "invalid number");
}

bool IsDigitElement(char c) {
    return c == '9' || c == '0';
}

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

OraNumber PowerOfTen(int n) {
    return OraNumber::FromDecimal(false, "1", n);
}

// Width of the field a currency element occupies when FM is off: L and U hold up to ten
// characters (NLS_CURRENCY's limit), C the three-letter ISO code.
constexpr size_t kCurrencyField = 10;
constexpr size_t kRomanField = 15;

std::string ExponentText(int x) {
    const int a = std::abs(x);
    std::string out = x < 0 ? "E-" : "E+";
    if (a < 10) out += '0';
    out += std::to_string(a);
    return out;
}

}  // namespace

NumberFormatModel NumberFormatModel::Compile(std::string_view fmt) {
    NumberFormatModel m;
    m.text_ = std::string(fmt);
    const std::string up = Upper(fmt);
    const size_t n = up.size();
    if (n == 0) {
        m.kind_ = Kind::TextMinimum;
        return m;
    }
    size_t i = 0;
    auto setCurrency = [&](char c, bool trailing) {
        if (m.currency_ != Currency::None) ThrowBadModel();
        m.currency_ = c == 'L' ? Currency::Local : c == 'C' ? Currency::Iso : Currency::Dual;
        m.currencyTrailing_ = trailing;
    };
    // Prefix elements.
    for (;;) {
        if (up.compare(i, 2, "FM") == 0) {
            if (m.fm_) ThrowBadModel();
            m.fm_ = true;
            i += 2;
        } else if (i < n && up[i] == 'B') {
            if (m.blankZero_) ThrowBadModel();
            m.blankZero_ = true;
            ++i;
        } else if (i < n && up[i] == '$') {
            if (m.dollar_) ThrowBadModel();
            m.dollar_ = true;
            ++i;
        } else if (i < n && up[i] == 'S') {
            if (m.sign_ != SignMode::Default) ThrowBadModel();
            m.sign_ = SignMode::LeadingS;
            ++i;
        } else if (i < n && (up[i] == 'L' || up[i] == 'C' || up[i] == 'U')) {
            setCurrency(up[i], false);
            ++i;
        } else {
            break;
        }
    }
    const std::string rest = up.substr(i);
    const bool decorated = m.blankZero_ || m.dollar_ || m.sign_ != SignMode::Default || m.currency_ != Currency::None;
    if (rest == "TM" || rest == "TM9" || rest == "TME") {
        if (decorated) ThrowBadModel();
        m.kind_ = rest == "TME" ? Kind::TextMinimumSci : Kind::TextMinimum;
        return m;
    }
    if (rest == "RN") {
        if (decorated) ThrowBadModel();
        m.kind_ = Kind::Roman;
        m.lowerCase_ = fmt[i] == 'r';
        return m;
    }
    if (!rest.empty() && rest.back() == 'X' && rest.find_first_not_of("0X") == std::string::npos) {
        // Hexadecimal: optional leading 0s (zero padding), then X positions.
        const size_t firstX = rest.find('X');
        if (rest.find('0', firstX) != std::string::npos || decorated) ThrowBadModel();
        m.kind_ = Kind::Hex;
        m.intPattern_ = rest;
        m.lowerCase_ = fmt[i + firstX] == 'x';
        return m;
    }
    bool afterV = false;
    bool ended = false;  // a suffix element was seen: only further suffixes may follow
    while (i < n) {
        const char c = up[i];
        if (ended && !(c == 'M' || c == 'P' || c == 'S')) ThrowBadModel();
        if (IsDigitElement(c)) {
            if (m.kind_ == Kind::Scientific) ThrowBadModel();
            if (m.hasDecimal_) {
                m.fracPattern_ += c;
            } else {
                if (c == '0' && m.firstZero_ < 0) m.firstZero_ = m.intDigits_;
                m.intPattern_ += c;
                ++m.intDigits_;
                if (afterV) ++m.vDigits_;
            }
            ++i;
        } else if (c == ',' || c == 'G') {
            if (m.hasDecimal_ || afterV || m.intDigits_ == 0 || m.kind_ == Kind::Scientific) ThrowBadModel();
            m.intPattern_ += c;
            ++i;
        } else if (c == '.' || c == 'D') {
            if (m.hasDecimal_ || afterV || m.kind_ == Kind::Scientific) ThrowBadModel();
            m.hasDecimal_ = true;
            m.localDecimal_ = c == 'D';
            ++i;
        } else if (c == 'V') {
            if (afterV || m.hasDecimal_ || m.kind_ == Kind::Scientific) ThrowBadModel();
            afterV = true;
            ++i;
        } else if (c == '$') {
            if (m.dollar_) ThrowBadModel();
            m.dollar_ = true;
            ++i;
        } else if (c == 'B') {
            if (m.blankZero_) ThrowBadModel();
            m.blankZero_ = true;
            ++i;
        } else if (up.compare(i, 4, "EEEE") == 0) {
            if (m.kind_ == Kind::Scientific || afterV) ThrowBadModel();
            m.kind_ = Kind::Scientific;
            i += 4;
        } else if (up.compare(i, 2, "MI") == 0 || up.compare(i, 2, "PR") == 0) {
            if (m.sign_ != SignMode::Default || i + 2 != n) ThrowBadModel();
            m.sign_ = c == 'M' ? SignMode::TrailingMI : SignMode::Brackets;
            i += 2;
        } else if (c == 'S') {
            if (m.sign_ != SignMode::Default || i + 1 != n) ThrowBadModel();
            m.sign_ = SignMode::TrailingS;
            ++i;
        } else if (c == 'L' || c == 'C' || c == 'U') {
            setCurrency(c, true);
            ended = true;
            ++i;
        } else {
            ThrowBadModel();
        }
    }
    const bool anyDigit = m.intDigits_ > 0 || !m.fracPattern_.empty();
    if (!anyDigit) ThrowBadModel();
    m.plain_ = m.kind_ == Kind::Fixed && m.fm_ && !m.blankZero_ && !m.dollar_ && m.currency_ == Currency::None &&
               m.sign_ == SignMode::Default && m.vDigits_ == 0 &&
               std::all_of(m.intPattern_.begin(), m.intPattern_.end(), IsDigitElement);
    return m;
}

// ---------------------------------------------------------------------------------------
// Rendering

std::string NumberFormatModel::Render(const OraNumber& value, const NumberFormatSymbols& symbols) const {
    switch (kind_) {
        case Kind::TextMinimum: return value.ToText();
        case Kind::TextMinimumSci: {
            std::string digits;
            int e = 0;
            value.ToDecimal(digits, e);
            if (digits.empty()) return "0E+00";
            std::string out = value.IsNegative() ? "-" : "";
            out += digits[0];
            if (digits.size() > 1) out += '.' + digits.substr(1);
            return out + ExponentText(e - 1);
        }
        case Kind::Scientific: return RenderScientific(value, symbols);
        case Kind::Hex: return RenderHex(value);
        case Kind::Roman: return RenderRoman(value);
        case Kind::Fixed: break;
    }
    return RenderFixed(value, symbols);
}

int NumberFormatModel::OverflowWidth() const {
    size_t w = intPattern_.size() + fracPattern_.size() + (hasDecimal_ ? 1 : 0);
    w += sign_ == SignMode::Brackets ? 2 : 1;
    if (dollar_) ++w;
    if (currency_ == Currency::Iso)
        w += 3;
    else if (currency_ != Currency::None)
        w += kCurrencyField;
    return static_cast<int>(w);
}

std::string NumberFormatModel::Overflow() const {
    return std::string(static_cast<size_t>(OverflowWidth()), '#');
}

std::string NumberFormatModel::CurrencyText(const NumberFormatSymbols& symbols) const {
    switch (currency_) {
        case Currency::Local: return symbols.currency;
        case Currency::Iso: return symbols.isoCurrency;
        case Currency::Dual: return symbols.dualCurrency;
        case Currency::None: break;
    }
    return {};
}

std::string NumberFormatModel::RenderFixed(const OraNumber& value, const NumberFormatSymbols& symbols) const {
    OraNumber x = value.Abs();
    if (vDigits_ > 0) x = x.Mul(PowerOfTen(vDigits_));
    const int frac = static_cast<int>(fracPattern_.size());
    std::string digits;
    int e = 0;
    x.ToDecimal(digits, e);
    OraNumber r = x;
    if (static_cast<int>(digits.size()) - e > frac) {  // more decimals than the model shows
        r = x.Round(frac);
        r.ToDecimal(digits, e);
    }
    const int nd = static_cast<int>(digits.size());
    std::string intStr;
    intStr.reserve(48);
    for (int k = 0; k < e; ++k) intStr += k < nd ? digits[static_cast<size_t>(k)] : '0';
    if (static_cast<int>(intStr.size()) > intDigits_) return Overflow();
    std::string fracStr;
    for (int k = 0; k < frac; ++k) {
        const int idx = e + k;
        fracStr += (idx >= 0 && idx < nd) ? digits[static_cast<size_t>(idx)] : '0';
    }
    if (blankZero_ && r.IsZero()) return fm_ ? std::string() : std::string(static_cast<size_t>(OverflowWidth()), ' ');

    // Integer positions, right-aligned; leading positions are blank up to the first '0'
    // element. A zero integer part prints one '0' in the units place only when the model
    // has no decimal places (TO_CHAR(0,'9999') is "    0", TO_CHAR(0,'99.99') is "   .00").
    const int lead = intDigits_ - static_cast<int>(intStr.size());
    const bool blankInt = blankZero_ && intStr.empty();
    const bool zeroUnits = intStr.empty() && firstZero_ < 0 && frac == 0;
    std::string body;
    body.reserve(intPattern_.size() + fracPattern_.size() + 2);
    int pos = 0;
    bool started = false;
    for (char p : intPattern_) {
        if (IsDigitElement(p)) {
            char out = ' ';
            if (pos >= lead)
                out = intStr[static_cast<size_t>(pos - lead)];
            else if (firstZero_ >= 0 && pos >= firstZero_ && !blankInt)
                out = '0';
            else if (zeroUnits && pos == intDigits_ - 1)
                out = '0';
            ++pos;
            if (out != ' ') {
                body += out;
                started = true;
            } else if (!fm_) {
                body += ' ';
            }
        } else if (started) {
            body += p == ',' ? ',' : symbols.group;
        } else if (!fm_) {
            body += ' ';
        }
    }
    if (hasDecimal_) body += localDecimal_ ? symbols.decimal : '.';
    if (fm_) {
        int keep = frac;
        while (keep > 0 && fracPattern_[static_cast<size_t>(keep - 1)] == '9' &&
               fracStr[static_cast<size_t>(keep - 1)] == '0')
            --keep;
        fracStr.resize(static_cast<size_t>(keep));
    }
    body += fracStr;

    // Signs and currency sit right before the first printed character.
    const size_t blanks = body.find_first_not_of(' ') == std::string::npos ? body.size() : body.find_first_not_of(' ');
    std::string core = body.substr(blanks);
    const bool negative = value.IsNegative();
    std::string out(fm_ ? 0 : blanks, ' ');
    std::string currency = CurrencyText(symbols);
    if (!fm_ && !currencyTrailing_ && currency_ != Currency::None) {
        const size_t field = currency_ == Currency::Iso ? 3 : kCurrencyField;
        if (currency.size() < field) out.append(field - currency.size(), ' ');
    }
    AppendLeadingSign(out, negative);
    if (dollar_) out += '$';
    if (!currencyTrailing_) out += currency;
    out += core;
    if (currencyTrailing_) out += currency;
    AppendTrailingSign(out, negative);
    return out;
}

bool NumberFormatModel::RenderPlain(const OraNumber& value, const NumberFormatSymbols& symbols, char* out,
                                    size_t capacity, size_t& length) const {
    if (!plain_) return false;
    const int frac = static_cast<int>(fracPattern_.size());
    // sign, integer positions, decimal character, fraction positions
    if (static_cast<size_t>(intDigits_) + static_cast<size_t>(frac) + 2 > capacity) return false;

    // Decimal digits of the magnitude without leading and trailing zeros and the exponent e
    // with |value| = 0.digits * 10^e, as OraNumber::ToDecimal gives them (1.5 -> "15", 1).
    char expanded[2 * OraNumber::kMaxDigits100];
    const char* digits = expanded;
    int nd = 0;
    int e = 0;
    const int n100 = value.Digits100Count();
    if (n100 > 0) {
        for (int k = 0; k < n100; ++k) {
            const int d = value.Digit100(k);
            expanded[nd++] = static_cast<char>('0' + d / 10);
            expanded[nd++] = static_cast<char>('0' + d % 10);
        }
        e = 2 * value.Exponent100();
        if (expanded[0] == '0') {
            ++digits;
            --nd;
            --e;
        }
        if (digits[nd - 1] == '0') --nd;
    }
    if (nd - e > frac) return false;  // rounds to the model's decimals: the general path
    const int intLen = e > 0 ? e : 0;
    if (intLen > intDigits_) return false;  // the '#' field

    char* p = out;
    if (value.IsNegative()) *p++ = '-';
    // Integer positions: the digits right-aligned; positions left of them print only from the
    // first '0' element on, and a zero integer part prints one '0' in the units place only
    // when the model has no decimal places.
    const int lead = intDigits_ - intLen;
    const bool zeroUnits = intLen == 0 && firstZero_ < 0 && frac == 0;
    for (int pos = 0; pos < intDigits_; ++pos) {
        if (pos >= lead) {
            const int k = pos - lead;
            *p++ = k < nd ? digits[k] : '0';
        } else if ((firstZero_ >= 0 && pos >= firstZero_) || (zeroUnits && pos == intDigits_ - 1)) {
            *p++ = '0';
        }
    }
    if (hasDecimal_) *p++ = localDecimal_ ? symbols.decimal : '.';
    // Fraction positions; FM drops the zeros that stand in trailing 9 positions.
    char* const fraction = p;
    for (int k = 0; k < frac; ++k) {
        const int idx = e + k;
        *p++ = idx >= 0 && idx < nd ? digits[idx] : '0';
    }
    int keep = frac;
    while (keep > 0 && fracPattern_[static_cast<size_t>(keep - 1)] == '9' && fraction[keep - 1] == '0') --keep;
    length = static_cast<size_t>(fraction + keep - out);
    return true;
}

// The sign slot before the number: '-' (or a blank without FM), S, or the '<' of PR.
void NumberFormatModel::AppendLeadingSign(std::string& out, bool negative) const {
    switch (sign_) {
        case SignMode::Default:
            if (negative)
                out += '-';
            else if (!fm_)
                out += ' ';
            break;
        case SignMode::LeadingS: out += negative ? '-' : '+'; break;
        case SignMode::Brackets:
            if (negative)
                out += '<';
            else if (!fm_)
                out += ' ';
            break;
        default: break;
    }
}

// The sign slot after the number: a trailing S, MI, or the '>' of PR.
void NumberFormatModel::AppendTrailingSign(std::string& out, bool negative) const {
    switch (sign_) {
        case SignMode::TrailingS: out += negative ? '-' : '+'; break;
        case SignMode::TrailingMI:
            if (negative)
                out += '-';
            else if (!fm_)
                out += ' ';
            break;
        case SignMode::Brackets:
            if (negative)
                out += '>';
            else if (!fm_)
                out += ' ';
            break;
        default: break;
    }
}

std::string NumberFormatModel::RenderScientific(const OraNumber& value, const NumberFormatSymbols& symbols) const {
    const int decimals = static_cast<int>(fracPattern_.size());
    std::string digits;
    int e = 0;
    int x = 0;
    OraNumber a = value.Abs();
    if (!a.IsZero()) {
        a = a.Round(decimals - a.DecimalExponent());
        a.ToDecimal(digits, e);
        x = e - 1;
    }
    digits.resize(static_cast<size_t>(decimals) + 1, '0');
    std::string mantissa(1, digits[0]);
    std::string fraction = digits.substr(1);
    if (fm_) {
        size_t keep = fraction.size();
        while (keep > 0 && fracPattern_[keep - 1] == '9' && fraction[keep - 1] == '0') --keep;
        fraction.resize(keep);
    }
    if (hasDecimal_) mantissa += (localDecimal_ ? symbols.decimal : '.') + fraction;
    mantissa += ExponentText(x);

    const bool negative = value.IsNegative() && !a.IsZero();
    // a three-digit exponent takes the place of the leading blank, so the width stays
    std::string out = fm_ || std::abs(x) >= 100 ? "" : " ";
    AppendLeadingSign(out, negative);
    if (dollar_) out += '$';
    if (!currencyTrailing_) out += CurrencyText(symbols);
    out += mantissa;
    if (currencyTrailing_) out += CurrencyText(symbols);
    AppendTrailingSign(out, negative);
    return out;
}

std::string NumberFormatModel::RenderHex(const OraNumber& value) const {
    const size_t positions = intPattern_.size();
    auto overflow = [&] { return std::string(positions + 1, '#'); };
    if (value.IsNegative()) return overflow();
    const OraNumber r = value.Round(0);
    std::string digits;
    int e = 0;
    r.ToDecimal(digits, e);
    std::string hex = "0";
    if (!digits.empty()) {
        digits.append(static_cast<size_t>(e) - digits.size(), '0');
        boost::multiprecision::cpp_int big(digits);
        hex.clear();
        const char* alphabet = lowerCase_ ? "0123456789abcdef" : "0123456789ABCDEF";
        while (big != 0) {
            hex += alphabet[static_cast<int>(big % 16)];
            big /= 16;
        }
        std::reverse(hex.begin(), hex.end());
    }
    if (hex.size() > positions) return overflow();
    std::string out = fm_ ? "" : " ";
    // a leading 0 element pads every free position with zeros ('0XXX' gives 000A)
    const bool zeroPad = intPattern_.front() == '0';
    const size_t lead = positions - hex.size();
    for (size_t k = 0; k < lead; ++k) {
        if (zeroPad)
            out += '0';
        else if (!fm_)
            out += ' ';
    }
    return out + hex;
}

std::string NumberFormatModel::RenderRoman(const OraNumber& value) const {
    const OraNumber r = value.Round(0);
    int64_t v = 0;
    if (!r.IsNegative() && r.DecimalExponent() < 4) v = r.ToInt64();
    if (v < 1 || v > 3999) return std::string(kRomanField, '#');
    static const struct {
        int value;
        const char* text;
    } kTable[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
                  {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"}};
    std::string roman;
    for (const auto& entry : kTable)
        while (v >= entry.value) {
            roman += entry.text;
            v -= entry.value;
        }
    if (lowerCase_)
        for (char& c : roman) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (fm_) return roman;
    return std::string(kRomanField - roman.size(), ' ') + roman;
}

// ---------------------------------------------------------------------------------------
// Parsing

OraNumber NumberFormatModel::Parse(std::string_view text, const NumberFormatSymbols& symbols) const {
    switch (kind_) {
        case Kind::TextMinimum:
        case Kind::TextMinimumSci: return OraNumber::Parse(text);
        case Kind::Roman: ThrowBadModel();
        case Kind::Hex: {
            size_t i = 0;
            while (i < text.size() && text[i] == ' ') ++i;
            std::string_view hex = text.substr(i);
            if (hex.empty() || hex.size() > intPattern_.size()) ThrowInvalidNumber();
            // Accumulated exactly and rounded to NUMBER's digits once at the end: rounding
            // each step would lose the low digits of a value wider than 40 digits twice.
            boost::multiprecision::cpp_int big = 0;
            for (char c : hex) {
                int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                        : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                                    : -1;
                if (d < 0) ThrowInvalidNumber();
                big = big * 16 + d;
            }
            return OraNumber::Parse(big.str());
        }
        default: break;
    }
    const size_t n = text.size();
    size_t i = 0;
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    bool bracket = false;
    auto acceptCurrency = [&] {
        if (dollar_ && i < n && text[i] == '$') ++i;
        const std::string cur = CurrencyText(symbols);
        if (!cur.empty() && !currencyTrailing_ && text.substr(i, cur.size()) == cur) i += cur.size();
    };
    acceptCurrency();
    if (i < n) {
        const char c = text[i];
        if (c == '-' && (sign_ == SignMode::Default || sign_ == SignMode::LeadingS)) {
            negative = true;
            ++i;
        } else if (c == '+' && sign_ == SignMode::LeadingS) {
            ++i;
        } else if (c == '<' && sign_ == SignMode::Brackets) {
            negative = bracket = true;
            ++i;
        }
    }
    acceptCurrency();
    const char decimalChar = localDecimal_ ? symbols.decimal : '.';
    const bool groups = intPattern_.find_first_of(",G") != std::string::npos;
    std::string digits;
    int intCount = 0, fracCount = 0;
    bool anyDigit = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits += c;
            ++intCount;
            anyDigit = true;
        } else if (groups && anyDigit &&
                   (c == symbols.group || (c == ',' && intPattern_.find(',') != std::string::npos))) {
            continue;
        } else {
            break;
        }
    }
    if (i < n && hasDecimal_ && text[i] == decimalChar) {
        for (++i; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
            digits += text[i];
            ++fracCount;
            anyDigit = true;
        }
    }
    if (!anyDigit || intCount > intDigits_ || fracCount > static_cast<int>(fracPattern_.size())) ThrowInvalidNumber();
    int exponent = -fracCount - vDigits_;
    if (kind_ == Kind::Scientific) {
        if (i >= n || (text[i] != 'E' && text[i] != 'e')) ThrowInvalidNumber();
        ++i;
        bool expNeg = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) expNeg = text[i++] == '-';
        if (i >= n || text[i] < '0' || text[i] > '9') ThrowInvalidNumber();
        int x = 0;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) x = std::min(x * 10 + (text[i] - '0'), 100000);
        exponent += expNeg ? -x : x;
    }
    if (currencyTrailing_) {
        const std::string cur = CurrencyText(symbols);
        if (text.substr(i, cur.size()) == cur) i += cur.size();
    }
    if (i < n) {
        const char c = text[i];
        if (sign_ == SignMode::TrailingS && (c == '+' || c == '-')) {
            negative = c == '-';
            ++i;
        } else if (sign_ == SignMode::TrailingMI && (c == '-' || c == ' ')) {
            negative = c == '-';
            ++i;
        } else if (sign_ == SignMode::Brackets && c == '>' && bracket) {
            bracket = false;
            ++i;
        } else if (sign_ == SignMode::Brackets && c == ' ' && !bracket) {
            ++i;  // the blank that stands for '>' on positive values
        }
    }
    if (bracket || i != n) ThrowInvalidNumber();
    return OraNumber::FromDecimal(negative, digits, exponent);
}

}  // namespace ocilite
