#include "monitor/monotonic_clock.h"

namespace MonotonicClock {
namespace {
std::uint32_t lastCount = 0;
std::uint64_t wraps = 0;
} // namespace

std::uint64_t extend(std::uint32_t tickCount) {
    if (tickCount < lastCount) {
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
