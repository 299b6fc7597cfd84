#include "ui/kit/win/formkit.h"

namespace {

constexpr int kFootHeight = 33;
constexpr int kRowHeight = 25;

}  // namespace

Font WindowFont() {
    Font f;
    f.name = L"Tahoma";
    f.size = 8;
    f.charset = EASTEUROPE_CHARSET;
    return f;
}

void MakeBold(Control* c) {
    c->EditFont().bold = true;
    c->FontChanged();
}

void MakeBold(Control* c, Color color) {
    c->EditFont().bold = true;
    c->EditFont().color = color;
    c->FontChanged();
}

Panel* AddButtonRow(WinControl* form, Panel*& foot) {
    foot = SidePanel(form, Align::Bottom, kFootHeight);
    return SidePanel(foot, Align::Bottom, kRowHeight);
}
