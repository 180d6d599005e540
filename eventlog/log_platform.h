#pragma once
#include <cstdint>

#include "eventlog/event_log.h"

// The event log's platform calls. log_platform_win.cpp supplies them on Windows; host
// tests record them.
using LogFileHandle = void*;

void logLocalTime(EventLog::LocalTime* out);
// Opened for appending, shared for reading, writing and deleting; null when it cannot be.
LogFileHandle logOpenForAppend(const char* path);
std::uint64_t logFileSize(LogFileHandle file);
void logWrite(LogFileHandle file, const char* text, std::uint32_t length);
void logFlush(LogFileHandle file);
void logClose(LogFileHandle file);
// Renames `path` to `oldPath`, replacing an earlier one.
void logReplaceOld(const char* path, const char* oldPath);
