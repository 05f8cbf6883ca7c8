// Oracle semantics that differ from SQLite's: NULL and empty text, CHAR padding, exact NUMBER,
// names and case, ROWNUM, views, the data dictionary and common functions.

#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(EngineTest, EmptyTextIsNull) {
    Exec("CREATE TABLE t(a VARCHAR2(10), b CHAR(3))");
    Exec("INSERT INTO t VALUES('', '')");
    auto st = session_->Prepare("INSERT INTO t VALUES(:a, :b)");
    st->Bind(0, TextValue{""});
    st->Bind(1, TextValue{"x"});
    st->Execute();
    EXPECT_EQ(Rows("SELECT a, b FROM t"), (Lines{"<null>|<null>", "<null>|x  "}));
    EXPECT_EQ(Rows("SELECT count(*) FROM t WHERE a IS NULL"), Lines{"2"});
    EXPECT_EQ(Rows("SELECT count(*) FROM dual WHERE '' IS NULL"), Lines{"1"});
    EXPECT_EQ(Rows("SELECT LENGTH(''), 'a' || NULL || 'b' FROM dual"), Lines{"<null>|ab"});
}

TEST_F(EngineTest, CharIsBlankPaddedAndComparedPadded) {
    Exec("CREATE TABLE t(c CHAR(5), v VARCHAR2(5))");
    Exec("INSERT INTO t VALUES('ab', 'ab')");
    EXPECT_EQ(Rows("SELECT c, v, LENGTH(c) FROM t"), Lines{"ab   |ab|5"});
    EXPECT_EQ(Rows("SELECT count(*) FROM t WHERE c = 'ab'"), Lines{"1"});  // padded comparison
    EXPECT_EQ(Rows("SELECT count(*) FROM t WHERE c = v"), Lines{"0"});     // VARCHAR2 side: not padded
    EXPECT_EQ(Rows("SELECT count(*) FROM t WHERE v = 'ab  '"), Lines{"0"});
    auto st = session_->Prepare("SELECT count(*) FROM t WHERE c = :x");
    st->Bind(0, TextValue{"ab"});
    st->Execute();
    std::vector<Value> row;
    ASSERT_TRUE(st->Fetch(row));
    EXPECT_EQ(Show(row[0]), "0");  // a text bind compares without padding
}

TEST_F(EngineTest, NumbersAreExactAndSortAsNumbers) {
    Exec("CREATE TABLE n(v NUMBER, s NUMBER(10,2), i NUMBER(5))");
    const char* values[] = {
        "12345678901234567890123456789012345678", "-1", "0.05", "10", "9.5", "-0.001", "100", "1e-10",
        "-12345678901234567890123456789012345678"};
    for (const char* v : values) Exec(std::string("INSERT INTO n(v) VALUES(") + v + ")");
    EXPECT_EQ(Rows("SELECT v FROM n ORDER BY v"),
              (Lines{"-12345678901234567890123456789012345678", "-1", "-.001", ".0000000001", ".05", "9.5", "10", "100",
                     "12345678901234567890123456789012345678"}));
    EXPECT_EQ(Rows("SELECT count(*) FROM n WHERE v > 9"), Lines{"4"});
    EXPECT_EQ(Rows("SELECT count(*) FROM n WHERE v = '10'"), Lines{"1"});  // text converts to NUMBER
    Exec("INSERT INTO n(s, i) VALUES(12.345, 12.5)");
    Exec("INSERT INTO n(s, i) VALUES(-12.355, -2.5)");
    EXPECT_EQ(Rows("SELECT s, i FROM n WHERE s IS NOT NULL ORDER BY s"), (Lines{"-12.36|-3", "12.35|13"}));
    EXPECT_EQ(Rows("SELECT SUM(v), AVG(s) FROM n WHERE v IS NULL OR ABS(v) < 1000"), Lines{"118.5490000001|-.005"});
    EXPECT_EQ(Rows("SELECT MAX(v), MIN(v) FROM n"),
              Lines{"12345678901234567890123456789012345678|-12345678901234567890123456789012345678"});
}

TEST_F(EngineTest, NamesFoldUnlessQuoted) {
    Exec("CREATE TABLE mixed(col1 NUMBER, \"Col2\" NUMBER, \"select\" NUMBER)");
    Exec("CREATE TABLE \"lower\"(a NUMBER)");
    Exec("INSERT INTO MIXED VALUES(1, 2, 3)");
    EXPECT_EQ(Rows("SELECT COL1, \"Col2\", \"select\" FROM \"MIXED\""), Lines{"1|2|3"});
    EXPECT_EQ(ErrorOf("SELECT col2 FROM mixed"), "ORA-00904: \"COL2\": invalid identifier");
    EXPECT_EQ(ErrorOf("SELECT * FROM lower"), "ORA-00942: table or view does not exist");
    EXPECT_EQ(Rows("SELECT count(*) FROM \"lower\""), Lines{"0"});
    auto st = session_->Prepare("select * from \"MIXED\"");
    st->Execute();
    ASSERT_EQ(st->Columns().size(), 3u);
    EXPECT_EQ(st->Columns()[0].name, "COL1");
    EXPECT_EQ(st->Columns()[1].name, "Col2");
    EXPECT_EQ(st->Columns()[2].name, "select");
    EXPECT_EQ(Rows("SELECT TABLE_NAME FROM user_tables ORDER BY 1"), (Lines{"MIXED", "lower"}));
}

TEST_F(EngineTest, RownumLimitsRowsBeforeOrderBy) {
    Exec("CREATE TABLE r(v NUMBER)");
    for (int i = 1; i <= 40; ++i) Exec("INSERT INTO r VALUES(" + std::to_string(i) + ")");
    struct {
        const char* where;
        const char* count;
    } cases[] = {
        {"rownum <= 30", "30"},
        {"rownum < 5", "4"},
        {"rownum = 1", "1"},
        {"rownum = 2", "0"},
        {"rownum > 1", "0"},
        {"rownum > 0", "40"},
        {"rownum >= 1", "40"},
        {"5 >= rownum", "5"},
        {"v > 35 and rownum <= 3", "3"},
        {"v > 38 and rownum <= 30", "2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rows(std::string("SELECT count(*) FROM (SELECT v FROM r WHERE ") + c.where + ")"), Lines{c.count})
            << c.where;
    // the limit picks rows first, ORDER BY sorts only those
    auto limited = Rows("SELECT v FROM r WHERE rownum <= 3 ORDER BY v DESC");
    EXPECT_EQ(limited, (Lines{"3", "2", "1"}));
    EXPECT_EQ(Rows("SELECT rownum, v FROM r WHERE v > 38"), (Lines{"1|39", "2|40"}));
}

TEST_F(EngineTest, DictionaryViewsAndViews) {
    Exec("CREATE TABLE base(id NUMBER(4) NOT NULL, name VARCHAR2(10))");
    Exec("CREATE VIEW v_base AS SELECT id, UPPER(name) uname FROM base WHERE id > 1");
    Exec("INSERT INTO base VALUES(1, 'a')");
    Exec("INSERT INTO base VALUES(2, 'b')");
    EXPECT_EQ(Rows("SELECT * FROM v_base"), Lines{"2|B"});
    EXPECT_EQ(Rows("select OBJECT_TYPE from user_objects where OBJECT_NAME = 'BASE' and SUBOBJECT_NAME is NULL"),
              Lines{"TABLE"});
    EXPECT_EQ(Rows("select OBJECT_TYPE from user_objects where OBJECT_NAME = 'V_BASE' and SUBOBJECT_NAME is NULL"),
              Lines{"VIEW"});
    EXPECT_EQ(Rows("select TABLE_name from user_TABLEs"), Lines{"BASE"});
    EXPECT_EQ(Rows("select VIEW_name from user_VIEWs"), Lines{"V_BASE"});
    EXPECT_EQ(Rows("SELECT column_name, data_type, data_precision, nullable FROM user_tab_columns"
                   " WHERE table_name = 'BASE' ORDER BY column_id"),
              (Lines{"ID|NUMBER|4|N", "NAME|VARCHAR2|<null>|Y"}));
    EXPECT_EQ(ErrorOf("INSERT INTO v_base VALUES(3, 'c')"),
              "ORA-01732: data manipulation operation not legal on this view");
    EXPECT_EQ(ErrorOf("CREATE VIEW v_bad AS SELECT * FROM nosuch"), "ORA-00942: table or view does not exist");
    Exec("DROP VIEW v_base");
    EXPECT_EQ(Rows("select count(*) from user_views"), Lines{"0"});
}

TEST_F(EngineTest, CommonFunctionsAndDml) {
    Exec("CREATE TABLE f(id NUMBER, s VARCHAR2(20), d DATE)");
    Exec("INSERT INTO f VALUES(1, 'Hello World', TO_DATE('2024-02-29 13:45:10', 'YYYY-MM-DD HH24:MI:SS'))");
    Exec("INSERT INTO f VALUES(2, NULL, NULL)");
    EXPECT_EQ(Rows("SELECT SUBSTR(s, 1, 5), UPPER(s), LOWER(s), LENGTH(s), INSTR(s, 'o', 1, 2) FROM f WHERE id = 1"),
              Lines{"Hello|HELLO WORLD|hello world|11|8"});
    EXPECT_EQ(Rows("SELECT NVL(s, 'none'), NVL2(s, 'y', 'n'), DECODE(id, 1, 'one', 'other') FROM f ORDER BY id"),
              (Lines{"Hello World|y|one", "none|n|other"}));
    EXPECT_EQ(Rows("SELECT TO_CHAR(d, 'DD.MM.YYYY HH24:MI'), TO_CHAR(ADD_MONTHS(d, 12), 'YYYY-MM-DD'),"
                   " TO_CHAR(TRUNC(d), 'HH24:MI:SS'), TO_CHAR(d + 1, 'MM-DD') FROM f WHERE id = 1"),
              Lines{"29.02.2024 13:45|2025-02-28|00:00:00|03-01"});
    EXPECT_EQ(Rows("SELECT ROUND(2.5), TRUNC(-2.7), MOD(10, 3), ABS(-4), TO_CHAR(1234.5, '9,999.00') FROM dual"),
              Lines{"3|-2|1|4| 1,234.50"});
    EXPECT_EQ(Rows("SELECT TRIM('  x  '), LPAD('7', 3, '0'), RPAD('a', 3, '*'), REPLACE('aXbX', 'X', '-') FROM dual"),
              Lines{"x|007|a**|a-b-"});
    EXPECT_EQ(Rows("SELECT CASE WHEN id = 1 THEN 'first' ELSE 'rest' END FROM f ORDER BY id"),
              (Lines{"first", "rest"}));
    EXPECT_EQ(Exec("UPDATE f SET s = s || '!' WHERE id = 1"), 1u);
    EXPECT_EQ(Rows("SELECT s FROM f WHERE id = 1"), Lines{"Hello World!"});
    EXPECT_EQ(Exec("DELETE FROM f WHERE s IS NULL"), 1u);
    EXPECT_EQ(Exec("INSERT INTO f(id, s) SELECT id + 10, s FROM f"), 1u);
    EXPECT_EQ(Rows("SELECT id FROM f ORDER BY id DESC"), (Lines{"11", "1"}));
    EXPECT_EQ(Rows("SELECT id, COUNT(*) FROM f GROUP BY id HAVING COUNT(*) > 0 ORDER BY 1"), (Lines{"1|1", "11|1"}));
    EXPECT_EQ(Rows("SELECT id FROM f WHERE s LIKE 'Hello%' AND id IN (1, 2)"), Lines{"1"});
    EXPECT_EQ(Rows("SELECT count(*) FROM f WHERE s LIKE 'hello%'"), Lines{"0"});  // LIKE is case-sensitive
}

TEST_F(EngineTest, DefaultsAndTypedValuesRoundTrip) {
    Exec(
        "CREATE TABLE d(id NUMBER, status VARCHAR2(3) DEFAULT 'NEW', made DATE DEFAULT SYSDATE,"
        " ts TIMESTAMP(3), tz TIMESTAMP WITH TIME ZONE, ym INTERVAL YEAR TO MONTH, ds INTERVAL DAY TO SECOND,"
        " r RAW(4), bd BINARY_DOUBLE)");
    Exec(
        "INSERT INTO d(id, ts, tz, ym, ds, r, bd) VALUES(1, TO_TIMESTAMP('2020-01-02 03:04:05.1239', "
        "'YYYY-MM-DD HH24:MI:SS.FF'), TO_TIMESTAMP_TZ('2020-01-02 03:04:05 +02:00', 'YYYY-MM-DD HH24:MI:SS TZH:TZM'),"
        " TO_YMINTERVAL('01-06'), TO_DSINTERVAL('2 03:04:05.5'), HEXTORAW('0aFF'), 1.5)");
    EXPECT_EQ(Rows("SELECT status, ts, tz, ym, ds, r, bd, CASE WHEN made > SYSDATE - 1 THEN 'recent' END FROM d"),
              Lines{"NEW|2020-01-02 03:04:05.124000000|2020-01-02 03:04:05.000000000 +120|+01-06|+02 03:04:05.500000|"
                    "raw:2|1.500000|recent"});
    EXPECT_EQ(Rows("SELECT count(*) FROM d WHERE ym = TO_YMINTERVAL('1-6') AND ds > TO_DSINTERVAL('2 00:00:00')"),
              Lines{"1"});
}

}  // namespace
}  // namespace ocilite::test
