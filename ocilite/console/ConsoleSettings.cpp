#include "ocilite/console/ConsoleSettings.h"

#include <cctype>
#include <sstream>

namespace ocilite {
namespace {

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

enum class Option { LineSize, PageSize, Null, Timing, Feedback, Heading, Echo, Markup };

// Each option with the shortest abbreviation SET accepts for it.
struct OptionName {
    Option option;
    const char* name;
    size_t shortest;
};
constexpr OptionName kOptions[] = {
    {Option::LineSize, "LINESIZE", 3}, {Option::PageSize, "PAGESIZE", 5}, {Option::Null, "NULL", 4},
    {Option::Timing, "TIMING", 4},     {Option::Feedback, "FEEDBACK", 4}, {Option::Heading, "HEADING", 3},
    {Option::Echo, "ECHO", 4},         {Option::Markup, "MARKUP", 4},
};

const OptionName* Find(const std::string& word) {
    const std::string w = Upper(word);
    for (const auto& o : kOptions)
        if (w.size() >= o.shortest && std::string(o.name).compare(0, w.size(), w) == 0) return &o;
    return nullptr;
}

std::optional<bool> OnOff(const std::string& word) {
    const std::string w = Upper(word);
    if (w == "ON") return true;
    if (w == "OFF") return false;
    return std::nullopt;
}

const char* OnOffText(bool on) {
    return on ? "ON" : "OFF";
}

}  // namespace

std::optional<std::string> ConsoleSettings::Set(const std::string& words) {
    std::istringstream in(words);
    std::string name, value;
    in >> name;
    const OptionName* o = Find(name);
    if (!o) return "unknown SET option \"" + name + "\"";
    std::getline(in >> std::ws, value);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.pop_back();
    const std::string bad = "invalid value for SET " + std::string(o->name) + ": \"" + value + "\"";
    auto number = [&](int low, int high, int& target) -> std::optional<std::string> {
        try {
            size_t used = 0;
            const int n = std::stoi(value, &used);
            if (used != value.size() || n < low || n > high) return bad;
            target = n;
            return std::nullopt;
        } catch (const std::exception&) {
            return bad;
        }
    };
    auto flag = [&](bool& target) -> std::optional<std::string> {
        const auto on = OnOff(value);
        if (!on) return bad;
        target = *on;
        return std::nullopt;
    };
    switch (o->option) {
        case Option::LineSize: return number(1, 32767, lineSize);
        case Option::PageSize: return number(0, 50000, pageSize);
        case Option::Null:
            // SET NULL 'text' and SET NULL text alike
            if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            nullText = value;
            return std::nullopt;
        case Option::Timing: return flag(timing);
        case Option::Feedback: return flag(feedback);
        case Option::Heading: return flag(heading);
        case Option::Echo: return flag(echo);
        case Option::Markup: {
            std::istringstream parts(value);
            std::string kind, state;
            parts >> kind >> state;
            const auto on = OnOff(state);
            if (Upper(kind) != "CSV" || !on) return bad;
            csv = *on;
            return std::nullopt;
        }
    }
    return bad;
}

std::optional<std::string> ConsoleSettings::Show(const std::string& option) const {
    if (Upper(option) == "ALL") {
        std::string all;
        for (const auto& o : kOptions) all += *Show(o.name) + "\n";
        all.pop_back();
        return all;
    }
    const OptionName* o = Find(option);
    if (!o) return std::nullopt;
    switch (o->option) {
        case Option::LineSize: return "linesize " + std::to_string(lineSize);
        case Option::PageSize: return "pagesize " + std::to_string(pageSize);
        case Option::Null: return "null \"" + nullText + "\"";
        case Option::Timing: return std::string("timing ") + OnOffText(timing);
        case Option::Feedback: return std::string("feedback ") + OnOffText(feedback);
        case Option::Heading: return std::string("heading ") + OnOffText(heading);
        case Option::Echo: return std::string("echo ") + OnOffText(echo);
        case Option::Markup: return std::string("markup CSV ") + OnOffText(csv);
    }
    return std::nullopt;
}

}  // namespace ocilite
