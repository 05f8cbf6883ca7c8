#pragma once
// The record reading rule taken straight from its definition, over bytes in memory and one
// line at a time: a record is a non-empty line; while the delimiters of the record so far
// (bytes inside double-byte characters not counted) are odd at a line end, the line break as
// it stands and the next line join the record; when that never closes before the end of the
// file, or the record passes the byte or line limit, the record is its first line alone and
// reading goes on after it. The block reader must give the same result for every call.

#include <cstddef>
#include <string>

#include "transfer/DoubleByte.h"

namespace tabrook::testing {

class ByteRecordReader {
public:
    ByteRecordReader(std::string bytes, char delim, DoubleByteCode code, std::size_t maxBytes, std::size_t maxLines)
        : bytes_(std::move(bytes)), delim_(delim), code_(code), maxBytes_(maxBytes), maxLines_(maxLines) {
        if (bytes_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;  // a mark at the very start only
    }

    bool ReadRecord(std::string& record) {
        record.clear();
        while (pos_ < bytes_.size() && IsBreak(bytes_[pos_])) ++pos_;
        if (pos_ == bytes_.size()) return false;
        const std::size_t start = pos_;
        std::size_t p = pos_;
        const std::string first = Line(p);
        if (p == bytes_.size()) {
            pos_ = p;
            record = first;
            return false;
        }
        const std::size_t afterFirst = p + 1;
        std::string joined = first;
        bool open = Odd(first);
        for (std::size_t lines = 2; open; ++lines) {
            if (bytes_[p] == '\r' && p + 1 < bytes_.size() && bytes_[p + 1] == '\n') {
                joined += "\r\n";
                p += 2;
            } else {
                joined += bytes_[p++];
            }
            const std::string text = Line(p);
            joined += text;
            if (lines > maxLines_ || p - start > maxBytes_) break;  // past the limit
            if (Odd(text)) open = !open;
            if (p == bytes_.size()) {
                if (open) break;  // open at the end of the file
                pos_ = p;
                record = joined;
                return false;
            }
        }
        if (open) {  // fall back to the first line alone
            pos_ = afterFirst;
            record = first;
            return true;
        }
        pos_ = p + 1;
        record = joined;
        return true;
    }

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
    std::size_t maxBytes_;
    std::size_t maxLines_;
    std::size_t pos_ = 0;
};

}  // namespace tabrook::testing
