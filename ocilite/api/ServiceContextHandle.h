#pragma once
// OCISvcCtx: one logged-on session of the engine. OCILogon creates it with the session;
// a service context allocated with OCIHandleAlloc has none until a logon gives it one.

#include <memory>
#include <unordered_set>

#include "ocilite/api/HandleBase.h"
#include "ocilite/engine/Engine.h"

struct OCISvcCtx : ocilite::api::HandleBase {
    OCISvcCtx() : HandleBase(OCI_HTYPE_SVCCTX) {}
    ~OCISvcCtx() override;
    // Detaches every statement, then ends the session (uncommitted work is rolled back).
    void EndSession() noexcept;
    std::unique_ptr<ocilite::Session> session;
    OCIEnv* env = nullptr;
    ub4 callTimeout = 0;  // OCI_ATTR_CALL_TIMEOUT, kept for the caller to read back
    // Handles OCIAttrGet hands out for OCI_ATTR_SERVER / OCI_ATTR_SESSION.
    std::unique_ptr<ocilite::api::HandleBase> serverHandle;
    std::unique_ptr<ocilite::api::HandleBase> sessionHandle;
    // The server and session handles the caller set (attach-then-begin logon), or null.
    ocilite::api::HandleBase* attachedServer = nullptr;
    ocilite::api::HandleBase* attachedSession = nullptr;
    // Statements holding engine statements of this session; they are detached before the
    // session ends, so none outlives it.
    std::unordered_set<OCIStmt*> statements;
};
