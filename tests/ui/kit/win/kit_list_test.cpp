// The kit's HTML lists and plain tab set on real windows: check states,
// items of several lines, blinking text, item heights across resizes, and
// the wizard button on a tab set. kit_lists.png shows them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <set>

#include "support/win/capture.h"
#include "support/win/pump.h"
#include "ui/kit/markup.h"
#include "ui/kit/win/dalejwstecz.h"
#include "ui/kit/win/htmlistbox.h"
#include "ui/kit/win/tabset.h"
#include "ui/kit/win/tabsetflat.h"
#include "ui/win/form.h"

namespace {

// The pixels of one drawing of a list item, row by row.
struct Drawing {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    // The colours found in a part of the drawing.
    std::set<COLORREF> Colours(const RECT& r) const {
        std::set<COLORREF> found;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) found.insert(At(x, y));
        return found;
    }
    std::vector<COLORREF> Part(const RECT& r) const {
        std::vector<COLORREF> part;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) part.push_back(At(x, y));
        return part;
    }
};

Drawing DrawListItem(THTMListbox* list, int index, UINT state = 0) {
    RECT item;
    SendMessageW(list->Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    Drawing d{item.right - item.left, item.bottom - item.top, {}};
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, d.width, d.height);
    HGDIOBJ old = SelectObject(mem, bmp);
    DRAWITEMSTRUCT draw{ODT_LISTBOX, 0, static_cast<UINT>(index), ODA_DRAWENTIRE, state, list->Handle(), mem,
                        {0, 0, d.width, d.height}, 0};
    list->DrawItem(&draw);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) d.pixels.push_back(GetPixel(mem, x, y));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return d;
}

int ItemHeight(THTMListbox* list, int index) {
    return static_cast<int>(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0));
}

// What the list should give an item: its markup laid out in the width it is
// drawn in, plus the list's margin.
int ExpectedHeight(THTMListbox* list, const std::wstring& markup, int markupWidth, int extra) {
    ScreenDC dc;
    MarkupPaint paint;
    paint.font = list->GetFont();
    paint.dpi = list->Dpi();
    return MeasureMarkup(dc, markup, {0, 0, markupWidth, 4096}, paint).cy + extra;
}

int ClientWidth(WinControl* c) {
    RECT r;
    GetClientRect(c->Handle(), &r);
    return r.right;
}

class ListWindow : public testing::Test {
protected:
    void SetUp() override {
        // Unframed: without a window manager Wine waits for framed windows
        // that go away.
        form = std::make_unique<Form>(BorderStyle::None);
        form->SetColor(clWhite);
        form->SetClientSize(640, 480);
    }
    void Show() {
        form->Show();
        UpdateWindow(form->Handle());
        Pump();
    }
    static void ClickAt(WinControl* c, int x, int y) {
        SendMessageW(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(c->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    // A click on the check box of an item.
    static void ClickCheck(TtevHtmlCheckListBox* list, int index) {
        RECT r;
        SendMessageW(list->Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        ClickAt(list, list->Px(9), r.top + list->Px(8));
    }
    std::unique_ptr<Form> form;
};

// ------------------------------------------------------------- check states

TEST_F(ListWindow, CheckBoxesCycleThroughTheirStatesOnlyWhenEnabled) {
    auto* list = form->Add<TtevHtmlCheckListBox>();
    list->SetBounds(10, 10, 400, 300);
    for (int i = 0; i < 3; ++i) list->Add(L"<b>plik " + std::to_wstring(i) + L".dat</b>");
    int notices = 0;
    list->OnClickCheck = [&](Control*) { ++notices; };
    Show();
    using S = TCheckBoxState;

    struct Case {
        bool allowGrayed;
        S from;
        S after;
    } cases[] = {
        {false, S::cbUnchecked, S::cbChecked}, {false, S::cbChecked, S::cbUnchecked}, {false, S::cbGrayed, S::cbChecked},
        {true, S::cbUnchecked, S::cbChecked},  {true, S::cbChecked, S::cbGrayed},     {true, S::cbGrayed, S::cbUnchecked},
    };
    for (const Case& c : cases) {
        list->AllowGrayed = c.allowGrayed;
        list->SetState(0, c.from);
        ClickCheck(list, 0);
        EXPECT_EQ(list->State(0), c.after) << c.allowGrayed << " " << static_cast<int>(c.from);
        // The Space key does the same to the current item.
        list->SetState(0, c.from);
        list->SetItemIndex(0);
        SendMessageW(list->Handle(), WM_KEYDOWN, VK_SPACE, 0);
        EXPECT_EQ(list->State(0), c.after);
    }
    EXPECT_EQ(notices, 12);

    // Program changes tell nobody; a grayed box is not a checked one.
    notices = 0;
    list->SetState(1, S::cbGrayed);
    list->SetChecked(2, true);
    list->SetState(0, S::cbUnchecked);
    EXPECT_FALSE(list->Checked(1));
    EXPECT_EQ(list->CheckedCount(), 1);
    list->SetChecked(1, false);
    EXPECT_EQ(list->State(1), S::cbUnchecked);

    // A disabled item keeps its state against the mouse and the Space key.
    list->SetItemEnabled(2, false);
    ClickCheck(list, 2);
    list->SetItemIndex(2);
    SendMessageW(list->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(list->Checked(2));
    EXPECT_EQ(notices, 0);
    // The program still sets it.
    list->SetChecked(2, false);
    EXPECT_FALSE(list->Checked(2));
    list->SetItemEnabled(2, true);
    ClickCheck(list, 2);
    EXPECT_TRUE(list->Checked(2));
    EXPECT_EQ(notices, 1);

    // Indexes outside the list read as unchecked, enabled nothing, and are ignored.
    list->SetState(7, S::cbChecked);
    EXPECT_EQ(list->State(7), S::cbUnchecked);
    EXPECT_FALSE(list->ItemEnabled(-1));
}

TEST_F(ListWindow, StatesStayWithTheirItemsWhenSortedItemsMove) {
    auto* list = form->Add<TtevHtmlCheckListBox>();
    list->Sorted = true;
    list->Add(L"<z>c</z>trzeci");
    list->SetState(0, TCheckBoxState::cbGrayed);
    list->SetItemEnabled(0, false);
    list->Add(L"<z>a</z>pierwszy");
    list->Add(L"<z>b</z>drugi");
    EXPECT_EQ(list->State(2), TCheckBoxState::cbGrayed);
    EXPECT_FALSE(list->ItemEnabled(2));
    EXPECT_TRUE(list->ItemEnabled(0));
    list->Delete(0);
    EXPECT_EQ(list->State(1), TCheckBoxState::cbGrayed);
    list->Clear();
    EXPECT_EQ(list->CheckedCount(), 0);
    EXPECT_EQ(list->Add(L"nowy"), 0);
    EXPECT_TRUE(list->ItemEnabled(0));
    EXPECT_EQ(list->State(0), TCheckBoxState::cbUnchecked);
}

TEST_F(ListWindow, ChecksChangedWhileDrawingIsOffShowWhenItIsOn) {
    auto* list = form->Add<TtevHtmlCheckListBox>();
    list->SetBounds(10, 10, 300, 200);
    list->Add(L"<b>jeden</b>");
    list->Add(L"<b>dwa</b>");
    Show();
    UpdateWindow(list->Handle());
    RECT dirty;
    ASSERT_FALSE(GetUpdateRect(list->Handle(), &dirty, FALSE));
    SendMessageW(list->Handle(), WM_SETREDRAW, FALSE, 0);
    list->SetChecked(1, true);
    list->SetState(0, TCheckBoxState::cbGrayed);
    SendMessageW(list->Handle(), WM_SETREDRAW, TRUE, 0);
    RECT second;
    SendMessageW(list->Handle(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    ASSERT_TRUE(GetUpdateRect(list->Handle(), &dirty, FALSE));
    EXPECT_LE(dirty.top, 0);
    EXPECT_GE(dirty.bottom, second.bottom);
}

TEST_F(ListWindow, DisabledItemsDrawGreyAndTheirLinksDoNothing) {
    auto* list = form->Add<TtevHtmlCheckListBox>();
    list->SetBounds(10, 10, 400, 300);
    const std::wstring item = L"<a href=\"porównaj|a.dat\">porównaj plik a.dat z plikiem na dysku</a>";
    list->Add(item);
    list->Add(item);
    list->SetItemEnabled(1, false);
    std::vector<int> clicks;
    list->OnAnchorClick = [&](Control*, int index, const std::wstring&) { clicks.push_back(index); };
    Show();

    // Unchecked, checked, grayed and disabled boxes look different.
    const int box = list->Px(18);
    RECT boxArea{0, 0, box, list->Px(18)};
    std::set<std::vector<COLORREF>> looks;
    for (TCheckBoxState s : {TCheckBoxState::cbUnchecked, TCheckBoxState::cbChecked, TCheckBoxState::cbGrayed}) {
        list->SetState(0, s);
        looks.insert(DrawListItem(list, 0).Part(boxArea));
        list->SetState(1, s);
        looks.insert(DrawListItem(list, 1).Part(boxArea));
    }
    EXPECT_EQ(looks.size(), 6u);

    // The text of an enabled item is black, of a disabled one grey.
    Drawing enabled = DrawListItem(list, 0), disabled = DrawListItem(list, 1);
    RECT text{box, 0, enabled.width, enabled.height};
    EXPECT_TRUE(enabled.Colours(text).count(RGB(0, 0, 0)));
    EXPECT_FALSE(disabled.Colours(text).count(RGB(0, 0, 0)));
    EXPECT_TRUE(disabled.Colours(text).count(ColorToRgb(clGrayText)));

    std::vector<int> entered;
    list->OnAnchorEnter = [&](Control*, int index, const std::wstring&) { entered.push_back(index); };
    for (int i = 0; i < 2; ++i) {
        RECT r;
        SendMessageW(list->Handle(), LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        SendMessageW(list->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(box + list->Px(20), r.top + list->Px(8)));
        ClickAt(list, box + list->Px(20), r.top + list->Px(8));
    }
    EXPECT_EQ(clicks, std::vector<int>{0});
    EXPECT_EQ(entered, std::vector<int>{0});
}

// ------------------------------------------------------ several lines, blink

TEST_F(ListWindow, MultilineItemsBreakAtTheirLineEnds) {
    auto* list = form->Add<TtevHTMListbox>();
    list->SetBounds(10, 10, 400, 300);
    const std::wstring twoLines = L"<z>c:\\dane\r\nukryte</z>pierwszy wiersz\r\ndrugi wiersz";
    list->Add(twoLines);
    list->Add(L"jeden wiersz");
    const int width = ClientWidth(list);
    EXPECT_EQ(ItemHeight(list, 0), ExpectedHeight(list, L"pierwszy wiersz drugi wiersz", width, 4));

    // Switched on after the items were added: they are measured again.
    list->SetMultiline(true);
    const int two = ExpectedHeight(list, L"pierwszy wiersz<br>drugi wiersz", width, 4);
    EXPECT_EQ(ItemHeight(list, 0), two);
    EXPECT_EQ(ItemHeight(list, 1), ExpectedHeight(list, L"jeden wiersz", width, 4));
    EXPECT_GT(two, ItemHeight(list, 1));
    list->Add(L"trzy\nwiersze\rtutaj");
    EXPECT_EQ(ItemHeight(list, 2), ExpectedHeight(list, L"trzy<br>wiersze<br>tutaj", width, 4));
    // The item's text and its hidden data stay as they were given.
    EXPECT_EQ(list->Item(0), twoLines);
}

TEST_F(ListWindow, BlinkingTextComesAndGoesWithTheTimer) {
    auto* list = form->Add<TtevHTMListbox>();
    list->SetBounds(10, 10, 400, 300);
    list->SetColor(clWhite);
    list->Add(L"<blink><b>UWAGA</b></blink>");
    list->Add(L"<b>UWAGA</b>");
    Show();
    RECT text{0, 0, 60, ItemHeight(list, 0)};
    auto black = [&](int index) { return DrawListItem(list, index).Colours(text).count(RGB(0, 0, 0)) > 0; };
    EXPECT_TRUE(black(0));
    EXPECT_FALSE(list->EnableBlink());

    list->SetEnableBlink(true);
    auto waitFor = [&](bool phase) {
        for (int i = 0; i < 200 && list->BlinkPhase() != phase; ++i) Pump();
        return list->BlinkPhase() == phase;
    };
    ASSERT_TRUE(waitFor(true));
    EXPECT_FALSE(black(0));
    EXPECT_TRUE(black(1));  // nothing blinks there
    // In a blink colour of its own the text changes colour instead.
    list->BlinkColor = Rgb(255, 0, 0);
    EXPECT_TRUE(DrawListItem(list, 0).Colours(text).count(RGB(255, 0, 0)));
    ASSERT_TRUE(waitFor(false));
    EXPECT_TRUE(black(0));

    // Switched off in the blink phase: steady text again.
    ASSERT_TRUE(waitFor(true));
    list->SetEnableBlink(false);
    EXPECT_FALSE(list->BlinkPhase());
    EXPECT_TRUE(black(0));
}

// ------------------------------------------------------------ item heights

TEST_F(ListWindow, HeightsFollowTheWidthAndTheFont) {
    auto* list = form->Add<TtevHtmlCheckListBox>();
    list->SetBounds(10, 10, 500, 300);
    const std::vector<std::wstring> items = {
        L"<z>c:\\dane\\faktury.dat|faktury.dat</z> <b>faktury.dat</b>  (12 kB) 10.12.2026 - plik w archiwum jest "
        L"<b>nowszy</b><br>jako: <a href=\"c:\\dane\\faktury.dat|faktury.dat\">faktury.dat</a>",
        L"<b>krótki.dat</b>",
        L"<p align=\"right\">po prawej stronie listy, ale wystarczająco długi, by się zawinąć</p>",
    };
    for (const std::wstring& item : items) list->Add(item);
    Show();
    auto check = [&](const char* when) {
        // The text's width: the client's less the box and the room after it.
        const int width = ClientWidth(list) - list->Px(18) - list->Px(2);
        for (int i = 0; i < list->Count(); ++i)
            EXPECT_EQ(ItemHeight(list, i), ExpectedHeight(list, items[static_cast<size_t>(i)], width, 8))
                << when << ": item " << i << " at " << width;
    };
    check("at first");
    const int wide = ItemHeight(list, 0);
    for (int width : {300, 180, 120, 500, 180}) {
        list->SetWidth(width);
        check("after a resize");
    }
    EXPECT_GT(ItemHeight(list, 0), wide);  // 180 pixels: the long line wraps
    // Only the height changes: nothing to measure, nothing changes.
    list->SetHeight(120);
    check("after a change of height");
    Font big = list->GetFont();
    big.size = 14;
    list->SetFont(big);
    check("with a bigger font");
}

// The vertical scroll bar comes with the item that no longer fits and goes
// with the deletion that makes everything fit: in the middle of the list
// box's own work, while it and the items disagree, the width changes and
// items wrap or unwrap. Items of two heights, added and deleted at the top,
// show heights given to the wrong items.
TEST_F(ListWindow, ItemsFollowTheScrollBarThatComesAndGoes) {
    auto* list = form->Add<TtevHTMListbox>();
    const std::wstring wrapping = L"<b>pozycja</b> listy, która ledwo się mieści", one = L"krótka";
    ScreenDC dc;
    MarkupPaint paint;
    paint.font = list->GetFont();
    paint.dpi = list->Dpi();
    const int natural = MeasureMarkup(dc, wrapping, {0, 0, 4096, 4096}, paint).cx;
    list->SetBounds(10, 10, list->Units(natural + 4) + 4, 150);
    Show();
    const int wide = ClientWidth(list);
    ASSERT_GE(wide, natural);
    auto check = [&](const char* when) {
        const int width = ClientWidth(list);
        for (int i = 0; i < list->Count(); ++i)
            EXPECT_EQ(ItemHeight(list, i), ExpectedHeight(list, list->Item(i), width, 4)) << when << ": item " << i << " at " << width;
    };
    for (int i = 0; i < 12; ++i) list->Insert(0, i % 2 ? one : wrapping);
    ASSERT_LT(ClientWidth(list), natural);  // the scroll bar is there
    check("with the scroll bar");
    EXPECT_GT(ItemHeight(list, 1), ExpectedHeight(list, wrapping, wide, 4));
    while (list->Count() > 2) list->Delete(0);
    ASSERT_EQ(ClientWidth(list), wide);
    check("without it");
}

TEST_F(ListWindow, AListWithoutAFrameGivesItsItemsTheRoom) {
    auto* list = form->Add<TtevHTMListbox>();
    list->SetBounds(10, 10, 200, 100);
    const std::wstring item = L"pozycja listy dość długa, by się zawinąć w dwóch wierszach";
    list->Add(item);
    Show();
    const int framed = ClientWidth(list);
    list->SetFramed(false);
    EXPECT_FALSE(GetWindowLongPtrW(list->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(ClientWidth(list), list->Px(200));
    EXPECT_GT(ClientWidth(list), framed);
    EXPECT_EQ(ItemHeight(list, 0), ExpectedHeight(list, item, ClientWidth(list), 4));
    list->SetFramed(true);
    EXPECT_EQ(ClientWidth(list), framed);
}

TEST_F(ListWindow, ListsScrollSidewaysOnlyWithScrollHorizontalAndAWideItem) {
    auto* list = form->Add<TtevHTMListbox>();
    list->SetBounds(10, 10, 200, 200);
    list->Add(L"krótki");
    const std::wstring wide = L"<b>bardzo długa pozycja listy, która nie mieści się w jej szerokości</b>";
    list->Add(wide);
    Show();
    auto extent = [&] { return static_cast<int>(SendMessageW(list->Handle(), LB_GETHORIZONTALEXTENT, 0, 0)); };
    auto bar = [&] { return (GetWindowLongPtrW(list->Handle(), GWL_STYLE) & WS_HSCROLL) != 0; };
    EXPECT_EQ(extent(), 0);
    EXPECT_FALSE(bar());
    EXPECT_GT(ItemHeight(list, 1), ItemHeight(list, 0));  // wrapped

    // Switched on with the items there: laid out on one line, scrolled to.
    list->SetScrollHorizontal(true);
    ScreenDC dc;
    MarkupPaint paint;
    paint.font = list->GetFont();
    paint.dpi = list->Dpi();
    EXPECT_EQ(extent(), MeasureMarkup(dc, wide, {0, 0, 4096, 4096}, paint).cx + 6);
    EXPECT_TRUE(bar());
    EXPECT_EQ(ItemHeight(list, 1), ItemHeight(list, 0));
    // Without the wide item everything fits: no scroll bar.
    list->Delete(1);
    EXPECT_EQ(extent(), 0);
    EXPECT_FALSE(bar());
    list->Add(wide);
    EXPECT_TRUE(bar());
    list->SetScrollHorizontal(false);
    EXPECT_EQ(extent(), 0);
    EXPECT_FALSE(bar());
    EXPECT_GT(ItemHeight(list, 1), ItemHeight(list, 0));
}

// A measured run (not part of the suite; --gtest_also_run_disabled_tests):
// ten thousand items in the restore list's form filled into a check list,
// half of them checked, then the list resized. Prints the times.
void FillAndResize(Form& form, TtevHtmlCheckListBox* list, const char* label) {
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); };
    list->SetBounds(0, 0, 500, 400);
    form.Show();
    Pump();
    std::vector<std::wstring> items;
    for (int i = 0; i < 10000; ++i) {
        std::wstring n = std::to_wstring(i);
        items.push_back(L"<z>" + n + L"</z>katalog " + std::to_wstring(i / 100) + L"\\<b>plik " + n +
                        L".txt</b> (1,2 kB, 10 grudnia 2026 12:00)<br> <b>nowy plik</b>");
    }
    auto t = Clock::now();
    SendMessageW(list->Handle(), WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < 10000; ++i) list->SetChecked(list->Add(items[static_cast<size_t>(i)]), i % 2 == 0);
    SendMessageW(list->Handle(), WM_SETREDRAW, TRUE, 0);
    UpdateWindow(list->Handle());
    std::printf("%s: 10000 items added, half of them checked, in %.2f s\n", label, seconds(t));
    t = Clock::now();
    for (int width : {480, 500, 460, 520, 500, 300, 500}) {
        list->SetWidth(width);
        UpdateWindow(list->Handle());
    }
    std::printf("%s: 7 resizes (one to 300 pixels, where items wrap) drawn in %.2f s\n", label, seconds(t));
}

TEST_F(ListWindow, DISABLED_TenThousandItemsFilledAndResized) {
    auto* sorted = form->Add<TtevHtmlCheckListBox>();
    sorted->Sorted = true;
    FillAndResize(*form, sorted, "sorted");
    auto other = std::make_unique<Form>(BorderStyle::None);
    FillAndResize(*other, other->Add<TtevHtmlCheckListBox>(), "in order");
    // What a resize cost when every item was measured again with a screen DC.
    using Clock = std::chrono::steady_clock;
    auto t = Clock::now();
    int total = 0;
    for (const std::wstring& item : sorted->Items()) total += ExpectedHeight(sorted, item, ClientWidth(sorted) - sorted->Px(18), 8);
    std::printf("one measuring of 10000 items with a screen DC: %.2f s (%d)\n",
                std::chrono::duration<double>(Clock::now() - t).count(), total);
}

// ------------------------------------------------------------- plain tab set

TEST_F(ListWindow, TabSetIndexRules) {
    auto* tabs = form->Add<TtevTabSet>();
    tabs->SetBounds(10, 10, 300, 24);
    EXPECT_EQ(tabs->TabIndex(), -1);
    tabs->SetTabs({L"Pierwsza", L"Druga", L"Trzecia"});
    EXPECT_EQ(tabs->TabIndex(), 0);
    std::vector<int> asked;
    int clicks = 0;
    bool refuse = false;
    tabs->OnChange = [&](Control*, int tab, bool& allow) {
        asked.push_back(tab);
        allow = !refuse;
    };
    tabs->OnClick = [&](Control*) { ++clicks; };
    Show();

    tabs->SetTabIndex(2);
    tabs->SetTabIndex(2);   // the same: nothing asked
    tabs->SetTabIndex(3);   // past the end: ignored
    tabs->SetTabIndex(-2);  // ignored
    EXPECT_EQ(tabs->TabIndex(), 2);
    refuse = true;
    tabs->SetTabIndex(1);
    EXPECT_EQ(tabs->TabIndex(), 2);
    EXPECT_EQ(asked, (std::vector<int>{2, 1}));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(SendMessageW(tabs->Handle(), TCM_GETCURSEL, 0, 0), 2);

    // A click on a tab: refused first, then allowed.
    RECT first;
    SendMessageW(tabs->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    ClickAt(tabs, (first.left + first.right) / 2, (first.top + first.bottom) / 2);
    EXPECT_EQ(tabs->TabIndex(), 2);
    EXPECT_EQ(SendMessageW(tabs->Handle(), TCM_GETCURSEL, 0, 0), 2);
    refuse = false;
    ClickAt(tabs, (first.left + first.right) / 2, (first.top + first.bottom) / 2);
    EXPECT_EQ(tabs->TabIndex(), 0);
    EXPECT_EQ(clicks, 2);

    // New tabs keep the current one while it exists.
    tabs->SetTabIndex(1);
    tabs->SetTabs({L"A", L"B"});
    EXPECT_EQ(tabs->TabIndex(), 1);
    tabs->SetTabs({L"A"});
    EXPECT_EQ(tabs->TabIndex(), 0);
    tabs->SetTabs({});
    EXPECT_EQ(tabs->TabIndex(), -1);
}

class TabSetWizard : public ListWindow {
protected:
    TtevTabSet* AddTabs(int count) {
        auto* tabs = form->Add<TtevTabSet>();
        std::vector<std::wstring> names;
        for (int i = 0; i < count; ++i) names.push_back(L"Krok " + std::to_wstring(i + 1));
        tabs->SetTabs(names);
        return tabs;
    }
};

TEST_F(TabSetWizard, ButtonsMoveATabSetWhenThereIsNoFlatStrip) {
    TtevTabSet* first = AddTabs(2);
    TtevTabSet* last = AddTabs(3);
    auto* next = form->Add<TtevDalejWsteczButton>(TtevDAlejWstecz::dwDalej);
    auto* back = form->Add<TtevDalejWsteczButton>(TtevDAlejWstecz::dwWstecz);
    next->Loaded();
    back->Loaded();
    // The last tab set of the window.
    EXPECT_EQ(next->GetTabInfo().count, 3);
    next->Click();
    EXPECT_EQ(last->TabIndex(), 1);
    EXPECT_EQ(back->Text(), L"<< &Wstecz!");
    next->Click();
    EXPECT_EQ(next->Text(), L"&Zakończ");
    back->Click();
    EXPECT_EQ(last->TabIndex(), 1);
    EXPECT_EQ(first->TabIndex(), 0);

    // The button's own tab set before the last one.
    next->SetTabSet(first);
    TtevTabInfo info = next->GetTabInfo();
    EXPECT_EQ(info.count, 2);
    EXPECT_TRUE(info.first);
    next->Click();
    EXPECT_EQ(first->TabIndex(), 1);
    EXPECT_TRUE(next->GetTabInfo().last);

    // A tab set that refuses keeps its page.
    first->OnChange = [](Control*, int, bool& allow) { allow = false; };
    next->SetTabSet(last);
    first->SetTabIndex(0);
    EXPECT_EQ(first->TabIndex(), 1);
}

TEST_F(TabSetWizard, AFlatStripComesFirstAndDestroyedStripsAreForgotten) {
    TtevTabSet* tabs = AddTabs(4);
    auto* next = form->Add<TtevDalejWsteczButton>(TtevDAlejWstecz::dwDalej);
    next->SetTabSet(tabs);
    // A flat strip on the window wins over the button's tab set.
    auto* flat = form->Add<TtevTabSetFlat>();
    flat->SetItems({L"Jeden", L"Dwa"});
    EXPECT_EQ(next->GetTabInfo().count, 2);
    next->Click();
    EXPECT_EQ(flat->TabIndex(), 1);
    EXPECT_EQ(tabs->TabIndex(), 0);

    // Strips on another window, which goes away: the button forgets them.
    auto other = std::make_unique<Form>(BorderStyle::None);
    auto* otherFlat = other->Add<TtevTabSetFlat>();
    otherFlat->SetItems({L"a", L"b", L"c", L"d", L"e"});
    auto* otherTabs = other->Add<TtevTabSet>();
    otherTabs->SetTabs({L"x", L"y", L"z"});
    next->SetTabSetFlat(otherFlat);
    next->SetTabSet(otherTabs);
    EXPECT_EQ(next->GetTabInfo().count, 5);
    other.reset();
    EXPECT_EQ(next->TabSetFlat(), nullptr);
    EXPECT_EQ(next->TabSet(), nullptr);
    EXPECT_EQ(next->GetTabInfo().count, 2);  // the window's own flat strip again
}

// -------------------------------------------------------------- the picture

TEST_F(ListWindow, ListsScreenshot) {
    form->SetClientSize(640, 300);
    auto* checks = form->Add<TtevHtmlCheckListBox>();
    checks->SetBounds(8, 8, 300, 200);
    checks->AllowGrayed = true;
    const wchar_t* names[] = {L"niezaznaczony", L"zaznaczony", L"częściowo", L"wyłączony", L"wyłączony, zaznaczony"};
    for (const wchar_t* name : names)
        checks->Add(std::wstring(L"<b>") + name + L"</b><br>plik.dat <a href=\"porównaj|plik.dat\">porównaj</a>");
    checks->SetChecked(1, true);
    checks->SetState(2, TCheckBoxState::cbGrayed);
    checks->SetItemEnabled(3, false);
    checks->SetChecked(4, true);
    checks->SetItemEnabled(4, false);
    checks->SetItemIndex(1);

    auto* list = form->Add<TtevHTMListbox>();
    list->SetBounds(320, 8, 312, 200);
    list->SetMultiline(true);
    list->Add(L"<b>Pozycja w dwóch wierszach</b>\r\nz końcem wiersza w tekście");
    list->Add(L"<blink><font color=\"clRed\">migający tekst</font></blink> obok zwykłego");
    list->Add(L"Długa pozycja, która zawija się w szerokości listy, bo nie mieści się w jednym wierszu");

    auto* tabs = form->Add<TtevTabSet>();
    tabs->SetBounds(8, 220, 300, 24);
    tabs->SetTabs({L"Wybór plików", L"Pobieranie", L"Koniec"});
    auto* next = form->Add<TtevDalejWsteczButton>(TtevDAlejWstecz::dwDalej);
    next->SetBounds(320, 220, 100, 25);
    next->Loaded();
    next->Click();
    Show();
    EXPECT_TRUE(CaptureWindowPng(form->Handle(), ShotPath(L"kit_lists.png")));
}

}  // namespace
