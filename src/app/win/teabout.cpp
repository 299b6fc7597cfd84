#include "app/win/teabout.h"

#include <windows.h>

#include "app/win/cursors.h"
#include "app/win/notavailable.h"
#include "app/win/siblings.h"
#include "cleanup/win/tevorozide.h"
#include "interact/ask.h"
#include "interact/seam.h"
#include "net/win/endpoints.h"
#include "store/win/datasets.h"
#include "ui/kit/win/formkit.h"
#include "util/datetext.h"
#include "util/win/files.h"
#include "util/win/identity.h"
#include "util/win/sharedfiles.h"

namespace {

constexpr wchar_t kCaption[] = L"Tevsoft 2002 -- O programie";

Label* CentredLabel(WinControl* parent, int height) {
    auto* l = parent->Add<Label>();
    l->SetAlign(Align::Top);
    l->SetHeight(height);
    l->SetAlignment(Alignment::Center);
    l->SetVerticalCenter(true);
    return l;
}

// A two-line label of markup: a plain first line and a bold value under it.
TtevClickableLabel* PageLabel(WinControl* parent, int height, bool acts) {
    auto* l = parent->Add<TtevClickableLabel>();
    l->SetAlign(Align::Top);
    l->SetHeight(height);
    l->SetHtmlAware(true);
    l->SetVerticalCenter(true);
    l->SetInnerBorder(4);
    if (acts) {
        l->Hover = true;
        l->SetCursor(CustomCursor(crHand));
    }
    return l;
}

// A gap of the page's colour between two labels.
void Gap(WinControl* parent, int height) { SidePanel(parent, Align::Top, height); }

// The folder as one parameter: quoted, so that a name with commas or spaces
// ("Firma, s.c.") reaches Explorer whole. A closing backslash would escape
// the quote; a drive's root needs no quotes.
std::wstring FolderParameter(std::wstring folder) {
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    if (folder.size() <= 3) return folder;
    return L"\"" + folder + L"\"";
}

}  // namespace

std::wstring EnvironmentText(bool ntFamily) {
    return ntFamily ? L"środowisko pracy:<br><b>Windows NT" : L"środowisko pracy:<br><b>standardowe Windows";
}

std::vector<std::wstring> RunningApplications() { return RunningExecutables(ExecutablePath()); }

std::wstring AboutContactMarkup() {
    MakerEndpoints e = ReadEndpoints();
    std::wstring web = e.WebAddress();
    std::wstring shownWeb = e.webServer.host;
    return L"<b>Studio TEV</b><br>"
           L"ul. Ogrodowa 12<br>"
           L"00-950 Warszawa<br><br>"
           L"e-mail: <a href=\"mailto:" + e.generalMailbox + L"\">" + e.generalMailbox + L"</a><br>"
           L"pomoc techniczna: <a href=\"mailto:" + e.supportMailbox + L"\">" + e.supportMailbox + L"</a><br>"
           L"strona: <a href=\"" + web + L"\">" + shownWeb + L"</a><br><br>"
           L"tel. (22) 000 00 00<br>"
           L"faks (22) 000 00 01";
}

TeAbout::TeAbout() : Form(BorderStyle::Dialog) {
    SetCaption(kCaption);
    SetColor(clWhite);
    SetFont(WindowFont());
    SetClientSize(454, 361);

    pNaglowek = Add<TtevPanel>();
    pNaglowek->SetAlign(Align::Top);
    pNaglowek->SetHeight(34);
    pNaglowek->SetColor(clTevCream);
    lbInfo = pNaglowek->Add<TtevClickableLabel>();
    lbInfo->SetAlign(Align::Client);
    lbInfo->SetVerticalCenter(true);
    lbInfo->SetInnerBorder(10);
    lbInfo->EditFont().size = 11;
    lbInfo->EditFont().bold = true;
    lbInfo->EditFont().color = clTevMaroon;
    lbInfo->FontChanged();

    ts = Add<TtevTabSetFlat>();
    ts->SetColor(clTevGreen);
    ts->UnselectedColor = clTevGreen;
    ts->UnselectedFontColor = clWhite;

    pStrony = Add<Panel>();
    pStrony->SetAlign(Align::Client);
    pStrony->SetColor(clWhite);
    Panel* pObrazek = SidePanel(pStrony, Align::Left, 72);
    pObrazek->SetBorderWidth(12);
    Image2 = pObrazek->Add<Image>();
    Image2->SetAlign(Align::Top);
    Image2->SetHeight(48);
    Image2->SetIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, Px(48),
                                                  Px(48), LR_DEFAULTCOLOR)),
                    48);

    nb = pStrony->Add<Notebook>();
    nb->SetAlign(Align::Client);
    nb->SetBorderWidth(12);
    Panel* p0 = nb->AddPage(L" O programie |Wersja programu, prawa autorskie");
    Panel* p1 = nb->AddPage(L" Informacje |Środowisko programu");
    Panel* p2 = nb->AddPage(L" Opcje |Narzędzia i możliwości");
    Panel* p3 = nb->AddPage(L" Kontakt |Producent, kontakt");
    for (Panel* p : {p0, p1, p2, p3}) p->SetColor(clWhite);

    // " O programie "
    const TNazwaAplikacji& id = OwnIdentity();
    Gap(p0, 16);
    VersionLabel7 = CentredLabel(p0, 30);
    VersionLabel7->SetText(id.productName);
    VersionLabel7->EditFont().size = 16;
    VersionLabel7->EditFont().bold = true;
    VersionLabel7->EditFont().color = clTevMaroon;
    VersionLabel7->FontChanged();
    VersionLabel8 = CentredLabel(p0, 44);
    VersionLabel8->SetWordWrap(true);
    VersionLabel8->SetText(id.fileDescription);
    Gap(p0, 24);
    lbPrawa = CentredLabel(p0, 44);
    lbPrawa->SetWordWrap(true);
    lbPrawa->SetText(L"© Studio TEV. Wszelkie prawa zastrzeżone.\r\nProgram chroniony prawem autorskim; "
                     L"kopiowanie i rozpowszechnianie bez zgody producenta jest zabronione.");
    pWersja = p0->Add<Panel>();
    pWersja->SetAlign(Align::Bottom);
    pWersja->SetHeight(44);
    pWersja->SetColor(clTevCream);
    pWersja->SetBorderWidth(5);
    VersionLabel6 = CentredLabel(pWersja, 17);
    VersionLabel6->SetText(id.version);
    MakeBold(VersionLabel6);
    VersionLabel5 = CentredLabel(pWersja, 17);
    VersionLabel5->SetText(id.comments);

    // " Informacje "
    lbNT = PageLabel(p1, 36, false);
    Gap(p1, 8);
    lbData = PageLabel(p1, 36, false);
    Gap(p1, 8);
    lbFolder = PageLabel(p1, 36, true);
    lbFolder->OnClick = [this](Control* s) { lbFolderClick(s); };
    Gap(p1, 8);
    lbUstawienia = PageLabel(p1, 36, true);
    lbUstawienia->OnClick = [this](Control* s) { lbUstawieniaClick(s); };

    // " Opcje "
    tevClickableLabel2 = PageLabel(p2, 40, true);
    tevClickableLabel2->SetCaption(L"<b>· Zmień zestaw danych »</b><br>przełącz zestaw danych");
    tevClickableLabel2->OnClick = [this](Control* s) { tevClickableLabel2Click(s); };
    Gap(p2, 10);
    tevColorButton1 = p2->Add<TtevColorButton>(
        L"<b>· Odinstaluj »</b><br>usuń niepotrzebne programy, bazy danych lub kopie zapasowe");
    tevColorButton1->SetHtmlAware(true);
    tevColorButton1->SetColor(clWhite);
    tevColorButton1->SetAlign(Align::Top);
    tevColorButton1->SetHeight(40);
    tevColorButton1->OnClick = [this](Control* s) { tevColorButton1Click(s); };
    Gap(p2, 10);
    tevClickableLabel1 = PageLabel(p2, 40, true);
    tevClickableLabel1->SetCaption(L"<b>· Aplikacje »</B><br>lista uruchomionych aplikacji w systemie");
    tevClickableLabel1->OnClick = [this](Control* s) { tevClickableLabel1Click(s); };

    // " Kontakt "
    Panel* pLogo = SidePanel(p3, Align::Right, 48);
    Image1 = pLogo->Add<Image>();
    Image1->SetAlign(Align::Top);
    Image1->SetHeight(32);
    Image1->SetIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, Px(32),
                                                  Px(32), LR_DEFAULTCOLOR)),
                    32);
    lbKontakt = p3->Add<THTMLabel>(AboutContactMarkup());
    lbKontakt->SetAlign(Align::Client);
    lbKontakt->SetTransparent(true);

    ts->InfoLabel = lbInfo;
    ts->SetNotebook(nb);
    OnShow = [this](Control* s) { FormShow(s); };
    CenterOnScreen();
}

void TeAbout::FormShow(Control*) {
    lbNT->SetCaption(EnvironmentText((GetVersion() & 0x80000000u) == 0));
    lbData->SetCaption(L"Dzisiejsza data:<br><b>" + LongDateText(Modal().Now()));
    std::wstring folder = ProgramDir();
    lbFolder->SetCaption(L"Program zainstalowany w:<br><b>" + folder);
    lbFolder->SetHint(folder);
    std::wstring settings = SharedSettingsFile();
    lbUstawienia->SetCaption(L"Ustawienia w pliku:<br><b>" + settings);
    lbUstawienia->SetHint(settings);
    ts->SetTabIndex(0);
    nb->SetPageIndex(0);
    lbInfo->SetCaption(L"Wersja programu, prawa autorskie");
}

bool TeAbout::PreTranslate(MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000)) {
        if (GetKeyState(VK_SHIFT) & 0x8000) ts->SelectPrevious();
        else ts->SelectNext();
        return true;
    }
    return Form::PreTranslate(msg);
}

void TeAbout::lbFolderClick(Control*) {
    if (!Modal().ShellOpen(L"explorer.exe", FolderParameter(lbFolder->Hint())))
        Ask(L"!Nie udało się otworzyć folderu programu.\r\n" + lbFolder->Hint());
}

void TeAbout::lbUstawieniaClick(Control*) {
    if (!Modal().ShellOpen(L"notepad.exe", L"\"" + lbUstawienia->Hint() + L"\""))
        Ask(L"!Nie udało się otworzyć pliku ustawień.\r\n" + lbUstawienia->Hint());
}

void TeAbout::tevClickableLabel2Click(Control*) { ChangeDataSet(); }

void TeAbout::tevColorButton1Click(Control*) {
    // After a confirmed removal of the tool the program ends (the cleanup's side).
    if (ShowCleanupWizard()) SetModalResult(mrCancel);
}

void TeAbout::tevClickableLabel1Click(Control*) {
    std::wstring lines;
    for (auto& path : RunningApplications()) lines += path + L"\r\n";
    ShowMessageList(L"Lista aplikacji", L"Aplikacje aktualnie uruchomione w systemie:", lines);
}

void ShowAbout() {
    TeAbout about;
    about.ShowModal();
}
