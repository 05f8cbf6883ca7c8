#include "transfer/CursorRowSender.h"

#include "oci/BindAttr.h"
#include "oci/TOCI8Cur.h"
#include "transfer/ImportBatch.h"
#include "transfer/LobTransfer.h"

namespace tabrook {

namespace {
// The largest bind text kept for reuse after a row.
constexpr std::size_t kKeptBindCapacity = 64 * 1024;
}  // namespace

bool CursorRowSender::Send(ImportBatch& batch, std::vector<RowOutcome>& outcomes) {
    const std::size_t rows = batch.Rows();
    outcomes.assign(rows, RowOutcome{});
    for (std::size_t r = 0; r < rows; ++r) {
        std::string lobRefusal;
        for (std::size_t b = 0; b < batch.BindCount(); ++b) {
            std::string& value = batch.MutableValue(r, b);
            BindAttr& bind = *cur_.Binds[b];
            if (b < lobs_.size() && lobs_[b]) {
                std::string error;
                if (lobs_[b]->Fill(value, error)) {
                    lobs_[b]->Attach(bind);
                } else if (lobRefusal.empty()) {
                    lobRefusal = error + ": " + *names_[b];
                }
                continue;
            }
            bind.Text.swap(value);
            bind.IsNull = bind.Text.empty();
        }
        if (!lobRefusal.empty()) {
            // A field that cannot become its LOB refuses the row as a refused INSERT would.
            outcomes[r] = {-1, lobRefusal};
        } else if (!cur_.ExecuteWithBind(0)) {
            outcomes[r] = {cur_.ErrCode() != 0 ? cur_.ErrCode() : -1, cur_.ErrMsg()};
        }
        // A giant value's buffer is let go at once rather than kept beside the splitter's.
        for (auto& bind : cur_.Binds)
            if (bind->Text.capacity() > kKeptBindCapacity) std::string().swap(bind->Text);
    }
    return true;
}

}  // namespace tabrook
