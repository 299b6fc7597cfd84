#include "app/win/progress.h"

#include <climits>

#include "app/timeleft.h"
#include "store/win/datasettitle.h"
#include "interact/progress.h"
#include "interact/seam.h"
#include "ui/kit/win/formkit.h"
#include "ui/win/application.h"
#include "util/win/identity.h"

namespace {

// The window's frame: one dark line around the panel that fills it.
class FramedPanel : public TtevPanel {
public:
    using TtevPanel::TtevPanel;
    RECT AlignRect() override {
        RECT r = TtevPanel::AlignRect();
        InflateRect(&r, -1, -1);
        return r;
    }

protected:
    void PaintBackground(HDC dc, const RECT& client) override {
        TtevPanel::PaintBackground(dc, client);
        FrameRect(dc, &client, BrushOf(clBlack));
    }
};

Label* AddLabel(WinControl* parent, const std::wstring& text) {
    auto* label = parent->Add<Label>(text);
    label->SetVerticalCenter(true);
    return label;
}

// Lives until the process ends: destroying it among the static objects would
// reach the application object after that one is gone.
TeDm_Splash* splash = nullptr;

TeDm_Splash& Splash() {
    if (!splash) splash = new TeDm_Splash();
    return *splash;
}

}  // namespace

TeDm_Splash::TeDm_Splash() : Form(BorderStyle::None) {
    SetColor(clWhite);
    SetClientSize(474, 154);
    // Never active: the user's window keeps the keyboard while it shows.
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, GetWindowLongPtrW(Handle(), GWL_EXSTYLE) | WS_EX_NOACTIVATE);
    const TNazwaAplikacji& id = OwnIdentity();

    tevPanel1 = SidePanel<FramedPanel>(this, Align::Client);

    lbCo = tevPanel1->Add<TtevClickableLabel>(L" Odczytuję dane...");
    lbCo->SetAlign(Align::Bottom);
    lbCo->SetHeight(16);
    lbCo->SetColor(clTevOlive);
    MakeBold(lbCo, clTevCream);
    lbCo->DotLeft = true;
    lbCo->DownLine = true;

    VersionLabel3 = AddLabel(tevPanel1, id.productName.empty() ? App().Title() : id.productName);
    VersionLabel3->SetBounds(8, 6, 456, 26);
    VersionLabel3->EditFont().size = 14;
    MakeBold(VersionLabel3, clTevMaroon);

    pOpis = tevPanel1->Add<Panel>();
    pOpis->SetColor(clTevCream);
    pOpis->SetBounds(1, 36, 472, 44);
    Image1 = pOpis->Add<Image>();
    Image1->SetAlign(Align::Right);
    Image1->SetWidth(48);
    Image1->SetIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, Px(32),
                                                  Px(32), 0)),
                    32);
    VersionLabel4 = AddLabel(pOpis, id.fileDescription);
    VersionLabel4->SetBounds(8, 2, 408, 40);
    VersionLabel4->SetWordWrap(true);

    tevPanel4 = tevPanel1->Add<TtevPanel>();
    tevPanel4->SetParentColor(true);
    tevPanel4->SetBounds(1, 82, 464, 16);
    VersionLabel2 = AddLabel(tevPanel4, id.comments.empty() ? L"" : L"   z " + id.comments);
    VersionLabel2->SetAlign(Align::Right);
    VersionLabel2->SetWidth(120);
    VersionLabel2->SetAlignment(Alignment::Right);
    MakeBold(VersionLabel2);
    VersionLabel1 = AddLabel(tevPanel4, id.version.empty() ? L"" : L"   wersja " + id.version);
    VersionLabel1->SetAlign(Align::Client);
    VersionLabel1->SetAlignment(Alignment::Right);

    ProgressBar1 = tevPanel1->Add<ProgressBar>();
    ProgressBar1->SetBounds(8, 102, 456, 12);
    ProgressBar1->SetVisible(false);

    lbIleJeszcze = tevPanel1->Add<TtevClickableLabel>();
    lbIleJeszcze->SetBounds(8, 116, 340, 16);
    lbIleJeszcze->SetColor(clWhite);
    MakeBold(lbIleJeszcze, clTevSlate);
    lbIleJeszcze->SetVisible(false);

    lbPrzerwij = tevPanel1->Add<TtevClickableLabel>(L"Przerwij (Esc)");
    lbPrzerwij->SetBounds(352, 116, 112, 16);
    lbPrzerwij->SetAlignment(Alignment::Right);
    lbPrzerwij->SetColor(clWhite);
    MakeBold(lbPrzerwij, clTevMaroon);
    lbPrzerwij->Hover = true;
    lbPrzerwij->SetCursor(LoadCursorW(nullptr, IDC_HAND));
    lbPrzerwij->SetVisible(false);
    lbPrzerwij->OnClick = [this](Control*) {
        stopRequested = true;
        lbPrzerwij->SetCaption(L"Przerywam...");
    };

    Timer1.OnTimer = [this] { Timer1Timer(); };
    CenterOnScreen();
}

void TeDm_Splash::VisibilityChanged() {
    // Shown without activation: an open question is not answered by the
    // progress window appearing.
    WinControl::VisibilityChanged();
    if (Visible()) SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TeDm_Splash::Present() {
    if (Visible()) {
        // Above the window that started the work, also when the user has
        // clicked that window meanwhile; the keyboard stays where it is.
        for (HWND above = GetWindow(Handle(), GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
            const bool topmost = GetWindowLongPtrW(above, GWL_EXSTYLE) & WS_EX_TOPMOST;
            if (!topmost && IsWindowVisible(above) &&
                GetWindowThreadProcessId(above, nullptr) == GetCurrentThreadId()) {
                SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                break;
            }
        }
        return;
    }
    Show();
    lastPosition = 0;
    lastPaintTick = 0;
}

void TeDm_Splash::Repaint() { RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

void TeDm_Splash::UpdateProgress(const void*, std::int64_t pos, std::int64_t tot) {
    if (!Visible()) Present();
    if (Timer1.Enabled()) Timer1.SetEnabled(false);
    if (startTime == 0) startTime = Modal().Now();
    // Showing a report costs more than a data block takes (the bar repaints
    // itself at every new position): the bar, the estimate, painting and the
    // message loop follow a few times a second, and the last report.
    const std::uint64_t tick = GetTickCount64();
    if (pos < tot && lastPaintTick != 0 && tick - lastPaintTick < kPaintIntervalMs) return;
    lastPaintTick = tick;
    Present();  // still above the program's other windows
    // The bar counts in int: very large totals are scaled down.
    int shift = 0;
    while ((tot >> shift) > INT_MAX) ++shift;
    ProgressBar1->SetVisible(true);
    ProgressBar1->SetRange(0, static_cast<int>(tot >> shift));
    ProgressBar1->SetPosition(static_cast<int>(std::min(pos, tot) >> shift));
    DateTimeValue now = Modal().Now();
    if (auto left = TimeLeft(pos, tot, startTime, now, Modal().Now())) {
        lbIleJeszcze->SetText(TimeLeftText(*left));
        lbIleJeszcze->SetVisible(true);
    }
    Repaint();
    App().ProcessMessages();
}

void TeDm_Splash::Timer1Timer() {
    Timer1.SetEnabled(false);
    if (Visible()) Hide();
}

TeDm_Splash* ProgressWindow() { return splash; }

namespace {

class SplashDisplay final : public ProgressDisplay {
public:
    void ShowStatus(const std::wstring& text) override;
    void ShowProgress(std::int64_t position, std::int64_t count) override;
    void UpdateProgress(std::int64_t pos, std::int64_t tot) override;
    void FinishProgress() override;
    void OfferStop(bool on) override;
    void RequestStop(bool on) override;
    bool StopRequested() override;

private:
    DWORD lastPump_ = 0;
};

void SplashDisplay::ShowStatus(const std::wstring& text) {
    TeDm_Splash& w = Splash();
    w.Present();
    w.lbCo->SetCaption(text + L" ");
    w.startTime = Modal().Now();
    w.Timer1.SetEnabled(true);
    w.Repaint();
    w.lastPaintTick = 0;
}

void SplashDisplay::ShowProgress(std::int64_t position, std::int64_t count) {
    if (!splash) return;
    if (!splash->Visible()) {
        splash->Present();
        splash->lbCo->SetCaption(L"...");
    }
    splash->UpdateProgress(nullptr, position, count);
    splash->lastPosition = position;
}

void SplashDisplay::UpdateProgress(std::int64_t pos, std::int64_t tot) {
    if (splash) splash->UpdateProgress(nullptr, pos, tot);
}

void SplashDisplay::FinishProgress() {
    if (splash) splash->Timer1.SetInterval(10);
    ShowDataSetInTitle(CurrentDataSet());
    if (!splash) return;
    try {
        splash->Timer1.SetEnabled(true);
        splash->ProgressBar1->SetVisible(false);
    } catch (...) {
        // Nothing here may stop the operation that just ended.
    }
}

void SplashDisplay::OfferStop(bool on) {
    if (!on && !splash) return;
    TeDm_Splash& w = Splash();
    // A request made before the work could be stopped holds; the end of the
    // stoppable part clears it.
    if (!on || !w.stopRequested) {
        w.stopRequested = false;
        w.lbPrzerwij->SetCaption(L"Przerwij (Esc)");
    }
    w.lbPrzerwij->SetVisible(on);
    lastPump_ = 0;
}

void SplashDisplay::RequestStop(bool on) {
    if (!on && !splash) return;
    TeDm_Splash& w = Splash();
    w.stopRequested = on;
    w.lbPrzerwij->SetCaption(on ? L"Przerywam..." : L"Przerwij (Esc)");
}

bool SplashDisplay::StopRequested() {
    if (!splash) return false;
    // Messages are let through at most every 50 ms: the work asks often.
    const DWORD now = GetTickCount();
    if (lastPump_ && now - lastPump_ < 50) return splash->stopRequested;
    lastPump_ = now;
    // Esc stops the work whichever of the program's windows has the keys
    // (the progress window itself never takes them).
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
        if (msg.wParam == VK_ESCAPE && splash->lbPrzerwij->Visible()) {
            splash->lbPrzerwij->Click();
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    App().ProcessMessages();
    return splash->stopRequested;
}

}  // namespace

ProgressDisplay& SplashProgress() {
    static SplashDisplay display;
    return display;
}

void RepaintProgress() {
    TeDm_Splash& w = Splash();
    w.Present();
    w.Repaint();
    UpdateWindow(w.Handle());
}
