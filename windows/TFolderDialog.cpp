#include "windows/TFolderDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace tabrook {

TFolderDialog::TFolderDialog(QWidget* owner) : owner_(owner) {
    if (owner_ != nullptr) Message = QString::fromUtf8("フォルダを選択してください");
}

QString TFolderDialog::StartFolder(const QString& folder) {
    QString start = folder;
    const bool driveRoot = start.size() == 3 && start[1] == ':';
    if (start.size() >= 2 && (start.endsWith('/') || start.endsWith('\\')) && !driveRoot &&
        start[start.size() - 2] != ':') {
        start.chop(1);
    }
    return start;
}

bool TFolderDialog::RunPicker(QFileDialog& picker) {
    return picker.exec() == QDialog::Accepted;
}

bool TFolderDialog::Execute() {
    QFileDialog picker(owner_, Message);
    picker.setFileMode(QFileDialog::Directory);
    picker.setOption(QFileDialog::ShowDirsOnly, true);
    picker.setAcceptMode(QFileDialog::AcceptOpen);
    picker.setLabelText(QFileDialog::Accept, QString::fromUtf8("選択"));
    if (!CanNetwork) {
        // Only local places in the sidebar: home, the file system root and the start folder.
        QList<QUrl> places{QUrl::fromLocalFile(QDir::homePath()), QUrl::fromLocalFile(QDir::rootPath())};
        picker.setSidebarUrls(places);
    }
    const QString start = StartFolder(Folder);
    // A start folder that does not exist is simply not preselected.
    if (!start.isEmpty() && QFileInfo(start).isDir()) {
        picker.setDirectory(start);
        picker.selectFile(start);
    }
    if (!RunPicker(picker)) return false;
    const QStringList chosen = picker.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return false;
    Folder = QDir::toNativeSeparators(chosen.front());
    return true;
}

}  // namespace tabrook
