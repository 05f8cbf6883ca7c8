// The engine under hostile conditions: a commit that fails on a full disk, the modes of the
// files and folders it creates, and SQL nested deep enough to exhaust a recursive parser.

#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

using Lines = std::vector<std::string>;

// Limits the size of every file this process writes for the life of the object; writes past
// the limit fail with EFBIG instead of raising SIGXFSZ, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    sighandler_t oldHandler_ = SIG_DFL;
};

std::uintmax_t SizeOr0(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : size;
}

TEST_F(EngineTest, CommitOnAFullDiskFailsOnceAndTheRollbackAfterItSucceeds) {
    Exec("CREATE TABLE t(v VARCHAR2(4000))");
    Exec("INSERT INTO t VALUES('kept')");
    session_->Commit();
    const std::string big(3000, 'x');
    for (int i = 0; i < 150; ++i) Exec("INSERT INTO t VALUES('" + big + "')");
    std::string commitError;
    {
        FileSizeLimit limit(SizeOr0(db_) + SizeOr0(db_ + "-wal") + 64 * 1024);
        try {
            session_->Commit();
        } catch (const OraError& e) {
            commitError = e.what();
        }
        ASSERT_FALSE(commitError.empty()) << "the commit did not meet the full disk";
        EXPECT_EQ(commitError.find("ORA-00600"), std::string::npos) << commitError;
        // The transaction ended with the failed commit: the rollback has nothing to report.
        EXPECT_NO_THROW(session_->Rollback());
    }
    EXPECT_EQ(Rows("SELECT count(*) FROM t"), Lines{"1"});
    Exec("INSERT INTO t VALUES('after')");
    session_->Commit();
    EXPECT_EQ(Rows("SELECT v FROM t ORDER BY v"), (Lines{"after", "kept"}));
}

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

TEST_F(EngineTest, NewDatabasesAndTheDefaultFolderAreTheOwnersOnly) {
    const mode_t old = ::umask(022);
    const std::string file = dir_.File("fresh.db");
    {
        auto s = Session::Logon("scott", "tiger", file, true);
        auto st = s->Prepare("CREATE TABLE t(v NUMBER)");
        st->Execute();
        EXPECT_EQ(ModeOf(file), 0600u);
        EXPECT_EQ(ModeOf(file + "-wal"), 0600u);
    }
    const char* savedXdg = std::getenv("XDG_DATA_HOME");
    const std::string saved = savedXdg ? savedXdg : "";
    ::setenv("XDG_DATA_HOME", dir_.File("xdg").c_str(), 1);
    {
        auto s = Session::Logon("scott", "tiger", "", false);
        EXPECT_EQ(ModeOf(dir_.Path() / "xdg" / "tabrook"), 0700u);
        EXPECT_EQ(ModeOf(dir_.Path() / "xdg" / "tabrook" / "default.db"), 0600u);
    }
    if (savedXdg)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
    ::umask(old);
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// Nesting deep enough to exhaust a recursive parser's stack is refused with ORA-03095; what
// real statements nest still parses.
TEST_F(EngineTest, DeepNestingIsRefusedWithAnOracleError) {
    Exec("CREATE TABLE t(a NUMBER)");
    Exec("INSERT INTO t VALUES(1)");
    struct Case {
        const char* name;
        std::string sql;
        std::string error;  // "" when the statement runs
    };
    const std::vector<Case> cases = {
        {"parentheses", "SELECT " + Repeat("(", 20000) + "1" + Repeat(")", 20000) + " FROM t", "ORA-03095"},
        {"NOTs", "SELECT a FROM t WHERE " + Repeat("NOT ", 20000) + "a = 1", "ORA-03095"},
        {"signs", "SELECT " + Repeat("- ", 20000) + "1 FROM t", "ORA-03095"},
        {"subqueries", "SELECT " + Repeat("(SELECT ", 5000) + "1" + Repeat(" FROM t)", 5000) + " FROM t", "ORA-03095"},
        {"chain", "SELECT a FROM t WHERE " + Repeat("a = 1 OR ", 20000) + "a = 1", "ORA-03095"},
        {"moderate parentheses", "SELECT " + Repeat("(", 30) + "1" + Repeat(")", 30) + " FROM t", ""},
        {"moderate NOTs", "SELECT a FROM t WHERE " + Repeat("NOT ", 10) + "a = 1", ""},
        // Past the stack of SQLite's own parser, below the engine's limit: the same error.
        {"SQLite's limit", "SELECT a FROM t WHERE " + Repeat("NOT ", 200) + "a = 1", "ORA-03095"},
        {"moderate chain", "SELECT a FROM t WHERE " + Repeat("a = 2 OR ", 50) + "a = 1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string error = ErrorOf(c.sql);
        if (c.error.empty()) {
            EXPECT_EQ(error, "");
        } else {
            EXPECT_EQ(error.substr(0, c.error.size()), c.error) << error;
        }
    }
}

}  // namespace
}  // namespace ocilite::test
