#pragma once
// Ctrl+C at the interactive console: the statement running on the watched session stops with
// ORA-01013, a line being typed is dropped, and the console goes on. Scripts keep the default
// (Ctrl+C ends them).

#include "ocilite/engine/Engine.h"

namespace ocilite {

class CancelSignal {
public:
    // Catches SIGINT without restarting reads, so a read at the prompt returns at once.
    static void Install();
    // The session whose running statement Ctrl+C cancels (nullptr: none).
    static void Watch(Session* session);
    // Whether Ctrl+C was pressed since the last Clear.
    static bool Pending();
    static void Clear();
};

}  // namespace ocilite
