#pragma once
// Reads the non-empty lines of a CSV file. Any run of CR and LF bytes is one line end, a NUL
// byte ends the text of its line, and a UTF-8 byte-order mark at the very start of the file
// is skipped. The file is read in blocks into a buffer the reader owns and reuses, so memory
// stays flat whatever the file's size; every call returns what a byte-at-a-time reader would.

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "transfer/BlockInput.h"

namespace tabrook {

class LineReader {
public:
    static constexpr std::size_t kDefaultBlockSize = 64 * 1024;

    explicit LineReader(std::size_t blockSize = kDefaultBlockSize);

    // Begins reading a freshly opened file from its current position (its start): forgets any
    // buffered bytes of the previous file. Call it for every file, even when the FILE* value
    // repeats. The reader does not own the file.
    void Start(std::FILE* file);

    // Reads the next non-empty line into line. True: a line and its terminating CR or LF were
    // read. False: the end of the file was reached; line then holds what was read before the
    // end, possibly empty. A caller that must not lose an unterminated last line uses a
    // non-empty line delivered with false as one more line.
    bool ReadLine(std::string& line);

    // Starts file when it is not the file being read, then reads a line from it.
    bool ReadLine(std::string& line, std::FILE* file);

    // True when a read of the file failed (as opposed to reaching its end).
    bool ReadFailed() const { return input_.ReadFailed(); }

    // Bytes of the current file read from the disk so far (in whole blocks). Another thread may
    // read it while the file is read, to show how far the reading has come.
    long long BytesRead() const { return input_.BytesRead(); }

private:
    bool Fill();  // refills the empty buffer; false at the end of the file

    std::vector<char> block_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    BlockInput input_;
};

}  // namespace tabrook
