#include "ocilite/engine/MergeStatement.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "ocilite/engine/Placeholders.h"
#include "ocilite/engine/Lexer.h"
#include "ocilite/engine/Parser.h"
#include "ocilite/engine/SqliteSession.h"
#include "ocilite/engine/Translator.h"
#include "ocilite/engine/TranslatorInternal.h"
#include "ocilite/engine/ValueCodec.h"
#include "ocilite/types/OraError.h"

namespace ocilite {
using namespace translate;

// Builds the SQLite statements of a MERGE from the translator's parts (a friend of it): each
// with a translator and a plan of its own, all numbering the binds alike.
class MergeTranslator {
public:
    MergeTranslator(SqliteSession& session, const ParsedStatement& st, std::vector<std::string>& bindNames)
        : session_(session), st_(st), merge_(*st.merge), bindNames_(bindNames) {}

    void Update(Plan& plan);
    void Insert(Plan& plan);
    void Check(Plan& plan);
    // A source of one row at most: a query of DUAL alone, without set operators.
    bool SingleRowSource() const {
        const TableRef& ref = merge_.source;
        if (!ref.subquery) return false;
        const SelectStmt& q = *ref.subquery;
        return !q.next && q.groupBy.empty() && !q.having && q.from.size() == 1 && !q.from[0].subquery &&
               q.from[0].name == "DUAL" && (q.from[0].schema.empty() || q.from[0].schema == "SYS");
    }

private:
    // The target and the source, resolved by tr: both in scope (ON, SET), the source alone
    // (INSERT VALUES), and the source as a FROM item.
    struct Resolved {
        CatalogObject target;
        std::string qualifier;  // the target's alias, or its name
        Translator::Scope both;
        Translator::Scope source;
        std::string from;
    };
    Resolved Resolve(Translator& tr) {
        Resolved r;
        r.target = tr.RequireTable(st_.schema, st_.name);
        r.qualifier = st_.alias.empty() ? st_.name : st_.alias;
        r.both = tr.TargetTableScope(r.target, r.qualifier);
        Translator::Source src = tr.ResolveSource(merge_.source, nullptr);
        r.from = src.table + " AS " + src.sqlAlias;
        r.both.sources.push_back(src);
        r.source.sources.push_back(std::move(src));
        return r;
    }
    static bool Has(const std::vector<Translator::ScopeColumn>& columns, const std::string& name) {
        return std::any_of(columns.begin(), columns.end(), [&](const auto& c) { return c.name == name; });
    }
    // The target's columns e names: qualified by the target, or unqualified and not the source's.
    static void TargetColumns(const ocilite::Expr& e, const Resolved& r, std::vector<std::string>& out) {
        if (e.kind == ExprKind::Column) {
            const auto& target = r.both.sources[0].columns;
            const auto& source = r.source.sources[0].columns;
            if (e.names.size() == 2 && e.names[0] == r.qualifier && Has(target, e.names[1])) out.push_back(e.names[1]);
            if (e.names.size() == 1 && Has(target, e.names[0]) && !Has(source, e.names[0])) out.push_back(e.names[0]);
        }
        for (const auto& a : e.args)
            if (a) TargetColumns(*a, r, out);
    }
    // A target column where the source alone may stand: ORA-38101 (VALUES) or 38102 (WHERE).
    static void RefuseTargetColumns(const ocilite::Expr& e, const Resolved& r, int code, const char* clause) {
        std::vector<std::string> columns;
        TargetColumns(e, r, columns);
        if (!columns.empty())
            throw OraError(code, std::string("Invalid column in the INSERT ") + clause + " Clause: \"" + r.qualifier +
                                     "\".\"" + columns[0] + "\"");
    }
    ColumnTarget TargetOf(const CatalogObject& obj, size_t pos) const {
        ColumnTarget t;
        t.owner = obj.owner;
        t.table = obj.name;
        t.column = obj.columns[pos].name;
        t.type = obj.columns[pos].type;
        t.notNull = obj.columns[pos].notNull;
        return t;
    }

    SqliteSession& session_;
    const ParsedStatement& st_;
    const MergeClauses& merge_;
    std::vector<std::string>& bindNames_;
};

void MergeTranslator::Update(Plan& plan) {
    Translator tr(session_.Cat(), session_.UserName(), plan, bindNames_);
    Resolved r = Resolve(tr);
    RequireAccess(session_.Cat(), session_.UserName(), r.target, "UPDATE");
    // A column the ON clause reads cannot be updated: the rows would no longer be those it found.
    std::vector<std::string> onColumns;
    TargetColumns(*merge_.on, r, onColumns);
    const CatalogObject& obj = r.target;
    std::string sql = "UPDATE " + obj.StorageName() + " SET ";
    std::vector<size_t> seen;
    for (size_t k = 0; k < merge_.sets.size(); ++k) {
        const SetClause& set = merge_.sets[k];
        size_t pos = 0;
        while (pos < obj.columns.size() && obj.columns[pos].name != set.column) ++pos;
        if (pos == obj.columns.size()) InvalidIdentifier({set.column});
        if (std::find(onColumns.begin(), onColumns.end(), set.column) != onColumns.end())
            throw OraError(38104, "Columns referenced in the ON Clause cannot be updated: \"" + r.qualifier + "\".\"" +
                                      set.column + "\"");
        if (std::find(seen.begin(), seen.end(), pos) != seen.end())
            throw OraError(1747, "invalid user.table.column, table.column, or column specification");
        seen.push_back(pos);
        const ColumnTarget target = TargetOf(obj, pos);
        Translator::TExpr v = tr.Expr(*set.value, r.both);
        if (v.slot >= 0 && v.type.kind == TypeKind::Unknown) v = tr.Convert(v, target.type);
        sql += (k ? ", " : "") + CatalogObject::ColumnStorage(pos) + " = " + tr.PutSql(target, v, true);
    }
    sql += " FROM " + r.from + " WHERE " + tr.Condition(*merge_.on, r.both);
    if (merge_.updateWhere) sql += " AND (" + tr.Condition(*merge_.updateWhere, r.both) + ")";
    plan.kind = StmtKind::Update;
    plan.type = StatementType::Merge;
    plan.objectId = obj.id;
    plan.sql = sql;
}

void MergeTranslator::Insert(Plan& plan) {
    Translator tr(session_.Cat(), session_.UserName(), plan, bindNames_);
    Resolved r = Resolve(tr);
    const CatalogObject& obj = r.target;
    RequireAccess(session_.Cat(), session_.UserName(), obj, "INSERT");
    std::vector<size_t> targets;  // the table column of each value
    if (merge_.insertColumns.empty()) {
        for (size_t i = 0; i < obj.columns.size(); ++i) targets.push_back(i);
    } else {
        for (const std::string& name : merge_.insertColumns) {
            size_t pos = 0;
            while (pos < obj.columns.size() && obj.columns[pos].name != name) ++pos;
            if (pos == obj.columns.size()) InvalidIdentifier({name});
            if (std::find(targets.begin(), targets.end(), pos) != targets.end())
                throw OraError(957, "duplicate column name");
            targets.push_back(pos);
        }
    }
    if (merge_.insertValues.size() > targets.size()) throw OraError(913, "too many values");
    if (merge_.insertValues.size() < targets.size()) throw OraError(947, "not enough values");
    for (const auto& value : merge_.insertValues) RefuseTargetColumns(*value, r, 38101, "VALUES");
    if (merge_.insertWhere) RefuseTargetColumns(*merge_.insertWhere, r, 38102, "WHERE");

    Translator::Scope none;
    std::vector<std::string> exprs(obj.columns.size());
    for (size_t i = 0; i < obj.columns.size(); ++i) {
        const ColumnTarget target = TargetOf(obj, i);
        const auto listed = std::find(targets.begin(), targets.end(), i);
        Translator::TExpr v;
        if (listed != targets.end()) {
            v = tr.Expr(*merge_.insertValues[static_cast<size_t>(listed - targets.begin())], r.source);
            if (v.slot >= 0 && v.type.kind == TypeKind::Unknown) v = tr.Convert(v, target.type);
        } else if (!obj.columns[i].defaultText.empty()) {
            ParsedStatement d = ParseStatement("SELECT " + obj.columns[i].defaultText + " FROM DUAL");
            v = tr.Expr(*d.select->items[0].expr, none);
        } else {
            v.sql = "NULL";
        }
        exprs[i] = tr.PutSql(target, v, false);
    }
    std::string columns, values;
    for (size_t i = 0; i < obj.columns.size(); ++i) {
        columns += (i ? ", " : "") + CatalogObject::ColumnStorage(i);
        values += (i ? ", " : "") + exprs[i];
    }
    // Inside NOT EXISTS the target's columns name the inner scan of the table.
    std::string sql = "INSERT INTO " + obj.StorageName() + "(" + columns + ") SELECT " + values + " FROM " + r.from +
                      " WHERE NOT EXISTS (SELECT 1 FROM " + obj.StorageName() + " WHERE " +
                      tr.Condition(*merge_.on, r.both) + ")";
    if (merge_.insertWhere) sql += " AND (" + tr.Condition(*merge_.insertWhere, r.source) + ")";
    plan.kind = StmtKind::Insert;
    plan.type = StatementType::Merge;
    plan.objectId = obj.id;
    plan.sql = sql;
}

void MergeTranslator::Check(Plan& plan) {
    Translator tr(session_.Cat(), session_.UserName(), plan, bindNames_);
    Resolved r = Resolve(tr);
    const std::string table = r.target.StorageName();
    plan.kind = StmtKind::Select;
    plan.type = StatementType::Merge;
    plan.sql = "SELECT 1 FROM " + table + ", " + r.from + " WHERE " + tr.Condition(*merge_.on, r.both) +
               " GROUP BY " + table + ".rowid HAVING count(*) > 1 LIMIT 1";
}

namespace {

StmtHandle PrepareText(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    StmtHandle owner(stmt);
    if (rc != SQLITE_OK) ThrowSqlite(db, rc);
    return owner;
}

// Runs a statement without results (a savepoint's); false when it failed.
bool StepOnce(sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    return rc == SQLITE_DONE;
}

}  // namespace

MergeStatement::MergeStatement(SqliteSession& session, std::string_view sql) : session_(session) {
    ParsedStatement parsed = ParseStatement(sql);
    if (parsed.kind != StmtKind::Merge || !parsed.merge) throw OraError(900, "invalid SQL statement");
    // Placeholders are numbered as they appear in the text, as OCIBindByPos counts them.
    for (const Token& t : Tokenize(sql))
        if (t.kind == TokenKind::Bind && std::find(bindNames_.begin(), bindNames_.end(), t.text) == bindNames_.end())
            bindNames_.push_back(t.text);
    MergeTranslator translator(session, parsed, bindNames_);
    if (parsed.merge->matched) {
        translator.Update(update_.plan);
        hasUpdate_ = true;
        if (!translator.SingleRowSource()) {
            translator.Check(check_.plan);
            hasCheck_ = true;
        }
    }
    if (parsed.merge->notMatched) {
        translator.Insert(insert_.plan);
        hasInsert_ = true;
    }
    for (Part* part : {&check_, &update_, &insert_})
        if (!part->plan.sql.empty()) part->stmt = session.PrepareSql(part->plan);
    if (hasUpdate_ && hasInsert_) {
        savepoint_ = PrepareText(session.Db(), "SAVEPOINT ocl_merge");
        release_ = PrepareText(session.Db(), "RELEASE ocl_merge");
        rollbackTo_ = PrepareText(session.Db(), "ROLLBACK TO ocl_merge");
    }
    binds_.assign(bindNames_.size(), Value{});
    bound_.assign(bindNames_.size(), false);
}

MergeStatement::~MergeStatement() = default;

int MergeStatement::BindIndex(std::string_view placeholder) const {
    return PlaceholderIndex(placeholder, bindNames_);
}

void MergeStatement::Bind(int index, Value value) {
    StoreBindValue(index, std::move(value), binds_, bound_);
}

void MergeStatement::BindSlots(Part& part) {
    const Nls& nls = session_.NlsSettings();
    for (const auto& slot : part.plan.slots) {
        if (slot.param == 0) continue;
        const Value& bound = binds_[static_cast<size_t>(slot.bind)];
        const auto* text = std::get_if<TextValue>(&bound);
        Value v = Coerce(text != nullptr && text->fixedChar && slot.padTo > 0 ? BlankPadded(*text, slot.padTo) : bound,
                         slot.type, nls);
        BindStored(part.stmt.get(), slot.param, slot.type, v);
    }
}

uint64_t MergeStatement::Run(Part& part) {
    sqlite3_stmt* stmt = part.stmt.get();
    sqlite3_reset(stmt);
    BindSlots(part);
    int rc = sqlite3_step(stmt);
    if (part.plan.kind == StmtKind::Select) {
        if (rc == SQLITE_ROW) {
            sqlite3_reset(stmt);
            return 1;
        }
        if (rc != SQLITE_DONE) session_.ThrowStepError(rc);
        return 0;
    }
    while (rc == SQLITE_ROW) rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) session_.ThrowStepError(rc);
    return static_cast<uint64_t>(sqlite3_changes64(session_.Db()));
}

void MergeStatement::Execute() {
    rowCount_ = 0;
    for (size_t i = 0; i < bound_.size(); ++i)
        if (!bound_[i]) throw OraError(1008, "not all variables bound");
    session_.Host().pending.reset();
    session_.BeginWork();
    if (hasCheck_ && Run(check_) > 0) throw OraError(30926, "unable to get a stable set of rows in the source tables");
    // Two statements are one: the savepoint takes the update back when the insert fails.
    const bool guarded = hasUpdate_ && hasInsert_;
    if (guarded && !StepOnce(savepoint_.get())) ThrowSqlite(session_.Db(), sqlite3_errcode(session_.Db()));
    try {
        uint64_t rows = 0;
        if (hasUpdate_) rows += Run(update_);
        if (hasInsert_) rows += Run(insert_);
        if (guarded) StepOnce(release_.get());
        rowCount_ = rows;
    } catch (...) {
        for (Part* part : {&update_, &insert_})
            if (part->stmt) sqlite3_reset(part->stmt.get());
        // A cancel may have ended the whole transaction, and the savepoint with it.
        if (guarded && !sqlite3_get_autocommit(session_.Db())) {
            StepOnce(rollbackTo_.get());
            StepOnce(release_.get());
        }
        throw;
    }
}

bool MergeStatement::Fetch(std::vector<Value>&) {
    throw OraError(24374, "define not done before fetch or execute and fetch");
}

}  // namespace ocilite
