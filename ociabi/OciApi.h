#pragma once
// The OCI entry points as C declarations and as function-pointer types.

#include "ociabi/OciTypes.h"

extern "C" {
#define OCI_FUNCTION(ret, name, params) ret name params;
#include "ociabi/OciFunctions.def"
#undef OCI_FUNCTION
}

namespace oci_fn {
// oci_fn::OCIStmtFetch is the pointer type of OCIStmtFetch, and so on.
#define OCI_FUNCTION(ret, name, params) using name = ret(*) params;
#include "ociabi/OciFunctions.def"
#undef OCI_FUNCTION
}  // namespace oci_fn

// The names of the functions, in entry-table order (73 names); the extra ones are not in it.
inline constexpr const char* kOciEntryNames[] = {
#define OCI_FUNCTION(ret, name, params) #name,
#define OCI_EXTRA_FUNCTION(ret, name, params)
#include "ociabi/OciFunctions.def"
#undef OCI_EXTRA_FUNCTION
#undef OCI_FUNCTION
};
inline constexpr std::size_t kOciEntryCount = sizeof(kOciEntryNames) / sizeof(kOciEntryNames[0]);
static_assert(kOciEntryCount == 73, "73 entry points");
inline constexpr const char* kOciLevelProbeName = "OCISessionPoolCreate";
