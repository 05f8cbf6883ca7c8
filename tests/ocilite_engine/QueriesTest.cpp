// Query shapes beyond single-table selects, and the DDL that builds on queries.

#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

using Lines = std::vector<std::string>;

class QueriesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Exec("CREATE TABLE dept(id NUMBER PRIMARY KEY, name VARCHAR2(10))");
        Exec("CREATE TABLE emp(id NUMBER, dept_id NUMBER, sal NUMBER(7,2))");
        Exec("INSERT INTO dept VALUES(10, 'Sales')");
        Exec("INSERT INTO dept VALUES(20, 'Labs')");
        Exec("INSERT INTO dept VALUES(30, 'Empty')");
        const char* emps[] = {"1, 10, 100", "2, 10, 300", "3, 20, 250", "4, NULL, 50"};
        for (const char* e : emps) Exec(std::string("INSERT INTO emp VALUES(") + e + ")");
    }
};

TEST_F(QueriesTest, JoinsSubqueriesAndSetOperations) {
    EXPECT_EQ(
        Rows("SELECT d.name, SUM(e.sal) FROM dept d JOIN emp e ON e.dept_id = d.id GROUP BY d.name ORDER BY 2 DESC"),
        (Lines{"Sales|400", "Labs|250"}));
    EXPECT_EQ(Rows("SELECT d.name, COUNT(e.id) FROM dept d LEFT JOIN emp e ON e.dept_id = d.id GROUP BY d.name ORDER "
                   "BY d.name"),
              (Lines{"Empty|0", "Labs|1", "Sales|2"}));
    EXPECT_EQ(Rows("SELECT e.id FROM emp e, dept d WHERE e.dept_id = d.id AND d.name = 'Labs'"), Lines{"3"});
    EXPECT_EQ(Rows("SELECT name FROM dept WHERE id NOT IN (SELECT dept_id FROM emp WHERE dept_id IS NOT NULL)"),
              Lines{"Empty"});
    EXPECT_EQ(Rows("SELECT name FROM dept d WHERE EXISTS (SELECT 1 FROM emp e WHERE e.dept_id = d.id) ORDER BY 1"),
              (Lines{"Labs", "Sales"}));
    EXPECT_EQ(Rows("SELECT id, (SELECT MAX(sal) FROM emp e WHERE e.dept_id = d.id) FROM dept d ORDER BY id"),
              (Lines{"10|300", "20|250", "30|<null>"}));
    EXPECT_EQ(Rows("SELECT dept_id FROM emp UNION SELECT id FROM dept ORDER BY 1"),
              (Lines{"10", "20", "30", "<null>"}));
    EXPECT_EQ(Rows("SELECT id FROM dept MINUS SELECT dept_id FROM emp"), Lines{"30"});
    EXPECT_EQ(Rows("SELECT id FROM dept INTERSECT SELECT dept_id FROM emp ORDER BY 1"), (Lines{"10", "20"}));
    // top-N: ORDER BY in a subquery, ROWNUM outside
    EXPECT_EQ(Rows("SELECT id FROM (SELECT id FROM emp ORDER BY sal DESC) WHERE ROWNUM <= 2"), (Lines{"2", "3"}));
    EXPECT_EQ(ErrorOf("SELECT id FROM dept UNION SELECT id, name FROM dept"),
              "ORA-01789: query block has incorrect number of result columns");
    // NULLs sort last ascending and first descending, as in Oracle
    EXPECT_EQ(Rows("SELECT dept_id FROM emp ORDER BY dept_id DESC"), (Lines{"<null>", "20", "10", "10"}));
}

TEST_F(QueriesTest, CreateTableAsSelectAndViewsOverJoins) {
    Exec("CREATE TABLE rich AS SELECT id, sal FROM emp WHERE sal > 200");
    EXPECT_EQ(Rows("SELECT id, sal FROM rich ORDER BY id"), (Lines{"2|300", "3|250"}));
    EXPECT_EQ(ErrorOf("CREATE TABLE bad AS SELECT COUNT(*) FROM emp"),
              "ORA-00998: must name this expression with a column alias");
    Exec(
        "CREATE VIEW dept_pay(dept, total) AS SELECT d.name, SUM(e.sal) FROM dept d JOIN emp e ON e.dept_id = d.id"
        " GROUP BY d.name");
    EXPECT_EQ(Rows("SELECT total FROM dept_pay WHERE dept = 'Sales'"), Lines{"400"});
    Exec("CREATE OR REPLACE VIEW dept_pay(dept, total) AS SELECT name, id FROM dept");
    EXPECT_EQ(Rows("SELECT total FROM dept_pay WHERE dept = 'Sales'"), Lines{"10"});
    EXPECT_EQ(ErrorOf("CREATE VIEW rich AS SELECT 1 x FROM dual"),
              "ORA-00955: name is already used by an existing object");
    EXPECT_EQ(ErrorOf("DROP VIEW rich"), "ORA-00942: table or view does not exist");
    EXPECT_EQ(ErrorOf("UPDATE dept_pay SET total = 1"),
              "ORA-01732: data manipulation operation not legal on this view");
}

TEST_F(QueriesTest, SavepointsAndUsersWithObjects) {
    session_->Commit();
    Exec("INSERT INTO dept VALUES(40, 'A')");
    Exec("SAVEPOINT s1");
    Exec("INSERT INTO dept VALUES(50, 'B')");
    Exec("ROLLBACK TO SAVEPOINT s1");
    session_->Commit();
    EXPECT_EQ(Rows("SELECT id FROM dept WHERE id > 30"), Lines{"40"});
    EXPECT_EQ(ErrorOf("ROLLBACK TO nosuch"),
              "ORA-01086: savepoint 'NOSUCH' never established in this session or is invalid");

    Exec("CREATE USER bob IDENTIFIED BY pw");
    {
        auto bob = Logon("bob", "pw", false);
        Exec("CREATE TABLE b(x NUMBER)", bob.get());
    }
    EXPECT_EQ(ErrorOf("DROP USER bob"), "ORA-01922: CASCADE must be specified to drop 'BOB'");
    Exec("DROP USER bob CASCADE");
    EXPECT_EQ(ErrorOf("SELECT * FROM bob.b"), "ORA-00942: table or view does not exist");
    EXPECT_THROW(Logon("bob", "pw", false), OraError);
    EXPECT_EQ(ErrorOf("DROP USER scott"), "ORA-01940: cannot drop a user that is currently connected");
}

TEST_F(QueriesTest, DatetimeAndIntervalArithmetic) {
    EXPECT_EQ(Rows("SELECT TO_CHAR(DATE '2024-01-31' + 1, 'YYYY-MM-DD'), DATE '2024-03-01' - DATE '2024-02-01',"
                   " TO_CHAR(ADD_MONTHS(DATE '2024-01-31', 1), 'YYYY-MM-DD'),"
                   " TO_CHAR(DATE '2024-01-01' + INTERVAL '1-2' YEAR TO MONTH, 'YYYY-MM-DD'),"
                   " TO_CHAR(TIMESTAMP '2024-01-01 00:00:00' + TO_DSINTERVAL('0 01:30:00'), 'HH24:MI'),"
                   " EXTRACT(YEAR FROM DATE '2024-05-06') FROM dual"),
              Lines{"2024-02-01|29|2024-02-29|2025-03-01|01:30|2024"});
    EXPECT_EQ(Rows("SELECT TIMESTAMP '2024-01-02 00:00:00' - TIMESTAMP '2024-01-01 12:00:00' FROM dual"),
              Lines{"+00 12:00:00.000000"});
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM dual WHERE DATE '2024-01-01' < TIMESTAMP '2024-01-01 00:00:01'"), Lines{"1"});
}

}  // namespace
}  // namespace ocilite::test
