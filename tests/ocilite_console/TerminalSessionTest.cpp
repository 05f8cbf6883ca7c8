// The interactive console through a pseudo-terminal, as a person at a terminal uses it: the
// prompt and numbered continuation lines, aligned results, Ctrl+C during a long query, the
// history kept between sessions, the pager, and logging on without a connect string.

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

// ocilite-sql on a 100x40 pseudo-terminal in a folder of its own.
class PseudoTerminal {
public:
    PseudoTerminal(const fs::path& dir, const std::string& connect, const std::string& pager = "") {
        winsize size{};
        size.ws_col = 100;
        size.ws_row = 40;
        pid_ = forkpty(&fd_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            if (::chdir(dir.c_str()) != 0) _exit(127);
            ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
            ::setenv("PAGER", pager.c_str(), 1);
            ::unsetenv("TABROOK_PASSWORD");
            const char* binary = TABROOK_BINARY_DIR "/ocilite-sql";
            if (connect.empty())
                ::execl(binary, binary, static_cast<char*>(nullptr));
            else
                ::execl(binary, binary, connect.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~PseudoTerminal() {
        if (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0) ::close(fd_);
    }

    void Type(const std::string& keys) { ASSERT_EQ(::write(fd_, keys.data(), keys.size()), ssize_t(keys.size())); }

    // Types at the prompt once the line editor reads (the terminal leaves canonical mode): keys
    // typed ahead are echoed by the terminal, and a Ctrl+C would throw them away.
    void TypeAtPrompt(const std::string& keys) {
        termios mode{};
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (::tcgetattr(fd_, &mode) == 0 && (mode.c_lflag & ICANON) && std::chrono::steady_clock::now() < giveUp)
            ::poll(nullptr, 0, 10);
        Type(keys);
    }

    // Everything shown (without carriage returns) up to the first `text` after what earlier
    // calls returned; the test fails when it does not come within the time limit.
    std::string WaitFor(const std::string& text) {
        auto part = Shown(text, std::chrono::seconds(60));
        if (!part) ADD_FAILURE() << "never shown: " << text << "\nscreen:\n" << screen_.substr(seen_);
        return part.value_or("");
    }

    // The same, or nothing when `text` has not come after `limit`.
    std::optional<std::string> Shown(const std::string& text, std::chrono::seconds limit) {
        const auto giveUp = std::chrono::steady_clock::now() + limit;
        size_t found;
        while ((found = screen_.find(text, seen_)) == std::string::npos) {
            pollfd p{fd_, POLLIN, 0};
            char buf[4096];
            if (std::chrono::steady_clock::now() > giveUp || ::poll(&p, 1, 200) < 0) return std::nullopt;
            if (!(p.revents & (POLLIN | POLLHUP))) continue;
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) return std::nullopt;
            for (ssize_t i = 0; i < n; ++i)
                if (buf[i] != '\r') screen_ += buf[i];
        }
        std::string part = screen_.substr(seen_, found + text.size() - seen_);
        seen_ = found + text.size();
        return part;
    }

    int ExitStatus() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    std::string screen_;
    size_t seen_ = 0;
};

// What was shown after the last echo of a typed line (a line typed ahead of the prompt may be
// echoed twice: by the terminal, then by the line editor).
std::string AfterEcho(const std::string& shown, const std::string& typed) {
    const size_t at = shown.rfind(typed);
    return at == std::string::npos ? shown : shown.substr(at + typed.size());
}

class TerminalSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ocilite-terminal-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        Script("--create scott/tiger@shop.db",
               "create table customers (id number(10) primary key, name varchar2(40) not null, note varchar2(100));\n"
               "insert into customers values (1, 'Ann', 'likes tea');\n"
               "insert into customers values (2, '山田太郎', null);\n");
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs a script through ocilite-sql and gives its standard output.
    std::string Script(const std::string& args, const std::string& sql) {
        std::ofstream(dir_ / "in.sql") << sql;
        const std::string cmd =
            "cd '" + dir_.string() + "' && '" TABROOK_BINARY_DIR "/ocilite-sql' " + args + " < in.sql > out.txt 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << sql;
        std::ifstream in(dir_ / "out.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir_;
};

TEST_F(TerminalSessionTest, PromptContinuationAndAlignedResults) {
    PseudoTerminal t(dir_, "scott/tiger@shop.db");
    t.WaitFor("SQL> ");
    t.TypeAtPrompt("set timing off\n");
    t.WaitFor("SQL> ");
    t.TypeAtPrompt("select id, name,\n");
    t.WaitFor("  2  ");
    t.TypeAtPrompt("note from customers\n");
    t.WaitFor("  3  ");
    t.TypeAtPrompt("order by id;\n");
    EXPECT_EQ(AfterEcho(t.WaitFor("SQL> "), "order by id;\n"),
              "\nID NAME     NOTE\n"
              "-- -------- ---------\n"
              " 1 Ann      likes tea\n"
              " 2 山田太郎\n\n"
              "2 rows selected.\n\nSQL> ");
    t.TypeAtPrompt("desc customers\n");
    EXPECT_EQ(AfterEcho(t.WaitFor("SQL> "), "desc customers\n"),
              "\nName Null?    Type\n"
              "---- -------- -------------\n"
              "ID   NOT NULL NUMBER(10)\n"
              "NAME NOT NULL VARCHAR2(40)\n"
              "NOTE          VARCHAR2(100)\n\nSQL> ");
    t.TypeAtPrompt("update customers set note = 'x';\n");
    EXPECT_NE(t.WaitFor("SQL> ").find("2 rows updated."), std::string::npos);
    t.TypeAtPrompt("exit\n");
    EXPECT_EQ(t.ExitStatus(), 0);
    // leaving commits the work, as a script does
    EXPECT_EQ(Script("scott/tiger@shop.db", "select count(*) from customers where note = 'x';\n"), "COUNT(*)\n2\n");
}

TEST_F(TerminalSessionTest, CtrlCCancelsTheRunningStatementAndTheConsoleGoesOn) {
    Script("scott/tiger@shop.db",
           // 3^6 rows: the query below would count 3^24 rows
           "create table big as select a.column_name n from all_tab_columns a, all_tab_columns b, "
           "all_tab_columns c, all_tab_columns d, all_tab_columns e, all_tab_columns f;\n");
    PseudoTerminal t(dir_, "scott/tiger@shop.db");
    t.WaitFor("SQL> ");
    t.TypeAtPrompt("select count(*) from big a, big b, big c, big d;\n");
    t.WaitFor("big d;\n");
    // Ctrl+C stops it; a Ctrl+C that came before the query started is pressed again
    bool cancelled = false;
    for (int i = 0; i < 10 && !cancelled; ++i) {
        t.Type("\x03");
        cancelled =
            t.Shown("ORA-01013: user requested cancel of current operation\n", std::chrono::seconds(10)).has_value();
    }
    EXPECT_TRUE(cancelled);
    t.WaitFor("SQL> ");
    t.TypeAtPrompt("half a line\x03");
    t.WaitFor("SQL> ");
    t.TypeAtPrompt("select count(*) from customers;\n");
    EXPECT_NE(t.WaitFor("SQL> ").find("       2\n"), std::string::npos);
    t.TypeAtPrompt("\x04");  // Ctrl+D leaves
    EXPECT_EQ(t.ExitStatus(), 0);
}

TEST_F(TerminalSessionTest, HistoryIsKeptBetweenSessions) {
    {
        PseudoTerminal t(dir_, "scott/tiger@shop.db");
        t.WaitFor("SQL> ");
        t.TypeAtPrompt("select name from customers where id = 1;\n");
        t.WaitFor("SQL> ");
        t.TypeAtPrompt("quit\n");
        EXPECT_EQ(t.ExitStatus(), 0);
    }
    const fs::path history = dir_ / "data" / "tabrook" / "ocilite-sql_history";
    ASSERT_TRUE(fs::exists(history));
    EXPECT_EQ(fs::status(history).permissions() & fs::perms::group_all, fs::perms::none);
    PseudoTerminal t(dir_, "scott/tiger@shop.db");
    t.WaitFor("SQL> ");
    t.TypeAtPrompt("\x1b[A\x1b[A\n");  // up arrow twice: before "quit", the last statement
    const std::string shown = t.WaitFor("1 row selected.");
    EXPECT_NE(shown.find("select name from customers where id = 1;"), std::string::npos);
    EXPECT_NE(shown.find("\nAnn\n"), std::string::npos);
}

TEST_F(TerminalSessionTest, LongResultsGoThroughThePager) {
    Script("scott/tiger@shop.db",
           "create table many as select a.column_name n from all_tab_columns a, all_tab_columns b, all_tab_columns c, "
           "all_tab_columns d;\n");
    PseudoTerminal t(dir_, "scott/tiger@shop.db", "sed s/^/paged:/");
    t.WaitFor("SQL> ");
    t.TypeAtPrompt("select n from many where rownum <= 60;\n");
    const std::string shown = t.WaitFor("rows selected.");
    EXPECT_NE(shown.find("paged:N\npaged:-"), std::string::npos);
    t.TypeAtPrompt("select id from customers;\n");  // a short one does not
    EXPECT_EQ(t.WaitFor("SQL> ").find("paged:"), std::string::npos);
}

TEST_F(TerminalSessionTest, WithoutConnectStringTheProgramsUserOpensTheDefaultDatabase) {
    fs::create_directories(dir_ / "config" / "Vornex");
    std::ofstream(dir_ / "config" / "Vornex" / "Hollin.conf") << "[List-1]\nCONN=\nUSER=loader\n";
    PseudoTerminal t(dir_, "");
    t.WaitFor("Password for loader: ");
    t.TypeAtPrompt("s3cret\n");
    EXPECT_EQ(t.WaitFor("\n"), "******\n");  // masked
    t.WaitFor("SQL> ");
    t.TypeAtPrompt("show user\n");
    EXPECT_NE(t.WaitFor("SQL> ").find("USER is \"LOADER\""), std::string::npos);
    t.TypeAtPrompt("exit\n");
    EXPECT_EQ(t.ExitStatus(), 0);
    EXPECT_TRUE(fs::exists(dir_ / "data" / "tabrook" / "default.db"));
}

}  // namespace
