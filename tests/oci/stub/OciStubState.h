#pragma once
// State of the test-only OCI stub library: statuses forced per function, the calls made, the
// columns a query describes, and what was bound and defined. Tests drive it through the C
// functions declared in OciStubControl.h.

#include <map>
#include <string>
#include <vector>

#include "ociabi/OciTypes.h"

namespace ocistub {

struct Column {
    ub2 type = 1;
    ub2 size = 0;
    sb2 precision = 0;
    sb1 scale = 0;
    ub1 form = 0;
    ub1 nullable = 1;
    std::string name;
    ub2 charSize = 0;  // OCI_ATTR_CHAR_SIZE; 0 answers the attribute with an error
};

struct Define {
    ub4 position = 0;
    ub2 dty = 0;
    sb4 size = 0;
    void* value = nullptr;
    sb2* indicator = nullptr;
};

struct State {
    std::map<std::string, int> forced;
    std::vector<std::string> calls;
    int errorCode = 0;
    std::string errorText;
    std::vector<Column> columns;
    std::vector<Define> defines;
    std::vector<std::string> binds;
    std::string lastLogon;
    int rowsLeft = 0;
    ub2 stmtType = 1;
    int lastIters = -1;
    std::string lastPrepared;
    long initMode = -1;         // the mode of the last OCIInitialize, -1 before any
    std::vector<ub4> attrSets;  // attribute numbers given to OCIAttrSet, in order
    int maxBytesPerChar = 0;    // what OCINlsNumericInfoGet reports (0: it fails)
    ub4 truncatePosition = 0;   // a define whose value every fetch reports as truncated
};

State& Get();
// Logs a call and returns the status forced for it (0 when none).
int Record(const char* name);
// The status forced for a name, when there is one, without logging.
bool Forced(const std::string& name, int& status);

}  // namespace ocistub
