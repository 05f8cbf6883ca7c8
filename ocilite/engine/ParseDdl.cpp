#include <cctype>

#include "ocilite/engine/ParserInternal.h"
#include "ocilite/engine/TextCase.h"

namespace ocilite::parse {
namespace {

int ReadInt(const Token& t) {
    if (t.kind != TokenKind::Number || t.text.find_first_not_of("0123456789") != std::string::npos)
        throw OraError(910, "specified length too long for its datatype");
    if (t.text.size() > 9) throw OraError(910, "specified length too long for its datatype");
    return std::stoi(t.text);
}

}  // namespace

void Parser::ParseCreate(ParsedStatement& st) {
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

TableConstraintAst Parser::ParseTableConstraint() {
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

ColumnDefAst Parser::ParseColumnDef() {
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

void Parser::ParseDrop(ParsedStatement& st) {
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

}  // namespace ocilite::parse
