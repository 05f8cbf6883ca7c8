#include "app/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <system_error>

#include "app/DefaultFileFolder.h"
#include "transfer/LoadMode.h"

namespace tabrook {

namespace {

constexpr int kMaxCommitInterval = 10000;
constexpr int kMaxErrorLimit = 999999;
const char* const kDefaultLogName = "Tabrook.log";

// The value as a decimal integer (optional sign, digits only), or fallback when it is not one.
// A number too large for an int is clamped to the int's range, so that the caller's cap
// applies to it rather than the fallback.
int DecimalOr(std::string_view value, int fallback) {
    if (!value.empty() && value.front() == '+') value.remove_prefix(1);
    if (value.empty() || value.front() == '+') return fallback;
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (end != value.data() + value.size()) return fallback;
    if (error == std::errc::result_out_of_range) return value.front() == '-' ? INT_MIN : INT_MAX;
    if (error != std::errc()) return fallback;
    return number;
}

// TRUE / FALSE words: sets field only for those two words.
void SetFlag(bool& field, const std::string& upperValue) {
    if (upperValue == "TRUE") field = true;
    if (upperValue == "FALSE") field = false;
}

std::string FirstChar(const std::string& text) {
    return text.substr(0, 1);
}

// "user/password@connect", "user/password", "user@connect" or "user". An "@" before the first
// "/" starts the connect string (which may hold "/" as a file path does): there is no password
// part. Without a password part the password is left empty and comes from elsewhere
// (TABROOK_PASSWORD or the dialog); without a connect part the connect string keeps its
// stored value. Returns whether a password part was given.
bool ApplyUser(const std::string& value, LogonValues& logon) {
    const std::size_t slash = value.find('/');
    if (slash == std::string::npos || value.find('@') < slash) {
        const std::size_t at = value.find('@');
        logon.User = value.substr(0, at);
        logon.Password.clear();
        if (at != std::string::npos) logon.ConnStr = value.substr(at + 1);
        return false;
    }
    logon.User = value.substr(0, slash);
    const std::string rest = value.substr(slash + 1);
    const std::size_t at = rest.find('@');
    logon.Password = rest.substr(0, at);
    logon.ConnStr = at == std::string::npos ? std::string() : rest.substr(at + 1);
    return true;
}

}  // namespace

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::string DecodeCharName(std::string_view value) {
    const std::string upper = UpperAscii(value);
    if (upper == "(TAB)") return "\t";
    if (upper == "(WQ)") return "\"";
    return std::string(value);
}

std::optional<std::string> LogFileFromOption(const std::string& value, const std::filesystem::path& defaultFolder) {
    const std::string fallback = (defaultFolder / kDefaultLogName).string();
    if (UpperAscii(value) == "TRUE") return fallback;
    if (value.empty()) return std::nullopt;
    std::filesystem::path name(value);
    std::filesystem::path working = name;
    working.replace_extension(".tmp");
    if (working.has_parent_path()) {
        std::error_code error;
        std::filesystem::create_directories(working.parent_path(), error);
        if (error || !std::filesystem::is_directory(working.parent_path(), error)) {
            name = fallback;
        }
    }
    if (UpperAscii(name.extension().string()) == ".TMP") name.replace_extension(".log");
    return name.string();
}

CommandLineResult ParseCommandLine(const std::vector<std::string>& args, TransferSettings& settings,
                                   RunContext& context, LogonValues& logon) {
    CommandLineResult result;
    for (const std::string& arg : args) {
        const std::size_t eq = arg.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        const std::string key = UpperAscii(std::string_view(arg).substr(0, eq));
        const std::string value = arg.substr(eq + 1);
        const std::string word = UpperAscii(value);

        if (key == "USER") {
            result.PasswordGiven = ApplyUser(value, logon);
            result.UserGiven = true;
        } else if (key == "MODE") {
            if (word == "IMPORT") settings.Mode = 0;
            if (word == "EXPORT") settings.Mode = 1;
            if (word == "IMPORT" || word == "EXPORT") result.ModeGiven = true;
        } else if (key == "SEP") {
            settings.Separator = FirstChar(DecodeCharName(value));
        } else if (key == "DELIM") {
            settings.Delimiter = FirstChar(DecodeCharName(value));
        } else if (key == "REPCR") {
            if (word == "FALSE") {
                settings.ReplaceCR = false;
            } else {
                settings.ReplaceCR = true;
                settings.ReplaceCRString = DecodeCharName(value).substr(0, 6);
            }
        } else if (key == "CRTYPE") {
            if (word == "CRLF") settings.CRType = 0;
            if (word == "LF") settings.CRType = 1;
            if (word == "CR") settings.CRType = 2;
        } else if (key == "HEADER") {
            SetFlag(settings.WithHeader, word);
        } else if (key == "TRUNCATE") {
            SetFlag(settings.Truncate, word);
        } else if (key == "AUTOCOMMIT") {
            if (word == "FALSE") {
                settings.AutoCommit = false;
            } else {
                settings.AutoCommit = true;
                settings.AutoCmtCnt = std::min(DecimalOr(value, 1), kMaxCommitInterval);
            }
        } else if (key == "ESC") {
            if (word == "FALSE") context.EscCancel = false;
        } else if (key == "AUTOCLOSE") {
            if (word == "TRUE") context.AutoClose = true;
        } else if (key == "LISTFILE") {
            context.ListFile = value;
        } else if (key == "AUTOSTART") {
            if (word == "TRUE") context.AutoStart = true;
        } else if (key == "TIMESTAMPFMT") {
            result.TimestampFmtAside = value;
        } else if (key == "DATEFMT") {
            result.DateFmtAside = value;
        } else if (key == "ERRCNT") {
            settings.ErrCnt = std::min(DecimalOr(value, 100), kMaxErrorLimit);
        } else if (key == "ERRSTOP") {
            SetFlag(settings.ErrStop, word);
        } else if (key == "LOBDATA") {
            SetFlag(settings.LobData, word);
        } else if (key == "LOADMODE") {
            if (const auto mode = ParseLoadMode(word)) settings.LoadMode = *mode;
        } else if (key == "ENCODING") {
            if (const auto encoding = EncodingFromKeyword(value)) settings.Encoding = *encoding;
        } else if (key == "CREATE") {
            SetFlag(settings.CreateTable, word);
        } else if (key == "MAPBY") {
            if (word == "HEADER") settings.MapByHeader = true;
            if (word == "POSITION") settings.MapByHeader = false;
        } else if (key == "LOG") {
            if (auto logFile = LogFileFromOption(value, DefaultFileFolder())) context.LogFile = *logFile;
        }
    }
    return result;
}

}  // namespace tabrook
