#pragma once
// Declares every OCI entry point of the shared list with default visibility, so that the
// library (built with -fvisibility=hidden) exports exactly these names. Each definition in
// this folder must match its declaration here: a drifted signature is a compile error, because
// two C-linkage functions of one name cannot have different types.

#include "ociabi/OciTypes.h"

#define OCILITE_EXPORT __attribute__((visibility("default")))

extern "C" {
#define OCI_FUNCTION(ret, name, params) OCILITE_EXPORT ret name params;
#include "ociabi/OciFunctions.def"
#undef OCI_FUNCTION
}

#include "ociabi/OciApi.h"
