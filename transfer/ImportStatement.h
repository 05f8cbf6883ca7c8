#pragma once
// The statements of an import, built from its plan: the bound INSERT of every import
// (INSERT mode), or for UPSERT and UPDATE the MERGE statements that match rows by the table's
// key (TableKey.h). Every statement binds the same placeholders in the same order, one per
// importable column, each converted as the INSERT converts it (TO_DATE with DateFmt, ...).
//
// UPSERT and UPDATE run MERGE INTO t USING (SELECT <placeholders> FROM dual) s ON (<key>)
// in two halves, so that each row's outcome is known (Oracle reports one row merged whether a
// MERGE updated or inserted it):
//   UpdateMerge  ... WHEN MATCHED THEN UPDATE SET <the columns outside the key>
//   InsertMerge  ... WHEN NOT MATCHED THEN INSERT (<columns>) VALUES (<s.columns>)
// A row the first changes was updated; a row it leaves alone has no row of its key yet, and
// the second inserts it (UPSERT) or the row is refused (UPDATE). See KeyedRowSender.

#include <string>
#include <vector>

namespace tabrook {

struct TableKey;
struct TransferPlan;

class ImportStatement {
public:
    // Builds the statements of plan for its LoadMode (key: the table's key, needed by UPSERT
    // and UPDATE). False, with the status text in message and the result code in code, when
    // none can be built: a name that cannot be quoted, no importable column, or (UPSERT,
    // UPDATE) no key, a key column without a field, no column to update, LOB data.
    bool Build(const TransferPlan& plan, const TableKey& key, std::string& message, int& code);

    // The statement the import's cursor prepares: Insert, or UpdateMerge.
    const std::string& Main() const { return keyed_ ? UpdateMerge : Insert; }
    bool Keyed() const { return keyed_; }

    std::string Insert;
    std::string UpdateMerge;
    std::string InsertMerge;  // UPSERT only
    // Per bind, in bind order: the field it takes, its column's name (in the plan), whether it
    // is a LOB column whose contents travel in the file, and the column's type code.
    std::vector<int> Bound;
    std::vector<const std::string*> BoundNames;
    std::vector<bool> BoundLob;
    std::vector<int> BoundTypes;
    // The binds of the key's columns, in the key's order (UPSERT, UPDATE).
    std::vector<std::size_t> KeyBinds;

private:
    bool keyed_ = false;
};

// The refusal of a row UPDATE finds no row for: the key's columns and the row's values.
std::string NoRowForKeyMessage(const ImportStatement& statement, const std::vector<const std::string*>& values);

}  // namespace tabrook
