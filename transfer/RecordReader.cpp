#include "transfer/RecordReader.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tabrook {

RecordReader::RecordReader(std::size_t blockSize, std::size_t maxRecordBytes, std::size_t maxRecordLines)
    : block_(blockSize < 4 ? 4 : blockSize), maxBytes_(maxRecordBytes), maxLines_(maxRecordLines) {}

void RecordReader::Start(std::FILE* file, char delim, DoubleByteCode code) {
    input_.Start(file);
    pos_ = end_ = 0;
    mark_ = kNoMark;
    delim_ = delim;
    code_ = code;
    wholeCharacters_ = CanBeInsideCharacter(code, delim);
}

bool RecordReader::Fill() {
    if (mark_ == kNoMark) {
        pos_ = end_ = 0;
    } else {
        // An open record: keep its bytes from the mark on, at the front of a large enough block.
        const std::size_t kept = end_ - mark_;
        if (mark_ > 0) std::memmove(block_.data(), block_.data() + mark_, kept);
        pos_ -= mark_;
        end_ = kept;
        mark_ = 0;
        if (end_ == block_.size()) block_.resize(block_.size() * 2);
    }
    return input_.ReadInto(block_, pos_, end_);
}

namespace {

// The first CR, LF or NUL byte in [p, end), end when there is none; odd flips for every delim
// byte before it. One pass finds the line end and counts the delimiters of every line.
const char* ScanText(const char* p, const char* end, char delim, bool& odd) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i nul = _mm_setzero_si128();
    const __m128i quote = _mm_set1_epi8(delim);
    unsigned hits = 0;  // only the parity of the hits counts: masks are combined by xor
    for (; end - p >= 16; p += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto stops = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, lf), _mm_cmpeq_epi8(chunk, cr)), _mm_cmpeq_epi8(chunk, nul))));
        const auto quotes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, quote)));
        if (stops != 0) {
            const unsigned at = static_cast<unsigned>(__builtin_ctz(stops));
            hits ^= quotes & ((1u << at) - 1);
            odd ^= __builtin_parity(hits) != 0;
            return p + at;
        }
        hits ^= quotes;
    }
    odd ^= __builtin_parity(hits) != 0;
#endif
    for (; p < end; ++p) {
        const char c = *p;
        if (c == '\n' || c == '\r' || c == '\0') return p;
        if (c == delim) odd = !odd;
    }
    return end;
}

}  // namespace

RecordReader::LineEnd RecordReader::AppendLine(std::string& out, std::size_t& span, std::size_t limit, bool& odd) {
    bool cut = false;  // a NUL byte was met: the rest of the line is dropped
    for (;;) {
        if (pos_ == end_ && !Fill()) return LineEnd::EndOfFile;
        const char* start = block_.data() + pos_;
        const char* const stop = block_.data() + end_;
        const char* p = start;
        if (!cut) {
            p = ScanText(start, stop, delim_, odd);
            out.append(start, p);
            cut = p < stop && *p == '\0';
        }
        if (cut) {  // on to the line end
            const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(stop - p)));
            const std::size_t scan = static_cast<std::size_t>((lf ? lf : stop) - p);
            if (const void* cr = std::memchr(p, '\r', scan)) lf = static_cast<const char*>(cr);
            p = lf ? lf : stop;
        }
        const auto length = static_cast<std::size_t>(p - start);
        pos_ += length;
        span += length;
        if (p < stop) return LineEnd::Break;  // on its CR or LF byte
        if (span > limit) return LineEnd::TooLong;
    }
}

void RecordReader::AppendLineBreak(std::string& out, std::size_t& span) {
    const char c = block_[pos_++];
    out += c;
    ++span;
    if (c != '\r') return;
    if (pos_ == end_ && !Fill()) return;
    if (block_[pos_] == '\n') {
        out += '\n';
        ++pos_;
        ++span;
    }
}

bool RecordReader::OddDelimiters(const char* p, const char* end) const {
    bool odd = false;
    for (; p < end; p += CharLength(code_, p, end)) {
        if (*p == delim_) odd = !odd;
    }
    return odd;
}

bool RecordReader::ReadRecord(std::string& record) {
    record.clear();
    mark_ = kNoMark;
    // Skip line ends left over from the previous record and blank lines.
    for (;;) {
        if (pos_ == end_ && !Fill()) return false;
        const char c = block_[pos_];
        if (c != '\r' && c != '\n') break;
        ++pos_;
    }
    std::size_t span = 0;  // bytes of the file the record has taken so far
    // The first line streams through the block like any line; it is never held back.
    bool odd = false;
    if (AppendLine(record, span, kNoMark, odd) == LineEnd::EndOfFile) return false;
    if (wholeCharacters_) odd = OddDelimiters(record.data(), record.data() + record.size());
    bool open = delim_ != '\0' && odd;
    if (!open) {
        ++pos_;  // the line end byte is consumed
        return true;
    }

    // A field is open: the record goes on. Everything after the first line's end byte stays in
    // the block until the record ends, so that the reader can come back to it.
    const std::size_t firstLength = record.size();
    mark_ = pos_ + 1;  // Fill moves the kept bytes, and the mark with them
    AppendLineBreak(record, span);
    for (std::size_t lines = 2; lines <= maxLines_; ++lines) {
        const std::size_t lineStart = record.size();
        bool lineOdd = false;
        const LineEnd end = AppendLine(record, span, maxBytes_, lineOdd);
        if (end == LineEnd::TooLong || span > maxBytes_) break;
        if (wholeCharacters_) lineOdd = OddDelimiters(record.data() + lineStart, record.data() + record.size());
        if (lineOdd) open = !open;
        if (end == LineEnd::EndOfFile) {
            if (open) break;  // still open at the end of the file
            mark_ = kNoMark;
            return false;
        }
        if (!open) {
            ++pos_;
            mark_ = kNoMark;
            return true;
        }
        AppendLineBreak(record, span);
    }

    // Not a multi-line value after all: deliver the first line alone and go on after it. The
    // block has kept every byte from the mark on.
    record.resize(firstLength);
    pos_ = mark_;
    mark_ = kNoMark;
    return true;
}

}  // namespace tabrook
