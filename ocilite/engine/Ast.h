#pragma once
// The parsed form of the Oracle-dialect statements the engine understands. Names are already
// normalised: unquoted identifiers upper-cased, quoted ones exact.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace ocilite {

struct SelectStmt;
struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

enum class ExprKind {
    Null,     // NULL or ''
    Number,   // text: the literal
    String,   // text: the literal (never empty)
    NString,  // N'...'
    Bind,     // text: placeholder name
    Column,   // names: [qualifier...,] column
    Rownum,
    Rowid,    // ROWID pseudo-column, names may carry a qualifier
    Unary,    // text: "-" "+"
    Binary,   // text: "+" "-" "*" "/" "||"
    Compare,  // text: "=" "<>" "<" "<=" ">" ">="
    And,
    Or,
    Not,
    IsNull,            // negated: IS NOT NULL
    Like,              // args: value, pattern[, escape]; negated
    Between,           // args: value, low, high; negated
    InList,            // args: value, items...; negated
    InSelect,          // args: value; subquery; negated
    Exists,            // subquery
    Subquery,          // scalar subquery
    Function,          // text: upper-cased name; args; distinct; star for COUNT(*)
    Translate,         // TRANSLATE(expr USING CHAR_CS|NCHAR_CS): text "CHAR_CS"/"NCHAR_CS"
    Case,              // args: [operand] then when/then pairs then [else]; hasOperand, hasElse
    Cast,              // args: value; typeText holds the target type
    DateLiteral,       // DATE '...'
    TimestampLiteral,  // TIMESTAMP '...'
    IntervalLiteral,   // INTERVAL '...' YEAR TO MONTH / DAY TO SECOND: text "YM" or "DS"
};

struct TypeSpec;

struct Expr {
    ExprKind kind = ExprKind::Null;
    std::string text;
    std::string literal;  // literal content for typed literals
    std::vector<std::string> names;
    std::vector<ExprPtr> args;
    std::unique_ptr<SelectStmt> subquery;
    std::shared_ptr<TypeSpec> castType;
    bool negated = false;
    bool distinct = false;
    bool star = false;
    bool hasOperand = false;
    bool hasElse = false;
    size_t pos = 0, end = 0;  // source range, for column headings
};

// A declared column type: base name as Oracle spells it ("VARCHAR2", "NUMBER",
// "TIMESTAMP WITH TIME ZONE", "INTERVAL DAY TO SECOND", ...), and its modifiers (-1 = absent).
struct TypeSpec {
    std::string base;
    int length = -1;  // character/raw length
    bool charSemantics = false;
    bool explicitSemantics = false;
    int precision = -1;          // NUMBER/FLOAT precision; interval leading precision
    int scale = -1;              // NUMBER scale; timestamp/interval fractional precision
    bool starPrecision = false;  // NUMBER(*, s)
};

struct SelectItem {
    ExprPtr expr;  // null for * or t.*
    std::string alias;
    bool hasAlias = false;
    bool star = false;
    std::string starQualifier;
    std::string heading;  // column heading Oracle gives an unaliased expression
};

struct TableRef {
    size_t pos = 0;      // where the reference starts in the text
    std::string schema;  // empty: the session user's
    std::string name;
    std::string alias;
    std::unique_ptr<SelectStmt> subquery;
    int join = 0;  // 0 first/comma, 1 inner, 2 left, 3 right, 4 full, 5 cross
    ExprPtr on;
};

struct OrderItem {
    ExprPtr expr;
    bool desc = false;
    int nulls = 0;  // 0 default, 1 first, 2 last
};

struct SelectStmt {
    bool distinct = false;
    std::vector<SelectItem> items;
    std::vector<TableRef> from;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderItem> orderBy;
    std::string setOp;  // "UNION", "UNION ALL", "INTERSECT", "MINUS" joining `next`
    std::unique_ptr<SelectStmt> next;
    bool forUpdate = false;
};

struct ColumnDefAst {
    std::string name;
    TypeSpec type;
    std::string defaultText;  // source text of the DEFAULT expression
    bool notNull = false;
    bool primaryKey = false;
    bool unique = false;
    std::string constraintName;  // for an inline PRIMARY KEY / UNIQUE
    std::string notNullName;
};

struct TableConstraintAst {
    std::string name;
    char type = 'U';  // 'P' primary key, 'U' unique
    std::vector<std::string> columns;
};

enum class StmtKind {
    Select,
    Insert,
    Update,
    Delete,
    CreateTable,
    CreateView,
    Drop,
    Truncate,
    CreateUser,
    AlterUser,
    Commit,
    Rollback,
    Savepoint,
    AlterSession,
    Comment,
    Lock,
    PlSql,
    Grant,
    Revoke,
    CreateDirectory,
    Merge,
};

struct Statement_;
struct SetClause {
    std::string column;
    ExprPtr value;
};

// MERGE INTO target USING source ON (on) [WHEN MATCHED THEN UPDATE SET ... [WHERE ...]]
// [WHEN NOT MATCHED THEN INSERT [(columns)] VALUES (...) [WHERE ...]] (MergeStatement.h).
struct MergeClauses {
    TableRef source;  // a table or a subquery, with its alias
    ExprPtr on;
    bool matched = false;  // the WHEN MATCHED clause: sets, updateWhere
    std::vector<SetClause> sets;
    ExprPtr updateWhere;
    bool notMatched = false;  // the WHEN NOT MATCHED clause: insertColumns, insertValues, insertWhere
    std::vector<std::string> insertColumns;
    std::vector<ExprPtr> insertValues;
    ExprPtr insertWhere;
};

struct ParsedStatement {
    StmtKind kind = StmtKind::Select;
    std::unique_ptr<SelectStmt> select;  // SELECT; INSERT ... SELECT; CREATE VIEW / TABLE AS
    // target object (INSERT/UPDATE/DELETE/CREATE/DROP/TRUNCATE)
    std::string schema, name, alias;
    std::vector<std::string> columns;          // INSERT column list / view column list
    std::vector<std::vector<ExprPtr>> values;  // INSERT VALUES rows
    std::vector<SetClause> sets;               // UPDATE
    ExprPtr where;                             // UPDATE / DELETE
    std::vector<ColumnDefAst> columnDefs;      // CREATE TABLE
    std::vector<TableConstraintAst> constraints;
    std::string objectType;  // DROP: "TABLE" "VIEW" "USER"
    bool orReplace = false;
    bool cascade = false;
    std::string password;               // CREATE / ALTER USER
    std::string accountState;           // ALTER USER ... ACCOUNT LOCK / UNLOCK: "LOCK" "UNLOCK"
    std::vector<std::string> grantees;  // GRANT ... TO / REVOKE ... FROM (privileges in columns)
    std::string viewText;               // CREATE VIEW: text of the query
    std::string directoryPath;          // CREATE DIRECTORY: the folder
    std::shared_ptr<MergeClauses> merge;  // MERGE: all but the target (schema, name, alias)
};

}  // namespace ocilite
