#include "transfer/ImportEngine.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "oci/TOCI8ArrayDml.h"
#include "transfer/ArrayRowSender.h"
#include "transfer/BusyPointer.h"
#include "transfer/ClientCharset.h"
#include "transfer/CursorRowSender.h"
#include "transfer/ErrorFiles.h"
#include "transfer/FileDecoder.h"
#include "transfer/Host.h"
#include "transfer/ImportBatch.h"
#include "transfer/ImportStatement.h"
#include "transfer/KeyedRowSender.h"
#include "transfer/LineBreaks.h"
#include "transfer/LoadMode.h"
#include "transfer/LobTransfer.h"
#include "transfer/SafeFiles.h"
#include "transfer/SplitFields.h"
#include "transfer/SqlName.h"
#include "transfer/RecordReadAhead.h"
#include "transfer/TableFromFile.h"
#include "transfer/RecordReader.h"
#include "transfer/TableKey.h"
#include "transfer/Tdm.h"
#include "transfer/TransferJobState.h"
#include "transfer/TransferPlan.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

namespace {

constexpr char kDone[] = "インポートを完了しました。";
constexpr char kCancelled[] = "キャンセルしました。";
constexpr char kStopped[] = "中断しました。";
constexpr char kCsvUnreadable[] = "CSVファイルを開けません。";
constexpr char kHasErrorRecords[] = "エラーレコードがあります。";
// The most bytes the arrays of one batch may take (rows times the widest value of each column).
constexpr std::size_t kBatchBytes = 4 * 1024 * 1024;

std::string WithExtension(std::string_view csvFile, const char* extension) {
    std::filesystem::path path{std::string(csvFile)};
    path.replace_extension(extension);
    return path.string();
}

class ImportRun {
public:
    ImportRun(TransferJobState& state, Tdm& dm, Host& host, const TransferPlan& plan, std::string& message,
              const ImportOptions& options)
        : state_(state),
          dm_(dm),
          cur_(dm.OCIcur),
          host_(host),
          plan_(plan),
          settings_(plan.Settings),
          table_(plan.Table),
          csvFile_(plan.CsvFile),
          message_(message),
          batchRows_(static_cast<std::size_t>(std::max(options.BatchRows, 1))),
          openCsv_(options.OpenCsv),
          files_(ErrorPaths(plan.CsvFile)),
          cursorSender_(cur_, lobs_, boundNames_) {}

    int Run();

private:
    bool Ask(const std::string& text, MsgIcon icon = MsgIcon::Question) {
        return host_.MessageBox(text, icon, MsgButtons::YesNo) == kMsgYes;
    }
    void Show(const std::string& text, MsgIcon icon) {
        if (!state_.JobListRun) host_.MessageBox(text, icon, MsgButtons::Ok);
    }
    // Creates the error files; false when one cannot be created and the import is not to go
    // on without it.
    bool OpenErrorFiles();
    // The error files' paths: the CSV file's extension replaced, or appended when the file
    // being imported is itself named like one of its error files (replacing would name the
    // file and delete it before it is read).
    static ErrorFiles ErrorPaths(const std::string& csvFile);
    // Builds the statements (ImportStatement) and takes the binds from them; statement_ is the
    // one the cursor prepares. False with the result in code when they cannot be built.
    bool BuildStatement(int& code);
    // Reads and inserts the lines; false when a commit failed on the way.
    bool ImportLines(std::FILE* csv);
    // One record of the file (header and empty records included; a record can span lines)
    // with its fields (when the reader split it); false to leave the loop. A batch takes the
    // record's texts over (they are left to be overwritten by the next read).
    bool ImportLine(std::string& line, std::vector<std::string>& fields, bool unconvertible);
    // What follows a row's outcome: the commit when the row is a commit point, then the error
    // limit; false to leave the loop.
    bool AfterRow(bool commitPoint);
    // Sends the rows of the batch (arrays, or the cursor for a row that goes on its own and
    // for every row once the client refused arrays), then settles their outcomes in file
    // order: counts, the error files, then AfterRow (with commitPoint for the batch's last
    // row). False to leave the loop. Nothing to do when the batch is empty.
    bool FlushBatch(bool commitPoint);
    // Prepares the array statement; false when rows go one by one (LOB fields, one-row
    // batches, or a client that refuses it).
    bool StartBatching();
    // True when a row's values fit in an array element.
    bool FitsBatch(const std::vector<std::string>& fields) const;
    void RefuseLine(const std::string& line, const std::string& reason);
    // A record with a character the client character set lacks: refused in file order.
    bool RefuseUnconvertible(const std::string& line);
    void ReportRefusedRows(int code);
    void OpenForUser(const std::string& path);
    // Hands the counts and the bytes read to the progress sink.
    void Publish() {
        state_.BytesRead = bytesRead_;
        state_.PublishCounts();
    }

    TransferJobState& state_;
    Tdm& dm_;
    TOCI8Cur& cur_;
    Host& host_;
    const TransferPlan& plan_;
    const TransferSettings& settings_;
    const std::string& table_;
    const std::string& csvFile_;
    std::string& message_;
    const std::size_t batchRows_;
    const std::function<FilePtr(const std::string&)> openCsv_;

    ErrorFiles files_;
    FileDecoder decoder_;  // the file's encoding, when it is not the client character set
    long long bytesRead_ = 0;  // of the CSV file, up to the record being imported
    std::string statement_;
    std::vector<int> bound_;  // the fields that have a bind, in bind order
    std::vector<const std::string*> boundNames_;  // the column of each bind
    // With LobData: per entry of bound_, the temporary LOB its field goes through (or none).
    std::vector<std::unique_ptr<ImportLob>> lobs_;
    char sep_ = '\0';
    char delim_ = '\0';
    int header_ = 0;
    int sinceCommit_ = 0;
    bool limitReached_ = false;
    bool commitFailed_ = false;
    bool batching_ = false;  // rows go in arrays through arraySender_
    bool batchAlone_ = false;  // the batch holds one row that goes on its own
    ImportBatch batch_;
    std::unique_ptr<ArrayRowSender> arraySender_;
    CursorRowSender cursorSender_;
    std::vector<RowOutcome> outcomes_;
    // UPSERT and UPDATE: the table's key, the MERGE statements and their sender.
    TableKey key_;
    ImportStatement statements_;
    std::unique_ptr<KeyedRowSender> keyed_;
    // The numbers of the records skipped since the batch was last sent (see FlushBatch).
    std::vector<int> skippedSinceFlush_;
};

ErrorFiles ImportRun::ErrorPaths(const std::string& csvFile) {
    std::string err = ErrorRecordPath(csvFile);
    std::string erm = ErrorMessagePath(csvFile);
    std::error_code sameFileError;
    if (std::filesystem::equivalent(err, csvFile, sameFileError) ||
        std::filesystem::equivalent(erm, csvFile, sameFileError)) {
        err = csvFile + ".err";
        erm = csvFile + ".erm";
    }
    return ErrorFiles(std::move(err), std::move(erm));
}

bool ImportRun::OpenErrorFiles() {
    message_ = files_.Open();
    if (message_.empty()) return true;
    // Without a file the import can still run; refused rows are then not recorded there.
    return !state_.JobListRun && Ask(message_ + "\nインポートを実行しますか？");
}

bool ImportRun::BuildStatement(int& code) {
    if (!statements_.Build(plan_, key_, message_, code)) return false;
    statement_ = statements_.Main();
    bound_ = statements_.Bound;
    boundNames_ = statements_.BoundNames;
    lobs_.clear();
    for (std::size_t b = 0; b < bound_.size(); ++b)
        lobs_.push_back(statements_.BoundLob[b] ? std::make_unique<ImportLob>(dm_.OCI, statements_.BoundTypes[b])
                                                : nullptr);
    if (statements_.Keyed()) keyed_ = std::make_unique<KeyedRowSender>(dm_.OCI, statements_);
    return true;
}

void ImportRun::RefuseLine(const std::string& line, const std::string& reason) {
    files_.Write(decoder_.FileBytes(line), reason);
    ++state_.ErrorCount;
}

bool ImportRun::RefuseUnconvertible(const std::string& line) {
    if (!FlushBatch(false)) return false;
    RefuseLine(line, kUnconvertibleMessage);
    ++sinceCommit_;
    return AfterRow(false);
}

bool ImportRun::StartBatching() {
    batch_.Reset(bound_.size());
    if (batchRows_ <= 1) return false;
    for (const auto& lob : lobs_)
        if (lob) return false;  // LOB fields go through temporary LOBs, one row at a time
    if (keyed_) return keyed_->StartArrays();
    std::vector<std::string> names;
    for (const auto& bind : cur_.Binds) names.push_back(bind->Name);
    arraySender_ = std::make_unique<ArrayRowSender>(dm_.OCI, statement_, std::move(names));
    return arraySender_->Ready();
}

bool ImportRun::FitsBatch(const std::vector<std::string>& fields) const {
    for (int k : bound_)
        if (fields[static_cast<std::size_t>(k)].size() > TOCI8ArrayDml::kMaxValueBytes) return false;
    return true;
}

bool ImportRun::FlushBatch(bool commitPoint) {
    if (batch_.Empty()) return true;
    const std::size_t rows = batch_.Rows();
    const bool arrays = batching_ && !batchAlone_;
    if (keyed_) {
        keyed_->Send(batch_, arrays, outcomes_);
    } else if (!arrays || !arraySender_->Send(batch_, outcomes_)) {
        // A client that does not run this array gets these rows and all later ones one by one.
        if (arrays) batching_ = false;
        cursorSender_.Send(batch_, outcomes_);
    }
    batchAlone_ = false;
    // The outcomes are taken in file order, each followed by what one by one follows each
    // row: the commit (only ever at the batch's last row) and the error limit. When the run
    // ends at a row inside the batch, the rows after it were sent but are never counted or
    // recorded, and they go with the rollback that ends such a run (no commit point lies
    // between them and the last commit).
    for (std::size_t r = 0; r < rows; ++r) {
        if (outcomes_[r].Code == 0) {
            ++state_.SuccessCount;
            if (keyed_ && keyed_->Updated(r)) ++state_.UpdatedCount;
        } else {
            RefuseLine(batch_.Record(r), outcomes_[r].Message);
        }
        const bool last = r + 1 == rows;
        // A refused row that cannot be recorded would be lost: the job ends here and fails.
        if (files_.Failed() || !AfterRow(last && commitPoint)) {
            state_.RecordCount = batch_.RecordNumber(r);
            // The lines skipped after this row are no longer among the lines read either.
            for (int skipped : skippedSinceFlush_)
                if (skipped > state_.RecordCount) --state_.SkippedCount;
            skippedSinceFlush_.clear();
            batch_.Clear();
            return false;
        }
    }
    skippedSinceFlush_.clear();
    batch_.Clear();
    return true;
}

bool ImportRun::AfterRow(bool commitPoint) {
    if (commitPoint) {
        // The refused rows reach their files before their batch is committed.
        files_.Flush();
        if (files_.Failed()) return false;
        if (!dm_.OCI.Commit()) {
            commitFailed_ = true;  // reported when the transaction ends
            return false;
        }
    }
    if (settings_.ErrCnt > 0 && state_.ErrorCount >= settings_.ErrCnt && !limitReached_) {
        Publish();
        limitReached_ = true;
        if (state_.JobListRun || Ask("エラーが中断件数に達しました。中断しますか？")) {
            state_.CancelRequest = true;
            message_ = kStopped;
            return false;
        }
    }
    return true;
}

bool ImportRun::ImportLine(std::string& line, std::vector<std::string>& fields, bool unconvertible) {
    if ((state_.RecordCount - header_) % 10 == 0) Publish();
    ++state_.RecordCount;
    if (line.empty() || (header_ == 1 && state_.RecordCount == 1)) {
        ++sinceCommit_;
        ++state_.SkippedCount;
        skippedSinceFlush_.push_back(state_.RecordCount);
        return true;
    }
    const bool stop = state_.StopPending();
    // A stop or cancel meets the rows before this one already sent, as one by one.
    if ((stop || state_.CancelRequest) && !FlushBatch(false)) return false;
    if (stop) {
        message_ = kCancelled;
        state_.CancelRequest = true;
        ++state_.SkippedCount;  // read, and left unloaded by the stop
        return false;
    }
    if (state_.CancelRequest) {
        if (Ask("キャンセルしますか？")) {
            message_ = kCancelled;
            ++state_.SkippedCount;  // read, and left unloaded by the cancel
            return false;
        }
        state_.CancelRequest = false;
    }
    // A record with a character the client character set lacks is refused in file order.
    if (unconvertible) return RefuseUnconvertible(line);
    // The commit rhythm counts records, so whether this row is a commit point is known now.
    const bool commitPoint = settings_.AutoCommit && sinceCommit_ >= settings_.AutoCmtCnt;
    if (commitPoint) sinceCommit_ = 0;

    // A row goes on its own when rows go one by one, or when a value is too wide for an
    // array element; the rows before it go first, so the file order holds.
    const bool alone = !batching_ || !FitsBatch(fields);
    if (alone) {
        if (!FlushBatch(false)) return false;
    } else if (!batch_.Empty() && batch_.ArrayBytesWith(fields, bound_) > kBatchBytes && !FlushBatch(false)) {
        // Wide values make wide array elements for every row: the batch is sent before its
        // arrays would pass kBatchBytes.
        return false;
    }
    batch_.Add(line, state_.RecordCount, fields, bound_, alone);
    batchAlone_ = alone;
    // A batch never runs past a commit point.
    if ((alone || commitPoint || batch_.Rows() >= batchRows_) && !FlushBatch(commitPoint)) return false;
    ++sinceCommit_;
    return true;
}

void ImportRun::OpenForUser(const std::string& path) {
    if (!host_.OpenWithShell(path)) host_.ShowInTextViewer(path);
}

void ImportRun::ReportRefusedRows(int code) {
    if (state_.ErrorCount == 0) {
        files_.Remove();
        return;
    }
    if (state_.JobListRun) {
        // A failure of the run outranks the refused rows in the job's status.
        if (code == kImportFailed) {
            message_ += std::string("\n") + kHasErrorRecords;
        } else {
            message_ = kHasErrorRecords;
        }
        return;
    }
    const bool show = Ask(message_ + "\nエラーレコードがあります。\n表示しますか？", MsgIcon::Warning);
    if (code != kImportFailed) message_.clear();
    if (show) {
        OpenForUser(files_.ErrPath());
        OpenForUser(files_.ErmPath());
    }
}

int ImportRun::Run() {
    sep_ = FirstByte(settings_.Separator);
    delim_ = FirstByte(settings_.Delimiter);
    // The error files are created afresh below (an old one, or a link of that name, is
    // removed first); a failure shows when the new file cannot be created.
    Publish();
    message_.clear();

    if (!OpenErrorFiles()) {
        files_.Close();
        return kImportNoErrorFiles;
    }
    FilePtr csv = openCsv_ ? openCsv_(csvFile_) : OpenForReading(csvFile_);
    if (!csv) {
        if (state_.JobListRun) {
            message_ = kCsvUnreadable;
        } else {
            host_.MessageBox(kCsvUnreadable, MsgIcon::Warning, MsgButtons::Ok);
        }
        files_.Close();
        return kImportCsvUnreadable;
    }
    header_ = settings_.WithHeader ? 1 : 0;
    // A file that is not text of the encoding named is refused before anything is changed.
    if (std::string refusal = decoder_.Open(csvFile_, settings_.Encoding, ClientCharsetName(dm_.OCI));
        !refusal.empty()) {
        message_ = std::move(refusal);  // the thread shows it
        files_.Close();
        return kImportBadEncoding;
    }
    files_.SetRecordForm(std::string(decoder_.ErrPreamble()), std::string(decoder_.ErrLineEnd()));

    if (plan_.TooManyColumns || plan_.Columns.empty()) {
        message_ =
            "項目数が" + std::to_string(TransferPlan::kMaxColumns) + "を越えるテーブルにはインポートできません。";
        Show(message_, MsgIcon::Error);
        files_.Close();
        return kImportTooManyColumns;
    }
    dm_.OCI.DateFormat = settings_.TimeOn ? "yyyy-mm-dd hh24:mi:ss" : "yyyy-mm-dd";

    int code = kImportDone;
    // UPSERT and UPDATE match rows by the table's key, read before anything is changed.
    if (SettledLoadMode(settings_.LoadMode) != kLoadInsert) {
        TableKeyLookup lookup(cur_);
        if (!lookup.Find("", table_, key_)) {
            message_ = lookup.ErrMsg();
            Show(message_, MsgIcon::Error);
            files_.Close();
            return kImportFailed;
        }
    }
    if (!BuildStatement(code)) {
        files_.Close();
        return code;
    }

    message_.clear();
    if (settings_.Truncate) {
        // Quoted like the INSERT, so that it empties the very table the rows go into.
        cur_.SetSQL("truncate table " + Quoted(table_));
        if (!cur_.Execute(0)) {
            message_ = cur_.ErrMsg();
            files_.Close();
            return kImportFailed;
        }
    }
    message_.clear();
    cur_.SetSQL(statement_);
    if (state_.CancelRequest) {
        files_.Close();
        return kImportCancelled;
    }

    message_ = kDone;
    bool readFailed = false;
    std::optional<BusyPointer> busy;  // shown while the lines are read and inserted
    if (!cur_.Parse(0)) {
        message_ = cur_.ErrMsg();
        Show(message_, MsgIcon::Error);
        code = kImportFailed;
        dm_.OCI.Rollback();
    } else {
        busy.emplace(host_, Host::BusyPointer::SqlWait);
        cur_.Binds.clear();
        for (const std::string* name : boundNames_) AddBind(cur_.Binds, ":" + Quoted(*name), "", true);
        for (std::size_t b = 0; b < lobs_.size(); ++b)
            if (lobs_[b]) lobs_[b]->Attach(*cur_.Binds[b]);
        state_.RecordCount = 0;
        sinceCommit_ = 0;
        batching_ = StartBatching();
        RecordLayout layout;
        layout.Separator = sep_;
        layout.Delimiter = delim_;
        layout.Code = ClientDoubleByteCode(dm_.OCI);
        layout.FieldCount = static_cast<std::size_t>(plan_.FieldCount);
        layout.RestoredFields = bound_;
        layout.SkipFirst = header_ == 1;
        layout.Settings = &settings_;
        layout.Decoder = &decoder_;
        // The file is read on a thread of its own while this one sends; it stops here, before
        // the file is closed, whichever way the loop ends.
        RecordReadAhead reader(csv.get(), std::move(layout));
        bool toTheEnd = false;
        while (state_.RecordCount < INT_MAX) {
            PreparedRecord* record = reader.Next();
            if (record == nullptr) {
                toTheEnd = true;
                break;
            }
            bytesRead_ = reader.BytesRead();
            if (record->Unclosed) {
                // A quoted field that never closes: the rest of the file is one record, refused
                // whole rather than split into rows that were never records of the file.
                if (FlushBatch(false)) {
                    ++state_.RecordCount;
                    RefuseLine(record->Text, kUnclosedFieldMessage);
                }
                // It ran to where the reading ended, which may have been a failed read.
                toTheEnd = reader.Next() == nullptr;
                break;
            }
            if (!ImportLine(record->Text, record->Fields, record->Unconvertible)) break;
            if (record->Last) {
                toTheEnd = reader.Next() == nullptr;
                break;
            }
        }
        // The rows still waiting at the end of the file (any other way out sent them already).
        FlushBatch(false);
        // A failure to read past where the import stopped was never met by it.
        readFailed = toTheEnd && reader.ReadFailed();
    }

    // End the transaction. A failed commit or rollback is the outcome of the run: the rows
    // are then not where the user expects them. Refused rows that did not reach the error
    // files fail the run too: the transaction is rolled back so that no row is lost unseen.
    busy.reset();
    files_.Flush();
    if (files_.Failed()) {
        message_ = files_.Failure();
        code = kImportFailed;
        dm_.OCI.Rollback();
    } else if (commitFailed_) {
        // The commit's own error is the reason; the rollback after it only tidies up (the
        // database may have ended the transaction itself).
        code = kImportFailed;
        message_ = dm_.OCI.ErrMsg();
        dm_.OCI.Rollback();
    } else if (state_.CancelRequest) {
        if (!dm_.OCI.Rollback()) {
            code = kImportFailed;
            message_ += (message_.empty() ? "" : "\n") + dm_.OCI.ErrMsg();
        }
    } else if (code == kImportDone && readFailed) {
        code = kImportFailed;
        message_ = "CSVファイルを最後まで読み取れません。";
        dm_.OCI.Rollback();
    } else if (!dm_.OCI.Commit()) {
        code = kImportFailed;
        message_ = dm_.OCI.ErrMsg();
        dm_.OCI.Rollback();
    }

    const bool failedBefore = files_.Failed();
    files_.Close();
    if (files_.Failed() && !failedBefore) {
        code = kImportFailed;
        message_ = files_.Failure();
    }
    Publish();
    csv.reset();
    if (files_.Failed()) return kImportFailed;  // the reason is the message, not the rows
    ReportRefusedRows(code);
    if (plan_.Facts.TableCreated) message_ = kTableCreatedNote + (message_.empty() ? "" : " " + message_);
    if (decoder_.Detected()) message_ += (message_.empty() ? "" : " ") + ("（" + decoder_.Note() + "）");

    if (code == kImportFailed) return kImportFailed;
    if (state_.CancelRequest) return kImportCancelled;
    if (limitReached_) return kImportDoneAfterLimit;
    return code;
}

}  // namespace

std::string ErrorRecordPath(std::string_view csvFile) {
    return WithExtension(csvFile, ".err");
}
std::string ErrorMessagePath(std::string_view csvFile) {
    return WithExtension(csvFile, ".erm");
}

int Import(TransferJobState& state, Tdm& dm, Host& host, const TransferPlan& plan, std::string& message,
           const ImportOptions& options) {
    return ImportRun(state, dm, host, plan, message, options).Run();
}

}  // namespace tabrook
