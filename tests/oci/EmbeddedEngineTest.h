#pragma once
// A test fixture with a session of the embedded engine (libocilite.so of this build) through
// the client layer: a data folder of the test's own (XDG_DATA_HOME, removed afterwards), the
// engine loaded as the OCI library, a connection as scott/tiger and a cursor on it. Tests are
// skipped when the engine is not built.

#include <unistd.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

#include "oci/TOCI8Ctrl.h"
#include "oci/TOCI8Cur.h"
#include "tests/oci/StubLibrary.h"
#include "tests/support/ScopedEnv.h"

namespace tabrook::test {

class EmbeddedEngineTest : public ::testing::Test {
protected:
    // folderPrefix starts the name of the test's data folder.
    explicit EmbeddedEngineTest(std::string folderPrefix) : folderPrefix_(std::move(folderPrefix)) {}

    void SetUp() override {
        const std::string engine = TABROOK_BINARY_DIR "/libocilite.so";
        if (!std::filesystem::exists(engine)) GTEST_SKIP() << "libocilite.so is not built";
        home_ =
            std::filesystem::temp_directory_path() / (folderPrefix_ + std::to_string(getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(home_);
        std::filesystem::create_directories(home_);
        dataHome_.emplace("XDG_DATA_HOME", home_.string());
        use_ = std::make_unique<ScopedOciLibrary>(engine);
        oci_ = std::make_unique<TOCI8Ctrl>();
        oci_->User = "scott";
        oci_->Password = "tiger";
        ASSERT_TRUE(oci_->Connect()) << oci_->ErrMsg();
        cur_ = std::make_unique<TOCI8Cur>();
        cur_->SetParent(oci_.get());
    }
    void TearDown() override {
        if (cur_) cur_->CleanUp();
        cur_.reset();
        if (oci_) {
            oci_->DisConnect();
            oci_.reset();
        }
        use_.reset();
        if (!home_.empty()) std::filesystem::remove_all(home_);
    }
    // True when SetUp did not give a session (the engine is not built, or the logon failed).
    bool NoSession() const { return IsSkipped() || HasFatalFailure(); }

    void Exec(const std::string& sql) {
        cur_->SetSQL(sql);
        ASSERT_TRUE(cur_->Execute()) << sql << ": " << cur_->ErrMsg();
    }

    std::filesystem::path home_;
    std::optional<tabrook::testing::ScopedEnv> dataHome_;
    std::unique_ptr<ScopedOciLibrary> use_;
    std::unique_ptr<TOCI8Ctrl> oci_;
    std::unique_ptr<TOCI8Cur> cur_;

private:
    std::string folderPrefix_;
};

}  // namespace tabrook::test
