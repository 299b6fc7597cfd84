#pragma once
// TeTevInputBox: the one-line input of InputText. A prompt that starts with
// "#" loses it and the typing is masked.
#include <optional>
#include <string>

#include "ui/kit/win/colorbutton.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"

class TeTevInputBox : public Form {
public:
    TeTevInputBox();

    void FormShow(Control* sender);

    Panel* panel;
    Label* lbPrompt1;
    Edit* eInput1;
    TtevColorButton* bOK;
    TtevColorButton* bCancel;
};

// The text typed, or nullopt when the box was cancelled.
std::optional<std::wstring> ShowInputBox(const std::wstring& caption, const std::wstring& prompt,
                                         const std::wstring& initial);
