#pragma once
// The rules of the main window, without widgets. The window (or a test's stand-in) is a view:
// it shows what the controller tells it through MainView and hands every user action to one
// of the controller's handlers. The controller writes the transfer settings, runs the
// previews on its grid model, asks the questions through the host, and starts the transfer
// thread of the start sequence.
//
// Everything here runs on the user interface thread. A run never waits for it: the window
// calls RefreshProgress on a timer while a run goes on, which reads the transfer thread's
// progress sink, and a job-list run's previews of each job arrive through ShowJobPreview.

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/DataPreview.h"
#include "app/GridModel.h"
#include "app/PreviewPlanner.h"
#include "app/RunProgress.h"
#include "app/StartSequence.h"
#include "transfer/Host.h"
#include "transfer/TableFromFile.h"

namespace tabrook {

class Tdm;
struct RunContext;
struct TransferSettings;

// Which option controls are enabled, as a function of the settings alone.
struct OptionEnabling {
    bool Truncate = true;      // cbTruncate
    bool AutoCommit = true;    // cbAutoCmt
    bool CommitCount = false;  // udCmt
    bool ReplaceText = false;  // edRepCR
    bool CRType = false;       // cmbCRType
    bool LoadMode = true;      // cmbLoadMode (import only, as cbTruncate)
    bool operator==(const OptionEnabling&) const = default;
};

// Import mode enables truncate and auto-commit, the commit interval only when auto-commit is
// also checked; the replacement text and the line-break type follow the replacement box.
OptionEnabling EnablingOf(const TransferSettings& settings);

// The mode the window shows: anything other than 0 (Import) or 1 (Export) becomes 0.
void ApplyShownModeRule(TransferSettings& settings);

// The commit interval field holds 1 to 10000.
constexpr int kMinCommitCount = 1;
constexpr int kMaxCommitCount = 10000;
// The error limit field of the confirmation dialog holds 0 to 999999.
constexpr int kMinErrorLimit = 0;
constexpr int kMaxErrorLimit = 999999;

// The file name the CSV dialogs propose for a table: the part after the last dot replaced by
// "csv" (or ".csv" appended), then each of / : * ? ' < > | replaced by a blank.
std::string ProposedCsvName(const std::string& tableName);

// The first dropped path whose extension, in any case of letters, is ".csv"; none when no
// path qualifies. Paths longer than kMaxDroppedPath are passed over: cutting one short would
// name another file.
constexpr std::size_t kMaxDroppedPath = 9998;
std::optional<std::string> FirstCsvFile(const std::vector<std::string>& paths);

// The message of Count for a table and the fetched number.
std::string CountMessage(const std::string& table, const std::string& count);

// Messages of the main window.
inline constexpr char kCountFailed[] = "カウントを取れません。";
inline constexpr char kEnterTableName[] = "テーブル名を入力してください。";
inline constexpr char kEnterCsvName[] = "CSVファイル名を入力してください。";
inline constexpr char kReplaceJobQuestion[] = "このテーブルは既に登録されています。\n入れ換えますか？";
inline constexpr char kErrorFileHasNoHeader[] =
    "エラーファイルにはヘッダー行がありません。\n「ヘッダー行あり」を外しました。";
inline constexpr char kJobListLine1[] = "JobListが登録されています。";
inline constexpr char kJobListImportLine2[] = "バッチモードでインポートします。";
inline constexpr char kJobListExportLine2[] = "バッチモードでエクスポートします。";
inline constexpr char kJobListTruncateLine3[] =
    "Truncateオプションが選択されています。対象テーブルのデータは破棄されます。";

// What the main window shows and answers. It is also the start sequence's view (StartUi):
// connection state, settings, the run controls.
class MainView : public StartUi {
public:
    // The texts of the table and CSV fields. Setting them is not a user's change: no handler
    // of the controller runs for it.
    virtual std::string TableText() const = 0;
    virtual void SetTableText(const std::string& text) = 0;
    virtual std::string CsvText() const = 0;
    virtual void SetCsvText(const std::string& text) = 0;
    virtual void SetDateFmtText(const std::string& text) = 0;
    virtual void SetTimestampFmtText(const std::string& text) = 0;
    // Copies the settings into the option controls; the commit interval field shows
    // shownCommitCount (the settings' value brought into the field's range).
    virtual void ShowOptions(const TransferSettings& settings, int shownCommitCount) = 0;
    virtual void SetOptionEnabling(const OptionEnabling& enabling) = 0;
    // The status bar's success and error counts.
    virtual void ShowCounts(int success, int error) = 0;
    // Of the successes of an import by key (UPSERT, UPDATE), the rows inserted and updated;
    // shown false: the import inserts only, and the split is not shown.
    virtual void ShowLoadSplit(long long inserted, long long updated, bool shown) {
        (void)inserted;
        (void)updated;
        (void)shown;
    }
    // The CSV file dialog: the open dialog (save false) or the save dialog, starting in folder
    // with the proposed file name (empty: the dialog keeps its previous name). The chosen path,
    // or none when the user cancelled.
    virtual std::optional<std::string> AskCsvFile(bool save, const std::string& proposedName,
                                                  const std::string& folder) = 0;
    // Brings the window to the foreground (for dropped files).
    virtual void BringToFront() {}
    // The progress bar of the status bar.
    virtual void ShowProgress(const ProgressView& progress) { (void)progress; }
};

// The answers of the run confirmation dialog.
enum class ConfirmAnswer { StartJobList, Single, Cancel };
// Its box modes: a single transfer (OK / Cancel) and the main window with a job list.
constexpr int kBoxModeSingle = 0;
constexpr int kBoxModeJobList = 2;

// The run confirmation dialog, as the controller uses it. It shows the three message lines,
// and the error limit and the stop flag of the settings, which it may edit.
class RunConfirmDialog {
public:
    virtual ~RunConfirmDialog() = default;
    virtual ConfirmAnswer Ask(const std::array<std::string, 3>& lines, int boxMode) = 0;
};

// The job list window, as the controller uses it.
class JobListWindow {
public:
    virtual ~JobListWindow() = default;
    // Shows the window, not modal.
    virtual void ShowWindow() = 0;
    // Adds a job; false when a row for this table (compared without regard to letter case)
    // exists already, in which case nothing is added.
    virtual bool AddJob(const std::string& table, const std::string& csv) = 0;
    // Replaces the CSV file of the row of this table.
    virtual void ReplaceJob(const std::string& table, const std::string& csv) = 0;
    // Makes the window's rows the job list of the run context.
    virtual void SyncJobList() = 0;
};

// The table chooser, as the controller uses it.
class TableChooser {
public:
    virtual ~TableChooser() = default;
    // Shows the chooser modally with presetName; true on OK, after which the run context's
    // TableName holds the chosen table.
    virtual bool Choose(const std::string& presetName) = 0;
};

// The dialog that proposes a table made from the CSV file, as the controller uses it: it runs
// propose (which reads the whole file, reporting progress, and stops when the progress call
// returns false) while it shows the progress with a cancel button, then shows the statement
// for editing. The statement to run; none when the user cancelled either step, or when the
// reading failed (failure then holds why).
class CreateTableDialog {
public:
    virtual ~CreateTableDialog() = default;
    virtual std::optional<std::string> Ask(const std::function<TableProposal(const ScanProgress&)>& propose,
                                           std::string& failure) = 0;
};

// The question the window asks when an import names a table that does not exist.
std::string CreateTableQuestion(const std::string& table);

class MainController {
public:
    // sequence owns the transfer thread and the connection rules; host receives the messages;
    // settings and context are the program's one instance of each.
    MainController(Tdm& dm, Host& host, StartSequence& sequence, MainView& view, TransferSettings& settings,
                   RunContext& context);
    ~MainController();
    MainController(const MainController&) = delete;
    MainController& operator=(const MainController&) = delete;

    // The other windows; each may be absent (null).
    void SetJobListWindow(JobListWindow* window) { jobs_ = window; }
    void SetConfirmDialog(RunConfirmDialog* dialog) { confirm_ = dialog; }
    void SetTableChooser(TableChooser* chooser) { chooser_ = chooser; }
    void SetCreateTableDialog(CreateTableDialog* dialog) { createTable_ = dialog; }

    GridModel& Grid() { return grid_; }
    const GridModel& Grid() const { return grid_; }

    // Copies the settings into the controls and applies the enabling rules.
    void ShowSettings();
    OptionEnabling Enabling() const;

    // ---- Option controls: each writes its setting ----
    void ModeClicked(int index);
    void SeparatorChanged(const std::string& text);
    void DelimiterChanged(const std::string& text);
    void HeadClicked(bool checked);
    void TruncateClicked(bool checked);
    // The load mode box (INSERT, UPSERT, UPDATE) next to the truncate box.
    void LoadModeClicked(int index);
    void AutoCommitClicked(bool checked);
    void CommitCountChanged(int value);
    void ReplaceCRClicked(bool checked);
    void ReplaceCRStringChanged(const std::string& text);
    void CRTypeClicked(int index);
    // The encoding list: index in FileEncoding's order; the CSV file is previewed again.
    void EncodingChosen(int index);
    // The arrange-by-header action (button and grid header menu): in Import mode with a
    // header line, each field gets the table column of its name; the status panel says how
    // many matched and names the first that did not.
    void ArrangeByHeaderClicked();
    // Execute for an import into a table that does not exist, with a CSV file: asks whether
    // to make the table from the file; yes runs the dialog, creates the table and previews
    // it. True when the user took the offer (the run does not start then).
    bool OfferCreateTable();
    // Enter in the separator or delimiter field: previews the CSV file again.
    void SeparatorEnter();

    // ---- Date and timestamp format fields ----
    // Leaving: the format becomes the setting if the client library accepts it, otherwise the
    // field shows the setting again (no message). Returns whether it was accepted.
    bool DateFmtLeft(const std::string& text);
    bool TimestampFmtLeft(const std::string& text);
    // Enter: in Export mode the leaving step, then the table preview again.
    void DateFmtEnter(const std::string& text);
    void TimestampFmtEnter(const std::string& text);

    // ---- Table field ----
    void TableEntered();
    void TableChanged(const std::string& text);
    void TableLeft();
    void TableEnter();
    void TableButtonClicked();

    // ---- CSV field ----
    void CsvEntered();
    void CsvChanged(const std::string& text);
    void CsvLeft();
    void CsvEnter();
    void CsvButtonClicked();
    // The initial folder of both file dialogs.
    const std::string& DialogFolder() const { return dialogFolder_; }

    // ---- Buttons ----
    void Count();
    void JobAdd();
    void JobList();
    void ReConnect();
    void Execute();
    // The job list window's Execute, after its own confirmation.
    void StartJobListRun();

    // Esc: requests the cancel of a run when Esc may cancel. True when it did.
    bool EscPressed();
    // Files dropped on the window.
    void FilesDropped(const std::vector<std::string>& paths);
    // The close: false while a run is in progress (the run is asked to cancel instead).
    bool CloseQuery();

    // ---- During a run ----
    // A job of a job-list run is about to run: the fields, the grid and the status show it.
    void ShowJobPreview(const JobPreview& preview);
    // The status bar's counts and the progress bar, from the transfer thread's progress sink.
    // The window calls it every kProgressInterval while a run goes on (and before a box is
    // shown during one, so that the box stands over the counts of its moment).
    void RefreshProgress();

    // The user dragged grid column from to position to.
    void ColumnMoved(int from, int to);

    // The end of a run (on the user interface thread, when the controls are enabled again):
    // the counts and the progress bar show where the run ended.
    void RunEnded();
    // The progress as it stands.
    ProgressView Progress() const;
    static constexpr std::chrono::milliseconds kProgressInterval{200};
    // A run was started and has not been shown ended yet.
    bool RunShown() const { return runShown_; }

    bool Running() const;

private:
    PreviewTarget Target();
    void SetTableField(const std::string& text);
    void SetCsvField(const std::string& text);
    // The CSV field's file as the run will use it (a bare name completed with the program's
    // folder) and, in Import mode, previewed again: the check and the plan see the file as it
    // is now.
    void RefreshCsvForRun();
    bool ConfirmSingleRun();
    void StartRun(bool jobListRun);
    bool FormatLeft(const std::string& text, bool timestamp, bool refreshPreview);
    // An error file (.err) to import has no header line: the header option goes off, with a word.
    void UntickHeaderForErrorFile(const std::string& path);
    void FormatEnter(const std::string& text, bool timestamp);

    Tdm& dm_;
    Host& host_;
    StartSequence& sequence_;
    MainView& view_;
    TransferSettings& settings_;
    RunContext& context_;
    GridModel grid_;
    JobListWindow* jobs_ = nullptr;
    RunConfirmDialog* confirm_ = nullptr;
    CreateTableDialog* createTable_ = nullptr;
    TableChooser* chooser_ = nullptr;
    std::string tableTextOnEnter_;
    std::string csvTextOnEnter_;
    std::string dialogFolder_;
    int shownCommitCount_ = kMinCommitCount;
    // The run in progress, as the bar shows it.
    std::chrono::steady_clock::time_point runStart_{};
    bool runShown_ = false;
    std::string countedTable_;  // the table of the last Count, and its rows
    long long countedRows_ = 0;
};

}  // namespace tabrook
