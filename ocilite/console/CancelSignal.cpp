#include "ocilite/console/CancelSignal.h"

#include <atomic>
#include <csignal>

namespace ocilite {
namespace {

std::atomic<Session*> watched{nullptr};
volatile std::sig_atomic_t pressed = 0;

extern "C" void OnInterrupt(int) {
    pressed = 1;
    // sqlite3_interrupt, which Cancel calls, may be called from a signal handler
    if (Session* s = watched.load()) s->Cancel();
}

}  // namespace

void CancelSignal::Install() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
}

void CancelSignal::Watch(Session* session) {
    watched.store(session);
}
bool CancelSignal::Pending() {
    return pressed != 0;
}
void CancelSignal::Clear() {
    pressed = 0;
}

}  // namespace ocilite
