#include "ui/kit/win/scrollranges.h"

#include "ui/win/controls.h"

// The layer's scroll box measures its children itself (the lowest bottom of
// the visible ones), so the range always matches what can be scrolled to.
void UpdateScrollRanges(Control* control) {
    if (!control) return;
    if (auto* box = dynamic_cast<ScrollBox*>(control->Parent())) box->UpdateScrollRange();
}
