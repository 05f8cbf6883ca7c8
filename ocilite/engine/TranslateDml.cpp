#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "ocilite/engine/Parser.h"
#include "ocilite/engine/SqliteDb.h"
#include "ocilite/engine/TranslatorInternal.h"
#include "ocilite/types/OraError.h"

namespace ocilite {
using namespace translate;

// ---- INSERT / UPDATE / DELETE ---------------------------------------------------------------

CatalogObject Translator::RequireTable(const std::string& schema, const std::string& name) {
    std::string owner = schema.empty() ? user_ : schema;
    auto obj = catalog_.Find(owner, name);
    if (!obj) throw OraError(942, "table or view does not exist");
    if (obj->type != "TABLE") throw OraError(1732, "data manipulation operation not legal on this view");
    return *obj;
}

std::string Translator::PutSql(const ColumnTarget& target, const TExpr& value, bool update) {
    auto put = std::make_unique<ColumnPut>();
    put->target = target;
    put->source = value.type;
    put->update = update;
    std::string name = ":p" + std::to_string(plan_.puts.size());
    plan_.puts.push_back(std::move(put));
    return "oput(" + name + ", " + value.sql + ")";
}

ValueExpr Translator::CompileValue(const ocilite::Expr& e) {
    ValueExpr v;
    switch (e.kind) {
        case ExprKind::Null: return v;
        case ExprKind::Number: {
            std::string text = e.text;
            if (!text.empty() && std::isalpha(static_cast<unsigned char>(text.back()))) {
                text.pop_back();
                v.type = SqlType::Of(TypeKind::BinaryDouble);
                v.constant = BinaryDoubleValue{OraNumber::Parse(text).ToDouble()};
                return v;
            }
            v.type = SqlType::Of(TypeKind::Number);
            v.constant = OraNumber::Parse(text);
            return v;
        }
        case ExprKind::String:
        case ExprKind::NString:
            v.type = LiteralText(e.text, e.kind == ExprKind::NString);
            v.constant = TextValue{e.text, e.kind == ExprKind::NString};
            return v;
        case ExprKind::Bind:
            v.kind = ValueExpr::Kind::Bind;
            v.bind = BindIndexFor(e.text);
            return v;
        case ExprKind::DateLiteral:
        case ExprKind::TimestampLiteral:
        case ExprKind::IntervalLiteral: throw NeedSql{};
        case ExprKind::Column:
            if (e.names.size() == 1 && (e.names[0] == "NULL")) return v;
            throw OraError(984, "column not allowed here");
        case ExprKind::Unary: {
            ValueExpr a = CompileValue(*e.args[0]);
            if (e.text == "+") return a;
            v.kind = ValueExpr::Kind::Call;
            v.args.push_back(std::move(a));
            break;
        }
        case ExprKind::Binary:
        case ExprKind::Translate:
        case ExprKind::Function:
            v.kind = ValueExpr::Kind::Call;
            for (const auto& a : e.args) v.args.push_back(CompileValue(*a));
            break;
        default: throw NeedSql{};
    }
    const FunctionDef* fn = nullptr;
    if (e.kind == ExprKind::Unary)
        fn = FindFunction("$NEG");
    else if (e.kind == ExprKind::Binary)
        fn = FindFunction(e.text);
    else if (e.kind == ExprKind::Translate)
        fn = FindFunction(e.text == "CHAR_CS" ? "$TRANSLATE_CHAR" : "$TRANSLATE_NCHAR");
    else {
        if (IsAggregateName(e.text)) throw OraError(934, "group function is not allowed here");
        fn = FindFunction(e.text);
        if (!fn) throw OraError(904, "\"" + e.text + "\": invalid identifier");
        if (e.star) throw OraError(936, "missing expression");
    }
    std::vector<SqlType> types;
    for (auto& a : v.args) types.push_back(a.type);
    v.call = std::make_unique<CompiledCall>(CompiledCall::Resolve(fn, types));
    v.type = v.call->result;
    return v;
}

void Translator::TranslateInsert(const ParsedStatement& st) {
    CatalogObject obj = RequireTable(st.schema, st.name);
    RequireAccess(catalog_, user_, obj, "INSERT");
    plan_.objectId = obj.id;
    std::vector<int> targets;  // table column per value
    if (st.columns.empty()) {
        for (size_t i = 0; i < obj.columns.size(); ++i) targets.push_back(static_cast<int>(i));
    } else {
        for (const auto& name : st.columns) {
            int pos = -1;
            for (size_t i = 0; i < obj.columns.size(); ++i)
                if (obj.columns[i].name == name) pos = static_cast<int>(i);
            if (pos < 0) InvalidIdentifier({name});
            if (std::find(targets.begin(), targets.end(), pos) != targets.end())
                throw OraError(957, "duplicate column name");
            targets.push_back(pos);
        }
    }
    for (size_t i = 0; i < obj.columns.size(); ++i) {
        ColumnTarget t;
        t.owner = obj.owner;
        t.table = obj.name;
        t.column = obj.columns[i].name;
        t.type = obj.columns[i].type;
        t.notNull = obj.columns[i].notNull;
        plan_.targets.push_back(std::move(t));
    }
    auto defaultExpr = [&](size_t col) -> const ocilite::Expr* {
        return nullptr;
        (void)col;
    };
    (void)defaultExpr;
    // parsed DEFAULT expressions for the columns the statement leaves out
    std::vector<std::unique_ptr<ParsedStatement>> defaults(obj.columns.size());
    for (size_t i = 0; i < obj.columns.size(); ++i) {
        if (std::find(targets.begin(), targets.end(), static_cast<int>(i)) != targets.end()) continue;
        if (obj.columns[i].defaultText.empty()) continue;
        defaults[i] =
            std::make_unique<ParsedStatement>(ParseStatement("SELECT " + obj.columns[i].defaultText + " FROM DUAL"));
    }

    std::string columnList;
    for (size_t i = 0; i < obj.columns.size(); ++i) {
        if (i) columnList += ", ";
        columnList += CatalogObject::ColumnStorage(i);
    }

    if (!st.values.empty()) {
        const auto& row = st.values[0];
        if (row.size() > targets.size()) throw OraError(913, "too many values");
        if (row.size() < targets.size()) throw OraError(947, "not enough values");
        try {
            std::vector<ValueExpr> values(obj.columns.size());
            for (size_t k = 0; k < targets.size(); ++k) values[static_cast<size_t>(targets[k])] = CompileValue(*row[k]);
            for (size_t i = 0; i < obj.columns.size(); ++i)
                if (defaults[i]) values[i] = CompileValue(*defaults[i]->select->items[0].expr);
            plan_.engineValues = true;
            plan_.values = std::move(values);
            plan_.sql = "INSERT INTO " + obj.StorageName() + "(" + columnList + ") VALUES(";
            for (size_t i = 0; i < obj.columns.size(); ++i) plan_.sql += (i ? ", ?" : "?") + std::to_string(i + 1);
            plan_.sql += ")";
            return;
        } catch (const NeedSql&) {
            plan_.values.clear();
            plan_.engineValues = false;
        }
    }

    Scope empty;
    std::vector<std::string> exprs(obj.columns.size(), "NULL");
    std::string sql = "INSERT INTO " + obj.StorageName() + "(" + columnList + ") ";
    std::string fromPart;
    if (!st.values.empty()) {
        const auto& row = st.values[0];
        for (size_t k = 0; k < targets.size(); ++k) {
            size_t col = static_cast<size_t>(targets[k]);
            TExpr v = Expr(*row[k], empty);
            if (v.slot >= 0 && v.type.kind == TypeKind::Unknown) v = Convert(v, plan_.targets[col].type);
            exprs[col] = PutSql(plan_.targets[col], v, false);
        }
    } else {
        QueryResult q = TranslateQuery(*st.select, nullptr);
        if (q.columns.size() > targets.size()) throw OraError(913, "too many values");
        if (q.columns.size() < targets.size()) throw OraError(947, "not enough values");
        for (size_t k = 0; k < targets.size(); ++k) {
            size_t col = static_cast<size_t>(targets[k]);
            TExpr v;
            v.sql = "q." + OutName(k);
            v.type = q.columns[k].type;
            exprs[col] = PutSql(plan_.targets[col], v, false);
        }
        fromPart = " FROM (" + q.sql + ") AS q";
    }
    for (size_t i = 0; i < obj.columns.size(); ++i) {
        bool listed = std::find(targets.begin(), targets.end(), static_cast<int>(i)) != targets.end();
        if (listed) continue;
        TExpr v;
        v.sql = "NULL";
        if (defaults[i]) v = Expr(*defaults[i]->select->items[0].expr, empty);
        exprs[i] = PutSql(plan_.targets[i], v, false);
    }
    sql += "SELECT ";
    for (size_t i = 0; i < exprs.size(); ++i) sql += (i ? ", " : "") + exprs[i];
    sql += fromPart;
    // SQLite reads "INSERT ... SELECT ... FROM x ON CONFLICT" ambiguously without a WHERE
    if (!fromPart.empty()) sql += " WHERE true";
    plan_.sql = sql;
}

// The scope of an UPDATE or DELETE: the one target table, its columns named by the table
// storage, reachable under the statement's alias or the table's own name.
Translator::Scope Translator::TargetTableScope(const CatalogObject& obj, const std::string& qualifier) {
    Source src;
    src.qualifier = qualifier;
    src.owner = obj.owner;
    src.table = obj.name;
    src.sqlAlias = obj.StorageName();
    src.isTable = true;
    src.objectId = obj.id;
    for (size_t i = 0; i < obj.columns.size(); ++i) {
        ScopeColumn c;
        c.name = obj.columns[i].name;
        c.type = obj.columns[i].type;
        c.notNull = obj.columns[i].notNull;
        c.sql = obj.StorageName() + "." + CatalogObject::ColumnStorage(i);
        src.columns.push_back(std::move(c));
    }
    Scope scope;
    scope.sources.push_back(std::move(src));
    return scope;
}

std::string Translator::RownumLimit(const ocilite::Expr& bound, const std::string& op, const Scope& scope) {
    // the limit is computed once, before the rows: a bound that depends on the row is not
    // supported (Oracle re-evaluates it for every row)
    struct RowDependent {
        static bool In(const ocilite::Expr& x) {
            if (x.kind == ExprKind::Column || x.kind == ExprKind::Rownum || x.kind == ExprKind::Rowid) return true;
            for (const auto& a : x.args)
                if (a && In(*a)) return true;
            return false;
        }
    };
    if (RowDependent::In(bound)) throw OraError(3001, "unimplemented feature");
    TExpr b = Convert(Expr(bound, scope), SqlType::Of(TypeKind::Number));
    // ROWNUM counts rows as they pass: only an upper bound (or a lower bound that every first
    // row meets) keeps rows.
    if (op == "<=") return "oint(" + b.sql + ", 0)";
    if (op == "<") return "oint(" + b.sql + ", 1)";
    if (op == "=") return "oint(" + b.sql + ", 2)";
    if (op == ">") return "oint(" + b.sql + ", 3)";
    if (op == ">=") return "oint(" + b.sql + ", 4)";
    return "oint(" + b.sql + ", 5)";
}

// The WHERE clause of an UPDATE or DELETE. ROWNUM conditions among its ANDed terms limit the
// rows the other terms pick, in storage order: the statement then changes the rows whose
// rowid a limited query over the table returns.
std::string Translator::DmlCondition(const ocilite::Expr& where, const Scope& scope, const std::string& table) {
    std::string cond, limit;
    SplitWhere(where, scope, cond, limit);
    if (limit.empty()) return cond;
    return "rowid IN (SELECT rowid FROM " + table + (cond.empty() ? "" : " WHERE " + cond) + " LIMIT " + limit + ")";
}

// Splits a WHERE clause into its ANDed terms, in the order they are written: comparisons of
// ROWNUM with a bound become a row limit (the smallest of them), the other terms the condition.
void Translator::SplitWhere(const ocilite::Expr& where, const Scope& scope, std::string& cond, std::string& limit) {
    std::vector<const ocilite::Expr*> conjuncts;
    std::vector<const ocilite::Expr*> stack{&where};
    while (!stack.empty()) {
        const ocilite::Expr* c = stack.back();
        stack.pop_back();
        if (c->kind == ExprKind::And) {
            stack.push_back(c->args[1].get());
            stack.push_back(c->args[0].get());
        } else {
            conjuncts.push_back(c);
        }
    }
    std::sort(conjuncts.begin(), conjuncts.end(), [](auto* a, auto* b) { return a->pos < b->pos; });
    for (const ocilite::Expr* c : conjuncts) {
        const bool rownumLeft = c->kind == ExprKind::Compare && c->args[0]->kind == ExprKind::Rownum;
        const bool rownumRight = c->kind == ExprKind::Compare && c->args[1]->kind == ExprKind::Rownum;
        if (rownumLeft || rownumRight) {
            // "5 > ROWNUM" bounds ROWNUM like "ROWNUM < 5".
            static const std::map<std::string, std::string> kMirrored{
                {"<", ">"}, {">", "<"}, {"<=", ">="}, {">=", "<="}};
            std::string op = c->text;
            if (rownumRight) {
                auto mirrored = kMirrored.find(op);
                if (mirrored != kMirrored.end()) op = mirrored->second;
            }
            std::string lim = RownumLimit(*c->args[rownumLeft ? 1 : 0], op, scope);
            limit = limit.empty() ? lim : "min(" + limit + ", " + lim + ")";
            continue;
        }
        std::string one = Condition(*c, scope);
        cond += cond.empty() ? one : " AND " + one;
    }
}

void Translator::TranslateUpdate(const ParsedStatement& st) {
    CatalogObject obj = RequireTable(st.schema, st.name);
    RequireAccess(catalog_, user_, obj, "UPDATE");
    // a WHERE clause reads the table's rows: that takes SELECT too
    if (st.where) RequireAccess(catalog_, user_, obj, "SELECT");
    plan_.objectId = obj.id;
    Scope scope = TargetTableScope(obj, st.alias.empty() ? st.name : st.alias);
    std::string sql = "UPDATE " + obj.StorageName() + " SET ";
    std::vector<int> seen;
    for (size_t k = 0; k < st.sets.size(); ++k) {
        int pos = -1;
        for (size_t i = 0; i < obj.columns.size(); ++i)
            if (obj.columns[i].name == st.sets[k].column) pos = static_cast<int>(i);
        if (pos < 0) InvalidIdentifier({st.sets[k].column});
        if (std::find(seen.begin(), seen.end(), pos) != seen.end())
            throw OraError(1747, "invalid user.table.column, table.column, or column specification");
        seen.push_back(pos);
        ColumnTarget t;
        t.owner = obj.owner;
        t.table = obj.name;
        t.column = obj.columns[static_cast<size_t>(pos)].name;
        t.type = obj.columns[static_cast<size_t>(pos)].type;
        t.notNull = obj.columns[static_cast<size_t>(pos)].notNull;
        TExpr v = Expr(*st.sets[k].value, scope);
        if (v.slot >= 0 && v.type.kind == TypeKind::Unknown) v = Convert(v, t.type);
        if (k) sql += ", ";
        sql += CatalogObject::ColumnStorage(static_cast<size_t>(pos)) + " = " + PutSql(t, v, true);
    }
    if (st.where) sql += " WHERE " + DmlCondition(*st.where, scope, obj.StorageName());
    plan_.sql = sql;
}

void Translator::TranslateDelete(const ParsedStatement& st) {
    CatalogObject obj = RequireTable(st.schema, st.name);
    RequireAccess(catalog_, user_, obj, "DELETE");
    // a WHERE clause reads the table's rows: that takes SELECT too
    if (st.where) RequireAccess(catalog_, user_, obj, "SELECT");
    plan_.objectId = obj.id;
    Scope scope = TargetTableScope(obj, st.alias.empty() ? st.name : st.alias);
    std::string sql = "DELETE FROM " + obj.StorageName();
    if (st.where) sql += " WHERE " + DmlCondition(*st.where, scope, obj.StorageName());
    plan_.sql = sql;
}

}  // namespace ocilite
