#include "oci/BindAttr.h"

namespace tabrook {

BindAttr& AddBind(BindList& binds, const std::string& name, const std::string& text, bool notNull) {
    auto bind = std::make_unique<BindAttr>();
    bind->Name = name;
    bind->BindType = kBindText;
    bind->Text = text;
    bind->IsNull = !notNull;
    binds.push_back(std::move(bind));
    return *binds.back();
}

}  // namespace tabrook
