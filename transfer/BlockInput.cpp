#include "transfer/BlockInput.h"

#include <cstring>

namespace tabrook {

void BlockInput::Start(std::FILE* file) {
    file_ = file;
    atFileStart_ = true;
    readFailed_ = false;
    bytesRead_.store(0, std::memory_order_relaxed);
}

bool BlockInput::ReadInto(std::vector<char>& block, std::size_t& pos, std::size_t& end) {
    if (!file_) return false;
    for (;;) {
        const std::size_t got = std::fread(block.data() + end, 1, block.size() - end, file_);
        if (got == 0) {
            if (std::ferror(file_)) readFailed_ = true;
            atFileStart_ = false;  // fewer than three bytes in the file: they are data
            return end > pos;
        }
        end += got;
        // One thread writes the count; a relaxed load and store keep it cheap.
        bytesRead_.store(bytesRead_.load(std::memory_order_relaxed) + static_cast<long long>(got),
                         std::memory_order_relaxed);
        if (atFileStart_) {
            if (end < 3) continue;  // a short read must not hide a mark split across reads
            atFileStart_ = false;
            if (std::memcmp(block.data(), "\xEF\xBB\xBF", 3) == 0) pos = 3;
        }
        if (end > pos) return true;
        pos = end = 0;  // the file held nothing but the mark so far
    }
}

}  // namespace tabrook
