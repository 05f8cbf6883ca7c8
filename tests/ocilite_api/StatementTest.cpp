// Prepare, execute, describe, define and fetch through the exported functions, over the
// scripted engine: statement types, the exact widths OCIAttrGet writes, the fetch protocol and
// its errors.

#include <cstring>
#include <gtest/gtest.h>

#include "tests/ocilite_api/FakeEngine.h"
#include "tests/ocilite_api/OciSession.h"

using ocilite::ColumnInfo;
using ocilite::OraNumber;
using ocilite::TextValue;
using ocilite::Value;
using ocitest::OciSession;

namespace {

ColumnInfo Column(const char* name, uint16_t type, uint16_t size, int16_t precision, int8_t scale, bool nullable,
                  uint8_t form, uint16_t csid) {
    ColumnInfo c;
    c.name = name;
    c.dataType = type;
    c.dataSize = size;
    c.precision = precision;
    c.scale = scale;
    c.nullable = nullable;
    c.charsetForm = form;
    c.charsetId = csid;
    return c;
}

class StatementTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ASSERT_EQ(s.Logon("scott", "tiger", "a.db"), OCI_SUCCESS);
    }
    OCIStmt* Prepared(const std::string& sql) {
        OCIStmt* stmt = s.NewStatement();
        EXPECT_EQ(OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                                 static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
                  OCI_SUCCESS);
        return stmt;
    }
    OciSession s;
};

TEST_F(StatementTest, StatementTypeIsKnownRightAfterPrepare) {
    struct Case {
        const char* sql;
        ub2 type;
    } cases[] = {{"select * from \"T\"", OCI_STMT_SELECT},
                 {"  SELECT 1 FROM DUAL", OCI_STMT_SELECT},
                 {"insert into T values (:A)", OCI_STMT_INSERT},
                 {"update T set A = 1", OCI_STMT_UPDATE},
                 {"delete from T", OCI_STMT_DELETE},
                 {"create table X (A NUMBER)", OCI_STMT_CREATE},
                 {"drop table X", OCI_STMT_DROP},
                 {"begin null; end;", OCI_STMT_BEGIN},
                 {"declare x number; begin null; end;", OCI_STMT_DECLARE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        OCIStmt* stmt = Prepared(c.sql);
        unsigned char buf[4] = {0xcc, 0xcc, 0xcc, 0xcc};
        ub4 size = 99;
        ASSERT_EQ(OCIAttrGet(stmt, OCI_HTYPE_STMT, buf, &size, OCI_ATTR_STMT_TYPE, s.err), OCI_SUCCESS);
        ub2 type;
        std::memcpy(&type, buf, 2);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(size, 2u);
        EXPECT_EQ(buf[2], 0xcc) << "only two bytes written";
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
    }
}

TEST_F(StatementTest, PrepareNeverFailsOnTheSqlTheExecuteDoes) {
    OCIStmt* stmt = Prepared("select * from NOSUCH");
    EXPECT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(s.ErrorText(), "ORA-00942: table or view does not exist");
    EXPECT_EQ(OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(""), 0, OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 24373);
}

TEST_F(StatementTest, DescribeWritesExactWidths) {
    fake::Script script;
    script.columns = {Column("NAME", 1, 40, 0, 0, false, 1, 873), Column("AMOUNT", 2, 22, 10, 2, true, 0, 0),
                      Column("F", 2, 22, 126, -127, true, 0, 0), Column("NV", 1, 40, 0, 0, true, 2, 2000)};
    fake::TheWorld().scripts["select * from T"] = script;
    OCIStmt* stmt = Prepared("select * from T");
    ASSERT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);

    ub4 count = 0;
    ASSERT_EQ(OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, s.err), OCI_SUCCESS);
    EXPECT_EQ(count, 4u);

    struct Attr {
        ub4 attr;
        ub4 width;
    } widths[] = {{OCI_ATTR_DATA_SIZE, 2}, {OCI_ATTR_DATA_TYPE, 2},    {OCI_ATTR_PRECISION, 2}, {OCI_ATTR_SCALE, 1},
                  {OCI_ATTR_IS_NULL, 1},   {OCI_ATTR_CHARSET_FORM, 1}, {OCI_ATTR_CHARSET_ID, 2}};
    struct Expected {
        long values[7];
    } expected[] = {{{40, 1, 0, 0, 0, 1, 873}},
                    {{22, 2, 10, 2, 1, 0, 0}},
                    {{22, 2, 126, -127, 1, 0, 0}},
                    {{40, 1, 0, 0, 1, 2, 2000}}};
    for (ub4 pos = 1; pos <= 4; ++pos) {
        void* param = nullptr;
        ASSERT_EQ(OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, pos), OCI_SUCCESS);
        for (size_t a = 0; a < std::size(widths); ++a) {
            SCOPED_TRACE("position " + std::to_string(pos) + " attribute " + std::to_string(widths[a].attr));
            unsigned char buf[8];
            std::memset(buf, 0xcc, sizeof buf);
            ASSERT_EQ(OCIAttrGet(param, OCI_DTYPE_PARAM, buf, nullptr, widths[a].attr, s.err), OCI_SUCCESS);
            EXPECT_EQ(buf[widths[a].width], 0xcc) << "wrote more than " << widths[a].width << " bytes";
            long v = 0;
            if (widths[a].width == 1)
                v = widths[a].attr == OCI_ATTR_SCALE ? static_cast<sb1>(buf[0]) : buf[0];
            else if (widths[a].attr == OCI_ATTR_PRECISION) {
                sb2 x;
                std::memcpy(&x, buf, 2);
                v = x;
            } else {
                ub2 x;
                std::memcpy(&x, buf, 2);
                v = x;
            }
            EXPECT_EQ(v, expected[pos - 1].values[a]);
        }
        // The name comes as a pointer and a length; a describe handle type is accepted too.
        OraText* name = nullptr;
        ub4 len = 0;
        ASSERT_EQ(OCIAttrGet(param, OCI_HTYPE_DESCRIBE, &name, &len, OCI_ATTR_NAME, s.err), OCI_SUCCESS);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(name), len), script.columns[pos - 1].name);
    }
    void* param = nullptr;
    EXPECT_EQ(OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, 5), OCI_ERROR);
    EXPECT_EQ(s.ErrorText(), "ORA-24334: no descriptor for this position");
    unsigned char junk[8];
    EXPECT_EQ(OCIAttrGet(stmt, OCI_HTYPE_STMT, junk, nullptr, 4242, s.err), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 24315);
}

TEST_F(StatementTest, FetchProtocolRowCountAndEnd) {
    fake::Script script;
    script.columns = {Column("A", 1, 10, 0, 0, true, 1, 873)};
    script.rows = {{TextValue{"one"}}, {Value{}}, {TextValue{"three"}}};
    fake::TheWorld().scripts["select A from T"] = script;
    OCIStmt* stmt = Prepared("select A from T");
    ASSERT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
    char buf[11];
    sb2 ind = 0;
    ub2 rlen = 0, rcode = 0;
    OCIDefine* def = nullptr;
    ASSERT_EQ(OCIDefineByPos(stmt, &def, s.err, 1, buf, sizeof buf, SQLT_STR, &ind, &rlen, &rcode, OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
    EXPECT_STREQ(buf, "one");
    EXPECT_EQ(ind, 0);
    EXPECT_EQ(rlen, 3);
    std::strcpy(buf, "keep");
    ASSERT_EQ(OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
    EXPECT_EQ(ind, -1);
    EXPECT_STREQ(buf, "keep") << "a NULL leaves the buffer alone";
    ASSERT_EQ(OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
    EXPECT_STREQ(buf, "three");
    EXPECT_EQ(OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_NO_DATA);
    ub4 rows = 0;
    ASSERT_EQ(OCIAttrGet(stmt, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROW_COUNT, s.err), OCI_SUCCESS);
    EXPECT_EQ(rows, 3u);
    EXPECT_EQ(OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(s.ErrorText(), "ORA-01002: fetch out of sequence");
}

TEST_F(StatementTest, ArrayFetchEndsWithPartialBatch) {
    fake::Script script;
    script.columns = {Column("N", 2, 22, 0, -127, true, 0, 0)};
    for (int i = 1; i <= 5; ++i) script.rows.push_back({OraNumber::FromInt64(i)});
    fake::TheWorld().scripts["select N from T"] = script;
    OCIStmt* stmt = Prepared("select N from T");
    ASSERT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
    int values[3] = {};
    sb2 ind[3] = {};
    OCIDefine* def = nullptr;
    ASSERT_EQ(OCIDefineByPos(stmt, &def, s.err, 1, values, sizeof(int), SQLT_INT, ind, nullptr, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    ub4 fetched = 0;
    ASSERT_EQ(OCIStmtFetch(stmt, s.err, 3, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
    OCIAttrGet(stmt, OCI_HTYPE_STMT, &fetched, nullptr, OCI_ATTR_ROWS_FETCHED, s.err);
    EXPECT_EQ(fetched, 3u);
    EXPECT_EQ(values[2], 3);
    EXPECT_EQ(OCIStmtFetch(stmt, s.err, 3, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_NO_DATA);
    OCIAttrGet(stmt, OCI_HTYPE_STMT, &fetched, nullptr, OCI_ATTR_ROWS_FETCHED, s.err);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(values[0], 4);
    EXPECT_EQ(values[1], 5);
}

TEST_F(StatementTest, TruncationAndNullWithoutIndicator) {
    fake::Script script;
    script.columns = {Column("A", 1, 10, 0, 0, true, 1, 873)};
    script.rows = {{TextValue{"abcdefgh"}}, {Value{}}};
    fake::TheWorld().scripts["select A from T"] = script;
    OCIStmt* stmt = Prepared("select A from T");
    ASSERT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
    char buf[5];
    sb2 ind = 0;
    ub2 rlen = 0, rcode = 0;
    OCIDefine* def = nullptr;
    ASSERT_EQ(OCIDefineByPos(stmt, &def, s.err, 1, buf, sizeof buf, SQLT_STR, &ind, &rlen, &rcode, OCI_DEFAULT),
              OCI_SUCCESS);
    EXPECT_EQ(OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS_WITH_INFO);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(ind, 8) << "indicator holds the original length";
    EXPECT_EQ(rcode, 1406);
    EXPECT_EQ(s.ErrorText(), "ORA-01406: fetched column value was truncated");
    // Without an indicator a NULL is an error.
    ASSERT_EQ(OCIDefineByPos(stmt, &def, s.err, 1, buf, sizeof buf, SQLT_STR, nullptr, &rlen, &rcode, OCI_DEFAULT),
              OCI_SUCCESS);
    EXPECT_EQ(OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(s.ErrorText(), "ORA-01405: fetched column value is NULL");
}

TEST_F(StatementTest, DmlRowCountRowidAndErrors) {
    fake::Script script;
    script.bindNames = {"A"};
    script.rowsAffected = 7;
    fake::TheWorld().scripts["update T set A = :A"] = script;
    OCIStmt* stmt = Prepared("update T set A = :A");
    int v = 3;
    OCIBind* bind = nullptr;
    ASSERT_EQ(OCIBindByName(stmt, &bind, s.err, reinterpret_cast<const OraText*>(":a"), 2, &v, sizeof v, SQLT_INT,
                            nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    EXPECT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(s.ErrorText(), "ORA-24333: zero iteration count");
    ASSERT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
    ub4 rows = 0;
    OCIAttrGet(stmt, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROW_COUNT, s.err);
    EXPECT_EQ(rows, 7u);
    OCIRowid* rowid = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&rowid), OCI_DTYPE_ROWID, 0, nullptr), OCI_SUCCESS);
    EXPECT_EQ(OCIAttrGet(stmt, OCI_HTYPE_STMT, rowid, nullptr, OCI_ATTR_ROWID, s.err), OCI_SUCCESS);
    OCIDescriptorFree(rowid, OCI_DTYPE_ROWID);

    // A placeholder the statement does not have.
    OCIStmt* other = Prepared("update T set A = :A");
    ASSERT_EQ(OCIBindByName(other, &bind, s.err, reinterpret_cast<const OraText*>(":B"), 2, &v, sizeof v, SQLT_INT,
                            nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    EXPECT_EQ(OCIStmtExecute(s.svc, other, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(s.ErrorText(), "ORA-01036: illegal variable name/number");
    // Fetching from a statement that is no query.
    EXPECT_EQ(OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 24338);
}

TEST_F(StatementTest, PreparedOnceReusedAcrossExecutesAndCommitOnSuccess) {
    fake::Script script;
    script.bindNames = {"X"};
    fake::TheWorld().scripts["insert into T values (:X)"] = script;
    OCIStmt* stmt = Prepared("insert into T values (:X)");
    for (int i = 0; i < 3; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "r%d", i);
        OCIBind* bind = nullptr;
        ASSERT_EQ(OCIBindByName(stmt, &bind, s.err, reinterpret_cast<const OraText*>(":X"), 2, text,
                                static_cast<sb4>(std::strlen(text) + 1), SQLT_STR, nullptr, nullptr, nullptr, 0,
                                nullptr, OCI_DEFAULT),
                  OCI_SUCCESS);
        ASSERT_EQ(
            OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, i == 2 ? OCI_COMMIT_ON_SUCCESS : OCI_DEFAULT),
            OCI_SUCCESS);
    }
    EXPECT_EQ(fake::TheWorld().prepares, 1);
    EXPECT_EQ(fake::TheWorld().executed.size(), 3u);
    EXPECT_EQ(fake::TheWorld().commits, 1);
}

}  // namespace
