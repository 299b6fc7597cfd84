#pragma once
// The vocabulary the program's windows are built with: the program's named
// colours, the window font, bold text, panels in their parent's colour along
// one side, and the row of buttons at the foot of a dialog.
#include "ui/win/controls.h"
#include "ui/win/font.h"

// The program's colours.
inline constexpr Color clTevCream = Rgb(240, 242, 227);      // dialogs, light panels, light text
inline constexpr Color clTevSage = Rgb(207, 216, 171);       // the main window's ground
inline constexpr Color clTevMaroon = Rgb(137, 58, 58);       // the program's name and its menu's heading
inline constexpr Color clTevGreen = Rgb(99, 141, 104);       // the main window's date
inline constexpr Color clTevOlive = Rgb(147, 159, 74);       // the progress window's status line
inline constexpr Color clTevSlate = Rgb(50, 92, 118);        // the progress window's time left
inline constexpr Color clTevYellow = Rgb(255, 217, 61);      // the stripe of the archive's contents

// The windows' font: Tahoma 8 pt, Central European.
Font WindowFont();

// The control's text in bold (and in a colour of its own).
void MakeBold(Control* c);
void MakeBold(Control* c, Color color);

// A panel in its parent's colour along one side: size is its height at the
// top or bottom, its width at the left or right; filling the rest, none.
template <typename P = Panel>
P* SidePanel(WinControl* parent, Align align, int size = 0) {
    auto* p = parent->Add<P>();
    p->SetParentColor(true);
    p->SetAlign(align);
    if (align == Align::Top || align == Align::Bottom) p->SetHeight(size);
    else if (align == Align::Left || align == Align::Right) p->SetWidth(size);
    return p;
}

// The foot of a list dialog: a panel 33 high at the bottom of the form whose
// lowest 25 are the row of buttons, 8 below what is above it. Returns the
// row; the foot itself comes back through foot.
inline constexpr int kButtonWidth = 75;
Panel* AddButtonRow(WinControl* form, Panel*& foot);
