#include "oci/TOCI8Lob.h"

#include "oci/TOCI8Ctrl.h"

namespace tabrook {

TOCI8Lob::~TOCI8Lob() {
    Terminate();
    if (parent_ != nullptr) parent_->CtrlFree(this);
}

ub4 TOCI8Lob::DescriptorType() const { return lobType_ == entLob::BFile ? OCI_DTYPE_FILE : OCI_DTYPE_LOB; }

void TOCI8Lob::SetParent(TOCI8Ctrl* parent) {
    if (allocated_) throw TOCIException("Lobが有効になっている間はTOCI8Ctrlへのバインドは変更できません");
    TOCI8Base::SetParent(parent);
}

bool TOCI8Lob::ConnChk() {
    ErrMsg.clear();
    ErrCode = 0;
    if (parent_ == nullptr) {
        ErrCode = -1;
        ErrMsg = "TOCI8Ctrlが指定されていません";
        return false;
    }
    return true;
}

void TOCI8Lob::SetLobType(entLob type) {
    if (allocated_) throw TOCIException("Lobが有効になっている間はLobTypeの変更はできません");
    lobType_ = type;
}

bool TOCI8Lob::Initialize() {
    if (allocated_) return true;
    if (!MemAlloc()) return false;
    allocated_ = true;
    return true;
}

bool TOCI8Lob::Terminate() {
    if (allocated_) {
        if (!MemFree()) return false;
        allocated_ = false;
    }
    return true;
}

bool TOCI8Lob::MemAlloc() {
    if (!ConnChk()) return false;
    if (!parent_->Activated) {
        ErrCode = -1;
        ErrMsg = "接続されていません";
        return false;
    }
    void* locator = nullptr;
    sword status = parent_->Entries().OCIDescriptorAlloc(parent_->hEnv, &locator, DescriptorType(), 0, nullptr);
    ErrMsg = parent_->CheckErr(status);
    ErrCode = status;
    if (status != 0) return false;
    locator_ = static_cast<OCILobLocator*>(locator);
    return true;
}

bool TOCI8Lob::MemFree() {
    if (!ConnChk()) return false;
    if (!parent_->Activated) {
        // The environment is gone and took the locator with it.
        locator_ = nullptr;
        return true;
    }
    sword status = parent_->Entries().OCIDescriptorFree(locator_, DescriptorType());
    ErrMsg = parent_->CheckErr(status);
    ErrCode = status;
    if (status != 0) return false;
    locator_ = nullptr;
    return true;
}

}  // namespace tabrook
