#pragma once
// American month and day names, Roman month numerals and meridian/era indicators, with the
// letter-case rule of the format models and case-insensitive matching for parsing.

#include <cstddef>
#include <string>
#include <string_view>

#include "ocilite/types/DatetimeFormat.h"

namespace ocilite::dtnames {

extern const char* const kMonths[12];       // "JANUARY" ...
extern const char* const kDays[7];          // "SUNDAY" ... (index 0 = Sunday)
extern const char* const kRomanMonths[12];  // "I" ... "XII"
constexpr size_t kNameWidth = 9;            // widest month and day name ("SEPTEMBER", "WEDNESDAY")

// Appends `upperName` in the requested case; pads with blanks to `padTo` characters.
void AppendCased(std::string& out, std::string_view upperName, DtCase letterCase, size_t padTo = 0);

// Matches a month (full name first, then the 3-letter abbreviation) at the start of `text`,
// case-insensitively. Returns the month 1..12 and sets `length`, or 0.
int MatchMonth(std::string_view text, size_t& length);
// Matches a day name (full, then abbreviation). Returns 1..7 (Sunday = 1) or 0.
int MatchDay(std::string_view text, size_t& length);
// Matches a Roman month numeral (longest first). Returns 1..12 or 0.
int MatchRomanMonth(std::string_view text, size_t& length);
// Case-insensitive prefix test against an upper-case ASCII word.
bool StartsWithNoCase(std::string_view text, std::string_view upperWord);

}  // namespace ocilite::dtnames
