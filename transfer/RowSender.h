#pragma once
// How an import sends the rows of a batch to the database. Two senders: arrays with batch
// errors (ArrayRowSender: one round trip for the batch) and the cursor (CursorRowSender: one
// execute per row, for rows with LOB fields, values too wide for an array, and clients that
// refuse arrays). Both give each row its outcome exactly as the cursor reports a single-row
// execute, so the import settles them in one loop whichever sent them.

#include <vector>

#include "oci/TOCI8ArrayDml.h"

namespace tabrook {

class ImportBatch;

using RowOutcome = TOCI8ArrayDml::RowResult;

class RowSender {
public:
    virtual ~RowSender() = default;
    // Sends every row of batch; outcomes then holds one entry per row, in order. False when
    // the sender could not send the batch at all (nothing is known of its rows): the caller
    // sends them another way.
    virtual bool Send(ImportBatch& batch, std::vector<RowOutcome>& outcomes) = 0;
};

}  // namespace tabrook
