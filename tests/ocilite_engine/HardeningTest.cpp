// The engine under hostile conditions: a commit that fails on a full disk, the modes of the
// files and folders it creates, SQL nested deep enough to exhaust a recursive parser, tables
// wider than Oracle allows, a refused logon on an empty file, and a database in a folder that
// may not be written.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Oracle's limit of 1000 columns holds for tables, tables made from a query, and views.
TEST_F(EngineTest, MoreThanAThousandColumnsAreRefusedWithOraclesError) {
    auto columns = [](int count, const char* type) {
        std::string list;
        for (int i = 1; i <= count; ++i) list += (i > 1 ? ", c" : "c") + std::to_string(i) + type;
        return list;
    };
    const std::string kTooMany = "ORA-01792: maximum number of columns in a table or view is 1000";
    EXPECT_EQ(ErrorOf("CREATE TABLE wide(" + columns(1000, " NUMBER") + ")"), "");
    EXPECT_EQ(ErrorOf("CREATE TABLE wider(" + columns(1001, " NUMBER") + ")"), kTooMany);
    EXPECT_EQ(ErrorOf("CREATE TABLE widest(" + columns(3000, " VARCHAR2(1)") + ")"), kTooMany);
    const std::string wideSelect = "SELECT wide.*, 1 AS extra FROM wide";
    EXPECT_EQ(ErrorOf("CREATE TABLE copy AS " + wideSelect), kTooMany);
    EXPECT_EQ(ErrorOf("CREATE VIEW v AS " + wideSelect), kTooMany);
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM user_tables WHERE table_name IN ('WIDER', 'WIDEST', 'COPY')"), Lines{"0"});
}

// A logon refused on an existing empty file leaves it empty and adds no file beside it.
TEST_F(EngineTest, ARefusedLogonOnAnEmptyFileChangesNothing) {
    const std::string empty = dir_.File("empty/empty.db");
    std::filesystem::create_directories(dir_.Path() / "empty");
    { std::FILE* f = std::fopen(empty.c_str(), "w"); std::fclose(f); }
    EXPECT_THROW(Session::Logon("scott", "tiger", empty, false), OraError);
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path() / "empty"), {}), 1);
}

// A database in a folder its user may not write opens for reading; writes are refused with
// ORA-16000. The user is a child process (nobody when the tests run as root, whom permissions
// do not stop).
TEST_F(EngineTest, ADatabaseInAReadOnlyFolderOpensForReading) {
    const std::filesystem::path folder = dir_.Path() / "ro";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "shop.db").string();
    {
        auto s = Session::Logon("scott", "tiger", file, true);
        s->Prepare("CREATE TABLE t(v NUMBER)")->Execute();
        s->Prepare("INSERT INTO t VALUES(7)")->Execute();
        s->Commit();
    }
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chmod(dir_.Path().c_str(), 0711), 0);
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            ASSERT_EQ(::chown(entry.path().c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(::chmod(folder.c_str(), 0500), 0);
    int pipeFd[2];
    ASSERT_EQ(::pipe(pipeFd), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFd[0]);
        std::string result;
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(1);
        try {
            auto s = Session::Logon("scott", "tiger", file, false);
            for (const std::string& row : Rows("SELECT v FROM t", s.get())) result += row;
            result += "|" + ErrorOf("INSERT INTO t VALUES(8)", s.get());
        } catch (const OraError& e) {
            result = e.Message();
        }
        (void)!::write(pipeFd[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(pipeFd[1]);
    char buf[512] = {};
    const ssize_t n = ::read(pipeFd[0], buf, sizeof buf - 1);
    ::close(pipeFd[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(folder.c_str(), 0700);
    ASSERT_GT(n, 0) << "the child could not take the user nobody";
    EXPECT_EQ(std::string(buf), "7|ORA-16000: database or pluggable database open for read-only access");
}

}  // namespace
}  // namespace ocilite::test
