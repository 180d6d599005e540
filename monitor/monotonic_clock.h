#pragma once
#include <cstdint>

// A 64-bit millisecond clock made of the platform's 32-bit tick count, which every Windows
// the program runs on has and which wraps every 49.7 days. Each read that finds the count
// below the previous one counts a wrap, so the clock never goes back as long as it is read
// at least once per wrap; the features that measure time read it on every tick they need it.
namespace MonotonicClock {
std::uint64_t extend(std::uint32_t tickCount);
void reset(); // for tests
} // namespace MonotonicClock
