#include "tests/unit/fake_platform.h"
#include "tests/unit/fake_ui_platform.h"

#include "app/frame.h"
#include "app/frame_platform.h"
#include "monitor/history.h"
#include "ui/history_platform.h"
#include "ui/history_view.h"
#include "ui/tray_menu.h"
#include "ui/tray_platform.h"

namespace fakeui {

std::vector<MenuItem> menu;
std::int32_t windowLeft, windowTop;
TimerId timerReturned;
std::function<void()> insideOptions;
std::uint32_t localSecondOfDay;

void reset() {
    fake::reset();
    resetPanel();
    menu.clear();
    windowLeft = 120;
    windowTop = 80;
    timerReturned = 1;
    insideOptions = nullptr;
    localSecondOfDay = 0;
    History::start(false);
    HistoryView::closed();
}

} // namespace fakeui

using namespace fakeui;

namespace {

std::string iconTip;
std::string iconState; // "" for the program's own icon

std::string iconName(BalloonIcon icon) {
    switch (icon) {
    case BalloonIcon::Warning:
        return "warning";
    case BalloonIcon::Error:
        return "error";
    case BalloonIcon::Info:
        break;
    }
    return "info";
}

std::string messageName(std::uint32_t message) {
    switch (message) {
    case TrayMsgSize:
        return "WM_SIZE";
    case TrayMsgCommand:
        return "WM_COMMAND";
    case TrayMsgDestroy:
        return "WM_DESTROY";
    default:
        return std::to_string(message);
    }
}

} // namespace

// Command menu and icon ----------------------------------------------------------------

void trayCreateMenu() {
    fake::calls.push_back("CreatePopupMenu");
    menu.clear();
}

void trayAppendItem(std::uint32_t commandId, const char* text) {
    fake::calls.push_back("AppendMenuA " + std::to_string(commandId) + " " + text);
    menu.push_back({commandId, text});
    fake::menuText[commandId] = text;
}

void trayAppendSeparator() {
    fake::calls.push_back("AppendMenuA separator");
    menu.push_back({0, ""});
}

void traySetItemText(std::uint32_t commandId, const char* text) {
    fake::calls.push_back("ModifyMenuA " + std::to_string(commandId) + " " + text);
    fake::menuText[commandId] = text;
    for (MenuItem& item : menu) {
        if (item.id == commandId) {
            item.text = text;
        }
    }
}

void trayTrackMenu(WindowHandle) {
    fake::calls.push_back("TrackPopupMenu");
}

void trayAddIcon(WindowHandle, const char* tip) {
    fake::calls.push_back("Shell_NotifyIconA NIM_ADD");
    iconTip = tip;
    iconState = "";
}

void trayRemoveIcon() {
    fake::calls.push_back("Shell_NotifyIconA NIM_DELETE");
}

// The re-add shows what the icon's record holds: the tip and the icon of the add or of the
// last change.
void trayReAddIcon() {
    fake::calls.push_back("Shell_NotifyIconA NIM_ADD again " + iconTip + iconState);
}

void trayMakeStateIcons() {
    fake::calls.push_back("CreateIconIndirect level 1, level 2");
}

void traySetStateIcon(int state) {
    iconState = state == 0 ? "" : " (icon " + std::to_string(state) + ")";
    fake::calls.push_back("Shell_NotifyIconA NIM_MODIFY icon " + std::to_string(state));
}

void trayModifyTip(const char* tip) {
    fake::calls.push_back(std::string("Shell_NotifyIconA NIM_MODIFY tip ") + tip);
    iconTip = tip;
}

void trayShowBalloon(const char* text, BalloonIcon icon) {
    fake::calls.push_back("Shell_NotifyIconA NIM_MODIFY balloon " + iconName(icon) + " " + text);
}

std::uint32_t trayRegisterTaskbarCreated() {
    fake::calls.push_back("RegisterWindowMessageA TaskbarCreated");
    return 0xC123;
}

void trayLetShellMessageThrough(WindowHandle, std::uint32_t message) {
    fake::calls.push_back("ChangeWindowMessageFilterEx " + std::to_string(message));
}

// A message to the main window reaches the same handlers as the window procedure would
// hand it to; WM_DESTROY is only recorded, because the end of a run happens once.
void traySendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) {
    fake::calls.push_back("SendMessageA " + messageName(message) + " " + std::to_string(wParam) +
                          " " + std::to_string(lParam));
    if (message == TrayMsgSize) {
        Frame::onSize(window, wParam);
    } else if (message == TrayMsgCommand) {
        TrayMenu::onCommand(window, wParam, lParam);
    }
}

void trayRestoreWindow(WindowHandle) {
    fake::calls.push_back("ShowWindow SW_RESTORE");
    fake::calls.push_back("SetForegroundWindow main");
}

void trayShowAbout(WindowHandle, const char* text) {
    fake::calls.push_back(std::string("MessageBoxA About: ") + text);
}

void trayOpenInEditor(WindowHandle, const char* path) {
    fake::calls.push_back(std::string("ShellExecuteA open ") + path);
}

void trayRunOptions(WindowHandle) {
    fake::calls.push_back("DialogBoxParamA OPTIONS");
    if (insideOptions) {
        insideOptions();
    }
}

void trayRunPicker(WindowHandle) {
    fake::calls.push_back("DialogBoxParamA WINSPY");
}

TimerId trayStartTimer(WindowHandle, TimerId timer, std::uint32_t periodMs) {
    fake::calls.push_back("SetTimer " + std::to_string(timer) + " " + std::to_string(periodMs));
    return timerReturned;
}

// History window ---------------------------------------------------------------------

bool historyShowWindow() {
    fake::calls.push_back("ShowWindow history");
    return true;
}

std::uint32_t historyLocalSecondOfDay() {
    fake::calls.push_back("GetLocalTime");
    return localSecondOfDay;
}

void historyInvalidate() {
    fake::calls.push_back("InvalidateRect history");
}

// Frame --------------------------------------------------------------------------------

void frameHideWindow(WindowHandle) {
    fake::calls.push_back("ShowWindow SW_HIDE");
}

void frameWindowTopLeft(WindowHandle, std::int32_t* left, std::int32_t* top) {
    fake::calls.push_back("GetWindowRect");
    *left = windowLeft;
    *top = windowTop;
}

void frameQuitLoop() {
    fake::calls.push_back("PostQuitMessage 0");
}
