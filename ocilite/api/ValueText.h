#pragma once
// The character form of a column value, as Oracle gives it when a column is fetched into a
// character buffer: NUMBER as TO_CHAR without a model, dates and timestamps in the session's
// default formats, intervals with the column's precisions, RAW as upper-case hex.

#include <string>

#include "ocilite/engine/Engine.h"
#include "ocilite/engine/Value.h"

namespace ocilite::api {

// Replaces out with the text of a non-NULL value; throws OraError when the value has no
// character form here (LOB references).
void ValueToText(const Value& value, const ColumnInfo& column, std::string& out);

}  // namespace ocilite::api
