#include "ui/kit/win/kitcolor.h"

#include "ui/kit/shade.h"

Color LighterColor(Color c) { return LighterRgb(ColorToRgb(c)); }

Color DarkerColor(Color c) { return DarkerRgb(ColorToRgb(c)); }
