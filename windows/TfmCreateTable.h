#pragma once
// The dialog that proposes a table made from the CSV file: a progress dialog with a cancel
// button while the file is read, then the CREATE TABLE statement in an editable text field
// with OK and Cancel.

#include <QDialog>

#include "app/MainController.h"

class QPlainTextEdit;

namespace tabrook {

class TfmCreateTable : public QDialog, public CreateTableDialog {
    Q_OBJECT
public:
    explicit TfmCreateTable(QWidget* parent = nullptr);

    std::optional<std::string> Ask(const std::function<TableProposal(const ScanProgress&)>& propose,
                                   std::string& failure) override;

    QPlainTextEdit* edStatement = nullptr;
};

}  // namespace tabrook
