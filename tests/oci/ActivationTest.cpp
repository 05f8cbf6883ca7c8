// Loading the OCI library, resolving and checking the entry table, level detection, CheckErr and
// the conversion services, against stub libraries that lack chosen names.

#include <dlfcn.h>

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "oci/OciLibrary.h"
#include "oci/TOCI8Ctrl.h"
#include "ociabi/OciApi.h"
#include "tests/oci/StubLibrary.h"

namespace tabrook {
namespace {

using test::ScopedOciLibrary;
using test::StubLibrary;
using test::StubPath;

struct ActivationCase {
    const char* variant;
    bool activates;
    const char* message;  // when it does not activate
    const char* version;  // when it does
};

class ActivationByLibrary : public ::testing::TestWithParam<ActivationCase> {};

TEST_P(ActivationByLibrary, GivesTheMessageOrTheLevel) {
    const ActivationCase& c = GetParam();
    StubLibrary stub(c.variant);
    ScopedOciLibrary use(stub.Path());
    TOCI8Ctrl oci;
    ASSERT_EQ(oci.Active(), c.activates) << oci.ErrMsg();
    EXPECT_EQ(oci.Activated, c.activates);
    if (c.activates) {
        EXPECT_EQ(oci.OCIVersion, c.version);
        EXPECT_EQ(oci.ErrMsg(), "");
        EXPECT_NE(oci.hEnv, nullptr);
        EXPECT_NE(oci.hErr, nullptr);
        EXPECT_EQ(stub.Count("OCIInitialize"), 1);
    } else {
        EXPECT_EQ(oci.ErrMsg(), c.message);
        // Nothing was initialised before the checks failed.
        EXPECT_EQ(stub.Count("OCIInitialize"), 0);
        TOCI8Ctrl again;
        try {
            again.InitOCI();
            ADD_FAILURE() << "InitOCI did not throw";
        } catch (const TOCIException& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Variants, ActivationByLibrary,
    ::testing::Values(ActivationCase{"full", true, "", "9.2"},
                      ActivationCase{"no_fetch_bind", false, "エントリOCIStmtFetchのロードに失敗しました", ""},
                      ActivationCase{"no_bind_by_name", false, "エントリOCIBindByNameのロードに失敗しました", ""},
                      ActivationCase{"no_initialize", false, "エントリOCIInitializeのロードに失敗しました", ""},
                      ActivationCase{"no_date_to_text", false, "エントリOCIDateToTextのロードに失敗しました", ""},
                      ActivationCase{"no_raw_ptr", false, "エントリOCIRawPtrのロードに失敗しました", ""},
                      ActivationCase{"no_date_check", false, "Date系エントリのロードに失敗しました", ""},
                      ActivationCase{"no_date_and_number", false, "Date系エントリのロードに失敗しました", ""},
                      ActivationCase{"no_number_mod", false, "Number系エントリのロードに失敗しました", ""},
                      ActivationCase{"no_lob_trim", false, "Lob系エントリのロードに失敗しました", ""},
                      ActivationCase{"no_datetime_text", true, "", " 8.1"},
                      ActivationCase{"no_lob_is_open", true, "", "8.0"},
                      ActivationCase{"no_lob_is_open_datetime", true, "", "8.0"},
                      ActivationCase{"no_pool", true, "", "9.0"}, ActivationCase{"no_optional", true, "", "9.2"}),
    [](const auto& info) { return std::string(info.param.variant); });

TEST(Activation, WithoutAnyLibraryFailsWithTheLoadMessage) {
    ScopedOciLibrary use("/nonexistent/libocilite.so");
    TOCI8Ctrl oci;
    EXPECT_FALSE(oci.Active());
    EXPECT_EQ(oci.ErrMsg(), "libclntsh.so or libocilite.soのロードに失敗しました");
    EXPECT_FALSE(oci.Activated);
    EXPECT_FALSE(oci.Connect());
    EXPECT_EQ(oci.ErrMsg(), "libclntsh.so or libocilite.soのロードに失敗しました");
}

TEST(Activation, SearchOrderIsOverrideOnlyElseClientNamesThenProgramFolder) {
    unsetenv("TABROOK_OCI_LIBRARY");
    const auto names = OciLibrary::Candidates("/opt/app");
    ASSERT_EQ(names.size(), 9u);
    EXPECT_EQ(names.front(), "libclntsh.so");
    EXPECT_EQ(names[1], "libclntsh.so.23.1");
    EXPECT_EQ(names[6], "libclntsh.so.11.1");
    EXPECT_EQ(names[7], "/opt/app/libocilite.so");
    // An installed program (/usr/bin) finds the engine in its private folder /usr/lib/tabrook.
    EXPECT_EQ(names.back(), "/opt/lib/tabrook/libocilite.so");
    EXPECT_EQ(OciLibrary::Candidates("/usr/bin").back(), "/usr/lib/tabrook/libocilite.so");
    ScopedOciLibrary use("/somewhere/liboci.so");
    EXPECT_EQ(OciLibrary::Candidates("/opt/app"), std::vector<std::string>{"/somewhere/liboci.so"});
}

TEST(Activation, FindsTheEmbeddedEngineInTheProgramFolder) {
    if (void* h = dlopen("libclntsh.so", RTLD_LAZY)) {
        dlclose(h);
        GTEST_SKIP() << "an Oracle client is installed; it would be found first";
    }
    unsetenv("TABROOK_OCI_LIBRARY");
    const auto folder = std::filesystem::temp_directory_path() / ("oci_folder_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(StubPath("full"), folder / "libocilite.so",
                               std::filesystem::copy_options::overwrite_existing);
    {
        TOCI8Ctrl oci;
        oci.ProgramFolder = (folder / "missing").string();
        EXPECT_FALSE(oci.Active());
        EXPECT_EQ(oci.ErrMsg(), "libclntsh.so or libocilite.soのロードに失敗しました");
        oci.ProgramFolder = folder.string();
        ASSERT_TRUE(oci.Active()) << oci.ErrMsg();
        EXPECT_EQ(oci.LibraryPath(), (folder / "libocilite.so").string());
        EXPECT_TRUE(oci.UnActive());
    }
    std::filesystem::remove_all(folder);
}

TEST(Activation, FindsTheEmbeddedEngineInTheInstalledPrivateFolder) {
    if (void* h = dlopen("libclntsh.so", RTLD_LAZY)) {
        dlclose(h);
        GTEST_SKIP() << "an Oracle client is installed; it would be found first";
    }
    unsetenv("TABROOK_OCI_LIBRARY");
    // The layout of the installed package: <prefix>/bin/tabrook and <prefix>/lib/tabrook/libocilite.so.
    const auto prefix = std::filesystem::temp_directory_path() / ("oci_prefix_" + std::to_string(getpid()));
    std::filesystem::create_directories(prefix / "bin");
    std::filesystem::create_directories(prefix / "lib" / "tabrook");
    std::filesystem::copy_file(StubPath("full"), prefix / "lib" / "tabrook" / "libocilite.so",
                               std::filesystem::copy_options::overwrite_existing);
    {
        TOCI8Ctrl oci;
        oci.ProgramFolder = (prefix / "bin").string();
        ASSERT_TRUE(oci.Active()) << oci.ErrMsg();
        EXPECT_EQ(oci.LibraryPath(), (prefix / "lib" / "tabrook" / "libocilite.so").string());
        EXPECT_TRUE(oci.UnActive());
    }
    std::filesystem::remove_all(prefix);
}

TEST(Activation, DefaultProgramFolderIsTheExecutablesFolder) {
    TOCI8Ctrl oci;
    EXPECT_EQ(oci.ProgramFolder, std::filesystem::path(TABROOK_BINARY_DIR "/tests").lexically_normal().string());
}

TEST(Activation, EntryTableHoldsEveryNameInOrderAndNullForMissingOnes) {
    StubLibrary stub("no_lob_is_open");
    ScopedOciLibrary use(stub.Path());
    TOCI8Ctrl oci;
    ASSERT_TRUE(oci.Active());
    void* self = dlopen(stub.Path().c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(self, nullptr);
    for (std::size_t i = 0; i < kOciEntryCount; ++i) {
        EXPECT_EQ(oci.Entries().At(i), dlsym(self, kOciEntryNames[i])) << kOciEntryNames[i];
    }
    EXPECT_EQ(oci.Entries().ByName("OCILobIsOpen"), nullptr);
    EXPECT_EQ(reinterpret_cast<const void*>(oci.Entries().OCIStmtFetch), dlsym(self, "OCIStmtFetch"));
    dlclose(self);
    EXPECT_STREQ(kOciEntryNames[0], "OCIInitialize");
    EXPECT_STREQ(kOciEntryNames[20], "OCINlsGetInfo");
    EXPECT_STREQ(kOciEntryNames[55], "OCILobIsOpen");
    EXPECT_STREQ(kOciEntryNames[72], "OCIIntervalToText");
}

struct InitFailureCase {
    const char* forced;
    const char* message;
    int envFrees;
};

class InitFailure : public ::testing::TestWithParam<InitFailureCase> {};

TEST_P(InitFailure, LeavesTheComponentInactiveAndCanBeRetried) {
    const auto& c = GetParam();
    StubLibrary stub("full");
    ScopedOciLibrary use(stub.Path());
    stub.Force(c.forced, -1);
    TOCI8Ctrl oci;
    EXPECT_FALSE(oci.Active());
    EXPECT_EQ(oci.ErrMsg(), c.message);
    EXPECT_EQ(oci.ErrCode(), -1);
    EXPECT_FALSE(oci.Activated);
    EXPECT_EQ(stub.Count("OCIHandleFree"), c.envFrees);
    stub.Reset();
    EXPECT_TRUE(oci.Active()) << oci.ErrMsg();
    EXPECT_TRUE(oci.Activated);
}

INSTANTIATE_TEST_SUITE_P(Steps, InitFailure,
                         ::testing::Values(InitFailureCase{"OCIInitialize", "OCIの初期化に失敗しました", 0},
                                           InitFailureCase{"OCIEnvInit", "OCIの初期化に失敗しました", 0},
                                           InitFailureCase{"OCIHandleAlloc", "OCIのエラーハンドル初期化に失敗しました",
                                                           1}));

TEST(Activation, InitialisesInObjectModeOnceAndTermFreesTheEnvironment) {
    StubLibrary stub("full");
    ScopedOciLibrary use(stub.Path());
    TOCI8Ctrl oci;
    ASSERT_TRUE(oci.Active());
    ASSERT_TRUE(oci.Active());
    EXPECT_EQ(stub.Count("OCIInitialize"), 1);
    EXPECT_EQ(stub.InitMode(), OCI_OBJECT);
    EXPECT_EQ(stub.Calls(), "OCIInitialize\nOCIEnvInit\nOCIHandleAlloc\n");
    EXPECT_TRUE(oci.UnActive());
    EXPECT_FALSE(oci.Activated);
    EXPECT_EQ(oci.hEnv, nullptr);
    EXPECT_EQ(stub.Count("OCIHandleFree"), 1);
    EXPECT_EQ(oci.Entries().OCILogon, nullptr);
    EXPECT_TRUE(oci.UnActive());  // a second term does nothing
    EXPECT_EQ(stub.Count("OCIHandleFree"), 1);
}

struct CheckErrCase {
    sword status;
    const char* text;
    sword statusAfter;
};

class CheckErrTable : public ::testing::TestWithParam<CheckErrCase> {};

TEST_P(CheckErrTable, TranslatesTheStatus) {
    const auto& c = GetParam();
    StubLibrary stub("full");
    ScopedOciLibrary use(stub.Path());
    stub.SetError(1017, "ORA-01017: invalid username/password; logon denied\n");
    TOCI8Ctrl oci;
    ASSERT_TRUE(oci.Active());
    const OciError error = oci.Check(c.status);
    EXPECT_EQ(error.Message, c.text);
    EXPECT_EQ(error.Code, c.statusAfter);
    EXPECT_EQ(error.Action, c.status == 0 ? ErrorAction::None : c.status == 1 ? ErrorAction::Warning
                            : c.status == 100                     ? ErrorAction::NoData
                                                                  : ErrorAction::Fail);
    EXPECT_EQ(oci.ErrMsg(), "");  // a check is a value: the session's own error is untouched
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, CheckErrTable,
    ::testing::Values(CheckErrCase{0, "", 0}, CheckErrCase{1, "Error - OCI_SUCCESS_WITH_INFO", 1},
                      CheckErrCase{99, "Error - OCI_NEED_DATA", 99}, CheckErrCase{100, "Error - OCI_NODATA", 100},
                      CheckErrCase{-2, "Error - OCI_INVALID_HANDLE", -2},
                      CheckErrCase{-3123, "Error - OCI_STILL_EXECUTE", -3123},
                      CheckErrCase{-24200, "Error - OCI_CONTINUE", -24200}, CheckErrCase{5, "", 5},
                      CheckErrCase{-1, "ORA-01017: invalid username/password; logon denied\n", 1017}));

OCINumber StubNumber(TOCI8Ctrl& oci, double v) {
    OCINumber n{};
    oci.Entries().OCINumberFromReal(oci.hErr, &v, sizeof v, &n);
    return n;
}

TEST(ConversionServices, NumberDigitsCountsIntegerDigitsAndFraction) {
    StubLibrary stub("full");
    ScopedOciLibrary use(stub.Path());
    TOCI8Ctrl oci;
    ASSERT_TRUE(oci.Active());
    struct {
        double value;
        NumberDigitsResult expected;
    } cases[] = {{0, {1, false}},     {-123.45, {3, true}},   {0.05, {-1, true}}, {7, {1, false}},
                 {1234.5, {4, true}}, {0.000012, {-4, true}}, {99999, {5, false}}};
    for (const auto& c : cases) {
        EXPECT_EQ(oci.NumberDigits(StubNumber(oci, c.value)), c.expected) << c.value;
    }
}

TEST(ConversionServices, RaiseTheOracleMessageOnFailure) {
    StubLibrary stub("full");
    ScopedOciLibrary use(stub.Path());
    TOCI8Ctrl oci;
    ASSERT_TRUE(oci.Active());
    OCIDate date{};
    // Default format and the language name with its own length.
    EXPECT_EQ(oci.DateToStr(date, ""), "date[YYYY/MM/DD HH24:MI:SS|American]");
    EXPECT_EQ(oci.DateToStr(date, "YYYY"), "date[YYYY|American]");
    EXPECT_EQ(oci.DateTimeToStr(nullptr, 6, ""), "ts[YYYY/MM/DD HH24:MI:SSXFF TZH:TZM|6]");

    stub.SetError(1821, "ORA-01821: date format not recognized\n");
    stub.Force("OCIDateToText", -1);
    EXPECT_THROW(
        {
            try {
                oci.DateToStr(date, "QQ");
            } catch (const TOCIException& e) {
                EXPECT_STREQ(e.what(), "ORA-01821: date format not recognized\n");
                EXPECT_EQ(oci.ErrCode(), 1821);
                throw;
            }
        },
        TOCIException);
    stub.Force("OCIDescriptorAlloc", -2);
    try {
        oci.DescAlloc(OCI_DTYPE_TIMESTAMP_TZ);
        ADD_FAILURE() << "DescAlloc did not throw";
    } catch (const TOCIException& e) {
        EXPECT_STREQ(e.what(), "Error - OCI_INVALID_HANDLE");
    }
    stub.Reset();
    void* d = oci.DescAlloc(OCI_DTYPE_TIMESTAMP_TZ);
    ASSERT_NE(d, nullptr);
    oci.DescFree(d, OCI_DTYPE_TIMESTAMP_TZ);
    EXPECT_EQ(d, nullptr);
}

TEST(ConversionServices, TimestampConversionOnAnOldClientFailsWithAMessageInsteadOfCrashing) {
    StubLibrary stub("no_datetime_text");
    ScopedOciLibrary use(stub.Path());
    TOCI8Ctrl oci;
    ASSERT_TRUE(oci.Active());
    EXPECT_THROW(oci.DateTimeToStr(nullptr, 6, ""), TOCIException);
    EXPECT_EQ(oci.ErrMsg(), "エントリOCIDateTimeToTextのロードに失敗しました");
}

}  // namespace
}  // namespace tabrook

namespace tabrook {
namespace {

TEST(ConversionServices, BeforeActivationTheyThrowInsteadOfCallingThroughNull) {
    TOCI8Ctrl oci;
    OCIDate date{};
    OCINumber number{};
    void* none = nullptr;
    struct {
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {[&] { oci.DateToStr(date, ""); }, "エントリOCIDateToTextのロードに失敗しました"},
        {[&] { oci.SysDate(); }, "エントリOCIDateSysDateのロードに失敗しました"},
        {[&] { oci.SysTimeStamp(nullptr); }, "エントリOCIDateTimeSysTimeStampのロードに失敗しました"},
        {[&] { oci.DescAlloc(OCI_DTYPE_TIMESTAMP); }, "エントリOCIDescriptorAllocのロードに失敗しました"},
        {[&] { oci.DescFree(none, OCI_DTYPE_TIMESTAMP); }, "エントリOCIDescriptorFreeのロードに失敗しました"},
        {[&] { oci.NumberDigits(number); }, "エントリOCINumberAbsのロードに失敗しました"},
        {[&] { oci.DateTimeToStr(nullptr, 6, ""); }, "エントリOCIDateTimeToTextのロードに失敗しました"},
        {[&] { oci.IntervalToStr(nullptr, 2, 6); }, "エントリOCIIntervalToTextのロードに失敗しました"},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << "no exception for " << c.message;
        } catch (const TOCIException& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

}  // namespace
}  // namespace tabrook
