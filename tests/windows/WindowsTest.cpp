// The main window, the login dialog and the spin edit on the offscreen platform, over the real
// start sequence, transfer thread and embedded engine: what only the widgets show. Message
// boxes are answered by a watcher that records their texts. With TABROOK_SCREENSHOTS=folder
// the tests also leave pictures of the window there.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QStatusBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "app/MainController.h"
#include "app/StartSequence.h"
#include "transfer/RunContext.h"
#include "transfer/TOracle.h"
#include "transfer/Tdm.h"
#include "transfer/TransferSettings.h"
#include "windows/GridTableModel.h"
#include "windows/MainWindows.h"
#include "windows/QtHost.h"
#include "windows/TCSpinEdit.h"
#include "windows/TfmJob.h"
#include "windows/TfmLogin8.h"
#include "windows/TfmMain.h"
#include "windows/TfmTable.h"
#include "windows/StatusPanel.h"
#include "windows/TfrmMsgBox.h"

using namespace tabrook;

namespace {

QString Binary(const char* name) {
    return QStringLiteral(TABROOK_BINARY_DIR "/") + QLatin1String(name);
}

// Answers every modal box as it appears: questions with the button whose text is wanted (or
// the first button), and records each text.
class BoxWatcher : public QObject {
public:
    BoxWatcher() {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, [this] { Answer(); });
        timer_.start();
    }
    void Answer() {
        if (auto* confirm = qobject_cast<TfrmMsgBox*>(QApplication::activeModalWidget());
            confirm != nullptr && confirm->isVisible()) {
            AnswerConfirm(*confirm);
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        texts << box->text();
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            if (!wanted.isEmpty() && button->text().contains(wanted)) chosen = button;
        }
        if (chosen == nullptr) chosen = box->buttons().value(0);
        if (box->standardButton(chosen) == QMessageBox::NoButton && !wanted.isEmpty() && !box->buttons().isEmpty()) {
            // a custom button found by its text
        }
        if (auto* yes = box->button(QMessageBox::Yes); yes != nullptr && wanted.isEmpty()) chosen = yes;
        chosen->click();
    }
    // The run confirmation: its non-empty lines are recorded as one text, with the mode, the
    // buttons shown and the error limit it showed; confirmLimit (when not negative) is typed into
    // the limit field, then the button whose text holds confirmWanted (else the start button) is
    // pressed.
    void AnswerConfirm(TfrmMsgBox& confirm) {
        QStringList lines;
        for (QLabel* line : confirm.lblMsg)
            if (!line->text().isEmpty()) lines << line->text();
        texts << lines.join(QLatin1Char('\n'));
        confirmModes << confirm.Model().BoxMode;
        confirmSingleShown << confirm.pbSingle->isVisible();
        confirmLimitsShown << confirm.udErrBreak->value();
        if (confirmLimit >= 0) {
            // Typed, not committed with Enter: the button must still take the typed value.
            confirm.udErrBreak->selectAll();
            QTest::keyClicks(confirm.udErrBreak, QString::number(confirmLimit));
        }
        QPushButton* chosen = confirm.pbStart;
        for (QPushButton* button : {confirm.pbStart, confirm.pbSingle, confirm.pbCancel})
            if (!confirmWanted.isEmpty() && button->isVisible() && button->text().contains(confirmWanted))
                chosen = button;
        chosen->click();
    }
    QStringList texts;
    QString wanted;
    QString confirmWanted;
    int confirmLimit = -1;
    QList<int> confirmModes;
    QList<bool> confirmSingleShown;
    QList<int> confirmLimitsShown;

private:
    QTimer timer_;
};

// Waits while the event loop runs until done() holds or ten seconds pass.
template <typename F>
bool WaitFor(F done, int ms = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QTest::qWait(10);
    }
    return true;
}

}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT

private:
    // The program's objects, as main builds them.
    struct Program {
        TransferSettings settings;
        RunContext context;
        Tdm dm;
        QtHost host;
        TfmMain window;
        StartSequence sequence{dm, host, window, settings, context};
        MainController controller{dm, host, sequence, window, settings, context};
        std::unique_ptr<MainWindows> windows;
        Program() {
            host.SetWindow(&window, [this](const QString& text) { window.SetStatusText(text); });
            host.SetBeforeBox([this] { controller.RefreshProgress(); });
            window.Attach(&controller);
            windows = std::make_unique<MainWindows>(dm, host, window, controller, settings, context);
            sequence.Thread().SetMessagePump([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); });
        }
        // Holds the transfer thread once the run has read ten records, until Release: the test
        // then acts on a run that is surely in the middle of its rows.
        std::atomic<bool> hold{false};
        std::atomic<bool> held{false};
        void HoldAfterTenRecords() {
            hold = true;
            sequence.Thread().CountsPublished = [this] {
                if (!hold || sequence.Thread().RecordCount < 10) return;
                held = true;
                while (hold) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            };
        }
        void Release() { hold = false; }
        ~Program() {
            Release();
            if (!sequence.Closed()) sequence.FormCloseQuery();
            windows.reset();
            window.Detach();
        }
    };

    QTemporaryDir dir_;
    QString database_;
    QString csv_;
    QString bigCsv_;
    std::unique_ptr<Program> program_;
    std::unique_ptr<BoxWatcher> boxes_;

    QString Path(const QString& name) const { return dir_.filePath(name); }

    int Sql(const QString& script) {
        QFile file(Path(QStringLiteral("script.sql")));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(script.toUtf8());
        file.close();
        QProcess process;
        process.start(Binary("ocilite-sql"), {QStringLiteral("--create"), QStringLiteral("-f"), file.fileName(),
                                              QStringLiteral("scott/tiger@") + database_});
        process.waitForFinished(60000);
        lastSqlOutput_ = QString::fromUtf8(process.readAllStandardOutput());
        return process.exitCode();
    }
    QString lastSqlOutput_;

    Program& Start() {
        program_ = std::make_unique<Program>();
        const bool started = program_->sequence.Start(
            {"USER=scott/tiger@" + database_.toStdString(), "LOG=" + Path(QStringLiteral("run.log")).toStdString()});
        if (!started) qFatal("the start sequence failed");
        program_->window.show();
        if (!QTest::qWaitForWindowExposed(&program_->window)) qWarning("the window was not exposed");
        return *program_;
    }

    void TypeInto(QLineEdit* edit, const QString& text) {
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        // Key by key, as typed (characters beyond Latin-1 travel as the key's text).
        for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    QStringList HeaderNames() {
        QStringList names;
        auto* model = program_->window.sgData->model();
        for (int c = 0; c < model->columnCount(); ++c) {
            const int logical = program_->window.sgData->horizontalHeader()->logicalIndex(c);
            names << model->headerData(logical, Qt::Horizontal).toString().section(QLatin1Char('\n'), 0, 0);
        }
        return names;
    }
    QStringList DataRow(int row) {
        QStringList cells;
        auto* model = program_->window.sgData->model();
        for (int c = 0; c < model->columnCount(); ++c) {
            const int logical = program_->window.sgData->horizontalHeader()->logicalIndex(c);
            cells << model->index(row, logical).data().toString();
        }
        return cells;
    }

    void Screenshot(QWidget* widget, const QString& name) {
        const QByteArray folder = qgetenv("TABROOK_SCREENSHOTS");
        if (folder.isEmpty()) return;
        QDir().mkpath(QString::fromLocal8Bit(folder));
        widget->grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

private slots:
    void initTestCase() {
        if (!QFile::exists(Binary("libocilite.so")) || !QFile::exists(Binary("ocilite-sql")))
            QSKIP("build ocilite and ocilite-sql first");
        QVERIFY(dir_.isValid());
        qputenv("TABROOK_OCI_LIBRARY", Binary("libocilite.so").toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", Path(QStringLiteral("config")).toLocal8Bit());
        database_ = Path(QStringLiteral("win.db"));
        QCOMPARE(Sql(QStringLiteral("create table 社員 (番号 NUMBER(6), 氏名 VARCHAR2(40), 入社日 DATE);\n"
                                    "insert into 社員 values (1, '山田 太郎', TO_DATE('2020-04-01','YYYY-MM-DD'));\n"
                                    "insert into 社員 values (2, '鈴木 花子', TO_DATE('2021-10-15','YYYY-MM-DD'));\n"
                                    "insert into 社員 values (3, '佐藤 一郎', TO_DATE('2019-07-07','YYYY-MM-DD'));\n"
                                    "create table T2 (A VARCHAR2(10), B VARCHAR2(10), C VARCHAR2(10));\n"
                                    "create table BIG (N NUMBER(8), S VARCHAR2(20));\n"
                                    "commit;\n")),
                 0);
        QString text;
        for (int i = 1; i <= 30; ++i) text += QStringLiteral("a%1,b%1,c%1\r\n").arg(i);
        csv_ = Path(QStringLiteral("t2.csv"));
        QFile file(csv_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        file.close();
        QByteArray big;
        for (int i = 1; i <= 60000; ++i) big += QByteArray::number(i) + ",行" + QByteArray::number(i) + "\r\n";
        bigCsv_ = Path(QStringLiteral("big.csv"));
        QFile bigFile(bigCsv_);
        QVERIFY(bigFile.open(QIODevice::WriteOnly));
        bigFile.write(big);
        bigFile.close();
    }

    void init() {
        // Every test starts from the built-in settings: the close of the previous one stored its own.
        QDir(Path(QStringLiteral("config"))).removeRecursively();
        boxes_ = std::make_unique<BoxWatcher>();
    }

    void cleanup() {
        if (program_) {
            program_->sequence.Thread().CancelRequest = true;
            WaitFor([this] { return !program_->context.Running; });
            program_.reset();
        }
        boxes_.reset();
    }

    void layoutAndCaptions() {
        Program& p = Start();
        TfmMain& w = p.window;
        // 728 wide, or as wide as the captions need in this display's font
        QVERIFY(w.minimumWidth() >= 720);
        QCOMPARE(w.size(), QSize(std::max(728, w.minimumWidth()), 358));
        QVERIFY(w.minimumHeight() >= 182);  // as high as the controls need, the grid down to one row
        QCOMPARE(w.windowTitle(), QStringLiteral("Tabrook+  [scott @ ") + database_ + QStringLiteral("]"));
        QCOMPARE(w.pbExecute->text(), QStringLiteral("Execute(&X)"));
        QCOMPARE(w.cbTruncate->text(), QStringLiteral("Importする前にTruncate(&Z)"));
        QCOMPARE(w.Panel1->height(), 81);
        QCOMPARE(w.sgData->verticalHeader()->width(), 34);
        QCOMPARE(w.sgData->horizontalHeader()->defaultSectionSize(), 92);
        QCOMPARE(w.sgData->model()->rowCount(), 30);
        QCOMPARE(w.sgData->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(w.edRepCR->maxLength(), 6);
        QCOMPARE(w.cmbCRType->count(), 3);
    }

    // Every control of the window shows its text whole, at the first size and at the smallest.
    void everyTextWholeAtTheFirstAndTheSmallestSize() {
        Program& p = Start();
        TfmMain& w = p.window;
        for (const QSize size : {QSize(728, 358), w.minimumSize()}) {
            w.resize(size);
            QTest::qWait(50);
            for (QLineEdit* format : {w.edDateFmt, w.edDateTimeFmt})
                QVERIFY2(QFontMetrics(format->font()).horizontalAdvance(format->text()) < format->width() - 6,
                         qPrintable(format->text()));
            for (QWidget* control : std::initializer_list<QWidget*>{w.edCSV, w.rbExport, w.pbConnect, w.edDateTimeFmt})
                QCOMPARE(control->visibleRegion().boundingRect().size(), control->size());
            // every caption of a check box or radio button, its mnemonic included
            for (QAbstractButton* button : w.findChildren<QAbstractButton*>())
                if (button->isVisible() && !qobject_cast<QPushButton*>(button))
                    QVERIFY2(button->width() >= button->sizeHint().width(),
                             qPrintable(button->text() + QStringLiteral(" %1 < %2 at %3")
                                                             .arg(button->width())
                                                             .arg(button->sizeHint().width())
                                                             .arg(size.width())));
        }
    }

    void theWindowOpensWhereItWasClosed() {
        {
            Program& p = Start();
            p.window.setGeometry(120, 90, 900, 500);
            QTest::qWait(50);
            p.window.close();
        }
        Program& p = Start();
        // the program's main takes the place back
        QCOMPARE(p.window.size(), QSize(std::max(728, p.window.minimumWidth()), 358));
        p.window.RestorePlacement();
        QCOMPARE(p.window.size(), QSize(900, 500));
    }

    void aLongMessageKeepsTheStatusBarOneLineHigh() {
        Program& p = Start();
        TfmMain& w = p.window;
        const int height = w.statusBar()->height();
        const QString message = QStringLiteral("ORA-00942: table or view does not exist\nselect * from \"NOPE\"");
        w.SetStatusText(message);
        QTest::qWait(50);
        QCOMPARE(w.statusBar()->height(), height);
        QCOMPARE(w.sbMessage->toolTip(), message);
        QVERIFY(!w.sbMessage->text().contains(QLatin1Char('\n')));
    }

    void altMGoesToTheCheckedMode() {
        Program& p = Start();
        TfmMain& w = p.window;
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.rbExport->setFocus();  // focused last, but Import stays checked
        w.edTable->setFocus();
        QTest::keyClick(&w, Qt::Key_M, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.rbImport));
    }

    void modeSwitchDisablesTheImportOptions() {
        Program& p = Start();
        TfmMain& w = p.window;
        QTest::mouseClick(w.cbAutoCmt, Qt::LeftButton, {}, QPoint(5, w.cbAutoCmt->height() / 2));
        QVERIFY(w.cbAutoCmt->isChecked());
        QVERIFY(w.udCmt->isEnabled());
        QVERIFY(w.cbTruncate->isEnabled());
        // The load mode box beside it writes LoadMode and follows the truncate box's enabling.
        QVERIFY(w.cmbLoadMode->isEnabled());
        QCOMPARE(w.cmbLoadMode->count(), 3);
        w.cmbLoadMode->setCurrentIndex(1);
        emit w.cmbLoadMode->activated(1);
        QCOMPARE(p.settings.LoadMode, 1);
        w.rbExport->click();
        QCOMPARE(p.settings.Mode, 1);
        QVERIFY(!w.cbTruncate->isEnabled());
        QVERIFY(!w.cmbLoadMode->isEnabled());
        QVERIFY(!w.cbAutoCmt->isEnabled());
        QVERIFY(!w.udCmt->isEnabled());
        QVERIFY(w.cbAutoCmt->isChecked());
        w.rbImport->click();
        QVERIFY(w.cbAutoCmt->isEnabled());
        QVERIFY(w.udCmt->isEnabled());
        w.cbRepCR->click();
        QVERIFY(w.edRepCR->isEnabled() && w.cmbCRType->isEnabled());
        w.cbRepCR->click();
        QVERIFY(!w.edRepCR->isEnabled() && !w.cmbCRType->isEnabled());
    }

    void ctrlTabTypesATab() {
        Program& p = Start();
        TfmMain& w = p.window;
        w.edSep->setFocus();
        QTest::keyClick(w.edSep, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(w.edSep->text(), QStringLiteral("\t"));
        QCOMPARE(p.settings.Separator, std::string("\t"));
        QVERIFY(w.edSep->hasFocus());
        w.cbRepCR->click();
        w.edRepCR->setText(QStringLiteral("ab"));
        w.edRepCR->setFocus();
        w.edRepCR->setCursorPosition(1);
        QTest::keyClick(w.edRepCR, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(w.edRepCR->text(), QStringLiteral("a\tb"));
        QCOMPARE(w.edRepCR->cursorPosition(), 2);
        QCOMPARE(p.settings.ReplaceCRString, std::string("a\tb"));
        w.edRepCR->setText(QStringLiteral("123456"));
        QTest::keyClick(w.edRepCR, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(w.edRepCR->text(), QStringLiteral("123456"));
        // A plain Tab moves the focus on.
        QTest::keyClick(w.edRepCR, Qt::Key_Tab);
        QVERIFY(!w.edRepCR->hasFocus());
    }

    void formatFieldRefusedSilently() {
        Program& p = Start();
        TfmMain& w = p.window;
        const QString before = w.edDateFmt->text();
        w.edDateFmt->setFocus();
        w.edDateFmt->setText(QStringLiteral("no such format"));
        w.edTable->setFocus(Qt::TabFocusReason);
        QCOMPARE(w.edDateFmt->text(), before);
        QVERIFY(boxes_->texts.isEmpty());
        // The refused text is gone from the tooltip too: it always shows the field's format.
        QCOMPARE(w.edDateFmt->toolTip(), before);
        QVERIFY(!w.edDateTimeFmt->text().isEmpty());
        QCOMPARE(w.edDateTimeFmt->toolTip(), w.edDateTimeFmt->text());
    }

    void columnDragsInBothModes() {
        Program& p = Start();
        TfmMain& w = p.window;
        TypeInto(w.edTable, QStringLiteral("T2"));
        TypeInto(w.edCSV, csv_);
        QCOMPARE(HeaderNames(), (QStringList{"A", "B", "C", "", ""}).mid(0, w.sgData->model()->columnCount()));
        QHeaderView* header = w.sgData->horizontalHeader();
        header->moveSection(2, 0);  // drag C in front of A
        QCOMPARE(HeaderNames().mid(0, 3), (QStringList{"C", "A", "B"}));
        QCOMPARE(DataRow(0).mid(0, 3), (QStringList{"a1", "b1", "c1"}));  // the data stays
        // The selection covers whole rows again.
        const QModelIndexList selected = w.sgData->selectionModel()->selectedIndexes();
        QVERIFY(!selected.isEmpty());
        QCOMPARE(w.sgData->selectionModel()->selectedRows().size(), 1);
        Screenshot(&w, QStringLiteral("main-import"));
        // Export: the whole column moves.
        w.rbExport->click();
        TypeInto(w.edTable, QStringLiteral("社員"));
        QCOMPARE(HeaderNames().mid(0, 3), (QStringList{"番号", "氏名", "入社日"}));
        QCOMPARE(DataRow(0).mid(0, 2), (QStringList{"1", "山田 太郎"}));
        header->moveSection(1, 0);
        QCOMPARE(HeaderNames().mid(0, 3), (QStringList{"氏名", "番号", "入社日"}));
        QCOMPARE(DataRow(0).mid(0, 2), (QStringList{"山田 太郎", "1"}));
        QCOMPARE(w.sbMessage->text(), QStringLiteral("Table Data Preview"));
        Screenshot(&w, QStringLiteral("main-export"));
    }

    void selectedRowsStaySelectedAcrossColumnMoves() {
        Program& p = Start();
        TfmMain& w = p.window;
        TypeInto(w.edTable, QStringLiteral("T2"));
        TypeInto(w.edCSV, csv_);
        QAbstractItemModel* model = w.sgData->model();
        w.sgData->selectionModel()->select(QItemSelection(model->index(2, 0), model->index(4, 0)),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        for (int move = 0; move < 2; ++move) {
            w.sgData->horizontalHeader()->moveSection(2, 0);
            QModelIndexList rows = w.sgData->selectionModel()->selectedRows();
            QCOMPARE(rows.size(), 3);
            std::sort(rows.begin(), rows.end());
            QCOMPARE(rows.first().row(), 2);
            QCOMPARE(rows.last().row(), 4);
        }
    }

    void countOnlyAfterAPreview() {
        Program& p = Start();
        TfmMain& w = p.window;
        w.pbCount->click();
        QVERIFY(boxes_->texts.isEmpty());
        TypeInto(w.edTable, QStringLiteral("社員"));
        w.pbCount->click();
        QVERIFY(WaitFor([this] { return !boxes_->texts.isEmpty(); }));
        QCOMPARE(boxes_->texts.last(), QStringLiteral("テーブル [社員] には\n3件\nのデータがあります。"));
        QTest::keyClick(w.edTable, Qt::Key_Backspace);
        w.pbCount->click();
        QTest::qWait(100);
        QCOMPARE(boxes_->texts.size(), 1);
    }

    void importFromTheWindowShowsTheCounts() {
        Program& p = Start();
        TfmMain& w = p.window;
        TypeInto(w.edTable, QStringLiteral("T2"));
        TypeInto(w.edCSV, csv_);
        w.pbExecute->click();  // the confirmation and the completion box are answered
        QVERIFY(WaitFor([&] { return boxes_->texts.contains(QStringLiteral("インポートを完了しました。")); }));
        QVERIFY(WaitFor([&] { return w.Panel1->isEnabled(); }));
        QCOMPARE(w.sbSuccess->text(), QStringLiteral("30"));
        QCOMPARE(w.sbError->text(), QStringLiteral("0"));
        QVERIFY(w.pgRun->isVisible());
        QCOMPARE(w.pgRun->value(), 100);
        QVERIFY(boxes_->texts.first().startsWith(QStringLiteral("データをインポートします。")));
        QCOMPARE(Sql(QStringLiteral("select count(*) from T2;\n")), 0);
        QVERIFY(lastSqlOutput_.contains(QStringLiteral("30")));
    }

    void exportProgressReachesTheEndAfterCount() {
        Program& p = Start();
        TfmMain& w = p.window;
        w.rbExport->click();
        TypeInto(w.edTable, QStringLiteral("社員"));
        w.pbCount->click();
        QVERIFY(WaitFor([this] { return !boxes_->texts.isEmpty(); }));
        TypeInto(w.edCSV, Path(QStringLiteral("社員.csv")));
        w.pbExecute->click();
        QVERIFY(WaitFor([&] { return boxes_->texts.contains(QStringLiteral("エクスポートを完了しました。")); }));
        QVERIFY(WaitFor([&] { return w.Panel1->isEnabled(); }));
        QCOMPARE(w.sbSuccess->text(), QStringLiteral("3"));
        QCOMPARE(w.pgRun->maximum(), 100);
        QCOMPARE(w.pgRun->value(), 100);
        QFile out(Path(QStringLiteral("社員.csv")));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(out.readAll()).contains(QStringLiteral("山田 太郎")));
    }

    void endDuringARunCancelsInsteadOfClosing() {
        Program& p = Start();
        TfmMain& w = p.window;
        TypeInto(w.edTable, QStringLiteral("BIG"));
        TypeInto(w.edCSV, bigCsv_);
        p.HoldAfterTenRecords();
        w.pbExecute->click();
        QVERIFY(WaitFor([&] { return p.context.Running.load(); }));
        QVERIFY(!w.Panel1->isEnabled());
        QVERIFY(w.pbEnd->isEnabled());
        QVERIFY(WaitFor([&] { return p.held.load(); }));
        QTest::qWait(300);  // the window keeps painting while the run goes on
        Screenshot(&w, QStringLiteral("main-running"));
        QVERIFY(w.pgRun->isVisible());
        QVERIFY(w.pgRun->value() < 100);
        w.pbEnd->click();
        QVERIFY(w.isVisible());  // the close was refused
        p.Release();
        QVERIFY(WaitFor([&] { return !p.context.Running; }));
        QVERIFY(w.isVisible());
        QVERIFY(boxes_->texts.contains(QStringLiteral("キャンセルしますか？")));
        QVERIFY(w.sbSuccess->text().toInt() < 60000);
        QVERIFY(WaitFor([&] { return w.Panel1->isEnabled(); }));
    }

    void jobListRunFromTheWindow() {
        Program& p = Start();
        TfmMain& w = p.window;
        QVERIFY(p.windows->AddJob("T2", csv_.toStdString()));
        QFile emp(Path(QStringLiteral("emp.csv")));
        QVERIFY(emp.open(QIODevice::WriteOnly));
        emp.write("4,木村 次郎,2022-01-01 00:00:00\r\n");
        emp.close();
        QVERIFY(p.windows->AddJob("社員", emp.fileName().toStdString()));
        w.pbExecute->click();  // the confirmation's first button starts the job list
        QVERIFY(WaitFor([&] { return !p.context.Running && p.context.JobList[1].Status.size() > 0; }));
        QVERIFY(WaitFor([&] { return w.Panel1->isEnabled(); }));
        QVERIFY(boxes_->texts.first().startsWith(QStringLiteral("JobListが登録されています。")));
        QCOMPARE(p.context.JobList[0].SuccessText, std::string("30"));
        QCOMPARE(p.context.JobList[0].Result, 0);
        QCOMPARE(p.context.JobList[1].SuccessText, std::string("1"));
        // Each job was previewed in the window's own fields before it ran.
        QCOMPARE(w.edTable->text(), QStringLiteral("社員"));
        QCOMPARE(HeaderNames().mid(0, 3), (QStringList{"番号", "氏名", "入社日"}));
        QCOMPARE(w.pgRun->value(), 100);
        QVERIFY(w.pgRun->format().contains(QStringLiteral("2/2")));
    }

    // The texts of the job list window's rows: table and CSV file of each.
    QStringList JobRows() {
        QStringList rows;
        QTreeWidget* list = program_->windows->JobWindow().lvJob;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows << list->topLevelItem(i)->text(0) + QLatin1Char('|') + list->topLevelItem(i)->text(1);
        return rows;
    }

    void jobAddFromTheMainWindowLandsInTheJobListWindow() {
        Program& p = Start();
        TfmMain& w = p.window;
        TfmJob& jobs = p.windows->JobWindow();
        QVERIFY(!jobs.isVisible());
        TypeInto(w.edTable, QStringLiteral("T2"));
        TypeInto(w.edCSV, csv_);
        w.pbJobAdd->click();
        QVERIFY(jobs.isVisible());
        QCOMPARE(JobRows(), QStringList{QStringLiteral("T2|") + csv_});
        // It opens beside the main window, leaving the table and CSV fields free.
        for (QLineEdit* field : {w.edTable, w.edCSV})
            QVERIFY(!jobs.frameGeometry().intersects(QRect(field->mapToGlobal(QPoint(0, 0)), field->size())));
        QCOMPARE(p.context.JobList.Count(), std::size_t{1});
        // The same table again: the replace question, answered Yes, replaces the file.
        const QString other = Path(QStringLiteral("other.csv"));
        TypeInto(w.edCSV, other);
        w.pbJobAdd->click();
        QVERIFY(boxes_->texts.contains(QString::fromUtf8(kReplaceJobQuestion)));
        QCOMPARE(JobRows(), QStringList{QStringLiteral("T2|") + other});
        QCOMPARE(p.context.JobList[0].Csv, other.toStdString());
        // Answered No, nothing changes.
        boxes_->wanted = QStringLiteral("No");
        TypeInto(w.edCSV, csv_);
        w.pbJobAdd->click();
        QCOMPARE(JobRows(), QStringList{QStringLiteral("T2|") + other});
        // Closed, JobList shows it again with its rows.
        jobs.pbClose->click();
        QVERIFY(!jobs.isVisible());
        w.pbJobList->click();
        QVERIFY(jobs.isVisible());
        QCOMPARE(JobRows(), QStringList{QStringLiteral("T2|") + other});
        Screenshot(&w, QStringLiteral("main-with-jobs"));
        Screenshot(&jobs, QStringLiteral("job-list"));
    }

    void browseInTheChooserFillsTheTableFieldAndCtrlEAddsJobs() {
        Program& p = Start();
        TfmMain& w = p.window;
        TfmTable& chooser = p.windows->Chooser();
        TypeInto(w.edTable, QStringLiteral("T2"));
        bool answered = false;
        // The chooser is modal: it is driven from a timer once its list has loaded. Whatever a
        // check finds, the chooser is closed so the test cannot hang in it.
        auto drive = [&] {
            QVERIFY(
                WaitFor([&] { return chooser.isVisible() && !chooser.Loading() && chooser.lbTable->count() >= 3; }));
            // The typed name is preselected.
            QVERIFY(chooser.lbTable->currentItem() != nullptr);
            QCOMPARE(chooser.lbTable->currentItem()->text(), QStringLiteral("T2"));
            // Ctrl+E puts the selected names into the job list window.
            chooser.lbTable->clearSelection();
            for (int i = 0; i < chooser.lbTable->count(); ++i) {
                const QString name = chooser.lbTable->item(i)->text();
                if (name == QStringLiteral("BIG") || name == QStringLiteral("社員"))
                    chooser.lbTable->item(i)->setSelected(true);
            }
            QTest::keyClick(chooser.lbTable, Qt::Key_E, Qt::ControlModifier);
            Screenshot(&chooser, QStringLiteral("table-chooser"));
            const QList<QListWidgetItem*> found = chooser.lbTable->findItems(QStringLiteral("社員"), Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            chooser.lbTable->setCurrentItem(found.first());
            answered = true;
        };
        QTimer::singleShot(0, &chooser, [&] {
            drive();
            if (answered)
                chooser.pbOk->click();
            else
                chooser.reject();
        });
        w.pbTable->click();
        QVERIFY(answered);
        QVERIFY(!chooser.isVisible());
        QCOMPARE(w.edTable->text(), QStringLiteral("社員"));
        QCOMPARE(HeaderNames().mid(0, 3), (QStringList{"番号", "氏名", "入社日"}));
        QVERIFY(p.windows->JobWindow().isVisible());
        QStringList tables;
        for (std::size_t i = 0; i < p.context.JobList.Count(); ++i)
            tables << QString::fromStdString(p.context.JobList[i].Table);
        tables.sort();
        QCOMPARE(tables, (QStringList{"BIG", "社員"}));
        // Cancel leaves the field as it was.
        QTimer::singleShot(0, &chooser, [&] {
            WaitFor([&] { return chooser.isVisible() && !chooser.Loading(); });
            chooser.pbCancel->click();
        });
        w.pbTable->click();
        QCOMPARE(w.edTable->text(), QStringLiteral("社員"));
    }

    void executeWithAJobListAsksInModeTwoAndCancelKeepsTheLimit() {
        // Each answer with the limit typed into the dialog: Cancel stores nothing, the other
        // buttons store the typed limit before the run starts.
        struct Case {
            const char* button;
            int typed;
            int storedLimit;
            bool runs;
        };
        const Case cases[] = {{"Cancel", 5, 7, false}, {"単独実行", 12, 12, true}};
        for (const Case& c : cases) {
            Program& p = Start();
            TfmMain& w = p.window;
            p.settings.ErrCnt = 7;
            TypeInto(w.edTable, QStringLiteral("T2"));
            TypeInto(w.edCSV, csv_);
            QVERIFY(p.windows->AddJob("T2", csv_.toStdString()));
            boxes_->texts.clear();
            boxes_->confirmModes.clear();
            boxes_->confirmWanted = QString::fromUtf8(c.button);
            boxes_->confirmLimit = c.typed;
            w.pbExecute->click();
            QVERIFY(!boxes_->confirmModes.isEmpty());
            QCOMPARE(boxes_->confirmModes.first(), static_cast<int>(kBoxMainWithJobs));
            QCOMPARE(boxes_->confirmSingleShown.first(), true);
            QCOMPARE(boxes_->confirmLimitsShown.first(), 7);
            QVERIFY(boxes_->texts.first().startsWith(QStringLiteral("JobListが登録されています。")));
            QCOMPARE(p.settings.ErrCnt, c.storedLimit);
            if (c.runs) {
                QVERIFY(WaitFor([&] { return boxes_->texts.contains(QStringLiteral("インポートを完了しました。")); }));
            } else {
                QVERIFY(!p.context.Running);
                QCOMPARE(boxes_->confirmModes.size(), 1);  // no second question followed
            }
            QVERIFY(WaitFor([&] { return w.Panel1->isEnabled(); }));
            cleanup();
            init();
        }
    }

    void jobWindowExecuteRunsOnlyTheSelectedJob() {
        QCOMPARE(Sql(QStringLiteral("delete from T2;\ncommit;\n")), 0);
        Program& p = Start();
        TfmMain& w = p.window;
        TfmJob& jobs = p.windows->JobWindow();
        QFile emp(Path(QStringLiteral("emp2.csv")));
        QVERIFY(emp.open(QIODevice::WriteOnly));
        emp.write("5,山本 三郎,2023-03-03 00:00:00\r\n");
        emp.close();
        w.pbJobList->click();
        QVERIFY(jobs.isVisible());
        QVERIFY(p.windows->AddJob("T2", csv_.toStdString()));
        QVERIFY(p.windows->AddJob("社員", emp.fileName().toStdString()));
        jobs.lvJob->clearSelection();
        jobs.lvJob->topLevelItem(1)->setSelected(true);
        QVERIFY(jobs.pbExec->isEnabled());
        jobs.pbExec->click();
        QCOMPARE(boxes_->confirmModes.value(0, -1), static_cast<int>(kBoxJobWindow));
        QVERIFY(WaitFor([&] { return !p.context.Running && !jobs.lvJob->topLevelItem(1)->text(2).isEmpty(); }));
        QVERIFY(WaitFor([&] { return w.Panel1->isEnabled(); }));
        // The transfer thread's progress reached the window's row; the other row never ran.
        QCOMPARE(jobs.lvJob->topLevelItem(1)->text(4), QStringLiteral("1"));
        QVERIFY(jobs.lvJob->topLevelItem(0)->text(2).isEmpty());
        QCOMPARE(p.context.JobList[1].SuccessText, std::string("1"));
        QVERIFY(p.context.JobList[0].Status.empty());
        const QRegularExpression zero(QStringLiteral("^\\s*0\\s*$"), QRegularExpression::MultilineOption);
        QCOMPARE(Sql(QStringLiteral("select count(*) from T2;\n")), 0);
        QVERIFY2(lastSqlOutput_.contains(zero), qPrintable(lastSqlOutput_));
        Screenshot(&jobs, QStringLiteral("job-list-after-run"));
    }

    void escCancelsARun() {
        Program& p = Start();
        TfmMain& w = p.window;
        TypeInto(w.edTable, QStringLiteral("BIG"));
        TypeInto(w.edCSV, bigCsv_);
        p.HoldAfterTenRecords();
        w.pbExecute->click();
        QVERIFY(WaitFor([&] { return p.held.load(); }));
        QTest::keyClick(&w, Qt::Key_Escape);
        p.Release();
        QVERIFY(WaitFor([&] { return !p.context.Running; }));
        QVERIFY(boxes_->texts.contains(QStringLiteral("キャンセルしますか？")));
        QVERIFY(w.sbSuccess->text().toInt() < 60000);
    }

    void aFileDroppedOnAFieldIsTheWindowsDrop() {
        Program& p = Start();
        TfmMain& w = p.window;
        TypeInto(w.edTable, QStringLiteral("T2"));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(csv_)});
        for (QLineEdit* field : {w.edTable, w.edDateFmt}) {
            const QString before = field->text();
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(field, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(field, &drop);
            QCOMPARE(field->text(), before);
            QCOMPARE(w.edCSV->text(), csv_);
            QCOMPARE(DataRow(0).mid(0, 1), QStringList{QStringLiteral("a1")});
            w.edCSV->clear();
        }
    }

    // A job-list run in which a job fails says so at its end, marks the row, and brings the
    // job list window back to the front.
    void jobListRunWithAFailedJob() {
        Program& p = Start();
        TfmMain& w = p.window;
        TfmJob& jobs = p.windows->JobWindow();
        w.pbJobList->click();
        QVERIFY(p.windows->AddJob("T2", csv_.toStdString()));
        QVERIFY(p.windows->AddJob("NO_SUCH_TABLE", csv_.toStdString()));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.pbExecute->click();
        QVERIFY(WaitFor([&] { return boxes_->texts.size() >= 2 && !p.context.Running; }));
        QVERIFY(WaitFor([&] { return w.Panel1->isEnabled(); }));
        QCOMPARE(boxes_->texts.last(),
                 QStringLiteral("インポートを終了しました。\n1件のジョブが失敗しました。JobListで確認してください。"));
        QCOMPARE(jobs.lvJob->topLevelItem(1)->foreground(2).color(), QColor(Qt::red));
        QVERIFY(jobs.lvJob->topLevelItem(0)->foreground(2).color() != QColor(Qt::red));
        QVERIFY(WaitFor([&] { return QApplication::activeWindow() == &jobs; }));
    }

    void droppedCsvFileIsPreviewed() {
        Program& p = Start();
        TfmMain& w = p.window;
        TypeInto(w.edTable, QStringLiteral("T2"));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(Path(QStringLiteral("notes.txt"))), QUrl::fromLocalFile(csv_)});
        // As the platform delivers a drop: the drag enters the window, then the files are dropped.
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(w.edCSV->text(), csv_);
        QCOMPARE(DataRow(0).mid(0, 3), (QStringList{"a1", "b1", "c1"}));
        QCOMPARE(w.sbMessage->text(), QStringLiteral("CSV Data Preview"));
    }

    void loginDialogFocusAndCancel() {
        TfmLogin8 dialog;
        QCOMPARE(dialog.size(), QSize(190, 173));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Login"));
        QCOMPARE(dialog.UserEdit()->geometry(), QRect(25, 22, 143, 20));
        QCOMPARE(dialog.PasswordEdit()->geometry(), QRect(25, 64, 143, 20));
        QCOMPARE(dialog.ConnStrEdit()->geometry(), QRect(25, 105, 143, 20));
        QCOMPARE(dialog.LoginButton()->geometry(), QRect(16, 139, 61, 25));
        QCOMPARE(dialog.CancelButton()->geometry(), QRect(111, 139, 61, 25));
        QCOMPARE(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
        QVERIFY(dialog.LoginButton()->isDefault());
        // Tab order: user, password, connect string, Login, Cancel.
        QCOMPARE(dialog.UserEdit()->nextInFocusChain(), static_cast<QWidget*>(dialog.PasswordEdit()));
        QCOMPARE(dialog.PasswordEdit()->nextInFocusChain(), static_cast<QWidget*>(dialog.ConnStrEdit()));
        QCOMPARE(dialog.ConnStrEdit()->nextInFocusChain(), static_cast<QWidget*>(dialog.LoginButton()));
        QCOMPARE(dialog.LoginButton()->nextInFocusChain(), static_cast<QWidget*>(dialog.CancelButton()));

        // Through the prompt: a known user puts the focus in the password; Cancel changes nothing.
        LoginDialogPrompt prompt(nullptr);
        LogonValues values{"scott", "", "db"};
        bool sawPasswordFocus = false;
        QTimer::singleShot(50, [&] {
            auto* shown = dynamic_cast<TfmLogin8*>(QApplication::activeModalWidget());
            QVERIFY(shown != nullptr);
            sawPasswordFocus = shown->focusWidget() == shown->PasswordEdit();
            Screenshot(shown, QStringLiteral("login"));
            QTest::keyClicks(shown->PasswordEdit(), QStringLiteral("secret"));
            shown->CancelButton()->click();
        });
        QVERIFY(!prompt.Ask(values, LoginFocus::Password));
        QVERIFY(sawPasswordFocus);
        QCOMPARE(values.User, std::string("scott"));
        QCOMPARE(values.Password, std::string(""));
        // OK hands back what was typed.
        QTimer::singleShot(50, [&] {
            auto* shown = dynamic_cast<TfmLogin8*>(QApplication::activeModalWidget());
            QVERIFY(shown != nullptr);
            QCOMPARE(shown->focusWidget(), static_cast<QWidget*>(shown->UserEdit()));
            QTest::keyClicks(shown->UserEdit(), QStringLiteral("adams"));
            QTest::keyClick(shown->UserEdit(), Qt::Key_Return);  // the default button
        });
        LogonValues empty;
        QVERIFY(prompt.Ask(empty, LoginFocus::User));
        QCOMPARE(empty.User, std::string("adams"));
    }

    void spinEditBringsTypedValuesIntoRange() {
        TCSpinEdit spin(1, 10000);
        spin.show();
        const std::pair<QString, int> cases[] = {{"20000", 10000}, {"0", 1}, {"-5", 1}, {"250", 250}, {"10000", 10000}};
        for (const auto& [typed, expected] : cases) {
            spin.setFocus();
            spin.selectAll();
            QTest::keyClicks(&spin, typed);
            QTest::keyClick(&spin, Qt::Key_Return);
            QCOMPARE(spin.value(), expected);
            QCOMPARE(spin.text(), QString::number(expected));
        }
        spin.selectAll();
        QTest::keyClicks(&spin, QStringLiteral("x"));
        QCOMPARE(spin.text(), QStringLiteral("10000"));  // not a number: the key is refused
    }

    void confirmationLimitFieldTakesAnyNumberAndStoresItInRange() {
        // Typed past the end of the range the error limit becomes 999999 (a plain spin box would
        // refuse the seventh digit and keep 123456); below it, 0.
        const std::pair<QString, int> cases[] = {{"1234567", 999999}, {"-3", 0}, {"42", 42}};
        for (const auto& [typed, expected] : cases) {
            TransferSettings settings;
            settings.ErrCnt = 7;
            TfrmMsgBox box;
            box.Model().SetSingle("データをインポートします。");
            box.Prepare(settings);
            box.show();
            QCOMPARE(box.udErrBreak->value(), 7);
            box.udErrBreak->setFocus();
            box.udErrBreak->selectAll();
            QTest::keyClicks(box.udErrBreak, typed);
            QTest::keyClick(box.udErrBreak, Qt::Key_Return);
            box.Finish(kConfirmStart, settings);
            QCOMPARE(settings.ErrCnt, expected);
        }
    }
};

QTEST_MAIN(WindowsTest)
#include <WindowsTest.moc>  // generated by moc in the build folder
