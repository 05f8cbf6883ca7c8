#pragma once
// The text of a CLOB or NCLOB as a client sees it through a locator: in the client character
// set, as every other text crossing the C API. A locator keeps a character LOB's content in
// the client's set, converted once when a fetch fills the locator and converted back when the
// locator is bound, so that OCILobRead, OCILobWrite, their offsets and lengths all work on the
// client's bytes. BLOBs and BFILEs are bytes and never converted. A UTF-8 client needs nothing.

#include "ocilite/engine/Value.h"

namespace ocilite::api {

// A fetched LOB value becomes the content of a client's locator.
void ToClientLob(LobRefValue& lob);
// The content of a client's locator as the database stores it.
LobRefValue ToDatabaseLob(const LobRefValue& lob);

}  // namespace ocilite::api
