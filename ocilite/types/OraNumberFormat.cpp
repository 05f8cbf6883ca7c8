// TO_CHAR(number, fmt) and TO_NUMBER(text, fmt) on OraNumber. The export and import paths
// format every row with the same model, so the last compiled model is kept per thread.
#include "ocilite/types/NumberFormatModel.h"
#include "ocilite/types/OraNumber.h"

namespace ocilite {

namespace {

const NumberFormatModel& CompiledModel(std::string_view fmt) {
    thread_local NumberFormatModel cached = NumberFormatModel::Compile("");
    if (cached.Text() != fmt) cached = NumberFormatModel::Compile(fmt);
    return cached;
}

NumberFormatSymbols MakeSymbols(char decimalChar, char groupChar, std::string_view currency) {
    if (decimalChar == groupChar || (decimalChar >= '0' && decimalChar <= '9') ||
        (groupChar >= '0' && groupChar <= '9') || decimalChar == '+' || decimalChar == '-' || groupChar == '+' ||
        groupChar == '-' || decimalChar == '<' || decimalChar == '>' || groupChar == '<' || groupChar == '>')
        throw OraError(12705, "Cannot access NLS data files or invalid environment specified");
    NumberFormatSymbols s;
    s.decimal = decimalChar;
    s.group = groupChar;
    s.currency = std::string(currency);
    return s;
}

}  // namespace

std::string OraNumber::Format(std::string_view fmt) const {
    static const NumberFormatSymbols kAmerican;
    return CompiledModel(fmt).Render(*this, kAmerican);
}

std::string OraNumber::Format(std::string_view fmt, char decimalChar, char groupChar, std::string_view currency) const {
    return CompiledModel(fmt).Render(*this, MakeSymbols(decimalChar, groupChar, currency));
}

OraNumber OraNumber::ParseWithFormat(std::string_view text, std::string_view fmt) {
    static const NumberFormatSymbols kAmerican;
    return CompiledModel(fmt).Parse(text, kAmerican);
}

OraNumber OraNumber::ParseWithFormat(std::string_view text, std::string_view fmt, char decimalChar, char groupChar,
                                     std::string_view currency) {
    return CompiledModel(fmt).Parse(text, MakeSymbols(decimalChar, groupChar, currency));
}

}  // namespace ocilite
