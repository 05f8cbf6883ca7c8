#include "transfer/TransferPlan.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tabrook {

long long ImportFileBytes(const TransferPlan& plan) {
    if (plan.ExportMode) return 0;
    std::error_code error;
    const auto size = std::filesystem::file_size(plan.CsvFile, error);
    return error ? 0 : static_cast<long long>(size);
}

TransferPlan BuildTransferPlan(const std::vector<MappedColumn>& mapping, const TransferSettings& settings,
                               const TargetFacts& facts) {
    TransferPlan plan;
    plan.ExportMode = settings.Mode == 1;
    plan.Table = facts.TableName;
    plan.CsvFile = facts.CsvFile;
    plan.Settings = settings;
    plan.Facts = facts;
    // Fields past the table's width without a column above them are the extra fields of a
    // record, dropped as in any record: only the table's width counts against the limit.
    std::size_t width = mapping.size();
    while (width > static_cast<std::size_t>(std::max(facts.TableColumnCount, 0)) && mapping[width - 1].TypeCode == -1)
        --width;
    if (width > static_cast<std::size_t>(TransferPlan::kMaxColumns)) {
        plan.TooManyColumns = true;
        return plan;
    }
    plan.Columns.reserve(width);
    for (std::size_t k = 0; k < width; ++k)
        plan.Columns.push_back({mapping[k].Name, mapping[k].TypeCode, static_cast<int>(k)});
    plan.FieldCount = std::max(facts.GridColumnCount, static_cast<int>(plan.Columns.size()));
    return plan;
}

}  // namespace tabrook
