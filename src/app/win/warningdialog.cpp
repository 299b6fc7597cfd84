#include "app/win/warningdialog.h"

#include "app/countdown.h"
#include "app/win/stockicon.h"
#include "interact/messagetext.h"
#include "ui/kit/markup.h"
#include "ui/kit/win/formkit.h"
#include "ui/win/application.h"
#include "util/win/logs.h"
#include "util/win/registry.h"

namespace {

constexpr wchar_t kDontShowAgain[] = L"DontShowAgain";
constexpr wchar_t kPressToEnd[] = L"Naciśnij OK lub Anuluj, aby zakończyć.";
constexpr int kIconColumn = 44;

Image* IconColumn(WinControl* parent, Align align, const wchar_t* stockIcon) {
    auto* image = parent->Add<Image>();
    image->SetAlign(align);
    image->SetWidth(kIconColumn);
    image->SetCenter(false);
    image->SetIcon(LoadStockIcon(stockIcon, image->Px(32)), 32);
    image->SetVisible(false);
    return image;
}

}  // namespace

bool AnsweredForGood(const std::wstring& key) { return ReadSettingBool(kDontShowAgain, key, false); }

TeTevWarningDialog::TeTevWarningDialog() : Form(BorderStyle::Dialog) {
    SetCaption(L"Uwaga!");
    SetColor(clTevCream);
    SetClientSize(500, 351);

    Panel2 = SidePanel(this, Align::Client);
    Panel2->SetBorderWidth(4);

    Gauge1 = Panel2->Add<ProgressBar>();
    Gauge1->SetAlign(Align::Bottom);
    Gauge1->SetHeight(11);
    Gauge1->SetRange(0, 100);
    Gauge1->SetHint(CountdownHint());
    Gauge1->SetVisible(false);

    pBottom = SidePanel(Panel2, Align::Bottom, 30);

    iInfo = IconColumn(Panel2, Align::Left, IDI_INFORMATION);
    iStop = IconColumn(Panel2, Align::Left, IDI_HAND);
    iWykrzyknik = IconColumn(Panel2, Align::Right, IDI_EXCLAMATION);
    iQuestion = IconColumn(Panel2, Align::Right, IDI_QUESTION);

    // A message longer than the dialog scrolls instead of being cut.
    panelLB = Panel2->Add<ScrollBox>();
    panelLB->SetColor(clWhite);
    panelLB->SetAlign(Align::Client);
    panelLB->SetBorderWidth(4);
    SetWindowLongPtrW(panelLB->Handle(), GWL_EXSTYLE,
                      GetWindowLongPtrW(panelLB->Handle(), GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(panelLB->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    lb = panelLB->Add<THTMLabel>();
    lb->SetAlign(Align::Top);
    lb->SetVAlignment(TVAlignment::tvaTop);
    lb->SetAutoSizing(true);

    bStoj = pBottom->Add<TtevColorButton>(L"?");
    bStoj->SetVisible(false);
    lbCzas = pBottom->Add<Label>(kPressToEnd);
    lbCzas->EditFont().size = 7;
    lbCzas->FontChanged();
    lbCzas->SetWordWrap(true);
    lbCzas->SetVisible(false);
    cbDontShowAgain = pBottom->Add<CheckBox>(L"nie pokazuj więcej takich informacji");
    cbDontShowAgain->SetParentColor(true);
    cbDontShowAgain->SetVisible(false);
    lbInfo = pBottom->Add<TTevInfoLabel>();
    lbInfo->SetHint(L"naciśnij, aby zobaczyć dodatkowe informacje");
    lbInfo->SetVisible(false);
    bOK = pBottom->Add<TtevColorButton>(L"&OK");
    MakeBold(bOK);
    bOK->SetDefault(true);
    bOK->SetModalResult(mrOk);
    bAnuluj = pBottom->Add<TtevColorButton>(L"&Anuluj");
    bAnuluj->SetCancel(true);
    bAnuluj->SetModalResult(mrCancel);

    Timer1.OnTimer = [this] { Timer1Timer(); };
    OnShow = [this](Control* s) { FormShow(s); };
    for (Control* c : {static_cast<Control*>(this), static_cast<Control*>(Panel2), static_cast<Control*>(panelLB),
                       static_cast<Control*>(lb), static_cast<Control*>(pBottom), static_cast<Control*>(lbCzas),
                       static_cast<Control*>(bStoj)})
        c->OnClick = [this](Control* s) { StopCountdown(s); };

    previousActiveFormChange_ = App().OnActiveFormChange;
    App().OnActiveFormChange = [this](Form* form) {
        OtherFormActivated(form);
        if (previousActiveFormChange_) previousActiveFormChange_(form);
    };
    LayoutBottom();
    CenterOnScreen();
}

TeTevWarningDialog::~TeTevWarningDialog() {
    Timer1.SetEnabled(false);
    App().OnActiveFormChange = previousActiveFormChange_;
}

void TeTevWarningDialog::Prepare(const MessageRequest& r) {
    SetCaption(r.caption);
    MessageIcons icons = IconsFor(r.caption, r.headline);
    iInfo->SetVisible(icons.info);
    iStop->SetVisible(icons.stop);
    iWykrzyknik->SetVisible(icons.exclamation);
    iQuestion->SetVisible(icons.question);

    std::wstring headline = StripMarkers(r.headline);
    lb->SetHTML(MessageMarkup(headline, r.body));
    // What a screen reader reads, and what another program finds as the text.
    panelLB->SetText(MarkupPlainText(lb->Markup()));
    panelLB->UpdateScrollRange();

    if (IsQuestion(headline)) {
        bOK->SetText(L"&Tak");
        bAnuluj->SetText(L"&Nie");
    }
    bAnuluj->SetVisible(SecondButtonShown(headline, r.body, r.destructive));

    // What the dialog answers when the user does not: a destructive question
    // keeps the data, and its countdown names the button it counts as.
    unanswered_ = UnansweredResult(r) == 1 ? mrOk : mrCancel;
    unansweredName_ = r.destructive ? SecondButtonName(headline) : std::wstring();
    Gauge1->SetHint(CountdownHint(unansweredName_));

    countdown_ = CountdownLength(r.timeout, static_cast<int>(Timer1.Interval()));
    key_ = r.offerDontShowAgain ? r.key : L"-";
    cbDontShowAgain->SetVisible(r.offerDontShowAgain);
    lbInfo->SetVisible(!r.info.empty());
    if (!r.info.empty()) lbInfo->SetInfoText({r.info});
    LayoutBottom();
}

void TeTevWarningDialog::LayoutBottom() {
    // Left: the stop button, the time, the box; right: the buttons.
    constexpr int kGap = 4, kButton = 58, kTop = 4, kHeight = 22;
    int width = ClientWidth() - 2 * Panel2->BorderWidth();
    bStoj->SetBounds(0, kTop, 21, kHeight);
    lbCzas->SetBounds(21 + kGap, 2, 128, 26);
    cbDontShowAgain->SetBounds(21 + 128 + 2 * kGap, kTop + 3, 190, 17);
    int right = width;
    for (TtevColorButton* b : {bAnuluj, bOK}) {
        if (!b->Visible()) continue;
        right -= kButton;
        b->SetBounds(right, kTop, kButton, kHeight);
        right -= kGap;
    }
    lbInfo->SetBounds(right - lbInfo->Width(), kTop + 4, lbInfo->Width(), 15);
}

void TeTevWarningDialog::FormShow(Control*) {
    Gauge1->SetVisible(false);
    MessageBeep(MB_ICONASTERISK);
    // The main window's colours, or the system's on displays of few colours.
    HDC screen = GetDC(nullptr);
    int bits = screen ? GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) : 32;
    if (screen) ReleaseDC(nullptr, screen);
    if (bits <= 15) SetColor(clWindow);
    else if (Form* main = App().MainForm(); main && main != this) SetColor(main->GetColor());
    if (countdown_ > 0) Timer1.SetEnabled(true);
    Timer1Timer();
}

LRESULT TeTevWarningDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = Form::HandleMessage(msg, wp, lp);
    // After the default handling, which gives the focus to the window itself.
    if (msg == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE) FormActivate(this);
    return result;
}

void TeTevWarningDialog::FormActivate(Control*) {
    if (bOK->Showing()) bOK->SetFocus();
    // A short text gets a small dialog; a long one keeps the designed height.
    if (lb->Height() + 4 < panelLB->Height()) {
        int height = (Height() - ClientHeight()) + (Panel2->Height() - panelLB->Height()) + lb->Height() + 160;
        if (height != Height()) {
            SetHeight(height);
            CenterOnScreen();
        }
    }
}

void TeTevWarningDialog::Timer1Timer() {
    if (countdown_ < 0) return;
    CountdownTick t = CountdownAt(tick_, countdown_, static_cast<int>(Timer1.Interval()));
    Gauge1->SetPosition(t.percent);
    Gauge1->SetVisible(t.gaugeShown);
    bStoj->SetVisible(t.timeShown);
    lbCzas->SetVisible(t.timeShown);
    lbCzas->SetText(CountdownText(t.secondsLeft, unansweredName_));
    if (t.expired) {
        // Nobody answered: keep the message and go on as if "OK" was pressed,
        // or, for a destructive question, the button that keeps the data.
        Timer1.SetEnabled(false);
        std::wstring line = Text() + L": " + lb->Markup();
        if (!unansweredName_.empty()) line += L" [odpowiedź: " + unansweredName_ + L"]";
        AppendLog(kLostMessagesLog, line);
        SetModalResult(unanswered_);
    }
    ++tick_;
}

void TeTevWarningDialog::StopCountdown(Control*) {
    Timer1.SetEnabled(false);
    Gauge1->SetVisible(false);
    bStoj->SetVisible(false);
    lbCzas->SetText(kPressToEnd);
}

void TeTevWarningDialog::RememberAnswer(int result) {
    // Only an "OK" is remembered: a box ticked before "Anuluj" must not turn
    // every later showing into an automatic "yes".
    if (key_ != L"-" && cbDontShowAgain->Visible() && cbDontShowAgain->Checked() && result == mrOk)
        WriteSettingBool(kDontShowAgain, key_, true);
}

void TeTevWarningDialog::OtherFormActivated(Form* form) {
    // Another window of the program took over: the dialog goes as "OK" (a
    // destructive question with the answer that keeps the data). A dialog
    // opened on top of this one (the information behind "?") does not answer
    // it, nor does the window the system activates once this one has been
    // answered and hides.
    if (!IsModal() || ModalResult() != mrNone || form == this || !form || form->IsModal()) return;
    SetModalResult(unanswered_);
}

int ShowWarningDialog(const MessageRequest& request) {
    TeTevWarningDialog dialog;
    dialog.Prepare(request);
    const int result = dialog.ShowModal();
    dialog.RememberAnswer(result);
    return result;
}
