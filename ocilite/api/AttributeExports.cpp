// OCIAttrGet / OCIAttrSet. Attribute numbers mean different things on different handle types,
// so each handle type has its own table; every value is written with the exact width OCI
// uses for it (OCI_ATTR_PRECISION of a select-list column is an sb2, OCI_ATTR_SCALE an sb1 ...).

#include <cstring>

#include "ocilite/api/BindHandle.h"
#include "ocilite/api/ClientCharset.h"
#include "ocilite/api/DefineHandle.h"
#include "ocilite/api/EnvironmentHandle.h"
#include "ocilite/api/NlsInfo.h"
#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"
#include "ocilite/api/OpaqueHandle.h"
#include "ocilite/api/ParamDescriptor.h"
#include "ocilite/api/RowidDescriptor.h"
#include "ocilite/api/ServerHandles.h"
#include "ocilite/api/ServiceContextHandle.h"
#include "ocilite/api/StatementHandle.h"

using namespace ocilite::api;
using ocilite::OraError;

namespace {

// Attributes of a session that name the work for the server's views and its tuning (driver
// name, module, action, client info and identifier, edition, connection class ...): accepted
// and not used.
bool IgnoredSessionAttribute(ub4 attr) {
    switch (attr) {
        case OCI_ATTR_DRIVER_NAME:
        case OCI_ATTR_MODULE:
        case OCI_ATTR_ACTION:
        case OCI_ATTR_CLIENT_INFO:
        case OCI_ATTR_CLIENT_IDENTIFIER:
        case OCI_ATTR_ECONTEXT_ID:
        case OCI_ATTR_DBOP:
        case OCI_ATTR_EDITION:
        case OCI_ATTR_CONNECTION_CLASS:
        case OCI_ATTR_PURITY:
        case OCI_ATTR_LOBPREFETCH_LENGTH: return true;
        default: return false;
    }
}

[[noreturn]] void IllegalAttribute() {
    throw OraError(24315, "illegal attribute type");
}

template <class T>
sword Put(void* attributep, ub4* sizep, T value) {
    if (attributep == nullptr) throw OraError(24315, "illegal attribute type");
    std::memcpy(attributep, &value, sizeof value);
    if (sizep != nullptr) *sizep = sizeof value;
    return OCI_SUCCESS;
}

sword PutText(void* attributep, ub4* sizep, const std::string& text) {
    if (attributep == nullptr) IllegalAttribute();
    const OraText* p = text.empty() ? nullptr : reinterpret_cast<const OraText*>(text.c_str());
    std::memcpy(attributep, &p, sizeof p);
    if (sizep != nullptr) *sizep = static_cast<ub4>(text.size());
    return OCI_SUCCESS;
}

template <class T>
T Take(const void* attributep) {
    if (attributep == nullptr) IllegalAttribute();
    T v;
    std::memcpy(&v, attributep, sizeof v);
    return v;
}

sword GetEnv(const OCIEnv* env, ub4 attr, void* out, ub4* sizep) {
    switch (attr) {
        case OCI_ATTR_ENV_CHARSET_ID: return Put<ub2>(out, sizep, CurrentClientCharset().id);
        case OCI_ATTR_NCHARSET_ID: return Put<ub2>(out, sizep, env->ncharset != 0 ? env->ncharset : kNationalCharsetId);
        case OCI_ATTR_ENV_UTF16: return Put<ub1>(out, sizep, 0);
        case OCI_ATTR_OBJECT: return Put<boolean>(out, sizep, (env->mode & OCI_OBJECT) != 0);
        case OCI_ATTR_HEAPALLOC: return Put<ub4>(out, sizep, 0);
        default: IllegalAttribute();
    }
}

sword GetSvc(OCISvcCtx* svc, ub4 attr, void* out, ub4* sizep) {
    switch (attr) {
        case OCI_ATTR_ENV: return Put<OCIEnv*>(out, sizep, svc->env);
        case OCI_ATTR_SERVER:
            if (svc->attachedServer != nullptr) return Put<void*>(out, sizep, svc->attachedServer);
            if (svc->serverHandle == nullptr) {
                // the server of a context OCILogon made: attached while the session lasts
                auto server = std::make_unique<OCIServer>();
                server->attached = true;
                svc->serverHandle = std::move(server);
            }
            return Put<void*>(out, sizep, svc->serverHandle.get());
        case OCI_ATTR_SESSION:
            if (svc->attachedSession != nullptr) return Put<void*>(out, sizep, svc->attachedSession);
            if (svc->sessionHandle == nullptr) svc->sessionHandle = std::make_unique<OCISession>();
            static_cast<OCISession*>(svc->sessionHandle.get())->service = svc;
            return Put<void*>(out, sizep, svc->sessionHandle.get());
        case OCI_ATTR_CALL_TIMEOUT: return Put<ub4>(out, sizep, svc->callTimeout);
        case OCI_ATTR_MAX_IDENTIFIER_LEN: return Put<ub1>(out, sizep, 128);
        case OCI_ATTR_SERVER_TYPE: return Put<ub1>(out, sizep, 1);  // dedicated
        case OCI_ATTR_TRANS: return Put<void*>(out, sizep, nullptr);
        case OCI_ATTR_STMTCACHESIZE: return Put<ub4>(out, sizep, 0);
        default: IllegalAttribute();
    }
}

sword GetStmt(OCIStmt* s, ub4 attr, void* out, ub4* sizep) {
    switch (attr) {
        case OCI_ATTR_STMT_TYPE:
            if (!s->prepared) throw OraError(24337, "statement handle not prepared");
            return Put<ub2>(out, sizep, static_cast<ub2>(s->type));
        case OCI_ATTR_PARAM_COUNT: return Put<ub4>(out, sizep, static_cast<ub4>(s->ColumnCount()));
        case OCI_ATTR_ROW_COUNT: return Put<ub4>(out, sizep, static_cast<ub4>(s->rowCount));
        case OCI_ATTR_NUM_DML_ERRORS: return Put<ub4>(out, sizep, s->dmlErrors);
        case OCI_ATTR_UB8_ROW_COUNT: return Put<ub8>(out, sizep, s->rowCount);
        case OCI_ATTR_DML_ROW_COUNT_ARRAY: {
            // The array itself stays the statement's; the size is the number of its entries.
            const ub8* counts = s->rowCounts.empty() ? nullptr : s->rowCounts.data();
            Put<const ub8*>(out, sizep, counts);
            if (sizep != nullptr) *sizep = static_cast<ub4>(s->rowCounts.size());
            return OCI_SUCCESS;
        }
        case OCI_ATTR_ROWS_FETCHED: return Put<ub4>(out, sizep, s->rowsFetched);
        case OCI_ATTR_CURRENT_POSITION: return Put<ub4>(out, sizep, static_cast<ub4>(s->rowCount));
        case OCI_ATTR_PREFETCH_ROWS: return Put<ub4>(out, sizep, s->prefetchRows);
        case OCI_ATTR_PREFETCH_MEMORY: return Put<ub4>(out, sizep, s->prefetchMemory);
        case OCI_ATTR_PARSE_ERROR_OFFSET: return Put<ub2>(out, sizep, s->errorOffset);
        case OCI_ATTR_SQL_ID: return PutText(out, sizep, s->SqlId());
        case OCI_ATTR_STMT_IS_RETURNING: return Put<ub1>(out, sizep, 0);
        case OCI_ATTR_BIND_COUNT: return Put<ub4>(out, sizep, s->BindCount());
        case OCI_ATTR_ENV: return Put<OCIEnv*>(out, sizep, s->env);
        case OCI_ATTR_STATEMENT: return PutText(out, sizep, s->sql);
        case OCI_ATTR_STMT_STATE:
            return Put<ub4>(out, sizep,
                            !s->executed    ? OCI_STMT_STATE_INITIALIZED
                            : s->endOfFetch ? OCI_STMT_STATE_END_OF_FETCH
                                            : OCI_STMT_STATE_EXECUTED);
        case OCI_ATTR_ROWID: {
            // The caller passes its rowid descriptor itself and gets the last DML row's address.
            OCIRowid* rowid = HandleAs<OCIRowid>(out, OCI_DTYPE_ROWID);
            if (rowid == nullptr) IllegalAttribute();
            if (s->lastRowid.empty()) return OCI_NO_DATA;
            rowid->text = s->lastRowid;
            if (sizep != nullptr) *sizep = sizeof(OCIRowid*);
            return OCI_SUCCESS;
        }
        default: IllegalAttribute();
    }
}

// The server handle of an attach-then-begin logon (or the one a context hands out).
sword GetServer(OCIServer* server, ub4 attr, void* out, ub4* sizep) {
    static const std::string kName = "OCILITE";
    switch (attr) {
        // OCI_SERVER_NORMAL while attached: drivers read it after every error to tell a
        // failed statement from a lost connection
        case OCI_ATTR_SERVER_STATUS:
            return Put<ub4>(out, sizep, server->attached ? OCI_SERVER_NORMAL : OCI_SERVER_NOT_CONNECTED);
        case OCI_ATTR_CHARSET_ID: return Put<ub2>(out, sizep, kDatabaseCharsetId);
        case OCI_ATTR_NCHARSET_ID: return Put<ub2>(out, sizep, kNationalCharsetId);
        case OCI_ATTR_DBNAME:
        case OCI_ATTR_INSTNAME:
        case OCI_ATTR_SERVICENAME:
        case OCI_ATTR_INTERNAL_NAME:
        case OCI_ATTR_EXTERNAL_NAME: return PutText(out, sizep, kName);
        case OCI_ATTR_DBDOMAIN: return PutText(out, sizep, server->empty);
        default: IllegalAttribute();
    }
}

sword GetSession(OCISession* session, ub4 attr, void* out, ub4* sizep) {
    const ocilite::Session* engine = session->service != nullptr && LiveHandle(session->service) != nullptr
                                         ? session->service->session.get()
                                         : nullptr;
    switch (attr) {
        case OCI_ATTR_TRANSACTION_IN_PROGRESS:
            return Put<boolean>(out, sizep, engine != nullptr && engine->InTransaction() ? 1 : 0);
        case OCI_ATTR_MAX_OPEN_CURSORS: return Put<ub4>(out, sizep, 300);
        case OCI_ATTR_USERNAME:
        case OCI_ATTR_CURRENT_SCHEMA:
            session->shown = engine != nullptr ? ToClientText(engine->UserName()) : session->userName;
            return PutText(out, sizep, session->shown);
        case OCI_ATTR_LTXID:
        case OCI_ATTR_EDITION:
        case OCI_ATTR_MODULE:
        case OCI_ATTR_ACTION:
        case OCI_ATTR_CLIENT_INFO:
        case OCI_ATTR_CLIENT_IDENTIFIER:
        case OCI_ATTR_DBOP:
        case OCI_ATTR_ECONTEXT_ID: return PutText(out, sizep, std::string());
        default: IllegalAttribute();
    }
}

sword GetParam(const OCIParam* p, ub4 attr, void* out, ub4* sizep) {
    const ocilite::ColumnInfo& c = p->column;
    if (attr == OCI_ATTR_PTYPE) return Put<ub1>(out, sizep, p->parameterType);
    if (p->parameterType != OCI_PTYPE_COL) {
        // a described table or view, or its column list
        switch (attr) {
            case OCI_ATTR_NUM_COLS:
            case OCI_ATTR_NUM_PARAMS: return Put<ub2>(out, sizep, static_cast<ub2>(p->members.size()));
            case OCI_ATTR_LIST_COLUMNS:
                if (p->columnList == nullptr) IllegalAttribute();
                return Put<void*>(out, sizep, p->columnList);
            case OCI_ATTR_OBJ_NAME: return PutText(out, sizep, p->objectName);
            case OCI_ATTR_OBJ_SCHEMA: return PutText(out, sizep, c.schemaName);
            default: IllegalAttribute();
        }
    }
    switch (attr) {
        case OCI_ATTR_DATA_SIZE: return Put<ub2>(out, sizep, c.dataSize);
        case OCI_ATTR_DATA_TYPE: return Put<ub2>(out, sizep, c.dataType);
        case OCI_ATTR_DISP_SIZE: return Put<ub2>(out, sizep, c.dataSize);
        case OCI_ATTR_NAME: return PutText(out, sizep, c.name);
        case OCI_ATTR_PRECISION: return Put<sb2>(out, sizep, c.precision);
        case OCI_ATTR_SCALE: return Put<sb1>(out, sizep, c.scale);
        case OCI_ATTR_IS_NULL: return Put<ub1>(out, sizep, c.nullable ? 1 : 0);
        case OCI_ATTR_TYPE_NAME: return PutText(out, sizep, c.typeName);
        case OCI_ATTR_SCHEMA_NAME: return PutText(out, sizep, c.schemaName);
        case OCI_ATTR_CHARSET_ID: return Put<ub2>(out, sizep, c.charsetId);
        case OCI_ATTR_CHARSET_FORM: return Put<ub1>(out, sizep, c.charsetForm);
        case OCI_ATTR_CHAR_USED: return Put<ub1>(out, sizep, c.charUsed);
        case OCI_ATTR_CHAR_SIZE: return Put<ub2>(out, sizep, c.charSize);
        case OCI_ATTR_POSITION: return Put<ub2>(out, sizep, static_cast<ub2>(p->position));
        case OCI_ATTR_JSON_COL:
        case OCI_ATTR_OSON_COL: return Put<ub1>(out, sizep, 0);  // no JSON columns
        default: IllegalAttribute();
    }
}

}  // namespace

extern "C" {

sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep, ub4 attrtype, OCIError* errhp) {
    HandleBase* h = LiveHandle(trgthndlp);
    // A select-list parameter may be named as a describe handle, as several drivers do.
    const bool typeMatches =
        h != nullptr && (h->type == trghndltyp || (h->type == OCI_DTYPE_PARAM && trghndltyp == OCI_HTYPE_DESCRIBE));
    if (!typeMatches) return OCI_INVALID_HANDLE;
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    // An environment may be queried without an error handle.
    if (diagnostics == nullptr && h->type != OCI_HTYPE_ENV) return OCI_INVALID_HANDLE;
    Diagnostics scratch;
    return GuardedCall(diagnostics != nullptr ? diagnostics : &scratch, [&]() -> sword {
        switch (h->type) {
            case OCI_HTYPE_ENV: return GetEnv(static_cast<OCIEnv*>(h), attrtype, attributep, sizep);
            case OCI_HTYPE_SVCCTX: return GetSvc(static_cast<OCISvcCtx*>(h), attrtype, attributep, sizep);
            case OCI_HTYPE_STMT: return GetStmt(static_cast<OCIStmt*>(h), attrtype, attributep, sizep);
            case OCI_DTYPE_PARAM: return GetParam(static_cast<OCIParam*>(h), attrtype, attributep, sizep);
            case OCI_HTYPE_DESCRIBE: {
                auto* d = static_cast<OCIDescribe*>(h);
                if (attrtype != OCI_ATTR_PARAM || d->object == nullptr) IllegalAttribute();
                return Put<void*>(attributep, sizep, d->object.get());
            }
            case OCI_HTYPE_BIND: {
                auto* b = static_cast<OCIBind*>(h);
                if (attrtype == OCI_ATTR_CHARSET_FORM) return Put<ub1>(attributep, sizep, b->charsetForm);
                if (attrtype == OCI_ATTR_CHARSET_ID)
                    return Put<ub2>(attributep, sizep, b->charsetId != 0 ? b->charsetId : CurrentClientCharset().id);
                if (attrtype == OCI_ATTR_MAXDATA_SIZE) return Put<ub4>(attributep, sizep, b->maxDataSize);
                IllegalAttribute();
            }
            case OCI_HTYPE_SERVER: return GetServer(static_cast<OCIServer*>(h), attrtype, attributep, sizep);
            case OCI_HTYPE_SESSION: return GetSession(static_cast<OCISession*>(h), attrtype, attributep, sizep);
            case OCI_HTYPE_ERROR: {
                if (attrtype == OCI_ATTR_ERROR_IS_RECOVERABLE) return Put<boolean>(attributep, sizep, 0);
                if (attrtype != OCI_ATTR_DML_ROW_OFFSET) IllegalAttribute();
                return Put<ub4>(attributep, sizep, static_cast<OCIError*>(h)->rowOffset);
            }
            case OCI_HTYPE_DEFINE: {
                auto* d = static_cast<OCIDefine*>(h);
                if (attrtype == OCI_ATTR_CHARSET_FORM) return Put<ub1>(attributep, sizep, d->charsetForm);
                if (attrtype == OCI_ATTR_CHARSET_ID)
                    return Put<ub2>(attributep, sizep, d->charsetId != 0 ? d->charsetId : CurrentClientCharset().id);
                IllegalAttribute();
            }
            default: IllegalAttribute();
        }
    });
}

sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype, OCIError* errhp) {
    HandleBase* h = LiveHandle(trgthndlp);
    if (h == nullptr || h->type != trghndltyp) return OCI_INVALID_HANDLE;
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (diagnostics == nullptr && h->type != OCI_HTYPE_ENV) return OCI_INVALID_HANDLE;
    Diagnostics scratch;
    return GuardedCall(diagnostics != nullptr ? diagnostics : &scratch, [&]() -> sword {
        switch (h->type) {
            case OCI_HTYPE_STMT: {
                auto* s = static_cast<OCIStmt*>(h);
                if (attrtype == OCI_ATTR_PREFETCH_ROWS)
                    s->prefetchRows = Take<ub4>(attributep);
                else if (attrtype == OCI_ATTR_PREFETCH_MEMORY)
                    s->prefetchMemory = Take<ub4>(attributep);
                else if (attrtype == OCI_ATTR_FETCH_ROWID)
                    ;  // rowids come with every fetch
                else
                    IllegalAttribute();
                return OCI_SUCCESS;
            }
            case OCI_HTYPE_BIND: {
                auto* b = static_cast<OCIBind*>(h);
                if (attrtype == OCI_ATTR_CHARSET_FORM)
                    b->charsetForm = Take<ub1>(attributep);
                else if (attrtype == OCI_ATTR_CHARSET_ID)
                    b->charsetId = Take<ub2>(attributep);
                else if (attrtype == OCI_ATTR_MAXDATA_SIZE)
                    b->maxDataSize = Take<ub4>(attributep);
                else
                    IllegalAttribute();
                return OCI_SUCCESS;
            }
            case OCI_HTYPE_DEFINE: {
                auto* d = static_cast<OCIDefine*>(h);
                if (attrtype == OCI_ATTR_CHARSET_FORM)
                    d->charsetForm = Take<ub1>(attributep);
                else if (attrtype == OCI_ATTR_CHARSET_ID)
                    d->charsetId = Take<ub2>(attributep);
                else if (attrtype != OCI_ATTR_LOBPREFETCH_LENGTH && attrtype != OCI_ATTR_LOBPREFETCH_SIZE)
                    IllegalAttribute();  // LOB prefetching: the content comes with the locator anyway
                return OCI_SUCCESS;
            }
            case OCI_HTYPE_SVCCTX: {
                // The server and session handles of an attach-then-begin logon; a context that
                // OCILogon made has its session already and only remembers them.
                auto* svc = static_cast<OCISvcCtx*>(h);
                if (attrtype == OCI_ATTR_SERVER) {
                    auto* server = HandleAs<OCIServer>(attributep, OCI_HTYPE_SERVER);
                    if (server == nullptr) throw OraError(24315, "illegal attribute type");
                    svc->attachedServer = server;
                    return OCI_SUCCESS;
                }
                if (attrtype == OCI_ATTR_SESSION) {
                    auto* session = HandleAs<OCISession>(attributep, OCI_HTYPE_SESSION);
                    if (session == nullptr) throw OraError(24315, "illegal attribute type");
                    svc->attachedSession = session;
                    return OCI_SUCCESS;
                }
                if (attrtype == OCI_ATTR_CALL_TIMEOUT) {
                    svc->callTimeout = Take<ub4>(attributep);
                    return OCI_SUCCESS;
                }
                // statements are not cached; a transaction handle set or cleared changes nothing
                if (attrtype == OCI_ATTR_STMTCACHESIZE || attrtype == OCI_ATTR_TRANS) return OCI_SUCCESS;
                IllegalAttribute();
            }
            case OCI_HTYPE_SESSION: {
                // the credentials arrive in the client character set
                auto* session = static_cast<OCISession*>(h);
                std::string text = attributep == nullptr
                                       ? std::string()
                                       : ToDatabaseText(std::string_view(static_cast<const char*>(attributep), size));
                if (attrtype == OCI_ATTR_USERNAME)
                    session->userName = std::move(text);
                else if (attrtype == OCI_ATTR_PASSWORD)
                    session->password = std::move(text);
                else if (!IgnoredSessionAttribute(attrtype))
                    IllegalAttribute();
                return OCI_SUCCESS;
            }
            case OCI_HTYPE_SERVER:
            case OCI_HTYPE_ENV:
                // names and settings for the server's views (OCI_ATTR_EXTERNAL_NAME ...) and
                // the environment's tuning: nothing here uses them
                return OCI_SUCCESS;
            default: IllegalAttribute();
        }
    });
}

}  // extern "C"
