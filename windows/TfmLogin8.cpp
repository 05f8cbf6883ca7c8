#include "windows/TfmLogin8.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "windows/HelpViewer.h"
#include "windows/QtFonts.h"

namespace tabrook {

QString UnderlinedMnemonic(const QString& text) {
    QString html;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] == u'&')
                html += QStringLiteral("&amp;");
            else
                html += QStringLiteral("<u>") + QString(text[i]).toHtmlEscaped() + QStringLiteral("</u>");
            continue;
        }
        html += QString(c).toHtmlEscaped();
    }
    return html;
}

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, int width, int height) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::RichText);
    label->setText(UnderlinedMnemonic(text));
    // The designed size fits the designed font; a label sizes itself to its text (at least the
    // designed size) from the designed top-left corner, so a wider font is never cut off.
    const QSize hint = label->sizeHint();
    label->setGeometry(left, top, std::max(width, hint.width()), std::max(height, std::min(hint.height(), 16)));
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, int left, int top, int width, int height) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(left, top, width, height);
    return edit;
}

}  // namespace

TfmLogin8::TfmLogin8(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Login"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(UiFont());
    setFixedSize(190, 173);
    InstallHelpKey(this, HelpPageFor("TfmLogin8"));
    // Created in this order, which is also the tab order of the focusable ones.
    MakeLabel(this, QStringLiteral("User(&U)"), 13, 6, 51, 12);
    MakeLabel(this, QStringLiteral("Password(&P)"), 13, 47, 64, 12);
    MakeLabel(this, QStringLiteral("ConnectStr(&S)"), 13, 89, 72, 12);
    user_ = MakeEdit(this, 25, 22, 143, 20);
    password_ = MakeEdit(this, 25, 64, 143, 20);
    password_->setEchoMode(QLineEdit::Password);
    connStr_ = MakeEdit(this, 25, 105, 143, 20);
    login_ = new QPushButton(QStringLiteral("Login(&L)"), this);
    login_->setGeometry(16, 139, 61, 25);
    login_->setDefault(true);
    login_->setAutoDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel(&C)"), this);
    cancel_->setGeometry(111, 139, 61, 25);
    cancel_->setAutoDefault(false);
    setTabOrder(user_, password_);
    setTabOrder(password_, connStr_);
    setTabOrder(connStr_, login_);
    setTabOrder(login_, cancel_);
    connect(login_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    // Centred on the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TfmLogin8::Fill(const LogonValues& values, LoginFocus focus) {
    user_->setText(QString::fromStdString(values.User));
    password_->setText(QString::fromStdString(values.Password));
    connStr_->setText(QString::fromStdString(values.ConnStr));
    QLineEdit* first = focus == LoginFocus::Password ? password_ : user_;
    first->setFocus(Qt::OtherFocusReason);
    first->selectAll();
}

LogonValues TfmLogin8::Values() const {
    return LogonValues{user_->text().toStdString(), password_->text().toStdString(), connStr_->text().toStdString()};
}

bool LoginDialogPrompt::Ask(LogonValues& values, LoginFocus focus) {
    TfmLogin8 dialog(parent_);
    dialog.Fill(values, focus);
    if (dialog.exec() != QDialog::Accepted) return false;
    values = dialog.Values();
    return true;
}

}  // namespace tabrook
