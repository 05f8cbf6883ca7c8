#pragma once
// The SQLite functions the translated SQL calls: orf (an Oracle function or conversion at a
// call site), oput (a value stored into a column, with the column's checks), onum (integer to
// NUMBER key), oint (a ROWNUM bound to a row limit), osum/oavg (NUMBER aggregates), orowid,
// ocolinfo (dictionary views). Errors are kept as the session's pending OraError, since
// SQLite can only carry text.

#include <cstdint>
#include <optional>
#include <sqlite3.h>
#include <string>

#include "ocilite/engine/Functions.h"
#include "ocilite/types/OraError.h"

namespace ocilite {

// What the functions need from their session.
struct FunctionHost {
    EvalContext context;
    std::optional<OraError> pending;
};

void RegisterSqlFunctions(sqlite3* db, FunctionHost* host);

// Pointer types passed with sqlite3_bind_pointer.
inline constexpr const char* kCallPointer = "ocilite_call";
inline constexpr const char* kPutPointer = "ocilite_put";

// ROWID text of a row: 18 characters, as Oracle shows a rowid.
std::string RowidText(int64_t objectId, int64_t rowid);

}  // namespace ocilite
