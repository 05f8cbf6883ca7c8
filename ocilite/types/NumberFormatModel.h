#pragma once
// A compiled number format model (the fmt argument of TO_CHAR(number) and TO_NUMBER): the
// elements 9 0 , . G D $ L C U B S MI PR EEEE V X RN TM TM9 TME and the FM modifier.
// Compile once, then Render numbers to text or Parse text to numbers with it.

#include <string>
#include <string_view>

#include "ocilite/types/OraNumber.h"

namespace ocilite {

// The NLS characters that D, G and L/C/U stand for.
struct NumberFormatSymbols {
    char decimal = '.';
    char group = ',';
    std::string currency = "$";       // L (NLS_CURRENCY)
    std::string isoCurrency = "USD";  // C (NLS_ISO_CURRENCY)
    std::string dualCurrency = "$";   // U (NLS_DUAL_CURRENCY)
};

class NumberFormatModel {
public:
    // Throws OraError 1481 "invalid number format model" for a model Oracle refuses.
    static NumberFormatModel Compile(std::string_view fmt);

    std::string Render(const OraNumber& value, const NumberFormatSymbols& symbols) const;
    // The fast path of Render for plain fill-mode models: FM, then 9 and 0 positions with one
    // optional '.' or D and nothing else, which are the masks clients build for NUMBER
    // columns. Writes the same text Render gives into `out` without building strings and
    // returns true; returns false, leaving the length unset, when the model is not plain, the
    // value has more decimals than the model shows (rounding), its integer part does not fit
    // (the '#' field) or `capacity` could be too small. Render stays the general path.
    bool RenderPlain(const OraNumber& value, const NumberFormatSymbols& symbols, char* out, size_t capacity,
                     size_t& length) const;
    bool IsPlain() const { return plain_; }
    // Throws OraError 1722 "invalid number" when the text does not match the model.
    OraNumber Parse(std::string_view text, const NumberFormatSymbols& symbols) const;

    const std::string& Text() const { return text_; }

private:
    enum class Kind { Fixed, Scientific, Hex, Roman, TextMinimum, TextMinimumSci };
    enum class SignMode { Default, LeadingS, TrailingS, TrailingMI, Brackets };
    enum class Currency { None, Local, Iso, Dual };

    std::string RenderFixed(const OraNumber& value, const NumberFormatSymbols& symbols) const;
    std::string RenderScientific(const OraNumber& value, const NumberFormatSymbols& symbols) const;
    std::string RenderHex(const OraNumber& value) const;
    std::string RenderRoman(const OraNumber& value) const;
    std::string CurrencyText(const NumberFormatSymbols& symbols) const;
    void AppendLeadingSign(std::string& out, bool negative) const;
    void AppendTrailingSign(std::string& out, bool negative) const;
    std::string Overflow() const;
    int OverflowWidth() const;

    std::string text_;
    Kind kind_ = Kind::Fixed;
    bool fm_ = false;
    bool blankZero_ = false;  // B
    bool dollar_ = false;     // $
    Currency currency_ = Currency::None;
    bool currencyTrailing_ = false;
    SignMode sign_ = SignMode::Default;
    bool hasDecimal_ = false;
    bool localDecimal_ = false;  // D rather than '.'
    // Integer part, left to right: '9', '0', ',' (literal comma) or 'G'.
    std::string intPattern_;
    // Fraction part, left to right: '9' or '0'.
    std::string fracPattern_;
    int intDigits_ = 0;       // digit positions in intPattern_
    int firstZero_ = -1;      // index among integer digit positions of the first '0'
    int vDigits_ = 0;         // digit positions after V (scale by 10^vDigits_)
    bool lowerCase_ = false;  // x / rn
    bool plain_ = false;      // RenderPlain applies
};

}  // namespace ocilite
