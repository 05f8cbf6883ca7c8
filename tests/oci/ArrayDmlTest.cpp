// The array DML component: against the stub library, what it binds and executes and how it
// reports a client that refuses the call; end to end against the embedded engine, that each
// row's outcome is word for word what the cursor reports for the same row executed on its own.

#include <filesystem>
#include <gtest/gtest.h>

#include "oci/TOCI8ArrayDml.h"
#include "oci/TOCI8Ctrl.h"
#include "oci/TOCI8Cur.h"
#include "tests/oci/EmbeddedEngineTest.h"
#include "tests/oci/StubLibrary.h"

namespace tabrook {
namespace {

namespace fs = std::filesystem;
using test::ScopedOciLibrary;
using test::StubLibrary;

class ArrayDmlStub : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(oci.Connect()) << oci.ErrMsg();
        dml.SetParent(&oci);
        stub.Reset();
        ASSERT_TRUE(dml.Prepare("insert into T values(:A,:\"b\")", {":A", ":\"b\""})) << dml.ErrMsg();
    }
    void TearDown() override {
        dml.CleanUp();
        dml.SetParent(nullptr);
    }

    StubLibrary stub{"full"};
    ScopedOciLibrary use{stub.Path()};
    TOCI8Ctrl oci;
    TOCI8ArrayDml dml;
    std::vector<TOCI8ArrayDml::RowResult> results;
};

TEST_F(ArrayDmlStub, BindsEachColumnAsOneArrayAndExecutesAllRowsAtOnce) {
    EXPECT_EQ(stub.LastPrepared(), "insert into T values(:A,:\"b\")");
    // The values list may be longer than the rows in use (a reused batch).
    const std::vector<std::string> values = {"1", "abc", "22", "", "333", "x\0yz", "unused", "unused"};
    ASSERT_TRUE(dml.Execute(values, 3, results)) << dml.ErrMsg();
    EXPECT_EQ(stub.LastIters(), 3);
    // Elements as wide as the longest value of the column in use (a NUL ends a value).
    EXPECT_EQ(stub.Binds(), ":A:1:3:first\n:\"b\":1:3:first\n");
    ASSERT_EQ(results.size(), 3u);
    for (const auto& r : results) {
        EXPECT_EQ(r.Code, 0);
        EXPECT_EQ(r.Message, "");
    }
}

TEST_F(ArrayDmlStub, RefusedExecuteReportsTheClientsErrorAndNoRows) {
    stub.Force("OCIStmtExecute", -1);
    stub.SetError(3001, "ORA-03001: unimplemented feature\n");
    EXPECT_FALSE(dml.Execute({"1", "a"}, 1, results));
    EXPECT_EQ(dml.ErrCode(), 3001);
    EXPECT_EQ(dml.ErrMsg(), "ORA-03001: unimplemented feature\n");
    EXPECT_TRUE(results.empty());
}

TEST_F(ArrayDmlStub, UnreadableErrorCountFailsTheBatch) {
    stub.Force("OCIAttrGet#73", -1);
    stub.SetError(24300, "ORA-24300: bad value for mode\n");
    EXPECT_FALSE(dml.Execute({"1", "a"}, 1, results));
    EXPECT_EQ(dml.ErrMsg(), "ORA-24300: bad value for mode\n");
    EXPECT_TRUE(results.empty());
}

TEST_F(ArrayDmlStub, ValueWiderThanAnElementIsRefusedBeforeAnyCall) {
    const std::vector<std::string> values = {"1", std::string(TOCI8ArrayDml::kMaxValueBytes + 1, 'v')};
    EXPECT_FALSE(dml.Execute(values, 1, results));
    EXPECT_EQ(dml.ErrCode(), -1);
    EXPECT_EQ(stub.Count("OCIStmtExecute"), 0);
    EXPECT_TRUE(dml.Execute({"1", std::string(TOCI8ArrayDml::kMaxValueBytes, 'v')}, 1, results)) << dml.ErrMsg();
}

TEST_F(ArrayDmlStub, NotPreparedOrDetachedRefuses) {
    TOCI8ArrayDml other;
    EXPECT_FALSE(other.Execute({"1"}, 1, results));
    EXPECT_EQ(other.ErrMsg(), "TOCI8Ctrlが指定されていません");
    other.SetParent(&oci);
    EXPECT_FALSE(other.Execute({"1"}, 1, results));
    EXPECT_EQ(other.ErrMsg(), "SQLが解析されていません。");
    other.SetParent(nullptr);
}

class ArrayDmlEngine : public test::EmbeddedEngineTest {
protected:
    ArrayDmlEngine() : EmbeddedEngineTest("oci_array_") {}
    void SetUp() override {
        EmbeddedEngineTest::SetUp();
        if (NoSession()) return;
        dml_ = std::make_unique<TOCI8ArrayDml>();
        dml_->SetParent(oci_.get());
    }
    void TearDown() override {
        dml_.reset();
        EmbeddedEngineTest::TearDown();
    }
    std::vector<std::vector<std::string>> Rows(const std::string& sql) {
        std::vector<std::vector<std::string>> rows;
        cur_->SetSQL(sql);
        EXPECT_TRUE(cur_->Execute()) << sql << ": " << cur_->ErrMsg();
        while (cur_->Fetch()) rows.push_back(cur_->Values);
        return rows;
    }

    std::unique_ptr<TOCI8ArrayDml> dml_;
};

TEST_F(ArrayDmlEngine, EachRowEndsAsTheCursorEndsItAlone) {
    Exec(
        "create table T (ID number(5) not null constraint T_PK primary key, NAME varchar2(5), BORN date, "
        "QTY number(3,1))");
    ASSERT_TRUE(oci_->Commit());
    const std::vector<std::vector<std::string>> rows = {
        {"1", "ok", "2020-01-02", "1.5"},
        {"2", "toolong", "", ""},
        {"", "nokey", "", ""},
        {"3", "", "2020-02-30", ""},
        {"4", "x", "", "100"},
        {"5", "y", "", "abc"},
        {"1", "dup", "", ""},
        {"6", std::string("a\0b", 3), "", ""},
        {"7", "z", "2021-12-31", "-9.9"},
    };
    const std::string values = ":ID,:NAME,TO_DATE(:BORN,'YYYY-MM-DD'),:QTY";
    const std::vector<std::string> names = {":ID", ":NAME", ":BORN", ":QTY"};

    // The cursor, row by row; then the rows are rolled back.
    cur_->SetSQL("insert into T values(" + values + ")");
    ASSERT_TRUE(cur_->Parse()) << cur_->ErrMsg();
    cur_->Binds.clear();
    for (const auto& name : names) AddBind(cur_->Binds, name, "", true);
    std::vector<TOCI8ArrayDml::RowResult> single;
    for (const auto& row : rows) {
        for (std::size_t b = 0; b < row.size(); ++b) {
            cur_->Binds[b]->Text = row[b];
            cur_->Binds[b]->IsNull = row[b].empty();
        }
        if (cur_->ExecuteWithBind())
            single.push_back({});
        else
            single.push_back({cur_->ErrCode(), cur_->ErrMsg()});
    }

    const auto inserted = Rows("select * from T order by ID");
    ASSERT_TRUE(oci_->Rollback());
    ASSERT_TRUE(Rows("select * from T").empty());

    // The same rows in one array.
    ASSERT_TRUE(dml_->Prepare("insert into T values(" + values + ")", names)) << dml_->ErrMsg();
    std::vector<std::string> flat;
    for (const auto& row : rows) flat.insert(flat.end(), row.begin(), row.end());
    std::vector<TOCI8ArrayDml::RowResult> batch;
    ASSERT_TRUE(dml_->Execute(flat, rows.size(), batch)) << dml_->ErrMsg();

    ASSERT_EQ(batch.size(), single.size());
    int refused = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        EXPECT_EQ(batch[r].Code, single[r].Code);
        EXPECT_EQ(batch[r].Message, single[r].Message);
        if (batch[r].Code != 0) ++refused;
    }
    EXPECT_EQ(refused, 6);
    EXPECT_EQ(Rows("select * from T order by ID"), inserted);
    EXPECT_EQ(inserted.size(), 3u);
}

}  // namespace
}  // namespace tabrook
