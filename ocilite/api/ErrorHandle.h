#pragma once
// OCIError: where every call that takes an error handle leaves its error records.

#include <memory>
#include <vector>

#include "ocilite/api/Diagnostics.h"
#include "ocilite/api/HandleBase.h"

struct OCIError : ocilite::api::HandleBase {
    OCIError() : HandleBase(OCI_HTYPE_ERROR) {}
    ocilite::api::Diagnostics diagnostics;
    // For the error handle of one failed row of a batch-error array DML (as OCIParamGet hands
    // it out): the row's offset in the bind arrays (OCI_ATTR_DML_ROW_OFFSET).
    ub4 rowOffset = 0;
    // The row error handles OCIParamGet hands out for this handle's row errors, by position;
    // owned here and kept until this handle is freed (a later batch refills them).
    std::vector<std::unique_ptr<OCIError>> rowHandles;
};
