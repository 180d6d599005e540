#include <windows.h>

#include "actions/command_platform.h"

void setOwnVariable(const char* name, const char* value) {
    SetEnvironmentVariableA(name, value);
}

void commandInterpreter(char* out, std::uint32_t size) {
    if (size == 0) {
        return;
    }
    // The call returns the size it would need when the value does not fit: half a path is
    // no interpreter, so that counts as unset too.
    const DWORD length = GetEnvironmentVariableA("COMSPEC", out, size);
    if (length == 0 || length >= size) {
        out[0] = '\0';
    }
}

std::uint32_t startDetached(char* commandLine, const char* folder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // No inherited handles: the command must not keep our files or the log open. No block
    // of our own either: the command gets the program's environment as Windows holds it,
    // whatever its size and script.
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        folder, &startup, &process)) {
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_GEN_FAILURE;
    }
    // The program never waits for a command, so nothing is kept of it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
