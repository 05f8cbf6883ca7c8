#include "app/HeadlessHost.h"

#include "transfer/RunContext.h"

namespace tabrook {

HeadlessHost::HeadlessHost(RunContext& context, std::FILE* messages) : context_(context), messages_(messages) {}

int HeadlessHost::MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) {
    if (!context_.AutoClose && messages_) {
        const char* kind = icon == MsgIcon::Error      ? "error"
                           : icon == MsgIcon::Warning  ? "warning"
                           : icon == MsgIcon::Question ? "question"
                                                       : "info";
        std::fprintf(messages_, "tabrook: %s: %s\n", kind, text.c_str());
        std::fflush(messages_);
    }
    return buttons == MsgButtons::YesNo ? kMsgYes : kMsgOk;
}

void HeadlessHost::SetStatusMessage(const std::string& text) {
    std::lock_guard lock(mutex_);
    status_ = text;
}

std::string HeadlessHost::StatusMessage() const {
    std::lock_guard lock(mutex_);
    return status_;
}

}  // namespace tabrook
