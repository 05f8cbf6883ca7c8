#include "oci/TOCI8Base.h"

#include "oci/TOCI8Ctrl.h"

namespace tabrook {

void TOCI8Base::SetParent(TOCI8Ctrl* parent) {
    if (parent_ != nullptr) parent_->CtrlFree(this);
    parent_ = parent;
    if (parent_ != nullptr && !parent_->CtrlBind(this)) parent_ = nullptr;
}

bool TOCI8Base::ConnChk() {
    ClearError();
    if (parent_ == nullptr) {
        SetError(-1, "TOCI8Ctrlが指定されていません");
        return false;
    }
    if (!parent_->Connected) {
        SetError(-1, "接続されていません");
        return false;
    }
    return true;
}

bool TOCI8Base::AllocHandle() {
    if (!ConnChk()) return false;
    void* stmt = nullptr;
    sword status = parent_->Entries().OCIHandleAlloc(parent_->hEnv, &stmt, OCI_HTYPE_STMT, 0, nullptr);
    SetError(parent_->Check(status));
    if (status != 0) return false;
    hStmt = static_cast<OCIStmt*>(stmt);
    return true;
}

bool TOCI8Base::FreeHandle() {
    if (!ConnChk()) return false;
    sword status = parent_->Entries().OCIHandleFree(hStmt, OCI_HTYPE_STMT);
    SetError(parent_->Check(status));
    if (status != 0) return false;
    hStmt = nullptr;
    return true;
}

}  // namespace tabrook
