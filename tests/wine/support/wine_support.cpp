#include "support/wine_support.h"

#include <cstdio>
#include <cstdlib>

namespace zvtest {

namespace {

// Idle time after which flushEvents considers the queue drained.
constexpr DWORD QuietMs = 30;
constexpr DWORD PollMs = 5;

DWORD elapsedSince(DWORD start) {
    return GetTickCount() - start;
}

void pumpPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Quoting by the rules CommandLineToArgv and the C runtime use: backslashes are literal
// except in front of a quote.
std::string quoteArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
        return arg;
    }
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (windowProcessId(window) != search->processId) {
        return TRUE;
    }
    char text[512];
    if (GetClassNameA(window, text, sizeof text) == 0 || lstrcmpiA(text, search->className) != 0) {
        return TRUE;
    }
    if (search->title != nullptr) {
        GetWindowTextA(window, text, sizeof text);
        if (lstrcmpA(text, search->title) != 0) {
            return TRUE;
        }
    }
    search->found = window;
    return FALSE;
}

struct WindowCollection {
    WindowSearch search;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM param) {
    auto* collection = reinterpret_cast<WindowCollection*>(param);
    collection->search.found = nullptr;
    matchWindow(window, reinterpret_cast<LPARAM>(&collection->search));
    if (collection->search.found != nullptr) {
        collection->found.push_back(window);
    }
    return TRUE;
}

} // namespace

void flushEvents(DWORD ms) {
    const DWORD start = GetTickCount();
    while (elapsedSince(start) < ms) {
        const DWORD left = ms - elapsedSince(start);
        const DWORD wait = left < QuietMs ? left : QuietMs;
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT) == WAIT_TIMEOUT) {
            break;
        }
        pumpPending();
    }
}

bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) {
            return true;
        }
        if (elapsedSince(start) >= timeoutMs) {
            return done();
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, PollMs, QS_ALLINPUT);
        pumpPending();
    }
}

ChildProcess::~ChildProcess() {
    terminate();
    if (info_.hProcess != nullptr) {
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

bool ChildProcess::start(const std::string& commandLine, const char* workingDirectory,
                         int showState) {
    if (info_.hProcess != nullptr) {
        return false;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (showState >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showState);
    }
    std::string mutableLine = commandLine; // CreateProcessA may write into it
    if (!CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory, &startup, &info_)) {
        info_ = PROCESS_INFORMATION{};
        return false;
    }
    return true;
}

HWND ChildProcess::waitForWindow(const char* className, const char* title, DWORD timeoutMs) {
    if (info_.hProcess == nullptr) {
        return nullptr;
    }
    WindowSearch search{info_.dwProcessId, className, title, nullptr};
    waitUntil(
        [&] {
            search.found = nullptr;
            EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr || !running();
        },
        timeoutMs);
    return search.found;
}

bool ChildProcess::waitForExit(DWORD timeoutMs) {
    if (info_.hProcess == nullptr) {
        return true;
    }
    return waitUntil([&] { return !running(); }, timeoutMs);
}

DWORD ChildProcess::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess != nullptr) {
        GetExitCodeProcess(info_.hProcess, &code);
    }
    return code;
}

bool ChildProcess::running() const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::terminate() {
    if (running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, DefaultWaitMs);
    }
}

bool ChildProcess::suspend() {
    return info_.hThread != nullptr && SuspendThread(info_.hThread) != static_cast<DWORD>(-1);
}

bool ChildProcess::resume() {
    return info_.hThread != nullptr && ResumeThread(info_.hThread) != static_cast<DWORD>(-1);
}

DWORD windowProcessId(HWND window) {
    DWORD processId = 0;
    if (window != nullptr) {
        GetWindowThreadProcessId(window, &processId);
    }
    return processId;
}

std::vector<HWND> processWindows(DWORD processId, const char* className, const char* title) {
    WindowCollection collection{{processId, className, title, nullptr}, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&collection));
    return collection.found;
}

std::string windowsPath(const std::string& unixPath) {
    std::string path = unixPath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path.size() > 1 && path[1] == ':' ? path : "Z:" + path;
}

std::string testTargetPath() {
    return windowsPath(ZV_TEST_TARGET_UNIX_PATH);
}

std::string productPath() {
    return windowsPath(ZV_PRODUCT_UNIX_PATH);
}

std::string ownExePath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string ownIniPath() {
    std::string path = ownExePath();
    return path.size() < 3 ? path : path.substr(0, path.size() - 3) + "ini";
}

std::string uniqueName(const char* prefix) {
    static unsigned counter = 0;
    char name[128];
    std::snprintf(name, sizeof name, "%s-%lu-%u", prefix, GetCurrentProcessId(), ++counter);
    return name;
}

std::string tempFolder() {
    char path[MAX_PATH] = "";
    const DWORD length = GetTempPathA(sizeof path, path);
    std::string folder(path, length);
    if (!folder.empty() && folder.back() != '\\') {
        folder += '\\';
    }
    return folder;
}

HWND startTarget(ChildProcess& process, const std::string& className,
                 const std::vector<std::string>& extraArgs) {
    std::string line = quoteArgument(testTargetPath()) + " --class " + quoteArgument(className);
    for (const std::string& arg : extraArgs) {
        line += ' ';
        line += quoteArgument(arg);
    }
    if (!process.start(line)) {
        return nullptr;
    }
    return process.waitForWindow(className.c_str());
}

std::string readFile(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return bytes;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeFile(const std::string& path) {
    DeleteFileA(path.c_str());
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string text = readFile(path);
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        size_t stop = end;
        if (stop > begin && text[stop - 1] == '\r') {
            --stop;
        }
        lines.push_back(text.substr(begin, stop - begin));
        begin = end + 1;
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += "\n  " + line;
    }
    return text.empty() ? " (nothing)" : text;
}

std::string formatIni(const IniKeys& keys, const std::string& section) {
    std::string text = "[" + section + "]\r\n";
    for (const auto& entry : keys) {
        text += entry.first + "=" + entry.second + "\r\n";
    }
    return text;
}

bool writeIni(const std::string& path, const IniKeys& keys, const std::string& section) {
    return writeFile(path, formatIni(keys, section));
}

IniKeys withKeys(IniKeys keys, const IniKeys& changes) {
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

std::string iniValue(const std::string& text, const std::string& key) {
    const std::string prefix = key + "=";
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
        if (line.compare(0, prefix.size(), prefix) == 0) {
            return line.substr(prefix.size());
        }
        begin = end + 1;
    }
    return "<absent>";
}

COLORREF screenPixel(int x, int y) {
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

int ScreenImage::count(COLORREF colour, const RECT& area) const {
    int n = 0;
    for (int y = area.top < 0 ? 0 : area.top; y < area.bottom && y < height; ++y) {
        for (int x = area.left < 0 ? 0 : area.left; x < area.right && x < width; ++x) {
            n += at(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

ScreenImage captureScreen(const RECT& area) {
    const int width = area.right > area.left ? area.right - area.left : 0;
    const int height = area.bottom > area.top ? area.bottom - area.top : 0;
    if (width == 0 || height == 0) {
        ScreenImage empty;
        empty.width = width;
        empty.height = height;
        return empty;
    }
    PixelCanvas canvas(width, height);
    const HDC screen = GetDC(nullptr);
    BitBlt(canvas.dc(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return canvas.image();
}

PixelCanvas::PixelCanvas(int width, int height) : width_(width), height_(height) {
    const HDC screen = GetDC(nullptr);
    memory_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_ != nullptr) {
        previous_ = SelectObject(memory_, bitmap_);
        bits_ = static_cast<const std::uint32_t*>(bits);
    }
}

PixelCanvas::~PixelCanvas() {
    if (bitmap_ != nullptr) {
        SelectObject(memory_, previous_);
        DeleteObject(bitmap_);
    }
    DeleteDC(memory_);
}

ScreenImage PixelCanvas::image() const {
    ScreenImage image;
    image.width = width_;
    image.height = height_;
    image.pixels.assign(static_cast<size_t>(width_) * height_, CLR_INVALID);
    if (bits_ == nullptr) {
        return image;
    }
    GdiFlush();
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        // DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
        image.pixels[i] = RGB((bits_[i] >> 16) & 0xFF, (bits_[i] >> 8) & 0xFF, bits_[i] & 0xFF);
    }
    return image;
}

RECT windowRectOnScreen(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT clientRectOnScreen(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&rect, origin.x, origin.y);
    return rect;
}

std::string envVar(const char* name, const std::string& fallback) {
    char value[1024];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value) {
        return fallback;
    }
    return std::string(value, length);
}

std::string testDrive() {
    return envVar("ZV_TEST_DRIVE");
}

std::string testDriveDir() {
    return envVar("ZV_TEST_DRIVE_DIR");
}

std::uint32_t testDriveMegabytes() {
    return static_cast<std::uint32_t>(
        std::strtoul(envVar("ZV_TEST_DRIVE_MB", "0").c_str(), nullptr, 10));
}

bool freeMegabytes(const std::string& root, std::uint32_t* megabytes) {
    ULARGE_INTEGER available{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER free{};
    if (!GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free)) {
        return false;
    }
    *megabytes = static_cast<std::uint32_t>(free.QuadPart / 1048576u);
    return true;
}

bool writeSizedFile(const std::string& path, std::uint64_t bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    // Real data, not a sparse end-of-file: tmpfs only counts pages that were written.
    static char block[65536];
    for (char& c : block) {
        c = 'z';
    }
    bool ok = true;
    while (ok && bytes > 0) {
        const DWORD chunk = bytes < sizeof block ? static_cast<DWORD>(bytes) : sizeof block;
        DWORD written = 0;
        ok = WriteFile(file, block, chunk, &written, nullptr) && written == chunk;
        bytes -= chunk;
    }
    CloseHandle(file);
    return ok;
}

bool runLinuxCommand(const std::string& command, std::string* output) {
    const std::string out = "/tmp/" + uniqueName("zv-linux") + ".out";
    std::string line =
        "Z:\\bin\\sh -c \"{ " + command + "; } >" + out + " 2>&1; echo exit=$? >>" + out + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Wine cannot wait for a Linux process: its last line tells that it has ended.
    std::string printed;
    const bool ended = waitUntil([&] {
        printed = readFile(windowsPath(out));
        return printed.find("exit=") != std::string::npos && printed.back() == '\n';
    });
    removeFile(windowsPath(out));
    const std::size_t exit = printed.rfind("exit=");
    if (output != nullptr) {
        *output = ended ? printed.substr(0, exit) : "";
    }
    return ended && printed.compare(exit, 7, "exit=0\n") == 0;
}

} // namespace zvtest
