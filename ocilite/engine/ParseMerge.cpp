// MERGE INTO [schema.]table [alias] USING {[schema.]table | (subquery)} [alias] ON (condition)
//   [WHEN MATCHED THEN UPDATE SET column = expr [, ...] [WHERE condition]]
//   [WHEN NOT MATCHED THEN INSERT [(column, ...)] VALUES (expr, ...) [WHERE condition]]
// At least one of the two clauses, in this order. The DELETE WHERE of the update clause is
// not supported (ORA-03001).
#include "ocilite/engine/ParserInternal.h"

namespace ocilite::parse {

void Parser::ParseMerge(ParsedStatement& st) {
    st.kind = StmtKind::Merge;
    auto merge = std::make_shared<MergeClauses>();
    Next();
    if (!AcceptWord("INTO")) throw OraError(925, "missing INTO keyword");
    ParseObjectName(st.schema, st.name);
    if (IsIdentifierToken(Peek())) st.alias = Next().text;
    ExpectWord("USING", 905);
    merge->source = ParseTableRef();
    if (!AcceptWord("ON")) throw OraError(969, "missing ON keyword");
    ExpectSymbol("(", 906);
    merge->on = ParseExpr();
    ExpectSymbol(")", 907);
    while (AcceptWord("WHEN")) {
        const bool notMatched = AcceptWord("NOT");
        ExpectWord("MATCHED", 905);
        ExpectWord("THEN", 905);
        if (!notMatched) {
            // the update clause comes first, and once
            if (merge->matched || merge->notMatched) Missing(933);
            merge->matched = true;
            ExpectWord("UPDATE", 905);
            ExpectWord("SET", 971);
            do {
                SetClause sc;
                sc.column = Identifier();
                while (AcceptSymbol(".")) sc.column = Identifier();
                if (!AcceptSymbol("=")) Missing(927);
                sc.value = ParseExpr();
                merge->sets.push_back(std::move(sc));
            } while (AcceptSymbol(","));
            if (AcceptWord("WHERE")) merge->updateWhere = ParseExpr();
            if (Peek().IsWord("DELETE")) throw OraError(3001, "unimplemented feature");
        } else {
            if (merge->notMatched) Missing(933);
            merge->notMatched = true;
            ExpectWord("INSERT", 905);
            if (AcceptSymbol("(")) {
                do {
                    std::string col = Identifier();
                    while (AcceptSymbol(".")) col = Identifier();
                    merge->insertColumns.push_back(col);
                } while (AcceptSymbol(","));
                ExpectSymbol(")", 907);
            }
            ExpectWord("VALUES", 926);
            ExpectSymbol("(", 906);
            do {
                merge->insertValues.push_back(ParseExpr());
            } while (AcceptSymbol(","));
            if (!AcceptSymbol(")")) Missing(Peek().kind == TokenKind::End ? 907 : 917);
            if (AcceptWord("WHERE")) merge->insertWhere = ParseExpr();
        }
    }
    if (!merge->matched && !merge->notMatched) Missing(905);
    st.merge = std::move(merge);
}

}  // namespace ocilite::parse
