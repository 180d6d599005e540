#include "monitor/monotonic_clock.h"

namespace MonotonicClock {
namespace {
std::uint32_t lastCount = 0;
std::uint64_t wraps = 0;
// A wrap brings the count from near its top to near 0; a smaller drop is no wrap (a read
// that raced another, say), and counting it would move the clock on by 49.7 days.
constexpr std::uint32_t HalfRange = 0x80000000u;
} // namespace

std::uint64_t extend(std::uint32_t tickCount) {
    if (tickCount < lastCount && lastCount - tickCount > HalfRange) {
        ++wraps;
    }
    lastCount = tickCount;
    return wraps << 32 | tickCount;
}

void reset() {
    lastCount = 0;
    wraps = 0;
}

} // namespace MonotonicClock
