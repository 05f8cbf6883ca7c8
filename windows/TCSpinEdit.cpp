#include "windows/TCSpinEdit.h"

#include <QRegularExpression>
#include <algorithm>

namespace tabrook {

TCSpinEdit::TCSpinEdit(int minimum, int maximum, QWidget* parent) : QSpinBox(parent) {
    setRange(minimum, maximum);
    setValue(minimum);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(false);
}

QValidator::State TCSpinEdit::validate(QString& text, int& /*pos*/) const {
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?\\d{0,12}\\s*$"));
    if (!number.match(text).hasMatch()) return QValidator::Invalid;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed == QLatin1String("-") || trimmed == QLatin1String("+"))
        return QValidator::Intermediate;
    return QValidator::Acceptable;
}

int TCSpinEdit::valueFromText(const QString& text) const {
    bool ok = false;
    const qlonglong typed = text.trimmed().toLongLong(&ok);
    if (!ok) return value();
    return static_cast<int>(std::clamp<qlonglong>(typed, minimum(), maximum()));
}

void TCSpinEdit::fixup(QString& input) const {
    input = QString::number(valueFromText(input));
}

}  // namespace tabrook
