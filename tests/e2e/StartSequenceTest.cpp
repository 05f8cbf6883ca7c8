// The start sequence in process, with a recording stand-in for the windows and the real
// session on the embedded engine: what the windows are told at each step, the formats from the
// command line, AUTOCLOSE without AUTOSTART, the close refused during a run (which cancels the
// run instead), the unattended close after the run, and the exit status.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

#include "app/HeadlessHost.h"
#include "app/StartSequence.h"
#include "tests/e2e/E2eHarness.h"
#include "transfer/RunContext.h"
#include "transfer/TOracle.h"
#include "transfer/Tdm.h"
#include "transfer/TransferSettings.h"

namespace tabrook::e2e {
namespace {

using namespace std::chrono_literals;

// QSettings fixes its user folder on first use: the whole program gets one private folder.
class PrivateConfig : public ::testing::Environment {
public:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("tabrook-start-config-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};
const auto* const kConfig = ::testing::AddGlobalTestEnvironment(new PrivateConfig);

// Records what the windows would be told; posted calls wait in a queue until Pump.
class RecordingUi : public StartUi {
public:
    void PostToUi(std::function<void()> call) override {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(call));
    }
    void Quit(int status) override { quitStatus = status; }
    void ShowConnectionState(bool connected, const std::string& caption) override {
        this->connected = connected;
        this->caption = caption;
    }
    void ShowSettings() override { ++settingsShown; }
    void SetTimestampFieldEnabled(bool enabled) override { timestampEnabled = enabled; }
    void SetRunControlsEnabled(bool enabled) override { controls.push_back(enabled); }

    // Runs the posted calls, as the message loop would, until none is left.
    int Pump() {
        int ran = 0;
        while (true) {
            std::function<void()> call;
            {
                std::lock_guard lock(mutex_);
                if (queue_.empty()) return ran;
                call = std::move(queue_.front());
                queue_.pop_front();
            }
            call();
            ++ran;
        }
    }

    int quitStatus = -100;
    bool connected = false;
    std::string caption;
    int settingsShown = 0;
    int timestampEnabled = -1;
    std::vector<bool> controls;

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
};

// Holds the import once it has read ten rows until released (so the run is in the middle of
// its rows), and answers questions with Yes. The import shows its counts at its start and
// before records 1, 11, 21 and so on: the third showing comes after ten rows. (The counts
// themselves hold the rows sent so far, which in arrays can be none yet.)
class HoldingHost : public HeadlessHost {
public:
    using HeadlessHost::HeadlessHost;
    // Watches the counts the transfer thread publishes.
    void Watch(TOracle& thread) {
        thread.CountsPublished = [this] { CountsShown(); };
    }
    void CountsShown() {
        if (++shown < 3) return;
        std::unique_lock lock(mutex);
        held = true;
        changed.notify_all();
        changed.wait(lock, [this] { return released; });
    }
    int MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override {
        std::lock_guard lock(mutex);
        boxes.push_back(text);
        return buttons == MsgButtons::YesNo ? kMsgYes : kMsgOk;
    }
    void WaitHeld() {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 20s, [this] { return held; }));
    }
    void Release() {
        std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    }
    std::mutex mutex;
    std::condition_variable changed;
    int shown = 0;  // counts shown so far
    bool held = false;
    bool released = true;
    std::vector<std::string> boxes;
};

class StartSequenceRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Sandbox::BinariesPresent()) GTEST_SKIP() << "build ocilite-sql and libocilite.so first";
        ::setenv("TABROOK_OCI_LIBRARY", Sandbox::Binary("libocilite.so").c_str(), 1);
        database = (box.Work() / "start.db").string();
        ASSERT_EQ(box.Sql(database, "create table T1 (ID NUMBER(6), NAME VARCHAR2(20));\n").status, 0);
        std::string csv;
        for (int i = 1; i <= 30; ++i) csv += std::to_string(i) + ",n" + std::to_string(i) + "\r\n";
        WriteFile(box.Work() / "t1.csv", csv);
        WriteFile(box.Work() / "jobs.lst", "0\r\nT1\t" + (box.Work() / "t1.csv").string() + "\r\n");
    }

    std::vector<std::string> Args(std::vector<std::string> more) {
        std::vector<std::string> args = {"USER=scott/tiger@" + database,
                                         "LISTFILE=" + (box.Work() / "jobs.lst").string(),
                                         "LOG=" + (box.Work() / "run.log").string()};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    std::vector<std::string> LogCodes() { return Codes(ParseLog(ReadFile(box.Work() / "run.log"))); }

    Sandbox box;
    std::string database;
    TransferSettings settings;
    RunContext context;
    Tdm dm;
    RecordingUi ui;
};

TEST_F(StartSequenceRun, InteractiveStartTellsTheWindowsAndKeepsAutoCloseOffWithoutAutoStart) {
    HoldingHost host(context, nullptr);
    StartSequence sequence(dm, host, ui, settings, context);
    ASSERT_TRUE(sequence.Start(Args({"AUTOCLOSE=TRUE", "DATEFMT=DD.MM.RRRR", "TIMESTAMPFMT=not a format"})));
    EXPECT_FALSE(context.AutoClose);
    EXPECT_TRUE(ui.connected);
    EXPECT_EQ(ui.caption, "Tabrook+  [scott @ " + database + "]");
    EXPECT_EQ(ui.timestampEnabled, dm.OCI.OCIVersion.rfind('9', 0) == 0 ? 1 : 0);
    EXPECT_EQ(ui.settingsShown, 1);
    EXPECT_EQ(settings.DateFmt, "DD.MM.RRRR");                             // accepted
    EXPECT_EQ(settings.TimestampFmt, "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM");  // refused: default kept
    EXPECT_EQ(settings.Mode, 0);
    EXPECT_EQ(context.JobList.Count(), 1u);
    EXPECT_EQ(ui.Pump(), 0);  // no auto-start without AUTOSTART
    EXPECT_TRUE(sequence.FormCloseQuery());
    EXPECT_EQ(sequence.ExitStatus(), 0);
    EXPECT_EQ(LogCodes(), (std::vector<std::string>{"S", "Q"}));
    EXPECT_FALSE(dm.OCI.Connected);
}

TEST_F(StartSequenceRun, ClosingDuringARunIsRefusedAndCancelsTheRunInstead) {
    HoldingHost host(context, nullptr);
    host.released = false;
    StartSequence sequence(dm, host, ui, settings, context);
    host.Watch(sequence.Thread());
    ASSERT_TRUE(sequence.Start(Args({"AUTOSTART=TRUE"})));
    EXPECT_EQ(ui.Pump(), 1);  // the posted auto-start
    EXPECT_EQ(ui.controls, (std::vector<bool>{false}));
    host.WaitHeld();
    EXPECT_TRUE(context.Running);
    EXPECT_FALSE(sequence.FormCloseQuery());
    EXPECT_TRUE(sequence.Thread().CancelRequest);
    host.Release();
    sequence.Thread().WaitIdle();
    ui.Pump();
    EXPECT_EQ(ui.controls, (std::vector<bool>{false, true}));
    EXPECT_EQ(ui.quitStatus, -100);  // not unattended: the window stays open
    ASSERT_GE(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0], "キャンセルしますか？");
    EXPECT_EQ(host.boxes.back(), "インポートを完了しました。");  // a cancel without ErrStop
    EXPECT_EQ(context.JobList[0].Result, -1);
    EXPECT_TRUE(sequence.FormCloseQuery());
    EXPECT_EQ(LogCodes(), (std::vector<std::string>{"S", "H", "C", "F", "Q"}));
    EXPECT_EQ(sequence.ExitStatus(), 0);  // interactive sessions end with 0
}

TEST_F(StartSequenceRun, UnattendedRunClosesItselfWhenTheRunEnds) {
    HoldingHost host(context, nullptr);
    StartSequence sequence(dm, host, ui, settings, context);
    ASSERT_TRUE(sequence.Start(Args({"AUTOSTART=TRUE", "AUTOCLOSE=TRUE"})));
    ui.Pump();  // auto-start
    sequence.Thread().WaitIdle();
    for (int i = 0; i < 100 && ui.quitStatus == -100; ++i) {
        ui.Pump();
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(ui.quitStatus, 0);
    EXPECT_TRUE(sequence.Closed());
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(LogCodes(), (std::vector<std::string>{"S", "H", "O", "F", "Q"}));
}

TEST_F(StartSequenceRun, FailedLogonWithoutAutoCloseShowsTheSessionMessage) {
    HoldingHost host(context, nullptr);
    StartSequence sequence(dm, host, ui, settings, context);
    std::vector<std::string> args = Args({"AUTOSTART=TRUE"});
    args[0] = "USER=scott/wrong@" + database;
    ASSERT_TRUE(sequence.Start(args));
    EXPECT_TRUE(sequence.StartFailed());
    EXPECT_FALSE(ui.connected);
    EXPECT_EQ(ui.caption, "Tabrook+ ");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].find("ORA-01017"), std::string::npos) << host.boxes[0];
    ui.Pump();  // auto-start: not connected, so nothing runs and the window stays
    EXPECT_EQ(ui.quitStatus, -100);
    EXPECT_TRUE(ui.controls.empty());
    EXPECT_TRUE(sequence.FormCloseQuery());
    EXPECT_EQ(LogCodes(), (std::vector<std::string>{"S", "I999", "Q"}));
}

}  // namespace
}  // namespace tabrook::e2e
