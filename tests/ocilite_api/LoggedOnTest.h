#pragma once
// A test fixture with an embedded database of the test's own (a new file in a private folder,
// removed afterwards) and the session s logged on to it as scott/tiger through the C API.

#include <unistd.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "ocilite/engine/Engine.h"
#include "tests/ocilite_api/OciSession.h"

namespace ocitest {

class LoggedOnTest : public ::testing::Test {
protected:
    // folderPrefix starts the name of the test's folder.
    explicit LoggedOnTest(std::string folderPrefix) : folderPrefix_(std::move(folderPrefix)) {}

    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() / (folderPrefix_ + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        db_ = (dir_ / "test.db").string();
        ocilite::Session::Logon("scott", "tiger", db_, true);  // creates the file and the account
        ASSERT_EQ(s.Logon("scott", "tiger", db_), OCI_SUCCESS) << s.ErrorText();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
    std::string db_;
    OciSession s;

private:
    std::string folderPrefix_;
};

}  // namespace ocitest
