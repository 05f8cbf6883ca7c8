#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "ocilite/engine/Parser.h"
#include "ocilite/engine/SqliteDb.h"
#include "ocilite/engine/TranslatorInternal.h"
#include "ocilite/types/OraError.h"

namespace ocilite {
using namespace translate;

// ---- sources -----------------------------------------------------------------------------

std::string Translator::BuiltinViewSql(const std::string& name, std::vector<ScopeColumn>& cols,
                                       const std::string& alias, const std::string& schema) {
    auto add = [&](const std::string& n, SqlType t, bool notNull = false) {
        ScopeColumn c;
        c.name = n;
        c.type = t;
        c.notNull = notNull;
        c.sql = alias + "." + OutName(cols.size());
        cols.push_back(std::move(c));
    };
    SqlType name128 = SqlType::Text(128);
    SqlType num = SqlType::Of(TypeKind::Number);
    SqlType date = SqlType::Of(TypeKind::Date);
    std::string owner = SqlQuote(user_);
    bool all = name.rfind("ALL_", 0) == 0 || name.rfind("DBA_", 0) == 0;
    // USER_ views: this account's objects; ALL_ views: those it owns or was granted; DBA_
    // views: every object, for the accounts that may read any table
    std::string ownerFilter = "o.owner = " + owner;
    std::string tableFilter = "t.owner = " + owner;  // over the table of an index
    if (name.rfind("DBA_", 0) == 0) {
        if (!catalog_.HasSystemPrivilege(user_, "SELECT ANY TABLE"))
            throw OraError(942, "table or view does not exist");
        ownerFilter = tableFilter = "1";
    } else if (all) {
        ownerFilter = catalog_.VisibleObjectsCondition(user_, "o");
        tableFilter = catalog_.VisibleObjectsCondition(user_, "t");
    }
    if (name == "DUAL") {
        add("DUMMY", SqlType::Text(1));
        return "SELECT 'X' AS _c1";
    }
    std::string base = all ? name.substr(4) : name.substr(5);
    if (name == "ALL_USERS" || name == "DBA_USERS") {
        add("USERNAME", name128, true);
        add("USER_ID", num, true);
        add("CREATED", date);
        return "SELECT name AS _c1, onum(rowid) AS _c2, NULL AS _c3 FROM ocl_users";
    }
    std::string sql;
    std::string ownerCol = all ? "o.owner AS _c1, " : "";
    if (all) add("OWNER", name128, true);
    size_t k = cols.size();
    auto out = [&](size_t offset) { return OutName(k + offset); };
    if (base == "OBJECTS") {
        add("OBJECT_NAME", name128, true);
        add("SUBOBJECT_NAME", name128);
        add("OBJECT_ID", num);
        add("DATA_OBJECT_ID", num);
        add("OBJECT_TYPE", SqlType::Text(23));
        add("CREATED", date, true);
        add("LAST_DDL_TIME", date, true);
        add("TIMESTAMP", SqlType::Text(19));
        add("STATUS", SqlType::Text(7));
        add("TEMPORARY", SqlType::Text(1));
        add("GENERATED", SqlType::Text(1));
        add("SECONDARY", SqlType::Text(1));
        sql = "SELECT " + ownerCol + "o.name AS " + out(0) + ", NULL AS " + out(1) + ", onum(o.id) AS " + out(2) +
              ", CASE WHEN o.type = 'TABLE' THEN onum(o.id) END AS " + out(3) + ", o.type AS " + out(4) +
              ", o.created AS " + out(5) + ", o.created AS " + out(6) + ", NULL AS " + out(7) + ", 'VALID' AS " +
              out(8) + ", 'N' AS " + out(9) + ", 'N' AS " + out(10) + ", 'N' AS " + out(11) +
              " FROM ocl_objects o WHERE " + ownerFilter +
              // a primary key or unique constraint has its index, named as the constraint
              " UNION ALL SELECT " + ownerCol +
              "o.name, NULL, onum(1000000 + o.rowid), onum(1000000 + o.rowid), "
              "'INDEX', t.created, t.created, NULL, 'VALID', 'N', " +
              "CASE WHEN substr(o.name, 1, 5) = 'SYS_C' THEN 'Y' ELSE 'N' END, 'N'"
              " FROM ocl_constraints o JOIN ocl_objects t ON t.id = o.obj_id WHERE " +
              tableFilter;
    } else if (base == "INDEXES") {
        add("INDEX_NAME", name128, true);
        add("INDEX_TYPE", SqlType::Text(27));
        add("TABLE_OWNER", name128, true);
        add("TABLE_NAME", name128, true);
        add("TABLE_TYPE", SqlType::Text(11));
        add("UNIQUENESS", SqlType::Text(9));
        add("TABLESPACE_NAME", SqlType::Text(30));
        add("STATUS", SqlType::Text(8));
        add("GENERATED", SqlType::Text(1));
        sql = "SELECT " + ownerCol + "o.name AS " + out(0) + ", 'NORMAL' AS " + out(1) + ", t.owner AS " + out(2) +
              ", t.name AS " + out(3) + ", 'TABLE' AS " + out(4) + ", 'UNIQUE' AS " + out(5) + ", 'USERS' AS " +
              out(6) + ", 'VALID' AS " + out(7) +
              ", CASE WHEN substr(o.name, 1, 5) = 'SYS_C' THEN 'Y' ELSE 'N' END AS " + out(8) +
              " FROM ocl_constraints o JOIN ocl_objects t ON t.id = o.obj_id WHERE " + tableFilter;
    } else if (base == "TABLES") {
        add("TABLE_NAME", name128, true);
        add("TABLESPACE_NAME", SqlType::Text(30));
        add("NUM_ROWS", num);
        add("TEMPORARY", SqlType::Text(1));
        sql = "SELECT " + ownerCol + "o.name AS " + out(0) + ", 'USERS' AS " + out(1) + ", NULL AS " + out(2) +
              ", 'N' AS " + out(3) + " FROM ocl_objects o WHERE o.type = 'TABLE' AND " + ownerFilter;
    } else if (base == "VIEWS") {
        add("VIEW_NAME", name128, true);
        add("TEXT_LENGTH", num);
        SqlType longType = SqlType::Of(TypeKind::Long);
        add("TEXT", longType);
        sql = "SELECT " + ownerCol + "o.name AS " + out(0) + ", onum(length(CAST(o.view_text AS BLOB))) AS " + out(1) +
              ", o.view_text AS " + out(2) + " FROM ocl_objects o WHERE o.type = 'VIEW' AND " + ownerFilter;
    } else if (base == "TAB_COLUMNS") {
        add("TABLE_NAME", name128, true);
        add("COLUMN_NAME", name128, true);
        add("DATA_TYPE", name128);
        add("DATA_LENGTH", num, true);
        add("DATA_PRECISION", num);
        add("DATA_SCALE", num);
        add("NULLABLE", SqlType::Text(1));
        add("COLUMN_ID", num);
        add("CHAR_LENGTH", num);
        add("CHAR_USED", SqlType::Text(1));
        add("DATA_DEFAULT", SqlType::Of(TypeKind::Long));
        sql = "SELECT " + ownerCol + "o.name AS " + out(0) + ", c.name AS " + out(1) + ", ocolinfo(c.type, 0) AS " +
              out(2) + ", onum(ocolinfo(c.type, 1)) AS " + out(3) + ", onum(ocolinfo(c.type, 2)) AS " + out(4) +
              ", onum(ocolinfo(c.type, 3)) AS " + out(5) + ", CASE WHEN c.not_null THEN 'N' ELSE 'Y' END AS " + out(6) +
              ", onum(c.pos + 1) AS " + out(7) + ", onum(ocolinfo(c.type, 4)) AS " + out(8) +
              ", ocolinfo(c.type, 5) AS " + out(9) + ", NULLIF(c.default_text, '') AS " + out(10) +
              " FROM ocl_objects o JOIN ocl_columns c ON c.obj_id = o.id WHERE " + ownerFilter;
    } else if (sql = ConstraintViewSql(base, cols, alias, tableFilter); sql.empty()) {
        throw OraError(942, "table or view does not exist");
    }
    (void)schema;
    return sql;
}

Translator::Source Translator::ResolveSource(const TableRef& ref, const Scope* parent) {
    try {
        return ResolveNamedSource(ref, parent);
    } catch (OraError& e) {
        if (!e.HasOffset()) e.SetOffset(ref.pos);
        throw;
    }
}

Translator::Source Translator::ResolveNamedSource(const TableRef& ref, const Scope* parent) {
    Source src;
    src.sqlAlias = "s" + std::to_string(++aliasCounter_);
    if (ref.subquery) {
        QueryResult q = TranslateQuery(*ref.subquery, parent);
        src.qualifier = ref.alias;
        for (size_t i = 0; i < q.columns.size(); ++i) {
            ScopeColumn c;
            c.name = q.columns[i].info.name;
            c.type = q.columns[i].type;
            c.notNull = !q.columns[i].info.nullable;
            c.sql = src.sqlAlias + "." + OutName(i);
            src.columns.push_back(std::move(c));
        }
        // a derived table carries its SQL where a stored table has its name
        src.table = "(" + q.sql + ")";
        return src;
    }
    std::string owner = ref.schema.empty() ? user_ : ref.schema;
    src.owner = owner;
    src.table = ref.name;
    src.qualifier = ref.alias.empty() ? ref.name : ref.alias;
    auto obj = catalog_.Find(owner, ref.name);
    if (!obj) {
        static const char* const kBuiltins[] = {
            "DUAL",       "USER_OBJECTS",    "USER_TABLES",     "USER_VIEWS",   "USER_TAB_COLUMNS", "ALL_OBJECTS",
            "ALL_TABLES", "ALL_VIEWS",       "ALL_TAB_COLUMNS", "ALL_USERS",    "DBA_OBJECTS",      "DBA_TABLES",
            "DBA_VIEWS",  "DBA_TAB_COLUMNS", "DBA_USERS",       "USER_INDEXES", "ALL_INDEXES",      "DBA_INDEXES",
            "USER_CONSTRAINTS", "ALL_CONSTRAINTS", "DBA_CONSTRAINTS", "USER_CONS_COLUMNS", "ALL_CONS_COLUMNS",
            "DBA_CONS_COLUMNS"};
        bool builtin = false;
        if (ref.schema.empty() || ref.schema == "SYS" || ref.schema == "PUBLIC")
            for (const char* b : kBuiltins)
                if (ref.name == b) builtin = true;
        if (!builtin) throw OraError(942, "table or view does not exist");
        std::string sql = BuiltinViewSql(ref.name, src.columns, src.sqlAlias, owner);
        src.table = "(" + sql + ")";
        src.owner = "SYS";
        return src;
    }
    RequireAccess(catalog_, user_, *obj, "SELECT");
    if (obj->type == "VIEW") {
        if (++viewDepth_ > 20) throw OraError(1731, "circular view definition encountered");
        ParsedStatement vs = ParseStatement(obj->viewText);
        // names inside the view resolve in its owner's schema
        std::string saveUser = user_;
        user_ = obj->owner;
        QueryResult q = TranslateQuery(*vs.select, nullptr);
        user_ = saveUser;
        --viewDepth_;
        for (size_t i = 0; i < q.columns.size(); ++i) {
            ScopeColumn c;
            c.name = i < obj->viewColumns.size() ? obj->viewColumns[i] : q.columns[i].info.name;
            c.type = q.columns[i].type;
            c.notNull = !q.columns[i].info.nullable;
            c.sql = src.sqlAlias + "." + OutName(i);
            src.columns.push_back(std::move(c));
        }
        src.table = "(" + q.sql + ")";
        src.objectId = obj->id;
        return src;
    }
    src.isTable = true;
    src.objectId = obj->id;
    for (size_t i = 0; i < obj->columns.size(); ++i) {
        ScopeColumn c;
        c.name = obj->columns[i].name;
        c.type = obj->columns[i].type;
        c.notNull = obj->columns[i].notNull;
        c.sql = src.sqlAlias + "." + CatalogObject::ColumnStorage(i);
        src.columns.push_back(std::move(c));
    }
    src.table = obj->StorageName();
    src.owner = owner;
    // keep the Oracle name for qualification by schema.table
    src.table = obj->StorageName();
    return src;
}

}  // namespace ocilite
