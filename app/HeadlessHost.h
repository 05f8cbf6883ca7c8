#pragma once
// The host of a program without windows (unattended runs, and tests of whole runs): message
// boxes are not shown: under AutoClose they are dropped (the log records the outcome),
// otherwise their text goes to standard error. A box that asks is answered with its first
// button (OK or Yes). The status text is kept for whoever asks.

#include <cstdio>
#include <mutex>
#include <string>

#include "transfer/Host.h"

namespace tabrook {

struct RunContext;

class HeadlessHost : public Host {
public:
    explicit HeadlessHost(RunContext& context, std::FILE* messages = stderr);

    int MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override;
    void SetStatusMessage(const std::string& text) override;

    std::string StatusMessage() const;

private:
    RunContext& context_;
    std::FILE* messages_;
    mutable std::mutex mutex_;
    std::string status_;
};

}  // namespace tabrook
