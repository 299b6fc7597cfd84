// The message, input, list and pick dialogs as real windows: shown, inspected
// while they wait for the user, driven by their buttons, captured as PNG
// (dialog_*.png in %ARCHIWIN_SHOTS%).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/win/inputbox.h"
#include "app/win/messagelistbox.h"
#include "app/win/selectform.h"
#include "app/win/warningdialog.h"
#include "dialog_driver.h"
#include "interact/ask.h"
#include "support/scripted_responder.h"
#include "support/win/capture.h"
#include "ui/win/application.h"
#include "util/cp1250.h"
#include "util/failure.h"
#include "util/paths.h"
#include "util/win/files.h"
#include "util/win/registry.h"

namespace {

std::wstring LostMessagesPath() { return DirectoryPart(ProgramFile()) + kLostMessagesLog; }

std::wstring ReadWhole(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return Cp1250ToWide(s.str());
}

void Click(WinControl* button) { PostMessageW(button->Handle(), BM_CLICK, 0, 0); }

class Dialogs : public testing::Test {
protected:
    void SetUp() override { App().SetTitle(L"Archiwin"); }
    // The program's windows for every interaction, the script's clock.
    RealWindows windows;
};

}  // namespace

TEST_F(Dialogs, AskShowsTheIconsAndButtonsItsMarkersChoose) {
    struct Case {
        const wchar_t* text;
        bool info, stop, exclamation, question;
        const wchar_t* markup;
        const wchar_t* ok;
        const wchar_t* second;  // null: only one button
        const wchar_t* shot;
    } cases[] = {
        {L"Folder nie istnieje!\r\nC:\\x", false, false, true, false, L"<b>Folder nie istnieje!</b><br>   C:\\x",
         L"&OK", L"&Anuluj", L"dialog_exclamation.png"},
        {L"Mocna kompresja?", false, false, false, true, L"Mocna kompresja?", L"&Tak", L"&Nie",
         L"dialog_question.png"},
        {L"Kopia gotowa.", false, false, false, false, L"Kopia gotowa.", L"&OK", nullptr, L"dialog_plain.png"},
        {L"%Nic nie zaznaczyłeś!\r\nZaznacz pliki do odtworzenia.", false, true, true, false,
         L"<b>Nic nie zaznaczyłeś!</b><br>   Zaznacz pliki do odtworzenia.", L"&OK", L"&Anuluj",
         L"dialog_stop.png"},
        {L"*Opcje kopii zapasowych\r\nTa funkcja nie jest jeszcze dostępna.", true, false, false, false,
         L"<b>Opcje kopii zapasowych</b><br>   Ta funkcja nie jest jeszcze dostępna.", L"&OK", L"&Anuluj",
         L"dialog_info.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        WhenShown<TeTevWarningDialog> check([&](TeTevWarningDialog& d) {
            EXPECT_EQ(d.Text(), L"Archiwin");
            EXPECT_EQ(d.iInfo->Visible(), c.info);
            EXPECT_EQ(d.iStop->Visible(), c.stop);
            EXPECT_EQ(d.iWykrzyknik->Visible(), c.exclamation);
            EXPECT_EQ(d.iQuestion->Visible(), c.question);
            EXPECT_EQ(d.lb->Markup(), c.markup);
            EXPECT_EQ(d.bOK->Text(), c.ok);
            EXPECT_EQ(d.bAnuluj->Visible(), c.second != nullptr);
            if (c.second) {
                EXPECT_EQ(d.bAnuluj->Text(), c.second);
            }
            EXPECT_FALSE(d.cbDontShowAgain->Visible());
            EXPECT_FALSE(d.lbInfo->Visible());
            EXPECT_FALSE(d.Gauge1->Visible());
            // A short text gets a small dialog.
            EXPECT_LT(d.ClientHeight(), 300);
            EXPECT_TRUE(d.bOK->Focused());
            EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(c.shot)));
            Click(c.second ? d.bAnuluj : d.bOK);
        });
        EXPECT_EQ(Ask(c.text), c.second == nullptr);
        EXPECT_TRUE(check.ran);
    }
}

TEST_F(Dialogs, RaisedErrorShowsTheStopSignThroughTheHandler) {
    App().OnException = [](const std::wstring& message) { Ask(message); };
    WhenShown<TeTevWarningDialog> check([](TeTevWarningDialog& d) {
        EXPECT_TRUE(d.iStop->Visible());
        EXPECT_TRUE(d.iWykrzyknik->Visible());
        EXPECT_EQ(d.lb->Markup(), L"Nic nie zaznaczyłeś!");
        Click(d.bOK);
    });
    try {
        RaiseError(L"Nic nie zaznaczyłeś!");
    } catch (...) {
        App().HandleException(std::current_exception());
    }
    App().OnException = nullptr;
    EXPECT_TRUE(check.ran);
}

TEST_F(Dialogs, DialogTakesTheMainWindowsColour) {
    Form main(BorderStyle::None);
    main.SetColor(clWhite);
    App().SetMainForm(&main);
    WhenShown<TeTevWarningDialog> check([](TeTevWarningDialog& d) {
        EXPECT_EQ(d.GetColor(), clWhite);
        EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(L"dialog_main_colours.png")));
        Click(d.bOK);
    });
    Ask(L"Archiwum zapisane.\r\nC:\\kopie\\kopia_dane.cab");
    App().SetMainForm(nullptr);
    EXPECT_TRUE(check.ran);
}

TEST_F(Dialogs, LongTextKeepsTheDesignedHeight) {
    std::wstring body;
    for (int i = 0; i < 40; ++i) body += L"Wiersz " + std::to_wstring(i) + L" długiej treści komunikatu.\r\n";
    WhenShown<TeTevWarningDialog> check([](TeTevWarningDialog& d) {
        EXPECT_EQ(d.ClientHeight(), 351);
        // The rest of the text is reached by scrolling.
        EXPECT_GT(d.lb->Height(), d.panelLB->Height());
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE};
        ASSERT_TRUE(GetScrollInfo(d.panelLB->Handle(), SB_VERT, &si));
        EXPECT_GT(si.nMax, static_cast<int>(si.nPage));
        EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(L"dialog_long.png")));
        Click(d.bOK);
    });
    EXPECT_TRUE(AskHeadline(L"Raport", body));
    EXPECT_TRUE(check.ran);
}

TEST_F(Dialogs, UnansweredQuestionClosesAsOkAndIsLogged) {
    DeleteFileW(LostMessagesPath().c_str());
    windows.now = 46366.5;  // 10 December 2026, noon
    // Captured once the countdown shows (after 35 % of one second).
    WhenShown<TeTevWarningDialog> shot(
        [](TeTevWarningDialog& d) {
            EXPECT_TRUE(d.lbCzas->Visible());
            EXPECT_TRUE(d.bStoj->Visible());
            EXPECT_NE(d.lbCzas->Text().find(L"okienko zniknie za 1 sek."), std::wstring::npos) << d.lbCzas->Text();
            EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(L"dialog_countdown.png")));
        },
        [](TeTevWarningDialog& d) { return d.Gauge1->Visible(); });
    EXPECT_EQ(MessageDialog(L"Archiwin", L"Czy nadpisać plik?", L"C:\\dane\\plik.txt", 1, false, L"-", L""), 1);
    EXPECT_TRUE(shot.ran);
    EXPECT_EQ(ReadWhole(LostMessagesPath()),
              L"10-12-2026 12:00:00 - Archiwin: <b>Czy nadpisać plik?</b><br>   C:\\dane\\plik.txt\r\n");
    DeleteFileW(LostMessagesPath().c_str());
}

TEST_F(Dialogs, UnansweredDestructiveQuestionTakesTheAnswerThatKeepsTheData) {
    DeleteFileW(LostMessagesPath().c_str());
    windows.now = 46366.5;
    // Left to its countdown: "Nie", said beforehand, and logged with it.
    WhenShown<TeTevWarningDialog> shot(
        [](TeTevWarningDialog& d) {
            EXPECT_EQ(d.lbCzas->Text(), L"okienko zniknie za 1 sek.\r\ni odpowie „Nie”");
            EXPECT_EQ(d.Gauge1->Hint(),
                      L"Ten wskaźnik pokazuje, za kiedy okienko zamknie się samo tak, jakbyś nacisnął przycisk Nie.");
            EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(L"dialog_countdown_destructive.png")));
        },
        [](TeTevWarningDialog& d) { return d.Gauge1->Visible(); });
    EXPECT_EQ(MessageDialog(L"Archiwin", L"Czy na pewno zastąpić plik?", L"C:\\dane\\plik.txt", 1, false, L"-", L"",
                            Question::Destructive),
              2);
    EXPECT_TRUE(shot.ran);
    EXPECT_EQ(ReadWhole(LostMessagesPath()), L"10-12-2026 12:00:00 - Archiwin: <b>Czy na pewno zastąpić plik?</b><br>"
                                             L"   C:\\dane\\plik.txt [odpowiedź: Nie]\r\n");
    DeleteFileW(LostMessagesPath().c_str());

    // Without "?" and without a body the second button still shows, and the
    // countdown names it.
    WhenShown<TeTevWarningDialog> anuluj(
        [](TeTevWarningDialog& d) {
            EXPECT_TRUE(d.bAnuluj->Visible());
            EXPECT_EQ(d.bAnuluj->Text(), L"&Anuluj");
            EXPECT_EQ(d.lbCzas->Text(), L"okienko zniknie za 1 sek.\r\ni odpowie „Anuluj”");
        },
        [](TeTevWarningDialog& d) { return d.lbCzas->Visible(); });
    EXPECT_EQ(MessageDialog(L"Archiwin", L"Zastąpię wszystkie pliki.", L"", 1, false, L"-", L"", Question::Destructive),
              2);
    EXPECT_TRUE(anuluj.ran);
    DeleteFileW(LostMessagesPath().c_str());

    // Another window of the program becoming active does not answer "Tak".
    std::unique_ptr<Form> other;
    WhenShown<TeTevWarningDialog> activate([&](TeTevWarningDialog&) {
        other = std::make_unique<Form>(BorderStyle::None);
        other->SetBounds(10, 10, 100, 50);
        other->Show();
    });
    EXPECT_FALSE(Ask(L"Czy na pewno zastąpić plik C:\\dane\\plik.txt?", Question::Destructive));
    EXPECT_TRUE(activate.ran);

    // The user's own press still answers it.
    WhenShown<TeTevWarningDialog> yes([](TeTevWarningDialog& d) { Click(d.bOK); });
    EXPECT_TRUE(Ask(L"Czy na pewno zastąpić plik C:\\dane\\plik.txt?", Question::Destructive));
    EXPECT_TRUE(yes.ran);
}

TEST_F(Dialogs, ClickOnTheTimeStopsTheCountdown) {
    DeleteFileW(LostMessagesPath().c_str());
    TeTevWarningDialog* dialog = nullptr;
    WhenShown<TeTevWarningDialog> stop(
        [&](TeTevWarningDialog& d) {
            dialog = &d;
            SendMessageW(d.bStoj->Handle(), BM_CLICK, 0, 0);
            EXPECT_FALSE(d.Timer1.Enabled());
            EXPECT_FALSE(d.Gauge1->Visible());
            EXPECT_FALSE(d.bStoj->Visible());
            EXPECT_TRUE(d.lbCzas->Visible());
            EXPECT_EQ(d.lbCzas->Text(), L"Naciśnij OK lub Anuluj, aby zakończyć.");
        },
        [](TeTevWarningDialog& d) { return d.bStoj->Visible(); });
    // Well past the end of the countdown the question still waits.
    Timer later(1800, true);
    later.OnTimer = [&] {
        later.SetEnabled(false);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->IsModal());
        Click(dialog->bAnuluj);
    };
    EXPECT_EQ(MessageDialog(L"Archiwin", L"Czy nadpisać plik?", L"", 1, false, L"-", L""), 2);
    EXPECT_FALSE(FileExists(LostMessagesPath()));
}

TEST_F(Dialogs, DoNotShowAgainIsStoredOnlyWithOkAndSkipsTheWindow) {
    const std::wstring key = L"test_dialogow";
    RegDeleteKey(kCurrentUser, SettingsKey(L"DontShowAgain"));
    // Ticked, then "Anuluj": nothing is remembered, the question comes again.
    WhenShown<TeTevWarningDialog> cancelled([&](TeTevWarningDialog& d) {
        EXPECT_TRUE(d.cbDontShowAgain->Visible());
        EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(L"dialog_remembered.png")));
        SendMessageW(d.cbDontShowAgain->Handle(), BM_CLICK, 0, 0);
        Click(d.bAnuluj);
    });
    EXPECT_FALSE(AskRemembered(L"Czy przenieść plik?", key, true));
    EXPECT_TRUE(cancelled.ran);
    EXPECT_EQ(ReadSetting(L"DontShowAgain", key, L""), L"");
    EXPECT_EQ(CurrentDialogKey(), key);

    // Ticked and "OK": remembered.
    WhenShown<TeTevWarningDialog> confirmed([&](TeTevWarningDialog& d) {
        SendMessageW(d.cbDontShowAgain->Handle(), BM_CLICK, 0, 0);
        Click(d.bOK);
    });
    EXPECT_TRUE(AskRemembered(L"Czy przenieść plik?", key, true));
    EXPECT_TRUE(confirmed.ran);
    EXPECT_EQ(ReadSetting(L"DontShowAgain", key, L""), L"True");

    // Stored as "True": no window, "yes" at once. Without the offer the
    // memory does not count.
    WhenShown<TeTevWarningDialog> none([](TeTevWarningDialog& d) { Click(d.bAnuluj); });
    EXPECT_TRUE(AskRemembered(L"Czy przenieść plik?", key, true));
    EXPECT_FALSE(none.ran);
    EXPECT_FALSE(AskRemembered(L"Czy przenieść plik?", key, false));
    EXPECT_TRUE(none.ran);
    EXPECT_EQ(CurrentDialogKey(), L"-");
    RegDeleteKey(kCurrentUser, SettingsKey(L"DontShowAgain"));
}

TEST_F(Dialogs, InfoLabelShowsItsTextWithoutAnsweringTheQuestion) {
    App().OnException = [](const std::wstring& message) { Ask(message); };
    bool infoShown = false;
    WhenShown<TeTevWarningDialog> info(
        [&](TeTevWarningDialog& d) {
            infoShown = true;
            EXPECT_EQ(d.lb->Markup(), L"Więcej o kompresji");
            EXPECT_TRUE(d.iInfo->Visible());
            Click(d.bOK);
        },
        [](TeTevWarningDialog& d) { return d.lb->Markup() == L"Więcej o kompresji"; });
    WhenShown<TeTevWarningDialog> question(
        [](TeTevWarningDialog& d) {
            EXPECT_TRUE(d.lbInfo->Visible());
            EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(L"dialog_with_info.png")));
            // The label is windowless: its click goes through the bottom panel.
            RECT r = d.lbInfo->PixelBounds();
            LPARAM at = MAKELPARAM(r.left + 3, r.top + 3);
            PostMessageW(d.pBottom->Handle(), WM_MOUSEMOVE, 0, at);
            PostMessageW(d.pBottom->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(d.pBottom->Handle(), WM_LBUTTONUP, 0, at);
        },
        [](TeTevWarningDialog& d) { return d.lbInfo->Visible(); });
    WhenShown<TeTevWarningDialog> answer(
        [&](TeTevWarningDialog& d) { Click(d.bAnuluj); },
        [&](TeTevWarningDialog& d) { return infoShown && d.lbInfo->Visible() && d.IsModal(); });
    EXPECT_FALSE(AskWithInfo(L"Mocna kompresja?", L"", L"Więcej o kompresji"));
    EXPECT_TRUE(info.ran);
    EXPECT_TRUE(answer.ran);
    App().OnException = nullptr;
}

TEST_F(Dialogs, AnotherWindowOfTheProgramBecomingActiveClosesTheDialogAsOk) {
    std::unique_ptr<Form> other;
    WhenShown<TeTevWarningDialog> check([&](TeTevWarningDialog&) {
        other = std::make_unique<Form>(BorderStyle::None);
        other->SetBounds(10, 10, 100, 50);
        other->Show();
    });
    EXPECT_TRUE(Ask(L"Mocna kompresja?"));
    EXPECT_TRUE(check.ran);

    // The window the system activates once the dialog has been answered and
    // hides does not turn "Nie" into "Tak".
    WhenShown<TeTevWarningDialog> no([](TeTevWarningDialog& d) { Click(d.bAnuluj); });
    EXPECT_FALSE(Ask(L"Mocna kompresja?"));
    EXPECT_TRUE(no.ran);
}

TEST_F(Dialogs, InputTextMasksAHashPrompt) {
    WhenShown<TeTevInputBox> secret([](TeTevInputBox& box) {
        EXPECT_EQ(box.Text(), L"Hasło");
        EXPECT_EQ(box.lbPrompt1->Text(), L"Podaj hasło:");
        EXPECT_EQ(SendMessageW(box.eInput1->Handle(), EM_GETPASSWORDCHAR, 0, 0), L'*');
        SetWindowTextW(box.eInput1->Handle(), L"tajne");
        EXPECT_TRUE(CaptureWindowPng(box.Handle(), ShotPath(L"dialog_input.png")));
        Click(box.bOK);
    });
    EXPECT_EQ(InputText(L"Hasło", L"#Podaj hasło:", L"stare"), L"tajne");
    EXPECT_TRUE(secret.ran);

    WhenShown<TeTevInputBox> plain([](TeTevInputBox& box) {
        EXPECT_EQ(box.lbPrompt1->Text(), L"Komentarz:");
        EXPECT_EQ(SendMessageW(box.eInput1->Handle(), EM_GETPASSWORDCHAR, 0, 0), 0);
        EXPECT_EQ(box.eInput1->Text(), L"stary");
        SetWindowTextW(box.eInput1->Handle(), L"nowy");
        Click(box.bCancel);
    });
    EXPECT_EQ(InputText(L"Kopia", L"Komentarz:", L"stary"), L"stary");
    EXPECT_TRUE(plain.ran);
}

TEST_F(Dialogs, MessageListShowsOneItemPerLine) {
    WhenShown<TeTevMessageListBox> check([](TeTevMessageListBox& box) {
        EXPECT_EQ(box.Text(), L"Raport");
        EXPECT_EQ(box.lbTYtul->Markup(), L"<b>Raport odtwarzania</b>");
        ASSERT_EQ(box.lb->Count(), 3);
        EXPECT_EQ(box.lb->Item(1), L"drugi");
        EXPECT_TRUE(CaptureWindowPng(box.Handle(), ShotPath(L"dialog_list.png")));
        Click(box.bkOK);
    });
    EXPECT_TRUE(ShowMessageList(L"Raport", L"<b>Raport odtwarzania</b>", L"pierwszy\r\ndrugi\r\ntrzeci\r\n"));
    EXPECT_TRUE(check.ran);
}

// A title of several lines is shown whole above the list.
TEST_F(Dialogs, MessageListShowsAllOfALongTitle) {
    const std::wstring title =
        L"<b>Nazwy 3 plików są za długie dla archiwum kopii zapasowej.</b><br>Archiwum mieści ścieżkę pliku w "
        L"folderze do 255 bajtów (litery spoza polskiego alfabetu zajmują po 2–3 bajty). Naciśnij OK, aby pominąć te "
        L"pliki i spakować pozostałe, albo Anuluj, aby zrezygnować z kopii i najpierw skrócić ich nazwy.";
    WhenShown<TeTevMessageListBox> check([&](TeTevMessageListBox& box) {
        EXPECT_GT(box.lbTYtul->FittingHeight(), 44);
        EXPECT_GE(box.lbTYtul->Height(), box.lbTYtul->FittingHeight());
        EXPECT_GT(box.lb->Height(), box.ClientHeight() / 3);
        Click(box.bkAnuluj);
    });
    EXPECT_FALSE(ShowMessageList(L"Kopia zapasowa", title, L"C:\\dane\\plik.txt"));
    EXPECT_TRUE(check.ran);
}

TEST_F(Dialogs, PickFromAnEmptyListRaisesItsMessage) {
    try {
        PickFromList({}, L"Wybierz plik", L"Pliki", 0);
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.message(), L"Niestety, nie ma z czego wybierać. Lista jest pusta!\r\nWybierz plik");
    }
}

TEST_F(Dialogs, PickFromListSearchesAndChooses) {
    std::vector<std::wstring> items = {L"<b>alfa</b>", L"<b>Beta</b><br>druga linia", L"gamma"};
    WhenShown<TtevSelectForm> search(
        [](TtevSelectForm& f) {
            EXPECT_EQ(f.Text(), L"Wybierz!");
            EXPECT_FALSE(f.title->Visible());
            EXPECT_EQ(f.xSelectList->ItemIndex(), 2);
            EXPECT_TRUE(CaptureWindowPng(f.Handle(), ShotPath(L"dialog_pick.png")));
            Click(f.bSzukaj);
        },
        [](TtevSelectForm& f) { return f.IsModal(); });
    WhenShown<TeTevInputBox> typed([](TeTevInputBox& box) {
        EXPECT_EQ(box.Text(), L"Wyszukaj");
        EXPECT_EQ(box.lbPrompt1->Text(), L"Wybierz!");
        SetWindowTextW(box.eInput1->Handle(), L"BETA");
        Click(box.bOK);
    });
    WhenShown<TtevSelectForm> chosen([](TtevSelectForm& f) { Click(f.okbtn); },
                                     [](TtevSelectForm& f) { return f.xSelectList->ItemIndex() == 1; });
    EXPECT_EQ(PickFromList(items, L"", L"", 2), 1);
    EXPECT_TRUE(typed.ran);
    EXPECT_TRUE(chosen.ran);

    // Cancelled: the default comes back.
    WhenShown<TtevSelectForm> cancel([](TtevSelectForm& f) {
        EXPECT_TRUE(f.title->Visible());
        EXPECT_EQ(f.Text(), L"Kopie");
        f.xSelectList->SetItemIndex(0);
        Click(f.cancelbtn);
    });
    EXPECT_EQ(PickFromList(items, L"Kopie", L"Wybierz kopię", 2), 2);
    EXPECT_TRUE(cancel.ran);
}

TEST(YesNo, WordsOfYesAfterLowerCasing) {
    for (const wchar_t* yes : {L"tak", L"TAK", L"1", L"yes", L"OK", L"true", L"PRAWDA"}) EXPECT_TRUE(IsYesWord(yes)) << yes;
    for (const wchar_t* no : {L" tak", L"nie", L"0", L"", L"tak "}) EXPECT_FALSE(IsYesWord(no)) << no;
    EXPECT_EQ(YesNoText(true), L"TAK");
    EXPECT_EQ(YesNoText(false), L"NIE");
}
