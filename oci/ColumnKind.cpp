#include "oci/ColumnKind.h"

#include <array>

#include "oci/DataAttr.h"
#include "ociabi/OciTypes.h"

namespace tabrook {

namespace {

using IC = ImportClass;

constexpr ColumnKind Text(int code, std::string_view name, ub4 external, bool textLike, IC import,
                          bool national = false) {
    ColumnKind kind;
    kind.Code = code;
    kind.Name = name;
    kind.Known = true;
    kind.TextLike = textLike;
    kind.National = national;
    kind.ExternalType = static_cast<std::uint16_t>(external);
    kind.Import = import;
    return kind;
}

constexpr ColumnKind Fixed(ColumnKind kind, int fetchBytes) {
    kind.SizeSuffix = false;
    kind.FetchBytes = fetchBytes;
    return kind;
}

constexpr ColumnKind Datetime(int code, std::string_view name, ub4 descriptor, IC import) {
    ColumnKind kind = Text(code, name, static_cast<ub4>(code), true, import);
    kind.Fetch = FetchAs::Descriptor;
    kind.DescriptorType = descriptor;
    return kind;
}

constexpr ColumnKind LobKind(int code, std::string_view name, ub4 locatorType, bool lobData, bool binary,
                             bool national = false) {
    ColumnKind kind = Fixed(Text(code, name, locatorType, false, IC::Skipped, national), 0);
    kind.Fetch = FetchAs::Locator;
    kind.Lob = true;
    kind.LobData = lobData;
    kind.Binary = binary;
    return kind;
}

// RAW is bound as text (the database reads it as hexadecimal) and written bare; LONG RAW and
// ROWID take no field. FLOAT is a NUMBER with a binary precision.
constexpr std::array kKinds = {
    Text(1, "VARCHAR2", SQLT_STR, true, IC::Plain),
    Text(2, "NUMBER", SQLT_VNU, false, IC::Plain),
    Text(4, "FLOAT", SQLT_VNU, false, IC::Plain),
    Fixed(Text(8, "LONG", SQLT_STR, true, IC::Plain), 4000),
    Text(9, "VARCHAR2", SQLT_STR, true, IC::Plain),
    Fixed(Text(12, "DATE", SQLT_ODT, false, IC::Date), 8),
    Text(23, "RAW", SQLT_BIN, false, IC::Plain),
    Fixed(Text(24, "LONG RAW", SQLT_LBI, false, IC::Skipped), 4000),
    Text(96, "CHAR", SQLT_AFC, true, IC::Plain),
    Fixed(Text(104, "ROWID", SQLT_VCS, false, IC::Skipped), 22),
    LobKind(112, "CLOB", SQLT_CLOB, true, false),
    LobKind(113, "BLOB", SQLT_BLOB, true, true),
    LobKind(114, "BFILE", SQLT_BFILEE, false, true),
    Datetime(187, "TIMESTAMP", OCI_DTYPE_TIMESTAMP, IC::Timestamp),
    Datetime(188, "TIMESTAMP TZ", OCI_DTYPE_TIMESTAMP_TZ, IC::TimestampTz),
    Datetime(189, "INTERVAL YM", OCI_DTYPE_INTERVAL_YM, IC::IntervalYM),
    Datetime(190, "INTERVAL DS", OCI_DTYPE_INTERVAL_DS, IC::IntervalDS),
    Datetime(232, "TIMESTAMP LTZ", OCI_DTYPE_TIMESTAMP_LTZ, IC::TimestampTz),
    Text(kTypeNVarchar2, "NVARCHAR2", SQLT_STR, true, IC::National, true),
    Text(kTypeNChar, "NCHAR", SQLT_STR, true, IC::National, true),
    LobKind(kTypeNClob, "NCLOB", SQLT_CLOB, true, false, true),
};

constexpr ColumnKind kUnknown = [] {
    ColumnKind kind;
    kind.Import = IC::Plain;
    return kind;
}();

constexpr ColumnKind kNoColumn = [] {
    ColumnKind kind;
    kind.Code = -1;
    kind.Import = IC::Skipped;
    return kind;
}();

}  // namespace

const ColumnKind& KindOf(int typeCode) {
    if (typeCode == -1) return kNoColumn;
    for (const ColumnKind& kind : kKinds)
        if (kind.Code == typeCode) return kind;
    return kUnknown;
}

const ColumnKind& NoColumnKind() {
    return kNoColumn;
}

}  // namespace tabrook
