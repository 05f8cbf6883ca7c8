#include "app/HeadlessUi.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace tabrook {

void HeadlessUi::PostToUi(std::function<void()> call) {
    // Queued even when posted from the event loop's own thread, so a call never runs inside
    // the step that posted it.
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
}

void HeadlessUi::Quit(int status) {
    QCoreApplication::exit(status);
}

}  // namespace tabrook
