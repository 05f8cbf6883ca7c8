#include "windows/TfmJob.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <algorithm>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/RegistrySettings.h"
#include "transfer/Host.h"
#include "transfer/Job.h"
#include "transfer/RunContext.h"
#include "transfer/TransferSettings.h"
#include "windows/HelpViewer.h"
#include "windows/JobWindowOwner.h"
#include "windows/QtHost.h"
#include "windows/TFolderDialog.h"
#include "windows/TfrmMsgBox.h"

namespace tabrook {

const char* const kListFileFilter = "ﾘｽﾄﾌｧｲﾙ(*.LST) (*.LST *.lst);;すべてのﾌｧｲﾙ(*.*) (*)";
const char* const kCsvFileFilter = "CSVﾌｧｲﾙ(*.csv) (*.csv *.CSV);;全てのﾌｧｲﾙ(*.*) (*)";

namespace {
QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
std::string Std(const QString& text) {
    return text.toStdString();
}

struct Column {
    const char* caption;
    int width;
    Qt::Alignment alignment;
};
constexpr Column kColumns[] = {
    {"TABLE", 100, Qt::AlignLeft},  {"CSV", 160, Qt::AlignLeft},     {"STATUS", 200, Qt::AlignLeft},
    {"Record", 55, Qt::AlignRight}, {"Success", 55, Qt::AlignRight}, {"Error", 55, Qt::AlignRight},
};

// The CSV column cuts a long path at its start: the file name stays in view.
class FileNameFirstDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideLeft;
    }
};

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}
}  // namespace

TfmJob::TfmJob(RunContext& context, TransferSettings& settings, Host& host, JobWindowOwner& owner, TfrmMsgBox& msgBox,
               QWidget* parent)
    : QWidget(parent, Qt::Window),
      context_(context),
      settings_(settings),
      host_(host),
      owner_(owner),
      msgBox_(msgBox),
      model_(context) {
    setObjectName("TfmJob");
    setWindowTitle("JobList");
    resize(422, 293);
    setMinimumSize(272, 118);

    pbLoad = Button("Load(&L)", "pbLoad", this);
    pbSave = Button("Save(&S)", "pbSave", this);
    pbExec = Button("Execute(&X)", "pbExec", this);
    auto* top = new QHBoxLayout;
    top->addWidget(pbLoad);
    top->addWidget(pbSave);
    top->addStretch(1);
    top->addWidget(pbExec);

    lvJob = new QTreeWidget(this);
    lvJob->setObjectName("lvJob");
    lvJob->setRootIsDecorated(false);
    lvJob->setUniformRowHeights(true);
    lvJob->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvJob->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvJob->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvJob->setContextMenuPolicy(Qt::CustomContextMenu);
    // A cut path keeps its start and its file name.
    lvJob->setTextElideMode(Qt::ElideMiddle);
    lvJob->setColumnCount(6);
    QStringList captions;
    for (const Column& column : kColumns) captions << column.caption;
    lvJob->setHeaderLabels(captions);
    for (int i = 0; i < 6; ++i) lvJob->headerItem()->setTextAlignment(i, kColumns[i].alignment | Qt::AlignVCenter);
    lvJob->setItemDelegateForColumn(1, new FileNameFirstDelegate(lvJob));
    // At the window's first size every caption shows: STATUS and the counts take the width of
    // their captions (the counts that of six digits), TABLE and CSV share the rest, and the
    // width a larger window brings.
    QHeaderView* header = lvJob->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(24);
    for (int i = 0; i < 6; ++i) {
        if (i < 2) {
            header->setSectionResizeMode(i, QHeaderView::Stretch);
            continue;
        }
        const QFontMetrics metrics(header->font());
        int width = metrics.horizontalAdvance(QString::fromLatin1(kColumns[i].caption)) + kCaptionPadding;
        if (i > 2) width = std::max(width, metrics.horizontalAdvance(QStringLiteral("999999")) + kCaptionPadding);
        lvJob->setColumnWidth(i, std::min(width, kColumns[i].width));
    }
    lvJob->installEventFilter(this);

    pbDel = Button("Delete(&D)", "pbDel", this);
    pbUp = Button(QString::fromUtf8("↑"), "pbUp", this);
    pbUp->setFixedSize(23, 23);
    pbDown = Button(QString::fromUtf8("↓"), "pbDown", this);
    pbDown->setFixedSize(23, 23);
    pbClose = Button("Close(&C)", "pbClose", this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(pbDel);
    bottom->addWidget(pbUp);
    bottom->addWidget(pbDown);
    bottom->addStretch(1);
    bottom->addWidget(pbClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lvJob, 1);
    layout->addLayout(bottom);

    pn = new QMenu(this);
    pn->setObjectName("pn");
    mnSet = pn->addAction(QString::fromUtf8("セット(&S)"));
    mnSet->setObjectName("mnSet");
    mnSet->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnFile = pn->addAction(Text(model_.FileMenuCaption()));
    mnFile->setObjectName("mnFile");
    mnFile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    // The shortcuts act in the whole window, also when the menu is closed.
    for (QAction* action : {mnSet, mnFile}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }

    connect(pbLoad, &QPushButton::clicked, this, &TfmJob::pbLoadClick);
    connect(pbSave, &QPushButton::clicked, this, &TfmJob::pbSaveClick);
    connect(pbExec, &QPushButton::clicked, this, &TfmJob::pbExecClick);
    connect(pbDel, &QPushButton::clicked, this, &TfmJob::pbDelClick);
    connect(pbUp, &QPushButton::clicked, this, &TfmJob::pbUpClick);
    connect(pbDown, &QPushButton::clicked, this, &TfmJob::pbDownClick);
    connect(pbClose, &QPushButton::clicked, this, &QWidget::hide);
    connect(mnSet, &QAction::triggered, this, &TfmJob::mnSetClick);
    connect(mnFile, &QAction::triggered, this, &TfmJob::mnFileClick);
    connect(lvJob, &QTreeWidget::itemSelectionChanged, this, &TfmJob::SelectionFromView);
    connect(lvJob, &QTreeWidget::itemClicked, this, [this] { UpdateJobButtons(); });
    connect(lvJob, &QTreeWidget::itemDoubleClicked, this, [this] { lvJobDblClick(); });
    connect(lvJob, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        pnPopup();
        pn->popup(lvJob->viewport()->mapToGlobal(at));
    });

    model_.SetObserver([this](std::size_t index) { RowsChanged(index); });
    InstallHelpKey(this, HelpPageFor("TfmJob"));
    UpdateJobButtons();
}

// ---- Rows on the screen ----

void TfmJob::FillRow(int index) {
    const JobRow& row = model_.Rows()[static_cast<std::size_t>(index)];
    QTreeWidgetItem* item = lvJob->topLevelItem(index);
    const std::string* texts[] = {&row.Table, &row.Csv, &row.Status, &row.RecordText, &row.SuccessText, &row.ErrorText};
    for (int i = 0; i < 6; ++i) {
        item->setText(i, Text(*texts[i]));
        // Paths and messages are often wider than their column: the whole text is the tooltip.
        if (i < 3) item->setToolTip(i, Text(*texts[i]));
        item->setTextAlignment(i, kColumns[i].alignment | Qt::AlignVCenter);
        // A job that failed in the last run stands out in red.
        item->setForeground(i, row.Failed() ? QBrush(Qt::red) : QBrush());
    }
}

void TfmJob::RowsChanged(std::size_t index) {
    filling_ = true;
    if (index == JobListModel::kAllRows) {
        const int current = lvJob->currentIndex().row();
        lvJob->clear();
        for (std::size_t i = 0; i < model_.Count(); ++i) {
            lvJob->addTopLevelItem(new QTreeWidgetItem);
            FillRow(static_cast<int>(i));
        }
        for (std::size_t i = 0; i < model_.Count(); ++i) {
            lvJob->topLevelItem(static_cast<int>(i))->setSelected(model_.Rows()[i].Selected);
        }
        if (current >= 0 && current < lvJob->topLevelItemCount()) {
            lvJob->setCurrentItem(lvJob->topLevelItem(current), 0, QItemSelectionModel::NoUpdate);
        }
    } else if (index < model_.Count() && static_cast<int>(index) < lvJob->topLevelItemCount()) {
        FillRow(static_cast<int>(index));
    }
    filling_ = false;
}

void TfmJob::SelectionFromView() {
    if (filling_) return;
    for (int i = 0; i < lvJob->topLevelItemCount(); ++i) {
        model_.Select(static_cast<std::size_t>(i), lvJob->topLevelItem(i)->isSelected());
    }
    if (!model_.Running()) UpdateJobButtons();
}

void TfmJob::UpdateJobButtons() {
    const JobButtons buttons = model_.Buttons(owner_.Connected());
    pbLoad->setEnabled(buttons.Load);
    pbSave->setEnabled(buttons.Save);
    pbDel->setEnabled(buttons.Delete);
    pbExec->setEnabled(buttons.Execute);
    pbUp->setEnabled(buttons.Up);
    pbDown->setEnabled(buttons.Down);
}

// ---- Operations of the other windows ----

bool TfmJob::AddJob(const std::string& table, const std::string& csv) {
    const bool added = model_.AddJob(table, csv);
    if (!model_.Running()) UpdateJobButtons();
    return added;
}

std::size_t TfmJob::AddJobs(const std::vector<std::pair<std::string, std::string>>& jobs) {
    const std::size_t added = model_.AddJobs(jobs);
    if (!model_.Running()) UpdateJobButtons();
    return added;
}

bool TfmJob::ReplaceJob(const std::string& table, const std::string& csv) {
    const bool replaced = model_.ReplaceJob(table, csv);
    if (!model_.Running()) UpdateJobButtons();
    return replaced;
}

void TfmJob::SyncJobList() {
    model_.SyncJobList();
}

void TfmJob::ShowJobList() {
    model_.ShowJobList();
}

void TfmJob::ShowJobRow(std::size_t index, const Job& job) {
    if (!isVisible()) return;
    model_.ShowJobRow(index, job);
    lvJob->viewport()->update();
}

// ---- Commands ----

void TfmJob::pbLoadClick() {
    if (model_.Running()) return;
    const QString path = ChooseListFileToOpen();
    if (!path.isEmpty()) {
        ListFileChosen(path);
        // An unreadable file is reported by the reader; the list stays empty.
        int listMode = -1;
        if (model_.Load(Std(path), host_, &listMode)) {
            // A list saved for the other direction would read what it was meant to write.
            const std::string question = JobListModel::ModeSwitchQuestion(listMode, settings_.Mode);
            if (!question.empty() && AskYesNo(Text(question))) owner_.SwitchMode(listMode);
        }
        owner_.ShowSettings();
    }
    UpdateJobButtons();
}

void TfmJob::pbSaveClick() {
    if (model_.Running()) return;
    const QString path = ChooseListFileToSave();
    if (!path.isEmpty()) {
        ListFileChosen(path);
        std::string message;
        if (!model_.Save(Std(path), settings_.Mode == 1 ? 1 : 0, &message)) Warn(Text(message));
    }
    UpdateJobButtons();
}

void TfmJob::pbExecClick() {
    if (model_.Running()) return;
    msgBox_.Model().SetJobWindow(settings_.Mode, settings_.Truncate);
    if (Confirm() == kConfirmCancel) {
        UpdateJobButtons();
        return;
    }
    // The rows selected here are the jobs that run.
    model_.SyncJobList();
    owner_.StartJobListRun();
    raise();
    activateWindow();
}

void TfmJob::pbDelClick() {
    if (model_.DeleteSelected()) UpdateJobButtons();
}

void TfmJob::pbUpClick() {
    MoveBlock(-1);
}

void TfmJob::pbDownClick() {
    MoveBlock(+1);
}

void TfmJob::MoveBlock(int by) {
    // The focus rectangle moves with the block, so the next arrow key goes on from there.
    const int current = lvJob->currentIndex().row();
    const bool inBlock = current >= 0 && static_cast<std::size_t>(current) < model_.Count() &&
                         model_.Rows()[static_cast<std::size_t>(current)].Selected;
    const bool moved = by < 0 ? model_.MoveUp() : model_.MoveDown();
    if (!moved) return;
    const int next = current + by;
    if (inBlock && next >= 0 && next < lvJob->topLevelItemCount())
        lvJob->setCurrentItem(lvJob->topLevelItem(next), 0, QItemSelectionModel::NoUpdate);
    UpdateJobButtons();
}

void TfmJob::mnSetClick() {
    if (model_.Running()) return;
    const std::size_t first = model_.FirstSelected();
    if (first == JobListModel::kAllRows) return;
    const JobRow row = model_.Rows()[first];  // a copy: the previews may change the rows
    owner_.SetTableAndPreview(row.Table);
    owner_.SetCsvAndPreview(row.Csv);
}

void TfmJob::pnPopup() {
    const bool idle = !model_.Running();
    mnSet->setEnabled(idle);
    mnFile->setEnabled(idle);
    mnFile->setText(Text(model_.FileMenuCaption()));
}

void TfmJob::mnFileClick() {
    if (model_.Running()) return;
    const std::size_t selected = model_.SelectedCount();
    if (selected == 1) {
        const QString picked = ChooseCsvFile(Text(model_.Rows()[model_.FirstSelected()].Csv));
        if (!picked.isEmpty()) model_.SetFile(Std(picked));
    } else if (selected >= 2) {
        const QString start = Text(FolderOf(model_.Rows()[model_.FirstSelected()].Csv));
        const QString picked = ChooseFolder(start);
        if (!picked.isEmpty()) model_.SetFolder(WithTrailingSeparator(Std(picked)));
    }
    UpdateJobButtons();
}

void TfmJob::lvJobDblClick() {
    // Opening the error files is allowed during a run: the files of finished jobs are complete.
    for (const std::string& path : model_.ExistingErrorFiles()) {
        if (!host_.OpenWithShell(path)) host_.ShowInTextViewer(path);
    }
    if (!model_.Running()) UpdateJobButtons();
}

// ---- Dialogs ----

void TfmJob::ListFileChosen(const QString& path) {
    listFolder_ = QFileInfo(path).absolutePath();
    WriteListFolder(Std(listFolder_));
}

QString TfmJob::ChooseListFileToOpen() {
    return QFileDialog::getOpenFileName(this, QString(), listFolder_, QString::fromUtf8(kListFileFilter));
}

QString TfmJob::ChooseListFileToSave() {
    QFileDialog dialog(this, QString(), listFolder_, QString::fromUtf8(kListFileFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("lst");
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

QString TfmJob::ChooseCsvFile(const QString& current) {
    QFileDialog dialog(this, QString(), QFileInfo(current).absolutePath(), QString::fromUtf8(kCsvFileFilter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("csv");
    dialog.selectFile(QFileInfo(current).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

QString TfmJob::ChooseFolder(const QString& start) {
    TFolderDialog dlgFolderSel(this);
    dlgFolderSel.Folder = start;
    return dlgFolderSel.Execute() ? dlgFolderSel.Folder : QString();
}

int TfmJob::Confirm() {
    return msgBox_.Execute(settings_);
}

bool TfmJob::AskYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, this);
    KeepCaptionWhole(box);
    return box.exec() == QMessageBox::Yes;
}

void TfmJob::Warn(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text, QMessageBox::Ok, this);
    KeepCaptionWhole(box);
    box.exec();
}

// ---- Events ----

void TfmJob::showEvent(QShowEvent* event) {
    // A window restored by the desktop (not shown by the program) keeps its rows as they are.
    if (event->spontaneous()) return QWidget::showEvent(event);
    listFolder_ = Text(ReadListFolder());
    model_.ShowJobList();
    UpdateJobButtons();
    QWidget::showEvent(event);
}

void TfmJob::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        owner_.EscapePressed();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TfmJob::eventFilter(QObject* watched, QEvent* event) {
    if (watched != lvJob || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        owner_.EscapePressed();
        return true;
    }
    if (model_.Running()) return false;
    bool consumed = false;
    if (key->modifiers() == Qt::AltModifier && key->key() == Qt::Key_Up) {
        if (pbUp->isEnabled()) pbUpClick();
        consumed = true;
    } else if (key->modifiers() == Qt::AltModifier && key->key() == Qt::Key_Down) {
        if (pbDown->isEnabled()) pbDownClick();
        consumed = true;
    } else if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_A) {
        lvJob->selectAll();
        consumed = true;
    }
    if (consumed) UpdateJobButtons();
    return consumed;
}

}  // namespace tabrook
