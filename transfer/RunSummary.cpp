#include "transfer/RunSummary.h"

#include "transfer/TransferJobState.h"

namespace tabrook {

namespace {
std::string N(long long value) {
    return std::to_string(value);
}
}  // namespace

RunSummary SummarizeTransfer(bool exportMode, const TransferJobState& state) {
    RunSummary summary;
    const long long read = state.RecordCount;
    if (exportMode) {
        summary.AddsUp = read == state.SuccessCount && state.ErrorCount == 0;
        summary.Text = "取得 " + N(read) + (summary.AddsUp ? " = " : " ≠ ") + "出力 " + N(state.SuccessCount);
        return summary;
    }
    const long long inserted = static_cast<long long>(state.SuccessCount) - state.UpdatedCount;
    const long long accounted =
        static_cast<long long>(state.SuccessCount) + state.ErrorCount + static_cast<long long>(state.SkippedCount);
    summary.AddsUp = read == accounted && inserted >= 0 && state.UpdatedCount >= 0 && state.SkippedCount >= 0;
    summary.Text = "読込 " + N(read) + (summary.AddsUp ? " = " : " ≠ ") + "挿入 " + N(inserted) + " + 更新 " +
                   N(state.UpdatedCount) + " + エラー " + N(state.ErrorCount) + " + スキップ " +
                   N(state.SkippedCount);
    summary.LogFields =
        "\tInserted=" + N(inserted) + "\tUpdated=" + N(state.UpdatedCount) + "\tSkipped=" + N(state.SkippedCount);
    return summary;
}

std::string MismatchMessage(const RunSummary& summary) {
    return "件数が合いません。(" + summary.Text + ")";
}

}  // namespace tabrook
