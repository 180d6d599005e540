#include <windows.h>

#include "core/program_name.h"
#include "monitor/monitor_platform.h"

bool diskFreeSpace(const char* rootPath, std::uint32_t* sectorsPerCluster,
                   std::uint32_t* bytesPerSector, std::uint32_t* freeClusters) {
    DWORD sectors = 0;
    DWORD bytes = 0;
    DWORD clusters = 0;
    // The total-clusters output is not needed.
    const BOOL ok = GetDiskFreeSpaceA(rootPath, &sectors, &bytes, &clusters, nullptr);
    *sectorsPerCluster = sectors;
    *bytesPerSector = bytes;
    *freeClusters = clusters;
    return ok != FALSE;
}

void beepTone(std::uint32_t frequency, std::uint32_t durationMs) {
    Beep(frequency, durationMs);
}

void requestRepaint(WindowHandle window) {
    const HWND hwnd = static_cast<HWND>(window);
    RECT client;
    GetClientRect(hwnd, &client);
    InvalidateRect(hwnd, &client, TRUE);
}

void stopTimer(WindowHandle window, TimerId timer) {
    KillTimer(static_cast<HWND>(window), timer);
}

void showDriveWarning(WindowHandle owner) {
    MessageBoxA(static_cast<HWND>(owner), "Drive Letter is not correct..Check ini file.",
                ProgramTitle, MB_OK | MB_ICONWARNING);
}

void sendDestroy(WindowHandle window) {
    SendMessageA(static_cast<HWND>(window), WM_DESTROY, 0, 0);
}

std::uint32_t tickCount() {
    return GetTickCount();
}
