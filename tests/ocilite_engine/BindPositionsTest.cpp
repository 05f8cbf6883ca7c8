// Placeholders wherever an expression may stand: UPDATE's SET list, the select list of
// INSERT ... SELECT, subqueries of every kind, next to function calls that come before them in
// the statement. Each case runs on fresh rows and checks the rows it leaves behind.

#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

using Lines = std::vector<std::string>;

Value Num(int64_t n) {
    return OraNumber::FromInt64(n);
}
Value Text(const char* s) {
    return TextValue{s};
}

class BindPositionsTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Exec("CREATE TABLE t(id NUMBER(5), n NUMBER, s VARCHAR2(20), d DATE)");
    }
    void Reset() {
        Exec("DELETE FROM t");
        Exec("INSERT INTO t VALUES (1, 10, 'one', DATE '2020-01-01')");
        Exec("INSERT INTO t VALUES (2, 20, 'two', DATE '2020-02-02')");
    }
    // Runs sql with binds by position; returns "" or the Oracle error.
    std::string Run(const std::string& sql, const std::vector<Value>& binds) {
        try {
            auto st = session_->Prepare(sql);
            EXPECT_EQ(st->BindNames().size(), binds.size()) << sql;
            for (size_t i = 0; i < binds.size(); ++i) st->Bind(static_cast<int>(i), binds[i]);
            st->Execute();
            std::vector<Value> row;
            if (st->Type() == StatementType::Select) {
                std::string out;
                while (st->Fetch(row)) {
                    for (size_t i = 0; i < row.size(); ++i) out += (i ? "|" : "") + Show(row[i]);
                    out += ";";
                }
                return out;
            }
            return "";
        } catch (const OraError& e) {
            return e.Message();
        }
    }
};

TEST_F(BindPositionsTest, EveryExpressionPositionTakesABind) {
    struct Case {
        std::string sql;
        std::vector<Value> binds;
        const char* result;  // a query's rows, "" for DML, or the error
        Lines after;         // select id, n, s from t order by id
    } cases[] = {
        {"update t set n = :1 where id = :2", {Num(42), Num(1)}, "", {"1|42|one", "2|20|two"}},
        {"update t set n = :1 where id = :2", {Text("43"), Text("2")}, "", {"1|10|one", "2|43|two"}},
        {"update t set s = upper(:v) || 'x', n = n + :k where id = :id",
         {Text("ab"), Num(5), Num(2)},
         "",
         {"1|10|one", "2|25|ABx"}},
        {"update t set d = to_date(:1, 'YYYY-MM-DD'), s = :2",
         {Text("2021-03-04"), Text("all")},
         "",
         {"1|10|all", "2|20|all"}},
        {"update t set n = (select :1 * 2 from dual) where id = :2", {Num(4), Num(1)}, "", {"1|8|one", "2|20|two"}},
        {"update t set n = :1 where id = :2", {std::monostate{}, Num(1)}, "", {"1|<null>|one", "2|20|two"}},
        {"insert into t (id, n) select :1, :2 from dual",
         {Num(3), Num(30)},
         "",
         {"1|10|one", "2|20|two", "3|30|<null>"}},
        {"insert into t (n) select :1 from dual", {Text("7")}, "", {"<null>|7|<null>", "1|10|one", "2|20|two"}},
        {"insert into t (id, s) select id + :1, s || :2 from t where id = :3",
         {Num(10), Text("!"), Num(2)},
         "",
         {"1|10|one", "2|20|two", "12|<null>|two!"}},
        {"insert into t (id, n) select :1, nvl(max(n), 0) + :2 from t",
         {Num(5), Num(1)},
         "",
         {"1|10|one", "2|20|two", "5|21|<null>"}},
        {"delete from t where id in (select :1 from dual)", {Num(1)}, "", {"2|20|two"}},
        {"delete from t where n > (select :1 from dual) and s = :2", {Num(15), Text("two")}, "", {"1|10|one"}},
        {"delete from t where n > (select :1 from dual)", {Num(15)}, "", {"1|10|one"}},
        {"delete from t where s = :2", {Text("two")}, "", {"1|10|one"}},
        {"select n from t where n > (select :1 from dual)", {Num(15)}, "20;", {"1|10|one", "2|20|two"}},
        {"delete from t where exists (select 1 from dual where :1 = 'y')", {Text("n")}, "", {"1|10|one", "2|20|two"}},
        {"select id from t where n = (select max(n) - :1 from t)", {Num(10)}, "1;", {"1|10|one", "2|20|two"}},
        {"select to_char(:1 + n), (select :2 from dual) from t where id = :3",
         {Num(1), Text("x"), Num(2)},
         "21|x;",
         {"1|10|one", "2|20|two"}},
        {"select case when :1 > n then 'big' else 'small' end from t order by id",
         {Num(15)},
         "big;small;",
         {"1|10|one", "2|20|two"}},
        {"select id from (select id, n + :1 m from t) where m > :2", {Num(1), Num(20)}, "2;", {"1|10|one", "2|20|two"}},
        // a bind used twice, once inside a function call and once in the SET list
        {"update t set s = substr(:a, 1, 2), n = length(:a) where id = 1", {Text("hello")}, "", {"1|5|he", "2|20|two"}},
        // column checks still apply to bound values in these positions
        {"update t set s = :1 where id = 1",
         {Text("abcdefghijklmnopqrstuvwxyz")},
         "ORA-12899: value too large for column \"SCOTT\".\"T\".\"S\" (actual: 26, maximum: 20)",
         {"1|10|one", "2|20|two"}},
        {"insert into t (id) select :1 from dual", {Text("x")}, "ORA-01722: invalid number", {"1|10|one", "2|20|two"}},
        // a NUL byte inside a literal is refused, not cut off when the statement is run
        {std::string("update t set s = 'a\0b' where id = :1", 36),
         {Num(1)},
         "ORA-00911: invalid character",
         {"1|10|one", "2|20|two"}},
    };
    for (const auto& c : cases) {
        Reset();
        EXPECT_EQ(Run(c.sql, c.binds), c.result) << c.sql;
        EXPECT_EQ(Rows("select id, n, s from t order by id nulls first"), c.after) << c.sql;
    }
}

TEST_F(BindPositionsTest, EveryBindTypeInTheSetList) {
    struct Case {
        Value value;
        const char* column;
        const char* shown;
    } cases[] = {
        {Num(7), "n", "7"},
        {Text("8"), "n", "8"},
        {BinaryDoubleValue{9.0}, "n", "9"},
        {std::monostate{}, "n", "<null>"},
        {Text("txt"), "s", "txt"},
        {Num(12), "s", "12"},
        {Text("05-MAR-21"), "d", "2021-03-05 00:00:00.000000000"},
    };
    for (const auto& c : cases) {
        Reset();
        std::string sql = std::string("update t set ") + c.column + " = :1 where id = :2";
        EXPECT_EQ(Run(sql, {c.value, Num(1)}), "") << sql << " " << c.shown;
        EXPECT_EQ(Rows(std::string("select ") + c.column + " from t where id = 1"), Lines{c.shown}) << c.shown;
        Reset();
        sql = std::string("insert into t (id, ") + c.column + ") select :1, :2 from dual";
        EXPECT_EQ(Run(sql, {Num(9), c.value}), "") << sql << " " << c.shown;
        EXPECT_EQ(Rows(std::string("select ") + c.column + " from t where id = 9"), Lines{c.shown}) << c.shown;
    }
}

// An interval scales by a number on either side of * and adds only to intervals and datetimes:
// a number added to one is ORA-00932, whether it comes from a column, a literal or a bind
// (it used to end the process).
TEST_F(BindPositionsTest, IntervalArithmeticWithNumbers) {
    Exec("CREATE TABLE iv(g INTERVAL DAY(3) TO SECOND, y INTERVAL YEAR TO MONTH, k NUMBER)");
    Exec("INSERT INTO iv VALUES (INTERVAL '1 02:00:00' DAY TO SECOND, INTERVAL '1-06' YEAR TO MONTH, 2)");
    struct Case {
        const char* sql;
        std::vector<Value> binds;
        const char* result;
    } cases[] = {
        {"select :1 * g from iv", {Num(2)}, "+02 04:00:00.000000;"},
        {"select k * g, g * k, g / k from iv", {}, "+02 04:00:00.000000|+02 04:00:00.000000|+00 13:00:00.000000;"},
        {"select y * :1 from iv", {Num(2)}, "+03-00;"},
        {"select g + :1 from iv", {Text("0 01:00:00")}, "+01 03:00:00.000000;"},
        {"select :1 + g from iv",
         {Num(1)},
         "ORA-00932: inconsistent datatypes: expected INTERVAL DAY TO SECOND got NUMBER"},
        {"select k + g from iv", {}, "ORA-00932: inconsistent datatypes: expected NUMBER got INTERVAL DAY TO SECOND"},
        {"select y - 1 from iv", {}, "ORA-00932: inconsistent datatypes: expected INTERVAL YEAR TO MONTH got NUMBER"},
        {"select k / g from iv", {}, "ORA-00932: inconsistent datatypes: expected NUMBER got INTERVAL DAY TO SECOND"},
        {"update iv set g = :1 * g", {Num(3)}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Run(c.sql, c.binds), c.result) << c.sql;
    EXPECT_EQ(Rows("select g from iv"), Lines{"+03 06:00:00.000000"});
}

// A fixed-length character bind compares with a CHAR column blank-padded; other text binds keep
// nonpadded semantics.
TEST_F(BindPositionsTest, FixedCharBindsCompareBlankPadded) {
    Exec("CREATE TABLE ch(c CHAR(5), v VARCHAR2(5))");
    Exec("INSERT INTO ch VALUES ('ab', 'ab')");
    auto fixed = [](const char* s) { return Value{TextValue{s, false, true}}; };
    struct Case {
        const char* sql;
        Value bind;
        const char* result;
    } cases[] = {
        {"select count(*) from ch where c = :1", fixed("ab"), "1;"},
        {"select count(*) from ch where :1 = c", fixed("ab   "), "1;"},
        {"select count(*) from ch where c = :1", fixed("ab      "), "1;"},
        {"select count(*) from ch where c = :1", Text("ab"), "0;"},
        {"select count(*) from ch where c = :1", Text("ab   "), "1;"},
        {"select count(*) from ch where c > :1", fixed("aa"), "1;"},
        {"select count(*) from ch where c < :1", fixed("ab"), "0;"},
        // against VARCHAR2 a fixed-length bind is plain text: trailing blanks count
        {"select count(*) from ch where v = :1", fixed("ab "), "0;"},
        {"select count(*) from ch where v = :1", fixed("ab"), "1;"},
    };
    for (const auto& c : cases) EXPECT_EQ(Run(c.sql, {c.bind}), c.result) << c.sql << " " << Show(c.bind);
}

// ROWNUM in an UPDATE's or DELETE's WHERE limits the rows the other conditions pick (it used
// to end in ORA-00600); where the engine cannot number rows it says so instead.
TEST_F(BindPositionsTest, RownumLimitsUpdateAndDelete) {
    struct Case {
        const char* sql;
        std::vector<Value> binds;
        const char* result;
        const char* count;  // select count(*) from t where s = 'x'
        const char* rows;   // select count(*) from t
    } cases[] = {
        {"update t set s = 'x' where rownum <= 1", {}, "", "1;", "2;"},
        {"update t set s = 'x' where n > :1 and rownum <= :2", {Num(0), Num(5)}, "", "2;", "2;"},
        {"update t set s = 'x' where rownum = :1 and n = 20", {Num(1)}, "", "1;", "2;"},
        {"update t set s = 'x' where rownum > 1", {}, "", "0;", "2;"},
        {"delete from t where rownum < :1", {Num(2)}, "", "0;", "1;"},
        {"delete from t where :1 >= rownum", {Num(10)}, "", "0;", "0;"},
        {"delete from t where rownum <= n", {}, "ORA-03001: unimplemented feature", "0;", "2;"},
        {"delete from t where n = 10 or rownum = 1", {}, "ORA-03001: unimplemented feature", "0;", "2;"},
        {"select id from t where not rownum > 1", {}, "ORA-03001: unimplemented feature", "0;", "2;"},
        {"delete from t where n = (select max(n) from dual)",
         {},
         "ORA-00934: group function is not allowed here",
         "0;",
         "2;"},
    };
    for (const auto& c : cases) {
        Reset();
        EXPECT_EQ(Run(c.sql, c.binds), c.result) << c.sql;
        EXPECT_EQ(Run("select count(*) from t where s = 'x'", {}), c.count) << c.sql;
        EXPECT_EQ(Run("select count(*) from t", {}), c.rows) << c.sql;
    }
}

}  // namespace
}  // namespace ocilite::test
