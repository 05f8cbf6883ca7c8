#pragma once
// The console's text for a fetched value: NUMBER as TO_CHAR without a format, CHAR with its
// padding, DATE as YYYY-MM-DD HH24:MI:SS, TIMESTAMP as YYYY-MM-DD HH24:MI:SS.FF (with
// " TZH:TZM" when it carries a zone), intervals and raw data as Oracle prints them.

#include <string>

#include "ocilite/engine/Engine.h"
#include "ocilite/engine/Value.h"

namespace ocilite {

std::string ConsoleText(const Value& v, const ColumnInfo& column);

}  // namespace ocilite
