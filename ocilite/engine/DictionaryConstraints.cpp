// The dictionary views of primary and unique keys: USER_/ALL_/DBA_CONSTRAINTS (one row per key,
// CONSTRAINT_TYPE 'P' or 'U', always ENABLED and VALIDATED) and USER_/ALL_/DBA_CONS_COLUMNS
// (one row per column of a key, POSITION from 1). NOT NULL, CHECK and foreign keys do not
// exist in the engine, so no row has another type.
#include "ocilite/engine/TranslatorInternal.h"

namespace ocilite::translate {

std::string ConstraintViewSql(const std::string& base, std::vector<Translator::ScopeColumn>& cols,
                              const std::string& alias, const std::string& tableFilter) {
    if (base != "CONSTRAINTS" && base != "CONS_COLUMNS") return {};
    std::vector<std::string> items;
    const auto add = [&](const std::string& name, SqlType type, bool notNull, const std::string& value) {
        Translator::ScopeColumn c;
        c.name = name;
        c.type = type;
        c.notNull = notNull;
        c.sql = alias + "." + OutName(cols.size());
        items.push_back(value + " AS " + OutName(cols.size()));
        cols.push_back(std::move(c));
    };
    const SqlType name128 = SqlType::Text(128);
    // The ALL_ and DBA_ views came with their OWNER column; the USER_ views have one too.
    if (cols.empty()) add("OWNER", name128, true, "t.owner");
    else items.push_back("t.owner AS " + OutName(0));
    std::string from = " FROM ocl_constraints o JOIN ocl_objects t ON t.id = o.obj_id";
    add("CONSTRAINT_NAME", name128, true, "o.name");
    if (base == "CONSTRAINTS") {
        add("CONSTRAINT_TYPE", SqlType::Text(1), false, "o.type");
        add("TABLE_NAME", name128, true, "t.name");
        add("R_OWNER", name128, false, "NULL");
        add("R_CONSTRAINT_NAME", name128, false, "NULL");
        add("STATUS", SqlType::Text(8), false, "'ENABLED'");
        add("DEFERRABLE", SqlType::Text(14), false, "'NOT DEFERRABLE'");
        add("DEFERRED", SqlType::Text(9), false, "'IMMEDIATE'");
        add("VALIDATED", SqlType::Text(13), false, "'VALIDATED'");
        add("GENERATED", SqlType::Text(14), false,
            "CASE WHEN substr(o.name, 1, 5) = 'SYS_C' THEN 'GENERATED NAME' ELSE 'USER NAME' END");
        add("INDEX_OWNER", name128, false, "t.owner");
        add("INDEX_NAME", name128, false, "o.name");
    } else {
        add("TABLE_NAME", name128, true, "t.name");
        add("COLUMN_NAME", name128, false, "c.name");
        add("POSITION", SqlType::Of(TypeKind::Number), false, "onum(j.key + 1)");
        // the key's column positions, kept as "0 2", one row each
        from += " JOIN json_each('[' || replace(o.columns, ' ', ',') || ']') j"
                " JOIN ocl_columns c ON c.obj_id = o.obj_id AND c.pos = j.value";
    }
    std::string sql = "SELECT ";
    for (size_t i = 0; i < items.size(); ++i) sql += (i ? ", " : "") + items[i];
    return sql + from + " WHERE " + tableFilter;
}

}  // namespace ocilite::translate
