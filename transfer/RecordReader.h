#pragma once
// Reads the records of a CSV file. A record is a non-empty line, as LineReader reads it, except
// that while a delimited field is still open at the end of a line the record goes on with the
// next line: the line break bytes as they stand in the file (CR LF, LF or CR, blank lines
// included) become part of the value, as spreadsheets and this program's own export write a
// cell of several lines. A record is never cut short, however many lines or bytes its value
// spans: a cell our export wrote reads back whole.
//
// A field still open at the end of the file (a stray delimiter, or a file cut short) is no
// record of the file: the reader delivers everything from its first line to the end as one
// text and marks it Unclosed, so that the caller refuses it as a whole rather than inserting
// rows the file never held. Memory is the size of the record being read.
//
// Delimiters are counted as SplitFields sees them: a byte inside a double-byte character of
// the client's character set is not one. A NUL byte ends the text of its line: the bytes after
// it up to that line's end are dropped. A UTF-8 byte-order mark at the start of the file is
// skipped.
//
// A look at a file (the window's preview) reads records with ReadRecordPrefix instead: it finds
// the same records, but holds only a bounded prefix of each and scans a bounded part of the
// file, so that a huge field or a delimiter that never closes costs neither memory nor time.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "transfer/BlockInput.h"
#include "transfer/DoubleByte.h"

namespace tabrook {

// Why an unclosed record is refused (its text goes to the error file with this message).
inline constexpr char kUnclosedFieldMessage[] = "囲み文字が閉じられないままファイルの終わりに達しました。";

// The bounds of ReadRecordPrefix.
struct PrefixBounds {
    std::size_t KeptBytes = 0;          // the most bytes of a record kept
    std::size_t KeptFields = SIZE_MAX;  // the most fields of a record kept
    long long ScanBytes = 0;            // the most bytes of the file read since Start
    char Separator = '\0';              // the field separator (0: none)
};

// What ReadRecordPrefix learnt of a record beyond the bytes it kept.
struct RecordPrefix {
    bool Cut = false;            // the record goes on past the kept bytes
    bool FieldCut = false;       // ... and so does the last field kept
    std::size_t MoreFields = 0;  // separators outside delimiters past the kept bytes
    bool ScanStopped = false;    // the scan bound was reached: the record's end is unknown
};

class RecordReader {
public:
    static constexpr std::size_t kDefaultBlockSize = 64 * 1024;

    explicit RecordReader(std::size_t blockSize = kDefaultBlockSize);

    // Begins reading a freshly opened file from its start; delim is the delimiter byte (0: none,
    // so every record is one line). The reader does not own the file. With a converter the
    // records are read from the file's text converted (see BlockInput).
    void Start(std::FILE* file, char delim, DoubleByteCode code = DoubleByteCode::None,
               TextConverter* converter = nullptr, std::string_view mark = {});

    // Reads the next record into record. True: the record and the line end after it were read.
    // False: the end of the file was reached; record then holds what was read before the end,
    // possibly empty. A caller that must not lose an unterminated last record uses a non-empty
    // record delivered with false as one more record (unless it is Unclosed).
    bool ReadRecord(std::string& record);

    // Reads the next record as ReadRecord finds it, but keeps at most bounds.KeptBytes of it in
    // record (whole characters) and no more than bounds.KeptFields fields; the rest is only
    // scanned for its delimiters, separators and end. prefix says whether the record was cut
    // and how many fields the part not kept adds to those of record. Once bounds.ScanBytes of
    // the file have been read since Start it stops where it is (prefix.ScanStopped) and
    // returns false. Otherwise the return value and Unclosed are those of ReadRecord.
    bool ReadRecordPrefix(std::string& record, const PrefixBounds& bounds, RecordPrefix& prefix);

    // True when the record just read ran to the end of the file inside a delimited field: it
    // holds the lines from the field's record to the end (without the file's last line
    // breaks) and must be refused as one, with kUnclosedFieldMessage.
    bool Unclosed() const { return unclosed_; }

    // True when a read of the file failed (as opposed to reaching its end).
    bool ReadFailed() const { return input_.ReadFailed(); }
    // Bytes of the current file read from the disk so far (in whole blocks). Another thread may
    // read it while the file is read, to show how far the reading has come.
    long long BytesRead() const { return input_.BytesRead(); }

private:
    // Makes more bytes available at pos_ (which is at end_). False at the end of the file.
    bool Fill();
    // Appends the text of the line at pos_ (up to a NUL byte) to out and leaves pos_ on its line
    // end byte (true) or at the end of the file (false). odd flips for every delimiter byte of
    // the text (byte by byte, whatever the character set).
    bool AppendLine(std::string& out, bool& odd);
    // Makes the bytes of one character available at pos_ (up to 4), keeping those there, unless
    // the file ends first.
    void LookAhead();
    // Consumes the line break at pos_ (CR LF, CR or LF) and appends its bytes to out.
    void AppendLineBreak(std::string& out);
    // Whether text holds an odd number of delimiters, counted over whole characters as the
    // splitter counts them (when the delimiter byte can stand inside a character).
    bool OddDelimiters(const char* p, const char* end) const;

    std::vector<char> block_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    BlockInput input_;
    char delim_ = '\0';
    DoubleByteCode code_ = DoubleByteCode::None;
    bool wholeCharacters_ = false;
    bool unclosed_ = false;
};

}  // namespace tabrook
