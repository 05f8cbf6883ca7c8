#pragma once
// Reads one bind's external buffer (for one iteration of an array execute) into the value the
// engine receives. NULL comes from an indicator of -1 or, for buffers read by value, a value
// size of 0; the engine converts the value to the target column's type.

#include "ocilite/api/BindHandle.h"
#include "ocilite/engine/Value.h"

namespace ocilite::api {

// Throws OraError for buffers that cannot be read (bad size, invalid date, unknown type).
Value ReadBindValue(const OCIBind& bind, ub4 iteration);

}  // namespace ocilite::api
