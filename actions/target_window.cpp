#include "actions/target_window.h"

#include "actions/actions_platform.h"
#include "settings/settings.h"

namespace {

constexpr std::uint32_t MsgClose = 0x0010;   // WM_CLOSE
constexpr std::uint32_t MsgKeyDown = 0x0100; // WM_KEYDOWN
constexpr std::uint32_t MsgKeyUp = 0x0101;   // WM_KEYUP
constexpr std::int32_t MenuLockAlpha = 100;

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
    return findWindow(settings.ClassName, title);
}

bool pressKey() {
    const WindowHandle target = findTarget();
    // Sent whatever the foreground change achieved, to the top-level window itself.
    bringToFront(target);
    sendToWindow(target, MsgKeyDown, settings.key, 0);
    sendToWindow(target, MsgKeyUp, settings.key, 0);
    return target != nullptr;
}

void closeTarget() {
    sendToWindow(findTarget(), MsgClose, 0, 0);
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
