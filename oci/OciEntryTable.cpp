#include "oci/OciEntryTable.h"

#include <cstring>

#include "oci/OciLibrary.h"

namespace tabrook {

void OciEntryTable::Resolve(const OciLibrary& library) {
#define OCI_FUNCTION(ret, name, params) name = reinterpret_cast<oci_fn::name>(library.Symbol(#name));
#define OCI_EXTRA_FUNCTION(ret, name, params)
#include "ociabi/OciFunctions.def"
#undef OCI_EXTRA_FUNCTION
#undef OCI_FUNCTION
}

const void* OciEntryTable::At(std::size_t i) const {
    std::size_t index = 0;
#define OCI_FUNCTION(ret, name, params) \
    if (index++ == i) return reinterpret_cast<const void*>(name);
#define OCI_EXTRA_FUNCTION(ret, name, params)
#include "ociabi/OciFunctions.def"
#undef OCI_EXTRA_FUNCTION
#undef OCI_FUNCTION
    return nullptr;
}

const void* OciEntryTable::ByName(const char* name) const {
    for (std::size_t i = 0; i < kOciEntryCount; ++i) {
        if (std::strcmp(kOciEntryNames[i], name) == 0) return At(i);
    }
    return nullptr;
}

}  // namespace tabrook
