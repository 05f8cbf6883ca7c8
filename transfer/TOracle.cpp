#include "transfer/TOracle.h"

#include "transfer/ExportEngine.h"
#include "transfer/Host.h"
#include "transfer/ImportEngine.h"
#include "transfer/JobPlanner.h"
#include "transfer/LoadMode.h"
#include "transfer/PreRunChecks.h"
#include "transfer/RunContext.h"
#include "transfer/RunLog.h"
#include "transfer/RunSummary.h"
#include "transfer/SettingsLine.h"
#include "transfer/Tdm.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

const char* const kCancelledMessage = "キャンセルしました。";

const char* CompletionMessage(bool exportMode) {
    return exportMode ? "エクスポートを完了しました。" : "インポートを完了しました。";
}

namespace {

constexpr int kCancelledResult = -1;
constexpr char kFollowingJobsCancelled[] = "後続のジョブはキャンセルしました。";

// The end of a job-list run in which jobs failed.
std::string FailedJobsMessage(bool exportMode, int failed) {
    return std::string(exportMode ? "エクスポートを終了しました。" : "インポートを終了しました。") + "\n" +
           std::to_string(failed) + "件のジョブが失敗しました。JobListで確認してください。";
}

// The log text of one transfer: table, file, the three counters and the status, by tabs.
std::string TransferLogText(const std::string& table, const std::string& csv, int records, int successes, int errors,
                            const std::string& message) {
    return table + "\t" + csv + "\t" + std::to_string(records) + "\t" + std::to_string(successes) + "\t" +
           std::to_string(errors) + "\t" + message;
}

}  // namespace

TOracle::TOracle(Tdm* dm, Host& host, const TransferSettings& settings, RunContext& context)
    : dm_(dm), host_(host), settings_(settings), context_(context) {
    Progress = &progress_;
}

TOracle::~TOracle() {
    EndWorker();
}

void TOracle::SetSinglePlan(TransferPlan plan, long long expectedRows) {
    singlePlan_ = std::move(plan);
    singleExpectedRows_ = expectedRows;
}

void TOracle::ShowJobRow(std::size_t index) {
    const JobList& jobs = context_.JobList;
    if (index < jobs.Count()) host_.ShowJobRow(index, jobs[index]);
}

TransferPlan TOracle::PlanJob(const Job& job, const TransferSettings& settings) {
    if (planner_ != nullptr) return planner_->PlanJob(job, settings);
    TargetFacts facts;
    facts.TableName = job.Table;
    facts.CsvFile = job.Csv;
    return BuildTransferPlan({}, settings, facts);
}

int TOracle::CheckTransfer(const TransferPlan& plan, std::string& message) {
    return plan.ExportMode ? CheckExport(message, plan.Settings, plan.Facts)
                           : CheckImport(message, plan.Settings, plan.Facts);
}

int TOracle::RunTransfer(const TransferPlan& plan, std::string& message) {
    return plan.ExportMode ? Export(*this, *dm_, host_, plan, message) : Import(*this, *dm_, host_, plan, message);
}

RunSummary TOracle::Summarize(bool exportMode, int& result, std::string& message) {
    RunSummary summary = SummarizeTransfer(exportMode, *this);
    if (!summary.AddsUp) {
        message = MismatchMessage(summary) + (message.empty() ? "" : "\n" + message);
        result = kSummaryMismatch;
    }
    host_.SetStatusMessage(summary.Text);
    return summary;
}

RunOutcome TOracle::Outcome() const {
    return outcome_;
}

void TOracle::Record(int result) {
    ++outcome_.Transfers;
    if (result != 0) ++outcome_.NonZeroResults;
    outcome_.RefusedRows += ErrorCount;
}

void TOracle::StartTransfer(int jobNumber, const TransferPlan& plan, long long expectedRows) {
    RecordCount = 0;
    ErrorCount = 0;
    SuccessCount = 0;
    UpdatedCount = 0;
    SkippedCount = 0;
    BytesRead = 0;
    progress_.StartJob(jobNumber, ImportFileBytes(plan), expectedRows);
}

void TOracle::DoWork() {
    RunContext& context = context_;
    context.Running = true;
    ++outcome_.Runs;
    // The run works on a copy: the settings are the same from its first job to its last.
    const TransferSettings settings = settings_;
    // The settings line ends with the client library in use, so a log shows whether a run went
    // to Oracle or to the embedded engine.
    std::string settingsLine = SettingsLine(settings) + "\tLibrary=" + (dm_ ? dm_->OCI.LibraryPath() : std::string());
    // An import that updates by key says so; INSERT, the default load, adds nothing.
    if (settings.Mode != 1 && SettledLoadMode(settings.LoadMode) != kLoadInsert)
        settingsLine += std::string("\tLoadMode=") + LoadModeName(settings.LoadMode);
    CancelRequest = false;
    const bool exportMode = settings.Mode == 1;
    if (JobListRun) {
        int selected = 0;
        for (std::size_t i = 0; i < context.JobList.Count(); ++i) selected += context.JobList[i].Selected ? 1 : 0;
        progress_.StartRun(exportMode, selected);
        RunJobList(settings, settingsLine);
    } else {
        progress_.StartRun(singlePlan_.ExportMode, 0);
        RunSingle(settingsLine);
    }
    WriteLog("F", "");
    progress_.EndRun();
    context.Running = false;
}

void TOracle::RunJobList(const TransferSettings& settings, const std::string& settingsLine) {
    const bool exportMode = settings.Mode == 1;
    JobList& jobs = context_.JobList;
    WriteLog("H", settingsLine);

    // Reset pass: every selected job starts with empty texts, so a job that does not run
    // (after a stop) shows nothing stale.
    for (std::size_t i = 0; i < jobs.Count(); ++i) {
        Job& job = jobs[i];
        if (!job.Selected) continue;
        JobIndex = i;
        job.Status.clear();
        job.RecordText.clear();
        job.SuccessText.clear();
        job.ErrorText.clear();
        job.Result = 0;
        ShowJobRow(i);
    }

    int number = 0;
    int failed = 0;
    bool stoppedByFailure = false;
    for (std::size_t i = 0; i < jobs.Count(); ++i) {
        Job& job = jobs[i];
        if (!job.Selected) continue;
        JobIndex = i;
        ++number;
        const TransferPlan plan = PlanJob(job, settings);
        StartTransfer(number, plan, 0);
        if (StopPending()) break;

        std::string message;
        job.Status.clear();
        job.RecordText = job.SuccessText = job.ErrorText = "0";
        job.Result = 0;

        int rc = CheckTransfer(plan, message);
        if (rc == 0) rc = RunTransfer(plan, message);
        const RunSummary summary = Summarize(plan.ExportMode, rc, message);
        PublishCounts();
        progress_.EndJob();

        job.Status = message;
        job.RecordText = std::to_string(RecordCount);
        job.SuccessText = std::to_string(SuccessCount);
        job.ErrorText = std::to_string(ErrorCount);
        job.Result = rc;
        ShowJobRow(i);
        Record(rc);

        WriteLog(ResultLogCode(rc),
                 TransferLogText(job.Table, job.Csv, RecordCount, SuccessCount, ErrorCount, message) +
                     summary.LogFields);

        if (rc != 0 && rc != kCancelledResult) ++failed;
        if (rc != 0 && settings.ErrStop) {
            stoppedByFailure = rc != kCancelledResult;
            CancelRequest = true;
            break;
        }
        CancelRequest = false;
    }

    if (!Interactive) return;
    // A run with failed jobs does not end as a success: it says how many failed (their rows
    // are marked in the job list window).
    if (failed > 0) {
        std::string text = FailedJobsMessage(exportMode, failed);
        if (stoppedByFailure) text += "\n" + std::string(kFollowingJobsCancelled);
        TheHost().MessageBox(text, MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    TheHost().MessageBox(CancelRequest ? kCancelledMessage : CompletionMessage(exportMode), MsgIcon::Information,
                         MsgButtons::Ok);
}

void TOracle::RunSingle(const std::string& settingsLine) {
    RunContext& context = context_;
    const TransferPlan& plan = singlePlan_;
    std::string message;
    StartTransfer(0, plan, singleExpectedRows_);

    WriteLog("H", settingsLine);
    int rc = RunTransfer(plan, message);
    const RunSummary summary = Summarize(plan.ExportMode, rc, message);
    PublishCounts();
    progress_.EndJob();
    Record(rc);

    WriteLog(ResultLogCode(rc), TransferLogText(plan.Table, plan.CsvFile, RecordCount, SuccessCount, ErrorCount, message) +
                                    summary.LogFields);

    if (context.AutoClose) return;
    if (rc == 0)
        TheHost().MessageBox(CompletionMessage(plan.ExportMode), MsgIcon::Information, MsgButtons::Ok);
    else if (!message.empty())
        TheHost().MessageBox(message, MsgIcon::Warning, MsgButtons::Ok);
}

}  // namespace tabrook
