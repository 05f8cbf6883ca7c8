#include "transfer/PreRunChecks.h"

#include <exception>
#include <filesystem>

#include "oci/TOCI8Func.h"

namespace tabrook {

namespace {
const char kTruncateWarning[] = "\nTruncateオプションが選択されています。現在のテーブルのデータは破棄されます。";

const char kReplaceWarning[] = "ファイルは既に存在します。上書きされます。";

std::string TruncateLine(const TransferSettings& settings) {
    return settings.Truncate ? kTruncateWarning : "\n";
}
}  // namespace

int CheckImport(std::string& message, const TransferSettings& settings, const TargetFacts& context) {
    if (!context.PlanFailure.empty()) {
        message = context.PlanFailure;
        return kCheckPlanFailed;
    }
    if (!context.TableInfoOk) {
        message = "テーブル情報を取得できません。";
        return kCheckNoTableInfo;
    }
    if (!context.IsTable) {
        message = "Viewにはインポートできません。";
        return kCheckImportIntoView;
    }
    if (!context.CsvHasData) {
        message = "CSVファイルを開けません。" + context.CsvFailure;
        return kCheckCsvUnreadable;
    }
    if (context.CsvColumnCount == 0) {
        message = "CSVファイルにデータがありません。";
        return kCheckCsvEmpty;
    }
    if (context.CsvColumnCount != context.TableColumnCount) {
        message =
            "テーブルとインポートデータのカラム数が一致しません。"
            "\nデータをインポートしますが、データに不整合が生じるかもしれません。" +
            TruncateLine(settings);
        return 0;
    }
    message = "データをインポートします。\nよろしいですか？" + TruncateLine(settings);
    return 0;
}

int CheckExport(std::string& message, const TransferSettings& /*settings*/, const TargetFacts& context) {
    // A name that was given but could not be described is not a missing name: the client's
    // reason (ORA-00942 for a table that does not exist) says what is wrong with it.
    if (!context.TableInfoOk && !context.TableFailure.empty()) {
        message = context.TableFailure;
        return kCheckNoTableInfo;
    }
    if (!context.TableInfoOk) {
        message = "テーブルが指定されていません。";
        return kCheckNoTable;
    }
    if (std::filesystem::path(context.CsvFile).filename().empty()) {
        message = "CSVファイルが指定されていません。";
        return kCheckNoCsvFile;
    }
    // The confirmation names what is written where, and warns before a file is replaced (the
    // CSV field may still hold the source file of an earlier import).
    std::error_code error;
    const bool replaced = std::filesystem::exists(context.CsvFile, error);
    message = "テーブル [" + context.TableName + "] をファイル [" + context.CsvFile + "] にエクスポートします。" +
              "\nよろしいですか？\n" + (replaced ? kReplaceWarning : "");
    return 0;
}

bool CheckDateFormat(TOCI8Func& oci, const std::string& format) {
    try {
        oci.DateToStr(oci.SysDate(), format);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool CheckTimestampFormat(TOCI8Func& oci, const std::string& format) {
    void* timestamp = nullptr;
    bool ok = true;
    try {
        timestamp = oci.DescAlloc(OCI_DTYPE_TIMESTAMP_TZ);
        oci.SysTimeStamp(static_cast<OCIDateTime*>(timestamp));
        oci.DateTimeToStr(static_cast<const OCIDateTime*>(timestamp), 6, format);
    } catch (const std::exception&) {
        ok = false;
    }
    if (timestamp != nullptr) {
        try {
            oci.DescFree(timestamp, OCI_DTYPE_TIMESTAMP_TZ);
        } catch (const std::exception&) {
            ok = false;
        }
    }
    return ok;
}

}  // namespace tabrook
