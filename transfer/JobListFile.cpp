#include "transfer/JobListFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "transfer/GetField.h"
#include "transfer/Host.h"
#include "transfer/RunContext.h"
#include "transfer/RunLog.h"
#include "transfer/SafeFiles.h"

namespace tabrook {

namespace {

const char* const kUnreadable = "JobListファイルを読み取れません。";

// Reads the whole file; false when it cannot be opened or read, or is no regular file (a
// folder, a named pipe).
bool ReadWholeFile(const std::string& path, std::string& text) {
    FilePtr file = OpenForReading(path);
    if (!file) return false;
    text.clear();
    char block[16384];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) text.append(block, got);
    return std::ferror(file.get()) == 0;
}

}  // namespace

std::vector<JobListRow> ParseJobListText(const std::string& text) {
    std::vector<JobListRow> rows;
    std::size_t pos = text.find('\n');  // line 1 is the saved mode (JobListMode)
    if (pos == std::string::npos) return rows;
    ++pos;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();  // a last line without a line feed counts
        std::string_view line(text.data() + pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = end + 1;
        std::string table = GetField(line, "\t", 0);
        if (table.empty()) continue;
        rows.push_back({std::move(table), GetField(line, "\t", 1)});
    }
    return rows;
}

int JobListMode(const std::string& text) {
    std::string_view line(text.data(), std::min(text.find('\n'), text.size()));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (line == "0") return 0;
    if (line == "1") return 1;
    return -1;
}

bool ReadJobList(const std::string& path, RunContext& context, Host& host, int* listMode) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        WriteLog("I997", kUnreadable);
        if (!context.AutoClose) host.MessageBox(kUnreadable, MsgIcon::Warning, MsgButtons::Ok);
        context.ListFile.clear();
        return false;
    }
    if (listMode != nullptr) *listMode = JobListMode(text);
    context.JobList.Clear();
    for (JobListRow& row : ParseJobListText(text)) {
        context.JobList.Add(std::move(row.Table), std::move(row.Csv));
    }
    return true;
}

bool WriteJobList(const std::string& path, int mode, const std::vector<JobListRow>& rows, std::string* error) {
    auto fail = [&](const std::string& reason) {
        if (error) *error = reason;
        return false;
    };
    std::string text = std::to_string(mode) + "\r\n";
    for (const JobListRow& row : rows) {
        // A tab or line break inside a name would shift or split the job when read back.
        if ((row.Table + row.Csv).find_first_of("\t\r\n") != std::string::npos) {
            return fail("a table name or CSV path holds a tab or line break: " + row.Table);
        }
        text += row.Table + '\t' + row.Csv + "\r\n";
    }
    // Written beside the target and renamed over it, so a failed save keeps the old list.
    const std::string partial = path + ".partial";
    FilePtr file(std::fopen(partial.c_str(), "wb"));
    if (!file) return fail(path + ": " + std::strerror(errno));
    bool ok = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    int savedErrno = errno;
    ok = std::fclose(file.release()) == 0 && ok;
    if (!ok) savedErrno = savedErrno ? savedErrno : errno;
    std::error_code renameError;
    if (ok) std::filesystem::rename(partial, path, renameError);
    if (ok && !renameError) return true;
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    return fail(path + ": " + (renameError ? renameError.message() : std::strerror(savedErrno)));
}

}  // namespace tabrook
