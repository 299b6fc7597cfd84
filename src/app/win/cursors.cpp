#include "app/win/cursors.h"

namespace {
HCURSOR hand = nullptr;
HCURSOR item = nullptr;
}  // namespace

void LoadCustomCursors() {
    hand = LoadCursorW(GetModuleHandleW(nullptr), L"HAND");
    item = LoadCursorW(GetModuleHandleW(nullptr), L"ITEM");
}

HCURSOR CustomCursor(int number) {
    HCURSOR c = number == crHand ? hand : number == crItem ? item : nullptr;
    return c ? c : LoadCursorW(nullptr, number == crHand ? IDC_HAND : IDC_ARROW);
}
