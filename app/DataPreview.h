#pragma once
// The previews of the main window's grid: the table's column names and type texts in the two
// header rows, and up to 30 rows below them (table rows in Export mode, CSV lines in Import
// mode). The header rows, with the type code the grid keeps beside each type text, are also the
// column mapping a transfer plan is built from (ColumnMapping). Everything here works on a grid
// model and the target's facts, so the transfer thread can preview each job away from the
// window.

#include <string>
#include <vector>

#include "app/GridModel.h"
#include "transfer/TargetFacts.h"
#include "transfer/TransferPlan.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

class Host;
class Tdm;
struct DataAttr;

// What the previews act on: a grid and the status bar (through the host), the data module's
// cursor, the settings, and the facts they learn about the target.
struct PreviewTarget {
    GridModel& Grid;
    Tdm& Dm;
    Host& UserHost;
    const TransferSettings& Settings;
    TargetFacts& Context;
};

// Describes the table a typed name stands for (TableIdentifier: upper case unless quoted) into
// the header rows; in Export mode also previews its first rows. Sets TableName (the
// identifier), TableInfoOk, TableColumnCount and IsTable, or TableFailure. False when the name
// is empty (nothing changes) or cannot be described.
bool PreviewTable(PreviewTarget& target, const std::string& typed);

// Fills the data rows with the first 30 rows of the table, selecting the grid's columns in
// their current order. False when the select failed; the rows then keep their old content and
// failure (when given) receives the reason.
bool PreviewTableData(PreviewTarget& target, const std::string& name, std::string* failure = nullptr);

// True when the name is a table of the user, or when the lookup fails or finds nothing.
bool CheckIsTable(PreviewTarget& target, const std::string& name);

// Import mode: reads up to 30 data lines of the file into the data rows and sets CsvFile,
// CsvHasData and CsvColumnCount; a name without a folder is looked up in the program's folder.
// It holds a bounded prefix of each record and reads a bounded part of the file; the grid
// shows at most kPreviewColumns fields of a record, CsvColumnCount counts them all.
// Export mode: only remembers the name. False for an empty name or a file that cannot be read.
bool PreviewCsv(PreviewTarget& target, const std::string& fileName);

// The column mapping the grid shows: for every data column, in grid order, the name and type
// code of the table column above it (-1 where none stands).
std::vector<MappedColumn> ColumnMapping(const GridModel& grid);

void ClearTablePreview(PreviewTarget& target);
void ClearCsvPreview(PreviewTarget& target);
void ClearPreview(PreviewTarget& target);
// GridColumnCount := the wider side, the file's side counting at most kPreviewColumns; the grid
// gets one more column, or 6 when both are empty.
void UpdateGridColumns(GridModel& grid, TargetFacts& context);

// The type text of a described column: its type name and, where the type has one, its size.
std::string TypeText(const DataAttr& column);
std::string TypeText(const std::string& typeName, int typeCode, int precision, int scale);

// The most data columns the CSV preview shows: the most columns a table can have.
inline constexpr int kPreviewColumns = TransferPlan::kMaxColumns;

// Status texts of the message panel.
inline constexpr char kTableDataPreviewText[] = "Table Data Preview";
inline constexpr char kCsvDataPreviewText[] = "CSV Data Preview";

}  // namespace tabrook
