#pragma once
// TOCI8ArrayDml: runs one DML statement with text binds over many rows per execute. The rows of
// a batch are bound as arrays (one element per row, with indicator and actual-length arrays) and
// executed with iters = rows in batch-error mode, so every row is tried and the rows the
// database refuses come back one by one with their own error, in one round trip.
//
// A row's result carries the error code and message exactly as the cursor's ErrCode and ErrMsg
// would after a single-row execute of that row (TOCI8Func::CheckErr's text of the first error
// record), so callers can treat both paths alike.
//
// Values are texts; an empty text binds NULL. A value is cut at its first NUL byte, as a
// null-terminated single-row bind would read it. A value may be at most kMaxValueBytes long.

#include <string>
#include <vector>

#include "oci/TOCI8Base.h"

namespace tabrook {

class TOCI8ArrayDml : public TOCI8Base {
public:
    // The longest value one array element takes. Every element of a column is as wide as its
    // widest value, and a server whose strings end at 4000 bytes takes a wider bind as a LONG,
    // which would refuse every row of the batch (ORA-01461) instead of the one long value:
    // longer values are for a single-row execute.
    static constexpr std::size_t kMaxValueBytes = 4000;

    struct RowResult {
        sb4 Code = 0;         // 0: the row was applied; else as the cursor's ErrCode
        std::string Message;  // empty when applied; else as the cursor's ErrMsg
        ub8 Rows = 0;         // with SetRowCounts(true): the rows the row's execute changed
    };

    TOCI8ArrayDml() = default;
    ~TOCI8ArrayDml() override;

    // Prepares sql on a statement handle of its own; bindNames are the placeholders as written
    // in sql (colon included), one per value of a row, in row order.
    bool Prepare(const std::string& sql, std::vector<std::string> bindNames);
    // Runs rows rows whose values are the first rows * bind count texts of values, row after
    // row. True when
    // the batch ran: results then holds one entry per row. False when the execute itself
    // failed (ErrMsg, ErrCode): the client refused the array or batch-error mode, or the call
    // failed as a whole; no row result is known then.
    bool Execute(const std::vector<std::string>& values, std::size_t rows, std::vector<RowResult>& results);

    // Asks for each row's row count with every later Execute (OCI_RETURN_ROW_COUNT_ARRAY, a
    // client of release 12.1 or later); an Execute whose counts cannot be read fails as a whole.
    void SetRowCounts(bool on) { rowCounts_ = on; }

    bool CleanUp() override;
    bool Prepared() const { return prepared_; }
    std::size_t BindCount() const { return bindNames_.size(); }

private:
    bool BindArrays(const std::vector<std::string>& values, std::size_t rows);
    // Reads the row errors of the last execute into results.
    bool CollectRowErrors(std::vector<RowResult>& results);
    // Reads each row's row count of the last execute into results.
    bool CollectRowCounts(std::vector<RowResult>& results);

    std::vector<std::string> bindNames_;
    bool prepared_ = false;
    bool rowCounts_ = false;
    // The arrays of the current batch, per bind: values (rows * width bytes), indicators and
    // actual lengths. They must live until the execute is done.
    std::vector<std::vector<char>> buffers_;
    std::vector<std::vector<sb2>> indicators_;
    std::vector<std::vector<ub2>> lengths_;
};

}  // namespace tabrook
