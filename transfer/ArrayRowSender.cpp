#include "transfer/ArrayRowSender.h"

#include "oci/TOCI8Ctrl.h"
#include "transfer/ImportBatch.h"

namespace tabrook {

ArrayRowSender::ArrayRowSender(TOCI8Ctrl& session, const std::string& sql, std::vector<std::string> bindNames) {
    dml_.SetParent(&session);
    ready_ = dml_.Prepare(sql, std::move(bindNames));
    if (!ready_) dml_.SetParent(nullptr);
}

bool ArrayRowSender::Send(ImportBatch& batch, std::vector<RowOutcome>& outcomes) {
    return ready_ && dml_.Execute(batch.Values(), batch.Rows(), outcomes);
}

}  // namespace tabrook
