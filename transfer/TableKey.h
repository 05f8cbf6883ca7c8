#pragma once
// The key an UPSERT or UPDATE import matches rows by: the table's primary key, or, when it has
// none, its first unique key (by constraint name), read from the data dictionary:
// USER_CONSTRAINTS and USER_CONS_COLUMNS for the user's own table, ALL_CONSTRAINTS and
// ALL_CONS_COLUMNS for another owner's. Only enabled constraints count.

#include <string>
#include <vector>

namespace tabrook {

class TOCI8Cur;

struct TableKey {
    std::string Constraint;            // its name; empty when the table has no key
    bool Primary = false;              // a primary key (else a unique key)
    std::vector<std::string> Columns;  // in the key's order

    bool Empty() const { return Columns.empty(); }
    // True when column (a name as the dictionary spells it) is one of the key's.
    bool Has(const std::string& column) const;
};

class TableKeyLookup {
public:
    // Queries through cursor (its statement and binds are replaced).
    explicit TableKeyLookup(TOCI8Cur& cursor) : cur_(cursor) {}

    // The key of table (an identifier, as TableIdentifier gives it) of owner (empty: the
    // user's own). False when the dictionary could not be read (ErrMsg); true otherwise, with
    // an empty key when the table has neither a primary nor a unique key.
    bool Find(const std::string& owner, const std::string& table, TableKey& key);
    const std::string& ErrMsg() const { return error_; }

private:
    TOCI8Cur& cur_;
    std::string error_;
};

// The message of an UPSERT or UPDATE that cannot start because table has no key.
std::string NoKeyMessage(const std::string& table, int loadMode);

}  // namespace tabrook
