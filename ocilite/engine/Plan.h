#pragma once
// A statement translated once at prepare time: the SQLite SQL to run, where each bind value
// goes and what type it must take there, the function call sites the SQL refers to, and the
// describe of the select list. Executing a plan never parses SQL again.

#include <memory>
#include <string>
#include <vector>

#include "ocilite/engine/Ast.h"
#include "ocilite/engine/Catalog.h"
#include "ocilite/engine/Engine.h"
#include "ocilite/engine/Functions.h"
#include "ocilite/engine/SqlType.h"
#include "ocilite/engine/ValueCodec.h"

namespace ocilite {

// One occurrence of a placeholder in the SQL, written as :bN (N its index in Plan::slots):
// SQLite parameter `param` (found when the SQL is prepared; 0 when the SQL does not use it)
// receives bind `bind` converted to `type`.
struct BindSlot {
    int bind = 0;
    int param = 0;
    SqlType type;
    // The length of the CHAR column the placeholder is compared with (0 when it is not): a
    // fixed-length character bind is blank-padded to it, so the comparison is blank-padded.
    int padTo = 0;
};

// A value computed by the engine itself (INSERT ... VALUES): constant, bind, or a function of
// those.
struct ValueExpr {
    enum class Kind { Constant, Bind, Call } kind = Kind::Constant;
    Value constant;
    int bind = -1;
    SqlType type;
    std::unique_ptr<CompiledCall> call;
    std::vector<ValueExpr> args;
};

// What a stored column receives through the oput() SQL function.
struct ColumnPut {
    ColumnTarget target;
    SqlType source;
    bool update = false;
};

struct OutputColumn {
    ColumnInfo info;
    SqlType type;
};

struct Plan {
    StmtKind kind = StmtKind::Select;
    StatementType type = StatementType::Unknown;
    std::string sql;  // SQLite statement (queries and DML)
    std::vector<BindSlot> slots;
    std::vector<std::unique_ptr<CompiledCall>> calls;  // parameter callParam0 + i
    std::vector<std::unique_ptr<ColumnPut>> puts;      // parameter putParam0 + i
    int callParam0 = 0, putParam0 = 0;
    std::vector<OutputColumn> columns;
    bool emptyResult = false;  // e.g. WHERE ROWNUM > 1: no row at all

    // INSERT ... VALUES evaluated by the engine
    bool engineValues = false;
    std::vector<ValueExpr> values;      // one per table column, in storage order
    std::vector<ColumnTarget> targets;  // one per table column
    int64_t objectId = 0;               // target table (rowids)

    // statements run by the session (DDL, transaction control, accounts)
    std::unique_ptr<ParsedStatement> parsed;
};

}  // namespace ocilite
