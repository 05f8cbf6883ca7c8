#include "app/MainController.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/DefaultFileFolder.h"
#include "app/GridHeaderArrangement.h"
#include "transfer/BusyPointer.h"
#include "transfer/ClientCharset.h"
#include "transfer/LoadMode.h"
#include "transfer/PreRunChecks.h"
#include "transfer/RunContext.h"
#include "transfer/SqlName.h"
#include "transfer/TableFromFile.h"
#include "transfer/TOracle.h"
#include "transfer/Tdm.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

namespace {

constexpr int kImport = 0;
constexpr int kExport = 1;

std::string LowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::string FolderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().string();
}

}  // namespace

OptionEnabling EnablingOf(const TransferSettings& settings) {
    OptionEnabling enabling;
    const bool importMode = settings.Mode != kExport;
    enabling.Truncate = importMode;
    enabling.LoadMode = importMode;
    enabling.AutoCommit = importMode;
    enabling.CommitCount = importMode && settings.AutoCommit;
    enabling.ReplaceText = settings.ReplaceCR;
    enabling.CRType = settings.ReplaceCR;
    return enabling;
}

void ApplyShownModeRule(TransferSettings& settings) {
    if (settings.Mode != kImport && settings.Mode != kExport) settings.Mode = kImport;
}

std::string ProposedCsvName(const std::string& tableName) {
    std::string name = tableName;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        name += ".csv";
    else
        name = name.substr(0, dot) + ".csv";
    for (char& c : name) {
        if (std::string_view("/:*?'<>|").find(c) != std::string_view::npos) c = ' ';
    }
    return name;
}

std::optional<std::string> FirstCsvFile(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (path.size() > kMaxDroppedPath) continue;
        if (LowerExtension(path) == ".csv") return path;
    }
    return std::nullopt;
}

std::string CreateTableQuestion(const std::string& table) {
    return "テーブル [" + table + "] がありません。\nCSVファイルから作成しますか？";
}

std::string CountMessage(const std::string& table, const std::string& count) {
    return "テーブル [" + table + "] には\n" + count + "件\n" + "のデータがあります。";
}

MainController::MainController(Tdm& dm, Host& host, StartSequence& sequence, MainView& view, TransferSettings& settings,
                               RunContext& context)
    : dm_(dm),
      host_(host),
      sequence_(sequence),
      view_(view),
      settings_(settings),
      context_(context),
      dialogFolder_(sequence.OpenFolder()) {
    sequence_.SetJobPreviewSink([this](const JobPreview& preview) { ShowJobPreview(preview); });
}

MainController::~MainController() {
    sequence_.SetJobPreviewSink(nullptr);
}

PreviewTarget MainController::Target() {
    // What the session hands over (column names, values, file bytes) is in its character set.
    grid_.SetTextCharset(ClientCharsetName(dm_.OCI));
    return PreviewTarget{grid_, dm_, host_, settings_, context_};
}

bool MainController::Running() const {
    return context_.Running;
}

// ---- Settings ----

void MainController::ShowSettings() {
    ApplyShownModeRule(settings_);
    // The field shows the interval brought into its range; when that changes what it shows,
    // its change stores the shown value.
    const int shown = std::clamp(settings_.AutoCmtCnt, kMinCommitCount, kMaxCommitCount);
    if (shown != shownCommitCount_) {
        shownCommitCount_ = shown;
        settings_.AutoCmtCnt = shown;
    }
    if (dialogFolder_.empty()) dialogFolder_ = sequence_.OpenFolder();
    view_.ShowOptions(settings_, shownCommitCount_);
    view_.SetOptionEnabling(Enabling());
}

OptionEnabling MainController::Enabling() const {
    return EnablingOf(settings_);
}

void MainController::ModeClicked(int index) {
    settings_.Mode = index;
    PreviewTarget target = Target();
    ClearCsvPreview(target);
    TableEnter();
    CsvEnter();
    ShowSettings();
}

void MainController::SeparatorChanged(const std::string& text) {
    settings_.Separator = text;
}
void MainController::DelimiterChanged(const std::string& text) {
    settings_.Delimiter = text;
}
void MainController::HeadClicked(bool checked) {
    settings_.WithHeader = checked;
    // The preview shows the file as the run will read it: with or without its first line.
    if (settings_.Mode == kImport && !view_.CsvText().empty()) {
        PreviewTarget target = Target();
        ClearCsvPreview(target);
        PreviewCsv(target, view_.CsvText());
    }
}
void MainController::EncodingChosen(int index) {
    settings_.Encoding = static_cast<FileEncoding>(std::clamp(index, 0, static_cast<int>(FileEncoding::Utf16Le)));
    if (settings_.Mode == kImport && !view_.CsvText().empty()) {
        PreviewTarget target = Target();
        ClearCsvPreview(target);
        PreviewCsv(target, view_.CsvText());
    }
}

void MainController::ArrangeByHeaderClicked() {
    if (settings_.Mode != kImport || !settings_.WithHeader) {
        host_.SetStatusMessage("「ヘッダー行あり」のインポートで使えます。");
        return;
    }
    if (!context_.TableInfoOk || context_.CsvHeader.empty()) {
        host_.SetStatusMessage("テーブルとヘッダー行のあるCSVファイルを指定してください。");
        return;
    }
    const HeaderArrangement arranged = ArrangeGridByHeader(grid_, context_.CsvHeader, FirstByte(settings_.Delimiter));
    host_.SetStatusMessage(arranged.Matched == 0 ? std::string(kHeaderMatchesNoColumn) : ArrangementSummary(arranged));
}

bool MainController::OfferCreateTable() {
    if (settings_.Mode != kImport || createTable_ == nullptr || context_.TableInfoOk || !context_.CsvHasData ||
        context_.TableFailure.find("ORA-00942") == std::string::npos) {
        return false;
    }
    const DoubleByteCode code = ClientDoubleByteCode(dm_.OCI);
    const std::string table = TableIdentifier(view_.TableText(), code);
    if (!IsQuotableName(table) || host_.MessageBox(CreateTableQuestion(table), MsgIcon::Question, MsgButtons::YesNo) != kMsgYes)
        return false;
    const std::string csv = context_.CsvFile;
    const std::string charset = ClientCharsetName(dm_.OCI);
    std::string failure;
    const std::optional<std::string> statement = createTable_->Ask(
        [&](const ScanProgress& progress) { return ProposeTable(csv, table, settings_, charset, code, progress); },
        failure);
    if (statement) failure = CreateTable(dm_, *statement);
    if (!failure.empty()) {
        host_.MessageBox(failure, MsgIcon::Error, MsgButtons::Ok);
        return true;
    }
    if (!statement) return true;
    TableEnter();
    if (context_.TableInfoOk) host_.SetStatusMessage(kTableCreatedNote);
    return true;
}

void MainController::TruncateClicked(bool checked) {
    settings_.Truncate = checked;
}

void MainController::LoadModeClicked(int index) {
    settings_.LoadMode = SettledLoadMode(index);
}

void MainController::AutoCommitClicked(bool checked) {
    settings_.AutoCommit = checked;
    view_.SetOptionEnabling(Enabling());
}

void MainController::CommitCountChanged(int value) {
    shownCommitCount_ = std::clamp(value, kMinCommitCount, kMaxCommitCount);
    settings_.AutoCmtCnt = shownCommitCount_;
}

void MainController::ReplaceCRClicked(bool checked) {
    settings_.ReplaceCR = checked;
    view_.SetOptionEnabling(Enabling());
}

void MainController::ReplaceCRStringChanged(const std::string& text) {
    settings_.ReplaceCRString = text;
}

void MainController::CRTypeClicked(int index) {
    settings_.CRType = index;
}

void MainController::SeparatorEnter() {
    CsvEnter();
}

// ---- Format fields ----

bool MainController::FormatLeft(const std::string& text, bool timestamp, bool refreshPreview) {
    // The check uses the session the transfer thread is using: not during a run (the field
    // keeps its text and is checked when it is left after the run).
    if (Running()) return false;
    const bool accepted = timestamp ? dm_.CheckTimestampFormat(text) : dm_.CheckDateFormat(text);
    std::string& setting = timestamp ? settings_.TimestampFmt : settings_.DateFmt;
    if (accepted) {
        const bool changed = setting != text;
        setting = text;
        // An export's preview shows the values in the new format, in the grid's column order.
        if (changed && refreshPreview && settings_.Mode == kExport && context_.TableInfoOk) {
            PreviewTarget target = Target();
            PreviewTableData(target, context_.TableName);
        }
    } else if (timestamp) {
        view_.SetTimestampFmtText(setting);
    } else {
        view_.SetDateFmtText(setting);
    }
    return accepted;
}

void MainController::FormatEnter(const std::string& text, bool timestamp) {
    if (settings_.Mode != kExport) return;
    FormatLeft(text, timestamp, false);
    PreviewTarget target = Target();
    PreviewTable(target, view_.TableText());
}

bool MainController::DateFmtLeft(const std::string& text) {
    return FormatLeft(text, false, true);
}
bool MainController::TimestampFmtLeft(const std::string& text) {
    return FormatLeft(text, true, true);
}
void MainController::DateFmtEnter(const std::string& text) {
    FormatEnter(text, false);
}
void MainController::TimestampFmtEnter(const std::string& text) {
    FormatEnter(text, true);
}

// ---- Table field ----

void MainController::SetTableField(const std::string& text) {
    view_.SetTableText(text);
    TableChanged(text);
}

void MainController::TableEntered() {
    tableTextOnEnter_ = view_.TableText();
}

void MainController::TableChanged(const std::string&) {
    if (!context_.TableInfoOk) return;
    PreviewTarget target = Target();
    if (settings_.Mode == kExport)
        ClearPreview(target);
    else
        ClearTablePreview(target);
}

void MainController::TableLeft() {
    // A run disables the fields, which takes the focus away from them: no preview then, the
    // cursor belongs to the transfer thread.
    if (Running()) return;
    const std::string text = view_.TableText();
    if (text != tableTextOnEnter_ || !context_.TableInfoOk) {
        PreviewTarget target = Target();
        PreviewTable(target, text);
        tableTextOnEnter_ = text;
    }
}

void MainController::TableEnter() {
    const std::string text = view_.TableText();
    PreviewTarget target = Target();
    PreviewTable(target, text);
    tableTextOnEnter_ = text;
}

void MainController::TableButtonClicked() {
    if (chooser_ == nullptr) return;
    if (!chooser_->Choose(view_.TableText())) return;
    const std::string chosen = context_.TableName;
    SetTableField(chosen);
    PreviewTarget target = Target();
    PreviewTable(target, chosen);
}

// ---- CSV field ----

void MainController::SetCsvField(const std::string& text) {
    view_.SetCsvText(text);
    CsvChanged(text);
}

void MainController::CsvEntered() {
    csvTextOnEnter_ = view_.CsvText();
}

void MainController::CsvChanged(const std::string& text) {
    if (context_.CsvHasData && settings_.Mode == kImport) {
        PreviewTarget target = Target();
        ClearCsvPreview(target);
    }
    context_.CsvFile = text;
}

void MainController::UntickHeaderForErrorFile(const std::string& path) {
    if (settings_.Mode != kImport || !settings_.WithHeader || LowerExtension(path) != ".err") return;
    settings_.WithHeader = false;
    ShowSettings();
    host_.MessageBox(kErrorFileHasNoHeader, MsgIcon::Information, MsgButtons::Ok);
}

void MainController::CsvLeft() {
    if (Running()) return;
    const std::string text = view_.CsvText();
    if (text == csvTextOnEnter_) return;
    UntickHeaderForErrorFile(text);
    if (settings_.Mode == kImport) {
        PreviewTarget target = Target();
        PreviewCsv(target, text);
    }
    csvTextOnEnter_ = text;
}

void MainController::CsvEnter() {
    const std::string text = view_.CsvText();
    UntickHeaderForErrorFile(text);
    if (settings_.Mode == kImport) {
        PreviewTarget target = Target();
        ClearCsvPreview(target);
        PreviewCsv(target, text);
    }
    csvTextOnEnter_ = text;
    context_.CsvFile = text;
}

void MainController::CsvButtonClicked() {
    const bool save = settings_.Mode == kExport;
    const std::string proposed = context_.TableName.empty() ? std::string() : ProposedCsvName(context_.TableName);
    std::optional<std::string> chosen = view_.AskCsvFile(save, proposed, dialogFolder_);
    if (!chosen) return;
    // Both dialogs start in the folder of the file chosen last.
    dialogFolder_ = FolderOf(*chosen);
    if (save) {
        SetCsvField(*chosen);
        context_.CsvFile = *chosen;
        return;
    }
    PreviewTarget target = Target();
    ClearCsvPreview(target);
    SetCsvField(*chosen);
    UntickHeaderForErrorFile(*chosen);
    PreviewCsv(target, *chosen);
}

// ---- Buttons ----

void MainController::Count() {
    if (!context_.TableInfoOk) return;
    TOCI8Cur& cur = dm_.OCIcur;
    cur.SetSQL("select count(*) from " + Quoted(context_.TableName));
    cur.Binds.clear();
    if (!cur.Execute(0)) {
        host_.MessageBox(cur.ErrMsg(), MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    bool fetched = false;
    std::string count;
    {
        BusyPointer busy(host_, Host::BusyPointer::SqlWait);
        fetched = cur.Fetch() && !cur.Values.empty();
        if (fetched) count = cur.Values[0];
    }
    if (fetched) {
        countedTable_ = context_.TableName;
        try {
            countedRows_ = std::stoll(count);
        } catch (...) {
            countedRows_ = 0;
        }
        host_.MessageBox(CountMessage(view_.TableText(), count), MsgIcon::Information, MsgButtons::Ok);
    } else
        host_.MessageBox(kCountFailed, MsgIcon::Warning, MsgButtons::Ok);
}

void MainController::JobAdd() {
    const std::string table = view_.TableText();
    const std::string csv = view_.CsvText();
    if (table.empty()) {
        host_.MessageBox(kEnterTableName, MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    if (csv.empty()) {
        host_.MessageBox(kEnterCsvName, MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    if (jobs_ == nullptr) return;
    jobs_->ShowWindow();
    if (jobs_->AddJob(table, csv)) return;
    if (host_.MessageBox(kReplaceJobQuestion, MsgIcon::Warning, MsgButtons::YesNo) == kMsgYes)
        jobs_->ReplaceJob(table, csv);
}

void MainController::JobList() {
    if (jobs_ != nullptr) jobs_->ShowWindow();
}

void MainController::ReConnect() {
    TOCI8Ctrl& oci = dm_.OCI;
    const std::string user = oci.User;
    const std::string password = oci.Password;
    const std::string connStr = oci.ConnStr;
    oci.Password.clear();
    if (oci.Login() || sequence_.OfferDatabaseCreation()) {
        sequence_.ShowConnection();
        sequence_.StoreConnection();
        PreviewTarget target = Target();
        ClearPreview(target);
        return;
    }
    oci.User = user;
    oci.Password = password;
    oci.ConnStr = connStr;
    sequence_.ShowConnection();
}

void MainController::StartRun(bool jobListRun) {
    runStart_ = std::chrono::steady_clock::now();
    runShown_ = true;
    TOracle& thread = sequence_.Thread();
    if (!jobListRun) {
        const bool exportMode = settings_.Mode == kExport;
        const long long expectedRows = exportMode && countedTable_ == context_.TableName ? countedRows_ : 0;
        thread.SetSinglePlan(BuildTransferPlan(ColumnMapping(grid_), settings_, context_), expectedRows);
    }
    // The counts start from zero at once; the thread is parked, so the sink is ours to reset.
    TransferProgress& progress = thread.ProgressSink();
    progress.StartRun(settings_.Mode == kExport, 0);
    if (!jobListRun) {
        progress.StartJob(0, ImportFileBytes(thread.SinglePlan()), thread.SingleExpectedRows());
    }
    // The bar starts from the run's beginning, before the thread can have moved it on.
    view_.ShowCounts(0, 0);
    view_.ShowLoadSplit(0, 0, settings_.Mode != kExport && SettledLoadMode(settings_.LoadMode) != kLoadInsert);
    view_.ShowProgress(Progress());
    thread.JobListRun = jobListRun;
    thread.Interactive = true;
    thread.Start();
}

void MainController::RefreshCsvForRun() {
    std::string text = view_.CsvText();
    // A bare file name is taken from the default folder, as the field's preview does.
    const std::filesystem::path path(text);
    if (path.has_filename() && !path.has_parent_path()) text = (DefaultFileFolder() / path).string();
    view_.SetCsvText(text);
    csvTextOnEnter_ = text;
    context_.CsvFile = text;
    PreviewTarget target = Target();
    PreviewCsv(target, text);
}

bool MainController::ConfirmSingleRun() {
    std::string message;
    const int code = settings_.Mode == kExport ? CheckExport(message, settings_, context_)
                                               : CheckImport(message, settings_, context_);
    if (code != 0) {
        host_.MessageBox(message, MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    if (confirm_ == nullptr) return true;
    std::array<std::string, 3> lines;
    std::size_t start = 0;
    for (std::string& line : lines) {
        if (start > message.size()) break;
        std::size_t end = message.find('\n', start);
        if (end == std::string::npos) end = message.size();
        line = message.substr(start, end - start);
        start = end + 1;
    }
    return confirm_->Ask(lines, kBoxModeSingle) != ConfirmAnswer::Cancel;
}

void MainController::Execute() {
    if (Running()) return;
    if (jobs_ != nullptr) jobs_->SyncJobList();
    ConfirmAnswer answer = ConfirmAnswer::Single;
    if (context_.JobList.Count() > 0 && confirm_ != nullptr) {
        const bool exportMode = settings_.Mode == kExport;
        std::array<std::string, 3> lines = {kJobListLine1, exportMode ? kJobListExportLine2 : kJobListImportLine2,
                                            !exportMode && settings_.Truncate ? kJobListTruncateLine3 : ""};
        answer = confirm_->Ask(lines, kBoxModeJobList);
    }
    view_.SetRunControlsEnabled(false);
    switch (answer) {
        case ConfirmAnswer::StartJobList:
            for (std::size_t i = 0; i < context_.JobList.Count(); ++i) context_.JobList[i].Selected = true;
            StartRun(true);
            return;
        case ConfirmAnswer::Single:
            RefreshCsvForRun();
            if (OfferCreateTable()) break;
            if (ConfirmSingleRun()) {
                StartRun(false);
                return;
            }
            break;
        case ConfirmAnswer::Cancel: break;
    }
    view_.SetRunControlsEnabled(true);
}

void MainController::StartJobListRun() {
    if (Running()) return;
    view_.SetRunControlsEnabled(false);
    if (jobs_ != nullptr) jobs_->SyncJobList();
    StartRun(true);
}

bool MainController::EscPressed() {
    if (!context_.EscCancel) return false;
    sequence_.Thread().CancelRequest = true;
    return true;
}

void MainController::FilesDropped(const std::vector<std::string>& paths) {
    view_.BringToFront();
    if (Running() || !dm_.OCI.Connected) return;
    std::optional<std::string> csv = FirstCsvFile(paths);
    if (!csv) return;
    SetCsvField(*csv);
    CsvEnter();
}

bool MainController::CloseQuery() {
    return sequence_.FormCloseQuery();
}

// ---- During a run ----

ProgressView MainController::Progress() const {
    const TransferProgress::Snapshot now = sequence_.Thread().ProgressSink().Read();
    ProgressInput input;
    input.ExportMode = now.ExportMode;
    input.FileBytes = now.FileBytes;
    input.BytesRead = now.BytesRead;
    input.CountedRows = now.ExpectedRows;
    input.RowsDone = now.Success;
    input.JobDone = now.JobDone;
    input.Running = now.Running;
    input.JobNumber = static_cast<std::size_t>(std::max(now.JobNumber, 0));
    input.JobTotal = static_cast<std::size_t>(std::max(now.JobTotal, 0));
    input.ElapsedSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - runStart_).count();
    return ComputeProgress(input);
}

void MainController::RefreshProgress() {
    if (!runShown_) return;
    const TransferProgress::Snapshot now = sequence_.Thread().ProgressSink().Read();
    // Before the run's first transfer starts the sink still holds the previous run's counts.
    if (now.Jobs == 0) return;
    view_.ShowCounts(static_cast<int>(now.Success), static_cast<int>(now.Errors));
    view_.ShowLoadSplit(now.Success - now.Updated, now.Updated,
                        !now.ExportMode && SettledLoadMode(settings_.LoadMode) != kLoadInsert);
    view_.ShowProgress(Progress());
}

void MainController::RunEnded() {
    if (!runShown_) return;
    RefreshProgress();
    runShown_ = false;
}

void MainController::ShowJobPreview(const JobPreview& preview) {
    view_.SetTableText(preview.TableText);
    tableTextOnEnter_ = preview.TableText;
    view_.SetCsvText(preview.CsvText);
    csvTextOnEnter_ = preview.CsvText;
    static_cast<TargetFacts&>(context_) = preview.Facts;
    grid_.Restore(preview.Grid);
    host_.SetStatusMessage(preview.Status);
}

void MainController::ColumnMoved(int from, int to) {
    grid_.ColumnMoved(from, to, settings_.Mode == kExport);
}

}  // namespace tabrook
