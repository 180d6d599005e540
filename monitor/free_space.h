#pragma once
#include <cstdint>

#include "core/handles.h"

// A free-space measurement: no value after a failure, which has then already been
// reported and the program's end set in motion.
struct FreeMegabytes {
    bool valid;
    std::uint32_t megabytes;
};

// Set by the first failed measurement. It ends the program; measurements made while
// its warning is up (a repaint under the box) or after it neither warn again nor end
// the program a second time.
extern bool driveFailureReported;

FreeMegabytes FreeSpaceProbe(WindowHandle mainWindow, TimerId monitorTimer);

// Bytes per cluster are computed in 32 bits as the platform gives them; the result
// saturates at the largest 32-bit count instead of wrapping round.
std::uint32_t megabytesFromClusters(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                                    std::uint32_t freeClusters);

// "free > level" on exact values: the signed comparison for every count that fits a
// signed 32-bit number, and never a false alarm for a larger one.
bool isAboveLevel(std::uint32_t freeMegabytes, std::int32_t level);
