#include <windows.h>

#include "eventlog/metrics_platform.h"

bool metricsReplace(const char* path, const char* tempPath, const char* text,
                    std::uint32_t length) {
    const HANDLE file = CreateFileA(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool whole = WriteFile(file, text, length, &written, nullptr) && written == length;
    CloseHandle(file);
    // A reader holding the old file keeps it in place; the next write tries again.
    if (!whole || !MoveFileExA(tempPath, path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(tempPath);
        return false;
    }
    return true;
}

std::int64_t metricsUnixTime() {
    constexpr std::uint64_t From1601To1970 = 116444736000000000ull; // 100 ns units
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks =
        static_cast<std::uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    return static_cast<std::int64_t>((ticks - From1601To1970) / 10000000u);
}

const char* metricsArch() {
#ifdef _WIN64
    return "win64";
#else
    return "win32";
#endif
}
