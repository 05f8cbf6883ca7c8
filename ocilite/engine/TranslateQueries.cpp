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

// ---- queries -----------------------------------------------------------------------------

// A column of one of this query's own sources (not of an enclosing query).
static bool IsLocalColumn(const ocilite::Expr& e, const std::vector<Translator::Source>& sources) {
    for (const auto& src : sources) {
        if (e.names.size() == 2 && src.qualifier != e.names[0]) continue;
        if (e.names.size() == 3 && !(src.owner == e.names[0] && src.table == e.names[1])) continue;
        for (const auto& c : src.columns)
            if (c.name == e.names.back()) return true;
    }
    return false;
}

// In a grouped query every column outside an aggregate must be part of a GROUP BY
// expression: ORA-00979, or ORA-00937 when aggregates make one group without GROUP BY.
static void CheckGrouped(const ocilite::Expr& e, const std::vector<ExprPtr>& groups,
                         const std::vector<Translator::Source>& sources) {
    for (const auto& g : groups)
        if (SameExpr(e, *g)) return;
    switch (e.kind) {
        case ExprKind::Column:
            if (!IsLocalColumn(e, sources)) return;
            if (groups.empty()) throw OraError(937, "not a single-group group function");
            throw OraError(979, "not a GROUP BY expression");
        case ExprKind::Rowid:
            if (groups.empty()) throw OraError(937, "not a single-group group function");
            throw OraError(979, "not a GROUP BY expression");
        case ExprKind::Function:
            if (IsAggregateName(e.text) && (e.star || e.args.size() == 1)) return;
            break;
        case ExprKind::Subquery:
        case ExprKind::InSelect:
        case ExprKind::Exists: return;
        default: break;
    }
    for (const auto& a : e.args) CheckGrouped(*a, groups, sources);
}

Translator::QueryResult Translator::TranslateQuery(const SelectStmt& q, const Scope* parent) {
    if (!q.next) return TranslateSimpleSelect(q, parent);
    // compound query: members joined by set operators, ORDER BY on the whole
    QueryResult first = TranslateSimpleSelect(q, parent);
    std::string sql = "SELECT * FROM (" + first.sql + ")";
    const SelectStmt* cur = &q;
    while (cur->next) {
        QueryResult nextQ = TranslateSimpleSelect(*cur->next, parent);
        if (nextQ.columns.size() != first.columns.size())
            throw OraError(1789, "query block has incorrect number of result columns");
        for (size_t i = 0; i < first.columns.size(); ++i) {
            const SqlType& a = first.columns[i].type;
            const SqlType& b = nextQ.columns[i].type;
            if (a.kind != TypeKind::Unknown && b.kind != TypeKind::Unknown && !SameStorage(a, b))
                throw OraError(1790, "expression must have same datatype as corresponding expression");
        }
        std::string op = cur->setOp == "MINUS" ? "EXCEPT" : cur->setOp;
        sql += " " + op + " SELECT * FROM (" + nextQ.sql + ")";
        cur = cur->next.get();
    }
    if (!q.orderBy.empty()) {
        sql += " ORDER BY ";
        for (size_t i = 0; i < q.orderBy.size(); ++i) {
            const auto& o = q.orderBy[i];
            if (i) sql += ", ";
            size_t pos = 0;
            if (o.expr->kind == ExprKind::Number) {
                pos = OrderByPosition(o.expr->text);
            } else if (o.expr->kind == ExprKind::Column && o.expr->names.size() == 1) {
                for (size_t k = 0; k < first.columns.size(); ++k)
                    if (first.columns[k].info.name == o.expr->names[0]) pos = k + 1;
            }
            if (pos < 1 || pos > first.columns.size())
                throw OraError(1785, "ORDER BY item must be the number of a SELECT-list expression");
            sql += OutName(pos - 1) + (o.desc ? " DESC" : " ASC");
            bool nullsFirst = o.nulls == 1 || (o.nulls == 0 && o.desc);
            sql += nullsFirst ? " NULLS FIRST" : " NULLS LAST";
        }
    }
    first.sql = sql;
    return first;
}

Translator::QueryResult Translator::TranslateSimpleSelect(const SelectStmt& q, const Scope* parent) {
    Scope scope;
    scope.parent = parent;
    std::string from;
    for (size_t i = 0; i < q.from.size(); ++i) {
        const TableRef& ref = q.from[i];
        Source src = ResolveSource(ref, parent);
        std::string item = src.table + " AS " + src.sqlAlias;
        if (i == 0) {
            from = item;
        } else if (ref.join == 0) {
            from += ", " + item;
        } else {
            static const char* kJoin[] = {"", " JOIN ", " LEFT JOIN ", " RIGHT JOIN ", " FULL JOIN ", " CROSS JOIN "};
            from += kJoin[ref.join] + item;
        }
        scope.sources.push_back(std::move(src));
        if (ref.join != 0 && ref.join != 5) {
            // ON sees the sources joined so far
            from += " ON " + Condition(*ref.on, scope);
        }
    }
    for (size_t i = 0; i < scope.sources.size(); ++i)
        for (size_t j = i + 1; j < scope.sources.size(); ++j)
            if (!scope.sources[i].qualifier.empty() && scope.sources[i].qualifier == scope.sources[j].qualifier &&
                scope.sources[i].owner == scope.sources[j].owner)
                throw OraError(918, "column ambiguously defined");

    QueryResult result;
    std::vector<std::string> selectSql;
    for (const auto& item : q.items) {
        if (item.star) {
            bool any = false;
            for (const auto& src : scope.sources) {
                if (!item.starQualifier.empty() && src.qualifier != item.starQualifier) continue;
                any = true;
                for (const auto& c : src.columns) {
                    OutputColumn oc;
                    oc.type = c.type;
                    Describe(c.type, oc.info);
                    oc.info.name = c.name;
                    oc.info.nullable = !c.notNull;
                    oc.info.schemaName = src.isTable ? src.owner : "";
                    result.columns.push_back(std::move(oc));
                    selectSql.push_back(c.sql);
                }
            }
            if (!any) throw OraError(904, "\"" + item.starQualifier + "\": invalid identifier");
            continue;
        }
        TExpr e = Expr(*item.expr, scope);
        if (e.slot >= 0 && e.type.kind == TypeKind::Unknown) e = Convert(e, SqlType::Text());
        if (e.type.kind == TypeKind::Unknown) e.type = SqlType::Text(0);
        OutputColumn oc;
        oc.type = e.type;
        oc.type.literal = false;
        Describe(oc.type, oc.info);
        oc.info.name = item.hasAlias ? item.alias : item.heading;
        oc.info.nullable = true;
        if (item.expr->kind == ExprKind::Column) {
            // a plain column keeps its nullability
            for (const Scope* s = &scope; s; s = s->parent)
                for (const auto& src : s->sources)
                    for (const auto& c : src.columns)
                        if (c.sql == e.sql) oc.info.nullable = !c.notNull;
        }
        if (item.expr->kind == ExprKind::String && e.type.kind == TypeKind::Char) {
            // a text literal describes as CHAR of its length
            oc.info.dataType = 96;
        }
        result.columns.push_back(std::move(oc));
        selectSql.push_back(e.sql);
    }

    // WHERE, with ROWNUM conditions turned into a row limit
    std::string where;
    std::string limit;
    if (q.where) SplitWhere(*q.where, scope, where, limit);

    // grouped queries: columns outside aggregates must be grouped
    bool anyAggregate = false;
    for (const auto& item : q.items) {
        if (item.star) continue;
        // an aggregate anywhere in the item makes the query grouped
        struct Finder {
            static bool Has(const ocilite::Expr& x) {
                if (x.kind == ExprKind::Function && IsAggregateName(x.text) && (x.star || x.args.size() == 1))
                    return true;
                for (const auto& a : x.args)
                    if (Has(*a)) return true;
                return false;
            }
        };
        if (Finder::Has(*item.expr)) anyAggregate = true;
    }
    bool grouped = !q.groupBy.empty() || anyAggregate || q.having;
    if (grouped) {
        for (const auto& item : q.items) {
            if (item.star) {
                if (q.groupBy.empty()) throw OraError(937, "not a single-group group function");
                throw OraError(979, "not a GROUP BY expression");
            }
            CheckGrouped(*item.expr, q.groupBy, scope.sources);
        }
        if (q.having) CheckGrouped(*q.having, q.groupBy, scope.sources);
        for (const auto& o : q.orderBy) {
            if (o.expr->kind == ExprKind::Number) continue;
            bool alias = false;
            if (o.expr->kind == ExprKind::Column && o.expr->names.size() == 1)
                for (const auto& item : q.items)
                    if (item.hasAlias && item.alias == o.expr->names[0]) alias = true;
            if (!alias) CheckGrouped(*o.expr, q.groupBy, scope.sources);
        }
    }

    // ROWNUM numbers the rows the FROM and WHERE clauses give, before grouping and DISTINCT:
    // with a single source the limited rows form a derived table under the source's own alias.
    if (!limit.empty() && (grouped || q.distinct)) {
        if (scope.sources.size() != 1) throw OraError(3001, "unimplemented feature");
        const Source& src = scope.sources[0];
        std::string natural = src.isTable ? " ORDER BY " + src.sqlAlias + ".rowid" : "";
        from = "(SELECT * FROM " + from + (where.empty() ? "" : " WHERE " + where) + natural + " LIMIT " + limit +
               ") AS " + src.sqlAlias;
        where.clear();
        limit.clear();
    }

    // DISTINCT over TIMESTAMP WITH TIME ZONE values keeps one row per instant
    bool distinctByGroup = false;
    if (q.distinct && q.groupBy.empty() && !anyAggregate)
        for (const auto& c : result.columns)
            if (c.type.kind == TypeKind::TimestampTz) distinctByGroup = true;

    std::string head = "SELECT ";
    if (q.distinct && !distinctByGroup) head += "DISTINCT ";
    for (size_t i = 0; i < selectSql.size(); ++i) {
        if (i) head += ", ";
        head += selectSql[i] + " AS " + OutName(i);
    }
    std::string body;
    if (!from.empty()) body += " FROM " + from;
    if (!where.empty()) body += " WHERE " + where;
    if (distinctByGroup) {
        body += " GROUP BY ";
        for (size_t i = 0; i < selectSql.size(); ++i)
            body += (i ? ", " : "") + InstantKey(selectSql[i], result.columns[i].type);
    }
    if (!q.groupBy.empty()) {
        body += " GROUP BY ";
        for (size_t i = 0; i < q.groupBy.size(); ++i) {
            if (i) body += ", ";
            TExpr g = Expr(*q.groupBy[i], scope);
            body += InstantKey(g.sql, g.type);
        }
    }
    if (q.having) body += " HAVING " + Condition(*q.having, scope);

    // ORDER BY keys: select-list positions and aliases, or expressions over the sources.
    // With a ROWNUM limit the rows are limited first and sorted afterwards, so expression
    // keys then travel as extra columns of the limited row set.
    bool wrap = !limit.empty() && !q.orderBy.empty();
    std::string extraKeys;
    std::string order;
    int extra = 0;
    for (size_t i = 0; i < q.orderBy.size(); ++i) {
        const auto& o = q.orderBy[i];
        std::string key;
        if (o.expr->kind == ExprKind::Number) {
            size_t pos = OrderByPosition(o.expr->text);
            if (pos < 1 || pos > selectSql.size())
                throw OraError(1785, "ORDER BY item must be the number of a SELECT-list expression");
            key = OutName(pos - 1);
        } else {
            if (o.expr->kind == ExprKind::Column && o.expr->names.size() == 1) {
                for (size_t k = 0; k < q.items.size() && k < selectSql.size(); ++k)
                    if (q.items[k].hasAlias && q.items[k].alias == o.expr->names[0]) key = OutName(k);
            }
            if (key.empty()) {
                TExpr e = Expr(*o.expr, scope);
                if (e.type.IsLob()) throw OraError(932, "inconsistent datatypes: expected - got " + TypeName(e.type));
                if (wrap) {
                    key = "_o" + std::to_string(++extra);
                    extraKeys += ", " + e.sql + " AS " + key;
                } else {
                    key = e.sql;
                }
            }
        }
        if (i) order += ", ";
        order += key + (o.desc ? " DESC" : " ASC");
        bool nullsFirst = o.nulls == 1 || (o.nulls == 0 && o.desc);
        order += nullsFirst ? " NULLS FIRST" : " NULLS LAST";
    }
    std::string sql;
    if (wrap) {
        std::string outer = "SELECT ";
        for (size_t i = 0; i < selectSql.size(); ++i) outer += (i ? ", " : "") + OutName(i);
        // rows are numbered in the order they are stored, as a table scan meets them
        std::string natural;
        if (!q.distinct && q.groupBy.empty() && !scope.sources.empty() && scope.sources[0].isTable)
            natural = " ORDER BY " + scope.sources[0].sqlAlias + ".rowid";
        sql = outer + " FROM (" + head + extraKeys + body + natural + " LIMIT " + limit + ") ORDER BY " + order;
    } else {
        sql = head + body;
        if (!order.empty()) sql += " ORDER BY " + order;
        if (!limit.empty()) sql += " LIMIT " + limit;
    }
    result.sql = sql;
    return result;
}

}  // namespace ocilite
