#pragma once
// Oracle-dialect SQL parser: one statement text in, its syntax tree out. Syntax errors are
// thrown as the OraError Oracle gives for them (ORA-00900, 00905, 00906, 00907, 00917, 00921,
// 00922, 00923, 00926, 00933, 00936 ...); the names are checked later against the catalog.

#include <string_view>

#include "ocilite/engine/Ast.h"

namespace ocilite {

ParsedStatement ParseStatement(std::string_view sql);

}  // namespace ocilite
