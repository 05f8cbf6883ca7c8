// Fuzzes the type table with arbitrary described columns: remap, sizing, masks and the record
// builder must never crash, and what they build must keep the buffer and mask invariants.

#include <cstdint>
#include <cstring>
#include <string>

#include "oci/DataAttr.h"
#include "oci/TOCI8Func.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tabrook;
    describe d;
    const size_t fixed = sizeof d.DataSize + sizeof d.DataType + sizeof d.Precision + sizeof d.Scale + sizeof d.NullOk +
                         sizeof d.CharSetForm;
    if (size < fixed) return 0;
    std::memcpy(&d.DataSize, data, 2);
    std::memcpy(&d.DataType, data + 2, 2);
    std::memcpy(&d.Precision, data + 4, 2);
    std::memcpy(&d.Scale, data + 6, 1);
    d.NullOk = data[7];
    d.CharSetForm = data[8];
    const size_t nameLen = std::min(size - fixed, sizeof d.Name - 1);
    std::memcpy(d.Name, data + fixed, nameLen);
    d.NameLen = static_cast<ub4>(nameLen);

    RemapDescribedType(d);
    if (!SizeForFetch(d)) return 0;
    static TOCI8Func inactive;  // descriptor columns throw: no library is loaded
    try {
        auto attr = BuildColumnRecord(d, inactive);
        if (attr->Format.size() > 65) __builtin_trap();
        if (attr->BufSize >= 1 && attr->Buffer.size() != static_cast<size_t>(attr->BufSize) + 1) __builtin_trap();
        if (!attr->Name.empty() && static_cast<unsigned char>(attr->Name.back()) <= ' ') __builtin_trap();
    } catch (const TOCIException&) {
        if (d.DataType != 187 && d.DataType != 188 && d.DataType != 189 && d.DataType != 190 && d.DataType != 232) {
            __builtin_trap();
        }
    }
    const int digits = static_cast<int8_t>(data[4]);
    const std::string mask = ComputedNumberMask(digits, (data[5] & 1) != 0);
    if (mask.rfind("FM", 0) != 0) __builtin_trap();
    return 0;
}
