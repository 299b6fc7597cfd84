// The main window without a mouse. Every key is typed through the system's
// input queue (support/win/keys.h), as a user types it.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/win/startup.h"
#include "app/win/teabout.h"
#include "app/win/temain.h"
#include "dialog_driver.h"
#include "support/scripted_responder.h"
#include "support/win/capture.h"
#include "support/win/keys.h"

namespace {

struct KeyboardMain : ::testing::Test {
    void SetUp() override {
        // A command's failure ("Nie wybrano żadnego pliku.") is shown as the
        // program shows it, through the script.
        InstallExceptionHandler();
        main.Show();
        SetForegroundWindow(main.Handle());
    }
    // The control that holds the keyboard, by its caption.
    std::wstring Focused() const {
        for (TtevClickableLabel* l : {main.tevClickableLabel1, main.tevClickableLabel3, main.tevClickableLabel2,
                                      main.bInne, main.lbData})
            if (l->KeyFocused()) return l->AccessibleText();
        return L"";
    }
    void Run(KeySteps& steps) {
        steps.Start();
        EXPECT_TRUE(RunMessagesUntil([&] { return steps.Done(); })) << "the keys were not all handled";
    }
    ScriptedResponder script;
    TeMain main;
};

// Tab and Shift+Tab walk the commands top to bottom and round, the arrows
// too; the focused one carries a mark on screen.
TEST_F(KeyboardMain, TabWalksTheCommandsInTheirOrderOnScreen) {
    const std::wstring date = main.lbData->Text();
    const std::vector<std::pair<std::vector<WORD>, std::wstring>> walk = {
        {{VK_TAB}, L"Archiwin"},
        {{VK_TAB}, L"Zrób kopię zapasową folderu"},
        {{VK_TAB}, L"Odtwórz kopię zapasową"},
        {{VK_TAB}, L"Inne funkcje"},
        {{VK_TAB}, date},
        {{VK_TAB}, L"Archiwin"},
        {{VK_SHIFT, VK_TAB}, date},
        {{VK_UP}, L"Inne funkcje"},
        {{VK_UP}, L"Odtwórz kopię zapasową"},
        {{VK_DOWN}, L"Inne funkcje"},
    };
    KeySteps steps;
    std::vector<std::wstring> seen;
    for (const auto& [keys, expected] : walk) {
        if (keys.size() == 1) steps.Keys({keys[0]});
        else steps.Keys({keys[0], keys[1]});
        steps.Then([&] { seen.push_back(Focused()); });
    }
    Run(steps);
    std::vector<std::wstring> expected;
    for (const auto& step : walk) expected.push_back(step.second);
    EXPECT_EQ(seen, expected);
}

TEST_F(KeyboardMain, TheFocusedCommandIsMarked) {
    TtevClickableLabel* label = main.tevClickableLabel3;
    // The pixels of the label's edge, where the mark is drawn.
    auto edge = [&] {
        HDC dc = GetDC(label->Parent()->Handle());
        RECT r = label->PixelBounds();
        std::vector<COLORREF> pixels;
        for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, r.top));
        for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, r.bottom - 1));
        ReleaseDC(label->Parent()->Handle(), dc);
        return pixels;
    };
    UpdateWindow(main.Handle());
    RedrawWindow(main.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const auto plain = edge();
    std::vector<COLORREF> marked, again;
    KeySteps steps;
    steps.Keys({VK_TAB}).Keys({VK_TAB}).Then([&] {
        RedrawWindow(main.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        marked = edge();
        CaptureWindowPng(main.Handle(), ShotPath(L"temain_keyboard.png"));
    });
    steps.Keys({VK_TAB}).Then([&] {
        RedrawWindow(main.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        again = edge();
    });
    Run(steps);
    // Without the mark the edge is of one colour (lighter under the mouse).
    auto oneColour = [](const std::vector<COLORREF>& pixels) {
        return std::all_of(pixels.begin(), pixels.end(), [&](COLORREF c) { return c == pixels.front(); });
    };
    EXPECT_TRUE(oneColour(plain));
    EXPECT_FALSE(oneColour(marked)) << "no mark on the focused command";
    EXPECT_TRUE(oneColour(again)) << "the mark stays when the focus has moved on";
}

// Enter on the focused command and the Alt letters start the commands; the
// first thing each asks for shows that it ran.
TEST_F(KeyboardMain, EnterAndAltLettersStartTheCommands) {
    const std::vector<std::pair<std::vector<WORD>, std::wstring>> cases = {
        {{VK_TAB, VK_TAB, VK_RETURN}, L"folder"},  // Zrób kopię zapasową folderu
        {{VK_TAB, VK_SPACE}, L"open"},             // Odtwórz kopię zapasową
        {{VK_MENU, 'Z'}, L"folder"},
        {{VK_MENU, 'O'}, L"open"},
    };
    for (const auto& [keys, kind] : cases) {
        script.shown.clear();
        KeySteps steps;
        if (keys[0] == VK_MENU) {
            steps.Keys({VK_MENU, keys[1]});
        } else {
            for (WORD key : keys) steps.Keys({key});
        }
        Run(steps);
        RunMessagesUntil([&] { return !script.shown.empty(); }, 2000);
        ASSERT_FALSE(script.shown.empty()) << keys.size() << " keys, nothing asked";
        EXPECT_EQ(script.shown[0].kind, kind);
    }
}

// Shift+F10 and the menu key open the popup menu, whose letters choose its
// items; Alt+I opens it from "Inne funkcje".
TEST_F(KeyboardMain, MenuKeysOpenThePopupMenu) {
    const std::vector<std::vector<WORD>> openers = {{VK_SHIFT, VK_F10}, {VK_APPS}, {VK_MENU, 'I'}};
    for (const auto& opener : openers) {
        script.shown.clear();
        KeySteps steps;
        steps.Keys({VK_TAB}).Keys({VK_TAB});
        if (opener.size() == 1) steps.Keys({opener[0]});
        else steps.Keys({opener[0], opener[1]});
        steps.Keys({'Z'});  // "Zamów nasze programy..."
        Run(steps);
        RunMessagesUntil([&] { return !script.shown.empty(); }, 2000);
        ASSERT_EQ(script.shown.size(), 1u) << "opened by key " << opener.back();
        EXPECT_NE(script.shown[0].headline.find(L"Formularz zamówienia"), std::wstring::npos);
    }
}

// A window opened from the keyboard gives the keyboard back, when it
// closes, to the command that opened it.
TEST_F(KeyboardMain, TheKeyboardComesBackAfterAWindowItOpened) {
    bool shown = false;
    WhenShown<TeAbout> close([&](TeAbout& about) {
        shown = true;
        about.Close();
    });
    KeySteps steps;
    steps.Keys({VK_TAB}).Keys({VK_TAB}).Keys({VK_APPS}).Keys({'O'});  // "O programie..."
    Run(steps);
    RunMessagesUntil([&] { return shown && !Focused().empty(); }, 5000);
    EXPECT_TRUE(shown);
    EXPECT_EQ(Focused(), L"Zrób kopię zapasową folderu");
}

}  // namespace
