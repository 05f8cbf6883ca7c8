#include "ocilite/api/StatementHandle.h"

#include <algorithm>
#include <cctype>

#include "ocilite/api/ArrayElement.h"
#include "ocilite/api/BindConversion.h"
#include "ocilite/api/ClientCharset.h"
#include "ocilite/api/DefineConversion.h"
#include "ocilite/api/RoundTrip.h"
#include "ocilite/api/ServiceContextHandle.h"
#include "ocilite/types/OraError.h"

using ocilite::OraError;
using ocilite::StatementType;
using ocilite::api::Diagnostics;

namespace {

// A placeholder name as Oracle compares it: without its colon, upper-cased unless quoted.
std::string NormalizedPlaceholder(std::string_view name) {
    if (!name.empty() && name.front() == ':') name.remove_prefix(1);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        return std::string(name.substr(1, name.size() - 2));
    std::string out(name);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

OCIStmt::~OCIStmt() {
    DetachSession();
}

void OCIStmt::DetachSession() noexcept {
    statement_.reset();
    if (boundTo_ != nullptr) boundTo_->statements.erase(this);
    boundTo_ = nullptr;
    preparedOn_ = nullptr;
    executed = false;
    described_ = false;
    columnCount_ = 0;
    for (auto& b : binds_) b->engineIndex = -1;
}

void OCIStmt::Prepare(std::string_view text) {
    DetachSession();
    binds_.clear();
    defines_.clear();
    params_.clear();
    prepared = false;
    if (text.empty()) throw OraError(24373, "invalid length specified for statement");
    sql.assign(text);
    type = ocilite::ClassifyStatement(sql);
    prepared = true;
    endOfFetch = false;
    rowCount = 0;
    rowsFetched = 0;
    bufferedRows_ = 0;
    lastRowid.clear();
}

void OCIStmt::EnsureEngineStatement(OCISvcCtx* svc) {
    if (svc->session == nullptr) throw OraError(3114, "not connected to ORACLE");
    if (statement_ != nullptr && preparedOn_ == svc->session.get() && boundTo_ == svc) return;
    DetachSession();
    statement_ = svc->session->Prepare(sql);
    boundTo_ = svc;
    preparedOn_ = svc->session.get();
    svc->statements.insert(this);
}

OCIBind* OCIStmt::BindByName(std::string_view placeholder) {
    if (placeholder.empty() || placeholder == ":") throw OraError(1036, "illegal variable name/number");
    for (auto& b : binds_) {
        if (b->position == 0 && b->placeholder == placeholder) return b.get();
    }
    std::string key = NormalizedPlaceholder(placeholder);
    for (auto& b : binds_) {
        if (b->position == 0 && NormalizedPlaceholder(b->placeholder) == key) {
            b->placeholder.assign(placeholder);
            return b.get();
        }
    }
    auto bind = std::make_unique<OCIBind>();
    bind->placeholder.assign(placeholder);
    binds_.push_back(std::move(bind));
    return binds_.back().get();
}

OCIBind* OCIStmt::BindByPosition(ub4 position) {
    if (position == 0) throw OraError(1036, "illegal variable name/number");
    for (auto& b : binds_) {
        if (b->position == position) return b.get();
    }
    auto bind = std::make_unique<OCIBind>();
    bind->position = position;
    binds_.push_back(std::move(bind));
    return binds_.back().get();
}

OCIDefine* OCIStmt::DefineAt(ub4 position) {
    if (position == 0) throw OraError(1007, "variable not in select list");
    if (defines_.size() < position) defines_.resize(position);
    auto& slot = defines_[position - 1];
    if (slot == nullptr) {
        slot = std::make_unique<OCIDefine>();
        slot->position = position;
    }
    return slot.get();
}

OCIParam* OCIStmt::Param(ub4 position) {
    if ((!executed && !described_) || position == 0 || position > columnCount_)
        throw OraError(24334, "no descriptor for this position");
    return params_[position - 1].get();
}

void OCIStmt::RefreshParams() {
    const auto& columns = statement_->Columns();
    columnCount_ = columns.size();
    if (params_.size() < columnCount_) params_.resize(columnCount_);
    for (size_t i = 0; i < columnCount_; ++i) {
        if (params_[i] == nullptr) params_[i] = std::make_unique<OCIParam>();
        params_[i]->column = columns[i];
        // names are described in the client character set
        params_[i]->column.name = ocilite::api::ToClientText(columns[i].name);
        params_[i]->column.schemaName = ocilite::api::ToClientText(columns[i].schemaName);
        params_[i]->position = static_cast<ub4>(i + 1);
    }
}

void OCIStmt::BindAll(ub4 iteration) {
    for (auto& b : binds_) {
        if (b->engineIndex < 0) {
            if (b->position != 0) {
                if (b->position > statement_->BindNames().size()) throw OraError(1036, "illegal variable name/number");
                b->engineIndex = static_cast<int>(b->position - 1);
            } else {
                b->engineIndex = statement_->BindIndex(b->placeholder);
                if (b->engineIndex < 0) throw OraError(1036, "illegal variable name/number");
            }
        }
        statement_->Bind(b->engineIndex, ocilite::api::ReadBindValue(*b, iteration));
        if (b->rcodep != nullptr) *ocilite::api::ElementAt<ub2>(b->rcodep, iteration, b->returnCodeSkip) = 0;
    }
}

void OCIStmt::ReleaseLargeBinds() noexcept {
    constexpr sb4 kLargeBind = 64 * 1024;
    if (statement_ == nullptr) return;
    for (auto& b : binds_) {
        if (b->engineIndex < 0 || b->valueSize <= kLargeBind) continue;
        try {
            statement_->Bind(b->engineIndex, ocilite::Value{});
        } catch (...) {
            // The slot keeps its copy until the next execute replaces it.
        }
    }
}

sword OCIStmt::Execute(OCISvcCtx* svc, ub4 iters, ub4 rowOffset, ub4 mode, Diagnostics& warnings) {
    errorOffset = 0;
    try {
        return Run(svc, iters, rowOffset, mode, warnings);
    } catch (const OraError& e) {
        errorOffset = static_cast<ub2>(e.Offset() > 0xFFFF ? 0xFFFF : e.Offset());
        throw;
    }
}

sword OCIStmt::Run(OCISvcCtx* svc, ub4 iters, ub4 rowOffset, ub4 mode, Diagnostics& warnings) {
    if (!prepared) throw OraError(24337, "statement handle not prepared");
    EnsureEngineStatement(svc);
    const bool isQuery = statement_->Type() == StatementType::Select;
    executed = false;
    described_ = false;
    endOfFetch = false;
    rowsFetched = 0;
    rowCount = 0;
    dmlErrors = 0;
    rowCounts.clear();
    warnings.ClearRowErrors();
    sword status = OCI_SUCCESS;
    if (isQuery && (mode & OCI_DESCRIBE_ONLY) != 0) {
        // the select list is described without binding or running anything
        RefreshParams();
        described_ = true;
        return OCI_SUCCESS;
    }
    if (isQuery) {
        BindAll(0);
        statement_->Execute();
        RefreshParams();
        executed = true;
        // The execute's round trip brings the rows of its iterations, or the prefetch when that
        // is more; a describe-only execute brings none.
        bufferedRows_ = (mode & OCI_DESCRIBE_ONLY) != 0 ? 0 : std::max(iters, PrefetchRowsPerTrip());
        if (iters > 0 && (mode & OCI_DESCRIBE_ONLY) == 0) status = FetchRows(iters, warnings);
    } else {
        if (iters == 0) throw OraError(24333, "zero iteration count");
        if (rowOffset >= iters) throw OraError(24333, "zero iteration count");
        columnCount_ = 0;
        const bool batchErrors = (mode & OCI_BATCH_ERRORS) != 0;
        // Every execute reads the binds afresh: the copies of large values are let go when
        // the DML is done, rather than held beside the client's own until the next execute.
        struct LargeBindRelease {
            OCIStmt& stmt;
            ~LargeBindRelease() { stmt.ReleaseLargeBinds(); }
        } release{*this};
        // Each row is its own engine statement execution, and a failed execution leaves no
        // effect of its own: a failed row never takes the rows around it along.
        // Each iteration's row count is kept only when asked for, as Oracle's client does.
        const bool keepCounts = (mode & OCI_RETURN_ROW_COUNT_ARRAY) != 0;
        if (keepCounts) rowCounts.assign(iters - rowOffset, 0);
        for (ub4 i = rowOffset; i < iters; ++i) {
            try {
                BindAll(i);
                statement_->Execute();
                rowCount += statement_->RowCount();
                if (keepCounts) rowCounts[i - rowOffset] = statement_->RowCount();
            } catch (const OraError& e) {
                if (!batchErrors) throw;
                warnings.AddRowError(i, e.Code(), e.Message());
                ++dmlErrors;
            }
        }
        lastRowid = statement_->LastRowid();
        executed = true;
        if (dmlErrors > 0) {
            warnings.SetOra(24381, "error(s) in array DML");
            status = OCI_SUCCESS_WITH_INFO;
        }
    }
    // A batch with failed rows is not committed: Oracle commits only when every row succeeded.
    if ((mode & OCI_COMMIT_ON_SUCCESS) != 0 && dmlErrors == 0) svc->session->Commit();
    return status;
}

sword OCIStmt::Fetch(ub4 rows, ub2 orientation, Diagnostics& warnings) {
    if (!executed || statement_ == nullptr || statement_->Type() != StatementType::Select)
        throw OraError(24338, "statement handle not executed");
    if (orientation != OCI_DEFAULT && orientation != OCI_FETCH_NEXT) throw OraError(24391, "invalid fetch operation");
    if (rows == 0) {
        endOfFetch = true;
        rowsFetched = 0;
        return OCI_SUCCESS;
    }
    if (endOfFetch) throw OraError(1002, "fetch out of sequence");
    return FetchRows(rows, warnings);
}

sword OCIStmt::FetchRows(ub4 rows, Diagnostics& warnings) {
    const auto& columns = statement_->Columns();
    rowsFetched = 0;
    bool truncated = false;
    bool nullWithoutIndicator = false;
    for (ub4 r = 0; r < rows; ++r) {
        if (bufferedRows_ == 0) {
            // Nothing left in the client's buffer: the server sends the rows still wanted, or
            // a prefetch's worth. Running out of rows inside a buffer needs no trip: the
            // server said so with the rows it sent.
            ocilite::api::RoundTrip();
            bufferedRows_ = std::max(rows - r, PrefetchRowsPerTrip());
        }
        if (!statement_->Fetch(row_)) {
            endOfFetch = true;
            break;
        }
        --bufferedRows_;
        const size_t n = std::min(row_.size(), std::min(columns.size(), defines_.size()));
        for (size_t c = 0; c < n; ++c) {
            const OCIDefine* d = defines_[c].get();
            if (d == nullptr) continue;
            ub2 rc = ocilite::api::WriteDefineValue(row_[c], columns[c], *d, r, scratch_);
            if (rc == 1406) truncated = true;
            if (rc == 1405) nullWithoutIndicator = true;
        }
        ++rowsFetched;
        ++rowCount;
    }
    if (rowsFetched == 0) return OCI_NO_DATA;
    if (nullWithoutIndicator) throw OraError(1405, "fetched column value is NULL");
    if (truncated) {
        warnings.SetOra(1406, "fetched column value was truncated");
        return OCI_SUCCESS_WITH_INFO;
    }
    return endOfFetch ? OCI_NO_DATA : OCI_SUCCESS;
}

ub4 OCIStmt::PrefetchRowsPerTrip() const {
    if (prefetchMemory == 0 || statement_ == nullptr) return prefetchRows;
    // A row's size as the describe gives it: the sum of the columns' largest sizes. A row
    // that does not fit at all leaves the memory bound at no prefetch.
    uint64_t rowBytes = 0;
    for (const ocilite::ColumnInfo& c : statement_->Columns()) rowBytes += std::max<uint64_t>(c.dataSize, 1);
    const uint64_t byMemory = prefetchMemory / std::max<uint64_t>(rowBytes, 1);
    const ub4 memoryRows = static_cast<ub4>(std::min<uint64_t>(byMemory, UINT32_MAX));
    return prefetchRows == 0 ? memoryRows : std::min(prefetchRows, memoryRows);
}

namespace ocilite::api {

std::vector<std::string> PlaceholdersOf(std::string_view sql) {
    std::vector<std::string> names;
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            const size_t end = sql.find(c, i + 1);
            if (end == std::string_view::npos) break;
            i = end;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            i = sql.find('\n', i);
            if (i == std::string_view::npos) break;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            i = sql.find("*/", i + 2);
            if (i == std::string_view::npos) break;
            ++i;
        } else if (c == ':' && i + 1 < sql.size()) {
            size_t j = i + 1;
            std::string name;
            if (sql[j] == '"') {
                const size_t end = sql.find('"', j + 1);
                if (end == std::string_view::npos) break;
                name = std::string(sql.substr(j + 1, end - j - 1));
                j = end + 1;
            } else {
                while (j < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[j])) || sql[j] == '_' ||
                                          sql[j] == '$' || sql[j] == '#' || static_cast<unsigned char>(sql[j]) >= 0x80))
                    name += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[j++])));
            }
            if (!name.empty()) names.push_back(std::move(name));
            i = j - 1;
        }
    }
    return names;
}

}  // namespace ocilite::api

const std::string& OCIStmt::SqlId() {
    // FNV-1a over the text, written in the 32 characters Oracle's SQL_ID uses
    static constexpr char kDigits[] = "0123456789abcdfghjkmnpqrstuvwxyz";
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : sql) h = (h ^ c) * 1099511628211ull;
    sqlId_.assign(13, '0');
    for (int i = 12; i >= 0; --i, h >>= 5) sqlId_[static_cast<size_t>(i)] = kDigits[h & 31];
    return sqlId_;
}

ub4 OCIStmt::BindCount() const {
    return static_cast<ub4>(ocilite::api::PlaceholdersOf(sql).size());
}
