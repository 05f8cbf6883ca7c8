#include "transfer/RecordReader.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tabrook {

RecordReader::RecordReader(std::size_t blockSize) : block_(blockSize < 4 ? 4 : blockSize) {}

void RecordReader::Start(std::FILE* file, char delim, DoubleByteCode code, TextConverter* converter,
                         std::string_view mark) {
    input_.Start(file, converter, mark);
    pos_ = end_ = 0;
    delim_ = delim;
    code_ = code;
    wholeCharacters_ = CanBeInsideCharacter(code, delim);
    unclosed_ = false;
}

bool RecordReader::Fill() {
    pos_ = end_ = 0;
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

bool RecordReader::AppendLine(std::string& out, bool& odd) {
    bool cut = false;  // a NUL byte was met: the rest of the line is dropped
    for (;;) {
        if (pos_ == end_ && !Fill()) return false;
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
        pos_ += static_cast<std::size_t>(p - start);
        if (p < stop) return true;  // on its CR or LF byte
    }
}

void RecordReader::AppendLineBreak(std::string& out) {
    const char c = block_[pos_++];
    out += c;
    if (c != '\r') return;
    if (pos_ == end_ && !Fill()) return;
    if (block_[pos_] == '\n') {
        out += '\n';
        ++pos_;
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
    unclosed_ = false;
    // Skip line ends left over from the previous record and blank lines.
    for (;;) {
        if (pos_ == end_ && !Fill()) return false;
        const char c = block_[pos_];
        if (c != '\r' && c != '\n') break;
        ++pos_;
    }
    bool open = false;
    for (;;) {
        const std::size_t lineStart = record.size();
        bool odd = false;
        const bool lineEnds = AppendLine(record, odd);
        if (wholeCharacters_) odd = OddDelimiters(record.data() + lineStart, record.data() + record.size());
        if (delim_ != '\0' && odd) open = !open;
        if (!lineEnds) {
            if (open) {
                // The file's last line breaks end the file, not the field that never closed.
                unclosed_ = true;
                while (!record.empty() && (record.back() == '\n' || record.back() == '\r')) record.pop_back();
            }
            return false;
        }
        if (!open) {
            ++pos_;  // the line end byte is consumed
            return true;
        }
        AppendLineBreak(record);
    }
}

void RecordReader::LookAhead() {
    while (end_ - pos_ < 4) {
        const std::size_t left = end_ - pos_;
        std::memmove(block_.data(), block_.data() + pos_, left);
        pos_ = 0;
        end_ = left;
        if (!input_.ReadInto(block_, pos_, end_) || end_ == left) return;
    }
}

bool RecordReader::ReadRecordPrefix(std::string& record, const PrefixBounds& bounds, RecordPrefix& prefix) {
    record.clear();
    unclosed_ = false;
    prefix = RecordPrefix{};
    // True when a byte is available at pos_; false at the end of the file or of the scan.
    const auto available = [&] {
        if (pos_ < end_) return true;
        if (input_.BytesRead() >= bounds.ScanBytes) {
            prefix.ScanStopped = true;
            return false;
        }
        return Fill();
    };
    bool textCut = false;        // a byte other than a line break was not kept
    std::size_t separators = 0;  // separators outside delimiters so far
    // Keeps the character at p unless the record is cut there or before; separates: it is a
    // separator outside delimiters.
    const auto keep = [&](const char* p, std::size_t length, bool separates) {
        if (!prefix.Cut) {
            if (separates && ++separators == bounds.KeptFields) {
                prefix.Cut = true;  // it would start one field more than the bound
            } else if (record.size() + length <= bounds.KeptBytes) {
                record.append(p, length);
                return;
            } else {
                prefix.Cut = true;
                prefix.FieldCut = !separates;
            }
        }
        textCut = textCut || (*p != '\r' && *p != '\n');
        if (separates) ++prefix.MoreFields;
    };
    for (;;) {  // line ends left over from the previous record, and blank lines
        if (!available()) return false;
        const char c = block_[pos_];
        if (c != '\r' && c != '\n') break;
        ++pos_;
    }
    // Byte by byte, or character by character in a double-byte character set: the scan is
    // bounded, so the simple walk costs little, and the kept part ends on a character.
    const bool characters = code_ != DoubleByteCode::None;
    const char sep = bounds.Separator;
    bool open = false;      // inside a delimited field: an odd number of delimiters so far
    bool dropping = false;  // after a NUL byte: the rest of the line is not text
    while (available()) {
        const char c = block_[pos_];
        if (c == '\r' || c == '\n') {
            dropping = false;
            if (!open) {
                ++pos_;  // the line end byte is consumed
                return true;
            }
            keep(&block_[pos_++], 1, false);  // a line break inside the field is part of its value
            continue;
        }
        if (dropping || c == '\0') {
            dropping = true;
            ++pos_;
            continue;
        }
        std::size_t length = 1;
        if (characters && static_cast<unsigned char>(c) >= 0x81) {
            LookAhead();
            length = CharLength(code_, block_.data() + pos_, block_.data() + end_);
        }
        keep(&block_[pos_], length, length == 1 && c == sep && sep != '\0' && !open);
        pos_ += length;
        if (length == 1 && c == delim_ && delim_ != '\0') open = !open;
    }
    if (prefix.ScanStopped) {
        if (!prefix.Cut) prefix.Cut = prefix.FieldCut = !record.empty();
    } else if (open) {
        unclosed_ = true;
        if (!textCut) {  // as ReadRecord: the file's last line breaks are not the field's
            prefix.Cut = prefix.FieldCut = false;
            while (!record.empty() && (record.back() == '\n' || record.back() == '\r')) record.pop_back();
        }
    }
    return false;
}

}  // namespace tabrook
