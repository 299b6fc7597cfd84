#include "app/win/temain.h"

#include "app/win/cursors.h"
#include "app/win/notavailable.h"
#include "app/win/periphery.h"
#include "app/win/placement.h"
#include "app/win/teabout.h"
#include "backup/win/folderbackup.h"
#include "backup/win/openbackup.h"
#include "backup/win/teopcjekopiizapasowych.h"
#include "interact/ask.h"
#include "interact/progress.h"
#include "interact/seam.h"
#include "net/win/teautoaktualizacja.h"
#include "net/win/tekontakttechniczny.h"
#include "ui/kit/win/formkit.h"
#include "ui/win/application.h"
#include "util/datetext.h"

const wchar_t kMainHeaderMarkup[] =
    L"<b>Archiwin</b><br>Studio TEV, Tevsoft 2002<br>"
    L"<a href=\"https://www.tev.pl\">www.tev.pl</a>";

namespace {

TtevClickableLabel* MenuLabel(WinControl* parent, const std::wstring& caption, int height) {
    auto* l = parent->Add<TtevClickableLabel>(caption);
    l->SetHeight(height);
    l->SetAlign(Align::Top);
    l->SetVerticalCenter(true);
    l->SetCursor(CustomCursor(crHand));
    return l;
}

}  // namespace

TeMain::TeMain() : Form(BorderStyle::Single) {
    SetCaption(L"Archiwin");
    SetColor(clWhite);
    SetFont(WindowFont());
    SetBounds(0, 0, 269, 268);

    // Each item runs as one command of the window (RunCommand).
    auto Command = [this](void (TeMain::*handler)()) {
        return [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); };
    };
    PopupMenu1.Add(L"Opcjekopiizapasowych1", L"Opcje &kopii zapasowych...", Command(&TeMain::Opcjekopiizapasowych1Click));
    PopupMenu1.Add(L"N1", L"-");
    PopupMenu1.Add(L"Automatycznaaktualizacja1", L"&Automatyczna aktualizacja...",
                   Command(&TeMain::Automatycznaaktualizacja1Click));
    PopupMenu1.Add(L"Kontakttechniczny1", L"&Kontakt techniczny...", Command(&TeMain::bPomocTechnicznaClick));
    PopupMenu1.Add(L"N5", L"-");
    PopupMenu1.Add(L"Oprogramie1", L"&O programie...", Command(&TeMain::Oprogramie1Click));
    PopupMenu1.Add(L"Zamwnaszeprogramy1", L"&Zamów nasze programy...", Command(&TeMain::bZamowProgramyClick));
    PopupMenu1.Add(L"N3", L"-");
    PopupMenu1.Add(L"Zamknij1", L"Zamknij", [this] { Zamknij1Click(); });

    tevPanel1 = Add<TtevPanel>();
    tevPanel1->SetColor(clTevSage);
    tevPanel1->SetAlign(Align::Client);

    Panel5 = SidePanel(tevPanel1, Align::Top, 52);
    Panel5->SetBorderWidth(4);
    tevPanel10 = SidePanel<TtevPanel>(Panel5, Align::Left, 49);
    Image1 = tevPanel10->Add<Image>();
    Image1->SetAlign(Align::Client);
    Image1->SetCenter(true);
    Image1->SetIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, Px(32),
                                                  Px(32), LR_DEFAULTCOLOR)),
                    32);
    HTMLabel6 = Panel5->Add<THTMLabel>(kMainHeaderMarkup);
    HTMLabel6->SetTransparent(true);
    HTMLabel6->SetVAlignment(TVAlignment::tvaCenter);
    HTMLabel6->SetAlign(Align::Client);

    tevClickableLabel1 = MenuLabel(tevPanel1, L"&Archiwin", 14);
    tevClickableLabel1->SetTransparent(false);
    tevClickableLabel1->SetColor(clTevMaroon);
    MakeBold(tevClickableLabel1, clWhite);
    tevClickableLabel1->DotLeft = true;
    tevClickableLabel1->Hover = true;
    tevClickableLabel1->SetDropDownMenu(&PopupMenu1);

    tevPanel2 = tevPanel1->Add<TtevPanel>();
    tevPanel2->SetColor(clTevCream);
    tevPanel2->SetBorderWidth(12);
    tevPanel2->SetAlign(Align::Client);
    ScrollBox1 = tevPanel2->Add<ScrollBox>();
    ScrollBox1->SetAlign(Align::Client);
    ScrollBox1->SetPopupMenu(&PopupMenu1);

    tevClickableLabel4 = MenuLabel(ScrollBox1, L"Kopie zapasowe", 22);
    MakeBold(tevClickableLabel4, clBlack);
    tevClickableLabel4->SetCursor(nullptr);
    tevClickableLabel3 = MenuLabel(ScrollBox1, L"&Zrób kopię zapasową folderu", 20);
    tevClickableLabel2 = MenuLabel(ScrollBox1, L"&Odtwórz kopię zapasową", 20);
    for (auto* l : {tevClickableLabel3, tevClickableLabel2}) {
        l->DotLeft = true;
        l->ArrowRightDouble = true;
        l->DropArrowRight = true;
        l->Hover = true;
    }
    tevClickableLabel3->OnClick = [this](Control* s) { RunCommand([this, s] { tevClickableLabel3Click(s); }); };
    tevClickableLabel2->OnClick = [this](Control* s) { RunCommand([this, s] { tevClickableLabel2Click(s); }); };
    bInne = MenuLabel(ScrollBox1, L"&Inne funkcje", 26);
    MakeBold(bInne, clBlack);
    bInne->Hover = true;
    bInne->SetDropDownMenu(&PopupMenu1);

    // Made last, so that Tab reaches the date strip after the commands above it.
    lbData = tevPanel1->Add<TtevClickableLabel>();
    lbData->SetHeight(14);
    lbData->SetAlign(Align::Bottom);
    lbData->SetAlignment(Alignment::Center);
    lbData->SetVerticalCenter(true);
    lbData->SetTransparent(false);
    lbData->SetColor(clTevGreen);
    MakeBold(lbData, clWhite);
    lbData->Hover = true;
    lbData->SetCursor(CustomCursor(crHand));
    lbData->SetDropDownMenu(&PopupMenu1);

    OnShow = [this](Control* s) { FormShow(s); };
    OnClose = [this](Control* s) { FormClose(s); };
    OnCloseQuery = [this] { return CloseQuery(); };
    CenterOnScreen();
    FormCreate(this);
}

void TeMain::FormCreate(Control*) {}

void TeMain::FormShow(Control*) { lbData->SetText(LongDateText(Modal().Now())); }

void TeMain::FormClose(Control*) { WriteFormPlacement(Handle(), L"Archiwin\\Main"); }

void TeMain::tevClickableLabel3Click(Control*) { BackupFolder(); }

void TeMain::tevClickableLabel2Click(Control*) { OpenBackup(); }

void TeMain::Opcjekopiizapasowych1Click() { ShowBackupOptions(); }

void TeMain::Automatycznaaktualizacja1Click() { RunAutomaticUpdate(L"Archiwin"); }

void TeMain::bPomocTechnicznaClick() { OpenTechnicalContact(L"Archiwin"); }

void TeMain::Oprogramie1Click() { ShowAbout(); }

void TeMain::bZamowProgramyClick() { OrderFormNotice(L"Archiwin"); }

void TeMain::Zamknij1Click() { Close(); }

void TeMain::RunCommand(const std::function<void()>& command) {
    if (working_) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    struct Done {
        TeMain& w;
        ~Done() {
            w.working_ = false;
            ForgetStopRequest();
            // Posted: a failure's message is shown first, then the window goes.
            if (w.closeWhenDone_) PostMessageW(w.Handle(), WM_CLOSE, 0, 0);
        }
    } done{*this};
    working_ = true;
    command();
}

bool TeMain::CloseQuery() {
    if (!working_) return true;
    if (!closeWhenDone_ &&
        AskHeadline(L"Praca jeszcze trwa. Czy przerwać ją i zamknąć program?",
                    L"Tak: praca zostanie przerwana tak, by nie został żaden niedokończony plik, a program zamknie "
                    L"się, gdy pokaże, jak się skończyła.\r\nNie: praca będzie trwała dalej.")) {
        closeWhenDone_ = true;
        RequestStop();
    }
    return false;
}
