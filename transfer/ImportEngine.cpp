#include "ImportEngine.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "ClientCharset.h"
#include "Host.h"
#include "LineBreaks.h"
#include "RunContext.h"
#include "SplitFields.h"
#include "SqlName.h"
#include "Tdm.h"
#include "TransferJobState.h"
#include "TransferSettings.h"

namespace tabrook {

namespace {

constexpr char kDone[] = "インポートを完了しました。";
constexpr char kCancelled[] = "キャンセルしました。";
constexpr char kStopped[] = "中断しました。";
constexpr char kCsvUnreadable[] = "CSVファイルを開けません。";
constexpr char kHasErrorRecords[] = "エラーレコードがあります。";

std::string WithExtension(std::string_view csvFile, const char* extension) {
  std::filesystem::path path{std::string(csvFile)};
  path.replace_extension(extension);
  return path.string();
}

// A single-quoted SQL literal; a quote inside is doubled so the format cannot end it early.
std::string Literal(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  out += '\'';
  return out;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

class ImportRun {
public:
  ImportRun(TransferJobState& state, Tdm& dm, Host& host, const std::string& table,
            const std::string& csvFile, std::string& message)
      : state_(state), dm_(dm), cur_(dm.OCIcur), host_(host), settings_(Settings()),
        table_(table), csvFile_(csvFile), message_(message) {}

  int Run();

private:
  bool Ask(const std::string& text, MsgIcon icon = MsgIcon::Question) {
    return host_.MessageBox(text, icon, MsgButtons::YesNo) == kMsgYes;
  }
  void Show(const std::string& text, MsgIcon icon) {
    if (!state_.JobListRun) host_.MessageBox(text, icon, MsgButtons::Ok);
  }
  bool OpenErrorFiles();
  void CloseErrorFiles();
  // Builds the INSERT into statement_; false with the result in code when it cannot be built.
  bool BuildStatement(int& code);
  // Reads and inserts the lines; false when a commit failed on the way.
  bool ImportLines(std::FILE* csv);
  // One record of the file (header and empty records included; a record can span lines);
  // false to leave the loop.
  bool ImportLine(const std::string& line);
  void RefuseLine(const std::string& line);
  void ReportRefusedRows(int code);
  void OpenForUser(const std::string& path);

  TransferJobState& state_;
  Tdm& dm_;
  TOCI8Cur& cur_;
  Host& host_;
  const TransferSettings& settings_;
  const std::string& table_;
  const std::string& csvFile_;
  std::string& message_;

  std::string errPath_;
  std::string ermPath_;
  std::string statement_;
  std::vector<int> bound_;  // the column-list entries that have a bind, in order
  std::vector<std::string> fields_;
  std::size_t padTo_ = 0;
  char sep_ = '\0';
  char delim_ = '\0';
  DoubleByteCode code_ = DoubleByteCode::None;
  int header_ = 0;
  int sinceCommit_ = 0;
  bool limitReached_ = false;
  bool commitFailed_ = false;
};

bool ImportRun::OpenErrorFiles() {
  state_.ErrFile = std::fopen(errPath_.c_str(), "wb");
  if (state_.ErrFile == nullptr) message_ = "エラーファイルを出力できません。";
  state_.ErmFile = std::fopen(ermPath_.c_str(), "wb");
  if (state_.ErmFile == nullptr) message_ += "\nエラーメッセージファイルを出力できません。";
  if (message_.empty()) return true;
  // Without a file the import can still run; refused rows are then not recorded there.
  return !state_.JobListRun && Ask(message_ + "\nインポートを実行しますか？");
}

void ImportRun::CloseErrorFiles() {
  if (state_.ErrFile != nullptr) std::fclose(state_.ErrFile);
  if (state_.ErmFile != nullptr) std::fclose(state_.ErmFile);
  state_.ErrFile = nullptr;
  state_.ErmFile = nullptr;
}

bool ImportRun::BuildStatement(int& code) {
  if (!IsQuotableName(table_)) {
    message_ = UnquotableNameMessage(table_);
    code = kImportFailed;
    return false;
  }
  std::string columns = "insert into " + Quoted(table_) + "(";
  std::string values;
  bound_.clear();
  for (int k = 0; k < state_.ColumnCount; ++k) {
    const ImportClass kind = ImportClassOf(state_.ColumnTypes[static_cast<std::size_t>(k)]);
    if (kind == ImportClass::Skipped) continue;
    const std::string& name = state_.ColumnNames[static_cast<std::size_t>(k)];
    if (!IsQuotableName(name)) {
      message_ = UnquotableNameMessage(name);
      code = kImportFailed;
      return false;
    }
    if (!values.empty()) {
      columns += ',';
      values += ',';
    }
    columns += Quoted(name);
    // Every placeholder is quoted, as the bind is registered: an unquoted one would be
    // folded to upper case and miss a column whose name is not all upper case.
    const std::string bind = ":" + Quoted(name);
    switch (kind) {
      case ImportClass::Date: values += "TO_DATE(" + bind + "," + Literal(settings_.DateFmt) + ")"; break;
      case ImportClass::Timestamp:
        values += "TO_TIMESTAMP(" + bind + "," + Literal(settings_.TimestampFmt) + ")";
        break;
      case ImportClass::TimestampTz:
        values += "TO_TIMESTAMP_TZ(" + bind + "," + Literal(settings_.TimestampFmt) + ")";
        break;
      case ImportClass::IntervalYM: values += "TO_YMINTERVAL(" + bind + ")"; break;
      case ImportClass::IntervalDS: values += "TO_DSINTERVAL(" + bind + ")"; break;
      case ImportClass::National: values += "TRANSLATE(" + bind + " USING NCHAR_CS)"; break;
      default: values += bind; break;
    }
    bound_.push_back(k);
  }
  if (values.empty()) {
    message_ = "インポートできる項目がありません。";
    code = kImportNothingToImport;
    return false;
  }
  statement_ = columns + ")values(" + values + ")";
  return true;
}

void ImportRun::RefuseLine(const std::string& line) {
  if (state_.ErrFile != nullptr) {
    std::fwrite(line.data(), 1, line.size(), state_.ErrFile);
    std::fputs("\r\n", state_.ErrFile);
  }
  if (state_.ErmFile != nullptr) {
    std::string text = cur_.ErrMsg;
    std::replace(text.begin(), text.end(), '\n', ' ');
    text += "\r\n";
    std::fwrite(text.data(), 1, text.size(), state_.ErmFile);
  }
  ++state_.ErrorCount;
}

bool ImportRun::ImportLine(const std::string& line) {
  if ((state_.RecordCount - header_) % 10 == 0) state_.SyncShowCounts();
  ++state_.RecordCount;
  if (line.empty() || (header_ == 1 && state_.RecordCount == 1)) {
    ++sinceCommit_;
    return true;
  }
  if (state_.StopPending()) {
    message_ = kCancelled;
    state_.CancelRequest = true;
    return false;
  }
  if (state_.CancelRequest) {
    if (Ask("キャンセルしますか？")) {
      message_ = kCancelled;
      return false;
    }
    state_.CancelRequest = false;
  }
  SplitFieldsInto(line, sep_, delim_, fields_, code_);
  if (fields_.size() < padTo_) fields_.resize(padTo_);
  for (std::size_t b = 0; b < bound_.size(); ++b) {
    std::string& value = fields_[static_cast<std::size_t>(bound_[b])];
    RestoreLineBreaks(value, settings_);
    BindAttr& bind = *cur_.Binds[b];
    bind.Text.assign(value);
    bind.IsNull = value.empty();
  }
  if (cur_.ExecuteWithBind(0)) {
    ++state_.SuccessCount;
  } else {
    RefuseLine(line);
  }
  if (settings_.AutoCommit && sinceCommit_ >= settings_.AutoCmtCnt) {
    sinceCommit_ = 0;
    if (!dm_.OCI.Commit()) {
      commitFailed_ = true;  // reported when the transaction ends
      return false;
    }
  }
  if (settings_.ErrCnt > 0 && state_.ErrorCount >= settings_.ErrCnt && !limitReached_) {
    state_.SyncShowCounts();
    limitReached_ = true;
    if (state_.JobListRun || Ask("エラーが中断件数に達しました。中断しますか？")) {
      state_.CancelRequest = true;
      message_ = kStopped;
      return false;
    }
  }
  ++sinceCommit_;
  return true;
}

void ImportRun::OpenForUser(const std::string& path) {
  if (!host_.OpenWithShell(path)) host_.ShowInTextViewer(path);
}

void ImportRun::ReportRefusedRows(int code) {
  if (state_.ErrorCount == 0) {
    std::remove(errPath_.c_str());
    std::remove(ermPath_.c_str());
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
    OpenForUser(errPath_);
    OpenForUser(ermPath_);
  }
}

int ImportRun::Run() {
  sep_ = FirstByte(settings_.Separator);
  delim_ = FirstByte(settings_.Delimiter);
  errPath_ = ErrorRecordPath(csvFile_);
  ermPath_ = ErrorMessagePath(csvFile_);
  std::error_code sameFileError;
  if (std::filesystem::equivalent(errPath_, csvFile_, sameFileError)) {
    // The file being imported is itself an error-record file: replacing its extension would
    // name the file and delete it before it is read. Append the extensions instead.
    errPath_ = csvFile_ + ".err";
    ermPath_ = csvFile_ + ".erm";
  }
  std::remove(errPath_.c_str());  // a failure shows when the new file cannot be created
  std::remove(ermPath_.c_str());
  state_.SyncShowCounts();
  message_.clear();

  if (!OpenErrorFiles()) {
    CloseErrorFiles();
    return kImportNoErrorFiles;
  }
  File csv(std::fopen(csvFile_.c_str(), "rb"));
  if (!csv) {
    if (state_.JobListRun) {
      message_ = kCsvUnreadable;
    } else {
      host_.MessageBox(kCsvUnreadable, MsgIcon::Warning, MsgButtons::Ok);
    }
    CloseErrorFiles();
    return kImportCsvUnreadable;
  }
  header_ = settings_.WithHeader ? 1 : 0;

  state_.SyncReadColumns();
  if (state_.ColumnCount < 1 || state_.ColumnCount > TransferJobState::kMaxColumns) {
    message_ = "項目数が" + std::to_string(TransferJobState::kMaxColumns) +
               "を越えるテーブルにはインポートできません。";
    Show(message_, MsgIcon::Error);
    CloseErrorFiles();
    return kImportTooManyColumns;
  }
  dm_.OCI.DateFormat = settings_.TimeOn ? "yyyy-mm-dd hh24:mi:ss" : "yyyy-mm-dd";

  int code = kImportDone;
  if (!BuildStatement(code)) {
    CloseErrorFiles();
    return code;
  }

  message_.clear();
  if (settings_.Truncate) {
    // Quoted like the INSERT, so that it empties the very table the rows go into.
    cur_.SetSQL("truncate table " + Quoted(table_));
    if (!cur_.Execute(0)) {
      message_ = cur_.ErrMsg;
      CloseErrorFiles();
      return kImportFailed;
    }
  }
  message_.clear();
  cur_.SetSQL(statement_);
  if (state_.CancelRequest) {
    CloseErrorFiles();
    return kImportCancelled;
  }

  message_ = kDone;
  bool readFailed = false;
  if (!cur_.Parse(0)) {
    message_ = cur_.ErrMsg;
    Show(message_, MsgIcon::Error);
    code = kImportFailed;
    dm_.OCI.Rollback();
  } else {
    host_.SetBusyPointer(Host::BusyPointer::SqlWait);
    cur_.Binds.clear();
    for (int k : bound_) AddBind(cur_.Binds, ":" + Quoted(state_.ColumnNames[static_cast<std::size_t>(k)]), "", true);
    padTo_ = static_cast<std::size_t>(std::max(Context().GridColumnCount, state_.ColumnCount));
    state_.RecordCount = 0;
    sinceCommit_ = 0;
    code_ = ClientDoubleByteCode(dm_.OCI);
    dm_.StartRecords(csv.get(), delim_, code_);
    std::string line;
    while (state_.RecordCount < INT_MAX) {
      const bool more = dm_.ReadRecord(line);
      if (!more && line.empty()) break;
      if (!ImportLine(line)) break;
      if (!more) break;
    }
    readFailed = dm_.ReadFailed();
  }

  // End the transaction. A failed commit or rollback is the outcome of the run: the rows
  // are then not where the user expects them.
  host_.RestorePointer();
  if (commitFailed_) {
    code = kImportFailed;
    message_ = dm_.OCI.ErrMsg;
    if (!dm_.OCI.Rollback()) message_ += "\n" + dm_.OCI.ErrMsg;
  } else if (state_.CancelRequest) {
    if (!dm_.OCI.Rollback()) {
      code = kImportFailed;
      message_ += (message_.empty() ? "" : "\n") + dm_.OCI.ErrMsg;
    }
  } else if (code == kImportDone && readFailed) {
    code = kImportFailed;
    message_ = "CSVファイルを最後まで読み取れません。";
    dm_.OCI.Rollback();
  } else if (!dm_.OCI.Commit()) {
    code = kImportFailed;
    message_ = dm_.OCI.ErrMsg;
    dm_.OCI.Rollback();
  }

  CloseErrorFiles();
  state_.SyncShowCounts();
  csv.reset();
  ReportRefusedRows(code);

  if (code == kImportFailed) return kImportFailed;
  if (state_.CancelRequest) return kImportCancelled;
  if (limitReached_) return kImportDoneAfterLimit;
  return code;
}

}  // namespace

ImportClass ImportClassOf(int typeCode) {
  switch (typeCode) {
    case -1: case 23: case 24: case 104: case 112: case 113: case 114: case 9112:
      return ImportClass::Skipped;
    case 12: return ImportClass::Date;
    case 187: return ImportClass::Timestamp;
    case 188: case 232: return ImportClass::TimestampTz;
    case 189: return ImportClass::IntervalYM;
    case 190: return ImportClass::IntervalDS;
    case 9009: case 9096: return ImportClass::National;
    default: return ImportClass::Plain;
  }
}

std::string ErrorRecordPath(std::string_view csvFile) { return WithExtension(csvFile, ".err"); }
std::string ErrorMessagePath(std::string_view csvFile) { return WithExtension(csvFile, ".erm"); }

int Import(TransferJobState& state, Tdm& dm, Host& host, const std::string& table,
           const std::string& csvFile, std::string& message) {
  return ImportRun(state, dm, host, table, csvFile, message).Run();
}

}  // namespace tabrook
