#include "ocilite/api/ServiceContextHandle.h"

#include <vector>

#include "ocilite/api/StatementHandle.h"

OCISvcCtx::~OCISvcCtx() {
    EndSession();
}

void OCISvcCtx::EndSession() noexcept {
    std::vector<OCIStmt*> attached(statements.begin(), statements.end());
    for (OCIStmt* s : attached) s->DetachSession();
    statements.clear();
    session.reset();
}
