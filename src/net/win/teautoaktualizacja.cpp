#include "net/win/teautoaktualizacja.h"

#include <chrono>
#include <random>

#include "interact/ask.h"
#include "interact/seam.h"
#include "net/updateindex.h"
#include "net/url.h"
#include "net/win/endpoints.h"
#include "net/win/netside.h"
#include "net/win/systemfacts.h"
#include "net/win/updatefiles.h"
#include "net/win/wizardparts.h"
#include "ui/kit/win/formkit.h"
#include "ui/win/application.h"
#include "util/datetext.h"
#include "util/failure.h"
#include "util/lastmodified.h"
#include "util/paths.h"
#include "util/safeformat.h"
#include "util/textcase.h"
#include "util/textedit.h"
#include "util/textmarkup.h"
#include "util/win/files.h"
#include "util/win/identity.h"
#include "util/win/logs.h"
#include "util/win/registry.h"

namespace {

constexpr wchar_t kCaption[] = L"Automatyczna aktualizacja programu";
constexpr wchar_t kOptionsSection[] = L"AutoRejestracja";
constexpr wchar_t kLastUpdateValue[] = L"Ostatnia aktualizacja";
constexpr wchar_t kRunOnceKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

template <typename T, typename... Args>
T* Place(WinControl* parent, int left, int top, int width, int height, Args&&... args) {
    T* c = parent->template Add<T>(std::forward<Args>(args)...);
    c->SetBounds(left, top, width, height);
    return c;
}

Label* WrappedLabel(WinControl* parent, int left, int top, int width, int height, const std::wstring& text = {}) {
    auto* l = Place<Label>(parent, left, top, width, height, text);
    l->SetWordWrap(true);
    return l;
}

// The body of a download in kB of 1000 bytes.
double Kilobytes(std::int64_t bytes) { return static_cast<double>(bytes) / 1000.0; }

DateTimeValue Today() { return static_cast<double>(static_cast<long long>(Modal().Now())); }

}  // namespace

bool RunAutomaticUpdate(const std::wstring& productName) {
    bool endProgram = false;
    int result;
    {
        TeAutoAktualizacja form(productName);
        result = form.ShowModal();
        endProgram = form.EndProgram();
    }
    if (result != mrOk) return false;
    WriteSetting(productName, kLastUpdateValue, std::to_wstring(static_cast<long long>(Today())));
    if (endProgram) {
        if (CurrentNetSide().endProgram) CurrentNetSide().endProgram();
        else PostQuitMessage(0);
        return true;
    }
    Ask(L"Jak najszybciej zamknij program i uruchom Windows ponownie, aby zobaczyć efekty wprowadzonych zmian.");
    return true;
}

TeAutoAktualizacja::TeAutoAktualizacja(const std::wstring& productName)
    : Form(BorderStyle::Dialog), product_(productName) {
    SetCaption(kCaption);
    SetFont(WindowFont());
    SetColor(clTevCream);
    SetClientSize(540, 420);

    httpAkt.identity.from = productName;
    httpAkt.identity.userAgent = L"AA2002 " + productName;
    for (HttpClient* c : {&HttpGet, &httpHead}) {
        c->identity.from = L"Studio TEV: Automatyczna Aktualizacja 2002";
        c->identity.userAgent = L"AA/2002/09";
    }
    httpAkt.OnCommand = HttpGet.OnCommand = httpHead.OnCommand = [this](const std::wstring& l) { httpAktCommand(l); };
    httpAkt.OnDocData = HttpGet.OnDocData = [this](std::string_view b, std::int64_t a) { httpAktDocData(b, a); };
    httpAkt.OnRequestDone = [this](const HttpResult& r) { httpAktRequestDone(r); };
    HttpGet.OnRequestDone = [this](const HttpResult& r) { HttpGetRequestDone(r); };
    httpHead.OnHeaderData = [this](const std::wstring& l) { httpHeadHeaderData(l); };
    SmtpClient1.OnDisplay = [this](const std::wstring& l) { SmtpClient1Display(l); };

    tsStrony = Add<TtevTabSetFlat>();
    tsStrony->SetColor(clTevGreen);
    tsStrony->UnselectedColor = clTevGreen;
    tsStrony->UnselectedFontColor = clWhite;
    // Pages change only through the wizard's button, which asks first.
    tsStrony->SetEnabled(false);
    lbOpis = Add<THTMLabel>();
    lbOpis->SetBounds(0, 0, 540, 30);
    lbOpis->SetAlign(Align::Top);
    lbOpis->SetBorderWidth(8);
    lbOpis->SetVAlignment(TVAlignment::tvaCenter);
    lbOpis->EditFont().size = 11;
    lbOpis->EditFont().bold = true;
    lbOpis->FontChanged();

    pDol = SidePanel(this, Align::Bottom, 74);
    lbHttp = Place<Label>(pDol, 12, 4, 516, 14);
    lbGet = Place<Label>(pDol, 12, 19, 516, 14);
    for (Label* l : {lbHttp, lbGet}) {
        l->EditFont().color = Rgb(90, 90, 90);
        l->FontChanged();
    }
    bZamknij = Place<TtevColorButton>(pDol, 12, 40, 100, 28, L"Z&amknij");
    bZamknij->SetColor(clWhite);
    bZamknij->SetCancel(true);
    bZamknij->OnClick = [this](Control*) { bZamknijClick(); };
    SetCancelButton(bZamknij);
    tevDalejWsteczButton2 = Place<TtevDalejWsteczButton>(pDol, 408, 40, 120, 28, TtevDAlejWstecz::dwDalej);
    tevDalejWsteczButton2->SetColor(clWhite);
    tevDalejWsteczButton2->SetDefault(true);
    SetDefaultButton(tevDalejWsteczButton2);
    tevDalejWsteczButton2->AllowFastEnd = false;
    tevDalejWsteczButton2->OnDalej = [this](int page, TtevDAlejWstecz, bool& allow) {
        tevDalejWsteczButton2Dalej(page, false, allow);
    };
    tevDalejWsteczButton2->OnAfterDalej = [this](int page, TtevDAlejWstecz, bool& allow) {
        tevDalejWsteczButton2Dalej(page, true, allow);
    };

    nbStrony = Add<Notebook>();
    nbStrony->SetAlign(Align::Client);
    nbStrony->SetBorderWidth(12);
    Panel* pWitamy = nbStrony->AddPage(L" Aktualizacja |Witamy w automatycznej aktualizacji programu");
    Panel* pLaczenie = nbStrony->AddPage(L" Łączenie |Łączę się z serwerem aktualizacji");
    Panel* pPliki = nbStrony->AddPage(L" Wybór plików |Wybierz pliki do pobrania");
    Panel* pOpcje = nbStrony->AddPage(L" Wybór opcji |Jak przeprowadzić aktualizację?");
    Panel* pAktualizowanie = nbStrony->AddPage(L" Aktualizowanie |Pobieram wybrane pliki");
    const int w = 516;

    // "Aktualizacja"
    lbWitamy = Place<THTMLabel>(pWitamy, 0, 0, w, 92,
                                L"Kreator pobierze z serwera Studio TEV listę nowych plików programu. Wybierzesz z "
                                L"niej pliki do pobrania i serwer, z którego przyjdą.<br><br>Przed pobraniem możesz "
                                L"zachować bieżącą wersję programu (dostaniesz do niej skrót w menu Start) i wykonać "
                                L"kopię zapasową danych.<br><br>Połączenie z internetem musi być czynne. Naciśnij "
                                L"<b>Start</b>, gdy będziesz gotów.");
    lbOStatniaAkt = Place<THTMLabel>(pWitamy, 0, 104, w - 24, 34);
    TevInfoLabel1 = Place<TTevInfoLabel>(pWitamy, w - 18, 104, 16, 16);
    TevInfoLabel1->SetHint(L"Uruchomione programy");
    TevInfoLabel1->OnClick = [this](Control*) { TevInfoLabel1Click(); };
    tevColorButton1 = Place<TtevColorButton>(pWitamy, 0, 150, 300, 28, L"Pokaż, co nowego w ostatnich aktualizacjach...");
    tevColorButton1->SetColor(clWhite);
    tevColorButton1->OnClick = [this](Control*) { tevColorButton1Click(); };

    // "Łączenie"
    lbLaczenie = Place<THTMLabel>(pLaczenie, 0, 0, w, 80);

    // "Wybór plików"
    lbInfo = Place<THTMLabel>(pPliki, 0, 0, w, 44);
    lbInfo->SetAlign(Align::Top);
    lbDataInfo = Place<Label>(pPliki, 0, 0, w, 18);
    lbDataInfo->SetAlign(Align::Top);
    Panel* pSerwer = SidePanel(pPliki, Align::Bottom, 50);
    lbWersja = Place<Label>(pSerwer, 0, 4, w, 16);
    lbSerwer = Place<Label>(pSerwer, 0, 29, 60, 16, L"Serwer:");
    cbSerwer = Place<THTMLComboBox>(pSerwer, 60, 25, w - 60, 22);
    lb = pPliki->Add<TtevHtmlCheckListBox>();
    lb->SetAlign(Align::Client);

    // "Wybór opcji"
    cbWykonajKopieZapasowa =
        Place<CheckBox>(pOpcje, 0, 0, w, 20, L"&Wykonaj kopię zapasową danych przed aktualizacją");
    WrappedLabel(pOpcje, 18, 20, w - 18, 30,
                 L"Jeśli po aktualizacji coś pójdzie nie tak, odtworzysz z niej dane sprzed zmian.");
    cbZostawDostepny = Place<CheckBox>(pOpcje, 0, 56, w, 20, L"&Zostaw dostępną bieżącą wersję programu");
    WrappedLabel(pOpcje, 18, 76, w - 18, 30,
                 L"Kopia programu zostanie obok niego, a w menu Start pojawi się do niej skrót.");
    rbTradycyjna = Place<RadioButton>(pOpcje, 0, 118, w, 20,
                                      L"aktualizacja &tradycyjna: instalator ruszy po ponownym uruchomieniu Windows");
    rbSzybka = Place<RadioButton>(pOpcje, 0, 140, w, 20,
                                  L"aktualizacja &szybka: zamknij program i zainstaluj aktualizację od razu");

    // "Aktualizowanie"
    lbUrl = Place<Label>(pAktualizowanie, 0, 0, w, 16);
    lbNazwaPliku = Place<Label>(pAktualizowanie, 0, 18, w, 16);
    lbGot = WrappedLabel(pAktualizowanie, 0, 38, w, 30);
    pbPostep = Place<ProgressBar>(pAktualizowanie, 0, 72, w, 16);
    pbPostep->SetRange(0, 1000);
    mInfo = Place<Memo>(pAktualizowanie, 0, 96, w, 110, true);

    tsStrony->InfoLabel = lbOpis;
    tsStrony->SetNotebook(nbStrony);
    lbOpis->SetHTML(L"Witamy w automatycznej aktualizacji programu");
    tevDalejWsteczButton2->SetTabSetFlat(tsStrony);
    tevDalejWsteczButton2->Loaded();
    OnShow = [this](Control*) { FormShow(); };
    OnClose = [this](Control*) { bZamknijClick(); };
    CenterOnScreen();
    FormCreate();
}

TeAutoAktualizacja::~TeAutoAktualizacja() {
    FormDestroy();
    // Nothing of a request may reach a window being destroyed.
    httpAkt.Abort();
    HttpGet.Abort();
    httpHead.Abort();
    SmtpClient1.Abort();
}

void TeAutoAktualizacja::FormCreate() {
    cbWykonajKopieZapasowa->SetChecked(ReadSettingBool(kOptionsSection, L"cbWykonajKopieZapasowa", true));
    cbZostawDostepny->SetChecked(ReadSettingBool(kOptionsSection, L"cbZostawDostepny", true));
    const bool szybka = ReadSettingBool(kOptionsSection, L"rbSzybka", false);
    rbSzybka->SetChecked(szybka);
    rbTradycyjna->SetChecked(!szybka);
    endpoints_ = ReadEndpoints();
    const std::wstring exeDir = DirectoryPart(ExecutablePath());
    programDirWritable_ = CanCreateFilesIn(exeDir);
    updateDir_ = UpdateDirFor(product_);
    lbLaczenie->SetHTML(L"Pobieram listę plików z serwera aktualizacji <b>" + endpoints_.updateServer.host +
                        L"</b>.<br><br>Poczekaj chwilę. Jeśli to trwa zbyt długo, sprawdź połączenie z internetem "
                        L"albo zamknij okno i spróbuj później.");
    const TNazwaAplikacji& own = OwnIdentity();
    lbWersja->SetText(L"zainstalowana wersja programu: " + own.version + L"     data: " + own.comments);
}

void TeAutoAktualizacja::FormShow() {
    SetCaption(product_ + L": " + kCaption);
    lastUpdate_ = ParseLastUpdateDay(ReadSetting(product_, kLastUpdateValue, L""));
    lbOStatniaAkt->SetHTML(LastUpdateStatus(lastUpdate_, Modal().Now()));
}

void TeAutoAktualizacja::FormDestroy() {
    WriteSettingBool(kOptionsSection, L"cbWykonajKopieZapasowa", cbWykonajKopieZapasowa->Checked());
    WriteSettingBool(kOptionsSection, L"cbZostawDostepny", cbZostawDostepny->Checked());
    WriteSettingBool(kOptionsSection, L"rbTradycyjna", rbTradycyjna->Checked());
    WriteSettingBool(kOptionsSection, L"rbSzybka", rbSzybka->Checked());
}

void TeAutoAktualizacja::GoToPage(int page) {
    tevDalejWsteczButton2->GoToTab(page);
    tevDalejWsteczButton2->SetRodzaj(TtevDAlejWstecz::dwDalej);
    // Nothing to go on to while connecting, and nothing after the last page.
    tevDalejWsteczButton2->SetEnabled(page != pgLaczenie && page != pgAktualizowanie);
    if (page == pgWyborPlikow) lb->SetFocus();
}

void TeAutoAktualizacja::tevDalejWsteczButton2Dalej(int page, bool after, bool& allow) {
    if (!after) {
        if (page == pgAktualizacja) {
            const auto& check = CurrentNetSide().checkRunningSiblings;
            if (check && check()) {
                allow = false;
                bZamknijClick();
            }
        } else if (page == pgWyborPlikow) {
            if (lb->CheckedCount() == 0) {
                allow = false;
                RaiseError(L"Nie wybrałeś żadnych plików!");
            }
        }
        return;
    }
    if (!allow || closing_) return;
    const int now = PageIndex();
    tevDalejWsteczButton2->SetEnabled(now != pgLaczenie && now != pgAktualizowanie);
    if (now == pgLaczenie) {
        DownloadIndex();
    } else if (now == pgAktualizowanie) {
        if (PrepareUpdate()) DownloadSelected();
        else SetModalResult(mrCancel);
    }
}

void TeAutoAktualizacja::httpAktCommand(const std::wstring& line) {
    // The request line above, the header lines that follow it below.
    if (line.starts_with(L"GET ") || line.starts_with(L"HEAD ")) lbHttp->SetText(line);
    lbGet->SetText(line);
}

void TeAutoAktualizacja::httpAktDocData(std::string_view block, std::int64_t announced) {
    if (transfer_ != Transfer::Running) {
        lbGet->SetText(L"otrzymuję dane");
        return;
    }
    lbGet->SetText(L"otrzymuję dane");
    received_ += static_cast<std::int64_t>(block.size());
    announced_ = announced;
    const DateTimeValue elapsed = static_cast<double>(GetTickCount64() - startTick_) / 86400000.0;
    lbGot->SetText(DownloadProgressText(received_, announced_, elapsed));
    if (announced_ > 0) pbPostep->SetPosition(static_cast<int>(received_ * 1000 / announced_));
}

void TeAutoAktualizacja::Log(const std::wstring& text) { AppendLog(updateDir_ + L"aa.rap", text); }

void TeAutoAktualizacja::DownloadIndex() {
    Invalidate();
    UpdateWindow(Handle());
    lb->Clear();
    itemFiles_.clear();
    EnableWindow(Handle(), FALSE);
    const std::wstring url = endpoints_.updateServer.UrlOf(L"/a.tev");
    const bool started = httpAkt.GetAsync(url);
    SetForegroundWindow(Handle());
    EnableWindow(Handle(), TRUE);
    if (!started) {
        Ask(L"%Nie udało się znaleźć pobrać danych.\r\n" + httpAkt.LastResult().Message());
        SetModalResult(mrCancel);
    }
}

void TeAutoAktualizacja::httpAktRequestDone(const HttpResult& result) {
    lb->Clear();
    itemFiles_.clear();
    EnableWindow(Handle(), TRUE);
    try {
        if (!result.Ok()) throw Failure(L"Nie udało się pobrać danych!\r\n" + result.Message());
        const std::string body = httpAkt.TakeBody();
        if (body.empty()) throw Failure(L"Nie udało się pobrać prawidłowych danych!");
        SaveWhole(updateDir_ + L"a.tev", body);
        const UpdateIndex index = ParseUpdateIndex(body, product_);
        if (index.information.empty()) throw Failure(L"Nie udało się pobrać prawidłowych danych!");

        information_ = PrepareInformationText(index.information);
        lbInfo->SetHTML(NewlinesToBreaks(information_));

        cbSerwer->Clear();
        cbSerwer->Add(ReserveServerMarkup(endpoints_.updateServer.host));
        for (const auto& [label, value] : index.servers)
            if (const auto mirror = UsableMirror(value)) cbSerwer->Add(ServerEntryMarkup(label, *mirror));
        std::mt19937 random(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
        cbSerwer->SetItemIndex(std::uniform_int_distribution<int>(0, cbSerwer->Count() - 1)(random));

        if (index.productLines.empty()) throw Failure(L"Nie ma żadnych plików do zaktualizowania!");
        const std::wstring ownName = FileNamePart(ExecutablePath());
        for (const std::wstring& line : index.productLines) {
            if (closing_) return;
            if (const auto info = InfoLineValue(line)) {
                lbDataInfo->SetText(L"Informacja o aktualizacji: " + *info);
                continue;
            }
            const auto file = SplitFileLine(line);
            if (!file) continue;
            const LocalNameVerdict verdict = CheckLocalName(file->name, ownName);
            if (verdict == LocalNameVerdict::Unsafe || verdict == LocalNameVerdict::OwnFiles) {
                Log(L"ERROR: niedozwolona nazwa pliku w spisie aktualizacji: " + file->name);
                continue;
            }
            if (verdict == LocalNameVerdict::OwnProgram) {
                const int i = lb->Add(OwnProgramItemMarkup(*file));
                lb->SetItemEnabled(i, false);
                itemFiles_.emplace_back();
                continue;
            }
            serverDate_ = 0;
            const HttpResult head = httpHead.Head(endpoints_.updateServer.UrlOf(PercentEncodePath(file->path)));
            if (closing_) return;
            // The HEAD is cut short on purpose once the date is read.
            if (!head.Ok() && !(head.error == NetError::Aborted && serverDate_ > 0)) Log(L"ERROR: " + head.Message());
            lb->Add(UpdateItemMarkup(*file, serverDate_, lastUpdate_));
            itemFiles_.emplace_back(file->name, file->path);
        }
        if (!information_.empty()) Ask(L"*" + information_);
        for (int i = 0; i < lb->Count(); ++i)
            if (lb->ItemEnabled(i)) lb->SetChecked(i, true);
        GoToPage(pgWyborPlikow);
    } catch (const Failure& f) {
        if (closing_) return;
        httpAkt.Abort();
        Ask(L"%" + f.message() + L"\r\nSpróbuj jeszcze raz za jakiś czas lub ściągnij nasze programy wprost z " +
            endpoints_.WebAddress());
        SetModalResult(mrCancel);
        GoToPage(pgAktualizacja);
    }
}

void TeAutoAktualizacja::httpHeadHeaderData(const std::wstring& line) {
    lbHttp->SetText(line);
    if (!ContainsNoCase(L"Last-Modified", line)) return;
    Log(L"HEAD: " + line);
    serverDate_ = ParseLastModified(line);
    httpHead.Abort();
}

bool TeAutoAktualizacja::PrepareUpdate() {
    if (cbZostawDostepny->Checked() &&
        Ask(L"Czy zachować bieżącą wersję programu?\r\nWykonam do niej skrót w menu Start? Możesz go później bez "
            L"problemu skasować w dowolnym momencie.")) {
        const std::wstring exe = ExecutablePath();
        const TNazwaAplikacji& own = OwnIdentity();
        // Beside the program, or in the user's own folder when the program's
        // folder is closed to the user.
        const std::wstring dir = programDirWritable_ ? DirectoryPart(exe) : PerUserProgramDir(product_);
        const std::wstring copy = dir + KeptCopyName(own.version, FileNamePart(exe));
        if (!CopyFileW(exe.c_str(), copy.c_str(), FALSE) || FileSizeOf(copy) != FileSizeOf(exe))
            RaiseError(L"Nie udało się skopiować pliku!");
        const std::wstring menu = StartMenuDir();
        CreateDirectoryW((menu + L"Tevsoft\\").c_str(), nullptr);
        CreateDirectoryW((menu + L"Tevsoft\\Zachowane\\").c_str(), nullptr);
        if (const auto& write = CurrentNetSide().writeShortcut) {
            try {
                write(menu + KeptCopyShortcut(own.productName, Modal().Now()), copy);
            } catch (...) {
            }
        }
    }
    if (!cbWykonajKopieZapasowa->Checked()) return true;
    const auto& backup = CurrentNetSide().makeLargeBackup;
    if (backup && backup(L"Tevsoft 2002", ExecutablePath())) return true;
    // Going on replaces the program's files with nothing to go back to.
    if (Ask(L"Niestety, nie udało się wykonać kopii zapasowej.\r\nMożesz kontynuować na własne ryzyko.",
            Question::Destructive))
        return true;
    RaiseError(L"Przerwano!");
}

void TeAutoAktualizacja::DownloadSelected() {
    bool any = false;
    for (int i = 0; i < lb->Count() && !closing_; ++i) {
        if (!lb->Checked(i) || !lb->ItemEnabled(i) || i >= static_cast<int>(itemFiles_.size())) continue;
        const auto& [name, path] = itemFiles_[static_cast<size_t>(i)];
        if (name.empty() || path.empty()) continue;
        bool ok = false;
        try {
            ok = DownloadFile(name, path);
        } catch (const Failure&) {
        }
        any = any || ok;
        // After a failed download the rest wait for another time.
        if (!ok) break;
    }
    if (closing_) return;
    SetForegroundWindow(Handle());
    SetModalResult(any ? mrOk : mrCancel);
}

ServerOrigin TeAutoAktualizacja::DownloadOrigin() const {
    const int chosen = cbSerwer->ItemIndex();
    if (chosen > 0) {
        if (const auto mirror = UsableMirror(HiddenData(cbSerwer->Item(chosen)))) {
            ServerOrigin origin = ReadMirrorOrigin(mirror->host);
            const bool overridden = origin.Text() != MirrorOrigin(mirror->host, L"").Text();
            if (mirror->scheme == L"https" && !overridden) origin = {L"https", mirror->host, 443};
            return origin;
        }
    }
    return endpoints_.updateServer;
}

bool TeAutoAktualizacja::DownloadFile(const std::wstring& name, const std::wstring& path) {
    HttpGet.Abort();
    downloadName_ = name;
    downloadPath_ = path;
    const std::wstring url = DownloadOrigin().UrlOf(PercentEncodePath(path));
    const int chosen = cbSerwer->ItemIndex();
    std::wstring entry = chosen >= 0 ? cbSerwer->Item(chosen) : L"";
    MarkupToText(entry, false);
    while (!entry.empty() && (entry.back() == L'\n' || entry.back() == L'\r' || entry.back() == L' ')) entry.pop_back();
    lbUrl->SetText(entry + L" - " + path);
    lbNazwaPliku->SetText(updateDir_ + name);
    lbGot->SetText(L"");
    pbPostep->SetPosition(0);
    App().ProcessMessages();

    received_ = 0;
    announced_ = -1;
    trusted_ = false;
    startTick_ = GetTickCount64();
    transfer_ = Transfer::Running;
    if (!HttpGet.GetAsync(url)) {
        HttpGetRequestDone(HttpGet.LastResult());
    }
    while (transfer_ == Transfer::Running && !closing_ && !App().Terminated()) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        App().ProcessMessages();
    }
    if (transfer_ != Transfer::Succeeded || closing_) return false;
    AfterDownload(name, path, updateDir_ + name);
    return true;
}

void TeAutoAktualizacja::Fail(const std::wstring& message) { throw Failure(message); }

void TeAutoAktualizacja::HttpGetRequestDone(const HttpResult& result) {
    if (transfer_ != Transfer::Running) return;
    std::string body = HttpGet.TakeBody();
    lbGot->SetText(SafeFormat(L"%.3f kB", {Kilobytes(static_cast<std::int64_t>(body.size()))}));
    duration_ = static_cast<double>(GetTickCount64() - startTick_) / 86400000.0;
    const std::wstring destination = updateDir_ + downloadName_;
    std::wstring temporary;
    try {
        if (!result.Ok())
            Fail(SafeFormat(L"%d: Nie udało się pobrać danych!", {static_cast<int>(result.error) & 0xFFFF}) + L"\r\n" +
                 result.Message());
        if (body.empty()) Fail(L"Nie udało się pobrać prawidłowych danych!");
        if (result.announced >= 0 && static_cast<std::int64_t>(body.size()) < result.announced)
            Fail(L"Pobrano plik mniejszy niż oczekiwano. Zapewne coś po drodze uszkodziło plik. Powtórz jeszcze raz "
                 L"procedurę aktualizacji o innej porze albo zamów aktualizację na CD-ROM.");
        received_ = static_cast<std::int64_t>(body.size());
        if (result.announced >= 0) announced_ = result.announced;

        temporary = WriteTemporary(updateDir_, body);
        if (temporary.empty()) Fail(L"Nie udało się zapisać pliku " + destination);
        // Trusted: over HTTPS from the configured update server (the last
        // address asked, after any redirect), or signed.
        const auto last = ParseUrl(result.url);
        const ServerOrigin& update = endpoints_.updateServer;
        trusted_ = (last && last->scheme == L"https" && update.scheme == L"https" && last->host == update.host &&
                    last->port == update.port);
        if (!trusted_ && (IsExecutableName(downloadName_) || IsLoadableModule(downloadName_)))
            trusted_ = SignatureVerifies(temporary);
        if (IsLoadableModule(downloadName_) && !trusted_)
            Fail(L"Nie zapisałem pliku " + downloadName_ +
                 L": to biblioteka, którą program wczytałby przy następnym uruchomieniu, a przyszła przez "
                 L"niezabezpieczone połączenie i nie ma ważnego podpisu cyfrowego.");

        std::wstring backup;
        if (FileExists(destination)) {
            // A file another program holds (or a read-only one) could not be
            // replaced: found out before its backup takes the place of the
            // previous one.
            HANDLE probe = CreateFileW(destination.c_str(), GENERIC_WRITE | DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
            if (probe == INVALID_HANDLE_VALUE)
                Fail(L"Nie mogę zastąpić pliku " + destination +
                     L": używa go inny program albo jest tylko do odczytu.\r\nAktualizacja przerwana!");
            CloseHandle(probe);
            backup = LzExpandCopy(destination);
            if (backup.empty())
                Fail(L"Nie udało się wykonać kopii zapasowej pliku " + destination + L"\r\nAktualizacja przerwana!");
        }
        if (!ReplaceFile(temporary, destination))
            Fail(L"Nie udało się zapisać pliku " + destination + L"\r\nPlik pozostał bez zmian.");
        temporary.clear();
        const std::wstring ok = SafeFormat(L"OK: %s, %.3f kB", {destination, Kilobytes(received_)});
        Log(ok);
        mInfo->AddLine(ok);
        std::wstring report = L"*Pobrałem plik " + ok + L"\r\nUruchom program ponownie, aby zobaczyć zmiany.";
        if (!backup.empty()) report += L"\r\n\r\nW razie błędu masz na dysku kopię zapasową w pliku " + backup;
        Ask(report);
        transfer_ = Transfer::Succeeded;
    } catch (const Failure& f) {
        if (!temporary.empty()) DeleteFileW(temporary.c_str());
        transfer_ = Transfer::Failed;
        Log(L"ERROR: " + downloadName_ + L": " + f.message());
        if (closing_) return;
        Ask(L"%" + f.message());
        HttpGet.Abort();
        SetModalResult(mrCancel);
        GoToPage(pgAktualizacja);
    }
}

void TeAutoAktualizacja::AfterDownload(const std::wstring& name, const std::wstring& path,
                                       const std::wstring& destination) {
    try {
        SendNotice(name, path);
    } catch (...) {
    }
    if (closing_) return;
    try {
        if (IsExecutableName(name)) ArrangeInstaller(name, destination);
    } catch (const Failure& f) {
        Log(L"ERROR: " + f.message());
    }
}

void TeAutoAktualizacja::SendNotice(const std::wstring& name, const std::wstring& path) {
    DownloadNotice n;
    n.product = product_;
    n.fileName = name;
    n.serverPath = path;
    n.received = received_;
    n.announced = announced_;
    n.duration = duration_;
    n.programVersion = OwnIdentity().version;
    n.status = lbOStatniaAkt->Markup();
    MarkupToText(n.status, false);
    const WindowsFacts w = ReadWindowsFacts();
    auto q = [](const std::wstring& v) { return v.empty() ? std::wstring(L"?") : v; };
    n.windowsVersion = q(w.version);
    n.windowsVersionNumber = q(w.versionNumber);
    n.plusVersionNumber = q(w.plusVersionNumber);
    n.windowsProductName = q(w.productName);

    MailMessage m;
    m.from = {L"", endpoints_.notificationSender};
    m.to = {L"Studio TEV", endpoints_.updateMailbox};
    m.subject = NoticeSubject(n);
    m.body = NoticeBody(n);
    TIME_ZONE_INFORMATION tz;
    const DWORD zone = GetTimeZoneInformation(&tz);
    const long bias = tz.Bias + (zone == TIME_ZONE_ID_DAYLIGHT ? tz.DaylightBias : zone == TIME_ZONE_ID_STANDARD ? tz.StandardBias : 0);
    m.date = MailDate(Modal().Now(), static_cast<int>(-bias));
    SmtpClient1.server = endpoints_.mailServer;
    SmtpResult r = SmtpClient1.Connect();
    if (r.Ok() && !closing_) r = SmtpClient1.Send(m);
    if (!r.Ok()) {
        const std::wstring line = L"ERROR: powiadomienie: " + r.Message();
        Log(line);
        if (!closing_) mInfo->AddLine(line);
    }
}

void TeAutoAktualizacja::ArrangeInstaller(const std::wstring& name, const std::wstring& destination) {
    if (!trusted_) {
        const std::wstring why =
            L"!Nie uruchomię pobranego pliku " + name +
            L"\r\nPrzyszedł przez połączenie bez szyfrowania albo z serwera lustrzanego i nie ma ważnego podpisu "
            L"cyfrowego, więc po drodze mógł go ktoś podmienić. Nie uruchomię go ani nie zaplanuję jego "
            L"uruchomienia.\r\nPlik leży w " + destination + L"; uruchom go sam tylko wtedy, gdy jesteś pewien, skąd "
            L"pochodzi.";
        Log(L"ERROR: " + name + L": brak zabezpieczonego połączenia i ważnego podpisu, nie uruchamiam");
        mInfo->AddLine(L"Nie uruchamiam " + name + L": brak ważnego podpisu cyfrowego.");
        Ask(why);
        return;
    }
    // A program the user may not change (in Program Files, for a standard
    // user) is updated by its installer with an administrator's consent,
    // which the system asks for when the installer is started now; at the
    // next logon Windows would start it with the user's rights only.
    const bool now = rbSzybka->Checked() || !programDirWritable_;
    if (now) {
        const std::wstring question =
            programDirWritable_
                ? L"Czy zamknąć program i zainstalować nową aktualizację?\r\nJeśli wybierzesz Nie, aktualizacja "
                  L"zostanie przeprowadzona tradycyjnie, czyli po restarcie Windows."
                : L"Czy zamknąć program i zainstalować nową aktualizację?\r\nDo zmiany plików programu potrzebna "
                  L"jest zgoda administratora: Windows zapyta o nią po uruchomieniu instalatora. Jeśli wybierzesz "
                  L"Nie, uruchom później sam plik " + destination + L".";
        // The installer replaces the program's files.
        if (Ask(question, Question::Destructive)) {
            if (Modal().ShellOpen(destination, L"")) {
                Log(L"START: " + destination);
                endProgram_ = true;
                SetModalResult(mrOk);
                closing_ = true;
                return;
            }
        }
        if (!programDirWritable_) return;
    }
    RegWriteString(kCurrentUser, kRunOnceKey, name, RunOnceCommand(destination, updateDir_));
    Log(L"RunOnce: " + destination);
    Ask(L"*" + destination +
        L"\r\nTen plik EXE zostanie zaktualizowany przy następnym uruchomieniu Windows.\r\nZamknij wszystkie "
        L"programy, zakończ pracę komputera i uruchom go jeszcze raz!");
}

void TeAutoAktualizacja::SmtpClient1Display(const std::wstring& line) {
    lbHttp->SetText(line);
    lbGet->SetText(line);
    mInfo->AddLine(FormatPolishDate(L"dd mm yy, hh:nn: ", Modal().Now()) + line);
}

void TeAutoAktualizacja::bZamknijClick() {
    if (!closing_) {
        closing_ = true;
        SmtpClient1.Abort();
        httpAkt.Abort();
        HttpGet.Abort();
        httpHead.Abort();
        if (transfer_ == Transfer::Running) transfer_ = Transfer::Aborted;
    }
    if (ModalResult() == mrNone) SetModalResult(mrCancel);
}

void TeAutoAktualizacja::TevInfoLabel1Click() {
    std::wstring lines;
    const auto& list = CurrentNetSide().runningPrograms;
    if (list)
        for (const std::wstring& p : list()) lines += (lines.empty() ? L"" : L"\r\n") + p;
    ShowMessageList(L"Uruchomione aplikacje", L"Oto lista aktualnie uruchomionych programów", lines);
}

void TeAutoAktualizacja::tevColorButton1Click() { Modal().ShellOpen(endpoints_.NewsAddress(), L""); }
