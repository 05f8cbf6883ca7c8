#pragma once
// The record reading rule taken straight from its definition, over bytes in memory and one
// line at a time: a record is a non-empty line; while the delimiters of the record so far
// (bytes inside double-byte characters not counted) are odd at a line end, the line break as
// it stands and the next line join the record, however many; when that never closes before the
// end of the file, the record runs to the end (without the file's last line breaks) and is
// unclosed. The block reader must give the same result for every call.

#include <cstddef>
#include <string>

#include "transfer/DoubleByte.h"

namespace tabrook::testing {

class ByteRecordReader {
public:
    ByteRecordReader(std::string bytes, char delim, DoubleByteCode code)
        : bytes_(std::move(bytes)), delim_(delim), code_(code) {
        if (bytes_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;  // a mark at the very start only
    }

    bool ReadRecord(std::string& record) {
        record.clear();
        unclosed_ = false;
        while (pos_ < bytes_.size() && IsBreak(bytes_[pos_])) ++pos_;
        if (pos_ == bytes_.size()) return false;
        bool open = false;
        for (;;) {
            const std::string text = Line(pos_);
            record += text;
            if (Odd(text)) open = !open;
            if (pos_ == bytes_.size()) {
                unclosed_ = open;
                while (open && !record.empty() && IsBreak(record.back())) record.pop_back();
                return false;
            }
            if (!open) {
                ++pos_;
                return true;
            }
            const std::size_t width = bytes_.compare(pos_, 2, "\r\n") == 0 ? 2 : 1;
            record += bytes_.substr(pos_, width);
            pos_ += width;
        }
    }

    bool Unclosed() const { return unclosed_; }

private:
    static bool IsBreak(char c) { return c == '\r' || c == '\n'; }

    // The text of the line starting at p, up to a NUL byte; p ends on the line end or the end.
    std::string Line(std::size_t& p) const {
        const std::size_t from = p;
        while (p < bytes_.size() && !IsBreak(bytes_[p])) ++p;
        const std::string line = bytes_.substr(from, p - from);
        return line.substr(0, line.find('\0'));
    }

    bool Odd(const std::string& text) const {
        if (delim_ == '\0') return false;
        bool odd = false;
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t width = CharLength(code_, text.data() + i, text.data() + text.size());
            if (width == 1 && text[i] == delim_) odd = !odd;
            i += width;
        }
        return odd;
    }

    std::string bytes_;
    char delim_;
    DoubleByteCode code_;
    std::size_t pos_ = 0;
    bool unclosed_ = false;
};

}  // namespace tabrook::testing
