#include "ocilite/engine/SqliteStatement.h"

#include <algorithm>
#include <cctype>

#include "ocilite/engine/Placeholders.h"
#include "ocilite/engine/Lexer.h"
#include "ocilite/engine/Parser.h"
#include "ocilite/engine/SqlFunctions.h"
#include "ocilite/engine/SqliteSession.h"
#include "ocilite/engine/Translator.h"
#include "ocilite/types/OraError.h"

namespace ocilite {
namespace {

// Text arguments up to this size keep their buffers from one row to the next.
constexpr size_t kKeptArgumentBytes = 64 * 1024;

}  // namespace

SqliteStatement::SqliteStatement(SqliteSession& session, std::string_view sql) : session_(session) {
    plan_.type = ClassifyStatement(sql);
    ParsedStatement parsed = ParseStatement(sql);
    plan_.kind = parsed.kind;
    switch (parsed.kind) {
        case StmtKind::Select:
        case StmtKind::Insert:
        case StmtKind::Update:
        case StmtKind::Delete: {
            // Placeholders are numbered as they appear in the text (as OCIBindByPos counts
            // them), not in the order the translator reaches them: it takes subqueries and
            // conditions in an order of its own.
            for (const Token& t : Tokenize(sql))
                if (t.kind == TokenKind::Bind &&
                    std::find(bindNames_.begin(), bindNames_.end(), t.text) == bindNames_.end())
                    bindNames_.push_back(t.text);
            Translator tr(session.Cat(), session.UserName(), plan_, bindNames_);
            tr.Translate(parsed);
            owned_ = session.PrepareSql(plan_);
            stmt_ = owned_.get();
            break;
        }
        default: plan_.parsed = std::make_unique<ParsedStatement>(std::move(parsed)); break;
    }
    for (const auto& c : plan_.columns) columnInfo_.push_back(c.info);
    binds_.assign(bindNames_.size(), Value{});
    bound_.assign(bindNames_.size(), false);
}

SqliteStatement::~SqliteStatement() = default;

int SqliteStatement::BindIndex(std::string_view placeholder) const {
    return PlaceholderIndex(placeholder, bindNames_);
}

void SqliteStatement::Bind(int index, Value value) {
    StoreBindValue(index, std::move(value), binds_, bound_);
}

void SqliteStatement::BindSlots() {
    for (size_t i = 0; i < bound_.size(); ++i)
        if (!bound_[i]) throw OraError(1008, "not all variables bound");
    const Nls& nls = session_.NlsSettings();
    for (const auto& slot : plan_.slots) {
        if (slot.param == 0) continue;
        const Value& bound = binds_[static_cast<size_t>(slot.bind)];
        const auto* text = std::get_if<TextValue>(&bound);
        Value v = Coerce(text != nullptr && text->fixedChar && slot.padTo > 0 ? BlankPadded(*text, slot.padTo) : bound,
                         slot.type, nls);
        BindStored(stmt_, slot.param, slot.type, v);
    }
}

Value SqliteStatement::Evaluate(const ValueExpr& e) {
    switch (e.kind) {
        case ValueExpr::Kind::Constant: return e.constant;
        case ValueExpr::Kind::Bind: return binds_[static_cast<size_t>(e.bind)];
        case ValueExpr::Kind::Call: {
            std::vector<Value> args;
            args.reserve(e.args.size());
            for (const auto& a : e.args) args.push_back(Evaluate(a));
            return e.call->Invoke(args, session_.Host().context);
        }
    }
    return {};
}

Value SqliteStatement::EvaluateCall(const ValueExpr& e, std::vector<Value>& args) {
    args.resize(e.args.size());
    for (size_t k = 0; k < e.args.size(); ++k) {
        const ValueExpr& a = e.args[k];
        switch (a.kind) {
            case ValueExpr::Kind::Constant: args[k] = a.constant; break;
            case ValueExpr::Kind::Bind: args[k] = binds_[static_cast<size_t>(a.bind)]; break;
            case ValueExpr::Kind::Call: args[k] = Evaluate(a); break;
        }
    }
    Value result = e.call->Invoke(args, session_.Host().context);
    // A huge argument is not kept for the next row.
    for (Value& a : args)
        if (const auto* t = std::get_if<TextValue>(&a); t != nullptr && t->bytes.capacity() > kKeptArgumentBytes)
            a = std::monostate{};
    return result;
}

void SqliteStatement::Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        hasRow_ = true;
        return;
    }
    hasRow_ = false;
    if (rc != SQLITE_DONE) session_.ThrowStepError(rc);
}

void SqliteStatement::Execute() {
    hasRow_ = false;
    rowCount_ = 0;
    executed_ = true;
    lastRowid_.clear();
    insertedRow_ = false;
    session_.Host().pending.reset();
    if (plan_.parsed) {
        for (size_t i = 0; i < bound_.size(); ++i)
            if (!bound_[i]) throw OraError(1008, "not all variables bound");
        session_.RunSessionStatement(*plan_.parsed);
        return;
    }
    if (plan_.kind == StmtKind::Insert && plan_.engineValues) {
        for (size_t i = 0; i < bound_.size(); ++i)
            if (!bound_[i]) throw OraError(1008, "not all variables bound");
        const Nls& nls = session_.NlsSettings();
        sqlite3_reset(stmt_);
        staged_.resize(plan_.values.size());
        keys_.resize(plan_.values.size());
        callArgs_.resize(plan_.values.size());
        for (size_t i = 0; i < plan_.values.size(); ++i) {
            const ColumnTarget& target = plan_.targets[i];
            const ValueExpr& e = plan_.values[i];
            const Value* src = nullptr;
            if (e.kind == ValueExpr::Kind::Bind) {
                src = &binds_[static_cast<size_t>(e.bind)];
            } else if (e.kind == ValueExpr::Kind::Constant) {
                src = &e.constant;
            } else {
                staged_[i] = EvaluateCall(e, callArgs_[i]);
                src = &staged_[i];
            }
            // text into VARCHAR2 goes in as it is, without a copy
            if (target.type.kind == TypeKind::Varchar && src->index() == 1) {
                const std::string& bytes = std::get<TextValue>(*src).bytes;
                if (!bytes.empty()) {
                    CheckVarcharLength(bytes, target);
                    BindStoredInPlace(stmt_, static_cast<int>(i) + 1, target.type, *src, keys_[i]);
                    continue;
                }
            }
            // text into NUMBER is read, fitted and keyed straight away, as Coerce, FitColumn and
            // BindStoredInPlace would do it through a Value
            if (target.type.kind == TypeKind::Number && src->index() == 1) {
                const std::string& bytes = std::get<TextValue>(*src).bytes;
                if (!bytes.empty()) {
                    keys_[i] = FitNumber(OraNumber::Parse(bytes), target.type).SortKey();
                    sqlite3_bind_blob(stmt_, static_cast<int>(i) + 1, keys_[i].data(),
                                      static_cast<int>(keys_[i].size()), SQLITE_STATIC);
                    continue;
                }
            }
            // a LOB of the column's own kind goes in as it is: megabytes are not copied again
            if (const auto* lob = std::get_if<LobRefValue>(src);
                lob != nullptr && target.type.IsLob() &&
                lob->lobType == (target.type.kind == TypeKind::Clob   ? 112
                                 : target.type.kind == TypeKind::Blob ? 113
                                                                      : 114)) {
                BindStoredInPlace(stmt_, static_cast<int>(i) + 1, target.type, *src, keys_[i]);
                continue;
            }
            staged_[i] = FitColumn(Coerce(*src, target.type, nls), target, false);
            BindStoredInPlace(stmt_, static_cast<int>(i) + 1, target.type, staged_[i], keys_[i]);
        }
        session_.BeginWork();
        int rc = sqlite3_step(stmt_);
        if (rc != SQLITE_DONE) session_.ThrowStepError(rc);
        rowCount_ = 1;
        insertedRow_ = true;
        insertedRowid_ = sqlite3_last_insert_rowid(session_.Db());
        return;
    }
    sqlite3_reset(stmt_);
    BindSlots();
    if (plan_.kind == StmtKind::Select) {
        Step();
        return;
    }
    session_.BeginWork();
    int rc = sqlite3_step(stmt_);
    while (rc == SQLITE_ROW) rc = sqlite3_step(stmt_);
    if (rc != SQLITE_DONE) session_.ThrowStepError(rc);
    rowCount_ = static_cast<uint64_t>(sqlite3_changes64(session_.Db()));
    if (plan_.kind == StmtKind::Insert && rowCount_ > 0)
        lastRowid_ = RowidText(plan_.objectId, sqlite3_last_insert_rowid(session_.Db()));
}

std::string SqliteStatement::LastRowid() const {
    return insertedRow_ ? RowidText(plan_.objectId, insertedRowid_) : lastRowid_;
}

bool SqliteStatement::Fetch(std::vector<Value>& row) {
    if (plan_.kind != StmtKind::Select) throw OraError(24374, "define not done before fetch or execute and fetch");
    if (!executed_) throw OraError(1002, "fetch out of sequence");
    if (!hasRow_) return false;
    const Nls& nls = session_.NlsSettings();
    row.resize(plan_.columns.size());
    for (size_t i = 0; i < plan_.columns.size(); ++i) {
        const SqlType& t = plan_.columns[i].type;
        if (t.IsLob()) {
            if (sqlite3_column_type(stmt_, static_cast<int>(i)) == SQLITE_NULL) {
                row[i] = std::monostate{};
                continue;
            }
            LobRefValue lob;
            lob.lobType = t.kind == TypeKind::Clob ? 112 : t.kind == TypeKind::Blob ? 113 : 114;
            lob.national = t.national;
            const void* p = t.kind == TypeKind::Blob
                                ? sqlite3_column_blob(stmt_, static_cast<int>(i))
                                : static_cast<const void*>(sqlite3_column_text(stmt_, static_cast<int>(i)));
            int n = sqlite3_column_bytes(stmt_, static_cast<int>(i));
            lob.locator.assign(static_cast<const char*>(p), static_cast<size_t>(n));
            row[i] = std::move(lob);
            continue;
        }
        ReadColumnInto(row[i], t, stmt_, static_cast<int>(i), nls);
    }
    ++rowCount_;
    Step();
    return true;
}

}  // namespace ocilite
