#pragma once
// Keeps a scrolling parent's scroll range in step with its children after a
// control of the kit changed size.
class Control;

void UpdateScrollRanges(Control* control);
