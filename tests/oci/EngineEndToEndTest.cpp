// End to end through the entry table against the embedded engine libocilite.so: logon, the
// statement life cycle, binds of every kind, the describe of each column type and the text of
// every value.

#include <filesystem>
#include <gtest/gtest.h>

#include "oci/TOCI8Ctrl.h"
#include "oci/TOCI8Cur.h"
#include "oci/TOCI8Lob.h"
#include "tests/oci/EmbeddedEngineTest.h"

namespace tabrook {
namespace {

namespace fs = std::filesystem;

class Engine : public test::EmbeddedEngineTest {
protected:
    Engine() : EmbeddedEngineTest("oci_e2e_") {}
    std::vector<std::vector<std::string>> Rows(const std::string& sql) {
        std::vector<std::vector<std::string>> rows;
        cur_->SetSQL(sql);
        EXPECT_TRUE(cur_->Execute()) << sql << ": " << cur_->ErrMsg();
        while (cur_->Fetch()) {
            EXPECT_FALSE(cur_->ConvertFailed()) << sql << ": " << cur_->ErrMsg();
            rows.push_back(cur_->Values);
        }
        EXPECT_EQ(cur_->ErrCode(), 100) << sql << ": " << cur_->ErrMsg();
        return rows;
    }
    std::string One(const std::string& sql) {
        auto rows = Rows(sql);
        if (rows.size() != 1 || rows[0].size() != 1) {
            ADD_FAILURE() << sql << " gave " << rows.size() << " rows";
            return {};
        }
        return rows[0][0];
    }
};

TEST_F(Engine, LogonLogoffAndWrongCredentials) {
    EXPECT_EQ(oci_->OCIVersion, "9.2");
    EXPECT_TRUE(oci_->DisConnect());
    EXPECT_FALSE(oci_->Connected);

    oci_->Password = "wrong";
    EXPECT_FALSE(oci_->Connect());
    EXPECT_EQ(oci_->ErrCode(), 1017);
    EXPECT_EQ(oci_->ErrMsg().rfind("ORA-01017", 0), 0u) << oci_->ErrMsg();

    oci_->Password = "tiger";
    oci_->ConnStr = (home_ / "missing.db").string();
    EXPECT_FALSE(oci_->Connect());
    EXPECT_EQ(oci_->ErrCode(), 12154);

    oci_->ConnStr.clear();
    EXPECT_TRUE(oci_->Connect()) << oci_->ErrMsg();
}

TEST_F(Engine, StatementLifeCycleWithBoundInsertsCommitAndRollback) {
    Exec("CREATE TABLE T (ID NUMBER(5), NAME VARCHAR2(20))");
    cur_->SetSQL("INSERT INTO T (ID, NAME) VALUES (:\"ID\", :\"NAME\")");
    ASSERT_TRUE(cur_->Parse()) << cur_->ErrMsg();
    EXPECT_EQ(cur_->StmtType(), OCI_STMT_INSERT);
    AddBind(cur_->Binds, ":\"ID\"", "", true);
    AddBind(cur_->Binds, ":\"NAME\"", "", true);
    const std::pair<const char*, const char*> rows[] = {{"1", "one"}, {"2", ""}, {"3", "three"}};
    for (const auto& [id, name] : rows) {
        cur_->Binds[0]->Text = id;
        cur_->Binds[1]->Text = name;
        ASSERT_TRUE(cur_->ExecuteWithBind()) << cur_->ErrMsg();
    }
    cur_->Binds[0]->Text = "4";
    cur_->Binds[1]->IsNull = true;
    ASSERT_TRUE(cur_->ExecuteWithBind()) << cur_->ErrMsg();
    ASSERT_TRUE(oci_->Commit()) << oci_->ErrMsg();

    EXPECT_EQ(One("SELECT COUNT(*) FROM T WHERE NAME IS NULL"), "2");  // empty text is NULL too
    Exec("DELETE FROM T WHERE ID = 3");
    ASSERT_TRUE(oci_->Rollback());
    EXPECT_EQ(One("SELECT COUNT(*) FROM T"), "4");

    cur_->SetSQL("SELECT ID, NAME FROM T ORDER BY ID;");
    ASSERT_TRUE(cur_->Execute()) << cur_->ErrMsg();
    EXPECT_EQ(cur_->Values, (std::vector<std::string>{"ID", "NAME"}));
    ASSERT_TRUE(cur_->Fetch());
    EXPECT_EQ(cur_->Values, (std::vector<std::string>{"1", "one"}));
    int rowsRead = 1;
    while (cur_->Fetch()) ++rowsRead;
    EXPECT_EQ(cur_->ErrCode(), 100);
    EXPECT_EQ(cur_->RowCount(), 4);
    EXPECT_EQ(rowsRead, 4);
    EXPECT_EQ(cur_->Values, std::vector<std::string>(2));

    Exec("UPDATE T SET NAME = 'x' WHERE ID = 99");  // touching no row is not a failure
}

TEST_F(Engine, FailuresCarryOracleNumbersAndTheCursorsOwnMessages) {
    cur_->SetSQL("SELECT * FROM NO_SUCH_TABLE");
    EXPECT_FALSE(cur_->Execute());
    EXPECT_EQ(cur_->ErrCode(), 942);
    EXPECT_EQ(cur_->ErrMsg().rfind("ORA-00942", 0), 0u) << cur_->ErrMsg();

    cur_->SetSQL("SELEC 1 FROM DUAL");
    EXPECT_FALSE(cur_->Execute());
    EXPECT_GT(cur_->ErrCode(), 0);
    EXPECT_EQ(cur_->ErrMsg().rfind("ORA-", 0), 0u) << cur_->ErrMsg();

    cur_->SetSQL("BEGIN NULL; END;");
    EXPECT_FALSE(cur_->Execute());
    EXPECT_EQ(cur_->ErrMsg(), "PL/SQLは実行できません");

    cur_->SetSQL("SELECT 1 FROM DUAL; ");  // the semicolon goes to the server
    EXPECT_FALSE(cur_->Execute());
    EXPECT_EQ(cur_->ErrCode(), 911);

    cur_->SetSQL("SELECT 1 FROM DUAL;");
    EXPECT_TRUE(cur_->Execute()) << cur_->ErrMsg();

    Exec("CREATE TABLE U (A NUMBER(2) NOT NULL)");
    cur_->SetSQL("INSERT INTO U VALUES (:A)");
    ASSERT_TRUE(cur_->Parse());
    AddBind(cur_->Binds, ":A", "123", true);
    EXPECT_FALSE(cur_->ExecuteWithBind());
    EXPECT_EQ(cur_->ErrCode(), 1438);
    cur_->Binds[0]->IsNull = true;
    EXPECT_FALSE(cur_->ExecuteWithBind());
    EXPECT_EQ(cur_->ErrCode(), 1400);
    cur_->Binds[0]->IsNull = false;
    cur_->Binds[0]->Text = "abc";
    EXPECT_FALSE(cur_->ExecuteWithBind());
    EXPECT_EQ(cur_->ErrCode(), 1722);

    AddBind(cur_->Binds, ":NOPE", "1", true);
    cur_->Binds[0]->Text = "1";
    EXPECT_FALSE(cur_->ExecuteWithBind());
    EXPECT_EQ(cur_->ErrCode(), 1036);
}

struct DescribeCase {
    const char* column;
    const char* typeName;
    int dataType, precision, scale;
};

TEST_F(Engine, DescribeOfEachColumnType) {
    const DescribeCase cases[] = {
        {"VARCHAR2(20)", "VARCHAR2", 1, 20, 0},
        {"NUMBER", "NUMBER", 2, 127, -127},
        {"NUMBER(5)", "NUMBER", 2, 5, 0},
        {"NUMBER(10,2)", "NUMBER", 2, 8, 2},
        {"FLOAT", "FLOAT", 4, 126, 0},
        {"DATE", "DATE", 12, 0, 0},
        {"CHAR(5)", "CHAR", 96, 5, 0},
        {"RAW(16)", "RAW", 23, 16, 0},
        {"TIMESTAMP(6)", "TIMESTAMP", 187, 6, 0},
        {"TIMESTAMP(3) WITH TIME ZONE", "TIMESTAMP TZ", 188, 3, 0},
        {"TIMESTAMP WITH LOCAL TIME ZONE", "TIMESTAMP LTZ", 232, 6, 0},
        {"INTERVAL YEAR(2) TO MONTH", "INTERVAL YM", 189, 2, 0},
        {"INTERVAL DAY(2) TO SECOND(6)", "INTERVAL DS", 190, -4, 6},
        {"NVARCHAR2(10)", "NVARCHAR2", 9009, -1, 0},
        {"NCHAR(5)", "NCHAR", 9096, -1, 0},
        {"CLOB", "CLOB", 112, 0, 0},
        {"BLOB", "BLOB", 113, 0, 0},
        {"LONG", "LONG", 8, 4000, 0},
    };
    TOCI8Lob lob;
    lob.SetParent(oci_.get());
    cur_->OnNeedLob = [&](DataAttr&, sb4, TOCI8Lob*& out) {
        out = &lob;
        return true;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        cur_->SetSQL("CREATE TABLE D (C " + std::string(c.column) + ")");
        if (!cur_->Execute()) {
            ADD_FAILURE() << "the engine refuses " << c.column << ": " << cur_->ErrMsg();
            continue;
        }
        cur_->SetSQL("SELECT * FROM D");
        if (cur_->Execute()) {
            ASSERT_EQ(cur_->Columns.size(), 1u);
            const DataAttr& a = cur_->Columns[0];
            EXPECT_EQ(a.Name, "C");
            EXPECT_EQ(a.TypeName, c.typeName);
            EXPECT_EQ(a.DataType, c.dataType);
            if (c.precision >= 0) {
                EXPECT_EQ(a.Precision, c.precision);
            }
            EXPECT_EQ(a.Scale, c.scale);
            if (c.dataType == 9009 || c.dataType == 9096) {
                EXPECT_EQ(a.CharSetForm, 2);
            }
        } else {
            ADD_FAILURE() << "select of " << c.column << ": " << cur_->ErrMsg();
        }
        cur_->CleanUp();
        oci_->CleanUp();
        Exec("DROP TABLE D");
    }
    lob.SetParent(nullptr);
}

// Whether the engine keeps or trims the zeros of an exponent mantissa under FM is not settled;
// "1~E-07" accepts 1E-07, 1.E-07 and 1.000E-07.
bool NumberTextMatches(const std::string& text, const std::string& expected) {
    const auto tilde = expected.find('~');
    if (tilde == std::string::npos) return text == expected;
    const std::string head = expected.substr(0, tilde), tail = expected.substr(tilde + 1);
    if (text.rfind(head, 0) != 0 || text.size() < head.size() + tail.size()) return false;
    if (text.compare(text.size() - tail.size(), tail.size(), tail) != 0) return false;
    std::string middle = text.substr(head.size(), text.size() - head.size() - tail.size());
    if (!middle.empty() && middle.front() == '.') middle.erase(0, 1);
    return middle.find_first_not_of('0') == std::string::npos;
}

TEST_F(Engine, NumberText) {
    Exec("CREATE TABLE N (P5 NUMBER(5), P10S2 NUMBER(10,2), FREE NUMBER, F FLOAT)");
    struct {
        const char* p5;
        const char* p10s2;
        const char* free;
        const char* expected5;
        const char* expected10;
        const char* expectedFree;  // exact text, or "1~E-07": a 1, an optional point and zeros, then the rest
    } cases[] = {
        {"12345", "12.5", "1234.5", "12345", "12.5", "1234.5"},
        {"-7", "0.5", "0.000012", "-7", ".5", "0.000012"},
        {"0", "-3", "1e-7", "0", "-3.0", "1~E-07"},
        {"1", "99999999.99", "1e45", "1", "99999999.99", "1~E+45"},
        {"2", "0", "1000", "2", ".0", "1000"},
        {"3", "1.25", "-123.45", "3", "1.25", "-123.45"},
        {"4", "10", "0.05", "4", "10.0", "0.05"},
        {"5", "7", "7", "5", "7.0", "7"},
        {"6", "1", "0", "6", "1.0", "0"},
    };
    // The integer positions of FM99999999.09 are 9s, so an integer part of zero is not printed
    // (0.5 gives .5, 0 gives .0).
    for (const auto& c : cases) {
        Exec(std::string("INSERT INTO N VALUES (") + c.p5 + ", " + c.p10s2 + ", " + c.free + ", " + c.free + ")");
    }
    Exec("INSERT INTO N VALUES (NULL, NULL, NULL, NULL)");
    auto rows = Rows("SELECT P5, P10S2, FREE, F FROM N");
    ASSERT_EQ(rows.size(), std::size(cases) + 1);
    EXPECT_EQ(cur_->Columns[0].Format, "FM99999");
    EXPECT_EQ(cur_->Columns[1].Format, "FM99999999.09");
    EXPECT_EQ(cur_->Columns[2].Format, "");
    EXPECT_EQ(cur_->Columns[3].Format, "");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].free);
        EXPECT_EQ(rows[i][0], cases[i].expected5);
        EXPECT_EQ(rows[i][1], cases[i].expected10);
        EXPECT_TRUE(NumberTextMatches(rows[i][2], cases[i].expectedFree)) << rows[i][2];
        EXPECT_TRUE(NumberTextMatches(rows[i][3], cases[i].expectedFree)) << rows[i][3];
    }
    EXPECT_EQ(rows.back(), std::vector<std::string>(4));
}

TEST_F(Engine, ComputedMasksOfExpressions) {
    cur_->SetSQL("SELECT -0.000012 A, 1e100 B, 12345678901234567890123456789012345678 C, -1e-130 D FROM DUAL");
    ASSERT_TRUE(cur_->Execute()) << cur_->ErrMsg();
    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();
    EXPECT_FALSE(cur_->ConvertFailed()) << cur_->ErrMsg();
    EXPECT_EQ(cur_->Values[0], "-0.000012");
    EXPECT_TRUE(NumberTextMatches(cur_->Values[1], "1~E+100")) << cur_->Values[1];
    EXPECT_EQ(cur_->Values[2], "12345678901234567890123456789012345678");
    EXPECT_TRUE(NumberTextMatches(cur_->Values[3], "-1~E-130")) << cur_->Values[3];
}

TEST_F(Engine, ColumnsThatCannotBeFetchedAndPlaceholders) {
    Exec("CREATE TABLE BD (X BINARY_DOUBLE, Y NUMBER, LR LONG RAW)");
    Exec("INSERT INTO BD (Y, LR) VALUES (1, HEXTORAW('01'))");
    EXPECT_EQ(Rows("SELECT Y, LR FROM BD"), (std::vector<std::vector<std::string>>{{"1", "(LONG RAW)"}}));
    cur_->SetSQL("SELECT X, Y FROM BD");
    EXPECT_FALSE(cur_->Execute());
    EXPECT_EQ(cur_->ErrCode(), -1);
    EXPECT_EQ(cur_->ErrMsg(), "抽出不可能なカラムが選択されました");
    // Nothing was defined: the refusal comes from the describe, before any define.
    EXPECT_EQ(cur_->Columns.size(), 0u);
}

TEST_F(Engine, NumberDigitsWithTheEnginesArithmetic) {
    struct {
        double value;
        NumberDigitsResult expected;
    } cases[] = {{0, {1, false}},    {-123.45, {3, true}}, {0.05, {-1, true}},    {7, {1, false}},
                 {1000, {4, false}}, {1e-7, {-6, true}},   {0.000012, {-4, true}}};
    for (const auto& c : cases) {
        OCINumber n{};
        ASSERT_EQ(oci_->Entries().OCINumberFromReal(oci_->hErr, &c.value, sizeof c.value, &n), 0);
        EXPECT_EQ(oci_->NumberDigits(n), c.expected) << c.value;
    }
}

TEST_F(Engine, TextOfDatesCharactersAndPlaceholders) {
    Exec(
        "CREATE TABLE V (D DATE, C CHAR(5), S VARCHAR2(10), NS NVARCHAR2(10), NC NCHAR(3), R RAW(4), "
        "L LONG)");
    Exec(
        "INSERT INTO V VALUES (TO_DATE('2004-03-01 13:05:09', 'YYYY-MM-DD HH24:MI:SS'), 'ab', 'hello', "
        "N'wide', N'x', HEXTORAW('0A0B'), 'long text')");
    Exec("INSERT INTO V VALUES (NULL, NULL, NULL, NULL, NULL, NULL, NULL)");
    auto rows = Rows("SELECT D, C, S, NS, NC, R, L FROM V");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"2004/03/01 13:05:09", "ab   ", "hello", "wide", "x  ", "(RAW)", "long text"}));
    EXPECT_EQ(rows[1], std::vector<std::string>(7));
}

TEST_F(Engine, TextOfTimestampsAndIntervals) {
    Exec(
        "CREATE TABLE W (TZ TIMESTAMP(6) WITH TIME ZONE, YM INTERVAL YEAR(2) TO MONTH, "
        "DS INTERVAL DAY(2) TO SECOND(6), TS TIMESTAMP(6))");
    Exec(
        "INSERT INTO W VALUES (TIMESTAMP '2004-03-01 13:05:09.123456 +09:00', INTERVAL '1-2' YEAR TO MONTH, "
        "INTERVAL '1 02:03:04.5' DAY TO SECOND, TIMESTAMP '2004-03-01 13:05:09.123456')");
    Exec("INSERT INTO W VALUES (NULL, NULL, NULL, NULL)");
    cur_->SetSQL("SELECT TZ, YM, DS, TS FROM W");
    ASSERT_TRUE(cur_->Execute()) << cur_->ErrMsg();
    ASSERT_TRUE(cur_->Fetch());
    const auto first = cur_->Values;
    const bool failed = cur_->ConvertFailed();
    const int failedColumn = cur_->ConvertFailedColumn();
    const std::string failure = cur_->ErrMsg();
    ASSERT_TRUE(cur_->Fetch());
    EXPECT_EQ(cur_->Values, std::vector<std::string>(4));
    EXPECT_FALSE(cur_->ConvertFailed());
    EXPECT_FALSE(cur_->Fetch());

    EXPECT_EQ(first[0], "2004/03/01 13:05:09.123456 +09:00");
    EXPECT_EQ(first[1], "+01-02");
    EXPECT_EQ(first[2], "+01 02:03:04.500000");
    // A plain TIMESTAMP has no zone for TZH:TZM: either the engine renders it, or the failure is
    // reported for that column instead of passing the message off as the value.
    if (first[3].rfind("2004/03/01 13:05:09.123456", 0) != 0) {
        EXPECT_TRUE(failed) << first[3];
        EXPECT_EQ(failedColumn, 3);
        EXPECT_EQ(first[3], failure);
    } else {
        EXPECT_FALSE(failed) << failure;
    }
}

TEST_F(Engine, LobColumnsThroughTheHandedOutComponent) {
    Exec("CREATE TABLE B (ID NUMBER(3), C CLOB, B BLOB)");
    Exec("INSERT INTO B VALUES (1, 'text', HEXTORAW('01'))");
    Exec("INSERT INTO B VALUES (2, NULL, NULL)");
    TOCI8Lob lob;
    lob.SetParent(oci_.get());
    cur_->OnNeedLob = [&](DataAttr&, sb4, TOCI8Lob*& out) {
        out = &lob;
        return true;
    };
    auto rows = Rows("SELECT ID, C, B FROM B ORDER BY ID");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "(CLOB)", "(BLOB)"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"2", "", ""}));
    EXPECT_TRUE(lob.Allocated());
    cur_->CleanUp();
    oci_->CleanUp();
    EXPECT_FALSE(lob.Allocated());
    lob.SetParent(nullptr);
}

TEST_F(Engine, BindsOfEveryValueKind) {
    Exec("CREATE TABLE K (I NUMBER(10), D DATE, F NUMBER, S NUMBER)");
    cur_->SetSQL("INSERT INTO K VALUES (:I, :D, :F, :S)");
    ASSERT_TRUE(cur_->Parse()) << cur_->ErrMsg();
    auto add = [&](const char* name, BindKind kind) -> BindAttr& {
        BindAttr& b = AddBind(cur_->Binds, name, "", true);
        b.BindType = kind;
        return b;
    };
    add(":I", kBindInteger).Integer = -42;
    add(":D", kBindDate).Date = OCIDate{2004, 3, 1, {13, 5, 9}};
    add(":F", kBindDouble).Double = 2.5;
    add(":S", kBindFloat).Float = 0.25f;
    ASSERT_TRUE(cur_->ExecuteWithBind()) << cur_->ErrMsg();
    for (auto& b : cur_->Binds) b->IsNull = true;
    ASSERT_TRUE(cur_->ExecuteWithBind()) << cur_->ErrMsg();
    auto rows = Rows("SELECT I, D, F, S FROM K ORDER BY I");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"-42", "2004/03/01 13:05:09", "2.5", ".25"}));
    EXPECT_EQ(rows[1], std::vector<std::string>(4));
}

TEST_F(Engine, RowidOfTheLastInsertBindsBack) {
    Exec("CREATE TABLE R (A VARCHAR2(5))");
    Exec("INSERT INTO R VALUES ('x')");
    void* rowid = oci_->DescAlloc(OCI_DTYPE_ROWID);
    ASSERT_TRUE(cur_->GetRowid(static_cast<OCIRowid*>(rowid))) << cur_->ErrMsg();
    Exec("INSERT INTO R VALUES ('y')");
    cur_->SetSQL("SELECT A FROM R WHERE ROWID = :R");
    ASSERT_TRUE(cur_->Parse()) << cur_->ErrMsg();
    BindAttr& b = AddBind(cur_->Binds, ":R", "", true);
    b.BindType = kBindRowid;
    b.Rowid = static_cast<OCIRowid*>(rowid);
    ASSERT_TRUE(cur_->ExecuteWithBind()) << cur_->ErrMsg();
    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();
    EXPECT_EQ(cur_->Values[0], "x");
    EXPECT_FALSE(cur_->Fetch());
    cur_->CleanUp();
    oci_->DescFree(rowid, OCI_DTYPE_ROWID);
}

TEST_F(Engine, RowidPseudoColumnIsDescribedAndShownAsAPlaceholder) {
    Exec("CREATE TABLE P (A VARCHAR2(5))");
    Exec("INSERT INTO P VALUES ('x')");
    cur_->SetSQL("SELECT ROWID, A FROM P");
    ASSERT_TRUE(cur_->Execute()) << cur_->ErrMsg();
    EXPECT_EQ(cur_->Columns[0].TypeName, "ROWID");
    EXPECT_EQ(cur_->Columns[0].BufSize, 22);
    ASSERT_TRUE(cur_->Fetch()) << cur_->ErrMsg();
    EXPECT_EQ(cur_->Values, (std::vector<std::string>{"(ROWID)", "x"}));
}

}  // namespace
}  // namespace tabrook
