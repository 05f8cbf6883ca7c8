#include "transfer/KeyedRowSender.h"

#include "oci/TOCI8Ctrl.h"
#include "oci/TOCI8Cur.h"
#include "transfer/ImportBatch.h"
#include "transfer/ImportStatement.h"
#include "transfer/SqlName.h"

namespace tabrook {

namespace {

// The refusal of a row whose key another session took away between two passes.
constexpr char kKeyVanished[] = "キーに一致する行が他のセッションで削除されました。";

}  // namespace

KeyedRowSender::KeyedRowSender(TOCI8Ctrl& session, const ImportStatement& statement)
    : session_(session), statement_(statement), upsert_(!statement.InsertMerge.empty()) {
    for (const std::string* name : statement.BoundNames) bindNames_.push_back(":" + Quoted(*name));
}

KeyedRowSender::~KeyedRowSender() = default;

bool KeyedRowSender::StartArrays() {
    arrays_ = false;
    updateArray_.SetParent(&session_);
    updateArray_.SetRowCounts(true);
    if (!updateArray_.Prepare(statement_.UpdateMerge, bindNames_)) return false;
    if (upsert_) {
        insertArray_.SetParent(&session_);
        insertArray_.SetRowCounts(true);
        if (!insertArray_.Prepare(statement_.InsertMerge, bindNames_)) return false;
    }
    arrays_ = true;
    return true;
}

void KeyedRowSender::Send(const ImportBatch& batch, bool arrays, std::vector<RowOutcome>& outcomes) {
    const std::size_t rows = batch.Rows();
    outcomes.assign(rows, RowOutcome{});
    updated_.assign(rows, 0);
    bool useArrays = arrays && arrays_;
    std::vector<std::size_t> open(rows);
    for (std::size_t r = 0; r < rows; ++r) open[r] = r;
    std::vector<RowOutcome> results;
    // One pass; the rows it leaves alone stay open for the next.
    const auto pass = [&](Pass kind) {
        RunPass(kind, batch, open, useArrays, results);
        std::vector<std::size_t> still;
        for (std::size_t i = 0; i < open.size(); ++i) {
            const std::size_t r = open[i];
            if (results[i].Code != 0) {
                outcomes[r] = results[i];
            } else if (results[i].Rows > 0) {
                updated_[r] = kind == Pass::Update ? 1 : 0;
            } else {
                still.push_back(r);
            }
        }
        open.swap(still);
    };
    pass(Pass::Update);
    if (upsert_) {
        if (!open.empty()) pass(Pass::Insert);
        if (!open.empty()) pass(Pass::Update);
        for (std::size_t r : open) outcomes[r] = {-1, kKeyVanished};
    } else {
        std::vector<const std::string*> values(batch.BindCount());
        for (std::size_t r : open) {
            for (std::size_t b = 0; b < values.size(); ++b) values[b] = &batch.Value(r, b);
            outcomes[r] = {-1, NoRowForKeyMessage(statement_, values)};
        }
    }
}

void KeyedRowSender::RunPass(Pass pass, const ImportBatch& batch, const std::vector<std::size_t>& rows,
                             bool& arrays, std::vector<RowOutcome>& results) {
    if (arrays) {
        if (RunArrayPass(pass, batch, rows, results)) return;
        // The client refused the arrays (or their row counts): rows go one by one from now on.
        arrays = false;
        arrays_ = false;
    }
    RunCursorPass(pass, batch, rows, results);
}

bool KeyedRowSender::RunArrayPass(Pass pass, const ImportBatch& batch, const std::vector<std::size_t>& rows,
                                  std::vector<RowOutcome>& results) {
    TOCI8ArrayDml& dml = pass == Pass::Update ? updateArray_ : insertArray_;
    const std::size_t binds = batch.BindCount();
    // A pass over every row of the batch takes its values as they are; one over some of them
    // takes a copy of theirs.
    if (rows.size() == batch.Rows()) return dml.Execute(batch.Values(), rows.size(), results);
    subset_.resize(rows.size() * binds);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t b = 0; b < binds; ++b) subset_[i * binds + b] = batch.Value(rows[i], b);
    return dml.Execute(subset_, rows.size(), results);
}

void KeyedRowSender::RunCursorPass(Pass pass, const ImportBatch& batch, const std::vector<std::size_t>& rows,
                                   std::vector<RowOutcome>& results) {
    std::unique_ptr<TOCI8Cur>& cursor = pass == Pass::Update ? updateCursor_ : insertCursor_;
    results.assign(rows.size(), RowOutcome{});
    if (!cursor) {
        cursor = std::make_unique<TOCI8Cur>();
        cursor->SetParent(&session_);
        cursor->SetSQL(pass == Pass::Update ? statement_.UpdateMerge : statement_.InsertMerge);
        for (const std::string& name : bindNames_) AddBind(cursor->Binds, name, "", true);
    }
    if (!cursor->Parsed() && !cursor->Parse(0)) {
        const RowOutcome failed{cursor->ErrCode() != 0 ? cursor->ErrCode() : -1, cursor->ErrMsg()};
        results.assign(rows.size(), failed);
        return;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t b = 0; b < batch.BindCount(); ++b) {
            BindAttr& bind = *cursor->Binds[b];
            bind.Text = batch.Value(rows[i], b);
            bind.IsNull = bind.Text.empty();
        }
        if (cursor->ExecuteWithBind(0)) {
            results[i].Rows = static_cast<ub8>(cursor->RowCount());
        } else {
            results[i] = {cursor->ErrCode() != 0 ? cursor->ErrCode() : -1, cursor->ErrMsg()};
        }
    }
}

}  // namespace tabrook
