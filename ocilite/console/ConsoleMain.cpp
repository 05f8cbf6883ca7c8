// ocilite-sql: the embedded engine's SQL console. Runs SQL statements from a file or standard
// input against an embedded-engine database; at a terminal it is interactive.
//
//   ocilite-sql [--create] [--csv] [-f FILE] [USER[/PASSWORD][@DATABASE]]

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <sys/ioctl.h>

#include "ocilite/console/CancelSignal.h"
#include "ocilite/console/CommandLine.h"
#include "ocilite/console/Completion.h"
#include "ocilite/console/Console.h"
#include "ocilite/console/DefaultAccount.h"
#include "ocilite/console/LineEditor.h"
#include "ocilite/console/PasswordPrompt.h"
#include "ocilite/console/ScriptReader.h"
#include "ocilite/engine/Engine.h"
#include "ocilite/types/OraError.h"

namespace {

void Usage(std::ostream& out) {
    out << "usage: ocilite-sql [--create] [--csv] [-f FILE] [USER[/PASSWORD][@DATABASE]]\n"
           "  Runs SQL statements from FILE (or standard input). A statement ends with ';'\n"
           "  at the end of a line or with a line holding only '/'. --create creates the\n"
           "  database file and the account when they do not exist. --csv prints results\n"
           "  as CSV. At a terminal the console is interactive (HELP lists its commands);\n"
           "  without USER it opens your default database as the program's user.\n";
}

// The terminal's size in cells and lines, or nothing when standard output is no terminal.
bool TerminalSize(int& columns, int& rows) {
    winsize size{};
    if (!isatty(STDOUT_FILENO) || ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return false;
    columns = size.ws_col;
    rows = size.ws_row;
    return true;
}

// The names the first column of a query gives, for completion; nothing when it fails.
std::vector<std::string> FirstColumn(ocilite::Session& session, const std::string& sql) {
    std::vector<std::string> names;
    try {
        auto stmt = session.Prepare(sql);
        stmt->Execute();
        std::vector<ocilite::Value> row;
        while (stmt->Fetch(row))
            if (const auto* text = std::get_if<ocilite::TextValue>(&row[0])) names.push_back(text->bytes);
    } catch (const ocilite::OraError&) {}
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    const ocilite::CommandLine options = ocilite::CommandLine::Parse(argc, argv);
    if (options.help) {
        Usage(std::cout);
        return 0;
    }
    if (!options.error.empty()) {
        std::cerr << "ocilite-sql: " << options.error << '\n';
        Usage(std::cerr);
        return 1;
    }
    // people at a terminal; scripts and pipes keep the '|' output
    const bool interactive = options.file.empty() && isatty(STDIN_FILENO);
    if (options.connect.empty() && !interactive) {
        Usage(std::cerr);
        return 1;
    }
    if (interactive) {
        ocilite::CancelSignal::Install();
        std::signal(SIGPIPE, SIG_IGN);  // a pager that quits early is no error
    }

    ocilite::ConnectTarget target;
    if (options.connect.empty()) {
        target.user = ocilite::StoredUserName();
        if (target.user.empty()) target.user = ocilite::AskLine("User: ").value_or("");
        if (target.user.empty()) return 1;
    } else {
        target = *ocilite::SplitConnect(options.connect);
    }
    if (!target.password) {
        if (const char* env = std::getenv("TABROOK_PASSWORD"))
            target.password = env;
        else if (interactive)
            target.password = ocilite::AskPassword("Password for " + target.user + ": ");
        if (!target.password) {
            std::cerr << "ocilite-sql: no password for " << target.user
                      << " (give USER/PASSWORD or set TABROOK_PASSWORD)\n";
            return 1;
        }
    }

    std::ifstream fileStream;
    std::istream* in = &std::cin;
    if (!options.file.empty() && options.file != "-") {
        fileStream.open(options.file, std::ios::binary);
        if (!fileStream) {
            std::cerr << "ocilite-sql: cannot open " << options.file << '\n';
            return 1;
        }
        in = &fileStream;
    }
    std::unique_ptr<ocilite::Session> session;
    try {
        session = ocilite::Session::Logon(target.user, *target.password, target.database, options.create);
    } catch (const ocilite::OraError& e) {
        std::cerr << e.Message() << '\n';
        return 1;
    }

    ocilite::ConsoleSettings settings;
    settings.csv = options.csv;
    int columns = 0, rows = 0;
    const bool terminalOut = TerminalSize(columns, rows);
    if (interactive) {
        settings.feedback = settings.timing = !options.csv;
        if (terminalOut) settings.lineSize = columns;
    }
    ocilite::ConsoleOutput output(interactive && terminalOut ? rows : 0);
    ocilite::Console console(std::move(session), settings, output, interactive);

    bool ok = true;
    if (interactive) {
        std::cout << "Connected to " << (target.database.empty() ? "your default database" : target.database) << " as "
                  << console.CurrentSession().UserName() << ". HELP lists the commands; EXIT or Ctrl+D leaves.\n\n"
                  << std::flush;
        ocilite::Completion completion(
            [&](const std::string& sql) { return FirstColumn(console.CurrentSession(), sql); });
        ocilite::LineEditor editor(ocilite::LineEditor::DefaultHistoryPath(), completion);
        ocilite::ScriptReader reader(editor);
        console.Run(reader);
    } else {
        ocilite::ScriptReader reader(*in);
        ok = console.Run(reader);
    }
    ok = console.Finish() && ok;
    output.Flush();
    return ok ? 0 : 1;
}
