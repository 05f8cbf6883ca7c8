#include <cctype>

#include "ocilite/engine/ParserInternal.h"
#include "ocilite/engine/TextCase.h"

namespace ocilite::parse {

ExprPtr Parser::ParseExpr() {
    Depth depth(*this);
    return ParseOr();
}

ExprPtr Parser::ParseOr() {
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

ExprPtr Parser::ParseAnd() {
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

ExprPtr Parser::ParseNot() {
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

ExprPtr Parser::ParsePredicate() {
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

ExprPtr Parser::ParseAdditive() {
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

ExprPtr Parser::ParseMultiplicative() {
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

ExprPtr Parser::ParseUnary() {
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

ExprPtr Parser::ParsePrimary() {
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

ExprPtr Parser::ParseCase() {
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

ExprPtr Parser::ParseNameOrCall() {
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

ExprPtr Parser::ParseCall(const std::string& name, size_t p) {
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

}  // namespace ocilite::parse
