#include "transfer/TOracle.h"

#include <functional>

#include "transfer/ExportEngine.h"
#include "transfer/Host.h"
#include "transfer/ImportEngine.h"
#include "transfer/PreRunChecks.h"
#include "transfer/RunContext.h"
#include "transfer/RunLog.h"
#include "transfer/SettingsLine.h"
#include "transfer/Tdm.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

const char* const kCancelledMessage = "キャンセルしました。";

const char* CompletionMessage(bool exportMode) {
    return exportMode ? "エクスポートを完了しました。" : "インポートを完了しました。";
}

namespace {

// The log text of one transfer: table, file, the three counters and the status, by tabs.
std::string TransferLogText(const std::string& table, const std::string& csv, int records, int successes, int errors,
                            const std::string& message) {
    return table + "\t" + csv + "\t" + std::to_string(records) + "\t" + std::to_string(successes) + "\t" +
           std::to_string(errors) + "\t" + message;
}

}  // namespace

TOracle::TOracle(Tdm* dm, Host& host, const TransferSettings& settings, RunContext& context)
    : dm_(dm), host_(host), settings_(settings), context_(context) {}

TOracle::~TOracle() {
    EndWorker();
}

void TOracle::SyncReadColumns() {
    Host& host = TheHost();
    host.Synchronize([&] { ColumnCount = host.ReadGridColumns(ColumnTypes.data(), ColumnNames.data(), kMaxColumns); });
}

void TOracle::SyncShowCounts() {
    Host& host = TheHost();
    int success = SuccessCount;
    int errors = ErrorCount;
    host.Synchronize([&] { host.ShowCounts(success, errors); });
}

void TOracle::SyncShowJobTable() {
    Host& host = TheHost();
    host.Synchronize([&] {
        JobList& jobs = context_.JobList;
        std::size_t index = JobIndex;
        if (index < jobs.Count()) host.ShowJobTable(jobs[index].Table);
    });
}

void TOracle::SyncShowJobCsv() {
    Host& host = TheHost();
    bool jobListRun = JobListRun;
    host.Synchronize([&] {
        JobList& jobs = context_.JobList;
        std::size_t index = JobIndex;
        if (jobListRun && index < jobs.Count()) {
            std::string csv = jobs[index].Csv;
            host.ShowJobCsv(&csv);
        } else {
            host.ShowJobCsv(nullptr);
        }
    });
}

void TOracle::SyncShowJobRow() {
    Host& host = TheHost();
    host.Synchronize([&] {
        JobList& jobs = context_.JobList;
        std::size_t index = JobIndex;
        if (index < jobs.Count()) host.ShowJobRow(index, jobs[index]);
    });
}

int TOracle::CheckTransfer(bool exportMode, std::string& message) {
    return exportMode ? CheckExport(message, settings_, context_) : CheckImport(message, settings_, context_);
}

int TOracle::RunTransfer(bool exportMode, const std::string& table, const std::string& csv, std::string& message) {
    return exportMode ? Export(*this, *dm_, host_, settings_, table, csv, message)
                      : Import(*this, *dm_, host_, settings_, context_, table, csv, message);
}

RunOutcome TOracle::Outcome() const {
    return outcome_;
}

void TOracle::Record(int result) {
    ++outcome_.Transfers;
    if (result != 0) ++outcome_.NonZeroResults;
    outcome_.RefusedRows += ErrorCount;
}

void TOracle::DoWork() {
    RunContext& context = context_;
    context.Running = true;
    ++outcome_.Runs;
    const TransferSettings& settings = settings_;
    // The settings line ends with the client library in use, so a log shows whether a run went
    // to Oracle or to the embedded engine.
    std::string settingsLine = SettingsLine(settings) + "\tLibrary=" + (dm_ ? dm_->OCI.LibraryPath() : std::string());
    CancelRequest = false;
    bool exportMode = settings.Mode == 1;
    if (JobListRun)
        RunJobList(exportMode, settingsLine);
    else
        RunSingle(exportMode, settingsLine);
    WriteLog("F", "");
    context.Running = false;
}

void TOracle::RunJobList(bool exportMode, const std::string& settingsLine) {
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
        SyncShowJobRow();
    }

    for (std::size_t i = 0; i < jobs.Count(); ++i) {
        Job& job = jobs[i];
        if (!job.Selected) continue;
        JobIndex = i;
        SyncShowJobTable();
        SyncShowJobCsv();
        RecordCount = 0;
        ErrorCount = 0;
        SuccessCount = 0;
        if (StopPending()) break;

        std::string message;
        job.Status.clear();
        job.RecordText = job.SuccessText = job.ErrorText = "0";
        job.Result = 0;

        int rc = CheckTransfer(exportMode, message);
        if (rc == 0) {
            RunContext& context = context_;
            rc = RunTransfer(exportMode, context.TableName, context.CsvFile, message);
        }

        job.Status = message;
        job.RecordText = std::to_string(RecordCount);
        job.SuccessText = std::to_string(SuccessCount);
        job.ErrorText = std::to_string(ErrorCount);
        job.Result = rc;
        SyncShowJobRow();
        Record(rc);

        WriteLog(ResultLogCode(rc),
                 TransferLogText(job.Table, job.Csv, RecordCount, SuccessCount, ErrorCount, message));

        if (rc != 0 && settings_.ErrStop) {
            CancelRequest = true;
            break;
        }
        CancelRequest = false;
    }

    if (Interactive)
        TheHost().MessageBox(CancelRequest ? kCancelledMessage : CompletionMessage(exportMode), MsgIcon::Information,
                             MsgButtons::Ok);
}

void TOracle::RunSingle(bool exportMode, const std::string& settingsLine) {
    RunContext& context = context_;
    std::string message;
    SyncShowJobCsv();
    RecordCount = 0;
    ErrorCount = 0;
    SuccessCount = 0;

    if (!exportMode) SyncShowJobCsv();  // the import reads the file as previewed just now
    WriteLog("H", settingsLine);
    int rc = RunTransfer(exportMode, context.TableName, context.CsvFile, message);
    Record(rc);

    WriteLog(ResultLogCode(rc),
             TransferLogText(context.TableName, context.CsvFile, RecordCount, SuccessCount, ErrorCount, message));

    if (context.AutoClose) return;
    if (rc == 0)
        TheHost().MessageBox(CompletionMessage(exportMode), MsgIcon::Information, MsgButtons::Ok);
    else if (!message.empty())
        TheHost().MessageBox(message, MsgIcon::Warning, MsgButtons::Ok);
}

}  // namespace tabrook
