#pragma once
// Helpers shared by the translator's parts: Translator.cpp (statements and names),
// TranslateExpressions.cpp (expressions and typing), TranslateSources.cpp (tables, views and the
// data dictionary views), TranslateQueries.cpp and TranslateDml.cpp. Internal to the engine.

#include <string>
#include <vector>

#include "ocilite/engine/Translator.h"

namespace ocilite::translate {

struct NeedSql {};  // an INSERT value the engine cannot compute without SQLite

// The select-list position an ORDER BY number names; 0 (refused like any position outside the
// list) when the digits do not fit, so a huge number is ORA-01785 rather than an exception.
size_t OrderByPosition(const std::string& text);

[[noreturn]] void InvalidIdentifier(const std::vector<std::string>& names);

bool IsAggregateName(const std::string& n);

SqlType LiteralText(const std::string& s, bool national);

bool SameStorage(const SqlType& a, const SqlType& b);

std::string OutName(size_t i);

// TIMESTAMP WITH TIME ZONE keys hold the UTC instant (11 bytes) and then the offset: values
// compare, group and count as distinct by the instant alone.
std::string InstantKey(const std::string& sql, const SqlType& t);

bool SameNames(const std::vector<std::string>& a, const std::vector<std::string>& b);

// Two parsed expressions written the same way (as Oracle matches a select-list expression
// against the GROUP BY list).
bool SameExpr(const ocilite::Expr& a, const ocilite::Expr& b);

// EXTRACT's field must exist in its source's type: ORA-30076 when it does not (HOUR of a
// DATE, TIMEZONE_HOUR of a TIMESTAMP, DAY of an INTERVAL YEAR TO MONTH ...).
void CheckExtractField(const std::string& field, const SqlType& t);

// Another account's object is reached through a grant: without any privilege on it the object
// does not exist for this account (ORA-00942), with other privileges the statement is refused
// (ORA-01031).
void RequireAccess(Catalog& catalog, const std::string& user, const CatalogObject& obj, const char* privilege);

// The SQL of USER_/ALL_/DBA_ CONSTRAINTS or CONS_COLUMNS (base: the name without its prefix)
// over the tables tableFilter admits (as "t"), adding their columns to cols under alias;
// empty text for any other view (DictionaryConstraints.cpp).
std::string ConstraintViewSql(const std::string& base, std::vector<Translator::ScopeColumn>& cols,
                              const std::string& alias, const std::string& tableFilter);

}  // namespace ocilite::translate
