#pragma once
// MERGE INTO target USING source ON (condition) WHEN MATCHED THEN UPDATE ... WHEN NOT MATCHED
// THEN INSERT ..., run as Oracle runs it: the rows of the source that find target rows by the
// condition update them, the others insert a row each; the statement is atomic and its row
// count is the rows updated plus the rows inserted.
//
// It becomes up to three SQLite statements, each translated once at prepare time:
//   check   the source rows that meet a target row more than once (ORA-30926); left out when
//           the source has one row at most (a query of DUAL alone)
//   update  UPDATE target SET ... FROM source WHERE condition [AND the clause's WHERE]
//   insert  INSERT INTO target SELECT ... FROM source WHERE NOT EXISTS (the target rows that
//           meet the condition) [AND the clause's WHERE]
// run in this order under one savepoint. The update cannot change which rows the insert
// finds, since Oracle's rule forbids updating a column of the ON clause (ORA-38104), so the
// two statements see the matches a single join would.
//
// Oracle's rules and messages: ORA-38104 for an updated ON column, ORA-38101 for a target
// column in the INSERT VALUES clause, ORA-30926 for an unstable source, ORA-00001, ORA-01400,
// ORA-01407, ORA-12899 and every conversion error as INSERT and UPDATE give them.

#include <string>
#include <string_view>
#include <vector>

#include "ocilite/engine/Engine.h"
#include "ocilite/engine/Plan.h"
#include "ocilite/engine/SqliteDb.h"

namespace ocilite {

class SqliteSession;

class MergeStatement : public Statement {
public:
    MergeStatement(SqliteSession& session, std::string_view sql);
    ~MergeStatement() override;

    StatementType Type() const override { return StatementType::Merge; }
    const std::vector<std::string>& BindNames() const override { return bindNames_; }
    int BindIndex(std::string_view placeholder) const override;
    void Bind(int index, Value value) override;
    void Execute() override;
    const std::vector<ColumnInfo>& Columns() const override { return columns_; }
    bool Fetch(std::vector<Value>& row) override;
    uint64_t RowCount() const override { return rowCount_; }
    std::string LastRowid() const override { return {}; }

    // One translated SQLite statement and its prepared form.
    struct Part {
        Plan plan;
        StmtHandle stmt;
    };

private:
    void BindSlots(Part& part);
    // Runs part to its end; returns the rows it changed (or true when a query found a row).
    uint64_t Run(Part& part);

    SqliteSession& session_;
    std::vector<std::string> bindNames_;
    std::vector<Value> binds_;
    std::vector<bool> bound_;
    std::vector<ColumnInfo> columns_;  // none: MERGE has no select list
    bool hasCheck_ = false, hasUpdate_ = false, hasInsert_ = false;
    Part check_, update_, insert_;
    StmtHandle savepoint_, release_, rollbackTo_;
    uint64_t rowCount_ = 0;
};

}  // namespace ocilite
