// Prepare, bind, execute, describe, define and fetch.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ocilite/api/ClientCharset.h"
#include "ocilite/api/EnvironmentHandle.h"
#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"
#include "ocilite/api/RoundTrip.h"
#include "ocilite/api/ServiceContextHandle.h"
#include "ocilite/api/StatementHandle.h"

using namespace ocilite::api;
using ocilite::OraError;

namespace {

// The external types the conversions handle; anything else is refused when it is named, so a
// caller learns at bind or define time rather than at the first row.
bool IsSupportedExternalType(ub2 dty) {
    switch (dty) {
        case SQLT_CHR:
        case SQLT_NUM:
        case SQLT_INT:
        case SQLT_FLT:
        case SQLT_STR:
        case SQLT_VNU:
        case SQLT_LNG:
        case SQLT_VCS:
        case SQLT_DAT:
        case SQLT_VBI:
        case SQLT_BFLOAT:
        case SQLT_BDOUBLE:
        case SQLT_BIN:
        case SQLT_LBI:
        case SQLT_UIN:
        case SQLT_LVC:
        case SQLT_LVB:
        case SQLT_AFC:
        case SQLT_AVC:
        case SQLT_IBFLOAT:
        case SQLT_IBDOUBLE:
        case SQLT_RDD:
        case SQLT_CLOB:
        case SQLT_BLOB:
        case SQLT_BFILEE:
        case SQLT_CFILEE:
        case SQLT_ODT:
        case SQLT_DATE:
        case SQLT_TIMESTAMP:
        case SQLT_TIMESTAMP_TZ:
        case SQLT_INTERVAL_YM:
        case SQLT_INTERVAL_DS:
        case SQLT_TIMESTAMP_LTZ: return true;
        default: return false;
    }
}

void RequireSupported(ub2 dty) {
    if (!IsSupportedExternalType(dty)) throw OraError(3115, "unsupported network datatype or representation");
}

void FillBind(OCIBind* b, void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2* rcodep, ub4 maxarr_len,
              ub4* curelep, ub4 mode) {
    if ((mode & OCI_DATA_AT_EXEC) != 0 || maxarr_len > 0) throw OraError(3001, "unimplemented feature");
    RequireSupported(dty);
    b->valuep = valuep;
    b->valueSize = value_sz;
    b->dty = dty;
    b->indp = indp;
    b->alenp = alenp;
    b->rcodep = rcodep;
    b->maxArrayLength = maxarr_len;
    b->currentElements = curelep;
    b->mode = mode;
}

// A 64-bit size of the *2 calls as the 32-bit one the conversions use.
sb4 Size32(sb8 size) {
    return size > 0x7fffffff ? 0x7fffffff : static_cast<sb4>(size);
}

}  // namespace

extern "C" {

sword OCIDefineByPos2(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position, void* valuep, sb8 value_sz,
                      ub2 dty, void* indp, ub4* rlenp, ub2* rcodep, ub4 mode) {
    const sword status =
        OCIDefineByPos(stmtp, defnp, errhp, position, valuep, Size32(value_sz), dty, indp, nullptr, rcodep, mode);
    if (status == OCI_SUCCESS) (*defnp)->rlenp4 = rlenp;
    return status;
}

sword OCIBindByPos2(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position, void* valuep, sb8 value_sz, ub2 dty,
                    void* indp, ub4* alenp, ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode) {
    const sword status = OCIBindByPos(stmtp, bindp, errhp, position, valuep, Size32(value_sz), dty, indp, nullptr,
                                      rcodep, maxarr_len, curelep, mode);
    if (status == OCI_SUCCESS) (*bindp)->alenp4 = alenp;
    return status;
}

sword OCIBindByName2(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, const OraText* placeholder, sb4 placeh_len,
                     void* valuep, sb8 value_sz, ub2 dty, void* indp, ub4* alenp, ub2* rcodep, ub4 maxarr_len,
                     ub4* curelep, ub4 mode) {
    const sword status = OCIBindByName(stmtp, bindp, errhp, placeholder, placeh_len, valuep, Size32(value_sz), dty,
                                       indp, nullptr, rcodep, maxarr_len, curelep, mode);
    if (status == OCI_SUCCESS) (*bindp)->alenp4 = alenp;
    return status;
}

sword OCIBindDynamic(OCIBind* bindp, OCIError* errhp, void* ictxp, OCICallbackInBind icbfp, void* octxp,
                     OCICallbackOutBind ocbfp) {
    if (HandleAs<OCIBind>(bindp, OCI_HTYPE_BIND) == nullptr) return OCI_INVALID_HANDLE;
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (diagnostics == nullptr) return OCI_INVALID_HANDLE;
    diagnostics->SetOra(3001, "unimplemented feature");
    return OCI_ERROR;
}

sword OCIDefineDynamic(OCIDefine* defnp, OCIError* errhp, void* octxp, OCICallbackDefine ocbfp) {
    if (HandleAs<OCIDefine>(defnp, OCI_HTYPE_DEFINE) == nullptr) return OCI_INVALID_HANDLE;
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (diagnostics == nullptr) return OCI_INVALID_HANDLE;
    diagnostics->SetOra(3001, "unimplemented feature");
    return OCI_ERROR;
}

sword OCIStmtGetBindInfo(OCIStmt* stmtp, OCIError* errhp, ub4 size, ub4 startloc, sb4* found, OraText* bvnp[],
                         ub1 bvnl[], OraText* invp[], ub1 inpl[], ub1 dupl[], OCIBind** hndl) {
    OCIStmt* s = HandleAs<OCIStmt>(stmtp, OCI_HTYPE_STMT);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (s == nullptr || diagnostics == nullptr || found == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        if (!s->prepared) throw OraError(24337, "statement handle not prepared");
        s->bindNames = PlaceholdersOf(s->sql);
        const auto& names = s->bindNames;
        if (names.empty()) return OCI_NO_DATA;
        if (startloc == 0 || startloc > names.size()) throw OraError(24334, "no descriptor for this position");
        const size_t total = names.size();
        const size_t count = std::min<size_t>(size, total - (startloc - 1));
        for (size_t i = 0; i < count; ++i) {
            const size_t at = startloc - 1 + i;
            const std::string& name = names[at];
            bvnp[i] = reinterpret_cast<OraText*>(const_cast<char*>(name.c_str()));
            bvnl[i] = static_cast<ub1>(name.size());
            invp[i] = nullptr;
            inpl[i] = 0;
            dupl[i] = std::find(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(at), name) !=
                      names.begin() + static_cast<std::ptrdiff_t>(at);
            hndl[i] = nullptr;
        }
        *found = startloc - 1 + count < total ? -static_cast<sb4>(total) : static_cast<sb4>(total);
        return OCI_SUCCESS;
    });
}

sword OCIStmtGetNextResult(OCIStmt* stmthp, OCIError* errhp, void** result, ub4* rtype, ub4 mode) {
    // Only PL/SQL returns implicit results, and the engine runs no PL/SQL.
    if (HandleAs<OCIStmt>(stmthp, OCI_HTYPE_STMT) == nullptr || DiagnosticsOf(errhp) == nullptr)
        return OCI_INVALID_HANDLE;
    return OCI_NO_DATA;
}

sword OCIStmtPrepare(OCIStmt* stmtp, OCIError* errhp, const OraText* stmt, ub4 stmt_len, ub4 language, ub4 mode) {
    OCIStmt* s = HandleAs<OCIStmt>(stmtp, OCI_HTYPE_STMT);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (s == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        if (stmt == nullptr) throw OraError(24373, "invalid length specified for statement");
        // the statement arrives in the client character set
        s->Prepare(ToDatabaseText(std::string_view(reinterpret_cast<const char*>(stmt), stmt_len)));
        return OCI_SUCCESS;
    });
}

sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                     const OCISnapshot* snap_in, OCISnapshot* snap_out, ub4 mode) {
    OCISvcCtx* svc = HandleAs<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
    OCIStmt* s = HandleAs<OCIStmt>(stmtp, OCI_HTYPE_STMT);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (svc == nullptr || s == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        // One round trip whatever the iterations: the array of binds travels in one message.
        RoundTrip();
        return s->Execute(svc, iters, rowoff, mode, *diagnostics);
    });
}

sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position, void* valuep, sb4 value_sz,
                     ub2 dty, void* indp, ub2* rlenp, ub2* rcodep, ub4 mode) {
    OCIStmt* s = HandleAs<OCIStmt>(stmtp, OCI_HTYPE_STMT);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (s == nullptr || diagnostics == nullptr || defnp == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        if ((mode & OCI_DYNAMIC_FETCH) != 0) throw OraError(3001, "unimplemented feature");
        RequireSupported(dty);
        OCIDefine* d = s->DefineAt(position);
        d->valuep = valuep;
        d->valueSize = value_sz;
        d->dty = dty;
        d->indp = indp;
        d->rlenp = rlenp;
        d->rcodep = rcodep;
        d->mode = mode;
        *defnp = d;
        return OCI_SUCCESS;
    });
}

sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, const OraText* placeholder, sb4 placeh_len,
                    void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2* rcodep, ub4 maxarr_len,
                    ub4* curelep, ub4 mode) {
    OCIStmt* s = HandleAs<OCIStmt>(stmtp, OCI_HTYPE_STMT);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (s == nullptr || diagnostics == nullptr || bindp == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        if (placeholder == nullptr) throw OraError(1036, "illegal variable name/number");
        size_t len =
            placeh_len >= 0 ? static_cast<size_t>(placeh_len) : std::strlen(reinterpret_cast<const char*>(placeholder));
        // The handle passed in (if any) is not reused: each placeholder has its own bind. The
        // name is in the client's character set, as the statement text is.
        OCIBind* b = s->BindByName(ToDatabaseText(std::string_view(reinterpret_cast<const char*>(placeholder), len)));
        FillBind(b, valuep, value_sz, dty, indp, alenp, rcodep, maxarr_len, curelep, mode);
        *bindp = b;
        return OCI_SUCCESS;
    });
}

sword OCIBindByPos(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position, void* valuep, sb4 value_sz, ub2 dty,
                   void* indp, ub2* alenp, ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode) {
    OCIStmt* s = HandleAs<OCIStmt>(stmtp, OCI_HTYPE_STMT);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (s == nullptr || diagnostics == nullptr || bindp == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        OCIBind* b = s->BindByPosition(position);
        FillBind(b, valuep, value_sz, dty, indp, alenp, rcodep, maxarr_len, curelep, mode);
        *bindp = b;
        return OCI_SUCCESS;
    });
}

sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, ub4 mode) {
    OCIStmt* s = HandleAs<OCIStmt>(stmtp, OCI_HTYPE_STMT);
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (s == nullptr || diagnostics == nullptr) return OCI_INVALID_HANDLE;
    // The statement makes the round trips itself: only when its buffer of prefetched rows
    // cannot serve the call.
    return GuardedCall(diagnostics, [&]() -> sword { return s->Fetch(nrows, orientation, *diagnostics); });
}

sword OCIParamGet(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp, ub4 pos) {
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (diagnostics == nullptr || parmdpp == nullptr) return OCI_INVALID_HANDLE;
    if (htype == OCI_DTYPE_PARAM) {
        // a member of a described object's column list (1-based), as OCIDescribeAny made it
        OCIParam* list = HandleAs<OCIParam>(hndlp, OCI_DTYPE_PARAM);
        if (list == nullptr) return OCI_INVALID_HANDLE;
        return GuardedCall(diagnostics, [&]() -> sword {
            if (pos == 0 || pos > list->members.size()) throw OraError(24334, "no descriptor for this position");
            *parmdpp = list->members[pos - 1];
            return OCI_SUCCESS;
        });
    }
    if (htype == OCI_HTYPE_ERROR) {
        // The error of one failed row of the last batch-error array DML (0-based position).
        // Clients written from Oracle's guide allocate an error handle of their own and pass
        // it in: it is filled in place (and stays theirs to free). Otherwise the row gets a
        // handle owned by this one.
        OCIError* err = HandleAs<OCIError>(hndlp, OCI_HTYPE_ERROR);
        if (err == nullptr) return OCI_INVALID_HANDLE;
        return GuardedCall(diagnostics, [&]() -> sword {
            const auto& rows = err->diagnostics.RowErrors();
            if (pos >= rows.size()) throw OraError(24334, "no descriptor for this position");
            OCIError* row = nullptr;
            // Only a handle the environment knows is looked at: *parmdpp may be anything.
            auto* given = static_cast<HandleBase*>(*parmdpp);
            if (given != nullptr && given != err && err->owner != nullptr && err->owner->children.count(given) != 0)
                row = HandleAs<OCIError>(given, OCI_HTYPE_ERROR);
            if (row == nullptr) {
                while (err->rowHandles.size() <= pos) err->rowHandles.push_back(std::make_unique<OCIError>());
                row = err->rowHandles[pos].get();
            }
            row->diagnostics.Set(rows[pos].error.code, rows[pos].error.message);
            row->rowOffset = rows[pos].offset;
            *parmdpp = row;
            return OCI_SUCCESS;
        });
    }
    if (htype != OCI_HTYPE_STMT) {
        if (LiveHandle(hndlp) == nullptr) return OCI_INVALID_HANDLE;
        diagnostics->SetOra(3001, "unimplemented feature");
        return OCI_ERROR;
    }
    OCIStmt* s = HandleAs<OCIStmt>(hndlp, OCI_HTYPE_STMT);
    if (s == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        *parmdpp = s->Param(pos);
        return OCI_SUCCESS;
    });
}

}  // extern "C"
