// Every OCI entry point as a weak default that logs the call and returns the forced status.
// OciStub.cpp overrides the ones that must do more.

#include "ociabi/OciApi.h"
#include "tests/oci/stub/OciStubState.h"

namespace {
template <class R>
R StubDefault(const char* name) {
    const int status = ocistub::Record(name);
    if constexpr (std::is_same_v<R, void>) {
        (void)status;
    } else if constexpr (std::is_pointer_v<R>) {
        return nullptr;
    } else {
        return static_cast<R>(status);
    }
}
}  // namespace

extern "C" {
#define OCI_FUNCTION(ret, name, params)     \
    __attribute__((weak)) ret name params { \
        return StubDefault<ret>(#name);     \
    }
#include "ociabi/OciFunctions.def"
#undef OCI_FUNCTION
}
