#include "transfer/ImportStatement.h"

#include "oci/ColumnKind.h"
#include "transfer/ImportEngine.h"
#include "transfer/LoadMode.h"
#include "transfer/SqlName.h"
#include "transfer/TableKey.h"
#include "transfer/TransferPlan.h"

namespace tabrook {

namespace {

// A single-quoted SQL literal; a quote inside is doubled so the format cannot end it early.
std::string Literal(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    out += '\'';
    return out;
}

// The value a bind stands for, converted by the column's import class.
std::string Placeholder(ImportClass kind, const std::string& bind, const TransferSettings& settings) {
    switch (kind) {
        case ImportClass::Date: return "TO_DATE(" + bind + "," + Literal(settings.DateFmt) + ")";
        case ImportClass::Timestamp: return "TO_TIMESTAMP(" + bind + "," + Literal(settings.TimestampFmt) + ")";
        case ImportClass::TimestampTz: return "TO_TIMESTAMP_TZ(" + bind + "," + Literal(settings.TimestampFmt) + ")";
        case ImportClass::IntervalYM: return "TO_YMINTERVAL(" + bind + ")";
        case ImportClass::IntervalDS: return "TO_DSINTERVAL(" + bind + ")";
        case ImportClass::National: return "TRANSLATE(" + bind + " USING NCHAR_CS)";
        default: return bind;
    }
}

// The source side of a key column in the ON clause. A CHAR or NCHAR column holds its value
// blank-padded while the source is a varying text, which compares without padding: as a
// fixed-length text of the largest size the source compares blank-padded, as the column does.
std::string KeySource(int typeCode, const std::string& column) {
    if (typeCode == 96) return "CAST(" + column + " AS CHAR(2000))";
    if (typeCode == 9096) return "CAST(" + column + " AS NCHAR(1000))";
    return column;
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& part : parts) {
        if (!out.empty()) out += separator;
        out += part;
    }
    return out;
}

}  // namespace

bool ImportStatement::Build(const TransferPlan& plan, const TableKey& key, std::string& message, int& code) {
    const TransferSettings& settings = plan.Settings;
    const std::string& table = plan.Table;
    keyed_ = !plan.ExportMode && SettledLoadMode(settings.LoadMode) != kLoadInsert;
    Insert.clear();
    UpdateMerge.clear();
    InsertMerge.clear();
    Bound.clear();
    BoundNames.clear();
    BoundLob.clear();
    BoundTypes.clear();
    KeyBinds.clear();
    // The result code of a failure (code is left alone when the statements are built).
    int failure = kImportFailed;
    const auto fail = [&](std::string text) {
        message = std::move(text);
        code = failure;
        return false;
    };
    if (!IsQuotableName(table)) return fail(UnquotableNameMessage(table));
    std::vector<std::string> columns;
    std::vector<std::string> values;
    for (const PlanColumn& column : plan.Columns) {
        const ColumnKind& type = column.Kind();
        const bool lob = settings.LobData && type.LobData;
        if (type.Import == ImportClass::Skipped && !lob) continue;
        const std::string& name = column.Name;
        if (!IsQuotableName(name)) return fail(UnquotableNameMessage(name));
        columns.push_back(Quoted(name));
        // Every placeholder is quoted, as the bind is registered: an unquoted one would be
        // folded to upper case and miss a column whose name is not all upper case.
        values.push_back(Placeholder(type.Import, ":" + Quoted(name), settings));
        Bound.push_back(column.Field);
        BoundNames.push_back(&name);
        BoundLob.push_back(lob);
        BoundTypes.push_back(column.TypeCode);
    }
    if (values.empty()) {
        failure = kImportNothingToImport;
        return fail("インポートできる項目がありません。");
    }
    Insert = "insert into " + Quoted(table) + "(" + Joined(columns, ",") + ")values(" + Joined(values, ",") + ")";
    if (!keyed_) return true;

    const char* const mode = LoadModeName(settings.LoadMode);
    failure = kImportNoKey;
    if (key.Empty()) return fail(NoKeyMessage(table, settings.LoadMode));
    for (bool lob : BoundLob)
        if (lob) return fail(std::string("LOBデータを含むインポートは") + mode + "では実行できません。");
    std::vector<std::string> on;
    for (const std::string& keyColumn : key.Columns) {
        std::size_t b = 0;
        while (b < BoundNames.size() && *BoundNames[b] != keyColumn) ++b;
        if (b == BoundNames.size())
            return fail("キー列 " + keyColumn + " にCSVの項目が割り当てられていないため、" + mode +
                        "でインポートできません。");
        KeyBinds.push_back(b);
        on.push_back("t." + columns[b] + " = " + KeySource(BoundTypes[b], "s." + columns[b]));
    }
    std::vector<std::string> select;
    std::vector<std::string> set;
    std::vector<std::string> sourceValues;
    for (std::size_t b = 0; b < columns.size(); ++b) {
        select.push_back(values[b] + " " + columns[b]);
        sourceValues.push_back("s." + columns[b]);
        if (!key.Has(*BoundNames[b])) set.push_back("t." + columns[b] + " = s." + columns[b]);
    }
    if (set.empty()) return fail(std::string("キー以外に更新する列がないため、") + mode + "でインポートできません。");
    const std::string head = "merge into " + Quoted(table) + " t using (select " + Joined(select, ", ") +
                             " from dual) s on (" + Joined(on, " and ") + ")";
    UpdateMerge = head + " when matched then update set " + Joined(set, ", ");
    if (settings.LoadMode == kLoadUpsert)
        InsertMerge = head + " when not matched then insert (" + Joined(columns, ", ") + ") values (" +
                      Joined(sourceValues, ", ") + ")";
    return true;
}

std::string NoRowForKeyMessage(const ImportStatement& statement, const std::vector<const std::string*>& values) {
    std::string text = "キーに一致する行がありません。";
    const char* separator = "";
    for (std::size_t k : statement.KeyBinds) {
        text += separator;
        text += *statement.BoundNames[k] + "=" + (k < values.size() && values[k] ? *values[k] : std::string());
        separator = ", ";
    }
    return text;
}

}  // namespace tabrook
