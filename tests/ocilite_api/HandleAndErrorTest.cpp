// Handles, error records and logon through the exported functions, over the scripted engine.

#include <cstring>
#include <gtest/gtest.h>

#include "tests/ocilite_api/FakeEngine.h"
#include "tests/ocilite_api/OciSession.h"

using ocitest::OciSession;

namespace {

struct LogonCase {
    const char* user;
    const char* password;
    const char* db;
    sword status;
    int code;
    const char* text;
};

TEST(OciLogon, ReportsOracleErrors) {
    const LogonCase cases[] = {
        {"scott", "tiger", "any.db", OCI_SUCCESS, 0, ""},
        {"scott", "wrong", "any.db", OCI_ERROR, 1017, "ORA-01017: invalid username/password; logon denied"},
        {"scott", "tiger", "missing.db", OCI_ERROR, 12154,
         "ORA-12154: TNS:could not resolve the connect identifier specified"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.user) + "/" + c.password + "@" + c.db);
        OciSession s;
        EXPECT_EQ(s.Logon(c.user, c.password, c.db), c.status);
        if (c.status == OCI_SUCCESS) {
            EXPECT_NE(s.svc, nullptr);
        } else {
            EXPECT_EQ(s.ErrorCode(), c.code);
            EXPECT_EQ(s.ErrorText(), c.text);
        }
    }
}

TEST(OciErrorGet, RecordsNewlineTruncationAndEnd) {
    OciSession s;
    ASSERT_EQ(s.Logon("scott", "bad", "x.db"), OCI_ERROR);
    const std::string full = "ORA-01017: invalid username/password; logon denied\n";

    char buf[128];
    sb4 code = 0;
    std::memset(buf, 'X', sizeof buf);
    ASSERT_EQ(OCIErrorGet(s.err, 1, nullptr, &code, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_ERROR),
              OCI_SUCCESS);
    EXPECT_EQ(code, 1017);
    EXPECT_EQ(std::string(buf), full);

    // Short buffers get a NUL-terminated prefix and nothing is written past them.
    for (ub4 size : {1u, 2u, 10u, static_cast<ub4>(full.size()), static_cast<ub4>(full.size() + 1)}) {
        SCOPED_TRACE(size);
        std::memset(buf, 'X', sizeof buf);
        ASSERT_EQ(OCIErrorGet(s.err, 1, nullptr, &code, reinterpret_cast<OraText*>(buf), size, OCI_HTYPE_ERROR),
                  OCI_SUCCESS);
        EXPECT_EQ(std::string(buf), full.substr(0, size - 1));
        EXPECT_EQ(buf[size], 'X');
    }
    EXPECT_EQ(OCIErrorGet(s.err, 2, nullptr, &code, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_ERROR),
              OCI_NO_DATA);
    EXPECT_EQ(OCIErrorGet(s.err, 0, nullptr, &code, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_ERROR),
              OCI_NO_DATA);
    // The error handle named as an environment is refused.
    EXPECT_EQ(OCIErrorGet(s.err, 1, nullptr, &code, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_ENV),
              OCI_INVALID_HANDLE);
}

TEST(OciHandles, InvalidHandlesAreRefusedNotCrashed) {
    OciSession s;
    ASSERT_EQ(s.Logon("scott", "tiger", "a.db"), OCI_SUCCESS);
    OCIStmt* stmt = s.NewStatement();
    ASSERT_NE(stmt, nullptr);
    const char* sql = "select * from T";
    auto text = reinterpret_cast<const OraText*>(sql);

    EXPECT_EQ(OCIStmtPrepare(nullptr, s.err, text, 15, OCI_NTV_SYNTAX, OCI_DEFAULT), OCI_INVALID_HANDLE);
    EXPECT_EQ(OCIStmtPrepare(stmt, nullptr, text, 15, OCI_NTV_SYNTAX, OCI_DEFAULT), OCI_INVALID_HANDLE);
    // A handle of the wrong type.
    EXPECT_EQ(OCIStmtPrepare(reinterpret_cast<OCIStmt*>(s.err), s.err, text, 15, OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_INVALID_HANDLE);
    EXPECT_EQ(OCIStmtExecute(s.svc, stmt, reinterpret_cast<OCIError*>(s.env), 0, 0, nullptr, nullptr, OCI_DEFAULT),
              OCI_INVALID_HANDLE);
    EXPECT_EQ(OCIHandleFree(stmt, OCI_HTYPE_ERROR), OCI_INVALID_HANDLE);
    EXPECT_EQ(OCIHandleFree(stmt, OCI_HTYPE_STMT), OCI_SUCCESS);
    EXPECT_EQ(OCITransCommit(nullptr, s.err, OCI_DEFAULT), OCI_INVALID_HANDLE);
    EXPECT_EQ(OCINumberAbs(nullptr, nullptr, nullptr), OCI_INVALID_HANDLE);
    EXPECT_EQ(OCIHandleAlloc(nullptr, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr), OCI_INVALID_HANDLE);
}

TEST(OciHandles, EveryTypeTheClientUsesAllocatesAndFrees) {
    OciSession s;
    const ub4 handleTypes[] = {OCI_HTYPE_ERROR,   OCI_HTYPE_SVCCTX, OCI_HTYPE_STMT,    OCI_HTYPE_SERVER,
                               OCI_HTYPE_SESSION, OCI_HTYPE_SPOOL,  OCI_HTYPE_DESCRIBE};
    for (ub4 t : handleTypes) {
        SCOPED_TRACE(t);
        void* h = nullptr;
        void* user = nullptr;
        ASSERT_EQ(OCIHandleAlloc(s.env, &h, t, 16, &user), OCI_SUCCESS);
        ASSERT_NE(h, nullptr);
        ASSERT_NE(user, nullptr);
        std::memset(user, 0x5a, 16);
        EXPECT_EQ(OCIHandleFree(h, t), OCI_SUCCESS);
    }
    const ub4 descriptorTypes[] = {OCI_DTYPE_LOB,           OCI_DTYPE_FILE,        OCI_DTYPE_ROWID,
                                   OCI_DTYPE_DATE,          OCI_DTYPE_TIMESTAMP,   OCI_DTYPE_TIMESTAMP_TZ,
                                   OCI_DTYPE_TIMESTAMP_LTZ, OCI_DTYPE_INTERVAL_YM, OCI_DTYPE_INTERVAL_DS};
    for (ub4 t : descriptorTypes) {
        SCOPED_TRACE(t);
        void* d = nullptr;
        ASSERT_EQ(OCIDescriptorAlloc(s.env, &d, t, 0, nullptr), OCI_SUCCESS);
        EXPECT_EQ(OCIDescriptorFree(d, t == OCI_DTYPE_LOB ? OCI_DTYPE_FILE : OCI_DTYPE_LOB), OCI_INVALID_HANDLE)
            << "a descriptor freed as another type is refused";
        EXPECT_EQ(OCIDescriptorFree(d, t), OCI_SUCCESS);
    }
    // Handles left allocated are freed with their environment (checked by the sanitizer build).
    void* leftover = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, &leftover, OCI_DTYPE_TIMESTAMP, 0, nullptr), OCI_SUCCESS);
    // Binds and defines exist only implicitly.
    void* bind = nullptr;
    EXPECT_EQ(OCIHandleAlloc(s.env, &bind, OCI_HTYPE_BIND, 0, nullptr), OCI_INVALID_HANDLE);
}

TEST(OciSessionPool, IsExportedButRefusedHonestly) {
    OciSession s;
    void* pool = nullptr;
    ASSERT_EQ(OCIHandleAlloc(s.env, &pool, OCI_HTYPE_SPOOL, 0, nullptr), OCI_SUCCESS);
    OraText* name = nullptr;
    ub4 nameLen = 0;
    EXPECT_EQ(OCISessionPoolCreate(s.env, s.err, static_cast<OCISPool*>(pool), &name, &nameLen, nullptr, 0, 1, 2, 1,
                                   nullptr, 0, nullptr, 0, OCI_DEFAULT),
              OCI_ERROR);
    EXPECT_EQ(s.ErrorText(), "ORA-03001: unimplemented feature");
}

TEST(OciTransactions, CommitRollbackAndLogoffReachTheSession) {
    fake::Reset();
    {
        OciSession s;
        ASSERT_EQ(s.Logon("scott", "tiger", "a.db"), OCI_SUCCESS);
        EXPECT_EQ(OCITransCommit(s.svc, s.err, OCI_DEFAULT), OCI_SUCCESS);
        EXPECT_EQ(OCITransRollback(s.svc, s.err, OCI_DEFAULT), OCI_SUCCESS);
        EXPECT_EQ(fake::TheWorld().commits, 1);
        EXPECT_EQ(fake::TheWorld().rollbacks, 1);
        EXPECT_EQ(OCILogoff(s.svc, s.err), OCI_SUCCESS);
        s.svc = nullptr;
        EXPECT_EQ(fake::TheWorld().commits, 2) << "a normal logoff commits";
    }
}

TEST(OciNls, AnswersTheFixedLocale) {
    OciSession s;
    struct Case {
        ub2 item;
        const char* text;
    } cases[] = {{OCI_NLS_LANGUAGE, "AMERICAN"},
                 {OCI_NLS_TERRITORY, "AMERICA"},
                 {OCI_NLS_CHARACTER_SET, "AL32UTF8"},
                 {OCI_NLS_ABMONTHNAME3, "MAR"},
                 {OCI_NLS_DATEFORMAT, "DD-MON-RR"}};
    for (const auto& c : cases) {
        char buf[OCI_NLS_MAXBUFSZ];
        ASSERT_EQ(OCINlsGetInfo(s.env, s.err, reinterpret_cast<OraText*>(buf), sizeof buf, c.item), OCI_SUCCESS);
        EXPECT_STREQ(buf, c.text);
    }
    char tiny[3];
    EXPECT_EQ(OCINlsGetInfo(s.env, s.err, reinterpret_cast<OraText*>(tiny), sizeof tiny, OCI_NLS_LANGUAGE), OCI_ERROR);
    char buf[OCI_NLS_MAXBUFSZ];
    EXPECT_EQ(OCINlsGetInfo(s.env, s.err, reinterpret_cast<OraText*>(buf), sizeof buf, 9999), OCI_ERROR);
}

}  // namespace
