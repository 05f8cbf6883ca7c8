#include <cctype>
#include <string>

#include "ocilite/engine/Engine.h"

namespace ocilite {

StatementType ClassifyStatement(std::string_view sql) {
    size_t i = 0;
    // skip blanks, comments and opening parentheses
    while (i < sql.size()) {
        char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c)) || c == '(') {
            ++i;
        } else if (sql.substr(i, 2) == "--") {
            while (i < sql.size() && sql[i] != '\n') ++i;
        } else if (sql.substr(i, 2) == "/*") {
            size_t end = sql.find("*/", i + 2);
            i = end == std::string_view::npos ? sql.size() : end + 2;
        } else {
            break;
        }
    }
    std::string word;
    while (i < sql.size() && (std::isalpha(static_cast<unsigned char>(sql[i])) || sql[i] == '_'))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i++])));
    if (word == "SELECT" || word == "WITH") return StatementType::Select;
    if (word == "UPDATE") return StatementType::Update;
    if (word == "DELETE") return StatementType::Delete;
    if (word == "INSERT") return StatementType::Insert;
    if (word == "CREATE") return StatementType::Create;
    if (word == "DROP") return StatementType::Drop;
    if (word == "ALTER") return StatementType::Alter;
    if (word == "BEGIN") return StatementType::Begin;
    if (word == "DECLARE") return StatementType::Declare;
    if (word == "CALL") return StatementType::Call;
    if (word == "MERGE") return StatementType::Merge;
    return StatementType::Unknown;
}

}  // namespace ocilite
