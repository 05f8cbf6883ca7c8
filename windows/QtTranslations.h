#pragma once
// Qt's own texts (the buttons of message boxes, the file and folder dialogs) in Japanese, the
// language of the program's own texts, whatever the user's locale.

class QCoreApplication;

namespace tabrook {

// Loads Qt's Japanese translations into app. False when they are not installed (the Qt
// translations package); the standard texts then stay English.
bool InstallQtJapanese(QCoreApplication& app);

}  // namespace tabrook
