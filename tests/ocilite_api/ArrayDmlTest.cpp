// Array DML through libocilite.so over the SQL engine: an INSERT bound to arrays and executed
// with iters > 1, with and without batch-error mode. Without it the first failing row ends the
// run (the rows before it stay, the row count says how many); with it every row is tried and
// each failed row's error is read back through OCIParamGet on the error handle, with its row
// offset. Every row is atomic on its own.

#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "ocilite/engine/Engine.h"
#include "tests/ocilite_api/LoggedOnTest.h"

using ocitest::LoggedOnTest;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// One row of the arrays: the two values, nullptr for NULL.
struct InRow {
    const char* id;
    const char* name;
};

// A failed row as the client reads it back.
struct RowError {
    ub4 offset;
    sb4 code;
    std::string text;
    bool operator==(const RowError&) const = default;
};

std::ostream& operator<<(std::ostream& out, const RowError& e) {
    return out << "{" << e.offset << ", " << e.code << ", " << e.text << "}";
}

class ArrayDml : public LoggedOnTest {
protected:
    ArrayDml() : LoggedOnTest("ocilite_array_dml_") {}
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(s.Run("CREATE TABLE T (ID NUMBER(3) NOT NULL PRIMARY KEY, NAME VARCHAR2(5))"), OCI_SUCCESS)
            << s.ErrorText();
    }
    void TearDown() override {
        if (stmt_ != nullptr) OCIHandleFree(stmt_, OCI_HTYPE_STMT);
        LoggedOnTest::TearDown();
    }

    // Binds the rows as arrays of SQLT_CHR with indicators and actual lengths, as an import
    // binds a batch, and executes them in one call.
    sword Execute(const std::vector<InRow>& rows, ub4 mode,
                  const std::string& sql = "INSERT INTO T (ID, NAME) VALUES (:ID, :NAME)") {
        if (stmt_ != nullptr) OCIHandleFree(stmt_, OCI_HTYPE_STMT);
        stmt_ = s.NewStatement();
        EXPECT_EQ(OCIStmtPrepare(stmt_, s.err, reinterpret_cast<const OraText*>(sql.c_str()),
                                 static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
                  OCI_SUCCESS);
        constexpr sb4 kWidth = 16;
        for (int column = 0; column < 2; ++column) {
            auto& values = values_[column];
            auto& inds = inds_[column];
            auto& lens = lens_[column];
            values.assign(rows.size() * kWidth, '\0');
            inds.assign(rows.size(), 0);
            lens.assign(rows.size(), 0);
            for (std::size_t r = 0; r < rows.size(); ++r) {
                const char* v = column == 0 ? rows[r].id : rows[r].name;
                if (v == nullptr) {
                    inds[r] = -1;
                    continue;
                }
                std::memcpy(&values[r * kWidth], v, std::strlen(v));
                lens[r] = static_cast<ub2>(std::strlen(v));
            }
            const char* name = column == 0 ? ":ID" : ":NAME";
            OCIBind* bind = nullptr;
            EXPECT_EQ(OCIBindByName(stmt_, &bind, s.err, reinterpret_cast<const OraText*>(name),
                                    static_cast<sb4>(std::strlen(name)), values.data(), kWidth, SQLT_CHR, inds.data(),
                                    lens.data(), nullptr, 0, nullptr, OCI_DEFAULT),
                      OCI_SUCCESS)
                << s.ErrorText();
        }
        return OCIStmtExecute(s.svc, stmt_, s.err, static_cast<ub4>(rows.size()), 0, nullptr, nullptr, mode);
    }

    ub4 StmtAttr(ub4 attr) {
        ub4 value = 12345;
        EXPECT_EQ(OCIAttrGet(stmt_, OCI_HTYPE_STMT, &value, nullptr, attr, s.err), OCI_SUCCESS) << s.ErrorText();
        return value;
    }

    // The row errors of the last execute, read as a client reads them: with the handles the
    // library hands out, or (ownHandle) as Oracle's guide does it, through one error handle
    // of the client's own that each OCIParamGet fills in place.
    std::vector<RowError> RowErrors(bool ownHandle = false) {
        std::vector<RowError> out;
        const ub4 count = StmtAttr(OCI_ATTR_NUM_DML_ERRORS);
        void* own = nullptr;
        if (ownHandle) {
            EXPECT_EQ(OCIHandleAlloc(s.env, &own, OCI_HTYPE_ERROR, 0, nullptr), OCI_SUCCESS);
        }
        for (ub4 i = 0; i < count; ++i) {
            void* row = own;
            EXPECT_EQ(OCIParamGet(s.err, OCI_HTYPE_ERROR, s.err, &row, i), OCI_SUCCESS) << s.ErrorText();
            if (ownHandle) {
                EXPECT_EQ(row, own);
            }
            if (row == nullptr) break;
            ub4 offset = 99;
            EXPECT_EQ(OCIAttrGet(row, OCI_HTYPE_ERROR, &offset, nullptr, OCI_ATTR_DML_ROW_OFFSET, s.err), OCI_SUCCESS);
            sb4 code = 0;
            char text[512] = {};
            EXPECT_EQ(
                OCIErrorGet(row, 1, nullptr, &code, reinterpret_cast<OraText*>(text), sizeof text, OCI_HTYPE_ERROR),
                OCI_SUCCESS);
            std::string message = text;
            if (!message.empty() && message.back() == '\n') message.pop_back();
            out.push_back({offset, code, message});
        }
        if (own != nullptr) {
            EXPECT_EQ(OCIHandleFree(own, OCI_HTYPE_ERROR), OCI_SUCCESS);
        }
        return out;
    }

    Rows Table() {
        OCIStmt* stmt = nullptr;
        Rows out;
        EXPECT_EQ(s.Run("select ID, NAME from T order by ID", &stmt), OCI_SUCCESS) << s.ErrorText();
        std::array<std::array<char, 64>, 2> bufs{};
        std::array<sb2, 2> inds{};
        for (ub4 i = 0; i < 2; ++i) {
            OCIDefine* d = nullptr;
            OCIDefineByPos(stmt, &d, s.err, i + 1, bufs[i].data(), 64, SQLT_STR, &inds[i], nullptr, nullptr,
                           OCI_DEFAULT);
        }
        while (OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT) == OCI_SUCCESS)
            out.push_back({bufs[0].data(), inds[1] == -1 ? "<null>" : std::string(bufs[1].data())});
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
        return out;
    }

    OCIStmt* stmt_ = nullptr;
    std::array<std::vector<char>, 2> values_;
    std::array<std::vector<sb2>, 2> inds_;
    std::array<std::vector<ub2>, 2> lens_;
};

// Rows 1, 3, 4 and 6 fail, each for its own reason; the others are good.
const std::vector<InRow> kMixed = {
    {"1", "a"},        // 0
    {"2", "toolong"},  // 1: too long for NAME
    {"3", nullptr},    // 2: NULL NAME is fine
    {nullptr, "b"},    // 3: NULL ID
    {"1", "dup"},      // 4: ID 1 again
    {"5", ""},         // 5: empty text with length 0 is NULL
    {"1000", "c"},     // 6: ID too large
    {"7", "d"},        // 7
};

TEST_F(ArrayDml, BatchErrorModeTriesEveryRowAndReportsEachFailedRowWithItsOffset) {
    ASSERT_EQ(Execute(kMixed, OCI_BATCH_ERRORS), OCI_SUCCESS_WITH_INFO);
    sb4 code = 0;
    EXPECT_EQ(s.ErrorText(&code), "ORA-24381: error(s) in array DML");
    EXPECT_EQ(code, 24381);
    EXPECT_EQ(StmtAttr(OCI_ATTR_ROW_COUNT), 4u);
    const std::vector<RowError> errors = RowErrors();
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0], (RowError{1, 12899,
                                   "ORA-12899: value too large for column \"SCOTT\".\"T\".\"NAME\" "
                                   "(actual: 7, maximum: 5)"}));
    EXPECT_EQ(errors[1], (RowError{3, 1400, "ORA-01400: cannot insert NULL into (\"SCOTT\".\"T\".\"ID\")"}));
    EXPECT_EQ(errors[2].offset, 4u);
    EXPECT_EQ(errors[2].code, 1);
    EXPECT_EQ(errors[2].text.substr(0, 30), "ORA-00001: unique constraint (");
    EXPECT_EQ(errors[3],
              (RowError{6, 1438, "ORA-01438: value larger than specified precision allowed for this column"}));
    // The same, read through an error handle of the client's own.
    EXPECT_EQ(RowErrors(true), errors);
    EXPECT_EQ(Table(), (Rows{{"1", "a"}, {"3", "<null>"}, {"5", "<null>"}, {"7", "d"}}));
}

TEST_F(ArrayDml, DefaultModeStopsAtTheFirstFailingRowAndKeepsTheRowsBefore) {
    ASSERT_EQ(Execute(kMixed, OCI_DEFAULT), OCI_ERROR);
    sb4 code = 0;
    EXPECT_EQ(s.ErrorText(&code),
              "ORA-12899: value too large for column \"SCOTT\".\"T\".\"NAME\" (actual: 7, maximum: 5)");
    EXPECT_EQ(code, 12899);
    EXPECT_EQ(StmtAttr(OCI_ATTR_ROW_COUNT), 1u);
    EXPECT_EQ(StmtAttr(OCI_ATTR_NUM_DML_ERRORS), 0u);
    EXPECT_EQ(Table(), (Rows{{"1", "a"}}));
    // The rows after the failing one were not tried: they go in on their own afterwards.
    ASSERT_EQ(Execute({{"3", "x"}, {"7", "y"}}, OCI_DEFAULT), OCI_SUCCESS) << s.ErrorText();
    EXPECT_EQ(Table(), (Rows{{"1", "a"}, {"3", "x"}, {"7", "y"}}));
}

TEST_F(ArrayDml, CleanBatchSucceedsAndForgetsTheRowErrorsOfTheLastOne) {
    ASSERT_EQ(Execute(kMixed, OCI_BATCH_ERRORS), OCI_SUCCESS_WITH_INFO);
    ASSERT_EQ(RowErrors().size(), 4u);
    ASSERT_EQ(Execute({{"10", "p"}, {"11", "q"}, {"12", nullptr}}, OCI_BATCH_ERRORS), OCI_SUCCESS) << s.ErrorText();
    EXPECT_EQ(StmtAttr(OCI_ATTR_ROW_COUNT), 3u);
    EXPECT_EQ(StmtAttr(OCI_ATTR_NUM_DML_ERRORS), 0u);
    void* row = nullptr;
    EXPECT_EQ(OCIParamGet(s.err, OCI_HTYPE_ERROR, s.err, &row, 0), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 24334);
    EXPECT_EQ(
        Table(),
        (Rows{{"1", "a"}, {"3", "<null>"}, {"5", "<null>"}, {"7", "d"}, {"10", "p"}, {"11", "q"}, {"12", "<null>"}}));
}

TEST_F(ArrayDml, RowsOfABatchBelongToTheTransactionAndRollBackWithIt) {
    ASSERT_EQ(s.Run("INSERT INTO T VALUES (100, 'kept')"), OCI_SUCCESS) << s.ErrorText();
    ASSERT_EQ(OCITransCommit(s.svc, s.err, OCI_DEFAULT), OCI_SUCCESS);
    ASSERT_EQ(Execute(kMixed, OCI_BATCH_ERRORS), OCI_SUCCESS_WITH_INFO);
    ASSERT_EQ(OCITransRollback(s.svc, s.err, OCI_DEFAULT), OCI_SUCCESS);
    EXPECT_EQ(Table(), (Rows{{"100", "kept"}}));
    // A failed row in the middle of a batch takes nothing with it: a unique-key failure
    // against a row of the same batch leaves the first one in place.
    ASSERT_EQ(Execute({{"1", "x"}, {"1", "y"}, {"2", "z"}}, OCI_BATCH_ERRORS), OCI_SUCCESS_WITH_INFO);
    ASSERT_EQ(RowErrors().size(), 1u);
    EXPECT_EQ(Table(), (Rows{{"1", "x"}, {"2", "z"}, {"100", "kept"}}));
}

TEST_F(ArrayDml, RowErrorHandlesStayValidWhileTheyAreRead) {
    ASSERT_EQ(Execute(kMixed, OCI_BATCH_ERRORS), OCI_SUCCESS_WITH_INFO);
    // A client may take every row's handle first and read them afterwards.
    std::vector<void*> handles(4);
    for (ub4 i = 0; i < 4; ++i) ASSERT_EQ(OCIParamGet(s.err, OCI_HTYPE_ERROR, s.err, &handles[i], i), OCI_SUCCESS);
    std::vector<ub4> offsets;
    for (void* h : handles) {
        ub4 offset = 99;
        ASSERT_EQ(OCIAttrGet(h, OCI_HTYPE_ERROR, &offset, nullptr, OCI_ATTR_DML_ROW_OFFSET, s.err), OCI_SUCCESS);
        offsets.push_back(offset);
    }
    EXPECT_EQ(offsets, (std::vector<ub4>{1, 3, 4, 6}));
    void* past = nullptr;
    EXPECT_EQ(OCIParamGet(s.err, OCI_HTYPE_ERROR, s.err, &past, 4), OCI_ERROR);
}

}  // namespace

// A bind buffer of 100 KB is read afresh at each execute, although the engine lets go of its
// copy of such a value once the DML is done: a refused giant value, then a short one in the same
// buffer, then NULL.
TEST_F(ArrayDml, LargeBindBuffersAreReadAgainAtEveryExecute) {
    OCIStmt* stmt = s.NewStatement();
    const std::string sql = "INSERT INTO T (ID, NAME) VALUES (:ID, :NAME)";
    ASSERT_EQ(OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.c_str()), static_cast<ub4>(sql.size()),
                             OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    std::vector<char> name(100001, 'n');
    name.back() = '\0';
    char id[8] = "1";
    sb2 nameInd = 0;
    OCIBind* b1 = nullptr;
    OCIBind* b2 = nullptr;
    ASSERT_EQ(OCIBindByName(stmt, &b1, s.err, reinterpret_cast<const OraText*>(":ID"), 3, id, sizeof id, SQLT_STR,
                            nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(
        OCIBindByName(stmt, &b2, s.err, reinterpret_cast<const OraText*>(":NAME"), 5, name.data(),
                      static_cast<sb4>(name.size()), SQLT_STR, &nameInd, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
        OCI_SUCCESS);
    ASSERT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
    EXPECT_NE(s.ErrorText().find("ORA-12899"), std::string::npos) << s.ErrorText();
    EXPECT_NE(s.ErrorText().find("actual: 100000"), std::string::npos) << s.ErrorText();
    std::strcpy(name.data(), "short");
    ASSERT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS) << s.ErrorText();
    std::strcpy(id, "2");
    nameInd = -1;
    ASSERT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS) << s.ErrorText();
    OCIHandleFree(stmt, OCI_HTYPE_STMT);
    EXPECT_EQ(Table(), (Rows{{"1", "short"}, {"2", "<null>"}}));
}

// A MERGE of a one-row source over DUAL, run over arrays in batch-error mode with each row's
// count kept (OCI_RETURN_ROW_COUNT_ARRAY): 1 for a row that found its key, 0 for one that did
// not and for a refused one.
TEST_F(ArrayDml, MergeOverArraysKeepsEachRowsCount) {
    ASSERT_EQ(Execute({{"1", "a"}, {"2", "b"}}, OCI_DEFAULT), OCI_SUCCESS) << s.ErrorText();
    const std::string merge =
        "MERGE INTO T t USING (SELECT :ID ID, :NAME NAME FROM dual) s ON (t.ID = s.ID) "
        "WHEN MATCHED THEN UPDATE SET t.NAME = s.NAME";
    ASSERT_EQ(Execute({{"2", "x"}, {"3", "y"}, {"1", "toolong"}, {"1", "z"}},
                      OCI_BATCH_ERRORS | OCI_RETURN_ROW_COUNT_ARRAY, merge),
              OCI_SUCCESS_WITH_INFO);
    ub2 type = 0;
    ASSERT_EQ(OCIAttrGet(stmt_, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, s.err), OCI_SUCCESS);
    EXPECT_EQ(type, OCI_STMT_MERGE);
    const ub8* counts = nullptr;
    ub4 n = 0;
    ASSERT_EQ(OCIAttrGet(stmt_, OCI_HTYPE_STMT, &counts, &n, OCI_ATTR_DML_ROW_COUNT_ARRAY, s.err), OCI_SUCCESS);
    ASSERT_EQ(n, 4u);
    EXPECT_EQ(std::vector<ub8>(counts, counts + n), (std::vector<ub8>{1, 0, 0, 1}));
    EXPECT_EQ(StmtAttr(OCI_ATTR_ROW_COUNT), 2u);
    const std::vector<RowError> errors = RowErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].offset, 2u);
    EXPECT_EQ(errors[0].code, 12899);
    EXPECT_EQ(Table(), (Rows{{"1", "z"}, {"2", "x"}}));
    // Without the mode no counts are kept.
    ASSERT_EQ(Execute({{"2", "w"}}, OCI_BATCH_ERRORS, merge), OCI_SUCCESS);
    ASSERT_EQ(OCIAttrGet(stmt_, OCI_HTYPE_STMT, &counts, &n, OCI_ATTR_DML_ROW_COUNT_ARRAY, s.err), OCI_SUCCESS);
    EXPECT_EQ(n, 0u);
}
