#pragma once
// How values live in SQLite and how they convert. Every Oracle type has one storage form
// whose SQLite ordering is Oracle's ordering:
//   text types          TEXT (UTF-8)
//   NUMBER, FLOAT       BLOB, OraNumber::SortKey (memcmp order = numeric order)
//   BINARY_FLOAT/DOUBLE REAL
//   DATE, TIMESTAMP*    BLOB, 11-byte key of the (UTC for zoned) fields; WITH TIME ZONE adds
//                       2 bytes of offset
//   INTERVAL YM         INTEGER months;  INTERVAL DS  BLOB 12-byte key
//   RAW, LONG RAW, BLOB BLOB;            BFILE        TEXT
// plus Oracle's implicit conversions between values and the checks of storing into a column.

#include <sqlite3.h>
#include <string>

#include "ocilite/engine/SqlType.h"
#include "ocilite/engine/Value.h"
#include "ocilite/types/DatetimeFormat.h"

namespace ocilite {

// The session's NLS settings used by implicit conversions.
struct Nls {
    DatetimeFormat dateFormat;         // NLS_DATE_FORMAT 'DD-MON-RR'
    DatetimeFormat timestampFormat;    // NLS_TIMESTAMP_FORMAT
    DatetimeFormat timestampTzFormat;  // NLS_TIMESTAMP_TZ_FORMAT
    DatetimeFormat dateParse, timestampParse, timestampTzParse;
    int tzMinutes = 0;  // session time zone (the process's local offset)
    static Nls Default();
};

// The kind of value a type holds in a Value.
DatetimeKind DatetimeKindOf(TypeKind k);

// The stored form of a datetime of the given type (see above).
std::string DatetimeStorageKey(const OraTimestamp& t, TypeKind kind);

// SQL literal text of a value's stored form (X'..' for keys, quoted text, numbers).
std::string SqlLiteral(const Value& v, const SqlType& type);

// Stores v (already of the type's value kind, see Coerce) into parameter idx.
void BindStored(sqlite3_stmt* stmt, int idx, const SqlType& type, const Value& v);
// Same, without copying: text is bound in place (v must outlive the next step) and keys are
// built in `buffer`, which must outlive it too. The import's hot path.
void BindStoredInPlace(sqlite3_stmt* stmt, int idx, const SqlType& type, const Value& v, std::string& buffer);
// Sets a function result from v.
void ResultStored(sqlite3_context* ctx, const SqlType& type, const Value& v);
// Reads a stored value back; tolerant of INTEGER/REAL/TEXT where a key was expected (results
// of SQLite's own count() and arithmetic).
Value ReadStored(const SqlType& type, sqlite3_value* v, const Nls& nls);
Value ReadColumn(const SqlType& type, sqlite3_stmt* stmt, int col, const Nls& nls);
// Same, into `out`: text goes into the string `out` already holds, so a fetch loop that reads
// every row into one row of values does not allocate for each text value.
void ReadColumnInto(Value& out, const SqlType& type, sqlite3_stmt* stmt, int col, const Nls& nls);

// Oracle's implicit conversion of v to the value kind of `target` (ORA-01722, ORA-01858...,
// ORA-00932 for types that do not convert).
Value Coerce(const Value& v, const SqlType& target, const Nls& nls);

// Text of a value as TO_CHAR without a format gives it (NLS formats for datetimes).
std::string ValueToText(const Value& v, const Nls& nls);

// The Oracle name of a value's type, for ORA-00932 texts.
const char* ValueTypeName(const Value& v);

// Number of characters in UTF-8 text.
size_t Utf8Length(std::string_view s);

// What storing into a column checks and does: NOT NULL, length, precision and scale,
// blank padding, fractional-second rounding.
struct ColumnTarget {
    std::string owner, table, column;
    SqlType type;
    bool notNull = false;
};
Value FitColumn(Value v, const ColumnTarget& col, bool update);
// The number FitColumn stores into a NUMBER or FLOAT column of type t (rounding, ORA-01438).
OraNumber FitNumber(const OraNumber& n, const SqlType& t);
// The length check of FitColumn for VARCHAR2 / NVARCHAR2 text (ORA-12899).
void CheckVarcharLength(const std::string& bytes, const ColumnTarget& col);

// "ORA-01400: cannot insert NULL into (...)" and friends need quoted names.
std::string QuotedPath(const ColumnTarget& col);

}  // namespace ocilite
