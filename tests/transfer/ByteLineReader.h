#pragma once
// The line reading rule taken one byte at a time, straight from its definition, over bytes in
// memory. The block reader must give the same result for every call.

#include <cstddef>
#include <string>

namespace tabrook::testing {

class ByteLineReader {
public:
    explicit ByteLineReader(std::string bytes) : bytes_(std::move(bytes)) {
        if (bytes_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;  // a mark at the very start only
    }

    bool ReadLine(std::string& line) {
        line.clear();
        std::string buffer;
        int c = Next();
        if (c < 0) return false;
        while (c == '\r' || c == '\n') {
            c = Next();
            if (c < 0) return false;
        }
        bool result = true;
        while (c != '\r' && c != '\n') {
            buffer += static_cast<char>(c);
            c = Next();
            if (c < 0) {
                result = false;
                break;
            }
        }
        line = buffer.substr(0, buffer.find('\0'));
        return result;
    }

private:
    int Next() { return pos_ < bytes_.size() ? static_cast<unsigned char>(bytes_[pos_++]) : -1; }

    std::string bytes_;
    std::size_t pos_ = 0;
};

}  // namespace tabrook::testing
