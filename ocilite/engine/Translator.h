#pragma once
// Turns a parsed Oracle statement into a Plan: resolves names against the catalog (tables,
// views, the data dictionary views and DUAL), types every expression, inserts Oracle's
// implicit conversions, and writes the SQLite SQL that computes the same result over the
// stored forms of ValueCodec.h.

#include <map>
#include <string>
#include <vector>

#include "ocilite/engine/Ast.h"
#include "ocilite/engine/Catalog.h"
#include "ocilite/engine/Plan.h"

namespace ocilite {

class Translator {
public:
    Translator(Catalog& catalog, std::string user, Plan& plan, std::vector<std::string>& bindNames)
        : catalog_(catalog), user_(std::move(user)), plan_(plan), bindNames_(bindNames) {}

    // Fills the plan for SELECT, INSERT, UPDATE and DELETE.
    void Translate(const ParsedStatement& st);

    struct ScopeColumn {
        std::string name;
        SqlType type;
        bool notNull = false;
        std::string sql;
    };
    struct Source {
        std::string qualifier;  // alias, or the table's name
        std::string owner;
        std::string table;
        std::string sqlAlias;
        int64_t objectId = 0;
        bool isTable = false;
        std::vector<ScopeColumn> columns;
    };
    struct Scope {
        std::vector<Source> sources;
        const Scope* parent = nullptr;
    };
    struct TExpr {
        std::string sql;
        SqlType type;
        int slot = -1;  // a bare placeholder: index into plan.slots
        bool aggregate = false;
    };
    struct QueryResult {
        std::string sql;
        std::vector<OutputColumn> columns;
    };

    QueryResult TranslateQuery(const SelectStmt& q, const Scope* parent);

private:
    // MERGE is translated into statements of its own from this class's parts (MergeStatement.cpp).
    friend class MergeTranslator;

    QueryResult TranslateSimpleSelect(const SelectStmt& q, const Scope* parent);
    Source ResolveSource(const TableRef& ref, const Scope* parent);
    Source ResolveNamedSource(const TableRef& ref, const Scope* parent);
    TExpr Expr(const ocilite::Expr& e, const Scope& scope);
    TExpr TypedExpr(const ocilite::Expr& e, const Scope& scope);
    TExpr Column(const ocilite::Expr& e, const Scope& scope);
    TExpr Call(const FunctionDef* fn, std::vector<TExpr> args, const SqlType* forcedResult = nullptr);
    TExpr Convert(TExpr e, const SqlType& to);
    TExpr Aggregate(const ocilite::Expr& e, const Scope& scope);
    std::string Condition(const ocilite::Expr& e, const Scope& scope);
    std::string Compare(TExpr l, const std::string& op, TExpr r);
    void Unify(TExpr& l, TExpr& r);
    TExpr Literal(const ocilite::Expr& e);
    int BindIndexFor(const std::string& name);
    std::string Constant(const Value& v, const SqlType& t);

    ValueExpr CompileValue(const ocilite::Expr& e);

    void TranslateInsert(const ParsedStatement& st);
    Scope TargetTableScope(const CatalogObject& obj, const std::string& qualifier);
    void TranslateUpdate(const ParsedStatement& st);
    void TranslateDelete(const ParsedStatement& st);
    CatalogObject RequireTable(const std::string& schema, const std::string& name);
    std::string PutSql(const ColumnTarget& target, const TExpr& value, bool update);
    std::string RownumLimit(const ocilite::Expr& bound, const std::string& op, const Scope& scope);
    std::string DmlCondition(const ocilite::Expr& where, const Scope& scope, const std::string& table);
    void SplitWhere(const ocilite::Expr& where, const Scope& scope, std::string& cond, std::string& limit);
    std::string BuiltinViewSql(const std::string& name, std::vector<ScopeColumn>& cols, const std::string& sqlAlias,
                               const std::string& schema);

    Catalog& catalog_;
    std::string user_;
    Plan& plan_;
    std::vector<std::string>& bindNames_;
    int aliasCounter_ = 0;
    int viewDepth_ = 0;
};

}  // namespace ocilite
