// The run log on real files: line format, working file, rename, failures.

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "tests/transfer/BoxRecordingHost.h"
#include "tests/transfer/TempFolder.h"
#include "transfer/RunLog.h"

namespace tabrook {
namespace {

using testing::BoxRecordingHost;
using testing::TempFolder;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

// "yyyy/mm/dd hh:nn:ss"
bool IsStamp(const std::string& text) {
    const std::string shape = "dddd/dd/dd dd:dd:dd";
    if (text.size() != shape.size()) return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (shape[i] == 'd' ? !digit : text[i] != shape[i]) return false;
    }
    return true;
}

std::time_t FixedClock() {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 4;
    local.tm_hour = 5;
    local.tm_min = 6;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

TEST(RunLog, WritesLinesToTheWorkingFileThenRenames) {
    BoxRecordingHost quiet;  // answers the log's message, should it show one
    TempFolder folder;
    const std::string logFile = folder.File("Tabrook.log");
    const std::string working = folder.File("Tabrook.tmp");
    RunLog log;
    log.SetClockForTesting(FixedClock);
    ASSERT_TRUE(log.Open(logFile, false, quiet));
    EXPECT_TRUE(std::filesystem::exists(working));
    EXPECT_FALSE(std::filesystem::exists(logFile));
    EXPECT_TRUE(log.Write("H", "Mode=Import\tSeparator=,"));
    EXPECT_TRUE(log.Write("E005", "EMP\te.csv\t3\t2\t1\tORA-00001: unique\nconstraint\r\nviolated"));
    EXPECT_EQ(Lines(TempFolder::Read(working)).size(), 3u) << "each line is flushed at once";
    log.Close();
    EXPECT_FALSE(std::filesystem::exists(working));
    const std::vector<std::string> lines = Lines(TempFolder::Read(logFile));
    const std::vector<std::string> expected = {
        "S\t2026/03/04 05:06:07",
        "H\t2026/03/04 05:06:07\tMode=Import\tSeparator=,",
        "E005\t2026/03/04 05:06:07\tEMP\te.csv\t3\t2\t1\tORA-00001: uniqueconstraint\rviolated",
        "Q\t2026/03/04 05:06:07",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_FALSE(log.Write("O", "after close")) << "a wanted log that is not open";
}

TEST(RunLog, RealClockStampShape) {
    EXPECT_TRUE(IsStamp(LogTimeStamp(std::time(nullptr)))) << LogTimeStamp(std::time(nullptr));
    EXPECT_FALSE(IsStamp("2026-01-02 03:04:05"));
}

TEST(RunLog, ASecondStartDiscardsTheFirstLog) {
    BoxRecordingHost quiet;  // answers the log's message, should it show one
    TempFolder folder;
    const std::string logFile = folder.File("run.log");
    {
        RunLog first;
        ASSERT_TRUE(first.Open(logFile, true, quiet));
        first.Write("O", "first run");
        first.Close();
    }
    RunLog second;
    ASSERT_TRUE(second.Open(logFile, true, quiet));
    EXPECT_FALSE(std::filesystem::exists(logFile)) << "the old log is deleted at the start";
    second.Close();
    const std::string text = TempFolder::Read(logFile);
    EXPECT_EQ(text.find("first run"), std::string::npos);
    EXPECT_EQ(Lines(text).size(), 2u);
}

TEST(RunLog, NoLogWanted) {
    BoxRecordingHost quiet;  // answers the log's message, should it show one
    RunLog log;
    EXPECT_TRUE(log.Open("", false, quiet));
    EXPECT_TRUE(log.Write("H", "anything"));
    log.Close();
    EXPECT_FALSE(log.IsOpen());
}

TEST(RunLog, CannotCreateTheWorkingFile) {
    TempFolder folder;
    for (bool autoClose : {false, true}) {
        BoxRecordingHost host;
        RunLog log;
        EXPECT_FALSE(log.Open(folder.File("missing/dir/x.log"), autoClose, host));
        EXPECT_FALSE(log.Write("H", "x"));
        log.Close();
        if (autoClose) {
            EXPECT_TRUE(host.boxes.empty());
        } else {
            ASSERT_EQ(host.boxes.size(), 1u);
            EXPECT_EQ(host.boxes[0].Text, "ログを記録できません。");
            EXPECT_EQ(host.boxes[0].Icon, MsgIcon::Error);
        }
    }
}

TEST(RunLog, LinesFromTwoThreadsStayWhole) {
    BoxRecordingHost quiet;  // answers the log's message, should it show one
    TempFolder folder;
    const std::string logFile = folder.File("threads.log");
    RunLog log;
    ASSERT_TRUE(log.Open(logFile, true, quiet));
    auto writer = [&](const char* code) {
        for (int i = 0; i < 500; ++i) log.Write(code, std::string(200, code[0]));
    };
    std::thread a(writer, "A");
    std::thread b(writer, "B");
    a.join();
    b.join();
    log.Close();
    int count = 0;
    for (const std::string& line : Lines(TempFolder::Read(logFile))) {
        if (line[0] == 'S' || line[0] == 'Q') continue;
        // code, tab, stamp, tab, 200 times the code letter: nothing of the other thread inside
        ASSERT_EQ(line.size(), 2 + 19 + 1 + 200u) << line.substr(0, 40);
        EXPECT_TRUE(line[0] == 'A' || line[0] == 'B');
        EXPECT_EQ(line[1], '\t');
        EXPECT_TRUE(IsStamp(line.substr(2, 19)));
        EXPECT_EQ(line.substr(22), std::string(200, line[0]));
        ++count;
    }
    EXPECT_EQ(count, 1000);
}

TEST(RunLog, ResultCodes) {
    const std::vector<std::pair<int, std::string>> cases = {{0, "O"},     {-1, "C"},       {5, "E005"},
                                                            {12, "E012"}, {1234, "E1234"}, {-2, "E-002"}};
    for (const auto& [result, code] : cases) EXPECT_EQ(ResultLogCode(result), code) << result;
}

}  // namespace
}  // namespace tabrook
