#include "transfer/ExportEngine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "oci/ColumnKind.h"
#include "oci/DataAttr.h"
#include "transfer/BusyPointer.h"
#include "transfer/ClientCharset.h"
#include "transfer/ExportLine.h"
#include "transfer/FileEncoder.h"
#include "transfer/Host.h"
#include "transfer/LineBreaks.h"
#include "transfer/LobTransfer.h"
#include "transfer/RowFetchAhead.h"
#include "transfer/SafeFiles.h"
#include "transfer/SqlName.h"
#include "transfer/Tdm.h"
#include "transfer/TransferJobState.h"
#include "transfer/TransferPlan.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

namespace {

constexpr char kCannotWrite[] = "CSVファイルを出力できません。";
constexpr char kFileInUse[] = "\n出力先はこのプログラムが使用中のファイルです。";
constexpr char kCancelled[] = "キャンセルしました。";
constexpr int kLinesPerBlock = 10;
constexpr std::size_t kLobFlushBytes = 1 << 20;
constexpr std::size_t kStreamBuffer = 1 << 16;

class ExportRun {
public:
    ExportRun(TransferJobState& state, Tdm& dm, Host& host, const TransferPlan& plan, std::string& message)
        : state_(state),
          dm_(dm),
          cur_(dm.OCIcur),
          host_(host),
          plan_(plan),
          settings_(plan.Settings),
          table_(plan.Table),
          csvFile_(plan.CsvFile),
          message_(message),
          line_(settings_.Separator, FirstByte(settings_.Delimiter), ClientDoubleByteCode(dm.OCI)),
          output_(plan.CsvFile),
          lobs_(cur_, settings_.LobData) {}

    int Run();

private:
    void Show(const std::string& text, MsgIcon icon) {
        if (!state_.JobListRun) host_.MessageBox(text, icon, MsgButtons::Ok);
    }
    // Writes the pending lines; false when the file refused them.
    bool Flush();
    // Fetches and writes every row; returns the result code of the run.
    int WriteRows();
    // Drops the working file: an existing target stays as it was.
    void Close() { output_.Discard(); }
    // Appends the contents of LOB column i (CLOB text, BLOB hexadecimal); false on failure.
    bool AppendLob(std::size_t i);

    TransferJobState& state_;
    Tdm& dm_;
    TOCI8Cur& cur_;
    Host& host_;
    const TransferPlan& plan_;
    const TransferSettings& settings_;
    const std::string& table_;
    const std::string& csvFile_;
    std::string& message_;
    ExportLine line_;
    FileEncoder encoder_;  // the file's encoding, when one is named
    // The stream buffer of output_; declared first, so it outlives the stream.
    std::unique_ptr<char[]> streamBuffer_;
    // The rows go to a working file beside the target, renamed over it only when the last row
    // is written and the file closed: a failed or killed export leaves the target as it was.
    WorkingFile output_;
    std::string pending_;
    ExportLobs lobs_;
    std::string value_;
    std::string lobText_;  // reused for every LOB value
};

bool ExportRun::AppendLob(std::size_t i) {
    const DataAttr& column = cur_.Columns[i];
    const bool binary = KindOf(column.DataType).Binary;
    lobText_.clear();
    if (column.Indicator != -1) {
        try {
            lobs_.ReadColumn(i, lobText_);
        } catch (const std::exception& e) {
            message_ = e.what();
            return false;
        }
    }
    if (binary) {
        value_.clear();
        AppendHex(value_, lobText_);
        line_.AppendValue(pending_, value_, false);
        return true;
    }
    if (settings_.ReplaceCR) ReplaceLineBreaks(lobText_, settings_);
    line_.AppendValue(pending_, lobText_, true);
    return true;
}

bool ExportRun::Flush() {
    if (pending_.empty()) return true;
    const std::string_view bytes = encoder_.Encode(pending_);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), output_.get()) == bytes.size();
    pending_.clear();
    return ok;
}

int ExportRun::WriteRows() {
    std::vector<bool> textLike;
    bool withLobs = false;
    for (std::size_t i = 0; i < cur_.Columns.size(); ++i) {
        textLike.push_back(KindOf(cur_.Columns[i].DataType).TextLike);
        withLobs = withLobs || (lobs_.Enabled() && KindOf(cur_.Columns[i].DataType).LobData);
    }
    // Rows are fetched ahead on a thread of their own, except when LOB contents are read
    // through the session for every row.
    std::optional<RowFetchAhead> ahead;
    if (!withLobs) ahead.emplace(cur_);
    const std::vector<std::string>* values = nullptr;
    auto next = [&] {
        if (ahead) return (values = ahead->Next()) != nullptr;
        values = &cur_.Values;
        return cur_.Fetch();
    };
    std::string& value = value_;
    while (next()) {
        if (state_.RecordCount % kLinesPerBlock == 0) {
            if (!Flush()) {
                message_ = kCannotWrite + SystemReason(errno);
                return kExportCannotWrite;
            }
            state_.PublishCounts();
        }
        if (state_.StopPending()) {
            message_ = kCancelled;
            state_.CancelRequest = true;
            return kExportCancelled;
        }
        if (state_.CancelRequest) {
            if (host_.MessageBox("キャンセルしますか？", MsgIcon::Question, MsgButtons::YesNo) == kMsgYes) {
                message_ = kCancelled;
                return kExportCancelled;
            }
            state_.CancelRequest = false;
        }
        if (ahead ? ahead->ConvertFailed() : cur_.ConvertFailed()) {
            // Writing the stand-in text as data would corrupt the file without anyone noticing.
            message_ = ahead ? ahead->Error() : cur_.ErrMsg();
            return kExportFailed;
        }
        const std::vector<std::string>& row = *values;
        if (textLike.size() < row.size()) textLike.resize(row.size(), false);
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) pending_ += settings_.Separator;
            if (withLobs && i < cur_.Columns.size() && KindOf(cur_.Columns[i].DataType).LobData) {
                if (!AppendLob(i)) return kExportFailed;
                continue;
            }
            if (settings_.ReplaceCR) {
                value = row[i];
                ReplaceLineBreaks(value, settings_);
                line_.AppendValue(pending_, value, textLike[i]);
            } else {
                line_.AppendValue(pending_, row[i], textLike[i]);
            }
        }
        pending_ += ExportLine::kLineEnd;
        ++state_.RecordCount;
        ++state_.SuccessCount;
        // Lines holding LOB contents can be megabytes each: do not let ten of them pile up.
        if (withLobs && pending_.size() >= kLobFlushBytes && !Flush()) {
            message_ = kCannotWrite;
            return kExportCannotWrite;
        }
    }
    if (ahead && !ahead->Failure().empty()) {
        message_ = ahead->Failure();
        return kExportFailed;
    }
    if (cur_.ErrCode() != 100) {
        // A fetch that failed is not the end of the data.
        message_ = cur_.ErrMsg();
        return kExportFailed;
    }
    return kExportDone;
}

int ExportRun::Run() {
    state_.PublishCounts();
    std::error_code ec;
    if (std::filesystem::exists(csvFile_, ec) && !state_.JobListRun &&
        host_.MessageBox("既にファイルが存在します。上書きしますか？", MsgIcon::Question, MsgButtons::YesNo) !=
            kMsgYes) {
        return kExportCancelled;
    }
    if (IsFileInUse(csvFile_)) {
        // Its database or its log: replacing it would destroy what the program is working on.
        message_ = std::string(kCannotWrite) + kFileInUse;
        Show(message_, MsgIcon::Error);
        return kExportCannotWrite;
    }
    if (std::string refusal = encoder_.Open(settings_.Encoding, ClientCharsetName(dm_.OCI)); !refusal.empty()) {
        message_ = std::move(refusal);  // the thread shows it
        return kExportFailed;
    }
    if (!output_.Create()) {
        message_ = kCannotWrite + SystemReason(errno);
        Show(message_, MsgIcon::Error);
        return kExportCannotWrite;
    }
    // The blocks of ten lines go through a larger stream buffer than the default page, so a
    // big export makes a sixteenth of the write calls; the file's bytes are the same.
    streamBuffer_ = std::make_unique<char[]>(kStreamBuffer);
    std::setvbuf(output_.get(), streamBuffer_.get(), _IOFBF, kStreamBuffer);
    if (const std::string_view mark = encoder_.Preamble(); !mark.empty()) std::fwrite(mark.data(), 1, mark.size(), output_.get());

    if (plan_.TooManyColumns) {
        message_ =
            "項目数が" + std::to_string(TransferPlan::kMaxColumns) + "を越えるテーブルはエクスポートできません。";
        Show(message_, MsgIcon::Error);
        Close();
        return kExportTooManyColumns;
    }
    for (std::size_t k = 0; k <= plan_.Columns.size(); ++k) {
        const std::string& name = k == 0 ? table_ : plan_.Columns[k - 1].Name;
        if (!IsQuotableName(name)) {
            message_ = UnquotableNameMessage(name);
            Close();
            return kExportFailed;
        }
    }
    const std::string statement = ExportSelect(table_, plan_.Columns);

    message_.clear();
    if (state_.CancelRequest) {
        Close();
        return kExportCancelled;
    }
    message_ = "エクスポートを完了しました。";
    cur_.SetSQL(statement);
    if (!cur_.Execute(0)) {
        message_ = cur_.ErrMsg();
        Close();
        return kExportFailed;
    }

    std::optional<BusyPointer> busy(std::in_place, host_, Host::BusyPointer::SqlWait);
    if (settings_.WithHeader) {
        std::vector<std::string> names;
        names.reserve(plan_.Columns.size());
        for (const PlanColumn& column : plan_.Columns) names.push_back(column.Name);
        line_.AppendHeader(pending_, std::span<const std::string>(names));
    }
    dm_.OCI.DateFormat = settings_.DateFmt;
    dm_.OCI.TimeStampFormat = settings_.TimestampFmt;

    int code = WriteRows();
    if (code == kExportDone) {
        const bool flushed = Flush();
        const int flushError = errno;
        if (!flushed || !output_.Commit()) {
            message_ = kCannotWrite + SystemReason(flushed ? errno : flushError);
            code = kExportCannotWrite;
        }
    }
    // A stop, a cancel or a failure leaves no half file under the target's name.
    Close();
    busy.reset();
    state_.PublishCounts();
    if (const std::string note = encoder_.Note(); !note.empty()) message_ += (message_.empty() ? "" : " ") + note;
    if (code == kExportDone && state_.CancelRequest) return kExportCancelled;
    return code;
}

}  // namespace

std::string ExportSelect(const std::string& table, const std::vector<PlanColumn>& columns) {
    std::string sql = "select ";
    for (std::size_t k = 0; k < columns.size(); ++k) {
        if (k > 0) sql += ',';
        const std::string quoted = Quoted(columns[k].Name);
        if (columns[k].Kind().National && !columns[k].Kind().Lob) {
            sql += "TRANSLATE(" + quoted + " USING CHAR_CS) " + quoted + " ";
        } else {
            sql += quoted;
        }
    }
    sql += " from " + Quoted(table);
    return sql;
}

int Export(TransferJobState& state, Tdm& dm, Host& host, const TransferPlan& plan, std::string& message) {
    return ExportRun(state, dm, host, plan, message).Run();
}

}  // namespace tabrook
