// What the client layer must do for Oracle's own client library: failures without an error
// record stay failures, a logon with a warning is a session, and the client library stays
// loaded after the close.

#include <dlfcn.h>

#include <gtest/gtest.h>

#include "oci/TOCI8Ctrl.h"
#include "oci/TOCI8Cur.h"
#include "tests/oci/StubLibrary.h"

namespace tabrook {
namespace {

using test::ScopedOciLibrary;
using test::StubLibrary;

class ClientFidelity : public ::testing::Test {
protected:
    StubLibrary stub{"full"};
    ScopedOciLibrary use{stub.Path()};
    TOCI8Ctrl oci;
};

// OCI_ERROR with no record on the error handle (OCIHandleAlloc records on the environment)
// is still a failure, and its message names the status.
TEST_F(ClientFidelity, AFailureWithoutAnErrorRecordStaysAFailure) {
    stub.SetError(0, "");
    stub.Force("OCILogon", -1);
    EXPECT_FALSE(oci.Connect());
    EXPECT_FALSE(oci.Connected);
    EXPECT_EQ(oci.ErrMsg(), "Error - OCI_ERROR");
    EXPECT_EQ(oci.ErrCode(), -1);
    EXPECT_GE(stub.Count("OCIErrorGet"), 2) << "the environment handle was not asked";

    stub.Force("OCILogon", 0);
    ASSERT_TRUE(oci.Connect()) << oci.ErrMsg();
    TOCI8Cur cur;
    cur.SetParent(&oci);
    stub.Force("OCIHandleAlloc", -1);
    cur.SetSQL("select 1 from dual");
    EXPECT_FALSE(cur.Execute());
    EXPECT_FALSE(cur.ErrMsg().empty());
    EXPECT_NE(cur.ErrCode(), 0);
    stub.Force("OCIHandleAlloc", 0);
    cur.CleanUp();
    cur.SetParent(nullptr);
}

// A logon that succeeds with a warning is a session; the warning is kept for the caller.
TEST_F(ClientFidelity, ALogonWithAWarningIsASession) {
    stub.SetError(28002, "ORA-28002: the password will expire within 7 days\n");
    stub.Force("OCILogon", 1);
    ASSERT_TRUE(oci.Connect()) << oci.ErrMsg();
    EXPECT_TRUE(oci.Connected);
    EXPECT_NE(oci.hSvc, nullptr);
    EXPECT_EQ(oci.LogonWarning, "ORA-28002: the password will expire within 7 days");
    EXPECT_EQ(stub.Count("OCILogoff"), 0);

    stub.Force("OCILogon", 0);
    ASSERT_TRUE(oci.Connect());
    EXPECT_EQ(oci.LogonWarning, "");
    EXPECT_TRUE(oci.DisConnect());
}

// Unloading a client library at the close is a known cause of crashes at exit: it stays
// mapped until the process ends.
TEST(ClientLibrary, StaysLoadedAfterTheClose) {
    const std::string path = test::StubPath("no_pool");  // loaded by nobody else here
    ScopedOciLibrary use(path);
    {
        TOCI8Ctrl oci;
        ASSERT_TRUE(oci.Active()) << oci.ErrMsg();
        EXPECT_EQ(oci.LibraryPath(), path);
        ASSERT_TRUE(oci.UnActive()) << oci.ErrMsg();
    }
    void* still = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    EXPECT_NE(still, nullptr) << "the client library was unloaded";
    if (still != nullptr) dlclose(still);
}

}  // namespace
}  // namespace tabrook
