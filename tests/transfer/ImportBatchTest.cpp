// The rows an import keeps for one array execute: values taken from the bound fields only, in
// row order, and the bytes the arrays take, which decide when a batch of wide values is sent.
#include <gtest/gtest.h>

#include "transfer/ImportBatch.h"

namespace tabrook {
namespace {

TEST(ImportBatchTest, KeepsTheBoundFieldsOfEachRowAndMeasuresTheArraysByTheWidestValues) {
    ImportBatch batch;
    batch.Reset(2);
    const std::vector<int> bound{2, 0};  // the third field feeds the first bind, the first the second
    std::vector<std::string> first{"a", "skipped", "xyz"};
    std::vector<std::string> second{"bbbbb", "skipped", ""};
    // An empty batch: one row whose elements are as wide as its values (an empty value still
    // takes a byte).
    EXPECT_EQ(batch.ArrayBytesWith(first, bound), 3u + 1u);
    std::string record = "a,skipped,xyz";
    batch.Add(record, 7, first, bound);
    // The texts were taken over: the unbound field stays, the record and bound ones are left
    // to be overwritten.
    EXPECT_EQ(first[1], "skipped");
    // Two rows, each as wide as the widest value of each bind: 3 + 5.
    EXPECT_EQ(batch.ArrayBytesWith(second, bound), 2u * (3u + 5u));
    record = "bbbbb,skipped,";
    batch.Add(record, 9, second, bound);
    ASSERT_EQ(batch.Rows(), 2u);
    EXPECT_EQ(batch.Value(0, 0), "xyz");
    EXPECT_EQ(batch.Value(0, 1), "a");
    EXPECT_EQ(batch.Value(1, 0), "");
    EXPECT_EQ(batch.Value(1, 1), "bbbbb");
    EXPECT_EQ(batch.Record(1), "bbbbb,skipped,");
    EXPECT_EQ(batch.RecordNumber(0), 7);
    // A wide value widens every row's element.
    const std::vector<std::string> wide{"", "", std::string(1000, 'w')};
    EXPECT_EQ(batch.ArrayBytesWith(wide, bound), 3u * (1000u + 5u));
    // Cleared, the widths start again.
    batch.Clear();
    EXPECT_TRUE(batch.Empty());
    first = {"a", "", "xyz"};
    EXPECT_EQ(batch.ArrayBytesWith(first, bound), 3u + 1u);
}

}  // namespace
}  // namespace tabrook
