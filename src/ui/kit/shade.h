#pragma once
// Lighter and darker shades of a colour, for hot and pressed states of the
// kit's controls: each channel times 1.05 or times 20/21, rounded to the
// nearest integer with halves to even, capped at 255. System colours are
// resolved to RGB by the caller first.
#include "ui/kit/markup.h"

MarkupColor LighterRgb(MarkupColor rgb);
MarkupColor DarkerRgb(MarkupColor rgb);
