#pragma once
// The description of one select-list column as OCI reports it (describe), the column record the
// cursor keeps for it (DataAttr), and the type table that turns one into the other.

#include <memory>
#include <string>
#include <vector>

#include "ociabi/OciTypes.h"

namespace tabrook {

class TOCI8Func;

// What DescrCur reads for one column. Each attribute is read into a variable of the width OCI
// writes for it (precision is 2 bytes in a select-list describe) and then stored here.
struct describe {
    ub2 DataSize = 0;
    ub2 DataType = 0;
    char Name[256] = {};
    ub4 NameLen = 0;
    sb2 Precision = 0;
    sb1 Scale = 0;
    ub1 NullOk = 0;
    ub1 CharSetForm = 0;
    ub2 CharSetID = 0;
    ub2 CharSize = 0;  // the column's length in characters (0 when the client does not tell)
};

// Type codes beyond OCI's own: national character columns after the charset-form remap.
inline constexpr int kTypeNVarchar2 = 9009;
inline constexpr int kTypeNChar = 9096;
inline constexpr int kTypeNClob = 9112;

struct DataAttr {
    std::string Name;
    std::string TypeName;
    std::string Format;
    sb4 DataType = 0;
    sb4 Precision = 0;
    sb4 Scale = 0;
    sb2 Indicator = 0;
    ub2 RetLen = 0;
    sb4 BufSize = 0;
    ub1 CharSetForm = 0;
    ub2 CharSetID = 0;
    // Value bytes of the plain types (BufSize + 1 bytes, empty when BufSize < 1).
    std::vector<ub1> Buffer;
    // The datetime or interval descriptor of TIMESTAMP, TIMESTAMP TZ/LTZ, INTERVAL YM/DS columns.
    void* Descriptor = nullptr;

    // OCI descriptor type of Descriptor for this column's type, 0 when it has none.
    ub4 DescriptorType() const;
};

// Remaps a described type: FLOAT from NUMBER, national character types from the charset form.
void RemapDescribedType(describe& d);
// Applies the buffer size of the type table to d.DataSize; false for a type that cannot be fetched.
bool SizeForFetch(describe& d);
// The mask of a NUMBER with declared precision (p = precision minus scale, s = scale); empty when
// the column has none or the mask would be longer than 65 characters.
std::string DeclaredNumberMask(int p, int s);
// The mask used for a number without a declared mask, from its integer digits.
std::string ComputedNumberMask(int digits, bool hasFraction);
// The bytes a text column's value takes in the client's character set: its length in
// characters (CharSize, else from DataSize: national columns describe two bytes a character)
// times maxBytesPerChar, and never less than DataSize.
ub4 ClientTextBytes(const describe& d, int maxBytesPerChar);
// Builds the column record; the descriptor of a datetime or interval column comes from oci.
std::unique_ptr<DataAttr> BuildColumnRecord(const describe& d, TOCI8Func& oci);
// Name with trailing blanks and control characters removed.
std::string TrimColumnName(const std::string& name);

}  // namespace tabrook
