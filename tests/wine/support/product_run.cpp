#include "support/product_run.h"

#include "ui/tray_menu.h"

namespace zvtest {

int panelPixels(HWND mainWindow, const RECT& cell, COLORREF colour) {
    return captureScreen(clientRectOnScreen(mainWindow)).count(colour, cell);
}

ProductRun::~ProductRun() {
    if (mainWindow_ != nullptr && process_.running()) {
        PostMessageA(mainWindow_, WM_COMMAND, CmdClose, 0);
        process_.waitForExit(3000);
    }
    process_.terminate();
    removeCopy();
}

HWND ProductRun::start(const IniKeys& keys) {
    return start(keys, Options{});
}

HWND ProductRun::start(const IniKeys& keys, const Options& options) {
    const std::string bytes = formatIni(keys);
    return launch(options.writeIni ? &bytes : nullptr, options.showState);
}

HWND ProductRun::startWithIniBytes(const std::string& iniBytes) {
    return launch(&iniBytes, -1);
}

HWND ProductRun::startBeside(const ProductRun& first, const std::string& name,
                             const IniKeys& keys) {
    folder_ = first.folder_;
    const std::string bytes = formatIni(keys);
    return run(name, &bytes, -1);
}

HWND ProductRun::launch(const std::string* iniBytes, int showState) {
    folder_ = tempFolder() + uniqueName("zv-dialogs");
    CreateDirectoryA(folder_.c_str(), nullptr);
    return run("zembrovale", iniBytes, showState);
}

HWND ProductRun::run(const std::string& name, const std::string* iniBytes, int showState) {
    exe_ = folder_ + "\\" + name + ".exe";
    ini_ = folder_ + "\\" + name + ".ini";
    if (!CopyFileA(productPath().c_str(), exe_.c_str(), FALSE) ||
        (iniBytes != nullptr && !writeFile(ini_, *iniBytes)) ||
        !process_.start("\"" + exe_ + "\"", folder_.c_str(), showState)) {
        return nullptr;
    }
    mainWindow_ = process_.waitForWindow("ZEMBROVALE");
    return mainWindow_;
}

void ProductRun::removeCopy() {
    // A read-only file could not be removed.
    SetFileAttributesA(ini_.c_str(), FILE_ATTRIBUTE_NORMAL);
    removeFile(ini_);
    removeFile(exe_);
    RemoveDirectoryA(folder_.c_str());
}

HWND ProductRun::open(UINT command, const char* caption) {
    PostMessageA(mainWindow_, WM_COMMAND, command, 0);
    const HWND dialog = process_.waitForWindow("#32770", caption);
    if (dialog == nullptr || !waitUntil([&] { return IsWindowVisible(dialog) != FALSE; })) {
        return nullptr;
    }
    return dialog;
}

HWND ProductRun::openOptions() {
    return open(CmdOptions, "Options");
}

HWND ProductRun::openPicker() {
    return open(CmdWinSpy, "WinSpy");
}

std::vector<HWND> ProductRun::warnings() {
    return processWindows(process_.id(), "#32770", ProductTitle);
}

bool ProductRun::answers(DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(mainWindow_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

DWORD ProductRun::closeAndWait() {
    PostMessageA(mainWindow_, WM_COMMAND, CmdClose, 0);
    process_.waitForExit();
    return process_.exitCode();
}

int ProductRun::panelPixels(const RECT& cell, COLORREF colour) const {
    return zvtest::panelPixels(mainWindow_, cell, colour);
}

bool ProductRun::panelShows(const RECT& cell, COLORREF colour) const {
    return waitUntil([&] { return panelPixels(cell, colour) > 0; });
}

std::string ProductRun::iniValue(const std::string& key) const {
    return zvtest::iniValue(iniText(), key);
}

} // namespace zvtest
