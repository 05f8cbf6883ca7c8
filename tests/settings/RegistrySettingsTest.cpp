// The per-user settings store: where it lives, round trips of every value (texts with commas,
// quotes, tabs and Japanese), defaults for missing and ill-typed values, the "Folder" rule and
// the password that is never stored.

#include <QSettings>
#include <QStringList>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

#include "app/RegistrySettings.h"

namespace tabrook {
namespace {

namespace fs = std::filesystem;

// QSettings fixes its user folder on first use, so the whole test program gets one private
// configuration folder before any test runs.
class ConfigFolder : public ::testing::Environment {
public:
    void SetUp() override {
        root = fs::temp_directory_path() / ("tabrook-settings-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
        ::setenv("HOME", root.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(root); }
    static inline fs::path root;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ConfigFolder);

std::unique_ptr<QSettings> RawStore() {
    auto store = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Vornex", "Hollin");
    store->beginGroup("List-1");
    return store;
}

void ClearStore() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Vornex", "Hollin");
    store.clear();
    store.sync();
}

struct State {
    TransferSettings settings;
    RunContext context;
    LogonValues logon;
    std::string folder;
    SettingsTargets Targets() { return {settings, context, logon, folder}; }
};

class RegistrySettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ClearStore(); }
};

TEST_F(RegistrySettingsTest, LivesInAnIniFileUnderTheUsersConfigFolder) {
    State state;
    state.logon.User = "SCOTT";
    RegistrySettings(false, kConnectionPart, state.Targets());
    fs::path file = ConfigFolder::root / "Vornex" / "Hollin.conf";
    ASSERT_TRUE(fs::exists(file));
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("[List-1]"), std::string::npos);
    EXPECT_NE(text.str().find("USER=SCOTT"), std::string::npos);
}

TEST_F(RegistrySettingsTest, FirstStartReadsTheDefaults) {
    State state;
    state.settings.Mode = 1;
    state.settings.Separator = ";";
    state.settings.AutoCmtCnt = 77;
    state.settings.CRType = 2;
    state.settings.WithHeader = true;
    state.logon = {"u", "secret", "c"};
    state.folder = "/somewhere";
    RegistrySettings(true, kConnectionPart | kTransferPart, state.Targets());
    const TransferSettings& s = state.settings;
    EXPECT_EQ(s.Mode, 0);
    EXPECT_EQ(s.Separator, ",");
    EXPECT_EQ(s.Delimiter, "\"");
    EXPECT_EQ(s.AutoCmtCnt, 1);
    EXPECT_EQ(s.ErrCnt, 100);
    EXPECT_EQ(s.CRType, 0);
    EXPECT_FALSE(s.WithHeader);
    EXPECT_FALSE(s.TimeOn);
    EXPECT_FALSE(s.Truncate);
    EXPECT_FALSE(s.AutoCommit);
    EXPECT_FALSE(s.ReplaceCR);
    EXPECT_FALSE(s.ErrStop);
    EXPECT_FALSE(s.LobData);
    EXPECT_EQ(s.LoadMode, 0);
    EXPECT_EQ(s.ReplaceCRString, "\\n");
    EXPECT_EQ(s.DateFmt, "RRRR-MM-DD HH24:MI:SS");
    EXPECT_EQ(s.TimestampFmt, "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM");
    EXPECT_EQ(state.logon.User, "");
    EXPECT_EQ(state.logon.Password, "");
    EXPECT_EQ(state.logon.ConnStr, "");
    EXPECT_EQ(state.folder, "");
}

TEST_F(RegistrySettingsTest, EveryTransferValueRoundTrips) {
    struct Case {
        const char* name;
        TransferSettings settings;
    };
    TransferSettings a;
    a.Mode = 1;
    a.Separator = "\t";
    a.Delimiter = "'";
    a.ReplaceCR = true;
    a.ReplaceCRString = "<br>,\"";
    a.CRType = 2;
    a.WithHeader = true;
    a.TimeOn = true;
    a.Truncate = true;
    a.AutoCommit = true;
    a.AutoCmtCnt = 500;
    a.DateFmt = "YYYY\"年\"MM\"月\"DD\"日\"";
    a.TimestampFmt = "DD.MM.RRRR HH24:MI:SS.FF3";
    a.ErrCnt = 0;
    a.ErrStop = true;
    a.LobData = true;
    a.LoadMode = 2;
    TransferSettings b;
    b.LoadMode = 1;
    b.Separator = ",";
    b.Delimiter = "";
    b.ReplaceCRString = "@at;semi=eq";
    b.AutoCmtCnt = -5;  // taken as stored
    b.ErrCnt = 999999;
    TransferSettings c;
    c.Separator = "";
    c.Delimiter = "\"";
    c.ReplaceCRString = "\\\\";
    c.DateFmt = " leading and trailing ";
    for (const Case& item : {Case{"options on", a}, Case{"odd texts", b}, Case{"empty separator", c}}) {
        SCOPED_TRACE(item.name);
        State written;
        written.settings = item.settings;
        RegistrySettings(false, kTransferPart, written.Targets());
        State read;
        RegistrySettings(true, kTransferPart, read.Targets());
        const TransferSettings& w = item.settings;
        const TransferSettings& r = read.settings;
        EXPECT_EQ(r.Mode, w.Mode);
        EXPECT_EQ(r.Separator, w.Separator);
        EXPECT_EQ(r.Delimiter, w.Delimiter);
        EXPECT_EQ(r.ReplaceCR, w.ReplaceCR);
        EXPECT_EQ(r.ReplaceCRString, w.ReplaceCRString);
        EXPECT_EQ(r.CRType, w.CRType);
        EXPECT_EQ(r.WithHeader, w.WithHeader);
        EXPECT_EQ(r.TimeOn, w.TimeOn);
        EXPECT_EQ(r.Truncate, w.Truncate);
        EXPECT_EQ(r.AutoCommit, w.AutoCommit);
        EXPECT_EQ(r.AutoCmtCnt, w.AutoCmtCnt);
        EXPECT_EQ(r.DateFmt, w.DateFmt);
        EXPECT_EQ(r.TimestampFmt, w.TimestampFmt);
        EXPECT_EQ(r.ErrCnt, w.ErrCnt);
        EXPECT_EQ(r.ErrStop, w.ErrStop);
        EXPECT_EQ(r.LobData, w.LobData);
        EXPECT_EQ(r.LoadMode, w.LoadMode);
    }
}

TEST_F(RegistrySettingsTest, FlagsAndNumbersAreStoredAsIntegers) {
    State state;
    state.settings.WithHeader = true;
    state.settings.ErrStop = false;
    state.settings.LobData = true;
    state.settings.AutoCmtCnt = 250;
    RegistrySettings(false, kTransferPart, state.Targets());
    auto raw = RawStore();
    EXPECT_EQ(raw->value("HeadOn").toString(), "1");
    EXPECT_EQ(raw->value("ErrStop").toString(), "0");
    EXPECT_EQ(raw->value("LobData").toString(), "1");
    EXPECT_EQ(raw->value("AutoCmtCnt").toString(), "250");
    EXPECT_EQ(raw->value("LoadMode").toString(), "0");
    raw->setValue("LoadMode", 7);  // unknown: INSERT
    raw->sync();
    State read;
    read.settings.LoadMode = 1;
    RegistrySettings(true, kTransferPart, read.Targets());
    EXPECT_EQ(read.settings.LoadMode, 0);
}

TEST_F(RegistrySettingsTest, MissingOrIllTypedValuesFallBackOneByOne) {
    {
        auto raw = RawStore();
        raw->setValue("Mode", "Export");                                      // not a number
        raw->setValue("HeadOn", "yes");                                       // not a number
        raw->setValue("TruncOn", 3);                                          // any non-zero is true
        raw->setValue("AutoCmtCnt", QStringList{"1", "2"});                   // a list, not a number
        raw->setValue("ErrCnt", "  250 ");                                    // blanks around a number
        raw->setValue("CRType", 5);                                           // out of range
        raw->setValue("Separator", QStringList{"", ""});                      // an unquoted comma in the file
        raw->setValue("Distinction", QVariant::fromValue(QList<int>{1, 2}));  // not a text
        raw->sync();
    }
    State state;
    state.settings.Mode = 1;
    state.settings.WithHeader = true;
    state.settings.Delimiter = "x";
    RegistrySettings(true, kTransferPart, state.Targets());
    EXPECT_EQ(state.settings.Mode, 0);
    EXPECT_FALSE(state.settings.WithHeader);
    EXPECT_TRUE(state.settings.Truncate);
    EXPECT_EQ(state.settings.AutoCmtCnt, 1);
    EXPECT_EQ(state.settings.ErrCnt, 250);
    EXPECT_EQ(state.settings.CRType, 0);
    EXPECT_EQ(state.settings.Separator, ",");
    EXPECT_EQ(state.settings.Delimiter, "\"");
}

TEST_F(RegistrySettingsTest, NegativeCrTypeReadsAsZeroAndStoredModeIsTakenAsIs) {
    {
        auto raw = RawStore();
        raw->setValue("CRType", -1);
        raw->setValue("Mode", 7);  // the window maps it to Import when it shows it
        raw->sync();
    }
    State state;
    RegistrySettings(true, kTransferPart, state.Targets());
    EXPECT_EQ(state.settings.CRType, 0);
    EXPECT_EQ(state.settings.Mode, 7);
}

TEST_F(RegistrySettingsTest, ThePasswordIsNeverStoredAndAlwaysClearedOnRead) {
    State state;
    state.logon = {"scott", "tiger", "db/main.db"};
    RegistrySettings(false, kConnectionPart | kTransferPart, state.Targets());
    auto raw = RawStore();
    for (const QString& key : raw->allKeys()) {
        EXPECT_NE(raw->value(key).toString(), "tiger") << key.toStdString();
        EXPECT_FALSE(key.contains("PASS", Qt::CaseInsensitive)) << key.toStdString();
    }
    State read;
    read.logon.Password = "left over";
    RegistrySettings(true, kConnectionPart, read.Targets());
    EXPECT_EQ(read.logon.User, "scott");
    EXPECT_EQ(read.logon.ConnStr, "db/main.db");
    EXPECT_EQ(read.logon.Password, "");
}

TEST_F(RegistrySettingsTest, PartsAreReadAndWrittenSeparately) {
    State first;
    first.logon = {"scott", "", "a.db"};
    first.settings.Separator = ";";
    RegistrySettings(false, kConnectionPart, first.Targets());  // the separator is not written
    State read;
    read.settings.Separator = "|";
    RegistrySettings(true, kTransferPart, read.Targets());
    EXPECT_EQ(read.settings.Separator, ",");  // default: never stored
    EXPECT_EQ(read.logon.User, "");           // connection part not requested
    RegistrySettings(true, kConnectionPart, read.Targets());
    EXPECT_EQ(read.logon.User, "scott");
}

TEST_F(RegistrySettingsTest, FolderIsWrittenOnlyWhenTheCsvFileHasAFolderPart) {
    struct Step {
        const char* csv;
        const char* expectedFolder;
    };
    const Step steps[] = {
        {"/data/in/orders.csv", "/data/in"},
        {"orders.csv", "/data/in"},  // bare name: the stored folder stays
        {"", "/data/in"},
        {"sub/dir/x.csv", "sub/dir"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.csv);
        State state;
        state.context.CsvFile = step.csv;
        RegistrySettings(false, kTransferPart, state.Targets());
        State read;
        RegistrySettings(true, kTransferPart, read.Targets());
        EXPECT_EQ(read.folder, step.expectedFolder);
    }
}

TEST_F(RegistrySettingsTest, ListFolderSharesTheKey) {
    EXPECT_EQ(ReadListFolder(), "");
    WriteListFolder("/lists/ジョブ");
    EXPECT_EQ(ReadListFolder(), "/lists/ジョブ");
    EXPECT_EQ(RawStore()->value("ListFolder").toString().toStdString(), "/lists/ジョブ");
}

}  // namespace
}  // namespace tabrook

namespace tabrook {
namespace {

// Texts that are not UTF-8 (a Latin-1 separator, a Shift-JIS replacement text, a connect
// string with a Latin-1 byte) and texts that are: each reads back byte for byte.
TEST_F(RegistrySettingsTest, EveryTextReadsBackByteForByte) {
    const std::vector<std::string> texts = {
        "\xA7",              // Latin-1 section sign as a separator
        "\x89\xFC\x8D\x73",  // Shift-JIS "改行"
        "db/caf\xE9.db",     // Latin-1 e acute in a path
        "\xFF",
        "§",  // the same sign in UTF-8 stays UTF-8
        "改行",
        "",
    };
    for (const std::string& text : texts) {
        ClearStore();
        State state;
        state.settings.Separator = text;
        state.settings.ReplaceCRString = text;
        state.settings.DateFmt = text;
        state.logon = {text, "", text};
        RegistrySettings(false, kConnectionPart | kTransferPart, state.Targets());
        State read;
        RegistrySettings(true, kConnectionPart | kTransferPart, read.Targets());
        EXPECT_EQ(read.settings.Separator, text);
        EXPECT_EQ(read.settings.ReplaceCRString, text);
        EXPECT_EQ(read.settings.DateFmt, text);
        EXPECT_EQ(read.logon.User, text);
        EXPECT_EQ(read.logon.ConnStr, text);
    }
    // UTF-8 texts stay readable as texts in the file.
    ClearStore();
    State state;
    state.settings.Separator = "§";
    RegistrySettings(false, kTransferPart, state.Targets());
    EXPECT_EQ(RawStore()->value("Separator").typeId(), QMetaType::QString);
}

}  // namespace
}  // namespace tabrook
