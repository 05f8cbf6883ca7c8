#pragma once
// The previews of the main window's grid: the table's column names and type texts in the two
// header rows, and up to 30 rows below them (table rows in Export mode, CSV lines in Import
// mode). The header rows are also the column map of a transfer: ReadGridColumns reads them
// back, in grid order, as the column list of the engines. Everything here works on the grid
// model and the run context, so the transfer thread can preview each job without a window.

#include <span>
#include <string>

#include "app/GridModel.h"
#include "transfer/RunContext.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

class Host;
class Tdm;
class TransferJobState;
struct DataAttr;

// What the previews act on: the main window's grid and status bar (through the host), the data
// module's cursor, and the process-wide settings and run context.
struct PreviewTarget {
    GridModel& Grid;
    Tdm& Dm;
    Host& UserHost;
    const TransferSettings& Settings;
    RunContext& Context;
};

// Describes the table name (exactly as written, between double quotes) into the header rows;
// in Export mode also previews its first rows. Sets TableName, TableInfoOk, TableColumnCount
// and IsTable. False when the name is empty (nothing changes) or cannot be described.
bool PreviewTable(PreviewTarget& target, const std::string& name);

// Fills the data rows with the first 30 rows of the table, selecting the grid's columns in
// their current order. False when the select failed; the rows then keep their old content and
// failure (when given) receives the reason.
bool PreviewTableData(PreviewTarget& target, const std::string& name, std::string* failure = nullptr);

// True when the name is a table of the user, or when the lookup fails or finds nothing.
bool CheckIsTable(PreviewTarget& target, const std::string& name);

// Import mode: reads up to 30 data lines of the file into the data rows and sets CsvFile,
// CsvHasData and CsvColumnCount; a name without a folder is looked up in the program's folder.
// Export mode: only remembers the name. False for an empty name or a file that cannot be read.
bool PreviewCsv(PreviewTarget& target, const std::string& fileName);

// Reads the header rows back: names[c-1] and codes[c-1] for every grid data column c. Returns
// the number of columns read, or -1 (reading nothing) when capacity is too small.
int ReadGridColumns(const GridModel& grid, std::span<int> codes, std::span<std::string> names, int capacity);

// The synchronized step of a transfer: the state's column list from the grid.
void ReadGridColumnsInto(const GridModel& grid, TransferJobState& state);

void ClearTablePreview(PreviewTarget& target);
void ClearCsvPreview(PreviewTarget& target);
void ClearPreview(PreviewTarget& target);
// GridColumnCount := the wider side; the grid gets one more column, or 6 when both are empty.
void UpdateGridColumns(GridModel& grid, RunContext& context);

// The type text of a described column: its type name and, where the type has one, its size.
std::string TypeText(const DataAttr& column);
std::string TypeText(const std::string& typeName, int typeCode, int precision, int scale);
// The type code of a type text (-1 for an empty text, 0 for one that names no known type).
int TypeCodeOfText(const std::string& text);

// Status texts of the message panel.
inline constexpr char kTableDataPreviewText[] = "Table Data Preview";
inline constexpr char kCsvDataPreviewText[] = "CSV Data Preview";

}  // namespace tabrook
