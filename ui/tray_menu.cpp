#include "ui/tray_menu.h"

#include <cstring>

#include "actions/target_window.h"
#include "app/main_window.h"
#include "monitor/fill_estimate.h"
#include "monitor/history.h"
#include "monitor/monitor_platform.h"
#include "monitor/room_making.h"
#include "monitor/watch_log.h"
#include "settings/settings.h"
#include "ui/history_view.h"
#include "ui/tray_platform.h"
#include "ui/tray_text.h"

namespace {

constexpr const char* AboutText = "Zembrovale 0.7 by the Zembrovale developers\r\n\r\n"
                                  "Homepage:   https://zembrovale.example.org\r\n\r\n"
                                  "Email:            zembrovale@example.org";

constexpr std::uint64_t TipPeriodMs = 10000;

// The tip the icon shows now, and when and from what the estimate behind it was last
// worked out.
char shownTip[TrayText::TipSize];
bool tipChecked = false;
std::uint64_t tipCheckedMs = 0;
std::uint32_t tipFreeMb = 0;
FillForecast tipForecast = {};

std::uint32_t taskbarCreated = 0;

bool stateIcons = false;
int shownState = 0; // 0 normal, 1 level 1, 2 level 2

BalloonIcon balloonIcon(Transition transition) {
    switch (transition) {
    case Transition::Alarm:
        return BalloonIcon::Warning;
    case Transition::LevelTwo:
        return BalloonIcon::Error;
    case Transition::Recover:
    case Transition::MakeRoom:
        break;
    }
    return BalloonIcon::Info;
}

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

// Only a changed text goes to the shell; the icon's record keeps it for an add after a
// shell restart.
void showTip(const char* tip) {
    if (std::strcmp(tip, shownTip) == 0) {
        return;
    }
    std::strcpy(shownTip, tip);
    trayModifyTip(shownTip);
}

// The tip says what the settings as last loaded do: a rehearsal that the file no longer
// asks for must not go on saying " (dry run)".
void tipOfReloadedSettings() {
    char tip[TrayText::TipSize];
    if (settings.ShowEstimate != 0 && tipChecked) {
        TrayText::estimateTip(tipFreeMb, tipForecast, settings.DryRun != 0, tip);
    } else {
        TrayText::startTip(settings.DryRun != 0, tip);
        tipChecked = false;
    }
    showTip(tip);
}

void runOptions(WindowHandle mainWindow) {
    trayRunOptions(mainWindow);
    // Saved or cancelled, the dialog has re-read the file: the timer, the lock and the tip
    // follow whatever the settings now hold.
    stopTimer(mainWindow, monitorTimer);
    monitorTimer = trayStartTimer(mainWindow, MonitorTimerId, settings.UpdateInterval);
    logLock(TargetWindow::applyLock(TargetWindow::answerWaitMs()), LockSaid::WhenSkipped);
    RoomMaking::configure();
    tipOfReloadedSettings();
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
    // Read once, at start, like the keys below: what they set up stays for the run.
    History::start(settings.ShowHistory != 0);
    if (History::on()) {
        trayAppendItem(CmdHistory, "History");
    }
    trayAppendSeparator();
    trayAppendItem(CmdClose, "Close");
    TrayText::startTip(settings.DryRun != 0, shownTip);
    tipChecked = false;
    trayAddIcon(mainWindow, shownTip);
    // Read once, at start: the Options dialog re-reading the file registers nothing.
    taskbarCreated = settings.KeepTrayIcon != 0 ? trayRegisterTaskbarCreated() : 0;
    if (taskbarCreated != 0) {
        trayLetShellMessageThrough(mainWindow, taskbarCreated);
    }
    stateIcons = settings.StateIcon != 0;
    shownState = 0;
    if (stateIcons) {
        trayMakeStateIcons();
    }
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
        logLock(TargetWindow::toggleLock(TargetWindow::answerWaitMs()), LockSaid::Always);
        break;
    case CmdHistory:
        if (History::on()) {
            HistoryView::open();
        }
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

void announce(Transition transition, const TransitionFacts& facts) {
    if (settings.ShowBalloons == 0) {
        return;
    }
    char text[TrayText::BalloonSize];
    TrayText::balloon(transition, facts, settings, text);
    trayShowBalloon(text, balloonIcon(transition));
}

void refreshTip(std::uint64_t nowMs, const TransitionFacts& facts) {
    if (settings.ShowEstimate == 0 || (tipChecked && nowMs - tipCheckedMs < TipPeriodMs)) {
        return;
    }
    tipChecked = true;
    tipCheckedMs = nowMs;
    tipFreeMb = facts.freeMb;
    tipForecast = FillEstimate::forecast(nowMs, facts.freeMb, settings.level1, settings.level2);
    char tip[TrayText::TipSize];
    TrayText::estimateTip(tipFreeMb, tipForecast, settings.DryRun != 0, tip);
    showTip(tip);
}

std::uint32_t taskbarCreatedMessage() {
    return taskbarCreated;
}

void onTaskbarCreated() {
    trayReAddIcon();
}

void showState(std::uint32_t events) {
    int state = shownState;
    if ((events & History::bit(History::Recover)) != 0) {
        state = 0;
    }
    if ((events & History::bit(History::Alarm)) != 0) {
        state = 1;
    }
    if ((events & History::bit(History::LevelTwo)) != 0) {
        state = 2;
    }
    if (stateIcons && state != shownState) {
        shownState = state;
        traySetStateIcon(state);
    }
}

} // namespace TrayMenu
