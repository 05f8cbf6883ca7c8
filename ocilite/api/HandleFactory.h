#pragma once
// Creates the handle or descriptor object for an OCI handle or descriptor type.

#include <memory>

#include "ocilite/api/HandleBase.h"

namespace ocilite::api {

// Null for types the library does not allocate explicitly (environment, bind, define ...).
std::unique_ptr<HandleBase> NewHandle(ub4 handleType);
std::unique_ptr<HandleBase> NewDescriptor(ub4 descriptorType);

}  // namespace ocilite::api
