#pragma once
// The job list window's rows and rules, without widgets. While the user edits the list the
// rows are the master copy; SyncJobList rebuilds the run context's JobList from them (after
// every add or replace, before every run), ShowJobList rebuilds them from JobList. While a
// transfer runs (RunContext::Running) every command does nothing.
//
// A view shows Rows() and the selection, calls the commands, and repaints when an observer is
// told of a change.

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tabrook {

class Host;
struct Job;
struct RunContext;

// One row of the list: the job's table and CSV file, and the outcome of its last run.
struct JobRow {
    std::string Table;
    std::string Csv;
    std::string Status;
    std::string RecordText;
    std::string SuccessText;
    std::string ErrorText;
    bool Selected = false;
    // The result of the job's last transfer: 0 ended well, -1 cancelled, else failed.
    int Result = 0;

    bool Failed() const { return Result != 0 && Result != -1; }
    bool operator==(const JobRow&) const = default;
};

// Which of the window's buttons may be pressed.
struct JobButtons {
    bool Load = false;
    bool Save = false;
    bool Delete = false;
    bool Execute = false;
    bool Up = false;
    bool Down = false;

    bool operator==(const JobButtons&) const = default;
};

class JobListModel {
public:
    // context holds the JobList the rows are synchronized with and the Running flag.
    explicit JobListModel(RunContext& context);

    const std::vector<JobRow>& Rows() const { return rows_; }
    std::size_t Count() const { return rows_.size(); }
    bool Running() const;

    // Observers: told after the rows changed (a whole-list change: index npos) or after one
    // row's status and counts changed (index of that row).
    static constexpr std::size_t kAllRows = static_cast<std::size_t>(-1);
    using Observer = std::function<void(std::size_t index)>;
    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    // Appends a row unless a row for the table exists (compared without regard to letter case)
    // or a transfer runs; then synchronizes JobList. True when a row was added.
    bool AddJob(const std::string& table, const std::string& csv);
    // AddJob for many (table, CSV file) pairs in one step: one change notice and one
    // synchronization for the whole batch, and a lookup that stays linear in the list's size.
    // Returns the number of rows added.
    std::size_t AddJobs(const std::vector<std::pair<std::string, std::string>>& jobs);
    // Renames the row of the table (case-insensitive match) to table as given, sets its CSV file
    // and empties its status and counts; then synchronizes. True when a row was changed.
    bool ReplaceJob(const std::string& table, const std::string& csv);
    // JobList := the rows, top to bottom; a job is Selected when its row is.
    void SyncJobList();
    // The rows := the jobs of JobList, none selected.
    void ShowJobList();

    // Selection.
    void Select(std::size_t index, bool selected);
    void SelectOnly(std::size_t index);
    void SelectAll();
    std::size_t SelectedCount() const;
    // The first selected row, or kAllRows when none is.
    std::size_t FirstSelected() const;

    // The buttons' states: nothing but Close while running; Execute needs a logon.
    JobButtons Buttons(bool connected) const;

    // Moves the selected block up or down by one row; the block stays selected. False (and
    // nothing changes) when the move is not possible or a transfer runs.
    bool MoveUp();
    bool MoveDown();
    // Removes the selected rows. False while running.
    bool DeleteSelected();

    // The caption of the File/Folder menu item for the current selection: "ファイル(&F)" for one
    // row, "フォルダ(&F)" for several; with none the last caption stays.
    const std::string& FileMenuCaption();
    // The one selected row's CSV file := path. False unless exactly one row is selected.
    bool SetFile(const std::string& path);
    // Every selected row's CSV file := folder + the file name part of its own CSV file.
    // False unless two or more rows are selected.
    bool SetFolder(const std::string& folder);

    // The error-record and error-message files of the first selected row's CSV file that
    // exist, in that order (the files the import writes beside it).
    std::vector<std::string> ExistingErrorFiles() const;

    // The list file's rows written with the mode on line 1. False with "ファイルを書き込めません。"
    // in *message when the file cannot be written; nothing changes.
    bool Save(const std::string& path, int mode, std::string* message) const;
    // The rows := the jobs of the list file (reported through host when unreadable, in which
    // case the rows stay empty). False when it could not be read or a transfer runs.
    bool Load(const std::string& path, Host& host, int* listMode = nullptr);
    // The question to ask when a list saved in listMode (its mode line: 0 Import, 1 Export,
    // -1 neither) was loaded while the window is in mode: whether to switch to the list's
    // mode. Empty when they agree or the list names no mode.
    static std::string ModeSwitchQuestion(int listMode, int mode);

    // The transfer thread's progress for job index (on the user interface thread): the row
    // shows the job's status and counts when the rows match the job list one to one.
    void ShowJobRow(std::size_t index, const Job& job);

private:
    std::size_t Find(const std::string& table) const;
    // The selected rows as one block [first, last]; false when none or not adjacent.
    bool SelectedBlock(std::size_t& first, std::size_t& last) const;
    void Changed(std::size_t index = kAllRows);

    RunContext& context_;
    std::vector<JobRow> rows_;
    std::string fileMenuCaption_;
    Observer observer_;
};

// The folder part of a path with its trailing separator ("" when it has none).
std::string FolderOf(const std::string& path);
// folder with a trailing separator added when it is missing (an empty folder stays empty).
std::string WithTrailingSeparator(const std::string& folder);

}  // namespace tabrook
