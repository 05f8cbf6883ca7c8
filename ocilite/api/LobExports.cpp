// The LOB services. Locators are real (a fetch fills them, the character set questions and
// the BFILE names work); reading, writing and the other content operations are not offered
// by the engine yet and fail with ORA-03001 instead of pretending to succeed.

#include <cstring>
#include <string_view>

#include "ocilite/api/LobLocator.h"
#include "ocilite/api/NlsInfo.h"
#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"
#include "ocilite/api/ServiceContextHandle.h"

using namespace ocilite::api;
using ocilite::OraError;

namespace {

OCILobLocator* Locator(const void* p) {
    HandleBase* h = LiveHandle(p);
    if (h == nullptr || (h->type != OCI_DTYPE_LOB && h->type != OCI_DTYPE_FILE)) return nullptr;
    return static_cast<OCILobLocator*>(h);
}

// Checks the handles every LOB call takes, then runs body on the error handle.
template <class F>
sword LobCall(const void* ctx, ub4 ctxType, OCIError* err, const void* loc, F&& body) {
    Diagnostics* diagnostics = DiagnosticsOf(err);
    HandleBase* c = LiveHandle(ctx);
    OCILobLocator* locator = Locator(loc);
    if (diagnostics == nullptr || c == nullptr || c->type != ctxType || locator == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword { return body(*locator); });
}

void RequireValue(const OCILobLocator& loc) {
    if (!loc.hasValue && loc.fileName.empty()) throw OraError(22275, "invalid LOB locator specified");
}

[[noreturn]] void NotOffered(const OCILobLocator& loc) {
    RequireValue(loc);
    throw OraError(3001, "unimplemented feature");
}

sword Unsupported(OCISvcCtx* svchp, OCIError* errhp, const void* locp) {
    return LobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [](OCILobLocator& loc) -> sword { NotOffered(loc); });
}

}  // namespace

extern "C" {

sword OCILobEnableBuffering(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp) {
    return Unsupported(svchp, errhp, locp);
}
sword OCILobDisableBuffering(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp) {
    return Unsupported(svchp, errhp, locp);
}
sword OCILobFileExists(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep, boolean* flag) {
    return Unsupported(svchp, errhp, filep);
}
sword OCILobGetLength(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* lenp) {
    return Unsupported(svchp, errhp, locp);
}
sword OCILobIsOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, boolean* flag) {
    // Nothing is ever opened through a locator here, so the honest answer is "not open".
    return LobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        RequireValue(loc);
        if (flag == nullptr) throw OraError(22275, "invalid LOB locator specified");
        *flag = 0;
        return OCI_SUCCESS;
    });
}
sword OCILobFileIsOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep, boolean* flag) {
    return OCILobIsOpen(svchp, errhp, filep, flag);
}
sword OCILobCharSetForm(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* locp, ub1* csfrm) {
    return LobCall(envhp, OCI_HTYPE_ENV, errhp, locp, [&](OCILobLocator& loc) -> sword {
        RequireValue(loc);
        if (csfrm == nullptr) throw OraError(22275, "invalid LOB locator specified");
        *csfrm = loc.ref.lobType == SQLT_CLOB ? (loc.ref.national ? SQLCS_NCHAR : SQLCS_IMPLICIT) : 0;
        return OCI_SUCCESS;
    });
}
sword OCILobCharSetId(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* locp, ub2* csid) {
    return LobCall(envhp, OCI_HTYPE_ENV, errhp, locp, [&](OCILobLocator& loc) -> sword {
        RequireValue(loc);
        if (csid == nullptr) throw OraError(22275, "invalid LOB locator specified");
        *csid = loc.ref.lobType == SQLT_CLOB ? (loc.ref.national ? kNationalCharsetId : kDatabaseCharsetId) : 0;
        return OCI_SUCCESS;
    });
}
sword OCILobWrite(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amtp, ub4 offset, void* bufp,
                  ub4 buflen, ub1 piece, void* ctxp, OCICallbackLobWrite cbfp, ub2 csid, ub1 csfrm) {
    return Unsupported(svchp, errhp, locp);
}
sword OCILobFileOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep, ub1 mode) {
    return Unsupported(svchp, errhp, filep);
}
sword OCILobFileClose(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep) {
    return Unsupported(svchp, errhp, filep);
}
sword OCILobRead(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amtp, ub4 offset, void* bufp, ub4 bufl,
                 void* ctxp, OCICallbackLobRead cbfp, ub2 csid, ub1 csfrm) {
    return Unsupported(svchp, errhp, locp);
}
sword OCILobCopy(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* dst_locp, OCILobLocator* src_locp, ub4 amount,
                 ub4 dst_offset, ub4 src_offset) {
    if (Locator(src_locp) == nullptr) return OCI_INVALID_HANDLE;
    return Unsupported(svchp, errhp, dst_locp);
}
sword OCILobTrim(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4 newlen) {
    return Unsupported(svchp, errhp, locp);
}
sword OCILobFlushBuffer(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4 flag) {
    return Unsupported(svchp, errhp, locp);
}
sword OCILobFileGetName(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* filep, OraText* dir_alias,
                        ub2* d_length, OraText* filename, ub2* f_length) {
    return LobCall(envhp, OCI_HTYPE_ENV, errhp, filep, [&](OCILobLocator& loc) -> sword {
        if (loc.type != OCI_DTYPE_FILE) throw OraError(22275, "invalid LOB locator specified");
        if (d_length == nullptr || f_length == nullptr || dir_alias == nullptr || filename == nullptr)
            throw OraError(22275, "invalid LOB locator specified");
        if (loc.directory.size() > *d_length || loc.fileName.size() > *f_length)
            throw OraError(22289, "cannot perform operation on an unopened file or LOB");
        std::memcpy(dir_alias, loc.directory.data(), loc.directory.size());
        std::memcpy(filename, loc.fileName.data(), loc.fileName.size());
        *d_length = static_cast<ub2>(loc.directory.size());
        *f_length = static_cast<ub2>(loc.fileName.size());
        return OCI_SUCCESS;
    });
}
sword OCILobFileSetName(OCIEnv* envhp, OCIError* errhp, OCILobLocator** filepp, const OraText* dir_alias,
                        ub2 d_length, const OraText* filename, ub2 f_length) {
    if (filepp == nullptr) return OCI_INVALID_HANDLE;
    return LobCall(envhp, OCI_HTYPE_ENV, errhp, *filepp, [&](OCILobLocator& loc) -> sword {
        if (loc.type != OCI_DTYPE_FILE || dir_alias == nullptr || filename == nullptr)
            throw OraError(22275, "invalid LOB locator specified");
        loc.directory.assign(reinterpret_cast<const char*>(dir_alias), d_length);
        loc.fileName.assign(reinterpret_cast<const char*>(filename), f_length);
        return OCI_SUCCESS;
    });
}
sword OCILobCreateTemporary(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub2 csid, ub1 csfrm, ub1 lobtype,
                            boolean cache, OCIDuration duration) {
    return LobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp,
                   [](OCILobLocator&) -> sword { throw OraError(3001, "unimplemented feature"); });
}
sword OCILobFreeTemporary(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp) {
    return Unsupported(svchp, errhp, locp);
}

ub1* OCIRawPtr(OCIEnv* env, const OCIRaw* raw) {
    // No OCIRaw object is ever created by this library, so there is no data to point at.
    return nullptr;
}

oratext* OCIStringPtr(OCIEnv* env, const OCIString* vs) { return nullptr; }

}  // extern "C"
