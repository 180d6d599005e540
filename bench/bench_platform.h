#pragma once
// What the host micro-benchmarks need from whichever stand-in platform they link: the
// quiet one in this folder, or the unit tests' recording fakes through an adapter.
#include <cstdint>

namespace benchplatform {

// Puts the stand-in in its initial state.
void start();
// The free megabytes every measurement reads, and whether the target window exists.
void setDrive(std::uint32_t freeMegabytes);
void setTargetPresent(bool present);
// Drops whatever the stand-in kept of the calls made so far (a recording fake's log).
void forgetCalls();
// Names the stand-in in the benchmark's output.
const char* name();

} // namespace benchplatform
