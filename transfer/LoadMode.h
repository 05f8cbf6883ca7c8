#pragma once
// How an import puts its rows into a table that may already hold some (the setting LoadMode,
// the key LOADMODE=): INSERT, every row is inserted (the default, as every import did);
// UPSERT, a row whose key is in the table updates that row and the others are inserted;
// UPDATE, only rows whose key is in the table are updated and the others are refused. The key
// is the table's primary key, else a unique key (TableKey.h).

#include <optional>
#include <string_view>

namespace tabrook {

enum LoadModeValue : int {
    kLoadInsert = 0,
    kLoadUpsert = 1,
    kLoadUpdate = 2,
};

// "INSERT", "UPSERT" or "UPDATE"; any other value is INSERT.
const char* LoadModeName(int mode);

// The mode a word names, in any case of letters; none for any other word.
std::optional<int> ParseLoadMode(std::string_view word);

// A stored or given value brought into range: anything unknown is INSERT.
int SettledLoadMode(int mode);

}  // namespace tabrook
