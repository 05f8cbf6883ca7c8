#include "ocilite/console/Completion.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace ocilite {
namespace {

constexpr const char* kKeywords[] = {
    "ALTER",    "AND",   "AS",        "ASC",    "BETWEEN",  "BY",       "CHAR",     "COMMIT", "CONNECT", "COUNT",
    "CREATE",   "DATE",  "DEFAULT",   "DELETE", "DESC",     "DESCRIBE", "DISTINCT", "DROP",   "EXISTS",  "FROM",
    "GRANT",    "GROUP", "HAVING",    "HELP",   "IN",       "INDEX",    "INNER",    "INSERT", "INTO",    "IS",
    "JOIN",     "KEY",   "LEFT",      "LIKE",   "MERGE",    "NOT",      "NULL",     "NUMBER", "ON",      "OR",
    "ORDER",    "OUTER", "PRIMARY",   "REVOKE", "ROLLBACK", "ROWNUM",   "SELECT",   "SET",    "SHOW",    "SPOOL",
    "SYSDATE",  "TABLE", "TIMESTAMP", "TO",     "TRUNCATE", "UNION",    "UNIQUE",   "UPDATE", "USER",    "VALUES",
    "VARCHAR2", "VIEW",  "WHERE",     "WITH",
};

constexpr const char* kTableQuery = "SELECT object_name FROM user_objects WHERE object_type IN ('TABLE', 'VIEW')";
constexpr const char* kColumnQuery = "SELECT DISTINCT column_name FROM user_tab_columns";

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The word before the one being completed, in upper case.
std::string PreviousWord(const std::string& before, size_t wordStart) {
    size_t end = wordStart;
    while (end > 0 && !IsWordChar(before[end - 1])) --end;
    size_t start = end;
    while (start > 0 && IsWordChar(before[start - 1])) --start;
    return Upper(before.substr(start, end - start));
}

}  // namespace

size_t Completion::WordStart(const std::string& before) {
    size_t start = before.size();
    while (start > 0 && IsWordChar(before[start - 1])) --start;
    return start;
}

std::string Completion::CommonPrefix(const std::vector<std::string>& candidates) {
    if (candidates.empty()) return {};
    std::string prefix = candidates.front();
    for (const auto& c : candidates) {
        size_t n = 0;
        while (n < prefix.size() && n < c.size() &&
               std::toupper(static_cast<unsigned char>(prefix[n])) == std::toupper(static_cast<unsigned char>(c[n])))
            ++n;
        prefix.resize(n);
    }
    return prefix;
}

std::vector<std::string> Completion::Candidates(const std::string& before) const {
    const size_t start = WordStart(before);
    const std::string word = before.substr(start);
    const std::string previous = PreviousWord(before, start);
    const bool tableDue = previous == "FROM" || previous == "JOIN" || previous == "INTO" || previous == "UPDATE" ||
                          previous == "TABLE" || previous == "DESC" || previous == "DESCRIBE";
    if (word.empty() && !tableDue) return {};
    std::vector<std::string> names = query_(kTableQuery);
    if (!tableDue) {
        names.insert(names.end(), std::begin(kKeywords), std::end(kKeywords));
        for (auto& c : query_(kColumnQuery)) names.push_back(std::move(c));
    }
    const std::string upperWord = Upper(word);
    const bool lower =
        std::any_of(word.begin(), word.end(), [](char c) { return std::islower(static_cast<unsigned char>(c)); });
    std::set<std::string> found;
    for (const auto& name : names) {
        const std::string upper = Upper(name);
        // quoted names in mixed case are left to be typed
        if (upper != name || upper.compare(0, upperWord.size(), upperWord) != 0) continue;
        std::string shown = name;
        if (lower)
            for (char& c : shown) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        found.insert(shown);
    }
    return {found.begin(), found.end()};
}

}  // namespace ocilite
