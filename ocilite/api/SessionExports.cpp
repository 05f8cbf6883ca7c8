// Logon and logoff, commit and rollback, and the session pool entry point (not supported).

#include <string_view>

#include "ocilite/api/EnvironmentHandle.h"
#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"
#include "ocilite/api/RoundTrip.h"
#include "ocilite/api/ServiceContextHandle.h"

using namespace ocilite::api;

namespace {

std::string_view Bytes(const OraText* p, ub4 len) {
    return p == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(p), len);
}

OCISvcCtx* Connected(OCISvcCtx* svc) {
    if (svc->session == nullptr) throw ocilite::OraError(3114, "not connected to ORACLE");
    return svc;
}

}  // namespace

extern "C" {

sword OCILogon(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp, const OraText* username, ub4 uname_len,
               const OraText* password, ub4 passwd_len, const OraText* dbname, ub4 dbname_len) {
    OCIEnv* env = HandleAs<OCIEnv>(envhp, OCI_HTYPE_ENV);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (env == nullptr || diagnostics == nullptr || svchp == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        RoundTrip();
        auto session =
            ocilite::Session::Logon(Bytes(username, uname_len), Bytes(password, passwd_len), Bytes(dbname, dbname_len));
        auto svc = std::make_unique<OCISvcCtx>();
        svc->session = std::move(session);
        svc->env = env;
        svc->owner = env;
        env->Adopt(svc.get());
        *svchp = svc.release();
        return OCI_SUCCESS;
    });
}

sword OCILogoff(OCISvcCtx* svchp, OCIError* errhp) {
    OCISvcCtx* svc = HandleAs<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (svc == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        // Ending a session normally commits its open transaction, as Oracle does.
        RoundTrip();
        Connected(svc)->session->Commit();
        svc->EndSession();
        if (svc->owner != nullptr && LiveHandle(svc->owner) != nullptr) svc->owner->Release(svc);
        delete svc;
        return OCI_SUCCESS;
    });
}

sword OCITransCommit(OCISvcCtx* svchp, OCIError* errhp, ub4 flags) {
    OCISvcCtx* svc = HandleAs<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (svc == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        RoundTrip();
        Connected(svc)->session->Commit();
        return OCI_SUCCESS;
    });
}

sword OCITransRollback(OCISvcCtx* svchp, OCIError* errhp, ub4 flags) {
    OCISvcCtx* svc = HandleAs<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (svc == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        RoundTrip();
        Connected(svc)->session->Rollback();
        return OCI_SUCCESS;
    });
}

sword OCISessionPoolCreate(OCIEnv* envhp, OCIError* errhp, OCISPool* spoolhp, OraText** poolName, ub4* poolNameLen,
                           const OraText* connStr, ub4 connStrLen, ub4 sessMin, ub4 sessMax, ub4 sessIncr,
                           OraText* userid, ub4 useridLen, OraText* password, ub4 passwordLen, ub4 mode) {
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (HandleAs<OCIEnv>(envhp, OCI_HTYPE_ENV) == nullptr || diagnostics == nullptr ||
        HandleAs<HandleBase>(spoolhp, OCI_HTYPE_SPOOL) == nullptr)
        return OCI_INVALID_HANDLE;
    // The embedded engine has one session per logon; pooling is not offered.
    diagnostics->SetOra(3001, "unimplemented feature");
    return OCI_ERROR;
}

sword OCISessionPoolDestroy(OCISPool* spoolhp, OCIError* errhp, ub4 mode) {
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (HandleAs<HandleBase>(spoolhp, OCI_HTYPE_SPOOL) == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    diagnostics->SetOra(3001, "unimplemented feature");
    return OCI_ERROR;
}

sword OCISessionGet(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp, OCIAuthInfo* authInfop, OraText* dbName,
                    ub4 dbName_len, const OraText* tagInfo, ub4 tagInfo_len, OraText** retTagInfo, ub4* retTagInfo_len,
                    boolean* found, ub4 mode) {
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (HandleAs<OCIEnv>(envhp, OCI_HTYPE_ENV) == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    diagnostics->SetOra(3001, "unimplemented feature");
    return OCI_ERROR;
}

sword OCISessionRelease(OCISvcCtx* svchp, OCIError* errhp, OraText* tag, ub4 tag_len, ub4 mode) {
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (HandleAs<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX) == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    diagnostics->SetOra(3001, "unimplemented feature");
    return OCI_ERROR;
}

sword OCIPasswordChange(OCISvcCtx* svchp, OCIError* errhp, const OraText* user_name, ub4 usernm_len,
                        const OraText* opasswd, ub4 opasswd_len, const OraText* npasswd, ub4 npasswd_len, ub4 mode) {
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (HandleAs<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX) == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    diagnostics->SetOra(3001, "unimplemented feature");
    return OCI_ERROR;
}

}  // extern "C"
