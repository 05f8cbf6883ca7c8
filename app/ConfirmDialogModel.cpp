#include "app/ConfirmDialogModel.h"

#include <algorithm>

#include "transfer/TransferSettings.h"

namespace tabrook {

const char* const kBatchTruncateWarning = "Truncateオプションが選択されています。対象テーブルのデータは破棄されます。";

void ConfirmDialogModel::Show(const TransferSettings& settings) {
    switch (BoxMode) {
        case kBoxSingle:
            StartCaption = "開始(&S)";
            BatchBreakVisible = false;
            SingleVisible = false;
            break;
        case kBoxJobWindow:
            StartCaption = "バッチ開始(&S)";
            BatchBreakVisible = true;
            SingleVisible = false;
            break;
        case kBoxMainWithJobs:
            StartCaption = "バッチ開始(&S)";
            BatchBreakVisible = true;
            SingleVisible = true;
            break;
        default: break;  // an unknown mode leaves the controls as they were
    }
    SetErrorLimit(settings.ErrCnt);
    BatchBreak = settings.ErrStop;
}

void ConfirmDialogModel::SetErrorLimit(int value) {
    errorLimit_ = std::clamp(value, kMinErrorLimit, kMaxErrorLimit);
}

void ConfirmDialogModel::Close(int result, TransferSettings& settings) const {
    if (result == kConfirmCancel) return;
    settings.ErrCnt = errorLimit_;
    settings.ErrStop = BatchBreak;  // also in mode 0, where the hidden box still holds ErrStop
}

void ConfirmDialogModel::SetMainWithJobs(int mode, bool truncate) {
    MsgText[0] = "JobListが登録されています。";
    MsgText[1] = mode == 1 ? "バッチモードでエクスポートします。" : "バッチモードでインポートします。";
    MsgText[2] = mode != 1 && truncate ? kBatchTruncateWarning : "";
    BoxMode = kBoxMainWithJobs;
}

void ConfirmDialogModel::SetSingle(const std::string& confirmation) {
    for (std::string& line : MsgText) line.clear();
    std::size_t start = 0;
    for (std::string& line : MsgText) {
        if (start > confirmation.size()) break;
        std::size_t end = confirmation.find('\n', start);
        if (end == std::string::npos) end = confirmation.size();
        line = confirmation.substr(start, end - start);
        start = end + 1;
    }
    BoxMode = kBoxSingle;
}

void ConfirmDialogModel::SetJobWindow(int mode, bool truncate) {
    MsgText[0] = mode == 1 ? "選択したリストをエクスポートします。" : "選択したリストをインポートします。";
    MsgText[1].clear();
    MsgText[2] = mode != 1 && truncate ? kBatchTruncateWarning : "";
    BoxMode = kBoxJobWindow;
}

}  // namespace tabrook
