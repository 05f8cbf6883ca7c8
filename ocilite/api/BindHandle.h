#pragma once
// OCIBind: one placeholder's external buffer as the caller described it. Nothing is copied at
// bind time: the buffer is read and converted when the statement executes, as OCI does.

#include <string>

#include "ocilite/api/HandleBase.h"

struct OCIBind : ocilite::api::HandleBase {
    OCIBind() : HandleBase(OCI_HTYPE_BIND) {}

    std::string placeholder;  // as written by the caller (by name), empty when bound by position
    ub4 position = 0;         // 1-based (by position), 0 when bound by name
    int engineIndex = -1;     // index into the engine statement's bind list, -1 until resolved

    void* valuep = nullptr;
    sb4 valueSize = 0;
    ub2 dty = 0;
    void* indp = nullptr;
    ub2* alenp = nullptr;
    ub4* alenp4 = nullptr;  // OCIBindByPos2/ByName2: 32-bit lengths instead
    ub2* rcodep = nullptr;
    ub4 maxArrayLength = 0;
    ub4* currentElements = nullptr;
    ub4 mode = 0;
    ub1 charsetForm = 1;  // SQLCS_IMPLICIT; SQLCS_NCHAR sends national character data
    ub2 charsetId = 0;
    ub4 maxDataSize = 0;
    // OCIBindArrayOfStruct: bytes from one iteration's value, indicator, length and return
    // code to the next; 0 means the arrays are packed (the element's own size).
    ub4 valueSkip = 0;
    ub4 indicatorSkip = 0;
    ub4 lengthSkip = 0;
    ub4 returnCodeSkip = 0;
};
