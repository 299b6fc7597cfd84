#include "app/win/startup.h"

#include <windows.h>

#include "app/win/backupwiring.h"
#include "app/win/cursors.h"
#include "app/win/instance.h"
#include "app/win/netwiring.h"
#include "app/win/notavailable.h"
#include "app/win/periphery.h"
#include "app/win/progress.h"
#include "app/win/siblings.h"
#include "app/win/stdcolors.h"
#include "app/win/teabout.h"
#include "app/win/temain.h"
#include "app/win/windows_responder.h"
#include "backup/win/backupsettings.h"
#include "backup/win/infofile.h"
#include "backup/win/teopcjekopiizapasowych.h"
#include "cleanup/win/cleanupside.h"
#include "cleanup/win/shortcutoffer.h"
#include "cleanup/win/tevorozide.h"
#include "interact/ask.h"
#include "store/tevlist.h"
#include "store/win/datafiles.h"
#include "store/win/datasets.h"
#include "ui/win/application.h"
#include "util/textcase.h"
#include "util/win/identity.h"
#include "util/win/registry.h"
#include "util/win/sharedfiles.h"

WindowSwitch FindWindowSwitch(const std::wstring& commandLine) {
    static const std::pair<const wchar_t*, WindowSwitch> kSwitches[] = {
        {L"/instaluj", WindowSwitch::Instaluj},           {L"/pierwszykrok", WindowSwitch::PierwszyKrok},
        {L"/about", WindowSwitch::About},                 {L"/ustawienia", WindowSwitch::Ustawienia},
        {L"/kopiezapasowe", WindowSwitch::KopieZapasowe}, {L"/vorozide", WindowSwitch::Vorozide},
    };
    for (auto& [text, which] : kSwitches)
        if (ContainsNoCase(text, commandLine)) return which;
    return WindowSwitch::None;
}

namespace {

void ShowSwitchWindow(WindowSwitch which) {
    switch (which) {
    case WindowSwitch::Instaluj: InstallerNotice(); break;
    case WindowSwitch::About: ShowAbout(); break;
    case WindowSwitch::Ustawienia: PrintSettingsNotice(); break;
    case WindowSwitch::KopieZapasowe: ShowBackupOptions(); break;
    case WindowSwitch::Vorozide: ShowCleanupWizard(); break;
    case WindowSwitch::PierwszyKrok:
    case WindowSwitch::None: break;
    }
}

// The steps after the main window has closed.
void EndOfRun(const std::wstring& exePath) {
    ReleaseSingleInstance(exePath);
    SetAsideInfoFile();
    // Only what this run changed: a sibling's changes made meanwhile stay.
    SaveBackupSettings();
}

}  // namespace

void InstallExceptionHandler() {
    App().OnException = [](const std::wstring& message) { Ask(message); };
}

int RunArchiwin(const std::wstring& commandLine) {
    RegisterProgramSide();
    RegisterNetSide();
    InstallStoreHost();
    SetRunningSiblingsCheck([] { return CheckRunningSiblings(true, false); });
    App().SetTitle(L"Archiwin");
    InstallExceptionHandler();
    // After the cleanup wizard has arranged its own removal, the program ends
    // as its window closes.
    SetCleanupSide({.endProgram = [] { PostQuitMessage(0); }});
    const std::wstring exePath = ExecutablePath();
    LoadBackupSettings();
    RegisterBackupSide();

    RepaintProgress();  // the start-up screen, gone at the first messages
    InstallStandardColorsHook();
    if (!SingleInstanceCheck(exePath)) return 0;
    App().SetHelpFile(HelpFile());

    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    // Sibling tools find the program through this value.
    RegWriteString(kLocalMachine, L"Software\\TEV\\ścieżki", OwnIdentity().productName.empty()
                                                                 ? std::wstring(L"Archiwin")
                                                                 : OwnIdentity().productName,
                   exePath);
    LoadCustomCursors();
    if (ContainsNoCase(L"/pierwszyraz", commandLine))
        OfferShortcuts(OwnIdentity().productName.empty() ? std::wstring(L"Archiwin") : OwnIdentity().productName,
                       exePath);
    if (CheckRunningSiblings(true, false)) {
        // "Nie": the program ends here, and so does its single-instance mark.
        ReleaseSingleInstance(exePath);
        return 0;
    }

    WindowSwitch which = FindWindowSwitch(commandLine);
    if (which != WindowSwitch::None) {
        // One action and the end: data lists opened meanwhile do not offer
        // to create missing files.
        SetQuietStart(true);
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        ShowSwitchWindow(which);
        EndOfRun(exePath);
        return 0;
    }

    {
        TeMain main;
        App().SetMainForm(&main);
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        App().Run();
    }
    EndOfRun(exePath);
    return 0;
}
