#pragma once
// Handles and descriptors the library accepts and frees but gives no behaviour of their own
// (server, session, transaction, describe, authentication info, session pool, snapshot ...).

#include "ocilite/api/HandleBase.h"

namespace ocilite::api {

struct OpaqueHandle : HandleBase {
    explicit OpaqueHandle(ub4 handleType) : HandleBase(handleType) {}
};

}  // namespace ocilite::api
