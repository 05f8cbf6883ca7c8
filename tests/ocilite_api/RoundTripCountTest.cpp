// The round trips libocilite.so counts (OCILiteRoundTrips) for the calls a client makes, end
// to end over the SQL engine: one for each call Oracle serves on the server, none for the
// calls its client library answers alone, and for a query's fetches only as many as the
// prefetch buffer needs. Prefetching changes the count, never the rows or the errors.

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "ocilite/api/RoundTrip.h"
#include "ocilite/engine/Engine.h"
#include "tests/ocilite_api/LoggedOnTest.h"

using ocitest::LoggedOnTest;
using ocitest::OciSession;

namespace {

constexpr int kRows = 1000;
constexpr int kBadRow = 700;  // its V does not fit a one-byte integer

class RoundTripCount : public LoggedOnTest {
protected:
    RoundTripCount() : LoggedOnTest("ocilite_rtrip_") {}
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(s.Run("create table T (ID number(10), V number(10), NAME varchar2(20))"), OCI_SUCCESS)
            << s.ErrorText();
    }

    static unsigned long long Trips() { return OCILiteRoundTrips(); }

    OCIStmt* Prepared(const std::string& sql) {
        OCIStmt* stmt = s.NewStatement();
        EXPECT_EQ(OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                                 static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
                  OCI_SUCCESS);
        return stmt;
    }

    // Inserts kRows rows with one array execute; returns the round trips that execute made.
    unsigned long long InsertRows() {
        ids_.resize(kRows);
        values_.resize(kRows);
        names_.assign(kRows * 20, '\0');
        for (int i = 0; i < kRows; ++i) {
            ids_[i] = i + 1;
            values_[i] = i + 1 == kBadRow ? 1000 : (i + 1) % 100;
            const std::string name = "row" + std::to_string(i + 1);
            name.copy(&names_[i * 20], name.size());
        }
        OCIStmt* stmt = Prepared("insert into T values (:1, :2, :3)");
        OCIBind* b[3] = {};
        EXPECT_EQ(OCIBindByPos(stmt, &b[0], s.err, 1, ids_.data(), 4, SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr,
                               OCI_DEFAULT),
                  OCI_SUCCESS);
        EXPECT_EQ(OCIBindByPos(stmt, &b[1], s.err, 2, values_.data(), 4, SQLT_INT, nullptr, nullptr, nullptr, 0,
                               nullptr, OCI_DEFAULT),
                  OCI_SUCCESS);
        EXPECT_EQ(OCIBindByPos(stmt, &b[2], s.err, 3, names_.data(), 20, SQLT_STR, nullptr, nullptr, nullptr, 0,
                               nullptr, OCI_DEFAULT),
                  OCI_SUCCESS);
        const unsigned long long before = Trips();
        EXPECT_EQ(OCIStmtExecute(s.svc, stmt, s.err, kRows, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
            << s.ErrorText();
        const unsigned long long trips = Trips() - before;
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
        return trips;
    }

    // A row's size as the describe of the test query gives it (the sum of OCI_ATTR_DATA_SIZE).
    ub4 DescribedRowBytes(const std::string& sql) {
        OCIStmt* stmt = Prepared(sql);
        EXPECT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DESCRIBE_ONLY), OCI_SUCCESS);
        ub4 count = 0, total = 0;
        OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, s.err);
        for (ub4 i = 1; i <= count; ++i) {
            void* param = nullptr;
            ub2 size = 0;
            EXPECT_EQ(OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, i), OCI_SUCCESS);
            EXPECT_EQ(OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, s.err), OCI_SUCCESS);
            total += size;
        }
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
        return total;
    }

    std::vector<int> ids_, values_;
    std::string names_;
};

// What a query delivered and what it cost.
struct FetchOutcome {
    long long idSum = 0;
    int rows = 0;
    sword last = OCI_SUCCESS;  // the status that ended the loop
    int errorCode = 0;
    unsigned long long trips = 0;  // execute included
};

// Runs `select ID, V from T order by ID` with the given prefetch attributes (a negative value
// leaves the attribute at its default), fetching `arraySize` rows a call until the end or an
// error. V is fetched into one-byte integers, so row kBadRow fails with ORA-01455.
FetchOutcome FetchAll(OciSession& s, OCIStmt* stmt, long prefetchRows, long prefetchMemory, ub4 arraySize) {
    FetchOutcome out;
    if (prefetchRows >= 0) {
        ub4 rows = static_cast<ub4>(prefetchRows);
        EXPECT_EQ(OCIAttrSet(stmt, OCI_HTYPE_STMT, &rows, 0, OCI_ATTR_PREFETCH_ROWS, s.err), OCI_SUCCESS);
    }
    if (prefetchMemory >= 0) {
        ub4 memory = static_cast<ub4>(prefetchMemory);
        EXPECT_EQ(OCIAttrSet(stmt, OCI_HTYPE_STMT, &memory, 0, OCI_ATTR_PREFETCH_MEMORY, s.err), OCI_SUCCESS);
    }
    std::vector<int> ids(arraySize);
    std::vector<signed char> values(arraySize);
    const unsigned long long before = OCILiteRoundTrips();
    EXPECT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS) << s.ErrorText();
    OCIDefine* d[2] = {};
    EXPECT_EQ(OCIDefineByPos(stmt, &d[0], s.err, 1, ids.data(), 4, SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    EXPECT_EQ(OCIDefineByPos(stmt, &d[1], s.err, 2, values.data(), 1, SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    for (;;) {
        out.last = OCIStmtFetch(stmt, s.err, arraySize, OCI_FETCH_NEXT, OCI_DEFAULT);
        ub4 fetched = 0;
        OCIAttrGet(stmt, OCI_HTYPE_STMT, &fetched, nullptr, OCI_ATTR_ROWS_FETCHED, s.err);
        if (out.last == OCI_ERROR) {
            out.errorCode = s.ErrorCode();
            break;
        }
        for (ub4 i = 0; i < fetched; ++i) out.idSum += ids[i];
        out.rows += static_cast<int>(fetched);
        if (out.last != OCI_SUCCESS) break;
    }
    out.trips = OCILiteRoundTrips() - before;
    return out;
}

TEST_F(RoundTripCount, ArrayInsertIsOneRoundTripAndCommitAndRollbackOneEach) {
    EXPECT_EQ(InsertRows(), 1u);
    unsigned long long before = Trips();
    EXPECT_EQ(OCITransCommit(s.svc, s.err, OCI_DEFAULT), OCI_SUCCESS);
    EXPECT_EQ(Trips() - before, 1u);
    before = Trips();
    EXPECT_EQ(OCITransRollback(s.svc, s.err, OCI_DEFAULT), OCI_SUCCESS);
    EXPECT_EQ(Trips() - before, 1u);
}

// Each call on its own: the ones Oracle's client library answers alone cost nothing, the ones
// the server answers one round trip (two for OCILogon2, as Oracle counts it).
TEST_F(RoundTripCount, EachCallCostsWhatOracleCounts) {
    OCIStmt* stmt = s.NewStatement();
    OCIBind* bind = nullptr;
    OCIDefine* define = nullptr;
    int value = 0;
    ub4 attr = 0;
    OCIDescribe* describe = nullptr;
    OCINumber number;
    const std::string table = "T";
    const std::string sql = "select ID from T where ID = :1";
    struct Case {
        const char* name;
        std::function<sword()> call;
        unsigned long long trips;
        sword status = OCI_SUCCESS;
    };
    OCIStmt* missing = Prepared("select * from NOSUCH");
    OciSession other;
    OCISvcCtx* second = nullptr;
    const std::vector<Case> cases = {
        {"OCIHandleAlloc",
         [&] { return OCIHandleAlloc(s.env, reinterpret_cast<void**>(&describe), OCI_HTYPE_DESCRIBE, 0, nullptr); }, 0},
        {"OCIStmtPrepare",
         [&] {
             return OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                                   static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
         },
         0},
        {"OCIBindByPos",
         [&] {
             return OCIBindByPos(stmt, &bind, s.err, 1, &value, 4, SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr,
                                 OCI_DEFAULT);
         },
         0},
        {"OCIDefineByPos",
         [&] {
             return OCIDefineByPos(stmt, &define, s.err, 1, &value, 4, SQLT_INT, nullptr, nullptr, nullptr,
                                   OCI_DEFAULT);
         },
         0},
        {"OCIAttrSet", [&] { return OCIAttrSet(stmt, OCI_HTYPE_STMT, &attr, 0, OCI_ATTR_PREFETCH_ROWS, s.err); }, 0},
        {"OCIAttrGet", [&] { return OCIAttrGet(stmt, OCI_HTYPE_STMT, &attr, nullptr, OCI_ATTR_STMT_TYPE, s.err); }, 0},
        {"OCINumberFromInt", [&] { return OCINumberFromInt(s.err, &value, sizeof value, OCI_NUMBER_SIGNED, &number); },
         0},
        {"OCIStmtExecute", [&] { return OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT); }, 1},
        {"OCIPing", [&] { return OCIPing(s.svc, s.err, OCI_DEFAULT); }, 1},
        {"OCIServerVersion",
         [&] {
             char banner[128];
             return OCIServerVersion(s.svc, s.err, reinterpret_cast<OraText*>(banner), sizeof banner, OCI_HTYPE_SVCCTX);
         },
         1},
        {"OCIDescribeAny",
         [&] {
             return OCIDescribeAny(s.svc, s.err, const_cast<char*>(table.data()), static_cast<ub4>(table.size()),
                                   OCI_OTYPE_NAME, OCI_DEFAULT, OCI_PTYPE_TABLE, describe);
         },
         1},
        {"OCILogon", [&] { return other.Logon("scott", "tiger", db_); }, 1},
        {"OCILogoff",
         [&] {
             const sword rc = OCILogoff(other.svc, other.err);
             other.svc = nullptr;
             return rc;
         },
         1},
        {"OCILogon2",
         [&] {
             return OCILogon2(other.env, other.err, &second, reinterpret_cast<const OraText*>("scott"), 5,
                              reinterpret_cast<const OraText*>("tiger"), 5,
                              reinterpret_cast<const OraText*>(db_.data()), static_cast<ub4>(db_.size()), OCI_DEFAULT);
         },
         2},
        {"OCIStmtExecute refused by the server",
         [&] { return OCIStmtExecute(s.svc, missing, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT); }, 1, OCI_ERROR},
        {"OCIErrorGet after it",
         [&] {
             char text[256];
             sb4 code = 0;
             return OCIErrorGet(s.err, 1, nullptr, &code, reinterpret_cast<OraText*>(text), sizeof text,
                                OCI_HTYPE_ERROR);
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned long long before = Trips();
        EXPECT_EQ(c.call(), c.status) << s.ErrorText();
        EXPECT_EQ(Trips() - before, c.trips);
    }
    // A call refused on the client's side for a bad handle never reaches the server.
    const unsigned long long before = Trips();
    EXPECT_EQ(OCITransCommit(nullptr, s.err, OCI_DEFAULT), OCI_INVALID_HANDLE);
    EXPECT_EQ(Trips() - before, 0u);
    if (second != nullptr) OCILogoff(second, other.err);
    OCIHandleFree(stmt, OCI_HTYPE_STMT);
    OCIHandleFree(missing, OCI_HTYPE_STMT);
}

// 1,000 rows fetched one a call (and in arrays of 100): the execute brings the first prefetch,
// a fetch goes to the server only when the buffer is empty, and the trip that finds the end
// is counted too. Whatever the prefetch, the same rows arrive.
TEST_F(RoundTripCount, FetchCostsOneRoundTripPerPrefetchedBlock) {
    ASSERT_EQ(InsertRows(), 1u);
    ASSERT_EQ(s.Run("update T set V = 1 where ID = " + std::to_string(kBadRow)), OCI_SUCCESS) << s.ErrorText();
    const std::string sql = "select ID, V from T order by ID";
    const ub4 rowBytes = DescribedRowBytes(sql);
    ASSERT_GT(rowBytes, 0u);
    struct Case {
        long prefetchRows;    // -1: default (one row)
        long prefetchMemory;  // -1: default (no bound)
        ub4 arraySize;
        unsigned long long trips;
    };
    const std::vector<Case> cases = {
        {-1, -1, 1, 1 + 999 + 1},             // one row a trip: the execute's, then each fetch but the first
        {1, 0, 1, 1 + 999 + 1},               // the same, set explicitly
        {0, 0, 1, 1 + 1000 + 1},              // prefetching off: the execute brings nothing
        {500, -1, 1, 1 + 1 + 1},              // rows 1-500 with the execute, 501-1000, then the end
        {500, 4 * 1024 * 1024, 1, 3},         // a memory bound that holds 500 rows changes nothing
        {1000, -1, 1, 1 + 1},                 // all rows with the execute; the end needs a trip
        {2000, -1, 1, 1},                     // the execute's trip already saw the end
        {500, rowBytes * 10, 1, 1 + 99 + 1},  // memory for 10 rows bounds each trip to 10
        {0, rowBytes * 10, 1, 1 + 99 + 1},    // memory alone sets the prefetch
        {500, 1, 1, 1 + 1000 + 1},            // memory too small for a row: no prefetch
        {-1, -1, 100, 1 + 10 + 1},            // arrays of 100: each needs a trip for 99 or 100 rows
        {500, -1, 100, 1 + 1 + 1},            // arrays of 100 out of blocks of 500
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("prefetch rows " + std::to_string(c.prefetchRows) + ", memory " +
                     std::to_string(c.prefetchMemory) + ", array " + std::to_string(c.arraySize));
        OCIStmt* stmt = Prepared(sql);
        const FetchOutcome out = FetchAll(s, stmt, c.prefetchRows, c.prefetchMemory, c.arraySize);
        EXPECT_EQ(out.last, OCI_NO_DATA) << s.ErrorText();
        EXPECT_EQ(out.rows, kRows);
        EXPECT_EQ(out.idSum, static_cast<long long>(kRows) * (kRows + 1) / 2);
        EXPECT_EQ(out.trips, c.trips);
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
    }
}

// A row whose value cannot be delivered fails at its own fetch, with the rows before it
// delivered, whether or not it was prefetched with them.
TEST_F(RoundTripCount, ConversionErrorStaysAtItsRowWithPrefetch) {
    ASSERT_EQ(InsertRows(), 1u);
    for (long prefetch : {0L, 1L, 500L, 2000L}) {
        for (ub4 arraySize : {1u, 100u}) {
            SCOPED_TRACE("prefetch " + std::to_string(prefetch) + ", array " + std::to_string(arraySize));
            OCIStmt* stmt = Prepared("select ID, V from T order by ID");
            const FetchOutcome out = FetchAll(s, stmt, prefetch, -1, arraySize);
            EXPECT_EQ(out.last, OCI_ERROR);
            EXPECT_EQ(out.errorCode, 1455);
            // one row a call: rows 1-699 arrive; in arrays of 100 the call holding row 700
            // fails as a whole, after the six arrays before it
            EXPECT_EQ(out.rows, arraySize == 1 ? kBadRow - 1 : 600);
            OCIHandleFree(stmt, OCI_HTYPE_STMT);
        }
    }
}

}  // namespace
