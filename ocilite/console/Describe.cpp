#include "ocilite/console/Describe.h"

namespace ocilite {

std::string DeclaredType(const ColumnInfo& c) {
    const std::string& t = c.typeName;
    const auto sized = [&](int n) { return t + "(" + std::to_string(n) + ")"; };
    if (t == "NUMBER") {
        if (c.precision == 0) return c.scale == -127 || c.scale == 0 ? t : "NUMBER(38," + std::to_string(c.scale) + ")";
        if (c.scale == 0) return sized(c.precision);
        return t + "(" + std::to_string(c.precision) + "," + std::to_string(c.scale) + ")";
    }
    if (t == "FLOAT") return c.precision == 126 ? t : sized(c.precision);
    if (t == "VARCHAR2" || t == "CHAR")
        return c.charUsed ? t + "(" + std::to_string(c.charSize) + " CHAR)" : sized(c.charSize);
    if (t == "NVARCHAR2" || t == "NCHAR") return sized(c.charSize);
    if (t == "RAW") return sized(c.dataSize);
    return t;
}

std::vector<DescribedColumn> DescribeObject(Session& session, const std::string& name) {
    std::vector<DescribedColumn> out;
    try {
        // the select list of the object itself describes its columns, views and others'
        // tables included, with the same access checks as a query
        auto stmt = session.Prepare("SELECT * FROM " + name + " WHERE 1 = 0");
        stmt->Execute();
        for (const auto& c : stmt->Columns()) out.push_back({c.name, c.nullable, DeclaredType(c)});
    } catch (const OraError& e) {
        if (e.Code() == 942 || e.Code() == 900 || e.Code() == 903 || e.Code() == 933)
            throw OraError(4043, "object " + name + " does not exist");
        throw;
    }
    return out;
}

}  // namespace ocilite
