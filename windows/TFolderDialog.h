#pragma once
// Asks the user for a folder with the platform's folder picker, starting at a given folder.
// The job list window uses it to move the CSV files of several jobs into another folder.

#include <QString>

class QFileDialog;
class QWidget;

namespace tabrook {

class TFolderDialog {
public:
    // owner's window owns the picker; with an owner, Message gets its default prompt.
    explicit TFolderDialog(QWidget* owner);
    virtual ~TFolderDialog() = default;

    // When false the picker does not browse network places (the sidebar offers only local ones).
    bool CanNetwork = false;
    QString Message;
    // In: the folder to start at. Out: the folder the user picked.
    QString Folder;

    // Shows the picker modally; true with the picked folder in Folder, false when the user
    // cancelled (Folder unchanged).
    bool Execute();

    // The folder the picker starts at for a given Folder: a trailing separator is dropped except
    // on a root ("/" or "C:\" stays). Letter case is kept: folder names are case-sensitive here.
    static QString StartFolder(const QString& folder);

protected:
    // Runs the configured picker; true when the user accepted it. Tests replace it.
    virtual bool RunPicker(QFileDialog& picker);

private:
    QWidget* owner_ = nullptr;
};

}  // namespace tabrook
