// The backup options dialog and the restore dialog as real windows: what
// they show from the registry, what closing saves, the restore from the
// third tab, the keyboard alone, and their pictures
// (opcje_duze.png, opcje_male.png, opcje_odtwarzanie.png, odtwarzanie.png in
// %ARCHIWIN_SHOTS%; with LogPixels 144 in the sealed prefix the same run
// gives the 150 % pictures).
#include <gtest/gtest.h>

#include <functional>

#include "app/win/dialog_driver.h"
#include "app/win/startup.h"
#include "app/win/temain.h"
#include "backup/win/backupsettings.h"
#include "backup/win/largebackup.h"
#include "backup/win/teopcjekopiizapasowych.h"
#include "backup/win/tetevcabrozpakuj.h"
#include "backup_fixture.h"
#include "largebackup_fixture.h"
#include "support/scripted_responder.h"
#include "support/win/capture.h"
#include "support/win/pump.h"
#include "util/calendar.h"
#include "util/paths.h"
#include "util/textcase.h"
#include "util/textmarkup.h"
#include "util/win/files.h"
#include "util/win/registry.h"
#include "util/win/tablepaths.h"

namespace {

constexpr int kFaktury = 5, kKontrahenci = 2;
const DateTimeValue kNow = 46366.5;  // 10 December 2026, noon

std::wstring Setting(const wchar_t* name) { return ReadSetting(L"Kopie zapasowe", name, L"(brak)"); }

class BackupOptions : public ::testing::Test {
protected:
    void SetUp() override {
        InstallExceptionHandler();
        script.now = kNow;
        WriteSetting(L"Kopie zapasowe", L"Ścieżka kopii zapasowych", world.backups);
    }

    // Shows the dialog and runs the action inside its modal loop; the
    // dialog is closed with its button afterwards unless the action closed it.
    bool Run(std::function<void(TeOpcjeKopiiZapasowych&)> action) {
        WhenShown<TeOpcjeKopiiZapasowych> when([&](TeOpcjeKopiiZapasowych& d) {
            action(d);
            if (d.ModalResult() == mrNone) Press(d.bZamknij);
        });
        const bool ok = ShowBackupOptions();
        EXPECT_TRUE(when.ran);
        return ok;
    }

    LargeBackupWorld world;
    ScriptedResponder script;
};

TEST_F(BackupOptions, ShowsTheRegistryAndSavesOnlyWhatTheUserChanged) {
    WriteSetting(L"Kopie zapasowe", L"Kasuj duże kopie po dniach", L"30");
    WriteSetting(L"Kopie zapasowe", L"Wykonuj małe kopie", L"nie");
    const std::wstring chosen = world.root + L"nowe kopie";
    CreateDirectoryW(chosen.c_str(), nullptr);
    EXPECT_TRUE(Run([&](TeOpcjeKopiiZapasowych& d) {
        EXPECT_EQ(d.Text(), L"Opcje kopii zapasowych");
        EXPECT_TRUE(d.cbDuzeKopie->Checked());
        EXPECT_EQ(d.ceDuzeKopieCoDni->DisplayText(), L"twórz nową kopię zapasową co 14 dni");
        EXPECT_EQ(d.ceUsuwajDuzeKopieStarszeNiz->DisplayText(), L"usuwaj kopie starsze niż 30 dni");
        EXPECT_TRUE(d.cbUsuwajDuzeKopieZapytaj->Checked());
        EXPECT_FALSE(d.cbUsuwajDuzeKopieAutomaytcznie->Checked());
        EXPECT_FALSE(d.cbMaleKopie->Checked());
        EXPECT_TRUE(d.cbUsuwajMaleKopieNieUsuwaj->Checked());
        EXPECT_EQ(d.deLokalizacja->Directory(), world.backups);
        EXPECT_FALSE(d.lbNiedostepna->Visible());
        EXPECT_TRUE(d.cbBackup->Checked());
        // The location menu: program, separator, the backup directory (bold),
        // documents, desktop; an item fills the edit.
        ASSERT_EQ(d.pmSciezki.Items().size(), 5u);
        EXPECT_EQ(d.pmSciezki.Items()[0].hint, ProgramDir());
        EXPECT_EQ(d.pmSciezki.Items()[1].caption, L"-");
        EXPECT_TRUE(d.pmSciezki.Items()[2].isDefault);
        EXPECT_EQ(d.pmSciezki.Items()[3].hint, DocumentsDir());
        d.lbLokalizacja->MenuItemClick(d.pmSciezki.Items()[3]);
        EXPECT_EQ(d.deLokalizacja->Directory(), DocumentsDir());

        d.deLokalizacja->SetDirectory(chosen);
        d.ceUsuwajDuzeKopieStarszeNiz->EditControl()->SetText(L"7.9");
        d.cbUsuwajDuzeKopieAutomaytcznie->Click();
        EXPECT_FALSE(d.cbUsuwajDuzeKopieZapytaj->Checked());
    }));
    EXPECT_EQ(Setting(L"Kasuj duże kopie po dniach"), L"7");
    EXPECT_EQ(Setting(L"Kasuj duże kopie automatycznie"), L"TAK");
    EXPECT_EQ(Setting(L"Kasuj duże kopie zapytaj"), L"NIE");
    EXPECT_EQ(Setting(L"Ścieżka kopii zapasowych"), chosen + L"\\");
    EXPECT_EQ(ReadSetting(L"TEV", L"Ścieżka kopii zapasowych", L""), chosen + L"\\");
    // Not touched, not written.
    EXPECT_EQ(Setting(L"Wykonuj duże kopie"), L"(brak)");
    EXPECT_EQ(Setting(L"Duże kopie co dni"), L"(brak)");
    EXPECT_EQ(Setting(L"Wykonuj małe kopie"), L"nie");
    EXPECT_EQ(CurrentBackupSettings().KasujDuzeKopiePoDniach, 7);
}

TEST_F(BackupOptions, BothDeletionFlagsShowAutomaticAndAnAbsentDriveIsKept) {
    WriteSetting(L"Kopie zapasowe", L"Kasuj duże kopie automatycznie", L"TAK");
    WriteSetting(L"Kopie zapasowe", L"Kasuj duże kopie zapytaj", L"TAK");
    WriteSetting(L"Kopie zapasowe", L"Ścieżka kopii zapasowych", L"Q:\\Kopie\\");
    Run([&](TeOpcjeKopiiZapasowych& d) {
        EXPECT_TRUE(d.cbUsuwajDuzeKopieAutomaytcznie->Checked());
        EXPECT_FALSE(d.cbUsuwajDuzeKopieZapytaj->Checked());
        EXPECT_FALSE(d.cbUsuwajDuzeKopieNieUsuwaj->Checked());
        EXPECT_EQ(d.deLokalizacja->Directory(), L"Q:\\Kopie\\");
        EXPECT_TRUE(d.lbNiedostepna->Visible());
        EXPECT_NE(d.lbNiedostepna->Text().find(WithBackslash(DocumentsDir())), std::wstring::npos);
    });
    EXPECT_EQ(Setting(L"Ścieżka kopii zapasowych"), L"Q:\\Kopie\\");
    // Shown as automatic, saved as the user left it.
    EXPECT_EQ(Setting(L"Kasuj duże kopie zapytaj"), L"TAK");
}

TEST_F(BackupOptions, ALocationThatIsNoFullPathIsNotSaved) {
    script.Answer(1);
    Run([&](TeOpcjeKopiiZapasowych& d) { d.deLokalizacja->SetDirectory(L"Kopie"); });
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].headline,
              L"!Lokalizacja kopii zapasowych musi być pełną ścieżką folderu, na przykład D:\\Kopie\\ albo "
              L"\\\\serwer\\udział\\kopie\\.");
    EXPECT_EQ(Setting(L"Ścieżka kopii zapasowych"), world.backups);
}

TEST_F(BackupOptions, TheThirdTabListsTheBackupsOfTheDirectory) {
    const std::wstring a = world.backups + L"tevKopiaZapasowa_20261208_090000.tev";
    const std::wstring b = world.backups + L"Moja tevKopia grudzień.cab";
    const std::wstring hidden = world.backups + L"tevKopiaZapasowa_20261201_090000.tev";
    WriteBytes(a, std::string(3000, 'a'));
    WriteBytes(b, "b");
    WriteBytes(hidden, "h");
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteBytes(world.backups + L"notatki.txt", "n");
    SetLocalWriteTime(a, *EncodeDate(2026, 12, 8) + 0.375);
    Run([&](TeOpcjeKopiiZapasowych& d) {
        EXPECT_EQ(d.lbKopieZapasowe->Count(), 0) << "filled when the tab is shown";
        d.pc->SetTabIndex(2);
        EXPECT_EQ(d.nbStrony->PageIndex(), 2);
        EXPECT_EQ(d.lbDostepneKopie->Markup(), L"Kopie zapasowe dostępne w <b>" + world.backups);
        ASSERT_EQ(d.lbKopieZapasowe->Count(), 2);
        EXPECT_EQ(HiddenData(d.lbKopieZapasowe->Item(0)), b);  // ".cab" first
        EXPECT_EQ(HiddenData(d.lbKopieZapasowe->Item(1)), a);
        EXPECT_NE(d.lbKopieZapasowe->Item(1).find(L"<b>przedwczoraj, 2,9 kB</b>"), std::wstring::npos);
        // Rebuilt at each showing.
        DeleteFileW(b.c_str());
        d.pc->SetTabIndex(0);
        d.pc->SetTabIndex(2);
        EXPECT_EQ(d.lbKopieZapasowe->Count(), 1);
    });
}

TEST_F(BackupOptions, RestoringFromTheThirdTabBacksUpFirstThenOffersToEnd) {
    const std::wstring faktury = world.PlantTable(kFaktury, "faktury z kopii");
    world.PlantTable(kKontrahenci, "kontrahenci");
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, false, false));
    const std::wstring backup = LastLargeBackup();
    WriteBytes(faktury, "faktury dzisiaj");
    // Large backups switched off: the safety copy is made all the same.
    WriteSetting(L"Kopie zapasowe", L"Wykonuj duże kopie", L"NIE");
    script.now = kNow + 1.0 / 1440;

    // Restore? yes; the backup's report; then in the restore dialog: notice,
    // confirmation, success, count; then "end the program": yes.
    script.Answer(1).Answer(1).Answer(1).Answer(1).Answer(1).Answer(1).Answer(1);
    WhenShown<TeTevCabRozpakuj> restore([&](TeTevCabRozpakuj& r) {
        EXPECT_EQ(r.BackupPath, backup);
        for (int i = 0; i < r.lbPliki->Count(); ++i)
            if (StartsWithNoCase(L"Faktury.dat|", HiddenData(r.lbPliki->Item(i)))) r.lbPliki->SetChecked(i, true);
        Press(r.bOdtworz);
    });
    bool endRequested = false;
    EXPECT_TRUE(Run([&](TeOpcjeKopiiZapasowych& d) {
        d.pc->SetTabIndex(2);
        ASSERT_EQ(d.lbKopieZapasowe->Count(), 1);
        d.lbKopieZapasoweAnchorClick(d.lbKopieZapasowe, 0, HiddenData(d.lbKopieZapasowe->Item(0)));
        endRequested = d.EndRequested;
        EXPECT_EQ(d.ModalResult(), mrOk);
    }));
    EXPECT_TRUE(restore.ran);
    EXPECT_TRUE(endRequested);
    EXPECT_EQ(ReadBytes(faktury), "faktury z kopii");
    ASSERT_EQ(script.shown.size(), 7u);
    EXPECT_EQ(script.shown[0].headline, L"Czy spróbować odtworzyć dane z kopii zapasowej?");
    EXPECT_EQ(script.shown[0].body, backup);
    EXPECT_EQ(script.shown[1].headline, L"Kopia zapasowa została wykonana pomyślnie.");
    EXPECT_EQ(script.shown[6].headline, L"Aby zachować integralność danych, zamknę teraz program.");
    EXPECT_TRUE(script.shown[6].message.destructive);
    // The safety copy holds the data as it was before the restore.
    EXPECT_NE(LastLargeBackup(), backup);
    const std::wstring out = world.root + L"kontrola\\";
    ASSERT_TRUE(ExtractWithSystem(LastLargeBackup(), out));
    EXPECT_EQ(ReadBytes(out + L"Faktury.dat"), "faktury dzisiaj");
}

TEST_F(BackupOptions, AFailedSafetyBackupStopsTheRestoreUnlessTheUserSaysOtherwise) {
    world.PlantTable(kFaktury, "faktury");
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, false, false));
    // The data drive is gone now: the safety backup finds nothing.
    StoreTablePath(kFaktury, L"Q:\\Dane\\Faktury.dat");
    LargeBackupWorld::ForgetResolvedTables();
    script.now = kNow + 1.0 / 1440;
    // Restore? yes; the failure report; "restore anyway?" left alone.
    script.Answer(1).Answer(1).Unanswered();
    bool restoreShown = false;
    WhenShown<TeTevCabRozpakuj> restore([&](TeTevCabRozpakuj& r) {
        restoreShown = true;
        r.SetModalResult(mrCancel);
    });
    Run([&](TeOpcjeKopiiZapasowych& d) {
        d.pc->SetTabIndex(2);
        ASSERT_EQ(d.lbKopieZapasowe->Count(), 1);
        d.lbKopieZapasoweAnchorClick(d.lbKopieZapasowe, 0, HiddenData(d.lbKopieZapasowe->Item(0)));
        EXPECT_FALSE(d.EndRequested);
    });
    EXPECT_FALSE(restoreShown);
    ASSERT_EQ(script.shown.size(), 3u);
    EXPECT_EQ(script.shown[1].headline, L"Nie udało się wykonać kopii zapasowej!");
    EXPECT_EQ(script.shown[2].headline,
              L"Nie udało się wykonać kopii zapasowej aktualnych danych. Czy mimo to odtworzyć dane z kopii?");
    EXPECT_TRUE(script.shown[2].message.destructive);
}

TEST_F(BackupOptions, TheMainWindowsMenuItemOpensIt) {
    TeMain main;
    WhenShown<TeOpcjeKopiiZapasowych> when([](TeOpcjeKopiiZapasowych& d) { Press(d.bZamknij); });
    main.Opcjekopiizapasowych1Click();
    EXPECT_TRUE(when.ran);
}

// -------------------------------------------------------------- keyboard

TEST_F(BackupOptions, DrivenByTheKeyboardAlone) {
    Run([&](TeOpcjeKopiiZapasowych& d) {
        // Focus starts on the first box; Space unticks it.
        EXPECT_EQ(GetFocus(), d.cbDuzeKopie->Handle());
        TypeKey(VK_SPACE);
        EXPECT_FALSE(d.cbDuzeKopie->Checked());
        // Tab: the day count; Up steps it.
        TypeKey(VK_TAB);
        EXPECT_EQ(GetFocus(), d.ceDuzeKopieCoDni->EditControl()->Handle());
        TypeKey(VK_UP);
        TypeKey(VK_UP);
        EXPECT_EQ(d.ceDuzeKopieCoDni->NumberText(), L"16");
        // Tab: the chosen radio button only; arrows move and choose.
        TypeKey(VK_TAB);
        EXPECT_EQ(GetFocus(), d.cbUsuwajDuzeKopieZapytaj->Handle());
        TypeKey(VK_DOWN);
        EXPECT_EQ(GetFocus(), d.cbUsuwajDuzeKopieNieUsuwaj->Handle());
        EXPECT_TRUE(d.cbUsuwajDuzeKopieNieUsuwaj->Checked());
        EXPECT_FALSE(d.cbUsuwajDuzeKopieZapytaj->Checked());
        TypeKey(VK_TAB);
        EXPECT_EQ(GetFocus(), d.ceUsuwajDuzeKopieStarszeNiz->EditControl()->Handle());
        // Ctrl+Tab: the next tabs.
        TypeKey(VK_TAB, kCtrl);
        EXPECT_EQ(d.pc->TabIndex(), 1);
        EXPECT_EQ(d.nbStrony->PageIndex(), 1);
        TypeKey(VK_TAB, kCtrl | kShift);
        EXPECT_EQ(d.pc->TabIndex(), 0);
        // Enter: the close button, the default one.
        TypeKey(VK_RETURN);
        EXPECT_EQ(d.ModalResult(), mrOk);
    });
    EXPECT_EQ(Setting(L"Wykonuj duże kopie"), L"NIE");
    EXPECT_EQ(Setting(L"Duże kopie co dni"), L"16");
    EXPECT_EQ(Setting(L"Kasuj duże kopie zapytaj"), L"NIE");
    EXPECT_EQ(Setting(L"Kasuj duże kopie automatycznie"), L"(brak)");
}

TEST_F(BackupOptions, TheRestoreDialogByTheKeyboardAlone) {
    const std::wstring faktury = world.PlantTable(kFaktury, "z kopii");
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, false, false));
    WriteBytes(faktury, "dzisiaj");
    // Notice, confirmation, success, count.
    script.Answer(1).Answer(1).Answer(1).Answer(1);
    bool restored = false;
    WhenShown<TeTevCabRozpakuj> when([&](TeTevCabRozpakuj& r) {
        EXPECT_EQ(GetFocus(), r.lbPliki->Handle());
        TypeKey(VK_SPACE);
        EXPECT_TRUE(r.lbPliki->Checked(0));
        TypeKey(L'O', kAlt);
        if (r.ModalResult() == mrNone) {
            ADD_FAILURE() << "Alt+O did not restore";
            r.SetModalResult(mrCancel);
        }
    });
    restored = RestoreFromLargeBackup(LastLargeBackup());
    EXPECT_TRUE(when.ran);
    EXPECT_TRUE(restored);
    EXPECT_EQ(ReadBytes(faktury), "z kopii");
}

// -------------------------------------------------------------- pictures

TEST_F(BackupOptions, Pictures) {
    const std::wstring faktury = world.PlantTable(kFaktury, std::string(120000, 'f'));
    world.PlantTable(kKontrahenci, std::string(40000, 'k'));
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, false, false));
    WriteBytes(world.backups + L"tevKopiaZapasowa_20261125_081500.tev", std::string(250000, 'x'));
    SetLocalWriteTime(world.backups + L"tevKopiaZapasowa_20261125_081500.tev", *EncodeDate(2026, 11, 25) + 0.34);
    Run([&](TeOpcjeKopiiZapasowych& d) {
        EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(L"opcje_duze.png")));
        d.pc->SetTabIndex(1);
        EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(L"opcje_male.png")));
        d.pc->SetTabIndex(2);
        EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(L"opcje_odtwarzanie.png")));
    });
    WhenShown<TeTevCabRozpakuj> when([&](TeTevCabRozpakuj& r) {
        r.lbPliki->SetChecked(0, true);
        EXPECT_TRUE(CaptureWindowPng(r.Handle(), ShotPath(L"odtwarzanie.png")));
        r.SetModalResult(mrCancel);
    });
    RestoreFromLargeBackup(LastLargeBackup());
    EXPECT_TRUE(when.ran);
}

}  // namespace
