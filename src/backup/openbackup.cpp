#include "backup/openbackup.h"

#include "app/ask.h"
#include "app/progress.h"
#include "backup/tezawartoscarchiwum.h"
#include "util/filedialogs.h"
#include "util/files.h"

void OpenBackup() {
    ShowBackup(ChooseOpenFile(L"Kopia zapasowa", ProgramDir() + L"*.cab", L"Kopie zapasowe|*.cab"));
}

void ShowBackup(const std::wstring& path) {
    if (!FileExists(path)) RaiseError(L"Plik nie istnieje!\r\n" + path);
    ShowStatus(L"Otwieram plik kopii");
    TeZawartoscArchiwum dialog(path);
    dialog.ShowModal();
}
