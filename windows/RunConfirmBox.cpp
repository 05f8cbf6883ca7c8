#include "windows/RunConfirmBox.h"

#include <QMessageBox>
#include <QPushButton>

#include "windows/QtFonts.h"
#include "windows/QtHost.h"

namespace tabrook {

ConfirmAnswer RunConfirmBox::Ask(const std::array<std::string, 3>& lines, int boxMode) {
  QMessageBox box(parent_);
  box.setWindowTitle(QString::fromUtf8(kApplicationTitle));
  box.setFont(UiFont());
  box.setIcon(QMessageBox::Question);
  QStringList text;
  for (const std::string& line : lines)
    if (!line.empty()) text << QString::fromStdString(line);
  box.setText(text.join(QLatin1Char('\n')));
  QPushButton* jobList = nullptr;
  QPushButton* single = nullptr;
  if (boxMode == kBoxModeJobList) {
    jobList = box.addButton(QStringLiteral("バッチ開始(&S)"), QMessageBox::AcceptRole);
    single = box.addButton(QStringLiteral("単独実行(&G)"), QMessageBox::ActionRole);
  } else {
    single = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  }
  QPushButton* cancel = box.addButton(QStringLiteral("Cancel(&C)"), QMessageBox::RejectRole);
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  box.exec();
  if (jobList != nullptr && box.clickedButton() == jobList) return ConfirmAnswer::StartJobList;
  if (box.clickedButton() == single) return ConfirmAnswer::Single;
  return ConfirmAnswer::Cancel;
}

}  // namespace tabrook
