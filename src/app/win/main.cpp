// archiwin.exe: the entry point.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/win/startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    // The shell's dialogs need a single-threaded apartment.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int code = RunArchiwin(GetCommandLineW());
    CoUninitialize();
    return code;
}
