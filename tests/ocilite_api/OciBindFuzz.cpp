// Fuzz target: arbitrary text bound as SQLT_STR into NUMBER, DATE (through TO_DATE), VARCHAR2,
// CHAR and TIMESTAMP columns through the OCI C API, then fetched back as text. Every call must
// end in OCI_SUCCESS, OCI_SUCCESS_WITH_INFO or OCI_ERROR with a well-formed "ORA-nnnnn: "
// record whose number matches the code, never crash or leak an exception.
// Input: first byte picks the column, the rest is the bound text.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "ociabi/OciApi.h"
#include "ocilite/engine/Engine.h"

namespace {

struct Fixture {
    OCIEnv* env = nullptr;
    OCIError* err = nullptr;
    OCISvcCtx* svc = nullptr;
    OCIStmt* stmt = nullptr;

    Fixture() {
        auto dir = std::filesystem::temp_directory_path() / ("ocilite_bind_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::string db = (dir / "f.db").string();
        std::filesystem::remove(db);
        ocilite::Session::Logon("fuzz", "fuzz", db, true);
        OCIInitialize(OCI_OBJECT, nullptr, nullptr, nullptr, nullptr);
        OCIEnvInit(&env, OCI_DEFAULT, 0, nullptr);
        OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
        if (OCILogon(env, err, &svc, reinterpret_cast<const OraText*>("fuzz"), 4,
                     reinterpret_cast<const OraText*>("fuzz"), 4, reinterpret_cast<const OraText*>(db.c_str()),
                     static_cast<ub4>(db.size())) != OCI_SUCCESS)
            std::abort();
        OCIHandleAlloc(env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
        Run("CREATE TABLE F (N NUMBER(10,2), D DATE, V VARCHAR2(10), C CHAR(3), T TIMESTAMP(3), X NUMBER)", 1);
    }
    sword Run(const std::string& sql, ub4 iters) {
        if (OCIStmtPrepare(stmt, err, reinterpret_cast<const OraText*>(sql.data()), static_cast<ub4>(sql.size()),
                           OCI_NTV_SYNTAX, OCI_DEFAULT) != OCI_SUCCESS)
            std::abort();
        return OCIStmtExecute(svc, stmt, err, iters, 0, nullptr, nullptr, OCI_DEFAULT);
    }
    void CheckStatus(sword rc) {
        if (rc == OCI_SUCCESS || rc == OCI_NO_DATA) return;
        if (rc != OCI_ERROR && rc != OCI_SUCCESS_WITH_INFO) std::abort();
        char buf[600];
        sb4 code = 0;
        if (OCIErrorGet(err, 1, nullptr, &code, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_ERROR) !=
            OCI_SUCCESS)
            std::abort();
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
        if (code <= 0 || std::strncmp(buf, prefix, std::strlen(prefix)) != 0) std::abort();
    }
};

const char* const kInserts[] = {
    "INSERT INTO F (N) VALUES (:V)",
    "INSERT INTO F (D) VALUES (TO_DATE(:V, 'YYYY/MM/DD HH24:MI:SS'))",
    "INSERT INTO F (V) VALUES (:V)",
    "INSERT INTO F (C) VALUES (:V)",
    "INSERT INTO F (T) VALUES (TO_TIMESTAMP(:V, 'YYYY-MM-DD HH24:MI:SSXFF'))",
    "INSERT INTO F (X) VALUES (:V)",
    "INSERT INTO F (D) VALUES (:V)",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture f;
    if (size == 0) return 0;
    const size_t which = data[0] % (sizeof kInserts / sizeof kInserts[0]);
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string sql = kInserts[which];
    if (OCIStmtPrepare(f.stmt, f.err, reinterpret_cast<const OraText*>(sql.data()), static_cast<ub4>(sql.size()),
                       OCI_NTV_SYNTAX, OCI_DEFAULT) != OCI_SUCCESS)
        std::abort();
    OCIBind* bind = nullptr;
    if (OCIBindByName(f.stmt, &bind, f.err, reinterpret_cast<const OraText*>(":V"), 2, text.data(),
                      static_cast<sb4>(text.size() + 1), SQLT_STR, nullptr, nullptr, nullptr, 0, nullptr,
                      OCI_DEFAULT) != OCI_SUCCESS)
        std::abort();
    f.CheckStatus(OCIStmtExecute(f.svc, f.stmt, f.err, 1, 0, nullptr, nullptr, OCI_DEFAULT));

    // Everything stored reads back as text without failing the fetch protocol.
    f.CheckStatus(f.Run("select N, D, V, C, T, X from F", 0));
    char bufs[6][64];
    sb2 ind[6];
    for (ub4 i = 0; i < 6; ++i) {
        OCIDefine* d = nullptr;
        OCIDefineByPos(f.stmt, &d, f.err, i + 1, bufs[i], sizeof bufs[i], SQLT_STR, &ind[i], nullptr, nullptr,
                       OCI_DEFAULT);
    }
    sword rc;
    while ((rc = OCIStmtFetch(f.stmt, f.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT)) == OCI_SUCCESS ||
           rc == OCI_SUCCESS_WITH_INFO) {}
    f.CheckStatus(rc);
    OCITransRollback(f.svc, f.err, OCI_DEFAULT);
    return 0;
}
