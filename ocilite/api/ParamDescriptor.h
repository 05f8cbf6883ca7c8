#pragma once
// OCIParam: the description of one select-list column, as OCIParamGet hands it out. The
// statement owns it; the pointer stays valid until the statement is prepared again or freed.

#include "ocilite/api/HandleBase.h"
#include "ocilite/engine/Engine.h"

struct OCIParam : ocilite::api::HandleBase {
    OCIParam() : HandleBase(OCI_DTYPE_PARAM) {}
    ocilite::ColumnInfo column;
    ub4 position = 0;
};
