#pragma once
// The summary of one transfer, made after its engine has ended: an import's lines read are
// accounted for as rows inserted + rows updated + lines refused + lines skipped (the header,
// empty lines, the line a stop or cancel ended at), an export's rows fetched as rows written.
// A transfer whose counts do not add up lost or doubled rows somewhere: it is reported as
// failed (kSummaryMismatch), whatever its engine said.

#include <string>

namespace tabrook {

class TransferJobState;

// The result of a transfer whose counts do not add up.
constexpr int kSummaryMismatch = 998;

struct RunSummary {
    bool AddsUp = true;
    // For the window's status: "読込 10 = 挿入 5 + 更新 3 + エラー 1 + スキップ 1" (import) or
    // "取得 10 = 出力 10" (export); with "≠" and a warning when it does not add up.
    std::string Text;
    // Appended to the transfer's log line after its status text: for an import
    // "\tInserted=5\tUpdated=3\tSkipped=1"; nothing for an export (its line says it all).
    std::string LogFields;
};

RunSummary SummarizeTransfer(bool exportMode, const TransferJobState& state);

// The status text of a transfer whose counts do not add up (the summary's Text included).
std::string MismatchMessage(const RunSummary& summary);

}  // namespace tabrook
