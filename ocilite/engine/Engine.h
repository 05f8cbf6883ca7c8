#pragma once
// The embedded engine's C++ interface: a session on a database file, statements with named
// binds, describe and fetch. The OCI surface (libocilite.so) and the SQL console are built on
// it; everything Oracle-like about SQL, types, errors and transactions happens behind it.
// Every failure is thrown as ocilite::OraError carrying Oracle's number and message.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ocilite/engine/Value.h"
#include "ocilite/types/OraError.h"

namespace ocilite {

// OCI_ATTR_STMT_TYPE values.
enum class StatementType : uint16_t {
    Unknown = 0,
    Select = 1,
    Update = 2,
    Delete = 3,
    Insert = 4,
    Create = 5,
    Drop = 6,
    Alter = 7,
    Begin = 8,
    Declare = 9,
    Call = 10,
    Merge = 16,
};

// What OCIParamGet/OCIAttrGet report for one select-list column, with the sizes Oracle's
// client writes (OCI_ATTR_PRECISION is 2 bytes for a select-list describe).
struct ColumnInfo {
    std::string name;         // as Oracle names it: upper case unless quoted or aliased
    uint16_t dataType = 0;    // Oracle internal type code: 1, 2, 8, 12, 23, 24, 96, 100, 101,
                              // 104, 112, 113, 114, 180, 181, 231, 182, 183 ...
    uint16_t dataSize = 0;    // OCI_ATTR_DATA_SIZE
    int16_t precision = 0;    // OCI_ATTR_PRECISION
    int8_t scale = 0;         // OCI_ATTR_SCALE (-127 for FLOAT / unconstrained NUMBER)
    bool nullable = true;     // OCI_ATTR_IS_NULL
    uint8_t charsetForm = 0;  // OCI_ATTR_CHARSET_FORM: 0 none, 1 implicit, 2 nchar
    uint16_t charsetId = 0;   // OCI_ATTR_CHARSET_ID (0 for non-character columns)
    uint8_t charUsed = 0;     // OCI_ATTR_CHAR_USED
    uint16_t charSize = 0;    // OCI_ATTR_CHAR_SIZE
    std::string typeName;     // declared type as USER_TAB_COLUMNS shows it, e.g. "NUMBER"
    std::string schemaName;   // OCI_ATTR_SCHEMA_NAME (empty for expressions)
};

// The statement type as OCI reports it right after a prepare, from the statement's first
// keyword(s) alone; a prepare never fails on the SQL itself (errors come with the execute).
StatementType ClassifyStatement(std::string_view sql);

class Statement {
public:
    virtual ~Statement() = default;

    virtual StatementType Type() const = 0;
    // Placeholder names in order of first appearance, as written after the colon
    // (unquoted names upper-cased, quoted names without their quotes).
    virtual const std::vector<std::string>& BindNames() const = 0;
    // Index into BindNames() for a placeholder written with or without its colon, compared
    // as Oracle compares bind names; -1 when the statement has no such placeholder.
    virtual int BindIndex(std::string_view placeholder) const = 0;
    // Sets the value of one placeholder for the next Execute (binds persist across executes).
    virtual void Bind(int index, Value value) = 0;
    // Runs the statement: DML/DDL to completion, a query up to its first row.
    // A placeholder left without a value raises ORA-01008.
    virtual void Execute() = 0;
    // Select-list description; valid after Execute of a query (empty for other statements).
    virtual const std::vector<ColumnInfo>& Columns() const = 0;
    // The next row of a query into row (resized to Columns().size()); false at the end.
    virtual bool Fetch(std::vector<Value>& row) = 0;
    // DML: rows affected by the last Execute; query: rows fetched so far.
    virtual uint64_t RowCount() const = 0;
    // Rowid of the last row inserted, updated or deleted, if any.
    virtual std::string LastRowid() const = 0;
};

class Session {
public:
    virtual ~Session() = default;

    // Connect string: the path of a database file; empty means the user's default database
    // ($XDG_DATA_HOME/tabrook/default.db), created with this user as its first account.
    // ORA-12154 for a named file that does not exist, ORA-01017 for a wrong user or password.
    // With create, a missing file and account are created (ocilite-sql --create).
    static std::unique_ptr<Session> Logon(std::string_view user, std::string_view password, std::string_view connect,
                                          bool create = false);

    // Parses and checks the statement against the catalog; throws OraError for bad SQL or
    // unknown objects (the OCI surface keeps that error and raises it at execute time).
    virtual std::unique_ptr<Statement> Prepare(std::string_view sql) = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    virtual const std::string& UserName() const = 0;
    // Whether a transaction is open: a change made and not yet committed or rolled back.
    virtual bool InTransaction() const { return false; }
    // Stops the statement running on this session from another thread or a signal handler:
    // that statement's Execute or Fetch then fails with ORA-01013. Without a running
    // statement it does nothing.
    virtual void Cancel() {}
    // The folder of a directory object (CREATE DIRECTORY name AS 'folder'), for BFILEs;
    // ORA-22285 when there is no such directory.
    virtual std::string DirectoryPath(std::string_view /*name*/) {
        throw OraError(22285, "non-existent directory or file for FILEOPEN operation");
    }
};

}  // namespace ocilite
