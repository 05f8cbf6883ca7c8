#include "ocilite/types/DatetimeNames.h"

namespace ocilite::dtnames {

const char* const kMonths[12] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                                 "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
const char* const kDays[7] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};
const char* const kRomanMonths[12] = {"I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X", "XI", "XII"};

namespace {
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

int MatchNames(std::string_view text, const char* const* names, int count, size_t& length) {
    for (int i = 0; i < count; ++i) {  // full names first: "MAY" and "JUNE" are their own abbreviations
        if (StartsWithNoCase(text, names[i])) {
            length = std::char_traits<char>::length(names[i]);
            return i + 1;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (StartsWithNoCase(text, std::string_view(names[i], 3))) {
            length = 3;
            return i + 1;
        }
    }
    return 0;
}
}  // namespace

bool StartsWithNoCase(std::string_view text, std::string_view upperWord) {
    if (text.size() < upperWord.size()) return false;
    for (size_t i = 0; i < upperWord.size(); ++i) {
        if (Upper(text[i]) != upperWord[i]) return false;
    }
    return true;
}

void AppendCased(std::string& out, std::string_view upperName, DtCase letterCase, size_t padTo) {
    bool first = true;
    for (char c : upperName) {
        const bool isLetter = (c >= 'A' && c <= 'Z');
        if (letterCase == DtCase::Lower || (letterCase == DtCase::Initial && !first)) c = Lower(c);
        out.push_back(c);
        first = !isLetter;  // initial capitals start every word ("Ninety-Eight")
    }
    for (size_t n = upperName.size(); n < padTo; ++n) out.push_back(' ');
}

int MatchMonth(std::string_view text, size_t& length) {
    return MatchNames(text, kMonths, 12, length);
}

int MatchDay(std::string_view text, size_t& length) {
    return MatchNames(text, kDays, 7, length);
}

int MatchRomanMonth(std::string_view text, size_t& length) {
    int best = 0;
    length = 0;
    for (int i = 0; i < 12; ++i) {
        const std::string_view r = kRomanMonths[i];
        if (r.size() > length && StartsWithNoCase(text, r)) {
            best = i + 1;
            length = r.size();
        }
    }
    return best;
}

}  // namespace ocilite::dtnames
