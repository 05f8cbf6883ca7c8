#include "transfer/LineReader.h"

#include <cstring>

namespace tabrook {

LineReader::LineReader(std::size_t blockSize) : block_(blockSize < 4 ? 4 : blockSize) {}

void LineReader::Start(std::FILE* file) {
    input_.Start(file);
    pos_ = end_ = 0;
}

bool LineReader::Fill() {
    pos_ = end_ = 0;
    return input_.ReadInto(block_, pos_, end_);
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
    if (file != input_.File()) Start(file);
    return ReadLine(line);
}

}  // namespace tabrook
