// Each Oracle error the engine raises, with Oracle's text; never SQLite's message.

#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

class ErrorsTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Exec(
            "CREATE TABLE emp(id NUMBER(5) CONSTRAINT emp_pk PRIMARY KEY, name VARCHAR2(5) NOT NULL,"
            " code CHAR(2), uname VARCHAR2(3 CHAR) UNIQUE, born DATE, amount NUMBER(5,2))");
        Exec("INSERT INTO emp(id, name) VALUES(1, 'a')");
    }
};

TEST_F(ErrorsTest, StatementsRaiseOraclesErrors) {
    struct {
        const char* sql;
        const char* error;
    } cases[] = {
        {"INSERT INTO emp(id, name) VALUES(1, 'b')", "ORA-00001: unique constraint (SCOTT.EMP_PK) violated"},
        {"INSERT INTO emp(id) VALUES(2)", "ORA-01400: cannot insert NULL into (\"SCOTT\".\"EMP\".\"NAME\")"},
        {"INSERT INTO emp(id, name) VALUES(2, '')", "ORA-01400: cannot insert NULL into (\"SCOTT\".\"EMP\".\"NAME\")"},
        {"INSERT INTO emp(id, name) VALUES(NULL, 'x')",
         "ORA-01400: cannot insert NULL into (\"SCOTT\".\"EMP\".\"ID\")"},
        {"UPDATE emp SET name = NULL", "ORA-01407: cannot update (\"SCOTT\".\"EMP\".\"NAME\") to NULL"},
        {"INSERT INTO emp(id, name) VALUES(2, 'abcdef')",
         "ORA-12899: value too large for column \"SCOTT\".\"EMP\".\"NAME\" (actual: 6, maximum: 5)"},
        {"INSERT INTO emp(id, name, uname) VALUES(2, 'a', 'äöüß')",
         "ORA-12899: value too large for column \"SCOTT\".\"EMP\".\"UNAME\" (actual: 4, maximum: 3)"},
        {"INSERT INTO emp(id, name, code) VALUES(2, 'a', 'xyz')",
         "ORA-12899: value too large for column \"SCOTT\".\"EMP\".\"CODE\" (actual: 3, maximum: 2)"},
        {"INSERT INTO emp(id, name) VALUES(123456, 'a')",
         "ORA-01438: value larger than specified precision allowed for this column"},
        {"INSERT INTO emp(id, name, amount) VALUES(2, 'a', 1000)",
         "ORA-01438: value larger than specified precision allowed for this column"},
        {"INSERT INTO emp(id, name) VALUES('x', 'a')", "ORA-01722: invalid number"},
        {"INSERT INTO emp(id, name, born) VALUES(2, 'a', TO_DATE('2020-13-01', 'YYYY-MM-DD'))",
         "ORA-01843: not a valid month"},
        {"INSERT INTO emp(id, name, born) VALUES(2, 'a', TO_DATE('2020-01-01x', 'YYYY-MM-DD'))",
         "ORA-01830: date format picture ends before converting entire input string"},
        {"INSERT INTO emp(id, name, uname) VALUES(2, 'a', 'u', 4)", "ORA-00913: too many values"},
        {"INSERT INTO emp(id, name, uname) VALUES(2, 'a')", "ORA-00947: not enough values"},
        {"INSERT INTO emp(id, nosuch) VALUES(2, 'a')", "ORA-00904: \"NOSUCH\": invalid identifier"},
        {"INSERT INTO emp(id, id) VALUES(2, 3)", "ORA-00957: duplicate column name"},
        {"SELECT * FROM nosuch", "ORA-00942: table or view does not exist"},
        {"SELECT * FROM \"emp\"", "ORA-00942: table or view does not exist"},
        {"SELECT nosuch FROM emp", "ORA-00904: \"NOSUCH\": invalid identifier"},
        {"SELECT e.nosuch FROM emp e", "ORA-00904: \"E\".\"NOSUCH\": invalid identifier"},
        {"SELECT id FROM emp a, emp b", "ORA-00918: column ambiguously defined"},
        {"SELECT * FROM emp;", "ORA-00911: invalid character"},
        {"SELEC * FROM emp", "ORA-00900: invalid SQL statement"},
        {"SELECT * FROM emp WHERE", "ORA-00936: missing expression"},
        {"SELECT * FROM emp extra junk", "ORA-00933: SQL command not properly ended"},
        {"SELECT id name FROM", "ORA-00903: invalid table name"},
        {"SELECT (id FROM emp", "ORA-00907: missing right parenthesis"},
        {"SELECT 'abc FROM emp", "ORA-01756: quoted string not properly terminated"},
        {"SELECT \"\" FROM emp", "ORA-01741: illegal zero-length identifier"},
        {"SELECT nosuchfn(id) FROM emp", "ORA-00904: \"NOSUCHFN\": invalid identifier"},
        {"SELECT 1/0 FROM dual", "ORA-01476: divisor is equal to zero"},
        {"SELECT TO_NUMBER('1x') FROM dual", "ORA-01722: invalid number"},
        {"SELECT * FROM emp WHERE born = 5", "ORA-00932: inconsistent datatypes: expected DATE got NUMBER"},
        {"CREATE TABLE emp(a NUMBER)", "ORA-00955: name is already used by an existing object"},
        {"CREATE TABLE t2(a NUMBER, a DATE)", "ORA-00957: duplicate column name"},
        {"CREATE TABLE t2(a VARCHAR2(4001))", "ORA-00910: specified length too long for its datatype"},
        {"CREATE TABLE t2(a NUMBER(39))", "ORA-01727: numeric precision specifier is out of range (1 to 38)"},
        {"CREATE TABLE t2(a WIBBLE)", "ORA-00902: invalid datatype"},
        {"CREATE TABLE t2(a NUMBER PRIMARY KEY, b NUMBER PRIMARY KEY)",
         "ORA-02260: table can have only one primary key"},
        {"DROP TABLE nosuch", "ORA-00942: table or view does not exist"},
        {"TRUNCATE TABLE nosuch", "ORA-00942: table or view does not exist"},
        {"DROP USER nosuch", "ORA-01918: user 'NOSUCH' does not exist"},
        {"BEGIN NULL; END;", "ORA-03001: unimplemented feature"},
        // a position past the select list, also one too large for any integer (found by the fuzzer)
        {"SELECT id FROM emp ORDER BY 2", "ORA-01785: ORDER BY item must be the number of a SELECT-list expression"},
        {"SELECT id FROM emp ORDER BY 099999999999999999999999999999",
         "ORA-01785: ORDER BY item must be the number of a SELECT-list expression"},
        {"SELECT id FROM emp UNION SELECT id FROM emp ORDER BY 99999999999999999999999",
         "ORA-01785: ORDER BY item must be the number of a SELECT-list expression"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.sql), c.error) << c.sql;
    // none of the failures left a row behind
    EXPECT_EQ(Rows("SELECT count(*) FROM emp"), std::vector<std::string>{"1"});
}

TEST_F(ErrorsTest, BindErrors) {
    auto st = session_->Prepare("INSERT INTO emp(id, name) VALUES(:id, :name)");
    st->Bind(0, OraNumber::FromInt64(5));
    try {
        st->Execute();
        FAIL() << "executed with an unbound placeholder";
    } catch (const OraError& e) {
        EXPECT_EQ(e.Message(), "ORA-01008: not all variables bound");
    }
    try {
        st->Bind(7, TextValue{"x"});
        FAIL();
    } catch (const OraError& e) {
        EXPECT_EQ(e.Code(), 1036);
    }
    EXPECT_EQ(st->BindIndex(":name"), 1);
    EXPECT_EQ(st->BindIndex("NAME"), 1);
    EXPECT_EQ(st->BindIndex("\"name\""), -1);
    EXPECT_EQ(st->BindIndex(":nosuch"), -1);
}

TEST_F(ErrorsTest, FailedStatementUndoesOnlyItself) {
    // a multi-row INSERT ... SELECT that fails on its second row leaves no row of its own
    Exec("INSERT INTO emp(id, name) VALUES(2, 'b')");
    EXPECT_EQ(ErrorOf("INSERT INTO emp(id, name) SELECT id + 1, name FROM emp"),
              "ORA-00001: unique constraint (SCOTT.EMP_PK) violated");
    EXPECT_EQ(Rows("SELECT id FROM emp ORDER BY id"), (std::vector<std::string>{"1", "2"}));
}

}  // namespace
}  // namespace ocilite::test
