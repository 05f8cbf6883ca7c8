#pragma once
// Sends a batch as one array DML in batch-error mode (see TOCI8ArrayDml).

#include <string>
#include <vector>

#include "transfer/RowSender.h"

namespace tabrook {

class TOCI8Ctrl;

class ArrayRowSender : public RowSender {
public:
    // Prepares sql (bindNames: its placeholders, one per value of a row) on its own statement
    // of session; Ready() tells whether the client took it.
    ArrayRowSender(TOCI8Ctrl& session, const std::string& sql, std::vector<std::string> bindNames);

    bool Ready() const { return ready_; }
    bool Send(ImportBatch& batch, std::vector<RowOutcome>& outcomes) override;

private:
    TOCI8ArrayDml dml_;
    bool ready_ = false;
};

}  // namespace tabrook
