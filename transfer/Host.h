#pragma once
// The core's one window onto the user: message boxes today; the engines and the transfer
// thread add their calls here (column list, counts, previews, job rows) as they arrive.
// The Qt program implements it on the UI thread; tests and unattended runs implement it
// without widgets. The caption of every box is the window side's business.

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

  // ---- Engines and previews: files shown to the user, the busy pointer, the status text ----
  // The defaults do nothing, so a host without a desktop (tests, unattended runs) needs none.

  // Opens a file with the program the desktop associates with it; false when that failed.
  virtual bool OpenWithShell(const std::string& path) { (void)path; return false; }
  // Shows a file in the program's own read-only text viewer (used when the shell cannot).
  virtual void ShowInTextViewer(const std::string& path) { (void)path; }
  // The mouse pointer while a statement runs (SqlWait) or a file is read (Hourglass).
  enum class BusyPointer { SqlWait, Hourglass };
  virtual void SetBusyPointer(BusyPointer pointer) { (void)pointer; }
  virtual void RestorePointer() {}
  // The text of the main window's message panel (the last panel of the status bar).
  virtual void SetStatusMessage(const std::string& text) { (void)text; }
  // ---- end of the engines' and previews' block ----

  // ---- Transfer thread: synchronized steps and the run's outcome ----
  // The transfer thread hands each step to Synchronize, which runs it where the windows live
  // and returns when it is done (the default runs it at once, on the calling thread). The
  // steps themselves default to doing nothing, so a host without a grid still runs.

  // Runs step on the user interface thread and waits for it.
  virtual void Synchronize(const std::function<void()>& step) { step(); }
  // The grid's column list: names and type codes of the data columns, at most capacity of
  // them; the number read, or -1 when the grid has more columns than capacity.
  virtual int ReadGridColumns(int* types, std::string* names, int capacity) {
    (void)types; (void)names; (void)capacity; return 0;
  }
  // The status bar's success and error counts.
  virtual void ShowCounts(int success, int error) { (void)success; (void)error; }
  // Before each job of a job-list run: the table field gets table and is previewed.
  virtual void ShowJobTable(const std::string& table) { (void)table; }
  // The CSV field gets jobCsv (when not null: a job-list run), a bare file name is completed
  // with the program's folder, and the file is previewed.
  virtual void ShowJobCsv(const std::string* jobCsv) { (void)jobCsv; }
  // The job list window's row index shows the status and counts of job.
  virtual void ShowJobRow(std::size_t index, const Job& job) { (void)index; (void)job; }
  // ---- end of the transfer thread's block ----
};

// The process-wide host. Null until the program or a test sets one.
Host* CurrentHost();

// Sets the process-wide host (null restores the standard-error fallback); returns the previous one.
Host* SetCurrentHost(Host* host);

// Shows a box through the current host. With no host the text goes to standard error and the
// first button's answer (OK or Yes) is returned.
int ShowMessage(const std::string& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);

// Installs a host for the lifetime of a scope and restores the previous one after it.
class ScopedHost {
public:
  explicit ScopedHost(Host* host) : previous_(SetCurrentHost(host)) {}
  ~ScopedHost() { SetCurrentHost(previous_); }
  ScopedHost(const ScopedHost&) = delete;
  ScopedHost& operator=(const ScopedHost&) = delete;

private:
  Host* previous_;
};

}  // namespace tabrook
