#pragma once
// OCIDefine: the caller's output buffer for one select-list position; each fetch converts the
// column value into it, with indicator, returned length and column return code.

#include "ocilite/api/HandleBase.h"

struct OCIDefine : ocilite::api::HandleBase {
    OCIDefine() : HandleBase(OCI_HTYPE_DEFINE) {}

    ub4 position = 0;  // 1-based
    void* valuep = nullptr;
    sb4 valueSize = 0;
    ub2 dty = 0;
    void* indp = nullptr;
    ub2* rlenp = nullptr;
    ub4* rlenp4 = nullptr;  // OCIDefineByPos2: 32-bit lengths instead
    ub2* rcodep = nullptr;
    ub4 mode = 0;
    ub1 charsetForm = 1;
    ub2 charsetId = 0;
    // OCIDefineArrayOfStruct: bytes from one row's value, indicator, length and return code
    // to the next; 0 means the arrays are packed.
    ub4 valueSkip = 0;
    ub4 indicatorSkip = 0;
    ub4 lengthSkip = 0;
    ub4 returnCodeSkip = 0;
};
