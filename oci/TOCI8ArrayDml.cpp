#include "oci/TOCI8ArrayDml.h"

#include <algorithm>
#include <cstring>

#include "oci/TOCI8Ctrl.h"

namespace tabrook {

namespace {

// The bytes of a value as a null-terminated bind reads them: up to its first NUL.
std::size_t BoundLength(const std::string& value) {
    const void* nul = std::memchr(value.data(), 0, value.size());
    return nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - value.data()) : value.size();
}

}  // namespace

TOCI8ArrayDml::~TOCI8ArrayDml() {
    CleanUp();
    if (parent_ != nullptr) parent_->CtrlFree(this);
}

bool TOCI8ArrayDml::CleanUp() {
    prepared_ = false;
    if (hStmt == nullptr) return true;
    if (parent_ == nullptr || !parent_->Activated) {
        // The environment was freed and took the statement handle with it.
        hStmt = nullptr;
        return true;
    }
    return FreeHandle();
}

bool TOCI8ArrayDml::Prepare(const std::string& sql, std::vector<std::string> bindNames) {
    if (!CleanUp()) return false;
    if (!AllocHandle()) return false;
    const OciEntryTable& fn = parent_->Entries();
    sword status = fn.OCIStmtPrepare(hStmt, parent_->hErr, reinterpret_cast<const OraText*>(sql.c_str()),
                                     static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
    SetError(parent_->Check(status));
    if (status != 0) return false;
    bindNames_ = std::move(bindNames);
    buffers_.assign(bindNames_.size(), {});
    indicators_.assign(bindNames_.size(), {});
    lengths_.assign(bindNames_.size(), {});
    prepared_ = true;
    return true;
}

bool TOCI8ArrayDml::BindArrays(const std::vector<std::string>& values, std::size_t rows) {
    const OciEntryTable& fn = parent_->Entries();
    const std::size_t binds = bindNames_.size();
    for (std::size_t b = 0; b < binds; ++b) {
        // Every element is as wide as the longest value of this column in the batch.
        std::size_t width = 1;
        for (std::size_t r = 0; r < rows; ++r) width = std::max(width, BoundLength(values[r * binds + b]));
        if (width > kMaxValueBytes) {
            SetError(-1, "値が長すぎます");
            return false;
        }
        std::vector<char>& buffer = buffers_[b];
        std::vector<sb2>& indicators = indicators_[b];
        std::vector<ub2>& lengths = lengths_[b];
        buffer.assign(rows * width, '\0');
        indicators.assign(rows, 0);
        lengths.assign(rows, 0);
        for (std::size_t r = 0; r < rows; ++r) {
            const std::string& value = values[r * binds + b];
            const std::size_t length = BoundLength(value);
            // An empty value binds NULL, as the cursor binds it.
            if (value.empty()) indicators[r] = -1;
            std::memcpy(buffer.data() + r * width, value.data(), length);
            lengths[r] = static_cast<ub2>(length);
        }
        OCIBind* bind = nullptr;
        const std::string& name = bindNames_[b];
        sword status = fn.OCIBindByName(hStmt, &bind, parent_->hErr, reinterpret_cast<const OraText*>(name.c_str()),
                                        static_cast<sb4>(name.size()), buffer.data(), static_cast<sb4>(width), SQLT_CHR,
                                        indicators.data(), lengths.data(), nullptr, 0, nullptr, OCI_DEFAULT);
        SetError(parent_->Check(status));
        if (status != 0) return false;
    }
    return true;
}

bool TOCI8ArrayDml::CollectRowErrors(std::vector<RowResult>& results) {
    const OciEntryTable& fn = parent_->Entries();
    OCIError* hErr = parent_->hErr;
    ub4 count = 0;
    sword status = fn.OCIAttrGet(hStmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_NUM_DML_ERRORS, hErr);
    if (status != 0) {
        SetError(parent_->Check(status));
        return false;
    }
    // As Oracle's guide does it: one error handle of our own receives each row's error in
    // turn, and is freed afterwards. (Without it the library hands out handles of its own.)
    void* ownRowErr = nullptr;
    if (count > 0 && fn.OCIHandleAlloc(parent_->hEnv, &ownRowErr, OCI_HTYPE_ERROR, 0, nullptr) != 0)
        ownRowErr = nullptr;
    struct FreeOnExit {
        const OciEntryTable& fn;
        void* handle;
        ~FreeOnExit() {
            if (handle != nullptr) fn.OCIHandleFree(handle, OCI_HTYPE_ERROR);
        }
    } freeOnExit{fn, ownRowErr};
    for (ub4 i = 0; i < count; ++i) {
        void* rowErr = ownRowErr;
        status = fn.OCIParamGet(hErr, OCI_HTYPE_ERROR, hErr, &rowErr, i);
        ub4 offset = 0;
        if (status == 0)
            status = fn.OCIAttrGet(rowErr, OCI_HTYPE_ERROR, &offset, nullptr, OCI_ATTR_DML_ROW_OFFSET, hErr);
        if (status != 0 || offset >= results.size()) {
            if (status != 0) {
                SetError(parent_->Check(status));
            } else {
                SetError(-1, "Error - OCI_ERROR");
            }
            return false;
        }
        // The row's text as the cursor's CheckErr words a failed single-row execute.
        sb4 code = 0;
        char buffer[512] = {};
        fn.OCIErrorGet(rowErr, 1, nullptr, &code, reinterpret_cast<OraText*>(buffer), sizeof buffer, OCI_HTYPE_ERROR);
        buffer[sizeof buffer - 1] = '\0';
        RowResult& result = results[offset];
        if (code == 0) {
            result.Code = -1;
            result.Message = "Error - OCI_ERROR";
        } else {
            result.Code = code;
            result.Message = parent_->ClientTextToUtf8(buffer);
        }
    }
    return true;
}

bool TOCI8ArrayDml::Execute(const std::vector<std::string>& values, std::size_t rows, std::vector<RowResult>& results) {
    results.clear();
    if (!ConnChk()) return false;
    if (!prepared_) {
        SetError(-1, "SQLが解析されていません。");
        return false;
    }
    if (rows == 0) return true;
    if (values.size() < rows * bindNames_.size()) {
        SetError(-1, "Error - OCI_ERROR");
        return false;
    }
    if (!BindArrays(values, rows)) return false;
    sword status = parent_->Entries().OCIStmtExecute(parent_->hSvc, hStmt, parent_->hErr, static_cast<ub4>(rows), 0,
                                                     nullptr, nullptr,
                                                     OCI_BATCH_ERRORS | (rowCounts_ ? OCI_RETURN_ROW_COUNT_ARRAY : 0));
    // Batch-error mode reports refused rows with OCI_SUCCESS_WITH_INFO (ORA-24381); anything
    // else but success means the call as a whole failed.
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
        SetError(parent_->Check(status));
        return false;
    }
    ClearError();
    results.assign(rows, RowResult{});
    if (!CollectRowErrors(results) || (rowCounts_ && !CollectRowCounts(results))) {
        results.clear();
        return false;
    }
    return true;
}

bool TOCI8ArrayDml::CollectRowCounts(std::vector<RowResult>& results) {
    const ub8* counts = nullptr;
    ub4 count = 0;
    sword status = parent_->Entries().OCIAttrGet(hStmt, OCI_HTYPE_STMT, &counts, &count, OCI_ATTR_DML_ROW_COUNT_ARRAY,
                                                 parent_->hErr);
    if (status != 0) {
        SetError(parent_->Check(status));
        return false;
    }
    if (counts == nullptr || count < results.size()) {
        SetError(-1, "Error - OCI_ERROR");
        return false;
    }
    for (std::size_t r = 0; r < results.size(); ++r) results[r].Rows = counts[r];
    return true;
}

}  // namespace tabrook
