#include "transfer/BlockInput.h"

#include <cstring>

#include "transfer/TextConverter.h"

namespace tabrook {

void BlockInput::Start(std::FILE* file, TextConverter* converter, std::string_view mark) {
    file_ = file;
    converter_ = converter;
    mark_ = mark;
    rawPos_ = rawEnd_ = 0;
    if (converter_ != nullptr) {
        converter_->Reset();
        raw_.resize(32 * 1024);
    }
    atFileStart_ = true;
    readFailed_ = false;
    bytesRead_.store(0, std::memory_order_relaxed);
}

bool BlockInput::ReadInto(std::vector<char>& block, std::size_t& pos, std::size_t& end) {
    if (!file_) return false;
    if (converter_ != nullptr) return ConvertInto(block, end) || end > pos;
    for (;;) {
        const std::size_t got = std::fread(block.data() + end, 1, block.size() - end, file_);
        if (got == 0) {
            if (std::ferror(file_)) readFailed_ = true;
            atFileStart_ = false;  // fewer than three bytes in the file: they are data
            return end > pos;
        }
        end += got;
        Count(got);
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

namespace tabrook {

void BlockInput::Count(std::size_t got) {
    // One thread writes the count; a relaxed load and store keep it cheap.
    bytesRead_.store(bytesRead_.load(std::memory_order_relaxed) + static_cast<long long>(got),
                     std::memory_order_relaxed);
}

bool BlockInput::ConvertInto(std::vector<char>& block, std::size_t& end) {
    const std::size_t before = end;
    for (;;) {
        if (rawPos_ < rawEnd_ && !atFileStart_) {
            const char* in = raw_.data() + rawPos_;
            std::size_t left = rawEnd_ - rawPos_;
            char* out = block.data() + end;
            std::size_t room = block.size() - end;
            const TextConverter::Step step = converter_->ConvertSome(in, left, out, room);
            rawPos_ = rawEnd_ - left;
            end = block.size() - room;
            if (end > before) return true;
            if (step == TextConverter::Step::Invalid) {
                // Broken text (the file was checked before it was read): the reading fails.
                readFailed_ = true;
                return false;
            }
            if (step == TextConverter::Step::OutputFull) return false;
        }
        // Keep a cut character at the front and read on behind it.
        std::memmove(raw_.data(), raw_.data() + rawPos_, rawEnd_ - rawPos_);
        rawEnd_ -= rawPos_;
        rawPos_ = 0;
        const std::size_t got = std::fread(raw_.data() + rawEnd_, 1, raw_.size() - rawEnd_, file_);
        Count(got);
        rawEnd_ += got;
        if (atFileStart_ && (rawEnd_ >= mark_.size() || got == 0)) {
            atFileStart_ = false;
            if (rawEnd_ >= mark_.size() && std::string_view(raw_.data(), mark_.size()) == mark_) rawPos_ = mark_.size();
            continue;
        }
        if (got == 0) {
            // The end of the file; a character it cuts short is broken text.
            if (std::ferror(file_) || rawPos_ < rawEnd_) readFailed_ = true;
            rawPos_ = rawEnd_;
            return false;
        }
    }
}

}  // namespace tabrook
