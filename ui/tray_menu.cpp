#include "ui/tray_menu.h"

#include "actions/target_window.h"
#include "app/main_window.h"
#include "monitor/monitor_platform.h"
#include "settings/settings.h"
#include "ui/tray_platform.h"

namespace {

constexpr const char* AboutText = "Zembrovale 0.7 by the Zembrovale developers\r\n\r\n"
                                  "Homepage:   https://zembrovale.example.org\r\n\r\n"
                                  "Email:            zembrovale@example.org";

void hideOrRestore(WindowHandle mainWindow) {
    if (windowHidden) {
        windowHidden = false;
        trayRestoreWindow(mainWindow);
        TrayMenu::setItemText(CmdHideRestore, "Hide");
        return;
    }
    windowHidden = true;
    // Hidden exactly as a minimize from the caption hides it.
    traySendMessage(mainWindow, TrayMsgSize, TraySizeMinimized, 1);
    TrayMenu::setItemText(CmdHideRestore, "Restore");
}

void runOptions(WindowHandle mainWindow) {
    trayRunOptions(mainWindow);
    // Saved or cancelled, the dialog has re-read the file: the timer and the lock follow
    // whatever the settings now hold.
    stopTimer(mainWindow, monitorTimer);
    monitorTimer = trayStartTimer(mainWindow, MonitorTimerId, settings.UpdateInterval);
    TargetWindow::applyLock();
}

} // namespace

namespace TrayMenu {

void build(WindowHandle mainWindow) {
    trayCreateMenu();
    trayAppendItem(CmdAbout, "About");
    trayAppendItem(CmdHideRestore, "Hide");
    trayAppendItem(CmdLockTarget, settings.HideTarget != 0 ? "Unlock Target" : "Lock Target");
    trayAppendSeparator();
    trayAppendItem(CmdOptions, "Options");
    trayAppendItem(CmdWinSpy, "WinSpy");
    trayAppendItem(CmdEditConfig, "Edit config");
    trayAppendSeparator();
    trayAppendItem(CmdClose, "Close");
    trayAddIcon(mainWindow);
}

void showMenu(WindowHandle mainWindow) {
    trayTrackMenu(mainWindow);
}

void onTrayNotify(WindowHandle mainWindow, std::uintptr_t iconId, std::intptr_t mouseMessage) {
    if (iconId != 0) {
        return;
    }
    switch (static_cast<std::uint32_t>(mouseMessage)) {
    case TrayMsgRightButtonUp:
        showMenu(mainWindow);
        break;
    case TrayMsgLeftButtonUp:
        traySendMessage(mainWindow, TrayMsgCommand, CmdHideRestore, 0);
        break;
    default:
        break;
    }
}

void onCommand(WindowHandle mainWindow, std::uintptr_t wParam, std::intptr_t lParam) {
    // Notifications from controls carry their window here; only menu commands count.
    if (lParam != 0) {
        return;
    }
    switch (static_cast<std::uint32_t>(wParam & 0xFFFF)) {
    case CmdHideRestore:
        hideOrRestore(mainWindow);
        break;
    case CmdAbout:
        trayShowAbout(mainWindow, AboutText);
        break;
    case CmdClose:
        traySendMessage(mainWindow, TrayMsgDestroy, 0, 0);
        break;
    case CmdEditConfig:
        trayOpenInEditor(mainWindow, SettingsFile::path());
        break;
    case CmdWinSpy:
        trayRunPicker(mainWindow);
        break;
    case CmdOptions:
        runOptions(mainWindow);
        break;
    case CmdLockTarget:
        TargetWindow::toggleLock();
        break;
    default:
        break;
    }
}

void removeIcon() {
    trayRemoveIcon();
}

void setItemText(std::uint32_t commandId, const char* text) {
    traySetItemText(commandId, text);
}

} // namespace TrayMenu
