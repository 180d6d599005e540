#pragma once
#include <cstdint>

// The metrics file's platform calls. metrics_platform_win.cpp supplies them on Windows; host
// tests record them.

// Writes `text` to `tempPath`, then puts that file in the place of `path` in one step, so a
// reader sees the old file or the new one, never half of one. False when a step failed; the
// old file then stays as it was.
bool metricsReplace(const char* path, const char* tempPath, const char* text, std::uint32_t length);
// Seconds since 1970, UTC.
std::int64_t metricsUnixTime();
// "win32" or "win64": the build.
const char* metricsArch();
