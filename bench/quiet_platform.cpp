// A stand-in platform that records nothing: every call costs what a call to a trivial
// out-of-line function costs, so the benchmarks see the logic and not the bookkeeping.
#include <cstring>

#include "actions/actions_platform.h"
#include "bench/bench_platform.h"
#include "eventlog/log_platform.h"
#include "monitor/monitor_platform.h"
#include "settings/profile_io.h"
#include "tuner/tuner_platform.h"
#include "ui/panel_platform.h"

namespace {

std::uint32_t freeMegabytes = 1000;
bool targetPresent = false;
int targetWindow;
int deviceContext;

} // namespace

namespace benchplatform {

void start() {
    freeMegabytes = 1000;
    targetPresent = false;
}

void setDrive(std::uint32_t megabytes) {
    freeMegabytes = megabytes;
}

void setTargetPresent(bool present) {
    targetPresent = present;
}

void forgetCalls() {}

const char* name() {
    return "quiet";
}

} // namespace benchplatform

// Monitor: 1 MB clusters keep the arithmetic exact.
bool diskFreeSpace(const char*, std::uint32_t* sectorsPerCluster, std::uint32_t* bytesPerSector,
                   std::uint32_t* freeClusters) {
    *sectorsPerCluster = 256;
    *bytesPerSector = 4096;
    *freeClusters = freeMegabytes;
    return true;
}
void beepTone(std::uint32_t, std::uint32_t) {}
void requestRepaint(WindowHandle) {}
void stopTimer(WindowHandle, TimerId) {}
void showDriveWarning(WindowHandle) {}
void sendDestroy(WindowHandle) {}
std::uint32_t tickCount() {
    return 0;
}

// Event log: never enabled in the benchmarks' settings, so these only have to link.
void logLocalTime(EventLog::LocalTime*) {}
LogFileHandle logOpenForAppend(const char*) {
    return nullptr;
}
std::uint64_t logFileSize(LogFileHandle) {
    return 0;
}
void logWrite(LogFileHandle, const char*, std::uint32_t) {}
void logFlush(LogFileHandle) {}
void logClose(LogFileHandle) {}
void logReplaceOld(const char*, const char*) {}

// Actions.
WindowHandle findWindow(const char*, const char*) {
    return targetPresent ? &targetWindow : nullptr;
}
void bringToFront(WindowHandle) {}
std::uint32_t sendToWindow(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}
void postToWindow(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {}
bool sendToWindowWithin(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t, std::uint32_t) {
    return true;
}
bool windowHung(WindowHandle) {
    return false;
}
bool closeWithin(WindowHandle, std::uint32_t, std::uint32_t* error) {
    *error = 0;
    return true;
}
bool closeAnswerArrived() {
    return true;
}
std::uint32_t readExtendedStyle(WindowHandle) {
    return 0;
}
void writeExtendedStyle(WindowHandle, std::uint32_t) {}
void setWindowAlpha(WindowHandle, std::uint8_t) {}
void enableInput(WindowHandle, bool) {}
void setCommandText(std::uint32_t, const char*) {}
TokenHandle openOwnProcessToken() {
    return nullptr;
}
void lookupShutdownPrivilege(PrivilegeId* id) {
    *id = {19, 0};
}
void enablePrivilege(TokenHandle, const PrivilegeId&) {}
std::uint32_t lastErrorCode() {
    return 0;
}
bool exitWindowsForced() {
    return false;
}
void closeToken(TokenHandle) {}

// Settings file.
std::int32_t profileReadInt(const char*, std::int32_t fallback, const char*) {
    return fallback;
}
void profileReadText(const char*, const char* fallback, char* out, std::uint32_t size,
                     const char*) {
    std::strncpy(out, fallback, size - 1);
    out[size - 1] = '\0';
}
std::uint32_t profileReadSection(char* out, std::uint32_t, const char*) {
    out[0] = '\0';
    out[1] = '\0';
    return 0;
}
void profileWriteText(const char*, const char*, const char*) {}
void moduleFilePath(char* out, std::uint32_t size) {
    std::strncpy(out, "C:\\zembrovale.exe", size - 1);
    out[size - 1] = '\0';
}

// Status panel.
void beginPanelPaint(WindowHandle window, PanelPaint* paint) {
    paint->window = window;
    paint->deviceContext = &deviceContext;
}
void panelClientRect(const PanelPaint&, PanelRect* rect) {
    *rect = {0, 0, 244, 121};
}
void setPanelTextColour(const PanelPaint&, std::uint32_t) {}
void setPanelBackColour(const PanelPaint&, std::uint32_t) {}
void drawPanelText(const PanelPaint&, const char*, const PanelRect&) {}
void endPanelPaint(const PanelPaint&) {}

// Tuner: never loaded, so none of these runs in a tick; they only have to link.
bool loadTunerLibrary() {
    return false;
}
std::int32_t tunerOpen(void*, std::uint32_t*) {
    return -1;
}
std::int32_t tunerGetAdapterHandle(std::uint32_t*) {
    return -1;
}
void tunerGetStatus(std::uint32_t, void*, std::uint32_t) {}
void tunerClose() {}
void createLevelBarControl(WindowHandle) {}
void setLevelBarColour(std::uint32_t) {}
void setLevelBarPosition(std::int32_t) {}

// Commands: no command is set in the benchmarks' settings, so these only have to link.
#include "actions/command_platform.h"

void setOwnVariable(const char*, const char*) {}
void commandInterpreter(char* out, std::uint32_t) {
    out[0] = '\0';
}
std::uint32_t startDetached(char*, const char*) {
    return 0;
}

// History window: never opened in the host benchmarks.
#include "ui/history_platform.h"

bool historyShowWindow() {
    return true;
}
std::uint32_t historyLocalSecondOfDay() {
    return 0;
}
void historyInvalidate() {}

// Making room: MakeRoom is never set in the host benchmarks, so these only have to link.
#include "actions/room_platform.h"

RoomListing roomListFirst(const char*, RoomEntry*) {
    return nullptr;
}
bool roomListNext(RoomListing, RoomEntry*) {
    return false;
}
void roomListClose(RoomListing) {}
std::uint64_t roomTimeNow() {
    return 0;
}
RoomFile roomOpenForDeletion(const char*, RoomFileInfo*, std::uint32_t* error) {
    *error = 2;
    return nullptr;
}
std::uint32_t roomDeleteHeld(RoomFile, const char*) {
    return 0;
}
void roomClose(RoomFile) {}
bool roomVolumeOf(const char*, char*, std::uint32_t) {
    return false;
}

// The Application log and the metrics file: off in the host benchmarks.
#include "eventlog/metrics_platform.h"
#include "eventlog/system_log_platform.h"

EventSource openEventSource(std::uint32_t* error) {
    *error = 5;
    return nullptr;
}
std::uint32_t reportEvent(EventSource, std::uint16_t, std::uint32_t, const char*) {
    return 0;
}
bool metricsReplace(const char*, const char*, const char*, std::uint32_t) {
    return true;
}
std::int64_t metricsUnixTime() {
    return 0;
}
const char* metricsArch() {
    return "host";
}
