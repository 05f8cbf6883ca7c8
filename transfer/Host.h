#pragma once
// The core's one window onto the user. The engines, the previews and the transfer thread reach
// the user only through this interface; the Qt program implements it over its windows, tests
// and unattended runs implement it without widgets. The caption of every box is the window
// side's business.
//
// Threads. Every call may come from the transfer thread while a transfer runs. Only the message
// box waits for the user: an implementation with windows carries it to the user interface
// thread and returns with the answer, so a question holds the transfer thread until it is
// answered. Everything else (the busy pointer, the status text, files shown, job rows) is
// handed over to be shown when the window gets to it, and the caller goes on at once. Counts
// and progress do not come through here at all: the window reads them from the transfer
// thread's progress sink.

#include <cstddef>
#include <string>

namespace tabrook {

struct Job;

enum class MsgIcon { Information, Warning, Error, Question };

// Which buttons a box offers.
enum class MsgButtons { Ok, OkCancel, YesNo };

// The answers a box returns, numbered as the platform's dialog results.
enum MsgResult : int { kMsgOk = 1, kMsgCancel = 2, kMsgYes = 6, kMsgNo = 7 };

class Host {
public:
    virtual ~Host();

    // Shows text in a modal box and returns the button pressed (a MsgResult).
    virtual int MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) = 0;

    // ---- Shown when the window gets to it; the caller does not wait ----
    // The defaults do nothing, so a host without a desktop (tests, unattended runs) needs none.

    // Opens a file with the program the desktop associates with it; false when that failed.
    // (This one waits: its answer decides whether the text viewer is used instead.)
    virtual bool OpenWithShell(const std::string& path) {
        (void)path;
        return false;
    }
    // Shows a file in the program's own read-only text viewer (used when the shell cannot).
    virtual void ShowInTextViewer(const std::string& path) { (void)path; }
    // The mouse pointer while a statement runs (SqlWait) or a file is read (Hourglass). Every
    // SetBusyPointer is followed by exactly one RestorePointer (use the BusyPointer guard).
    enum class BusyPointer { SqlWait, Hourglass };
    virtual void SetBusyPointer(BusyPointer pointer) { (void)pointer; }
    virtual void RestorePointer() {}
    // The text of the main window's message panel (the last panel of the status bar).
    virtual void SetStatusMessage(const std::string& text) { (void)text; }
    // The job list window's row index shows the status and counts of job (a copy is taken).
    virtual void ShowJobRow(std::size_t index, const Job& job) {
        (void)index;
        (void)job;
    }
};

}  // namespace tabrook
