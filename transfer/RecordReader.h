#pragma once
// Reads the records of a CSV file. A record is a non-empty line, as LineReader reads it, except
// that while a delimited field is still open at the end of a line the record goes on with the
// next line: the line break bytes as they stand in the file (CR LF, LF or CR, blank lines
// included) become part of the value, as spreadsheets and this program's own export write a
// cell of several lines.
//
// A stray delimiter in an unquoted field (5" pipe) would otherwise swallow the rest of the
// file. So when the field is still open at the end of the file, or the record spans more than
// a limit that real cells never reach (bytes of the file or lines), the reader goes back and
// delivers the record's first line alone, exactly as a line reader would, and goes on with the
// line after it: a stray delimiter costs its own line and no more. The bytes after the first
// line are kept in memory until the record ends, so memory is bounded by the limit.
//
// Delimiters are counted as SplitFields sees them: a byte inside a double-byte character of
// the client's character set is not one. A NUL byte ends the text of its line: the bytes after
// it up to that line's end are dropped. A UTF-8 byte-order mark at the start of the file is
// skipped.

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "transfer/BlockInput.h"
#include "transfer/DoubleByte.h"

namespace tabrook {

class RecordReader {
public:
    static constexpr std::size_t kDefaultBlockSize = 64 * 1024;
    static constexpr std::size_t kMaxRecordBytes = 16 * 1024 * 1024;
    static constexpr std::size_t kMaxRecordLines = 10000;

    explicit RecordReader(std::size_t blockSize = kDefaultBlockSize, std::size_t maxRecordBytes = kMaxRecordBytes,
                          std::size_t maxRecordLines = kMaxRecordLines);

    // Begins reading a freshly opened file from its start; delim is the delimiter byte (0: none,
    // so every record is one line). The reader does not own the file.
    void Start(std::FILE* file, char delim, DoubleByteCode code = DoubleByteCode::None);

    // Reads the next record into record. True: the record and the line end after it were read.
    // False: the end of the file was reached; record then holds what was read before the end,
    // possibly empty. A caller that must not lose an unterminated last record uses a non-empty
    // record delivered with false as one more record.
    bool ReadRecord(std::string& record);

    // True when a read of the file failed (as opposed to reaching its end).
    bool ReadFailed() const { return input_.ReadFailed(); }
    // Bytes of the current file read from the disk so far (in whole blocks). Another thread may
    // read it while the file is read, to show how far the reading has come.
    long long BytesRead() const { return input_.BytesRead(); }

private:
    enum class LineEnd { Break, EndOfFile, TooLong };
    static constexpr std::size_t kNoMark = static_cast<std::size_t>(-1);

    // Makes more bytes available at pos_ (which is at end_); keeps the bytes from mark_ on when
    // a mark is set. False at the end of the file.
    bool Fill();
    // Appends the text of the line at pos_ (up to a NUL byte) to out and leaves pos_ on its line
    // end byte. span counts the bytes passed; past limit the line is abandoned as TooLong. odd
    // flips for every delimiter byte of the text (byte by byte, whatever the character set).
    LineEnd AppendLine(std::string& out, std::size_t& span, std::size_t limit, bool& odd);
    // Consumes the line break at pos_ (CR LF, CR or LF) and appends its bytes to out.
    void AppendLineBreak(std::string& out, std::size_t& span);
    // Whether text holds an odd number of delimiters, counted over whole characters as the
    // splitter counts them (when the delimiter byte can stand inside a character).
    bool OddDelimiters(const char* p, const char* end) const;

    std::vector<char> block_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::size_t mark_ = kNoMark;
    std::size_t maxBytes_;
    std::size_t maxLines_;
    BlockInput input_;
    char delim_ = '\0';
    DoubleByteCode code_ = DoubleByteCode::None;
    bool wholeCharacters_ = false;
};

}  // namespace tabrook
