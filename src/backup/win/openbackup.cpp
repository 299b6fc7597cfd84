#include "backup/win/openbackup.h"

#include "backup/win/archivefolder.h"
#include "backup/win/tezawartoscarchiwum.h"
#include "cabinet/cabfile.h"
#include "interact/ask.h"
#include "interact/filedialogs.h"
#include "interact/progress.h"
#include "util/win/files.h"

void OpenBackup() {
    ShowBackup(ChooseOpenFile(L"Kopia zapasowa", ArchiveFolder() + L"*.cab", L"Kopie zapasowe|*.cab"));
}

void ShowBackup(const std::wstring& path) {
    if (!FileExists(path)) RaiseError(L"Plik nie istnieje!\r\n" + path);
    ShowStatus(L"Otwieram plik kopii");
    // The archive's list is read once, here: the dialog, its information
    // file and the restore take it from the dialog's archive.
    TeZawartoscArchiwum dialog(path);
    if (!dialog.ReadArchive()) {
        // A file that is no archive at all (or one damaged beyond reading its
        // list) is said so; there is nothing to restore from it.
        RaiseError(L"Ten plik nie jest archiwum kopii zapasowej albo jest tak uszkodzony, że nie da się go "
                   L"odczytać.\r\n" + path + L"\r\n" + dialog.CABFile1.LastError +
                   L"\r\nNie ma z niego czego odtworzyć: wybierz inny plik kopii.");
    }
    dialog.ShowModal();
}
