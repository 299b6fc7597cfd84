#include "net/win/tekontakttechniczny.h"

#include <windows.h>

#include "interact/ask.h"
#include "interact/filedialogs.h"
#include "interact/seam.h"
#include "net/win/endpoints.h"
#include "net/win/mapimail.h"
#include "net/win/netside.h"
#include "net/win/systemfacts.h"
#include "ui/kit/win/formkit.h"
#include "util/cp1250.h"
#include "util/failure.h"
#include "util/win/registry.h"
#include "util/win/userdata.h"

namespace {

constexpr wchar_t kCaption[] = L"Kontakt techniczny";
constexpr wchar_t kStateSection[] = L"Kontakt Techniczny";

template <typename T, typename... Args>
T* Place(WinControl* parent, int left, int top, int width, int height, Args&&... args) {
    T* c = parent->template Add<T>(std::forward<Args>(args)...);
    c->SetBounds(left, top, width, height);
    return c;
}

std::wstring AfterFirstBar(const std::wstring& caption) {
    const size_t bar = caption.find(L'|');
    return bar == std::wstring::npos ? caption : caption.substr(bar + 1);
}

bool PutInClipboard(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool ok = false;
    if (memory) {
        if (void* p = GlobalLock(memory)) {
            memcpy(p, text.c_str(), bytes);
            GlobalUnlock(memory);
            ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!ok) GlobalFree(memory);
    }
    CloseClipboard();
    return ok;
}

}  // namespace

void OpenTechnicalContact(const std::wstring& productName) {
    const auto date = ProgramDateFromVersion(OwnIdentity().version);
    if (!ContactAvailable(date, Modal().Now())) RaiseError(ContactRefusal(date, ReadEndpoints().WebAddress()));
    TeKontaktTechniczny form(productName);
    form.ShowModal();
}

TtevUserData::TtevUserData(WinControl* parent) : TwoColumnGrid(parent, 110) {
    UserData data;
    data.Load();
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    for (size_t i = 0; i < UserData::kCount; ++i) rows.emplace_back(UserData::kNames[i], data.values[i]);
    SetRows(rows);
}

TtevUserData::~TtevUserData() {
    UserData data;
    data.values = Values();
    data.Save();
}

UserValues TtevUserData::Values() const {
    UserValues v;
    for (int i = 0; i < RowCount() && i < static_cast<int>(v.size()); ++i) v[static_cast<size_t>(i)] = Value(i);
    return v;
}

TtevUserInfo::TtevUserInfo(WinControl* parent) : TwoColumnGrid(parent, 110) {}

void TtevUserInfo::Fill(const TNazwaAplikacji& program) { SetRows(ContactInfoRows(program)); }

TeKontaktTechniczny::TeKontaktTechniczny(const std::wstring& productName)
    : Form(BorderStyle::Dialog), product_(productName) {
    SetCaption(kCaption);
    SetFont(WindowFont());
    SetColor(clTevCream);
    SetClientSize(540, 420);
    HelpContext = 13200;

    lbStrona = Add<Label>();
    lbStrona->SetBounds(0, 0, 540, 30);
    lbStrona->SetAlign(Align::Top);
    lbStrona->SetVerticalCenter(true);
    lbStrona->EditFont().size = 11;
    lbStrona->EditFont().bold = true;
    lbStrona->FontChanged();
    tsStrony = Add<TtevTabSetFlat>();
    tsStrony->SetColor(clTevGreen);
    tsStrony->UnselectedColor = clTevGreen;
    tsStrony->UnselectedFontColor = clWhite;
    tsStrony->SetEnabled(false);

    pDol = SidePanel(this, Align::Bottom, 44);
    tevDalejWsteczButton2 = Place<TtevDalejWsteczButton>(pDol, 12, 8, 120, 28, TtevDAlejWstecz::dwWstecz);
    tevDalejWsteczButton2->AllowFastEnd = true;
    tevDalejWsteczButton1 = Place<TtevDalejWsteczButton>(pDol, 408, 8, 120, 28, TtevDAlejWstecz::dwDalej);
    tevDalejWsteczButton1->AllowFastEnd = true;
    tevDalejWsteczButton1->SetDefault(true);
    SetDefaultButton(tevDalejWsteczButton1);
    for (auto* b : {tevDalejWsteczButton1, tevDalejWsteczButton2}) b->SetColor(clWhite);
    tevDalejWsteczButton1->OnDalej = [this](int page, TtevDAlejWstecz, bool& allow) {
        tevDalejWsteczButton1Dalej(page, allow);
    };
    tevDalejWsteczButton1->OnAfterDalej = [this](int, TtevDAlejWstecz, bool& allow) {
        if (allow) tevDalejWsteczButton1AfterDalej(PageIndex());
    };
    tevDalejWsteczButton1->OnAfterFastEnd = [this](Control*) { bPrzekazClick(); };

    nb = Add<Notebook>();
    nb->SetAlign(Align::Client);
    nb->SetBorderWidth(12);
    Panel* pWitamy = nb->AddPage(L" Witamy | Podstawowe informacje");
    Panel* pDane = nb->AddPage(L" Twoje dane | Informacje | Informacje o Tobie i kontakt");
    Panel* pInformacje = nb->AddPage(L" Informacje | Informacje o programie i komputerze");
    Panel* pMeritum = nb->AddPage(L" Meritum | Opis problemu, życzenia, pomysły...");
    Panel* pOdpowiedz = nb->AddPage(L" Odpowiedź |Kiedy dostanę odpowiedź?");
    Panel* pWyslij = nb->AddPage(L" Wyślij | Wyślij formularz wprost do TEV");
    nb->OnPageChanged = [this](Control*) { nbPageChanged(); };
    const int w = 516;

    lbWitamy = Place<THTMLabel>(pWitamy, 0, 0, w, 64,
                                L"Napisz do nas, jeśli masz kłopot z programem, pytanie albo pomysł. Najpierw wybierz "
                                L"<b>rodzaj wiadomości</b>.<br><br>Naciśnij <b>F1</b>, aby zajrzeć do pomocy z "
                                L"odpowiedziami na najczęstsze pytania.");
    rbTechnikalia = Place<RadioButton>(pWitamy, 0, 76, w, 20, L"&kwestie techniczne: działanie programu, błędy");
    rbZamowienia = Place<RadioButton>(pWitamy, 0, 100, w, 20, L"za&mówienia i marketing: ceny, licencje, faktury");
    rbZlotaRybka = Place<RadioButton>(pWitamy, 0, 124, w, 20, L"&Zovir Ozeri: życzenia i pomysły");
    bCoNowego = Place<TtevColorButton>(pWitamy, 0, 160, 300, 28, L"Pokaż, co nowego w ostatnich aktualizacjach...");
    bCoNowego->SetColor(clWhite);
    bCoNowego->OnClick = [](Control*) { Modal().ShellOpen(ReadEndpoints().NewsAddress(), L""); };

    sgDane = pDane->Add<TtevUserData>();
    sgDane->SetAlign(Align::Client);
    sgInformacje = pInformacje->Add<TtevUserInfo>();
    sgInformacje->SetAlign(Align::Client);

    auto* lbTresc = Place<Label>(pMeritum, 0, 0, w, 18, L"Treść wiadomości (opisz problem, życzenie albo pomysł):");
    lbTresc->SetAlign(Align::Top);
    mTresc = pMeritum->Add<Memo>(false);
    mTresc->SetAlign(Align::Client);

    lbOdpowiedz = Place<THTMLabel>(pOdpowiedz, 0, 0, w, 160,
                                   L"Na wiadomości odpowiadamy po kolei, zwykle w ciągu <b>kilku lub kilkunastu "
                                   L"dni</b>.<br><br>Odpowiedź przyjdzie na adres e-mail podany na stronie <b>Twoje "
                                   L"dane</b>, dlatego sprawdź, czy jest poprawny.<br><br>Wiele odpowiedzi znajdziesz "
                                   L"od razu w pomocy programu (klawisz F1) i na naszej stronie pod hasłem CO NOWEGO.");

    rbPoczta = Place<RadioButton>(pWyslij, 0, 0, w, 20, L"wydrukuj, wyślę pocztą lub faksem (niedostępne w tej wersji)");
    rbPoczta->SetEnabled(false);
    rbMailem = Place<RadioButton>(pWyslij, 0, 24, w, 20, L"&mailem: przekaż wiadomość mojemu programowi pocztowemu");
    cbZalacznik = Place<CheckBox>(pWyslij, 0, 56, w, 20,
                                  L"wyślij jako załącznik kopię danych wprowadzonych do programu");
    cbZalacznik->SetEnabled(false);
    lbWyslij = Place<THTMLabel>(pWyslij, 0, 88, w, 60,
                                L"Naciśnij <b>Zakończ</b>: wiadomość trafi do Twojego programu pocztowego, który "
                                L"wyśle ją do działu pomocy technicznej Studio TEV przy najbliższej okazji.");

    // The topic and the way of sending, as they were left last time.
    rbTechnikalia->SetChecked(ReadSettingBool(kStateSection, L"rbTechnikalia", false));
    rbZamowienia->SetChecked(ReadSettingBool(kStateSection, L"rbZamowienia", false));
    rbZlotaRybka->SetChecked(ReadSettingBool(kStateSection, L"rbZlotaRybka", false));
    rbMailem->SetChecked(ReadSettingBool(kStateSection, L"rbMailem", true));

    tsStrony->SetNotebook(nb);
    tevDalejWsteczButton1->SetTabSetFlat(tsStrony);
    tevDalejWsteczButton2->SetTabSetFlat(tsStrony);
    tevDalejWsteczButton1->Loaded();
    tevDalejWsteczButton2->Loaded();
    OnShow = [this](Control*) { FormShow(); };
    CenterOnScreen();
}

TeKontaktTechniczny::~TeKontaktTechniczny() {
    WriteSettingBool(kStateSection, L"rbTechnikalia", rbTechnikalia->Checked());
    WriteSettingBool(kStateSection, L"rbZamowienia", rbZamowienia->Checked());
    WriteSettingBool(kStateSection, L"rbZlotaRybka", rbZlotaRybka->Checked());
    WriteSettingBool(kStateSection, L"rbPoczta", rbPoczta->Checked());
    WriteSettingBool(kStateSection, L"rbMailem", rbMailem->Checked());
}

void TeKontaktTechniczny::FormShow() {
    tsStrony->SetTabIndex(0);
    nbPageChanged();
    sgInformacje->Fill(OwnIdentity());
}

void TeKontaktTechniczny::nbPageChanged() {
    const int page = PageIndex();
    if (page < 0 || page >= nb->PageCount()) return;
    lbStrona->SetText(L"  " + AfterFirstBar(nb->Page(page)->Text()));
}

ContactTopic TeKontaktTechniczny::Topic() const {
    if (rbTechnikalia->Checked()) return ContactTopic::Technical;
    if (rbZamowienia->Checked()) return ContactTopic::Orders;
    if (rbZlotaRybka->Checked()) return ContactTopic::ZlotaRybka;
    return ContactTopic::None;
}

void TeKontaktTechniczny::tevDalejWsteczButton1Dalej(int page, bool& allow) {
    allow = false;
    switch (page) {
    case pgWitamy:
        if (Topic() == ContactTopic::None)
            RaiseError(L"Wybierz rodzaj wiadomości!\r\nJeśli nie wiesz, na co się zdecydować, wybierz INNE.");
        break;
    case pgTwojeDane: {
        const UserValues v = sgDane->Values();
        if (!PassesMailTest(v[6])) RaiseError(L"Musisz podać poprawny adres e-mail!");
        if (!RequiredFieldsFilled(v)) {
            Ask(L"Musisz podać wszystkie dane poprawnie!\r\nWymagane są: imię, nazwisko, adres i miasto!");
            RaiseError(L"Musisz podać wszystkie wymagane dane!");
        }
        break;
    }
    case pgMeritum:
        if (mTresc->Value().size() < 5) RaiseError(L"Nie wpisałeś żadnego tekstu!");
        break;
    default: break;
    }
    allow = true;
}

void TeKontaktTechniczny::tevDalejWsteczButton1AfterDalej(int page) {
    nbPageChanged();
    // The keyboard goes where the page is filled in.
    if (page == pgTwojeDane) sgDane->FocusRow(0);
    else if (page == pgInformacje) sgInformacje->FocusRow(0);
    else if (page == pgMeritum) mTresc->SetFocus();
    else tevDalejWsteczButton1->SetFocus();
    if (page == pgTwojeDane && Topic() == ContactTopic::Orders) {
        if (const auto& open = CurrentNetSide().openOrderWindow) open(product_);
        else Ask(L"*Zamówienia i marketing\r\nFormularz zamówienia nie jest jeszcze dostępny w tej wersji programu.");
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
    }
}

std::wstring TeKontaktTechniczny::MessageText() const {
    ContactDocument doc;
    doc.topic = TopicText(Topic());
    doc.message = mTresc->Value();
    doc.user = sgDane->Rows();
    doc.info = sgInformacje->Rows();
    return ContactPlainText(doc, Modal().Now());
}

void TeKontaktTechniczny::bPrzekazClick() {
    if (!rbMailem->Checked() || !rbMailem->Enabled())
        RaiseError(L"Wybierz formę przesłania informacji do TEV!\r\nMasz do wyboru kilka opcji, najszybciej będzie "
                   L"internetem.");
    const std::wstring text = MessageText();
    const std::wstring subject = product_ + L" - " + TopicText(Topic());
    if (SendMapiMail(text, L"", subject, true, ReadEndpoints().supportMailbox, L"Studio TEV - pomoc techniczna")) {
        Ask(L"*Wiadomość została przekazana do Twojego programu pocztowego. Zostanie wysłana przy okazji.\r\nJeśli "
            L"wszystko pójdzie OK i wiadomość do nas dotrze, spodziewaj się odpowiedzi w ciągu kilku lub kilkunastu "
            L"dni.");
        SetModalResult(mrOk);
        return;
    }
    OfferOtherWays(text, subject);
}

void TeKontaktTechniczny::OfferOtherWays(const std::wstring& text, const std::wstring& subject) {
    const std::wstring address = ReadEndpoints().supportMailbox;
    const std::wstring whole = L"Do: " + address + L"\r\nTemat: " + subject + L"\r\n\r\n" + text;
    const bool copied = PutInClipboard(Handle(), whole);
    std::wstring offer = L"Nie udało się wysłać!\r\nZapewne w systemie nie ustawiono programu pocztowego. ";
    if (copied) offer += L"Treść wiadomości jest w schowku: wklej ją do nowej wiadomości na adres " + address + L". ";
    offer += L"Czy zapisać wiadomość także do pliku?";
    if (!Ask(offer)) return;
    FileChoice choice;
    choice.title = L"Zapisz wiadomość do TEV";
    choice.filter = L"Pliki tekstowe|*.txt";
    choice.defaultExt = L"txt";
    choice.fileName = L"Wiadomość do TEV.txt";
    const auto path = Modal().ChooseSaveFile(choice);
    if (!path) return;
    const std::string bytes = "\xEF\xBB\xBF" + WideToUtf8(whole);
    HANDLE f = CreateFileW(path->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = f != INVALID_HANDLE_VALUE && WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    if (ok) Ask(L"*Zapisałem wiadomość w pliku " + *path + L"\r\nWyślij ją na adres " + address + L".");
    else RaiseError(L"Nie udało się zapisać pliku " + *path);
}
