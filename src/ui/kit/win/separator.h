#pragma once
// TtevSeparator: a bar of solid colour, one pixel thick by default. It is
// created at 555, 555 so that a left-aligned separator lines up after the
// controls already aligned left.
#include "ui/win/control.h"

class TtevSeparator : public Control {
public:
    explicit TtevSeparator(WinControl* parent);
    void Paint(HDC dc, const RECT& r) override;
};
