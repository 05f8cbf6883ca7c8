#pragma once
// The placeholders of a statement and the values bound to them, as every engine statement
// keeps them: a placeholder is found by its name as Oracle folds it (upper case unless quoted,
// the leading colon optional), and an empty text binds as NULL, as in Oracle.

#include <string>
#include <string_view>
#include <vector>

#include "ocilite/engine/Engine.h"

namespace ocilite {

// The position of placeholder among names, or -1.
int PlaceholderIndex(std::string_view placeholder, const std::vector<std::string>& names);

// Stores value at index of binds and marks it bound; ORA-01036 for an index out of range.
void StoreBindValue(int index, Value value, std::vector<Value>& binds, std::vector<bool>& bound);

// A fixed-length character bind as a CHAR(length) comparison sees it: trailing blanks do not
// count, and it is blank-padded to the column's length in characters.
Value BlankPadded(const TextValue& t, int length);

}  // namespace ocilite
