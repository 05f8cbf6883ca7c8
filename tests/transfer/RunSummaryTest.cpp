// The summary of a transfer: an import's lines read against its rows inserted, updated,
// refused and skipped; an export's rows fetched against its rows written; the log fields
// appended after the status text; and the load mode names of the LOADMODE key.
#include <gtest/gtest.h>

#include "transfer/LoadMode.h"
#include "transfer/RunSummary.h"
#include "transfer/TransferJobState.h"

namespace tabrook {
namespace {

struct Counts : TransferJobState {
    Counts(int records, int success, int updated, int errors, int skipped) {
        RecordCount = records;
        SuccessCount = success;
        UpdatedCount = updated;
        ErrorCount = errors;
        SkippedCount = skipped;
    }
    bool StopPending() const override { return false; }
};

TEST(RunSummary, ImportsAddUpOrSayWhereNot) {
    struct Case {
        Counts counts;
        bool addsUp;
        const char* text;
        const char* log;
    } cases[] = {
        {{10, 8, 3, 1, 1}, true, "読込 10 = 挿入 5 + 更新 3 + エラー 1 + スキップ 1", "\tInserted=5\tUpdated=3\tSkipped=1"},
        {{0, 0, 0, 0, 0}, true, "読込 0 = 挿入 0 + 更新 0 + エラー 0 + スキップ 0", "\tInserted=0\tUpdated=0\tSkipped=0"},
        {{10, 8, 0, 1, 0}, false, "読込 10 ≠ 挿入 8 + 更新 0 + エラー 1 + スキップ 0", "\tInserted=8\tUpdated=0\tSkipped=0"},
        {{3, 2, 3, 0, 1}, false, "読込 3 ≠ 挿入 -1 + 更新 3 + エラー 0 + スキップ 1", "\tInserted=-1\tUpdated=3\tSkipped=1"},
    };
    for (const Case& c : cases) {
        const RunSummary s = SummarizeTransfer(false, c.counts);
        EXPECT_EQ(s.AddsUp, c.addsUp) << c.text;
        EXPECT_EQ(s.Text, c.text);
        EXPECT_EQ(s.LogFields, c.log);
    }
    EXPECT_EQ(MismatchMessage(SummarizeTransfer(false, Counts{2, 1, 0, 0, 0})),
              "件数が合いません。(読込 2 ≠ 挿入 1 + 更新 0 + エラー 0 + スキップ 0)");
}

TEST(RunSummary, ExportsWriteEveryRowFetched) {
    EXPECT_TRUE(SummarizeTransfer(true, Counts{7, 7, 0, 0, 0}).AddsUp);
    EXPECT_EQ(SummarizeTransfer(true, Counts{7, 7, 0, 0, 0}).Text, "取得 7 = 出力 7");
    EXPECT_EQ(SummarizeTransfer(true, Counts{7, 7, 0, 0, 0}).LogFields, "");
    EXPECT_FALSE(SummarizeTransfer(true, Counts{7, 6, 0, 0, 0}).AddsUp);
}

TEST(LoadModeNames, ParseInAnyCaseAndSettleUnknownValues) {
    EXPECT_EQ(ParseLoadMode("upsert"), kLoadUpsert);
    EXPECT_EQ(ParseLoadMode("Update"), kLoadUpdate);
    EXPECT_EQ(ParseLoadMode("INSERT"), kLoadInsert);
    EXPECT_EQ(ParseLoadMode("MERGE"), std::nullopt);
    EXPECT_STREQ(LoadModeName(kLoadUpsert), "UPSERT");
    EXPECT_EQ(SettledLoadMode(-3), kLoadInsert);
    EXPECT_EQ(SettledLoadMode(kLoadUpdate), kLoadUpdate);
}

}  // namespace
}  // namespace tabrook
