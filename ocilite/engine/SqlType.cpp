#include "ocilite/engine/SqlType.h"

#include <cstdio>
#include <sstream>

#include "ocilite/types/OraError.h"

namespace ocilite {

SqlType TypeFromSpec(const TypeSpec& s) {
    SqlType t;
    const std::string& b = s.base;
    auto needLength = [&](int max, bool chars) {
        if (s.length == 0) throw OraError(1723, "zero-length columns are not allowed");
        int limit = chars && t.charSemantics ? max : max;
        if (s.length > limit) throw OraError(910, "specified length too long for its datatype");
    };
    if (b == "VARCHAR2" || b == "NVARCHAR2" || b == "CHAR" || b == "NCHAR") {
        t.kind = b == "VARCHAR2" || b == "NVARCHAR2" ? TypeKind::Varchar : TypeKind::Char;
        t.national = b[0] == 'N';
        t.length = s.length < 0 ? 1 : s.length;
        t.charSemantics = t.national || s.charSemantics;
        bool isChar = t.kind == TypeKind::Char;
        int max = t.national ? (isChar ? 1000 : 2000) : (isChar ? 2000 : 4000);
        if (s.length >= 0) needLength(max, true);
    } else if (b == "NUMBER") {
        t.kind = TypeKind::Number;
        if (s.precision >= 0) {
            if (s.precision < 1 || s.precision > 38)
                throw OraError(1727, "numeric precision specifier is out of range (1 to 38)");
            t.precision = s.precision;
            t.scaleGiven = true;
            t.scale = 0;
        }
        if (s.starPrecision) t.scaleGiven = true;
        if (s.scale != -1 || s.starPrecision) {
            int sc = s.scale == -1 ? 0 : s.scale;
            if (sc < -84 || sc > 127) throw OraError(1728, "numeric scale specifier is out of range (-84 to 127)");
            t.scale = sc;
            t.scaleGiven = true;
        }
    } else if (b == "FLOAT") {
        t.kind = TypeKind::Number;
        t.isFloat = true;
        if (s.precision < 1 || s.precision > 126)
            throw OraError(1724, "floating point precision is out of range (1 to 126)");
        t.precision = s.precision;
    } else if (b == "DATE") {
        t.kind = TypeKind::Date;
    } else if (b.rfind("TIMESTAMP", 0) == 0) {
        t.kind = b == "TIMESTAMP"                  ? TypeKind::Timestamp
                 : b == "TIMESTAMP WITH TIME ZONE" ? TypeKind::TimestampTz
                                                   : TypeKind::TimestampLtz;
        t.scale = s.scale < 0 ? 6 : s.scale;
        if (t.scale > 9) throw OraError(30088, "datetime/interval precision is out of range");
    } else if (b == "INTERVAL YEAR TO MONTH") {
        t.kind = TypeKind::IntervalYM;
        t.precision = s.precision < 0 ? 2 : s.precision;
        if (t.precision > 9) throw OraError(30088, "datetime/interval precision is out of range");
    } else if (b == "INTERVAL DAY TO SECOND") {
        t.kind = TypeKind::IntervalDS;
        t.precision = s.precision < 0 ? 2 : s.precision;
        t.scale = s.scale < 0 ? 6 : s.scale;
        if (t.precision > 9 || t.scale > 9) throw OraError(30088, "datetime/interval precision is out of range");
    } else if (b == "RAW") {
        t.kind = TypeKind::Raw;
        t.length = s.length;
        needLength(2000, false);
    } else if (b == "LONG") {
        t.kind = TypeKind::Long;
    } else if (b == "LONG RAW") {
        t.kind = TypeKind::LongRaw;
    } else if (b == "CLOB" || b == "NCLOB") {
        t.kind = TypeKind::Clob;
        t.national = b == "NCLOB";
    } else if (b == "BLOB") {
        t.kind = TypeKind::Blob;
    } else if (b == "BFILE") {
        t.kind = TypeKind::Bfile;
    } else if (b == "BINARY_FLOAT") {
        t.kind = TypeKind::BinaryFloat;
    } else if (b == "BINARY_DOUBLE") {
        t.kind = TypeKind::BinaryDouble;
    } else if (b == "ROWID") {
        t.kind = TypeKind::Rowid;
    } else {
        throw OraError(902, "invalid datatype");
    }
    return t;
}

std::string TypeName(const SqlType& t) {
    switch (t.kind) {
        case TypeKind::Varchar: return t.national ? "NVARCHAR2" : "VARCHAR2";
        case TypeKind::Char: return t.national ? "NCHAR" : "CHAR";
        case TypeKind::Long: return "LONG";
        case TypeKind::Clob: return t.national ? "NCLOB" : "CLOB";
        case TypeKind::Number: return t.isFloat ? "FLOAT" : "NUMBER";
        case TypeKind::BinaryFloat: return "BINARY_FLOAT";
        case TypeKind::BinaryDouble: return "BINARY_DOUBLE";
        case TypeKind::Date: return "DATE";
        case TypeKind::Timestamp: return "TIMESTAMP(" + std::to_string(t.scale) + ")";
        case TypeKind::TimestampTz: return "TIMESTAMP(" + std::to_string(t.scale) + ") WITH TIME ZONE";
        case TypeKind::TimestampLtz: return "TIMESTAMP(" + std::to_string(t.scale) + ") WITH LOCAL TIME ZONE";
        case TypeKind::IntervalYM: return "INTERVAL YEAR(" + std::to_string(t.precision) + ") TO MONTH";
        case TypeKind::IntervalDS:
            return "INTERVAL DAY(" + std::to_string(t.precision) + ") TO SECOND(" + std::to_string(t.scale) + ")";
        case TypeKind::Raw: return "RAW";
        case TypeKind::LongRaw: return "LONG RAW";
        case TypeKind::Blob: return "BLOB";
        case TypeKind::Bfile: return "BFILE";
        case TypeKind::Rowid: return "ROWID";
        case TypeKind::Unknown: break;
    }
    return "VARCHAR2";
}

void Describe(const SqlType& t, ColumnInfo& c) {
    c.typeName = TypeName(t);
    c.precision = 0;
    c.scale = 0;
    c.charsetForm = 0;
    c.charsetId = 0;
    c.charUsed = 0;
    c.charSize = 0;
    auto text = [&](uint16_t code) {
        c.dataType = code;
        c.charsetForm = t.national ? 2 : 1;
        c.charsetId = t.national ? 2000 : 873;  // AL16UTF16 / AL32UTF8
        int len = t.length > 0 ? t.length : 4000;
        c.charSize = static_cast<uint16_t>(len);
        if (t.national)
            c.dataSize = static_cast<uint16_t>(len * 2);
        else if (t.charSemantics)
            c.dataSize = static_cast<uint16_t>(std::min(len * 4, 32767));
        else
            c.dataSize = static_cast<uint16_t>(len);
        c.charUsed = t.charSemantics && !t.national ? 1 : 0;
        if (t.national) c.charUsed = 1;
    };
    switch (t.kind) {
        case TypeKind::Unknown:
        case TypeKind::Varchar: text(1); break;
        case TypeKind::Char: text(96); break;
        case TypeKind::Long:
            c.dataType = 8;
            c.dataSize = 0;
            c.charsetForm = 1;
            c.charsetId = 873;
            break;
        case TypeKind::Clob:
            c.dataType = 112;
            c.dataSize = 4000;
            c.charsetForm = t.national ? 2 : 1;
            c.charsetId = t.national ? 2000 : 873;
            break;
        case TypeKind::Number:
            c.dataType = 2;
            c.dataSize = 22;
            if (t.isFloat) {
                c.precision = static_cast<int16_t>(t.precision);
                c.scale = -127;
            } else if (t.precision > 0) {
                c.precision = static_cast<int16_t>(t.precision);
                c.scale = static_cast<int8_t>(t.scale);
            } else if (t.scaleGiven) {
                // NUMBER(*,s) / INTEGER: precision 38 with its scale
                c.precision = 38;
                c.scale = static_cast<int8_t>(t.scale);
            } else {
                c.precision = 0;
                c.scale = -127;
            }
            break;
        case TypeKind::BinaryFloat:
            c.dataType = 100;
            c.dataSize = 4;
            break;
        case TypeKind::BinaryDouble:
            c.dataType = 101;
            c.dataSize = 8;
            break;
        case TypeKind::Date:
            c.dataType = 12;
            c.dataSize = 7;
            break;
        case TypeKind::Timestamp:
            c.dataType = 187;
            c.dataSize = 11;
            c.scale = static_cast<int8_t>(t.scale);
            break;
        case TypeKind::TimestampTz:
            c.dataType = 188;
            c.dataSize = 13;
            c.scale = static_cast<int8_t>(t.scale);
            break;
        case TypeKind::TimestampLtz:
            c.dataType = 232;
            c.dataSize = 11;
            c.scale = static_cast<int8_t>(t.scale);
            break;
        case TypeKind::IntervalYM:
            c.dataType = 189;
            c.dataSize = 5;
            c.precision = static_cast<int16_t>(t.precision);
            break;
        case TypeKind::IntervalDS:
            c.dataType = 190;
            c.dataSize = 11;
            c.precision = static_cast<int16_t>(t.precision);
            c.scale = static_cast<int8_t>(t.scale);
            break;
        case TypeKind::Raw:
            c.dataType = 23;
            c.dataSize = static_cast<uint16_t>(t.length);
            break;
        case TypeKind::LongRaw:
            c.dataType = 24;
            c.dataSize = 0;
            break;
        case TypeKind::Blob:
            c.dataType = 113;
            c.dataSize = 4000;
            break;
        case TypeKind::Bfile:
            c.dataType = 114;
            c.dataSize = 530;
            break;
        case TypeKind::Rowid:
            c.dataType = 104;
            c.dataSize = 10;
            break;
    }
}

std::string EncodeType(const SqlType& t) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d %d %d %d %d %d %d %d", static_cast<int>(t.kind), t.national ? 1 : 0,
                  t.isFloat ? 1 : 0, t.length, t.charSemantics ? 1 : 0, t.precision, t.scale, t.scaleGiven ? 1 : 0);
    return buf;
}

SqlType DecodeType(const std::string& text) {
    std::istringstream in(text);
    int kind = 0, national = 0, isFloat = 0, charSem = 0, scaleGiven = 0;
    SqlType t;
    in >> kind >> national >> isFloat >> t.length >> charSem >> t.precision >> t.scale >> scaleGiven;
    t.kind = static_cast<TypeKind>(kind);
    t.national = national;
    t.isFloat = isFloat;
    t.charSemantics = charSem;
    t.scaleGiven = scaleGiven;
    return t;
}

}  // namespace ocilite
