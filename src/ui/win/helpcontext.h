#pragma once
// Context help by number. A control's help context is its own, else its
// parents'; F1 on a form and the help buttons ask for the topic here. The
// requests go to the handler installed here (tests, or a help viewer of the
// program's own), else to the default one the application object registers
// (the program's help file).
#include <functional>

class Control;

enum class HelpKind { Topic, Popup };

void SetHelpContextHandler(std::function<void(int context, HelpKind kind)> handler);
// The handler used while none is installed above.
void SetDefaultHelpHandler(std::function<void(int context, HelpKind kind)> handler);
// The help topic of a help button.
void ShowHelpContext(int context);
// The small context-help window of a menu item.
void ShowHelpPopup(int context);

// A control's help context: its own, else that of the nearest parent that
// has one; 0 when none on the way up to the form has.
int HelpContextOf(const Control* control);
// F1 on a control: the topic of HelpContextOf; false when there is none.
bool ShowHelpFor(const Control* control);
