// The calls and attributes Oracle's own drivers (ODPI-C under node-oracledb and
// python-oracledb) make, each answered as Oracle's client answers it, so that a regression
// shows here without node.

#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "ocilite/api/OciExports.h"
#include "tests/ocilite_api/LoggedOnTest.h"

namespace {

class DriverCallsTest : public ocitest::LoggedOnTest {
protected:
    DriverCallsTest() : LoggedOnTest("ocilite_driver_") {}

    OCIStmt* Prepared(const std::string& sql) {
        OCIStmt* st = nullptr;
        EXPECT_EQ(OCIStmtPrepare2(s.svc, &st, s.err, reinterpret_cast<const OraText*>(sql.c_str()),
                                  static_cast<ub4>(sql.size()), nullptr, 0, OCI_NTV_SYNTAX, OCI_DEFAULT),
                  OCI_SUCCESS);
        return st;
    }
    int Count(const std::string& sql) {
        OCIStmt* st = Prepared(sql);
        int n = -1;
        OCIDefine* d = nullptr;
        OCIDefineByPos2(st, &d, s.err, 1, &n, sizeof n, SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
        EXPECT_EQ(OCIStmtExecute(s.svc, st, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS) << s.ErrorText();
        OCIStmtRelease(st, s.err, nullptr, 0, OCI_DEFAULT);
        return n;
    }
};

TEST_F(DriverCallsTest, VersionsThreadKeysAndNlsNames) {
    sword major = 0, minor = 0, update = 0, patch = 0, port = 0;
    OCIClientVersion(&major, &minor, &update, &patch, &port);
    char banner[200];
    ub4 release = 0;
    ASSERT_EQ(OCIServerRelease2(s.svc, s.err, reinterpret_cast<OraText*>(banner), sizeof banner, OCI_HTYPE_SVCCTX,
                                &release, OCI_DEFAULT),
              OCI_SUCCESS);
    EXPECT_EQ(major, 19);
    EXPECT_EQ(release >> 24, 19u);
    EXPECT_EQ((release >> 16) & 0xFF, static_cast<ub4>(minor));

    OCIThreadProcessInit();
    OCIThreadKey* key = nullptr;
    void* value = nullptr;
    ASSERT_EQ(OCIThreadKeyInit(s.env, s.err, &key, nullptr), OCI_SUCCESS);
    EXPECT_EQ(OCIThreadKeySet(s.env, s.err, key, &major), OCI_SUCCESS);
    EXPECT_EQ(OCIThreadKeyGet(s.env, s.err, key, &value), OCI_SUCCESS);
    EXPECT_EQ(value, &major);
    EXPECT_EQ(OCIThreadKeyDestroy(s.env, s.err, &key), OCI_SUCCESS);

    OraText name[40];
    ASSERT_EQ(
        OCINlsNameMap(s.env, name, sizeof name, reinterpret_cast<const OraText*>("UTF-8"), OCI_NLS_CS_IANA_TO_ORA),
        OCI_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char*>(name), "AL32UTF8");
    EXPECT_EQ(OCINlsCharSetNameToId(s.env, name), 873);
    sb4 width = 0;
    EXPECT_EQ(OCINlsNumericInfoGet(s.env, s.err, &width, OCI_NLS_CHARSET_MAXBYTESZ), OCI_SUCCESS);
    EXPECT_EQ(width, 4);
}

// The server status a driver reads after every error, and whether a transaction is open.
TEST_F(DriverCallsTest, SessionAndServerAttributes) {
    void* server = nullptr;
    void* session = nullptr;
    ASSERT_EQ(OCIAttrGet(s.svc, OCI_HTYPE_SVCCTX, &server, nullptr, OCI_ATTR_SERVER, s.err), OCI_SUCCESS);
    ASSERT_EQ(OCIAttrGet(s.svc, OCI_HTYPE_SVCCTX, &session, nullptr, OCI_ATTR_SESSION, s.err), OCI_SUCCESS);
    boolean open = 1;
    ASSERT_EQ(OCIAttrGet(session, OCI_HTYPE_SESSION, &open, nullptr, OCI_ATTR_TRANSACTION_IN_PROGRESS, s.err),
              OCI_SUCCESS);
    EXPECT_EQ(open, 0);
    ASSERT_EQ(s.Run("create table t (a number primary key)"), OCI_SUCCESS);
    ASSERT_EQ(s.Run("insert into t values (1)"), OCI_SUCCESS);
    OCIAttrGet(session, OCI_HTYPE_SESSION, &open, nullptr, OCI_ATTR_TRANSACTION_IN_PROGRESS, s.err);
    EXPECT_EQ(open, 1);
    const char* driver = "node-oracledb : 6";
    EXPECT_EQ(OCIAttrSet(session, OCI_HTYPE_SESSION, const_cast<char*>(driver), std::strlen(driver),
                         OCI_ATTR_DRIVER_NAME, s.err),
              OCI_SUCCESS);
    EXPECT_EQ(s.Run("insert into t values (1)"), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 1);
    ub4 status = 0;
    ASSERT_EQ(OCIAttrGet(server, OCI_HTYPE_SERVER, &status, nullptr, OCI_ATTR_SERVER_STATUS, s.err), OCI_SUCCESS);
    EXPECT_EQ(status, OCI_SERVER_NORMAL);
}

// Array DML: rows per iteration, and a batch with a failed row is not committed.
TEST_F(DriverCallsTest, BatchRowCountsAndCommitOnlyWhenEveryRowSucceeded) {
    ASSERT_EQ(s.Run("create table t (a number primary key)"), OCI_SUCCESS);
    OCIStmt* st = Prepared("insert into t values (:a)");
    int values[3] = {1, 1, 2};
    OCIBind* b = nullptr;
    ASSERT_EQ(OCIBindByPos2(st, &b, s.err, 1, values, sizeof(int), SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr,
                            OCI_DEFAULT),
              OCI_SUCCESS);
    EXPECT_EQ(OCIStmtExecute(s.svc, st, s.err, 3, 0, nullptr, nullptr,
                             OCI_BATCH_ERRORS | OCI_COMMIT_ON_SUCCESS | OCI_RETURN_ROW_COUNT_ARRAY),
              OCI_SUCCESS_WITH_INFO);
    ub8* counts = nullptr;
    ub4 n = 0;
    ASSERT_EQ(OCIAttrGet(st, OCI_HTYPE_STMT, &counts, &n, OCI_ATTR_DML_ROW_COUNT_ARRAY, s.err), OCI_SUCCESS);
    ASSERT_EQ(n, 3u);
    EXPECT_EQ(counts[0] + counts[1] * 10 + counts[2] * 100, 101u);
    OCITransRollback(s.svc, s.err, OCI_DEFAULT);
    EXPECT_EQ(Count("select count(*) from t"), 0);

    // bind names as OCIStmtGetBindInfo lists them
    OCIStmt* q = Prepared("select a from t where a = :a or a = :\"b\" or a = :a");
    OraText* names[4];
    ub1 lengths[4], indLengths[4], dup[4];
    OraText* indNames[4];
    OCIBind* handles[4];
    sb4 found = 0;
    ASSERT_EQ(OCIStmtGetBindInfo(q, s.err, 4, 1, &found, names, lengths, indNames, indLengths, dup, handles),
              OCI_SUCCESS);
    EXPECT_EQ(found, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(names[1]), lengths[1]), "b");
    EXPECT_EQ(dup[2], 1);
}

// Where the error lies in the text: the table of ORA-00942, the name of ORA-00904, the token a
// syntax error stopped at.
TEST_F(DriverCallsTest, ParseErrorOffsets) {
    const struct {
        const char* sql;
        int code;
        ub2 offset;
    } cases[] = {{"select * from no_such_table", 942, 14},
                 {"select nosuch from dual", 904, 7},
                 {"select 1 from dual where", 936, 24}};
    for (const auto& c : cases) {
        OCIStmt* st = Prepared(c.sql);
        EXPECT_EQ(OCIStmtExecute(s.svc, st, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
        EXPECT_EQ(s.ErrorCode(), c.code) << c.sql;
        ub2 offset = 0;
        EXPECT_EQ(OCIAttrGet(st, OCI_HTYPE_STMT, &offset, nullptr, OCI_ATTR_PARSE_ERROR_OFFSET, s.err), OCI_SUCCESS);
        EXPECT_EQ(offset, c.offset) << c.sql;
        OCIStmtRelease(st, s.err, nullptr, 0, OCI_DEFAULT);
    }
}

}  // namespace
