// The technical contact wizard: its pages and checks, the message handed to
// Simple MAPI (a test sender stands in for the mail program), the other ways
// when no mail program takes it, and the system's MAPI path with the host's
// mail programs out of reach.
#include "net/win/tekontakttechniczny.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "net/win/mapimail.h"
#include "net/win/netside.h"
#include "net_test_util.h"
#include "support/scripted_responder.h"
#include "support/win/capture.h"
#include "support/win/pump.h"
#include "ui/win/application.h"
#include "ui/win/timer.h"
#include "util/cp1250.h"
#include "util/failure.h"
#include "util/win/userdata.h"
#include "../../util/win/guards.h"

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kUserDataKey[] = L"Software\\TEV\\Dane użytkownika";

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) text = p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return text;
}

class Contact : public testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name : UserData::kNames)
            guards.push_back(std::make_unique<RegistryValueGuard>(HKEY_CURRENT_USER, kUserDataKey, name));
        previousSender = SetMapiSender([this](const MapiMail& m) {
            sent.push_back(m);
            return result;
        });
        previousSide = SetNetSide({});
    }
    void TearDown() override {
        SetMapiSender(previousSender);
        SetNetSide(previousSide);
    }

    std::unique_ptr<TeKontaktTechniczny> Wizard() {
        auto w = std::make_unique<TeKontaktTechniczny>(L"Archiwin");
        w->Show();
        return w;
    }
    // "Dalej": the failure's message, empty when the page moved on.
    std::wstring Next(TeKontaktTechniczny& w) {
        try {
            w.tevDalejWsteczButton1->Click();
        } catch (const Failure& f) {
            return f.message();
        }
        return L"";
    }
    void FillUser(TeKontaktTechniczny& w) {
        const wchar_t* values[] = {L"Jan", L"Kowalski", L"", L"ul. Długa 1", L"00-001", L"Łódź", L" jan@firma.pl "};
        for (int i = 0; i < 7; ++i) w.sgDane->SetValue(i, values[i]);
    }
    // Through every page to the last one with a message of the given text.
    void ToLastPage(TeKontaktTechniczny& w, const std::wstring& text) {
        w.rbTechnikalia->SetChecked(true);
        ASSERT_EQ(Next(w), L"");
        FillUser(w);
        ASSERT_EQ(Next(w), L"");
        ASSERT_EQ(Next(w), L"");
        w.mTresc->SetValue(text);
        ASSERT_EQ(Next(w), L"");
        ASSERT_EQ(Next(w), L"");
        ASSERT_EQ(w.PageIndex(), TeKontaktTechniczny::pgWyslij);
    }

    std::vector<std::unique_ptr<RegistryValueGuard>> guards;
    RegistryValueGuard topicGuard{HKEY_CURRENT_USER, L"Software\\TEV\\Kontakt Techniczny", L"rbTechnikalia"};
    ScriptedResponder script;
    std::vector<MapiMail> sent;
    int result = 0;
    MapiSender previousSender;
    NetSide previousSide;
};

TEST_F(Contact, EveryPageChecksWhatItNeeds) {
    auto w = Wizard();
    EXPECT_EQ(w->lbStrona->Text(), L"   Podstawowe informacje");
    EXPECT_EQ(w->tevDalejWsteczButton2->Text(), L"Anuluj");
    for (auto* rb : {w->rbTechnikalia, w->rbZamowienia, w->rbZlotaRybka}) rb->SetChecked(false);
    EXPECT_EQ(Next(*w), L"%Wybierz rodzaj wiadomości!\r\nJeśli nie wiesz, na co się zdecydować, wybierz INNE.");
    w->rbTechnikalia->SetChecked(true);
    EXPECT_EQ(Next(*w), L"");
    EXPECT_EQ(w->PageIndex(), TeKontaktTechniczny::pgTwojeDane);
    EXPECT_EQ(w->lbStrona->Text(), L"   Informacje | Informacje o Tobie i kontakt");
    EXPECT_EQ(w->tevDalejWsteczButton2->Text(), L"<< &Wstecz!");

    FillUser(*w);
    w->sgDane->SetValue(6, L"jan@firmapl");
    EXPECT_EQ(Next(*w), L"%Musisz podać poprawny adres e-mail!");
    w->sgDane->SetValue(6, L"jan@firma.pl");
    w->sgDane->SetValue(5, L"Łód");
    script.shown.clear();
    EXPECT_EQ(Next(*w), L"%Musisz podać wszystkie wymagane dane!");
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].headline, L"Musisz podać wszystkie dane poprawnie!");
    EXPECT_EQ(script.shown[0].body, L"Wymagane są: imię, nazwisko, adres i miasto!");
    w->sgDane->SetValue(5, L"Łódź");
    EXPECT_EQ(Next(*w), L"");

    // The facts about the program and the computer, editable.
    ASSERT_EQ(w->sgInformacje->RowCount(), 10);
    EXPECT_EQ(w->sgInformacje->Label(6), L"RAM i dysk");
    EXPECT_NE(w->sgInformacje->Value(6).find(L", wirtualnie "), std::wstring::npos);
    EXPECT_EQ(w->sgInformacje->Label(3), L"Windows");
    EXPECT_EQ(Next(*w), L"");

    w->mTresc->SetValue(L"abcd");
    EXPECT_EQ(Next(*w), L"%Nie wpisałeś żadnego tekstu!");
    w->mTresc->SetValue(L"abcde");
    EXPECT_EQ(Next(*w), L"");
    EXPECT_EQ(Next(*w), L"");
    EXPECT_EQ(w->tevDalejWsteczButton1->Text(), L"&Zakończ");
}

TEST_F(Contact, TheMessageGoesToTheMailProgramAsWritten) {
    auto w = Wizard();
    const std::wstring words = L"Zażółć gęślą jaźń: <Zapisz> nie działa, [DATA] #data\r\n.kropka\r\n\r\nkoniec";
    ToLastPage(*w, words);
    script.shown.clear();
    EXPECT_EQ(Next(*w), L"");  // "Zakończ"
    ASSERT_EQ(sent.size(), 1u);
    const MapiMail& m = sent[0];
    EXPECT_EQ(m.subject, L"Archiwin - Kontakt techniczny");
    EXPECT_EQ(m.toAddress, L"pomoc@tev.example");
    EXPECT_EQ(m.toName, L"Studio TEV - pomoc techniczna");
    EXPECT_EQ(m.fromName, L"Studio TEV");
    EXPECT_EQ(m.fromAddress, L"biuro@tev.example");
    // The user's words: only the Polish letters made plain, the empty line a space.
    EXPECT_NE(m.note.find(L"Zazolc gesla jazn: <Zapisz> nie dziala, [DATA] #data\r\n.kropka\r\n \r\nkoniec"),
              std::wstring::npos)
        << m.note;
    EXPECT_NE(m.note.find(L"Studio TEV: Kontakt techniczny\r\nwygenerowano dnia: 10 grudnia 2026"), std::wstring::npos);
    EXPECT_NE(m.note.find(L"Imie: Jan\r\nNazwisko: Kowalski"), std::wstring::npos) << m.note;
    EXPECT_NE(m.note.find(L"E-mail:  jan@firma.pl "), std::wstring::npos) << m.note;
    EXPECT_EQ(w->ModalResult(), mrOk);
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].headline,
              L"*Wiadomość została przekazana do Twojego programu pocztowego. Zostanie wysłana przy okazji.");
}

TEST_F(Contact, WithoutAMailProgramTheMessageCanStillReachSupport) {
    const struct {
        int code;
        const wchar_t* shown;
    } cases[] = {
        {kMapiMissing, L"W systemie nie ma programu pocztowego, któremu można przekazać wiadomość (brak biblioteki "
                       L"MAPI32.DLL albo jej funkcji MAPISendMail)."},
        {2, L"2: One or more unspecified errors occurred; no message was sent."},
        {26, L"26: nieznany błąd MAPI"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        result = c.code;
        script.shown.clear();
        auto w = Wizard();
        ToLastPage(*w, L"Nie działa zapis.");
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const std::wstring file = std::wstring(temp) + L"wiadomość_" + std::to_wstring(c.code + 10) + L".txt";
        script.Answer(1).Answer(1).Answer(file);  // the MAPI message, "save it to a file?", the file
        EXPECT_EQ(Next(*w), L"");
        EXPECT_EQ(w->ModalResult(), mrNone);  // the window stays
        ASSERT_GE(script.shown.size(), 3u);
        EXPECT_EQ(script.shown[0].headline, L"!Simple Mapi");
        EXPECT_EQ(script.shown[0].body, c.shown);
        EXPECT_EQ(script.shown[1].headline, L"Nie udało się wysłać!");
        EXPECT_NE(script.shown[1].body.find(L"pomoc@tev.example"), std::wstring::npos);
        const std::wstring clip = ClipboardText();
        EXPECT_TRUE(clip.starts_with(L"Do: pomoc@tev.example\r\nTemat: Archiwin - Kontakt techniczny\r\n")) << clip;
        EXPECT_NE(clip.find(L"Nie działa zapis."), std::wstring::npos);
        std::ifstream in(fs::path(file), std::ios::binary);
        const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        EXPECT_EQ(Utf8ToWide(saved.substr(3)), clip);
        fs::remove(fs::path(file));
    }
}

TEST_F(Contact, OrdersGoToTheOrderWindow) {
    std::vector<std::wstring> opened;
    SetNetSide({.openOrderWindow = [&](const std::wstring& p) { opened.push_back(p); }});
    auto w = Wizard();
    w->rbZamowienia->SetChecked(true);
    EXPECT_EQ(Next(*w), L"");
    RunMessagesUntil([&] { return w->ModalResult() != mrNone || !w->Visible(); }, 2000);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], L"Archiwin");
    EXPECT_TRUE(sent.empty());
}

TEST_F(Contact, TheUsersDataStayForNextTime) {
    {
        auto w = Wizard();
        FillUser(*w);
    }
    UserData data;
    data.Load();
    EXPECT_EQ(data.values[0], L"Jan");
    EXPECT_EQ(data.values[5], L"Łódź");
    auto again = Wizard();
    EXPECT_EQ(again->sgDane->Value(1), L"Kowalski");
}

TEST_F(Contact, AnOldProgramIsSentForANewVersionFirst) {
    // The tests' executable has no version: no date, so the contact closed
    // at the end of 2002.
    try {
        OpenTechnicalContact(L"Archiwin");
        ADD_FAILURE() << "no failure";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.message().starts_with(L"%Zanim skorzystasz z funkcji kontaktu technicznego")) << f.message();
        EXPECT_TRUE(f.message().ends_with(L"Data programu: -"));
    }
}

// The system's Simple MAPI, with Wine's mail hand-over pointed at a program
// that does nothing: no mail program of the host can open.
TEST(SystemMapi, HandsTheMessageToTheSystemsMailClient) {
    RegistryValueGuard mailers(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Mailers");
    RegistryValueGuard browsers(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers");
    for (const wchar_t* name : {L"Mailers", L"Browsers"})
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", name, REG_SZ, L"/bin/true",
                        sizeof(L"/bin/true"));
    MapiMail m{L"Archiwin - test", L"Treść\r\n ", L"Studio TEV", L"biuro@tev.example", L"Pomoc", L"pomoc@tev.example"};
    const int code = SystemMapiSendMail(m);
    EXPECT_TRUE(code == 0 || code == kMapiMissing) << code;
}

}  // namespace

namespace {

// Every page, as the user sees it (ARCHIWIN_SHOTS: kontakt_*.png).
TEST_F(Contact, Pictures) {
    auto w = Wizard();
    w->rbTechnikalia->SetChecked(true);
    w->rbZamowienia->SetChecked(false);
    w->rbZlotaRybka->SetChecked(false);
    FillUser(*w);
    w->mTresc->SetValue(L"Po kliknięciu „Zapisz” program pokazuje komunikat o błędzie.\r\nCo robię nie tak?");
    const wchar_t* names[] = {L"witamy", L"dane", L"informacje", L"meritum", L"odpowiedz", L"wyslij"};
    for (int page = 0; page < 6; ++page) {
        Pump();
        EXPECT_TRUE(CaptureWindowPng(w->Handle(), ShotPath(L"kontakt_" + std::to_wstring(page + 1) + L"_" +
                                                           names[page] + L".png")));
        if (page < 5) ASSERT_EQ(Next(*w), L"");
    }
}

}  // namespace

namespace {

// The whole wizard by the keyboard alone: Alt+letter for the topic, typing
// and Enter down the grids, Alt+D out of the message, Enter to the end.
TEST_F(Contact, ByKeyboardAlone) {
    TeKontaktTechniczny w(L"Archiwin");
    for (auto* rb : {w.rbTechnikalia, w.rbZamowienia, w.rbZlotaRybka}) rb->SetChecked(false);
    std::vector<std::function<void()>> steps;
    auto key = [&](WPARAM k) { steps.push_back([k] { PostMessageW(GetFocus(), WM_KEYDOWN, k, 0); }); };
    auto alt = [&](wchar_t c) {
        steps.push_back([c, &w] { PostMessageW(GetFocus() ? GetFocus() : w.Handle(), WM_SYSCHAR, c, 1 << 29); });
    };
    auto type = [&](const std::wstring& text) {
        for (wchar_t c : text) steps.push_back([c] { PostMessageW(GetFocus(), WM_CHAR, c, 0); });
    };
    alt(L'k');
    key(VK_RETURN);  // "Start >"
    for (const wchar_t* value : {L"Jan", L"Kowalski", L"", L"ul. Długa 1", L"", L"Łódź", L"jan@firma.pl", L"", L"",
                                 L"", L"", L"", L"", L""}) {
        type(value);
        key(VK_RETURN);  // the next row; on the last one "Dalej >"
    }
    for (int row = 0; row < 10; ++row) key(VK_RETURN);
    type(L"Nie działa.");
    key(VK_RETURN);  // a new line in the message
    type(L"Pomocy!");
    alt(L'd');
    key(VK_RETURN);
    key(VK_RETURN);  // "Zakończ"
    size_t next = 0;
    Timer driver(40, true);
    int idle = 0;
    driver.OnTimer = [&] {
        if (next < steps.size()) return steps[next++]();
        // Whatever went wrong, the test ends rather than wait for a user.
        if (++idle == 50) {
            ADD_FAILURE() << "still open on page " << w.PageIndex();
            w.SetModalResult(mrCancel);
        }
    };
    const int result = w.ShowModal();
    driver.SetEnabled(false);
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(next, steps.size());
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NE(sent[0].note.find(L"Nie dziala.\r\nPomocy!"), std::wstring::npos) << sent[0].note;
    EXPECT_NE(sent[0].note.find(L"Miasto: Lodz"), std::wstring::npos) << sent[0].note;
}

}  // namespace
