#pragma once
// Starts and stops the real zembrovale.exe for a test: each run gets its own copy of the
// program in a fresh folder, so its INI file belongs to that test alone.
#include <windows.h>

#include <string>
#include <vector>

#include "support/wine_support.h"

namespace zvtest {

// The caption of the program's windows and message boxes, spelt out here so that a test
// notices when the program's own changes.
constexpr const char* ProductTitle = "Zembrovale 0.7";

// Pixels of exactly `colour` in one cell (client coordinates) of the panel as it is on
// screen now.
int panelPixels(HWND mainWindow, const RECT& cell, COLORREF colour);

class ProductRun {
  public:
    ProductRun() = default;
    ProductRun(const ProductRun&) = delete;
    ProductRun& operator=(const ProductRun&) = delete;
    // Ends the program (by its Close command when it still answers) and removes its copy,
    // even from an INI file a test made read-only.
    ~ProductRun();

    struct Options {
        bool writeIni = true; // false: the program starts without a file
        int showState = -1;   // the start-up show state; -1 leaves it to the system
    };

    // Copies the program into a new folder beside its INI file and starts it. Returns the
    // main window, or null when it did not appear.
    HWND start(const IniKeys& keys);
    HWND start(const IniKeys& keys, const Options& options);
    // The same, on an INI file of exactly these bytes.
    HWND startWithIniBytes(const std::string& iniBytes);
    // A second copy in the folder of `first`, as `name`.exe beside its own `name`.ini.
    HWND startBeside(const ProductRun& first, const std::string& name, const IniKeys& keys);

    // Chooses a command of the menu and waits for the dialog it opens. The dialog's window
    // exists before its controls are filled; it is shown only after WM_INITDIALOG.
    HWND open(UINT command, const char* caption);
    HWND openOptions();
    HWND openPicker();

    // Drive warnings of this program, shown or about to be.
    std::vector<HWND> warnings();
    // True when the program answers a sent message within the time: its thread is in a
    // message loop (its own or a modal one), not stuck.
    bool answers(DWORD timeoutMs = 5000);
    // Chooses "Close" and returns the exit code, or STILL_ACTIVE when it did not end.
    DWORD closeAndWait();

    int panelPixels(const RECT& cell, COLORREF colour) const;
    // True once the cell shows at least one pixel of `colour` (waits the default time).
    bool panelShows(const RECT& cell, COLORREF colour) const;

    const std::string& iniPath() const { return ini_; }
    std::string iniText() const { return readFile(ini_); }
    std::string iniValue(const std::string& key) const;
    HWND mainWindow() const { return mainWindow_; }
    ChildProcess& process() { return process_; }

  private:
    // Makes the folder and the copy; `iniBytes` null starts the program without a file.
    HWND launch(const std::string* iniBytes, int showState);
    // Copies the program into folder_ as `name`.exe and starts it there.
    HWND run(const std::string& name, const std::string* iniBytes, int showState);
    void removeCopy();

    ChildProcess process_;
    HWND mainWindow_ = nullptr;
    std::string folder_;
    std::string exe_;
    std::string ini_;
};

} // namespace zvtest
