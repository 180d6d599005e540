#include <windows.h>

#include "eventlog/system_log_platform.h"

EventSource openEventSource(std::uint32_t* error) {
    const HANDLE source = RegisterEventSourceA(nullptr, "Zembrovale");
    if (source == nullptr) {
        *error = GetLastError();
    }
    return source;
}

std::uint32_t reportEvent(EventSource source, std::uint16_t type, std::uint32_t id,
                          const char* text) {
    const char* strings[1] = {text};
    return ReportEventA(static_cast<HANDLE>(source), type, 0, id, nullptr, 1, 0, strings, nullptr)
               ? 0
               : GetLastError();
}
