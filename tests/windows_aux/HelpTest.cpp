// The manual and its viewer: every window's F1 page exists in every language of the manual,
// every link between the pages resolves (file and anchor), and the viewer goes back and forward,
// finds text and opens from F1 at the window's page.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <set>

#include "tests/engines/EngineTestSupport.h"
#include "tests/windows_aux/WidgetTestSupport.h"
#include "windows/HelpViewer.h"
#include "windows/TextViewer.h"
#include "windows/TfmLogin8.h"
#include "windows/TfmMain.h"
#include "windows/TfmTable.h"

namespace tabrook::testing {
namespace {

const QString kManual = QStringLiteral(TABROOK_SOURCE_DIR "/docs/manual");

QStringList Languages() {
    QStringList languages;
    for (const QString& language : {QStringLiteral("ja"), QStringLiteral("en")}) {
        if (QFileInfo::exists(kManual + "/" + language + "/index.html")) languages << language;
    }
    return languages;
}

QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// The anchors a page defines (id and name attributes).
std::set<QString> Anchors(const QString& path) {
    std::set<QString> anchors;
    static const QRegularExpression attribute(R"re(\b(?:id|name)\s*=\s*"([^"]+)")re");
    auto matches = attribute.globalMatch(ReadText(path));
    while (matches.hasNext()) anchors.insert(matches.next().captured(1));
    return anchors;
}

// "" when target (relative to the page's folder) resolves, else what is wrong.
QString Unresolved(const QString& folder, const QString& target, const QString& page) {
    const QString file = target.section('#', 0, 0);
    const QString anchor = target.section('#', 1);
    const QString path = file.isEmpty() ? page : QDir(folder).filePath(file);
    if (!QFileInfo::exists(path)) return "missing file " + path;
    if (!anchor.isEmpty() && path.endsWith(".html") && Anchors(path).count(anchor) == 0) {
        return "missing anchor #" + anchor + " in " + path;
    }
    return {};
}

TEST(Manual, EveryWindowHasItsPageInEveryLanguage) {
    const QStringList languages = Languages();
    ASSERT_TRUE(languages.contains("ja"));
    const QStringList windows = HelpWindowClasses();
    for (const char* needed : {"TfmMain", "TfmJob", "TfmTable", "TfrmMsgBox", "TfmLogin8", "TFolderDialog"}) {
        EXPECT_TRUE(windows.contains(needed)) << needed;
    }
    for (const QString& language : languages) {
        const QString folder = kManual + "/" + language;
        for (const QString& window : windows) {
            const QString page = HelpPageFor(window);
            if (window != "HelpViewer") {
                EXPECT_NE(page, "index.html") << window.toStdString() << " has no page of its own";
            }
            EXPECT_EQ(Unresolved(folder, page, folder + "/index.html"), "")
                << window.toStdString() << " in " << language.toStdString();
        }
    }
}

TEST(Manual, EveryLinkResolvesAndEveryPageIsReachableFromTheContents) {
    static const QRegularExpression link(R"re(\b(?:href|src)\s*=\s*"([^"]+)")re");
    for (const QString& language : Languages()) {
        const QString folder = kManual + "/" + language;
        const QStringList pages = QDir(folder).entryList({"*.html"}, QDir::Files);
        ASSERT_GE(pages.size(), 8) << language.toStdString();
        std::set<QString> linked{"index.html"};
        int links = 0;
        for (const QString& name : pages) {
            const QString page = folder + "/" + name;
            const QString html = ReadText(page);
            EXPECT_TRUE(html.contains("<title>")) << page.toStdString();
            auto matches = link.globalMatch(html);
            while (matches.hasNext()) {
                const QString target = matches.next().captured(1);
                if (target.startsWith("http:") || target.startsWith("https:") || target.startsWith("mailto:")) continue;
                ++links;
                EXPECT_EQ(Unresolved(folder, target, page), "")
                    << "link " << target.toStdString() << " in " << page.toStdString();
                const QString file = target.section('#', 0, 0);
                if (!file.isEmpty() && !file.contains('/')) linked.insert(file);
            }
        }
        EXPECT_GT(links, 20);
        for (const QString& name : pages)
            EXPECT_TRUE(linked.count(name)) << name.toStdString() << " is linked from no page";
    }
}

TEST(Manual, TheResolverCatchesABrokenLink) {
    const QString folder = kManual + "/ja";
    EXPECT_NE(Unresolved(folder, "no-such-page.html", folder + "/index.html"), "");
    EXPECT_NE(Unresolved(folder, "job-list.html#no-such-anchor", folder + "/index.html"), "");
    EXPECT_EQ(Unresolved(folder, "job-list.html#folder", folder + "/index.html"), "");
}

class HelpViewerTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("TABROOK_MANUAL", kManual.toLocal8Bit()); }
    void TearDown() override { qunsetenv("TABROOK_MANUAL"); }
};

TEST_F(HelpViewerTest, GoesBackAndForwardAndFindsText) {
    HelpViewer viewer;
    viewer.show();
    ASSERT_TRUE(viewer.ShowPage("index.html"));
    EXPECT_TRUE(viewer.browser()->source().toLocalFile().endsWith("/index.html"));
    auto* back = viewer.findChild<QToolButton*>("back");
    auto* forward = viewer.findChild<QToolButton*>("forward");
    EXPECT_FALSE(back->isEnabled());
    ASSERT_TRUE(viewer.ShowPage("job-list.html#folder"));
    EXPECT_EQ(viewer.browser()->source().fragment(), "folder");
    EXPECT_TRUE(back->isEnabled());
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_TRUE(viewer.browser()->source().toLocalFile().endsWith("/index.html"));
    EXPECT_TRUE(forward->isEnabled());
    QTest::mouseClick(forward, Qt::LeftButton);
    EXPECT_TRUE(viewer.browser()->source().toLocalFile().endsWith("/job-list.html"));

    EXPECT_TRUE(viewer.FindText("ListFolder"));
    EXPECT_EQ(viewer.browser()->textCursor().selectedText(), "ListFolder");
    // Found again from the top after the last one.
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(viewer.FindText("ListFolder"));
    EXPECT_FALSE(viewer.FindText("xyzzy-not-in-the-manual"));
    EXPECT_FALSE(viewer.ShowPage("no-such-page.html"));
    EXPECT_TRUE(viewer.browser()->toPlainText().contains(QString::fromUtf8("マニュアルが見つかりません")));
}

TEST_F(HelpViewerTest, EscClosesTheViewer) {
    ShowHelp("index.html");
    HelpViewer& viewer = HelpViewer::Instance();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    QTest::keyClick(viewer.browser(), Qt::Key_Escape);
    EXPECT_FALSE(viewer.isVisible());
}

TEST_F(HelpViewerTest, TheManualSpeaksJapaneseUnlessTheLocaleIsEnglish) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(ManualLanguage(), "en");
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    EXPECT_EQ(ManualLanguage(), "ja");
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(ManualLanguage(), "ja");
    QLocale::setDefault(saved);
    EXPECT_EQ(ManualFolder(), kManual);
}

// F1 in each window opens the viewer at that window's page.
TEST_F(HelpViewerTest, F1InEveryWindowOpensItsPage) {
    TransferSettings settings;
    RunContext context;
    RecordingHost host;
    FakeOwner owner;
    Tdm dm;  // not logged on: the chooser's list stays empty
    TfrmMsgBox msgBox;
    ScriptedJobWindow jobWindow(context, settings, host, owner, msgBox);
    TfmTable chooser(dm, host, context, jobWindow, owner);
    TextViewer viewer;
    TfmMain mainWindow;
    TfmLogin8 login;
    struct Case {
        QWidget* window;
        QWidget* focus;
        const char* page;
    };
    const Case cases[] = {
        {&jobWindow, jobWindow.lvJob, "/job-list.html"},        {&chooser, chooser.lbTable, "/table-chooser.html"},
        {&msgBox, msgBox.udErrBreak, "/confirm.html"},          {&viewer, &viewer, "/error-files.html"},
        {&mainWindow, mainWindow.edTable, "/main-window.html"}, {&login, login.UserEdit(), "/logon.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        c.window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(c.window));
        c.focus->setFocus();
        QTest::keyClick(c.focus, Qt::Key_F1);
        HelpViewer& help = HelpViewer::Instance();
        EXPECT_TRUE(help.isVisible());
        EXPECT_TRUE(help.browser()->source().toLocalFile().endsWith(c.page))
            << help.browser()->source().toString().toStdString();
        help.hide();
        c.window->hide();
    }
}

// A modal dialog blocks input to the windows opened before it: help opened from it by F1 must
// still take input while the dialog runs.
TEST_F(HelpViewerTest, HelpFromTheConfirmationDialogTakesInputWhileTheDialogRuns) {
    TfrmMsgBox msgBox;
    TransferSettings settings;
    QString typed;
    bool helpShown = false;
    QTimer::singleShot(0, &msgBox, [&] {
        if (QTest::qWaitForWindowExposed(&msgBox)) {
            msgBox.udErrBreak->setFocus();
            QTest::keyClick(msgBox.udErrBreak, Qt::Key_F1);
        }
        HelpViewer& help = HelpViewer::Instance();
        helpShown = help.isVisible() && QTest::qWaitForWindowExposed(&help);
        if (!helpShown) return msgBox.reject();
        help.searchField()->setFocus();
        // Through the window system, where a modal dialog's blocking applies.
        for (const char key : {'a', 'b', 'c'}) QTest::keyClick(help.windowHandle(), key);
        typed = help.searchField()->text();
        msgBox.reject();
    });
    EXPECT_EQ(msgBox.Execute(settings), kConfirmCancel);
    EXPECT_TRUE(helpShown);
    EXPECT_EQ(typed, "abc");
    HelpViewer& help = HelpViewer::Instance();
    EXPECT_EQ(help.windowModality(), Qt::NonModal);  // an ordinary window again after the dialog
    help.hide();
}

}  // namespace
}  // namespace tabrook::testing
