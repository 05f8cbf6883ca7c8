#include "oci/ColumnList.h"

#include "oci/TOCI8Ctrl.h"

namespace tabrook {

void ColumnList::Clear() {
    for (auto& column : items_) {
        if (column->Descriptor == nullptr) continue;
        // Without an active environment the descriptor went with it.
        if (owner_ != nullptr && owner_->Activated) {
            try {
                owner_->DescFree(column->Descriptor, column->DescriptorType());
            } catch (const TOCIException&) {
                // A descriptor the library refuses to free is abandoned, not retried.
            }
        }
        column->Descriptor = nullptr;
    }
    items_.clear();
}

}  // namespace tabrook
