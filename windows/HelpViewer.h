#pragma once
// The program's own help viewer: the HTML manual in a text browser with back, forward, home
// and a search field, so help works with no web browser installed. F1 in every window opens
// the manual at that window's page.

#include <QString>
#include <QWidget>

class QLineEdit;
class QTextBrowser;
class QToolButton;

namespace tabrook {

// The manual's folder: TABROOK_MANUAL when set; else the installed manual
// (<program folder>/../share/doc/tabrook/manual); else the manual of the source tree this
// program was built from. Empty when none exists.
QString ManualFolder();
// The language folder of the manual that is shown: "en" when the locale is English and an
// English manual exists, else "ja" (the language of the windows).
QString ManualLanguage();

// The page of a window, given its class name (for example "TfmJob"), possibly with an anchor:
// "job-list.html". Unknown names give the contents page "index.html".
QString HelpPageFor(const QString& windowClass);
// Every window class that has a page of its own.
QStringList HelpWindowClasses();

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows page (relative to the manual's language folder, with an optional #anchor).
    // False when the manual or the page cannot be found; the viewer then says so.
    bool ShowPage(const QString& page);
    // Looks for text from the cursor on (wrapping once to the top); false when it is nowhere.
    bool FindText(const QString& text, bool backward = false);

    QTextBrowser* browser() const { return browser_; }
    QLineEdit* searchField() const { return search_; }

    // The one viewer of the program (created on first use).
    static HelpViewer& Instance();

private:
    QTextBrowser* browser_ = nullptr;
    QLineEdit* search_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* forward_ = nullptr;
};

// Opens the help viewer at page and brings it to the front.
void ShowHelp(const QString& page);
// Makes F1 in window (and its children) open page.
void InstallHelpKey(QWidget* window, const QString& page);

}  // namespace tabrook
