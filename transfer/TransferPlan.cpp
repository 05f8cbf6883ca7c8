#include "transfer/TransferPlan.h"

#include <algorithm>

namespace tabrook {

TransferPlan BuildTransferPlan(const std::vector<MappedColumn>& mapping, const TransferSettings& settings,
                               const TargetFacts& facts) {
    TransferPlan plan;
    plan.ExportMode = settings.Mode == 1;
    plan.Table = facts.TableName;
    plan.CsvFile = facts.CsvFile;
    plan.Settings = settings;
    plan.Facts = facts;
    if (mapping.size() > static_cast<std::size_t>(TransferPlan::kMaxColumns)) {
        plan.TooManyColumns = true;
        return plan;
    }
    plan.Columns.reserve(mapping.size());
    for (std::size_t k = 0; k < mapping.size(); ++k)
        plan.Columns.push_back({mapping[k].Name, mapping[k].TypeCode, static_cast<int>(k)});
    plan.FieldCount = std::max(facts.GridColumnCount, static_cast<int>(plan.Columns.size()));
    return plan;
}

}  // namespace tabrook
