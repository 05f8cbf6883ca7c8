// Storing values into columns: conversions and the column rules, case by case.

#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(EngineTest, ColumnRulesForEachType) {
    struct {
        const char* type;
        const char* literal;  // SQL text of the inserted value
        const char* stored;   // Show() of the fetched value, or the error
    } cases[] = {
        {"NUMBER(*,0)", "2.5", "3"},
        {"NUMBER(5,-2)", "12345", "12300"},
        {"NUMBER(3,2)", "9.999", "ORA-01438: value larger than specified precision allowed for this column"},
        {"NUMBER(2,3)", "0.0123", ".012"},
        {"FLOAT(10)", "1234.5678", "1235"},
        {"NUMBER", "'  42  '", "42"},
        {"NUMBER", "'4 2'", "ORA-01722: invalid number"},
        {"CHAR(3)", "'ab'", "ab "},
        {"CHAR(3 CHAR)", "'äö'", "äö "},
        {"VARCHAR2(3)", "'äö'", "ORA-12899: value too large for column \"SCOTT\".\"V\".\"C\" (actual: 4, maximum: 3)"},
        {"VARCHAR2(2 CHAR)", "'äö'", "äö"},
        {"NVARCHAR2(2)", "'äöü'",
         "ORA-12899: value too large for column \"SCOTT\".\"V\".\"C\" (actual: 3, maximum: 2)"},
        {"VARCHAR2(10)", "12.50", "12.5"},
        {"DATE", "'15-MAR-21'", "2021-03-15 00:00:00.000000000"},
        {"DATE", "TIMESTAMP '2021-03-15 10:11:12.9'", "2021-03-15 10:11:12.000000000"},
        {"TIMESTAMP(1)", "TIMESTAMP '2021-03-15 10:11:12.96'", "2021-03-15 10:11:13.000000000"},
        {"TIMESTAMP(0)", "DATE '2021-03-15'", "2021-03-15 00:00:00.000000000"},
        {"INTERVAL YEAR(1) TO MONTH", "'12-0'", "ORA-01873: the leading precision of the interval is too small"},
        {"INTERVAL DAY TO SECOND(1)", "'0 00:00:01.26'", "+00 00:00:01.300000"},
        {"RAW(2)", "'0A0B0C'", "ORA-12899: value too large for column \"SCOTT\".\"V\".\"C\" (actual: 3, maximum: 2)"},
        {"RAW(2)", "'zz'", "ORA-01465: invalid hex number"},
        {"DATE", "5", "ORA-00932: inconsistent datatypes: expected DATE got NUMBER"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " <- " + c.literal);
        Exec(std::string("CREATE TABLE v(c ") + c.type + ")");
        std::string error = ErrorOf(std::string("INSERT INTO v VALUES(") + c.literal + ")");
        if (!error.empty()) {
            EXPECT_EQ(error, c.stored);
        } else {
            EXPECT_EQ(Rows("SELECT c FROM v"), Lines{c.stored});
        }
        Exec("DROP TABLE v");
    }
}

TEST_F(EngineTest, UpdatesFollowTheSameRules) {
    Exec("CREATE TABLE u(id NUMBER(3) PRIMARY KEY, c CHAR(4), n NUMBER(4,1))");
    Exec("INSERT INTO u VALUES(1, 'a', 1)");
    Exec("INSERT INTO u VALUES(2, 'b', 2)");
    EXPECT_EQ(Exec("UPDATE u SET c = 'xy', n = n * 2.25"), 2u);
    EXPECT_EQ(Rows("SELECT id, c, n FROM u ORDER BY id"), (Lines{"1|xy  |2.3", "2|xy  |4.5"}));
    EXPECT_EQ(ErrorOf("UPDATE u SET id = 2 WHERE id = 1"),
              "ORA-00001: unique constraint (SCOTT.SYS_C0008001) violated");
    EXPECT_EQ(ErrorOf("UPDATE u SET n = 1000"),
              "ORA-01438: value larger than specified precision allowed for this column");
    EXPECT_EQ(ErrorOf("UPDATE u SET nosuch = 1"), "ORA-00904: \"NOSUCH\": invalid identifier");
    EXPECT_EQ(Rows("SELECT id, n FROM u ORDER BY id"), (Lines{"1|2.3", "2|4.5"}));  // failed updates left nothing
}

}  // namespace
}  // namespace ocilite::test
