// A stand-in for the program Zembrovale watches: one top-level window whose class, title
// and behaviour come from the command line, logging the messages the tests care about.
//
//   test_target.exe --class NAME [--title TEXT] [--log PATH] [--exstyle HEX]
//                   [--refuse-close N] [--ask-on-close] [--hidden] [--rect X Y W H]
//                   [--color RRGGBB] [--lifetime MS] [--exit-code N]
//                   [--exit-on-keydown | --die-on-keydown] [--hang-on-keydown EVENT]
//                   [--close-after MS]
//   test_target.exe --save-environment PATH
//
// --refuse-close N  ignore the first N WM_CLOSE messages (each is still logged)
// --ask-on-close    answer WM_CLOSE with a Yes/No box captioned "<title> question";
//                   Yes closes, No keeps the window
// --lifetime MS     end by itself after MS milliseconds (default 60000), so a failed test
//                   never leaves a target running; it then exits with code 124
// --exit-on-keydown destroy the window while handling WM_KEYDOWN (the process then ends),
//                   so the WM_KEYUP that follows finds no window
// --die-on-keydown  end the process abruptly while handling WM_KEYDOWN, before replying
// --hang-on-keydown EVENT  stop answering messages while handling WM_KEYDOWN until the
//                   named event is set (at most the lifetime)
// --close-after MS  answer WM_CLOSE at once but let the window go only MS milliseconds
//                   later, like a recorder that still finishes its file after closing
// --save-environment PATH  write this process's environment block as Windows holds it
//                   (UTF-16, up to its double zero) to PATH and end; no window
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "support/target_protocol.h"

namespace {

struct Options {
    const char* className = nullptr;
    const char* title = "";
    const char* logPath = nullptr;
    DWORD exStyle = 0;
    int refuseClose = 0;
    bool askOnClose = false;
    bool hidden = false;
    int x = 100, y = 100, width = 320, height = 200;
    COLORREF color = RGB(0x20, 0x60, 0xA0);
    UINT lifetimeMs = 60000;
    int exitCode = 0;
    enum class KeyDownEnd { None, Destroy, Die } keyDownEnd = KeyDownEnd::None;
    const char* hangEvent = nullptr;
    UINT closeAfterMs = 0;
};

Options options;
HANDLE logFile = INVALID_HANDLE_VALUE;
int refusedCloses = 0;
bool closing = false;
bool lifetimeEnded = false;
constexpr int LifetimeExitCode = 124;
constexpr UINT_PTR LifetimeTimer = 1;
constexpr UINT_PTR LingerTimer = 2;

void logMessage(const char* name, WPARAM wParam, LPARAM lParam) {
    if (logFile == INVALID_HANDLE_VALUE) {
        return;
    }
    char line[96];
    const int length =
        std::snprintf(line, sizeof line, "%s %llu %lld\r\n", name,
                      static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
    DWORD written = 0;
    WriteFile(logFile, line, static_cast<DWORD>(length), &written, nullptr);
    FlushFileBuffers(logFile);
}

LRESULT queryAlpha(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) {
        return -1;
    }
    return alpha;
}

void afterKeyDown(HWND window) {
    if (options.hangEvent != nullptr) {
        // Blocks this thread without pumping: to a sender the window no longer answers.
        const HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, options.hangEvent);
        if (release != nullptr) {
            WaitForSingleObject(release, options.lifetimeMs);
            CloseHandle(release);
        }
    }
    switch (options.keyDownEnd) {
    case Options::KeyDownEnd::Destroy:
        DestroyWindow(window);
        break;
    case Options::KeyDownEnd::Die:
        TerminateProcess(GetCurrentProcess(), 0);
        break;
    case Options::KeyDownEnd::None:
        break;
    }
}

bool keepOpenOnClose(HWND window) {
    if (refusedCloses < options.refuseClose) {
        ++refusedCloses;
        return true;
    }
    if (options.askOnClose) {
        char caption[300];
        std::snprintf(caption, sizeof caption, "%s question", options.title);
        if (MessageBoxA(window, "Close the target?", caption, MB_YESNO) != IDYES) {
            ++refusedCloses;
            return true;
        }
    }
    return false;
}

LRESULT CALLBACK targetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        logMessage("WM_KEYDOWN", wParam, lParam);
        afterKeyDown(window);
        return 0;
    case WM_KEYUP:
        logMessage("WM_KEYUP", wParam, lParam);
        return 0;
    case WM_CLOSE:
        logMessage("WM_CLOSE", wParam, lParam);
        // Once closing, later requests change nothing: restarting the timer would never let go.
        if (!closing && !keepOpenOnClose(window)) {
            if (options.closeAfterMs == 0) {
                DestroyWindow(window);
            } else {
                closing = true;
                SetTimer(window, LingerTimer, options.closeAfterMs, nullptr);
            }
        }
        return 0;
    case WM_TIMER:
        if (wParam == LifetimeTimer) {
            lifetimeEnded = true;
            DestroyWindow(window);
        } else if (wParam == LingerTimer) {
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(lifetimeEnded ? LifetimeExitCode : options.exitCode);
        return 0;
    case TargetQueryAlpha:
        return queryAlpha(window);
    case TargetQueryEnabled:
        return IsWindowEnabled(window) ? 1 : 0;
    case TargetQueryRefused:
        return refusedCloses;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool parse(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const int left = argc - i - 1;
        if (!std::strcmp(arg, "--class") && left >= 1) {
            options.className = argv[++i];
        } else if (!std::strcmp(arg, "--title") && left >= 1) {
            options.title = argv[++i];
        } else if (!std::strcmp(arg, "--log") && left >= 1) {
            options.logPath = argv[++i];
        } else if (!std::strcmp(arg, "--exstyle") && left >= 1) {
            options.exStyle = std::strtoul(argv[++i], nullptr, 16);
        } else if (!std::strcmp(arg, "--refuse-close") && left >= 1) {
            options.refuseClose = std::atoi(argv[++i]);
        } else if (!std::strcmp(arg, "--ask-on-close")) {
            options.askOnClose = true;
        } else if (!std::strcmp(arg, "--hidden")) {
            options.hidden = true;
        } else if (!std::strcmp(arg, "--rect") && left >= 4) {
            options.x = std::atoi(argv[++i]);
            options.y = std::atoi(argv[++i]);
            options.width = std::atoi(argv[++i]);
            options.height = std::atoi(argv[++i]);
        } else if (!std::strcmp(arg, "--color") && left >= 1) {
            const unsigned long rgb = std::strtoul(argv[++i], nullptr, 16);
            options.color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        } else if (!std::strcmp(arg, "--lifetime") && left >= 1) {
            options.lifetimeMs = static_cast<UINT>(std::strtoul(argv[++i], nullptr, 10));
        } else if (!std::strcmp(arg, "--exit-code") && left >= 1) {
            options.exitCode = std::atoi(argv[++i]);
        } else if (!std::strcmp(arg, "--exit-on-keydown")) {
            options.keyDownEnd = Options::KeyDownEnd::Destroy;
        } else if (!std::strcmp(arg, "--die-on-keydown")) {
            options.keyDownEnd = Options::KeyDownEnd::Die;
        } else if (!std::strcmp(arg, "--close-after") && left >= 1) {
            options.closeAfterMs = static_cast<UINT>(std::strtoul(argv[++i], nullptr, 10));
        } else if (!std::strcmp(arg, "--hang-on-keydown") && left >= 1) {
            options.hangEvent = argv[++i];
        } else {
            return false;
        }
    }
    return options.className != nullptr;
}

int saveEnvironment(const char* path) {
    const wchar_t* block = GetEnvironmentStringsW();
    const wchar_t* end = block;
    while (*end != L'\0') {
        end += wcslen(end) + 1;
    }
    const HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>((end - block) * sizeof(wchar_t));
    const bool saved = file != INVALID_HANDLE_VALUE &&
                       WriteFile(file, block, bytes, &written, nullptr) && written == bytes;
    CloseHandle(file);
    return saved ? 0 : 3;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && !std::strcmp(argv[1], "--save-environment")) {
        return saveEnvironment(argv[2]);
    }
    if (!parse(argc, argv)) {
        return 2;
    }
    if (options.logPath != nullptr) {
        logFile = CreateFileA(options.logPath, GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (logFile == INVALID_HANDLE_VALUE) {
            return 3;
        }
    }

    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = targetProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = CreateSolidBrush(options.color);
    windowClass.lpszClassName = options.className;
    if (!RegisterClassA(&windowClass)) {
        return 4;
    }
    const HWND window = CreateWindowExA(options.exStyle, options.className, options.title,
                                        WS_OVERLAPPEDWINDOW, options.x, options.y, options.width,
                                        options.height, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 5;
    }
    SetTimer(window, LifetimeTimer, options.lifetimeMs, nullptr);
    if (!options.hidden) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (logFile != INVALID_HANDLE_VALUE) {
        CloseHandle(logFile);
    }
    return static_cast<int>(message.wParam);
}
