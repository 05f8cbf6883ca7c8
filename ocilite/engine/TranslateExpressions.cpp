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

// ---- expressions -------------------------------------------------------------------------

Translator::TExpr Translator::Literal(const ocilite::Expr& e) {
    TExpr out;
    switch (e.kind) {
        case ExprKind::Null: out.sql = "NULL"; return out;
        case ExprKind::Number: {
            std::string text = e.text;
            bool binaryDouble = false;
            if (!text.empty() &&
                (text.back() == 'f' || text.back() == 'F' || text.back() == 'd' || text.back() == 'D')) {
                text.pop_back();
                binaryDouble = true;
            }
            OraNumber n = OraNumber::Parse(text);
            if (binaryDouble) {
                out.type = SqlType::Of(TypeKind::BinaryDouble);
                out.sql = Constant(BinaryDoubleValue{n.ToDouble()}, out.type);
                return out;
            }
            out.type = SqlType::Of(TypeKind::Number);
            out.sql = Constant(n, out.type);
            return out;
        }
        case ExprKind::String:
        case ExprKind::NString:
            out.type = LiteralText(e.text, e.kind == ExprKind::NString);
            out.sql = SqlQuote(e.text);
            return out;
        case ExprKind::DateLiteral:
        case ExprKind::TimestampLiteral: {
            bool isDate = e.kind == ExprKind::DateLiteral;
            std::string fmt = "YYYY-MM-DD";
            DatetimeKind kind = isDate ? DatetimeKind::Date : DatetimeKind::Timestamp;
            std::string lit = e.literal;
            if (!isDate) {
                // TIMESTAMP 'date[ time[.fraction]][ zone]': the zone is an offset or a region
                // name, with or without a blank before it
                size_t sp = lit.find(' ');
                if (sp != std::string::npos) {
                    size_t timeStart = lit.find_first_not_of(' ', sp);
                    size_t timeEnd = timeStart == std::string::npos ? lit.size() : lit.find_first_of(" +-", timeStart);
                    if (timeEnd == std::string::npos) timeEnd = lit.size();
                    std::string time = timeStart == std::string::npos ? "" : lit.substr(timeStart, timeEnd - timeStart);
                    fmt += time.find('.') != std::string::npos ? " HH24:MI:SS.FF" : " HH24:MI:SS";
                    size_t zone = lit.find_first_not_of(' ', timeEnd);
                    if (zone != std::string::npos) {
                        kind = DatetimeKind::TimestampTz;
                        char z = lit[zone];
                        fmt += (z == '+' || z == '-' || (z >= '0' && z <= '9')) ? " TZH:TZM" : " TZR";
                        lit = lit.substr(0, timeEnd) + " " + lit.substr(zone);
                    }
                }
            }
            DatetimeFormat f = DatetimeFormat::Compile(fmt, FormatUse::Parse, kind);
            OraTimestamp now = OraTimestamp::Now(true);
            DatetimeValue v{kind, Parse(lit, f, kind, now)};
            out.type = SqlType::Of(kind == DatetimeKind::Date        ? TypeKind::Date
                                   : kind == DatetimeKind::Timestamp ? TypeKind::Timestamp
                                                                     : TypeKind::TimestampTz);
            out.type.scale = 9;
            out.sql = Constant(v, out.type);
            return out;
        }
        case ExprKind::IntervalLiteral: {
            if (e.text == "YM") {
                OraIntervalYM v = OraIntervalYM::Parse(e.literal);
                out.type = SqlType::Of(TypeKind::IntervalYM);
                int years = 1;
                for (int64_t y = v.months < 0 ? -v.months / 12 : v.months / 12; y >= 10; y /= 10) ++years;
                out.type.precision = std::max(2, years);
                out.sql = Constant(v, out.type);
            } else {
                // INTERVAL '...' DAY TO SECOND is DAY(2) TO SECOND(6), wider when the value needs it
                OraIntervalDS v = OraIntervalDS::Parse(e.literal);
                out.type = SqlType::Of(TypeKind::IntervalDS);
                int days = 1;
                for (int64_t d = v.Days() < 0 ? -v.Days() : v.Days(); d >= 10; d /= 10) ++days;
                out.type.precision = std::max(2, days);
                out.type.scale = v.Nanos() % 1000 != 0 ? 9 : 6;
                out.sql = Constant(v, out.type);
            }
            return out;
        }
        default: break;
    }
    throw OraError(936, "missing expression");
}

Translator::TExpr Translator::Convert(TExpr e, const SqlType& to) {
    if (e.slot >= 0 && e.type.kind == TypeKind::Unknown) {
        plan_.slots[static_cast<size_t>(e.slot)].type = to;
        e.type = to;
        return e;
    }
    if (e.type.kind == TypeKind::Unknown) {  // NULL
        e.type = to;
        return e;
    }
    if (SameStorage(e.type, to) && e.type.national == to.national) return e;
    static const FunctionDef* convert = FindFunction("$CONVERT");
    auto call = std::make_unique<CompiledCall>(CompiledCall::Resolve(convert, {e.type}));
    call->wanted[0] = to;
    call->result = to;
    std::string name = ":f" + std::to_string(plan_.calls.size());
    plan_.calls.push_back(std::move(call));
    TExpr out;
    out.sql = "orf(" + name + ", " + e.sql + ")";
    out.type = to;
    out.type.literal = false;
    out.aggregate = e.aggregate;
    return out;
}

Translator::TExpr Translator::Call(const FunctionDef* fn, std::vector<TExpr> args, const SqlType* forced) {
    std::vector<SqlType> types;
    for (auto& a : args) types.push_back(a.type);
    auto call = std::make_unique<CompiledCall>(CompiledCall::Resolve(fn, types));
    if (forced) call->result = *forced;
    // placeholders take the type the function wants, so they arrive converted
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].slot >= 0 && args[i].type.kind == TypeKind::Unknown) {
            SqlType t = call->wanted[i].kind != TypeKind::Unknown ? call->wanted[i] : SqlType::Text();
            plan_.slots[static_cast<size_t>(args[i].slot)].type = t;
            call->actual[i] = t;
        }
    }
    TExpr out;
    out.type = call->result;
    std::string name = ":f" + std::to_string(plan_.calls.size());
    plan_.calls.push_back(std::move(call));
    out.sql = "orf(" + name;
    for (auto& a : args) {
        out.sql += ", " + a.sql;
        out.aggregate = out.aggregate || a.aggregate;
    }
    out.sql += ")";
    return out;
}

void Translator::Unify(TExpr& l, TExpr& r) {
    auto unknown = [](const TExpr& e) { return e.type.kind == TypeKind::Unknown; };
    if (unknown(l) && unknown(r)) {
        l = Convert(l, SqlType::Text());
        r = Convert(r, SqlType::Text());
        return;
    }
    if (unknown(l)) {
        SqlType t = r.type;
        if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
        t.literal = false;
        l = Convert(l, t);
        return;
    }
    if (unknown(r)) {
        SqlType t = l.type;
        if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
        t.literal = false;
        r = Convert(r, t);
        return;
    }
    const SqlType& a = l.type;
    const SqlType& b = r.type;
    if (a.IsText() && b.IsText()) return;
    if (SameStorage(a, b)) return;
    auto rank = [](TypeKind k) {
        switch (k) {
            case TypeKind::BinaryDouble: return 3;
            case TypeKind::BinaryFloat: return 2;
            case TypeKind::Number: return 1;
            default: return 0;
        }
    };
    if (a.IsNumeric() && b.IsNumeric()) {
        if (rank(a.kind) > rank(b.kind))
            r = Convert(r, a);
        else
            l = Convert(l, b);
        return;
    }
    if (a.IsText()) {
        l = Convert(l, b);
        return;
    }
    if (b.IsText()) {
        r = Convert(r, a);
        return;
    }
    if (a.IsDatetime() && b.IsDatetime()) {
        SqlType tz = SqlType::Of(TypeKind::TimestampTz);
        tz.scale = 9;
        l = Convert(l, tz);
        r = Convert(r, tz);
        return;
    }
    throw OraError(932, "inconsistent datatypes: expected " + TypeName(a) + " got " + TypeName(b));
}

std::string Translator::Compare(TExpr l, const std::string& op, TExpr r) {
    auto charPeer = [&](const TExpr& side, const TExpr& other) {
        if (side.slot >= 0 && side.type.kind == TypeKind::Unknown && other.type.kind == TypeKind::Char)
            plan_.slots[static_cast<size_t>(side.slot)].padTo = std::max(1, other.type.length);
    };
    charPeer(l, r);
    charPeer(r, l);
    Unify(l, r);
    const SqlType& a = l.type;
    const SqlType& b = r.type;
    if (a.IsLob() || b.IsLob() || a.kind == TypeKind::Long || b.kind == TypeKind::Long)
        throw OraError(
            932, "inconsistent datatypes: expected - got " + TypeName(a.IsLob() || a.kind == TypeKind::Long ? a : b));
    bool blankPadded = a.IsText() && b.IsText() && (a.kind == TypeKind::Char || b.kind == TypeKind::Char) &&
                       (a.kind == TypeKind::Char || a.literal) && (b.kind == TypeKind::Char || b.literal);
    if (blankPadded) return "rtrim(" + l.sql + ", ' ') " + op + " rtrim(" + r.sql + ", ' ')";
    return "(" + InstantKey(l.sql, a) + " " + op + " " + InstantKey(r.sql, b) + ")";
}

Translator::TExpr Translator::Column(const ocilite::Expr& e, const Scope& scope) {
    const auto& names = e.names;
    for (const Scope* s = &scope; s; s = s->parent) {
        const ScopeColumn* found = nullptr;
        for (const auto& src : s->sources) {
            bool qualifierOk = true;
            if (names.size() == 2) qualifierOk = src.qualifier == names[0];
            if (names.size() == 3)
                qualifierOk = src.owner == names[0] && src.table == names[1] && src.qualifier == src.table;
            if (!qualifierOk) continue;
            for (const auto& c : src.columns) {
                if (c.name == names.back()) {
                    if (found) throw OraError(918, "column ambiguously defined");
                    found = &c;
                }
            }
        }
        if (found) {
            TExpr out;
            out.sql = found->sql;
            out.type = found->type;
            return out;
        }
    }
    InvalidIdentifier(names);
}

Translator::TExpr Translator::Aggregate(const ocilite::Expr& e, const Scope& scope) {
    TExpr out;
    out.aggregate = true;
    std::string distinct = e.distinct ? "DISTINCT " : "";
    if (e.text == "COUNT") {
        out.type = SqlType::Of(TypeKind::Number);
        if (e.star) {
            out.sql = "onum(count(*))";
            return out;
        }
        if (e.args.size() != 1) throw OraError(909, "invalid number of arguments");
        TExpr a = Expr(*e.args[0], scope);
        if (a.slot >= 0) a = Convert(a, SqlType::Text());
        out.sql = "onum(count(" + distinct + (e.distinct ? InstantKey(a.sql, a.type) : a.sql) + "))";
        return out;
    }
    if (e.star || e.args.size() != 1) throw OraError(909, "invalid number of arguments");
    TExpr a = Expr(*e.args[0], scope);
    if (e.text == "MIN" || e.text == "MAX") {
        if (a.slot >= 0) a = Convert(a, SqlType::Text());
        out.type = a.type;
        out.type.literal = false;
        if (out.type.IsLob()) throw OraError(932, "inconsistent datatypes: expected - got " + TypeName(out.type));
        out.sql = (e.text == "MIN" ? "min(" : "max(") + distinct + a.sql + ")";
        return out;
    }
    // SUM / AVG work on NUMBER keys (or binary floating point natively)
    if (a.type.kind == TypeKind::BinaryDouble || a.type.kind == TypeKind::BinaryFloat) {
        out.type = a.type;
        out.sql = (e.text == "SUM" ? "sum(" : "avg(") + distinct + a.sql + ")";
        return out;
    }
    a = Convert(a, SqlType::Of(TypeKind::Number));
    out.type = SqlType::Of(TypeKind::Number);
    out.sql = (e.text == "SUM" ? "osum(" : "oavg(") + distinct + a.sql + ")";
    return out;
}

Translator::TExpr Translator::Expr(const ocilite::Expr& e, const Scope& scope) {
    try {
        return TypedExpr(e, scope);
    } catch (OraError& error) {
        // an unknown name or a type error lies at the innermost expression that raised it
        if (!error.HasOffset()) error.SetOffset(e.pos);
        throw;
    }
}

Translator::TExpr Translator::TypedExpr(const ocilite::Expr& e, const Scope& scope) {
    switch (e.kind) {
        case ExprKind::Null:
        case ExprKind::Number:
        case ExprKind::String:
        case ExprKind::NString:
        case ExprKind::DateLiteral:
        case ExprKind::TimestampLiteral:
        case ExprKind::IntervalLiteral: return Literal(e);
        case ExprKind::Bind: {
            BindSlot slot;
            slot.bind = BindIndexFor(e.text);
            // Named like the call sites (:fN) and column puts (:pN): SQLite numbers named
            // parameters in order of appearance, so a numbered ?N would share an index with a
            // call site written before it and overwrite its pointer.
            TExpr out;
            out.sql = ":b" + std::to_string(plan_.slots.size());
            plan_.slots.push_back(slot);
            out.slot = static_cast<int>(plan_.slots.size()) - 1;
            return out;
        }
        case ExprKind::Column: return Column(e, scope);
        case ExprKind::Rownum: {
            TExpr out;
            out.sql = "onum(row_number() OVER ())";
            out.type = SqlType::Of(TypeKind::Number);
            return out;
        }
        case ExprKind::Rowid: {
            const Source* src = nullptr;
            for (const auto& s : scope.sources) {
                if (!s.isTable) continue;
                if (!e.names.empty() && s.qualifier != e.names[0]) continue;
                if (src) throw OraError(918, "column ambiguously defined");
                src = &s;
            }
            if (!src) InvalidIdentifier({"ROWID"});
            TExpr out;
            out.sql = "orowid(" + std::to_string(src->objectId) + ", " + src->sqlAlias + ".rowid)";
            out.type = SqlType::Of(TypeKind::Rowid);
            return out;
        }
        case ExprKind::Unary: {
            TExpr a = Expr(*e.args[0], scope);
            if (e.text == "+") return a;
            std::vector<TExpr> args;
            args.push_back(std::move(a));
            return Call(FindFunction("$NEG"), std::move(args));
        }
        case ExprKind::Binary: {
            std::vector<TExpr> args;
            args.push_back(Expr(*e.args[0], scope));
            args.push_back(Expr(*e.args[1], scope));
            return Call(FindFunction(e.text), std::move(args));
        }
        case ExprKind::Translate: {
            std::vector<TExpr> args;
            args.push_back(Expr(*e.args[0], scope));
            return Call(FindFunction(e.text == "CHAR_CS" ? "$TRANSLATE_CHAR" : "$TRANSLATE_NCHAR"), std::move(args));
        }
        case ExprKind::Cast: {
            std::vector<TExpr> args;
            args.push_back(Expr(*e.args[0], scope));
            SqlType to = TypeFromSpec(*e.castType);
            return Call(FindFunction("$CAST"), std::move(args), &to);
        }
        case ExprKind::Function: {
            if (IsAggregateName(e.text) && (e.star || e.args.size() == 1)) return Aggregate(e, scope);
            const FunctionDef* fn = FindFunction(e.text);
            if (!fn) throw OraError(904, "\"" + e.text + "\": invalid identifier");
            if (e.star) throw OraError(936, "missing expression");
            std::vector<TExpr> args;
            for (const auto& a : e.args) args.push_back(Expr(*a, scope));
            if (e.text == "EXTRACT" && args.size() == 2) CheckExtractField(e.args[0]->text, args[1].type);
            return Call(fn, std::move(args));
        }
        case ExprKind::Case: {
            size_t i = 0;
            TExpr operand;
            if (e.hasOperand) operand = Expr(*e.args[i++], scope);
            size_t end = e.args.size() - (e.hasElse ? 1 : 0);
            std::vector<std::string> conds;
            std::vector<TExpr> results;
            for (; i + 1 < end + 1 && i < end; i += 2) {
                if (e.hasOperand)
                    conds.push_back(Compare(operand, "=", Expr(*e.args[i], scope)));
                else
                    conds.push_back(Condition(*e.args[i], scope));
                results.push_back(Expr(*e.args[i + 1], scope));
            }
            if (e.hasElse) results.push_back(Expr(*e.args.back(), scope));
            SqlType t;
            for (auto& r : results)
                if (r.type.kind != TypeKind::Unknown) {
                    t = r.type;
                    break;
                }
            if (t.kind == TypeKind::Unknown) t = SqlType::Text();
            if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
            t.literal = false;
            TExpr out;
            out.type = t;
            out.sql = "CASE";
            for (size_t k = 0; k < conds.size(); ++k) {
                TExpr r = Convert(results[k], t);
                out.aggregate = out.aggregate || r.aggregate;
                out.sql += " WHEN " + conds[k] + " THEN " + r.sql;
            }
            if (e.hasElse) out.sql += " ELSE " + Convert(results.back(), t).sql;
            out.sql += " END";
            return out;
        }
        case ExprKind::Subquery: {
            QueryResult q = TranslateQuery(*e.subquery, &scope);
            if (q.columns.size() != 1) throw OraError(913, "too many values");
            TExpr out;
            out.sql = "(SELECT _c1 FROM (" + q.sql + "))";
            out.type = q.columns[0].type;
            return out;
        }
        default:
            // conditions used as values
            throw OraError(920, "invalid relational operator");
    }
}

std::string Translator::Condition(const ocilite::Expr& e, const Scope& scope) {
    switch (e.kind) {
        case ExprKind::And: return "(" + Condition(*e.args[0], scope) + " AND " + Condition(*e.args[1], scope) + ")";
        case ExprKind::Or: return "(" + Condition(*e.args[0], scope) + " OR " + Condition(*e.args[1], scope) + ")";
        case ExprKind::Not: return "(NOT " + Condition(*e.args[0], scope) + ")";
        case ExprKind::Compare: return Compare(Expr(*e.args[0], scope), e.text, Expr(*e.args[1], scope));
        case ExprKind::IsNull: {
            TExpr a = Expr(*e.args[0], scope);
            if (a.slot >= 0) a = Convert(a, SqlType::Text());
            return "(" + a.sql + (e.negated ? " IS NOT NULL)" : " IS NULL)");
        }
        case ExprKind::Like: {
            TExpr a = Convert(Expr(*e.args[0], scope), SqlType::Text());
            TExpr p = Convert(Expr(*e.args[1], scope), SqlType::Text());
            std::string sql = "(" + a.sql + (e.negated ? " NOT LIKE " : " LIKE ") + p.sql;
            if (e.args.size() > 2) sql += " ESCAPE " + Convert(Expr(*e.args[2], scope), SqlType::Text()).sql;
            return sql + ")";
        }
        case ExprKind::Between: {
            TExpr v = Expr(*e.args[0], scope);
            std::string c = "(" + Compare(v, ">=", Expr(*e.args[1], scope)) + " AND " +
                            Compare(v, "<=", Expr(*e.args[2], scope)) + ")";
            return e.negated ? "(NOT " + c + ")" : c;
        }
        case ExprKind::InList: {
            TExpr v = Expr(*e.args[0], scope);
            std::string c = "(";
            for (size_t i = 1; i < e.args.size(); ++i) {
                if (i > 1) c += " OR ";
                c += Compare(v, "=", Expr(*e.args[i], scope));
            }
            c += ")";
            // NOT IN with a NULL in the list is never true, as in Oracle: NOT (x=a OR x=NULL)
            return e.negated ? "(NOT " + c + ")" : c;
        }
        case ExprKind::InSelect: {
            TExpr v = Expr(*e.args[0], scope);
            QueryResult q = TranslateQuery(*e.subquery, &scope);
            if (q.columns.size() != 1) throw OraError(913, "too many values");
            TExpr col;
            col.sql = "_c1";
            col.type = q.columns[0].type;
            TExpr vv = v;
            Unify(vv, col);
            std::string sub = "(SELECT " + InstantKey(col.sql, col.type) + " FROM (" + q.sql + "))";
            return "(" + InstantKey(vv.sql, vv.type) + (e.negated ? " NOT IN " : " IN ") + sub + ")";
        }
        case ExprKind::Exists: {
            QueryResult q = TranslateQuery(*e.subquery, &scope);
            return "(EXISTS (" + q.sql + "))";
        }
        default: throw OraError(920, "invalid relational operator");
    }
}

}  // namespace ocilite
