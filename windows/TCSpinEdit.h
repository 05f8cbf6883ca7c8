#pragma once
// An integer spin edit with a minimum and a maximum. Unlike a plain spin box it lets the user
// type any whole number: a typed value outside the range is brought back into it when the
// field is left or Enter is pressed, instead of being refused key by key.

#include <QSpinBox>

namespace tabrook {

class TCSpinEdit : public QSpinBox {
public:
    TCSpinEdit(int minimum, int maximum, QWidget* parent = nullptr);
    // The value the text typed so far stands for (brought into the range), before it is
    // committed by Enter or by leaving the field.
    int TypedValue() const { return valueFromText(text()); }
    // The field the user types into.
    QLineEdit* Editor() const { return lineEdit(); }

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    int valueFromText(const QString& text) const override;
    void fixup(QString& input) const override;
};

}  // namespace tabrook
