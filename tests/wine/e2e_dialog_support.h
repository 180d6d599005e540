#pragma once
// Drives the real zembrovale.exe and its two dialogs from outside: each run gets its own
// copy of the program in a fresh folder, so its INI file belongs to that test alone.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "support/wine_support.h"
#include "ui/tray_menu.h"

namespace e2e {

using IniKeys = std::vector<std::pair<std::string, std::string>>;

// Every number a fresh save writes, so a test only lists what it cares about.
inline IniKeys baseIni() {
    return {{"level1", "00000000"},      {"level2", "00000000"},     {"ClassName", "NoSuchClass"},
            {"WindowName", "NULL"},      {"x", "00000020"},          {"y", "00000020"},
            {"frequency", "00000000"},   {"key", "00000000"},        {"DriveLetter", "C:\\"},
            {"CloseTarget", "00000000"}, {"ShutDownPC", "00000000"}, {"UpdateInterval", "00001000"},
            {"HideTarget", "00000000"}};
}

inline IniKeys withKeys(IniKeys keys, const IniKeys& changes) {
    for (const auto& change : changes) {
        bool replaced = false;
        for (auto& entry : keys) {
            if (entry.first == change.first) {
                entry.second = change.second;
                replaced = true;
            }
        }
        if (!replaced) {
            keys.push_back(change);
        }
    }
    return keys;
}

// The value of `key` in INI text, or "<absent>".
inline std::string iniValue(const std::string& text, const std::string& key) {
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.compare(0, key.size() + 1, key + "=") == 0) {
            return line.substr(key.size() + 1);
        }
        begin = end + 1;
    }
    return "<absent>";
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

class ProductRun {
  public:
    ProductRun() = default;
    ProductRun(const ProductRun&) = delete;
    ProductRun& operator=(const ProductRun&) = delete;

    ~ProductRun() {
        if (mainWindow_ != nullptr && process_.running()) {
            PostMessageA(mainWindow_, WM_COMMAND, CmdClose, 0);
            process_.waitForExit(3000);
        }
        process_.terminate();
        zvtest::removeFile(ini_);
        zvtest::removeFile(exe_);
        RemoveDirectoryA(folder_.c_str());
    }

    struct Options {
        bool writeIni = true; // false: the program starts without a file
        int showState = -1;   // the start-up show state; -1 leaves it to the system
    };

    // Copies the program into a new folder beside its INI file and starts it. Returns the
    // main window, or null when it did not appear.
    HWND start(const IniKeys& keys) { return start(keys, Options{}); }
    HWND start(const IniKeys& keys, const Options& options) {
        folder_ = zvtest::tempFolder() + zvtest::uniqueName("zv-dialogs");
        CreateDirectoryA(folder_.c_str(), nullptr);
        exe_ = folder_ + "\\zembrovale.exe";
        ini_ = folder_ + "\\zembrovale.ini";
        if (!CopyFileA(zvtest::productPath().c_str(), exe_.c_str(), FALSE) ||
            (options.writeIni && !zvtest::writeIni(ini_, keys)) ||
            !process_.start("\"" + exe_ + "\"", folder_.c_str(), options.showState)) {
            return nullptr;
        }
        mainWindow_ = process_.waitForWindow("ZEMBROVALE");
        return mainWindow_;
    }

    // Chooses a command of the menu and waits for the dialog it opens. The dialog's window
    // exists before its controls are filled; it is shown only after WM_INITDIALOG.
    HWND open(UINT command, const char* caption) {
        PostMessageA(mainWindow_, WM_COMMAND, command, 0);
        const HWND dialog = process_.waitForWindow("#32770", caption);
        if (dialog == nullptr ||
            !zvtest::waitUntil([&] { return IsWindowVisible(dialog) != FALSE; })) {
            return nullptr;
        }
        return dialog;
    }
    HWND openOptions() { return open(CmdOptions, "Options"); }
    HWND openPicker() { return open(CmdWinSpy, "WinSpy"); }

    const std::string& iniPath() const { return ini_; }
    std::string iniText() const { return zvtest::readFile(ini_); }
    std::string iniValue(const std::string& key) const { return e2e::iniValue(iniText(), key); }
    HWND mainWindow() const { return mainWindow_; }
    zvtest::ChildProcess& process() { return process_; }

  private:
    zvtest::ChildProcess process_;
    HWND mainWindow_ = nullptr;
    std::string folder_;
    std::string exe_;
    std::string ini_;
};

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
