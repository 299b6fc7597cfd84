// The window layer on real windows: layout, modal forms and their keys,
// windowless controls and the mouse, timers, notebooks, hints, colours.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "ui/win/application.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"
#include "ui/win/menu.h"
#include "ui/win/timer.h"
#include "util/failure.h"

namespace {

bool Same(RECT r, int l, int t, int w, int h) { return r.left == l && r.top == t && r.right == l + w && r.bottom == t + h; }

void PumpUntil(const std::function<bool()>& done, DWORD ms = 3000) {
    for (DWORD waited = 0; !done() && waited < ms; waited += 10) {
        App().ProcessMessages();
        Sleep(10);
    }
}

}  // namespace

TEST(WindowLayer, AlignLaysOutByKindThenCreationOrder) {
    Form form;
    form.SetClientSize(300, 200);
    auto* panel = form.Add<Panel>();
    panel->SetAlign(Align::Client);
    panel->SetBorderWidth(5);
    auto* client = panel->Add<Panel>();
    client->SetAlign(Align::Client);  // created first, still gets what is left
    auto* top1 = panel->Add<Panel>();
    top1->SetHeight(10);
    top1->SetAlign(Align::Top);
    auto* bottom = panel->Add<Panel>();
    bottom->SetHeight(20);
    bottom->SetAlign(Align::Bottom);
    auto* top2 = panel->Add<Panel>();
    top2->SetHeight(15);
    top2->SetAlign(Align::Top);
    auto* left = panel->Add<Panel>();
    left->SetWidth(30);
    left->SetAlign(Align::Left);
    auto* hidden = panel->Add<Panel>();
    hidden->SetWidth(50);
    hidden->SetVisible(false);
    hidden->SetAlign(Align::Right);
    auto* right = panel->Add<Panel>();
    right->SetWidth(40);
    right->SetAlign(Align::Right);

    EXPECT_TRUE(Same(panel->Bounds(), 0, 0, 300, 200));
    EXPECT_TRUE(Same(top1->Bounds(), 5, 5, 290, 10));
    EXPECT_TRUE(Same(top2->Bounds(), 5, 15, 290, 15));
    EXPECT_TRUE(Same(bottom->Bounds(), 5, 175, 290, 20));
    EXPECT_TRUE(Same(left->Bounds(), 5, 30, 30, 145));
    EXPECT_TRUE(Same(right->Bounds(), 255, 30, 40, 145));
    EXPECT_TRUE(Same(client->Bounds(), 35, 30, 220, 145));

    // Hiding a control gives its room to the others; the window follows.
    top2->SetVisible(false);
    EXPECT_TRUE(Same(left->Bounds(), 5, 15, 30, 160));
    RECT px;
    GetWindowRect(left->Handle(), &px);
    EXPECT_EQ(px.bottom - px.top, left->Px(160));
}

TEST(WindowLayer, ModalFormAnswersEnterEscAndButtons) {
    struct Case {
        bool withCancel;
        WPARAM key;  // 0: press the OK button
        int expected;
    } cases[] = {
        {true, VK_RETURN, mrOk}, {true, VK_ESCAPE, mrCancel}, {false, VK_ESCAPE, mrCancel}, {true, 0, mrOk}};
    for (auto& c : cases) {
        Form form(BorderStyle::Dialog);
        form.SetClientSize(200, 80);
        auto* edit = form.Add<Edit>(L"tekst");
        edit->SetBounds(8, 8, 180, 21);
        auto* ok = form.Add<Button>(L"&OK");
        ok->SetBounds(8, 40, 75, 25);
        ok->SetModalResult(mrOk);
        ok->SetDefault(true);
        int cancelClicks = 0;
        if (c.withCancel) {
            auto* cancel = form.Add<Button>(L"&Anuluj");
            cancel->SetBounds(90, 40, 75, 25);
            cancel->SetModalResult(mrCancel);
            cancel->SetCancel(true);
            cancel->OnClick = [&](Control*) { ++cancelClicks; };
        }
        form.OnShow = [&](Control*) {
            edit->SetFocus();
            if (c.key) PostMessageW(edit->Handle(), WM_KEYDOWN, c.key, 0);
            else PostMessageW(ok->Handle(), BM_CLICK, 0, 0);
        };
        EXPECT_EQ(form.ShowModal(), c.expected) << c.key;
        EXPECT_FALSE(form.Visible());
        EXPECT_EQ(cancelClicks, c.withCancel && c.key == VK_ESCAPE ? 1 : 0);
    }
}

TEST(WindowLayer, ModalFormKeepsOtherWindowsDisabledUntilItCloses) {
    Form owner;
    owner.Show();
    Form dialog(BorderStyle::Dialog);
    bool ownerEnabledDuring = true;
    dialog.OnShow = [&](Control*) {
        ownerEnabledDuring = IsWindowEnabled(owner.Handle()) != FALSE;
        PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

TEST(WindowLayer, WindowlessControlsGetTheMouse) {
    Form form;
    form.SetClientSize(200, 100);
    auto* label = form.Add<Label>(L"Kliknij");
    label->SetBounds(10, 10, 80, 20);
    auto* over = form.Add<Label>(L"nad");
    over->SetBounds(50, 10, 80, 20);  // overlaps: the later one is on top
    int labelClicks = 0, overClicks = 0;
    label->OnClick = [&](Control*) { ++labelClicks; };
    over->OnClick = [&](Control*) { ++overClicks; };
    form.Show();
    auto click = [&](int x, int y) {
        LPARAM at = MAKELPARAM(form.Px(x), form.Px(y));
        SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, at);
        SendMessageW(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(form.Handle(), WM_LBUTTONUP, 0, at);
    };
    click(20, 15);
    click(60, 15);
    click(150, 80);  // nothing there
    label->SetEnabled(false);
    click(20, 15);
    EXPECT_EQ(labelClicks, 1);
    EXPECT_EQ(overClicks, 1);
}

TEST(WindowLayer, TimersTickAndFailuresInThemReachTheHandler) {
    std::vector<std::wstring> shown;
    auto previous = App().OnException;
    App().OnException = [&](const std::wstring& m) { shown.push_back(m); };
    int ticks = 0;
    Timer timer(10, true);
    timer.OnTimer = [&] {
        if (++ticks == 2) throw Failure(L"%Błąd w zegarze");
    };
    PumpUntil([&] { return ticks >= 3; });
    timer.SetEnabled(false);
    int stopped = ticks;
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, stopped);
    EXPECT_GE(ticks, 3);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], L"%Błąd w zegarze");
    App().OnException = previous;
}

TEST(WindowLayer, NotebookShowsOnePage) {
    Form form;
    auto* nb = form.Add<Notebook>();
    nb->SetAlign(Align::Client);
    Panel* first = nb->AddPage(L"pierwsza");
    Panel* second = nb->AddPage(L"druga");
    int changes = 0;
    nb->OnPageChanged = [&](Control*) { ++changes; };
    EXPECT_TRUE(first->Visible());
    EXPECT_FALSE(second->Visible());
    nb->SetPageIndex(1);
    nb->SetPageIndex(5);  // out of range: ignored
    EXPECT_EQ(nb->PageIndex(), 1);
    EXPECT_FALSE(first->Visible());
    EXPECT_TRUE(second->Visible());
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(Same(second->Bounds(), 0, 0, nb->Width(), nb->Height()));
}

TEST(WindowLayer, ParentColourFollowsTheParent) {
    Form form;
    auto* panel = form.Add<Panel>();
    auto* label = panel->Add<Label>(L"x");
    auto* own = panel->Add<Label>(L"y");
    own->SetColor(Rgb(1, 2, 3));
    panel->SetColor(Rgb(240, 242, 227));
    EXPECT_EQ(label->GetColor(), Rgb(240, 242, 227));
    EXPECT_EQ(own->GetColor(), Rgb(1, 2, 3));
    own->SetParentColor(true);
    EXPECT_EQ(own->GetColor(), Rgb(240, 242, 227));
}

TEST(WindowLayer, HintsBecomeTooltips) {
    Form form;
    auto* label = form.Add<Label>(L"etykieta");
    label->SetBounds(0, 0, 50, 20);
    label->SetHint(L"podpowiedź etykiety");
    auto* button = form.Add<Button>(L"przycisk");
    button->SetHint(L"podpowiedź przycisku");
    HWND tip = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            wchar_t cls[64];
            GetClassNameW(w, cls, 64);
            if (_wcsicmp(cls, TOOLTIPS_CLASSW) == 0) *reinterpret_cast<HWND*>(lp) = w;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
    label->SetHint(L"");
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST(WindowLayer, MenuShortcutsWorkInTheirForm) {
    Form form;
    PopupMenu menu;
    int runs = 0;
    menu.Add(L"Odswiez1", L"&Odśwież", [&] { ++runs; }, VK_F5);
    form.AddShortcutMenu(&menu);
    MSG msg{form.Handle(), WM_KEYDOWN, VK_F5, 0};
    EXPECT_TRUE(form.PreTranslate(msg));
    msg.wParam = VK_F6;
    form.PreTranslate(msg);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(PopupMenu::ShortcutText(VK_F5 | MenuCtrl), L"Ctrl+F5");
}

TEST(WindowLayer, SizesAreScaledFromDesignUnits) {
    Form form;
    form.SetClientSize(269, 100);
    int dpi = form.Dpi();
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, MulDiv(269, dpi, 96));
    EXPECT_EQ(form.Px(96), dpi);
    EXPECT_EQ(form.Units(form.Px(52)), 52);
}
