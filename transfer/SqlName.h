#pragma once
// Table and column names go into statements between double quotes. A name that holds a double
// quote or a NUL byte could end the quoted name early and change the statement, so such a
// name is refused before any statement is built.

#include <string>
#include <string_view>

namespace tabrook {

// True when name can stand between double quotes as it is.
bool IsQuotableName(std::string_view name);

// The refusal text for a name that is not quotable (the name shown with NUL bytes as \0).
std::string UnquotableNameMessage(std::string_view name);

// "name" with its double quotes.
std::string Quoted(std::string_view name);

}  // namespace tabrook
