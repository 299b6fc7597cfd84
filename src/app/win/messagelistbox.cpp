#include "app/win/messagelistbox.h"

#include "app/win/stockicon.h"

TeTevMessageListBox::TeTevMessageListBox() : Form(BorderStyle::Sizeable) {
    SetCaption(L"Komunikat");
    SetColor(Rgb(240, 242, 227));
    SetBounds(0, 0, 564, 393);
    SetBorderWidth(8);

    pTop = Add<Panel>();
    pTop->SetParentColor(true);
    pTop->SetAlign(Align::Top);
    pTop->SetHeight(44);
    iStop = pTop->Add<Image>();
    iStop->SetAlign(Align::Left);
    iStop->SetWidth(44);
    iStop->SetCenter(false);
    iStop->SetIcon(LoadStockIcon(IDI_HAND, Px(32)), 32);
    lbTYtul = pTop->Add<THTMLabel>();
    lbTYtul->SetAlign(Align::Client);

    pBottom = Add<Panel>();
    pBottom->SetParentColor(true);
    pBottom->SetAlign(Align::Bottom);
    pBottom->SetHeight(33);
    // The buttons' row, 8 below the list.
    auto* row = pBottom->Add<Panel>();
    row->SetParentColor(true);
    row->SetAlign(Align::Bottom);
    row->SetHeight(25);
    bkAnuluj = row->Add<TtevColorButton>(TtevButtonKind::bkCancel);
    bkAnuluj->SetAlign(Align::Left);
    bkAnuluj->SetWidth(75);
    bkOK = row->Add<TtevColorButton>(TtevButtonKind::bkOK);
    bkOK->SetAlign(Align::Right);
    bkOK->SetWidth(75);

    lb = Add<TtevHTMListbox>();
    lb->SetAlign(Align::Client);
    CenterOnScreen();
}

bool ShowMessageListBox(const std::wstring& caption, const std::wstring& title,
                        const std::vector<std::wstring>& lines) {
    TeTevMessageListBox box;
    box.SetCaption(caption);
    box.lbTYtul->SetHTML(title);
    for (const auto& line : lines) box.lb->Add(line);
    return box.ShowModal() == mrOk;
}
