#include "windows/TextViewer.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QStringDecoder>

#include "windows/HelpViewer.h"

namespace tabrook {

namespace {
// The file's text: UTF-8 when it decodes cleanly, else Shift-JIS when Qt can decode it,
// else Latin-1 (never loses a byte's place).
QString Decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder sjis("Shift_JIS");
    if (sjis.isValid()) {
        text = sjis(bytes);
        if (!sjis.hasError()) return text;
    }
    return QString::fromLatin1(bytes);
}
}  // namespace

TextViewer::TextViewer(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName("TextViewer");
    setWindowFlag(Qt::Window, true);
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    resize(640, 420);
    InstallHelpKey(this, HelpPageFor("TextViewer"));
}

bool TextViewer::Open(const QString& path) {
    path_ = path;
    setWindowTitle(QFileInfo(path).fileName());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setPlainText(QString::fromUtf8("ファイルを開けません: %1\n%2").arg(path, file.errorString()));
        return false;
    }
    setPlainText(Decode(file.readAll()));
    return true;
}

TextViewer* ShowTextFile(const QString& path) {
    auto* viewer = new TextViewer;
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->Open(path);
    viewer->show();
    // In front of the main window, also when that one is maximized and active.
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

}  // namespace tabrook
