#include "actions/target_window.h"

#include "actions/actions_platform.h"
#include "settings/settings.h"

namespace {

constexpr std::uint32_t MsgClose = 0x0010;   // WM_CLOSE
constexpr std::uint32_t MsgKeyDown = 0x0100; // WM_KEYDOWN
constexpr std::uint32_t MsgKeyUp = 0x0101;   // WM_KEYUP
constexpr std::int32_t MenuLockAlpha = 100;

// A close that went unanswered: no second one is sent while the target may still be handling
// the first (a second "Stop the recording?" on top of the first helps nobody).
bool closePending = false;

void lock(WindowHandle target) {
    writeExtendedStyle(target, lockedExStyle(readExtendedStyle(target)));
    setWindowAlpha(target, static_cast<std::uint8_t>(settings.HideTarget & 0xFF));
    enableInput(target, false);
    setCommandText(CmdLockTarget, "Unlock Target");
}

void unlock(WindowHandle target) {
    writeExtendedStyle(target, unlockedExStyle(readExtendedStyle(target)));
    enableInput(target, true);
    bringToFront(target);
    setCommandText(CmdLockTarget, "Lock Target");
}

} // namespace

bool titleIsWildcard(const char* windowName) {
    return windowName[0] == 'N' && windowName[1] == 'U' && windowName[2] == 'L' &&
           windowName[3] == 'L';
}

namespace TargetWindow {

WindowHandle findTarget() {
    const char* title = titleIsWildcard(settings.WindowName) ? nullptr : settings.WindowName;
    const WindowHandle target = findWindow(settings.ClassName, title);
    if (target == nullptr) {
        closePending = false;
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
    const bool answered = sendToWindowWithin(target, MsgKeyDown, settings.key, 0, waitMs) &&
                          sendToWindowWithin(target, MsgKeyUp, settings.key, 0, waitMs);
    return {target != nullptr, answered};
}

Close closeTarget(std::uint32_t waitMs) {
    if (closePending && !closeAnswerArrived()) {
        return Close::StillAsking;
    }
    closePending = false;
    const WindowHandle target = findTarget();
    if (waitMs == UntilAnswered) {
        sendToWindow(target, MsgClose, 0, 0);
        return Close::Answered;
    }
    if (closeWithin(target, waitMs)) {
        return Close::Answered;
    }
    closePending = true;
    return Close::NoAnswer;
}

void applyLock() {
    const WindowHandle target = findTarget();
    if (settings.HideTarget != 0) {
        lock(target);
    } else {
        unlock(target);
    }
}

void toggleLock() {
    settings.HideTarget = settings.HideTarget != 0 ? 0 : MenuLockAlpha;
    SettingsFile::save();
    applyLock();
}

} // namespace TargetWindow
