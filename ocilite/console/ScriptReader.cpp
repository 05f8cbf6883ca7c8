#include "ocilite/console/ScriptReader.h"

#include <cctype>

#include "ocilite/console/ConsoleCommand.h"

namespace ocilite {
namespace {

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::string UpperWords(const std::string& s, int count) {
    std::string out;
    int words = 0;
    bool inWord = false;
    for (char c : s) {
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            if (!inWord && words == count) break;
            if (!inWord) ++words;
            inWord = true;
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        } else {
            if (inWord) out += ' ';
            inWord = false;
            if (!std::isspace(static_cast<unsigned char>(c))) break;
        }
    }
    return Trim(out);
}

bool IsBlock(const std::string& text) {
    std::string head = UpperWords(text, 5);
    auto starts = [&](const char* p) { return head.rfind(p, 0) == 0; };
    if (starts("BEGIN") || starts("DECLARE")) return true;
    for (const char* kind : {"PROCEDURE", "FUNCTION", "PACKAGE", "TRIGGER", "TYPE"}) {
        if (starts((std::string("CREATE ") + kind).c_str()) ||
            starts((std::string("CREATE OR REPLACE ") + kind).c_str()))
            return true;
    }
    return false;
}

// The quote state inside a "..." quoted name (no q'X...X' delimiter can be this byte).
constexpr char kInName = '\x01';

// Scans one line for the quote state it leaves and the part of the line before a trailing "--"
// comment. `close` is 0 outside quotes, '\'' inside '...', kInName inside a "..." quoted name
// (where quotes and "--" are part of the name), and the closing delimiter inside q'X...X'
// (where a lone quote is text).
void QuoteStateAfter(const std::string& line, char& close, std::string& code) {
    code = line;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (close == '\'') {
            if (c == '\'') close = 0;  // '' re-enters on the next character
        } else if (close == kInName) {
            if (c == '"') close = 0;  // "" likewise
        } else if (close != 0) {
            if (c == close && i + 1 < line.size() && line[i + 1] == '\'') {
                close = 0;
                ++i;
            }
        } else if ((c == 'q' || c == 'Q') && i + 2 < line.size() && line[i + 1] == '\'' &&
                   (i == 0 || !(std::isalnum(static_cast<unsigned char>(line[i - 1])) || line[i - 1] == '_' ||
                                line[i - 1] == '$' || line[i - 1] == '#'))) {
            char open = line[i + 2];
            close = open == '[' ? ']' : open == '(' ? ')' : open == '{' ? '}' : open == '<' ? '>' : open;
            i += 2;
        } else if (c == '\'') {
            close = '\'';
        } else if (c == '"') {
            close = kInName;
        } else if (c == '-' && i + 1 < line.size() && line[i + 1] == '-') {
            code = line.substr(0, i);
            break;
        }
    }
}

}  // namespace

std::optional<ScriptEntry> ScriptReader::Next() {
    if (done_) return std::nullopt;
    std::string buffer;
    int lines = 0;
    char quoteClose = 0;
    std::string line;
    for (;;) {
        const LineSource::Result got = source_.Next(line, lines + 1);
        if (got == LineSource::Result::End) break;
        if (got == LineSource::Result::Interrupted) {
            buffer.clear();
            lines = 0;
            quoteClose = 0;
            continue;
        }
        ++line_;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string trimmed = Trim(line);
        if (buffer.empty()) {
            if (trimmed.empty() || trimmed.rfind("--", 0) == 0) continue;
            std::string upper = UpperWords(trimmed, 1);
            if ((upper == "EXIT" || upper == "QUIT") && UpperWords(trimmed, 2) == upper) {
                done_ = exited_ = true;
                return std::nullopt;
            }
            if (trimmed == "/") continue;
            startLine_ = line_;
            if (ParseConsoleCommand(trimmed)) return ScriptEntry{trimmed, true};
        }
        if (quoteClose == 0 && trimmed == "/") return ScriptEntry{Trim(buffer), false};
        if (!buffer.empty()) buffer += '\n';
        buffer += line;
        ++lines;
        std::string code;
        QuoteStateAfter(line, quoteClose, code);
        code = Trim(code);
        if (quoteClose == 0 && !code.empty() && code.back() == ';' && !IsBlock(buffer)) {
            // drop the terminator and any comment after it
            buffer.resize(buffer.size() - line.size());
            buffer += code;
            std::string s = Trim(buffer);
            s.pop_back();
            return ScriptEntry{Trim(s), false};
        }
    }
    done_ = true;
    std::string rest = Trim(buffer);
    if (rest.empty()) return std::nullopt;
    return ScriptEntry{rest, false};
}

}  // namespace ocilite
