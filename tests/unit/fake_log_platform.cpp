#include "tests/unit/fake_log_platform.h"

#include "eventlog/log_platform.h"
#include "eventlog/metrics_platform.h"
#include "eventlog/system_log_platform.h"
#include "tests/unit/fake_platform.h"

namespace fakelog {

std::map<std::string, std::string> files;
bool openFails;
EventLog::LocalTime now;
std::vector<std::string> reports;
std::uint32_t sourceError;
bool replaceFails;

void reset() {
    files.clear();
    openFails = false;
    reports.clear();
    sourceError = 0;
    replaceFails = false;
    now = {2026, 12, 7, 23, 5, 9};
}

std::vector<std::string> lines(const std::string& path) {
    std::vector<std::string> result;
    const std::string& text = files[path];
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        result.push_back(text.substr(at, end - at));
        if (end == std::string::npos) {
            break;
        }
        at = end + 2;
    }
    return result;
}

} // namespace fakelog

namespace {

// The handle is the file's path, kept here while the file is open.
std::string openPath;

} // namespace

void logLocalTime(EventLog::LocalTime* out) {
    fake::calls.push_back("GetLocalTime");
    *out = fakelog::now;
}

LogFileHandle logOpenForAppend(const char* path) {
    fake::calls.push_back(std::string("CreateFileA ") + path);
    if (fakelog::openFails) {
        return nullptr;
    }
    openPath = path;
    fakelog::files[openPath];
    return &openPath;
}

std::uint64_t logFileSize(LogFileHandle) {
    fake::calls.push_back("GetFileSizeEx");
    return fakelog::files[openPath].size();
}

void logWrite(LogFileHandle, const char* text, std::uint32_t length) {
    fake::calls.push_back("WriteFile " + std::string(text, length));
    fakelog::files[openPath].append(text, length);
}

void logFlush(LogFileHandle) {
    fake::calls.push_back("FlushFileBuffers");
}

void logClose(LogFileHandle) {
    fake::calls.push_back("CloseHandle log");
}

void logReplaceOld(const char* path, const char* oldPath) {
    fake::calls.push_back(std::string("MoveFileExA ") + path + " " + oldPath);
    fakelog::files[oldPath] = fakelog::files[path];
    fakelog::files.erase(path);
}

EventSource openEventSource(std::uint32_t* error) {
    fake::calls.push_back("RegisterEventSourceA Zembrovale");
    *error = fakelog::sourceError;
    return fakelog::sourceError == 0 ? &fakelog::reports : nullptr;
}

std::uint32_t reportEvent(EventSource, std::uint16_t type, std::uint32_t id, const char* text) {
    fake::calls.push_back("ReportEventA");
    fakelog::reports.push_back(std::to_string(type) + " " + std::to_string(id) + " " + text);
    return 0;
}

bool metricsReplace(const char* path, const char*, const char* text, std::uint32_t length) {
    fake::calls.push_back(std::string("MoveFileExA metrics ") + path);
    if (!fakelog::replaceFails) {
        fakelog::files[path].assign(text, length);
    }
    return !fakelog::replaceFails;
}

std::int64_t metricsUnixTime() {
    return 1796684709; // 2026-12-07 23:05:09
}

const char* metricsArch() {
    return "win32";
}
