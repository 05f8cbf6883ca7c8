#pragma once
// What the program knows of each Oracle column type, in one table keyed by the type code the
// describe reports (after the national-character remap of DataAttr.h): its name, how the
// cursor fetches it, how an export writes it, how an import binds it. Code that needs to know
// a type looks its kind up here rather than switching on codes.

#include <cstdint>
#include <string_view>

namespace tabrook {

// How an import binds a field for a column of this kind.
enum class ImportClass : std::uint8_t {
    Skipped,      // the column takes no field (LONG RAW, ROWID, LOBs without LOB data, no column)
    Date,         // TO_DATE(:c, DateFmt)
    Timestamp,    // TO_TIMESTAMP(:c, TimestampFmt)
    TimestampTz,  // TO_TIMESTAMP_TZ(:c, TimestampFmt)
    IntervalYM,   // TO_YMINTERVAL(:c)
    IntervalDS,   // TO_DSINTERVAL(:c)
    National,     // TRANSLATE(:c USING NCHAR_CS)
    Plain,        // the text as it is
};

// How the cursor defines a fetched column of this kind.
enum class FetchAs : std::uint8_t {
    Text,        // into a text buffer of the given external type
    Descriptor,  // into a datetime or interval descriptor
    Locator,     // into a LOB locator
};

struct ColumnKind {
    int Code = 0;                   // the type code (0: a type the table does not know)
    std::string_view Name;          // the type's name as the grid shows it
    bool Known = false;             // the cursor can fetch it
    bool SizeSuffix = true;         // the grid's type text carries its size, e.g. VARCHAR2(20)
    bool TextLike = false;          // an export writes its values between delimiters
    bool Lob = false;               // fetched through a LOB locator (CLOB, NCLOB, BLOB, BFILE)
    bool LobData = false;           // with LOB data on, its contents travel in the file
    bool National = false;          // national character set: converted on the way in and out
    bool Binary = false;            // raw bytes: BLOB contents travel as hexadecimal
    FetchAs Fetch = FetchAs::Text;  //
    std::uint16_t ExternalType = 0; // the external type of a text define (SQLT_...), or the
                                    // descriptor's or locator's type code
    int FetchBytes = -1;            // fixed fetch size in bytes, or -1: as the describe says
    std::uint32_t DescriptorType = 0;  // OCI_DTYPE_... of a descriptor fetch, else 0
    ImportClass Import = ImportClass::Plain;
};

// The kind of a type code; a code the table does not know gets a kind with Known false that
// is imported as plain text and exported bare.
const ColumnKind& KindOf(int typeCode);

// The kind of a grid column without a table column: its field is skipped.
const ColumnKind& NoColumnKind();

}  // namespace tabrook
