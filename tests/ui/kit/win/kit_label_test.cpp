// Clickable labels and what hangs on them: drop-down menus with submenus,
// the menu's end, keys on panels, help contexts found through the parents,
// and the windowless controls as screen readers see them.
#include <gtest/gtest.h>

#include <oleacc.h>
#include <shellapi.h>

#include <memory>
#include <vector>

#include "support/win/pump.h"
#include "ui/kit/win/clickablelabel.h"
#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/htmlabel.h"
#include "ui/kit/win/markup_draw.h"
#include "ui/kit/win/markup_pictures.h"
#include "ui/kit/win/separator.h"
#include "ui/kit/win/tevpanel.h"
#include "ui/win/application.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"
#include "ui/win/helpcontext.h"
#include "ui/win/menu.h"

namespace {

// Keys typed into the next popup menu once its loop runs.
std::vector<WPARAM> menuKeys;
HWND menuKeysTo = nullptr;

void TypeIntoNextMenu(HWND window, std::vector<WPARAM> keys) {
    menuKeys = std::move(keys);
    menuKeysTo = window;
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        // Enter chooses an item through the character it types.
        for (WPARAM key : menuKeys) PostMessageW(menuKeysTo, key == VK_RETURN ? WM_CHAR : WM_KEYDOWN, key, 1);
        // A menu that did not take the keys still closes.
        PostMessageW(menuKeysTo, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageW(menuKeysTo, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageW(menuKeysTo, WM_KEYDOWN, VK_ESCAPE, 1);
    });
}

class LabelWindow : public testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<Form>(BorderStyle::None);
        form->SetColor(clWhite);
        form->SetClientSize(400, 300);
        App().OnException = [this](const std::wstring& message) { failures.push_back(message); };
        SetHelpContextHandler([this](int context, HelpKind kind) { help.push_back({context, kind}); });
    }
    void TearDown() override {
        SetHelpContextHandler(nullptr);
        App().OnException = nullptr;
        form.reset();
        // Keys a menu left unread must not reach the next test.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        }
    }
    void Show() {
        form->Show();
        UpdateWindow(form->Handle());
        Pump();
    }
    static LPARAM At(const Control* c, int dx = 3, int dy = 3) {
        RECT r = c->PixelBounds();
        return MAKELPARAM(r.left + dx, r.top + dy);
    }
    static void ClickOn(Control* c) {
        HWND h = c->Parent()->Handle();
        SendMessageW(h, WM_MOUSEMOVE, 0, At(c));
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(c));
        SendMessageW(h, WM_LBUTTONUP, 0, At(c));
    }
    // Presses a label with a menu while the menu is given these keys.
    void DropDownWithKeys(TtevClickableLabel* label, std::vector<WPARAM> keys) {
        TypeIntoNextMenu(form->Handle(), std::move(keys));
        ClickOn(label);
        Pump();
    }

    std::unique_ptr<Form> form;
    std::vector<std::wstring> failures;
    std::vector<std::pair<int, HelpKind>> help;
};

// ------------------------------------------------------------------ menus

TEST_F(LabelWindow, SubmenuItemsActThroughTheLabelOrTheirOwnHandlers) {
    PopupMenu menu;
    menu.Add(L"Wiecej1", L"Więcej");
    menu.Add(L"Zwykla1", L"Zwykła").hint = L"Zwykła|pierwszego poziomu";
    MenuItem& more = *menu.Find(L"Wiecej1");
    more.Add(L"Opis1", L"Opis").hint = L"Kopie zapasowe|Archiwum każdego folderu";
    int own = 0;
    more.Add(L"Wlasna1", L"Własna", [&] { ++own; });
    more.Add(L"Glebiej1", L"Głębiej");
    menu.Find(L"Glebiej1")->Add(L"Dno1", L"Dno").hint = L"Dno|trzeciego poziomu";

    auto* label = form->Add<TtevClickableLabel>(L"Menu");
    label->SetBounds(10, 10, 200, 20);
    label->SetDropDownMenu(&menu);
    Show();

    // Down to "Więcej", right into its submenu ("Opis"), Enter.
    DropDownWithKeys(label, {VK_DOWN, VK_RIGHT, VK_RETURN});
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], L"Kopie zapasowe\r\nArchiwum każdego folderu");
    // The second item of the submenu keeps its own handler.
    DropDownWithKeys(label, {VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    EXPECT_EQ(own, 1);
    EXPECT_EQ(failures.size(), 1u);

    // The label takes the first two levels only; an item that opens a
    // submenu gets nothing to do.
    EXPECT_FALSE(static_cast<bool>(more.onClick));
    EXPECT_TRUE(static_cast<bool>(menu.Find(L"Zwykla1")->onClick));
    EXPECT_TRUE(static_cast<bool>(menu.Find(L"Glebiej1")->onClick));
    EXPECT_FALSE(static_cast<bool>(menu.Find(L"Dno1")->onClick));
    EXPECT_NO_THROW(label->MenuItemClick(more));  // items with submenus are not acted on
}

TEST_F(LabelWindow, ShortcutsOfSubmenuItemsWorkWhileTheSubmenuCanBeReached) {
    PopupMenu menu;
    int runs = 0;
    MenuItem& sub = menu.Add(L"Widok1", L"Widok");
    sub.Add(L"Odswiez1", L"Odśwież", [&] { ++runs; }, VK_F5);
    form->AddShortcutMenu(&menu);
    MSG key{form->Handle(), WM_KEYDOWN, VK_F5, 0};
    EXPECT_TRUE(form->PreTranslate(key));
    EXPECT_EQ(runs, 1);
    sub.enabled = false;
    form->PreTranslate(key);
    EXPECT_EQ(runs, 1);
}

TEST_F(LabelWindow, ADestroyedMenuLeavesTheLabelAsWithoutOne) {
    auto menu = std::make_unique<PopupMenu>();
    menu->Add(L"a", L"Pozycja");
    auto* label = form->Add<TtevClickableLabel>(L"Z menu");
    label->SetBounds(10, 10, 200, 20);
    label->SetDropDownMenu(menu.get());
    int clicks = 0;
    label->OnClick = [&](Control*) { ++clicks; };
    Show();
    menu.reset();
    EXPECT_EQ(label->DropDownMenu(), nullptr);
    ClickOn(label);  // no menu to open: the click goes to OnClick
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(label->Role(), AccessibleRole::Button);
}

TEST_F(LabelWindow, ALabelThatGoesAwayTakesItsMenuHandlersWithIt) {
    PopupMenu menu;
    menu.Add(L"a", L"Pozycja").hint = L"Nagłówek|Treść";
    int own = 0;
    menu.Add(L"b", L"Własna", [&] { ++own; });
    auto* label = form->Add<TtevClickableLabel>(L"Z menu");
    label->SetBounds(10, 10, 200, 20);
    label->SetDropDownMenu(&menu);
    Show();
    DropDownWithKeys(label, {});
    ASSERT_TRUE(static_cast<bool>(menu.Find(L"a")->onClick));

    // Another menu for the label: the first one's items are as they were.
    PopupMenu other;
    label->SetDropDownMenu(&other);
    EXPECT_FALSE(static_cast<bool>(menu.Find(L"a")->onClick));
    EXPECT_TRUE(static_cast<bool>(menu.Find(L"b")->onClick));

    label->SetDropDownMenu(&menu);
    DropDownWithKeys(label, {});
    ASSERT_TRUE(static_cast<bool>(menu.Find(L"a")->onClick));
    form.reset();  // the label goes with its form; the menu stays
    EXPECT_FALSE(static_cast<bool>(menu.Find(L"a")->onClick));
    menu.Find(L"b")->onClick();
    EXPECT_EQ(own, 1);
}

// ------------------------------------------------------------------ panel

TEST_F(LabelWindow, PanelReportsTheKeysTypedWhileItHasTheFocus) {
    auto* edit = form->Add<Edit>();
    edit->SetBounds(10, 10, 100, 20);
    auto* panel = form->Add<TtevPanel>();
    panel->SetBounds(10, 40, 200, 80);
    std::vector<WORD> downs, ups;
    std::wstring typed;
    panel->OnKeyDown = [&](Control* sender, WORD& key, unsigned) {
        EXPECT_EQ(sender, panel);
        downs.push_back(key);
    };
    panel->OnKeyUp = [&](Control*, WORD& key, unsigned) { ups.push_back(key); };
    panel->OnKeyPress = [&](Control*, wchar_t& key) {
        typed += key;
        if (key == L'x') key = 0;
    };
    panel->SetTabStop(true);
    Show();
    edit->SetFocus();
    // Tab reaches the panel; arrows and letters then go to it, not to the
    // dialog manager.
    PostMessageW(edit->Handle(), WM_KEYDOWN, VK_TAB, 1);
    Pump();
    ASSERT_TRUE(panel->Focused());
    PostMessageW(panel->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(panel->Handle(), WM_KEYUP, VK_DOWN, 0xC0000001);
    PostMessageW(panel->Handle(), WM_KEYDOWN, 'A', 1);
    Pump();
    EXPECT_TRUE(panel->Focused());
    EXPECT_EQ(downs, (std::vector<WORD>{VK_DOWN, 'A'}));
    EXPECT_EQ(ups, (std::vector<WORD>{VK_DOWN}));
    EXPECT_EQ(typed, L"a");
}

// ------------------------------------------------------------------- help

TEST_F(LabelWindow, HelpContextComesFromTheNearestParentThatHasOne) {
    form->HelpContext = 13200;
    auto* page = form->Add<TtevPanel>();
    page->SetBounds(0, 0, 400, 200);
    auto* inPage = page->Add<Edit>();
    inPage->SetBounds(10, 10, 100, 20);
    auto* own = page->Add<Edit>();
    own->SetBounds(10, 40, 100, 20);
    own->HelpContext = 7;
    auto* helpButton = page->Add<TtevColorButton>(TtevButtonKind::bkHelp);
    helpButton->SetBounds(10, 70, 75, 25);
    Show();

    EXPECT_EQ(HelpContextOf(inPage), 13200);
    page->HelpContext = 120;
    EXPECT_EQ(HelpContextOf(inPage), 120);
    EXPECT_EQ(HelpContextOf(own), 7);

    // F1 opens the topic of the focused control's chain.
    for (Edit* focused : {inPage, own}) {
        focused->SetFocus();
        MSG f1{focused->Handle(), WM_KEYDOWN, VK_F1, 1};
        EXPECT_TRUE(form->PreTranslate(f1));
    }
    // A help button without a context of its own opens its page's.
    helpButton->Click();
    ASSERT_EQ(help.size(), 3u);
    EXPECT_EQ(help[0], std::make_pair(120, HelpKind::Topic));
    EXPECT_EQ(help[1], std::make_pair(7, HelpKind::Topic));
    EXPECT_EQ(help[2], std::make_pair(120, HelpKind::Topic));

    // Nothing on the chain: F1 is left alone.
    page->HelpContext = 0;
    form->HelpContext = 0;
    inPage->SetFocus();
    MSG f1{inPage->Handle(), WM_KEYDOWN, VK_F1, 1};
    form->PreTranslate(f1);
    EXPECT_EQ(help.size(), 3u);
}

// --------------------------------------------------------------- pictures

// The pixels a picture source draws at its natural size.
std::vector<COLORREF> PicturePixels(const std::wstring& source, HICON icon = nullptr) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r{0, 0, 32, 32};
    FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (icon) DrawIconEx(mem, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    else DrawMarkupPicture(mem, source, r, {});
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) pixels.push_back(GetPixel(mem, x, y));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

TEST(MarkupPictures, AProgramShowsItsOwnIconNotTheGenericOne) {
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring program = std::wstring(windows) + L"\\notepad.exe";
    HICON own = nullptr;
    ASSERT_EQ(ExtractIconExW(program.c_str(), 0, &own, nullptr, 1), 1u);
    MarkupSize size = MarkupPictureSize(L"lsys:" + program, {});
    EXPECT_EQ(size.width, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(size.height, GetSystemMetrics(SM_CYICON));
    std::vector<COLORREF> drawn = PicturePixels(L"lsys:" + program);
    EXPECT_EQ(drawn, PicturePixels({}, own));
    DestroyIcon(own);
    // A program that is not there gets the icon of its type.
    EXPECT_NE(drawn, PicturePixels(L"lsys:C:\\nie ma\\takiego.exe"));
    EXPECT_NE(PicturePixels(L"lsys:C:\\nie ma\\takiego.exe"), PicturePixels(L"lsys:C:\\nie ma\\"));
}

// ---------------------------------------------------------- accessibility

class Accessible : public LabelWindow {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        LabelWindow::SetUp();
    }
    void TearDown() override {
        LabelWindow::TearDown();
        CoUninitialize();
    }
    static IAccessible* ClientObject(HWND hwnd) {
        IAccessible* object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                              reinterpret_cast<void**>(&object))))
            return nullptr;
        return object;
    }
    static VARIANT Child(long id) {
        VARIANT v;
        v.vt = VT_I4;
        v.lVal = id;
        return v;
    }
    static std::wstring Name(IAccessible* object, long id) {
        BSTR name = nullptr;
        if (object->get_accName(Child(id), &name) != S_OK || !name) return L"(brak)";
        std::wstring text(name, SysStringLen(name));
        SysFreeString(name);
        return text;
    }
    static long Long(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object, long id) {
        VARIANT v;
        VariantInit(&v);
        if ((object->*get)(Child(id), &v) != S_OK || v.vt != VT_I4) return -1;
        return v.lVal;
    }
};

TEST_F(Accessible, WindowlessControlsAreChildrenOfTheirWindowsObject) {
    auto* text = form->Add<THTMLabel>(L"<b>Kopia</b> folderu &amp; <a href=\"x\">więcej</a><z>C:\\ukryte</z>");
    text->SetBounds(10, 10, 300, 20);
    auto* link = form->Add<TtevClickableLabel>(L"&Zrób kopię");
    link->SetBounds(10, 40, 200, 20);
    link->DotLeft = true;
    link->OnClick = [](Control*) {};
    form->Add<TtevSeparator>();  // no text: left out
    auto* button = form->Add<Button>(L"OK");
    button->SetBounds(10, 100, 75, 25);
    auto* twoParts = form->Add<TtevClickableLabel>(L"Kopie|ostatnie 5");
    twoParts->SetBounds(10, 130, 200, 20);
    twoParts->SetEnabled(false);
    auto* info = form->Add<TTevInfoLabel>();
    info->SetBounds(220, 40, 17, 15);
    PopupMenu menu;
    auto* withMenu = form->Add<TtevClickableLabel>(L"Inne funkcje");
    withMenu->SetBounds(10, 160, 200, 20);
    withMenu->SetDropDownMenu(&menu);
    auto* hidden = form->Add<TtevClickableLabel>(L"Ukryta");
    hidden->SetVisible(false);
    Show();

    IAccessible* object = ClientObject(form->Handle());
    ASSERT_NE(object, nullptr);
    long count = 0;
    ASSERT_EQ(object->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 6);

    struct Expected {
        std::wstring name;
        long role;
        long state;
    };
    const Expected expected[] = {
        {L"Kopia folderu & więcej", ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY},
        {L"Zrób kopię", ROLE_SYSTEM_LINK, STATE_SYSTEM_LINKED},
        {L"", 0, 0},  // the button: an object of its own, below
        {L"Kopie ostatnie 5", ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY | STATE_SYSTEM_UNAVAILABLE},
        {L"?", ROLE_SYSTEM_PUSHBUTTON, 0},
        {L"Inne funkcje", ROLE_SYSTEM_BUTTONMENU, STATE_SYSTEM_HASPOPUP},
    };
    for (long id = 1; id <= count; ++id) {
        const Expected& e = expected[id - 1];
        SCOPED_TRACE(e.name);
        if (e.name.empty()) continue;
        EXPECT_EQ(Name(object, id), e.name);
        EXPECT_EQ(Long(&IAccessible::get_accRole, object, id), e.role);
        EXPECT_EQ(Long(&IAccessible::get_accState, object, id), e.state);
    }

    // As tools list children: the button as an object, the rest as ids.
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long obtained = 0;
    ASSERT_EQ(AccessibleChildren(object, 0, count, children.data(), &obtained), S_OK);
    ASSERT_EQ(obtained, count);
    for (long i = 0; i < count; ++i) {
        EXPECT_EQ(children[static_cast<size_t>(i)].vt, i == 2 ? VT_DISPATCH : VT_I4) << i;
        if (children[static_cast<size_t>(i)].vt == VT_I4) {
            EXPECT_EQ(children[static_cast<size_t>(i)].lVal, i + 1);
        }
        VariantClear(&children[static_cast<size_t>(i)]);
    }

    // The windowed child is an object of its own; the windowless ones are not.
    IDispatch* child = nullptr;
    EXPECT_EQ(object->get_accChild(Child(3), &child), S_OK);
    ASSERT_NE(child, nullptr);
    child->Release();
    EXPECT_EQ(object->get_accChild(Child(2), &child), S_FALSE);
    EXPECT_EQ(object->get_accChild(Child(7), &child), E_INVALIDARG);

    // Where a control is on screen, and which one is at a point.
    long left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(object->accLocation(&left, &top, &width, &height, Child(2)), S_OK);
    RECT r = link->PixelBounds();
    POINT corner{r.left, r.top};
    ClientToScreen(form->Handle(), &corner);
    EXPECT_EQ(left, corner.x);
    EXPECT_EQ(top, corner.y);
    EXPECT_EQ(width, r.right - r.left);
    EXPECT_EQ(height, r.bottom - r.top);
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(object->accHitTest(left + 5, top + 5, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, 2);
    object->Release();
}

TEST_F(Accessible, ObjectOutlivingItsWindowSaysSo) {
    auto* panel = form->Add<TtevPanel>();
    panel->SetBounds(0, 0, 200, 100);
    auto* label = panel->Add<TtevClickableLabel>(L"Zwiń");
    label->SetBounds(0, 0, 200, 20);
    label->FocusControl = panel;
    Show();
    IAccessible* object = ClientObject(panel->Handle());
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(Name(object, 1), L"Zwiń");
    EXPECT_EQ(Long(&IAccessible::get_accRole, object, 1), ROLE_SYSTEM_PUSHBUTTON);
    form.reset();
    long count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), RPC_E_DISCONNECTED);
    EXPECT_EQ(Name(object, 1), L"(brak)");
    object->Release();
}

}  // namespace
