#pragma once
// Context help by number, from the program's help file (App().HelpFile()).
// A handler installed here takes the requests instead (tests, or a help
// viewer of the program's own).
#include <functional>

class Control;

enum class HelpKind { Topic, Popup };

void SetHelpContextHandler(std::function<void(int context, HelpKind kind)> handler);
// The help topic of a help button.
void ShowHelpContext(int context);
// The small context-help window of a menu item.
void ShowHelpPopup(int context);

// A control's help context: its own, else that of the nearest parent that
// has one; 0 when none on the way up to the form has.
int HelpContextOf(const Control* control);
// F1 on a control: the topic of HelpContextOf; false when there is none.
bool ShowHelpFor(const Control* control);
