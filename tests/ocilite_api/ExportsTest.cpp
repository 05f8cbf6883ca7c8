// The built libocilite.so exports every entry point of the shared list under its own name,
// and besides them only its count of simulated round trips.

#include <dlfcn.h>

#include <cstdio>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "ociabi/OciApi.h"

namespace {

const std::string kLibrary = std::string(TABROOK_BINARY_DIR) + "/libocilite.so";

// Every name of the list: the entry table's and the extra ones.
const char* const kAllListedNames[] = {
#define OCI_FUNCTION(ret, name, params) #name,
#include "ociabi/OciFunctions.def"
#undef OCI_FUNCTION
};

TEST(OciliteExports, EveryEntryPointResolvesByName) {
    void* lib = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (const char* name : kOciEntryNames) {
        EXPECT_NE(dlsym(lib, name), nullptr) << name;
    }
    for (const char* name : kAllListedNames) {
        EXPECT_NE(dlsym(lib, name), nullptr) << name;
    }
    EXPECT_NE(dlsym(lib, kOciLevelProbeName), nullptr);
    // A name outside the list is not there.
    EXPECT_EQ(dlsym(lib, "OCIStmtGetPieceInfo"), nullptr);
    dlclose(lib);
}

TEST(OciliteExports, OnlyTheEntryPointsAreExported) {
    std::set<std::string> expected(std::begin(kAllListedNames), std::end(kAllListedNames));
    // the client's entry table is a part of the list
    for (const char* name : kOciEntryNames) EXPECT_EQ(expected.count(name), 1u) << name;
    EXPECT_EQ(expected.count(kOciLevelProbeName), 1u);
    expected.insert("OCILiteRoundTrips");
    std::string cmd = "nm -D --defined-only '" + kLibrary + "' 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::set<std::string> exported;
    char line[4096];
    while (std::fgets(line, sizeof line, p) != nullptr) {
        std::string s(line);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
        size_t sp = s.rfind(' ');
        if (sp == std::string::npos) continue;
        std::string name = s.substr(sp + 1);
        if (name.find('@') != std::string::npos) name = name.substr(0, name.find('@'));
        exported.insert(name);
    }
    ASSERT_EQ(pclose(p), 0) << "nm failed";
    EXPECT_EQ(exported, expected);
}

}  // namespace
