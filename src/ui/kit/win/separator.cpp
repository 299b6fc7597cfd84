#include "ui/kit/win/separator.h"

TtevSeparator::TtevSeparator(WinControl* parent) : Control(parent) {
    SetColor(7568430);  // RGB 46, 124, 115
    SetBounds(555, 555, 1, 1);
    SetAlign(Align::Left);
}

void TtevSeparator::Paint(HDC dc, const RECT& r) { FillRect(dc, &r, BrushOf(GetColor())); }
