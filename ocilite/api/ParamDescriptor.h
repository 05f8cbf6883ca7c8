#pragma once
// OCIParam: the description of one select-list column, as OCIParamGet hands it out. The
// statement owns it; the pointer stays valid until the statement is prepared again or freed.

#include <string>
#include <vector>

#include "ocilite/api/HandleBase.h"
#include "ocilite/engine/Engine.h"

// OCIDescribeAny hands out parameters of other kinds too: a table or view (its name, column
// count and column list) and the column list (its members, fetched with OCIParamGet).
struct OCIParam : ocilite::api::HandleBase {
    OCIParam() : HandleBase(OCI_DTYPE_PARAM) {}
    ocilite::ColumnInfo column;
    ub4 position = 0;
    ub1 parameterType = OCI_PTYPE_COL;
    std::string objectName;          // tables and views
    OCIParam* columnList = nullptr;  // tables and views: the OCI_PTYPE_LIST parameter
    std::vector<OCIParam*> members;  // tables and views, and the list: the columns
};
