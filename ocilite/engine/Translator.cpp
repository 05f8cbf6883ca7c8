#include "ocilite/engine/Translator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "ocilite/engine/Parser.h"
#include "ocilite/engine/SqliteDb.h"
#include "ocilite/types/OraError.h"

namespace ocilite {
namespace {

// The select-list position an ORDER BY number names; 0 (refused like any position outside the
// list) when the digits do not fit, so a huge number is ORA-01785 rather than an exception.
size_t OrderByPosition(const std::string& text) {
    size_t pos = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pos);
    (void)end;
    return error == std::errc() ? pos : 0;
}

struct NeedSql {};  // an INSERT value the engine cannot compute without SQLite

[[noreturn]] void InvalidIdentifier(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i) text += '.';
        text += "\"" + names[i] + "\"";
    }
    throw OraError(904, text + ": invalid identifier");
}

bool IsAggregateName(const std::string& n) {
    return n == "COUNT" || n == "SUM" || n == "AVG" || n == "MIN" || n == "MAX";
}

SqlType LiteralText(const std::string& s, bool national) {
    SqlType t;
    t.kind = TypeKind::Char;
    t.literal = true;
    t.national = national;
    t.length = static_cast<int>(s.size());
    return t;
}

bool SameStorage(const SqlType& a, const SqlType& b) {
    if (a.kind == b.kind) return true;
    if (a.IsText() && b.IsText()) return true;
    // DATE and TIMESTAMP keys share one layout
    auto plain = [](TypeKind k) { return k == TypeKind::Date || k == TypeKind::Timestamp; };
    return plain(a.kind) && plain(b.kind);
}

std::string OutName(size_t i) {
    return "_c" + std::to_string(i + 1);
}

// TIMESTAMP WITH TIME ZONE keys hold the UTC instant (11 bytes) and then the offset: values
// compare, group and count as distinct by the instant alone.
std::string InstantKey(const std::string& sql, const SqlType& t) {
    if (t.kind != TypeKind::TimestampTz) return sql;
    return "substr(" + sql + ", 1, 11)";
}

bool SameNames(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    if (a.empty() || b.empty() || a.back() != b.back()) return false;
    // t.col and col name the same column when only one of them is qualified
    if (a.size() > 1 && b.size() > 1) return a[a.size() - 2] == b[b.size() - 2];
    return true;
}

// Two parsed expressions written the same way (as Oracle matches a select-list expression
// against the GROUP BY list).
bool SameExpr(const ocilite::Expr& a, const ocilite::Expr& b) {
    if (a.kind != b.kind || a.text != b.text || a.literal != b.literal || a.distinct != b.distinct ||
        a.star != b.star || a.negated != b.negated || a.args.size() != b.args.size())
        return false;
    if (a.subquery || b.subquery) return false;
    if (a.kind == ExprKind::Column && !SameNames(a.names, b.names)) return false;
    if (a.kind != ExprKind::Column && a.names != b.names) return false;
    for (size_t i = 0; i < a.args.size(); ++i)
        if (!SameExpr(*a.args[i], *b.args[i])) return false;
    return true;
}

// EXTRACT's field must exist in its source's type: ORA-30076 when it does not (HOUR of a
// DATE, TIMEZONE_HOUR of a TIMESTAMP, DAY of an INTERVAL YEAR TO MONTH ...).
void CheckExtractField(const std::string& field, const SqlType& t) {
    bool date = field == "YEAR" || field == "MONTH" || field == "DAY";
    bool time = field == "HOUR" || field == "MINUTE" || field == "SECOND";
    bool zone = field == "TIMEZONE_HOUR" || field == "TIMEZONE_MINUTE" || field == "TIMEZONE_REGION" ||
                field == "TIMEZONE_ABBR";
    bool ok = true;
    switch (t.kind) {
        case TypeKind::Date: ok = date; break;
        case TypeKind::Timestamp:
        case TypeKind::TimestampLtz: ok = date || time; break;
        case TypeKind::TimestampTz: ok = date || time || zone; break;
        case TypeKind::IntervalYM: ok = field == "YEAR" || field == "MONTH"; break;
        case TypeKind::IntervalDS: ok = field == "DAY" || time; break;
        default: return;  // text and binds convert at run time
    }
    if (!ok) throw OraError(30076, "invalid extract field for extract source");
}

// Another account's object is reached through a grant: without any privilege on it the object
// does not exist for this account (ORA-00942), with other privileges the statement is refused
// (ORA-01031).
void RequireAccess(Catalog& catalog, const std::string& user, const CatalogObject& obj, const char* privilege) {
    switch (catalog.ObjectAccess(user, obj, privilege)) {
        case Catalog::Access::None: throw OraError(942, "table or view does not exist");
        case Catalog::Access::Other: throw OraError(1031, "insufficient privileges");
        default: return;
    }
}

}  // namespace

int Translator::BindIndexFor(const std::string& name) {
    for (size_t i = 0; i < bindNames_.size(); ++i)
        if (bindNames_[i] == name) return static_cast<int>(i);
    bindNames_.push_back(name);
    return static_cast<int>(bindNames_.size() - 1);
}

std::string Translator::Constant(const Value& v, const SqlType& t) {
    return SqlLiteral(v, t);
}

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

// ---- sources -----------------------------------------------------------------------------

std::string Translator::BuiltinViewSql(const std::string& name, std::vector<ScopeColumn>& cols,
                                       const std::string& alias, const std::string& schema) {
    auto add = [&](const std::string& n, SqlType t, bool notNull = false) {
        ScopeColumn c;
        c.name = n;
        c.type = t;
        c.notNull = notNull;
        c.sql = alias + "." + OutName(cols.size());
        cols.push_back(std::move(c));
    };
    SqlType name128 = SqlType::Text(128);
    SqlType num = SqlType::Of(TypeKind::Number);
    SqlType date = SqlType::Of(TypeKind::Date);
    std::string owner = SqlQuote(user_);
    bool all = name.rfind("ALL_", 0) == 0 || name.rfind("DBA_", 0) == 0;
    // USER_ views: this account's objects; ALL_ views: those it owns or was granted; DBA_
    // views: every object, for the accounts that may read any table
    std::string ownerFilter = "o.owner = " + owner;
    std::string tableFilter = "t.owner = " + owner;  // over the table of an index
    if (name.rfind("DBA_", 0) == 0) {
        if (!catalog_.HasSystemPrivilege(user_, "SELECT ANY TABLE"))
            throw OraError(942, "table or view does not exist");
        ownerFilter = tableFilter = "1";
    } else if (all) {
        ownerFilter = catalog_.VisibleObjectsCondition(user_, "o");
        tableFilter = catalog_.VisibleObjectsCondition(user_, "t");
    }
    if (name == "DUAL") {
        add("DUMMY", SqlType::Text(1));
        return "SELECT 'X' AS _c1";
    }
    std::string base = all ? name.substr(4) : name.substr(5);
    if (name == "ALL_USERS" || name == "DBA_USERS") {
        add("USERNAME", name128, true);
        add("USER_ID", num, true);
        add("CREATED", date);
        return "SELECT name AS _c1, onum(rowid) AS _c2, NULL AS _c3 FROM ocl_users";
    }
    std::string sql;
    std::string ownerCol = all ? "o.owner AS _c1, " : "";
    if (all) add("OWNER", name128, true);
    size_t k = cols.size();
    auto out = [&](size_t offset) { return OutName(k + offset); };
    if (base == "OBJECTS") {
        add("OBJECT_NAME", name128, true);
        add("SUBOBJECT_NAME", name128);
        add("OBJECT_ID", num);
        add("DATA_OBJECT_ID", num);
        add("OBJECT_TYPE", SqlType::Text(23));
        add("CREATED", date, true);
        add("LAST_DDL_TIME", date, true);
        add("TIMESTAMP", SqlType::Text(19));
        add("STATUS", SqlType::Text(7));
        add("TEMPORARY", SqlType::Text(1));
        add("GENERATED", SqlType::Text(1));
        add("SECONDARY", SqlType::Text(1));
        sql = "SELECT " + ownerCol + "o.name AS " + out(0) + ", NULL AS " + out(1) + ", onum(o.id) AS " + out(2) +
              ", CASE WHEN o.type = 'TABLE' THEN onum(o.id) END AS " + out(3) + ", o.type AS " + out(4) +
              ", o.created AS " + out(5) + ", o.created AS " + out(6) + ", NULL AS " + out(7) + ", 'VALID' AS " +
              out(8) + ", 'N' AS " + out(9) + ", 'N' AS " + out(10) + ", 'N' AS " + out(11) +
              " FROM ocl_objects o WHERE " + ownerFilter +
              // a primary key or unique constraint has its index, named as the constraint
              " UNION ALL SELECT " + ownerCol +
              "o.name, NULL, onum(1000000 + o.rowid), onum(1000000 + o.rowid), "
              "'INDEX', t.created, t.created, NULL, 'VALID', 'N', " +
              "CASE WHEN substr(o.name, 1, 5) = 'SYS_C' THEN 'Y' ELSE 'N' END, 'N'"
              " FROM ocl_constraints o JOIN ocl_objects t ON t.id = o.obj_id WHERE " +
              tableFilter;
    } else if (base == "INDEXES") {
        add("INDEX_NAME", name128, true);
        add("INDEX_TYPE", SqlType::Text(27));
        add("TABLE_OWNER", name128, true);
        add("TABLE_NAME", name128, true);
        add("TABLE_TYPE", SqlType::Text(11));
        add("UNIQUENESS", SqlType::Text(9));
        add("TABLESPACE_NAME", SqlType::Text(30));
        add("STATUS", SqlType::Text(8));
        add("GENERATED", SqlType::Text(1));
        sql = "SELECT " + ownerCol + "o.name AS " + out(0) + ", 'NORMAL' AS " + out(1) + ", t.owner AS " + out(2) +
              ", t.name AS " + out(3) + ", 'TABLE' AS " + out(4) + ", 'UNIQUE' AS " + out(5) + ", 'USERS' AS " +
              out(6) + ", 'VALID' AS " + out(7) +
              ", CASE WHEN substr(o.name, 1, 5) = 'SYS_C' THEN 'Y' ELSE 'N' END AS " + out(8) +
              " FROM ocl_constraints o JOIN ocl_objects t ON t.id = o.obj_id WHERE " + tableFilter;
    } else if (base == "TABLES") {
        add("TABLE_NAME", name128, true);
        add("TABLESPACE_NAME", SqlType::Text(30));
        add("NUM_ROWS", num);
        add("TEMPORARY", SqlType::Text(1));
        sql = "SELECT " + ownerCol + "o.name AS " + out(0) + ", 'USERS' AS " + out(1) + ", NULL AS " + out(2) +
              ", 'N' AS " + out(3) + " FROM ocl_objects o WHERE o.type = 'TABLE' AND " + ownerFilter;
    } else if (base == "VIEWS") {
        add("VIEW_NAME", name128, true);
        add("TEXT_LENGTH", num);
        SqlType longType = SqlType::Of(TypeKind::Long);
        add("TEXT", longType);
        sql = "SELECT " + ownerCol + "o.name AS " + out(0) + ", onum(length(CAST(o.view_text AS BLOB))) AS " + out(1) +
              ", o.view_text AS " + out(2) + " FROM ocl_objects o WHERE o.type = 'VIEW' AND " + ownerFilter;
    } else if (base == "TAB_COLUMNS") {
        add("TABLE_NAME", name128, true);
        add("COLUMN_NAME", name128, true);
        add("DATA_TYPE", name128);
        add("DATA_LENGTH", num, true);
        add("DATA_PRECISION", num);
        add("DATA_SCALE", num);
        add("NULLABLE", SqlType::Text(1));
        add("COLUMN_ID", num);
        add("CHAR_LENGTH", num);
        add("CHAR_USED", SqlType::Text(1));
        add("DATA_DEFAULT", SqlType::Of(TypeKind::Long));
        sql = "SELECT " + ownerCol + "o.name AS " + out(0) + ", c.name AS " + out(1) + ", ocolinfo(c.type, 0) AS " +
              out(2) + ", onum(ocolinfo(c.type, 1)) AS " + out(3) + ", onum(ocolinfo(c.type, 2)) AS " + out(4) +
              ", onum(ocolinfo(c.type, 3)) AS " + out(5) + ", CASE WHEN c.not_null THEN 'N' ELSE 'Y' END AS " + out(6) +
              ", onum(c.pos + 1) AS " + out(7) + ", onum(ocolinfo(c.type, 4)) AS " + out(8) +
              ", ocolinfo(c.type, 5) AS " + out(9) + ", NULLIF(c.default_text, '') AS " + out(10) +
              " FROM ocl_objects o JOIN ocl_columns c ON c.obj_id = o.id WHERE " + ownerFilter;
    } else {
        throw OraError(942, "table or view does not exist");
    }
    (void)schema;
    return sql;
}

Translator::Source Translator::ResolveSource(const TableRef& ref, const Scope* parent) {
    Source src;
    src.sqlAlias = "s" + std::to_string(++aliasCounter_);
    if (ref.subquery) {
        QueryResult q = TranslateQuery(*ref.subquery, parent);
        src.qualifier = ref.alias;
        for (size_t i = 0; i < q.columns.size(); ++i) {
            ScopeColumn c;
            c.name = q.columns[i].info.name;
            c.type = q.columns[i].type;
            c.notNull = !q.columns[i].info.nullable;
            c.sql = src.sqlAlias + "." + OutName(i);
            src.columns.push_back(std::move(c));
        }
        // a derived table carries its SQL where a stored table has its name
        src.table = "(" + q.sql + ")";
        return src;
    }
    std::string owner = ref.schema.empty() ? user_ : ref.schema;
    src.owner = owner;
    src.table = ref.name;
    src.qualifier = ref.alias.empty() ? ref.name : ref.alias;
    auto obj = catalog_.Find(owner, ref.name);
    if (!obj) {
        static const char* const kBuiltins[] = {
            "DUAL",       "USER_OBJECTS",    "USER_TABLES",     "USER_VIEWS",   "USER_TAB_COLUMNS", "ALL_OBJECTS",
            "ALL_TABLES", "ALL_VIEWS",       "ALL_TAB_COLUMNS", "ALL_USERS",    "DBA_OBJECTS",      "DBA_TABLES",
            "DBA_VIEWS",  "DBA_TAB_COLUMNS", "DBA_USERS",       "USER_INDEXES", "ALL_INDEXES",      "DBA_INDEXES"};
        bool builtin = false;
        if (ref.schema.empty() || ref.schema == "SYS" || ref.schema == "PUBLIC")
            for (const char* b : kBuiltins)
                if (ref.name == b) builtin = true;
        if (!builtin) throw OraError(942, "table or view does not exist");
        std::string sql = BuiltinViewSql(ref.name, src.columns, src.sqlAlias, owner);
        src.table = "(" + sql + ")";
        src.owner = "SYS";
        return src;
    }
    RequireAccess(catalog_, user_, *obj, "SELECT");
    if (obj->type == "VIEW") {
        if (++viewDepth_ > 20) throw OraError(1731, "circular view definition encountered");
        ParsedStatement vs = ParseStatement(obj->viewText);
        // names inside the view resolve in its owner's schema
        std::string saveUser = user_;
        user_ = obj->owner;
        QueryResult q = TranslateQuery(*vs.select, nullptr);
        user_ = saveUser;
        --viewDepth_;
        for (size_t i = 0; i < q.columns.size(); ++i) {
            ScopeColumn c;
            c.name = i < obj->viewColumns.size() ? obj->viewColumns[i] : q.columns[i].info.name;
            c.type = q.columns[i].type;
            c.notNull = !q.columns[i].info.nullable;
            c.sql = src.sqlAlias + "." + OutName(i);
            src.columns.push_back(std::move(c));
        }
        src.table = "(" + q.sql + ")";
        src.objectId = obj->id;
        return src;
    }
    src.isTable = true;
    src.objectId = obj->id;
    for (size_t i = 0; i < obj->columns.size(); ++i) {
        ScopeColumn c;
        c.name = obj->columns[i].name;
        c.type = obj->columns[i].type;
        c.notNull = obj->columns[i].notNull;
        c.sql = src.sqlAlias + "." + CatalogObject::ColumnStorage(i);
        src.columns.push_back(std::move(c));
    }
    src.table = obj->StorageName();
    src.owner = owner;
    // keep the Oracle name for qualification by schema.table
    src.table = obj->StorageName();
    return src;
}

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

void Translator::Translate(const ParsedStatement& st) {
    switch (st.kind) {
        case StmtKind::Select: {
            QueryResult q = TranslateQuery(*st.select, nullptr);
            plan_.sql = q.sql;
            plan_.columns = std::move(q.columns);
            return;
        }
        case StmtKind::Insert: TranslateInsert(st); return;
        case StmtKind::Update: TranslateUpdate(st); return;
        case StmtKind::Delete: TranslateDelete(st); return;
        default: return;
    }
}

}  // namespace ocilite
