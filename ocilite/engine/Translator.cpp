#include "ocilite/engine/Translator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "ocilite/engine/Parser.h"
#include "ocilite/engine/SqliteDb.h"
#include "ocilite/engine/TranslatorInternal.h"
#include "ocilite/types/OraError.h"

namespace ocilite::translate {

// The select-list position an ORDER BY number names; 0 (refused like any position outside the
// list) when the digits do not fit, so a huge number is ORA-01785 rather than an exception.
size_t OrderByPosition(const std::string& text) {
    size_t pos = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pos);
    (void)end;
    return error == std::errc() ? pos : 0;
}

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
}  // namespace ocilite::translate

namespace ocilite {
using namespace translate;

int Translator::BindIndexFor(const std::string& name) {
    for (size_t i = 0; i < bindNames_.size(); ++i)
        if (bindNames_[i] == name) return static_cast<int>(i);
    bindNames_.push_back(name);
    return static_cast<int>(bindNames_.size() - 1);
}

std::string Translator::Constant(const Value& v, const SqlType& t) {
    return SqlLiteral(v, t);
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
