#pragma once
// TeZawartoscArchiwum: the contents of a folder backup and the restore. It
// shows the archive's information, lists its files compared with the files
// now in the folder they came from, checks them by one of three modes and
// extracts the checked ones back into that folder.
#include <string>

#include "backup/restorelist.h"
#include "cabinet/cabfile.h"
#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/htmlistbox.h"
#include "ui/kit/win/tevpanel.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"

class TeZawartoscArchiwum : public Form {
public:
    explicit TeZawartoscArchiwum(const std::wstring& archivePath);

    // Reads the archive's list into CABFile1 (FormShow does it if nobody
    // did). False when the file is no archive or cannot be read at all:
    // CABFile1.LastError says why.
    bool ReadArchive();
    void FormCreate(Control* sender);
    void FormShow(Control* sender);
    // Shared by the four mode buttons: rebuilds the list and checks by mode.
    void bWypakujClick(Control* sender);
    // "Wypakuj wybrane pliki".
    void tevColorButton2Click(Control* sender);
    void OverWriteFile(TCABFile* sender, const std::wstring& filename, bool& Allow);

    std::wstring ArchivePath;
    TCABFile CABFile1;

    TtevPanel* pnPasek;
    TtevPanel* pnTresc;
    TtevPanel* pnNaglowek;
    Label* eNazwaArchiwum;
    Label* lbIlosc;
    Label* lbRozmiarArchiwum;
    Label* lbRozmiarPlikow;
    Label* lbKompresja;
    Label* lbDest;
    Label* lbKomentarz;
    Label* lbAplikacja;
    TtevPanel* pnTryby;
    TtevColorButton* bWypakuj;
    TtevColorButton* bZastapDodaj;
    TtevColorButton* bZastap;
    TtevColorButton* bWyczysc;
    TtevHtmlCheckListBox* lb;
    CheckBox* cbNiePytajOZastapienie;
    TtevPanel* pnDol;
    TtevColorButton* tevColorButton1;
    TtevColorButton* tevColorButton2;

private:
    bool archiveRead_ = false;
    void FillList(RestoreMode mode);
    // Where to restore when the archive's folder is gone or unknown: the
    // original re-created, or another folder chosen; false when cancelled.
    bool ChooseAnotherDest();
    Label* HeaderRow(int row, const std::wstring& caption);
    int rowHeight_ = 12;
    int captionWidth_ = 0;
};
