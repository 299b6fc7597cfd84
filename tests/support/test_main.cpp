#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>

#include "app/win/windows_responder.h"
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // Tests that show windows need the same common controls as the program.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    // The program's windows answer whatever no scripted responder does.
    RegisterProgramSide();
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
