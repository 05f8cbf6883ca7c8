#include "ocilite/api/RoundTrip.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace ocilite::api {

namespace {

constexpr uint32_t kMaxDelayMicroseconds = 10'000'000;

std::atomic<uint32_t> delayMicroseconds{0};
std::atomic<uint64_t> roundTrips{0};

}  // namespace

uint32_t ParseRoundTripDelay(const char* text) noexcept {
    if (text == nullptr || *text == '\0') return 0;
    uint64_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return 0;
        value = value * 10 + static_cast<uint64_t>(*p - '0');
        if (value > kMaxDelayMicroseconds) return 0;
    }
    return static_cast<uint32_t>(value);
}

void LoadRoundTripDelay() noexcept {
    delayMicroseconds.store(ParseRoundTripDelay(std::getenv("OCILITE_ROUND_TRIP_US")), std::memory_order_relaxed);
}

uint32_t RoundTripDelay() noexcept {
    return delayMicroseconds.load(std::memory_order_relaxed);
}

void RoundTrip() noexcept {
    roundTrips.fetch_add(1, std::memory_order_relaxed);
    const uint32_t delay = RoundTripDelay();
    if (delay == 0) return;
    try {
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
    } catch (...) {
        // A sleep that cannot be made leaves the call as fast as it was.
    }
}

uint64_t RoundTripCount() noexcept {
    return roundTrips.load(std::memory_order_relaxed);
}

}  // namespace ocilite::api

extern "C" unsigned long long OCILiteRoundTrips(void) {
    return ocilite::api::RoundTripCount();
}
