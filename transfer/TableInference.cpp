#include "transfer/TableInference.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>

#include "transfer/SqlName.h"

namespace tabrook {

namespace {

constexpr int kMaxPrecision = 38;

// Oracle's reserved words: a column of one of these names must be quoted.
constexpr std::array<std::string_view, 110> kReservedWords = {
    "ACCESS",   "ADD",       "ALL",        "ALTER",     "AND",      "ANY",       "AS",        "ASC",
    "AUDIT",    "BETWEEN",   "BY",         "CHAR",      "CHECK",    "CLUSTER",   "COLUMN",    "COMMENT",
    "COMPRESS", "CONNECT",   "CREATE",     "CURRENT",   "DATE",     "DECIMAL",   "DEFAULT",   "DELETE",
    "DESC",     "DISTINCT",  "DROP",       "ELSE",      "EXCLUSIVE", "EXISTS",   "FILE",      "FLOAT",
    "FOR",      "FROM",      "GRANT",      "GROUP",     "HAVING",   "IDENTIFIED", "IMMEDIATE", "IN",
    "INCREMENT", "INDEX",    "INITIAL",    "INSERT",    "INTEGER",  "INTERSECT", "INTO",      "IS",
    "LEVEL",    "LIKE",      "LOCK",       "LONG",      "MAXEXTENTS", "MINUS",   "MLSLABEL",  "MODE",
    "MODIFY",   "NOAUDIT",   "NOCOMPRESS", "NOT",       "NOWAIT",   "NULL",      "NUMBER",    "OF",
    "OFFLINE",  "ON",        "ONLINE",     "OPTION",    "OR",       "ORDER",     "PCTFREE",   "PRIOR",
    "PRIVILEGES", "PUBLIC",  "RAW",        "RENAME",    "RESOURCE", "REVOKE",    "ROW",       "ROWID",
    "ROWNUM",   "ROWS",      "SELECT",     "SESSION",   "SET",      "SHARE",     "SIZE",      "SMALLINT",
    "START",    "SUCCESSFUL", "SYNONYM",   "SYSDATE",   "TABLE",    "THEN",      "TO",        "TRIGGER",
    "UID",      "UNION",     "UNIQUE",     "UPDATE",    "USER",     "VALIDATE",  "VALUES",    "VARCHAR",
    "VARCHAR2", "VIEW",      "WHENEVER",   "WHERE",     "WITH",     "TIMESTAMP",
};

bool IsReserved(std::string_view upper) {
    return std::find(kReservedWords.begin(), kReservedWords.end(), upper) != kReservedWords.end();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A plain name: a letter, then letters, digits, _ $ #.
bool IsPlainName(std::string_view name) {
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name.front()))) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(c) || c == '_' || c == '$' || c == '#';
    });
}

std::string UpperAsciiText(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// Cuts text to at most limit bytes without cutting a UTF-8 character.
std::string CutTo(std::string text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t at = limit;
    while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
    text.resize(at);
    return text;
}

// A plain decimal number as Oracle prints one: -?(digits).(digits), no leading zero, no "+",
// no exponent. Its integer digits and scale.
bool ReadsAsNumber(std::string_view text, int& integerDigits, int& scale) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view part = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() && part.empty()) return false;
    if (dot != std::string_view::npos && part.empty()) return false;
    if (!std::all_of(whole.begin(), whole.end(), IsDigit) || !std::all_of(part.begin(), part.end(), IsDigit)) return false;
    if (whole.size() > 1 && whole.front() == '0') return false;  // "007" is a code, not a number
    integerDigits = whole == "0" ? 0 : static_cast<int>(whole.size());
    scale = static_cast<int>(part.size());
    return true;
}

int DaysIn(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) return 29;
    return kDays[month - 1];
}

}  // namespace

bool ReadsWithFormat(std::string_view text, std::string_view format, int& fraction) {
    fraction = 0;
    const std::string f = UpperAsciiText(format);
    std::size_t t = 0;
    std::size_t i = 0;
    int year = 2000, month = 1, day = 0;
    bool dayGiven = false;
    // Reads min..max digits at t into value.
    const auto digits = [&](std::size_t min, std::size_t max, int& value) {
        std::size_t n = 0;
        value = 0;
        while (t < text.size() && n < max && IsDigit(text[t])) value = value * 10 + (text[t++] - '0'), ++n;
        return n >= min;
    };
    const auto starts = [&](std::string_view element) { return f.compare(i, element.size(), element) == 0; };
    while (i < f.size()) {
        if (t == text.size()) return dayGiven;  // the value may stop after a whole element
        int value = 0;
        if (starts("YYYY") || starts("RRRR")) {
            if (!digits(4, 4, year)) return false;
            i += 4;
        } else if (starts("YY") || starts("RR")) {
            if (!digits(2, 2, value)) return false;
            year = 2000 + value;
            i += 2;
        } else if (starts("MM")) {
            if (!digits(1, 2, month) || month < 1 || month > 12) return false;
            i += 2;
        } else if (starts("DD")) {
            if (!digits(1, 2, day) || day < 1 || day > DaysIn(month, year)) return false;
            dayGiven = true;
            i += 2;
        } else if (starts("HH24")) {
            if (!digits(1, 2, value) || value > 23) return false;
            i += 4;
        } else if (starts("HH12") || starts("HH")) {
            if (!digits(1, 2, value) || value < 1 || value > 12) return false;
            i += starts("HH12") ? 4 : 2;
        } else if (starts("MI") || starts("SS")) {
            if (!digits(1, 2, value) || value > 59) return false;
            i += 2;
        } else if (starts("FF")) {
            i += 2;
            std::size_t most = 9;
            if (i < f.size() && f[i] >= '1' && f[i] <= '9') most = static_cast<std::size_t>(f[i++] - '0');
            const std::size_t from = t;
            if (!digits(1, most, value)) return false;
            fraction = static_cast<int>(t - from);
        } else if (starts("X")) {
            if (text[t++] != '.') return false;
            ++i;
        } else if (starts("TZH")) {
            if (text[t] == '+' || text[t] == '-') ++t;
            if (!digits(1, 2, value) || value > 14) return false;
            i += 3;
        } else if (starts("TZM")) {
            if (!digits(2, 2, value) || value > 59) return false;
            i += 3;
        } else if (starts("AM") || starts("PM")) {
            const std::string word = UpperAsciiText(text.substr(t, 2));
            if (word != "AM" && word != "PM") return false;
            t += 2;
            i += 2;
        } else if (f[i] == '"') {
            const std::size_t close = f.find('"', i + 1);
            if (close == std::string::npos) return false;
            const std::string_view literal = std::string_view(format).substr(i + 1, close - i - 1);
            if (text.substr(t, literal.size()) != literal) return false;
            t += literal.size();
            i = close + 1;
        } else if (std::isalpha(static_cast<unsigned char>(f[i]))) {
            return false;  // an element this reading does not know
        } else {
            if (text[t++] != f[i++]) return false;
        }
    }
    return t == text.size() && dayGiven;
}

std::vector<std::string> ColumnIdentifiers(const std::vector<std::string>& names, std::size_t count) {
    std::vector<std::string> identifiers;
    std::set<std::string> taken;  // the names as the database keeps them (without quotes)
    for (std::size_t k = 0; k < count; ++k) {
        std::string name = k < names.size() ? names[k] : std::string();
        std::erase_if(name, [](char c) { return c == '"' || c == '\0'; });
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
        while (!name.empty() && blank(name.back())) name.pop_back();
        while (!name.empty() && blank(name.front())) name.erase(0, 1);
        if (name.empty()) name = "COL" + std::to_string(k + 1);
        const bool plain = IsPlainName(name);
        std::string bare = CutTo(plain ? UpperAsciiText(name) : name, TableInference::kMaxIdentifierBytes);
        const std::string base = bare;
        for (int n = 2; taken.count(bare) != 0; ++n) {
            const std::string suffix = "_" + std::to_string(n);
            bare = CutTo(base, TableInference::kMaxIdentifierBytes - suffix.size()) + suffix;
        }
        taken.insert(bare);
        identifiers.push_back(IsPlainName(bare) && !IsReserved(bare) ? bare : Quoted(bare));
    }
    return identifiers;
}

TableInference::TableInference(std::string dateFormat, std::string timestampFormat)
    : dateFormat_(std::move(dateFormat)), timestampFormat_(std::move(timestampFormat)) {}

void TableInference::SetHeader(const std::vector<std::string>& names) {
    header_ = names;
    if (columns_.size() < names.size()) columns_.resize(names.size());
}

void TableInference::Take(Facts& facts, std::string_view value) const {
    if (value.empty()) return;
    facts.any = true;
    facts.bytes = std::max(facts.bytes, value.size());
    if (facts.number) {
        int integerDigits = 0, scale = 0;
        facts.number = ReadsAsNumber(value, integerDigits, scale);
        facts.integerDigits = std::max(facts.integerDigits, integerDigits);
        facts.scale = std::max(facts.scale, scale);
        if (facts.integerDigits + facts.scale > kMaxPrecision) facts.number = false;
    }
    int fraction = 0;
    if (facts.date) facts.date = ReadsWithFormat(value, dateFormat_, fraction) && fraction == 0;
    if (facts.timestamp) {
        facts.timestamp = ReadsWithFormat(value, timestampFormat_, fraction);
        facts.fraction = std::max(facts.fraction, fraction);
    }
}

void TableInference::AddRecord(const std::vector<std::string>& fields) {
    if (columns_.size() < fields.size()) columns_.resize(fields.size());
    for (std::size_t k = 0; k < fields.size(); ++k) Take(columns_[k], fields[k]);
}

std::vector<InferredColumn> TableInference::Columns() const {
    const std::vector<std::string> names = ColumnIdentifiers(header_, columns_.size());
    std::vector<InferredColumn> columns;
    for (std::size_t k = 0; k < columns_.size(); ++k) {
        const Facts& facts = columns_[k];
        std::string type;
        if (facts.any && facts.number) {
            const int precision = std::max(facts.integerDigits + facts.scale, 1);
            type = "NUMBER(" + std::to_string(precision) + (facts.scale > 0 ? "," + std::to_string(facts.scale) : "") + ")";
        } else if (facts.any && facts.date) {
            type = "DATE";
        } else if (facts.any && facts.timestamp) {
            type = "TIMESTAMP(" + std::to_string(facts.fraction) + ")";
        } else if (facts.bytes > kMaxVarcharBytes) {
            type = "CLOB";
        } else {
            type = "VARCHAR2(" + std::to_string(std::max<std::size_t>(facts.bytes, 1)) + " BYTE)";
        }
        columns.push_back({names[k], type});
    }
    return columns;
}

std::string TableInference::Statement(const std::string& table) const {
    std::string sql = "CREATE TABLE " + Quoted(table) + " (";
    const std::vector<InferredColumn> columns = Columns();
    for (std::size_t k = 0; k < columns.size(); ++k) {
        sql += (k == 0 ? "\n  " : ",\n  ") + columns[k].Name + " " + columns[k].Type;
    }
    return sql + "\n)";
}

}  // namespace tabrook
