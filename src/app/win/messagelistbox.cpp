#include "app/win/messagelistbox.h"

#include <algorithm>

#include "app/win/stockicon.h"
#include "ui/kit/win/formkit.h"

TeTevMessageListBox::TeTevMessageListBox() : Form(BorderStyle::Sizeable) {
    SetCaption(L"Komunikat");
    SetColor(clTevCream);
    SetBounds(0, 0, 564, 393);
    SetBorderWidth(8);

    pTop = SidePanel(this, Align::Top, 44);
    iStop = pTop->Add<Image>();
    iStop->SetAlign(Align::Left);
    iStop->SetWidth(44);
    iStop->SetCenter(false);
    iStop->SetIcon(LoadStockIcon(IDI_HAND, Px(32)), 32);
    lbTYtul = pTop->Add<THTMLabel>();
    lbTYtul->SetAlign(Align::Client);

    Panel* row = AddButtonRow(this, pBottom);
    bkAnuluj = row->Add<TtevColorButton>(TtevButtonKind::bkCancel);
    bkAnuluj->SetAlign(Align::Left);
    bkAnuluj->SetWidth(kButtonWidth);
    bkOK = row->Add<TtevColorButton>(TtevButtonKind::bkOK);
    bkOK->SetAlign(Align::Right);
    bkOK->SetWidth(kButtonWidth);

    lb = Add<TtevHTMListbox>();
    lb->SetAlign(Align::Client);
    CenterOnScreen();
}

void TeTevMessageListBox::SetTitle(const std::wstring& markup) {
    lbTYtul->SetHTML(markup);
    constexpr int kLeast = 44;
    const int most = ClientHeight() / 2;
    pTop->SetHeight(std::clamp(lbTYtul->FittingHeight() + 2, kLeast, std::max(kLeast, most)));
}

bool ShowMessageListBox(const std::wstring& caption, const std::wstring& title,
                        const std::vector<std::wstring>& lines) {
    TeTevMessageListBox box;
    box.SetCaption(caption);
    box.SetTitle(title);
    for (const auto& line : lines) box.lb->Add(line);
    return box.ShowModal() == mrOk;
}
