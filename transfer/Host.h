#pragma once
// The core's one window onto the user. The engines, the previews and the transfer thread reach
// the user only through this interface; the Qt program implements it over its windows, tests
// and unattended runs implement it without widgets. The caption of every box is the window
// side's business.
//
// Threads. The user interface thread runs the windows and the previews; the transfer thread
// runs the engines. The calls are in two groups:
//  - Calls from any thread (the first block and Synchronize): the transfer thread makes them
//    while a transfer runs. An implementation with windows carries each one to the user
//    interface thread and returns when it is done there (a blocking queued call), so a message
//    box holds the transfer thread until it is answered. Called on the user interface thread
//    itself they run at once.
//  - User-interface steps (the block after Synchronize): only ever called on the user
//    interface thread, either directly there (previews) or inside a step the transfer thread
//    hands to Synchronize. They touch the windows' state without locks.
// This is the only road from the transfer thread to the windows.

#include <cstddef>
#include <functional>
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

    // ---- Calls from any thread: files shown to the user, the busy pointer, the status text ----
    // The defaults do nothing, so a host without a desktop (tests, unattended runs) needs none.

    // Opens a file with the program the desktop associates with it; false when that failed.
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

    // Runs step on the user interface thread and waits for it (the default runs it at once, on
    // the calling thread: right for a host whose only thread is the caller's).
    virtual void Synchronize(const std::function<void()>& step) { step(); }

    // ---- User-interface steps: only on the user interface thread (see the top) ----
    // They default to doing nothing, so a host without a grid still runs.
    // The grid's column list: names and type codes of the data columns, at most capacity of
    // them; the number read, or -1 when the grid has more columns than capacity.
    virtual int ReadGridColumns(int* types, std::string* names, int capacity) {
        (void)types;
        (void)names;
        (void)capacity;
        return 0;
    }
    // The status bar's success and error counts.
    virtual void ShowCounts(int success, int error) {
        (void)success;
        (void)error;
    }
    // Before each job of a job-list run: the table field gets table and is previewed.
    virtual void ShowJobTable(const std::string& table) { (void)table; }
    // The CSV field gets jobCsv (when not null: a job-list run), a bare file name is completed
    // with the program's folder, and the file is previewed.
    virtual void ShowJobCsv(const std::string* jobCsv) { (void)jobCsv; }
    // The job list window's row index shows the status and counts of job.
    virtual void ShowJobRow(std::size_t index, const Job& job) {
        (void)index;
        (void)job;
    }
};

}  // namespace tabrook
