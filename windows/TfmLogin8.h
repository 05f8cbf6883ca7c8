#pragma once
// The login dialog: user, password (masked) and connect string, built in code at its fixed
// size and positions. It is the login prompt of the session's Login.

#include <QDialog>

#include "oci/LoginPrompt.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tabrook {

class TfmLogin8 : public QDialog {
public:
    explicit TfmLogin8(QWidget* parent = nullptr);

    // Fills the edits from values and gives the focus to the password when a user is known.
    void Fill(const LogonValues& values, LoginFocus focus);
    // What the user typed.
    LogonValues Values() const;

    QLineEdit* UserEdit() const { return user_; }
    QLineEdit* PasswordEdit() const { return password_; }
    QLineEdit* ConnStrEdit() const { return connStr_; }
    QPushButton* LoginButton() const { return login_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    QLineEdit* user_;
    QLineEdit* password_;
    QLineEdit* connStr_;
    QPushButton* login_;
    QPushButton* cancel_;
};

// The session's login prompt over a modal TfmLogin8.
class LoginDialogPrompt : public LoginPrompt {
public:
    explicit LoginDialogPrompt(QWidget* parent) : parent_(parent) {}
    bool Ask(LogonValues& values, LoginFocus focus) override;

private:
    QWidget* parent_;
};

// A label text with its mnemonic shown underlined, for labels that are linked to no field:
// "User(&U)" becomes "User(<u>U</u>)".
QString UnderlinedMnemonic(const QString& text);

}  // namespace tabrook
