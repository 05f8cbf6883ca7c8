#pragma once
// One SQL value as the engine hands it across: what a bind variable carries in, what a fetched
// column carries out. The OCI surface converts between these and OCI's external types.

#include <cstdint>
#include <string>
#include <variant>

#include "ocilite/types/DatetimeFormat.h"
#include "ocilite/types/OraInterval.h"
#include "ocilite/types/OraNumber.h"
#include "ocilite/types/OraTimestamp.h"

namespace ocilite {

// Character data, byte for byte (the engine's character set is UTF-8). An empty text is
// never a value: Oracle turns it into NULL, and so does the engine.
struct TextValue {
    std::string bytes;
    bool national = false;  // NCHAR / NVARCHAR2 / NCLOB data (charset form 2)
    // Bound as fixed-length character data (OCI's SQLT_AFC): compared with a CHAR column it
    // takes blank-padded semantics, as a CHAR value does; otherwise it is plain text.
    bool fixedChar = false;
};

// Binary data (RAW, LONG RAW, BLOB contents).
struct RawValue {
    std::string bytes;
};

// DATE, TIMESTAMP, TIMESTAMP WITH TIME ZONE, TIMESTAMP WITH LOCAL TIME ZONE.
// DatetimeKind (Date, Timestamp, TimestampTz, TimestampLtz) comes from DatetimeFormat.h, so
// one enum serves the format models and the values.
struct DatetimeValue {
    DatetimeKind kind = DatetimeKind::Date;
    OraTimestamp value{};
};

struct BinaryFloatValue {
    float value = 0;
};
struct BinaryDoubleValue {
    double value = 0;
};

// A row address: the physical identity of a row as ROWID shows it (18 characters).
struct RowidValue {
    std::string text;
};

// A reference to a LOB column value of one row; the LOB services read and write through it.
struct LobRefValue {
    uint16_t lobType = 0;  // 112 CLOB, 113 BLOB, 114 BFILE (SQLT codes)
    bool national = false;
    std::string locator;  // opaque to callers
};

using Value = std::variant<std::monostate, TextValue, OraNumber, DatetimeValue, OraIntervalYM, OraIntervalDS, RawValue,
                           BinaryFloatValue, BinaryDoubleValue, RowidValue, LobRefValue>;

inline bool IsNull(const Value& v) {
    return std::holds_alternative<std::monostate>(v);
}

}  // namespace ocilite
