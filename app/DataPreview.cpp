#include "app/DataPreview.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/ProgramFolder.h"
#include "oci/DataAttr.h"
#include "transfer/BusyPointer.h"
#include "transfer/ClientCharset.h"
#include "transfer/Host.h"
#include "transfer/SafeFiles.h"
#include "transfer/SplitFields.h"
#include "transfer/SqlName.h"
#include "transfer/Tdm.h"
#include "transfer/TransferJobState.h"

namespace tabrook {

namespace {

constexpr int kExportMode = 1;
constexpr int kPreviewRows = 30;

// Restores the default pointer on every path out of a preview.

// One test of the ordered type table: a prefix of the given length, or the whole text.
struct TypeTest {
    const char* text;
    bool wholeText;
    int code;
};

// Order matters: the first test that holds decides (CHAR before VARCHAR, TIMESTAMP LTZ and TZ
// before TIMESTAMP).
constexpr TypeTest kTypeTests[] = {
    {"CHAR", false, 96},
    {"VARCHAR", false, 9},
    {"VARCHAR2", false, 9},
    {"NUMBER", false, 2},
    {"FLOAT", false, 2},
    {"DATE", true, 12},
    {"BLOB", true, 113},
    {"CLOB", true, 112},
    {"BFILE", true, 114},
    {"LONG", true, 8},
    {"RAW", true, 23},
    {"LONG RAW", true, 24},
    {"ROWID", true, 104},
    {"NCHAR", false, 9096},
    {"NVARCHAR2", false, 9009},
    {"NCLOB", true, 9112},
    {"TIMESTAMP LTZ", false, 232},
    {"TIMESTAMP TZ", false, 188},
    {"TIMESTAMP", false, 187},
    {"INTERVAL Y", false, 189},
    {"INTERVAL D", false, 190},
};

bool HasNoSizeSuffix(int typeCode) {
    switch (typeCode) {
        case 8:
        case 12:
        case 24:
        case 104:
        case 112:
        case 113:
        case 114:
        case kTypeNClob: return true;
        default: return false;
    }
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string TypeText(const std::string& typeName, int typeCode, int precision, int scale) {
    if (HasNoSizeSuffix(typeCode)) return typeName;
    if (typeCode == 2 && precision == 0 && scale == 0) return typeName;
    std::string text = typeName + "(" + std::to_string(precision + scale);
    if (scale >= 1) text += "," + std::to_string(scale);
    return text + ")";
}

std::string TypeText(const DataAttr& column) {
    return TypeText(column.TypeName, column.DataType, column.Precision, column.Scale);
}

int TypeCodeOfText(const std::string& text) {
    if (text.empty()) return -1;
    for (const TypeTest& test : kTypeTests) {
        const std::string_view expected = test.text;
        if (test.wholeText ? text == expected : text.compare(0, expected.size(), expected) == 0) {
            return test.code;
        }
    }
    return 0;
}

int ReadGridColumns(const GridModel& grid, std::span<int> codes, std::span<std::string> names, int capacity) {
    const int n = grid.ColCount() - 1;
    const int room = static_cast<int>(std::min(codes.size(), names.size()));
    if (capacity < n || room < n) return -1;
    for (int c = 1; c <= n; ++c) {
        names[static_cast<std::size_t>(c - 1)] = grid.Cell(c, 0);
        codes[static_cast<std::size_t>(c - 1)] = TypeCodeOfText(grid.Cell(c, 1));
    }
    return n;
}

void ReadGridColumnsInto(const GridModel& grid, TransferJobState& state) {
    state.ColumnCount = ReadGridColumns(grid, state.ColumnTypes, state.ColumnNames, TransferJobState::kMaxColumns);
}

void UpdateGridColumns(GridModel& grid, RunContext& context) {
    context.GridColumnCount = std::max(context.TableColumnCount, context.CsvColumnCount);
    grid.SetColCount(context.GridColumnCount == 0 ? GridModel::kEmptyColCount : context.GridColumnCount + 1);
}

void ClearTablePreview(PreviewTarget& target) {
    target.Grid.ClearRow(0);
    target.Grid.ClearRow(1);
    target.Context.TableName.clear();
    target.Context.TableColumnCount = 0;
    target.Context.TableInfoOk = false;
    if (target.Settings.Mode == kExportMode) target.UserHost.SetStatusMessage("");
    UpdateGridColumns(target.Grid, target.Context);
}

void ClearCsvPreview(PreviewTarget& target) {
    for (int row = GridModel::kFixedRows; row < target.Grid.RowCount(); ++row) target.Grid.ClearRow(row);
    target.Context.CsvFile.clear();
    target.Context.CsvColumnCount = 0;
    target.Context.CsvHasData = false;
    target.UserHost.SetStatusMessage("");
    UpdateGridColumns(target.Grid, target.Context);
}

void ClearPreview(PreviewTarget& target) {
    for (int col = 0; col < target.Grid.ColCount(); ++col) target.Grid.ClearColumn(col);
    target.Grid.SetColCount(2);
    RunContext& context = target.Context;
    context.TableName.clear();
    context.TableColumnCount = 0;
    context.TableInfoOk = false;
    context.CsvFile.clear();
    context.CsvColumnCount = 0;
    context.CsvHasData = false;
    target.UserHost.SetStatusMessage("");
    UpdateGridColumns(target.Grid, context);
}

bool CheckIsTable(PreviewTarget& target, const std::string& name) {
    TOCI8Cur& cur = target.Dm.OCIcur;
    // The name travels as a bind value, so nothing in it can change the statement.
    cur.SetSQL("select OBJECT_TYPE from user_objects where OBJECT_NAME = :OBJECT_NAME and SUBOBJECT_NAME is NULL");
    cur.Binds.clear();
    AddBind(cur.Binds, ":OBJECT_NAME", name, true);
    if (!cur.Execute(0) || !cur.Fetch() || cur.Values.empty()) return true;
    return Upper(cur.Values[0]) == "TABLE";
}

bool PreviewTableData(PreviewTarget& target, const std::string& name, std::string* failure) {
    std::vector<int> codes(TransferJobState::kMaxColumns);
    std::vector<std::string> names(TransferJobState::kMaxColumns);
    const int n = ReadGridColumns(target.Grid, codes, names, TransferJobState::kMaxColumns);
    TOCI8Ctrl& oci = target.Dm.OCI;
    oci.DateFormat = target.Settings.DateFmt;
    oci.TimeStampFormat = target.Settings.TimestampFmt;

    for (int j = -1; j < n; ++j) {
        const std::string& checked = j < 0 ? name : names[static_cast<std::size_t>(j)];
        if (!IsQuotableName(checked)) {
            if (failure != nullptr) *failure = UnquotableNameMessage(checked);
            return false;
        }
    }
    std::string sql = "select ";
    for (int j = 0; j < n; ++j) {
        if (j > 0) sql += ',';
        const int code = codes[static_cast<std::size_t>(j)];
        const std::string quoted = Quoted(names[static_cast<std::size_t>(j)]);
        if (code == kTypeNVarchar2 || code == kTypeNChar) {
            sql += "TRANSLATE(" + quoted + " USING CHAR_CS) " + quoted + " ";
        } else {
            sql += quoted;
        }
    }
    sql += " from " + Quoted(name) + " where rownum <= " + std::to_string(kPreviewRows);

    TOCI8Cur& cur = target.Dm.OCIcur;
    cur.SetSQL(sql);
    BusyPointer busy(target.UserHost, Host::BusyPointer::SqlWait);
    if (!cur.Execute(0)) {
        if (failure != nullptr) *failure = cur.ErrMsg;
        return false;
    }
    GridModel& grid = target.Grid;
    for (int row = GridModel::kFixedRows; row < grid.RowCount(); ++row) grid.ClearRow(row);
    for (int row = GridModel::kFixedRows; row < grid.RowCount() && cur.Fetch(); ++row) {
        grid.SetCell(0, row, RowNumberText(row - 1));
        for (std::size_t j = 0; j < cur.Values.size(); ++j) {
            grid.SetCell(static_cast<int>(j) + 1, row, cur.Values[j]);
        }
    }
    return true;
}

bool PreviewTable(PreviewTarget& target, const std::string& name) {
    if (name.empty()) return false;
    RunContext& context = target.Context;
    if (!IsQuotableName(name)) {
        ClearTablePreview(target);
        target.UserHost.SetStatusMessage(UnquotableNameMessage(name));
        return false;
    }
    TOCI8Cur& cur = target.Dm.OCIcur;
    cur.SetSQL("select * from " + Quoted(name));
    BusyPointer busy(target.UserHost, Host::BusyPointer::SqlWait);
    ClearTablePreview(target);
    const bool described = cur.Execute(0);
    if (!described) target.UserHost.SetStatusMessage(cur.ErrMsg);
    context.TableColumnCount = static_cast<int>(cur.Columns.size());
    UpdateGridColumns(target.Grid, context);
    if (!described) return false;

    for (std::size_t i = 0; i < cur.Columns.size(); ++i) {
        const int col = static_cast<int>(i) + 1;
        target.Grid.SetCell(col, 0, cur.Columns[i].Name);
        target.Grid.SetCell(col, 1, TypeText(cur.Columns[i]));
    }
    context.TableName = name;
    context.TableInfoOk = true;
    if (target.Settings.Mode == kExportMode) {
        std::string failure;
        const bool shown = PreviewTableData(target, name, &failure);
        target.UserHost.SetStatusMessage(shown ? kTableDataPreviewText : failure);
    }
    context.IsTable = CheckIsTable(target, name);
    return true;
}

bool PreviewCsv(PreviewTarget& target, const std::string& fileName) {
    RunContext& context = target.Context;
    context.CsvHasData = false;
    const char sep = target.Settings.Separator.empty() ? ',' : target.Settings.Separator.front();
    const char delim = FirstByte(target.Settings.Delimiter);
    if (target.Settings.Mode == kExportMode) {
        context.CsvFile = fileName;  // the output of an export: nothing to read
        return true;
    }
    if (fileName.empty()) return false;
    std::filesystem::path path(fileName);
    if (!path.has_parent_path()) path = ProgramFolder() / path;

    BusyPointer busy(target.UserHost, Host::BusyPointer::Hourglass);
    // A folder opens like a file and reads as an empty one: it is refused as unreadable.
    FilePtr file = OpenForReading(path.string());
    if (!file) return false;

    GridModel& grid = target.Grid;
    Tdm& dm = target.Dm;
    // Records as the import reads them: quoted fields may span lines.
    const DoubleByteCode code = ClientDoubleByteCode(dm.OCI);
    dm.StartRecords(file.get(), delim, code);
    std::string line;
    std::vector<std::string> fields;
    int widest = 0;
    bool headerPending = target.Settings.WithHeader;
    for (int placed = 0; placed < kPreviewRows;) {
        const bool more = dm.ReadRecord(line);
        if (!more && line.empty()) break;
        if (headerPending) {
            headerPending = false;
        } else {
            SplitFieldsInto(line, sep, delim, fields, code);
            const int count = static_cast<int>(fields.size());
            if (count > widest) {
                widest = count;
                if (grid.ColCount() < count + 1) grid.SetColCount(count + 1);
            }
            ++placed;
            const int row = placed + 1;
            grid.SetCell(0, row, RowNumberText(placed));
            for (int f = 0; f < count; ++f) grid.SetCell(f + 1, row, fields[static_cast<std::size_t>(f)]);
        }
        if (!more) break;
    }
    file.reset();
    context.CsvHasData = true;
    context.CsvColumnCount = widest;
    context.CsvFile = path.string();
    UpdateGridColumns(grid, context);
    target.UserHost.SetStatusMessage(kCsvDataPreviewText);
    return true;
}

}  // namespace tabrook
