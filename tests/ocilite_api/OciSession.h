#pragma once
// Test helper: an environment, an error handle and (optionally) a logged-on service context,
// driven through the exported OCI functions exactly as a client calls them.

#include <string>

#include "ociabi/OciApi.h"

namespace ocitest {

class OciSession {
public:
    OciSession();
    ~OciSession();
    OciSession(const OciSession&) = delete;
    OciSession& operator=(const OciSession&) = delete;

    sword Logon(const std::string& user, const std::string& password, const std::string& db);
    // Prepares and executes (iters 0 for a query, 1 otherwise) on a new statement handle.
    sword Run(const std::string& sql, OCIStmt** stmtOut = nullptr);
    OCIStmt* NewStatement();
    // Record 1 of the error handle: "ORA-nnnnn: text" without the trailing newline.
    std::string ErrorText(sb4* code = nullptr) const;
    int ErrorCode() const;

    OCIEnv* env = nullptr;
    OCIError* err = nullptr;
    OCISvcCtx* svc = nullptr;
};

}  // namespace ocitest
