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
    {
        // A file that is no archive at all (or one damaged beyond reading its
        // list) is said so; there is nothing to restore from it.
        TCABFile probe;
        probe.CABFile = path;
        probe.ReadContents();
        if (probe.CABFileContents.Count() == 0 && !probe.LastError.empty())
            RaiseError(L"Ten plik nie jest archiwum kopii zapasowej albo jest tak uszkodzony, że nie da się go "
                       L"odczytać.\r\n" + path + L"\r\n" + probe.LastError +
                       L"\r\nNie ma z niego czego odtworzyć: wybierz inny plik kopii.");
    }
    TeZawartoscArchiwum dialog(path);
    dialog.ShowModal();
}
