#include "transfer/TableKey.h"

#include <algorithm>

#include "oci/TOCI8Cur.h"
#include "transfer/LoadMode.h"

namespace tabrook {

bool TableKey::Has(const std::string& column) const {
    return std::find(Columns.begin(), Columns.end(), column) != Columns.end();
}

bool TableKeyLookup::Find(const std::string& owner, const std::string& table, TableKey& key) {
    key = TableKey{};
    error_.clear();
    const bool own = owner.empty();
    const std::string prefix = own ? "USER_" : "ALL_";
    // The primary key first, then the unique keys by name; each key's columns in order. The
    // names travel as bind values.
    std::string sql = "select c.CONSTRAINT_NAME, c.CONSTRAINT_TYPE, k.COLUMN_NAME from " + prefix +
                      "CONSTRAINTS c, " + prefix +
                      "CONS_COLUMNS k where c.TABLE_NAME = :TABLE_NAME and c.CONSTRAINT_TYPE in ('P', 'U') "
                      "and c.STATUS = 'ENABLED' and k.CONSTRAINT_NAME = c.CONSTRAINT_NAME and k.TABLE_NAME = "
                      "c.TABLE_NAME";
    if (!own) sql += " and c.OWNER = :OWNER and k.OWNER = c.OWNER";
    sql += " order by decode(c.CONSTRAINT_TYPE, 'P', 0, 1), c.CONSTRAINT_NAME, k.POSITION";
    cur_.SetSQL(sql);
    cur_.Binds.clear();
    AddBind(cur_.Binds, ":TABLE_NAME", table, true);
    if (!own) AddBind(cur_.Binds, ":OWNER", owner, true);
    if (!cur_.Execute(0)) {
        error_ = cur_.ErrMsg();
        cur_.Binds.clear();
        return false;
    }
    while (cur_.Fetch()) {
        if (cur_.Values.size() < 3) break;
        if (key.Constraint.empty()) {
            key.Constraint = cur_.Values[0];
            key.Primary = cur_.Values[1] == "P";
        } else if (cur_.Values[0] != key.Constraint) {
            break;  // the next key: only the first one counts
        }
        key.Columns.push_back(cur_.Values[2]);
    }
    const bool failed = cur_.ErrCode() != 0 && cur_.ErrCode() != 100;
    if (failed) error_ = cur_.ErrMsg();
    cur_.Binds.clear();
    cur_.CleanUp();
    if (failed) key = TableKey{};
    return !failed;
}

std::string NoKeyMessage(const std::string& table, int loadMode) {
    return std::string("テーブル ") + table + " には主キーも一意キーもないため、" + LoadModeName(loadMode) +
           " でインポートできません。\n主キーを作成するか、INSERTでインポートしてください。";
}

}  // namespace tabrook
