#pragma once
#include <cstdint>

#include "core/handles.h"

// The target is looked up by ClassName and WindowName for every operation; no handle
// to it is ever kept.
namespace TargetWindow {
WindowHandle findTarget();
// True when a target was there to take the key.
bool pressKey();
void closeTarget();
void applyLock();
void toggleLock();
} // namespace TargetWindow

// Enables the shutdown privilege and asks for a forced shutdown; true when accepted.
bool ShutdownRequest();

// A WindowName beginning with exactly "NULL" matches any title.
bool titleIsWildcard(const char* windowName);

constexpr std::uint32_t ExStyleLayered = 0x00080000;    // WS_EX_LAYERED
constexpr std::uint32_t ExStyleWindowEdge = 0x00000100; // WS_EX_WINDOWEDGE

// Lock and unlock only touch their own bits, keeping the target's other extended styles.
inline std::uint32_t lockedExStyle(std::uint32_t current) {
    return current | ExStyleLayered | ExStyleWindowEdge;
}
inline std::uint32_t unlockedExStyle(std::uint32_t current) {
    return current & ~ExStyleLayered;
}

constexpr std::uint32_t CmdLockTarget = 1006;
