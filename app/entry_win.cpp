#include <windows.h>
#include <commctrl.h>

#include "app/frame.h"
#include "app/main_function.h"
#include "tuner/tuner_meter.h"

namespace {

// The show state the starter asked for in the start-up information (SW_SHOWDEFAULT when it
// named none), so a start minimized goes straight to the tray.
int startShowState() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
}

} // namespace

// The process starts here, without the C runtime's start-up code: the program takes no
// arguments, needs no static constructors and ends with ExitProcess, and the start-up code
// would be a sixth of its size.
#ifdef _WIN64
#define ZV_START_ALIGNED
#else
// Windows starts a 32-bit thread with its stack aligned to 4 bytes only.
#define ZV_START_ALIGNED __attribute__((force_align_arg_pointer))
#endif
extern "C" ZV_START_ALIGNED void zembrovaleStart() {
    // The signal bar's class must exist before the main window creates it.
    InitCommonControls();
    TunerMeter::openTuner();
    mainFunction(GetModuleHandleA(nullptr), startShowState());
    Frame::finish();
    ExitProcess(0);
}
