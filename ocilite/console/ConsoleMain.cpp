// ocilite-sql: runs SQL statements from a file or standard input against an embedded-engine
// database and prints query results as '|'-separated lines.
//
//   ocilite-sql [--create] [-f FILE] USER/PASSWORD@DATABASE

#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "ocilite/console/ScriptReader.h"
#include "ocilite/console/ValueText.h"
#include "ocilite/engine/Engine.h"
#include "ocilite/types/OraError.h"

namespace {

void Usage(std::ostream& out) {
    out << "usage: ocilite-sql [--create] [-f FILE] USER/PASSWORD@DATABASE\n"
           "  Runs SQL statements from FILE (or standard input). A statement ends with ';'\n"
           "  at the end of a line or with a line holding only '/'. --create creates the\n"
           "  database file and the account when they do not exist.\n";
}

// USER/PASSWORD@DATABASE; the database part follows the last '@' (it may be empty for the
// default database).
bool SplitConnect(const std::string& s, std::string& user, std::string& password, std::string& db) {
    size_t slash = s.find('/');
    if (slash == std::string::npos) return false;
    user = s.substr(0, slash);
    std::string rest = s.substr(slash + 1);
    size_t at = rest.rfind('@');
    if (at == std::string::npos) {
        password = rest;
        db.clear();
    } else {
        password = rest.substr(0, at);
        db = rest.substr(at + 1);
    }
    return !user.empty();
}

bool RunStatement(ocilite::Session& session, const std::string& sql) {
    try {
        auto stmt = session.Prepare(sql);
        stmt->Execute();
        if (stmt->Type() == ocilite::StatementType::Select) {
            const auto& cols = stmt->Columns();
            std::string line;
            for (size_t i = 0; i < cols.size(); ++i) {
                if (i) line += '|';
                line += cols[i].name;
            }
            std::cout << line << '\n';
            std::vector<ocilite::Value> row;
            while (stmt->Fetch(row)) {
                line.clear();
                for (size_t i = 0; i < cols.size(); ++i) {
                    if (i) line += '|';
                    line += ocilite::ConsoleText(row[i], cols[i]);
                }
                std::cout << line << '\n';
            }
        }
        return true;
    } catch (const ocilite::OraError& e) {
        std::cout.flush();
        std::cerr << e.Message() << '\n';
        return false;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "ORA-00600: internal error code, arguments: [" << e.what() << "]\n";
        return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool create = false;
    std::string file;
    std::string connect;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--create") {
            create = true;
        } else if (a == "-f" && i + 1 < argc) {
            file = argv[++i];
        } else if (a == "-h" || a == "--help") {
            Usage(std::cout);
            return 0;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            std::cerr << "ocilite-sql: unknown option " << a << '\n';
            Usage(std::cerr);
            return 1;
        } else if (connect.empty()) {
            connect = a;
        } else {
            Usage(std::cerr);
            return 1;
        }
    }
    std::string user, password, db;
    if (connect.empty() || !SplitConnect(connect, user, password, db)) {
        Usage(std::cerr);
        return 1;
    }
    std::ifstream fileStream;
    std::istream* in = &std::cin;
    if (!file.empty() && file != "-") {
        fileStream.open(file, std::ios::binary);
        if (!fileStream) {
            std::cerr << "ocilite-sql: cannot open " << file << '\n';
            return 1;
        }
        in = &fileStream;
    }
    std::unique_ptr<ocilite::Session> session;
    try {
        session = ocilite::Session::Logon(user, password, db, create);
    } catch (const ocilite::OraError& e) {
        std::cerr << e.Message() << '\n';
        return 1;
    }
    bool ok = true;
    ocilite::ScriptReader reader(*in);
    while (auto sql = reader.Next()) ok = RunStatement(*session, *sql) && ok;
    try {
        session->Commit();
    } catch (const ocilite::OraError& e) {
        std::cerr << e.Message() << '\n';
        ok = false;
    }
    std::cout.flush();
    return ok ? 0 : 1;
}
