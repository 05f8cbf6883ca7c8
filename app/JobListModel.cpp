#include "app/JobListModel.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_set>

#include "transfer/ImportEngine.h"
#include "transfer/Job.h"
#include "transfer/JobListFile.h"
#include "transfer/RunContext.h"

namespace tabrook {

namespace {

constexpr char kFileCaption[] = "ファイル(&F)";
constexpr char kFolderCaption[] = "フォルダ(&F)";
constexpr char kCannotWrite[] = "ファイルを書き込めません。";

// Table names compare without regard to the case of ASCII letters, over the whole text.
bool SameTable(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
        return lower(x) == lower(y);
    });
}

bool IsSeparator(char c) {
    return c == '/' || c == static_cast<char>(std::filesystem::path::preferred_separator);
}

}  // namespace

std::string FolderOf(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsSeparator(path[i - 1])) return path.substr(0, i);
    }
    return {};
}

std::string WithTrailingSeparator(const std::string& folder) {
    if (folder.empty() || IsSeparator(folder.back())) return folder;
    return folder + static_cast<char>(std::filesystem::path::preferred_separator);
}

JobListModel::JobListModel(RunContext& context) : context_(context), fileMenuCaption_(kFileCaption) {}

bool JobListModel::Running() const {
    return context_.Running;
}

void JobListModel::Changed(std::size_t index) {
    if (observer_) observer_(index);
}

std::size_t JobListModel::Find(const std::string& table) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (SameTable(rows_[i].Table, table)) return i;
    }
    return kAllRows;
}

bool JobListModel::AddJob(const std::string& table, const std::string& csv) {
    if (Running() || Find(table) != kAllRows) return false;
    rows_.push_back({table, csv, "", "", "", "", false});
    Changed();
    SyncJobList();
    return true;
}

std::size_t JobListModel::AddJobs(const std::vector<std::pair<std::string, std::string>>& jobs) {
    if (Running()) return 0;
    const auto folded = [](std::string name) {
        for (char& c : name) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
        return name;
    };
    std::unordered_set<std::string> present;
    for (const JobRow& row : rows_) present.insert(folded(row.Table));
    const std::size_t before = rows_.size();
    for (const auto& [table, csv] : jobs) {
        if (present.insert(folded(table)).second) rows_.push_back({table, csv, "", "", "", "", false});
    }
    const std::size_t added = rows_.size() - before;
    if (added > 0) {
        Changed();
        SyncJobList();
    }
    return added;
}

bool JobListModel::ReplaceJob(const std::string& table, const std::string& csv) {
    if (Running()) return false;
    const std::size_t at = Find(table);
    if (at == kAllRows) return false;
    JobRow& row = rows_[at];
    const bool selected = row.Selected;
    row = {table, csv, "", "", "", "", selected};
    Changed();
    SyncJobList();
    return true;
}

void JobListModel::SyncJobList() {
    JobList& jobs = context_.JobList;
    jobs.Clear();
    for (const JobRow& row : rows_) {
        Job& job = jobs.Add(row.Table, row.Csv);
        job.Status = row.Status;
        job.RecordText = row.RecordText;
        job.SuccessText = row.SuccessText;
        job.ErrorText = row.ErrorText;
        job.Selected = row.Selected;
        job.Result = row.Result;
    }
}

void JobListModel::ShowJobList() {
    rows_.clear();
    const JobList& jobs = context_.JobList;
    for (std::size_t i = 0; i < jobs.Count(); ++i) {
        const Job& job = jobs[i];
        rows_.push_back({job.Table, job.Csv, job.Status, job.RecordText, job.SuccessText, job.ErrorText, false,
                         job.Result});
    }
    Changed();
}

void JobListModel::Select(std::size_t index, bool selected) {
    if (index < rows_.size()) rows_[index].Selected = selected;
}

void JobListModel::SelectOnly(std::size_t index) {
    for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i].Selected = i == index;
}

void JobListModel::SelectAll() {
    for (JobRow& row : rows_) row.Selected = true;
}

std::size_t JobListModel::SelectedCount() const {
    return static_cast<std::size_t>(
        std::count_if(rows_.begin(), rows_.end(), [](const JobRow& r) { return r.Selected; }));
}

std::size_t JobListModel::FirstSelected() const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].Selected) return i;
    }
    return kAllRows;
}

bool JobListModel::SelectedBlock(std::size_t& first, std::size_t& last) const {
    first = FirstSelected();
    if (first == kAllRows) return false;
    last = first;
    while (last + 1 < rows_.size() && rows_[last + 1].Selected) ++last;
    for (std::size_t i = last + 1; i < rows_.size(); ++i) {
        if (rows_[i].Selected) return false;  // a gap: not one block
    }
    return true;
}

JobButtons JobListModel::Buttons(bool connected) const {
    JobButtons buttons;
    if (Running()) return buttons;
    buttons.Load = buttons.Save = true;
    const bool anySelected = SelectedCount() > 0;
    buttons.Delete = anySelected;
    buttons.Execute = anySelected && connected;
    std::size_t first = 0;
    std::size_t last = 0;
    if (anySelected && SelectedBlock(first, last)) {
        buttons.Up = first > 0;
        buttons.Down = last + 1 < rows_.size();
    }
    return buttons;
}

bool JobListModel::MoveUp() {
    std::size_t first = 0;
    std::size_t last = 0;
    if (Running() || !SelectedBlock(first, last) || first == 0) return false;
    // The row above the block goes just below it.
    std::rotate(rows_.begin() + static_cast<std::ptrdiff_t>(first - 1),
                rows_.begin() + static_cast<std::ptrdiff_t>(first),
                rows_.begin() + static_cast<std::ptrdiff_t>(last + 1));
    Changed();
    return true;
}

bool JobListModel::MoveDown() {
    std::size_t first = 0;
    std::size_t last = 0;
    if (Running() || !SelectedBlock(first, last) || last + 1 >= rows_.size()) return false;
    // The row below the block goes just above it.
    std::rotate(rows_.begin() + static_cast<std::ptrdiff_t>(first),
                rows_.begin() + static_cast<std::ptrdiff_t>(last + 1),
                rows_.begin() + static_cast<std::ptrdiff_t>(last + 2));
    Changed();
    return true;
}

bool JobListModel::DeleteSelected() {
    if (Running() || SelectedCount() == 0) return false;
    std::erase_if(rows_, [](const JobRow& row) { return row.Selected; });
    Changed();
    return true;
}

const std::string& JobListModel::FileMenuCaption() {
    const std::size_t selected = SelectedCount();
    if (selected == 1) fileMenuCaption_ = kFileCaption;
    if (selected >= 2) fileMenuCaption_ = kFolderCaption;
    return fileMenuCaption_;
}

bool JobListModel::SetFile(const std::string& path) {
    if (Running() || SelectedCount() != 1) return false;
    rows_[FirstSelected()].Csv = path;
    Changed();
    return true;
}

bool JobListModel::SetFolder(const std::string& folder) {
    if (Running() || SelectedCount() < 2) return false;
    const std::string prefix = WithTrailingSeparator(folder);
    for (JobRow& row : rows_) {
        if (!row.Selected) continue;
        row.Csv = prefix + row.Csv.substr(FolderOf(row.Csv).size());
    }
    Changed();
    return true;
}

std::vector<std::string> JobListModel::ExistingErrorFiles() const {
    std::vector<std::string> files;
    const std::size_t first = FirstSelected();
    if (first == kAllRows) return files;
    for (const std::string& path : {ErrorRecordPath(rows_[first].Csv), ErrorMessagePath(rows_[first].Csv)}) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec)) files.push_back(path);
    }
    return files;
}

bool JobListModel::Save(const std::string& path, int mode, std::string* message) const {
    std::vector<JobListRow> rows;
    rows.reserve(rows_.size());
    for (const JobRow& row : rows_) rows.push_back({row.Table, row.Csv});
    if (WriteJobList(path, mode, rows)) return true;
    if (message) *message = kCannotWrite;
    return false;
}

bool JobListModel::Load(const std::string& path, Host& host, int* listMode) {
    if (Running()) return false;
    rows_.clear();
    Changed();
    if (!ReadJobList(path, context_, host, listMode)) return false;
    ShowJobList();
    return true;
}

std::string JobListModel::ModeSwitchQuestion(int listMode, int mode) {
    if (listMode != 0 && listMode != 1) return {};
    if ((mode == 1 ? 1 : 0) == listMode) return {};
    const char* name = listMode == 1 ? "エクスポート" : "インポート";
    return std::string("このジョブリストは") + name + "用に保存されています。\n" + name + "モードに切り替えますか？";
}

void JobListModel::ShowJobRow(std::size_t index, const Job& job) {
    if (rows_.size() != context_.JobList.Count() || index >= rows_.size()) return;
    JobRow& row = rows_[index];
    row.Status = job.Status;
    row.RecordText = job.RecordText;
    row.SuccessText = job.SuccessText;
    row.ErrorText = job.ErrorText;
    row.Result = job.Result;
    Changed(index);
}

}  // namespace tabrook
