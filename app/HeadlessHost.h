#pragma once
// The host of a program without windows (unattended runs, and tests of whole runs): the grid
// is a model of its own, the table and CSV fields are plain texts, the synchronized steps run
// on the transfer thread itself (nothing else touches the grid while it waits), and message
// boxes are not shown: under AutoClose they are dropped (the log records the outcome),
// otherwise their text goes to standard error. A box that asks is answered with its first
// button (OK or Yes).

#include <cstdio>
#include <mutex>
#include <string>

#include "app/GridModel.h"
#include "transfer/Host.h"

namespace tabrook {

class Tdm;
struct RunContext;
struct TransferSettings;

class HeadlessHost : public Host {
public:
    HeadlessHost(Tdm& dm, TransferSettings& settings, RunContext& context, std::FILE* messages = stderr);

    int MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override;

    void Synchronize(const std::function<void()>& step) override;
    int ReadGridColumns(int* types, std::string* names, int capacity) override;
    void ShowCounts(int success, int error) override;
    void ShowJobTable(const std::string& table) override;
    void ShowJobCsv(const std::string* jobCsv) override;
    void SetStatusMessage(const std::string& text) override;

    // The table and CSV fields of the main window, as texts.
    std::string TableText;
    std::string CsvText;

    const GridModel& Grid() const { return grid_; }
    int SuccessShown() const { return successShown_; }
    int ErrorShown() const { return errorShown_; }
    const std::string& StatusMessage() const { return status_; }

private:
    Tdm& dm_;
    TransferSettings& settings_;
    RunContext& context_;
    std::FILE* messages_;
    GridModel grid_;
    std::recursive_mutex stepMutex_;
    int successShown_ = 0;
    int errorShown_ = 0;
    std::string status_;
};

}  // namespace tabrook
