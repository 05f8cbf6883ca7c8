#pragma once
// Shared ground of the engine and preview tests: a host that records every box and answers
// the questions from a script, a job state that records the counts the engines publish, and a
// fixture with a fresh embedded database in a temporary folder whose Plan builds a transfer
// plan from the previewed grid as the window does.

#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/DataPreview.h"
#include "app/GridModel.h"
#include "tests/support/ScopedEnv.h"
#include "transfer/Host.h"
#include "transfer/RunContext.h"
#include "transfer/Tdm.h"
#include "transfer/TransferJobState.h"
#include "transfer/TransferPlan.h"
#include "transfer/TransferSettings.h"

namespace tabrook::testing {

class RecordingHost : public Host {
public:
    struct Box {
        std::string text;
        MsgIcon icon;
        MsgButtons buttons;
    };

    int MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override {
        boxes.push_back({text, icon, buttons});
        if (buttons != MsgButtons::YesNo) return kMsgOk;
        if (answers.empty()) return defaultAnswer;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool OpenWithShell(const std::string& path) override {
        opened.push_back(path);
        return shellOpens;
    }
    void ShowInTextViewer(const std::string& path) override { viewed.push_back(path); }
    void SetBusyPointer(BusyPointer) override { ++busyDepth; }
    void RestorePointer() override { --busyDepth; }
    void SetStatusMessage(const std::string& text) override { status = text; }

    // The texts of the boxes shown, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Box& box : boxes) texts.push_back(box.text);
        return texts;
    }

    std::vector<Box> boxes;
    std::deque<int> answers;  // answers to YesNo boxes, in order; then defaultAnswer
    int defaultAnswer = kMsgYes;
    bool shellOpens = false;
    std::vector<std::string> opened;
    std::vector<std::string> viewed;
    std::string status;
    int busyDepth = 0;
};

class RecordingJobState : public TransferJobState {
public:
    void PublishCounts() override {
        shownCounts.emplace_back(SuccessCount, ErrorCount);
        if (onShowCounts) onShowCounts();
    }
    bool StopPending() const override { return stopHook ? stopHook() : false; }

    std::vector<std::pair<int, int>> shownCounts;  // (success, error) per PublishCounts
    std::function<void()> onShowCounts;
    std::function<bool()> stopHook;  // called once per data line or row
};

using Rows = std::vector<std::vector<std::string>>;

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A fresh database per test, logged on through the data module, with settings and a run
// context of its own at their start values.
class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name) c = c == '/' ? '_' : c;
        dir_ = std::filesystem::temp_directory_path() / ("tabrook-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        library_.emplace("TABROOK_OCI_LIBRARY", TABROOK_BINARY_DIR "/libocilite.so");
        dataHome_.emplace("XDG_DATA_HOME", (dir_ / "xdg").string());
        // The console creates the database file when it is built; otherwise the first logon with
        // an empty connect string creates the user's default database under XDG_DATA_HOME.
        const std::filesystem::path console = TABROOK_BINARY_DIR "/ocilite-sql";
        std::string connect;
        if (std::filesystem::exists(console)) {
            connect = (dir_ / "test.db").string();
            const std::string command = "'" + console.string() + "' --create -f /dev/null scott/tiger@'" + connect +
                                        "' > '" + (dir_ / "create.log").string() + "' 2>&1";
            ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(dir_ / "create.log");
        }
        dm_.OCI.User = "scott";
        dm_.OCI.Password = "tiger";
        dm_.OCI.ConnStr = connect;
        ASSERT_TRUE(dm_.OCI.Connect()) << dm_.OCI.ErrMsg();
        query_.SetParent(&dm_.OCI);
    }

    void TearDown() override {
        query_.CleanUp();
        try {
            query_.SetParent(nullptr);
        } catch (const std::exception&) {
            // Still open after a failed close: the session's own clean-up takes care of it.
        }
        dm_.OCI.DisConnect();
        std::filesystem::remove_all(dir_);
    }

    // Runs statements that must succeed, and commits them.
    void Exec(const std::vector<std::string>& statements) {
        for (const std::string& sql : statements) {
            query_.SetSQL(sql);
            ASSERT_TRUE(query_.Execute(0)) << sql << ": " << query_.ErrMsg();
        }
        ASSERT_TRUE(dm_.OCI.Commit()) << dm_.OCI.ErrMsg();
    }

    // Every row of a query, values as the cursor renders them.
    Rows Query(const std::string& sql) {
        Rows rows;
        query_.SetSQL(sql);
        EXPECT_TRUE(query_.Execute(0)) << sql << ": " << query_.ErrMsg();
        while (query_.Fetch()) rows.push_back(query_.Values);
        return rows;
    }

    int CountRows(const std::string& table) {
        const Rows rows = Query("select count(*) from " + table);
        return rows.empty() ? -1 : std::atoi(rows[0][0].c_str());
    }

    std::filesystem::path Path(const std::string& name) const { return dir_ / name; }

    // The previews the main window runs before a transfer: the table, then (Import) the file.
    void Preview(const std::string& table, const std::filesystem::path& csv) {
        ASSERT_TRUE(PreviewTable(target_, table)) << host_.status;
        ASSERT_TRUE(PreviewCsv(target_, csv.string()));
    }

    std::filesystem::path dir_;
    std::optional<ScopedEnv> library_;
    std::optional<ScopedEnv> dataHome_;
    TransferSettings settings_;
    RunContext context_;
    Tdm dm_;
    TOCI8Cur query_;
    RecordingHost host_;
    // The plan of a transfer of table and csv, from the grid and the facts the previews left.
    TransferPlan Plan(const std::string& table, const std::string& csv) {
        TargetFacts facts = context_;
        facts.TableName = table;
        facts.CsvFile = csv;
        return BuildTransferPlan(ColumnMapping(grid_), settings_, facts);
    }

    GridModel grid_;
    RecordingJobState state_;
    PreviewTarget target_{grid_, dm_, host_, settings_, context_};
};

}  // namespace tabrook::testing
