#pragma once
// The parser's class, shared by its parts: Parser.cpp (statements), ParseQueries.cpp,
// ParseExpressions.cpp, ParseDml.cpp and ParseDdl.cpp. Internal to the engine.

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ocilite/engine/Ast.h"
#include "ocilite/engine/Lexer.h"
#include "ocilite/types/OraError.h"

namespace ocilite::parse {

// Words that end an expression or a select item where an alias could follow.
const std::set<std::string>& Reserved();

// Throws the OraError Oracle gives for a missing or unexpected token (ORA-00900 ... 00936).
[[noreturn]] void Missing(int code);

// The deepest expression tree the parser builds: every nesting level (parentheses, NOT, signs,
// subqueries) and every operator of a chain adds one. Deeper input would exhaust the stack of
// the recursive parser and of the stages after it, so it is refused as Oracle refuses it.
constexpr int kMaxExpressionDepth = 1000;

class Parser {
public:
    explicit Parser(std::string_view sql) : sql_(sql), toks_(Tokenize(sql)) {}

    // Counts levels for the life of the object; Deeper() adds one more (a chain's operator).
    class Depth {
    public:
        // A level of its own (nested), or only a counter for the operators of a chain.
        explicit Depth(Parser& parser, bool nested = true) : parser_(parser) {
            if (nested) Deeper();
        }
        ~Depth() { parser_.depth_ -= added_; }
        Depth(const Depth&) = delete;
        Depth& operator=(const Depth&) = delete;
        void Deeper() {
            ++added_;
            if (++parser_.depth_ > kMaxExpressionDepth)
                throw OraError(3095, "expression level is too deep, maximum " + std::to_string(kMaxExpressionDepth));
        }

    private:
        Parser& parser_;
        int added_ = 0;
    };

    ParsedStatement Parse();
    // Where the next token starts in the text.
    size_t Position() const { return Peek().pos; }

private:
    const Token& Peek(size_t ahead = 0) const {
        size_t i = std::min(pos_ + ahead, toks_.size() - 1);
        return toks_[i];
    }
    const Token& Next() {
        const Token& t = toks_[pos_];
        if (pos_ + 1 < toks_.size()) ++pos_;
        return t;
    }
    bool AcceptWord(std::string_view w) {
        if (Peek().IsWord(w)) {
            Next();
            return true;
        }
        return false;
    }
    bool AcceptSymbol(std::string_view s) {
        if (Peek().IsSymbol(s)) {
            Next();
            return true;
        }
        return false;
    }
    void ExpectWord(std::string_view w, int code) {
        if (!AcceptWord(w)) Missing(Peek().kind == TokenKind::End && code == 933 ? 921 : code);
    }
    void ExpectSymbol(std::string_view s, int code) {
        if (!AcceptSymbol(s)) Missing(code);
    }
    bool IsIdentifierToken(const Token& t) const {
        return t.kind == TokenKind::QuotedName || (t.kind == TokenKind::Word && !Reserved().count(t.text));
    }
    std::string Identifier(int code = 904) {
        const Token& t = Peek();
        if (!IsIdentifierToken(t)) {
            if (t.kind == TokenKind::End) Missing(code == 903 ? 903 : 921);
            Missing(code);
        }
        return Next().text;
    }
    std::string PasswordToken() {
        const Token& t = Peek();
        if (t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName || t.kind == TokenKind::Number) {
            // Unquoted passwords are case-sensitive in current servers; keep the spelling.
            Next();
            if (t.kind == TokenKind::Word) return std::string(sql_.substr(t.pos, t.end - t.pos));
            return t.text;
        }
        throw OraError(988, "missing or invalid password(s)");
    }
    // GRANT privilege[, ...] [ON [schema.]object] TO grantee[, ...]
    // REVOKE privilege[, ...] [ON [schema.]object] FROM grantee[, ...]
    // A privilege is a run of words (SELECT, ALL PRIVILEGES, CREATE ANY TABLE ...).
    void ParseGrant(ParsedStatement& st);
    void ParseObjectName(std::string& schema, std::string& name);

    // ---- queries -----------------------------------------------------------------------
    std::unique_ptr<SelectStmt> ParseQuery();
    std::unique_ptr<SelectStmt> ParseQueryTerm();
    std::string Heading(size_t from, size_t to) const;

    SelectItem ParseSelectItem();
    void ParseFromList(SelectStmt& s);
    TableRef ParseTableRef();
    std::vector<OrderItem> ParseOrderList();

    // ---- expressions ---------------------------------------------------------------------
    ExprPtr Make(ExprKind k, size_t pos) {
        auto e = std::make_unique<Expr>();
        e->kind = k;
        e->pos = pos;
        return e;
    }

    ExprPtr ParseExpr();
    ExprPtr ParseOr();
    ExprPtr ParseAnd();
    ExprPtr ParseNot();
    ExprPtr ParsePredicate();
    ExprPtr ParseAdditive();
    ExprPtr ParseMultiplicative();
    ExprPtr ParseUnary();
    ExprPtr ParsePrimary();
    ExprPtr ParseCase();
    ExprPtr ParseNameOrCall();
    ExprPtr ParseCall(const std::string& name, size_t p);

    // ---- DML -----------------------------------------------------------------------------
    void ParseInsert(ParsedStatement& st);
    void ParseUpdate(ParsedStatement& st);
    void ParseDelete(ParsedStatement& st);
    void ParseMerge(ParsedStatement& st);  // ParseMerge.cpp

    // ---- DDL -----------------------------------------------------------------------------
    void ParseCreate(ParsedStatement& st);
    TableConstraintAst ParseTableConstraint();
    ColumnDefAst ParseColumnDef();
    void ParseDrop(ParsedStatement& st);
    TypeSpec ParseTypeSpec();

    std::string_view sql_;
    std::vector<Token> toks_;
    size_t pos_ = 0;
    int depth_ = 0;
};

}  // namespace ocilite::parse
