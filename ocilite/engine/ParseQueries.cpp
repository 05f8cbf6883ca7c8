#include <cctype>

#include "ocilite/engine/ParserInternal.h"
#include "ocilite/engine/TextCase.h"

namespace ocilite::parse {

std::unique_ptr<SelectStmt> Parser::ParseQuery() {
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

std::unique_ptr<SelectStmt> Parser::ParseQueryTerm() {
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

std::string Parser::Heading(size_t from, size_t to) const {
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

SelectItem Parser::ParseSelectItem() {
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

void Parser::ParseFromList(SelectStmt& s) {
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

TableRef Parser::ParseTableRef() {
    TableRef ref;
    ref.pos = Peek().pos;
    if (AcceptSymbol("(")) {
        ref.subquery = ParseQuery();
        ExpectSymbol(")", 907);
    } else {
        ParseObjectName(ref.schema, ref.name);
    }
    if (IsIdentifierToken(Peek())) ref.alias = Next().text;
    return ref;
}

std::vector<OrderItem> Parser::ParseOrderList() {
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

}  // namespace ocilite::parse
