// The delay of a simulated round trip: how OCILITE_ROUND_TRIP_US is read, and when.

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "ociabi/OciApi.h"
#include "ocilite/api/RoundTrip.h"
#include "tests/support/ScopedEnv.h"

using ocilite::api::ParseRoundTripDelay;
using ocilite::api::RoundTripDelay;
using tabrook::testing::ScopedEnv;

namespace {

TEST(RoundTripDelay, OnlyAWholeNumberOfMicrosecondsUpToTenSecondsCounts) {
    struct Case {
        const char* text;
        uint32_t micros;
    };
    const Case cases[] = {
        {nullptr, 0},
        {"", 0},
        {"0", 0},
        {"1", 1},
        {"500", 500},
        {"0500", 500},
        {"10000000", 10000000},
        {"10000001", 0},
        {"99999999999999999999999", 0},
        {"-5", 0},
        {"+5", 0},
        {" 5", 0},
        {"5 ", 0},
        {"5us", 0},
        {"1.5", 0},
        {"abc", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text == nullptr ? "(unset)" : c.text);
        EXPECT_EQ(ParseRoundTripDelay(c.text), c.micros);
    }
}

// The variable is read when an environment is created (OCIInitialize, OCIEnvInit and the calls
// built on it), so a client started with it set sees it, and without it there is no delay.
TEST(RoundTripDelay, ReadWhenAnEnvironmentIsCreated) {
    std::optional<std::string> saved;
    if (const char* old = std::getenv("OCILITE_ROUND_TRIP_US")) saved = old;
    struct Case {
        std::optional<std::string> value;  // nullopt: unset
        bool viaEnvCreate;
        uint32_t micros;
    };
    const Case cases[] = {
        {"250", false, 250}, {std::nullopt, false, 0}, {"7", true, 7}, {"x", true, 0}, {"0", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.value_or("(unset)") + (c.viaEnvCreate ? " OCIEnvCreate" : " OCIInitialize+OCIEnvInit"));
        std::optional<ScopedEnv> set;
        if (c.value)
            set.emplace("OCILITE_ROUND_TRIP_US", *c.value);
        else
            ::unsetenv("OCILITE_ROUND_TRIP_US");
        OCIEnv* env = nullptr;
        if (c.viaEnvCreate) {
            ASSERT_EQ(OCIEnvCreate(&env, OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr, 0, nullptr), OCI_SUCCESS);
        } else {
            ASSERT_EQ(OCIInitialize(OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr), OCI_SUCCESS);
            EXPECT_EQ(RoundTripDelay(), c.micros);
            ASSERT_EQ(OCIEnvInit(&env, OCI_DEFAULT, 0, nullptr), OCI_SUCCESS);
        }
        EXPECT_EQ(RoundTripDelay(), c.micros);
        OCIHandleFree(env, OCI_HTYPE_ENV);
    }
    if (saved)
        ::setenv("OCILITE_ROUND_TRIP_US", saved->c_str(), 1);
    else
        ::unsetenv("OCILITE_ROUND_TRIP_US");
    OCIEnv* env = nullptr;
    OCIEnvInit(&env, OCI_DEFAULT, 0, nullptr);
    OCIHandleFree(env, OCI_HTYPE_ENV);
}

}  // namespace
