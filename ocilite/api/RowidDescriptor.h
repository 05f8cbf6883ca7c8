#pragma once
// OCIRowid: a row address as the engine spells it (18 characters), empty until filled.

#include <string>

#include "ocilite/api/HandleBase.h"

struct OCIRowid : ocilite::api::HandleBase {
    OCIRowid() : HandleBase(OCI_DTYPE_ROWID) {}
    std::string text;
};
