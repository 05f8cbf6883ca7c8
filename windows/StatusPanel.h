#pragma once
// A panel of the status bar that always keeps one line: a text of several lines, or one too
// wide for the panel, shows its first line cut with an ellipsis, and the whole text is the
// panel's tooltip. So a long Oracle message never makes the status bar taller (and the grid
// smaller).

#include <QLabel>

namespace tabrook {

class StatusPanel : public QLabel {
public:
    explicit StatusPanel(QWidget* parent = nullptr);

    void SetFullText(const QString& text);
    const QString& FullText() const { return full_; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Elide();

    QString full_;
};

}  // namespace tabrook
