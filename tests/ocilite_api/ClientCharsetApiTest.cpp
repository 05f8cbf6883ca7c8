// NLS_LANG through libocilite.so: the environment reports the client character set, and SQL
// text, fetched text and column names cross the C API in it. NLS_LANG is read once per
// process, so each case runs in a process of its own (a death test that exits normally).

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <string>

#include "ocilite/engine/Engine.h"
#include "tests/ocilite_api/OciSession.h"

using ocitest::OciSession;

namespace {

// Runs `body` in a child process with NLS_LANG set; the child reports a mismatch on standard
// error and exits with 1.
template <class Body>
void InChild(const char* nlsLang, Body body) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::setenv("NLS_LANG", nlsLang, 1);
            std::string problem = body();
            if (!problem.empty()) std::cerr << problem << std::endl;
            std::exit(problem.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << nlsLang;
}

std::string Expect(const std::string& what, const std::string& got, const std::string& want) {
    return got == want ? "" : what + ": got [" + got + "] want [" + want + "]";
}

std::string EnvironmentReport(ub2 wantId, const std::string& wantName) {
    OciSession s;
    if (s.env == nullptr) return "no environment";
    ub2 id = 0;
    OCIAttrGet(s.env, OCI_HTYPE_ENV, &id, nullptr, OCI_ATTR_ENV_CHARSET_ID, s.err);
    char name[64] = {};
    OCINlsGetInfo(s.env, s.err, reinterpret_cast<OraText*>(name), sizeof name, OCI_NLS_CHARACTER_SET);
    return Expect("charset id", std::to_string(id), std::to_string(wantId)) + Expect("name", name, wantName);
}

TEST(ClientCharsetApi, TheEnvironmentReportsTheSetNlsLangNames) {
    InChild("JAPANESE_JAPAN.JA16SJIS", [] { return EnvironmentReport(832, "JA16SJIS"); });
    InChild("AMERICAN_AMERICA.WE8MSWIN1252", [] { return EnvironmentReport(178, "WE8MSWIN1252"); });
    InChild("AMERICAN_AMERICA.al32utf8", [] { return EnvironmentReport(873, "AL32UTF8"); });
    InChild("AMERICAN_AMERICA", [] { return EnvironmentReport(873, "AL32UTF8"); });  // no set part
    InChild("AMERICAN_AMERICA.NOSUCHSET", [] {
        OCIEnv* env = nullptr;
        return OCIEnvInit(&env, OCI_DEFAULT, 0, nullptr) == OCI_ERROR ? std::string() : "environment created";
    });
}

TEST(ClientCharsetApi, StatementsFetchesAndNamesCrossInShiftJis) {
    // the child runs this test again from its start: the file name must be the same there
    const std::string db = (std::filesystem::temp_directory_path() / "ocilite_charset_api_sjis.db").string();
    std::filesystem::remove(db);
    ocilite::Session::Logon("scott", "tiger", db, true);
    InChild("JAPANESE_JAPAN.JA16SJIS", [&]() -> std::string {
        OciSession s;
        if (s.Logon("scott", "tiger", db) != OCI_SUCCESS) return s.ErrorText();
        // CREATE TABLE T("名前" VARCHAR2(20)); INSERT INTO T VALUES('日本') in Shift-JIS
        if (s.Run("CREATE TABLE T(\"\x96\xBC\x91\x4F\" VARCHAR2(20))") != OCI_SUCCESS) return s.ErrorText();
        if (s.Run("INSERT INTO T VALUES('\x93\xFA\x96\x7B')") != OCI_SUCCESS) return s.ErrorText();
        OCIStmt* stmt = nullptr;
        if (s.Run("SELECT * FROM T", &stmt) != OCI_SUCCESS) return s.ErrorText();
        void* param = nullptr;
        OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, 1);
        OraText* name = nullptr;
        ub4 nameLength = 0;
        OCIAttrGet(param, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME, s.err);
        char buf[64] = {};
        sb2 ind = 0;
        OCIDefine* def = nullptr;
        OCIDefineByPos(stmt, &def, s.err, 1, buf, sizeof buf, SQLT_STR, &ind, nullptr, nullptr, OCI_DEFAULT);
        if (OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT) != OCI_SUCCESS) return s.ErrorText();
        OCITransCommit(s.svc, s.err, 0);
        return Expect("column name", std::string(reinterpret_cast<char*>(name), nameLength), "\x96\xBC\x91\x4F") +
               Expect("value", buf, "\x93\xFA\x96\x7B");
    });
    // the database holds the characters themselves
    auto session = ocilite::Session::Logon("scott", "tiger", db, false);
    auto st = session->Prepare("SELECT \"名前\" FROM T");
    st->Execute();
    std::vector<ocilite::Value> row;
    ASSERT_TRUE(st->Fetch(row));
    EXPECT_EQ(std::get<ocilite::TextValue>(row[0]).bytes, "日本");
    std::filesystem::remove(db);
}

}  // namespace
