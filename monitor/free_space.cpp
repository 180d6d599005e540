#include "monitor/free_space.h"

#include "monitor/monitor_platform.h"
#include "monitor/watch_log.h"
#include "settings/settings.h"

bool driveFailureReported = false;

namespace {

void reportDriveFailure(WindowHandle mainWindow, TimerId monitorTimer) {
    driveFailureReported = true;
    logEventUnmeasured(EventLog::Event::DriveFailure, settings.DriveLetter);
    if (monitorTimer != 0) {
        stopTimer(mainWindow, monitorTimer);
    }
    showDriveWarning(mainWindow);
    sendDestroy(mainWindow);
}

} // namespace

std::uint32_t megabytesFromClusters(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                                    std::uint32_t freeClusters) {
    const std::uint32_t bytesPerCluster = sectorsPerCluster * bytesPerSector;
    const std::uint64_t megabytes =
        static_cast<std::uint64_t>(bytesPerCluster) * freeClusters / 1048576u;
    return megabytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(megabytes);
}

bool isAboveLevel(std::uint32_t freeMegabytes, std::int32_t level) {
    return static_cast<std::int64_t>(freeMegabytes) > static_cast<std::int64_t>(level);
}

FreeMegabytes FreeSpaceProbe(WindowHandle mainWindow, TimerId monitorTimer) {
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    if (!diskFreeSpace(settings.DriveLetter, &sectorsPerCluster, &bytesPerSector, &freeClusters)) {
        if (!driveFailureReported) {
            reportDriveFailure(mainWindow, monitorTimer);
        }
        return {false, 0};
    }
    return {true, megabytesFromClusters(sectorsPerCluster, bytesPerSector, freeClusters)};
}
