#pragma once
// OCILobLocator: a CLOB/BLOB (OCI_DTYPE_LOB) or BFILE (OCI_DTYPE_FILE) locator. A fetch of a
// LOB column fills it with the value (the content travels with the locator); a temporary LOB
// holds its own content; a BFILE locator names a directory object and a file.

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "ocilite/api/HandleBase.h"
#include "ocilite/engine/Value.h"

struct OCILobLocator : ocilite::api::HandleBase {
    explicit OCILobLocator(ub4 descriptorType) : HandleBase(descriptorType) {}
    // ref.locator holds the content of a CLOB or BLOB, "DIRECTORY\0file" for a BFILE.
    ocilite::LobRefValue ref;
    bool hasValue = false;
    // Created by OCILobCreateTemporary: the only kind of LOB this engine lets a client change
    // (a selected LOB's row is never locked, as with Oracle without FOR UPDATE).
    bool temporary = false;
    bool buffering = false;
    // OCILobOpen ... OCILobClose of an internal LOB.
    bool opened = false;
    // A piecewise OCILobWrite in progress: where it writes (a 1-based offset, in characters for
    // a CLOB) and the client bytes received so far, stored whole once the last piece is in.
    bool writingPieces = false;
    size_t writeOffset = 0;
    std::string pendingPieces;
    // A polling OCILobRead in progress: the byte offset of its next piece in the content (or
    // file) and how many characters (bytes for a BLOB or BFILE) it still wants.
    bool readingPieces = false;
    size_t readAt = 0;
    uint64_t readLeft = 0;
    // What is known of a CLOB's characters, so that calls at growing offsets and repeated
    // length queries do not count the content from its start each time: markChars characters
    // lie before byte markBytes; the content holds charLength characters (kUnknown: not
    // counted yet). Forgotten whenever the content changes.
    static constexpr uint64_t kUnknown = UINT64_MAX;
    uint64_t markChars = 0;
    size_t markBytes = 0;
    uint64_t charLength = kUnknown;
    void ForgetCharacters() {
        markChars = 0;
        markBytes = 0;
        charLength = kUnknown;
    }
    // BFILE directory alias and file name (OCILobFileSetName, BFILENAME, a fetch).
    std::string directory;
    std::string fileName;
    // The open BFILE (OCILobFileOpen ... OCILobFileClose).
    std::unique_ptr<std::ifstream> file;
};
