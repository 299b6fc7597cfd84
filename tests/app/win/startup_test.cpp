#include "app/win/startup.h"

#include <gtest/gtest.h>

#include "app/win/instance.h"
#include "app/win/placement.h"
#include "app/win/stdcolors.h"
#include "interact/ask.h"
#include "support/scripted_responder.h"
#include "ui/win/application.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"
#include "util/failure.h"
#include "util/win/identity.h"

TEST(Startup, WindowSwitchesMatchAnywhereInTheirOrder) {
    struct Case {
        const wchar_t* commandLine;
        WindowSwitch expected;
    } cases[] = {
        {L"archiwin.exe", WindowSwitch::None},
        {L"archiwin.exe /kolorystandardowe /pierwszyraz", WindowSwitch::None},
        {L"\"C:\\Programy\\/about\\archiwin.exe\"", WindowSwitch::About},
        {L"archiwin.exe /PIERWSZYKROK", WindowSwitch::PierwszyKrok},
        {L"archiwin.exe /vorozide /about", WindowSwitch::About},
        {L"archiwin.exe /kopiezapasowe /instaluj", WindowSwitch::Instaluj},
        {L"archiwin.exe /Ustawienia /kopiezapasowe", WindowSwitch::Ustawienia},
        {L"archiwin.exe /KopieZapasowe", WindowSwitch::KopieZapasowe},
        {L"archiwin.exe /vorozide", WindowSwitch::Vorozide},
    };
    for (auto& c : cases) EXPECT_EQ(FindWindowSwitch(c.commandLine), c.expected) << c.commandLine;
}

TEST(Startup, StandardColorsOnLowColourDisplaysOrBySwitch) {
    EXPECT_TRUE(StandardColorsWanted(8, L"archiwin.exe"));
    EXPECT_TRUE(StandardColorsWanted(15, L"archiwin.exe"));
    EXPECT_FALSE(StandardColorsWanted(16, L"archiwin.exe"));
    EXPECT_FALSE(StandardColorsWanted(32, L"archiwin.exe"));
    EXPECT_TRUE(StandardColorsWanted(32, L"archiwin.exe /KoloryStandardowe"));
}

TEST(Startup, StandardColorsReachEveryControl) {
    Form form;
    form.SetColor(clWhite);
    auto* panel = form.Add<Panel>();
    panel->SetColor(Rgb(207, 216, 171));
    auto* label = panel->Add<Label>(L"tekst");
    label->SetTransparent(false);
    label->SetColor(Rgb(137, 58, 58));
    auto* list = panel->Add<ListBox>();
    list->SetColor(Rgb(1, 2, 3));
    auto* edit = panel->Add<Edit>();
    edit->SetColor(Rgb(4, 5, 6));

    ApplyStandardColors(&form);

    EXPECT_EQ(form.GetColor(), clBtnFace);
    EXPECT_EQ(panel->GetColor(), clBtnFace);
    EXPECT_EQ(label->GetColor(), clBtnShadow);
    EXPECT_EQ(label->GetFont().color, clWindow);
    EXPECT_EQ(list->GetColor(), clWindow);
    EXPECT_EQ(edit->GetColor(), clWindow);
    EXPECT_EQ(edit->GetFont().color, clWindowText);
}

// A failure thrown by a click is shown through Ask and the window goes on.
TEST(Startup, FailuresReachingTheMessageLoopAreShownAndTheProgramGoesOn) {
    ScriptedResponder script;
    App().SetTitle(L"Archiwin");
    InstallExceptionHandler();
    Form form;
    auto* button = form.Add<Button>(L"&Zrób");
    int clicks = 0;
    button->OnClick = [&](Control*) {
        ++clicks;
        RaiseError(L"Nic nie zaznaczyłeś!\r\nZaznacz pliki do odtworzenia.");
    };
    form.Show();
    SendMessageW(button->Handle(), BM_CLICK, 0, 0);
    SendMessageW(button->Handle(), BM_CLICK, 0, 0);

    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_EQ(script.shown[0].caption, L"Archiwin");
    EXPECT_EQ(script.shown[0].headline, L"%Nic nie zaznaczyłeś!");
    EXPECT_EQ(script.shown[0].body, L"Zaznacz pliki do odtworzenia.");
    App().OnException = nullptr;
}

TEST(Startup, SingleInstanceQuestionShowsTheProgramIcon) {
    std::wstring q = SingleInstanceQuestion(L"C:\\Programy\\archiwin.exe");
    EXPECT_EQ(q.rfind(L"<img src=\"lsys:C:\\Programy\\archiwin.exe\"><b> Tevsoft 2002:<br>", 0), 0u);
    EXPECT_NE(q.find(L"KOLEJNĄ kopię tego samego programu?\r\n\r\nZignoruj to ostrzeżenie"), std::wstring::npos);
}

TEST(Startup, PlacementValuesCarryTheScreenSizeAndAreWrittenTwice) {
    WINDOWPLACEMENT wp{sizeof(wp)};
    wp.flags = 0;
    wp.showCmd = SW_SHOWNORMAL;
    wp.ptMinPosition = {-1, -1};
    wp.ptMaxPosition = {-1, -1};
    wp.rcNormalPosition = {505, 378, 774, 646};
    auto values = PlacementValues(wp, true, 96, 1280, 1024);
    std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"Flags", L"0"},
        {L"ShowCmd", L"1"},
        {L"PixelsPerInch", L"96"},
        {L"MinMaxPos(1280x1024)", L"-1,-1,-1,-1"},
        {L"NormPos(1280x1024)", L"505,378,774,646"},
        {L"MinMaxPos", L"-1,-1,-1,-1"},
        {L"NormPos", L"505,378,774,646"},
        {L"Visible", L"True"},
    };
    ASSERT_EQ(values.size(), expected.size());
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].name, expected[i].first);
        EXPECT_EQ(values[i].value, expected[i].second);
    }
}

TEST(Startup, IdentityOfAProgramWithAndWithoutVersionResource) {
    TNazwaAplikacji none = ReadAppIdentity(L"C:\\windows\\notepad.exe.missing");
    EXPECT_EQ(none.IdentityText(), L"notepad");
    TNazwaAplikacji own = OwnIdentity();  // the test executable has no version resource
    EXPECT_TRUE(own.productName.empty());
}
