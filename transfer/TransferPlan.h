#pragma once
// A transfer plan: everything one import or export needs to know before it starts, as one
// immutable value. It is built by BuildTransferPlan from the table, the CSV file, the column
// mapping (the table columns in the order of the CSV fields) and a copy of the settings, by the
// window for a single transfer and by the transfer thread for each job of a job list. The
// engines run from the plan alone: they never look at the grid or the window's fields.

#include <string>
#include <vector>

#include "oci/ColumnKind.h"
#include "transfer/TargetFacts.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

// One entry of a column mapping: the table column standing above CSV field number k (its
// position in the mapping). TypeCode -1 marks a field without a table column.
struct MappedColumn {
    std::string Name;
    int TypeCode = -1;
};

// One column of a plan: a table column and the CSV field it takes (import) or writes (export).
struct PlanColumn {
    std::string Name;
    int TypeCode = -1;
    int Field = 0;  // 0-based position of the field in a record
    const ColumnKind& Kind() const { return KindOf(TypeCode); }
};

struct TransferPlan {
    // The most columns a transfer handles; a wider mapping is refused by the engines.
    static constexpr int kMaxColumns = 1000;

    bool ExportMode = false;
    std::string Table;
    std::string CsvFile;
    // The mapping in field order, fields without a table column included (an export selects
    // the columns that have one) up to the table's width or the last field with a column.
    // Empty when TooManyColumns.
    std::vector<PlanColumn> Columns;
    // The mapping (without the file's extra fields) was wider than kMaxColumns.
    bool TooManyColumns = false;
    // Fields a record is padded to before binding: the wider of table and file.
    int FieldCount = 0;
    TransferSettings Settings;
    // What the previews found, for the pre-run checks.
    TargetFacts Facts;
};

// The size of the file an import of plan reads (0 for an export, or a file that cannot be seen).
long long ImportFileBytes(const TransferPlan& plan);

// Builds the plan of a transfer of facts.TableName and facts.CsvFile in the mode of settings.
TransferPlan BuildTransferPlan(const std::vector<MappedColumn>& mapping, const TransferSettings& settings,
                               const TargetFacts& facts);

}  // namespace tabrook
