#include <windows.h>
#include <shellapi.h>

#include "core/program_name.h"
#include "resources/resource.h"
#include "ui/icon_badge.h"
#include "ui/options_dialog.h"
#include "ui/tray_menu.h"
#include "ui/tray_platform.h"
#include "ui/window_picker.h"

static_assert(TrayMsgSize == WM_SIZE && TrayMsgDestroy == WM_DESTROY, "window messages");
static_assert(TrayMsgCommand == WM_COMMAND, "window messages");
static_assert(TrayMsgLeftButtonUp == WM_LBUTTONUP && TrayMsgRightButtonUp == WM_RBUTTONUP,
              "mouse messages");
static_assert(TraySizeMinimized == SIZE_MINIMIZED, "size type");
static_assert(WmTrayNotify == WM_USER + 5, "tray callback message");
#ifndef _WIN64
// The first and shortest form of the record; the shell rejects mingw's full size.
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "first version of the icon record");
#endif

namespace {

HMENU commandMenu;
NOTIFYICONDATAA trayIcon;
// The icon of the add, then the marked ones for level 1 and level 2.
HICON stateIcons[3];

HWND asWindow(WindowHandle window) {
    return static_cast<HWND>(window);
}

} // namespace

void trayCreateMenu() {
    commandMenu = CreatePopupMenu();
}

void trayAppendItem(std::uint32_t commandId, const char* text) {
    AppendMenuA(commandMenu, MF_STRING, commandId, text);
}

void trayAppendSeparator() {
    AppendMenuA(commandMenu, MF_SEPARATOR, 0, nullptr);
}

void traySetItemText(std::uint32_t commandId, const char* text) {
    ModifyMenuA(commandMenu, commandId, MF_BYCOMMAND | MF_STRING, commandId, text);
}

void trayTrackMenu(WindowHandle owner) {
    POINT pointer;
    GetCursorPos(&pointer);
    TrackPopupMenu(commandMenu, TPM_RIGHTALIGN, pointer.x, pointer.y, 0, asWindow(owner), nullptr);
}

void trayAddIcon(WindowHandle mainWindow, const char* tip) {
    trayIcon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    trayIcon.hWnd = asWindow(mainWindow);
    trayIcon.uID = 0;
    trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon.uCallbackMessage = WmTrayNotify;
    // The small image drawn for that size, not the large one scaled down.
    trayIcon.hIcon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_ZEMBROVALE), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    lstrcpynA(trayIcon.szTip, tip, 64);
    Shell_NotifyIconA(NIM_ADD, &trayIcon);
}

void trayRemoveIcon() {
    Shell_NotifyIconA(NIM_DELETE, &trayIcon);
}

void trayReAddIcon() {
    Shell_NotifyIconA(NIM_ADD, &trayIcon);
}

// Kept in the icon's own record, so an add after the shell restarts shows it too.
void trayModifyTip(const char* tip) {
    lstrcpynA(trayIcon.szTip, tip, 64); // the first form's szTip
    Shell_NotifyIconA(NIM_MODIFY, &trayIcon);
}

// The add's colour bitmap, copied into a section whose pixels lie in memory, is marked twice
// in place (the second badge covers the first); each marked icon keeps the alpha channel.
// The mask stays: with an alpha channel it is not used, and without one it leaves at most the
// tile's rounded corner out of the badge. A display of fewer than 32 bits keeps the plain icon.
void trayMakeStateIcons() {
    constexpr std::uint32_t Marks[2] = {0xFFFF00, 0xFF9632}; // 0xRRGGBB: yellow, orange
    stateIcons[0] = trayIcon.hIcon;
    ICONINFO icon;
    if (!GetIconInfo(trayIcon.hIcon, &icon)) {
        return; // the plain icon stands for every state
    }
    icon.hbmColor = static_cast<HBITMAP>(
        CopyImage(icon.hbmColor, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_COPYDELETEORG));
    DIBSECTION section = {};
    GetObjectA(icon.hbmColor, sizeof section, &section);
    const BITMAP& colour = section.dsBm;
    for (int i = 0; i < 2 && colour.bmBitsPixel == 32 && colour.bmWidth == colour.bmHeight; ++i) {
        markIcon(static_cast<std::uint32_t*>(colour.bmBits), colour.bmWidth,
                 section.dsBmih.biHeight > 0, Marks[i]);
        stateIcons[i + 1] = CreateIconIndirect(&icon);
    }
    DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);
}

void traySetStateIcon(int state) {
    trayIcon.hIcon = stateIcons[state] != nullptr ? stateIcons[state] : stateIcons[0];
    Shell_NotifyIconA(NIM_MODIFY, &trayIcon);
}

#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V2_SIZE == 488, "the record's form that carries a balloon");
#endif

static DWORD infoFlags(BalloonIcon icon) {
    switch (icon) {
    case BalloonIcon::Warning:
        return NIIF_WARNING;
    case BalloonIcon::Error:
        return NIIF_ERROR;
    case BalloonIcon::Info:
        break;
    }
    return NIIF_INFO;
}

// The icon's record keeps the first, shortest form; only this one is long enough to carry
// the balloon's fields.
void trayShowBalloon(const char* text, BalloonIcon icon) {
    NOTIFYICONDATAA balloon = {};
    balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
    balloon.hWnd = trayIcon.hWnd;
    balloon.uID = 0;
    balloon.uFlags = NIF_INFO;
    lstrcpynA(balloon.szInfo, text, sizeof balloon.szInfo);
    lstrcpynA(balloon.szInfoTitle, ProgramTitle, sizeof balloon.szInfoTitle);
    balloon.uTimeout = 10000; // ms
    balloon.dwInfoFlags = infoFlags(icon);
    Shell_NotifyIconA(NIM_MODIFY, &balloon);
}

std::uint32_t trayRegisterTaskbarCreated() {
    return RegisterWindowMessageA("TaskbarCreated");
}

// The filter came with Vista (per process) and 7 (per window): looked up, not imported, so
// that the program still loads where neither exists.
void trayLetShellMessageThrough(WindowHandle window, std::uint32_t message) {
    constexpr DWORD Allow = 1; // MSGFLT_ALLOW, and MSGFLT_ADD of the older call
    const HMODULE user = GetModuleHandleA("user32.dll");
    using PerWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using PerProcess = BOOL(WINAPI*)(UINT, DWORD);
    if (const FARPROC found = GetProcAddress(user, "ChangeWindowMessageFilterEx")) {
        reinterpret_cast<PerWindow>(reinterpret_cast<void (*)()>(found))(asWindow(window), message,
                                                                         Allow, nullptr);
    } else if (const FARPROC older = GetProcAddress(user, "ChangeWindowMessageFilter")) {
        reinterpret_cast<PerProcess>(reinterpret_cast<void (*)()>(older))(message, Allow);
    }
}

void traySendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) {
    SendMessageA(asWindow(window), message, wParam, lParam);
}

void trayRestoreWindow(WindowHandle window) {
    ShowWindow(asWindow(window), SW_RESTORE);
    SetForegroundWindow(asWindow(window));
}

void trayShowAbout(WindowHandle owner, const char* text) {
    MessageBoxA(asWindow(owner), text, "About", MB_ICONINFORMATION | MB_OK);
}

void trayOpenInEditor(WindowHandle owner, const char* path) {
    ShellExecuteA(asWindow(owner), "open", path, nullptr, nullptr, SW_SHOWNORMAL);
}

void trayRunOptions(WindowHandle owner) {
    runOptionsDialog(owner);
}

void trayRunPicker(WindowHandle owner) {
    runWindowPicker(owner);
}

TimerId trayStartTimer(WindowHandle window, TimerId timer, std::uint32_t periodMs) {
    return SetTimer(asWindow(window), timer, periodMs, nullptr);
}
