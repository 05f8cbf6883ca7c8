#pragma once
// One prepared statement of a SqliteSession: its plan, the SQLite statement compiled from it
// once, the bind values, and the cursor state of a query.

#include <cstdint>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>

#include "ocilite/engine/Engine.h"
#include "ocilite/engine/Plan.h"
#include "ocilite/engine/SqliteDb.h"

namespace ocilite {

class SqliteSession;

class SqliteStatement : public Statement {
public:
    SqliteStatement(SqliteSession& session, std::string_view sql);
    ~SqliteStatement() override;

    StatementType Type() const override { return plan_.type; }
    const std::vector<std::string>& BindNames() const override { return bindNames_; }
    int BindIndex(std::string_view placeholder) const override;
    void Bind(int index, Value value) override;
    void Execute() override;
    const std::vector<ColumnInfo>& Columns() const override { return columnInfo_; }
    bool Fetch(std::vector<Value>& row) override;
    uint64_t RowCount() const override { return rowCount_; }
    std::string LastRowid() const override;

private:
    void BindSlots();
    Value Evaluate(const ValueExpr& e);
    // Evaluates a call with its arguments gathered in args, whose values (and their text
    // buffers) are reused from one execution to the next.
    Value EvaluateCall(const ValueExpr& e, std::vector<Value>& args);
    void Step();

    SqliteSession& session_;
    Plan plan_;
    std::vector<std::string> bindNames_;
    std::vector<Value> binds_;
    std::vector<bool> bound_;
    std::vector<ColumnInfo> columnInfo_;
    StmtHandle owned_;              // the prepared statement, finalized with this object
    sqlite3_stmt* stmt_ = nullptr;  // owned_'s statement
    bool hasRow_ = false;
    bool executed_ = false;
    uint64_t rowCount_ = 0;
    std::string lastRowid_;
    // The row the engine INSERT added, spelled out only when asked for (LastRowid).
    bool insertedRow_ = false;
    int64_t insertedRowid_ = 0;
    std::vector<Value> staged_;                 // converted INSERT values, alive until the next execute
    std::vector<std::string> keys_;             // their stored keys
    std::vector<std::vector<Value>> callArgs_;  // per INSERT value: the arguments of its call
};

}  // namespace ocilite
