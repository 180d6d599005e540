#include <windows.h>

#include "eventlog/log_platform.h"

void logLocalTime(EventLog::LocalTime* out) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    *out = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

LogFileHandle logOpenForAppend(const char* path) {
    // Shared for deleting too, so the user may move or delete the file at any moment.
    const HANDLE file =
        CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

std::uint64_t logFileSize(LogFileHandle file) {
    LARGE_INTEGER size;
    return GetFileSizeEx(static_cast<HANDLE>(file), &size)
               ? static_cast<std::uint64_t>(size.QuadPart)
               : 0;
}

void logWrite(LogFileHandle file, const char* text, std::uint32_t length) {
    DWORD written = 0;
    WriteFile(static_cast<HANDLE>(file), text, length, &written, nullptr);
}

void logFlush(LogFileHandle file) {
    FlushFileBuffers(static_cast<HANDLE>(file));
}

void logClose(LogFileHandle file) {
    CloseHandle(static_cast<HANDLE>(file));
}

void logReplaceOld(const char* path, const char* oldPath) {
    MoveFileExA(path, oldPath, MOVEFILE_REPLACE_EXISTING);
}
