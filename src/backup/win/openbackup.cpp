#include "backup/win/openbackup.h"

#include "backup/win/tezawartoscarchiwum.h"
#include "interact/ask.h"
#include "interact/filedialogs.h"
#include "interact/progress.h"
#include "util/win/files.h"

void OpenBackup() {
    ShowBackup(ChooseOpenFile(L"Kopia zapasowa", ProgramDir() + L"*.cab", L"Kopie zapasowe|*.cab"));
}

void ShowBackup(const std::wstring& path) {
    if (!FileExists(path)) RaiseError(L"Plik nie istnieje!\r\n" + path);
    ShowStatus(L"Otwieram plik kopii");
    TeZawartoscArchiwum dialog(path);
    dialog.ShowModal();
}
