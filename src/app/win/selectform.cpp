#include "app/win/selectform.h"

#include "interact/ask.h"
#include "ui/kit/win/formkit.h"
#include "util/textcase.h"

namespace {

// The last text searched for, offered again by the next search.
std::wstring lastSearch;

constexpr size_t kItemLimit = 1200;

}  // namespace

TtevSelectForm::TtevSelectForm() : Form(BorderStyle::Sizeable) {
    SetColor(clTevCream);
    SetBounds(0, 0, 444, 386);
    SetBorderWidth(8);

    // The search stays available when the title is hidden.
    pTitle = SidePanel(this, Align::Top, 26);
    bSzukaj = pTitle->Add<TtevColorButton>(L"wyszukaj...");
    bSzukaj->SetAlign(Align::Right);
    bSzukaj->SetWidth(80);
    title = pTitle->Add<Label>();
    title->SetAlign(Align::Client);
    title->SetVerticalCenter(true);
    MakeBold(title);

    Panel* row = AddButtonRow(this, pBottom);
    cancelbtn = row->Add<TtevColorButton>(TtevButtonKind::bkCancel);
    cancelbtn->SetText(L"Anuluj");
    cancelbtn->SetAlign(Align::Left);
    cancelbtn->SetWidth(kButtonWidth);
    SidePanel(row, Align::Left, 8);  // the gap between the buttons
    okbtn = row->Add<TtevColorButton>(L"&OK");
    MakeBold(okbtn);
    okbtn->SetDefault(true);
    okbtn->SetModalResult(mrOk);
    okbtn->SetAlign(Align::Client);

    xSelectList = Add<TtevHTMListbox>();
    xSelectList->SetAlign(Align::Client);
    xSelectList->SelectionColor = clBlack;
    xSelectList->SelectionFontColor = clWhite;

    xSelectList->OnClick = [this](Control* s) { xSelectListClick(s); };
    xSelectList->OnDblClick = [this](Control* s) { xSelectListDblClick(s); };
    bSzukaj->OnClick = [this](Control* s) { bSzukajClick(s); };
    CenterOnScreen();
}

void TtevSelectForm::xSelectListClick(Control*) { okbtn->SetEnabled(xSelectList->ItemIndex() >= 0); }

void TtevSelectForm::xSelectListDblClick(Control*) { SetModalResult(mrOk); }

void TtevSelectForm::bSzukajClick(Control*) {
    lastSearch = InputText(L"Wyszukaj", Text(), lastSearch);
    for (int i = 0; i < xSelectList->Count(); ++i) {
        if (ContainsNoCase(lastSearch, xSelectList->Item(i))) {
            xSelectList->SetItemIndex(i);
            xSelectListClick(xSelectList);
            return;
        }
    }
    RaiseError(L"Nic nie znalazłem!");
}

int ShowSelectForm(const std::vector<std::wstring>& items, const std::wstring& caption, const std::wstring& titleText,
                   int defaultIndex) {
    TtevSelectForm form;
    form.SetCaption(caption.empty() ? L"Wybierz!" : caption);
    form.title->SetText(titleText);
    form.title->SetVisible(!titleText.empty());
    for (const auto& item : items) form.xSelectList->Add(item.substr(0, kItemLimit));
    form.xSelectList->SetItemIndex(defaultIndex);
    if (form.ShowModal() != mrOk) return defaultIndex;
    return form.xSelectList->ItemIndex();
}
