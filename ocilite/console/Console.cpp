#include "ocilite/console/Console.h"

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "ocilite/console/AlignedPrinter.h"
#include "ocilite/console/CancelSignal.h"
#include "ocilite/console/CommandLine.h"
#include "ocilite/console/CsvPrinter.h"
#include "ocilite/console/Describe.h"
#include "ocilite/console/PasswordPrompt.h"
#include "ocilite/console/PipePrinter.h"
#include "ocilite/console/StatementFeedback.h"
#include "ocilite/console/ValueText.h"

namespace ocilite {
namespace {

constexpr size_t kDeepestScripts = 20;

OraError Cancelled() {
    return OraError(1013, "user requested cancel of current operation");
}

bool IsNumeric(const ColumnInfo& c) {
    return c.dataType == 2 || c.dataType == 100 || c.dataType == 101;
}
// Character, LOB and raw data may wrap; dates, intervals and numbers keep their width.
bool IsWrappable(const ColumnInfo& c) {
    switch (c.dataType) {
        case 1:
        case 8:
        case 23:
        case 24:
        case 96:
        case 112:
        case 113:
        case 114: return true;
        default: return false;
    }
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

constexpr const char* kHelp =
    "SQL statements end with ';' at the end of a line, or with a line holding only '/'\n"
    "(PL/SQL blocks end only with '/'). The console's own commands take one line:\n"
    "\n"
    "  DESC[RIBE] table               the columns of a table or view, their types and NOT NULL\n"
    "  SET option value               LINESIZE n, PAGESIZE n, NULL text, TIMING ON|OFF,\n"
    "                                 FEEDBACK ON|OFF, HEADING ON|OFF, ECHO ON|OFF,\n"
    "                                 MARKUP CSV ON|OFF\n"
    "  SHOW option|USER|SPOOL|ALL     the value of an option, the user you are, the spool file\n"
    "  SPOOL file [APPEND] | OFF      copy what is shown into a file, or stop\n"
    "  @file, @@file                  run a script (@@: beside the script that runs it;\n"
    "                                 .sql is added to a name without extension)\n"
    "  CONN[ECT] user[/password][@db] log on anew (the work so far is committed)\n"
    "  HELP                           this list\n"
    "  EXIT, QUIT, Ctrl+D             leave; the work is committed\n"
    "\n"
    "Ctrl+C stops the statement that runs (ORA-01013) or drops the line being typed.\n"
    "Tab completes keywords, table and column names.\n";

}  // namespace

Console::Console(std::unique_ptr<Session> session, ConsoleSettings& settings, ConsoleOutput& output, bool forPeople)
    : session_(std::move(session)), settings_(settings), output_(output), forPeople_(forPeople) {
    CancelSignal::Watch(session_.get());
}

Console::~Console() {
    CancelSignal::Watch(nullptr);
}

bool Console::Run(ScriptReader& reader) {
    bool ok = true;
    while (auto entry = reader.Next()) {
        ok = RunEntry(*entry) && ok;
        if (exited_) break;
        // Ctrl+C stops a script run with @ as well as its statement
        if (!scriptFolders_.empty() && CancelSignal::Pending()) return false;
    }
    if (reader.Exited()) exited_ = true;
    return ok;
}

bool Console::RunEntry(const ScriptEntry& entry) {
    printed_ = false;
    Echo(entry.text);
    bool ok = false;
    if (entry.command)
        ok = RunCommand(*ParseConsoleCommand(entry.text));
    else
        ok = RunSql(entry.text);
    if (printed_ && forPeople_ && !settings_.csv) output_.Write("\n");
    output_.Flush();
    return ok;
}

bool Console::Finish() {
    try {
        session_->Commit();
        return true;
    } catch (const OraError& e) {
        Fail(e.Message());
        return false;
    }
}

void Console::Block() {
    if (forPeople_ && !settings_.csv) output_.Write("\n");
    printed_ = true;
}

void Console::Fail(const std::string& message) {
    Block();
    output_.Error(message);
}

void Console::Echo(const std::string& text) {
    // statements of scripts are shown as if typed, with the prompt and line numbers
    if (!settings_.echo || (forPeople_ && scriptFolders_.empty())) return;
    std::string shown = "SQL> ";
    int line = 1;
    for (char c : text) {
        shown += c;
        if (c == '\n') {
            char number[16];
            std::snprintf(number, sizeof number, "%3d  ", ++line);
            shown += number;
        }
    }
    output_.Write(shown + "\n");
}

std::unique_ptr<ResultPrinter> Console::MakePrinter(TextSink sink) const {
    if (settings_.csv) return std::make_unique<CsvPrinter>(settings_, std::move(sink));
    if (forPeople_) return std::make_unique<AlignedPrinter>(settings_, std::move(sink));
    return std::make_unique<PipePrinter>(settings_, std::move(sink));
}

bool Console::RunSql(const std::string& sql) {
    const auto start = std::chrono::steady_clock::now();
    bool started = false;
    auto printer = MakePrinter([&](std::string_view text) {
        if (!started) Block();
        started = true;
        output_.Write(text);
    });
    output_.BeginResult();
    try {
        auto stmt = session_->Prepare(sql);
        if (CancelSignal::Pending()) throw Cancelled();
        stmt->Execute();
        std::string feedback;
        if (stmt->Type() == StatementType::Select) {
            const auto& columns = stmt->Columns();
            std::vector<ResultColumn> heads;
            for (const auto& c : columns) heads.push_back({c.name, IsNumeric(c), IsWrappable(c)});
            printer->Begin(heads);
            std::vector<Value> row;
            std::vector<ResultCell> cells(columns.size());
            while (!output_.PagerQuit() && stmt->Fetch(row)) {
                for (size_t i = 0; i < columns.size(); ++i)
                    cells[i] = row[i].index() == 0 ? ResultCell() : ResultCell(ConsoleText(row[i], columns[i]));
                printer->Row(cells);
                if (CancelSignal::Pending()) throw Cancelled();
            }
            printer->End();
            feedback = QueryFeedback(stmt->RowCount());
        } else {
            feedback = StatementFeedback(sql, stmt->Type(), stmt->RowCount());
        }
        output_.EndResult();
        std::string trailer;
        if (settings_.feedback) trailer += feedback + "\n";
        if (settings_.timing) trailer += ElapsedText(std::chrono::steady_clock::now() - start) + "\n";
        if (!trailer.empty()) {
            Block();
            output_.Write(trailer);
        }
        return true;
    } catch (const OraError& e) {
        printer->End();  // the rows fetched before the error are shown
        output_.EndResult();
        Fail(e.Message());
    } catch (const std::exception& e) {
        output_.EndResult();
        Fail(std::string("ORA-00600: internal error code, arguments: [") + e.what() + "]");
    }
    return false;
}

bool Console::RunCommand(const ConsoleCommand& command) {
    switch (command.kind) {
        case CommandKind::Describe: return Describe(command.argument);
        case CommandKind::Set:
            if (auto error = settings_.Set(command.argument)) {
                Fail(*error);
                return false;
            }
            return true;
        case CommandKind::Show: return Show(command.argument);
        case CommandKind::Spool: return Spool(command.argument);
        case CommandKind::Run: return RunFile(command.argument, false);
        case CommandKind::RunRelative: return RunFile(command.argument, true);
        case CommandKind::Connect: return Connect(command.argument);
        case CommandKind::Help:
            Block();
            output_.Write(kHelp);
            return true;
    }
    return false;
}

bool Console::Describe(const std::string& name) {
    if (name.empty()) {
        Fail("DESCRIBE needs the name of a table or view");
        return false;
    }
    try {
        const auto columns = DescribeObject(*session_, name);
        auto printer = MakePrinter([&](std::string_view text) { output_.Write(text); });
        Block();
        printer->Begin({{"Name", false, true}, {"Null?", false, false}, {"Type", false, true}});
        for (const auto& c : columns) printer->Row({c.name, std::string(c.nullable ? "" : "NOT NULL"), c.type});
        printer->End();
        return true;
    } catch (const OraError& e) {
        Fail(e.Message());
        return false;
    }
}

bool Console::Show(const std::string& what) {
    const std::string option = Upper(what);
    std::string text;
    if (option == "USER") {
        text = "USER is \"" + session_->UserName() + "\"";
    } else if (option == "SPOOL") {
        text = output_.SpoolPath().empty() ? "spool OFF" : "spooling to " + output_.SpoolPath();
    } else if (auto shown = settings_.Show(what)) {
        text = *shown;
    } else {
        Fail("unknown SHOW option \"" + what + "\"");
        return false;
    }
    Block();
    output_.Write(text + "\n");
    return true;
}

bool Console::Spool(const std::string& argument) {
    if (argument.empty()) return Show("SPOOL");
    if (Upper(argument) == "OFF") {
        output_.StopSpool();
        return true;
    }
    std::string path = argument;
    bool append = false;
    const size_t space = argument.find_last_of(" \t");
    if (space != std::string::npos) {
        const std::string mode = Upper(argument.substr(space + 1));
        if (mode == "APPEND" || mode == "REPLACE" || mode == "CREATE") {
            append = mode == "APPEND";
            path = argument.substr(0, argument.find_last_not_of(" \t", space) + 1);
        }
    }
    if (auto error = output_.StartSpool(path, append)) {
        Fail(*error);
        return false;
    }
    return true;
}

bool Console::RunFile(const std::string& name, bool besideScript) {
    if (name.empty()) {
        Fail("@ needs the name of a script");
        return false;
    }
    if (scriptFolders_.size() >= kDeepestScripts) {
        Fail("scripts nested more than " + std::to_string(kDeepestScripts) + " deep: " + name);
        return false;
    }
    std::filesystem::path path = name;
    if (besideScript && path.is_relative() && !scriptFolders_.empty()) path = scriptFolders_.back() / path;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && !path.has_extension()) path += ".sql";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Fail("cannot open " + path.string());
        return false;
    }
    scriptFolders_.push_back(path.parent_path());
    ScriptReader reader(in);
    const bool ok = Run(reader);
    scriptFolders_.pop_back();
    printed_ = false;  // each statement of the script ended its own output
    return ok;
}

bool Console::Connect(const std::string& argument) {
    auto target = SplitConnect(argument);
    if (!target) {
        Fail("usage: CONNECT user[/password][@database]");
        return false;
    }
    if (!target->password) {
        if (const char* env = std::getenv("TABROOK_PASSWORD"))
            target->password = env;
        else if (forPeople_)
            target->password = AskPassword("Password: ");
        if (!target->password) {
            Fail("no password for " + target->user);
            return false;
        }
    }
    if (!Finish()) return false;
    try {
        auto next = Session::Logon(target->user, *target->password, target->database);
        CancelSignal::Watch(next.get());
        session_ = std::move(next);
    } catch (const OraError& e) {
        Fail(e.Message());
        output_.Error("still connected as " + session_->UserName());
        return false;
    }
    if (forPeople_) {
        Block();
        output_.Write("Connected.\n");
    }
    return true;
}

}  // namespace ocilite
