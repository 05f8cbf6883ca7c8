#include "app/RegistrySettings.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <filesystem>
#include <limits>
#include <optional>

#include "transfer/LoadMode.h"

namespace tabrook {

namespace {

constexpr const char* kOrganization = "Vornex";
constexpr const char* kApplication = "Hollin";
constexpr const char* kGroup = "List-1";

const char* const kDefaultDateFmt = "RRRR-MM-DD HH24:MI:SS";
const char* const kDefaultTimestampFmt = "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM";

// Opens the key; QSettings creates the store and the group on the first write.
class SettingsKey {
public:
    SettingsKey() : store_(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication) {
        store_.beginGroup(kGroup);
    }
    ~SettingsKey() {
        store_.endGroup();
        store_.sync();
    }

    // A text value, or nothing when it is missing or not a text.
    bool ReadText(const char* name, std::string& out) const {
        QVariant value = store_.value(name);
        if (!value.isValid()) return false;
        // A hand-edited INI line with an unquoted comma reads back as a list: it was meant as one
        // text. Other compound values are not texts and count as missing.
        if (value.typeId() == QMetaType::QStringList) {
            out = value.toStringList().join(',').toStdString();
            return true;
        }
        if (value.typeId() == QMetaType::QByteArray) {  // bytes that are not UTF-8, as written
            out = value.toByteArray().toStdString();
            return true;
        }
        if (value.typeId() != QMetaType::QString) return false;
        out = value.toString().toStdString();
        return true;
    }

    std::string TextOr(const char* name, const std::string& fallback) const {
        std::string text;
        return ReadText(name, text) ? text : fallback;
    }

    // An integer value, or nothing when it is missing or does not read as a whole number.
    std::optional<int> ReadNumber(const char* name) const {
        QVariant value = store_.value(name);
        if (!value.isValid()) return std::nullopt;
        bool ok = false;
        if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
            value.typeId() == QMetaType::UInt) {
            qlonglong wide = value.toLongLong(&ok);
            if (!ok || wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max())
                return std::nullopt;
            return static_cast<int>(wide);
        }
        if (value.typeId() != QMetaType::QString) return std::nullopt;
        int number = value.toString().trimmed().toInt(&ok, 10);
        if (!ok) return std::nullopt;
        return number;
    }

    int NumberOr(const char* name, int fallback) const { return ReadNumber(name).value_or(fallback); }

    bool FlagOr(const char* name, bool fallback) const {
        std::optional<int> number = ReadNumber(name);
        return number ? *number != 0 : fallback;
    }

    // A text that is valid UTF-8 is stored as text; any other bytes (a Latin-1 separator, a
    // Shift-JIS replacement text) are stored as bytes, so that they read back byte for byte
    // instead of as replacement characters.
    void WriteText(const char* name, const std::string& text) {
        const QString asText = QString::fromStdString(text);
        if (asText.toStdString() == text) {
            store_.setValue(name, asText);
        } else {
            store_.setValue(name, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
        }
    }
    void WriteNumber(const char* name, int number) { store_.setValue(name, number); }
    void WriteFlag(const char* name, bool flag) { store_.setValue(name, flag ? 1 : 0); }

private:
    QSettings store_;
};

// The folder part of a file name, or empty when it names a bare file.
std::string FolderOf(const std::string& file) {
    return std::filesystem::path(file).parent_path().string();
}

void ReadConnection(const SettingsKey& key, LogonValues& logon) {
    logon.User = key.TextOr("USER", "");
    logon.Password.clear();
    logon.ConnStr = key.TextOr("CONN", "");
}

void ReadTransfer(const SettingsKey& key, TransferSettings& s, std::string& openFolder) {
    openFolder = key.TextOr("Folder", "");
    s.Mode = key.NumberOr("Mode", kDefaultStoredMode);
    s.WithHeader = key.FlagOr("HeadOn", false);
    s.TimeOn = key.FlagOr("TimeOn", false);
    s.Truncate = key.FlagOr("TruncOn", false);
    s.AutoCommit = key.FlagOr("AutoCmtOn", false);
    s.AutoCmtCnt = key.NumberOr("AutoCmtCnt", kDefaultStoredAutoCmtCnt);
    s.Separator = key.TextOr("Separator", ",");
    s.Delimiter = key.TextOr("Distinction", "\"");
    s.ReplaceCR = key.FlagOr("ReplaceCR", false);
    s.ReplaceCRString = key.TextOr("ReplaceCRString", "\\n");
    s.CRType = key.NumberOr("CRType", 0);
    if (s.CRType < 0 || s.CRType > 2) s.CRType = 0;
    s.DateFmt = key.TextOr("DateFmt", kDefaultDateFmt);
    s.TimestampFmt = key.TextOr("TimestampFmt", kDefaultTimestampFmt);
    s.ErrCnt = key.NumberOr("ErrCnt", kDefaultStoredErrCnt);
    s.ErrStop = key.FlagOr("ErrStop", false);
    s.LobData = key.FlagOr("LobData", false);
    s.LoadMode = SettledLoadMode(key.NumberOr("LoadMode", kLoadInsert));
    // A setting never stored reads a file in its own encoding when it is not the client's.
    s.MapByHeader = key.TextOr("MapBy", "") == "HEADER";
    s.CreateTable = key.FlagOr("CreateTable", false);
    s.Encoding = EncodingFromKeyword(key.TextOr("Encoding", "AUTO")).value_or(FileEncoding::Auto);
}

void WriteTransfer(SettingsKey& key, const TransferSettings& s, const RunContext& context) {
    std::string folder = FolderOf(context.CsvFile);
    if (!folder.empty()) key.WriteText("Folder", folder);
    key.WriteNumber("Mode", s.Mode);
    key.WriteFlag("HeadOn", s.WithHeader);
    key.WriteFlag("TimeOn", s.TimeOn);
    key.WriteFlag("TruncOn", s.Truncate);
    key.WriteFlag("AutoCmtOn", s.AutoCommit);
    key.WriteNumber("AutoCmtCnt", s.AutoCmtCnt);
    key.WriteText("Separator", s.Separator);
    key.WriteText("Distinction", s.Delimiter);
    key.WriteFlag("ReplaceCR", s.ReplaceCR);
    key.WriteText("ReplaceCRString", s.ReplaceCRString);
    key.WriteNumber("CRType", s.CRType);
    key.WriteText("DateFmt", s.DateFmt);
    key.WriteText("TimestampFmt", s.TimestampFmt);
    key.WriteNumber("ErrCnt", s.ErrCnt);
    key.WriteFlag("ErrStop", s.ErrStop);
    key.WriteFlag("LobData", s.LobData);
    key.WriteNumber("LoadMode", SettledLoadMode(s.LoadMode));
    key.WriteText("Encoding", EncodingKeyword(s.Encoding));
    key.WriteText("MapBy", s.MapByHeader ? "HEADER" : "POSITION");
    key.WriteFlag("CreateTable", s.CreateTable);
}

}  // namespace

void RegistrySettings(bool load, int parts, const SettingsTargets& targets) {
    SettingsKey key;
    if (load) {
        if (parts & kConnectionPart) ReadConnection(key, targets.Logon);
        if (parts & kTransferPart) ReadTransfer(key, targets.Settings, targets.OpenFolder);
        return;
    }
    if (parts & kConnectionPart) {
        key.WriteText("USER", targets.Logon.User);
        key.WriteText("CONN", targets.Logon.ConnStr);
    }
    if (parts & kTransferPart) WriteTransfer(key, targets.Settings, targets.Context);
}

std::string ReadListFolder() {
    SettingsKey key;
    return key.TextOr("ListFolder", "");
}

void WriteListFolder(const std::string& folder) {
    SettingsKey key;
    key.WriteText("ListFolder", folder);
}

std::string ReadWindowPlacement() {
    SettingsKey key;
    return key.TextOr("MainWindow", "");
}

void WriteWindowPlacement(const std::string& placement) {
    SettingsKey key;
    key.WriteText("MainWindow", placement);
}

}  // namespace tabrook
