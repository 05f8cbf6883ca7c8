#pragma once
// The table of OCI entry points, one typed pointer per function of ociabi/OciFunctions.def, in its
// order. An entry is null when the loaded library does not export the name.

#include "ociabi/OciApi.h"

namespace tabrook {

class OciLibrary;

struct OciEntryTable {
#define OCI_FUNCTION(ret, name, params) oci_fn::name name = nullptr;
#define OCI_EXTRA_FUNCTION(ret, name, params)
#include "ociabi/OciFunctions.def"
#undef OCI_EXTRA_FUNCTION
#undef OCI_FUNCTION

    // Looks every name up in table order.
    void Resolve(const OciLibrary& library);
    void Clear() {
        *this = OciEntryTable{};
    }
    // The entry at table index i (0-based), as an untyped address, for checks by name.
    const void* At(std::size_t i) const;
    const void* ByName(const char* name) const;
};

}  // namespace tabrook
