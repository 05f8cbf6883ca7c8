#include "app/EmbeddedDatabase.h"

#include <QProcess>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "app/ProgramFolder.h"
#include "oci/OciLibrary.h"
#include "oci/TOCI8Ctrl.h"

namespace tabrook {

namespace {

constexpr char kUnresolvedConnect[] = "ORA-12154";
constexpr int kConsoleTimeoutMs = 60000;

// A password nobody knows, for the moment between creating the account and giving it the
// user's own password.
std::string ThrowawayPassword() {
    std::random_device random;
    std::string text = "T";
    for (int i = 0; i < 24; ++i) text += "0123456789abcdef"[random() % 16];
    return text;
}

void RemoveDatabase(const std::string& file) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(file + suffix, ignored);
}

}  // namespace

std::string EmbeddedDatabaseFile(const std::string& connStr) {
    if (!connStr.empty()) return connStr;
    const char* data = std::getenv("XDG_DATA_HOME");
    std::filesystem::path folder;
    if (data != nullptr && *data != '\0') {
        folder = data;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::filesystem::path(home != nullptr ? home : "") / ".local" / "share";
    }
    return (folder / "tabrook" / "default.db").string();
}

bool MissingEmbeddedDatabase(const TOCI8Ctrl& session) {
    if (session.Connected || session.ConnStr.empty() || !OciLibrary::IsEmbedded(session.LibraryPath())) return false;
    if (session.ErrMsg().rfind(kUnresolvedConnect, 0) != 0) return false;
    std::error_code error;
    return !std::filesystem::exists(session.ConnStr, error);
}

bool CreateEmbeddedDatabase(const std::string& user, const std::string& password, const std::string& file,
                            std::string& failure) {
    if (password.find('"') != std::string::npos) {
        failure = "ORA-00988: missing or invalid password(s)";
        return false;
    }
    std::error_code error;
    if (std::filesystem::exists(file, error)) {
        failure = "ORA-01031: insufficient privileges";  // never replaces a file that is there
        return false;
    }
    // The account is made with a throwaway password on the command line, which every user of
    // the machine could read; its real password is set through standard input.
    QProcess console;
    console.start(QString::fromStdString((ProgramFolder() / "ocilite-sql").string()),
                  {QStringLiteral("--create"), QStringLiteral("-f"), QStringLiteral("-"),
                   QString::fromStdString(user + "/" + ThrowawayPassword() + "@" + file)});
    if (!console.waitForStarted(kConsoleTimeoutMs)) {
        failure = "ocilite-sql: " + console.errorString().toStdString();
        return false;
    }
    const std::string script = "alter user " + user + " identified by \"" + password + "\";\n";
    console.write(script.data(), static_cast<qint64>(script.size()));
    console.closeWriteChannel();
    const bool ended = console.waitForFinished(kConsoleTimeoutMs);
    if (ended && console.exitStatus() == QProcess::NormalExit && console.exitCode() == 0) return true;
    if (!ended) console.kill();
    failure = console.readAllStandardError().trimmed().toStdString();
    if (failure.empty()) failure = "ocilite-sql: the database file could not be created";
    RemoveDatabase(file);
    return false;
}

std::string CreateDatabaseQuestion(const std::string& file, const std::string& user) {
    return "データベースファイル [" + file + "] がありません。\n新しく作成し、ユーザー [" + user +
           "] をその最初のアカウントにしますか？";
}

}  // namespace tabrook
