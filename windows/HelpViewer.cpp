#include "windows/HelpViewer.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tabrook {

namespace {
struct WindowPage {
    const char* windowClass;
    const char* page;
};
// Each window's page in the manual.
constexpr WindowPage kWindowPages[] = {
    {"TfmMain", "main-window.html"},    {"TfmLogin8", "logon.html"},    {"TfmJob", "job-list.html"},
    {"TfmTable", "table-chooser.html"}, {"TfrmMsgBox", "confirm.html"}, {"TFolderDialog", "job-list.html#folder"},
    {"TextViewer", "error-files.html"}, {"HelpViewer", "index.html"},
};

bool HasManual(const QString& folder) {
    return !folder.isEmpty() && QFileInfo::exists(folder + "/ja/index.html");
}
}  // namespace

QString ManualFolder() {
    const QString forced = qEnvironmentVariable("TABROOK_MANUAL");
    if (!forced.isEmpty()) return HasManual(forced) ? forced : QString();
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/doc/tabrook/manual");
    if (HasManual(installed)) return installed;
#ifdef TABROOK_SOURCE_MANUAL
    if (HasManual(QStringLiteral(TABROOK_SOURCE_MANUAL))) return QStringLiteral(TABROOK_SOURCE_MANUAL);
#endif
    return {};
}

QString ManualLanguage() {
    const QString folder = ManualFolder();
    // The windows speak Japanese, so the manual does too unless the user's locale is English.
    if (QLocale().language() == QLocale::English && QFileInfo::exists(folder + "/en/index.html")) return "en";
    return "ja";
}

QString HelpPageFor(const QString& windowClass) {
    for (const WindowPage& entry : kWindowPages) {
        if (windowClass == QLatin1String(entry.windowClass)) return QString::fromLatin1(entry.page);
    }
    return QStringLiteral("index.html");
}

QStringList HelpWindowClasses() {
    QStringList names;
    for (const WindowPage& entry : kWindowPages) names << QString::fromLatin1(entry.windowClass);
    return names;
}

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("HelpViewer");
    setWindowTitle(QString::fromUtf8("Tabrook+ ヘルプ"));
    resize(760, 560);

    back_ = new QToolButton(this);
    back_->setText(QString::fromUtf8("← 戻る"));
    back_->setObjectName("back");
    back_->setEnabled(false);
    forward_ = new QToolButton(this);
    forward_->setText(QString::fromUtf8("進む →"));
    forward_->setObjectName("forward");
    forward_->setEnabled(false);
    auto* home = new QToolButton(this);
    home->setText(QString::fromUtf8("目次"));
    home->setObjectName("home");
    search_ = new QLineEdit(this);
    search_->setObjectName("search");
    search_->setPlaceholderText(QString::fromUtf8("検索 (Enter: 次, Shift+Enter: 前)"));
    search_->setClearButtonEnabled(true);
    auto* notFound = new QLabel(this);
    notFound->setObjectName("notFound");

    browser_ = new QTextBrowser(this);
    browser_->setObjectName("browser");
    browser_->setOpenExternalLinks(true);  // links outside the manual go to the desktop, if any

    auto* bar = new QHBoxLayout;
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addWidget(home);
    bar->addSpacing(12);
    bar->addWidget(search_, 1);
    bar->addWidget(notFound);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);

    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, this, [this] { ShowPage("index.html"); });
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    connect(search_, &QLineEdit::returnPressed, this, [this, notFound] {
        const bool backward = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
        notFound->setText(FindText(search_->text(), backward) ? QString() : QString::fromUtf8("見つかりません"));
    });
    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, this, [this] {
        search_->setFocus();
        search_->selectAll();
    });
    // Esc closes the viewer, as it closes the program's other secondary windows.
    auto* closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);
    auto* backKey = new QShortcut(QKeySequence::Back, this);
    connect(backKey, &QShortcut::activated, browser_, &QTextBrowser::backward);
    auto* forwardKey = new QShortcut(QKeySequence::Forward, this);
    connect(forwardKey, &QShortcut::activated, browser_, &QTextBrowser::forward);
}

bool HelpViewer::ShowPage(const QString& page) {
    const QString folder = ManualFolder();
    const QString language = ManualLanguage();
    const QString file = page.section('#', 0, 0);
    const QString anchor = page.section('#', 1);
    if (folder.isEmpty() || !QFileInfo::exists(folder + "/" + language + "/" + file)) {
        browser_->setHtml(QString::fromUtf8("<p>マニュアルが見つかりません: %1</p>").arg(page.toHtmlEscaped()));
        return false;
    }
    browser_->setSearchPaths({folder + "/" + language});
    QUrl url = QUrl::fromLocalFile(folder + "/" + language + "/" + file);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    browser_->setSource(url);
    return true;
}

bool HelpViewer::FindText(const QString& text, bool backward) {
    if (text.isEmpty()) return false;
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (browser_->find(text, flags)) return true;
    // Wrap once: from the other end of the page.
    QTextCursor cursor = browser_->textCursor();
    cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    browser_->setTextCursor(cursor);
    return browser_->find(text, flags);
}

HelpViewer& HelpViewer::Instance() {
    static HelpViewer* viewer = nullptr;
    if (viewer == nullptr) {
        viewer = new HelpViewer;
        viewer->setAttribute(Qt::WA_DeleteOnClose, false);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] {
            delete viewer;
            viewer = nullptr;
        });
    }
    return *viewer;
}

namespace {

// Modality takes effect when a window is shown, so a visible viewer is shown anew.
void SetModality(HelpViewer& viewer, Qt::WindowModality modality) {
    if (viewer.windowModality() == modality) return;
    const bool visible = viewer.isVisible();
    viewer.hide();
    viewer.setWindowModality(modality);
    if (visible) viewer.show();
}

}  // namespace

void ShowHelp(const QString& page) {
    HelpViewer& viewer = HelpViewer::Instance();
    viewer.ShowPage(page);
    // A modal dialog blocks input to every window but those opened modally after it: beside one
    // the viewer is modal itself, so it takes input, and an ordinary window again when the
    // dialog ends.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != &viewer) {
        SetModality(viewer, Qt::ApplicationModal);
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            QObject::connect(
                dialog, &QDialog::finished, &viewer, [&viewer] { SetModality(viewer, Qt::NonModal); },
                Qt::SingleShotConnection);
        }
    } else if (modal == nullptr) {
        SetModality(viewer, Qt::NonModal);
    }
    viewer.show();
    viewer.raise();
    viewer.activateWindow();
}

void InstallHelpKey(QWidget* window, const QString& page) {
    auto* key = new QShortcut(QKeySequence::HelpContents, window);
    key->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(key, &QShortcut::activated, window, [page] { ShowHelp(page); });
}

}  // namespace tabrook
