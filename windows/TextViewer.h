#pragma once
// The program's own read-only text viewer, for the error files when the desktop has no program
// to open them with. Files are shown byte for byte as the system's 8-bit text; a file that is
// not valid UTF-8 is shown as Shift-JIS, the code page the data files are written in.

#include <QPlainTextEdit>
#include <QString>

namespace tabrook {

class TextViewer : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextViewer(QWidget* parent = nullptr);
    // Loads path; false (with the reason shown in the viewer) when it cannot be read.
    bool Open(const QString& path);
    QString Path() const { return path_; }

private:
    QString path_;
};

// Opens path in a new viewer window (deleted when closed) and returns it.
TextViewer* ShowTextFile(const QString& path);

}  // namespace tabrook
