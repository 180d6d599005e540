// A scripted tuner library for the end-to-end tests; never shipped with the program.
//
// SkyDll.cfg beside the DLL holds "key=value" lines, read again on every call so a test
// can change the answers while the program runs (write a new file and rename it over the
// old one, so no call sees half a file):
//   OpenResult    result of SkyOpen (default 0)
//   HandleResult  result of SkyAdapterGetHandle (default 0)
//   Handle        value written as the adapter handle (default 24301)
//   StateCode     written at byte 32 of the status record (default 3)
//   Level         written at byte 80 of the status record (default 0)
//   Fill          0 leaves the status record untouched, like a failed read (default 1)
// Every call is appended to SkyDll.log beside the DLL, one flushed line per call.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HINSTANCE self = nullptr;

struct Script {
    long openResult = 0;
    long handleResult = 0;
    long handle = 24301;
    long stateCode = 3;
    long level = 0;
    long fill = 1;
};

// The DLL's folder plus `name`.
void besideSelf(const char* name, char* path, DWORD size) {
    DWORD length = GetModuleFileNameA(self, path, size);
    while (length > 0 && path[length - 1] != '\\' && path[length - 1] != '/') {
        --length;
    }
    path[length] = '\0';
    lstrcpynA(path + length, name, static_cast<int>(size - length));
}

void applyLine(Script& script, char* line) {
    char* equals = std::strchr(line, '=');
    if (equals == nullptr) {
        return;
    }
    *equals = '\0';
    char* key = line;
    while (*key == ' ' || *key == '\t') {
        ++key;
    }
    char* keyEnd = equals;
    while (keyEnd > key && (keyEnd[-1] == ' ' || keyEnd[-1] == '\t')) {
        *--keyEnd = '\0';
    }
    const long value = std::strtol(equals + 1, nullptr, 0);
    struct Key {
        const char* name;
        long Script::*field;
    };
    static const Key keys[] = {
        {"OpenResult", &Script::openResult}, {"HandleResult", &Script::handleResult},
        {"Handle", &Script::handle},         {"StateCode", &Script::stateCode},
        {"Level", &Script::level},           {"Fill", &Script::fill},
    };
    for (const Key& k : keys) {
        if (lstrcmpiA(key, k.name) == 0) {
            script.*k.field = value;
        }
    }
}

Script readScript() {
    Script script;
    char path[MAX_PATH];
    besideSelf("SkyDll.cfg", path, sizeof path);
    // Fully shared: a test replaces the file by renaming a new one over it.
    const HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return script;
    }
    char text[4096];
    DWORD read = 0;
    if (!ReadFile(file, text, sizeof text - 1, &read, nullptr)) {
        read = 0;
    }
    CloseHandle(file);
    text[read] = '\0';
    char* line = text;
    while (*line != '\0') {
        char* end = line + std::strcspn(line, "\r\n");
        const bool last = *end == '\0';
        *end = '\0';
        applyLine(script, line);
        if (last) {
            break;
        }
        line = end + 1;
    }
    return script;
}

void logCall(const char* text) {
    char path[MAX_PATH];
    besideSelf("SkyDll.log", path, sizeof path);
    const HANDLE file =
        CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    char line[256];
    const int length = std::snprintf(line, sizeof line, "%s\r\n", text);
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    FlushFileBuffers(file);
    CloseHandle(file);
}

bool allZero(const void* memory, std::size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(memory);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
    }
    return TRUE;
}

int __cdecl SkyOpen(void* workArea, unsigned* outValue, int arg3, int arg4) {
    const Script script = readScript();
    char line[160];
    std::snprintf(line, sizeof line, "SkyOpen zeroed=%d out=%s arg3=%d arg4=%d",
                  workArea != nullptr && allZero(workArea, 8192) ? 1 : 0,
                  outValue != nullptr ? "set" : "null", arg3, arg4);
    logCall(line);
    return static_cast<int>(script.openResult);
}

int __cdecl SkyClose() {
    logCall("SkyClose");
    return 0;
}

int __cdecl SkyAdapterGetHandle(int index, unsigned* handle) {
    const Script script = readScript();
    char line[160];
    std::snprintf(line, sizeof line, "SkyAdapterGetHandle index=%d", index);
    logCall(line);
    if (script.handleResult == 0 && handle != nullptr) {
        *handle = static_cast<unsigned>(script.handle);
    }
    return static_cast<int>(script.handleResult);
}

int __cdecl SkyAdapterTunerGet(unsigned handle, void* status, int size) {
    const Script script = readScript();
    char line[160];
    std::snprintf(line, sizeof line, "SkyAdapterTunerGet handle=%u size=%d state=%ld level=%ld",
                  handle, size, script.stateCode, script.level);
    logCall(line);
    if (script.fill == 0 || status == nullptr || size < 84) {
        return 1;
    }
    const int stateCode = static_cast<int>(script.stateCode);
    const int level = static_cast<int>(script.level);
    std::memcpy(static_cast<char*>(status) + 32, &stateCode, sizeof stateCode);
    std::memcpy(static_cast<char*>(status) + 80, &level, sizeof level);
    return 0;
}

} // extern "C"
