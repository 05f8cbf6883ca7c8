#pragma once
// TOCI8Base: the common base of the components that work through a connection (the cursor and
// the LOB component). Keeps the child's own last error (read through ErrMsg, ErrCode and
// LastError); its operations never throw.

#include <string>

#include "oci/OciError.h"
#include "ociabi/OciTypes.h"

namespace tabrook {

class TOCI8Ctrl;

class TOCI8Base : public OciErrorHolder {
public:
    TOCI8Base() = default;
    virtual ~TOCI8Base() = default;
    TOCI8Base(const TOCI8Base&) = delete;
    TOCI8Base& operator=(const TOCI8Base&) = delete;

    // Moves this child to another connection (null detaches it).
    virtual void SetParent(TOCI8Ctrl* parent);
    TOCI8Ctrl* OCIParent() const { return parent_; }

    // Closes what the child holds open. The base has nothing to close and answers false.
    virtual bool CleanUp() { return false; }
    bool AllocHandle();
    bool FreeHandle();
    // True when a connection is set and logged on.
    virtual bool ConnChk();

    OCIStmt* hStmt = nullptr;

protected:
    TOCI8Ctrl* parent_ = nullptr;
};

}  // namespace tabrook
