#pragma once
// Table and column names go into statements between double quotes. A name that holds a double
// quote or a NUL byte could end the quoted name early and change the statement, so such a
// name is refused before any statement is built.

#include <string>
#include <string_view>

#include "transfer/DoubleByte.h"

namespace tabrook {

// True when name can stand between double quotes as it is.
bool IsQuotableName(std::string_view name);

// The refusal text for a name that is not quotable (the name shown with NUL bytes as \0).
std::string UnquotableNameMessage(std::string_view name);

// "name" with its double quotes.
std::string Quoted(std::string_view name);

// The identifier a table name typed by the user (Table field, job list, command line) stands
// for, as in Oracle SQL: a name in double quotes is the text between them, case kept; any
// other name is its upper-case form (ASCII letters; the trail bytes of double-byte characters
// in code stay as they are). Every statement quotes this identifier, never the typed text.
std::string TableIdentifier(std::string_view typed, DoubleByteCode code = DoubleByteCode::None);

// The name to type for identifier: itself when TableIdentifier gives it back, else in quotes.
std::string TypedTableName(std::string_view identifier, DoubleByteCode code = DoubleByteCode::None);

}  // namespace tabrook
