#include "fake_tuner_platform.h"

#include <cstdio>
#include <cstring>

#include "tuner/tuner_platform.h"

namespace FakeTuner {

Library library;
std::vector<std::string> calls;

void reset() {
    library = Library{};
    calls.clear();
}

} // namespace FakeTuner

using FakeTuner::calls;
using FakeTuner::library;

namespace {

std::string withNumber(const char* format, long long value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool allZero(const void* memory, std::size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(memory);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

bool loadTunerLibrary() {
    calls.push_back("load");
    return library.loads;
}

std::int32_t tunerOpen(void* workArea, std::uint32_t* outValue) {
    // The library is promised 8,192 zero bytes and somewhere to write its out value.
    calls.push_back(workArea != nullptr && allZero(workArea, 8192) && outValue != nullptr
                        ? "SkyOpen"
                        : "SkyOpen with bad arguments");
    return library.openResult;
}

std::int32_t tunerGetAdapterHandle(std::uint32_t* adapterHandle) {
    calls.push_back("SkyAdapterGetHandle");
    if (library.handleResult == 0) {
        *adapterHandle = library.handle;
    }
    return library.handleResult;
}

void tunerGetStatus(std::uint32_t adapterHandle, void* status, std::uint32_t size) {
    calls.push_back(withNumber("SkyAdapterTunerGet handle %llX", adapterHandle) +
                    withNumber(" size %lld", size));
    if (library.fills) {
        std::memcpy(static_cast<char*>(status) + 32, &library.stateCode, 4);
        std::memcpy(static_cast<char*>(status) + 80, &library.level, 4);
    }
}

void tunerClose() {
    calls.push_back("SkyClose");
}

void createLevelBarControl(WindowHandle) {
    calls.push_back("create bar");
}

void setLevelBarColour(std::uint32_t rgb) {
    calls.push_back(withNumber("colour %06llX", rgb));
}

void setLevelBarPosition(std::int32_t position) {
    calls.push_back(withNumber("position %lld", position));
}
