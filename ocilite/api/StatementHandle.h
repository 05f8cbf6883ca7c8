#pragma once
// OCIStmt: a statement handle. OCIStmtPrepare only records the text and its statement type (it
// has no session to work with); the first execute on a service context prepares the engine
// statement, and later executes on the same session reuse it. Binds and defines are kept per
// placeholder and per position; param descriptors are owned here and stay valid until the
// statement is prepared again or freed.
//
// A query's rows are counted against a client-side prefetch buffer, as Oracle's client keeps
// one: the execute's round trip brings the first prefetchRows rows (bounded by prefetchMemory
// when that is set), and a fetch goes to the server only when the rows it asks for are not
// all in the buffer; that round trip brings the rows still wanted, or a prefetch's worth when
// that is more. The rows themselves are still read from the engine one at a time when they
// are fetched, so every value and every error comes at the same fetch as without the buffer;
// only the round trips (RoundTrip.h) follow the buffer.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ocilite/api/BindHandle.h"
#include "ocilite/api/DefineHandle.h"
#include "ocilite/api/Diagnostics.h"
#include "ocilite/api/HandleBase.h"
#include "ocilite/api/ParamDescriptor.h"
#include "ocilite/engine/Engine.h"

struct OCIStmt : ocilite::api::HandleBase {
    OCIStmt() : HandleBase(OCI_HTYPE_STMT) {}
    ~OCIStmt() override;

    void Prepare(std::string_view text);
    // Runs the statement; returns OCI_SUCCESS, OCI_SUCCESS_WITH_INFO or OCI_NO_DATA and
    // throws OraError for Oracle errors. Warnings are appended to `warnings`. A DML runs once
    // per row of its bind arrays (rowOffset to iters - 1), each row atomic on its own: by
    // default the first failing row ends the run (the rows before it stay applied and are
    // counted in rowCount) and its error is thrown; with OCI_BATCH_ERRORS every row is tried,
    // each failed row's error is recorded with its offset on `warnings` (the error handle) and
    // the run returns OCI_SUCCESS_WITH_INFO with ORA-24381. With OCI_RETURN_ROW_COUNT_ARRAY
    // each iteration's row count is kept in rowCounts.
    sword Execute(OCISvcCtx* svc, ub4 iters, ub4 rowOffset, ub4 mode, ocilite::api::Diagnostics& warnings);
    sword Fetch(ub4 rows, ub2 orientation, ocilite::api::Diagnostics& warnings);

    OCIBind* BindByName(std::string_view placeholder);
    OCIBind* BindByPosition(ub4 position);
    OCIDefine* DefineAt(ub4 position);
    OCIParam* Param(ub4 position);  // throws ORA-24334 past the last column
    size_t ColumnCount() const noexcept { return columnCount_; }

    // The session is going away: drop what depends on it.
    void DetachSession() noexcept;

    OCIEnv* env = nullptr;
    std::string sql;
    ocilite::StatementType type = ocilite::StatementType::Unknown;
    bool prepared = false;
    bool executed = false;
    bool endOfFetch = false;
    uint64_t rowCount = 0;
    ub4 rowsFetched = 0;
    // Rows of the last array DML in batch-error mode that failed (OCI_ATTR_NUM_DML_ERRORS).
    ub4 dmlErrors = 0;
    // Per iteration of the last array DML executed with OCI_RETURN_ROW_COUNT_ARRAY, the rows it
    // changed (0 for a failed one); empty after any other execute (OCI_ATTR_DML_ROW_COUNT_ARRAY).
    std::vector<ub8> rowCounts;
    std::string lastRowid;
    // The placeholders OCIStmtGetBindInfo last listed (its names point into these).
    std::vector<std::string> bindNames;
    // Where in the text the last failed execute's error lies (OCI_ATTR_PARSE_ERROR_OFFSET).
    ub2 errorOffset = 0;
    // A stable identifier of the text, 13 characters as Oracle's SQL_ID (OCI_ATTR_SQL_ID).
    const std::string& SqlId();
    // Placeholders in the text, each occurrence counted (OCI_ATTR_BIND_COUNT).
    ub4 BindCount() const;
    ub4 prefetchRows = 1;
    ub4 prefetchMemory = 0;

private:
    sword Run(OCISvcCtx* svc, ub4 iters, ub4 rowOffset, ub4 mode, ocilite::api::Diagnostics& warnings);
    void EnsureEngineStatement(OCISvcCtx* svc);
    void BindAll(ub4 iteration);
    // Drops the engine's copies of bind values over 64 KiB (a DML's binds are read afresh
    // at every execute).
    void ReleaseLargeBinds() noexcept;
    sword FetchRows(ub4 rows, ocilite::api::Diagnostics& warnings);
    // Rows one round trip prefetches: prefetchRows, or as many rows as prefetchMemory holds
    // when that is set and fewer; 0 when both are 0 (prefetching off).
    ub4 PrefetchRowsPerTrip() const;
    void RefreshParams();

    OCISvcCtx* boundTo_ = nullptr;
    ocilite::Session* preparedOn_ = nullptr;
    std::unique_ptr<ocilite::Statement> statement_;
    std::vector<std::unique_ptr<OCIBind>> binds_;
    std::vector<std::unique_ptr<OCIDefine>> defines_;  // index = position - 1
    std::vector<std::unique_ptr<OCIParam>> params_;    // index = position - 1
    size_t columnCount_ = 0;
    std::vector<ocilite::Value> row_;
    ub4 bufferedRows_ = 0;  // rows the last round trip brought that no fetch has taken yet
    std::string scratch_;
    std::string sqlId_;
    bool described_ = false;  // OCI_DESCRIBE_ONLY executed: the select list is known
};

namespace ocilite::api {

// The placeholders of a statement text in order of appearance, as OCIStmtGetBindInfo lists
// them: the name without its colon, unquoted names in upper case, positions as digits.
std::vector<std::string> PlaceholdersOf(std::string_view sql);

}  // namespace ocilite::api
