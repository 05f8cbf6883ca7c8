// What describe reports for each column type of `select * from "T"`.

#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

struct DescribeCase {
    const char* declared;
    uint16_t dataType;
    uint16_t dataSize;
    int16_t precision;
    int8_t scale;
    uint8_t charsetForm;
};

const DescribeCase kDescribe[] = {
    {"VARCHAR2(20)", 1, 20, 0, 0, 1},
    {"VARCHAR2(20 CHAR)", 1, 80, 0, 0, 1},
    {"NVARCHAR2(20)", 1, 40, 0, 0, 2},
    {"CHAR(5)", 96, 5, 0, 0, 1},
    {"NCHAR(5)", 96, 10, 0, 0, 2},
    {"NUMBER", 2, 22, 0, -127, 0},
    {"NUMBER(10,2)", 2, 22, 10, 2, 0},
    {"NUMBER(5)", 2, 22, 5, 0, 0},
    {"INTEGER", 2, 22, 38, 0, 0},
    {"FLOAT", 2, 22, 126, -127, 0},
    {"FLOAT(10)", 2, 22, 10, -127, 0},
    {"BINARY_FLOAT", 100, 4, 0, 0, 0},
    {"BINARY_DOUBLE", 101, 8, 0, 0, 0},
    {"DATE", 12, 7, 0, 0, 0},
    {"TIMESTAMP", 187, 11, 0, 6, 0},
    {"TIMESTAMP(3) WITH TIME ZONE", 188, 13, 0, 3, 0},
    {"TIMESTAMP WITH LOCAL TIME ZONE", 232, 11, 0, 6, 0},
    {"INTERVAL YEAR TO MONTH", 189, 5, 2, 0, 0},
    {"INTERVAL DAY(3) TO SECOND(4)", 190, 11, 3, 4, 0},
    {"RAW(16)", 23, 16, 0, 0, 0},
    {"LONG", 8, 0, 0, 0, 1},
    {"LONG RAW", 24, 0, 0, 0, 0},
    {"CLOB", 112, 4000, 0, 0, 1},
    {"NCLOB", 112, 4000, 0, 0, 2},
    {"BLOB", 113, 4000, 0, 0, 0},
    {"BFILE", 114, 530, 0, 0, 0},
};

TEST_F(EngineTest, SelectStarDescribesEachTypeAsOracleDoes) {
    for (size_t i = 0; i < std::size(kDescribe); ++i) {
        const auto& c = kDescribe[i];
        SCOPED_TRACE(c.declared);
        std::string table = "T" + std::to_string(i);
        bool notNull = i % 2 == 0 && c.dataType != 112 && c.dataType != 113;
        Exec("CREATE TABLE \"" + table + "\"(ID NUMBER, C" + std::to_string(i) + " " + c.declared +
             (notNull ? " NOT NULL" : "") + ")");
        auto st = session_->Prepare("select * from \"" + table + "\"");
        EXPECT_EQ(st->Type(), StatementType::Select);
        st->Execute();
        const auto& cols = st->Columns();
        ASSERT_EQ(cols.size(), 2u);
        EXPECT_EQ(cols[1].name, "C" + std::to_string(i));
        EXPECT_EQ(cols[1].dataType, c.dataType);
        EXPECT_EQ(cols[1].dataSize, c.dataSize);
        EXPECT_EQ(cols[1].precision, c.precision);
        EXPECT_EQ(cols[1].scale, c.scale);
        EXPECT_EQ(cols[1].charsetForm, c.charsetForm);
        EXPECT_EQ(cols[1].nullable, !notNull);
        EXPECT_EQ(cols[1].schemaName, "SCOTT");
        std::vector<Value> row;
        EXPECT_FALSE(st->Fetch(row));
    }
}

TEST_F(EngineTest, ExpressionsDescribeTheirResultTypes) {
    Exec("CREATE TABLE t(n NVARCHAR2(10), c NCHAR(4), v VARCHAR2(7))");
    auto st = session_->Prepare(
        "select TRANSLATE(\"N\" USING CHAR_CS) \"N\" ,TRANSLATE(\"C\" USING CHAR_CS) \"C\" , count(*), "
        "v || 'x', TRANSLATE(v USING NCHAR_CS), sysdate, 'abc' from \"T\" group by n, c, v");
    st->Execute();
    const auto& cols = st->Columns();
    ASSERT_EQ(cols.size(), 7u);
    EXPECT_EQ(cols[0].name, "N");
    EXPECT_EQ(cols[0].dataType, 1);
    EXPECT_EQ(cols[0].charsetForm, 1);
    EXPECT_EQ(cols[1].name, "C");
    EXPECT_EQ(cols[1].dataType, 1);
    EXPECT_EQ(cols[1].charsetForm, 1);
    EXPECT_EQ(cols[2].name, "COUNT(*)");
    EXPECT_EQ(cols[2].dataType, 2);
    EXPECT_EQ(cols[3].name, "V||'X'");
    EXPECT_EQ(cols[3].dataType, 1);
    EXPECT_EQ(cols[4].charsetForm, 2);
    EXPECT_EQ(cols[5].dataType, 12);
    EXPECT_EQ(cols[5].name, "SYSDATE");
    EXPECT_EQ(cols[6].dataType, 96);
    EXPECT_EQ(cols[6].name, "'ABC'");
}

TEST(ClassifyStatementTest, ReportsOciStatementTypes) {
    struct {
        const char* sql;
        StatementType type;
    } cases[] = {
        {"select * from t", StatementType::Select},
        {"  /* c */ (SELECT 1 FROM dual)", StatementType::Select},
        {"-- x\nWITH a AS (SELECT 1 FROM dual) SELECT * FROM a", StatementType::Select},
        {"insert into t values(1)", StatementType::Insert},
        {"UPDATE t SET a=1", StatementType::Update},
        {"delete t", StatementType::Delete},
        {"create table t(a number)", StatementType::Create},
        {"drop table t", StatementType::Drop},
        {"alter session set x=1", StatementType::Alter},
        {"begin null; end;", StatementType::Begin},
        {"declare x number; begin null; end;", StatementType::Declare},
        {"call p()", StatementType::Call},
        {"merge into t using s on (1=1) when matched then update set a=1", StatementType::Merge},
        {"truncate table t", StatementType::Unknown},
        {"commit", StatementType::Unknown},
        {"", StatementType::Unknown},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassifyStatement(c.sql), c.type) << c.sql;
}

}  // namespace
}  // namespace ocilite::test
