#pragma once
// Simulated network round trips. Against a remote server every call that goes to the server
// waits for the network once; the embedded engine has no network, so a call that would be a
// round trip calls RoundTrip(), which counts it and, when OCILITE_ROUND_TRIP_US names a
// number of microseconds, sleeps that long. The count lets tests see how many round trips a
// sequence of calls would cost; the sleep lets a benchmark show what they cost in time.

#include <cstdint>

namespace ocilite::api {

// The delay that a value of OCILITE_ROUND_TRIP_US asks for, in microseconds: a whole decimal
// number from 0 to 10,000,000 (ten seconds); anything else (unset, empty, signs, blanks,
// other characters, too large) is 0, no delay.
uint32_t ParseRoundTripDelay(const char* text) noexcept;

// Reads OCILITE_ROUND_TRIP_US again; called when an environment is created, so the value in
// force is the one of the process environment at the last OCIInitialize or OCIEnvInit.
void LoadRoundTripDelay() noexcept;

// The delay in force, in microseconds.
uint32_t RoundTripDelay() noexcept;

// One round trip to the server: counted, then the delay.
void RoundTrip() noexcept;

// Round trips made by this process so far.
uint64_t RoundTripCount() noexcept;

}  // namespace ocilite::api

// The count of RoundTrip(), exported beside the OCI entry points (it is not one of them) so
// that a test or a benchmark holding the library can read it.
extern "C" __attribute__((visibility("default"))) unsigned long long OCILiteRoundTrips(void);
