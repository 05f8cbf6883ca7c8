#pragma once
// Splits Oracle-dialect SQL text into tokens: identifiers (unquoted ones upper-cased, quoted
// ones exact), numbers, string literals (N'..' and q'[..]' too), binds, operators.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ocilite {

enum class TokenKind { End, Word, QuotedName, Number, String, NString, Bind, Symbol };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;  // Word: upper-cased; QuotedName/String: content; Bind: name; Symbol: op
    size_t pos = 0;    // byte offset in the statement
    size_t end = 0;    // byte offset just past the token

    bool IsWord(std::string_view w) const { return kind == TokenKind::Word && text == w; }
    bool IsSymbol(std::string_view s) const { return kind == TokenKind::Symbol && text == s; }
};

// Throws OraError for text no statement can hold (ORA-00911 invalid character, ORA-01756
// quoted string not properly terminated, ORA-01740 missing double quote, ORA-01741 empty
// quoted name, ORA-00972 identifier too long).
std::vector<Token> Tokenize(std::string_view sql);

// Longest identifier Oracle accepts (bytes per dotted part).
constexpr size_t kMaxIdentifierBytes = 128;

}  // namespace ocilite
