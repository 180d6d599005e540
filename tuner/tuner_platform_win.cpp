#include "tuner/tuner_platform.h"

#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include "resources/resource.h"

namespace {

// The vendor's exports: the caller pops the arguments, every argument and result is a
// 32-bit value in the 32-bit build.
typedef int(__cdecl* SkyOpenFn)(void* workArea, std::uint32_t* outValue, int reserved1,
                                int reserved2);
typedef int(__cdecl* SkyCloseFn)();
typedef int(__cdecl* SkyAdapterGetHandleFn)(int adapterIndex, std::uint32_t* adapterHandle);
typedef int(__cdecl* SkyAdapterTunerGetFn)(std::uint32_t adapterHandle, void* status, int size);

SkyOpenFn skyOpen = nullptr;
SkyCloseFn skyClose = nullptr;
SkyAdapterGetHandleFn skyAdapterGetHandle = nullptr;
SkyAdapterTunerGetFn skyAdapterTunerGet = nullptr;

HWND levelBar = nullptr;

template <typename Fn> bool resolve(HMODULE library, const char* name, Fn& entry) {
    const FARPROC address = GetProcAddress(library, name);
    // Through the generic function pointer type, which GCC accepts as a cast to any other.
    entry = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
    return address != nullptr;
}

} // namespace

bool loadTunerLibrary() {
    // A library of that name planted in the start folder must not be picked up. Naming a
    // DLL folder takes the current folder out of the search; the empty name does that on
    // Windows but is ignored by Wine, so the system folder is named instead. The
    // executable's folder, the system folders and PATH are still searched.
    char systemFolder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(systemFolder, sizeof systemFolder);
    SetDllDirectoryA(length > 0 && length < sizeof systemFolder ? systemFolder : "");
    // Never freed: the library stays loaded for the whole run, whatever it answers.
    const HMODULE library = LoadLibraryA("SkyDll.dll");
    if (library == nullptr) {
        return false;
    }
    bool complete = resolve(library, "SkyOpen", skyOpen);
    complete = resolve(library, "SkyClose", skyClose) && complete;
    complete = resolve(library, "SkyAdapterGetHandle", skyAdapterGetHandle) && complete;
    complete = resolve(library, "SkyAdapterTunerGet", skyAdapterTunerGet) && complete;
    return complete;
}

std::int32_t tunerOpen(void* workArea, std::uint32_t* outValue) {
    return skyOpen(workArea, outValue, 0, 0);
}

std::int32_t tunerGetAdapterHandle(std::uint32_t* adapterHandle) {
    return skyAdapterGetHandle(0, adapterHandle);
}

void tunerGetStatus(std::uint32_t adapterHandle, void* status, std::uint32_t size) {
    skyAdapterTunerGet(adapterHandle, status, static_cast<int>(size));
}

void tunerClose() {
    skyClose();
}

void createLevelBarControl(WindowHandle mainWindow) {
    levelBar = CreateWindowExA(0, "msctls_progress32", nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH,
                               55, 94, 150, 10, static_cast<HWND>(mainWindow),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LEVEL_BAR)),
                               GetModuleHandleA(nullptr), nullptr);
    // A themed bar (common controls 6) ignores the colour messages; this one is drawn plain.
    SetWindowTheme(levelBar, L" ", L" ");
    SendMessageA(levelBar, PBM_SETSTEP, 1, 0);
    SendMessageA(levelBar, PBM_SETBKCOLOR, 0, RGB(0, 0, 0));
}

void setLevelBarColour(std::uint32_t rgb) {
    SendMessageA(levelBar, PBM_SETBARCOLOR, 0, rgb);
}

void setLevelBarPosition(std::int32_t position) {
    SendMessageA(levelBar, PBM_SETPOS, static_cast<WPARAM>(static_cast<INT_PTR>(position)), 0);
}
