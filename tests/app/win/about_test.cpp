// The about box: its pages, what it shows of the environment, what its
// labels hand to the shell, and the list of running applications.
#include "app/win/teabout.h"

#include <gtest/gtest.h>

#include "app/win/periphery.h"
#include "cleanup/win/tevorozide.h"
#include "dialog_driver.h"
#include "interact/messagetext.h"
#include "support/scripted_responder.h"
#include "support/win/capture.h"
#include "util/textcase.h"
#include "util/win/files.h"
#include "util/win/identity.h"

TEST(TeAbout, PagesShowTheVersionTheEnvironmentAndTheirDescriptions) {
    ScriptedResponder script;  // 10 December 2026
    TeAbout about;
    about.Show();
    EXPECT_EQ(about.Text(), L"Tevsoft 2002 -- O programie");
    EXPECT_EQ(about.ClientWidth(), 454);
    EXPECT_EQ(about.ClientHeight(), 361);
    std::vector<std::wstring> tabs = {L" O programie ", L" Informacje ", L" Opcje ", L" Kontakt "};
    EXPECT_EQ(about.ts->Items(), tabs);

    // Shown: the first page, described in the header.
    EXPECT_EQ(about.ts->TabIndex(), 0);
    EXPECT_EQ(about.nb->PageIndex(), 0);
    EXPECT_EQ(about.lbInfo->Caption(), L"Wersja programu, prawa autorskie");

    // The running program's version resource (the program's own is checked
    // where the program runs: processes_test).
    const TNazwaAplikacji& id = OwnIdentity();
    EXPECT_EQ(about.VersionLabel7->Text(), id.productName);
    EXPECT_EQ(about.VersionLabel8->Text(), id.fileDescription);
    EXPECT_EQ(about.VersionLabel6->Text(), id.version);
    EXPECT_EQ(about.VersionLabel5->Text(), id.comments);
    EXPECT_EQ(about.pWersja->GetColor(), Rgb(240, 242, 227));

    EXPECT_EQ(about.lbNT->Caption(), L"środowisko pracy:<br><b>Windows NT");
    EXPECT_EQ(about.lbData->Caption(), L"Dzisiejsza data:<br><b>czwartek, 10 grudnia 2026");
    EXPECT_EQ(about.lbFolder->Caption(), L"Program zainstalowany w:<br><b>" + ProgramDir());
    EXPECT_EQ(about.lbFolder->Hint(), ProgramDir());
    EXPECT_EQ(about.lbUstawienia->Caption(), L"Ustawienia w pliku:<br><b>c:\\tev.ini");
    EXPECT_EQ(about.lbUstawienia->Hint(), L"c:\\tev.ini");

    // Each tab brings its page and the page's description; a picture of each.
    const wchar_t* descriptions[] = {L"Wersja programu, prawa autorskie", L"Środowisko programu",
                                     L"Narzędzia i możliwości", L"Producent, kontakt"};
    for (int page : {1, 2, 3, 0}) {
        about.ts->SetTabIndex(page);
        EXPECT_EQ(about.nb->PageIndex(), page);
        EXPECT_EQ(about.lbInfo->Caption(), descriptions[page]);
        EXPECT_TRUE(about.nb->Page(page)->Showing());
        std::wstring shot = L"about_" + std::to_wstring(page) + L".png";
        EXPECT_TRUE(CaptureWindowPng(about.Handle(), ShotPath(shot))) << page;
    }
}

TEST(TeAbout, CtrlTabTurnsThePagesBothWaysRound) {
    ScriptedResponder script;
    TeAbout about;
    about.Show();
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    auto press = [&](bool shift) {
        keys[VK_CONTROL] = 0x80;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg{about.Handle(), WM_KEYDOWN, VK_TAB, 0};
        EXPECT_TRUE(about.PreTranslate(msg));
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return about.nb->PageIndex();
    };
    EXPECT_EQ(press(false), 1);
    EXPECT_EQ(about.lbInfo->Caption(), L"Środowisko programu");
    EXPECT_EQ(press(true), 0);
    EXPECT_EQ(press(true), 3);
    EXPECT_EQ(press(false), 0);
}

TEST(TeAbout, EnvironmentLineNamesTheSystemFamily) {
    EXPECT_EQ(EnvironmentText(true), L"środowisko pracy:<br><b>Windows NT");
    EXPECT_EQ(EnvironmentText(false), L"środowisko pracy:<br><b>standardowe Windows");
}

// Explorer gets the folder as one quoted parameter: a name with a comma or a
// space must not fall apart, and a closing backslash must not swallow the
// quote.
TEST(TeAbout, FolderAndSettingsOpenWithTheirProgramsQuoted) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* parameter;
    } cases[] = {
        {L"c:\\firma, s.c.\\archiwin\\", L"\"c:\\firma, s.c.\\archiwin\""},
        {L"c:\\program files\\tev\\archiwin\\", L"\"c:\\program files\\tev\\archiwin\""},
        {L"d:\\", L"d:\\"},
    };
    for (const Case& c : cases) {
        ScriptedResponder script;
        TeAbout about;
        about.lbFolder->SetHint(c.folder);
        about.lbFolder->Click();
        ASSERT_EQ(script.shown.size(), 1u) << c.folder;
        EXPECT_EQ(script.shown[0].kind, L"shell");
        EXPECT_EQ(script.shown[0].headline, L"explorer.exe");
        EXPECT_EQ(script.shown[0].body, c.parameter);
    }
    ScriptedResponder script;
    TeAbout about;
    about.Show();
    about.lbUstawienia->Click();
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].headline, L"notepad.exe");
    EXPECT_EQ(script.shown[0].body, L"\"c:\\tev.ini\"");
}

// A shell that refuses is said, not passed over in silence.
TEST(TeAbout, AFolderTheShellCannotOpenIsReported) {
    struct RefusingShell : ScriptedResponder {
        bool ShellOpen(const std::wstring& target, const std::wstring& parameters) override {
            ScriptedResponder::ShellOpen(target, parameters);
            return false;
        }
    } script;
    TeAbout about;
    about.Show();
    about.lbFolder->Click();
    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_EQ(script.shown[1].kind, L"message");
    EXPECT_NE(script.shown[1].headline.find(L"Nie udało się otworzyć folderu programu."), std::wstring::npos);
}

TEST(TeAbout, ApplicationsListsEachRunningExecutableOnce) {
    ScriptedResponder script;
    TeAbout about;
    about.tevClickableLabel1->Click();
    ASSERT_EQ(script.shown.size(), 1u);
    const Shown& list = script.shown[0];
    EXPECT_EQ(list.kind, L"list");
    EXPECT_EQ(list.caption, L"Lista aplikacji");
    EXPECT_EQ(list.headline, L"Aplikacje aktualnie uruchomione w systemie:");
    ASSERT_FALSE(list.items.empty());  // Wine's own services run beside the test
    for (size_t i = 0; i < list.items.size(); ++i) {
        EXPECT_TRUE(ContainsNoCase(L".exe", list.items[i])) << list.items[i];
        for (size_t j = 0; j < i; ++j) EXPECT_FALSE(SameTextNoCase(list.items[i], list.items[j])) << list.items[i];
    }
}

// The tools page leads to the real functions: the data-set switch starts
// with its own question (left unanswered here, so nothing is packed), and
// "Odinstaluj" opens the cleanup wizard on its first page.
TEST(TeAbout, ToolsOpenTheDataSetSwitchAndTheCleanupWizard) {
    {
        ScriptedResponder script;
        TeAbout about;
        about.Show();
        about.tevClickableLabel2->Click();
        ASSERT_EQ(script.shown.size(), 1u);
        EXPECT_EQ(script.shown[0].kind, L"message");
        EXPECT_TRUE(script.shown[0].message.destructive);
        EXPECT_TRUE(ContainsNoCase(L"zestaw danych?", script.shown[0].headline)) << script.shown[0].headline;
    }
    ScriptedResponder script;
    TeAbout about;
    about.Show();
    std::wstring caption;
    int page = -1;
    WhenShown<TeVorozide_MainForm> cancel([&](TeVorozide_MainForm& w) {
        caption = w.Text();
        page = w.PageIndex();
        w.bWstecz->Click();  // "Anuluj" on the first page
    });
    about.tevColorButton1->Click();
    EXPECT_TRUE(cancel.ran);
    EXPECT_EQ(caption, L"Vorozide");
    EXPECT_EQ(page, TeVorozide_MainForm::pgDzienDobry);
    // Closed without removing itself: the about box stays.
    EXPECT_EQ(about.ModalResult(), mrNone);
    for (const Shown& s : script.shown) EXPECT_NE(s.kind, L"message") << s.headline;
}

// The windows of shared modules this program does not carry answer with a
// notice that has nothing to cancel: "OK" alone, no "Anuluj".
TEST(Periphery, NoticesSayWhatToDoInsteadWithOKAlone) {
    struct Case {
        const char* name;
        void (*show)();
        const wchar_t* says;
    } cases[] = {
        {"/instaluj", InstallerNotice, L"Archiwin-setup"},
        {"/ustawienia", PrintSettingsNotice, L"Wydruki ustawisz"},
        {"order form", [] { OrderFormNotice(L"Archiwin"); }, L"zamówisz"},
    };
    for (const Case& c : cases) {
        ScriptedResponder script;
        c.show();
        ASSERT_EQ(script.shown.size(), 1u) << c.name;
        const MessageRequest& m = script.shown[0].message;
        EXPECT_EQ(m.headline[0], L'*') << c.name;
        EXPECT_NE(m.headline.find(c.says), std::wstring::npos) << c.name;
        EXPECT_FALSE(SecondButtonShown(m.headline, m.body, m.destructive)) << c.name;
    }
}
