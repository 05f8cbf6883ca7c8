#pragma once
// A plain question box that confirms a run until the full confirmation dialog (with its error
// limit fields) takes its place: the three message lines, and the buttons of the box mode.

#include "app/MainController.h"

class QWidget;

namespace tabrook {

class RunConfirmBox : public RunConfirmDialog {
public:
  explicit RunConfirmBox(QWidget* parent) : parent_(parent) {}
  ConfirmAnswer Ask(const std::array<std::string, 3>& lines, int boxMode) override;

private:
  QWidget* parent_;
};

}  // namespace tabrook
