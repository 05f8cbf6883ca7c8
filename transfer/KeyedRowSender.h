#pragma once
// Sends the rows of an UPSERT or UPDATE batch (see ImportStatement.h) and tells, for each row
// applied, whether it was updated or inserted. The rows go through the MERGE halves in passes,
// each pass over the rows still open, in file order:
//   1. UpdateMerge: a row it changes was updated; a row it refuses is refused with its error.
//   2. UPDATE: every row still open is refused, with NoRowForKeyMessage.
//      UPSERT: InsertMerge: a row it changes was inserted; a row it refuses is refused.
//   3. UPSERT: a row that InsertMerge left alone found its key after all: an earlier row of the
//      same batch inserted it. UpdateMerge again updates it (in file order, so the last row of
//      a key wins as one by one).
// Every row thus ends as a single MERGE of the row would end it. Rows of different keys are
// applied pass by pass (the updates of a batch before its inserts); only a second unique key
// shared across rows could tell the difference.
//
// Passes run as arrays with batch errors and row counts (a client of release 12.1 or later)
// when arrays are allowed and the client takes them, otherwise one row per execute through
// cursors of its own. A pass whose array execute fails as a whole (a client that refuses the
// arrays or their row counts) is run row by row, and so is every pass after it.

#include <memory>
#include <string>
#include <vector>

#include "oci/TOCI8ArrayDml.h"
#include "transfer/RowSender.h"

namespace tabrook {

class ImportBatch;
class ImportStatement;
class TOCI8Ctrl;
class TOCI8Cur;

class KeyedRowSender {
public:
    // statement must have been built for UPSERT or UPDATE and outlive the sender.
    KeyedRowSender(TOCI8Ctrl& session, const ImportStatement& statement);
    ~KeyedRowSender();

    // Prepares the array statements; false when rows go one by one.
    bool StartArrays();
    // Sends every row of batch, as arrays when arrays is true (and the client takes them);
    // outcomes then holds one entry per row, in order.
    void Send(const ImportBatch& batch, bool arrays, std::vector<RowOutcome>& outcomes);
    // Whether row (of the last batch sent) was updated, rather than inserted; only for rows
    // whose outcome is 0.
    bool Updated(std::size_t row) const { return row < updated_.size() && updated_[row] != 0; }

private:
    enum class Pass { Update, Insert };
    // Runs pass over rows of batch; results gets one entry per row of rows.
    // arrays: whether the pass may go as arrays; cleared when the client refuses them.
    void RunPass(Pass pass, const ImportBatch& batch, const std::vector<std::size_t>& rows, bool& arrays,
                 std::vector<RowOutcome>& results);
    bool RunArrayPass(Pass pass, const ImportBatch& batch, const std::vector<std::size_t>& rows,
                      std::vector<RowOutcome>& results);
    void RunCursorPass(Pass pass, const ImportBatch& batch, const std::vector<std::size_t>& rows,
                       std::vector<RowOutcome>& results);

    TOCI8Ctrl& session_;
    const ImportStatement& statement_;
    bool upsert_;
    bool arrays_ = false;
    std::vector<std::string> bindNames_;
    TOCI8ArrayDml updateArray_;
    TOCI8ArrayDml insertArray_;
    std::unique_ptr<TOCI8Cur> updateCursor_;
    std::unique_ptr<TOCI8Cur> insertCursor_;
    std::vector<char> updated_;
    std::vector<std::string> subset_;  // the values of a pass over some rows, row after row
};

}  // namespace tabrook
