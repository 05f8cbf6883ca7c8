#include "transfer/TransferJobState.h"

#include "transfer/TransferProgress.h"

namespace tabrook {

void TransferJobState::PublishCounts() {
    if (Progress == nullptr) return;
    Progress->SetCounts(RecordCount, SuccessCount, ErrorCount);
    Progress->SetBytesRead(BytesRead);
}

}  // namespace tabrook
