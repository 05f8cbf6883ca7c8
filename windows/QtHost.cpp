#include "windows/QtHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGuiApplication>
#include <QSpacerItem>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

#include "windows/QtFonts.h"
#include "windows/TextViewer.h"

namespace tabrook {

namespace {
// Room a title bar takes besides its caption: the icon and the buttons.
constexpr int kTitleBarRoom = 140;
}  // namespace

void KeepCaptionWhole(QMessageBox& box) {
    // A box as narrow as a short message would cut the application title in its title bar.
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int wanted = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarRoom;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

QtHost::QtHost() : anchor_(new QObject) {
    // The anchor belongs to the thread that creates the host: the user interface thread.
}

QtHost::~QtHost() {
    delete anchor_;
}

void QtHost::SetWindow(QWidget* window, std::function<void(const QString&)> statusSink) {
    window_ = window;
    statusSink_ = std::move(statusSink);
}

void QtHost::OnUiThread(const std::function<void()>& call) {
    if (QThread::currentThread() == anchor_->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(
        anchor_, [&call] { call(); }, Qt::BlockingQueuedConnection);
}

void QtHost::PostToUiThread(std::function<void()> call) {
    if (QThread::currentThread() == anchor_->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(anchor_, std::move(call), Qt::QueuedConnection);
}

int QtHost::MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) {
    int answer = kMsgCancel;
    OnUiThread([&] {
        if (beforeBox_) beforeBox_();
        QMessageBox box(window_);
        box.setWindowTitle(QString::fromUtf8(kApplicationTitle));
        box.setText(QString::fromStdString(text));
        box.setFont(UiFont());
        switch (icon) {
            case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
            case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
            case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
            case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        }
        switch (buttons) {
            case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
            case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
            case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        }
        KeepCaptionWhole(box);
        // A box raised while the pointer shows a wait must still be answerable with the mouse.
        const bool busy = QGuiApplication::overrideCursor() != nullptr;
        if (busy) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        const int pressed = box.exec();
        if (busy) QGuiApplication::restoreOverrideCursor();
        switch (pressed) {
            case QMessageBox::Ok: answer = kMsgOk; break;
            case QMessageBox::Yes: answer = kMsgYes; break;
            case QMessageBox::No: answer = kMsgNo; break;
            default: answer = buttons == MsgButtons::YesNo ? kMsgNo : kMsgCancel; break;
        }
    });
    return answer;
}

bool QtHost::OpenWithShell(const std::string& path) {
    bool opened = false;
    OnUiThread([&] { opened = QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))); });
    return opened;
}

void QtHost::ShowInTextViewer(const std::string& path) {
    // The program's own viewer: a window of its own, deleted when closed.
    PostToUiThread([path] { ShowTextFile(QString::fromStdString(path)); });
}

void QtHost::SetBusyPointer(BusyPointer pointer) {
    PostToUiThread([pointer] {
        QGuiApplication::setOverrideCursor(pointer == BusyPointer::SqlWait ? Qt::BusyCursor : Qt::WaitCursor);
    });
}

void QtHost::RestorePointer() {
    PostToUiThread([] { QGuiApplication::restoreOverrideCursor(); });
}

void QtHost::SetStatusMessage(const std::string& text) {
    PostToUiThread([this, text] {
        if (statusSink_) statusSink_(QString::fromStdString(text));
    });
}

void QtHost::ShowJobRow(std::size_t index, const Job& job) {
    PostToUiThread([this, index, job] {
        if (jobRowSink_) jobRowSink_(index, job);
    });
}

}  // namespace tabrook
