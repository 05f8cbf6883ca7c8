#pragma once
// One bind variable of a cursor, bound by name before every execution.

#include <memory>
#include <string>
#include <vector>

#include "ociabi/OciTypes.h"

namespace tabrook {

// BindType values.
enum BindKind : sb4 {
    kBindText = 1,
    kBindInteger = 2,
    kBindDate = 3,
    kBindDouble = 4,
    kBindFloat = 5,
    kBindRowid = 6,
    kBindBlob = 7,
    kBindClob = 8,
    kBindBFile = 9,
};

struct BindAttr {
    std::string Name;  // as written in the statement, colon included
    sb4 BindType = kBindText;
    bool IsNull = false;  // kinds 1 to 5: bind NULL
    // The value of each kind; only the one matching BindType is used.
    std::string Text;
    sb4 Integer = 0;
    OCIDate Date{};
    double Double = 0;
    float Float = 0;
    OCIRowid* Rowid = nullptr;      // kind 6: a rowid descriptor
    OCILobLocator** Lob = nullptr;  // kinds 7 to 9: a LOB component's locator (GetLobLocator)
};

using BindList = std::vector<std::unique_ptr<BindAttr>>;

// Appends a text bind with the given name and value; NULL unless notNull.
BindAttr& AddBind(BindList& binds, const std::string& name, const std::string& text, bool notNull);

}  // namespace tabrook
