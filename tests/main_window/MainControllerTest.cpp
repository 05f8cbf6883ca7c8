// The main window's controller on the real start sequence, transfer thread and embedded
// engine, with stand-ins for the window, the job list window, the confirmation dialog and the
// login prompt: enabling rules, the field rules, the format fields, Count, JobAdd, ReConnect,
// Execute with its confirmation, Esc and the close during a run, dropped files, and the mode
// rule of the settings display with and without a window.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <tuple>

#include "app/EmbeddedDatabase.h"
#include "app/MainController.h"
#include "app/ProgramFolder.h"
#include "app/RegistrySettings.h"
#include "app/StartSequence.h"
#include "tests/e2e/E2eHarness.h"
#include "transfer/RunContext.h"
#include "transfer/TOracle.h"
#include "transfer/Tdm.h"
#include "transfer/TransferSettings.h"

namespace tabrook {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using e2e::ReadFile;
using e2e::Sandbox;
using e2e::WriteFile;

// QSettings fixes its user folder on first use: the whole program gets one private folder.
class PrivateConfig : public ::testing::Environment {
public:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("tabrook-main-config-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};
PrivateConfig* const kConfig = static_cast<PrivateConfig*>(::testing::AddGlobalTestEnvironment(new PrivateConfig));

// ---- Pure rules ----

TEST(MainWindowRules, EnablingFollowsModeAutoCommitAndReplacement) {
    struct Case {
        int mode;
        bool autoCommit;
        bool replaceCR;
        OptionEnabling expected;
    };
    const Case cases[] = {
        {0, false, false, {true, true, false, false, false, true}},
        {0, true, false, {true, true, true, false, false, true}},
        {0, true, true, {true, true, true, true, true, true}},
        {1, true, false, {false, false, false, false, false, false}},  // export: checked or not
        {1, false, true, {false, false, false, true, true, false}},
    };
    for (const Case& c : cases) {
        TransferSettings settings;
        settings.Mode = c.mode;
        settings.AutoCommit = c.autoCommit;
        settings.ReplaceCR = c.replaceCR;
        EXPECT_EQ(EnablingOf(settings), c.expected) << c.mode << c.autoCommit << c.replaceCR;
    }
}

TEST(MainWindowRules, ShownModeIsImportOrExport) {
    for (auto [stored, shown] : {std::pair{0, 0}, {1, 1}, {7, 0}, {-1, 0}, {2, 0}}) {
        TransferSettings settings;
        settings.Mode = stored;
        ApplyShownModeRule(settings);
        EXPECT_EQ(settings.Mode, shown) << stored;
    }
}

TEST(MainWindowRules, ProposedCsvName) {
    const std::pair<const char*, const char*> cases[] = {
        {"EMP", "EMP.csv"},   {"SCOTT.EMP", "SCOTT.csv"},
        {"A.B.C", "A.B.csv"}, {"a/b:c*d?e'f<g>h|i", "a b c d e f g h i.csv"},
        {"社員", "社員.csv"},
    };
    for (auto [table, proposed] : cases) EXPECT_EQ(ProposedCsvName(table), proposed) << table;
}

TEST(MainWindowRules, FirstCsvFileOfADrop) {
    using Paths = std::vector<std::string>;
    EXPECT_EQ(FirstCsvFile(Paths{"/a/x.txt", "/a/y.CSV", "/a/z.csv"}), "/a/y.CSV");
    EXPECT_EQ(FirstCsvFile(Paths{"/a/x.txt", "/a/csv", "/a/x.csv.bak"}), std::nullopt);
    EXPECT_EQ(FirstCsvFile(Paths{}), std::nullopt);
    const std::string tooLong = "/" + std::string(kMaxDroppedPath, 'a') + ".csv";
    EXPECT_EQ(FirstCsvFile(Paths{tooLong, "/b.Csv"}), "/b.Csv");
}

TEST(MainWindowRules, ProgressOfImportExportAndJobList) {
    struct Case {
        ProgressInput in;
        int percent;
        std::string text;
    };
    auto import = [](long long size, long long read) {
        ProgressInput in;
        in.FileBytes = size;
        in.BytesRead = read;
        return in;
    };
    auto exported = [](long long counted, long long done) {
        ProgressInput in;
        in.ExportMode = true;
        in.CountedRows = counted;
        in.RowsDone = done;
        return in;
    };
    auto job = [](ProgressInput in, std::size_t number, std::size_t total, double elapsed) {
        in.JobNumber = number;
        in.JobTotal = total;
        in.ElapsedSeconds = elapsed;
        return in;
    };
    // The transfer has ended (and, with runEnded, the whole run).
    auto ended = [](ProgressInput in, bool runEnded) {
        in.JobDone = true;
        in.Running = !runEnded;
        return in;
    };
    const Case cases[] = {
        {import(1000, 0), 0, ""},
        {import(1000, 500), 50, ""},
        {import(1000, 1000), 100, ""},
        {import(1000, 65536), 100, ""},  // a whole block read past a small file's end
        {import(0, 0), -1, ""},          // an empty or missing file: no share
        {exported(0, 500), -1, "500件"},  // no Count: unknown, the rows written are told
        {exported(200, 50), 25, ""},
        {exported(200, 200), 100, ""},
        {exported(200, 250), 100, ""},  // rows added since the count
        {job(import(1000, 500), 2, 4, 30.0), 37, "2/4  00:50"},
        {job(import(1000, 1000), 4, 4, 60.0), 100, "4/4  00:00"},
        {job(exported(0, 10), 1, 2, 10.0), 25, "1/2  00:30  10件"},  // unknown share counts as half
        {job(import(1000, 0), 1, 2, 0.0), 0, "1/2"},           // nothing done: no estimate yet
        {ended(import(1000, 990), false), 100, ""},              // the last block of a file read
        {ended(exported(0, 7), true), 100, ""},                  // an export without Count that ended
        {ended(job(import(1000, 0), 2, 2, 9.0), true), 100, "2/2"},  // the jobs that ran; no time left
    };
    for (const Case& c : cases) {
        ProgressView view = ComputeProgress(c.in);
        EXPECT_EQ(view.Percent, c.percent) << c.in.FileBytes << " " << c.in.BytesRead << " " << c.in.RowsDone;
        EXPECT_EQ(view.Text, c.text);
    }
    EXPECT_EQ(DurationText(3725.4), "1:02:05");
    EXPECT_EQ(DurationText(59.6), "01:00");
}

// ---- Stand-ins ----

class StandInView : public MainView {
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
    void ShowSettings() override {
        if (controller) controller->ShowSettings();
    }
    void SetRunControlsEnabled(bool enabled) override {
        runControls.push_back(enabled);
        if (enabled && controller) controller->RunEnded();
    }
    void ShowProgress(const ProgressView& progress) override { progresses.push_back(progress); }

    std::string TableText() const override { return table; }
    void SetTableText(const std::string& text) override { table = text; }
    std::string CsvText() const override { return csv; }
    void SetCsvText(const std::string& text) override { csv = text; }
    void SetDateFmtText(const std::string& text) override { dateFmt = text; }
    void SetTimestampFmtText(const std::string& text) override { timestampFmt = text; }
    void ShowOptions(const TransferSettings& settings, int shownCommitCount) override {
        shownMode = settings.Mode;
        shownCount = shownCommitCount;
        dateFmt = settings.DateFmt;
        timestampFmt = settings.TimestampFmt;
    }
    void SetOptionEnabling(const OptionEnabling& enabling) override { this->enabling = enabling; }
    void ShowCounts(int success, int error) override {
        lastSuccess = success;
        lastError = error;
    }
    std::optional<std::string> AskCsvFile(bool save, const std::string& proposedName,
                                          const std::string& folder) override {
        dialogs.emplace_back(save, proposedName, folder);
        return dialogAnswer;
    }
    void BringToFront() override { ++broughtToFront; }

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

    MainController* controller = nullptr;
    int quitStatus = -100;
    bool connected = false;
    std::string caption;
    std::vector<bool> runControls;
    std::string table, csv, dateFmt, timestampFmt;
    int shownMode = -1;
    int shownCount = -1;
    OptionEnabling enabling;
    std::atomic<int> lastSuccess{-1}, lastError{-1};
    std::vector<std::tuple<bool, std::string, std::string>> dialogs;
    std::optional<std::string> dialogAnswer;
    int broughtToFront = 0;
    std::vector<ProgressView> progresses;

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
};

struct Box {
    std::string text;
    MsgIcon icon;
    MsgButtons buttons;
};

// Records every box and answers questions as told; can hold a run at its tenth row.
class RecordingHost : public Host {
public:
    int MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override {
        std::lock_guard lock(mutex);
        boxes.push_back({text, icon, buttons});
        return buttons == MsgButtons::YesNo ? answer : kMsgOk;
    }
    // Watches the counts the transfer thread publishes.
    void Watch(TOracle& thread) {
        thread.CountsPublished = [this] { CountsShown(); };
    }
    void CountsShown() {
        // The import publishes its counts at its start and before records 1, 11, 21 and so
        // on: the third comes after ten rows read (imported in arrays, the counts hold the
        // rows sent so far, which can be none yet).
        if (!holdAtTen || ++shownWhileHolding < 3) return;
        std::unique_lock lock(mutex);
        held = true;
        changed.notify_all();
        changed.wait(lock, [this] { return released; });
    }
    void SetBusyPointer(BusyPointer pointer) override {
        std::lock_guard lock(mutex);
        pointers.push_back(pointer);
        ++pointerDepth;
    }
    void RestorePointer() override {
        std::lock_guard lock(mutex);
        --pointerDepth;
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
    std::vector<Box> Boxes() {
        std::lock_guard lock(mutex);
        return boxes;
    }
    void ClearBoxes() {
        std::lock_guard lock(mutex);
        boxes.clear();
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Box> boxes;
    std::vector<BusyPointer> pointers;
    int pointerDepth = 0;
    int answer = kMsgYes;
    bool holdAtTen = false;
    int shownWhileHolding = 0;
    bool held = false;
    bool released = false;
};

class StandInJobWindow : public JobListWindow {
public:
    explicit StandInJobWindow(RunContext& context) : context_(context) {}
    void ShowWindow() override { ++shown; }
    bool AddJob(const std::string& table, const std::string& csv) override {
        for (auto& row : rows)
            if (Upper(row.first) == Upper(table)) return false;
        rows.emplace_back(table, csv);
        return true;
    }
    void ReplaceJob(const std::string& table, const std::string& csv) override {
        for (auto& row : rows)
            if (Upper(row.first) == Upper(table)) row.second = csv;
    }
    void SyncJobList() override {
        ++synced;
        context_.JobList.Clear();
        for (auto& [table, csv] : rows) context_.JobList.Add(table, csv);
    }
    static std::string Upper(std::string text) {
        for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    }
    std::vector<std::pair<std::string, std::string>> rows;
    int shown = 0;
    int synced = 0;

private:
    RunContext& context_;
};

class StandInConfirm : public RunConfirmDialog {
public:
    ConfirmAnswer Ask(const std::array<std::string, 3>& lines, int boxMode) override {
        asked.emplace_back(lines, boxMode);
        return answer;
    }
    std::vector<std::pair<std::array<std::string, 3>, int>> asked;
    ConfirmAnswer answer = ConfirmAnswer::Single;
};

class StandInPrompt : public LoginPrompt {
public:
    StandInPrompt(std::optional<LogonValues> typed, LoginFocus* focus) : typed_(std::move(typed)), focus_(focus) {}
    bool Ask(LogonValues& values, LoginFocus focus) override {
        *focus_ = focus;
        if (!typed_) return false;
        values = *typed_;
        return true;
    }

private:
    std::optional<LogonValues> typed_;
    LoginFocus* focus_;
};

// ---- The controller over the real engine ----

class MainControllerRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Sandbox::BinariesPresent()) GTEST_SKIP() << "build ocilite-sql and libocilite.so first";
        ::setenv("TABROOK_OCI_LIBRARY", Sandbox::Binary("libocilite.so").c_str(), 1);
        // Every test starts from the built-in settings: the close of the one before stored its own.
        std::error_code ignored;
        fs::remove_all(kConfig->folder / "Vornex", ignored);
        database = (box.Work() / "main.db").string();
        ASSERT_EQ(box.Sql(database,
                          "create table T1 (ID NUMBER(6), NAME VARCHAR2(20), BORN DATE);\n"
                          "insert into T1 values (1, 'eins', TO_DATE('2024-01-02','YYYY-MM-DD'));\n"
                          "insert into T1 values (2, 'zwei', TO_DATE('2024-03-04','YYYY-MM-DD'));\n"
                          "insert into T1 values (3, '三', TO_DATE('2024-05-06','YYYY-MM-DD'));\n"
                          "create table T2 (A VARCHAR2(10), B VARCHAR2(10), C VARCHAR2(10));\n"
                          "commit;\n")
                      .status,
                  0);
        std::string csv;
        for (int i = 1; i <= 30; ++i)
            csv += "a" + std::to_string(i) + ",b" + std::to_string(i) + ",c" + std::to_string(i) + "\r\n";
        csvPath = (box.Work() / "t2.csv").string();
        WriteFile(csvPath, csv);
        host.Watch(sequence.Thread());
        view.controller = &controller;
        controller.SetJobListWindow(&jobs);
        controller.SetConfirmDialog(&confirm);
    }

    void TearDown() override {
        if (started) {
            host.Release();
            sequence.Thread().WaitIdle();
            view.Pump();
            sequence.FormCloseQuery();
        }
    }

    void Start(std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"USER=scott/tiger@" + database, "LOG=" + (box.Work() / "run.log").string()};
        args.insert(args.end(), more.begin(), more.end());
        ASSERT_TRUE(sequence.Start(args));
        started = true;
        ASSERT_TRUE(dm.OCI.Connected) << dm.OCI.ErrMsg();
    }

    // The table field gets text and Enter is pressed.
    void EnterTable(const std::string& text) {
        view.table = text;
        controller.TableChanged(text);
        controller.TableEnter();
    }
    void EnterCsv(const std::string& text) {
        view.csv = text;
        controller.CsvChanged(text);
        controller.CsvEnter();
    }
    std::vector<std::string> Row(int row) {
        std::vector<std::string> cells;
        for (int col = 1; col < controller.Grid().ColCount(); ++col) cells.push_back(controller.Grid().Cell(col, row));
        return cells;
    }
    std::string Query(const std::string& sql) { return box.Sql(database, sql).out; }
    void RunToEnd() {
        sequence.Thread().WaitIdle();
        view.Pump();
    }

    Sandbox box;
    std::string database;
    std::string csvPath;
    TransferSettings settings;
    RunContext context;
    Tdm dm;
    RecordingHost host;
    StandInView view;
    StartSequence sequence{dm, host, view, settings, context};
    MainController controller{dm, host, sequence, view, settings, context};
    StandInJobWindow jobs{context};
    StandInConfirm confirm;
    bool started = false;
};

TEST_F(MainControllerRun, StoredModeOtherThanImportOrExportIsShownAndStoredAsImport) {
    settings.Mode = 7;
    LogonValues logon;
    std::string folder;
    RegistrySettings(false, kTransferPart, SettingsTargets{settings, context, logon, folder});
    Start();
    EXPECT_EQ(settings.Mode, 0);
    EXPECT_EQ(view.shownMode, 0);
    ASSERT_TRUE(controller.CloseQuery());
    started = false;
    TransferSettings stored;
    stored.Mode = -5;
    RegistrySettings(true, kTransferPart, SettingsTargets{stored, context, logon, folder});
    EXPECT_EQ(stored.Mode, 0);
}

TEST_F(MainControllerRun, HeadlessStartAlsoMendsAStoredModeOfSeven) {
    // A start sequence whose view shows nothing (as the unattended program's).
    class SilentUi : public StartUi {
    public:
        void PostToUi(std::function<void()>) override {}
        void Quit(int) override {}
    } silent;
    settings.Mode = 7;
    LogonValues logon;
    std::string folder;
    RegistrySettings(false, kTransferPart, SettingsTargets{settings, context, logon, folder});
    {
        TransferSettings ownSettings;
        RunContext ownContext;
        Tdm ownDm;
        StartSequence headless(ownDm, host, silent, ownSettings, ownContext);
        ASSERT_TRUE(headless.Start({"USER=scott/tiger@" + database}));
        EXPECT_EQ(ownSettings.Mode, 0);
        ASSERT_TRUE(headless.FormCloseQuery());
    }
    TransferSettings stored;
    RegistrySettings(true, kTransferPart, SettingsTargets{stored, context, logon, folder});
    EXPECT_EQ(stored.Mode, 0);
}

TEST_F(MainControllerRun, CommitIntervalIsShownInItsRange) {
    Start();
    const std::tuple<int, int, int> cases[] = {
        // stored, shown, kept
        {0, 1, 0},  // below 1: shown as 1 while the setting keeps it
        {25, 25, 25},
        {20000, 10000, 10000},  // the shown text changed: the clamped value is stored
        {-3, 1, 1},
    };
    for (auto [stored, shown, kept] : cases) {
        settings.AutoCmtCnt = stored;
        controller.ShowSettings();
        EXPECT_EQ(view.shownCount, shown) << stored;
        EXPECT_EQ(settings.AutoCmtCnt, kept) << stored;
    }
}

TEST_F(MainControllerRun, ModeSwitchPreviewsAgainAndAppliesTheEnablingRules) {
    Start();
    settings.AutoCommit = true;
    view.table = "T1";
    controller.ModeClicked(1);
    EXPECT_EQ(view.enabling, (OptionEnabling{false, false, false, false, false, false}));
    EXPECT_TRUE(context.TableInfoOk);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"ID", "NAME", "BORN"}));
    EXPECT_EQ(controller.Grid().Cell(2, 2), "eins");  // export previews the table's rows
    view.table = "T2";
    view.csv = csvPath;
    controller.ModeClicked(0);
    EXPECT_EQ(view.enabling, (OptionEnabling{true, true, true, false, false, true}));
    EXPECT_EQ(controller.Grid().Cell(1, 2), "a1");  // import previews the CSV file
    controller.AutoCommitClicked(false);
    EXPECT_FALSE(view.enabling.CommitCount);
    EXPECT_FALSE(settings.AutoCommit);
    controller.ReplaceCRClicked(true);
    EXPECT_TRUE(view.enabling.ReplaceText && view.enabling.CRType);
    controller.ReplaceCRClicked(false);
    EXPECT_FALSE(view.enabling.ReplaceText || view.enabling.CRType);
}

TEST_F(MainControllerRun, CountOnlyWhileTheTableIsPreviewed) {
    Start();
    controller.Count();
    EXPECT_TRUE(host.Boxes().empty());  // nothing previewed yet
    EnterTable("T1");
    controller.Count();
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, "テーブル [T1] には\n3件\nのデータがあります。");
    EXPECT_EQ(host.Boxes()[0].icon, MsgIcon::Information);
    EXPECT_EQ(host.pointerDepth, 0);  // every busy pointer restored
    // Editing the table text clears the shown columns: Count does nothing until Enter.
    view.table = "T";
    controller.TableChanged(view.table);
    EXPECT_FALSE(context.TableInfoOk);
    controller.Count();
    EXPECT_EQ(host.Boxes().size(), 1u);
    view.table = "T1";
    controller.TableChanged(view.table);
    controller.TableLeft();  // leaving with no columns shown previews again
    EXPECT_TRUE(context.TableInfoOk);
    controller.Count();
    EXPECT_EQ(host.Boxes().size(), 2u);
}

TEST_F(MainControllerRun, TableFieldRulesKeepOrRestoreAMovedOrder) {
    Start();
    EnterTable("T2");
    EnterCsv(csvPath);
    controller.ColumnMoved(3, 1);  // import: only the header rows move
    EXPECT_EQ(Row(0), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"a1", "b1", "c1"}));
    controller.TableEntered();
    controller.TableLeft();  // unchanged text with columns shown: no new preview
    EXPECT_EQ(Row(0), (std::vector<std::string>{"C", "A", "B"}));
    controller.TableEnter();  // Enter restores the table's own order
    EXPECT_EQ(Row(0), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"a1", "b1", "c1"}));
    // A changed table text clears the table columns but keeps the CSV data in Import mode.
    view.table = "T";
    controller.TableChanged("T");
    EXPECT_EQ(Row(0)[0], "");
    EXPECT_EQ(controller.Grid().Cell(1, 2), "a1");
}

TEST_F(MainControllerRun, CsvFieldRules) {
    Start();
    EnterTable("T2");
    view.csv = csvPath;
    controller.CsvEntered();  // entered with the path already there: leaving changes nothing
    controller.CsvLeft();
    EXPECT_FALSE(context.CsvHasData);
    EnterCsv(csvPath);
    EXPECT_TRUE(context.CsvHasData);
    EXPECT_EQ(context.CsvColumnCount, 3);
    // Any change clears the shown CSV data in Import mode and binds CsvFile.
    view.csv = "other.csv";
    controller.CsvChanged(view.csv);
    EXPECT_FALSE(context.CsvHasData);
    EXPECT_EQ(context.CsvFile, "other.csv");
    EXPECT_EQ(controller.Grid().Cell(1, 2), "");
    controller.CsvEntered();  // the user comes back to the field holding "other.csv"
    view.csv = csvPath;
    controller.CsvChanged(view.csv);
    controller.CsvLeft();  // differs from the text on entering: previewed
    EXPECT_TRUE(context.CsvHasData);
    // A new separator, then Enter in the separator field, previews again with it.
    controller.SeparatorChanged(";");
    controller.SeparatorEnter();
    EXPECT_EQ(context.CsvColumnCount, 1);
    EXPECT_EQ(controller.Grid().Cell(1, 2), "a1,b1,c1");
}

TEST_F(MainControllerRun, CsvDialogProposesANameAndSharesItsFolder) {
    Start();
    // No table: the dialog keeps its previous name.
    view.dialogAnswer = std::nullopt;
    controller.CsvButtonClicked();
    ASSERT_EQ(view.dialogs.size(), 1u);
    EXPECT_EQ(std::get<1>(view.dialogs[0]), "");
    EXPECT_FALSE(std::get<0>(view.dialogs[0]));  // import: the open dialog
    EnterTable("T2");
    view.dialogAnswer = csvPath;
    controller.CsvButtonClicked();
    EXPECT_EQ(std::get<1>(view.dialogs[1]), "T2.csv");
    EXPECT_EQ(view.csv, csvPath);
    EXPECT_TRUE(context.CsvHasData);
    EXPECT_EQ(controller.DialogFolder(), box.Work().string());
    // Export: the save dialog, starting in the folder chosen last; nothing is read.
    controller.ModeClicked(1);
    const std::string out = (box.Root() / "out.csv").string();
    view.dialogAnswer = out;
    controller.CsvButtonClicked();
    EXPECT_TRUE(std::get<0>(view.dialogs[2]));
    EXPECT_EQ(std::get<2>(view.dialogs[2]), box.Work().string());
    EXPECT_EQ(context.CsvFile, out);
    EXPECT_EQ(controller.DialogFolder(), box.Root().string());
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(MainControllerRun, FormatFieldsRefuseSilentlyAndReshowTheTableInExport) {
    Start();
    const std::string before = settings.DateFmt;
    view.dateFmt = "not a format";
    EXPECT_FALSE(controller.DateFmtLeft(view.dateFmt));
    EXPECT_EQ(view.dateFmt, before);
    EXPECT_EQ(settings.DateFmt, before);
    view.timestampFmt = "XYZZY";
    EXPECT_FALSE(controller.TimestampFmtLeft(view.timestampFmt));
    EXPECT_EQ(view.timestampFmt, settings.TimestampFmt);
    EXPECT_TRUE(host.Boxes().empty());
    // Import: Enter does nothing.
    controller.DateFmtEnter("DD.MM.RRRR");
    EXPECT_EQ(settings.DateFmt, before);
    // Export: Enter stores the format and previews the table with it.
    view.table = "T1";
    controller.ModeClicked(1);
    EXPECT_EQ(controller.Grid().Cell(3, 2), "2024-01-02 00:00:00");
    controller.DateFmtEnter("DD.MM.RRRR");
    EXPECT_EQ(settings.DateFmt, "DD.MM.RRRR");
    EXPECT_EQ(controller.Grid().Cell(3, 2), "02.01.2024");
}

TEST_F(MainControllerRun, ThePreviewFollowsTheHeaderOptionAndTheFormats) {
    Start();
    EnterTable("T2");
    EnterCsv(csvPath);
    EXPECT_EQ(controller.Grid().Cell(1, 2), "a1");
    controller.HeadClicked(true);  // the first line is a header now: not shown as data
    EXPECT_EQ(controller.Grid().Cell(1, 2), "a2");
    controller.HeadClicked(false);
    EXPECT_EQ(controller.Grid().Cell(1, 2), "a1");
    // Export: a format accepted on leaving its field shows in the preview at once.
    view.table = "T1";
    controller.ModeClicked(1);
    EXPECT_TRUE(controller.DateFmtLeft("DD.MM.RRRR"));
    EXPECT_EQ(controller.Grid().Cell(3, 2), "02.01.2024");
}

TEST_F(MainControllerRun, AnErrorFileIsReadWithoutAHeaderLine) {
    Start();
    EnterTable("T2");
    controller.HeadClicked(true);
    const std::string errorFile = (box.Work() / "t2.err").string();
    WriteFile(errorFile, "x1,y1,z1\r\nx2,y2,z2\r\n");
    EnterCsv(errorFile);
    EXPECT_FALSE(settings.WithHeader);
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, kErrorFileHasNoHeader);
    EXPECT_EQ(controller.Grid().Cell(1, 2), "x1");  // the first corrected row is not skipped
}

TEST_F(MainControllerRun, LogonToAMissingDatabaseFileOffersToCreateIt) {
    Start();
    SetProgramFolderForTesting(Sandbox::Binary("ocilite-sql").parent_path());
    ::setenv("XDG_DATA_HOME", (box.Root() / "data").c_str(), 1);
    LoginFocus focus = LoginFocus::User;
    auto typed = [&](const std::string& database) {
        dm.OCI.CreateLoginPrompt = [&focus, database] {
            return std::make_unique<StandInPrompt>(LogonValues{"adams", "s3cret", database}, &focus);
        };
    };
    // Answered No: nothing is made, and no second box repeats the logon error.
    const std::string fresh = (box.Work() / "fresh.db").string();
    typed(fresh);
    host.answer = kMsgNo;
    controller.ReConnect();
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, CreateDatabaseQuestion(fresh, "adams"));
    EXPECT_FALSE(fs::exists(fresh));
    // Answered Yes: the file is made with the typed account, and the session is on it.
    host.answer = kMsgYes;
    controller.ReConnect();
    EXPECT_TRUE(dm.OCI.Connected) << dm.OCI.ErrMsg();
    EXPECT_EQ(view.caption, "Tabrook+  [adams @ " + fresh + "]");
    EXPECT_EQ(box.Sql(fresh, "select 1 from dual;\n", "adams/s3cret").status, 0);
    // The default database is named by its file in the caption.
    typed("");
    controller.ReConnect();
    EXPECT_EQ(view.caption, "Tabrook+  [adams @ " + (box.Root() / "data" / "tabrook" / "default.db").string() + "]");
    ::unsetenv("XDG_DATA_HOME");
    SetProgramFolderForTesting({});
}

TEST_F(MainControllerRun, JobAddAsksBeforeReplacingATableAlreadyListed) {
    Start();
    controller.JobAdd();
    view.table = "T2";
    controller.JobAdd();
    view.csv = "a.csv";
    controller.JobAdd();
    view.table = "t2";
    view.csv = "b.csv";
    host.answer = kMsgNo;
    controller.JobAdd();
    EXPECT_EQ(jobs.rows, (std::vector<std::pair<std::string, std::string>>{{"T2", "a.csv"}}));
    host.answer = kMsgYes;
    controller.JobAdd();
    EXPECT_EQ(jobs.rows, (std::vector<std::pair<std::string, std::string>>{{"T2", "b.csv"}}));
    std::vector<Box> boxes = host.Boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].text, kEnterTableName);
    EXPECT_EQ(boxes[1].text, kEnterCsvName);
    EXPECT_EQ(boxes[2].text, "このテーブルは既に登録されています。\n入れ換えますか？");
    EXPECT_EQ(boxes[2].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes[2].icon, MsgIcon::Warning);
    EXPECT_EQ(jobs.shown, 3);
}

TEST_F(MainControllerRun, ReConnectRestoresTheOldValuesWhenTheLogonFails) {
    Start();
    EnterTable("T1");
    LoginFocus focus = LoginFocus::User;
    // Cancelled: nothing changes and no box (the session has no message).
    dm.OCI.CreateLoginPrompt = [&] { return std::make_unique<StandInPrompt>(std::nullopt, &focus); };
    controller.ReConnect();
    EXPECT_EQ(focus, LoginFocus::Password);  // a user is known
    EXPECT_EQ(dm.OCI.User, "scott");
    EXPECT_EQ(dm.OCI.Password, "tiger");
    EXPECT_TRUE(host.Boxes().empty());
    // A failed logon: the old values come back and the message is shown as an error.
    dm.OCI.CreateLoginPrompt = [&] {
        return std::make_unique<StandInPrompt>(LogonValues{"nobody", "", "/no/such/folder/x.db"}, &focus);
    };
    controller.ReConnect();
    EXPECT_EQ(dm.OCI.User, "scott");
    EXPECT_EQ(dm.OCI.ConnStr, database);
    EXPECT_FALSE(view.connected);
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].icon, MsgIcon::Error);
    EXPECT_FALSE(host.Boxes()[0].text.empty());
    // A good logon: connected again, the preview is cleared.
    dm.OCI.CreateLoginPrompt = [&] {
        return std::make_unique<StandInPrompt>(LogonValues{"scott", "tiger", database}, &focus);
    };
    controller.ReConnect();
    EXPECT_TRUE(view.connected);
    EXPECT_EQ(view.caption, "Tabrook+  [scott @ " + database + "]");
    EXPECT_FALSE(context.TableInfoOk);
    EXPECT_EQ(controller.Grid().Cell(1, 0), "");
}

TEST_F(MainControllerRun, SingleImportRunsAfterTheConfirmationAndEnablesTheControlsAgain) {
    Start();
    EnterTable("T2");
    EnterCsv(csvPath);
    controller.Execute();
    ASSERT_EQ(confirm.asked.size(), 1u);  // an empty job list asks only the single question
    EXPECT_EQ(confirm.asked[0].second, kBoxModeSingle);
    EXPECT_EQ(confirm.asked[0].first[0], "データをインポートします。");
    EXPECT_EQ(confirm.asked[0].first[1], "よろしいですか？");
    RunToEnd();
    EXPECT_EQ(view.runControls, (std::vector<bool>{false, true}));
    EXPECT_EQ(view.lastSuccess, 30);
    EXPECT_EQ(view.lastError, 0);
    EXPECT_NE(Query("select count(*) from T2;\n").find("30"), std::string::npos);
    ASSERT_FALSE(host.Boxes().empty());
    EXPECT_EQ(host.Boxes().back().text, "インポートを完了しました。");
    // The progress started at 0 and ended with the whole file read.
    ASSERT_GE(view.progresses.size(), 2u);
    EXPECT_EQ(view.progresses.front().Percent, 0);
    EXPECT_EQ(view.progresses.back().Percent, 100);
}

TEST_F(MainControllerRun, AFileOf1001FieldsImportsItsFirstTwoIntoATwoColumnTable) {
    Start();
    ASSERT_EQ(box.Sql(database, "create table W2 (A VARCHAR2(10), B VARCHAR2(10));\ncommit;\n").status, 0);
    const std::string extra(999, ',');
    WriteFile(csvPath, "1a,1b" + extra + "\n2a,2b" + extra + "\n3a,3b" + extra + "\n");
    EnterTable("W2");
    EnterCsv(csvPath);
    EXPECT_EQ(std::pair(controller.Grid().ColCount(), context.CsvColumnCount), std::pair(1001, 1001));
    controller.Execute();
    RunToEnd();
    EXPECT_EQ(std::pair(view.lastSuccess.load(), view.lastError.load()), std::pair(3, 0));
    EXPECT_EQ(Query("select A || B from W2 order by A;\n"), "A||B\n1a1b\n2a2b\n3a3b\n");
}

TEST_F(MainControllerRun, ExportProgressCountsAgainstTheRowsOfCount) {
    Start();
    view.table = "T1";
    controller.ModeClicked(1);
    EnterCsv((box.Work() / "t1-out.csv").string());
    controller.Execute();
    RunToEnd();
    ASSERT_FALSE(view.progresses.empty());
    EXPECT_EQ(view.progresses.front().Percent, -1);  // no Count: the share is unknown
    EXPECT_EQ(view.progresses.back().Percent, 100);  // ... until the export has ended
    controller.Count();
    view.progresses.clear();
    controller.Execute();
    RunToEnd();
    ASSERT_GE(view.progresses.size(), 2u);
    EXPECT_EQ(view.progresses.front().Percent, 0);
    EXPECT_EQ(view.progresses.back().Percent, 100);
    EXPECT_EQ(view.lastSuccess, 3);
}

TEST_F(MainControllerRun, RefusedOrCancelledSingleRunRunsNothing) {
    Start();
    EnterTable("T2");
    controller.Execute();  // no CSV data: refused by the check
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, "CSVファイルを開けません。");
    EXPECT_EQ(view.runControls, (std::vector<bool>{false, true}));
    EnterCsv(csvPath);
    confirm.answer = ConfirmAnswer::Cancel;
    controller.Execute();
    RunToEnd();
    EXPECT_EQ(view.runControls, (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(sequence.Thread().Outcome().Runs, 0);
    EXPECT_NE(Query("select count(*) from T2;\n").find("0"), std::string::npos);
}

TEST_F(MainControllerRun, JobListRunAsksWithTheBatchLinesAndSelectsEveryJob) {
    Start();
    settings.Truncate = true;
    jobs.rows = {{"T2", csvPath}};
    confirm.answer = ConfirmAnswer::StartJobList;
    controller.Execute();
    EXPECT_EQ(jobs.synced, 1);
    ASSERT_EQ(confirm.asked.size(), 1u);
    EXPECT_EQ(confirm.asked[0].second, kBoxModeJobList);
    EXPECT_EQ(
        confirm.asked[0].first,
        (std::array<std::string, 3>{"JobListが登録されています。", "バッチモードでインポートします。",
                                    "Truncateオプションが選択されています。対象テーブルのデータは破棄されます。"}));
    RunToEnd();
    EXPECT_TRUE(context.JobList[0].Selected);
    EXPECT_EQ(context.JobList[0].Result, 0);
    EXPECT_EQ(context.JobList[0].SuccessText, "30");
    // The run previewed the job's table and file in the window's fields.
    EXPECT_EQ(view.table, "T2");
    EXPECT_EQ(view.csv, csvPath);
    EXPECT_EQ(view.runControls, (std::vector<bool>{false, true}));
    // Export mode without truncate: line 3 stays empty.
    settings.Mode = 1;
    confirm.answer = ConfirmAnswer::Cancel;
    controller.Execute();
    EXPECT_EQ(confirm.asked[1].first[1], "バッチモードでエクスポートします。");
    EXPECT_EQ(confirm.asked[1].first[2], "");
}

TEST_F(MainControllerRun, EscAndCloseDuringARunCancelIt) {
    Start();
    host.holdAtTen = true;
    EnterTable("T2");
    EnterCsv(csvPath);
    controller.Execute();
    host.WaitHeld();
    EXPECT_TRUE(controller.Running());
    // A drop during the run is ignored.
    controller.FilesDropped({(box.Work() / "x.csv").string()});
    EXPECT_EQ(view.csv, csvPath);
    EXPECT_EQ(view.broughtToFront, 1);
    // The fields lose the focus as the run disables them: nothing touches the session then.
    view.table = "T1";
    controller.TableLeft();
    EXPECT_EQ(context.TableName, "T2");
    const std::string dateFmt = settings.DateFmt;
    EXPECT_FALSE(controller.DateFmtLeft("DD.MM.RRRR"));
    EXPECT_EQ(settings.DateFmt, dateFmt);
    view.table = "T2";
    EXPECT_FALSE(controller.CloseQuery());
    EXPECT_TRUE(sequence.Thread().CancelRequest);
    host.Release();
    RunToEnd();
    EXPECT_FALSE(controller.Running());
    EXPECT_LT(view.lastSuccess, 30);
    // Esc is honoured only with EscCancel.
    sequence.Thread().CancelRequest = false;
    context.EscCancel = false;
    EXPECT_FALSE(controller.EscPressed());
    EXPECT_FALSE(sequence.Thread().CancelRequest);
    context.EscCancel = true;
    EXPECT_TRUE(controller.EscPressed());
    EXPECT_TRUE(sequence.Thread().CancelRequest);
    EXPECT_TRUE(controller.CloseQuery());
    started = false;
}

TEST_F(MainControllerRun, DroppedFilesTakeTheFirstCsvOnlyWhenConnected) {
    Start();
    EnterTable("T2");
    const std::string upper = (box.Work() / "T2.CSV").string();
    fs::copy_file(csvPath, upper);
    controller.FilesDropped({(box.Work() / "notes.txt").string()});
    EXPECT_EQ(view.csv, "");
    controller.FilesDropped({(box.Work() / "notes.txt").string(), upper, csvPath});
    EXPECT_EQ(view.csv, upper);
    EXPECT_TRUE(context.CsvHasData);
    EXPECT_EQ(context.CsvFile, upper);
    dm.OCI.DisConnect();
    controller.FilesDropped({csvPath});
    EXPECT_EQ(view.csv, upper);
    EXPECT_EQ(view.broughtToFront, 3);
}

}  // namespace
}  // namespace tabrook
