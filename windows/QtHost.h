#pragma once
// The host of the program with windows. Calls from the transfer thread are carried to the user
// interface thread: a message box (and the shell's open, whose answer matters) as a blocking
// queued call, so the transfer thread waits for the answer; the busy pointer, the status text,
// the text viewer and the job rows as queued calls the transfer thread does not wait for. Made
// on the user interface thread they run at once.

#include <QObject>
#include <QPointer>
#include <cstddef>
#include <functional>
#include <utility>

#include "transfer/Host.h"
#include "transfer/Job.h"

class QMessageBox;
class QWidget;

namespace tabrook {

// The caption of every message box.
inline constexpr char kApplicationTitle[] = "Tabrook+ Version 1.2a";

// Makes box at least as wide as its title bar needs to show the whole caption.
void KeepCaptionWhole(QMessageBox& box);

class QtHost : public Host {
public:
    QtHost();
    ~QtHost() override;

    // The window that parents the boxes and whose status panel shows the status text.
    void SetWindow(QWidget* window, std::function<void(const QString&)> statusSink);

    int MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override;
    bool OpenWithShell(const std::string& path) override;
    void ShowInTextViewer(const std::string& path) override;
    void SetBusyPointer(BusyPointer pointer) override;
    void RestorePointer() override;
    void SetStatusMessage(const std::string& text) override;
    // Called on the user interface thread right before a box is shown (the counts under it
    // are brought up to date).
    void SetBeforeBox(std::function<void()> call) { beforeBox_ = std::move(call); }
    // The transfer thread's job progress goes to sink (the job list window), on the user
    // interface thread; without a sink it is dropped.
    void SetJobRowSink(std::function<void(std::size_t, const Job&)> sink) { jobRowSink_ = std::move(sink); }
    void ShowJobRow(std::size_t index, const Job& job) override;

    // Runs call on the user interface thread and waits for it (at once when already there).
    void OnUiThread(const std::function<void()>& call);
    // Runs call on the user interface thread without waiting for it (at once when already there).
    void PostToUiThread(std::function<void()> call);

private:
    QObject* anchor_;  // lives on the user interface thread: the target of the queued calls
    QPointer<QWidget> window_;
    std::function<void(const QString&)> statusSink_;
    std::function<void(std::size_t, const Job&)> jobRowSink_;
    std::function<void()> beforeBox_;
};

}  // namespace tabrook
