#include "app/win/stdcolors.h"

#include <windows.h>

#include "ui/win/application.h"
#include "ui/win/form.h"
#include "util/textcase.h"

bool StandardColorsWanted(int bitsPerPixel, const std::wstring& commandLine) {
    return bitsPerPixel <= 15 || ContainsNoCase(L"/kolorystandardowe", commandLine);
}

void ApplyStandardColors(Control* control) {
    control->UseStandardColors();
    if (control->IsWindowed())
        for (auto& child : static_cast<WinControl*>(control)->Children()) ApplyStandardColors(child.get());
}

void InstallStandardColorsHook() {
    auto previous = App().OnActiveFormChange;
    App().OnActiveFormChange = [previous](Form* form) {
        HDC screen = GetDC(nullptr);
        int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
        ReleaseDC(nullptr, screen);
        if (StandardColorsWanted(bits, GetCommandLineW())) ApplyStandardColors(form);
        if (previous) previous(form);
    };
}
