#include "ocilite/api/HandleFactory.h"

#include "ocilite/api/DatetimeDescriptor.h"
#include "ocilite/api/ErrorHandle.h"
#include "ocilite/api/IntervalDescriptor.h"
#include "ocilite/api/LobLocator.h"
#include "ocilite/api/OpaqueHandle.h"
#include "ocilite/api/ParamDescriptor.h"
#include "ocilite/api/RowidDescriptor.h"
#include "ocilite/api/ServerHandles.h"
#include "ocilite/api/ServiceContextHandle.h"
#include "ocilite/api/StatementHandle.h"

namespace ocilite::api {

std::unique_ptr<HandleBase> NewHandle(ub4 handleType) {
    switch (handleType) {
        case OCI_HTYPE_ERROR: return std::make_unique<OCIError>();
        case OCI_HTYPE_SVCCTX: return std::make_unique<OCISvcCtx>();
        case OCI_HTYPE_STMT: return std::make_unique<OCIStmt>();
        case OCI_HTYPE_DESCRIBE: return std::make_unique<OCIDescribe>();
        case OCI_HTYPE_SERVER: return std::make_unique<OCIServer>();
        case OCI_HTYPE_SESSION: return std::make_unique<OCISession>();
        case OCI_HTYPE_TRANS:
        case OCI_HTYPE_CPOOL:
        case OCI_HTYPE_SPOOL:
        case OCI_HTYPE_ADMIN: return std::make_unique<OpaqueHandle>(handleType);
        default: return nullptr;
    }
}

std::unique_ptr<HandleBase> NewDescriptor(ub4 descriptorType) {
    switch (descriptorType) {
        case OCI_DTYPE_LOB:
        case OCI_DTYPE_FILE: return std::make_unique<OCILobLocator>(descriptorType);
        case OCI_DTYPE_ROWID: return std::make_unique<OCIRowid>();
        case OCI_DTYPE_PARAM: return std::make_unique<OCIParam>();
        case OCI_DTYPE_DATE:
        case OCI_DTYPE_TIMESTAMP:
        case OCI_DTYPE_TIMESTAMP_TZ:
        case OCI_DTYPE_TIMESTAMP_LTZ: return std::make_unique<OCIDateTime>(descriptorType);
        case OCI_DTYPE_INTERVAL_YM:
        case OCI_DTYPE_INTERVAL_DS: return std::make_unique<OCIInterval>(descriptorType);
        case OCI_DTYPE_SNAP: return std::make_unique<OpaqueHandle>(descriptorType);
        default: return nullptr;
    }
}

}  // namespace ocilite::api
