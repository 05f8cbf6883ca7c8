#include "windows/TfrmMsgBox.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "transfer/TransferSettings.h"
#include "windows/HelpViewer.h"
#include "windows/TCSpinEdit.h"

namespace tabrook {

namespace {
QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QLabel* RedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    return label;
}
}  // namespace

TfrmMsgBox::TfrmMsgBox(QWidget* parent) : QDialog(parent) {
    setObjectName("TfrmMsgBox");
    // No close box and no system menu: the dialog ends only through its buttons or Esc.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* lines = new QVBoxLayout(panel);
    for (int i = 0; i < 3; ++i) {
        lblMsg[i] = i == 2 ? RedLabel(QString(), panel) : new QLabel(panel);
        lblMsg[i]->setObjectName(QString("lblMsg%1").arg(i + 1));
        lines->addWidget(lblMsg[i]);
    }

    // Every line keeps the height of a line of Japanese text, empty or not, so an empty line
    // leaves the others where they are (the fallback font of Japanese text is taller).
    QLabel sample(QString::fromUtf8("データをインポートします。Ag"));
    sample.setFont(lblMsg[0]->font());
    for (QLabel* line : lblMsg) line->setFixedHeight(sample.sizeHint().height());

    auto* label6 = new QLabel(QString::fromUtf8("中断までのエラー件数(&J)"), this);
    udErrBreak = new TCSpinEdit(ConfirmDialogModel::kMinErrorLimit, ConfirmDialogModel::kMaxErrorLimit, this);
    udErrBreak->setObjectName("udErrBreak");
    udErrBreak->setValue(model_.ErrorLimit());
    udErrBreak->setMinimumWidth(udErrBreak->fontMetrics().horizontalAdvance("9999999") + 40);
    label6->setBuddy(udErrBreak);
    lblWarn = RedLabel(QString::fromUtf8("エラーが発生しても中断しません"), this);
    lblWarn->setObjectName("lblWarn");
    cbBatBreak = new QCheckBox(QString::fromUtf8("中断時、後続バッチをキャンセル(&K)"), this);
    cbBatBreak->setObjectName("cbBatBreak");

    pbStart = new QPushButton(Text(model_.StartCaption), this);
    pbStart->setObjectName("pbStart");
    pbStart->setDefault(true);
    pbSingle = new QPushButton(QString::fromUtf8("単独実行(&G)"), this);
    pbSingle->setObjectName("pbSingle");
    pbCancel = new QPushButton(QStringLiteral("Cancel(&C)"), this);
    pbCancel->setObjectName("pbCancel");

    auto* limit = new QHBoxLayout;
    limit->addWidget(label6);
    limit->addWidget(udErrBreak);
    limit->addWidget(lblWarn);
    limit->addStretch(1);  // the spin box keeps its width whether the warning shows or not
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cbBatBreak);
    buttons->addStretch(1);
    buttons->addWidget(pbStart);
    buttons->addWidget(pbSingle);
    buttons->addWidget(pbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(limit);
    layout->addLayout(buttons);
    setTabOrder(pbStart, pbSingle);
    setTabOrder(pbSingle, pbCancel);

    connect(udErrBreak, &QSpinBox::valueChanged, this, &TfrmMsgBox::ErrBreakChanged);
    // The warning follows each key typed, before the value is committed by leaving the field.
    connect(udErrBreak->Editor(), &QLineEdit::textChanged, this,
            [this] { lblWarn->setVisible(udErrBreak->TypedValue() == 0); });
    connect(pbStart, &QPushButton::clicked, this, [this] { done(kConfirmStart); });
    connect(pbSingle, &QPushButton::clicked, this, [this] { done(kConfirmSingle); });
    // Esc rejects the dialog, which is the Cancel result as well.
    connect(pbCancel, &QPushButton::clicked, this, [this] { done(kConfirmCancel); });
    InstallHelpKey(this, HelpPageFor("TfrmMsgBox"));
    ErrBreakChanged(udErrBreak->value());
}

void TfrmMsgBox::ErrBreakChanged(int value) {
    model_.SetErrorLimit(value);
    lblWarn->setVisible(model_.WarningVisible());
}

void TfrmMsgBox::Prepare(const TransferSettings& settings) {
    setWindowTitle(QCoreApplication::applicationName());
    for (int i = 0; i < 3; ++i) lblMsg[i]->setText(Text(model_.MsgText[i]));
    model_.Show(settings);
    pbStart->setText(Text(model_.StartCaption));
    cbBatBreak->setVisible(model_.BatchBreakVisible);
    pbSingle->setVisible(model_.SingleVisible);
    udErrBreak->setValue(model_.ErrorLimit());
    cbBatBreak->setChecked(model_.BatchBreak);
    ErrBreakChanged(udErrBreak->value());
    pbStart->setFocus();
    FitAndCentre();
}

void TfrmMsgBox::FitAndCentre() {
    // The designed client area, made larger only where the texts of this showing need it.
    // The labels' new texts reach the layouts only through posted requests: every layout
    // forgets its sizes now, so the ones of this showing count (also when they are smaller).
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (QLayout* inner : findChildren<QLayout*>()) inner->invalidate();
    layout()->invalidate();
    layout()->activate();
    const QSize needed = layout()->totalSizeHint();
    setFixedSize(std::max(kClientWidth, needed.width()), std::max(kClientHeight, needed.height()));
    if (const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TfrmMsgBox::Finish(int result, TransferSettings& settings) {
    model_.SetErrorLimit(udErrBreak->value());
    model_.BatchBreak = cbBatBreak->isChecked();
    model_.Close(result, settings);
}

int TfrmMsgBox::Execute(TransferSettings& settings) {
    Prepare(settings);
    int result = exec();
    if (result == QDialog::Rejected) result = kConfirmCancel;  // Esc
    Finish(result, settings);
    return result;
}

}  // namespace tabrook
