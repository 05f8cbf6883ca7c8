#include <cctype>

#include "ocilite/engine/ParserInternal.h"
#include "ocilite/engine/TextCase.h"

namespace ocilite::parse {

void Parser::ParseInsert(ParsedStatement& st) {
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

void Parser::ParseUpdate(ParsedStatement& st) {
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

void Parser::ParseDelete(ParsedStatement& st) {
    st.kind = StmtKind::Delete;
    Next();
    AcceptWord("FROM");
    ParseObjectName(st.schema, st.name);
    if (IsIdentifierToken(Peek())) st.alias = Next().text;
    if (AcceptWord("WHERE")) st.where = ParseExpr();
}

}  // namespace ocilite::parse
