#pragma once
// Runs the real programs (build/tabrook and build/ocilite-sql) in a private temporary folder
// with HOME, XDG_CONFIG_HOME and XDG_DATA_HOME inside it, and reads what they leave behind.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace tabrook::e2e {

namespace fs = std::filesystem;

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// One log line: its code, then the fields after the time stamp (which is checked by pattern).
struct LogLine {
    std::string code;
    std::vector<std::string> fields;
};

inline std::vector<LogLine> ParseLog(const std::string& text) {
    static const std::regex stamp(R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2})");
    std::vector<LogLine> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "log line without CR LF at byte " << start;
        if (end == std::string::npos) break;
        std::string line = text.substr(start, end - start);
        std::vector<std::string> parts;
        std::size_t pos = 0;
        while (true) {
            std::size_t tab = line.find('\t', pos);
            parts.push_back(line.substr(pos, tab == std::string::npos ? std::string::npos : tab - pos));
            if (tab == std::string::npos) break;
            pos = tab + 1;
        }
        EXPECT_GE(parts.size(), 2u) << line;
        if (parts.size() >= 2) {
            EXPECT_TRUE(std::regex_match(parts[1], stamp)) << "time stamp: " << parts[1];
        }
        LogLine parsed;
        parsed.code = parts[0];
        if (parts.size() > 2) parsed.fields.assign(parts.begin() + 2, parts.end());
        lines.push_back(parsed);
        start = end + 2;
    }
    return lines;
}

inline std::vector<std::string> Codes(const std::vector<LogLine>& lines) {
    std::vector<std::string> codes;
    for (const LogLine& line : lines) codes.push_back(line.code);
    return codes;
}

class Sandbox {
public:
    Sandbox() {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("tabrook-e2e-" + std::to_string(random()));
        fs::create_directories(root_ / "home");
        fs::create_directories(root_ / "config");
        fs::create_directories(root_ / "data");
        fs::create_directories(root_ / "work");
    }
    ~Sandbox() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    static fs::path Binary(const char* name) { return fs::path(TABROOK_BINARY_DIR) / name; }
    static bool BinariesPresent() {
        return fs::exists(Binary("tabrook")) && fs::exists(Binary("ocilite-sql")) &&
               fs::exists(Binary("libocilite.so"));
    }

    const fs::path& Root() const { return root_; }
    fs::path Work() const { return root_ / "work"; }
    fs::path ConfigFile() const { return root_ / "config" / "Vornex" / "Hollin.conf"; }

    // Environment variables for the next runs; an empty value removes the variable.
    std::map<std::string, std::string> env;
    // Run in the child before the program starts (limits, umask); async-signal-safe calls only.
    std::function<void()> childSetup;

    ProcessResult Run(const fs::path& program, const std::vector<std::string>& args,
                      const std::string& input = {}) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", QString::fromStdString((root_ / "home").string()));
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString((root_ / "config").string()));
        environment.insert("XDG_DATA_HOME", QString::fromStdString((root_ / "data").string()));
        environment.remove("TABROOK_OCI_LIBRARY");
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        for (const auto& [key, value] : env) {
            if (value.empty())
                environment.remove(QString::fromStdString(key));
            else
                environment.insert(QString::fromStdString(key), QString::fromStdString(value));
        }
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(QString::fromStdString(Work().string()));
        if (childSetup) process.setChildProcessModifier(childSetup);
        QStringList arguments;
        for (const std::string& arg : args) arguments << QString::fromStdString(arg);
        process.start(QString::fromStdString(program.string()), arguments);
        ProcessResult result;
        if (!process.waitForStarted(10000)) {
            ADD_FAILURE() << "cannot start " << program;
            return result;
        }
        if (!input.empty()) process.write(input.data(), static_cast<qint64>(input.size()));
        process.closeWriteChannel();
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << program << " did not end within two minutes";
        }
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput().toStdString();
        result.err = process.readAllStandardError().toStdString();
        return result;
    }

    // Runs SQL on a database file of the work folder (created with its account when missing).
    ProcessResult Sql(const std::string& database, const std::string& script,
                      const std::string& logon = "scott/tiger") const {
        fs::path file = Work() / ("script-" + std::to_string(counter_++) + ".sql");
        fs::path databaseFile = fs::path(database).is_absolute() ? fs::path(database) : Work() / database;
        fs::create_directories(databaseFile.parent_path());
        WriteFile(file, script);
        return Run(Binary("ocilite-sql"), {"--create", "-f", file.string(), logon + "@" + database});
    }

    ProcessResult Tabrook(const std::vector<std::string>& args) const { return Run(Binary("tabrook"), args); }

private:
    fs::path root_;
    mutable int counter_ = 0;
};

}  // namespace tabrook::e2e
