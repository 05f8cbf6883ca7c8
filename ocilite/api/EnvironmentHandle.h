#pragma once
// OCIEnv: the root of every handle. It keeps the error records of the calls that report on the
// environment (handle allocation) and the handles allocated under it, which it frees with itself.

#include <unordered_set>

#include "ocilite/api/Diagnostics.h"
#include "ocilite/api/HandleBase.h"

struct OCIEnv : ocilite::api::HandleBase {
    explicit OCIEnv(ub4 envMode) : HandleBase(OCI_HTYPE_ENV), mode(envMode) {}
    ~OCIEnv() override;

    void Adopt(ocilite::api::HandleBase* child) { children.insert(child); }
    void Release(ocilite::api::HandleBase* child) { children.erase(child); }

    ub4 mode;
    // The national character set OCIEnvNlsCreate named (0: the database's, AL16UTF16).
    ub2 ncharset = 0;
    ocilite::api::Diagnostics diagnostics;
    std::unordered_set<ocilite::api::HandleBase*> children;
};
