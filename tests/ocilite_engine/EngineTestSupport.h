#pragma once
// Shared set-up for the engine tests: a fresh database file in a temporary folder, a session
// on it, and helpers that run statements and collect rows as text.

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "ocilite/engine/Engine.h"
#include "ocilite/types/OraError.h"

namespace ocilite::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Text of a value for assertions: NUMBER as TO_CHAR, datetimes as ISO text, NULL as "<null>".
std::string Show(const Value& v);

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;

    std::unique_ptr<Session> Logon(const std::string& user = "scott", const std::string& pw = "tiger",
                                   bool create = true);
    // Runs a statement without binds; returns its row count.
    uint64_t Exec(const std::string& sql, Session* s = nullptr);
    // Runs a query and returns its rows, values joined by '|'.
    std::vector<std::string> Rows(const std::string& sql, Session* s = nullptr);
    // The Oracle error a statement raises ("" when it succeeds).
    std::string ErrorOf(const std::string& sql, Session* s = nullptr);

    TempDir dir_;
    std::string db_;
    std::unique_ptr<Session> session_;
};

}  // namespace ocilite::test
