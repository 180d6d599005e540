#pragma once
// Drives the real zembrovale.exe and its two dialogs from outside.
#include <windows.h>

#include <string>

#include "support/product_run.h"
#include "support/wine_support.h"
#include "ui/tray_menu.h"

namespace e2e {

using zvtest::IniKeys;
using zvtest::iniValue;
using zvtest::ProductRun;
using zvtest::withKeys;

// Every number a fresh save writes, so a test only lists what it cares about.
inline IniKeys baseIni() {
    return {{"level1", "00000000"},      {"level2", "00000000"},     {"ClassName", "NoSuchClass"},
            {"WindowName", "NULL"},      {"x", "00000020"},          {"y", "00000020"},
            {"frequency", "00000000"},   {"key", "00000000"},        {"DriveLetter", "C:\\"},
            {"CloseTarget", "00000000"}, {"ShutDownPC", "00000000"}, {"UpdateInterval", "00001000"},
            {"HideTarget", "00000000"}};
}

// Control access across processes. WM_GETTEXT, not GetWindowTextA: for another process's
// window the latter returns the stored caption, not an edit control's contents.
inline std::string text(HWND dialog, int id) {
    char buffer[1024] = "";
    const LRESULT length = SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof buffer,
                                        reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, static_cast<size_t>(length));
}

inline void setText(HWND dialog, int id, const std::string& value) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

inline bool checked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// A real click: the button toggles itself (check boxes) and notifies the dialog.
inline void click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// A key pressed and released in a control, through the dialog's own message loop (posted,
// so the dialog manager sees it as typed input).
inline void typeKey(HWND dialog, int id, UINT virtualKey) {
    const HWND control = GetDlgItem(dialog, id);
    PostMessageA(control, WM_KEYDOWN, virtualKey, 0x00000001);
    PostMessageA(control, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

inline bool closed(HWND dialog, DWORD timeoutMs = zvtest::DefaultWaitMs) {
    return zvtest::waitUntil([&] { return !IsWindow(dialog); }, timeoutMs);
}

// True while `dialog` survives `ms` milliseconds.
inline bool staysOpen(HWND dialog, DWORD ms) {
    return !zvtest::waitUntil([&] { return !IsWindow(dialog); }, ms);
}

// Lines of a test_target log that record a key press of `virtualKey`.
inline int keyDowns(const std::string& logPath, UINT virtualKey) {
    int count = 0;
    const std::string expected = "WM_KEYDOWN " + std::to_string(virtualKey) + " ";
    for (const std::string& line : zvtest::readLines(logPath)) {
        if (line.compare(0, expected.size(), expected) == 0) {
            ++count;
        }
    }
    return count;
}

} // namespace e2e
