#pragma once
// What Tab completes at the console: SQL keywords and the console's commands, the names of
// the user's tables and views, and their column names. After FROM, JOIN, INTO, UPDATE, TABLE
// and DESCRIBE only table and view names are offered. Candidates keep the case the word was
// typed in (lower case when it has a lower-case letter).

#include <functional>
#include <string>
#include <vector>

namespace ocilite {

class Completion {
public:
    // Runs a query and gives the first column of its rows (empty when it fails).
    using NameQuery = std::function<std::vector<std::string>(const std::string& sql)>;
    explicit Completion(NameQuery query) : query_(std::move(query)) {}

    // The sorted words that complete the word at the end of `before` (the line up to the
    // cursor); nothing for an empty word except where a table name is due.
    std::vector<std::string> Candidates(const std::string& before) const;
    // Where the word being completed starts in `before`.
    static size_t WordStart(const std::string& before);
    // The longest start the candidates share (compared without case).
    static std::string CommonPrefix(const std::vector<std::string>& candidates);

private:
    NameQuery query_;
};

}  // namespace ocilite
