// The calls of programs written from Oracle's OCI guide beyond the ones the transfer program
// makes: OCIEnvCreate and OCIEnvNlsCreate, the attach-then-begin logon, OCILogon2, the
// statement calls of release 9.2 and later (OCIStmtPrepare2, OCIStmtRelease, OCIStmtFetch2),
// OCIDescribeAny of tables and views, arrays of structures, and the version and ping calls.

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "ocilite/api/BindHandle.h"
#include "ocilite/api/ClientCharset.h"
#include "ocilite/api/DefineHandle.h"
#include "ocilite/api/EnvironmentHandle.h"
#include "ocilite/api/NlsInfo.h"
#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"
#include "ocilite/api/RoundTrip.h"
#include "ocilite/api/ServerHandles.h"
#include "ocilite/api/ServiceContextHandle.h"
#include "ocilite/api/StatementHandle.h"

using namespace ocilite::api;
using ocilite::OraError;

namespace {

// The version this library reports for itself and for the engine behind it: a release of 19c
// with its release update, the same in OCIClientVersion, OCIServerVersion and OCIServerRelease2.
constexpr sword kMajorVersion = 19, kMinorVersion = 24;
constexpr const char* kServerBanner = "ocilite embedded engine Release 19.0.0.0.0 - Production\nVersion 19.24.0.0.0";
// OCIServerRelease2's number for release 18 and later: major, update, revision, increment.
constexpr ub4 kReleaseNumber = (ub4(kMajorVersion) << 24) | (ub4(kMinorVersion) << 16);

std::string_view Bytes(const OraText* p, ub4 len) {
    return p == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(p), len);
}

OCISvcCtx* Connected(OCISvcCtx* svc) {
    if (svc->session == nullptr) throw OraError(3114, "not connected to ORACLE");
    return svc;
}

// One part of a dotted object name as the dictionary keeps it: quoted parts exactly, others in
// upper case. Quotes inside a part, empty parts and more than two parts name nothing.
std::vector<std::string> NameParts(const std::string& text, const std::string& shown) {
    std::vector<std::string> parts;
    std::string current;
    bool quoted = false, wasQuoted = false;
    auto notFound = [&]() { return OraError(4043, "object " + shown + " does not exist"); };
    for (char c : text) {
        if (c == '"') {
            if (!quoted && !current.empty()) throw notFound();
            quoted = !quoted;
            wasQuoted = true;
            continue;
        }
        if (c == '.' && !quoted) {
            if (current.empty()) throw notFound();
            parts.push_back(current);
            current.clear();
            wasQuoted = false;
            continue;
        }
        if (wasQuoted && !quoted) throw notFound();  // text after a closing quote
        current += (!quoted && c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (quoted || current.empty() || parts.size() > 1) throw notFound();
    parts.push_back(current);
    return parts;
}

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

// Fills a describe handle with the table or view `text` names, as `user` sees it.
void Describe(OCIDescribe* d, ocilite::Session& session, const std::string& text, ub1 wanted) {
    const std::vector<std::string> parts = NameParts(text, text);
    const std::string owner = parts.size() == 2 ? parts[0] : session.UserName();
    const std::string name = parts.back();
    auto notFound = [&]() { return OraError(4043, "object " + text + " does not exist"); };

    auto lookup = session.Prepare("SELECT object_type FROM all_objects WHERE owner = :o AND object_name = :n");
    lookup->Bind(0, ocilite::TextValue{owner});
    lookup->Bind(1, ocilite::TextValue{name});
    lookup->Execute();
    std::vector<ocilite::Value> row;
    if (!lookup->Fetch(row) || row.empty()) throw notFound();
    const auto* kind = std::get_if<ocilite::TextValue>(&row[0]);
    ub1 ptype = OCI_PTYPE_UNK;
    if (kind != nullptr && kind->bytes == "TABLE") ptype = OCI_PTYPE_TABLE;
    if (kind != nullptr && kind->bytes == "VIEW") ptype = OCI_PTYPE_VIEW;
    if (ptype == OCI_PTYPE_UNK || (wanted != OCI_PTYPE_UNK && wanted != ptype)) throw notFound();

    // the columns as a query over the object describes them, without running it
    auto query = session.Prepare("SELECT * FROM " + Quoted(owner) + "." + Quoted(name));
    const auto& columns = query->Columns();

    d->object = std::make_unique<OCIParam>();
    d->columnList = std::make_unique<OCIParam>();
    d->columns.clear();
    d->object->parameterType = ptype;
    d->object->objectName = ToClientText(name);
    d->object->column.schemaName = ToClientText(owner);
    d->columnList->parameterType = OCI_PTYPE_LIST;
    d->object->columnList = d->columnList.get();
    for (size_t i = 0; i < columns.size(); ++i) {
        auto p = std::make_unique<OCIParam>();
        p->column = columns[i];
        p->column.name = ToClientText(columns[i].name);
        p->column.schemaName = ToClientText(columns[i].schemaName);
        p->position = static_cast<ub4>(i + 1);
        d->object->members.push_back(p.get());
        d->columnList->members.push_back(p.get());
        d->columns.push_back(std::move(p));
    }
}

}  // namespace

extern "C" {

// ---- environment ----------------------------------------------------------------------------

sword OCIEnvCreate(OCIEnv** envp, ub4 mode, void* ctxp, void* (*malocfp)(void* ctxp, size_t size),
                   void* (*ralocfp)(void* ctxp, void* memptr, size_t newsize),
                   void (*mfreefp)(void* ctxp, void* memptr), size_t xtramem_sz, void** usrmempp) {
    // Memory callbacks are optional in OCI; this library allocates with the C++ runtime.
    if (envp != nullptr) *envp = nullptr;
    return OCIEnvInit(envp, mode, xtramem_sz, usrmempp);
}

sword OCIEnvNlsCreate(OCIEnv** envp, ub4 mode, void* ctxp, void* (*malocfp)(void* ctxp, size_t size),
                      void* (*ralocfp)(void* ctxp, void* memptr, size_t newsize),
                      void (*mfreefp)(void* ctxp, void* memptr), size_t xtramem_sz, void** usrmempp, ub2 charset,
                      ub2 ncharset) {
    if (envp != nullptr) *envp = nullptr;
    // The client character set comes from NLS_LANG; an explicit one must be that same set.
    if (charset != 0 && charset != CurrentClientCharset().id) return OCI_ERROR;
    if (ncharset != 0 && ncharset != kNationalCharsetId && ncharset != CurrentClientCharset().id) return OCI_ERROR;
    const sword status = OCIEnvInit(envp, mode, xtramem_sz, usrmempp);
    if (status == OCI_SUCCESS) (*envp)->ncharset = ncharset;
    return status;
}

sword OCITerminate(ub4 mode) {
    // Every handle is freed with its environment; there is no process-wide state to release.
    return OCI_SUCCESS;
}

// ---- attach-then-begin logon ----------------------------------------------------------------

sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const OraText* dblink, sb4 dblink_len, ub4 mode) {
    OCIServer* server = HandleAs<OCIServer>(srvhp, OCI_HTYPE_SERVER);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (server == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        RoundTrip();
        if (dblink_len < 0) throw OraError(24373, "invalid length specified for statement");
        // The database file is opened when a session begins: that is where the engine checks
        // the name, the password and the file together.
        server->database = ToDatabaseText(Bytes(dblink, static_cast<ub4>(dblink_len)));
        server->attached = true;
        return OCI_SUCCESS;
    });
}

sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4 mode) {
    OCIServer* server = HandleAs<OCIServer>(srvhp, OCI_HTYPE_SERVER);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (server == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    RoundTrip();
    server->attached = false;
    return OCI_SUCCESS;
}

sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4 mode) {
    OCISvcCtx* svc = HandleAs<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
    OCISession* user = HandleAs<OCISession>(usrhp, OCI_HTYPE_SESSION);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (svc == nullptr || user == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        RoundTrip();
        auto* server = static_cast<OCIServer*>(svc->attachedServer);
        if (server == nullptr || LiveHandle(server) == nullptr || !server->attached)
            throw OraError(24327, "need explicit attach before authenticating a user");
        if (credt != OCI_CRED_RDBMS) throw OraError(3001, "unimplemented feature");
        if (svc->session != nullptr) throw OraError(24313, "user already authenticated");
        svc->session = ocilite::Session::Logon(user->userName, user->password, server->database);
        svc->attachedSession = user;
        user->service = svc;
        return OCI_SUCCESS;
    });
}

sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 mode) {
    OCISvcCtx* svc = HandleAs<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (svc == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    if (usrhp != nullptr && HandleAs<OCISession>(usrhp, OCI_HTYPE_SESSION) == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        // Ending a session commits its transaction, as Oracle documents for this call.
        RoundTrip();
        Connected(svc)->session->Commit();
        svc->EndSession();
        svc->attachedSession = nullptr;
        return OCI_SUCCESS;
    });
}

sword OCILogon2(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp, const OraText* username, ub4 uname_len,
                const OraText* password, ub4 passwd_len, const OraText* dbname, ub4 dbname_len, ub4 mode) {
    // Pooled and statement-caching modes take the plain logon: the engine has no pool and
    // prepares statements once per handle anyway. Oracle counts two round trips for this
    // logon where OCILogon makes one.
    const sword status = OCILogon(envhp, errhp, svchp, username, uname_len, password, passwd_len, dbname, dbname_len);
    if (status != OCI_INVALID_HANDLE) RoundTrip();
    return status;
}

sword OCIPing(OCISvcCtx* svchp, OCIError* errhp, ub4 mode) {
    OCISvcCtx* svc = HandleAs<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (svc == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        RoundTrip();
        Connected(svc);
        return OCI_SUCCESS;
    });
}

sword OCIServerVersion(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz, ub1 hndltype) {
    HandleBase* h = LiveHandle(hndlp);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (h == nullptr || diagnostics == nullptr || (h->type != OCI_HTYPE_SVCCTX && h->type != OCI_HTYPE_SERVER) ||
        h->type != hndltype)
        return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        RoundTrip();
        if (h->type == OCI_HTYPE_SVCCTX) Connected(static_cast<OCISvcCtx*>(h));
        if (h->type == OCI_HTYPE_SERVER && !static_cast<OCIServer*>(h)->attached)
            throw OraError(3114, "not connected to ORACLE");
        if (bufp == nullptr || bufsz == 0) throw OraError(1460, "unimplemented or unreasonable conversion requested");
        const size_t n = std::min<size_t>(std::strlen(kServerBanner), bufsz - 1);
        std::memcpy(bufp, kServerBanner, n);
        bufp[n] = 0;
        return OCI_SUCCESS;
    });
}

sword OCIServerRelease2(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz, ub1 hndltype, ub4* version, ub4 mode) {
    const sword status = OCIServerVersion(hndlp, errhp, bufp, bufsz, hndltype);
    if (status == OCI_SUCCESS && version != nullptr) *version = kReleaseNumber;
    return status;
}

sword OCIServerRelease(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz, ub1 hndltype, ub4* version) {
    return OCIServerRelease2(hndlp, errhp, bufp, bufsz, hndltype, version, OCI_DEFAULT);
}

// Stops the call running on the context's session from another thread: it fails with
// ORA-01013. Without a running call it does nothing, as with Oracle.
sword OCIBreak(void* hndlp, OCIError* errhp) {
    HandleBase* h = LiveHandle(hndlp);
    if (h == nullptr || DiagnosticsOf(errhp) == nullptr) return OCI_INVALID_HANDLE;
    if (h->type == OCI_HTYPE_SVCCTX) {
        auto* svc = static_cast<OCISvcCtx*>(h);
        if (svc->session != nullptr) svc->session->Cancel();
    }
    return OCI_SUCCESS;
}

sword OCIReset(void* hndlp, OCIError* errhp) {
    // After a break the session is ready at once: there is no network exchange to resynchronise.
    if (LiveHandle(hndlp) == nullptr || DiagnosticsOf(errhp) == nullptr) return OCI_INVALID_HANDLE;
    return OCI_SUCCESS;
}

void OCIClientVersion(sword* major_version, sword* minor_version, sword* update_num, sword* patch_num,
                      sword* port_update_num) {
    if (major_version != nullptr) *major_version = kMajorVersion;
    if (minor_version != nullptr) *minor_version = kMinorVersion;
    if (update_num != nullptr) *update_num = 0;
    if (patch_num != nullptr) *patch_num = 0;
    if (port_update_num != nullptr) *port_update_num = 0;
}

// ---- statements -----------------------------------------------------------------------------

sword OCIStmtPrepare2(OCISvcCtx* svchp, OCIStmt** stmtp, OCIError* errhp, const OraText* stmt, ub4 stmt_len,
                      const OraText* key, ub4 key_len, ub4 language, ub4 mode) {
    OCISvcCtx* svc = HandleAs<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (svc == nullptr || diagnostics == nullptr || stmtp == nullptr) return OCI_INVALID_HANDLE;
    OCIEnv* env = svc->env != nullptr ? HandleAs<OCIEnv>(svc->env, OCI_HTYPE_ENV) : nullptr;
    if (env == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        // Statements are not cached by key: each call gets a handle of its own.
        if (stmt == nullptr) throw OraError(24373, "invalid length specified for statement");
        auto s = std::make_unique<OCIStmt>();
        s->env = env;
        s->owner = env;
        s->Prepare(ToDatabaseText(std::string_view(reinterpret_cast<const char*>(stmt), stmt_len)));
        env->Adopt(s.get());
        *stmtp = s.release();
        return OCI_SUCCESS;
    });
}

sword OCIStmtRelease(OCIStmt* stmtp, OCIError* errhp, const OraText* key, ub4 key_len, ub4 mode) {
    if (HandleAs<OCIStmt>(stmtp, OCI_HTYPE_STMT) == nullptr || DiagnosticsOf(errhp) == nullptr)
        return OCI_INVALID_HANDLE;
    return OCIHandleFree(stmtp, OCI_HTYPE_STMT);
}

sword OCIStmtFetch2(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, sb4 scrollOffset, ub4 mode) {
    // Cursors are forward-only: OCI_FETCH_NEXT (or OCI_DEFAULT) fetches, any other orientation
    // fails as it does on a cursor not executed as scrollable.
    return OCIStmtFetch(stmtp, errhp, nrows, orientation, mode);
}

sword OCIDescribeAny(OCISvcCtx* svchp, OCIError* errhp, void* objptr, ub4 objnm_len, ub1 objptr_typ, ub1 info_level,
                     ub1 objtyp, OCIDescribe* dschp) {
    OCISvcCtx* svc = HandleAs<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
    OCIDescribe* d = HandleAs<OCIDescribe>(dschp, OCI_HTYPE_DESCRIBE);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (svc == nullptr || d == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        RoundTrip();
        if (objptr_typ != OCI_OTYPE_NAME) throw OraError(3001, "unimplemented feature");
        if (objtyp != OCI_PTYPE_UNK && objtyp != OCI_PTYPE_TABLE && objtyp != OCI_PTYPE_VIEW)
            throw OraError(3001, "unimplemented feature");
        if (objptr == nullptr || objnm_len == 0) throw OraError(4043, "object  does not exist");
        const std::string text = ToDatabaseText(std::string_view(static_cast<const char*>(objptr), objnm_len));
        Describe(d, *Connected(svc)->session, text, objtyp);
        return OCI_SUCCESS;
    });
}

// ---- arrays of structures -------------------------------------------------------------------

sword OCIBindArrayOfStruct(OCIBind* bindp, OCIError* errhp, ub4 pvskip, ub4 indskip, ub4 alskip, ub4 rcskip) {
    OCIBind* b = HandleAs<OCIBind>(bindp, OCI_HTYPE_BIND);
    if (b == nullptr || DiagnosticsOf(errhp) == nullptr) return OCI_INVALID_HANDLE;
    b->valueSkip = pvskip;
    b->indicatorSkip = indskip;
    b->lengthSkip = alskip;
    b->returnCodeSkip = rcskip;
    return OCI_SUCCESS;
}

sword OCIDefineArrayOfStruct(OCIDefine* defnp, OCIError* errhp, ub4 pvskip, ub4 indskip, ub4 rlskip, ub4 rcskip) {
    OCIDefine* d = HandleAs<OCIDefine>(defnp, OCI_HTYPE_DEFINE);
    if (d == nullptr || DiagnosticsOf(errhp) == nullptr) return OCI_INVALID_HANDLE;
    d->valueSkip = pvskip;
    d->indicatorSkip = indskip;
    d->lengthSkip = rlskip;
    d->returnCodeSkip = rcskip;
    return OCI_SUCCESS;
}

}  // extern "C"
