#include "actions/target_window.h"

#include "actions/actions_platform.h"
#include "settings/settings.h"

namespace {

constexpr std::uint32_t MsgNull = 0x0000;    // WM_NULL
constexpr std::uint32_t MsgClose = 0x0010;   // WM_CLOSE
constexpr std::uint32_t MsgKeyDown = 0x0100; // WM_KEYDOWN
constexpr std::uint32_t MsgKeyUp = 0x0101;   // WM_KEYUP
constexpr std::int32_t MenuLockAlpha = 100;

// A close that went unanswered: no second one is sent while the target may still be handling
// the first (a second "Stop the recording?" on top of the first helps nobody).
bool closePending = false;
// A lock (or unlock) that a target did not answer in time for.
bool lockPending = false;

const char* lockCommandText() {
    return settings.HideTarget != 0 ? "Unlock Target" : "Lock Target";
}

void lock(WindowHandle target) {
    writeExtendedStyle(target, lockedExStyle(readExtendedStyle(target)));
    setWindowAlpha(target, static_cast<std::uint8_t>(settings.HideTarget & 0xFF));
    enableInput(target, false);
    setCommandText(CmdLockTarget, lockCommandText());
}

void unlock(WindowHandle target) {
    writeExtendedStyle(target, unlockedExStyle(readExtendedStyle(target)));
    enableInput(target, true);
    bringToFront(target);
    setCommandText(CmdLockTarget, lockCommandText());
}

TargetWindow::CloseResult notSent(std::uint32_t error) {
    return {error == ErrorNoWindow ? TargetWindow::Close::Gone : TargetWindow::Close::Refused,
            error};
}

} // namespace

bool titleIsWildcard(const char* windowName) {
    return windowName[0] == 'N' && windowName[1] == 'U' && windowName[2] == 'L' &&
           windowName[3] == 'L';
}

namespace TargetWindow {

std::uint32_t answerWaitMs() {
    return settings.TargetTimeout > 0 ? static_cast<std::uint32_t>(settings.TargetTimeout) * 1000u
                                      : UntilAnswered;
}

WindowHandle findTarget() {
    const char* title = titleIsWildcard(settings.WindowName) ? nullptr : settings.WindowName;
    const WindowHandle target = findWindow(settings.ClassName, title);
    if (target == nullptr) {
        closePending = false;
        lockPending = false;
    }
    return target;
}

KeyPress pressKey(std::uint32_t waitMs) {
    const WindowHandle target = findTarget();
    // Sent whatever the foreground change achieved, to the top-level window itself.
    bringToFront(target);
    if (waitMs == UntilAnswered) {
        sendToWindow(target, MsgKeyDown, settings.key, 0);
        sendToWindow(target, MsgKeyUp, settings.key, 0);
        return {target != nullptr, true};
    }
    if (!sendToWindowWithin(target, MsgKeyDown, settings.key, 0, waitMs)) {
        // The key down may still be handled; its key up waits behind it, so that the target
        // never sees the key held down for ever.
        if (target != nullptr) {
            postToWindow(target, MsgKeyUp, settings.key, 0);
        }
        return {target != nullptr, false};
    }
    const bool answered = sendToWindowWithin(target, MsgKeyUp, settings.key, 0, waitMs);
    return {target != nullptr, answered};
}

CloseResult closeTarget(std::uint32_t waitMs) {
    if (closePending && !closeAnswerArrived()) {
        return {Close::StillAsking, 0};
    }
    closePending = false;
    const WindowHandle target = findTarget();
    if (waitMs == UntilAnswered) {
        const std::uint32_t error = sendToWindow(target, MsgClose, 0, 0);
        return error == 0 ? CloseResult{Close::Answered, 0} : notSent(error);
    }
    if (target != nullptr && windowHung(target)) {
        return {Close::NotResponding, 0};
    }
    // Marked before the wait: nothing that runs meanwhile may send a second one.
    closePending = true;
    std::uint32_t error = 0;
    const bool answered = closeWithin(target, waitMs, &error);
    if (answered || error != 0) {
        closePending = false;
    }
    if (error != 0) {
        return notSent(error);
    }
    return {answered ? Close::Answered : Close::NoAnswer, 0};
}

bool applyLock(std::uint32_t waitMs) {
    const WindowHandle target = findTarget();
    // The style change and EnableWindow wait on the target for as long as it hangs.
    if (target != nullptr && waitMs != UntilAnswered &&
        !sendToWindowWithin(target, MsgNull, 0, 0, waitMs)) {
        lockPending = true;
        setCommandText(CmdLockTarget, lockCommandText());
        return false;
    }
    lockPending = false;
    if (settings.HideTarget != 0) {
        lock(target);
    } else {
        unlock(target);
    }
    return true;
}

bool lockWaiting() {
    return lockPending;
}

bool toggleLock(std::uint32_t waitMs) {
    settings.HideTarget = settings.HideTarget != 0 ? 0 : MenuLockAlpha;
    SettingsFile::save();
    return applyLock(waitMs);
}

} // namespace TargetWindow
