#include "ocilite/console/ConsoleCommand.h"

#include <cctype>

namespace ocilite {
namespace {

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// A command word written in full or cut to at least `shortest` letters.
struct CommandWord {
    CommandKind kind;
    const char* word;
    size_t shortest;
};
constexpr CommandWord kWords[] = {
    {CommandKind::Describe, "DESCRIBE", 4}, {CommandKind::Set, "SET", 3},   {CommandKind::Show, "SHOW", 3},
    {CommandKind::Spool, "SPOOL", 3},       {CommandKind::Help, "HELP", 4}, {CommandKind::Connect, "CONNECT", 4},
};

}  // namespace

std::optional<ConsoleCommand> ParseConsoleCommand(const std::string& line) {
    std::string text = Trim(line);
    if (!text.empty() && text.back() == ';') text = Trim(text.substr(0, text.size() - 1));
    if (text.rfind("@@", 0) == 0) return ConsoleCommand{CommandKind::RunRelative, Trim(text.substr(2))};
    if (text.rfind('@', 0) == 0) return ConsoleCommand{CommandKind::Run, Trim(text.substr(1))};
    size_t end = 0;
    while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
    if (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) return std::nullopt;
    const std::string word = Upper(text.substr(0, end));
    const std::string rest = Trim(text.substr(end));
    for (const auto& w : kWords) {
        if (word.size() < w.shortest || std::string(w.word).compare(0, word.size(), word) != 0) continue;
        if (w.kind == CommandKind::Set) {
            const std::string option = Upper(rest.substr(0, rest.find_first_of(" \t")));
            if (option.empty() || option == "TRANSACTION" || option == "ROLE" || option.rfind("CONSTRAINT", 0) == 0)
                return std::nullopt;
        }
        return ConsoleCommand{w.kind, rest};
    }
    return std::nullopt;
}

}  // namespace ocilite
