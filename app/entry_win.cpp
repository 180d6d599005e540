#include <windows.h>
#include <commctrl.h>

#include "app/frame.h"
#include "app/main_function.h"
#include "tuner/tuner_meter.h"

// The show state is the one the starter asked for in the start-up information
// (SW_SHOWDEFAULT when it named none), so a start minimized goes straight to the tray.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showState) {
    // The signal bar's class must exist before the main window creates it.
    InitCommonControls();
    TunerMeter::openTuner();
    mainFunction(GetModuleHandleA(nullptr), showState);
    Frame::finish();
    ExitProcess(0);
}
