#include "app/DataPreview.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/DefaultFileFolder.h"
#include "app/PreviewCellText.h"
#include "oci/ColumnKind.h"
#include "oci/DataAttr.h"
#include "transfer/BusyPointer.h"
#include "transfer/ClientCharset.h"
#include "transfer/FileDecoder.h"
#include "transfer/Host.h"
#include "transfer/RecordReader.h"
#include "transfer/SafeFiles.h"
#include "transfer/SplitFields.h"
#include "transfer/SqlName.h"
#include "transfer/TableKey.h"
#include "transfer/Tdm.h"

namespace tabrook {

namespace {

constexpr int kExportMode = 1;
constexpr int kPreviewRows = 30;
// How much of a file the preview looks at to tell its encoding (the import reads it all).
constexpr long long kPreviewScanBytes = 4 << 20;
// The most bytes of one record the preview holds: a row shows at most kPreviewColumns cells
// of kPreviewCellBytes each, about 4 MB in all, so a longer prefix could show little more. The
// rest of the record is scanned for its end and its field count only.
constexpr std::size_t kPreviewRecordBytes = 4 << 20;
// The most bytes of a file the preview reads: a delimiter that never closes would otherwise
// have the preview read a huge file to its end.
constexpr long long kPreviewFileBytes = 64LL << 20;
// A field count beyond any int the window keeps (a file of billions of separators).
constexpr std::size_t kMaxFieldCount = 1 << 30;

// Converts a record of the file to the client's character set as the import does. A record
// cut short may end inside a character: its last bytes are dropped until it converts. Text
// that still does not convert is shown as it stands.
void DecodeRecord(FileDecoder& decoder, std::string& record, bool cut) {
    if (!decoder.Converts()) return;
    std::string decoded;
    for (int dropped = 0; dropped < (cut ? 4 : 1) && dropped <= static_cast<int>(record.size()); ++dropped) {
        if (decoder.Decode(record.substr(0, record.size() - static_cast<std::size_t>(dropped)), decoded)) {
            record.swap(decoded);
            return;
        }
    }
}

std::string WideRecordsNote(int fields) {
    return "項目数 " + std::to_string(fields) + " のうち先頭の " + std::to_string(kPreviewColumns) + " 項目を表示";
}

std::string ScanStoppedNote() {
    return "先頭の " + std::to_string(kPreviewFileBytes >> 20) + " MiB までを表示";
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string TypeText(const std::string& typeName, int typeCode, int precision, int scale) {
    if (!KindOf(typeCode).SizeSuffix) return typeName;
    if (typeCode == 2 && precision == 0 && scale == 0) return typeName;
    std::string text = typeName + "(" + std::to_string(precision + scale);
    if (scale >= 1) text += "," + std::to_string(scale);
    return text + ")";
}

std::string TypeText(const DataAttr& column) {
    return TypeText(column.TypeName, column.DataType, column.Precision, column.Scale);
}

std::vector<MappedColumn> ColumnMapping(const GridModel& grid) {
    std::vector<MappedColumn> mapping;
    for (int c = GridModel::kFixedCols; c < grid.ColCount(); ++c) mapping.push_back({grid.Cell(c, 0), grid.ColumnType(c)});
    return mapping;
}

void UpdateGridColumns(GridModel& grid, TargetFacts& context) {
    // The file's fields past kPreviewColumns have no column to go to: the grid stops there.
    context.GridColumnCount = std::max(context.TableColumnCount, std::min(context.CsvColumnCount, kPreviewColumns));
    grid.SetColCount(context.GridColumnCount == 0 ? GridModel::kEmptyColCount : context.GridColumnCount + 1);
}

void ClearTablePreview(PreviewTarget& target) {
    target.Grid.ClearRow(0);
    target.Grid.ClearRow(1);
    target.Context.TableName.clear();
    target.Context.TableColumnCount = 0;
    target.Context.TableInfoOk = false;
    target.Context.TableFailure.clear();
    if (target.Settings.Mode == kExportMode) target.UserHost.SetStatusMessage("");
    UpdateGridColumns(target.Grid, target.Context);
}

void ClearCsvPreview(PreviewTarget& target) {
    for (int row = GridModel::kFixedRows; row < target.Grid.RowCount(); ++row) target.Grid.ClearRow(row);
    target.Context.CsvFile.clear();
    target.Context.CsvFailure.clear();
    target.Context.CsvColumnCount = 0;
    target.Context.CsvHasData = false;
    target.UserHost.SetStatusMessage("");
    UpdateGridColumns(target.Grid, target.Context);
}

void ClearPreview(PreviewTarget& target) {
    for (int col = 0; col < target.Grid.ColCount(); ++col) target.Grid.ClearColumn(col);
    target.Grid.SetColCount(2);
    TargetFacts& context = target.Context;
    context.TableName.clear();
    context.TableColumnCount = 0;
    context.TableInfoOk = false;
    context.TableFailure.clear();
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
    const std::vector<MappedColumn> mapping = ColumnMapping(target.Grid);
    const int n = static_cast<int>(mapping.size());
    TOCI8Ctrl& oci = target.Dm.OCI;
    oci.DateFormat = target.Settings.DateFmt;
    oci.TimeStampFormat = target.Settings.TimestampFmt;

    for (int j = -1; j < n; ++j) {
        const std::string& checked = j < 0 ? name : mapping[static_cast<std::size_t>(j)].Name;
        if (!IsQuotableName(checked)) {
            if (failure != nullptr) *failure = UnquotableNameMessage(checked);
            return false;
        }
    }
    std::string sql = "select ";
    for (int j = 0; j < n; ++j) {
        if (j > 0) sql += ',';
        const MappedColumn& column = mapping[static_cast<std::size_t>(j)];
        const std::string quoted = Quoted(column.Name);
        if (KindOf(column.TypeCode).National && !KindOf(column.TypeCode).Lob) {
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
        if (failure != nullptr) *failure = cur.ErrMsg();
        return false;
    }
    GridModel& grid = target.Grid;
    const DoubleByteCode code = ClientDoubleByteCode(oci);
    grid.SetTextCharset(ClientCharsetName(oci));  // the values come in the client's character set
    for (int row = GridModel::kFixedRows; row < grid.RowCount(); ++row) grid.ClearRow(row);
    for (int row = GridModel::kFixedRows; row < grid.RowCount() && cur.Fetch(); ++row) {
        grid.SetCell(0, row, RowNumberText(row - 1));
        for (std::size_t j = 0; j < cur.Values.size(); ++j) {
            grid.SetCell(static_cast<int>(j) + 1, row, PreviewCellText(cur.Values[j], code));
        }
    }
    return true;
}

bool PreviewTable(PreviewTarget& target, const std::string& typed) {
    if (typed.empty()) return false;
    TargetFacts& context = target.Context;
    // From here on the table is the identifier the typed name stands for.
    const std::string name = TableIdentifier(typed, ClientDoubleByteCode(target.Dm.OCI));
    if (!IsQuotableName(name)) {
        ClearTablePreview(target);
        context.TableFailure = UnquotableNameMessage(name);
        target.UserHost.SetStatusMessage(context.TableFailure);
        return false;
    }
    TOCI8Cur& cur = target.Dm.OCIcur;
    cur.SetSQL("select * from " + Quoted(name));
    BusyPointer busy(target.UserHost, Host::BusyPointer::SqlWait);
    ClearTablePreview(target);
    target.Grid.SetKeyColumns({}, false);
    const bool described = cur.Execute(0);
    if (!described) {
        context.TableFailure = cur.ErrMsg();
        target.UserHost.SetStatusMessage(context.TableFailure);
    }
    context.TableColumnCount = static_cast<int>(cur.Columns.size());
    UpdateGridColumns(target.Grid, context);
    if (!described) return false;

    for (std::size_t i = 0; i < cur.Columns.size(); ++i) {
        const int col = static_cast<int>(i) + 1;
        target.Grid.SetCell(col, 0, cur.Columns[i].Name);
        target.Grid.SetCell(col, 1, TypeText(cur.Columns[i]));
        target.Grid.SetColumnType(col, cur.Columns[i].DataType);
    }
    context.TableName = name;
    context.TableInfoOk = true;
    if (target.Settings.Mode == kExportMode) {
        std::string failure;
        const bool shown = PreviewTableData(target, name, &failure);
        target.UserHost.SetStatusMessage(shown ? kTableDataPreviewText : failure);
    }
    context.IsTable = CheckIsTable(target, name);
    // The key an UPSERT or UPDATE matches rows by, marked in the header. A dictionary that
    // cannot be read marks nothing (the import itself says why when it needs the key).
    TableKey key;
    if (context.IsTable && TableKeyLookup(cur).Find("", name, key))
        target.Grid.SetKeyColumns(key.Columns, key.Primary);
    return true;
}

bool PreviewCsv(PreviewTarget& target, const std::string& fileName) {
    TargetFacts& context = target.Context;
    context.CsvHasData = false;
    context.CsvFailure.clear();
    const char sep = target.Settings.Separator.empty() ? ',' : target.Settings.Separator.front();
    const char delim = FirstByte(target.Settings.Delimiter);
    if (target.Settings.Mode == kExportMode) {
        context.CsvFile = fileName;  // the output of an export: nothing to read
        return true;
    }
    if (fileName.empty()) return false;
    std::filesystem::path path(fileName);
    if (!path.has_parent_path()) path = DefaultFileFolder() / path;

    BusyPointer busy(target.UserHost, Host::BusyPointer::Hourglass);
    // A folder opens like a file and reads as an empty one: it is refused as unreadable.
    FilePtr file = OpenForReading(path.string());
    if (!file) {
        const int error = errno;
        std::error_code statusError;
        const auto status = std::filesystem::status(path, statusError);
        // A pipe or a device would never end: it is refused, and the reason says why.
        context.CsvFailure = !statusError && std::filesystem::exists(status) && !std::filesystem::is_directory(status) &&
                                     !std::filesystem::is_regular_file(status)
                                 ? "(Not a regular file)"
                                 : SystemReason(error);
        return false;
    }
    context.CsvFailure.clear();

    GridModel& grid = target.Grid;
    Tdm& dm = target.Dm;
    // Records as the import reads them: quoted fields may span lines.
    const DoubleByteCode code = ClientDoubleByteCode(dm.OCI);
    grid.SetTextCharset(ClientCharsetName(dm.OCI));  // the file is read in the client's character set
    // The file's own encoding, converted to the client's as the import converts it.
    FileDecoder decoder;
    const std::string refusal =
        decoder.Open(path.string(), target.Settings.Encoding, ClientCharsetName(dm.OCI), kPreviewScanBytes);
    RecordReader reader;
    reader.Start(file.get(), delim, decoder.RecordCode(code), decoder.Stream(), decoder.StreamMark());
    const PrefixBounds bounds{kPreviewRecordBytes, kPreviewColumns, kPreviewFileBytes, sep};
    RecordPrefix prefix;
    std::string line;
    std::vector<std::string> fields;
    int widest = 0;
    bool headerPending = target.Settings.WithHeader;
    context.CsvHeader.clear();
    for (int placed = 0; placed < kPreviewRows;) {
        const bool more = reader.ReadRecordPrefix(line, bounds, prefix);
        if (!more && line.empty()) break;
        DecodeRecord(decoder, line, prefix.Cut);
        if (headerPending) {
            headerPending = false;
            SplitFieldsInto(line, sep, delim, context.CsvHeader, code);
        } else {
            SplitFieldsInto(line, sep, delim, fields, code);
            const int count = static_cast<int>(fields.size());
            // The fields of the part not kept still count: the file's width is known exactly.
            widest =
                std::max(widest, count + static_cast<int>(std::min<std::size_t>(prefix.MoreFields, kMaxFieldCount)));
            const int shown = std::min(count, kPreviewColumns);
            if (grid.ColCount() < shown + 1) grid.SetColCount(shown + 1);
            ++placed;
            const int row = placed + 1;
            grid.SetCell(0, row, RowNumberText(placed));
            // A field cut short shows the mark that it goes on.
            for (int f = 0; f < shown; ++f)
                grid.SetCell(f + 1, row,
                             PreviewCellText(std::move(fields[static_cast<std::size_t>(f)]), code,
                                             prefix.FieldCut && f + 1 == count));
        }
        if (!more) break;
    }
    file.reset();
    context.CsvHasData = true;
    context.CsvColumnCount = widest;
    context.CsvFile = path.string();
    UpdateGridColumns(grid, context);
    context.CsvEncoding = decoder.Detected() ? decoder.Note() : std::string();
    // What the rows do not show: the file's encoding, fields past the grid, the rest of a file
    // whose scan stopped.
    std::vector<std::string> notes;
    if (decoder.Detected()) notes.push_back(decoder.Note());
    if (widest > kPreviewColumns) notes.push_back(WideRecordsNote(widest));
    if (prefix.ScanStopped) notes.push_back(ScanStoppedNote());
    if (!refusal.empty()) {
        target.UserHost.SetStatusMessage(refusal);
    } else {
        std::string status = kCsvDataPreviewText;
        for (std::size_t i = 0; i < notes.size(); ++i) status += (i == 0 ? "（" : "、") + notes[i];
        target.UserHost.SetStatusMessage(notes.empty() ? status : status + "）");
    }
    return true;
}

}  // namespace tabrook
