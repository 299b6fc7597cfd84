#pragma once
// Shades of a window-layer colour (system colours resolved first) for the hot
// and pressed looks of the kit's controls.
#include "ui/win/color.h"

Color LighterColor(Color c);
Color DarkerColor(Color c);
