#include "ocilite/engine/Parser.h"

#include <cctype>

#include "ocilite/engine/ParserInternal.h"
#include "ocilite/engine/TextCase.h"

namespace ocilite::parse {

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

ParsedStatement Parser::Parse() {
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
    } else if (first.IsWord("MERGE")) {
        ParseMerge(st);
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

// GRANT privilege[, ...] [ON [schema.]object] TO grantee[, ...]
// REVOKE privilege[, ...] [ON [schema.]object] FROM grantee[, ...]
// A privilege is a run of words (SELECT, ALL PRIVILEGES, CREATE ANY TABLE ...).
void Parser::ParseGrant(ParsedStatement& st) {
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

void Parser::ParseObjectName(std::string& schema, std::string& name) {
    name = Identifier(903);
    if (AcceptSymbol(".")) {
        schema = name;
        name = Identifier(903);
    }
    if (Peek().IsSymbol("@")) throw OraError(3001, "unimplemented feature");
}

}  // namespace ocilite::parse

namespace ocilite {

ParsedStatement ParseStatement(std::string_view sql) {
    parse::Parser parser(sql);
    try {
        return parser.Parse();
    } catch (OraError& e) {
        // a syntax error lies at the token the parser stopped at
        if (!e.HasOffset()) e.SetOffset(parser.Position());
        throw;
    }
}

}  // namespace ocilite
