#pragma once
// BlockInput: the file side of the line and record readers. It reads a file in blocks into the
// reader's buffer, skips a UTF-8 byte-order mark at the very start of the file, notes a failed
// read (as opposed to the end of the file) and counts the bytes read, which another thread may
// read while the file is read, to show how far the reading has come. Given a converter, it
// hands on the file's text converted (a UTF-16 file as UTF-8), skipping the file's mark.

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

namespace tabrook {

class TextConverter;

class BlockInput {
public:
    // Begins reading a freshly opened file from its current position (its start); with a
    // converter the reader gets the file's text converted, the byte-order mark mark skipped.
    void Start(std::FILE* file, TextConverter* converter = nullptr, std::string_view mark = {});
    // Reads into block from end on (end grows) until a byte lies past pos; a byte-order mark
    // at the file's start moves pos past it. False at the end of the file, with nothing past
    // pos, or without a file.
    bool ReadInto(std::vector<char>& block, std::size_t& pos, std::size_t& end);

    std::FILE* File() const { return file_; }
    bool ReadFailed() const { return readFailed_; }
    long long BytesRead() const { return bytesRead_.load(std::memory_order_relaxed); }

private:
    // ReadInto through the converter.
    bool ConvertInto(std::vector<char>& block, std::size_t& end);
    void Count(std::size_t got);

    TextConverter* converter_ = nullptr;
    std::string_view mark_;
    std::vector<char> raw_;  // the file's bytes not yet converted
    std::size_t rawPos_ = 0;
    std::size_t rawEnd_ = 0;
    std::FILE* file_ = nullptr;
    bool atFileStart_ = false;
    bool readFailed_ = false;
    std::atomic<long long> bytesRead_{0};
};

}  // namespace tabrook
