#include "tests/unit/fake_platform.h"
#include "tests/unit/fake_log_platform.h"
#include "tests/unit/fake_room_platform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "actions/actions_platform.h"
#include "monitor/monitor_platform.h"
#include "monitor/monotonic_clock.h"
#include "settings/profile_io.h"

namespace fake {

std::vector<std::string> calls;
std::uint32_t freeMegabytes;
std::deque<std::uint32_t> freeScript;
bool driveFails;
bool useGeometry;
std::uint32_t sectorsPerCluster, bytesPerSector, freeClusters;
std::vector<Window> windows;
std::map<std::size_t, void (*)()> onCall;
bool iniExists;
std::map<std::string, std::string> ini;
std::vector<std::string> writtenKeys;
std::string modulePath;
std::string lastIniPath;
std::map<std::uint32_t, std::string> menuText;
bool targetAnswers;
bool targetHung;
std::uint32_t sendRefused;
bool closeAnswerCame;
std::function<void()> whileClosing;
bool tokenOpens;
std::uint32_t lastError;
bool shutdownAccepted;
int openTokens;
std::uint64_t clockMs;

long countCalls(const std::vector<std::string>& calls, const std::string& prefix) {
    return std::count_if(calls.begin(), calls.end(),
                         [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
}

const std::vector<std::string> shutdownCalls = {
    "OpenProcessToken", "LookupPrivilegeValueA", "AdjustTokenPrivileges 19",
    "GetLastError",     "ExitWindowsEx",         "CloseHandle"};

void reset() {
    calls.clear();
    freeMegabytes = 1000;
    freeScript.clear();
    driveFails = false;
    useGeometry = false;
    sectorsPerCluster = bytesPerSector = freeClusters = 0;
    windows.clear();
    onCall.clear();
    iniExists = true;
    ini.clear();
    writtenKeys.clear();
    modulePath = "C:\\tools\\zembrovale.exe";
    lastIniPath.clear();
    menuText.clear();
    targetAnswers = true;
    targetHung = false;
    sendRefused = 0;
    closeAnswerCame = false;
    whileClosing = nullptr;
    tokenOpens = true;
    lastError = 0;
    shutdownAccepted = true;
    openTokens = 0;
    clockMs = 1000000;
    MonotonicClock::reset();
    fakelog::reset();
    fakeroom::reset();
}

Window* windowOf(void* handle) {
    const auto index = reinterpret_cast<std::uintptr_t>(handle);
    if (index == 0 || index > windows.size()) {
        return nullptr;
    }
    return &windows[index - 1];
}

void* handleOf(std::size_t index) {
    return reinterpret_cast<void*>(index + 1);
}

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const std::string* findKey(const std::string& key) {
    if (!iniExists) {
        return nullptr;
    }
    for (const auto& [name, value] : ini) {
        if (lower(name) == lower(key)) {
            return &value;
        }
    }
    return nullptr;
}

void record(std::string line) {
    const std::size_t number = calls.size();
    calls.push_back(std::move(line));
    auto hook = onCall.find(number);
    if (hook != onCall.end()) {
        hook->second();
    }
}

std::string nameOf(void* handle) {
    const Window* window = windowOf(handle);
    return window != nullptr ? window->title : "none";
}

// The platform's reading of a number: blanks, a sign, decimal or 0x hex digits, the
// rest ignored, wrapping in 32 bits; an empty value counts as absent.
std::int32_t parseProfileInt(const std::string& text, std::int32_t fallback) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
    if (at == text.size()) {
        return fallback;
    }
    bool negative = false;
    if (text[at] == '-' || text[at] == '+') {
        negative = text[at] == '-';
        ++at;
    }
    unsigned base = 10;
    if (text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0) {
        base = 16;
        at += 2;
    }
    std::uint32_t value = 0;
    for (; at < text.size(); ++at) {
        const int c = std::tolower(static_cast<unsigned char>(text[at]));
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else {
            break;
        }
        value = value * base + digit;
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

} // namespace

std::string iniValue(const std::string& key) {
    const std::string* value = findKey(key);
    return value != nullptr ? *value : "<absent>";
}

} // namespace fake

using namespace fake;

// Settings ----------------------------------------------------------------------------

std::int32_t profileReadInt(const char* key, std::int32_t fallback, const char* iniPath) {
    lastIniPath = iniPath;
    const std::string* value = findKey(key);
    return value != nullptr ? parseProfileInt(*value, fallback) : fallback;
}

void profileReadText(const char* key, const char* fallback, char* out, std::uint32_t size,
                     const char* iniPath) {
    lastIniPath = iniPath;
    const std::string* value = findKey(key);
    const std::string text = value != nullptr ? *value : fallback;
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
}

std::uint32_t profileReadSection(char* out, std::uint32_t size, const char* iniPath) {
    lastIniPath = iniPath;
    std::string section;
    if (iniExists) {
        for (const auto& [name, value] : ini) {
            section += name + "=" + value + '\0';
        }
    }
    section += '\0';
    // The platform cuts a long section and still ends it with two zero bytes.
    if (section.size() > size) {
        section.resize(size - 2);
        section += std::string(2, '\0');
        std::memcpy(out, section.data(), section.size());
        return size - 2;
    }
    std::memcpy(out, section.data(), section.size());
    return static_cast<std::uint32_t>(section.size() - 1);
}

void profileWriteText(const char* key, const char* text, const char* iniPath) {
    lastIniPath = iniPath;
    iniExists = true;
    ini[key] = text;
    writtenKeys.push_back(key);
    record(std::string("WritePrivateProfileStringA ") + key + "=" + text);
}

void moduleFilePath(char* out, std::uint32_t size) {
    const std::size_t length = std::min<std::size_t>(modulePath.size(), size - 1);
    std::memcpy(out, modulePath.data(), length);
    out[length] = '\0';
}

// Monitor -----------------------------------------------------------------------------

bool diskFreeSpace(const char* rootPath, std::uint32_t* spc, std::uint32_t* bps,
                   std::uint32_t* clusters) {
    record(std::string("GetDiskFreeSpaceA ") + rootPath);
    if (driveFails) {
        return false;
    }
    if (useGeometry) {
        *spc = sectorsPerCluster;
        *bps = bytesPerSector;
        *clusters = freeClusters;
        return true;
    }
    std::uint32_t megabytes = freeMegabytes;
    if (!freeScript.empty()) {
        megabytes = freeScript.front();
        freeScript.pop_front();
    }
    // 1 MB clusters keep the arithmetic exact for any 32-bit count.
    *spc = 256;
    *bps = 4096;
    *clusters = megabytes;
    return true;
}

void beepTone(std::uint32_t frequency, std::uint32_t durationMs) {
    record("Beep " + std::to_string(frequency) + " " + std::to_string(durationMs));
}

void requestRepaint(WindowHandle) {
    record("InvalidateRect");
}

void stopTimer(WindowHandle, TimerId timer) {
    record("KillTimer " + std::to_string(timer));
}

void showDriveWarning(WindowHandle) {
    record("MessageBoxA drive warning");
}

void sendDestroy(WindowHandle) {
    record("SendMessageA WM_DESTROY");
}

std::uint32_t tickCount() {
    record("GetTickCount");
    return static_cast<std::uint32_t>(clockMs);
}

// Actions -----------------------------------------------------------------------------

WindowHandle findWindow(const char* className, const char* title) {
    record(std::string("FindWindowA ") + className + "|" + (title != nullptr ? title : "(any)"));
    if (className[0] == '\0' || (title != nullptr && title[0] == '\0')) {
        return nullptr;
    }
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (lower(windows[i].className) == lower(className) &&
            (title == nullptr || lower(windows[i].title) == lower(title))) {
            return handleOf(i);
        }
    }
    return nullptr;
}

void bringToFront(WindowHandle window) {
    record("SetForegroundWindow " + nameOf(window));
}

namespace {
std::string messageText(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                        std::intptr_t lParam) {
    const char* name = message == 0x0100   ? "WM_KEYDOWN"
                       : message == 0x0101 ? "WM_KEYUP"
                       : message == 0x0010 ? "WM_CLOSE"
                       : message == 0x0000 ? "WM_NULL"
                                           : "other";
    return nameOf(window) + " " + name + " " + std::to_string(wParam) + " " +
           std::to_string(lParam);
}
} // namespace

namespace {
std::uint32_t sendError(WindowHandle window) {
    return window == nullptr ? ErrorNoWindow : sendRefused;
}
} // namespace

std::uint32_t sendToWindow(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
    record("SendMessageA " + messageText(window, message, wParam, lParam));
    return sendError(window);
}

void postToWindow(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                  std::intptr_t lParam) {
    record("PostMessageA " + messageText(window, message, wParam, lParam));
}

bool sendToWindowWithin(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                        std::intptr_t lParam, std::uint32_t waitMs) {
    record("SendMessageTimeoutA " + messageText(window, message, wParam, lParam) + " within " +
           std::to_string(waitMs));
    if (window != nullptr && !targetAnswers) {
        clockMs += waitMs;
        return false;
    }
    return window != nullptr;
}

bool windowHung(WindowHandle window) {
    record("IsHungAppWindow " + nameOf(window));
    return targetHung;
}

bool closeWithin(WindowHandle window, std::uint32_t waitMs, std::uint32_t* error) {
    record("SendMessageCallbackA " + messageText(window, 0x0010, 0, 0) + " within " +
           std::to_string(waitMs));
    *error = sendError(window);
    if (*error != 0) {
        return false;
    }
    if (whileClosing) {
        whileClosing();
    }
    if (!targetAnswers) {
        clockMs += waitMs;
        return false;
    }
    return true;
}

bool closeAnswerArrived() {
    return closeAnswerCame;
}

std::uint32_t readExtendedStyle(WindowHandle window) {
    const Window* target = windowOf(window);
    return target != nullptr ? target->exStyle : 0;
}

void writeExtendedStyle(WindowHandle window, std::uint32_t exStyle) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", exStyle);
    record("SetWindowLongA " + nameOf(window) + " " + text);
    if (Window* target = windowOf(window)) {
        target->exStyle = exStyle;
    }
}

void setWindowAlpha(WindowHandle window, std::uint8_t alpha) {
    record("SetLayeredWindowAttributes " + nameOf(window) + " " + std::to_string(alpha));
    if (Window* target = windowOf(window)) {
        target->alpha = alpha;
    }
}

void enableInput(WindowHandle window, bool enabled) {
    record("EnableWindow " + nameOf(window) + " " + (enabled ? "1" : "0"));
    if (Window* target = windowOf(window)) {
        target->enabled = enabled;
    }
}

void setCommandText(std::uint32_t commandId, const char* text) {
    record("ModifyMenuA " + std::to_string(commandId) + " " + text);
    menuText[commandId] = text;
}

TokenHandle openOwnProcessToken() {
    record("OpenProcessToken");
    if (!tokenOpens) {
        return nullptr;
    }
    ++openTokens;
    return reinterpret_cast<TokenHandle>(0x7070);
}

void lookupShutdownPrivilege(PrivilegeId* id) {
    record("LookupPrivilegeValueA");
    id->low = 19;
    id->high = 0;
}

void enablePrivilege(TokenHandle, const PrivilegeId& id) {
    record("AdjustTokenPrivileges " + std::to_string(id.low));
}

std::uint32_t lastErrorCode() {
    record("GetLastError");
    return lastError;
}

bool exitWindowsForced() {
    record("ExitWindowsEx");
    return shutdownAccepted;
}

void closeToken(TokenHandle) {
    record("CloseHandle");
    --openTokens;
}
