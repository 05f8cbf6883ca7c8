// Transactions: rollback of exactly the uncommitted rows, DDL and TRUNCATE committing, a second
// process waiting for the lock and failing with ORA-00054, committed rows surviving a kill.

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <sys/wait.h>
#include <thread>

#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(EngineTest, RollbackUndoesExactlyTheUncommittedRows) {
    Exec("CREATE TABLE t(v NUMBER)");
    Exec("INSERT INTO t VALUES(1)");
    session_->Commit();
    Exec("INSERT INTO t VALUES(2)");
    Exec("UPDATE t SET v = v * 10 WHERE v = 1");
    EXPECT_EQ(Rows("SELECT v FROM t ORDER BY v"), (Lines{"2", "10"}));  // own changes are visible
    session_->Rollback();
    EXPECT_EQ(Rows("SELECT v FROM t ORDER BY v"), Lines{"1"});
    Exec("INSERT INTO t VALUES(3)");
    Exec("ROLLBACK");
    Exec("INSERT INTO t VALUES(4)");
    Exec("COMMIT");
    Exec("DELETE FROM t");
    session_->Rollback();
    EXPECT_EQ(Rows("SELECT v FROM t ORDER BY v"), (Lines{"1", "4"}));
}

TEST_F(EngineTest, DdlAndTruncateCommit) {
    Exec("CREATE TABLE t(v NUMBER)");
    Exec("INSERT INTO t VALUES(1)");
    Exec("CREATE TABLE u(v NUMBER)");  // commits the insert
    session_->Rollback();
    EXPECT_EQ(Rows("SELECT count(*) FROM t"), Lines{"1"});
    Exec("INSERT INTO t VALUES(2)");
    Exec("TRUNCATE TABLE t");
    session_->Rollback();
    EXPECT_EQ(Rows("SELECT count(*) FROM t"), Lines{"0"});
    Exec("INSERT INTO u VALUES(5)");
    EXPECT_NE(ErrorOf("DROP TABLE nosuch"), "");  // a failing DDL still commits what came before
    session_->Rollback();
    EXPECT_EQ(Rows("SELECT count(*) FROM u"), Lines{"1"});
}

TEST_F(EngineTest, UncommittedRowsAreInvisibleToOtherSessionsAndLostOnClose) {
    Exec("CREATE TABLE t(v NUMBER)");
    Exec("INSERT INTO t VALUES(1)");
    {
        auto other = Logon();
        EXPECT_EQ(Rows("SELECT count(*) FROM t", other.get()), Lines{"0"});  // readers do not wait
    }
    session_.reset();  // ends without COMMIT
    session_ = Logon();
    EXPECT_EQ(Rows("SELECT count(*) FROM t"), Lines{"0"});
}

TEST_F(EngineTest, SecondProcessWaitsForTheLockThenFails) {
    Exec("CREATE TABLE t(v NUMBER)");
    Exec("INSERT INTO t VALUES(1)");  // this session now holds the write lock
    int pipeFd[2];
    ASSERT_EQ(::pipe(pipeFd), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFd[0]);
        std::string result;
        auto start = std::chrono::steady_clock::now();
        try {
            auto s = Session::Logon("scott", "tiger", db_, false);
            auto st = s->Prepare("INSERT INTO t VALUES(2)");
            st->Execute();
            result = "inserted";
        } catch (const OraError& e) {
            result = e.Message();
        }
        auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        result += "|" + std::to_string(waited.count() >= 250 ? 1 : 0);
        (void)!::write(pipeFd[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(pipeFd[1]);
    char buf[512] = {};
    ssize_t n = ::read(pipeFd[0], buf, sizeof buf - 1);
    ::close(pipeFd[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_GT(n, 0);
    EXPECT_EQ(std::string(buf), "ORA-00054: resource busy and acquire with NOWAIT specified or timeout expired|1");
    session_->Commit();
    EXPECT_EQ(Rows("SELECT v FROM t"), Lines{"1"});
}

TEST_F(EngineTest, CommittedRowsSurviveAKilledProcess) {
    Exec("CREATE TABLE t(v NUMBER PRIMARY KEY, pad VARCHAR2(200))");
    session_.reset();
    int pipeFd[2];
    ASSERT_EQ(::pipe(pipeFd), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFd[0]);
        auto s = Session::Logon("scott", "tiger", db_, false);
        auto st = s->Prepare("INSERT INTO t VALUES(:v, RPAD('x', 200, 'y'))");
        for (int64_t i = 1;; ++i) {
            st->Bind(0, OraNumber::FromInt64(i));
            st->Execute();
            if (i % 7 == 0) {
                s->Commit();
                // report only what is committed
                (void)!::write(pipeFd[1], &i, sizeof i);
            }
        }
    }
    ::close(pipeFd[1]);
    int64_t committed = 0, v = 0;
    while (committed < 2000 && ::read(pipeFd[0], &v, sizeof v) == sizeof v) committed = v;
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    while (::read(pipeFd[0], &v, sizeof v) == sizeof v) committed = v;
    ::close(pipeFd[0]);
    ASSERT_TRUE(WIFSIGNALED(status));
    session_ = Logon();
    auto count = Rows("SELECT count(*) FROM t");
    ASSERT_EQ(count.size(), 1u);
    int64_t rows = std::stoll(count[0]);
    EXPECT_GE(rows, committed);
    EXPECT_EQ(rows % 7, 0) << "a partial transaction became visible";
    EXPECT_EQ(Rows("SELECT count(*) FROM t WHERE v > " + std::to_string(rows)), Lines{"0"});
    Exec("INSERT INTO t VALUES(0, 'after')");  // the database is usable after the kill
    session_->Commit();
}

}  // namespace
}  // namespace ocilite::test
