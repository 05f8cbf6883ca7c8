#pragma once
// The lines people read after a statement: "3 rows selected.", "1 row created.",
// "Table created.", "Commit complete." ..., and "Elapsed: 00:00:01.25".

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "ocilite/engine/Engine.h"

namespace ocilite {

// After a query that returned `rows` rows.
std::string QueryFeedback(uint64_t rows);
// After any other statement: DML counts its rows, the rest names what was done.
std::string StatementFeedback(std::string_view sql, StatementType type, uint64_t rows);
// "Elapsed: hh:mm:ss.cc".
std::string ElapsedText(std::chrono::steady_clock::duration elapsed);

}  // namespace ocilite
