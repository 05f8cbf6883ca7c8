#include "transfer/LineReader.h"

#include <cstring>

namespace tabrook {

LineReader::LineReader(std::size_t blockSize) : block_(blockSize < 4 ? 4 : blockSize) {}

void LineReader::Start(std::FILE* file) {
    file_ = file;
    pos_ = end_ = 0;
    atFileStart_ = true;
    readFailed_ = false;
    bytesRead_.store(0, std::memory_order_relaxed);
    filesStarted_.fetch_add(1, std::memory_order_release);
}

bool LineReader::Fill() {
    pos_ = end_ = 0;
    if (!file_) return false;
    for (;;) {
        const std::size_t got = std::fread(block_.data() + end_, 1, block_.size() - end_, file_);
        if (got == 0) {
            if (std::ferror(file_)) readFailed_ = true;
            if (!atFileStart_) return end_ > pos_;
            atFileStart_ = false;  // fewer than three bytes in the file: they are data
            return end_ > pos_;
        }
        end_ += got;
        bytesRead_.store(bytesRead_.load(std::memory_order_relaxed) + static_cast<long long>(got),
                         std::memory_order_relaxed);
        if (atFileStart_) {
            if (end_ < 3) continue;  // a short read must not hide a mark split across reads
            atFileStart_ = false;
            if (std::memcmp(block_.data(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
        }
        if (end_ > pos_) return true;
        pos_ = end_ = 0;
    }
}

bool LineReader::ReadLine(std::string& line) {
    line.clear();
    // Skip line ends left over from the previous line and blank lines.
    for (;;) {
        if (pos_ == end_ && !Fill()) return false;
        const char c = block_[pos_];
        if (c != '\r' && c != '\n') break;
        ++pos_;
    }
    bool complete = false;
    for (;;) {
        if (pos_ == end_ && !Fill()) break;
        const char* start = block_.data() + pos_;
        const std::size_t available = end_ - pos_;
        const char* stop = static_cast<const char*>(std::memchr(start, '\n', available));
        const std::size_t scan = stop ? static_cast<std::size_t>(stop - start) : available;
        if (const void* cr = std::memchr(start, '\r', scan)) stop = static_cast<const char*>(cr);
        if (stop) {
            line.append(start, stop);
            pos_ += static_cast<std::size_t>(stop - start) + 1;  // the line end byte is consumed
            complete = true;
            break;
        }
        line.append(start, available);
        pos_ = end_;
    }
    const std::size_t nul = line.find('\0');
    if (nul != std::string::npos) line.resize(nul);
    return complete;
}

bool LineReader::ReadLine(std::string& line, std::FILE* file) {
    if (file != file_) Start(file);
    return ReadLine(line);
}

}  // namespace tabrook
