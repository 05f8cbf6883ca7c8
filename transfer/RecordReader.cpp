#include "RecordReader.h"

#include <cstring>

namespace tabrook {

RecordReader::RecordReader(std::size_t blockSize, std::size_t maxRecordBytes, std::size_t maxRecordLines)
    : block_(blockSize < 4 ? 4 : blockSize), maxBytes_(maxRecordBytes), maxLines_(maxRecordLines) {}

void RecordReader::Start(std::FILE* file, char delim, DoubleByteCode code) {
  file_ = file;
  pos_ = end_ = 0;
  mark_ = kNoMark;
  delim_ = delim;
  code_ = code;
  wholeCharacters_ = CanBeInsideCharacter(code, delim);
  atFileStart_ = true;
  readFailed_ = false;
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
  if (!file_) return false;
  for (;;) {
    const std::size_t got = std::fread(block_.data() + end_, 1, block_.size() - end_, file_);
    if (got == 0) {
      if (std::ferror(file_)) readFailed_ = true;
      atFileStart_ = false;  // fewer than three bytes in the file: they are data
      return end_ > pos_;
    }
    end_ += got;
    if (atFileStart_) {
      if (end_ < 3) continue;  // a short read must not hide a mark split across reads
      atFileStart_ = false;
      if (std::memcmp(block_.data(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
    }
    if (end_ > pos_) return true;
    pos_ = end_ = 0;  // the file held nothing but the mark so far
  }
}

RecordReader::LineEnd RecordReader::AppendLine(std::string& out, std::size_t& span, std::size_t limit) {
  bool cut = false;  // a NUL byte was met: the rest of the line is dropped
  for (;;) {
    if (pos_ == end_ && !Fill()) return LineEnd::EndOfFile;
    const char* start = block_.data() + pos_;
    const std::size_t available = end_ - pos_;
    const char* stop = static_cast<const char*>(std::memchr(start, '\n', available));
    const std::size_t scan = stop ? static_cast<std::size_t>(stop - start) : available;
    if (const void* cr = std::memchr(start, '\r', scan)) stop = static_cast<const char*>(cr);
    const std::size_t length = stop ? static_cast<std::size_t>(stop - start) : available;
    if (!cut) {
      const void* nul = std::memchr(start, '\0', length);
      out.append(start, nul ? static_cast<const char*>(nul) : start + length);
      cut = nul != nullptr;
    }
    pos_ += length;
    span += length;
    if (stop) return LineEnd::Break;
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
  if (wholeCharacters_) {
    for (; p < end; p += CharLength(code_, p, end)) {
      if (*p == delim_) odd = !odd;
    }
    return odd;
  }
  while (const void* hit = std::memchr(p, delim_, static_cast<std::size_t>(end - p))) {
    odd = !odd;
    p = static_cast<const char*>(hit) + 1;
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
  if (AppendLine(record, span, kNoMark) == LineEnd::EndOfFile) return false;
  bool open = delim_ != '\0' && OddDelimiters(record.data(), record.data() + record.size());
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
    const LineEnd end = AppendLine(record, span, maxBytes_);
    if (end == LineEnd::TooLong || span > maxBytes_) break;
    if (OddDelimiters(record.data() + lineStart, record.data() + record.size())) open = !open;
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
