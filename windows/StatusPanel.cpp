#include "windows/StatusPanel.h"

#include <QResizeEvent>

namespace tabrook {

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent) {
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
}

void StatusPanel::SetFullText(const QString& text) {
    full_ = text;
    Elide();
}

QSize StatusPanel::minimumSizeHint() const {
    // One line high whatever the text; as narrow as the layout wants.
    return QSize(0, fontMetrics().height() + 2 * frameWidth());
}

QSize StatusPanel::sizeHint() const {
    return QSize(QLabel::minimumWidth(), minimumSizeHint().height());
}

void StatusPanel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void StatusPanel::Elide() {
    QString line = full_.section(QLatin1Char('\n'), 0, 0);
    if (line.size() < full_.size()) line += QStringLiteral(" …");
    const QString shown = fontMetrics().elidedText(line, Qt::ElideRight, std::max(0, contentsRect().width() - 4));
    setToolTip(shown == full_ ? QString() : full_);
    QLabel::setText(shown);
}

}  // namespace tabrook
