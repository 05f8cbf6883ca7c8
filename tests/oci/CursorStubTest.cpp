// The cursor's statement life cycle, binds, defines and failure table against the stub library,
// where every OCI status can be chosen.

#include <gtest/gtest.h>

#include "oci/TOCI8Ctrl.h"
#include "oci/TOCI8Cur.h"
#include "oci/TOCI8Lob.h"
#include "tests/oci/StubLibrary.h"

namespace tabrook {
namespace {

using test::ScopedOciLibrary;
using test::StubLibrary;

class Cursor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(oci.Connect()) << oci.ErrMsg();
        cur.SetParent(&oci);
        stub.Reset();
    }
    void TearDown() override {
        cur.CleanUp();
        cur.SetParent(nullptr);
    }
    // Executes a query over the stub's columns.
    bool Query() {
        stub.SetStmtType(1);
        cur.SetSQL("select * from t");
        return cur.Execute();
    }

    StubLibrary stub{"full"};
    ScopedOciLibrary use{stub.Path()};
    TOCI8Ctrl oci;
    TOCI8Cur cur;
};

TEST_F(Cursor, ParseRefusesAnEmptyStatement) {
    EXPECT_FALSE(cur.Parse());
    EXPECT_EQ(cur.ErrCode(), -1);
    EXPECT_EQ(cur.ErrMsg(), "SQLが未入力です");
    EXPECT_FALSE(cur.Execute());
    EXPECT_EQ(cur.ErrMsg(), "SQLが未入力です");
}

TEST_F(Cursor, OneTrailingSemicolonIsDropped) {
    struct {
        const char* sql;
        const char* prepared;
    } cases[] = {{"select 1 from dual;", "select 1 from dual"},
                 {"select 1 from dual; ", "select 1 from dual; "},
                 {"select 1 from dual;;", "select 1 from dual;"},
                 {";", ""}};
    for (const auto& c : cases) {
        cur.SetSQL(c.sql);
        ASSERT_TRUE(cur.Parse()) << c.sql;
        EXPECT_EQ(stub.LastPrepared(), c.prepared);
        EXPECT_TRUE(cur.Opened());
        EXPECT_TRUE(cur.Parsed());
    }
}

TEST_F(Cursor, SameTextKeepsTheBindsAndADifferentOneDropsThem) {
    cur.SetSQL("insert into t values (:a)");
    stub.SetStmtType(4);
    ASSERT_TRUE(cur.Parse());
    AddBind(cur.Binds, ":a", "1", true);
    cur.SetSQL("insert into t values (:a)");
    EXPECT_EQ(cur.Binds.size(), 1u);
    EXPECT_TRUE(cur.Parsed());
    cur.SetSQL("insert into t values (:b)");
    EXPECT_TRUE(cur.Binds.empty());
    EXPECT_FALSE(cur.Parsed());
    EXPECT_TRUE(cur.Opened());  // the handle stays open until the next Parse or CleanUp
}

TEST_F(Cursor, ExecuteWithBindNeedsAParsedStatement) {
    cur.SetSQL("insert into t values (:a)");
    EXPECT_FALSE(cur.ExecuteWithBind());
    EXPECT_EQ(cur.ErrCode(), -1);
    EXPECT_EQ(cur.ErrMsg(), "SQLが解析されていません。");
}

TEST_F(Cursor, PlsqlBlocksAreRefusedAfterAParse) {
    for (int type : {8, 9}) {
        stub.SetStmtType(type);
        cur.SetSQL(type == 8 ? "begin null; end;" : "declare x number; begin null; end;");
        EXPECT_FALSE(cur.Execute());
        EXPECT_EQ(cur.ErrCode(), -1);
        EXPECT_EQ(cur.ErrMsg(), "PL/SQLは実行できません");
        EXPECT_TRUE(cur.Parsed());
        EXPECT_EQ(stub.Count("OCIStmtExecute"), 0);
    }
}

TEST_F(Cursor, OnParseCanCancel) {
    ub2 seenType = 0;
    sb4 seenArg = 0;
    cur.OnParse = [&](ub2 type, sb4 arg) {
        seenType = type;
        seenArg = arg;
        return false;
    };
    stub.SetStmtType(2);
    cur.SetSQL("update t set a = 1");
    EXPECT_FALSE(cur.Execute(42));
    EXPECT_EQ(cur.ErrMsg(), "ユーザーによるキャンセル");
    EXPECT_EQ(cur.ErrCode(), 0);
    EXPECT_EQ(seenType, 2);
    EXPECT_EQ(seenArg, 42);
    EXPECT_TRUE(cur.Parsed());
    EXPECT_EQ(stub.Count("OCIStmtExecute"), 0);
}

TEST_F(Cursor, IterationsAreOneForDmlAndZeroForQueries) {
    stub.SetStmtType(2);
    cur.SetSQL("update t set a = 1");
    ASSERT_TRUE(cur.Execute());
    EXPECT_EQ(stub.LastIters(), 1);
    stub.AddColumn(1, 10, 0, 0, 1, "A");
    ASSERT_TRUE(Query());
    EXPECT_EQ(stub.LastIters(), 0);
    EXPECT_EQ(stub.Count("OCIStmtFetch"), 0);
}

// A query asks the client library to prefetch rows (OCI_ATTR_PREFETCH_ROWS 11, then
// OCI_ATTR_PREFETCH_MEMORY 13) on its statement before the execute, so that a row-by-row
// fetch does not cost a round trip a row; a statement without rows asks for nothing.
TEST_F(Cursor, QueryAsksForPrefetchBeforeItsExecute) {
    stub.SetStmtType(2);
    cur.SetSQL("update t set a = 1");
    ASSERT_TRUE(cur.Execute());
    EXPECT_EQ(stub.AttrSets(), "");
    const size_t before = stub.Calls().size();
    stub.AddColumn(1, 10, 0, 0, 1, "A");
    ASSERT_TRUE(Query()) << cur.ErrMsg();
    EXPECT_EQ(stub.AttrSets(), "11\n13\n");
    const std::string calls = stub.Calls().substr(before);
    const size_t execute = calls.find("OCIStmtExecute");
    ASSERT_NE(execute, std::string::npos);
    EXPECT_LT(calls.find("OCIAttrSet"), execute);
    EXPECT_EQ(calls.find("OCIAttrSet", execute), std::string::npos);
    // executed again with its binds: asked again, on the same handle
    ASSERT_TRUE(cur.ExecuteWithBind());
    EXPECT_EQ(stub.AttrSets(), "11\n13\n11\n13\n");
}

// A client library that refuses either prefetch attribute still runs the query, and the
// refusal leaves no error behind.
TEST_F(Cursor, RefusedPrefetchLeavesTheQueryAlone) {
    for (const char* refused : {"OCIAttrSet#11", "OCIAttrSet#13", "OCIAttrSet"}) {
        SCOPED_TRACE(refused);
        cur.CleanUp();
        oci.UnActive();
        stub.Reset();
        ASSERT_TRUE(oci.Connect()) << oci.ErrMsg();
        cur.SetParent(&oci);
        stub.Force(refused, -1);
        stub.AddColumn(1, 10, 0, 0, 1, "A");
        stub.SetRows(2);
        ASSERT_TRUE(Query()) << cur.ErrMsg();
        EXPECT_EQ(cur.ErrCode(), 0);
        EXPECT_EQ(cur.ErrMsg(), "");
        ASSERT_TRUE(cur.Fetch()) << cur.ErrMsg();
        EXPECT_EQ(cur.Values[0], "v1");
        ASSERT_TRUE(cur.Fetch());
        EXPECT_FALSE(cur.Fetch());
        EXPECT_EQ(cur.ErrCode(), 100);
    }
}

TEST_F(Cursor, NoDataFromExecuteCountsAsSuccess) {
    stub.SetStmtType(3);
    stub.Force("OCIStmtExecute", 100);
    cur.SetSQL("delete from t where 1 = 0");
    EXPECT_TRUE(cur.Execute());
}

struct RefusalCase {
    const char* forced;
    int stmtType;
};

class CursorRefusal : public Cursor, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(CursorRefusal, GivesTheOracleNumberAndMessage) {
    const auto& c = GetParam();
    stub.SetError(942, "ORA-00942: table or view does not exist\n");
    stub.Force(c.forced, -1);
    stub.SetStmtType(c.stmtType);
    stub.AddColumn(1, 10, 0, 0, 1, "A");
    stub.SetRows(1);
    cur.SetSQL("statement :a");
    AddBind(cur.Binds, ":a", "1", true);
    const bool executed = cur.Execute();
    bool fetched = false;
    if (executed) fetched = cur.Fetch();
    EXPECT_FALSE(executed && fetched);
    EXPECT_EQ(cur.ErrCode(), 942);
    EXPECT_EQ(cur.ErrMsg(), "ORA-00942: table or view does not exist\n");
}

INSTANTIATE_TEST_SUITE_P(Steps, CursorRefusal,
                         ::testing::Values(RefusalCase{"OCIHandleAlloc", 1}, RefusalCase{"OCIStmtPrepare", 1},
                                           RefusalCase{"OCIAttrGet#24", 1}, RefusalCase{"OCIBindByName", 4},
                                           RefusalCase{"OCIStmtExecute", 4}, RefusalCase{"OCIStmtExecute", 1},
                                           RefusalCase{"OCIAttrGet#18", 1}, RefusalCase{"OCIParamGet", 1},
                                           RefusalCase{"OCIAttrGet#2", 1}, RefusalCase{"OCIAttrGet#5", 1},
                                           RefusalCase{"OCIAttrGet#31", 1}, RefusalCase{"OCIDefineByPos", 1},
                                           RefusalCase{"OCIStmtFetch", 1}),
                         [](const auto& info) {
                             std::string name = info.param.forced;
                             for (char& ch : name) {
                                 if (ch == '#') ch = '_';
                             }
                             return name + "_type" + std::to_string(info.param.stmtType);
                         });

TEST_F(Cursor, BindsEveryKindByNameBeforeEveryExecution) {
    stub.SetStmtType(4);
    cur.SetSQL("insert into t values (:t, :n, :i, :d, :f, :s, :r, :b, :c, :x)");
    ASSERT_TRUE(cur.Parse());
    AddBind(cur.Binds, ":t", "abc", true);
    AddBind(cur.Binds, ":n", "ignored", false);
    auto add = [&](const char* name, BindKind kind) -> BindAttr& {
        BindAttr& b = AddBind(cur.Binds, name, "", true);
        b.BindType = kind;
        return b;
    };
    add(":i", kBindInteger).Integer = 7;
    add(":d", kBindDate);
    add(":f", kBindDouble).IsNull = true;
    add(":s", kBindFloat);
    add(":r", kBindRowid);
    add(":b", kBindBlob);
    add(":c", kBindClob);
    add(":x", kBindBFile);
    ASSERT_TRUE(cur.ExecuteWithBind()) << cur.ErrMsg();
    const std::string ptr = std::to_string(sizeof(void*));
    EXPECT_EQ(stub.Binds(),
              ":t:5:4:first:abc\n"
              ":n:5:0:chained\n"
              ":i:3:4:chained\n"
              ":d:156:8:chained\n"
              ":f:4:0:chained\n"
              ":s:4:4:chained\n"
              ":r:104:" +
                  ptr +
                  ":chained\n"
                  ":b:113:" +
                  ptr +
                  ":chained\n"
                  ":c:112:" +
                  ptr +
                  ":chained\n"
                  ":x:114:" +
                  ptr + ":chained\n");
    ASSERT_TRUE(cur.ExecuteWithBind());
    EXPECT_EQ(stub.Count("OCIBindByName"), 20);
    EXPECT_EQ(stub.Count("OCIStmtPrepare"), 1);
}

TEST_F(Cursor, EmptyTextIsSentAsAOneByteString) {
    stub.SetStmtType(4);
    cur.SetSQL("insert into t values (:a)");
    ASSERT_TRUE(cur.Parse());
    AddBind(cur.Binds, ":a", "", true);
    ASSERT_TRUE(cur.ExecuteWithBind());
    EXPECT_EQ(stub.Binds(), ":a:5:1:first:\n");
}

TEST_F(Cursor, AnUnknownBindKindStopsWithoutAMessage) {
    stub.SetStmtType(4);
    cur.SetSQL("insert into t values (:a)");
    ASSERT_TRUE(cur.Parse());
    AddBind(cur.Binds, ":a", "", true).BindType = 42;
    EXPECT_FALSE(cur.ExecuteWithBind());
    EXPECT_EQ(cur.ErrMsg(), "");  // the refusal adds no message
    EXPECT_EQ(stub.Count("OCIBindByName"), 0);
    EXPECT_EQ(stub.Count("OCIStmtExecute"), 0);
}

TEST_F(Cursor, QueryDescribesDefinesAndFetchesUntilNoData) {
    stub.AddColumn(1, 10, 0, 0, 1, "NAME  ");
    stub.AddColumn(2, 22, 10, 2, 0, "AMOUNT");
    stub.AddColumn(12, 7, 0, 0, 0, "DAY");
    stub.AddColumn(96, 5, 0, 0, 1, "CODE");
    stub.AddColumn(187, 11, 0, 3, 0, "TS");
    stub.AddColumn(190, 11, 2, 6, 0, "DS");
    stub.AddColumn(189, 5, 2, 0, 0, "YM");
    stub.AddColumn(23, 16, 0, 0, 0, "R");
    stub.AddColumn(104, 10, 0, 0, 0, "RID");
    stub.AddColumn(8, 0, 0, 0, 1, "L");
    stub.AddColumn(1, 40, 0, 0, 2, "NV");
    stub.SetRows(2);
    ASSERT_TRUE(Query()) << cur.ErrMsg();
    EXPECT_EQ(cur.Values,
              (std::vector<std::string>{"NAME  ", "AMOUNT", "DAY", "CODE", "TS", "DS", "YM", "R", "RID", "L", "NV"}));
    ASSERT_EQ(cur.Columns.size(), 11u);
    EXPECT_EQ(cur.Columns[0].Name, "NAME");
    EXPECT_EQ(cur.Columns[10].DataType, kTypeNVarchar2);
    const std::string ptr = std::to_string(sizeof(void*));
    // Text buffers hold four bytes a character when the client does not tell its width.
    EXPECT_EQ(stub.Defines(), "1:5:41\n2:6:23\n3:156:9\n4:96:21\n5:187:" + ptr + "\n6:190:" + ptr + "\n7:189:" + ptr +
                                  "\n8:23:17\n9:9:23\n10:5:4001\n11:5:81\n");
    // the prefetch rows and memory of the query, then the charset form of the national column,
    // never its id
    EXPECT_EQ(stub.AttrSets(), "11\n13\n32\n");
    EXPECT_EQ(stub.Count("OCIDescriptorFree(param)"), 11);

    ASSERT_TRUE(cur.Fetch()) << cur.ErrMsg();
    EXPECT_FALSE(cur.ConvertFailed());
    EXPECT_EQ(cur.ErrCode(), 0);
    EXPECT_EQ(cur.Values[0], "v1");
    EXPECT_EQ(cur.Values[1], "12.5[FM99999999.09]");
    EXPECT_EQ(cur.Values[2], "date[YYYY/MM/DD HH24:MI:SS|American]");
    EXPECT_EQ(cur.Values[4], "ts[YYYY/MM/DD HH24:MI:SSXFF TZH:TZM|3]");
    EXPECT_EQ(cur.Values[5], "iv[2|6]");  // leading precision 2, not 2 - 6
    EXPECT_EQ(cur.Values[6], "iv[2|0]");
    EXPECT_EQ(cur.Values[7], "(RAW)");
    EXPECT_EQ(cur.Values[8], "(ROWID)");
    EXPECT_EQ(cur.Values[9], "v10");
    ASSERT_TRUE(cur.Fetch());
    EXPECT_FALSE(cur.Fetch());
    EXPECT_EQ(cur.ErrCode(), 100);
    EXPECT_EQ(cur.RowCount(), 2);
    EXPECT_EQ(cur.Values, std::vector<std::string>(11));

    const int freedBefore = stub.Count("OCIDescriptorFree");
    EXPECT_TRUE(cur.CleanUp());
    EXPECT_EQ(stub.Count("OCIDescriptorFree") - freedBefore, 3);  // TS, DS, YM
    EXPECT_FALSE(cur.Opened());
    EXPECT_TRUE(cur.Columns.empty());
    EXPECT_EQ(cur.RowCount(), 0);
}

// Text buffers are sized for the client's character set: the column's length in characters
// (as described, else from its bytes) times the client's bytes per character.
TEST_F(Cursor, TextBuffersHoldTheClientsBytesPerCharacter) {
    struct Case {
        int maxBytes;  // 0: the client does not tell
        int charSize;  // 0: not described
        std::string defines;
    };
    const std::vector<Case> cases = {
        {1, 0, "1:5:11\n2:96:6\n3:5:41\n"},
        {3, 0, "1:5:31\n2:96:16\n3:5:61\n"},
        {3, 4, "1:5:13\n2:96:13\n3:5:41\n"},  // a described length in characters wins...
        {0, 0, "1:5:41\n2:96:21\n3:5:81\n"},
        {1, 20, "1:5:21\n2:96:21\n3:5:41\n"},  // ...but the buffer never shrinks below the bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.maxBytes) + "/" + std::to_string(c.charSize));
        cur.CleanUp();
        oci.UnActive();
        stub.Reset();
        stub.SetMaxBytesPerChar(c.maxBytes);
        ASSERT_TRUE(oci.Connect()) << oci.ErrMsg();
        cur.SetParent(&oci);
        stub.AddColumn(1, 10, 0, 0, 1, "V");  // VARCHAR2(10)
        stub.AddColumn(96, 5, 0, 0, 1, "C");  // CHAR(5)
        stub.AddColumn(1, 40, 0, 0, 2, "N");  // NVARCHAR2(20): two bytes a character described
        if (c.charSize > 0) {
            stub.SetCharSize(0, c.charSize);
            stub.SetCharSize(1, c.charSize);
            stub.SetCharSize(2, c.charSize);
        }
        ASSERT_TRUE(Query()) << cur.ErrMsg();
        EXPECT_EQ(stub.Defines(), c.defines);
        EXPECT_EQ(stub.AttrSets(), "11\n13\n32\n");
    }
}

// A value the client had to cut (status 1, indicator above 0: ORA-01406) is a failed value,
// never data.
TEST_F(Cursor, TruncatedValueIsAFailureNotData) {
    stub.AddColumn(1, 10, 0, 0, 1, "A");
    stub.AddColumn(1, 10, 0, 0, 1, "B");
    stub.SetRows(2);
    ASSERT_TRUE(Query()) << cur.ErrMsg();
    stub.Truncate(2);
    ASSERT_TRUE(cur.Fetch());
    EXPECT_TRUE(cur.ConvertFailed());
    EXPECT_EQ(cur.ErrCode(), 1406);
    EXPECT_EQ(cur.ErrMsg(), "ORA-01406: fetched column value was truncated");
}

// A fixed-width value comes padded to the whole buffer; the padding past the column's width
// is not part of it.
TEST_F(Cursor, FixedWidthTextKeepsOnlyItsOwnPadding) {
    stub.AddColumn(96, 5, 0, 0, 1, "C");
    stub.SetRows(1);
    ASSERT_TRUE(Query()) << cur.ErrMsg();
    ASSERT_TRUE(cur.Fetch());
    ASSERT_FALSE(cur.Columns[0].Buffer.empty());
    EXPECT_EQ(cur.Values[0], "v1   ");
}

TEST_F(Cursor, SuccessWithInfoStillFetches) {
    stub.AddColumn(1, 10, 0, 0, 1, "A");
    ASSERT_TRUE(Query());
    stub.Force("OCIStmtFetch", 1);
    EXPECT_TRUE(cur.Fetch());
    EXPECT_EQ(cur.ErrCode(), 1);
    EXPECT_FALSE(cur.ConvertFailed());
}

TEST_F(Cursor, PrecisionIsReadWithItsTwoByteWidth) {
    stub.AddColumn(2, 22, 300, -127, 0, "F");
    stub.AddColumn(2, 22, 38, 0, 0, "I");
    ASSERT_TRUE(Query());
    EXPECT_EQ(cur.Columns[0].DataType, 4);
    EXPECT_EQ(cur.Columns[0].Precision, 300);
    EXPECT_EQ(cur.Columns[0].Format, "");
    EXPECT_EQ(cur.Columns[1].Precision, 38);
    EXPECT_EQ(cur.Columns[1].Scale, 0);
}

TEST_F(Cursor, UnsupportedTypeIsRefusedBeforeAnyDefine) {
    stub.AddColumn(1, 10, 0, 0, 1, "A");
    stub.AddColumn(108, 0, 0, 0, 0, "OBJ");
    EXPECT_FALSE(Query());
    EXPECT_EQ(cur.ErrCode(), -1);
    EXPECT_EQ(cur.ErrMsg(), "抽出不可能なカラムが選択されました");
    EXPECT_EQ(stub.Count("OCIDefineByPos"), 0);
}

TEST_F(Cursor, LobColumnsNeedAHandler) {
    stub.AddColumn(113, 4000, 0, 0, 0, "B");
    EXPECT_FALSE(Query());
    EXPECT_EQ(stub.Count("OCIDefineByPos"), 0);

    cur.OnNeedLob = [](DataAttr&, sb4, TOCI8Lob*&) { return false; };
    EXPECT_FALSE(Query());

    cur.OnNeedLob = [](DataAttr&, sb4, TOCI8Lob*&) { return true; };
    EXPECT_FALSE(Query());
    EXPECT_EQ(cur.ErrCode(), -1);
    EXPECT_EQ(cur.ErrMsg(), "項目がDefineされてません");
}

TEST_F(Cursor, LobColumnIsDefinedIntoTheHandedOutComponent) {
    TOCI8Lob lob;
    lob.SetParent(&oci);
    int asked = 0;
    cur.OnNeedLob = [&](DataAttr& column, sb4, TOCI8Lob*& out) {
        EXPECT_EQ(column.TypeName, "BLOB");
        ++asked;
        out = &lob;
        return true;
    };
    stub.AddColumn(113, 4000, 0, 0, 0, "B");
    stub.AddColumn(1, 5, 0, 0, 1, "A");
    stub.SetRows(1);
    ASSERT_TRUE(Query()) << cur.ErrMsg();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(lob.LobType(), entLob::Blob);
    EXPECT_TRUE(lob.Allocated());
    EXPECT_THROW(lob.SetLobType(entLob::Clob), TOCIException);
    EXPECT_EQ(stub.Defines(), "1:113:-1\n2:5:21\n");
    ASSERT_TRUE(cur.Fetch());
    EXPECT_EQ(cur.Values[0], "(BLOB)");
    EXPECT_TRUE(cur.CleanUp());
    EXPECT_TRUE(oci.CleanUp());  // terminates the LOB component too
    EXPECT_FALSE(lob.Allocated());
    lob.SetParent(nullptr);
}

TEST_F(Cursor, AHandlerThatThrowsIsReported) {
    cur.OnNeedLob = [](DataAttr&, sb4, TOCI8Lob*&) -> bool { throw std::runtime_error("bad"); };
    stub.AddColumn(112, 4000, 0, 0, 1, "C");
    EXPECT_FALSE(Query());
    EXPECT_EQ(cur.ErrCode(), -1);
    EXPECT_EQ(cur.ErrMsg(), "不正なTOCI8Lobが渡されました");
}

TEST_F(Cursor, NationalClobIsDefinedAsAClobLocatorAndShowsItsPlaceholder) {
    TOCI8Lob lob;
    lob.SetParent(&oci);
    lob.SetLobType(entLob::Blob);
    cur.OnNeedLob = [&](DataAttr& column, sb4, TOCI8Lob*& out) {
        EXPECT_EQ(column.TypeName, "NCLOB");
        out = &lob;
        return true;
    };
    stub.AddColumn(112, 4000, 0, 0, 2, "NC");
    stub.AddColumn(1, 5, 0, 0, 1, "A");
    stub.SetRows(1);
    ASSERT_TRUE(Query()) << cur.ErrMsg();
    EXPECT_EQ(cur.Columns[0].TypeName, "NCLOB");
    EXPECT_EQ(lob.LobType(), entLob::Clob);
    EXPECT_EQ(stub.Defines(), "1:112:-1\n2:5:21\n");
    ASSERT_TRUE(cur.Fetch());
    EXPECT_EQ(cur.Values[0], "(NCLOB)");
    EXPECT_EQ(cur.Values[1], "v2");
    EXPECT_TRUE(cur.CleanUp());
    EXPECT_TRUE(oci.CleanUp());
    lob.SetParent(nullptr);
}

TEST_F(Cursor, NationalClobWithoutAHandlerFailsInsteadOfShowingNothing) {
    stub.AddColumn(112, 4000, 0, 0, 2, "NC");
    stub.AddColumn(1, 5, 0, 0, 1, "A");
    EXPECT_FALSE(Query());
}

struct ConvertFailureCase {
    int type, size, precision, scale;
    const char* forced;
    const char* shownText;  // what the value keeps showing
};

class ConvertFailure : public Cursor, public ::testing::WithParamInterface<ConvertFailureCase> {};

TEST_P(ConvertFailure, IsVisibleAfterTheFetch) {
    const auto& c = GetParam();
    stub.AddColumn(1, 5, 0, 0, 1, "A");
    stub.AddColumn(c.type, c.size, c.precision, c.scale, 0, "X");
    stub.AddColumn(1, 5, 0, 0, 1, "B");
    stub.SetRows(2);
    ASSERT_TRUE(Query()) << cur.ErrMsg();
    stub.SetError(1877, "ORA-01877: string is too long for internal buffer\n");
    stub.Force(c.forced, -1);
    ASSERT_TRUE(cur.Fetch());
    EXPECT_EQ(cur.Values[1], c.shownText);
    EXPECT_EQ(cur.Values[2], "v3");
    EXPECT_TRUE(cur.ConvertFailed());
    EXPECT_EQ(cur.ConvertFailedColumn(), 1);
    EXPECT_EQ(cur.ErrCode(), 1877);
    EXPECT_EQ(cur.ErrMsg(), "ORA-01877: string is too long for internal buffer\n");

    stub.Force(c.forced, 0);
    ASSERT_TRUE(cur.Fetch());
    EXPECT_FALSE(cur.ConvertFailed());
    EXPECT_EQ(cur.ErrCode(), 0);
    EXPECT_EQ(cur.ErrMsg(), "");
}

INSTANTIATE_TEST_SUITE_P(Types, ConvertFailure,
                         ::testing::Values(ConvertFailureCase{12, 7, 0, 0, "OCIDateToText", ""},
                                           ConvertFailureCase{2, 22, 5, 0, "OCINumberToText",
                                                              "ORA-01877: string is too long for internal buffer\n"},
                                           ConvertFailureCase{2, 22, 0, -127, "OCINumberLog",
                                                              "ORA-01877: string is too long for internal buffer\n"},
                                           ConvertFailureCase{187, 11, 0, 6, "OCIDateTimeToText",
                                                              "ORA-01877: string is too long for internal buffer\n"},
                                           ConvertFailureCase{190, 11, 2, 6, "OCIIntervalToText", ""}),
                         [](const auto& info) { return std::string(info.param.forced); });

TEST_F(Cursor, ChangingTheConnectionWhileOpenThrows) {
    cur.SetSQL("select 1 from dual");
    stub.AddColumn(1, 1, 0, 0, 1, "A");
    ASSERT_TRUE(Query());
    try {
        cur.SetParent(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const TOCIException& e) {
        EXPECT_STREQ(e.what(), "Cursorがオープンしている間はOCI-Controlへのバインドは変更できません");
    }
    EXPECT_EQ(cur.OCIParent(), &oci);
}

TEST_F(Cursor, CleanUpThatCannotFreeTheHandleStaysOpen) {
    stub.AddColumn(1, 1, 0, 0, 1, "A");
    ASSERT_TRUE(Query());
    stub.Force("OCIHandleFree", -2);
    EXPECT_FALSE(cur.CleanUp());
    EXPECT_TRUE(cur.Opened());
    EXPECT_FALSE(cur.Parsed());
    EXPECT_TRUE(cur.Columns.empty());
    EXPECT_TRUE(cur.Values.empty());
    stub.Reset();
    EXPECT_TRUE(cur.CleanUp());
    EXPECT_FALSE(cur.Opened());
}

TEST_F(Cursor, GetRowidNeedsAConnection) {
    TOCI8Cur lonely;
    try {
        lonely.GetRowid(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const TOCIException& e) {
        EXPECT_STREQ(e.what(), "TOCI8Ctrlが指定されていません");
    }
    stub.SetStmtType(4);
    cur.SetSQL("insert into t values (1)");
    ASSERT_TRUE(cur.Execute());
    EXPECT_TRUE(cur.GetRowid(nullptr));
}

}  // namespace
}  // namespace tabrook
