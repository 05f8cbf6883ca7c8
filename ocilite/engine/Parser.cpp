#include "ocilite/engine/Parser.h"

#include <cctype>
#include <set>

#include "ocilite/engine/Lexer.h"
#include "ocilite/engine/TextCase.h"
#include "ocilite/types/OraError.h"

namespace ocilite {
namespace {

// Words that end an expression or a select item where an alias could follow.
const std::set<std::string>& Reserved() {
    static const std::set<std::string> words = {
        "ALL",    "ALTER",  "AND",    "ANY",      "AS",    "ASC",    "BETWEEN",   "BY",     "CHECK",  "CONNECT",
        "CREATE", "DELETE", "DESC",   "DISTINCT", "DROP",  "ELSE",   "END",       "EXISTS", "FOR",    "FROM",
        "FULL",   "GROUP",  "HAVING", "IN",       "INNER", "INSERT", "INTERSECT", "INTO",   "IS",     "JOIN",
        "LEFT",   "LIKE",   "MINUS",  "NOT",      "NULL",  "NULLS",  "ON",        "OR",     "ORDER",  "OUTER",
        "RIGHT",  "SELECT", "SET",    "START",    "THEN",  "UNION",  "UPDATE",    "USING",  "VALUES", "WHEN",
        "WHERE",  "WITH",   "CROSS",  "FETCH",    "OFFSET"};
    return words;
}

[[noreturn]] void Missing(int code) {
    switch (code) {
        case 900: throw OraError(900, "invalid SQL statement");
        case 905: throw OraError(905, "missing keyword");
        case 906: throw OraError(906, "missing left parenthesis");
        case 907: throw OraError(907, "missing right parenthesis");
        case 902: throw OraError(902, "invalid datatype");
        case 903: throw OraError(903, "invalid table name");
        case 904: throw OraError(904, "invalid identifier");
        case 917: throw OraError(917, "missing comma");
        case 921: throw OraError(921, "unexpected end of SQL command");
        case 923: throw OraError(923, "FROM keyword not found where expected");
        case 926: throw OraError(926, "missing VALUES keyword");
        case 927: throw OraError(927, "missing equal sign");
        case 928: throw OraError(928, "missing SELECT keyword");
        case 922: throw OraError(922, "missing or invalid option");
        case 936: throw OraError(936, "missing expression");
        case 1747: throw OraError(1747, "invalid user.table.column, table.column, or column specification");
        default: throw OraError(933, "SQL command not properly ended");
    }
}

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

    ParsedStatement Parse() {
        // A trailing ';' is what Oracle's OCI rejects with ORA-00911; PL/SQL keeps it.
        ParsedStatement st;
        const Token& first = Peek();
        if (first.kind == TokenKind::End) Missing(900);
        if (first.IsWord("SELECT") || first.IsWord("WITH") || first.IsSymbol("(")) {
            st.kind = StmtKind::Select;
            st.select = ParseQuery();
        } else if (first.IsWord("INSERT")) {
            ParseInsert(st);
        } else if (first.IsWord("UPDATE")) {
            ParseUpdate(st);
        } else if (first.IsWord("DELETE")) {
            ParseDelete(st);
        } else if (first.IsWord("CREATE")) {
            ParseCreate(st);
        } else if (first.IsWord("DROP")) {
            ParseDrop(st);
        } else if (first.IsWord("TRUNCATE")) {
            Next();
            ExpectWord("TABLE", 905);
            ParseObjectName(st.schema, st.name);
        } else if (first.IsWord("COMMIT")) {
            Next();
            st.kind = StmtKind::Commit;
            AcceptWord("WORK");
        } else if (first.IsWord("ROLLBACK")) {
            Next();
            st.kind = StmtKind::Rollback;
            AcceptWord("WORK");
            if (AcceptWord("TO")) {
                AcceptWord("SAVEPOINT");
                st.name = Identifier();
            }
        } else if (first.IsWord("SAVEPOINT")) {
            Next();
            st.kind = StmtKind::Savepoint;
            st.name = Identifier();
        } else if (first.IsWord("ALTER")) {
            Next();
            if (AcceptWord("SESSION")) {
                st.kind = StmtKind::AlterSession;
                while (Peek().kind != TokenKind::End) Next();
            } else if (AcceptWord("USER")) {
                // ALTER USER name [IDENTIFIED BY pw] [ACCOUNT LOCK|UNLOCK], at least one of them
                st.kind = StmtKind::AlterUser;
                st.name = Identifier();
                bool any = false;
                while (Peek().kind != TokenKind::End) {
                    if (AcceptWord("IDENTIFIED")) {
                        ExpectWord("BY", 905);
                        st.password = PasswordToken();
                    } else if (AcceptWord("ACCOUNT")) {
                        if (AcceptWord("LOCK"))
                            st.accountState = "LOCK";
                        else if (AcceptWord("UNLOCK"))
                            st.accountState = "UNLOCK";
                        else
                            Missing(922);
                    } else {
                        break;
                    }
                    any = true;
                }
                if (!any) Missing(922);
            } else {
                throw OraError(3001, "unimplemented feature");
            }
        } else if (first.IsWord("GRANT") || first.IsWord("REVOKE")) {
            ParseGrant(st);
        } else if (first.IsWord("BEGIN") || first.IsWord("DECLARE") || first.IsWord("CALL")) {
            st.kind = StmtKind::PlSql;
            return st;
        } else {
            Missing(900);
        }
        if (Peek().IsSymbol(";")) throw OraError(911, "invalid character");
        if (Peek().kind != TokenKind::End) Missing(933);
        if (st.kind == StmtKind::Truncate) st.kind = StmtKind::Truncate;
        if (first.IsWord("TRUNCATE")) st.kind = StmtKind::Truncate;
        return st;
    }

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
    void ParseGrant(ParsedStatement& st) {
        bool grant = Next().IsWord("GRANT");
        st.kind = grant ? StmtKind::Grant : StmtKind::Revoke;
        const char* target = grant ? "TO" : "FROM";
        bool onObject = false;
        while (true) {
            std::string privilege;
            while (Peek().kind == TokenKind::Word && !Peek().IsWord("ON") && !Peek().IsWord(target)) {
                if (!privilege.empty()) privilege += ' ';
                privilege += Next().text;
            }
            if (privilege.empty()) throw OraError(990, "missing or invalid privilege");
            if (privilege == "ALL PRIVILEGES") privilege = "ALL";
            st.columns.push_back(privilege);
            if (!AcceptSymbol(",")) break;
        }
        if (AcceptWord("ON")) {
            onObject = true;
            ParseObjectName(st.schema, st.name);
        }
        if (!AcceptWord(target)) Missing(grant ? 905 : 905);
        do {
            if (AcceptWord("PUBLIC"))
                st.grantees.push_back("PUBLIC");
            else
                st.grantees.push_back(Identifier(987));
        } while (AcceptSymbol(","));
        if (grant && AcceptWord("WITH")) throw OraError(3001, "unimplemented feature");
        (void)onObject;
    }
    void ParseObjectName(std::string& schema, std::string& name) {
        name = Identifier(903);
        if (AcceptSymbol(".")) {
            schema = name;
            name = Identifier(903);
        }
        if (Peek().IsSymbol("@")) throw OraError(3001, "unimplemented feature");
    }

    // ---- queries -----------------------------------------------------------------------
    std::unique_ptr<SelectStmt> ParseQuery() {
        Depth depth(*this);
        if (Peek().IsWord("WITH")) throw OraError(3001, "unimplemented feature");
        auto head = ParseQueryTerm();
        SelectStmt* tail = head.get();
        while (true) {
            std::string op;
            if (AcceptWord("UNION"))
                op = AcceptWord("ALL") ? "UNION ALL" : "UNION";
            else if (AcceptWord("INTERSECT"))
                op = "INTERSECT";
            else if (AcceptWord("MINUS"))
                op = "MINUS";
            else
                break;
            tail->setOp = op;
            tail->next = ParseQueryTerm();
            tail = tail->next.get();
        }
        if (AcceptWord("ORDER")) {
            ExpectWord("BY", 924);
            head->orderBy = ParseOrderList();
        }
        if (AcceptWord("FOR")) {
            ExpectWord("UPDATE", 905);
            head->forUpdate = true;
            if (AcceptWord("OF")) {
                ParseExpr();
                while (AcceptSymbol(",")) ParseExpr();
            }
            AcceptWord("NOWAIT");
        }
        return head;
    }

    std::unique_ptr<SelectStmt> ParseQueryTerm() {
        if (AcceptSymbol("(")) {
            auto q = ParseQuery();
            ExpectSymbol(")", 907);
            return q;
        }
        if (!AcceptWord("SELECT")) Missing(928);
        auto s = std::make_unique<SelectStmt>();
        if (AcceptWord("DISTINCT") || AcceptWord("UNIQUE"))
            s->distinct = true;
        else
            AcceptWord("ALL");
        do {
            s->items.push_back(ParseSelectItem());
        } while (AcceptSymbol(","));
        if (!AcceptWord("FROM")) Missing(Peek().kind == TokenKind::End ? 923 : 923);
        ParseFromList(*s);
        if (AcceptWord("WHERE")) s->where = ParseExpr();
        if (AcceptWord("GROUP")) {
            ExpectWord("BY", 924);
            do {
                s->groupBy.push_back(ParseExpr());
            } while (AcceptSymbol(","));
        }
        if (AcceptWord("HAVING")) s->having = ParseExpr();
        return s;
    }

    std::string Heading(size_t from, size_t to) const {
        // Oracle heads an unaliased expression with its text, blanks removed and unquoted
        // parts upper-cased (letters beyond ASCII too).
        std::string out;
        std::string upper;  // text still to be upper-cased
        auto flush = [&] {
            out += ChangeCase(upper, TextCase::Upper);
            upper.clear();
        };
        char quote = 0;
        for (size_t i = from; i < to && i < sql_.size(); ++i) {
            char c = sql_[i];
            if (quote) {
                if (c == quote) quote = 0;
                if (quote == '"' || c == '"') {
                    flush();
                    if (c != '"') out += c;
                    continue;
                }
                upper += c;
                continue;
            }
            if (c == '\'' || c == '"') {
                quote = c;
                if (c == '\'') upper += c;
                continue;
            }
            if (std::isspace(static_cast<unsigned char>(c))) continue;
            upper += c;
        }
        flush();
        return out;
    }

    SelectItem ParseSelectItem() {
        SelectItem item;
        if (AcceptSymbol("*")) {
            item.star = true;
            return item;
        }
        // t.* and schema.t.*
        if (IsIdentifierToken(Peek()) && Peek(1).IsSymbol(".")) {
            if (Peek(2).IsSymbol("*")) {
                item.star = true;
                item.starQualifier = Next().text;
                Next();
                Next();
                return item;
            }
        }
        size_t start = Peek().pos;
        item.expr = ParseExpr();
        size_t end = toks_[pos_ - 1].end;
        if (item.expr->kind == ExprKind::Column)
            item.heading = item.expr->names.back();
        else
            item.heading = Heading(start, end);
        if (AcceptWord("AS")) {
            item.alias = Identifier(923);
            item.hasAlias = true;
        } else if (IsIdentifierToken(Peek())) {
            item.alias = Next().text;
            item.hasAlias = true;
        }
        return item;
    }

    void ParseFromList(SelectStmt& s) {
        s.from.push_back(ParseTableRef());
        while (true) {
            if (AcceptSymbol(",")) {
                s.from.push_back(ParseTableRef());
                continue;
            }
            int join = 0;
            if (AcceptWord("JOIN"))
                join = 1;
            else if (Peek().IsWord("INNER") && Peek(1).IsWord("JOIN")) {
                Next();
                Next();
                join = 1;
            } else if (Peek().IsWord("CROSS") && Peek(1).IsWord("JOIN")) {
                Next();
                Next();
                join = 5;
            } else if (Peek().IsWord("LEFT") || Peek().IsWord("RIGHT") || Peek().IsWord("FULL")) {
                join = Peek().IsWord("LEFT") ? 2 : Peek().IsWord("RIGHT") ? 3 : 4;
                Next();
                AcceptWord("OUTER");
                ExpectWord("JOIN", 905);
            }
            if (!join) break;
            TableRef ref = ParseTableRef();
            ref.join = join;
            if (join != 5) {
                ExpectWord("ON", 905);
                ref.on = ParseExpr();
            }
            s.from.push_back(std::move(ref));
        }
    }

    TableRef ParseTableRef() {
        TableRef ref;
        if (AcceptSymbol("(")) {
            ref.subquery = ParseQuery();
            ExpectSymbol(")", 907);
        } else {
            ParseObjectName(ref.schema, ref.name);
        }
        if (IsIdentifierToken(Peek())) ref.alias = Next().text;
        return ref;
    }

    std::vector<OrderItem> ParseOrderList() {
        std::vector<OrderItem> list;
        do {
            OrderItem o;
            o.expr = ParseExpr();
            if (AcceptWord("DESC"))
                o.desc = true;
            else
                AcceptWord("ASC");
            if (AcceptWord("NULLS")) {
                if (AcceptWord("FIRST"))
                    o.nulls = 1;
                else if (AcceptWord("LAST"))
                    o.nulls = 2;
                else
                    Missing(905);
            }
            list.push_back(std::move(o));
        } while (AcceptSymbol(","));
        return list;
    }

    // ---- expressions ---------------------------------------------------------------------
    ExprPtr Make(ExprKind k, size_t pos) {
        auto e = std::make_unique<Expr>();
        e->kind = k;
        e->pos = pos;
        return e;
    }

    ExprPtr ParseExpr() {
        Depth depth(*this);
        return ParseOr();
    }

    ExprPtr ParseOr() {
        Depth depth(*this, false);
        auto left = ParseAnd();
        while (Peek().IsWord("OR")) {
            depth.Deeper();
            size_t p = Next().pos;
            auto e = Make(ExprKind::Or, p);
            e->args.push_back(std::move(left));
            e->args.push_back(ParseAnd());
            left = std::move(e);
        }
        return left;
    }

    ExprPtr ParseAnd() {
        Depth depth(*this, false);
        auto left = ParseNot();
        while (Peek().IsWord("AND")) {
            depth.Deeper();
            size_t p = Next().pos;
            auto e = Make(ExprKind::And, p);
            e->args.push_back(std::move(left));
            e->args.push_back(ParseNot());
            left = std::move(e);
        }
        return left;
    }

    ExprPtr ParseNot() {
        Depth depth(*this, false);
        if (Peek().IsWord("NOT")) {
            depth.Deeper();
            size_t p = Next().pos;
            auto e = Make(ExprKind::Not, p);
            e->args.push_back(ParseNot());
            return e;
        }
        if (Peek().IsWord("EXISTS")) {
            size_t p = Next().pos;
            ExpectSymbol("(", 906);
            auto e = Make(ExprKind::Exists, p);
            e->subquery = ParseQuery();
            ExpectSymbol(")", 907);
            return e;
        }
        return ParsePredicate();
    }

    ExprPtr ParsePredicate() {
        auto left = ParseAdditive();
        const Token& t = Peek();
        if (t.kind == TokenKind::Symbol && (t.text == "=" || t.text == "<>" || t.text == "!=" || t.text == "^=" ||
                                            t.text == "<" || t.text == "<=" || t.text == ">" || t.text == ">=")) {
            std::string op = Next().text;
            if (op == "!=" || op == "^=") op = "<>";
            auto e = Make(ExprKind::Compare, left->pos);
            e->text = op;
            e->args.push_back(std::move(left));
            if (Peek().IsWord("ANY") || Peek().IsWord("SOME") || Peek().IsWord("ALL"))
                throw OraError(3001, "unimplemented feature");
            e->args.push_back(ParseAdditive());
            return e;
        }
        bool negated = false;
        if (Peek().IsWord("NOT") && (Peek(1).IsWord("LIKE") || Peek(1).IsWord("BETWEEN") || Peek(1).IsWord("IN"))) {
            Next();
            negated = true;
        }
        if (AcceptWord("IS")) {
            auto e = Make(ExprKind::IsNull, left->pos);
            e->negated = AcceptWord("NOT");
            ExpectWord("NULL", 908);
            e->args.push_back(std::move(left));
            return e;
        }
        if (AcceptWord("LIKE")) {
            auto e = Make(ExprKind::Like, left->pos);
            e->negated = negated;
            e->args.push_back(std::move(left));
            e->args.push_back(ParseAdditive());
            if (AcceptWord("ESCAPE")) e->args.push_back(ParseAdditive());
            return e;
        }
        if (AcceptWord("BETWEEN")) {
            auto e = Make(ExprKind::Between, left->pos);
            e->negated = negated;
            e->args.push_back(std::move(left));
            e->args.push_back(ParseAdditive());
            ExpectWord("AND", 905);
            e->args.push_back(ParseAdditive());
            return e;
        }
        if (AcceptWord("IN")) {
            ExpectSymbol("(", 906);
            if (Peek().IsWord("SELECT")) {
                auto e = Make(ExprKind::InSelect, left->pos);
                e->negated = negated;
                e->args.push_back(std::move(left));
                e->subquery = ParseQuery();
                ExpectSymbol(")", 907);
                return e;
            }
            auto e = Make(ExprKind::InList, left->pos);
            e->negated = negated;
            e->args.push_back(std::move(left));
            do {
                e->args.push_back(ParseExpr());
            } while (AcceptSymbol(","));
            ExpectSymbol(")", 907);
            return e;
        }
        if (negated) Missing(905);
        return left;
    }

    ExprPtr ParseAdditive() {
        auto left = ParseMultiplicative();
        Depth depth(*this, false);
        while (Peek().IsSymbol("+") || Peek().IsSymbol("-") || Peek().IsSymbol("||")) {
            depth.Deeper();
            std::string op = Next().text;
            auto e = Make(ExprKind::Binary, left->pos);
            e->text = op;
            e->args.push_back(std::move(left));
            e->args.push_back(ParseMultiplicative());
            left = std::move(e);
        }
        return left;
    }

    ExprPtr ParseMultiplicative() {
        Depth depth(*this, false);
        auto left = ParseUnary();
        while (Peek().IsSymbol("*") || Peek().IsSymbol("/")) {
            depth.Deeper();
            std::string op = Next().text;
            auto e = Make(ExprKind::Binary, left->pos);
            e->text = op;
            e->args.push_back(std::move(left));
            e->args.push_back(ParseUnary());
            left = std::move(e);
        }
        return left;
    }

    ExprPtr ParseUnary() {
        Depth depth(*this, false);
        if (Peek().IsSymbol("-") || Peek().IsSymbol("+")) {
            depth.Deeper();
            const Token& t = Next();
            auto e = Make(ExprKind::Unary, t.pos);
            e->text = t.text;
            e->args.push_back(ParseUnary());
            return e;
        }
        return ParsePrimary();
    }

    TypeSpec ParseTypeSpec();

    ExprPtr ParsePrimary() {
        const Token& t = Peek();
        size_t p = t.pos;
        switch (t.kind) {
            case TokenKind::End: Missing(936);
            case TokenKind::Number: {
                auto e = Make(ExprKind::Number, p);
                e->text = Next().text;
                return e;
            }
            case TokenKind::String: {
                auto e = Make(t.text.empty() ? ExprKind::Null : ExprKind::String, p);
                e->text = Next().text;
                return e;
            }
            case TokenKind::NString: {
                auto e = Make(t.text.empty() ? ExprKind::Null : ExprKind::NString, p);
                e->text = Next().text;
                return e;
            }
            case TokenKind::Bind: {
                auto e = Make(ExprKind::Bind, p);
                e->text = Next().text;
                return e;
            }
            case TokenKind::Symbol:
                if (t.text == "(") {
                    Next();
                    if (Peek().IsWord("SELECT")) {
                        auto e = Make(ExprKind::Subquery, p);
                        e->subquery = ParseQuery();
                        ExpectSymbol(")", 907);
                        return e;
                    }
                    auto inner = ParseExpr();
                    ExpectSymbol(")", 907);
                    return inner;
                }
                Missing(936);
            case TokenKind::QuotedName: return ParseNameOrCall();
            case TokenKind::Word: break;
        }
        // keywords that start an expression
        if (t.IsWord("NULL")) {
            Next();
            return Make(ExprKind::Null, p);
        }
        if (t.IsWord("CASE")) return ParseCase();
        if (t.IsWord("DATE") && Peek(1).kind == TokenKind::String) {
            Next();
            auto e = Make(ExprKind::DateLiteral, p);
            e->literal = Next().text;
            return e;
        }
        if (t.IsWord("TIMESTAMP") && Peek(1).kind == TokenKind::String) {
            Next();
            auto e = Make(ExprKind::TimestampLiteral, p);
            e->literal = Next().text;
            return e;
        }
        if (t.IsWord("INTERVAL") && Peek(1).kind == TokenKind::String) {
            Next();
            auto e = Make(ExprKind::IntervalLiteral, p);
            e->literal = Next().text;
            if (AcceptWord("YEAR")) {
                if (AcceptSymbol("(")) {
                    Next();
                    ExpectSymbol(")", 907);
                }
                ExpectWord("TO", 905);
                ExpectWord("MONTH", 905);
                e->text = "YM";
            } else if (AcceptWord("DAY")) {
                if (AcceptSymbol("(")) {
                    Next();
                    ExpectSymbol(")", 907);
                }
                ExpectWord("TO", 905);
                ExpectWord("SECOND", 905);
                if (AcceptSymbol("(")) {
                    Next();
                    ExpectSymbol(")", 907);
                }
                e->text = "DS";
            } else {
                throw OraError(3001, "unimplemented feature");
            }
            return e;
        }
        if (Reserved().count(t.text) && !t.IsWord("EXISTS")) Missing(936);
        return ParseNameOrCall();
    }

    ExprPtr ParseCase() {
        size_t p = Next().pos;
        auto e = Make(ExprKind::Case, p);
        if (!Peek().IsWord("WHEN")) {
            e->hasOperand = true;
            e->args.push_back(ParseExpr());
        }
        if (!Peek().IsWord("WHEN")) Missing(905);
        while (AcceptWord("WHEN")) {
            e->args.push_back(ParseExpr());
            ExpectWord("THEN", 905);
            e->args.push_back(ParseExpr());
        }
        if (AcceptWord("ELSE")) {
            e->hasElse = true;
            e->args.push_back(ParseExpr());
        }
        ExpectWord("END", 905);
        return e;
    }

    ExprPtr ParseNameOrCall() {
        const Token& first = Next();
        size_t p = first.pos;
        bool quoted = first.kind == TokenKind::QuotedName;
        std::string name = first.text;
        if (!quoted && Peek().IsSymbol("(")) return ParseCall(name, p);
        if (!quoted && name == "ROWNUM") return Make(ExprKind::Rownum, p);
        if (!quoted && (name == "SYSDATE" || name == "SYSTIMESTAMP" || name == "CURRENT_DATE" ||
                        name == "CURRENT_TIMESTAMP" || name == "LOCALTIMESTAMP" || name == "USER" || name == "UID")) {
            auto e = Make(ExprKind::Function, p);
            e->text = name;
            return e;
        }
        if (!quoted && name == "ROWID") return Make(ExprKind::Rowid, p);
        auto e = Make(ExprKind::Column, p);
        e->names.push_back(name);
        while (AcceptSymbol(".")) {
            const Token& part = Peek();
            if (part.IsWord("ROWID") && part.kind == TokenKind::Word) {
                Next();
                e->kind = ExprKind::Rowid;
                return e;
            }
            if (part.kind != TokenKind::Word && part.kind != TokenKind::QuotedName) Missing(1747);
            e->names.push_back(Next().text);
            if (e->names.size() > 3) Missing(1747);
        }
        return e;
    }

    ExprPtr ParseCall(const std::string& name, size_t p) {
        Next();  // (
        if (name == "TRANSLATE" || name == "CAST" || name == "EXTRACT" || name == "TRIM") {
            // forms with keywords inside the parentheses
            if (name == "CAST") {
                auto e = Make(ExprKind::Cast, p);
                e->args.push_back(ParseExpr());
                ExpectWord("AS", 905);
                e->castType = std::make_shared<TypeSpec>(ParseTypeSpec());
                ExpectSymbol(")", 907);
                return e;
            }
            if (name == "EXTRACT") {
                auto e = Make(ExprKind::Function, p);
                e->text = "EXTRACT";
                auto field = Make(ExprKind::String, Peek().pos);
                field->text = Identifier(905);
                e->args.push_back(std::move(field));
                ExpectWord("FROM", 923);
                e->args.push_back(ParseExpr());
                ExpectSymbol(")", 907);
                return e;
            }
            if (name == "TRIM") {
                auto e = Make(ExprKind::Function, p);
                std::string mode = "BOTH";
                if (Peek().IsWord("LEADING") || Peek().IsWord("TRAILING") || Peek().IsWord("BOTH")) mode = Next().text;
                ExprPtr set;
                ExprPtr value = ParseExpr();
                if (AcceptWord("FROM")) {
                    set = std::move(value);
                    value = ParseExpr();
                } else if (mode != "BOTH" || toks_[pos_ - 1].IsWord("BOTH")) {
                    Missing(923);
                }
                ExpectSymbol(")", 907);
                e->text = mode == "LEADING" ? "LTRIM" : mode == "TRAILING" ? "RTRIM" : "TRIM";
                e->args.push_back(std::move(value));
                if (set) e->args.push_back(std::move(set));
                return e;
            }
            // TRANSLATE(x USING CHAR_CS) or TRANSLATE(x, from, to)
            auto value = ParseExpr();
            if (AcceptWord("USING")) {
                auto e = Make(ExprKind::Translate, p);
                std::string cs = Identifier(905);
                if (cs != "CHAR_CS" && cs != "NCHAR_CS") Missing(905);
                e->text = cs;
                e->args.push_back(std::move(value));
                ExpectSymbol(")", 907);
                return e;
            }
            auto e = Make(ExprKind::Function, p);
            e->text = name;
            e->args.push_back(std::move(value));
            while (AcceptSymbol(",")) e->args.push_back(ParseExpr());
            ExpectSymbol(")", 907);
            return e;
        }
        auto e = Make(ExprKind::Function, p);
        e->text = name;
        if (AcceptSymbol("*")) {
            e->star = true;
            ExpectSymbol(")", 907);
            return e;
        }
        if (AcceptWord("DISTINCT"))
            e->distinct = true;
        else
            AcceptWord("ALL");
        if (!AcceptSymbol(")")) {
            do {
                e->args.push_back(ParseExpr());
            } while (AcceptSymbol(","));
            if (Peek().IsWord("OVER")) throw OraError(3001, "unimplemented feature");
            ExpectSymbol(")", 907);
        }
        if (Peek().IsWord("OVER")) throw OraError(3001, "unimplemented feature");
        return e;
    }

    // ---- DML -----------------------------------------------------------------------------
    void ParseInsert(ParsedStatement& st) {
        st.kind = StmtKind::Insert;
        Next();
        ExpectWord("INTO", 925);
        ParseObjectName(st.schema, st.name);
        if (IsIdentifierToken(Peek())) st.alias = Next().text;
        if (AcceptSymbol("(")) {
            do {
                std::string col = Identifier();
                // t.col in the insert column list: keep the column
                while (AcceptSymbol(".")) col = Identifier();
                st.columns.push_back(col);
            } while (AcceptSymbol(","));
            ExpectSymbol(")", 907);
        }
        if (AcceptWord("VALUES")) {
            ExpectSymbol("(", 906);
            std::vector<ExprPtr> row;
            do {
                row.push_back(ParseExpr());
            } while (AcceptSymbol(","));
            if (!AcceptSymbol(")")) Missing(Peek().kind == TokenKind::End ? 907 : 917);
            st.values.push_back(std::move(row));
        } else if (Peek().IsWord("SELECT") || Peek().IsSymbol("(")) {
            st.select = ParseQuery();
        } else {
            Missing(926);
        }
        if (Peek().IsWord("RETURNING") || Peek().IsWord("RETURN")) throw OraError(3001, "unimplemented feature");
    }

    void ParseUpdate(ParsedStatement& st) {
        st.kind = StmtKind::Update;
        Next();
        ParseObjectName(st.schema, st.name);
        if (IsIdentifierToken(Peek())) st.alias = Next().text;
        ExpectWord("SET", 971);
        do {
            SetClause sc;
            sc.column = Identifier();
            while (AcceptSymbol(".")) sc.column = Identifier();
            if (!AcceptSymbol("=")) Missing(927);
            sc.value = ParseExpr();
            st.sets.push_back(std::move(sc));
        } while (AcceptSymbol(","));
        if (AcceptWord("WHERE")) st.where = ParseExpr();
    }

    void ParseDelete(ParsedStatement& st) {
        st.kind = StmtKind::Delete;
        Next();
        AcceptWord("FROM");
        ParseObjectName(st.schema, st.name);
        if (IsIdentifierToken(Peek())) st.alias = Next().text;
        if (AcceptWord("WHERE")) st.where = ParseExpr();
    }

    // ---- DDL -----------------------------------------------------------------------------
    void ParseCreate(ParsedStatement& st) {
        Next();
        if (AcceptWord("OR")) {
            ExpectWord("REPLACE", 922);
            st.orReplace = true;
        }
        AcceptWord("FORCE");
        AcceptWord("NOFORCE");
        if (AcceptWord("DIRECTORY")) {
            st.kind = StmtKind::CreateDirectory;
            st.name = Identifier(922);
            ExpectWord("AS", 905);
            if (Peek().kind != TokenKind::String) throw OraError(22929, "invalid or missing directory name");
            st.directoryPath = Next().text;
            return;
        }
        if (AcceptWord("USER")) {
            st.kind = StmtKind::CreateUser;
            st.name = Identifier(922);
            ExpectWord("IDENTIFIED", 922);
            ExpectWord("BY", 905);
            st.password = PasswordToken();
            return;
        }
        if (AcceptWord("VIEW")) {
            st.kind = StmtKind::CreateView;
            ParseObjectName(st.schema, st.name);
            if (AcceptSymbol("(")) {
                do {
                    st.columns.push_back(Identifier());
                } while (AcceptSymbol(","));
                ExpectSymbol(")", 907);
            }
            ExpectWord("AS", 905);
            size_t start = Peek().pos;
            st.select = ParseQuery();
            if (Peek().IsWord("WITH")) {
                Next();
                if (AcceptWord("READ"))
                    ExpectWord("ONLY", 905);
                else
                    Missing(922);
            }
            st.viewText = std::string(sql_.substr(start, Peek().pos - start));
            while (!st.viewText.empty() && std::isspace(static_cast<unsigned char>(st.viewText.back())))
                st.viewText.pop_back();
            return;
        }
        if (st.orReplace) Missing(922);
        if (Peek().IsWord("GLOBAL") || Peek().IsWord("INDEX") || Peek().IsWord("UNIQUE") || Peek().IsWord("SEQUENCE") ||
            Peek().IsWord("SYNONYM") || Peek().IsWord("PROCEDURE") || Peek().IsWord("FUNCTION") ||
            Peek().IsWord("PACKAGE") || Peek().IsWord("TRIGGER") || Peek().IsWord("TYPE"))
            throw OraError(3001, "unimplemented feature");
        if (!AcceptWord("TABLE")) Missing(901);
        st.kind = StmtKind::CreateTable;
        ParseObjectName(st.schema, st.name);
        if (AcceptWord("AS")) {
            st.select = ParseQuery();
            return;
        }
        ExpectSymbol("(", 906);
        do {
            if (Peek().IsWord("CONSTRAINT") || Peek().IsWord("PRIMARY") || Peek().IsWord("UNIQUE") ||
                Peek().IsWord("CHECK") || Peek().IsWord("FOREIGN")) {
                st.constraints.push_back(ParseTableConstraint());
            } else {
                st.columnDefs.push_back(ParseColumnDef());
            }
        } while (AcceptSymbol(","));
        ExpectSymbol(")", 907);
        // storage clauses are accepted and ignored
        while (Peek().IsWord("TABLESPACE") || Peek().IsWord("LOGGING") || Peek().IsWord("NOLOGGING")) {
            if (Next().IsWord("TABLESPACE")) Identifier();
        }
        if (AcceptWord("AS")) st.select = ParseQuery();
    }

    TableConstraintAst ParseTableConstraint() {
        TableConstraintAst c;
        if (AcceptWord("CONSTRAINT")) c.name = Identifier();
        if (AcceptWord("PRIMARY")) {
            ExpectWord("KEY", 905);
            c.type = 'P';
        } else if (AcceptWord("UNIQUE")) {
            c.type = 'U';
        } else {
            throw OraError(3001, "unimplemented feature");
        }
        ExpectSymbol("(", 906);
        do {
            c.columns.push_back(Identifier());
        } while (AcceptSymbol(","));
        ExpectSymbol(")", 907);
        return c;
    }

    ColumnDefAst ParseColumnDef() {
        ColumnDefAst c;
        c.name = Identifier();
        c.type = ParseTypeSpec();
        while (true) {
            std::string cname;
            if (AcceptWord("CONSTRAINT")) cname = Identifier();
            if (AcceptWord("DEFAULT")) {
                size_t start = Peek().pos;
                ParseExpr();
                c.defaultText = std::string(sql_.substr(start, toks_[pos_ - 1].end - start));
            } else if (AcceptWord("NOT")) {
                ExpectWord("NULL", 905);
                c.notNull = true;
                c.notNullName = cname;
            } else if (AcceptWord("NULL")) {
            } else if (AcceptWord("PRIMARY")) {
                ExpectWord("KEY", 905);
                c.primaryKey = true;
                c.constraintName = cname;
            } else if (AcceptWord("UNIQUE")) {
                c.unique = true;
                c.constraintName = cname;
            } else if (Peek().IsWord("CHECK") || Peek().IsWord("REFERENCES")) {
                throw OraError(3001, "unimplemented feature");
            } else {
                if (!cname.empty()) Missing(902);
                break;
            }
        }
        return c;
    }

    void ParseDrop(ParsedStatement& st) {
        Next();
        st.kind = StmtKind::Drop;
        if (AcceptWord("TABLE"))
            st.objectType = "TABLE";
        else if (AcceptWord("VIEW"))
            st.objectType = "VIEW";
        else if (AcceptWord("USER"))
            st.objectType = "USER";
        else if (AcceptWord("DIRECTORY"))
            st.objectType = "DIRECTORY";
        else if (Peek().kind == TokenKind::Word)
            throw OraError(3001, "unimplemented feature");
        else
            Missing(950);
        if (st.objectType == "USER" || st.objectType == "DIRECTORY")
            st.name = Identifier();
        else
            ParseObjectName(st.schema, st.name);
        if (AcceptWord("CASCADE")) {
            st.cascade = true;
            if (st.objectType == "TABLE") ExpectWord("CONSTRAINTS", 905);
        }
        AcceptWord("PURGE");
    }

    std::string_view sql_;
    std::vector<Token> toks_;
    size_t pos_ = 0;
    int depth_ = 0;
};

int ReadInt(const Token& t) {
    if (t.kind != TokenKind::Number || t.text.find_first_not_of("0123456789") != std::string::npos)
        throw OraError(910, "specified length too long for its datatype");
    if (t.text.size() > 9) throw OraError(910, "specified length too long for its datatype");
    return std::stoi(t.text);
}

TypeSpec Parser::ParseTypeSpec() {
    TypeSpec ts;
    const Token& t = Peek();
    if (t.kind != TokenKind::Word) Missing(902);
    std::string w = Next().text;
    auto lengthSpec = [&](bool allowSemantics, bool required) {
        if (!AcceptSymbol("(")) {
            if (required) Missing(906);
            return;
        }
        ts.length = ReadInt(Next());
        if (allowSemantics) {
            if (AcceptWord("CHAR")) {
                ts.charSemantics = true;
                ts.explicitSemantics = true;
            } else if (AcceptWord("BYTE")) {
                ts.explicitSemantics = true;
            }
        }
        ExpectSymbol(")", 907);
    };
    if (w == "VARCHAR2" || w == "VARCHAR") {
        ts.base = "VARCHAR2";
        lengthSpec(true, true);
    } else if (w == "NVARCHAR2") {
        ts.base = "NVARCHAR2";
        lengthSpec(false, true);
    } else if (w == "CHAR" || w == "CHARACTER") {
        ts.base = "CHAR";
        if (AcceptWord("VARYING")) ts.base = "VARCHAR2";
        lengthSpec(true, ts.base == "VARCHAR2");
    } else if (w == "NCHAR") {
        ts.base = "NCHAR";
        if (AcceptWord("VARYING")) ts.base = "NVARCHAR2";
        lengthSpec(false, ts.base == "NVARCHAR2");
    } else if (w == "NUMBER" || w == "NUMERIC" || w == "DECIMAL" || w == "DEC") {
        ts.base = "NUMBER";
        if (AcceptSymbol("(")) {
            if (AcceptSymbol("*"))
                ts.starPrecision = true;
            else
                ts.precision = ReadInt(Next());
            if (AcceptSymbol(",")) {
                bool neg = AcceptSymbol("-");
                ts.scale = ReadInt(Next()) * (neg ? -1 : 1);
            }
            ExpectSymbol(")", 907);
        }
        if (w != "NUMBER" && ts.scale < 0) {
            if (ts.precision < 0 && !ts.starPrecision) ts.precision = 38;
            ts.scale = 0;
        }
    } else if (w == "INTEGER" || w == "INT" || w == "SMALLINT") {
        ts.base = "NUMBER";
        ts.starPrecision = true;
        ts.scale = 0;
    } else if (w == "FLOAT") {
        ts.base = "FLOAT";
        ts.precision = 126;
        if (AcceptSymbol("(")) {
            ts.precision = ReadInt(Next());
            ExpectSymbol(")", 907);
        }
    } else if (w == "REAL") {
        ts.base = "FLOAT";
        ts.precision = 63;
    } else if (w == "DOUBLE") {
        ExpectWord("PRECISION", 905);
        ts.base = "FLOAT";
        ts.precision = 126;
    } else if (w == "DATE") {
        ts.base = "DATE";
    } else if (w == "TIMESTAMP") {
        ts.base = "TIMESTAMP";
        ts.scale = 6;
        if (AcceptSymbol("(")) {
            ts.scale = ReadInt(Next());
            ExpectSymbol(")", 907);
        }
        if (AcceptWord("WITH")) {
            if (AcceptWord("LOCAL"))
                ts.base = "TIMESTAMP WITH LOCAL TIME ZONE";
            else
                ts.base = "TIMESTAMP WITH TIME ZONE";
            ExpectWord("TIME", 905);
            ExpectWord("ZONE", 905);
        }
    } else if (w == "INTERVAL") {
        if (AcceptWord("YEAR")) {
            ts.base = "INTERVAL YEAR TO MONTH";
            ts.precision = 2;
            if (AcceptSymbol("(")) {
                ts.precision = ReadInt(Next());
                ExpectSymbol(")", 907);
            }
            ExpectWord("TO", 905);
            ExpectWord("MONTH", 905);
            ts.scale = 0;
        } else if (AcceptWord("DAY")) {
            ts.base = "INTERVAL DAY TO SECOND";
            ts.precision = 2;
            ts.scale = 6;
            if (AcceptSymbol("(")) {
                ts.precision = ReadInt(Next());
                ExpectSymbol(")", 907);
            }
            ExpectWord("TO", 905);
            ExpectWord("SECOND", 905);
            if (AcceptSymbol("(")) {
                ts.scale = ReadInt(Next());
                ExpectSymbol(")", 907);
            }
        } else {
            Missing(902);
        }
    } else if (w == "RAW") {
        ts.base = "RAW";
        lengthSpec(false, true);
    } else if (w == "LONG") {
        ts.base = AcceptWord("RAW") ? "LONG RAW" : "LONG";
    } else if (w == "CLOB" || w == "NCLOB" || w == "BLOB" || w == "BFILE" || w == "BINARY_FLOAT" ||
               w == "BINARY_DOUBLE" || w == "ROWID") {
        ts.base = w;
    } else if (w == "UROWID") {
        ts.base = "ROWID";
        if (AcceptSymbol("(")) {
            Next();
            ExpectSymbol(")", 907);
        }
    } else {
        Missing(902);
    }
    return ts;
}

}  // namespace

ParsedStatement ParseStatement(std::string_view sql) {
    return Parser(sql).Parse();
}

}  // namespace ocilite
