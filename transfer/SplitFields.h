#pragma once
// Cuts one CSV line into fields. The separator and the delimiter are single bytes; the byte 0
// means none. A delimiter byte toggles quoting and is dropped, except that two delimiter
// bytes inside a quoted part stand for one delimiter character; a separator byte outside
// quotes ends a field. n unquoted separators give n + 1 fields; a line with no content left
// after delimiter removal has no fields; an unbalanced delimiter keeps the rest of the line
// in one field. With a double-byte client character set (code) the bytes of a character after
// its first are never taken for a separator or a delimiter; otherwise bytes are compared singly.
// A record may hold line breaks inside quotes: they are ordinary bytes here.

#include <string>
#include <string_view>
#include <vector>

#include "transfer/DoubleByte.h"

namespace tabrook {

// The fields of line, each followed by one LF byte (empty text for no fields).
std::string SplitFields(std::string_view line, char sep, char delim, DoubleByteCode code = DoubleByteCode::None);

// The same fields into fields, reusing its strings; fields.size() is the field count.
void SplitFieldsInto(std::string_view line, char sep, char delim, std::vector<std::string>& fields,
                     DoubleByteCode code = DoubleByteCode::None);

}  // namespace tabrook
