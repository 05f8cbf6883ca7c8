#pragma once
// LOB contents in CSV files (the LobData option): CLOB and NCLOB columns travel as their text,
// BLOB columns as hexadecimal; BFILE columns stay placeholders. Export reads each LOB column
// of a row through a LOB component of its own; import writes each field into a temporary LOB
// in pieces and binds it into the INSERT. The helpers here keep memory flat: buffers are
// reused from row to row and a LOB is never held more than once on the way to the file.

#include <functional>
#include <memory>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "oci/TOCI8Cur.h"
#include "oci/TOCI8Lob.h"

namespace tabrook {

// Upper-case hexadecimal of bytes, appended to out.
void AppendHex(std::string& out, std::string_view bytes);
// Decodes hexadecimal (either case) into out; false for an odd length or a non-hex digit.
bool DecodeHex(std::string_view text, std::string& out);

// An output stream buffer that appends to a string.
class StringSink : public std::streambuf {
public:
    explicit StringSink(std::string& target) : target_(target) {}

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int_type overflow(int_type c) override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

private:
    std::string& target_;
};

// An input stream buffer over bytes held elsewhere (no copy).
class ViewSource : public std::streambuf {
public:
    explicit ViewSource(std::string_view bytes);

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;
};

// Export side: lends the cursor one LOB component per LOB column of the query (one shared
// component would leave every column but the last without its value) and reads them back.
// Installs its handler on construction when enabled and restores the previous one at the end.
class ExportLobs {
public:
    ExportLobs(TOCI8Cur& cursor, bool enabled);
    ~ExportLobs();
    ExportLobs(const ExportLobs&) = delete;
    ExportLobs& operator=(const ExportLobs&) = delete;

    bool Enabled() const { return enabled_; }
    // Reads the whole content of column i of the current row into out (emptied first).
    // Throws TOCIException when the LOB cannot be read.
    void ReadColumn(std::size_t i, std::string& out);

private:
    TOCI8Cur& cursor_;
    bool enabled_;
    std::function<bool(DataAttr&, sb4, TOCI8Lob*&)> previous_;
    std::vector<std::unique_ptr<TOCI8Lob>> lobs_;  // by column index
};

// Import side: one temporary LOB per bound LOB column, bound by locator.
class ImportLob {
public:
    ImportLob(TOCI8Ctrl& session, int typeCode);
    ~ImportLob();
    ImportLob(const ImportLob&) = delete;
    ImportLob& operator=(const ImportLob&) = delete;

    // Sets the bind to this LOB's locator (BLOB or CLOB kind).
    void Attach(BindAttr& bind);
    // Fills the LOB from one CSV field: CLOB text as it stands, BLOB from hexadecimal. An empty
    // field binds NULL. False with the reason in error when the field cannot be taken.
    bool Fill(std::string_view field, std::string& error);

private:
    TOCI8Lob lob_;
    int typeCode_;
    std::string bytes_;  // decoded BLOB bytes, reused from line to line
};

}  // namespace tabrook
