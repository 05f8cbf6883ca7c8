#include "transfer/ExportEngine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "oci/DataAttr.h"
#include "transfer/BusyPointer.h"
#include "transfer/ClientCharset.h"
#include "transfer/ExportLine.h"
#include "transfer/Host.h"
#include "transfer/LineBreaks.h"
#include "transfer/LobTransfer.h"
#include "transfer/SafeFiles.h"
#include "transfer/SqlName.h"
#include "transfer/Tdm.h"
#include "transfer/TransferJobState.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

namespace {

constexpr char kCannotWrite[] = "CSVファイルを出力できません。";
constexpr char kFileInUse[] = "\n出力先はこのプログラムが使用中のファイルです。";
constexpr char kCancelled[] = "キャンセルしました。";
constexpr int kLinesPerBlock = 10;
constexpr std::size_t kLobFlushBytes = 1 << 20;
constexpr std::size_t kStreamBuffer = 1 << 16;

bool IsNational(int typeCode) {
    return typeCode == kTypeNVarchar2 || typeCode == kTypeNChar;
}

class ExportRun {
public:
    ExportRun(TransferJobState& state, Tdm& dm, Host& host, const TransferSettings& settings, const std::string& table,
              const std::string& csvFile, std::string& message)
        : state_(state),
          dm_(dm),
          cur_(dm.OCIcur),
          host_(host),
          settings_(settings),
          table_(table),
          csvFile_(csvFile),
          message_(message),
          line_(settings_.Separator, FirstByte(settings_.Delimiter), ClientDoubleByteCode(dm.OCI)),
          output_(csvFile),
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
    const TransferSettings& settings_;
    const std::string& table_;
    const std::string& csvFile_;
    std::string& message_;
    ExportLine line_;
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
    const bool binary = column.DataType == 113;
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
    const bool ok = std::fwrite(pending_.data(), 1, pending_.size(), output_.get()) == pending_.size();
    pending_.clear();
    return ok;
}

int ExportRun::WriteRows() {
    std::vector<bool> textLike;
    std::string& value = value_;
    while (cur_.Fetch()) {
        if (state_.RecordCount % kLinesPerBlock == 0) {
            if (!Flush()) {
                message_ = kCannotWrite + SystemReason(errno);
                return kExportCannotWrite;
            }
            state_.SyncShowCounts();
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
        if (cur_.ConvertFailed()) {
            // Writing the stand-in text as data would corrupt the file without anyone noticing.
            message_ = cur_.ErrMsg;
            return kExportFailed;
        }
        if (textLike.size() != cur_.Values.size()) {
            textLike.clear();
            for (std::size_t i = 0; i < cur_.Values.size(); ++i) {
                textLike.push_back(i < cur_.Columns.size() && IsTextLikeExportType(cur_.Columns[i].DataType));
            }
        }
        for (std::size_t i = 0; i < cur_.Values.size(); ++i) {
            if (i > 0) pending_ += settings_.Separator;
            if (lobs_.Enabled() && i < cur_.Columns.size() && CarriesLobData(cur_.Columns[i].DataType)) {
                if (!AppendLob(i)) return kExportFailed;
                continue;
            }
            if (settings_.ReplaceCR) {
                value = cur_.Values[i];
                ReplaceLineBreaks(value, settings_);
                line_.AppendValue(pending_, value, textLike[i]);
            } else {
                line_.AppendValue(pending_, cur_.Values[i], textLike[i]);
            }
        }
        pending_ += ExportLine::kLineEnd;
        ++state_.RecordCount;
        ++state_.SuccessCount;
        // Lines holding LOB contents can be megabytes each: do not let ten of them pile up.
        if (lobs_.Enabled() && pending_.size() >= kLobFlushBytes && !Flush()) {
            message_ = kCannotWrite;
            return kExportCannotWrite;
        }
    }
    if (cur_.ErrCode != 100) {
        // A fetch that failed is not the end of the data.
        message_ = cur_.ErrMsg;
        return kExportFailed;
    }
    return kExportDone;
}

int ExportRun::Run() {
    state_.SyncShowCounts();
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
    if (!output_.Create()) {
        message_ = kCannotWrite + SystemReason(errno);
        Show(message_, MsgIcon::Error);
        return kExportCannotWrite;
    }
    // The blocks of ten lines go through a larger stream buffer than the default page, so a
    // big export makes a sixteenth of the write calls; the file's bytes are the same.
    streamBuffer_ = std::make_unique<char[]>(kStreamBuffer);
    std::setvbuf(output_.get(), streamBuffer_.get(), _IOFBF, kStreamBuffer);

    state_.SyncReadColumns();
    if (state_.ColumnCount == -1 || state_.ColumnCount > TransferJobState::kMaxColumns) {
        message_ =
            "項目数が" + std::to_string(TransferJobState::kMaxColumns) + "を越えるテーブルはエクスポートできません。";
        Show(message_, MsgIcon::Error);
        Close();
        return kExportTooManyColumns;
    }
    const int count = std::max(state_.ColumnCount, 0);
    for (int k = -1; k < count; ++k) {
        const std::string& name = k < 0 ? table_ : state_.ColumnNames[static_cast<std::size_t>(k)];
        if (!IsQuotableName(name)) {
            message_ = UnquotableNameMessage(name);
            Close();
            return kExportFailed;
        }
    }
    const std::string statement = ExportSelect(table_, state_.ColumnTypes.data(), state_.ColumnNames.data(), count);

    message_.clear();
    if (state_.CancelRequest) {
        Close();
        return kExportCancelled;
    }
    message_ = "エクスポートを完了しました。";
    cur_.SetSQL(statement);
    if (!cur_.Execute(0)) {
        message_ = cur_.ErrMsg;
        Close();
        return kExportFailed;
    }

    std::optional<BusyPointer> busy(std::in_place, host_, Host::BusyPointer::SqlWait);
    if (settings_.WithHeader) {
        line_.AppendHeader(pending_,
                           std::span<const std::string>(state_.ColumnNames.data(), static_cast<std::size_t>(count)));
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
    state_.SyncShowCounts();
    if (code == kExportDone && state_.CancelRequest) return kExportCancelled;
    return code;
}

}  // namespace

bool IsTextLikeExportType(int typeCode) {
    switch (typeCode) {
        case 1:
        case 8:
        case 9:
        case 96:
        case 187:
        case 188:
        case 189:
        case 190:
        case 232:
        case kTypeNVarchar2:
        case kTypeNChar: return true;
        default: return false;
    }
}

std::string ExportSelect(const std::string& table, const int* types, const std::string* names, int count) {
    std::string sql = "select ";
    for (int k = 0; k < count; ++k) {
        if (k > 0) sql += ',';
        if (IsNational(types[k])) {
            sql += "TRANSLATE(" + Quoted(names[k]) + " USING CHAR_CS) " + Quoted(names[k]) + " ";
        } else {
            sql += Quoted(names[k]);
        }
    }
    sql += " from " + Quoted(table);
    return sql;
}

int Export(TransferJobState& state, Tdm& dm, Host& host, const TransferSettings& settings, const std::string& table,
           const std::string& csvFile, std::string& message) {
    return ExportRun(state, dm, host, settings, table, csvFile, message).Run();
}

}  // namespace tabrook
