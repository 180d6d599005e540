#include "ui/options_dialog.h"

#include <windows.h>

#include "monitor/watch_log.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "ui/key_text.h"
#include "ui/window_drag.h"

namespace {

// Text reads are sized to their field: at most three characters for a root path such as
// D:\, 254 for the names.
constexpr int DriveReadSize = 4;
constexpr int NameReadSize = 255;
static_assert(DriveReadSize <= sizeof(Settings::DriveLetter), "drive read overruns its field");
static_assert(NameReadSize <= sizeof(Settings::WindowName), "name read overruns its field");
static_assert(NameReadSize <= sizeof(Settings::ClassName), "name read overruns its field");
static_assert(KeyText::ReadSize <= sizeof(Settings::key), "key read overruns its field");

bool isChecked(HWND dialog, int box) {
    return IsDlgButtonChecked(dialog, box) == BST_CHECKED;
}

void enableEdit(HWND dialog, int edit, bool enabled) {
    EnableWindow(GetDlgItem(dialog, edit), enabled ? TRUE : FALSE);
}

void showNumber(HWND dialog, int edit, std::int32_t value) {
    SetDlgItemInt(dialog, edit, static_cast<UINT>(value), FALSE);
}

// Any text that is not an unsigned decimal number reads as 0; the 32 bits are kept as
// they are, so a number above 2147483647 becomes a negative setting.
std::int32_t readNumber(HWND dialog, int edit) {
    return static_cast<std::int32_t>(GetDlgItemInt(dialog, edit, nullptr, FALSE));
}

// A setting that is 0 when switched off: its box is checked and its edit shows and
// accepts the value only while it is not 0.
void showSwitched(HWND dialog, int box, int edit, bool on, const char* text) {
    if (on) {
        CheckDlgButton(dialog, box, BST_CHECKED);
        SetDlgItemTextA(dialog, edit, text);
    }
    enableEdit(dialog, edit, on);
}

void showSwitchedNumber(HWND dialog, int box, int edit, std::int32_t value) {
    if (value != 0) {
        CheckDlgButton(dialog, box, BST_CHECKED);
        showNumber(dialog, edit, value);
    }
    enableEdit(dialog, edit, value != 0);
}

std::int32_t readSwitchedNumber(HWND dialog, int box, int edit) {
    return isChecked(dialog, box) ? readNumber(dialog, edit) : 0;
}

INT_PTR onInitDialog(HWND dialog) {
    // The file may have been edited by hand since the last read; show what it holds now.
    SettingsFile::load();

    SetDlgItemTextA(dialog, IDC_OPT_DRIVE, settings.DriveLetter);
    showNumber(dialog, IDC_OPT_LEVEL1, settings.level1);
    showNumber(dialog, IDC_OPT_LEVEL2, settings.level2);
    SetDlgItemTextA(dialog, IDC_OPT_WINDOWNAME, settings.WindowName);
    SetDlgItemTextA(dialog, IDC_OPT_CLASSNAME, settings.ClassName);
    showNumber(dialog, IDC_OPT_INTERVAL, static_cast<std::int32_t>(settings.UpdateInterval));

    if (settings.CloseTarget != 0) {
        CheckDlgButton(dialog, IDC_OPT_CLOSETARGET, BST_CHECKED);
    }
    if (settings.ShutDownPC != 0) {
        CheckDlgButton(dialog, IDC_OPT_SHUTDOWN, BST_CHECKED);
    }
    showSwitchedNumber(dialog, IDC_OPT_BEEP, IDC_OPT_FREQUENCY, settings.frequency);
    char keyText[KeyText::ShownSize];
    KeyText::show(settings.key, keyText);
    showSwitched(dialog, IDC_OPT_SENDKEY, IDC_OPT_KEY, settings.key != 0, keyText);
    showSwitchedNumber(dialog, IDC_OPT_TRANSPARENT, IDC_OPT_ALPHA, settings.HideTarget);
    return TRUE;
}

void saveAndClose(HWND dialog) {
    GetDlgItemTextA(dialog, IDC_OPT_DRIVE, settings.DriveLetter, DriveReadSize);
    settings.level1 = readNumber(dialog, IDC_OPT_LEVEL1);
    settings.level2 = readNumber(dialog, IDC_OPT_LEVEL2);
    GetDlgItemTextA(dialog, IDC_OPT_WINDOWNAME, settings.WindowName, NameReadSize);
    GetDlgItemTextA(dialog, IDC_OPT_CLASSNAME, settings.ClassName, NameReadSize);
    settings.UpdateInterval = static_cast<std::uint32_t>(readNumber(dialog, IDC_OPT_INTERVAL));
    settings.CloseTarget = isChecked(dialog, IDC_OPT_CLOSETARGET) ? 1 : 0;
    settings.ShutDownPC = isChecked(dialog, IDC_OPT_SHUTDOWN) ? 1 : 0;
    settings.frequency = readSwitchedNumber(dialog, IDC_OPT_BEEP, IDC_OPT_FREQUENCY);
    if (isChecked(dialog, IDC_OPT_SENDKEY)) {
        char keyText[KeyText::ReadSize];
        GetDlgItemTextA(dialog, IDC_OPT_KEY, keyText, KeyText::ReadSize);
        settings.key = KeyText::store(settings.key, keyText);
    } else {
        settings.key = 0;
    }
    settings.HideTarget = readSwitchedNumber(dialog, IDC_OPT_TRANSPARENT, IDC_OPT_ALPHA);

    SettingsFile::save();
    logEvent(EventLog::Event::SettingsSaved);
    EndDialog(dialog, 0);
}

// A disabled edit keeps its text; saving simply ignores it while its box is clear.
void followBox(HWND dialog, int box, int edit) {
    enableEdit(dialog, edit, isChecked(dialog, box));
}

INT_PTR onCommand(HWND dialog, WPARAM wParam) {
    if (HIWORD(wParam) != 0) {
        return TRUE;
    }
    switch (LOWORD(wParam)) {
    case IDC_OPT_SAVE:
        saveAndClose(dialog);
        break;
    case IDC_OPT_CANCEL:
        EndDialog(dialog, 0);
        break;
    case IDC_OPT_BEEP:
        followBox(dialog, IDC_OPT_BEEP, IDC_OPT_FREQUENCY);
        break;
    case IDC_OPT_SENDKEY:
        followBox(dialog, IDC_OPT_SENDKEY, IDC_OPT_KEY);
        break;
    case IDC_OPT_TRANSPARENT:
        followBox(dialog, IDC_OPT_TRANSPARENT, IDC_OPT_ALPHA);
        break;
    default:
        // Escape arrives here as IDCANCEL and is deliberately ignored: only the Cancel
        // button and the close box end the dialog without saving.
        break;
    }
    return TRUE;
}

INT_PTR onClose(HWND dialog) {
    EndDialog(dialog, 0);
    return TRUE;
}

INT_PTR onLeftButtonDown(HWND dialog) {
    dragWindow(dialog);
    return TRUE;
}

} // namespace

INT_PTR CALLBACK OptionsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog);
    case WM_COMMAND:
        return onCommand(dialog, wParam);
    case WM_CLOSE:
        return onClose(dialog);
    case WM_LBUTTONDOWN:
        return onLeftButtonDown(dialog);
    default:
        return FALSE;
    }
}

void runOptionsDialog(WindowHandle mainWindow) {
    DialogBoxParamA(GetModuleHandleA(nullptr), IDD_OPTIONS, static_cast<HWND>(mainWindow),
                    OptionsDialog, 0);
}
