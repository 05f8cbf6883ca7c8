#include "windows/TfmTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/JobListModel.h"
#include "transfer/RunContext.h"
#include "transfer/Tdm.h"
#include "windows/HelpViewer.h"
#include "windows/JobWindowOwner.h"
#include "windows/TfmJob.h"

namespace tabrook {

TfmTable::TfmTable(Tdm& dm, Host& host, RunContext& context, TfmJob& jobWindow, JobWindowOwner& owner, QWidget* parent)
    : QDialog(parent), dm_(dm), context_(context), jobWindow_(jobWindow), owner_(owner), loader_(dm, host) {
    setObjectName("TfmTable");
    setWindowTitle("Table");
    resize(298, 416);
    setMinimumSize(298, 118);

    rbTable = new QRadioButton("&TABLE", this);
    rbTable->setObjectName("rbTable");
    rbTable->setChecked(true);
    rbView = new QRadioButton("&VIEW", this);
    rbView->setObjectName("rbView");
    edFilter = new QLineEdit(this);
    edFilter->setObjectName("edFilter");
    edFilter->setPlaceholderText(QString::fromUtf8("絞り込み"));
    edFilter->setClearButtonEnabled(true);
    lbTable = new QListWidget(this);
    lbTable->setObjectName("lbTable");
    lbTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbTable->setSortingEnabled(false);
    lbTable->setUniformItemSizes(true);  // keeps ten thousand names cheap to lay out
    lbTable->setContextMenuPolicy(Qt::ActionsContextMenu);
    lbTable->installEventFilter(this);
    edFilter->installEventFilter(this);
    pbOk = new QPushButton("&OK", this);
    pbOk->setObjectName("pbOk");
    pbOk->setAutoDefault(false);
    pbCancel = new QPushButton("&Cancel", this);
    pbCancel->setObjectName("pbCancel");
    pbCancel->setAutoDefault(false);

    mnAddJob = new QAction(QString::fromUtf8("JobListへ登録(&E)"), lbTable);
    mnAddJob->setObjectName("mnAddJob");
    mnAddJob->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mnAddJob->setShortcutContext(Qt::WindowShortcut);
    lbTable->addAction(mnAddJob);

    auto* kinds = new QHBoxLayout;
    kinds->addWidget(rbTable);
    kinds->addWidget(rbView);
    kinds->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(pbOk);
    buttons->addWidget(pbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kinds);
    layout->addWidget(edFilter);
    layout->addWidget(lbTable, 1);
    layout->addLayout(buttons);

    // A click on a radio button loads the list again, once the click has been handled.
    connect(rbTable, &QRadioButton::clicked, this, [this] { QTimer::singleShot(0, this, &TfmTable::LoadObjectList); });
    connect(rbView, &QRadioButton::clicked, this, [this] { QTimer::singleShot(0, this, &TfmTable::LoadObjectList); });
    connect(edFilter, &QLineEdit::textChanged, this, &TfmTable::SetFilter);
    connect(lbTable, &QListWidget::itemDoubleClicked, this, [this] { pbOkClick(); });
    connect(pbOk, &QPushButton::clicked, this, &TfmTable::pbOkClick);
    connect(pbCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(mnAddJob, &QAction::triggered, this, &TfmTable::mnAddJobClick);
    InstallHelpKey(this, HelpPageFor("TfmTable"));
}

void TfmTable::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Every showing starts unfiltered: a filter left from the last one would hide the name typed
    // in the main window.
    edFilter->clear();
    (context_.IsTable ? rbTable : rbView)->setChecked(true);
    // The list loads once the window is on the screen.
    QTimer::singleShot(0, this, &TfmTable::LoadObjectList);
}

void TfmTable::LoadObjectList() {
    const unsigned number = ++loadNumber_;
    CancelLoad = false;
    lbTable->clear();
    repaint();
    loader_.Start(rbTable->isChecked() ? TableListLoader::Kind::Table : TableListLoader::Kind::View);
    while (loader_.Loading()) {
        const int from = lbTable->count();
        loader_.LoadSlice(kSlice);
        const auto& names = loader_.Names();
        for (std::size_t i = static_cast<std::size_t>(from); i < names.size(); ++i) {
            lbTable->addItem(QString::fromStdString(names[i]));
        }
        ApplyFilter(from);
        // Let the window repaint and Esc, a radio click or the close arrive.
        QCoreApplication::processEvents();
        if (number != loadNumber_) return;  // a newer load took over the list
        if (CancelLoad || !isVisible()) loader_.Cancel();
    }
    ApplyPreselection();
    ++loadsFinished_;
}

void TfmTable::ApplyFilter(int from) {
    const std::string filter = edFilter->text().toStdString();
    std::vector<bool> shown(static_cast<std::size_t>(lbTable->count()), false);
    for (std::size_t i : loader_.Matching(filter)) {
        if (i < shown.size()) shown[i] = true;
    }
    for (int row = from; row < lbTable->count(); ++row)
        lbTable->item(row)->setHidden(!shown[static_cast<std::size_t>(row)]);
}

void TfmTable::SetFilter(const QString&) {
    ApplyFilter(0);
    QListWidgetItem* current = lbTable->currentItem();
    if (current != nullptr && !current->isHidden()) {
        lbTable->scrollToItem(current, QAbstractItemView::PositionAtCenter);
    } else {
        lbTable->scrollToTop();
    }
}

void TfmTable::ApplyPreselection() {
    const std::size_t preset = loader_.Preselect(PresetName.toStdString());
    lbTable->clearSelection();
    if (preset == TableListLoader::kNone || static_cast<int>(preset) >= lbTable->count()) return;
    QListWidgetItem* item = lbTable->item(static_cast<int>(preset));
    lbTable->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
    lbTable->scrollToItem(item, QAbstractItemView::PositionAtCenter);
}

void TfmTable::pbOkClick() {
    // The item with the focus rectangle; with none (nothing preselected, nothing clicked) the
    // name typed in the main window stays.
    QListWidgetItem* current = lbTable->count() > 0 ? lbTable->currentItem() : nullptr;
    if (current != nullptr)
        context_.TableName = current->text().toStdString();
    else if (lbTable->count() > 0)
        context_.TableName = PresetName.toStdString();
    else
        context_.TableName.clear();
    accept();
}

void TfmTable::CentreOnScreen() {
    const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shown == nullptr) return;
    QRect frame = frameGeometry();
    frame.moveCenter(shown->availableGeometry().center());
    move(frame.topLeft());
}

void TfmTable::SelectAllShown() {
    QItemSelection all;
    for (int row = 0; row < lbTable->count(); ++row) {
        if (lbTable->item(row)->isHidden()) continue;
        const QModelIndex index = lbTable->model()->index(row, 0);
        all.select(index, index);
    }
    lbTable->selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
}

void TfmTable::mnAddJobClick() {
    if (!jobWindow_.isVisible()) {
        jobWindow_.show();
        raise();
        activateWindow();
    }
    const std::string folder = WithTrailingSeparator(owner_.CsvOpenFolder());
    std::vector<std::pair<std::string, std::string>> jobs;
    for (int row = 0; row < lbTable->count(); ++row) {
        const QListWidgetItem* item = lbTable->item(row);
        // Names the filter hides are not added, even when an earlier Ctrl+A selected them.
        if (!item->isSelected() || item->isHidden()) continue;
        std::string name = item->text().toStdString();
        std::string csv = TableListLoader::CsvFileFor(folder, name);
        jobs.emplace_back(std::move(name), std::move(csv));
    }
    // One step for the whole selection: adding name by name rebuilt the list for every name.
    jobWindow_.AddJobs(jobs);
    jobWindow_.SyncJobList();
}

void TfmTable::keyPressEvent(QKeyEvent* event) {
    // Esc only stops a load; it never closes the chooser.
    if (event->key() == Qt::Key_Escape) {
        CancelLoad = true;
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfmTable::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == lbTable || watched == edFilter)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            CancelLoad = true;
            return true;
        }
        if (watched == lbTable && key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_A) {
            SelectAllShown();
            return true;
        }
        if (watched == lbTable && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            pbOkClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmTable::done(int result) {
    // The cursor is shared: a load still running ends with the window.
    loader_.Cancel();
    ++loadNumber_;
    QDialog::done(result);
}

}  // namespace tabrook
