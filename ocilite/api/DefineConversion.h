#pragma once
// Writes one fetched column value into the caller's define buffer (one row of an array fetch):
// the data, the indicator (-1 NULL, 0 complete, the original length when truncated), the
// returned length and the column return code.

#include <string>

#include "ocilite/api/DefineHandle.h"
#include "ocilite/engine/Engine.h"
#include "ocilite/engine/Value.h"

namespace ocilite::api {

// Returns the column return code: 0, 1405 (NULL fetched without an indicator) or 1406
// (truncated). Throws OraError when the value cannot be converted to the buffer's type.
// `scratch` is a buffer the caller reuses from row to row. A LOB's content is moved into
// the defined locator (the value is left without it), so megabytes are not copied again.
ub2 WriteDefineValue(Value& value, const ColumnInfo& column, const OCIDefine& define, ub4 row, std::string& scratch);

}  // namespace ocilite::api
