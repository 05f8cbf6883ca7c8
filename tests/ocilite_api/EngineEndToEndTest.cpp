// The calls the client makes, end to end through libocilite.so over the SQL engine, on a
// database file in a temporary folder: logon errors, DDL, the bound INSERT of an import with
// its conversion functions, the describe of each column type, fetches with the client's
// defines, Oracle's errors, and transactions.

#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "ocilite/engine/Engine.h"
#include "tests/ocilite_api/LoggedOnTest.h"

using ocitest::LoggedOnTest;
using ocitest::OciSession;

namespace {

class EngineEndToEnd : public LoggedOnTest {
protected:
    EngineEndToEnd() : LoggedOnTest("ocilite_api_e2e_") {}

    void Exec(const std::string& sql) { ASSERT_EQ(s.Run(sql), OCI_SUCCESS) << sql << ": " << s.ErrorText(); }
    std::string Fail(const std::string& sql) {
        EXPECT_EQ(s.Run(sql), OCI_ERROR) << sql;
        return s.ErrorText();
    }
    // All rows of a query, every column fetched as text (SQLT_STR), NULL as "<null>".
    std::vector<std::vector<std::string>> Rows(const std::string& sql) {
        OCIStmt* stmt = nullptr;
        std::vector<std::vector<std::string>> out;
        EXPECT_EQ(s.Run(sql, &stmt), OCI_SUCCESS) << sql << ": " << s.ErrorText();
        ub4 count = 0;
        OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, s.err);
        std::vector<std::array<char, 256>> bufs(count);
        std::vector<sb2> inds(count);
        for (ub4 i = 0; i < count; ++i) {
            OCIDefine* d = nullptr;
            OCIDefineByPos(stmt, &d, s.err, i + 1, bufs[i].data(), 256, SQLT_STR, &inds[i], nullptr, nullptr,
                           OCI_DEFAULT);
        }
        sword rc;
        while ((rc = OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT)) == OCI_SUCCESS) {
            std::vector<std::string> row;
            for (ub4 i = 0; i < count; ++i) row.push_back(inds[i] == -1 ? "<null>" : std::string(bufs[i].data()));
            out.push_back(row);
        }
        EXPECT_EQ(rc, OCI_NO_DATA) << s.ErrorText();
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
        return out;
    }
};

TEST_F(EngineEndToEnd, LogonErrors) {
    OciSession other;
    EXPECT_EQ(other.Logon("scott", "wrong", db_), OCI_ERROR);
    EXPECT_EQ(other.ErrorText(), "ORA-01017: invalid username/password; logon denied");
    EXPECT_EQ(other.Logon("scott", "tiger", (dir_ / "nosuch.db").string()), OCI_ERROR);
    EXPECT_EQ(other.ErrorCode(), 12154);
}

TEST_F(EngineEndToEnd, BoundInsertAsAnImportDoesItThenFetchBack) {
    Exec(
        "CREATE TABLE T (ID NUMBER(10), NAME VARCHAR2(40), AMT NUMBER(10,2), D DATE, NOTE VARCHAR2(60), "
        "QTY NUMBER(5), CC CHAR(2))");
    OCIStmt* stmt = s.NewStatement();
    const std::string sql =
        "INSERT INTO T (\"ID\",\"NAME\",\"AMT\",\"D\",\"NOTE\",\"QTY\",\"CC\") VALUES (:\"ID\",:\"NAME\",:\"AMT\","
        "TO_DATE(:\"D\",'YYYY/MM/DD HH24:MI:SS'),:\"NOTE\",:\"QTY\",:\"CC\")";
    ASSERT_EQ(OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()), static_cast<ub4>(sql.size()),
                             OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    const char* names[] = {":\"ID\"", ":\"NAME\"", ":\"AMT\"", ":\"D\"", ":\"NOTE\"", ":\"QTY\"", ":\"CC\""};
    const std::vector<std::vector<std::string>> rows = {
        {"1", "alpha", "12.50", "2004/03/01 13:05:09", "first", "5", "ab"},
        {"2", "", "0.05", "2024/12/31 00:00:00", "", "", "x"},
    };
    for (const auto& row : rows) {
        OCIBind* bind = nullptr;  // carried from one bind to the next, as the client does
        for (size_t i = 0; i < row.size(); ++i) {
            ASSERT_EQ(OCIBindByName(stmt, &bind, s.err, reinterpret_cast<const OraText*>(names[i]),
                                    static_cast<sb4>(std::strlen(names[i])), const_cast<char*>(row[i].c_str()),
                                    row[i].empty() ? 0 : static_cast<sb4>(row[i].size() + 1), SQLT_STR, nullptr,
                                    nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
                      OCI_SUCCESS);
        }
        ASSERT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS)
            << s.ErrorText();
        ub4 count = 0;
        OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_ROW_COUNT, s.err);
        EXPECT_EQ(count, 1u);
    }
    OCIHandleFree(stmt, OCI_HTYPE_STMT);
    ASSERT_EQ(OCITransCommit(s.svc, s.err, OCI_DEFAULT), OCI_SUCCESS);

    auto got = Rows("select * from \"T\"");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], (std::vector<std::string>{"1", "alpha", "12.5", "01-MAR-04", "first", "5", "ab"}));
    EXPECT_EQ(got[1], (std::vector<std::string>{"2", "<null>", ".05", "31-DEC-24", "<null>", "<null>", "x "}));

    // The client's own defines: VNU for numbers, ODT for dates, AFC for CHAR.
    OCIStmt* q = nullptr;
    ASSERT_EQ(s.Run("select AMT, D, CC from T", &q), OCI_SUCCESS) << s.ErrorText();
    OCINumber amt;
    OCIDate d;
    char cc[3];
    sb2 ind[3];
    ub2 rlen[3];
    OCIDefine* def = nullptr;
    OCIDefineByPos(q, &def, s.err, 1, &amt, 23, SQLT_VNU, &ind[0], &rlen[0], nullptr, OCI_DEFAULT);
    OCIDefineByPos(q, &def, s.err, 2, &d, 9, SQLT_ODT, &ind[1], &rlen[1], nullptr, OCI_DEFAULT);
    OCIDefineByPos(q, &def, s.err, 3, cc, 3, SQLT_AFC, &ind[2], &rlen[2], nullptr, OCI_DEFAULT);
    ASSERT_EQ(OCIStmtFetch(q, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS) << s.ErrorText();
    char text[64];
    ub4 size = sizeof text;
    ASSERT_EQ(OCINumberToText(s.err, &amt, reinterpret_cast<const oratext*>("FM99999999.09"), 13, nullptr, 0, &size,
                              reinterpret_cast<oratext*>(text)),
              OCI_SUCCESS);
    EXPECT_EQ(std::string(text, size), "12.5") << "the fraction mask .09 forces one digit, FM drops the trailing zero";
    EXPECT_EQ(d.OCIDateYYYY, 2004);
    EXPECT_EQ(d.OCIDateTime.OCITimeSS, 9);
    EXPECT_EQ(std::string(cc, 2), "ab");
    OCIHandleFree(q, OCI_HTYPE_STMT);
}

struct DescribeCase {
    const char* columnType;
    ub2 dataType;
    ub2 dataSize;
    sb2 precision;
    sb1 scale;
    ub1 form;
};

TEST_F(EngineEndToEnd, DescribeOfEachColumnType) {
    const DescribeCase cases[] = {
        {"VARCHAR2(20)", 1, 20, 0, 0, 1},
        {"NVARCHAR2(20)", 1, 40, 0, 0, 2},
        {"CHAR(5)", 96, 5, 0, 0, 1},
        {"NCHAR(5)", 96, 10, 0, 0, 2},
        {"NUMBER", 2, 22, 0, -127, 0},
        {"NUMBER(10,2)", 2, 22, 10, 2, 0},
        {"NUMBER(5)", 2, 22, 5, 0, 0},
        {"FLOAT", 2, 22, 126, -127, 0},
        {"INTEGER", 2, 22, 38, 0, 0},
        {"DATE", 12, 7, 0, 0, 0},
        {"TIMESTAMP(6)", 187, 11, 0, 6, 0},
        {"TIMESTAMP(3) WITH TIME ZONE", 188, 13, 0, 3, 0},
        {"TIMESTAMP WITH LOCAL TIME ZONE", 232, 11, 0, 6, 0},
        {"INTERVAL YEAR(2) TO MONTH", 189, 5, 2, 0, 0},
        {"INTERVAL DAY(2) TO SECOND(6)", 190, 11, 2, 6, 0},
        {"RAW(16)", 23, 16, 0, 0, 0},
        {"CLOB", 112, 4000, 0, 0, 1},
        {"BLOB", 113, 4000, 0, 0, 0},
        {"BINARY_FLOAT", 100, 4, 0, 0, 0},
        {"BINARY_DOUBLE", 101, 8, 0, 0, 0},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.columnType);
        std::string table = "D" + std::to_string(n++);
        Exec("CREATE TABLE " + table + " (C " + c.columnType + " NOT NULL)");
        OCIStmt* stmt = nullptr;
        ASSERT_EQ(s.Run("select * from \"" + table + "\"", &stmt), OCI_SUCCESS) << s.ErrorText();
        void* p = nullptr;
        ASSERT_EQ(OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &p, 1), OCI_SUCCESS);
        ub2 type = 0, size = 0;
        sb2 precision = 0;
        sb1 scale = 0;
        ub1 nullable = 9, form = 9;
        OCIAttrGet(p, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, s.err);
        OCIAttrGet(p, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE, s.err);
        OCIAttrGet(p, OCI_DTYPE_PARAM, &precision, nullptr, OCI_ATTR_PRECISION, s.err);
        OCIAttrGet(p, OCI_DTYPE_PARAM, &scale, nullptr, OCI_ATTR_SCALE, s.err);
        OCIAttrGet(p, OCI_DTYPE_PARAM, &nullable, nullptr, OCI_ATTR_IS_NULL, s.err);
        OCIAttrGet(p, OCI_DTYPE_PARAM, &form, nullptr, OCI_ATTR_CHARSET_FORM, s.err);
        EXPECT_EQ(type, c.dataType);
        EXPECT_EQ(size, c.dataSize);
        EXPECT_EQ(precision, c.precision);
        EXPECT_EQ(scale, c.scale);
        EXPECT_EQ(nullable, 0);
        EXPECT_EQ(form, c.form);
        EXPECT_EQ(OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &p, 2), OCI_ERROR);
        EXPECT_EQ(s.ErrorCode(), 24334);
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
    }
}

TEST_F(EngineEndToEnd, OracleErrorsReachOciErrorGet) {
    Exec("CREATE TABLE E (A VARCHAR2(5) NOT NULL, N NUMBER(3), K NUMBER PRIMARY KEY)");
    Exec("INSERT INTO E VALUES ('ok', 1, 1)");
    EXPECT_EQ(Fail("INSERT INTO E VALUES ('', 1, 2)"), "ORA-01400: cannot insert NULL into (\"SCOTT\".\"E\".\"A\")");
    EXPECT_EQ(Fail("INSERT INTO E VALUES ('toolong', 1, 3)"),
              "ORA-12899: value too large for column \"SCOTT\".\"E\".\"A\" (actual: 7, maximum: 5)");
    EXPECT_EQ(Fail("INSERT INTO E VALUES ('a', 'x', 4)"), "ORA-01722: invalid number");
    EXPECT_EQ(Fail("INSERT INTO E VALUES ('a', 1000, 5)"),
              "ORA-01438: value larger than specified precision allowed for this column");
    EXPECT_EQ(Fail("INSERT INTO E VALUES ('b', 1, 1)").substr(0, 30), "ORA-00001: unique constraint (");
    EXPECT_EQ(Fail("select * from NOSUCH"), "ORA-00942: table or view does not exist");
    EXPECT_EQ(Fail("select * from \"e\""), "ORA-00942: table or view does not exist");
}

TEST_F(EngineEndToEnd, RollbackUndoesOnlyUncommittedRows) {
    Exec("CREATE TABLE R (A NUMBER)");
    Exec("INSERT INTO R VALUES (1)");
    ASSERT_EQ(OCITransCommit(s.svc, s.err, OCI_DEFAULT), OCI_SUCCESS);
    Exec("INSERT INTO R VALUES (2)");
    Exec("UPDATE R SET A = 10 WHERE A = 1");
    ASSERT_EQ(OCITransRollback(s.svc, s.err, OCI_DEFAULT), OCI_SUCCESS);
    EXPECT_EQ(Rows("select A from R"), (std::vector<std::vector<std::string>>{{"1"}}));
    // An UPDATE that touches nothing succeeds with row count 0.
    OCIStmt* stmt = nullptr;
    ASSERT_EQ(s.Run("UPDATE R SET A = 3 WHERE A = 99", &stmt), OCI_SUCCESS) << s.ErrorText();
    ub4 count = 99;
    OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_ROW_COUNT, s.err);
    EXPECT_EQ(count, 0u);
    OCIHandleFree(stmt, OCI_HTYPE_STMT);
}

TEST_F(EngineEndToEnd, LobColumnsDefineIntoLocatorsAndNationalTextRoundTrips) {
    Exec("CREATE TABLE L (ID NUMBER, C CLOB, NV NVARCHAR2(10))");
    Exec("INSERT INTO L VALUES (1, 'some text', TRANSLATE('\xe6\x97\xa5\xe6\x9c\xac' USING NCHAR_CS))");
    Exec("INSERT INTO L VALUES (2, NULL, NULL)");
    OCIStmt* stmt = nullptr;
    ASSERT_EQ(s.Run("select C, NV from L order by ID", &stmt), OCI_SUCCESS) << s.ErrorText();
    void* p = nullptr;
    ub2 type = 0;
    ASSERT_EQ(OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &p, 1), OCI_SUCCESS);
    OCIAttrGet(p, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE, s.err);
    EXPECT_EQ(type, SQLT_CLOB);
    OCILobLocator* lob = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&lob), OCI_DTYPE_LOB, 0, nullptr), OCI_SUCCESS);
    char nv[41];
    sb2 ind[2];
    ub2 rlen[2];
    OCIDefine* def = nullptr;
    ASSERT_EQ(OCIDefineByPos(stmt, &def, s.err, 1, &lob, -1, SQLT_CLOB, &ind[0], &rlen[0], nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(OCIDefineByPos(stmt, &def, s.err, 2, nv, sizeof nv, SQLT_STR, &ind[1], &rlen[1], nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    ub1 form = SQLCS_NCHAR;
    ub2 csid = 2000;
    EXPECT_EQ(OCIAttrSet(def, OCI_HTYPE_DEFINE, &form, 0, OCI_ATTR_CHARSET_FORM, s.err), OCI_SUCCESS);
    EXPECT_EQ(OCIAttrSet(def, OCI_HTYPE_DEFINE, &csid, 0, OCI_ATTR_CHARSET_ID, s.err), OCI_SUCCESS);
    ASSERT_EQ(OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS) << s.ErrorText();
    EXPECT_EQ(ind[0], 0);
    EXPECT_STREQ(nv, "\xe6\x97\xa5\xe6\x9c\xac");
    ub4 amount = 4;
    char buf[8];
    ASSERT_EQ(OCILobRead(s.svc, s.err, lob, &amount, 6, buf, sizeof buf, nullptr, nullptr, 0, SQLCS_IMPLICIT),
              OCI_SUCCESS)
        << s.ErrorText();
    EXPECT_EQ(std::string(buf, amount), "text");
    // The selected row is not locked, so its LOB cannot be written through the locator.
    amount = 1;
    EXPECT_EQ(OCILobWrite(s.svc, s.err, lob, &amount, 1, buf, 1, OCI_ONE_PIECE, nullptr, nullptr, 0, SQLCS_IMPLICIT),
              OCI_ERROR);
    EXPECT_EQ(s.ErrorText(), "ORA-22920: row containing the LOB value is not locked");
    ASSERT_EQ(OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS) << s.ErrorText();
    EXPECT_EQ(ind[0], -1);
    EXPECT_EQ(ind[1], -1);
    EXPECT_EQ(OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_NO_DATA);
    OCIHandleFree(stmt, OCI_HTYPE_STMT);
    OCIDescriptorFree(lob, OCI_DTYPE_LOB);
}

}  // namespace

namespace {

// Feeds the pieces of a callback write from a list, the last one marked OCI_LAST_PIECE.
struct PieceFeed {
    std::vector<std::string> pieces;
    std::size_t next = 0;
};
sb4 FeedPiece(void* ctx, void* buffer, ub4* length, ub1* piece) {
    auto& feed = *static_cast<PieceFeed*>(ctx);
    const std::string& p = feed.pieces[feed.next++];
    std::memcpy(buffer, p.data(), p.size());
    *length = static_cast<ub4>(p.size());
    *piece = feed.next == feed.pieces.size() ? OCI_LAST_PIECE : OCI_NEXT_PIECE;
    return OCI_CONTINUE;
}
// Collects the pieces of a callback read.
sb4 TakePiece(void* ctx, const void* buffer, ub4 length, ub1 piece) {
    auto& pieces = *static_cast<std::vector<std::pair<std::string, int>>*>(ctx);
    pieces.emplace_back(std::string(static_cast<const char*>(buffer), length), piece);
    return OCI_CONTINUE;
}

TEST_F(EngineEndToEnd, TemporaryLobsWrittenInPiecesReadWithACallbackAndStored) {
    OCILobLocator* lob = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&lob), OCI_DTYPE_LOB, 0, nullptr), OCI_SUCCESS);
    ASSERT_EQ(OCILobCreateTemporary(s.svc, s.err, lob, 0, SQLCS_IMPLICIT, OCI_TEMP_CLOB, 0, OCI_DURATION_SESSION),
              OCI_SUCCESS)
        << s.ErrorText();
    // Polling pieces: first and next ask for more data, the last one ends the write.
    char a[] = "first,", b[] = "second,", c[] = "last";
    ub4 amount = 0;
    EXPECT_EQ(OCILobWrite(s.svc, s.err, lob, &amount, 1, a, 6, OCI_FIRST_PIECE, nullptr, nullptr, 0, SQLCS_IMPLICIT),
              OCI_NEED_DATA);
    EXPECT_EQ(OCILobWrite(s.svc, s.err, lob, &amount, 1, b, 7, OCI_NEXT_PIECE, nullptr, nullptr, 0, SQLCS_IMPLICIT),
              OCI_NEED_DATA);
    EXPECT_EQ(OCILobWrite(s.svc, s.err, lob, &amount, 1, c, 4, OCI_LAST_PIECE, nullptr, nullptr, 0, SQLCS_IMPLICIT),
              OCI_SUCCESS)
        << s.ErrorText();
    // A next piece without a first one is refused.
    EXPECT_EQ(OCILobWrite(s.svc, s.err, lob, &amount, 1, c, 4, OCI_NEXT_PIECE, nullptr, nullptr, 0, SQLCS_IMPLICIT),
              OCI_ERROR);
    // Callback pieces appended after the end.
    PieceFeed feed{{" +one", " +two", " +six"}};
    char buffer[16] = " +zero";
    amount = 0;
    ASSERT_EQ(
        OCILobWrite(s.svc, s.err, lob, &amount, 18, buffer, 6, OCI_FIRST_PIECE, &feed, FeedPiece, 0, SQLCS_IMPLICIT),
        OCI_SUCCESS)
        << s.ErrorText();
    EXPECT_EQ(amount, 6u + 5 + 5 + 5);
    const std::string whole = "first,second,last +zero +one +two +six";
    ub4 length = 0;
    ASSERT_EQ(OCILobGetLength(s.svc, s.err, lob, &length), OCI_SUCCESS);
    EXPECT_EQ(length, whole.size());

    // A callback read hands the buffer over piece by piece.
    std::vector<std::pair<std::string, int>> pieces;
    char small[16];
    amount = 0;  // everything
    ASSERT_EQ(OCILobRead(s.svc, s.err, lob, &amount, 1, small, sizeof small, &pieces, TakePiece, 0, SQLCS_IMPLICIT),
              OCI_SUCCESS)
        << s.ErrorText();
    EXPECT_EQ(amount, whole.size());
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], std::make_pair(whole.substr(0, 16), int(OCI_FIRST_PIECE)));
    EXPECT_EQ(pieces[1], std::make_pair(whole.substr(16, 16), int(OCI_NEXT_PIECE)));
    EXPECT_EQ(pieces[2], std::make_pair(whole.substr(32), int(OCI_LAST_PIECE)));

    // Offsets are 1-based: 0 is refused. A write past the end pads a CLOB with blanks.
    amount = 1;
    EXPECT_EQ(OCILobRead(s.svc, s.err, lob, &amount, 0, small, 1, nullptr, nullptr, 0, SQLCS_IMPLICIT), OCI_ERROR);
    EXPECT_EQ(s.ErrorText(), "ORA-24801: illegal parameter value in OCI lob function");
    amount = 1;
    ASSERT_EQ(OCILobWrite(s.svc, s.err, lob, &amount, static_cast<ub4>(whole.size()) + 3, c, 1, OCI_ONE_PIECE, nullptr,
                          nullptr, 0, SQLCS_IMPLICIT),
              OCI_SUCCESS);

    Exec("CREATE TABLE DOC (ID NUMBER, C CLOB)");
    OCIStmt* stmt = nullptr;
    ASSERT_EQ(OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr), OCI_SUCCESS);
    const std::string sql = "INSERT INTO DOC VALUES (1, :C)";
    ASSERT_EQ(OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.c_str()), static_cast<ub4>(sql.size()),
                             OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    OCIBind* bind = nullptr;
    ASSERT_EQ(OCIBindByName(stmt, &bind, s.err, reinterpret_cast<const OraText*>(":C"), 2, &lob, sizeof lob, SQLT_CLOB,
                            nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS) << s.ErrorText();
    OCIHandleFree(stmt, OCI_HTYPE_STMT);
    EXPECT_EQ(Rows("SELECT LENGTH(C), SUBSTR(C, 36, 9) FROM DOC"),
              (std::vector<std::vector<std::string>>{{std::to_string(whole.size() + 3), "six  l"}}));

    // A freed temporary LOB is no LOB any more.
    ASSERT_EQ(OCILobFreeTemporary(s.svc, s.err, lob), OCI_SUCCESS);
    EXPECT_EQ(OCILobGetLength(s.svc, s.err, lob, &length), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 22275);
    OCIDescriptorFree(lob, OCI_DTYPE_LOB);
}

TEST_F(EngineEndToEnd, BFileOpenCloseStatesAndTheirErrors) {
    const std::filesystem::path folder = dir_ / "files";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "a.txt", std::ios::binary) << "abc";
    Exec("CREATE DIRECTORY FILES AS '" + folder.string() + "'");
    OCILobLocator* file = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&file), OCI_DTYPE_FILE, 0, nullptr), OCI_SUCCESS);
    ASSERT_EQ(OCILobFileSetName(s.env, s.err, &file, reinterpret_cast<const OraText*>("FILES"), 5,
                                reinterpret_cast<const OraText*>("a.txt"), 5),
              OCI_SUCCESS);
    boolean open = 1;
    ASSERT_EQ(OCILobFileIsOpen(s.svc, s.err, file, &open), OCI_SUCCESS);
    EXPECT_EQ(open, 0);
    char buffer[8];
    ub4 amount = 3;
    EXPECT_EQ(OCILobRead(s.svc, s.err, file, &amount, 1, buffer, sizeof buffer, nullptr, nullptr, 0, SQLCS_IMPLICIT),
              OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 22289);
    ASSERT_EQ(OCILobFileOpen(s.svc, s.err, file, OCI_FILE_READONLY), OCI_SUCCESS) << s.ErrorText();
    ASSERT_EQ(OCILobIsOpen(s.svc, s.err, file, &open), OCI_SUCCESS);
    EXPECT_EQ(open, 1);
    EXPECT_EQ(OCILobFileOpen(s.svc, s.err, file, OCI_FILE_READONLY), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 22290);
    amount = 3;
    ASSERT_EQ(OCILobRead(s.svc, s.err, file, &amount, 2, buffer, sizeof buffer, nullptr, nullptr, 0, SQLCS_IMPLICIT),
              OCI_SUCCESS)
        << s.ErrorText();
    EXPECT_EQ(std::string(buffer, amount), "bc");
    // A BFILE cannot be written, trimmed or made temporary.
    EXPECT_EQ(
        OCILobWrite(s.svc, s.err, file, &amount, 1, buffer, 1, OCI_ONE_PIECE, nullptr, nullptr, 0, SQLCS_IMPLICIT),
        OCI_ERROR);
    EXPECT_EQ(OCILobTrim(s.svc, s.err, file, 0), OCI_ERROR);
    EXPECT_EQ(OCILobCreateTemporary(s.svc, s.err, file, 0, SQLCS_IMPLICIT, OCI_TEMP_BLOB, 0, OCI_DURATION_SESSION),
              OCI_ERROR);
    ASSERT_EQ(OCILobFileClose(s.svc, s.err, file), OCI_SUCCESS);
    EXPECT_EQ(OCILobFileClose(s.svc, s.err, file), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 22289);
    // A missing file, then a missing directory.
    ASSERT_EQ(OCILobFileSetName(s.env, s.err, &file, reinterpret_cast<const OraText*>("FILES"), 5,
                                reinterpret_cast<const OraText*>("b.txt"), 5),
              OCI_SUCCESS);
    EXPECT_EQ(OCILobFileOpen(s.svc, s.err, file, OCI_FILE_READONLY), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 22288);
    ASSERT_EQ(OCILobFileSetName(s.env, s.err, &file, reinterpret_cast<const OraText*>("NONE"), 4,
                                reinterpret_cast<const OraText*>("a.txt"), 5),
              OCI_SUCCESS);
    EXPECT_EQ(OCILobFileExists(s.svc, s.err, file, &open), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 22285);
    OCIDescriptorFree(file, OCI_DTYPE_FILE);
}

}  // namespace
