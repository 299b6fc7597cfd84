#include "app/win/backupwiring.h"

#include "backup/win/backupsettings.h"
#include "backup/win/largebackup.h"
#include "store/win/datafiles.h"

void RegisterBackupSide() {
    SetSmallCopyRules([] { return CurrentBackupSettings().WykonujMaleKopie; }, &PruneSmallCopies);
}
