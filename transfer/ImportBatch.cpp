#include "transfer/ImportBatch.h"

#include <algorithm>

namespace tabrook {

void ImportBatch::Reset(std::size_t bindCount) {
    bindCount_ = bindCount;
    rows_ = 0;
    records_.clear();
    recordNumbers_.clear();
    values_.clear();
    maxLengths_.assign(bindCount, 0);
}

std::size_t ImportBatch::ArrayBytesWith(const std::vector<std::string>& fields, const std::vector<int>& bound) const {
    std::size_t width = 0;
    for (std::size_t b = 0; b < bindCount_; ++b)
        width += std::max<std::size_t>({maxLengths_[b], fields[static_cast<std::size_t>(bound[b])].size(), 1});
    return (rows_ + 1) * width;
}

void ImportBatch::TakeOver(std::string& kept, std::string& given, bool whole) {
    // A buffer grown for a giant record stays with the reader or splitter that grew it (which
    // reuses it), rather than lingering in the batch.
    if (!whole && given.capacity() > kSwapCapacity) {
        kept.assign(given);
    } else {
        kept.swap(given);
    }
}

void ImportBatch::Add(std::string& record, int recordNumber, std::vector<std::string>& fields,
                      const std::vector<int>& bound, bool whole) {
    if (records_.size() <= rows_) {
        records_.resize(rows_ + 1);
        recordNumbers_.resize(rows_ + 1);
        values_.resize((rows_ + 1) * bindCount_);
    }
    TakeOver(records_[rows_], record, whole);
    recordNumbers_[rows_] = recordNumber;
    std::string* row = values_.data() + rows_ * bindCount_;
    for (std::size_t b = 0; b < bindCount_; ++b) {
        TakeOver(row[b], fields[static_cast<std::size_t>(bound[b])], whole);
        maxLengths_[b] = std::max(maxLengths_[b], row[b].size());
    }
    ++rows_;
}

}  // namespace tabrook
