#include "app/win/inputbox.h"

#include "interact/messagetext.h"
#include "ui/kit/win/formkit.h"

TeTevInputBox::TeTevInputBox() : Form(BorderStyle::Dialog) {
    SetColor(clWhite);
    // Only the first prompt and its edit are used, so the box is sized to
    // them rather than to the room of every kind of input.
    SetClientSize(399, 118);
    panel = Add<Panel>();
    panel->SetColor(clTevCream);
    panel->SetAlign(Align::Client);
    lbPrompt1 = panel->Add<Label>();
    lbPrompt1->SetBounds(12, 12, 375, 30);
    lbPrompt1->SetWordWrap(true);
    eInput1 = panel->Add<Edit>();
    eInput1->SetBounds(12, 46, 375, 21);
    bOK = panel->Add<TtevColorButton>(TtevButtonKind::bkOK);
    bOK->SetBounds(226, 82, kButtonWidth, 25);
    bCancel = panel->Add<TtevColorButton>(TtevButtonKind::bkCancel);
    bCancel->SetBounds(312, 82, kButtonWidth, 25);
    OnShow = [this](Control* s) { FormShow(s); };
}

void TeTevInputBox::FormShow(Control*) {
    auto [prompt, masked] = InputPrompt(lbPrompt1->Text());
    lbPrompt1->SetText(prompt);
    if (masked) eInput1->SetPasswordChar(L'*');
    eInput1->SetFocus();
    eInput1->SelectAll();
}

std::optional<std::wstring> ShowInputBox(const std::wstring& caption, const std::wstring& prompt,
                                         const std::wstring& initial) {
    TeTevInputBox box;
    box.SetCaption(caption);
    box.lbPrompt1->SetText(prompt);
    box.eInput1->SetText(initial);
    box.CenterOnScreen();
    if (box.ShowModal() != mrOk) return std::nullopt;
    return box.eInput1->Text();
}
