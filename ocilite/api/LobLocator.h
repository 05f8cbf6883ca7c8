#pragma once
// OCILobLocator: a CLOB/BLOB (OCI_DTYPE_LOB) or BFILE (OCI_DTYPE_FILE) locator. A fetch of a
// LOB column fills it with the engine's reference to the value; the LOB services read it.

#include <string>

#include "ocilite/api/HandleBase.h"
#include "ocilite/engine/Value.h"

struct OCILobLocator : ocilite::api::HandleBase {
    explicit OCILobLocator(ub4 descriptorType) : HandleBase(descriptorType) {}
    ocilite::LobRefValue ref;
    bool hasValue = false;
    // BFILE directory alias and file name set with OCILobFileSetName.
    std::string directory;
    std::string fileName;
};
