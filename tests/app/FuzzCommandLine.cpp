// Feeds arbitrary bytes as a command line (one argument per line): parsing never fails, and
// what it sets stays within the limits the options promise.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/BuiltInDefaults.h"
#include "app/CommandLine.h"
#include "app/ProgramFolder.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // LOG may create folders: keep them under a scratch folder, never beside the fuzzer.
    static const std::filesystem::path scratch = [] {
        auto path = std::filesystem::temp_directory_path() / "tabrook-fuzz-cmdline";
        std::filesystem::create_directories(path);
        tabrook::SetProgramFolderForTesting(path);
        return path;
    }();
    std::vector<std::string> args;
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n') {
            args.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    args.push_back(current);
    // LOG creates folders: relative paths are placed under the scratch folder, and paths that
    // could leave it are dropped.
    for (std::string& arg : args) {
        if (tabrook::UpperAscii(arg.substr(0, 4)) != "LOG=") continue;
        const std::string value = arg.substr(4);
        if (value.find("..") != std::string::npos || (!value.empty() && value[0] == '/')) {
            arg = "LOG=";
        } else if (!value.empty() && tabrook::UpperAscii(value) != "TRUE") {
            arg = "LOG=" + (scratch / value).string();
        }
    }

    tabrook::TransferSettings settings;
    tabrook::RunContext context;
    tabrook::LogonValues logon;
    tabrook::ApplyBuiltInDefaults(settings, context, logon);
    const tabrook::CommandLineResult result = tabrook::ParseCommandLine(args, settings, context, logon);
    Check(settings.Separator.size() <= 1);
    Check(settings.Delimiter.size() <= 1);
    Check(settings.ReplaceCRString.size() <= 6);
    Check(settings.CRType >= 0 && settings.CRType <= 2);
    Check(settings.AutoCmtCnt <= 10000);
    Check(settings.ErrCnt <= 999999);
    Check(settings.Mode >= -1 && settings.Mode <= 1);
    Check(!result.UserGiven || logon.User.find('/') == std::string::npos);
    // The last USER value is split without losing or moving a byte: "user/password@connect"
    // (the password up to the first "@" after the "/"), or, with an "@" before any "/",
    // "user@connect" without a password part.
    std::string lastUser;
    bool userSeen = false;
    for (const std::string& arg : args) {
        const std::size_t eq = arg.find('=');
        if (eq == std::string::npos || eq == 0 || tabrook::UpperAscii(arg.substr(0, eq)) != "USER") continue;
        lastUser = arg.substr(eq + 1);
        userSeen = true;
    }
    Check(result.UserGiven == userSeen);
    const std::size_t slash = lastUser.find('/');
    const std::size_t at = lastUser.find('@');
    if (userSeen && at != std::string::npos && (slash == std::string::npos || at < slash)) {
        Check(!result.PasswordGiven && logon.Password.empty());
        Check(logon.User + "@" + logon.ConnStr == lastUser);
    } else if (userSeen && slash != std::string::npos) {
        const bool hasAt = lastUser.find('@', slash) != std::string::npos;
        Check(result.PasswordGiven);
        Check(logon.User + "/" + logon.Password + (hasAt ? "@" + logon.ConnStr : "") == lastUser);
        Check(logon.Password.find('@') == std::string::npos);
    }
    Check(logon.User.find_first_of("/@") == std::string::npos || !userSeen);
    tabrook::ApplyAutoCloseRule(context);
    Check(!context.AutoClose || context.AutoStart);
    if (!context.LogFile.empty()) {
        Check(tabrook::UpperAscii(std::filesystem::path(context.LogFile).extension().string()) != ".TMP");
    }
    return 0;
}
