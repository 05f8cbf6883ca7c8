#include "windows/TfmMain.h"

#include <QApplication>
#include <algorithm>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include "app/RegistrySettings.h"
#include "transfer/LoadMode.h"
#include "transfer/TransferSettings.h"
#include "windows/GridTableModel.h"
#include "windows/HelpViewer.h"
#include "windows/QtFonts.h"
#include "windows/StatusPanel.h"
#include "windows/TCSpinEdit.h"

namespace tabrook {

namespace {

constexpr int kColumnWidth = 92;
constexpr int kRowNumberWidth = 34;
constexpr int kRowHeight = 20;
constexpr int kRepCRLimit = 6;
constexpr int kMinimumWidth = 720;
constexpr int kFirstWidth = 728;
constexpr int kFirstHeight = 358;
constexpr int kMinimumHeight = 182;

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QLineEdit* OneCharEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(1);
    edit->setFont(FixedFont());
    edit->setFixedWidth(24);
    return edit;
}

std::string Std(const QString& text) {
    return text.toStdString();
}
QString Qt_(const std::string& text) {
    return QString::fromStdString(text);
}

// Enter in a line edit, with the field's text at that moment.
template <typename F>
void OnEnter(QLineEdit* edit, QObject* context, F handler) {
    QObject::connect(edit, &QLineEdit::returnPressed, context, handler);
}

}  // namespace

TfmMain::TfmMain() {
    setWindowTitle(QStringLiteral("Tabrook+"));
    setFont(UiFont());
    setAcceptDrops(true);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);
    BuildPanel1();
    BuildGrid();
    BuildPanel2();
    layout->addWidget(Panel1);
    layout->addWidget(sgData, 1);
    layout->addWidget(Panel2);
    BuildStatusBar();
    // The smallest window keeps every control whole; the grid gives up its room first, down to
    // its header and one row.
    sgData->setMinimumHeight(3 * kRowHeight + 2 * sgData->frameWidth());
    // The same holds across: at least as wide as the controls' captions need in the font of
    // this display, which may be wider than the usual first size.
    const QSize needed = minimumSizeHint();
    setMinimumSize(std::max(kMinimumWidth, needed.width()), std::max(kMinimumHeight, needed.height()));
    resize(std::max(kFirstWidth, needed.width()), kFirstHeight);
    move(50, 50);
    // The window sees the keys of its fields first (Esc, Ctrl+Tab) and their focus changes.
    qApp->installEventFilter(this);
    InstallHelpKey(this, HelpPageFor("TfmMain"));
}

TfmMain::~TfmMain() {
    qApp->removeEventFilter(this);
    Detach();
}

void TfmMain::Detach() {
    // No control reaches the controller any more.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    if (sgData != nullptr) sgData->setModel(nullptr);
    delete gridModel_;
    gridModel_ = nullptr;
    controller_ = nullptr;
}

void TfmMain::BuildPanel1() {
    Panel1 = new QWidget(this);
    Panel1->setFixedHeight(81);
    auto* grid = new QGridLayout(Panel1);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);

    auto* mode = rgMode = new QGroupBox(QStringLiteral("Mode(&M)"), Panel1);
    auto* modeLayout = new QVBoxLayout(mode);
    modeLayout->setContentsMargins(6, 2, 6, 2);
    modeLayout->setSpacing(2);
    rbImport = new QRadioButton(QStringLiteral("Import"), mode);
    rbExport = new QRadioButton(QStringLiteral("Export"), mode);
    modeLayout->addWidget(rbImport);
    modeLayout->addWidget(rbExport);
    rgMode_ = new QButtonGroup(this);
    rgMode_->addButton(rbImport, 0);
    rgMode_->addButton(rbExport, 1);
    rbImport->setChecked(true);
    grid->addWidget(mode, 0, 0, 2, 1);

    edTable = new QLineEdit(Panel1);
    pbTable = new QPushButton(QStringLiteral("参照(&F)"), Panel1);
    pbCount = new QPushButton(QStringLiteral("Count"), Panel1);
    edCSV = new QLineEdit(Panel1);
    pbCSV = new QPushButton(QStringLiteral("参照(&R)"), Panel1);
    pbJobList = new QPushButton(QStringLiteral("JobList(&J)"), Panel1);
    pbJobAdd = new QPushButton(QStringLiteral("JobAdd(&A)"), Panel1);
    pbConnect = new QPushButton(QStringLiteral("ReConnect(&L)"), Panel1);
    edSep = OneCharEdit(Panel1);
    edDelim = OneCharEdit(Panel1);

    grid->addWidget(BuddyLabel(QStringLiteral("Table(&T)"), edTable, Panel1), 0, 1);
    grid->addWidget(edTable, 0, 2);
    grid->addWidget(pbTable, 0, 3);
    grid->addWidget(pbCount, 0, 4);
    grid->addWidget(pbJobList, 0, 5);
    grid->addWidget(pbJobAdd, 0, 6);
    auto* sepBox = new QHBoxLayout;
    sepBox->addWidget(BuddyLabel(QStringLiteral("区切り(&S)"), edSep, Panel1));
    sepBox->addWidget(edSep);
    grid->addLayout(sepBox, 0, 7);

    grid->addWidget(BuddyLabel(QStringLiteral("CSV(&C)"), edCSV, Panel1), 1, 1);
    grid->addWidget(edCSV, 1, 2);
    grid->addWidget(pbCSV, 1, 3);
    grid->addWidget(pbConnect, 1, 5, 1, 2);
    auto* delimBox = new QHBoxLayout;
    delimBox->addWidget(BuddyLabel(QStringLiteral("文字列(&D)"), edDelim, Panel1));
    delimBox->addWidget(edDelim);
    grid->addLayout(delimBox, 1, 7);
    grid->setColumnStretch(2, 1);
}

void TfmMain::BuildGrid() {
    sgData = new QTableView(this);
    sgData->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgData->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sgData->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgData->setShowGrid(true);
    sgData->setWordWrap(false);
    QHeaderView* columns = sgData->horizontalHeader();
    columns->setSectionsMovable(true);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setDefaultSectionSize(kColumnWidth);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setFixedHeight(2 * kRowHeight);
    columns->setHighlightSections(false);
    QHeaderView* rows = sgData->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(kRowHeight);
    rows->setMinimumSectionSize(kRowHeight);
    rows->setFixedWidth(kRowNumberWidth);
    rows->setHighlightSections(false);
}

void TfmMain::BuildPanel2() {
    Panel2 = new QWidget(this);
    auto* outer = new QHBoxLayout(Panel2);
    outer->setContentsMargins(6, 2, 6, 2);
    // Everything but End sits in a body that a run disables; End stays usable to cancel a run.
    panel2Body_ = new QWidget(Panel2);
    outer->addWidget(panel2Body_, 1);
    auto* grid = new QGridLayout(panel2Body_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);

    pbExecute = new QPushButton(QStringLiteral("Execute(&X)"), panel2Body_);
    pbExecute->setMinimumHeight(40);
    pbExecute->setFixedWidth(76);
    grid->addWidget(pbExecute, 0, 0, 3, 1);

    cbHead = new QCheckBox(QStringLiteral("ヘッダー行あり(&H)"), panel2Body_);
    cbTruncate = new QCheckBox(QStringLiteral("Importする前にTruncate(&Z)"), panel2Body_);
    cbTruncate->setEnabled(false);
    // How the rows meet a table that holds some already: inserted, or matched by its key.
    cmbLoadMode = new QComboBox(panel2Body_);
    cmbLoadMode->addItems({QStringLiteral("INSERT"), QStringLiteral("UPSERT"), QStringLiteral("UPDATE")});
    cmbLoadMode->setToolTip(QStringLiteral("INSERT: 全行を追加\nUPSERT: キーが一致する行は更新、ほかは追加\n"
                                           "UPDATE: キーが一致する行だけ更新（ない行はエラー）"));
    cmbLoadMode->setEnabled(false);
    grid->addWidget(cbHead, 0, 1);
    grid->addWidget(cbTruncate, 1, 1);
    // The file's side: the arrangement of the grid by its header names and its encoding; the
    // load mode beside them, in the column that has the room (the window keeps its width).
    pbArrange = new QPushButton(QStringLiteral("項目名で並べる(&G)"), panel2Body_);
    pbArrange->setToolTip(QStringLiteral("ヘッダー行の項目名と同じ名前のカラムを各項目の上に並べます"));
    auto* arrange = new QHBoxLayout;
    arrange->addWidget(pbArrange);
    arrange->addWidget(cmbLoadMode);
    arrange->addStretch();
    grid->addLayout(arrange, 0, 3);
    auto* encodingBox = new QHBoxLayout;
    cmbEncoding = new QComboBox(panel2Body_);
    cmbEncoding->addItems({QStringLiteral("クライアント"), QStringLiteral("自動判別"), QStringLiteral("UTF-8"),
                           QStringLiteral("UTF-8 BOM"), QStringLiteral("Shift-JIS"), QStringLiteral("EUC-JP"),
                           QStringLiteral("UTF-16LE")});
    cmbEncoding->setToolTip(QStringLiteral("CSVファイルの文字コード（クライアント: クライアント文字セットのまま）"));
    // Sized for the usual names; a longer one is elided, so the options panel keeps its width.
    cmbEncoding->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbEncoding->setMinimumContentsLength(6);
    encodingBox->addWidget(BuddyLabel(QStringLiteral("文字コード(&K)"), cmbEncoding, panel2Body_));
    encodingBox->addWidget(cmbEncoding);
    encodingBox->addStretch();
    grid->addLayout(encodingBox, 1, 3);

    auto* commit = new QHBoxLayout;
    cbAutoCmt = new QCheckBox(QStringLiteral("AutoCommit(&U)"), panel2Body_);
    udCmt = new TCSpinEdit(kMinCommitCount, kMaxCommitCount, panel2Body_);
    udCmt->setFixedWidth(64);
    commit->addWidget(cbAutoCmt);
    commit->addWidget(udCmt);
    commit->addStretch();
    grid->addLayout(commit, 0, 2);

    auto* replace = new QHBoxLayout;
    cbRepCR = new QCheckBox(QStringLiteral("改行置換(&B)"), panel2Body_);
    edRepCR = new QLineEdit(panel2Body_);
    edRepCR->setMaxLength(kRepCRLimit);
    edRepCR->setFont(FixedFont());
    // room for its six characters: the check box before it keeps its whole caption
    edRepCR->setFixedWidth(QFontMetrics(edRepCR->font()).horizontalAdvance(QStringLiteral("\\r\\n\\t")) + 10);
    cmbCRType = new QComboBox(panel2Body_);
    cmbCRType->addItems({QStringLiteral("CR+LF"), QStringLiteral("LF"), QStringLiteral("CR")});
    replace->setSpacing(4);
    replace->addWidget(cbRepCR);
    replace->addWidget(edRepCR);
    replace->addWidget(cmbCRType);
    replace->addStretch();
    grid->addLayout(replace, 1, 2);

    // The two format fields share a sub-panel of their own row, side by side, wide enough for
    // their default formats; the user drags the splitter between them.
    formatSplitter_ = new QSplitter(Qt::Horizontal, panel2Body_);
    formatSplitter_->setHandleWidth(3);
    auto half = [this](const QString& caption, QLineEdit*& edit) {
        auto* widget = new QWidget(formatSplitter_);
        auto* row = new QHBoxLayout(widget);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(4);
        edit = new QLineEdit(widget);
        edit->setFont(FixedFont());
        QLabel* label = BuddyLabel(caption, edit, widget);
        label->setFixedWidth(label->sizeHint().width());
        row->addWidget(label);
        row->addWidget(edit, 1);
        // A format longer than the field shows whole when the pointer rests on it.
        QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) { edit->setToolTip(text); });
        formatSplitter_->addWidget(widget);
    };
    half(QStringLiteral("日付書式(&W)"), edDateFmt);
    half(QStringLiteral("TimeStamp(&N)"), edDateTimeFmt);
    formatSplitter_->setChildrenCollapsible(false);
    grid->addWidget(formatSplitter_, 2, 1, 1, 3);
    grid->setColumnStretch(3, 1);

    pbEnd = new QPushButton(QStringLiteral("End(&E)"), Panel2);
    pbEnd->setMinimumHeight(40);
    pbEnd->setFixedWidth(64);
    outer->addWidget(pbEnd);
    // As high as its three rows need in the interface font.
    Panel2->setFixedHeight(Panel2->sizeHint().height());
}

void TfmMain::BuildStatusBar() {
    auto* bar = new QStatusBar(this);
    bar->setSizeGripEnabled(true);
    auto panel = [bar](const QString& text, int width, Qt::Alignment align, int stretch) {
        auto* label = new QLabel(text, bar);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(width);
        if (stretch == 0) label->setFixedWidth(width);
        label->setAlignment(align | Qt::AlignVCenter);
        bar->addWidget(label, stretch);
        return label;
    };
    panel(QStringLiteral("Success"), 50, Qt::AlignLeft, 0);
    sbSuccess = panel(QString(), 80, Qt::AlignRight, 0);
    panel(QStringLiteral("Error"), 50, Qt::AlignLeft, 0);
    sbError = panel(QString(), 80, Qt::AlignRight, 0);
    sbSplit = panel(QString(), 170, Qt::AlignLeft, 0);
    sbSplit->setVisible(false);
    // The message panel keeps one line: a long or many-line message is cut, whole in its tooltip.
    sbMessage = new StatusPanel(bar);
    sbMessage->setFrameShape(QFrame::Panel);
    sbMessage->setFrameShadow(QFrame::Sunken);
    sbMessage->setMinimumWidth(50);
    sbMessage->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    bar->addWidget(sbMessage, 1);
    // Beyond the five panels: how far the run has come.
    pgRun = new QProgressBar(bar);
    pgRun->setRange(0, 100);
    pgRun->setValue(0);
    pgRun->setFixedWidth(150);
    pgRun->setTextVisible(true);
    pgRun->setVisible(false);
    bar->addPermanentWidget(pgRun);
    setStatusBar(bar);
    tmProgress = new QTimer(this);
    tmProgress->setInterval(static_cast<int>(MainController::kProgressInterval.count()));
    connect(tmProgress, &QTimer::timeout, this, [this] {
        if (controller_ != nullptr) controller_->RefreshProgress();
    });
}

void TfmMain::Attach(MainController* controller) {
    controller_ = controller;
    gridModel_ = new GridTableModel(controller->Grid());
    sgData->setModel(gridModel_);
    gridModel_->SetSelectionListener([this] { ShowGridSelection(); });
    connect(gridModel_, &QAbstractItemModel::modelReset, this, [this] {
        // A new shape shows the header in model order again.
        QHeaderView* header = sgData->horizontalHeader();
        resettingHeader_ = true;
        for (int visual = 0; visual < header->count(); ++visual) {
            const int logical = header->logicalIndex(visual);
            if (logical != visual) header->moveSection(header->visualIndex(visual), visual);
        }
        resettingHeader_ = false;
        // A reset clears the view's selection: the grid's own selection (its rows) shows again.
        ShowGridSelection();
    });
    connect(sgData->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { TakeGridSelection(); });
    Connect();
}

void TfmMain::Connect() {
    MainController& c = *controller_;
    connect(rgMode_, &QButtonGroup::idClicked, this, [&c](int id) { c.ModeClicked(id); });
    connect(edSep, &QLineEdit::textEdited, this, [&c](const QString& t) { c.SeparatorChanged(Std(t)); });
    connect(edDelim, &QLineEdit::textEdited, this, [&c](const QString& t) { c.DelimiterChanged(Std(t)); });
    connect(cbHead, &QCheckBox::clicked, this, [&c](bool on) { c.HeadClicked(on); });
    connect(cbTruncate, &QCheckBox::clicked, this, [&c](bool on) { c.TruncateClicked(on); });
    connect(cmbLoadMode, &QComboBox::activated, this, [&c](int i) { c.LoadModeClicked(i); });
    connect(cbAutoCmt, &QCheckBox::clicked, this, [&c](bool on) { c.AutoCommitClicked(on); });
    connect(udCmt, &QSpinBox::valueChanged, this, [&c](int v) { c.CommitCountChanged(v); });
    connect(cbRepCR, &QCheckBox::clicked, this, [&c](bool on) { c.ReplaceCRClicked(on); });
    connect(edRepCR, &QLineEdit::textChanged, this, [&c](const QString& t) { c.ReplaceCRStringChanged(Std(t)); });
    connect(cmbCRType, &QComboBox::activated, this, [&c](int i) { c.CRTypeClicked(i); });
    connect(cmbEncoding, &QComboBox::activated, this, [&c](int i) { c.EncodingChosen(i); });
    connect(pbArrange, &QPushButton::clicked, this, [&c] { c.ArrangeByHeaderClicked(); });
    QHeaderView* header = sgData->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QHeaderView::customContextMenuRequested, this, [this, header, &c](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("項目名で並べる(&G)"), this, [&c] { c.ArrangeByHeaderClicked(); });
        menu.exec(header->mapToGlobal(at));
    });
    OnEnter(edSep, this, [&c] { c.SeparatorEnter(); });
    OnEnter(edDelim, this, [&c] { c.SeparatorEnter(); });

    connect(edTable, &QLineEdit::textEdited, this, [&c](const QString& t) { c.TableChanged(Std(t)); });
    OnEnter(edTable, this, [&c] { c.TableEnter(); });
    connect(pbTable, &QPushButton::clicked, this, [&c] { c.TableButtonClicked(); });
    connect(edCSV, &QLineEdit::textEdited, this, [&c](const QString& t) { c.CsvChanged(Std(t)); });
    OnEnter(edCSV, this, [&c] { c.CsvEnter(); });
    connect(pbCSV, &QPushButton::clicked, this, [&c] { c.CsvButtonClicked(); });
    OnEnter(edDateFmt, this, [this, &c] { c.DateFmtEnter(Std(edDateFmt->text())); });
    OnEnter(edDateTimeFmt, this, [this, &c] { c.TimestampFmtEnter(Std(edDateTimeFmt->text())); });

    connect(pbCount, &QPushButton::clicked, this, [&c] { c.Count(); });
    connect(pbJobAdd, &QPushButton::clicked, this, [&c] { c.JobAdd(); });
    connect(pbJobList, &QPushButton::clicked, this, [&c] { c.JobList(); });
    connect(pbConnect, &QPushButton::clicked, this, [&c] { c.ReConnect(); });
    connect(pbExecute, &QPushButton::clicked, this, [&c] { c.Execute(); });
    connect(pbEnd, &QPushButton::clicked, this, [this] { close(); });

    connect(sgData->horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this, &c](int /*logical*/, int oldVisual, int newVisual) {
                if (resettingHeader_) return;
                // The model moves the column (and, in Import mode, puts the data back); the header
                // then shows model order again through the model's reset.
                c.ColumnMoved(oldVisual + GridModel::kFixedCols, newVisual + GridModel::kFixedCols);
            });
}

void TfmMain::ShowGridSelection() {
    if (sgData->selectionModel() == nullptr || gridModel_ == nullptr || controller_ == nullptr) return;
    const GridModel::Selection& s = controller_->Grid().CurrentSelection();
    const int top = std::max(0, s.Top - GridModel::kFixedRows);
    const int bottom = s.Bottom - GridModel::kFixedRows;
    const int last = gridModel_->columnCount() - 1;
    if (bottom < top || last < 0) return;
    QItemSelection selection(gridModel_->index(top, 0), gridModel_->index(bottom, last));
    sgData->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void TfmMain::TakeGridSelection() {
    if (controller_ == nullptr || gridModel_ == nullptr) return;
    const QModelIndexList rows = sgData->selectionModel()->selectedIndexes();
    if (rows.isEmpty()) return;
    int top = rows.first().row();
    int bottom = top;
    for (const QModelIndex& index : rows) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
    }
    GridModel::Selection selection = controller_->Grid().CurrentSelection();
    selection.Top = top + GridModel::kFixedRows;
    selection.Bottom = bottom + GridModel::kFixedRows;
    controller_->Grid().SetSelection(selection);
}

// ---- StartUi ----

void TfmMain::PostToUi(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void TfmMain::Quit(int status) {
    QCoreApplication::exit(status);
}

void TfmMain::ShowConnectionState(bool connected, const std::string& caption) {
    for (QWidget* w : std::initializer_list<QWidget*>{pbExecute, pbTable, pbCSV, pbCount, edTable, edCSV})
        w->setEnabled(connected);
    setWindowTitle(Qt_(caption));
}

void TfmMain::ShowSettings() {
    if (controller_ != nullptr) controller_->ShowSettings();
}

void TfmMain::SetTimestampFieldEnabled(bool enabled) {
    edDateTimeFmt->setEnabled(enabled);
}

void TfmMain::SetRunControlsEnabled(bool enabled) {
    // The End button stays usable during a run: it is how the user cancels one.
    Panel1->setEnabled(enabled);
    sgData->setEnabled(enabled);
    panel2Body_->setEnabled(enabled);
    if (!enabled) {
        tmProgress->start();
        return;
    }
    tmProgress->stop();
    if (controller_ != nullptr) controller_->RunEnded();
}

// ---- MainView ----

std::string TfmMain::TableText() const {
    return Std(edTable->text());
}
void TfmMain::SetTableText(const std::string& text) {
    edTable->setText(Qt_(text));
}
std::string TfmMain::CsvText() const {
    return Std(edCSV->text());
}
void TfmMain::SetCsvText(const std::string& text) {
    edCSV->setText(Qt_(text));
}
void TfmMain::SetDateFmtText(const std::string& text) {
    edDateFmt->setText(Qt_(text));
    edDateFmt->setToolTip(Qt_(text));  // set also while the field's signals are blocked
    edDateFmt->setCursorPosition(0);
}
void TfmMain::SetTimestampFmtText(const std::string& text) {
    edDateTimeFmt->setText(Qt_(text));
    edDateTimeFmt->setToolTip(Qt_(text));  // set also while the field's signals are blocked
    edDateTimeFmt->setCursorPosition(0);
}

void TfmMain::ShowOptions(const TransferSettings& s, int shownCommitCount) {
    // Copying the settings in is no user's change: the handlers stay quiet.
    const QSignalBlocker blockers[] = {
        QSignalBlocker(rgMode_),   QSignalBlocker(edSep),     QSignalBlocker(edDelim),   QSignalBlocker(cbRepCR),
        QSignalBlocker(edRepCR),   QSignalBlocker(cmbCRType), QSignalBlocker(cbHead),    QSignalBlocker(cbTruncate),
        QSignalBlocker(cbAutoCmt), QSignalBlocker(udCmt),     QSignalBlocker(edDateFmt), QSignalBlocker(edDateTimeFmt),
        QSignalBlocker(cmbLoadMode)};
    (s.Mode == 1 ? rbExport : rbImport)->setChecked(true);
    edSep->setText(Qt_(s.Separator));
    edDelim->setText(Qt_(s.Delimiter));
    cbRepCR->setChecked(s.ReplaceCR);
    edRepCR->setText(Qt_(s.ReplaceCRString));
    cmbCRType->setCurrentIndex(s.CRType >= 0 && s.CRType < cmbCRType->count() ? s.CRType : -1);
    cbHead->setChecked(s.WithHeader);
    cbTruncate->setChecked(s.Truncate);
    cmbLoadMode->setCurrentIndex(SettledLoadMode(s.LoadMode));
    cbAutoCmt->setChecked(s.AutoCommit);
    udCmt->setValue(shownCommitCount);
    SetDateFmtText(s.DateFmt);
    SetTimestampFmtText(s.TimestampFmt);
    const QSignalBlocker encodingBlocker(cmbEncoding);
    cmbEncoding->setCurrentIndex(static_cast<int>(s.Encoding));
}

void TfmMain::SetOptionEnabling(const OptionEnabling& e) {
    cbTruncate->setEnabled(e.Truncate);
    cmbLoadMode->setEnabled(e.LoadMode);
    cbAutoCmt->setEnabled(e.AutoCommit);
    udCmt->setEnabled(e.CommitCount);
    edRepCR->setEnabled(e.ReplaceText);
    cmbCRType->setEnabled(e.CRType);
}

void TfmMain::ShowCounts(int success, int error) {
    sbSuccess->setText(QString::number(success));
    sbError->setText(QString::number(error));
}

void TfmMain::ShowLoadSplit(long long inserted, long long updated, bool shown) {
    sbSplit->setVisible(shown);
    sbSplit->setText(QStringLiteral("挿入 %1 / 更新 %2").arg(inserted).arg(updated));
}

std::optional<std::string> TfmMain::AskCsvFile(bool save, const std::string& proposedName, const std::string& folder) {
    QFileDialog dialog(this);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Refused rows written by an import (.err) can be corrected and imported again.
    QStringList filters{QStringLiteral("CSVﾌｧｲﾙ(*.csv)"), QStringLiteral("全てのﾌｧｲﾙ(*.*)")};
    if (!save) filters.insert(1, QStringLiteral("エラーファイル(*.err)"));
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (!folder.empty()) dialog.setDirectory(Qt_(folder));
    if (!proposedName.empty()) dialogName_ = Qt_(proposedName);
    if (!dialogName_.isEmpty()) dialog.selectFile(dialogName_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().first();
    dialogName_ = QFileInfo(chosen).fileName();
    return Std(chosen);
}

void TfmMain::BringToFront() {
    raise();
    activateWindow();
}

void TfmMain::SetStatusText(const QString& text) {
    sbMessage->SetFullText(text);
}

bool TfmMain::JobWindowVisible() {
    return jobWindow_ != nullptr && jobWindow_->isVisible();
}

void TfmMain::BringJobWindowToFront() {
    if (jobWindow_ == nullptr) return;
    jobWindow_->raise();
    jobWindow_->activateWindow();
}

void TfmMain::RestorePlacement() {
    const QByteArray stored = QByteArray::fromBase64(QByteArray::fromStdString(ReadWindowPlacement()));
    if (!stored.isEmpty()) restoreGeometry(stored);
}

void TfmMain::ShowProgress(const ProgressView& progress) {
    pgRun->setVisible(true);
    pgRun->setRange(0, 100);
    if (progress.Percent < 0) {
        // The share is unknown: an empty bar that says what is known (the rows written).
        pgRun->setValue(0);
        pgRun->setFormat(Qt_(progress.Text));
        return;
    }
    pgRun->setValue(progress.Percent);
    pgRun->setFormat(progress.Text.empty() ? QStringLiteral("%p%") : QStringLiteral("%p%  ") + Qt_(progress.Text));
}

// ---- Events ----

bool TfmMain::CtrlTab(QLineEdit* edit) {
    if (edit == edSep || edit == edDelim) {
        edit->setText(QStringLiteral("\t"));
        edit->setCursorPosition(1);
        emit edit->textEdited(edit->text());
        return true;
    }
    if (edit == edRepCR) {
        if (edit->text().size() < kRepCRLimit) edit->insert(QStringLiteral("\t"));
        return true;
    }
    return false;
}

bool TfmMain::FileDragEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!drag->mimeData()->hasUrls()) return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasUrls()) return false;
            dropEvent(drop);
            return true;
        }
        default: return false;
    }
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
        // Files dropped on an edit field are the window's drop, not text for the field.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget != this && widget->window() == this && FileDragEvent(event)) return true;
        return QMainWindow::eventFilter(watched, event);
    }
    if (type == QEvent::Shortcut && watched == rgMode) {
        // Alt+M goes to the checked mode, whichever radio button had the focus last.
        (rbExport->isChecked() ? rbExport : rbImport)->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        // Keys of this window's own widgets only (not of its dialogs or message boxes).
        if (widget == nullptr || widget->window() != this) return QMainWindow::eventFilter(watched, event);
        if (key->key() == Qt::Key_Escape && controller_ != nullptr) {
            controller_->EscPressed();
            return false;
        }
        if (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ControlModifier)) {
            if (auto* edit = qobject_cast<QLineEdit*>(watched); edit != nullptr && CtrlTab(edit)) return true;
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if ((type == QEvent::FocusIn || type == QEvent::FocusOut) && controller_ != nullptr) {
        auto* focus = static_cast<QFocusEvent*>(event);
        // Only moves of the focus inside the window count, not a dialog or another window.
        const Qt::FocusReason reason = focus->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return QMainWindow::eventFilter(watched, event);
        const bool in = type == QEvent::FocusIn;
        if (watched == edTable) {
            in ? controller_->TableEntered() : controller_->TableLeft();
        } else if (watched == edCSV) {
            in ? controller_->CsvEntered() : controller_->CsvLeft();
        } else if (watched == edDateFmt && !in) {
            controller_->DateFmtLeft(Std(edDateFmt->text()));
        } else if (watched == edDateTimeFmt && !in) {
            controller_->TimestampFmtLeft(Std(edDateTimeFmt->text()));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfmMain::closeEvent(QCloseEvent* event) {
    if (controller_ != nullptr && !controller_->CloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    // The next session opens where this one ends.
    WriteWindowPlacement(saveGeometry().toBase64().toStdString());
    // Closing the main window ends the program.
    QCoreApplication::quit();
}

void TfmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfmMain::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.push_back(Std(url.toLocalFile()));
    }
    event->acceptProposedAction();
    if (controller_ != nullptr) controller_->FilesDropped(paths);
}

}  // namespace tabrook
