#pragma once
#include <cstdint>

#include "core/handles.h"

// The target is looked up by ClassName and WindowName for every operation; no handle
// to it is ever kept.
namespace TargetWindow {

// How long an action waits for the target to answer: as long as it takes, or milliseconds.
constexpr std::uint32_t UntilAnswered = 0xFFFFFFFF;

// A null result also forgets an unanswered close: its window has gone.
WindowHandle findTarget();

struct KeyPress {
    bool reached;  // a target was there to take the key
    bool answered; // and it answered; a key up is never sent after an unanswered key down
};
KeyPress pressKey(std::uint32_t waitMs = UntilAnswered);

enum class Close {
    Answered,
    NoAnswer,    // the target took longer than the wait allowed and may still be handling it
    StillAsking, // an earlier close is still unanswered: nothing was sent
};
Close closeTarget(std::uint32_t waitMs = UntilAnswered);

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
