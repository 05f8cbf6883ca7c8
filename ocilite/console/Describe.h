#pragma once
// DESCRIBE name: the columns of a table or view with their NULL constraint and their type as
// Oracle writes it in a definition (NUMBER(10,2), VARCHAR2(40 CHAR), TIMESTAMP(6) ...).

#include <string>
#include <vector>

#include "ocilite/engine/Engine.h"

namespace ocilite {

struct DescribedColumn {
    std::string name;
    bool nullable = true;
    std::string type;
};

// The type text of a described column.
std::string DeclaredType(const ColumnInfo& column);
// The columns of [schema.]name; ORA-04043 when there is no such table or view to be seen.
std::vector<DescribedColumn> DescribeObject(Session& session, const std::string& name);

}  // namespace ocilite
