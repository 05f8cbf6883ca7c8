#pragma once
// OCIError: where every call that takes an error handle leaves its error records.

#include "ocilite/api/Diagnostics.h"
#include "ocilite/api/HandleBase.h"

struct OCIError : ocilite::api::HandleBase {
    OCIError() : HandleBase(OCI_HTYPE_ERROR) {}
    ocilite::api::Diagnostics diagnostics;
};
