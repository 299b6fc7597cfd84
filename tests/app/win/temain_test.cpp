// The main window, for real: components, colours and a picture of it.
#include "app/win/temain.h"

#include "app/win/teabout.h"
#include "dialog_driver.h"

#include <gtest/gtest.h>

#include "backup/win/teopcjekopiizapasowych.h"
#include "net/win/teautoaktualizacja.h"
#include "support/scripted_responder.h"
#include "ui/win/timer.h"
#include "util/failure.h"
#include "support/win/capture.h"
#include "ui/win/application.h"

TEST(TeMain, ShowsTodaysDateAndTheDesignedLayout) {
    ScriptedResponder script;  // 10 December 2026
    TeMain main;
    main.Show();
    EXPECT_EQ(main.Text(), L"Archiwin");
    EXPECT_EQ(main.Width(), 269);
    EXPECT_EQ(main.Height(), 268);
    EXPECT_EQ(main.lbData->Text(), L"czwartek, 10 grudnia 2026");
    EXPECT_EQ(main.tevPanel1->GetColor(), Rgb(207, 216, 171));
    EXPECT_EQ(main.tevPanel2->GetColor(), Rgb(240, 242, 227));
    EXPECT_EQ(main.Panel5->Height(), 52);
    EXPECT_EQ(main.tevClickableLabel1->Top(), 52);
    EXPECT_EQ(main.lbData->Bounds().bottom, main.tevPanel1->Height());

    ASSERT_TRUE(CaptureWindowPng(main.Handle(), ShotPath(L"temain.png")));
    // The title strip and the date strip show their colours on screen.
    HDC dc = GetDC(main.tevPanel1->Handle());
    RECT title = main.tevClickableLabel1->PixelBounds();
    RECT date = main.lbData->PixelBounds();
    EXPECT_EQ(GetPixel(dc, title.right - 3, title.top + 2), RGB(137, 58, 58));
    EXPECT_EQ(GetPixel(dc, date.left + 2, date.top + 2), RGB(99, 141, 104));
    ReleaseDC(main.tevPanel1->Handle(), dc);
}

TEST(TeMain, MenuItemsInOrder) {
    TeMain main;
    std::vector<std::wstring> captions;
    for (auto& item : main.PopupMenu1.Items()) captions.push_back(item.caption);
    std::vector<std::wstring> expected = {L"Opcje &kopii zapasowych...", L"-", L"&Automatyczna aktualizacja...",
                                          L"&Kontakt techniczny...", L"-", L"&O programie...",
                                          L"&Zamów nasze programy...", L"-", L"Zamknij"};
    EXPECT_EQ(captions, expected);
}

TEST(TeMain, FunctionsOfLaterVersionsAnswerWithANotice) {
    ScriptedResponder script;
    TeMain main;
    for (auto& item : main.PopupMenu1.Items())
        if (item.onClick && item.name != L"Zamknij1" && item.name != L"Automatycznaaktualizacja1" &&
            item.name != L"Kontakttechniczny1" && item.name != L"Oprogramie1" &&
            item.name != L"Opcjekopiizapasowych1")
            item.onClick();
    ASSERT_EQ(script.shown.size(), 1u);
    for (auto& s : script.shown) EXPECT_EQ(s.headline[0], L'*') << s.headline;
}

// The backup options item opens the options dialog itself.
TEST(TeMain, BackupOptionsItemOpensTheDialog) {
    ScriptedResponder script;
    TeMain main;
    bool shown = false;
    Timer closer(50, true);
    closer.OnTimer = [&] {
        for (Form* f : App().Forms())
            if (auto* w = dynamic_cast<TeOpcjeKopiiZapasowych*>(f); w && w->IsModal()) {
                shown = true;
                closer.SetEnabled(false);
                w->bZamknij->Click();
            }
    };
    for (auto& item : main.PopupMenu1.Items())
        if (item.name == L"Opcjekopiizapasowych1") item.onClick();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(script.shown.empty());
}

// The update and contact items open the real wizards.
TEST(TeMain, UpdateAndContactOpenTheirWizards) {
    ScriptedResponder script;
    TeMain main;
    auto item = [&](const wchar_t* name) {
        for (auto& i : main.PopupMenu1.Items())
            if (i.name == name) return i.onClick;
        return std::function<void()>();
    };
    bool shown = false;
    Timer closer(50, true);
    closer.OnTimer = [&] {
        for (Form* f : App().Forms())
            if (auto* w = dynamic_cast<TeAutoAktualizacja*>(f); w && w->IsModal()) {
                shown = true;
                closer.SetEnabled(false);
                w->bZamknij->Click();
            }
    };
    item(L"Automatycznaaktualizacja1")();
    EXPECT_TRUE(shown);
    // The tests' executable has no version, so no build date: the contact
    // sends its user for a new version first.
    try {
        item(L"Kontakttechniczny1")();
        ADD_FAILURE() << "no refusal";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.message().ends_with(L"Data programu: -")) << f.message();
    }
}

// The header's "<b>Archiwin</b>" stands out only in the designed face: a
// stand-in face draws small bold text in grey, no heavier than the rest.
TEST(TeMain, AboutItemOpensTheAboutBox) {
    ScriptedResponder script;
    TeMain main;
    bool shown = false;
    WhenShown<TeAbout> close([&](TeAbout& about) {
        shown = true;
        about.Close();
    });
    for (auto& item : main.PopupMenu1.Items())
        if (item.name == L"Oprogramie1") item.onClick();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(script.shown.empty());
}

TEST(TeMain, DrawnInTheDesignedFace) {
    TeMain main;
    Font bold = main.GetFont();
    bold.bold = true;
    HDC dc = GetDC(main.Handle());
    HGDIOBJ old = SelectObject(dc, FontHandle(bold, main.Dpi()));
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(main.Handle(), dc);
    EXPECT_STREQ(face, L"Tahoma");
    EXPECT_EQ(metrics.tmWeight, FW_BOLD);
}
