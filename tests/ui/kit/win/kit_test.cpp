// The control kit on real windows: created, driven by mouse and keyboard
// messages, inspected, and captured as PNG (kit_demo.png shows every control
// in its states).
#include <gtest/gtest.h>

#include <memory>

#include "support/scripted_responder.h"
#include "support/win/capture.h"
#include "support/win/pump.h"
#include "ui/kit/win/clickablelabel.h"
#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/dalejwstecz.h"
#include "ui/kit/win/htmlabel.h"
#include "ui/kit/win/htmlcombobox.h"
#include "ui/kit/win/htmlistbox.h"
#include "ui/kit/win/kitcolor.h"
#include "ui/kit/win/separator.h"
#include "ui/kit/win/tabsetflat.h"
#include "ui/kit/win/tevpanel.h"
#include "ui/win/application.h"
#include "ui/win/form.h"
#include "ui/win/helpcontext.h"
#include "ui/win/menu.h"
#include "util/failure.h"
#include "util/textmarkup.h"

namespace {

class KitWindow : public testing::Test {
protected:
    void SetUp() override {
        // Unframed: without a window manager Wine waits about two seconds
        // for every framed window that goes away.
        form = std::make_unique<Form>(BorderStyle::None);
        form->SetColor(clWhite);
        form->SetClientSize(640, 480);
        form->SetCaption(L"Zestaw kontrolek");
        App().OnException = [this](const std::wstring& message) { failures.push_back(message); };
    }
    void TearDown() override {
        App().OnException = nullptr;
        form.reset();
    }
    void Show() {
        form->Show();
        UpdateWindow(form->Handle());
        Pump();
    }

    // Mouse messages to the window that owns the pixel of a windowless control.
    static LPARAM At(const Control* c, int dx, int dy) {
        RECT r = c->PixelBounds();
        return MAKELPARAM(r.left + dx, r.top + dy);
    }
    static void Press(Control* c, int dx = 3, int dy = 3) {
        HWND h = c->Parent()->Handle();
        SendMessageW(h, WM_MOUSEMOVE, 0, At(c, dx, dy));
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(c, dx, dy));
    }
    static void Release(Control* c, int dx = 3, int dy = 3) {
        SendMessageW(c->Parent()->Handle(), WM_LBUTTONUP, 0, At(c, dx, dy));
    }
    static void ClickOn(Control* c, int dx = 3, int dy = 3) {
        Press(c, dx, dy);
        Release(c, dx, dy);
    }

    // The colour a windowless control paints at a point of its own.
    static COLORREF PaintedPixel(Control* c, int x, int y) {
        RECT r = c->PixelBounds();
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
        HGDIOBJ old = SelectObject(mem, bmp);
        c->Paint(mem, r);
        COLORREF pixel = GetPixel(mem, r.left + x, r.top + y);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        return pixel;
    }

    static COLORREF ButtonPixel(TtevCustomColorButton* b, UINT state, int x, int y) {
        RECT r{0, 0, b->Px(b->Width()), b->Px(b->Height())};
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
        HGDIOBJ old = SelectObject(mem, bmp);
        DRAWITEMSTRUCT item{ODT_BUTTON, 0, 0, ODA_DRAWENTIRE, state, b->Handle(), mem, r, 0};
        b->DrawButton(item);
        COLORREF pixel = GetPixel(mem, x, y);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        return pixel;
    }

    // The middle of the first word of a link in markup laid out in rect.
    static POINT LinkPoint(const std::wstring& markup, const RECT& rect, const Font& font) {
        ScreenDC dc;
        MarkupPaint paint;
        paint.font = font;
        MarkupLayout layout = LayoutMarkupOn(dc, markup, rect, paint);
        for (const MarkupItem& item : layout.items)
            if (item.style.anchor >= 0)
                return {(item.rect.left + item.rect.right) / 2, (item.rect.top + item.rect.bottom) / 2};
        return {-1, -1};
    }

    std::unique_ptr<Form> form;
    std::vector<std::wstring> failures;
};

// ------------------------------------------------------------- clickable label

TEST_F(KitWindow, LabelShadesFollowHotAndPressedStates) {
    auto* plain = form->Add<TtevClickableLabel>(L"Zwykła");
    plain->SetBounds(10, 10, 200, 20);
    plain->SetColor(Rgb(200, 100, 50));
    auto* hover = form->Add<TtevClickableLabel>(L"Podświetlana");
    hover->SetBounds(10, 40, 200, 20);
    hover->SetColor(Rgb(200, 100, 50));
    hover->Hover = true;
    int clicks = 0;
    plain->OnClick = [&](Control*) { ++clicks; };
    std::wstring events;
    plain->OnMouseDown = [&](Control*, MouseButton, int, int) { events += L"d"; };
    plain->OnMouseUp = [&](Control*, MouseButton, int, int) { events += L"u"; };
    Show();

    COLORREF base = RGB(200, 100, 50);
    COLORREF lighter = ColorToRgb(LighterColor(Rgb(200, 100, 50)));
    COLORREF darker = ColorToRgb(DarkerColor(Rgb(200, 100, 50)));
    EXPECT_EQ(PaintedPixel(plain, 150, 2), base);
    Press(plain, 150, 5);
    EXPECT_TRUE(plain->Pressed());
    EXPECT_EQ(PaintedPixel(plain, 150, 2), darker);
    EXPECT_EQ(clicks, 0);  // nothing happens on the press
    Release(plain, 150, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(events, L"du");
    EXPECT_EQ(PaintedPixel(plain, 150, 2), lighter);

    Press(hover, 150, 5);
    EXPECT_EQ(PaintedPixel(hover, 150, 2), lighter);  // no pressed shade with Hover
    Release(hover, 150, 5);

    // A release outside the label still clicks it.
    Press(plain, 150, 5);
    SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(600, 400));
    EXPECT_EQ(clicks, 2);
}

TEST_F(KitWindow, DisabledLabelIgnoresTheMouseAndDrawsGrey) {
    auto* label = form->Add<TtevClickableLabel>(L"WWWWWWWWWWWWWWWW");
    label->SetBounds(10, 10, 200, 20);
    label->SetColor(Rgb(200, 220, 240));
    label->DotLeft = true;
    label->SetEnabled(false);
    Show();
    label->MouseEnter();
    EXPECT_FALSE(label->Hot());
    EXPECT_EQ(PaintedPixel(label, 195, 2), RGB(200, 220, 240));
    // Some pixel of the text is grey, none is black.
    RECT r = label->PixelBounds();
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    label->Paint(mem, r);
    bool grey = false, black = false;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            COLORREF p = GetPixel(mem, x, y);
            grey |= p == RGB(128, 128, 128);
            black |= p == RGB(0, 0, 0);
        }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(grey);
    EXPECT_FALSE(black);
}

TEST_F(KitWindow, SectionLabelCollapsesAndExpandsItsPanel) {
    auto* header = form->Add<TtevClickableLabel>(L"Sekcja");
    header->SetBounds(0, 0, 300, 20);
    header->SetAlign(Align::Top);
    form->SetColor(Rgb(100, 150, 200));
    auto* panel = form->Add<TtevPanel>();
    panel->SetBounds(0, 0, 300, 80);
    panel->SetAlign(Align::Top);
    header->FocusControl = panel;
    header->Loaded();
    EXPECT_EQ(panel->Height(), 1);
    EXPECT_EQ(panel->Tag, 80);
    Show();
    ClickOn(header);
    EXPECT_EQ(panel->Height(), 80);
    EXPECT_EQ(panel->GetColor(), LighterColor(Rgb(100, 150, 200)));
    ClickOn(header);
    EXPECT_EQ(panel->Height(), 1);
}

TEST_F(KitWindow, AutoSizedWrappedLabelGrowsWithItsPanel) {
    form->SetClientSize(200, 300);
    auto* panel = form->Add<TtevPanel>();
    panel->SetBounds(0, 0, 200, 30);
    panel->SetAlign(Align::Top);
    auto* label = panel->Add<TtevClickableLabel>(
        L"Długi opis, który na pewno nie zmieści się w jednym wierszu etykiety o szerokości dwustu punktów.");
    label->SetAlign(Align::Top);
    label->SetHeight(15);
    label->SetWordWrap(true);
    label->AutoSize = true;
    Show();
    UpdateWindow(form->Handle());
    EXPECT_GT(label->Height(), 25);
    EXPECT_EQ(panel->Height(), panel->BorderWidth() + 2 + label->Height());
}

TEST_F(KitWindow, MenuItemsWithoutHandlersReportTheirHints) {
    PopupMenu menu;
    menu.Add(L"a", L"Pierwsza").hint = L"Nagłówek|Treść wiadomości";
    menu.Add(L"b", L"Druga");
    auto* edit = form->Add<Edit>();
    auto* label = form->Add<TtevClickableLabel>(L"Menu");
    try {
        label->MenuItemClick(*menu.Find(L"a"));
        ADD_FAILURE() << "no failure raised";
    } catch (const Failure& f) {
        EXPECT_EQ(f.message(), L"Nagłówek\r\nTreść wiadomości");
    }
    EXPECT_NO_THROW(label->MenuItemClick(*menu.Find(L"b")));  // nothing to do
    label->ActAsComboToEdit = true;
    label->FocusControl = edit;
    label->MenuItemClick(*menu.Find(L"a"));
    EXPECT_EQ(edit->Text(), L"Nagłówek|Treść wiadomości");
    label->MenuItemClick(*menu.Find(L"b"));
    EXPECT_EQ(edit->Text(), L"Druga");
}

TEST_F(KitWindow, LabelWithMenuOpensItOnThePressAndNeverClicks) {
    PopupMenu menu;
    menu.Add(L"a", L"Pozycja");
    auto* label = form->Add<TtevClickableLabel>(L"Z menu");
    label->SetBounds(10, 10, 200, 20);
    label->SetDropDownMenu(&menu);
    int clicks = 0;
    label->OnClick = [&](Control*) { ++clicks; };
    Show();
    // The menu's own loop runs on the press; a timer closes it.
    static bool menuShown = false;
    menuShown = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) {
        menuShown = true;
        EndMenu();
    });
    Press(label);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(menuShown);
    // The menu took the mouse: the label holds it no longer and the next
    // label lights up under the mouse at once.
    auto* other = form->Add<TtevClickableLabel>(L"Inna");
    other->SetBounds(10, 40, 200, 20);
    SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, At(other, 5, 5));
    EXPECT_TRUE(other->Hot());
    Release(label);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(static_cast<bool>(menu.Find(L"a")->onClick));  // MenuItemClick took the item
}

TEST_F(KitWindow, InfoLabelShowsItsTextAsAnInformationMessage) {
    auto* info = form->Add<TTevInfoLabel>();
    info->SetBounds(10, 10, 17, 15);
    auto* bare = form->Add<TTevInfoLabel>();
    bare->SetBounds(40, 10, 17, 15);
    Show();
    EXPECT_EQ(info->Width(), 17);
    info->SetInfoText({L"Pierwszy wiersz", L"drugi wiersz"});
    ClickOn(info);
    ClickOn(bare);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0], L"*Pierwszy wiersz\r\ndrugi wiersz");
    EXPECT_EQ(failures[1].rfind(L"Pomoc nie jest dostępna.\r\nŚciągnij aktualizację z ", 0), 0u);
}

TEST_F(KitWindow, AcceleratorLetterClicksTheLabel) {
    auto* label = form->Add<TtevClickableLabel>(L"&Odtwórz kopię");
    int clicks = 0;
    label->OnClick = [&](Control*) { ++clicks; };
    Show();
    MSG alt{form->Handle(), WM_SYSCHAR, L'o', 0};
    EXPECT_TRUE(form->PreTranslate(alt));
    alt.wParam = L'd';
    form->PreTranslate(alt);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(label->AccessibleText(), L"Odtwórz kopię");
}

// ----------------------------------------------------------------- buttons

TEST_F(KitWindow, ButtonFacesFollowTheirColourAndState) {
    auto* white = form->Add<TtevColorButton>(L"Biały");
    white->SetColor(clWhite);
    auto* green = form->Add<TtevColorButton>(L"Zielony");
    green->SetColor(Rgb(100, 180, 120));
    COLORREF w = RGB(255, 255, 255);
    COLORREF w1 = ColorToRgb(DarkerColor(clWhite));
    COLORREF w2 = ColorToRgb(DarkerColor(DarkerColor(clWhite)));
    EXPECT_EQ(ButtonPixel(white, 0, 6, 6), w);
    EXPECT_EQ(ButtonPixel(white, ODS_SELECTED, 6, 6), w2);
    EXPECT_EQ(ButtonPixel(green, ODS_SELECTED, 6, 6), ColorToRgb(DarkerColor(Rgb(100, 180, 120))));
    EXPECT_EQ(ButtonPixel(green, 0, 2, 2), RGB(0, 0, 0));  // the frame inside the inner border
    // Hot comes from the mouse moving over the button.
    SendMessageW(white->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(green->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(white->Hot());
    EXPECT_EQ(ButtonPixel(white, 0, 6, 6), w1);
    EXPECT_EQ(ButtonPixel(green, 0, 6, 6), ColorToRgb(LighterColor(Rgb(100, 180, 120))));
}

TEST_F(KitWindow, DefaultButtonShowsADoubleFrameOnlyWithoutBold) {
    auto* ok = form->Add<TtevColorButton>(TtevButtonKind::bkOK);
    ok->SetColor(clWhite);
    EXPECT_EQ(ButtonPixel(ok, 0, 3, 6), RGB(255, 255, 255));  // single frame at 2
    ok->SetBoldWhenDefault(false);
    EXPECT_EQ(ButtonPixel(ok, 0, 3, 6), RGB(0, 0, 0));
}

// Runs of rows with dark pixels inside a button: the lines of its caption.
int CaptionLines(TtevCustomColorButton* b) {
    RECT r{0, 0, b->Px(b->Width()), b->Px(b->Height())};
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    DRAWITEMSTRUCT item{ODT_BUTTON, 0, 0, ODA_DRAWENTIRE, 0, b->Handle(), mem, r, 0};
    b->DrawButton(item);
    int lines = 0;
    bool inLine = false;
    for (int y = 5; y < r.bottom - 5; ++y) {
        bool ink = false;
        for (int x = 5; x < r.right - 5 && !ink; ++x) ink = GetRValue(GetPixel(mem, x, y)) < 100;
        if (ink && !inLine) ++lines;
        inLine = ink;
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return lines;
}

TEST_F(KitWindow, BackslashNInACaptionBreaksTheLineOnlyWithoutSingleLine) {
    auto* b = form->Add<TtevColorButton>(L"Dwa\\nrazy");
    b->SetBounds(0, 0, 120, 50);
    b->SetColor(clWhite);
    EXPECT_EQ(CaptionLines(b), 1);
    b->SetSingleLine(false);
    EXPECT_EQ(CaptionLines(b), 2);
}

TEST_F(KitWindow, ButtonKindsSetCaptionResultAndRoles) {
    struct Case {
        TtevButtonKind kind;
        const wchar_t* caption;
        int result;
        bool isDefault, isCancel;
    } cases[] = {
        {TtevButtonKind::bkOK, L"OK", 1, true, false},
        {TtevButtonKind::bkCancel, L"Anuluj", 2, false, true},
        {TtevButtonKind::bkYes, L"&Tak", 6, true, false},
        {TtevButtonKind::bkNo, L"&Nie", 7, false, true},
        {TtevButtonKind::bkRetry, L"Powtó&rz", 4, false, false},
        {TtevButtonKind::bkAll, L"&Wszystkie", 8, false, false},
    };
    for (const Case& c : cases) {
        auto* b = form->Add<TtevColorButton>(L"Własny");
        b->SetKind(c.kind);
        EXPECT_EQ(b->Text(), c.caption);
        EXPECT_EQ(b->ModalResult(), c.result);
        EXPECT_EQ(b->IsDefault(), c.isDefault);
        EXPECT_EQ(b->IsCancel(), c.isCancel);
        EXPECT_EQ(b->Kind(), c.kind);
        b->SetModalResult(0);
        EXPECT_EQ(b->Kind(), TtevButtonKind::bkCustom);
    }
    auto* ok = form->Add<TtevColorButton>(TtevButtonKind::bkOK);
    Show();
    SendMessageW(ok->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->ModalResult(), 1);
    wchar_t text[32];
    GetWindowTextW(ok->Handle(), text, 32);
    EXPECT_STREQ(text, L"OK");
}

TEST_F(KitWindow, HelpAndCloseButtonsFallBackToOrdinaryClicks) {
    std::vector<std::pair<int, HelpKind>> help;
    SetHelpContextHandler([&](int context, HelpKind kind) { help.push_back({context, kind}); });
    auto* withContext = form->Add<TtevColorButton>(TtevButtonKind::bkHelp);
    withContext->HelpContext = 120;
    auto* without = form->Add<TtevColorButton>(TtevButtonKind::bkHelp);
    int clicks = 0;
    withContext->OnClick = without->OnClick = [&](Control*) { ++clicks; };
    withContext->Click();
    without->Click();
    PopupMenu menu;
    menu.Add(L"t", L"Temat").tag = 7;
    form->Add<TtevClickableLabel>(L"Menu")->MenuItemClick(*menu.Find(L"t"));
    SetHelpContextHandler(nullptr);
    ASSERT_EQ(help.size(), 2u);
    EXPECT_EQ(help[0], (std::pair<int, HelpKind>{120, HelpKind::Topic}));
    EXPECT_EQ(help[1], (std::pair<int, HelpKind>{7, HelpKind::Popup}));
    EXPECT_EQ(clicks, 1);

    auto* close = form->Add<TtevColorButton>(TtevButtonKind::bkClose);
    EXPECT_EQ(close->Text(), L"&Zamknij");
    Show();
    close->Click();
    EXPECT_FALSE(form->Visible());
}

// ------------------------------------------------------------------ wizard

class Wizard : public KitWindow {
protected:
    void Build(int pages) {
        strip = form->Add<TtevTabSetFlat>();
        std::vector<std::wstring> items;
        for (int i = 0; i < pages; ++i) items.push_back(L"Krok " + std::to_wstring(i + 1));
        strip->SetItems(items);
        strip->SetEnabled(false);
        next = form->Add<TtevDalejWsteczButton>(TtevDAlejWstecz::dwDalej);
        back = form->Add<TtevDalejWsteczButton>(TtevDAlejWstecz::dwWstecz);
        next->Loaded();
        back->Loaded();
    }
    TtevTabSetFlat* strip = nullptr;
    TtevDalejWsteczButton* next = nullptr;
    TtevDalejWsteczButton* back = nullptr;
};

TEST_F(Wizard, ButtonsMoveThePagesAndNameThemselves) {
    Build(4);
    EXPECT_EQ(next->Text(), L"&Start >");
    EXPECT_EQ(back->Text(), L"Anuluj");
    next->Click();
    EXPECT_EQ(strip->TabIndex(), 1);
    EXPECT_EQ(next->Text(), L"&Dalej >");
    EXPECT_EQ(back->Text(), L"<< &Wstecz!");
    next->Click();
    next->Click();
    EXPECT_EQ(strip->TabIndex(), 3);
    EXPECT_EQ(next->Text(), L"&Zakończ");
    back->Click();
    EXPECT_EQ(strip->TabIndex(), 2);
    back->CalaWstecz = true;
    next->Click();
    back->Click();
    EXPECT_EQ(strip->TabIndex(), 0);
    EXPECT_EQ(back->Text(), L"Anuluj");
}

TEST_F(Wizard, EventsMayRefuseOrRedirectAMove) {
    Build(5);
    std::vector<std::wstring> calls;
    bool refuse = true;
    next->OnDalej = [&](int index, TtevDAlejWstecz, bool& allow) {
        calls.push_back(L"dalej " + std::to_wstring(index));
        allow = !refuse;
    };
    next->OnGetNextTab = [&](int, int& nextTab, TtevDAlejWstecz, bool&) { nextTab = 3; };
    next->OnAfterDalej = [&](int index, TtevDAlejWstecz, bool allow) {
        calls.push_back(L"po " + std::to_wstring(index) + (allow ? L" tak" : L" nie"));
    };
    next->Click();
    EXPECT_EQ(strip->TabIndex(), 0);
    refuse = false;
    next->Click();
    EXPECT_EQ(strip->TabIndex(), 3);
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"dalej 0", L"po 0 nie", L"dalej 0", L"po 3 tak"}));
}

TEST_F(Wizard, FastEndFromTheLastPageEndsTheWindowWithTheButtonsResult) {
    Build(2);
    next->AllowFastEnd = true;
    next->SetModalResult(1);
    bool told = false;
    next->OnAfterFastEnd = [&](Control*) { told = true; };
    next->Click();  // page 0 → 1: an ordinary move does not end the window
    EXPECT_EQ(form->ModalResult(), 0);
    EXPECT_EQ(strip->TabIndex(), 1);
    next->Click();
    EXPECT_TRUE(told);
    EXPECT_EQ(form->ModalResult(), 1);
}

TEST_F(Wizard, WithoutAStripNothingMoves) {
    next = form->Add<TtevDalejWsteczButton>(TtevDAlejWstecz::dwDalej);
    int seen = -2;
    next->OnDalej = [&](int index, TtevDAlejWstecz, bool&) { seen = index; };
    next->Click();
    EXPECT_EQ(seen, -1);
    EXPECT_EQ(next->Text(), L"&Dalej >");
}

// --------------------------------------------------------------- tab strip

TEST_F(KitWindow, TabIndexRulesAndNotebookLinkage) {
    auto* notebook = form->Add<Notebook>();
    notebook->AddPage(L" Witamy | Podstawowe informacje");
    notebook->AddPage(L" Wybór plików <Wybierz pliki, które mają zostać pobrane");
    notebook->AddPage(L"Koniec");
    auto* info = form->Add<Label>();
    auto* strip = form->Add<TtevTabSetFlat>();
    strip->InfoLabel = info;
    strip->SetNotebook(notebook);
    EXPECT_EQ(strip->Items(), (std::vector<std::wstring>{L" Witamy ", L" Wybór plików ", L"Koniec"}));
    int clicks = 0;
    strip->OnClick = [&](Control*) { ++clicks; };
    strip->SetTabIndex(1);
    EXPECT_EQ(notebook->PageIndex(), 1);
    EXPECT_EQ(clicks, 1);
    strip->SetTabIndex(1);
    EXPECT_EQ(clicks, 1);
    strip->SetTabIndex(2);
    EXPECT_EQ(info->Text(), L"Koniec");
    wchar_t text[32];
    GetWindowTextW(strip->Handle(), text, 32);
    EXPECT_STREQ(text, L"Koniec");
    strip->SetTabIndex(3);  // one past the last
    EXPECT_EQ(strip->TabIndex(), 0);
    EXPECT_EQ(notebook->PageIndex(), 0);
    EXPECT_EQ(info->Text(), L" Podstawowe informacje");
    strip->SetTabIndex(-1);
    EXPECT_EQ(strip->TabIndex(), -1);
    strip->SetTabIndex(-5);
    EXPECT_EQ(strip->TabIndex(), 0);
}

// The notebooks and the label live on another window, which goes away first.
TEST_F(KitWindow, StripForgetsDestroyedNotebooksAndLabels) {
    auto other = std::make_unique<Form>(BorderStyle::None);
    auto* notebook = other->Add<Notebook>();
    notebook->AddPage(L"Pierwsza");
    notebook->AddPage(L"Druga");
    auto* second = other->Add<Notebook>();
    second->AddPage(L"a");
    second->AddPage(L"b");
    auto* info = other->Add<Label>();
    auto* strip = form->Add<TtevTabSetFlat>();
    strip->SetNotebook(notebook);
    strip->Notebook2 = second;
    strip->InfoLabel = info;
    strip->SetTabIndex(1);
    EXPECT_EQ(second->PageIndex(), 1);
    EXPECT_EQ(info->Text(), L"Druga");
    other.reset();
    EXPECT_EQ(strip->GetNotebook(), nullptr);
    EXPECT_FALSE(strip->Notebook2);
    EXPECT_FALSE(strip->InfoLabel);
    strip->SetTabIndex(0);
    EXPECT_EQ(strip->TabIndex(), 0);
}

TEST_F(KitWindow, TabsAreMeasuredWithoutAmpersandsAndClippedAtTheEnd) {
    auto* strip = form->Add<TtevTabSetFlat>();
    strip->EndMargin = 40;
    strip->SetItems({L"&Pierwsza", L"Pierwsza", L"Trzecia zakładka", L"Czwarta zakładka"});
    EXPECT_EQ(strip->TabWidth(0), strip->TabWidth(1));
    form->SetClientSize(200, 100);
    Show();
    RECT client;
    GetClientRect(strip->Handle(), &client);
    int total = 0;
    for (int i = 0; i < 4; ++i) total += strip->TabWidth(i);
    ASSERT_GT(total, client.right);
    EXPECT_LT(strip->VisibleTabs(), 4);
    RECT last = strip->TabRect(3);
    EXPECT_TRUE(IsRectEmpty(&last));
    // A click in the end margin, where no tab is, selects nothing.
    strip->SetTabIndex(1);
    SendMessageW(strip->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 2, 10));
    SendMessageW(strip->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(client.right - 2, 10));
    EXPECT_EQ(strip->TabIndex(), 1);
    RECT first = strip->TabRect(0);
    SendMessageW(strip->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.left + 3, 10));
    EXPECT_EQ(strip->TabIndex(), 0);
}

TEST_F(KitWindow, ATabIsNeverTallerThanSeventeenPixels) {
    auto* strip = form->Add<TtevTabSetFlat>();
    strip->SetHeight(60);
    strip->SetColor(Rgb(10, 20, 30));
    strip->SelectedColor = Rgb(250, 250, 250);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 60);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r = strip->TabRect(0);
    strip->DrawTab(mem, {0, 0, r.right - r.left, 60}, true, 0);
    // Margin 5 from the top, 17 high: rows 5..21, nothing below.
    EXPECT_EQ(GetPixel(mem, 2, 8), RGB(250, 250, 250));
    EXPECT_EQ(GetPixel(mem, 2, 20), RGB(250, 250, 250));
    EXPECT_NE(GetPixel(mem, 2, 30), RGB(250, 250, 250));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

// ------------------------------------------------------------- HTML lists

TEST_F(KitWindow, ListLinksGoToTheShellOrTheWindow) {
    ScriptedResponder responder;
    auto* list = form->Add<TtevHTMListbox>();
    list->SetBounds(10, 10, 400, 300);
    std::wstring item = L"<z>c:\\kopie\\a.tev</z><b>a.tev</b><br>Kopia z dnia <a href=\"c:\\kopie\\a.tev|2\">Odtwórz</a>";
    std::wstring mail = L"Napisz do nas: <a href=\"mailto:pomoc@tev.pl\">pomoc</a>";
    list->Add(item);
    list->Add(mail);
    std::vector<std::pair<int, std::wstring>> clicks;
    list->OnAnchorClick = [&](Control*, int index, const std::wstring& anchor) { clicks.push_back({index, anchor}); };
    Show();

    wchar_t plain[128];
    SendMessageW(list->Handle(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(plain));
    EXPECT_STREQ(plain, L"a.tev\r\nKopia z dnia Odtwórz");
    EXPECT_EQ(HiddenData(list->Item(0)), L"c:\\kopie\\a.tev");
    list->Add(L"<Z>D:\\B.TEV</Z><b>b.tev</b>");
    EXPECT_EQ(HiddenData(list->Item(2)), L"D:\\B.TEV");

    for (int i = 0; i < 2; ++i) {
        RECT r;
        SendMessageW(list->Handle(), LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        POINT p = LinkPoint(list->Item(i), r, list->GetFont());
        SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        EXPECT_EQ(list->ItemIndex(), i);
    }
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], (std::pair<int, std::wstring>{0, L"c:\\kopie\\a.tev|2"}));
    // Entering and leaving a link is reported too.
    std::wstring moves;
    list->OnAnchorEnter = [&](Control*, int index, const std::wstring&) { moves += L"+" + std::to_wstring(index); };
    list->OnAnchorExit = [&](Control*, int index, const std::wstring&) { moves += L"-" + std::to_wstring(index); };
    RECT first;
    SendMessageW(list->Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    POINT link = LinkPoint(list->Item(0), first, list->GetFont());
    SendMessageW(list->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(link.x, link.y));
    SendMessageW(list->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(link.x + 1, link.y));
    SendMessageW(list->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(moves, L"+0-0");
    ASSERT_EQ(responder.shown.size(), 1u);
    EXPECT_EQ(responder.shown[0].kind, L"shell");
    EXPECT_EQ(responder.shown[0].headline, L"mailto:pomoc@tev.pl");
    // Below the last item: no link, no event.
    EXPECT_EQ(list->AnchorAtItemPoint(20, 290).second, -1);
    EXPECT_THROW(list->Item(3), Failure);
}

TEST_F(KitWindow, CheckListLinksDoNotToggleTheCheckBox) {
    auto* list = form->Add<TtevHtmlCheckListBox>();
    list->SetBounds(10, 10, 400, 300);
    list->Add(L"<b>plik.dat</b> <a href=\"porównaj|plik.dat\">porównaj</a>");
    list->Add(L"<b>drugi.dat</b>");
    list->SetChecked(1, true);
    int checks = 0;
    list->OnClickCheck = [&](Control*) { ++checks; };
    std::wstring anchor;
    list->OnAnchorClick = [&](Control*, int, const std::wstring& a) { anchor = a; };
    Show();
    RECT r;
    SendMessageW(list->Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    r.left += list->Px(18);
    POINT p = LinkPoint(list->Item(0), r, list->GetFont());
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(anchor, L"porównaj|plik.dat");
    EXPECT_FALSE(list->Checked(0));
    EXPECT_EQ(checks, 0);
    // On the check box the click toggles it.
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, r.top + 8));
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, r.top + 8));
    EXPECT_TRUE(list->Checked(0));
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(list->CheckedCount(), 2);
    // Space toggles the selected item.
    SendMessageW(list->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(list->Checked(0));
    EXPECT_EQ(list->CheckedCount(), 1);
}

TEST_F(KitWindow, SortedListsOrderByTheWholeMarkupAndKeepChecksWithTheirItems) {
    auto* list = form->Add<TtevHtmlCheckListBox>();
    list->Sorted = true;
    list->Add(L"<z>b</z>pierwszy");
    list->SetChecked(0, true);
    EXPECT_EQ(list->Add(L"<z>a</z>drugi"), 0);
    EXPECT_EQ(list->Item(1), L"<z>b</z>pierwszy");
    EXPECT_TRUE(list->Checked(1));
    EXPECT_FALSE(list->Checked(0));
    list->Delete(0);
    EXPECT_TRUE(list->Checked(0));
}

TEST_F(KitWindow, TopAlignedListFitsItsItemsAfterDrawing) {
    auto* list = form->Add<TtevHTMListbox>();
    list->SetAlign(Align::Top);
    list->SetHeight(300);
    list->Add(L"<b>jeden</b>");
    list->Add(L"<b>dwa</b><br>drugi wiersz");
    list->Add(L"trzy");
    Show();
    UpdateWindow(list->Handle());
    int items = 0;
    for (int i = 0; i < 3; ++i) items += static_cast<int>(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, i, 0));
    RECT client;
    GetClientRect(list->Handle(), &client);
    EXPECT_LT(list->Height(), 100);
    EXPECT_EQ(client.bottom, items);
}

TEST_F(KitWindow, InvisibleSelectionDrawsLikeTheOtherItems) {
    auto* list = form->Add<TtevHTMListbox>();
    list->SetBounds(10, 10, 300, 100);
    list->SelectionColor = Rgb(0, 0, 160);
    list->Add(L"<b>jeden</b>");
    list->Add(L"dwa");
    list->SetItemIndex(0);
    Show();
    auto pixel = [&] {
        UpdateWindow(list->Handle());
        HDC dc = GetDC(list->Handle());
        COLORREF p = GetPixel(dc, 250, 3);
        ReleaseDC(list->Handle(), dc);
        return p;
    };
    EXPECT_EQ(pixel(), RGB(0, 0, 160));
    list->SetSelectionInvisible(true);
    EXPECT_EQ(pixel(), ColorToRgb(list->GetColor()));
}

TEST_F(KitWindow, ComboShowsItsItemsWithTheSimplerRenderer) {
    auto* combo = form->Add<THTMLComboBox>();
    combo->SetBounds(10, 10, 300, 21);
    combo->Add(L"Serwer zapasowy");
    combo->Add(L"<b>Kraków</b>         tev.krakow.pl<z>tev.krakow.pl</z>");
    int changes = 0;
    combo->OnChange = [&](Control*) { ++changes; };
    Show();
    wchar_t plain[128];
    SendMessageW(combo->Handle(), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(plain));
    EXPECT_STREQ(plain, L"Kraków         tev.krakow.pl");
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), L"Kraków         tev.krakow.pl");
    EXPECT_EQ(combo->Item(1), L"<b>Kraków</b>         tev.krakow.pl<z>tev.krakow.pl</z>");
    // Choosing with the keyboard reports the change.
    SendMessageW(combo->Handle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(combo->Item(2), Failure);
}

// -------------------------------------------------------------- HTML label

TEST_F(KitWindow, LabelLinksGoToTheShellOrTheWindow) {
    ScriptedResponder responder;
    auto* label = form->Add<THTMLabel>(L"<a href=\"http://www.tev.pl\">strona</a> lub <a href=\"pomoc|1\">pomoc</a>");
    label->SetBounds(10, 10, 300, 40);
    std::wstring anchor;
    int clicks = 0;
    label->OnAnchorClick = [&](Control*, const std::wstring& a) { anchor = a; };
    label->OnClick = [&](Control*) { ++clicks; };
    Show();
    EXPECT_EQ(label->Text(), L"strona lub pomoc");
    ScreenDC dc;
    MarkupPaint paint;
    paint.font = label->GetFont();
    MarkupLayout layout = LayoutMarkupOn(dc, label->Markup(), {0, 0, 300, 40}, paint);
    std::vector<POINT> links;
    for (const MarkupItem& item : layout.items)
        if (item.style.anchor >= 0) links.push_back({item.rect.left + 2, item.rect.top + 3});
    ASSERT_EQ(links.size(), 2u);
    ClickOn(label, links[0].x, links[0].y);
    ClickOn(label, links[1].x, links[1].y);
    ASSERT_EQ(responder.shown.size(), 1u);
    EXPECT_EQ(responder.shown[0].headline, L"http://www.tev.pl");
    EXPECT_EQ(anchor, L"pomoc|1");
    EXPECT_EQ(clicks, 0);  // a press on a link does nothing else
    ClickOn(label, 280, 30);
    EXPECT_EQ(clicks, 1);
}

TEST_F(KitWindow, AutoSizingLabelFollowsItsText) {
    auto* label = form->Add<THTMLabel>();
    label->SetBounds(10, 10, 300, 100);
    label->SetAutoSizing(true);
    label->SetHTMLText({L"jeden wiersz"});
    int one = label->Height();
    label->SetHTMLText({L"pierwszy<br>", L"drugi<br>trzeci"});
    EXPECT_EQ(label->Markup(), L"pierwszy<br>drugi<br>trzeci");
    EXPECT_GT(label->Height(), 2 * one);
    EXPECT_LT(one, 20);
}

// ------------------------------------------------------------ demonstration

TEST_F(KitWindow, DemonstrationWindow) {
    form->SetClientSize(820, 600);
    form->SetColor(Rgb(240, 244, 248));
    PopupMenu menu;
    menu.Add(L"o", L"O programie");

    auto* title = form->Add<TtevClickableLabel>(L"Archiwin - kopie zapasowe");
    title->SetBounds(0, 0, 820, 24);
    title->SetAlign(Align::Top);
    title->SetColor(Rgb(46, 124, 115));
    Font bold = title->GetFont();
    bold.bold = true;
    bold.color = clWhite;
    title->SetFont(bold);
    title->DotLeft = true;
    title->Hover = true;
    title->SetDropDownMenu(&menu);

    auto* date = form->Add<TtevClickableLabel>(L"czwartek, 10 grudnia 2026");
    date->SetBounds(0, 0, 820, 20);
    date->SetAlign(Align::Bottom);
    date->SetAlignment(Alignment::Center);
    date->SetColor(Rgb(46, 124, 115));
    date->SetFont(bold);
    date->Hover = true;
    date->SetDropDownMenu(&menu);

    // Left column: labels in their states.
    struct LabelCase {
        const wchar_t* caption;
        int state;  // 0 normal, 1 hot, 2 pressed, 3 disabled
        bool hover;
    } labels[] = {
        {L"Zrób kopię zapasową folderu", 0, true},
        {L"Odtwórz kopie zapasową (pod myszą)", 1, true},
        {L"Bez Hover, pod myszą", 1, false},
        {L"Bez Hover, wciśnięta", 2, false},
        {L"Wyłączona", 3, true},
    };
    int y = 34;
    for (const LabelCase& c : labels) {
        auto* l = form->Add<TtevClickableLabel>(c.caption);
        l->SetBounds(10, y, 260, 20);
        l->SetColor(Rgb(214, 230, 226));
        l->DotLeft = c.hover;
        l->ArrowRight = true;
        l->ArrowRightDouble = true;
        if (c.state == 1) l->MouseEnter();
        if (c.state == 2) l->MouseDown(MouseButton::Left, 3, 3);
        if (c.state == 3) l->SetEnabled(false);
        y += 24;
    }
    auto* twoPart = form->Add<TtevClickableLabel>(L"Kopie|co tydzień, 5 sztuk");
    twoPart->SetBounds(10, y, 260, 20);
    twoPart->SetColor(Rgb(214, 230, 226));
    twoPart->Border = true;
    twoPart->SetDropDownMenu(&menu);
    y += 24;
    auto* action = form->Add<TtevClickableLabel>(
        L"<b>· Odinstaluj »</b><br>usuń niepotrzebne programy, bazy danych lub kopie zapasowe");
    action->SetBounds(10, y, 260, 34);
    action->SetColor(clWhite);
    action->SetHtmlAware(true);
    y += 40;
    auto* downLine = form->Add<TtevClickableLabel>(L"Z linią u dołu");
    downLine->SetBounds(10, y, 200, 20);
    downLine->SetColor(clWhite);
    downLine->DownLine = true;
    auto* info = form->Add<TTevInfoLabel>();
    info->SetBounds(220, y + 2, 17, 15);
    y += 28;
    auto* separator = form->Add<TtevSeparator>();
    separator->SetAlign(Align::None);
    separator->SetBounds(10, y, 260, 1);
    y += 8;
    auto* open = form->Add<TtevClickableLabel>(L"Sekcja rozwinięta");
    open->SetBounds(10, y, 260, 20);
    open->SetColor(Rgb(200, 215, 230));
    auto* openPanel = form->Add<TtevPanel>();
    openPanel->SetBounds(10, y + 20, 260, 30);
    openPanel->Add<Label>(L"  zawartość sekcji")->SetBounds(0, 8, 200, 16);
    open->FocusControl = openPanel;
    openPanel->SetColor(Rgb(225, 235, 245));
    y += 54;
    auto* closed = form->Add<TtevClickableLabel>(L"Sekcja zwinięta");
    closed->SetBounds(10, y, 260, 20);
    closed->SetColor(Rgb(200, 215, 230));
    auto* closedPanel = form->Add<TtevPanel>();
    closedPanel->SetBounds(10, y + 20, 260, 30);
    closed->FocusControl = closedPanel;
    closed->Loaded();
    y += 30;

    auto* html = form->Add<THTMLabel>(
        L"<p align=\"alCenter\"><b>Etykieta HTML</b></p>Tekst <i>pochylony</i>, <u>podkreślony</u>, <s>skreślony</s>, "
        L"<font color=\"clMaroon\">kolor</font>, <font bgcolor=\"#ffff80\">tło</font>, <font size=\"12\">12 pt</font>, "
        L"m<sup>2</sup> H<sub>2</sub>O, <shad>cień</shad>, &lt;b&gt;, "
        L"<a href=\"http://www.tev.pl\">łącze</a><z>ukryte dane</z>.<hr>"
        L"<ul><li>pierwszy punkt<ul><li>zagnieżdżony</ul><li>drugi punkt</ul>"
        L"<ind x=\"120\">wcięcie na 120<br><p align=\"right\">do prawej</p>");
    html->SetBounds(10, y, 260, 200);
    html->SetColor(clWhite);
    html->SetTransparent(false);
    html->SetBorderStyle(TLabelBorder::bsSingle);
    html->SetBorderWidth(4);

    // Middle column: buttons.
    int bx = 290, by = 34;
    auto* ok = form->Add<TtevColorButton>(TtevButtonKind::bkOK);
    ok->SetBounds(bx, by, 90, 28);
    ok->SetColor(clWhite);
    auto* cancel = form->Add<TtevColorButton>(TtevButtonKind::bkCancel);
    cancel->SetBounds(bx + 100, by, 90, 28);
    cancel->SetColor(clWhite);
    by += 34;
    auto* green = form->Add<TtevColorButton>(L"Kolorowy");
    green->SetBounds(bx, by, 90, 28);
    green->SetColor(Rgb(160, 210, 170));
    auto* pressed = form->Add<TtevColorButton>(L"Wciśnięty");
    pressed->SetBounds(bx + 100, by, 90, 28);
    pressed->SetColor(Rgb(160, 210, 170));
    SendMessageW(pressed->Handle(), BM_SETSTATE, TRUE, 0);
    by += 34;
    auto* disabled = form->Add<TtevColorButton>(L"Wyłączony");
    disabled->SetBounds(bx, by, 90, 28);
    disabled->SetColor(clWhite);
    disabled->SetEnabled(false);
    auto* doubleFrame = form->Add<TtevColorButton>(L"Domyślny");
    doubleFrame->SetBounds(bx + 100, by, 90, 28);
    doubleFrame->SetColor(clWhite);
    doubleFrame->SetBoldWhenDefault(false);
    doubleFrame->SetDefault(true);
    by += 34;
    auto* twoLines = form->Add<TtevColorButton>(L"Dwa\\nwiersze");
    twoLines->SetBounds(bx, by, 90, 40);
    twoLines->SetColor(clWhite);
    twoLines->SetSingleLine(false);
    auto* markupButton = form->Add<TtevColorButton>(L"<b>HTML</b> <i>przycisk</i>");
    markupButton->SetBounds(bx + 100, by, 90, 40);
    markupButton->SetColor(clWhite);
    markupButton->SetHtmlAware(true);
    markupButton->SetHtmlCenterText(true);
    by += 50;

    // The wizard: a frame-style strip, a notebook and its buttons.
    auto* wizard = form->Add<Panel>();
    wizard->SetBounds(bx, by, 200, 150);
    wizard->SetColor(Rgb(228, 243, 240));
    auto* strip = wizard->Add<TtevTabSetFlat>();
    strip->SetColor(Rgb(228, 243, 240));
    strip->FrameStyle = true;
    strip->UnselectedColor = Rgb(200, 220, 215);
    strip->SetTextMargin(3);
    auto* buttons = wizard->Add<Panel>();
    buttons->SetBounds(0, 0, 200, 36);
    buttons->SetAlign(Align::Bottom);
    buttons->SetParentColor(true);
    auto* book = wizard->Add<Notebook>();
    book->SetAlign(Align::Client);
    book->AddPage(L" Start |Witamy w kreatorze");
    book->AddPage(L" Pliki |Wybór plików");
    book->AddPage(L" Koniec |Podsumowanie");
    auto* desc = wizard->Add<THTMLabel>();
    desc->SetBounds(0, 0, 200, 20);
    desc->SetAlign(Align::Bottom);
    strip->InfoLabel = desc;
    strip->SetNotebook(book);
    book->Page(1)->Add<THTMLabel>(L"Strona <b>druga</b> kreatora")->SetBounds(10, 10, 180, 20);
    auto* next = buttons->Add<TtevDalejWsteczButton>(TtevDAlejWstecz::dwDalej);
    next->SetBounds(105, 4, 90, 28);
    next->SetColor(clWhite);
    auto* back = buttons->Add<TtevDalejWsteczButton>(TtevDAlejWstecz::dwWstecz);
    back->SetBounds(5, 4, 90, 28);
    back->SetColor(clWhite);
    next->Click();

    // Right column: flat strips and lists.
    int lx = 510, ly = 34;
    auto* flat = form->Add<Panel>();
    flat->SetBounds(lx, ly, 300, 60);
    flat->SetColor(Rgb(228, 243, 240));
    auto* top = flat->Add<TtevTabSetFlat>();
    top->SetColor(14938864);
    top->SetItems({L"Ogólne", L"&Kopie", L"Zaawansowane"});
    top->SetTabIndex(1);
    auto* bottomStrip = flat->Add<TtevTabSetFlat>();
    bottomStrip->SetAlign(Align::Bottom);
    bottomStrip->SetColor(14938864);
    bottomStrip->SetTevStyle(tTevTabStyle::Dolny);
    bottomStrip->SetItems({L"Dolny", L"styl", L"zakładek"});
    ly += 70;

    auto* list = form->Add<TtevHTMListbox>();
    list->SetBounds(lx, ly, 300, 150);
    list->Add(L"10.12.2026 12:00<br><b>Papirek, 2,5 MB</b><z>c:\\kopie\\1.tev</z> "
              L"<a href=\"c:\\kopie\\1.tev\">Odtwórz z tej kopii</a>");
    list->Add(L"09.12.2026 08:15<br><b>Finovo, 1,1 MB</b><z>c:\\kopie\\2.tev</z> "
              L"<a href=\"c:\\kopie\\2.tev\">Odtwórz z tej kopii</a>");
    list->Add(L"<img src=\"ssys:c:\\windows\\notepad.exe\"> notepad.exe <font color=\"clGray\">(ikona powłoki)</font>");
    list->SetItemIndex(1);
    ly += 160;
    auto* combo = form->Add<THTMLComboBox>();
    combo->SetBounds(lx, ly + 160, 300, 21);
    combo->Add(L"<b>Kraków</b>  <font color=\"clGray\">tev.krakow.pl</font>");
    combo->SetItemIndex(0);
    auto* checks = form->Add<TtevHtmlCheckListBox>();
    checks->SetBounds(lx, ly, 300, 150);
    checks->Add(L"<z>a|b</z> <b>faktury.dat</b>  (12 kB) nowszy<br>jako: <a href=\"a|b\">faktury.dat</a>");
    checks->Add(L" plik w archiwum jest <b>nowszy</b>, niż na dysku");
    checks->Add(L"<b>kontrahenci.dat</b> bez zmian");
    checks->SetChecked(0, true);
    checks->SetChecked(2, true);
    checks->SetItemIndex(1);

    Show();
    // One button under the real mouse pointer shows its hot face.
    RECT g;
    GetWindowRect(green->Handle(), &g);
    SetCursorPos((g.left + g.right) / 2, (g.top + g.bottom) / 2);
    Pump();
    SendMessageW(green->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    std::wstring path = ShotPath(L"kit_demo.png");
    EXPECT_TRUE(CaptureWindowPng(form->Handle(), path)) << testing::PrintToString(path);
    EXPECT_EQ(strip->TabIndex(), 1);
    EXPECT_EQ(desc->Text(), L"Wybór plików");
    EXPECT_EQ(back->Text(), L"<< &Wstecz!");
    EXPECT_EQ(closedPanel->Height(), 1);
}

}  // namespace
