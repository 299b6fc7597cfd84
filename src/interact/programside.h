#pragma once
// What the interaction layer takes from the program above it: the windows
// that answer the modal seam while no other responder is installed, the
// progress window, and the few facts the calls of ask.h need. The program
// registers its side first thing at start (the tests' main does the same);
// this layer never includes a window.
#include <string>

class ModalResponder;
class ProgressDisplay;

class ProgramSide {
public:
    virtual ~ProgramSide() = default;
    // The program's own windows for every modal interaction.
    virtual ModalResponder& Windows() = 0;
    // The progress window behind ShowStatus and the other progress calls.
    virtual ProgressDisplay& Progress() = 0;
    // The caption of questions and messages: the application's title.
    virtual std::wstring Title() = 0;
    // True when the user asked not to be shown the message of this key again.
    virtual bool Remembered(const std::wstring& key) = 0;
    // RaiseError is about to throw: the cursor becomes the arrow again.
    virtual void FailureRaised() = 0;
};

// Registers the program's side (nullptr takes it away) and returns the
// previous one.
ProgramSide* SetProgramSide(ProgramSide* side);
// The registered side, or null.
ProgramSide* CurrentProgramSide();
