#include "ocilite/engine/Lexer.h"

#include <cctype>

#include "ocilite/types/OraError.h"

namespace ocilite {
namespace {

bool IsIdentStart(unsigned char c) {
    return std::isalpha(c) || c >= 0x80;
}
bool IsIdentPart(unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c >= 0x80;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

void CheckLength(const std::string& name) {
    if (name.size() > kMaxIdentifierBytes) throw OraError(972, "identifier is too long");
}

// Reads 'text' with '' as an escaped quote, starting at the opening quote.
std::string ReadString(std::string_view sql, size_t& i) {
    std::string out;
    ++i;
    while (true) {
        if (i >= sql.size()) throw OraError(1756, "quoted string not properly terminated");
        if (sql[i] == '\'') {
            if (i + 1 < sql.size() && sql[i + 1] == '\'') {
                out += '\'';
                i += 2;
                continue;
            }
            ++i;
            return out;
        }
        out += sql[i++];
    }
}

// Reads q'Xtext X' (alternative quoting), i at the q.
std::string ReadQString(std::string_view sql, size_t& i) {
    i += 2;  // q'
    if (i >= sql.size()) throw OraError(1756, "quoted string not properly terminated");
    char open = sql[i++];
    char close = open == '[' ? ']' : open == '(' ? ')' : open == '{' ? '}' : open == '<' ? '>' : open;
    size_t start = i;
    while (i + 1 < sql.size()) {
        if (sql[i] == close && sql[i + 1] == '\'') {
            std::string out(sql.substr(start, i - start));
            i += 2;
            return out;
        }
        ++i;
    }
    throw OraError(1756, "quoted string not properly terminated");
}

}  // namespace

std::vector<Token> Tokenize(std::string_view sql) {
    // A NUL byte is no character of a statement, in a literal or a quoted name either (the
    // translated SQL could not carry it).
    if (sql.find('\0') != std::string_view::npos) throw OraError(911, "invalid character");
    std::vector<Token> tokens;
    size_t i = 0;
    const size_t n = sql.size();
    while (true) {
        while (i < n) {
            unsigned char c = static_cast<unsigned char>(sql[i]);
            if (std::isspace(c)) {
                ++i;
            } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
                while (i < n && sql[i] != '\n') ++i;
            } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
                size_t close = sql.find("*/", i + 2);
                i = close == std::string_view::npos ? n : close + 2;
            } else {
                break;
            }
        }
        Token t;
        t.pos = i;
        if (i >= n) {
            t.kind = TokenKind::End;
            t.end = n;
            tokens.push_back(std::move(t));
            return tokens;
        }
        unsigned char c = static_cast<unsigned char>(sql[i]);
        if ((c == 'n' || c == 'N') && i + 1 < n && sql[i + 1] == '\'') {
            ++i;
            t.kind = TokenKind::NString;
            t.text = ReadString(sql, i);
        } else if ((c == 'q' || c == 'Q') && i + 1 < n && sql[i + 1] == '\'') {
            t.kind = TokenKind::String;
            t.text = ReadQString(sql, i);
        } else if (IsIdentStart(c)) {
            size_t start = i;
            while (i < n && IsIdentPart(static_cast<unsigned char>(sql[i]))) ++i;
            t.kind = TokenKind::Word;
            t.text = Upper(sql.substr(start, i - start));
            CheckLength(t.text);
        } else if (c == '"') {
            size_t close = sql.find('"', i + 1);
            if (close == std::string_view::npos) throw OraError(1740, "missing double quote in identifier");
            t.kind = TokenKind::QuotedName;
            t.text = std::string(sql.substr(i + 1, close - i - 1));
            if (t.text.empty()) throw OraError(1741, "illegal zero-length identifier");
            CheckLength(t.text);
            i = close + 1;
        } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
            size_t start = i;
            while (i < n && std::isdigit(static_cast<unsigned char>(sql[i]))) ++i;
            if (i < n && sql[i] == '.' && !(i + 1 < n && sql[i + 1] == '.')) {
                ++i;
                while (i < n && std::isdigit(static_cast<unsigned char>(sql[i]))) ++i;
            }
            if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
                size_t save = i++;
                if (i < n && (sql[i] == '+' || sql[i] == '-')) ++i;
                if (i < n && std::isdigit(static_cast<unsigned char>(sql[i]))) {
                    while (i < n && std::isdigit(static_cast<unsigned char>(sql[i]))) ++i;
                } else {
                    i = save;
                }
            }
            t.kind = TokenKind::Number;
            t.text = std::string(sql.substr(start, i - start));
            // A trailing f/d marks a BINARY_FLOAT/BINARY_DOUBLE literal; read as a number.
            if (i < n && (sql[i] == 'f' || sql[i] == 'F' || sql[i] == 'd' || sql[i] == 'D') &&
                !(i + 1 < n && IsIdentPart(static_cast<unsigned char>(sql[i + 1]))))
                ++i;
        } else if (c == '\'') {
            t.kind = TokenKind::String;
            t.text = ReadString(sql, i);
        } else if (c == ':') {
            ++i;
            t.kind = TokenKind::Bind;
            if (i < n && sql[i] == '"') {
                size_t close = sql.find('"', i + 1);
                if (close == std::string_view::npos) throw OraError(1740, "missing double quote in identifier");
                t.text = std::string(sql.substr(i + 1, close - i - 1));
                if (t.text.empty()) throw OraError(1741, "illegal zero-length identifier");
                i = close + 1;
            } else if (i < n && IsIdentPart(static_cast<unsigned char>(sql[i]))) {
                size_t start = i;
                while (i < n && IsIdentPart(static_cast<unsigned char>(sql[i]))) ++i;
                t.text = Upper(sql.substr(start, i - start));
            } else {
                throw OraError(1036, "illegal variable name/number");
            }
            CheckLength(t.text);
        } else {
            static const char* const kTwo[] = {"<=", ">=", "<>", "!=", "^=", "||", "=>", "**"};
            t.kind = TokenKind::Symbol;
            bool matched = false;
            for (const char* op : kTwo) {
                if (sql.substr(i, 2) == op) {
                    t.text = op;
                    i += 2;
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                if (std::string_view("(),.*+-/=<>;@%").find(static_cast<char>(c)) == std::string_view::npos)
                    throw OraError(911, "invalid character");
                t.text = std::string(1, static_cast<char>(c));
                ++i;
            }
        }
        t.end = i;
        tokens.push_back(std::move(t));
    }
}

}  // namespace ocilite
