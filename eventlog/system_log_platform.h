#pragma once
#include <cstdint>

// The Application event log's platform calls. system_log_platform_win.cpp supplies them on
// Windows; host tests record them.
using EventSource = void*;
// The source "Zembrovale" on this computer; null and `*error` when it cannot be had.
EventSource openEventSource(std::uint32_t* error);
// One report with one text; 0 or the error.
std::uint32_t reportEvent(EventSource source, std::uint16_t type, std::uint32_t id,
                          const char* text);
