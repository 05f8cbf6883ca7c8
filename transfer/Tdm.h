#pragma once
// The data module: the program's one session (OCI), the cursor every query, INSERT and
// truncate goes through (OCIcur), the LOB component lent to the cursor (OCI8Lob), and the
// reusable buffer of the CSV line reader. Created at start-up before the windows, freed at exit.

#include <cstdio>
#include <string>

#include "transfer/LineReader.h"
#include "oci/TOCI8Ctrl.h"
#include "oci/TOCI8Cur.h"
#include "oci/TOCI8Lob.h"

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
  TOCI8Ctrl OCI;

  // The cursor's handler for LOB columns: hands out OCI8Lob.
  bool OCIcurNeedLob(DataAttr& column, sb4 arg, TOCI8Lob*& lob);

  // Reads the next non-empty line of file with the module's reusable buffer (see LineReader).
  bool ReadLine(std::string& line, std::FILE* file) { return lineReader_.ReadLine(line, file); }
  // Forgets the buffered bytes of the previous file; call it for every newly opened file.
  void StartFile(std::FILE* file) { lineReader_.Start(file); }
  // True when a read of the current file failed (as opposed to reaching its end).
  bool ReadFailed() const { return lineReader_.ReadFailed(); }
  // Bytes of the current file read so far; safe to read from another thread.
  long long BytesRead() const { return lineReader_.BytesRead(); }
  long long FilesStarted() const { return lineReader_.FilesStarted(); }

  bool CheckDateFormat(const std::string& format);
  bool CheckTimestampFormat(const std::string& format);

private:
  LineReader lineReader_;
};

}  // namespace tabrook
