// Large backups for a standard user: the program folder cannot be written
// (scripts/wine-standard-user) and machine-wide registry writes are refused.
// He makes a large backup that prunes an old one, finds it on the restore
// tab, restores from it, and sees no error message on the way.
#include <gtest/gtest.h>

#include "app/win/dialog_driver.h"
#include "app/win/startup.h"
#include "backup/win/backupsettings.h"
#include "backup/win/largebackup.h"
#include "backup/win/teopcjekopiizapasowych.h"
#include "backup/win/tetevcabrozpakuj.h"
#include "backup_fixture.h"
#include "largebackup_fixture.h"
#include "support/scripted_responder.h"
#include "util/textcase.h"
#include "util/textmarkup.h"
#include "util/win/files.h"
#include "util/win/registry.h"

namespace {

constexpr int kFaktury = 5, kKontrahenci = 2;

// An error shows the stop mark, begins with "Nie" or names the registry.
bool LooksLikeAnError(const Shown& shown) {
    if (shown.kind != L"message") return false;
    return StartsWithNoCase(L"%", shown.headline) || StartsWithNoCase(L"Nie ", shown.headline) ||
           ContainsNoCase(L"Rejestr", shown.headline) || ContainsNoCase(L"Rejestr", shown.body);
}

void ExpectNoError(const ScriptedResponder& script) {
    for (const Shown& s : script.shown) EXPECT_FALSE(LooksLikeAnError(s)) << s.headline << "\n" << s.body;
}

TEST(StandardUser, MakesListsPrunesAndRestoresLargeBackupsWithoutAnErrorMessage) {
    ASSERT_FALSE(CanCreateFilesIn(ProgramDir()))
        << "run through scripts/wine-standard-user: the program folder " << ProgramDir() << " must be read-only";
    RefuseMachineWideWrites(true);
    InstallExceptionHandler();
    {
        LargeBackupWorld world;
        const std::wstring faktury = world.PlantTable(kFaktury, "faktury z kopii");
        const std::wstring kontrahenci = world.PlantTable(kKontrahenci, "kontrahenci z kopii");
        const std::wstring old = world.backups + L"tevKopiaZapasowa_20260901_080000.tev";
        WriteBytes(old, std::string(3000, 'x'));
        ScriptedResponder script;
        SetLocalWriteTime(old, script.now - 60);
        BackupSettings& settings = CurrentBackupSettings();
        settings.KasujDuzeKopieAutomatycznie = true;
        settings.KasujDuzeKopiePoDniach = 21;
        SaveBackupSettings();
        EXPECT_FALSE(StartsWithNoCase(ProgramDir(), LargeBackupReportFile())) << LargeBackupReportFile();

        // Made (the report), and the old one pruned (the summary).
        script.Answer(1).Answer(1);
        ASSERT_TRUE(MakeLargeBackup(L"", L"", false, true, true, false));
        ExpectNoError(script);
        const std::wstring made = LastLargeBackup();
        EXPECT_TRUE(StartsWithNoCase(world.backups, made)) << made;
        EXPECT_FALSE(FileExists(old));
        EXPECT_EQ(ReadSetting(L"TEV", L"Ścieżka kopii zapasowych", L""), world.backups);
        const std::wstring madeName = made.substr(made.find_last_of(L'\\') + 1);
        EXPECT_NE(ReadBytes(LargeBackupReportFile()).find(std::string(madeName.begin(), madeName.end())),
                  std::string::npos);

        // Listed on the restore tab and restored from there: the question,
        // the safety backup's report, the notice, each file confirmed and
        // reported, the count; the end of the program declined.
        WriteBytes(faktury, "faktury dzisiaj");
        WriteBytes(kontrahenci, "kontrahenci dzisiaj");
        LargeBackupWorld::ForgetResolvedTables();
        script.now += 1.0 / 1440;
        script.Answer(1).Answer(1).Answer(1).Answer(1).Answer(1).Answer(1).Answer(1).Answer(1).Answer(2);
        WhenShown<TeTevCabRozpakuj> restore([&](TeTevCabRozpakuj& r) {
            ASSERT_EQ(r.lbPliki->Count(), 2);
            for (int i = 0; i < r.lbPliki->Count(); ++i) r.lbPliki->SetChecked(i, true);
            r.bOdtworzClick(r.bOdtworz);
        });
        int listed = 0;
        WhenShown<TeOpcjeKopiiZapasowych> options([&](TeOpcjeKopiiZapasowych& d) {
            d.pc->SetTabIndex(2);
            listed = d.lbKopieZapasowe->Count();
            for (int i = 0; i < listed; ++i) {
                const std::wstring path = HiddenData(d.lbKopieZapasowe->Item(i));
                if (SameTextNoCase(path, made)) d.lbKopieZapasoweAnchorClick(d.lbKopieZapasowe, i, path);
            }
            d.SetModalResult(mrOk);
        });
        ShowBackupOptions();
        EXPECT_TRUE(restore.ran);
        EXPECT_EQ(listed, 1);
        ExpectNoError(script);
        EXPECT_EQ(ReadBytes(faktury), "faktury z kopii");
        EXPECT_EQ(ReadBytes(kontrahenci), "kontrahenci z kopii");
        DeleteFileW(LargeBackupReportFile().c_str());
    }
    RefuseMachineWideWrites(false);
}

}  // namespace
