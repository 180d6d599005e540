#pragma once
#include <cstdint>

#include "core/handles.h"

// The target is looked up by ClassName and WindowName for every operation; no handle
// to it is ever kept.
namespace TargetWindow {

// How long an action waits for the target to answer: as long as it takes, or milliseconds.
constexpr std::uint32_t UntilAnswered = 0xFFFFFFFF;
// TargetTimeout in milliseconds, or UntilAnswered without it.
std::uint32_t answerWaitMs();

// A null result also forgets an unanswered close and a lock still to be made: their window
// has gone.
WindowHandle findTarget();

struct KeyPress {
    bool reached;  // a target was there to take the key
    bool answered; // and it answered; after an unanswered key down the key up is only posted
};
KeyPress pressKey(std::uint32_t waitMs = UntilAnswered);

enum class Close {
    Answered,
    NoAnswer,      // the target took longer than the wait allowed and may still be handling it
    StillAsking,   // an earlier close is still unanswered: nothing was sent
    NotResponding, // Windows counts the target as hung: nothing was sent
    Gone,          // there was no window to send it to
    Refused,       // Windows refused the message; `error` says why
};
struct CloseResult {
    Close outcome;
    std::uint32_t error;
};
CloseResult closeTarget(std::uint32_t waitMs = UntilAnswered);

// Locks or unlocks the target as HideTarget says, and sets the lock command's text. With a
// wait, a target that does not answer within it is left as it is (false), and lockWaiting()
// tells that the lock is still to be made once it answers.
bool applyLock(std::uint32_t waitMs = UntilAnswered);
bool lockWaiting();
// Flips the lock, saves the settings and applies it; what applyLock returned.
bool toggleLock(std::uint32_t waitMs = UntilAnswered);

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
