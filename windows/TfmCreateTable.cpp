#include "windows/TfmCreateTable.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include "windows/QtFonts.h"

namespace tabrook {

namespace {
constexpr int kProgressSteps = 1000;
}

TfmCreateTable::TfmCreateTable(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("テーブルの作成"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("CSVファイルから作るテーブル(&S):"), this);
    edStatement = new QPlainTextEdit(this);
    edStatement->setFont(FixedFont());
    edStatement->setLineWrapMode(QPlainTextEdit::NoWrap);
    label->setBuddy(edStatement);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("作成(&O)"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    layout->addWidget(label);
    layout->addWidget(edStatement, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(560, 360);
}

std::optional<std::string> TfmCreateTable::Ask(const std::function<TableProposal(const ScanProgress&)>& propose,
                                               std::string& failure) {
    // A large file is read under a progress dialog that can stop it; a small one never shows it.
    QProgressDialog progress(QStringLiteral("CSVファイルを読んでいます..."), QStringLiteral("キャンセル"), 0,
                             kProgressSteps, parentWidget());
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const TableProposal proposal = propose([&progress](long long done, long long total) {
        progress.setValue(total > 0 ? static_cast<int>(done * kProgressSteps / total) : 0);
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.reset();
    if (proposal.Cancelled) return std::nullopt;
    if (!proposal.Failure.empty()) {
        failure = proposal.Failure;
        return std::nullopt;
    }
    edStatement->setPlainText(QString::fromStdString(proposal.Statement));
    if (exec() != QDialog::Accepted) return std::nullopt;
    return edStatement->toPlainText().toStdString();
}

}  // namespace tabrook
