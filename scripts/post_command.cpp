// Posts one message to a top-level window of another program, the way a menu choice or a
// close box would send it, so a shell script can drive the program under Wine:
//
//   post_command.exe CLASS TITLE COMMAND    WM_COMMAND with COMMAND as its identifier
//   post_command.exe CLASS TITLE close      WM_CLOSE
//
// TITLE "*" matches any title. Waits up to five seconds for the window; exits with 1 when it
// never appears, 2 on bad arguments.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    const char* title = std::strcmp(argv[2], "*") == 0 ? nullptr : argv[2];
    HWND window = nullptr;
    for (int tries = 0; tries < 100 && window == nullptr; ++tries) {
        window = FindWindowA(argv[1], title);
        if (window == nullptr) {
            Sleep(50);
        }
    }
    if (window == nullptr) {
        return 1;
    }
    if (std::strcmp(argv[3], "close") == 0) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    char* end = nullptr;
    const unsigned long command = std::strtoul(argv[3], &end, 10);
    if (end == argv[3] || *end != '\0' || command > 0xFFFF) {
        return 2;
    }
    PostMessageA(window, WM_COMMAND, command, 0);
    return 0;
}
