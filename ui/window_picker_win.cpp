#include "ui/window_picker.h"

#include <windows.h>

#include "resources/resource.h"
#include "ui/picker_filter.h"
#include "ui/window_drag.h"

// The last reading under the pointer. Kept between ticks and between openings; a tick
// whose reading is excluded leaves the fields showing the one before.
char pickerWindowText[PickerFilter::TextFieldSize];
char pickerClassText[PickerFilter::TextFieldSize];
// Both fields are edits of one class and so had the same procedure before subclassing.
WNDPROC savedEditProc = nullptr;

namespace {

// The picker's own timer; the main window's timer has the same number but another owner.
constexpr UINT_PTR PickerTimerId = 1;
constexpr UINT PickerPeriodMs = 400;
constexpr WPARAM EscapeChar = 27;

} // namespace

LRESULT CALLBACK PickerEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYUP) {
        // The dialog manager turns the Escape press into IDCANCEL, which the picker ignores;
        // the release still reaches the focused field and ends the picker.
        if (wParam == VK_ESCAPE) {
            EndDialog(GetParent(edit), 0);
        }
        return 0;
    }
    return CallWindowProcA(savedEditProc, edit, message, wParam, lParam);
}

namespace {

WNDPROC subclass(HWND dialog, int field) {
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(GetDlgItem(dialog, field), GWLP_WNDPROC,
                                                       reinterpret_cast<LONG_PTR>(PickerEditProc)));
}

INT_PTR onInitDialog(HWND dialog) {
    SetTimer(dialog, PickerTimerId, PickerPeriodMs, nullptr);
    // Kept after the first field already, so that field never runs without a procedure
    // to pass its messages to.
    savedEditProc = subclass(dialog, IDC_PICK_WINDOWNAME);
    savedEditProc = subclass(dialog, IDC_PICK_CLASSNAME);
    return TRUE;
}

INT_PTR onTimer(HWND dialog) {
    POINT pointer;
    GetCursorPos(&pointer);
    HWND under = WindowFromPoint(pointer);
    GetWindowTextA(under, pickerWindowText, PickerFilter::ReadSize);
    GetClassNameA(under, pickerClassText, PickerFilter::ReadSize);
    if (PickerFilter::shows(pickerWindowText, pickerClassText)) {
        SendDlgItemMessageA(dialog, IDC_PICK_WINDOWNAME, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(pickerWindowText));
        SendDlgItemMessageA(dialog, IDC_PICK_CLASSNAME, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(pickerClassText));
    }
    return TRUE;
}

INT_PTR onClose(HWND dialog) {
    KillTimer(dialog, PickerTimerId);
    EndDialog(dialog, 0);
    return TRUE;
}

INT_PTR onChar(HWND dialog, WPARAM character) {
    if (character == EscapeChar) {
        EndDialog(dialog, 0);
    }
    return TRUE;
}

INT_PTR onLeftButtonDown(HWND dialog) {
    dragWindow(dialog);
    return TRUE;
}

} // namespace

INT_PTR CALLBACK WindowPicker(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog);
    case WM_TIMER:
        return onTimer(dialog);
    case WM_CLOSE:
        return onClose(dialog);
    case WM_CHAR:
        return onChar(dialog, wParam);
    case WM_LBUTTONDOWN:
        return onLeftButtonDown(dialog);
    default:
        // WM_COMMAND included: Escape's IDCANCEL and Enter's IDOK do nothing here.
        return FALSE;
    }
}

void runWindowPicker(WindowHandle mainWindow) {
    DialogBoxParamA(GetModuleHandleA(nullptr), IDD_WINSPY, static_cast<HWND>(mainWindow),
                    WindowPicker, 0);
}
