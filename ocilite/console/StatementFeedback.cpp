#include "ocilite/console/StatementFeedback.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace ocilite {
namespace {

std::string Rows(uint64_t rows, const char* done) {
    return std::to_string(rows) + (rows == 1 ? " row " : " rows ") + done + ".";
}

// The statement's first words in upper case (comments and quotes are not looked into: the
// words that name what a statement does come first).
std::vector<std::string> FirstWords(std::string_view sql, size_t count) {
    std::vector<std::string> words;
    std::string word;
    for (size_t i = 0; i <= sql.size() && words.size() < count; ++i) {
        const char c = i < sql.size() ? sql[i] : ' ';
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
            word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

std::string Capitalized(std::string word) {
    for (size_t i = 1; i < word.size(); ++i)
        word[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(word[i])));
    return word;
}

}  // namespace

std::string QueryFeedback(uint64_t rows) {
    return rows == 0 ? "no rows selected" : Rows(rows, "selected");
}

std::string StatementFeedback(std::string_view sql, StatementType type, uint64_t rows) {
    switch (type) {
        case StatementType::Insert: return Rows(rows, "created");
        case StatementType::Update: return Rows(rows, "updated");
        case StatementType::Delete: return Rows(rows, "deleted");
        case StatementType::Merge: return Rows(rows, "merged");
        case StatementType::Begin:
        case StatementType::Declare:
        case StatementType::Call: return "PL/SQL procedure successfully completed.";
        default: break;
    }
    const std::vector<std::string> w = FirstWords(sql, 6);
    if (w.empty()) return "Statement processed.";
    const std::string& verb = w[0];
    if (verb == "COMMIT") return "Commit complete.";
    if (verb == "ROLLBACK") return "Rollback complete.";
    if (verb == "SAVEPOINT") return "Savepoint created.";
    if (verb == "GRANT") return "Grant succeeded.";
    if (verb == "REVOKE") return "Revoke succeeded.";
    if (verb == "TRUNCATE") return "Table truncated.";
    if (verb == "RENAME") return "Table renamed.";
    if (verb == "COMMENT") return "Comment created.";
    const char* done = verb == "CREATE"  ? "created"
                       : verb == "DROP"  ? "dropped"
                       : verb == "ALTER" ? "altered"
                                         : nullptr;
    if (!done) return "Statement processed.";
    // the object's kind follows the verb and its modifiers
    size_t k = 1;
    while (k < w.size() && (w[k] == "OR" || w[k] == "REPLACE" || w[k] == "UNIQUE" || w[k] == "GLOBAL" ||
                            w[k] == "TEMPORARY" || w[k] == "PUBLIC" || w[k] == "FORCE" || w[k] == "NOFORCE"))
        ++k;
    if (k >= w.size()) return "Statement processed.";
    return Capitalized(w[k]) + " " + done + ".";
}

std::string ElapsedText(std::chrono::steady_clock::duration elapsed) {
    const long long cs = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 10;
    char text[48];
    std::snprintf(text, sizeof text, "Elapsed: %02lld:%02lld:%02lld.%02lld", cs / 360000, cs / 6000 % 60, cs / 100 % 60,
                  cs % 100);
    return text;
}

}  // namespace ocilite
