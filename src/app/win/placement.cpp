#include "app/win/placement.h"

#include "util/win/registry.h"

namespace {

std::wstring Four(long a, long b, long c, long d) {
    return std::to_wstring(a) + L"," + std::to_wstring(b) + L"," + std::to_wstring(c) + L"," + std::to_wstring(d);
}

}  // namespace

std::vector<PlacementValue> PlacementValues(const WINDOWPLACEMENT& wp, bool visible, int pixelsPerInch,
                                            int screenWidth, int screenHeight) {
    std::wstring screen = L"(" + std::to_wstring(screenWidth) + L"x" + std::to_wstring(screenHeight) + L")";
    std::wstring minMax = Four(wp.ptMinPosition.x, wp.ptMinPosition.y, wp.ptMaxPosition.x, wp.ptMaxPosition.y);
    const RECT& n = wp.rcNormalPosition;
    std::wstring norm = Four(n.left, n.top, n.right, n.bottom);
    return {
        {L"Flags", std::to_wstring(wp.flags)},
        {L"ShowCmd", std::to_wstring(wp.showCmd)},
        {L"PixelsPerInch", std::to_wstring(pixelsPerInch)},
        {L"MinMaxPos" + screen, minMax},
        {L"NormPos" + screen, norm},
        {L"MinMaxPos", minMax},
        {L"NormPos", norm},
        {L"Visible", visible ? L"True" : L"False"},
    };
}

void WriteFormPlacement(HWND hwnd, const std::wstring& section) {
    WINDOWPLACEMENT wp{sizeof(wp)};
    GetWindowPlacement(hwnd, &wp);
    for (const auto& v : PlacementValues(wp, IsWindowVisible(hwnd) != FALSE, static_cast<int>(GetDpiForWindow(hwnd)),
                                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)))
        WriteSetting(section, v.name, v.value);
}
