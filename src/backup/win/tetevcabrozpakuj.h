#pragma once
// TeTevCabRozpakuj: the files of one large backup, each with the place it
// belongs now (the current file of its data table, or one of the shared
// files), and the restore of the chosen ones over the current files.
//
// Every table's place is found before the list is shown (without searching
// and without recording anything), so the targets are known right after the
// program starts. A file is restored by its position in the archive (two
// entries may share a name): it is written to a temporary file beside its
// target and replaces the target only when complete, after the questions;
// it counts as restored once the target holds it.
#include <string>

#include "cabinet/cabfile.h"
#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/htmlistbox.h"
#include "ui/kit/win/tevpanel.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"

// Shows the backup's files for restoring; true when at least one file was
// restored. A missing file raises "Plik nie istnieje!" with its path.
bool RestoreFromLargeBackup(const std::wstring& path);

class TeTevCabRozpakuj : public Form {
public:
    explicit TeTevCabRozpakuj(const std::wstring& path);

    void FormShow(Control* sender);
    // "Odtwórz zaznaczone pliki".
    void bOdtworzClick(Control* sender);
    // The link of one item: restores that file; the window stays open.
    void lbPlikiAnchorClick(Control* sender, int index, const std::wstring& anchor);

    std::wstring BackupPath;
    TCABFile CABFile1;
    // Set by the first file restored.
    bool Restored = false;

    TtevPanel* pnPasek;
    TtevPanel* pnTresc;
    Label* lbNazwaKopii;
    Label* lbPytanie;
    TtevHtmlCheckListBox* lbPliki;
    TtevPanel* pnDol;
    TtevColorButton* bZamknij;
    TtevColorButton* bOdtworz;

private:
    // Restores the entry at position index (its list item) to target; true
    // when the target holds it. confirmation is the question asked first.
    bool RestoreEntry(int index, const std::wstring& target, const std::wstring& confirmation);
};
