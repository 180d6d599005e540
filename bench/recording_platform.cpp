// The micro-benchmarks over the unit tests' recording fakes, which log every call as a
// string: what a test pays, not what the logic costs.
#include "bench/bench_platform.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/fake_ui_platform.h"

namespace benchplatform {

void start() {
    fakeui::reset();
}

void setDrive(std::uint32_t megabytes) {
    fake::freeMegabytes = megabytes;
}

void setTargetPresent(bool present) {
    fake::windows.clear();
    if (present) {
        fake::windows.push_back({"ZvBenchTarget", "Bench target"});
    }
}

void forgetCalls() {
    fake::calls.clear();
    fakeui::draws.clear();
}

const char* name() {
    return "recording";
}

} // namespace benchplatform
