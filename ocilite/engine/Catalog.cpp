#include "ocilite/engine/Catalog.h"

#include <cstdio>
#include <sstream>

#include "ocilite/engine/SqliteDb.h"
#include "ocilite/engine/ValueCodec.h"
#include "ocilite/types/OraError.h"
#include "ocilite/types/OraTimestamp.h"

namespace ocilite {

void Catalog::EnsureSchema() {
    ExecSql(db_,
            "CREATE TABLE IF NOT EXISTS ocl_users(name TEXT PRIMARY KEY, pwhash TEXT NOT NULL,"
            " created BLOB);"
            "CREATE TABLE IF NOT EXISTS ocl_objects(id INTEGER PRIMARY KEY, owner TEXT NOT NULL,"
            " name TEXT NOT NULL, type TEXT NOT NULL, view_text TEXT, view_columns TEXT,"
            " created TEXT, UNIQUE(owner, name));"
            "CREATE TABLE IF NOT EXISTS ocl_columns(obj_id INTEGER NOT NULL, pos INTEGER NOT NULL,"
            " name TEXT NOT NULL, type TEXT NOT NULL, not_null INTEGER NOT NULL,"
            " default_text TEXT, PRIMARY KEY(obj_id, pos));"
            "CREATE TABLE IF NOT EXISTS ocl_constraints(owner TEXT NOT NULL, name TEXT NOT NULL,"
            " obj_id INTEGER NOT NULL, type TEXT NOT NULL, columns TEXT NOT NULL,"
            " PRIMARY KEY(owner, name));"
            "CREATE TABLE IF NOT EXISTS ocl_sequence(name TEXT PRIMARY KEY, value INTEGER);"
            "CREATE TABLE IF NOT EXISTS ocl_directories(name TEXT PRIMARY KEY, path TEXT NOT NULL);");
}

bool Catalog::UserExists(const std::string& user) {
    return PasswordHash(user).has_value();
}

std::optional<std::string> Catalog::PasswordHash(const std::string& user) {
    SqliteStmt s(db_, "SELECT pwhash FROM ocl_users WHERE name = ?");
    s.Bind(1, user);
    if (!s.Step()) return std::nullopt;
    return s.Text(0);
}

void Catalog::CreateUser(const std::string& user, const std::string& hash) {
    SqliteStmt s(db_, "INSERT INTO ocl_users(name, pwhash, created) VALUES(?, ?, datetime('now'))");
    s.Bind(1, user).Bind(2, hash);
    s.Step();
}

void Catalog::SetPassword(const std::string& user, const std::string& hash) {
    SqliteStmt s(db_, "UPDATE ocl_users SET pwhash = ? WHERE name = ?");
    s.Bind(1, hash).Bind(2, user);
    s.Step();
}

void Catalog::DropUser(const std::string& user) {
    SqliteStmt s(db_, "DELETE FROM ocl_users WHERE name = ?");
    s.Bind(1, user);
    s.Step();
}

int64_t Catalog::UserCount() {
    SqliteStmt s(db_, "SELECT count(*) FROM ocl_users");
    s.Step();
    return s.Int(0);
}

namespace {
std::vector<int> ParsePositions(const std::string& text) {
    std::vector<int> out;
    std::istringstream in(text);
    int v;
    while (in >> v) out.push_back(v);
    return out;
}
std::string JoinPositions(const std::vector<int>& cols) {
    std::string out;
    for (int c : cols) {
        if (!out.empty()) out += ' ';
        out += std::to_string(c);
    }
    return out;
}
std::vector<std::string> SplitNames(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    if (text.empty()) return out;
    while (true) {
        size_t p = text.find('\x1f', start);
        out.push_back(text.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    return out;
}
}  // namespace

std::optional<CatalogObject> Catalog::Find(const std::string& owner, const std::string& name) {
    SqliteStmt s(db_, "SELECT id, type, view_text, view_columns FROM ocl_objects WHERE owner = ? AND name = ?");
    s.Bind(1, owner).Bind(2, name);
    if (!s.Step()) return std::nullopt;
    CatalogObject o;
    o.id = s.Int(0);
    o.owner = owner;
    o.name = name;
    o.type = s.Text(1);
    o.viewText = s.Text(2);
    o.viewColumns = SplitNames(s.Text(3));
    SqliteStmt c(db_, "SELECT name, type, not_null, default_text FROM ocl_columns WHERE obj_id = ? ORDER BY pos");
    c.Bind(1, o.id);
    while (c.Step()) {
        CatalogColumn col;
        col.name = c.Text(0);
        col.type = DecodeType(c.Text(1));
        col.notNull = c.Int(2) != 0;
        col.defaultText = c.Text(3);
        o.columns.push_back(std::move(col));
    }
    SqliteStmt k(db_, "SELECT owner, name, type, columns FROM ocl_constraints WHERE obj_id = ?");
    k.Bind(1, o.id);
    while (k.Step()) {
        CatalogConstraint con;
        con.owner = k.Text(0);
        con.name = k.Text(1);
        con.type = k.Text(2).empty() ? 'U' : k.Text(2)[0];
        con.columns = ParsePositions(k.Text(3));
        o.constraints.push_back(std::move(con));
    }
    return o;
}

bool Catalog::NameUsed(const std::string& owner, const std::string& name) {
    SqliteStmt s(db_, "SELECT 1 FROM ocl_objects WHERE owner = ? AND name = ?");
    s.Bind(1, owner).Bind(2, name);
    return s.Step();
}

std::vector<CatalogObject> Catalog::ObjectsOf(const std::string& owner) {
    std::vector<CatalogObject> out;
    std::vector<std::string> names;
    {
        SqliteStmt s(db_, "SELECT name FROM ocl_objects WHERE owner = ? ORDER BY id");
        s.Bind(1, owner);
        while (s.Step()) names.push_back(s.Text(0));
    }
    for (const auto& n : names)
        if (auto o = Find(owner, n)) out.push_back(std::move(*o));
    return out;
}

std::string Catalog::NextConstraintName() {
    SqliteStmt up(db_,
                  "INSERT INTO ocl_sequence(name, value) VALUES('SYS_C', 1)"
                  " ON CONFLICT(name) DO UPDATE SET value = value + 1");
    up.Step();
    SqliteStmt s(db_, "SELECT value FROM ocl_sequence WHERE name = 'SYS_C'");
    s.Step();
    char buf[32];
    std::snprintf(buf, sizeof buf, "SYS_C%07lld", static_cast<long long>(s.Int(0) + 8000));
    return buf;
}

CatalogObject Catalog::CreateTable(const std::string& owner, const std::string& name,
                                   std::vector<CatalogColumn> columns, std::vector<CatalogConstraint> constraints) {
    CatalogObject o;
    o.owner = owner;
    o.name = name;
    o.type = "TABLE";
    {
        SqliteStmt s(db_, "INSERT INTO ocl_objects(owner, name, type, created) VALUES(?, ?, 'TABLE', ?)");
        std::string created = DatetimeStorageKey(OraTimestamp::Now(false), TypeKind::Date);
        s.Bind(1, owner).Bind(2, name).BindBlob(3, created);
        s.Step();
        o.id = sqlite3_last_insert_rowid(db_);
    }
    std::string ddl = "CREATE TABLE " + o.StorageName() + "(";
    for (size_t i = 0; i < columns.size(); ++i) {
        SqliteStmt s(db_,
                     "INSERT INTO ocl_columns(obj_id, pos, name, type, not_null, default_text)"
                     " VALUES(?, ?, ?, ?, ?, ?)");
        s.Bind(1, o.id)
            .Bind(2, static_cast<int64_t>(i))
            .Bind(3, columns[i].name)
            .Bind(4, EncodeType(columns[i].type))
            .Bind(5, columns[i].notNull ? 1 : 0)
            .Bind(6, columns[i].defaultText);
        s.Step();
        if (i) ddl += ", ";
        ddl += CatalogObject::ColumnStorage(i);
    }
    ddl += ")";
    ExecSql(db_, ddl);
    for (auto& con : constraints) {
        if (con.name.empty()) con.name = NextConstraintName();
        if (NameUsed(owner, con.name)) throw OraError(955, "name is already used by an existing object");
        SqliteStmt s(db_, "INSERT INTO ocl_constraints(owner, name, obj_id, type, columns) VALUES(?, ?, ?, ?, ?)");
        s.Bind(1, owner)
            .Bind(2, con.name)
            .Bind(3, o.id)
            .Bind(4, std::string(1, con.type))
            .Bind(5, JoinPositions(con.columns));
        int rc = sqlite3_step(s.get());
        if ((rc & 0xFF) == SQLITE_CONSTRAINT) throw OraError(2264, "name already used by an existing constraint");
        if (rc != SQLITE_DONE) ThrowSqlite(db_, rc);
        std::string idx = "CREATE UNIQUE INDEX k" + std::to_string(o.id) + "_" +
                          std::to_string(sqlite3_last_insert_rowid(db_)) + " ON " + o.StorageName() + "(";
        for (size_t i = 0; i < con.columns.size(); ++i) {
            if (i) idx += ", ";
            idx += CatalogObject::ColumnStorage(static_cast<size_t>(con.columns[i]));
        }
        ExecSql(db_, idx + ")");
    }
    o.columns = std::move(columns);
    o.constraints = std::move(constraints);
    return o;
}

void Catalog::CreateView(const std::string& owner, const std::string& name, const std::string& text,
                         const std::vector<std::string>& columns, bool replace) {
    std::string joined;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i) joined += '\x1f';
        joined += columns[i];
    }
    if (replace) {
        SqliteStmt u(
            db_,
            "UPDATE ocl_objects SET view_text = ?, view_columns = ? WHERE owner = ? AND name = ? AND type = 'VIEW'");
        u.Bind(1, text).Bind(2, joined).Bind(3, owner).Bind(4, name);
        u.Step();
        if (sqlite3_changes(db_) > 0) return;
    }
    SqliteStmt s(db_,
                 "INSERT INTO ocl_objects(owner, name, type, view_text, view_columns, created)"
                 " VALUES(?, ?, 'VIEW', ?, ?, ?)");
    std::string created = DatetimeStorageKey(OraTimestamp::Now(false), TypeKind::Date);
    s.Bind(1, owner).Bind(2, name).Bind(3, text).Bind(4, joined).BindBlob(5, created);
    s.Step();
}

void Catalog::DropObject(const CatalogObject& obj) {
    // object ids may be used again: the grants on this one go with it
    DropGrantsOn(obj.id);
    if (obj.type == "TABLE") ExecSql(db_, "DROP TABLE IF EXISTS " + obj.StorageName());
    SqliteStmt a(db_, "DELETE FROM ocl_columns WHERE obj_id = ?");
    a.Bind(1, obj.id);
    a.Step();
    SqliteStmt b(db_, "DELETE FROM ocl_constraints WHERE obj_id = ?");
    b.Bind(1, obj.id);
    b.Step();
    SqliteStmt c(db_, "DELETE FROM ocl_objects WHERE id = ?");
    c.Bind(1, obj.id);
    c.Step();
}

std::string Catalog::ConstraintForUniqueFailure(const std::string& msg) {
    // "UNIQUE constraint failed: t12.c1, t12.c3"
    size_t colon = msg.find(": ");
    if (colon == std::string::npos) return {};
    std::string rest = msg.substr(colon + 2);
    int64_t objId = -1;
    std::vector<int> cols;
    std::istringstream in(rest);
    std::string part;
    while (std::getline(in, part, ',')) {
        while (!part.empty() && part.front() == ' ') part.erase(0, 1);
        size_t dot = part.find('.');
        if (dot == std::string::npos || part.size() < 4 || part[0] != 't') return {};
        objId = std::stoll(part.substr(1, dot - 1));
        if (part[dot + 1] != 'c') return {};
        cols.push_back(std::stoi(part.substr(dot + 2)) - 1);
    }
    SqliteStmt s(db_, "SELECT owner, name, columns FROM ocl_constraints WHERE obj_id = ?");
    s.Bind(1, objId);
    while (s.Step()) {
        if (ParsePositions(s.Text(2)) == cols) return s.Text(0) + "." + s.Text(1);
    }
    return {};
}

}  // namespace ocilite
