#include "app/win/netwiring.h"

#include "app/win/periphery.h"
#include "app/win/siblings.h"
#include "backup/win/largebackup.h"
#include "cleanup/win/shelllink.h"
#include "net/win/netside.h"
#include "net/win/networker.h"
#include "ui/win/application.h"
#include "util/win/identity.h"

void RegisterNetSide() {
    // While a request waits, the program's windows keep working, dialog keys
    // included; a failure in an event is shown like any other.
    SetNetHooks({[] { App().ProcessMessages(); }, [](std::exception_ptr e) { App().HandleException(e); }});
    NetSide side;
    side.checkRunningSiblings = [] { return CheckRunningSiblings(true, false); };
    side.runningPrograms = [] { return RunningExecutables(ExecutablePath()); };
    // Before an installer replaces anything: asked first, reported, every
    // table, no pruning.
    side.makeLargeBackup = [](const std::wstring& tag, const std::wstring& extraFile) {
        return MakeLargeBackup(tag, extraFile, true, true, false, true);
    };
    side.openOrderWindow = [](const std::wstring& product) { OrderFormNotice(product); };
    side.writeShortcut = [](const std::wstring& link, const std::wstring& target) {
        try {
            TPBShellLink shortcut;
            shortcut.SetFileName(link);
            shortcut.Target = target;
            shortcut.FileIcon = {target, 0};
            shortcut.Save();
            return true;
        } catch (const EPBShellLink&) {
            return false;
        }
    };
    SetNetSide(std::move(side));
}
