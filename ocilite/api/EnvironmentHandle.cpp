#include "ocilite/api/EnvironmentHandle.h"

#include <vector>

OCIEnv::~OCIEnv() {
    // Statements first: they detach from their service contexts as they go.
    std::vector<ocilite::api::HandleBase*> rest;
    std::vector<ocilite::api::HandleBase*> statements;
    for (auto* h : children) (h->type == OCI_HTYPE_STMT ? statements : rest).push_back(h);
    children.clear();
    for (auto* h : statements) delete h;
    for (auto* h : rest) delete h;
}
