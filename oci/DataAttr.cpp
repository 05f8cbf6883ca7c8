#include "oci/DataAttr.h"

#include <algorithm>

#include "oci/ColumnKind.h"
#include "oci/TOCI8Func.h"

namespace tabrook {

namespace {

const char* TypeNameOf(int code) {
    const ColumnKind& kind = KindOf(code);
    return kind.Known ? kind.Name.data() : nullptr;
}

std::string Nines(int count) {
    return std::string(count > 0 ? static_cast<std::size_t>(count) : 0u, '9');
}

}  // namespace

ub4 DataAttr::DescriptorType() const {
    return KindOf(DataType).DescriptorType;
}

void RemapDescribedType(describe& d) {
    if (d.DataType == 2 && d.Scale == -127 && d.Precision > 0) d.DataType = 4;
    if (d.CharSetForm == SQLCS_NCHAR) {
        if (d.DataType == 1 || d.DataType == 9)
            d.DataType = kTypeNVarchar2;
        else if (d.DataType == 96)
            d.DataType = kTypeNChar;
        else if (d.DataType == 112)
            d.DataType = kTypeNClob;
    }
}

bool SizeForFetch(describe& d) {
    const ColumnKind& kind = KindOf(d.DataType);
    if (!kind.Known) return false;
    if (kind.FetchBytes >= 0) d.DataSize = static_cast<ub2>(kind.FetchBytes);
    return true;
}

std::string DeclaredNumberMask(int p, int s) {
    std::string mask;
    if (s > 0) {
        mask = "FM" + Nines(p) + ".0" + Nines(s - 1);
    } else if (p != 0) {
        mask = "FM" + Nines(p);
    }
    if (mask.size() > 65) mask.clear();
    return mask;
}

std::string ComputedNumberMask(int digits, bool hasFraction) {
    if (digits > 40 || digits < -4) return "FM0D999999999999999999999999999999999999999EEEE";
    if (digits < 0) return "FM0D999999999999999999999999999999999999999";
    if (hasFraction) return "FM" + Nines(digits) + "D" + Nines(40 - digits);
    return "FM" + Nines(digits);
}

std::string TrimColumnName(const std::string& name) {
    std::size_t end = name.size();
    while (end > 0 && static_cast<unsigned char>(name[end - 1]) <= ' ') --end;
    return name.substr(0, end);
}

ub4 ClientTextBytes(const describe& d, int maxBytesPerChar) {
    const bool national = KindOf(d.DataType).National && !KindOf(d.DataType).Lob;
    const ub4 chars = d.CharSize > 0 ? d.CharSize : national ? d.DataSize / 2u : d.DataSize;
    return std::max<ub4>(d.DataSize, chars * static_cast<ub4>(std::max(maxBytesPerChar, 1)));
}

std::unique_ptr<DataAttr> BuildColumnRecord(const describe& d, TOCI8Func& oci) {
    auto attr = std::make_unique<DataAttr>();
    attr->BufSize = d.DataSize;
    switch (d.DataType) {
        case 1:
        case 96:
        case kTypeNVarchar2:
        case kTypeNChar:
            attr->BufSize = static_cast<sb4>(
                ClientTextBytes(d, oci.Activated ? oci.ClientMaxBytesPerChar() : TOCI8Func::kDefaultMaxBytesPerChar));
            break;
        default: break;
    }
    const int code = d.DataType;
    const int precision = d.Precision;
    const int scale = d.Scale;
    const int size = d.DataSize;
    if (const char* name = TypeNameOf(code)) {
        attr->DataType = code;
        attr->TypeName = name;
    } else {
        attr->DataType = 0;
        attr->TypeName = "Unknown";
    }
    switch (code) {
        case 1:
        case 9:
        case 23:
        case 96:
        case kTypeNVarchar2:
        case kTypeNChar: attr->Precision = size; break;
        case 2:
        case 189:
        case 190:
            attr->Precision = precision - scale;
            attr->Scale = scale;
            break;
        case 4: attr->Precision = precision; break;
        case 8: attr->Precision = 4000; break;
        case 187:
        case 188:
        case 232: attr->Precision = scale; break;
        case 12:
        case 24:
        case 104:
        case 112:
        case 113:
        case 114:
        case kTypeNClob: break;
        default: attr->Precision = size; break;
    }
    if (code == 2) attr->Format = DeclaredNumberMask(attr->Precision, attr->Scale);
    attr->Name = TrimColumnName(std::string(d.Name, d.NameLen < sizeof d.Name ? d.NameLen : sizeof d.Name - 1));
    attr->Indicator = d.NullOk;
    attr->CharSetForm = d.CharSetForm;
    attr->CharSetID = d.CharSetID;
    if (const ub4 type = attr->DescriptorType(); type != 0) {
        attr->Descriptor = oci.DescAlloc(type);
    } else if (attr->BufSize >= 1) {
        attr->Buffer.assign(static_cast<std::size_t>(attr->BufSize) + 1, 0);
    }
    return attr;
}

}  // namespace tabrook
