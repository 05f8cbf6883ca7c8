#pragma once
// The data module: the program's one session (OCI), the cursor every query, INSERT and
// truncate goes through (OCIcur), the LOB component lent to the cursor (OCI8Lob), and the
// reusable buffer of the CSV line reader. Created at start-up before the windows, freed at exit.

#include <cstdio>
#include <string>

#include "oci/TOCI8Ctrl.h"
#include "oci/TOCI8Cur.h"
#include "oci/TOCI8Lob.h"
#include "transfer/LineReader.h"
#include "transfer/RecordReader.h"

namespace tabrook {

class Tdm {
public:
    Tdm();
    ~Tdm();
    Tdm(const Tdm&) = delete;
    Tdm& operator=(const Tdm&) = delete;

    // The children are declared before the session so that the session goes first at
    // destruction: it closes and detaches them while they still exist.
    TOCI8Cur OCIcur;
    TOCI8Lob OCI8Lob;
    // Lent for a BFILE column of a query that also has CLOB/BLOB columns: one locator cannot
    // be a BFILE and a CLOB/BLOB locator at once.
    TOCI8Lob OCI8File;
    TOCI8Ctrl OCI;

    // The cursor's handler for LOB columns: hands out OCI8Lob (OCI8File for a BFILE column
    // beside CLOB, NCLOB or BLOB columns).
    bool OCIcurNeedLob(DataAttr& column, sb4 arg, TOCI8Lob*& lob);

    // Reads the next non-empty line of file with the module's reusable buffer (see LineReader).
    bool ReadLine(std::string& line, std::FILE* file) { return lineReader_.ReadLine(line, file); }
    // Forgets the buffered bytes of the previous file; call it for every newly opened file.
    void StartFile(std::FILE* file) {
        recordReader_.Start(nullptr, '\0');
        lineReader_.Start(file);
    }
    // True when a read of the current file failed (as opposed to reaching its end).
    bool ReadFailed() const { return lineReader_.ReadFailed() || recordReader_.ReadFailed(); }

    // Begins reading the records of a newly opened file (see RecordReader): a record goes on over
    // line breaks inside a field enclosed in delim; code is the client's double-byte scheme.
    void StartRecords(std::FILE* file, char delim, DoubleByteCode code, TextConverter* converter = nullptr,
                      std::string_view mark = {}) {
        lineReader_.Start(nullptr);
        recordReader_.Start(file, delim, code, converter, mark);
    }
    // Reads the next record of the file begun with StartRecords.
    bool ReadRecord(std::string& record) { return recordReader_.ReadRecord(record); }
    // True when the record just read is a field that never closed before the end of the file:
    // it is refused as a whole with kUnclosedFieldMessage, never inserted (see RecordReader).
    bool RecordUnclosed() const { return recordReader_.Unclosed(); }

    bool CheckDateFormat(const std::string& format);
    bool CheckTimestampFormat(const std::string& format);

private:
    LineReader lineReader_;
    RecordReader recordReader_;
};

}  // namespace tabrook
