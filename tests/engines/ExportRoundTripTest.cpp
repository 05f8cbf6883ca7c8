// The export through the client layer and the embedded engine, seen as a remote server would
// see it: it costs one round trip per prefetched block of rows, not one a row, and the file it
// writes is the same whether or not each round trip is made to wait (OCILITE_ROUND_TRIP_US).

#include <dlfcn.h>

#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "tests/engines/EngineTestSupport.h"
#include "transfer/ExportEngine.h"

namespace tabrook::testing {
namespace {

constexpr int kRows = 8192;

// The round trips libocilite.so has counted, read from the copy the client layer loaded.
unsigned long long RoundTrips() {
    void* lib = dlopen(TABROOK_BINARY_DIR "/libocilite.so", RTLD_NOW | RTLD_NOLOAD);
    if (lib == nullptr) {
        ADD_FAILURE() << "libocilite.so is not loaded";
        return 0;
    }
    auto count = reinterpret_cast<unsigned long long (*)()>(dlsym(lib, "OCILiteRoundTrips"));
    dlclose(lib);
    if (count == nullptr) {
        ADD_FAILURE() << "OCILiteRoundTrips is not exported";
        return 0;
    }
    return count();
}

// The parameter: the value of OCILITE_ROUND_TRIP_US while the session starts (nullopt: unset).
class ExportRoundTrips : public DatabaseTest, public ::testing::WithParamInterface<std::optional<std::string>> {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("OCILITE_ROUND_TRIP_US")) saved_ = old;
        if (GetParam())
            ::setenv("OCILITE_ROUND_TRIP_US", GetParam()->c_str(), 1);
        else
            ::unsetenv("OCILITE_ROUND_TRIP_US");
        DatabaseTest::SetUp();  // the client's environment, and so the delay, starts here
        settings_.Mode = 1;
    }
    void TearDown() override {
        DatabaseTest::TearDown();
        if (saved_)
            ::setenv("OCILITE_ROUND_TRIP_US", saved_->c_str(), 1);
        else
            ::unsetenv("OCILITE_ROUND_TRIP_US");
    }

    std::optional<std::string> saved_;
};

TEST_P(ExportRoundTrips, OneRoundTripPerPrefetchedBlockAndTheSameFile) {
    // 8,192 rows by doubling: rows 1..k copied as k+1..2k
    std::vector<std::string> statements = {"create table T (ID number(10), NAME varchar2(20))",
                                           "insert into T values (1, 'row1')"};
    for (int k = 1; k < kRows; k *= 2) {
        const std::string add = std::to_string(k);
        statements.push_back("insert into T select ID + " + add + ", 'row' || TO_CHAR(ID + " + add + ") from T");
    }
    Exec(statements);
    ASSERT_EQ(CountRows("T"), kRows);

    const std::filesystem::path out = Path("out.csv");
    ASSERT_TRUE(PreviewTable(target_, "T")) << host_.status;
    PreviewCsv(target_, out.string());
    std::string message;
    const unsigned long long before = RoundTrips();
    EXPECT_EQ(Export(state_, dm_, host_, Plan("T", context_.CsvFile), message), kExportDone) << message;
    const unsigned long long trips = RoundTrips() - before;

    std::string expected;
    for (int i = 1; i <= kRows; ++i) expected += std::to_string(i) + ",\"row" + std::to_string(i) + "\"\r\n";
    EXPECT_EQ(ReadBytes(out), expected);
    EXPECT_EQ(state_.RecordCount, kRows);
    // The execute brings rows 1-5000; the trip at row 5001 brings the last 3,192 and the end.
    // One row a trip would be 8,193.
    EXPECT_EQ(trips, 2u);
}

INSTANTIATE_TEST_SUITE_P(Delay, ExportRoundTrips,
                         ::testing::Values(std::optional<std::string>(), std::optional<std::string>("1")),
                         [](const ::testing::TestParamInfo<std::optional<std::string>>& info) {
                             return info.param ? "RoundTripUs" + *info.param : std::string("NoDelay");
                         });

}  // namespace
}  // namespace tabrook::testing
