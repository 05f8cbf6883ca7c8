#pragma once
// The Oracle type of a column or expression: what the catalog keeps for a declared column,
// what the translator tracks for each expression, and what describe reports for it.

#include <cstdint>
#include <string>

#include "ocilite/engine/Ast.h"
#include "ocilite/engine/Engine.h"

namespace ocilite {

enum class TypeKind : uint8_t {
    Unknown,  // NULL literal or a bind with no context
    Varchar,
    Char,
    Long,
    Clob,
    Number,
    BinaryFloat,
    BinaryDouble,
    Date,
    Timestamp,
    TimestampTz,
    TimestampLtz,
    IntervalYM,
    IntervalDS,
    Raw,
    LongRaw,
    Blob,
    Bfile,
    Rowid,
};

struct SqlType {
    TypeKind kind = TypeKind::Unknown;
    bool national = false;  // NCHAR, NVARCHAR2, NCLOB, N'' literals
    bool isFloat = false;   // FLOAT(b): precision is binary
    bool literal = false;   // a text literal (blank-padded comparison with CHAR)
    int length = 0;         // declared length (characters or bytes, see charSemantics)
    bool charSemantics = false;
    int precision = 0;        // NUMBER precision (0 = none), FLOAT binary precision,
                              // interval leading precision
    int scale = 0;            // NUMBER scale, fractional-second precision
    bool scaleGiven = false;  // NUMBER(p,s) / NUMBER(*,s) as opposed to NUMBER / NUMBER(p)

    bool IsText() const {
        return kind == TypeKind::Varchar || kind == TypeKind::Char || kind == TypeKind::Long || kind == TypeKind::Clob;
    }
    bool IsDatetime() const {
        return kind == TypeKind::Date || kind == TypeKind::Timestamp || kind == TypeKind::TimestampTz ||
               kind == TypeKind::TimestampLtz;
    }
    bool IsNumeric() const {
        return kind == TypeKind::Number || kind == TypeKind::BinaryFloat || kind == TypeKind::BinaryDouble;
    }
    bool IsLob() const { return kind == TypeKind::Clob || kind == TypeKind::Blob || kind == TypeKind::Bfile; }

    static SqlType Of(TypeKind k) {
        SqlType t;
        t.kind = k;
        return t;
    }
    static SqlType Text(int length = 4000, bool national = false) {
        SqlType t;
        t.kind = TypeKind::Varchar;
        t.length = length;
        t.national = national;
        return t;
    }
};

// A declared type from CREATE TABLE / CAST; throws ORA-00910, ORA-01727, ORA-01728,
// ORA-30088 ... for limits Oracle enforces.
SqlType TypeFromSpec(const TypeSpec& declared);

// The type name USER_TAB_COLUMNS shows ("VARCHAR2", "NUMBER", "TIMESTAMP(6)" ...).
std::string TypeName(const SqlType& t);

// Describe fields (type code, sizes, precision, scale, charset form) as Oracle reports them for
// a select-list column of this type.
void Describe(const SqlType& t, ColumnInfo& info);

// Catalog round trip: a compact text form kept in the engine's own catalog tables.
std::string EncodeType(const SqlType& t);
SqlType DecodeType(const std::string& text);

}  // namespace ocilite
