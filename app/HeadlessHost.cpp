#include "app/HeadlessHost.h"

#include <filesystem>
#include <span>

#include "app/DataPreview.h"
#include "app/ProgramFolder.h"
#include "transfer/RunContext.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

HeadlessHost::HeadlessHost(Tdm& dm, TransferSettings& settings, RunContext& context, std::FILE* messages)
    : dm_(dm), settings_(settings), context_(context), messages_(messages) {}

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

void HeadlessHost::Synchronize(const std::function<void()>& step) {
    // One step at a time, as on a single user interface thread.
    std::lock_guard lock(stepMutex_);
    step();
}

int HeadlessHost::ReadGridColumns(int* types, std::string* names, int capacity) {
    std::size_t size = capacity < 0 ? 0 : static_cast<std::size_t>(capacity);
    return tabrook::ReadGridColumns(grid_, std::span<int>(types, size), std::span<std::string>(names, size), capacity);
}

void HeadlessHost::ShowCounts(int success, int error) {
    successShown_ = success;
    errorShown_ = error;
}

void HeadlessHost::ShowJobTable(const std::string& table) {
    TableText = table;
    PreviewTarget target{grid_, dm_, *this, settings_, context_};
    PreviewTable(target, TableText);
}

void HeadlessHost::ShowJobCsv(const std::string* jobCsv) {
    if (jobCsv) CsvText = *jobCsv;
    // A bare file name is taken from the program's folder, as the window's field does.
    std::filesystem::path path(CsvText);
    if (path.has_filename() && !path.has_parent_path()) CsvText = (ProgramFolder() / path).string();
    context_.CsvFile = CsvText;
    PreviewTarget target{grid_, dm_, *this, settings_, context_};
    PreviewCsv(target, CsvText);
}

void HeadlessHost::SetStatusMessage(const std::string& text) {
    status_ = text;
}

}  // namespace tabrook
