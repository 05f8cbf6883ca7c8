// MERGE as Oracle runs it: rows of the source that find target rows by the ON condition update
// them (every one they find), the others insert; the row count is both together; either
// clause alone; the clauses' WHERE conditions; a source of binds over DUAL, as the transfer
// program sends it, and a table source; the statement undone whole when its insert fails;
// Oracle's refusals (ORA-38104, 38101, 30926, syntax); the dictionary views of keys.
#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

using Lines = std::vector<std::string>;

class MergeTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Exec("CREATE TABLE T (ID NUMBER(4) CONSTRAINT T_PK PRIMARY KEY, GRP NUMBER(2), V VARCHAR2(5) NOT NULL, "
             "D DATE)");
        Exec("INSERT INTO T VALUES (1, 1, 'one', NULL)");
        Exec("INSERT INTO T VALUES (2, 1, 'two', NULL)");
        Exec("INSERT INTO T VALUES (3, 2, 'three', NULL)");
        Exec("CREATE TABLE S (ID NUMBER(4), V VARCHAR2(9))");
    }
    // Runs sql with text binds (by position) and returns its row count.
    uint64_t Merge(const std::string& sql, const std::vector<std::string>& binds) {
        auto st = session_->Prepare(sql);
        EXPECT_EQ(st->Type(), StatementType::Merge);
        for (size_t i = 0; i < binds.size(); ++i) st->Bind(static_cast<int>(i), TextValue{binds[i]});
        st->Execute();
        return st->RowCount();
    }
    Lines Table() { return Rows("SELECT ID, GRP, V, TO_CHAR(D, 'YYYY-MM-DD') FROM T ORDER BY ID"); }
    std::string ErrorOfMerge(const std::vector<std::string>& binds) {
        try {
            Merge(kUpsert, binds);
            return "";
        } catch (const OraError& e) {
            return e.Message();
        }
    }
    static constexpr char kUpsert[] =
        "MERGE INTO T t USING (SELECT :1 ID, :2 V, TO_DATE(:3, 'RRRR-MM-DD') D FROM dual) s ON (t.ID = s.ID) "
        "WHEN MATCHED THEN UPDATE SET t.V = s.V, t.D = s.D "
        "WHEN NOT MATCHED THEN INSERT (ID, V, D) VALUES (s.ID, s.V, s.D)";
};

TEST_F(MergeTest, BindsOverDualUpdateAMatchedRowAndInsertTheOthers) {
    EXPECT_EQ(Merge(kUpsert, {"2", "deux", "2020-02-02"}), 1u);
    EXPECT_EQ(Merge(kUpsert, {"7", "sept", ""}), 1u);
    EXPECT_EQ(Table(), (Lines{"1|1|one|<null>", "2|1|deux|2020-02-02", "3|2|three|<null>", "7|<null>|sept|<null>"}));
    // Each row's refusal is its own, with the message of the UPDATE or the INSERT.
    const std::string updateNull = ErrorOfMerge({"1", "", ""});
    EXPECT_EQ(updateNull, "ORA-01407: cannot update (\"SCOTT\".\"T\".\"V\") to NULL");
    EXPECT_EQ(ErrorOfMerge({"8", "", ""}), "ORA-01400: cannot insert NULL into (\"SCOTT\".\"T\".\"V\")");
    EXPECT_EQ(ErrorOfMerge({"9", "x", "2020-02-30"}), "ORA-01839: date not valid for month specified");
    EXPECT_EQ(ErrorOfMerge({"x", "x", ""}), "ORA-01722: invalid number");
    EXPECT_EQ(Table(), (Lines{"1|1|one|<null>", "2|1|deux|2020-02-02", "3|2|three|<null>", "7|<null>|sept|<null>"}));
}

TEST_F(MergeTest, TableSourceUpdatesEveryRowItFindsAndCountsBothClauses) {
    Exec("INSERT INTO S VALUES (1, 'g1')");
    Exec("INSERT INTO S VALUES (5, 'g5')");
    // ON is not a key: the source row of GRP 1 finds two target rows and updates both.
    EXPECT_EQ(Exec("MERGE INTO T USING S ON (T.GRP = S.ID) WHEN MATCHED THEN UPDATE SET V = S.V "
                   "WHEN NOT MATCHED THEN INSERT (ID, GRP, V) VALUES (S.ID + 100, S.ID, S.V)"),
              3u);
    EXPECT_EQ(Table(), (Lines{"1|1|g1|<null>", "2|1|g1|<null>", "3|2|three|<null>", "105|5|g5|<null>"}));
}

TEST_F(MergeTest, EitherClauseAloneAndTheirWhereConditions) {
    Exec("INSERT INTO S VALUES (2, 'b')");
    Exec("INSERT INTO S VALUES (3, 'c')");
    Exec("INSERT INTO S VALUES (4, 'd')");
    Exec("INSERT INTO S VALUES (6, 'f')");
    EXPECT_EQ(Exec("MERGE INTO T t USING S s ON (t.ID = s.ID) WHEN MATCHED THEN UPDATE SET t.V = s.V "
                   "WHERE s.ID > 2"),
              1u);
    EXPECT_EQ(Exec("MERGE INTO T t USING S s ON (t.ID = s.ID) WHEN NOT MATCHED THEN INSERT VALUES "
                   "(s.ID, NULL, s.V, NULL) WHERE s.ID < 5"),
              1u);
    EXPECT_EQ(Table(), (Lines{"1|1|one|<null>", "2|1|two|<null>", "3|2|c|<null>", "4|<null>|d|<null>"}));
}

TEST_F(MergeTest, AFailingInsertTakesTheUpdatesOfTheSameStatementBack) {
    Exec("INSERT INTO S VALUES (1, 'new')");
    Exec("INSERT INTO S VALUES (9, NULL)");
    EXPECT_EQ(ErrorOf("MERGE INTO T t USING S s ON (t.ID = s.ID) WHEN MATCHED THEN UPDATE SET t.V = s.V "
                      "WHEN NOT MATCHED THEN INSERT (ID, V) VALUES (s.ID, s.V)"),
              "ORA-01400: cannot insert NULL into (\"SCOTT\".\"T\".\"V\")");
    EXPECT_EQ(Table(), (Lines{"1|1|one|<null>", "2|1|two|<null>", "3|2|three|<null>"}));
}

TEST_F(MergeTest, OraclesRefusals) {
    Exec("INSERT INTO S VALUES (1, 'a')");
    Exec("INSERT INTO S VALUES (1, 'b')");
    const struct {
        const char* sql;
        const char* error;
    } cases[] = {
        {"MERGE INTO T t USING S s ON (t.ID = s.ID) WHEN MATCHED THEN UPDATE SET t.ID = s.ID",
         "ORA-38104: Columns referenced in the ON Clause cannot be updated: \"T\".\"ID\""},
        {"MERGE INTO T x USING S s ON (GRP = s.ID) WHEN MATCHED THEN UPDATE SET V = 'a', GRP = 1",
         "ORA-38104: Columns referenced in the ON Clause cannot be updated: \"X\".\"GRP\""},
        {"MERGE INTO T t USING S s ON (t.ID = s.ID) WHEN NOT MATCHED THEN INSERT (ID, V) VALUES (s.ID, t.V)",
         "ORA-38101: Invalid column in the INSERT VALUES Clause: \"T\".\"V\""},
        {"MERGE INTO T t USING S s ON (t.ID = s.ID) WHEN MATCHED THEN UPDATE SET t.V = s.V",
         "ORA-30926: unable to get a stable set of rows in the source tables"},
        {"MERGE INTO T t USING S s ON (t.ID = s.ID) WHEN MATCHED THEN UPDATE SET t.NOPE = 1",
         "ORA-00904: \"NOPE\": invalid identifier"},
        {"MERGE INTO T t USING S s ON (t.ID = s.ID) WHEN NOT MATCHED THEN INSERT (ID) VALUES (s.ID, 1)",
         "ORA-00913: too many values"},
        {"MERGE INTO T t USING S s (t.ID = s.ID) WHEN MATCHED THEN UPDATE SET t.V = 'a'",
         "ORA-00969: missing ON keyword"},
        {"MERGE INTO T t USING S s ON t.ID = s.ID WHEN MATCHED THEN UPDATE SET t.V = 'a'",
         "ORA-00906: missing left parenthesis"},
        {"MERGE INTO T t USING S s ON (t.ID = s.ID)", "ORA-00905: missing keyword"},
        {"MERGE T t USING S s ON (t.ID = s.ID) WHEN MATCHED THEN UPDATE SET t.V = 'a'",
         "ORA-00925: missing INTO keyword"},
        {"MERGE INTO T t USING S s ON (t.ID = s.ID) WHEN MATCHED THEN UPDATE SET t.V = 'a' DELETE WHERE 1 = 1",
         "ORA-03001: unimplemented feature"},
        {"MERGE INTO NOPE t USING S s ON (t.ID = s.ID) WHEN MATCHED THEN UPDATE SET t.V = 'a'",
         "ORA-00942: table or view does not exist"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.sql), c.error) << c.sql;
    EXPECT_EQ(Table(), (Lines{"1|1|one|<null>", "2|1|two|<null>", "3|2|three|<null>"}));
}

TEST_F(MergeTest, DictionaryViewsListTheKeysAndTheirColumns) {
    Exec("CREATE TABLE K (A NUMBER, B NUMBER, C NUMBER, CONSTRAINT K_PK PRIMARY KEY (C, A), UNIQUE (B))");
    EXPECT_EQ(Rows("SELECT CONSTRAINT_NAME, CONSTRAINT_TYPE, STATUS, OWNER FROM USER_CONSTRAINTS "
                   "WHERE TABLE_NAME = 'K' AND CONSTRAINT_TYPE = 'P'"),
              (Lines{"K_PK|P|ENABLED|SCOTT"}));
    EXPECT_EQ(Rows("SELECT COLUMN_NAME, POSITION FROM USER_CONS_COLUMNS WHERE CONSTRAINT_NAME = 'K_PK' "
                   "ORDER BY POSITION"),
              (Lines{"C|1", "A|2"}));
    EXPECT_EQ(Rows("SELECT k.COLUMN_NAME FROM ALL_CONSTRAINTS c, ALL_CONS_COLUMNS k WHERE c.OWNER = 'SCOTT' "
                   "AND c.TABLE_NAME = 'K' AND c.CONSTRAINT_TYPE = 'U' AND k.OWNER = c.OWNER "
                   "AND k.CONSTRAINT_NAME = c.CONSTRAINT_NAME"),
              (Lines{"B"}));
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM USER_CONSTRAINTS WHERE TABLE_NAME = 'T'"), (Lines{"1"}));
}

}  // namespace
}  // namespace ocilite::test
