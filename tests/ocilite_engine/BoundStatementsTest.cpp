// The statements the transfer program sends: the bound INSERT with conversion functions,
// executed once per row with binds by name, and the export SELECT with TRANSLATE aliases.

#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

using Lines = std::vector<std::string>;

class BoundStatementsTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Exec(
            "CREATE TABLE \"EMP\"(ID NUMBER(10), NAME NVARCHAR2(10), BORN DATE, SEEN TIMESTAMP(6),"
            " SEENZ TIMESTAMP(6) WITH TIME ZONE, AGE INTERVAL YEAR TO MONTH, UP INTERVAL DAY TO SECOND,"
            " CODE CHAR(2), NOTE VARCHAR2(20))");
    }
    static const char* Insert() {
        return "insert into \"EMP\"(\"ID\",\"NAME\",\"BORN\",\"SEEN\",\"SEENZ\",\"AGE\",\"UP\",\"CODE\",\"NOTE\")"
               "values(:\"ID\",TRANSLATE(:NAME USING NCHAR_CS),TO_DATE(:BORN,'RRRR-MM-DD HH24:MI:SS'),"
               "TO_TIMESTAMP(:SEEN,'RRRR-MM-DD HH24:MI:SS.FF'),TO_TIMESTAMP_TZ(:SEENZ,'RRRR-MM-DD HH24:MI:SS.FF'),"
               "TO_YMINTERVAL(:AGE),TO_DSINTERVAL(:UP),:\"CODE\",:\"NOTE\")";
    }
};

TEST_F(BoundStatementsTest, ImportInsertConvertsEveryField) {
    auto st = session_->Prepare(Insert());
    EXPECT_EQ(st->Type(), StatementType::Insert);
    EXPECT_EQ(st->BindNames(), (Lines{"ID", "NAME", "BORN", "SEEN", "SEENZ", "AGE", "UP", "CODE", "NOTE"}));
    struct Row {
        const char* fields[9];
        const char* error;
    } rows[] = {
        {{"1", "Müller", "1999-12-31 23:59:58", "2020-01-02 03:04:05.123456", "2020-01-02 03:04:05.5", "10-02",
          "1 02:03:04.5", "A", "x"},
         ""},
        {{"2", "", "", "", "", "", "", "", ""}, ""},
        {{"3", "a", "1999-02-30 00:00:00", "", "", "", "", "", ""}, "ORA-01839: date not valid for month specified"},
        {{"x4", "a", "", "", "", "", "", "", ""}, "ORA-01722: invalid number"},
        {{"5", "a", "", "", "", "", "", "ABC", ""},
         "ORA-12899: value too large for column \"SCOTT\".\"EMP\".\"CODE\" (actual: 3, maximum: 2)"},
        {{"6", "abcdefghijk", "", "", "", "", "", "", ""},
         "ORA-12899: value too large for column \"SCOTT\".\"EMP\".\"NAME\" (actual: 11, maximum: 10)"},
        {{"7", "a", "", "", "", "1-13", "", "", ""}, "ORA-01843: not a valid month"},
    };
    for (const auto& r : rows) {
        // bound by name before every execution, as the import does
        for (size_t i = 0; i < 9; ++i) {
            std::string name = st->BindNames()[i];
            st->Bind(st->BindIndex(":\"" + name + "\""), TextValue{r.fields[i]});
        }
        std::string error;
        try {
            st->Execute();
            EXPECT_EQ(st->RowCount(), 1u);
            EXPECT_EQ(st->LastRowid().size(), 18u);
        } catch (const OraError& e) {
            error = e.Message();
        }
        EXPECT_EQ(error, r.error) << r.fields[0];
    }
    session_->Commit();
    auto got = Rows("select ID, NAME, BORN, SEEN, AGE, UP, CODE, NOTE from \"EMP\" order by ID");
    EXPECT_EQ(got, (Lines{"1|Müller|1999-12-31 23:59:58.000000000|2020-01-02 03:04:05.123456000|+10-02|"
                          "+01 02:03:04.500000|A |x",
                          "2|<null>|<null>|<null>|<null>|<null>|<null>|<null>"}));
}

TEST_F(BoundStatementsTest, ExportSelectTranslatesNationalColumns) {
    Exec("INSERT INTO emp(id, name, code) VALUES(1, N'Grüße', 'Z')");
    auto st = session_->Prepare(
        "select \"ID\",TRANSLATE(\"NAME\" USING CHAR_CS) \"NAME\" ,\"CODE\" from \"EMP\" where rownum <= 30");
    st->Execute();
    ASSERT_EQ(st->Columns().size(), 3u);
    EXPECT_EQ(st->Columns()[1].name, "NAME");
    EXPECT_EQ(st->Columns()[1].charsetForm, 1);
    std::vector<Value> row;
    ASSERT_TRUE(st->Fetch(row));
    EXPECT_EQ(Show(row[1]), "Grüße");
    EXPECT_FALSE(std::get<TextValue>(row[1]).national);
    EXPECT_EQ(Show(row[2]), "Z ");
    EXPECT_FALSE(st->Fetch(row));
    EXPECT_FALSE(st->Fetch(row));  // stays at the end
    EXPECT_EQ(st->RowCount(), 1u);
}

TEST_F(BoundStatementsTest, TypedBindsAndReexecution) {
    auto st = session_->Prepare("INSERT INTO emp(id, born, note) VALUES(:1, :2, :3)");
    OraTimestamp t;
    t.year = 2001;
    t.month = 2;
    t.day = 3;
    t.hour = 4;
    for (int i = 0; i < 3; ++i) {
        st->Bind(0, OraNumber::FromInt64(100 + i));
        st->Bind(1, DatetimeValue{DatetimeKind::Date, t});
        st->Bind(2, OraNumber::FromDouble(0.25 * i));
        st->Execute();
    }
    EXPECT_EQ(Rows("SELECT id, TO_CHAR(born, 'YYYY-MM-DD HH24'), note FROM emp ORDER BY id"),
              (Lines{"100|2001-02-03 04|0", "101|2001-02-03 04|.25", "102|2001-02-03 04|.5"}));
    auto q = session_->Prepare("SELECT id FROM emp WHERE id > :low AND note = :n");
    q->Bind(0, TextValue{"100"});
    q->Bind(1, TextValue{".5"});
    q->Execute();
    std::vector<Value> row;
    ASSERT_TRUE(q->Fetch(row));
    EXPECT_EQ(Show(row[0]), "102");
    EXPECT_FALSE(q->Fetch(row));
}

}  // namespace
}  // namespace ocilite::test
