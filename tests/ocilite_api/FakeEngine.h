#pragma once
// A scripted stand-in for the SQL engine, so the C surface can be tested on its own: each SQL
// text maps to a script (bind names, select list, rows); executes record the values bound.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ocilite/engine/Engine.h"
#include "ocilite/types/OraError.h"

namespace fake {

struct Script {
    std::vector<std::string> bindNames;
    std::vector<ocilite::ColumnInfo> columns;
    std::vector<std::vector<ocilite::Value>> rows;
    uint64_t rowsAffected = 1;
    std::optional<ocilite::OraError> executeError;
    std::string rowid = "AAAAB0AABAAAAAQAAA";
};

struct World {
    std::map<std::string, Script> scripts;
    std::vector<std::vector<ocilite::Value>> executed;  // bind values of every execute
    int commits = 0;
    int rollbacks = 0;
    int prepares = 0;
};

World& TheWorld();
void Reset();

}  // namespace fake
