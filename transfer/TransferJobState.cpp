#include "transfer/TransferJobState.h"

#include "transfer/TransferProgress.h"

namespace tabrook {

void TransferJobState::PublishCounts() {
    if (Progress != nullptr) {
        Progress->SetCounts(RecordCount, SuccessCount, ErrorCount);
        Progress->SetUpdated(UpdatedCount);
        Progress->SetBytesRead(BytesRead);
    }
    if (CountsPublished) CountsPublished();
}

}  // namespace tabrook
