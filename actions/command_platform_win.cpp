#include <windows.h>

#include "actions/command_platform.h"

const char* inheritedEnvironment() {
    return GetEnvironmentStringsA();
}

void releaseInheritedEnvironment(const char* block) {
    if (block != nullptr) {
        FreeEnvironmentStringsA(const_cast<char*>(block));
    }
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

std::uint32_t startDetached(char* commandLine, const char* environment, const char* folder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // No inherited handles: the command must not keep our files or the log open.
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        const_cast<char*>(environment), folder, &startup, &process)) {
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_GEN_FAILURE;
    }
    // The program never waits for a command, so nothing is kept of it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
