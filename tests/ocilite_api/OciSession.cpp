#include "tests/ocilite_api/OciSession.h"

#include <cstring>

namespace ocitest {

OciSession::OciSession() {
    OCIInitialize(OCI_OBJECT, nullptr, nullptr, nullptr, nullptr);
    OCIEnvInit(&env, OCI_DEFAULT, 0, nullptr);
    OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
}

OciSession::~OciSession() {
    if (svc != nullptr) OCILogoff(svc, err);
    OCIHandleFree(env, OCI_HTYPE_ENV);
}

sword OciSession::Logon(const std::string& user, const std::string& password, const std::string& db) {
    return OCILogon(env, err, &svc, reinterpret_cast<const OraText*>(user.data()), static_cast<ub4>(user.size()),
                    reinterpret_cast<const OraText*>(password.data()), static_cast<ub4>(password.size()),
                    reinterpret_cast<const OraText*>(db.data()), static_cast<ub4>(db.size()));
}

OCIStmt* OciSession::NewStatement() {
    OCIStmt* stmt = nullptr;
    OCIHandleAlloc(env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
    return stmt;
}

sword OciSession::Run(const std::string& sql, OCIStmt** stmtOut) {
    OCIStmt* stmt = NewStatement();
    sword rc = OCIStmtPrepare(stmt, err, reinterpret_cast<const OraText*>(sql.data()), static_cast<ub4>(sql.size()),
                              OCI_NTV_SYNTAX, OCI_DEFAULT);
    if (rc == OCI_SUCCESS) {
        ub2 type = 0;
        OCIAttrGet(stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, err);
        rc = OCIStmtExecute(svc, stmt, err, type == OCI_STMT_SELECT ? 0 : 1, 0, nullptr, nullptr, OCI_DEFAULT);
    }
    if (stmtOut != nullptr)
        *stmtOut = stmt;
    else
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
    return rc;
}

std::string OciSession::ErrorText(sb4* code) const {
    char buf[1024] = {};
    sb4 c = 0;
    if (OCIErrorGet(err, 1, nullptr, &c, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_ERROR) != OCI_SUCCESS)
        return "";
    if (code != nullptr) *code = c;
    std::string s(buf);
    if (!s.empty() && s.back() == '\n') s.pop_back();
    return s;
}

int OciSession::ErrorCode() const {
    sb4 code = 0;
    ErrorText(&code);
    return code;
}

}  // namespace ocitest
