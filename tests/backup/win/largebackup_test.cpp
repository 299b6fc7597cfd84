// Large backups of the TEV programs' data files, end to end in the sealed
// prefix: the shared settings in the registry, the backup directory, the
// archive and its report, pruning by age with the script's clock and real
// file times, and the restore of chosen files over the current ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "backup/largebackuprules.h"
#include "backup/win/backupsettings.h"
#include "backup/win/largebackup.h"
#include "backup/win/tetevcabrozpakuj.h"
#include "backup_fixture.h"
#include "cabinet/cabfile.h"
#include "interact/progress.h"
#include "interact/programside.h"
#include "store/copynames.h"
#include "store/win/datafiles.h"
#include "largebackup_fixture.h"
#include "support/scripted_responder.h"
#include "support/win/pump.h"
#include "app/win/backupwiring.h"
#include "app/win/dialog_driver.h"
#include "app/win/startup.h"
#include "ui/win/application.h"
#include "util/calendar.h"
#include "util/paths.h"
#include "util/tables.h"
#include "util/textcase.h"
#include "util/textmarkup.h"
#include "util/win/files.h"
#include "util/win/registry.h"
#include "util/win/tablepaths.h"

namespace fs = std::filesystem;

namespace {

// Tables of the tests: three of the user's, one shipped dictionary.
constexpr int kFaktury = 5, kKontrahenci = 2, kTowary = 6, kBanki = 24;

DateTimeValue At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return *EncodeDate(year, month, day) + *EncodeTime(hour, minute, second);
}

// The script's clock: 10 December 2026, 12:00.
const DateTimeValue kNow = 46366.5;

std::vector<std::wstring> Headlines(const ScriptedResponder& script) {
    std::vector<std::wstring> out;
    for (const Shown& s : script.shown) out.push_back(s.headline);
    return out;
}

std::vector<std::wstring> Entries(const std::wstring& archive) {
    TCABFile cab;
    cab.CABFile = archive;
    cab.ReadContents();
    std::vector<std::wstring> names;
    for (int i = 0; i < cab.CABFileContents.Count(); ++i) names.push_back(cab.CABFileContents.Items(i).Name);
    return names;
}

std::vector<std::wstring> ReportLines() {
    std::vector<std::wstring> lines;
    const std::string bytes = ReadBytes(LargeBackupReportFile());
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        // "dd-mm-yyyy hh:mm:ss - " before the text.
        const size_t dash = line.find(" - ");
        std::wstring text;
        for (unsigned char c : line.substr(dash == std::string::npos ? 0 : dash + 3)) text += static_cast<wchar_t>(c);
        lines.push_back(text);
        start = end + 2;
    }
    return lines;
}

class LargeBackup : public ::testing::Test {
protected:
    void SetUp() override {
        InstallExceptionHandler();
        DeleteFileW(LargeBackupReportFile().c_str());
        script.now = kNow;
    }
    void TearDown() override { DeleteFileW(LargeBackupReportFile().c_str()); }

    bool MakeForRestore() {
        LargeBackupOptions options;
        options.report = true;
        options.evenWhenSwitchedOff = true;
        return MakeLargeBackup(options);
    }

    LargeBackupWorld world;
    ScriptedResponder script;
};

// ------------------------------------------------------------- settings

TEST_F(LargeBackup, SettingsOfAnEmptyRegistryAreTheDefaultsAndRecordNothing) {
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TEV\\Kopie zapasowe");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TEV\\TEV");
    LoadBackupSettings();
    const BackupSettings& s = CurrentBackupSettings();
    EXPECT_TRUE(s.WykonujDuzeKopie);
    EXPECT_TRUE(s.KasujDuzeKopieZapytaj);
    EXPECT_FALSE(s.KasujDuzeKopieAutomatycznie);
    EXPECT_EQ(s.DuzeKopieCoDni, 14);
    EXPECT_EQ(s.KasujDuzeKopiePoDniach, 21);
    EXPECT_TRUE(s.WykonujMaleKopie);
    EXPECT_FALSE(s.KasujMaleKopieAutomatycznie);
    EXPECT_EQ(s.SciezkaKopiiZapasowych, WithBackslash(DocumentsDir()));
    EXPECT_EQ(BackupDirectory(), WithBackslash(DocumentsDir()));
    // Loading records nothing for the other programs, nor does saving what
    // did not change.
    SaveBackupSettings();
    EXPECT_EQ(ReadSetting(L"TEV", L"Ścieżka kopii zapasowych", L"-"), L"-");
    EXPECT_EQ(ReadSetting(L"Kopie zapasowe", L"Wykonuj duże kopie", L"-"), L"-");
}

TEST_F(LargeBackup, SavingKeepsWhatASiblingChangedMeanwhile) {
    WriteSetting(L"Kopie zapasowe", L"Wykonuj małe kopie", L"TAK");
    WriteSetting(L"Kopie zapasowe", L"Kasuj duże kopie po dniach", L"21");
    LoadBackupSettings();
    // Another TEV program switches small copies off while this one runs.
    WriteSetting(L"Kopie zapasowe", L"Wykonuj małe kopie", L"NIE");
    CurrentBackupSettings().KasujDuzeKopiePoDniach = 30;
    SaveBackupSettings();
    EXPECT_EQ(ReadSetting(L"Kopie zapasowe", L"Wykonuj małe kopie", L""), L"NIE");
    EXPECT_EQ(ReadSetting(L"Kopie zapasowe", L"Kasuj duże kopie po dniach", L""), L"30");
    LoadBackupSettings();
    EXPECT_FALSE(CurrentBackupSettings().WykonujMaleKopie);
}

TEST_F(LargeBackup, AStoredDirectoryOnAnAbsentDriveIsKeptWhileTheDocumentsServe) {
    // The sealed prefix has no drive but C:.
    WriteSetting(L"Kopie zapasowe", L"Ścieżka kopii zapasowych", L"Q:\\Kopie\\");
    LoadBackupSettings();
    const BackupLocation location = LocateBackupDirectory();
    EXPECT_TRUE(location.fallback);
    EXPECT_EQ(location.directory, WithBackslash(DocumentsDir()));
    EXPECT_EQ(CurrentBackupSettings().SciezkaKopiiZapasowych, L"Q:\\Kopie\\");
    SaveBackupSettings();
    EXPECT_EQ(ReadSetting(L"Kopie zapasowe", L"Ścieżka kopii zapasowych", L""), L"Q:\\Kopie\\");
    // The current directory is never the test.
    wchar_t before[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    CurrentBackupSettings().SciezkaKopiiZapasowych = world.backups;
    EXPECT_EQ(BackupDirectory(), world.backups);
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    // A relative location, or the lone backslash of old, means the default.
    for (const wchar_t* odd : {L"\\", L"Kopie\\"}) {
        CurrentBackupSettings().SciezkaKopiiZapasowych = odd;
        EXPECT_EQ(BackupDirectory(), WithBackslash(DocumentsDir())) << odd;
    }
}

// --------------------------------------------------------------- backups

TEST_F(LargeBackup, BacksUpTheTablesFilesWithReportAndRecord) {
    const std::wstring faktury = world.PlantTable(kFaktury, NoiseBytes(150000, 1));
    const std::wstring kontrahenci = world.PlantTable(kKontrahenci, "kontrahenci");
    const std::wstring towary = world.PlantTable(kTowary, "", world.root + L"inne dane\\");
    const std::wstring banki = world.PlantTable(kBanki, "banki");  // a shipped dictionary
    script.Answer(1);

    ASSERT_TRUE(MakeForRestore());
    const std::wstring archive = world.backups + L"tevKopiaZapasowa_20261210_120000.tev";
    EXPECT_EQ(LastLargeBackup(), archive);
    EXPECT_EQ(FileNames(world.backups), std::vector<std::wstring>{FileNamePart(archive)});
    // Stored under their bare names; the dictionary left out.
    EXPECT_EQ(Entries(archive), (std::vector<std::wstring>{L"Kontrahenci.dat", L"Faktury.dat", L"Towary.dat"}));
    const std::wstring out = world.root + L"system\\";
    ASSERT_TRUE(ExtractWithSystem(archive, out));
    EXPECT_EQ(ReadBytes(out + L"Faktury.dat"), ReadBytes(faktury));

    ASSERT_EQ(script.shown.size(), 1u);
    const Shown& report = script.shown[0];
    EXPECT_EQ(report.headline, L"Kopia zapasowa została wykonana pomyślnie.");
    EXPECT_EQ(report.body.find(archive + L"\r\n- zajmuje: " + std::to_wstring(FileSizeOf(archive) / 1000) +
                               L" kB\r\n- zawiera 3 pliki\r\nWykonanie tej kopii trwało "),
              0u)
        << report.body;

    EXPECT_EQ(ReportLines(), (std::vector<std::wstring>{L"Zerezo: " + archive, L"Zerezo: START", L"Zerezo: CREATED"}));
    EXPECT_EQ(ReadSetting(L"-", L"Kopia zapasowa", L""), archive);
    EXPECT_EQ(ReadSetting(L"-", L"Kopia zapasowa - data", L""), L"46366");
    // The location the user chose becomes every program's.
    EXPECT_EQ(ReadSetting(L"TEV", L"Ścieżka kopii zapasowych", L""), world.backups);

    // With every table and a tag the dictionary comes too; the extra file
    // is first.
    const std::wstring extra = world.root + L"archiwin.exe";
    WriteBytes(extra, "MZ program");
    script.now = kNow + 1.0 / 86400;
    ASSERT_TRUE(MakeLargeBackup(L"aktualizacja", extra, false, false, false, true));
    EXPECT_EQ(Entries(LastLargeBackup()), (std::vector<std::wstring>{L"archiwin.exe", L"Kontrahenci.dat",
                                                                      L"Faktury.dat", L"Towary.dat", L"banki.dat"}));
    // Without a tag, the extra file alone.
    script.now = kNow + 2.0 / 86400;
    ASSERT_TRUE(MakeLargeBackup(L"", extra, false, false, false, false));
    EXPECT_EQ(Entries(LastLargeBackup()), std::vector<std::wstring>{L"archiwin.exe"});
    (void)kontrahenci, (void)towary, (void)banki;
}

TEST_F(LargeBackup, SwitchedOffOrDeclinedRecordsTheDayAndShowsNothing) {
    world.PlantTable(kFaktury, "faktury");
    CurrentBackupSettings().WykonujDuzeKopie = false;
    EXPECT_FALSE(MakeLargeBackup(L"", L"", false, true, false, false));
    EXPECT_TRUE(script.shown.empty());
    EXPECT_TRUE(FileNames(world.backups).empty());
    EXPECT_EQ(ReadSetting(L"-", L"Kopia zapasowa - data", L""), L"46366");

    CurrentBackupSettings().WykonujDuzeKopie = true;
    script.Answer(2);
    EXPECT_FALSE(MakeLargeBackup(L"x", L"", true, true, false, false));
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].headline, L"Pora wykonać kopię zapasową. Czy mam ją zrobić teraz?");
    EXPECT_TRUE(FileNames(world.backups).empty());

    // The safety copy before a restore is made whatever the switch says.
    CurrentBackupSettings().WykonujDuzeKopie = false;
    script.shown.clear();
    EXPECT_TRUE(MakeForRestore());
    EXPECT_EQ(FileNames(world.backups).size(), 1u);
}

TEST_F(LargeBackup, TwoBackupsInOneSecondBothKeepListableNames) {
    world.PlantTable(kFaktury, "faktury");
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, false, false));
    const std::wstring first = LastLargeBackup();
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, false, false));
    const std::wstring second = LastLargeBackup();
    EXPECT_NE(first, second);
    const std::wstring name = FileNamePart(second);
    EXPECT_TRUE(StartsWithNoCase(L"tevKopiaZapasowa_20261210_120000_", name)) << name;
    EXPECT_TRUE(EndsWithNoCase(L".tev", name)) << name;
    EXPECT_TRUE(IsPrunableBackupName(name));
    EXPECT_TRUE(FileExists(first));
}

// A progress window that, at the first block written, lets a "sibling
// program" take the name the backup planned.
class SiblingTakesTheName : public ProgressDisplay, public ProgramSide {
public:
    explicit SiblingTakesTheName(std::wstring path) : path_(std::move(path)), previous_(CurrentProgramSide()) {
        SetProgramSide(this);
    }
    ~SiblingTakesTheName() override { SetProgramSide(previous_); }
    ModalResponder& Windows() override { return previous_->Windows(); }
    ProgressDisplay& Progress() override { return *this; }
    std::wstring Title() override { return previous_->Title(); }
    bool Remembered(const std::wstring& key) override { return previous_->Remembered(key); }
    void FailureRaised() override { previous_->FailureRaised(); }
    void ShowStatus(const std::wstring&) override {}
    void ShowProgress(std::int64_t, std::int64_t) override {}
    void UpdateProgress(std::int64_t, std::int64_t) override {
        if (!done_) WriteBytes(path_, "kopia innego programu");
        done_ = true;
    }
    void FinishProgress() override {}

private:
    std::wstring path_;
    ProgramSide* previous_;
    bool done_ = false;
};

TEST_F(LargeBackup, ASiblingsBackupOfTheSameSecondSurvives) {
    world.PlantTable(kFaktury, NoiseBytes(50000, 2));
    const std::wstring planned = world.backups + L"tevKopiaZapasowa_20261210_120000.tev";
    {
        SiblingTakesTheName sibling(planned);
        ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, false, false));
    }
    EXPECT_EQ(ReadBytes(planned), "kopia innego programu");
    EXPECT_NE(LastLargeBackup(), planned);
    EXPECT_EQ(Entries(LastLargeBackup()), std::vector<std::wstring>{L"Faktury.dat"});
    const auto lines = ReportLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], L"Zerezo: " + LastLargeBackup());
}

TEST_F(LargeBackup, FailuresLeaveNoBackupNoPruningAndAreReported) {
    // An old backup that automatic pruning would take.
    const std::wstring old = world.backups + L"tevKopiaZapasowa_20200101_120000.tev";
    WriteBytes(old, "stara");
    SetLocalWriteTime(old, At(2020, 1, 1, 12));
    CurrentBackupSettings().KasujDuzeKopieAutomatycznie = true;

    {  // The data drive is offline: no data file at all.
        StoreTablePath(kFaktury, L"Q:\\Dane\\Faktury.dat");
        script.Answer(1);
        EXPECT_FALSE(MakeLargeBackup(L"", L"", false, true, true, false));
        ASSERT_EQ(script.shown.size(), 1u);
        EXPECT_EQ(script.shown[0].headline, L"Nie udało się wykonać kopii zapasowej!");
        EXPECT_NE(script.shown[0].body.find(L"Nie znalazłem żadnego pliku danych"), std::wstring::npos);
        EXPECT_EQ(FileNames(world.backups), std::vector<std::wstring>{FileNamePart(old)});
        const auto lines = ReportLines();
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[2], L"Zerezo: ERROR");
    }
    {  // A data file another program holds locked: the archive fails half-way.
        const std::wstring faktury = world.PlantTable(kFaktury, NoiseBytes(300000, 3));
        HANDLE locked = CreateFileW(faktury.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(locked, INVALID_HANDLE_VALUE);
        script.shown.clear();
        EXPECT_FALSE(MakeLargeBackup(L"", L"", false, true, true, false));
        CloseHandle(locked);
        EXPECT_EQ(Headlines(script), std::vector<std::wstring>{L"Nie udało się wykonać kopii zapasowej!"});
        // Nothing under a backup's name, no working file, the old one kept.
        EXPECT_EQ(FileNames(world.backups), std::vector<std::wstring>{FileNamePart(old)});
    }
    {  // The report file cannot be written: the backup is made all the same.
        DeleteFileW(LargeBackupReportFile().c_str());
        CreateDirectoryW(LargeBackupReportFile().c_str(), nullptr);
        script.shown.clear();
        EXPECT_TRUE(MakeLargeBackup(L"", L"", false, false, false, false));
        RemoveDirectoryW(LargeBackupReportFile().c_str());
        EXPECT_TRUE(script.shown.empty());
    }
}

// ---------------------------------------------------------------- pruning

class Pruning : public LargeBackup {
protected:
    // A backup of the user's made at the local time given.
    std::wstring Plant(const std::wstring& name, DateTimeValue made, const std::string& bytes = "kopia") {
        const std::wstring path = world.backups + name;
        WriteBytes(path, bytes);
        SetLocalWriteTime(path, made);
        return path;
    }
    void SetUp() override {
        LargeBackup::SetUp();
        world.PlantTable(kFaktury, "faktury");
    }
};

TEST_F(Pruning, DeletesBackupsThatReachedTheAgeCountedFromMidnight) {
    CurrentBackupSettings().KasujDuzeKopieAutomatycznie = true;
    const auto tie = Plant(L"tevKopiaZapasowa_20261119_000000.tev", At(2026, 11, 19, 0, 0));    // 21 days: deleted
    const auto afternoon = Plant(L"tevKopiaZapasowa_20261119_150000.tev", At(2026, 11, 19, 15, 0));  // 20.375
    const auto older = Plant(L"tevKopia_stara.cab", At(2026, 10, 1, 9, 30), std::string(4321, 'x'));
    const auto mine = Plant(L"Moja tevKopiaZapasowa_20200101.tev", At(2020, 1, 1));  // the user's own name
    const auto other = Plant(L"tevKopiaZapasowa_20200101.txt", At(2020, 1, 1));
    script.Answer(1).Answer(1);
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, true, true, false));
    EXPECT_FALSE(FileExists(tie));
    EXPECT_FALSE(FileExists(older));
    EXPECT_TRUE(FileExists(afternoon));
    EXPECT_TRUE(FileExists(mine));
    EXPECT_TRUE(FileExists(other));
    EXPECT_TRUE(FileExists(LastLargeBackup()));
    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_EQ(script.shown[1].headline, L"Usunąłem stare, niepotrzebne kopie zapasowe.");
    EXPECT_EQ(script.shown[1].body, L"Liczba usuniętych plików: 2\r\nZaoszczędziłem ogółem: 4 kB");

    // The next day the afternoon backup has reached 21 days too.
    script.now = At(2026, 12, 11, 0, 5);
    script.shown.clear();
    script.Answer(1);
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, true, false));
    EXPECT_FALSE(FileExists(afternoon));
}

TEST_F(Pruning, TheBackupJustMadeIsNeverPrunedAndEmptyDeletionsGiveNoSummary) {
    CurrentBackupSettings().KasujDuzeKopieAutomatycznie = true;
    CurrentBackupSettings().KasujDuzeKopiePoDniach = 0;
    const auto empty = Plant(L"tevKopiaZapasowa_20261101_100000.tev", At(2026, 11, 1, 10), "");
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, true, false));
    EXPECT_FALSE(FileExists(empty));
    EXPECT_TRUE(FileExists(LastLargeBackup()));
    EXPECT_TRUE(script.shown.empty()) << "a deleted empty file gives no summary";
}

TEST_F(Pruning, AskingTakesTheUsersAnswerForEachAndNeverAnAutomaticYes) {
    const auto a = Plant(L"tevKopiaZapasowa_20261001_100000.tev", At(2026, 10, 1, 10));
    const auto b = Plant(L"tevKopiaZapasowa_20261002_100000.tev", At(2026, 10, 2, 10));
    const auto c = Plant(L"tevKopiaZapasowa_20261003_100000.tev", At(2026, 10, 3, 10));
    // Yes for the first, no for the second, the third left unanswered.
    script.Answer(1).Answer(2).Unanswered().Answer(1);
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, true, false));
    EXPECT_FALSE(FileExists(a));
    EXPECT_TRUE(FileExists(b));
    EXPECT_TRUE(FileExists(c));
    ASSERT_EQ(script.shown.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(script.shown[i].headline, L"Czy mam usunąć starą, zapewne zbędną kopię zapasową?");
        EXPECT_TRUE(script.shown[i].message.destructive);
    }
    EXPECT_EQ(script.shown[0].body.find(L"nazwa pliku: tevKopiaZapasowa_20261001_100000.tev\r\n"), 0u);
    EXPECT_EQ(script.shown[3].headline, L"Usunąłem stare, niepotrzebne kopie zapasowe.");
}

TEST_F(Pruning, KeepingAndThePruneFlagLeaveEverything) {
    const auto a = Plant(L"tevKopiaZapasowa_20201001_100000.tev", At(2020, 10, 1, 10));
    CurrentBackupSettings().KasujDuzeKopieZapytaj = false;  // keep old backups
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, true, false));
    CurrentBackupSettings().KasujDuzeKopieAutomatycznie = true;
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, false, false));  // no pruning asked
    EXPECT_TRUE(FileExists(a));
    EXPECT_TRUE(script.shown.empty());
}

TEST_F(Pruning, SmallCopiesOnlyTheNumberedOldOnesAndNeverTheOneJustMade) {
    const std::wstring dir = world.data;
    auto plant = [&](const std::wstring& name, DateTimeValue made) {
        WriteBytes(dir + name, "kopia " + std::to_string(name.size()));
        SetLocalWriteTime(dir + name, made);
        return dir + name;
    };
    const auto old1 = plant(L"Kopia 2611 Faktury.dat", At(2026, 11, 1, 9));
    const auto old2 = plant(L"kopia 2544 FAKTURY.DAT", At(2025, 6, 1, 9));
    const auto recent = plant(L"Kopia 2680 Faktury.dat", At(2026, 12, 5, 9));
    const auto mine = plant(L"Kopia przed remanentem Faktury.dat", At(2020, 1, 1));
    const auto justMade = plant(L"Kopia 2671 Faktury.dat", At(2020, 1, 1));
    const auto otherTable = plant(L"Kopia 2611 Towary.dat", At(2020, 1, 1));

    PruneSmallCopies(dir + L"Faktury.dat", justMade);
    EXPECT_TRUE(FileExists(old1)) << "automatic deletion is off by default";

    CurrentBackupSettings().KasujMaleKopieAutomatycznie = true;
    script.Answer(1);
    PruneSmallCopies(dir + L"Faktury.dat", justMade);
    EXPECT_FALSE(FileExists(old1));
    EXPECT_FALSE(FileExists(old2));
    EXPECT_TRUE(FileExists(recent));
    EXPECT_TRUE(FileExists(mine));
    EXPECT_TRUE(FileExists(justMade));
    EXPECT_TRUE(FileExists(otherTable));
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].body.find(L"Liczba usuniętych plików: 2"), 0u);
}

// The program's own small copies, as a save makes them: the settings
// registered at start decide whether a copy is made and what it prunes.
TEST_F(Pruning, ASaveMadeSmallCopyFollowsTheSettingsRegisteredAtStart) {
    RegisterBackupSide();
    struct Unregister {
        ~Unregister() { SetSmallCopyRules(nullptr, nullptr); }
    } unregister;
    const std::wstring dir = world.data;
    const std::wstring faktury = dir + L"Faktury.dat";
    ASSERT_TRUE(FileExists(faktury));
    auto plant = [&](const std::wstring& name, DateTimeValue made) {
        WriteBytes(dir + name, "kopia");
        SetLocalWriteTime(dir + name, made);
        return dir + name;
    };
    const auto old = plant(L"Kopia 2611 Faktury.dat", At(2026, 11, 1, 9));
    const auto recent = plant(L"Kopia 2680 Faktury.dat", At(2026, 12, 5, 9));
    const auto mine = plant(L"Kopia przed remanentem Faktury.dat", At(2020, 1, 1));
    const std::wstring copy = SmallCopyName(faktury, kNow);

    // Switched off: no copy, nothing pruned.
    CurrentBackupSettings().WykonujMaleKopie = false;
    CurrentBackupSettings().KasujMaleKopieAutomatycznie = true;
    EXPECT_FALSE(MakeSmallCopy(faktury));
    EXPECT_FALSE(FileExists(copy));
    EXPECT_TRUE(FileExists(old));

    // On, without automatic deletion: the copy only.
    CurrentBackupSettings().WykonujMaleKopie = true;
    CurrentBackupSettings().KasujMaleKopieAutomatycznie = false;
    ASSERT_TRUE(MakeSmallCopy(faktury));
    EXPECT_EQ(ReadBytes(copy), "faktury");
    EXPECT_TRUE(FileExists(old));
    EXPECT_TRUE(script.shown.empty());

    // With it: the old numbered copy goes, the user's own copy stays.
    CurrentBackupSettings().KasujMaleKopieAutomatycznie = true;
    script.Answer(1);
    ASSERT_TRUE(MakeSmallCopy(faktury));
    EXPECT_FALSE(FileExists(old));
    EXPECT_TRUE(FileExists(recent));
    EXPECT_TRUE(FileExists(mine));
    EXPECT_TRUE(FileExists(copy));
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].body.find(L"Liczba usuniętych plików: 1"), 0u);
}

// ---------------------------------------------------------------- restore

class Restore : public LargeBackup {
protected:
    void SetUp() override {
        LargeBackup::SetUp();
        faktury = world.PlantTable(kFaktury, "faktury z kopii");
        kontrahenci = world.PlantTable(kKontrahenci, "kontrahenci z kopii");
        towary = world.PlantTable(kTowary, "towary z kopii");
        ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, false, false));
        backup = LastLargeBackup();
        WriteBytes(faktury, "faktury dzisiaj");
        WriteBytes(kontrahenci, "kontrahenci dzisiaj");
        WriteBytes(towary, "towary dzisiaj");
        // As right after a start: no table resolved in this run.
        LargeBackupWorld::ForgetResolvedTables();
        script.shown.clear();
    }

    // Runs the restore dialog with the action inside its modal loop.
    bool RunDialog(std::function<void(TeTevCabRozpakuj&)> action) {
        WhenShown<TeTevCabRozpakuj> when([&](TeTevCabRozpakuj& d) {
            action(d);
            if (d.ModalResult() == mrNone) d.SetModalResult(mrCancel);
        });
        const bool restored = RestoreFromLargeBackup(backup);
        EXPECT_TRUE(when.ran);
        return restored;
    }
    static int ItemOf(TeTevCabRozpakuj& d, const std::wstring& name) {
        for (int i = 0; i < d.lbPliki->Count(); ++i)
            if (StartsWithNoCase(name + L"|", HiddenData(d.lbPliki->Item(i)))) return i;
        return -1;
    }

    std::wstring faktury, kontrahenci, towary, backup;
};

TEST_F(Restore, TargetsAreKnownRightAfterStartWithoutRecordingAnything) {
    RunDialog([&](TeTevCabRozpakuj& d) {
        EXPECT_EQ(d.lbNazwaKopii->Text(), backup);
        // A path too long for the row is shortened in its middle and shown
        // whole as the hint.
        EXPECT_EQ(d.lbNazwaKopii->Hint(), d.lbNazwaKopii->Clipped() ? backup : L"");
        ASSERT_EQ(d.lbPliki->Count(), 3);
        EXPECT_EQ(HiddenData(d.lbPliki->Item(ItemOf(d, L"Faktury.dat"))), L"Faktury.dat|" + faktury);
        EXPECT_NE(d.lbPliki->Item(ItemOf(d, L"Faktury.dat")).find(L"(tts_Faktury)"), std::wstring::npos);
        EXPECT_EQ(GetFocus(), d.lbPliki->Handle());
    });
    // Found, not resolved: the run still knows no table.
    EXPECT_EQ(CurrentTablePath(kFaktury), L"");
}

TEST_F(Restore, ThreeCheckedOneRefusedRestoresTwoAndCountsThem) {
    // Notice, then per file: confirmation and success; the second refused.
    script.Answer(1).Answer(1).Answer(1).Answer(2).Answer(1).Answer(1).Answer(1);
    int resultSeen = mrNone;
    const bool restored = RunDialog([&](TeTevCabRozpakuj& d) {
        for (int i = 0; i < d.lbPliki->Count(); ++i) d.lbPliki->SetChecked(i, true);
        d.bOdtworzClick(d.bOdtworz);
        resultSeen = d.ModalResult();
    });
    EXPECT_TRUE(restored);
    EXPECT_EQ(resultSeen, mrOk);
    // In the archive's order: Kontrahenci (table 2), Faktury (5), Towary (6).
    EXPECT_EQ(ReadBytes(kontrahenci), "kontrahenci z kopii");
    EXPECT_EQ(ReadBytes(faktury), "faktury dzisiaj");
    EXPECT_EQ(ReadBytes(towary), "towary z kopii");
    const auto headlines = Headlines(script);
    ASSERT_EQ(headlines.size(), 7u);
    EXPECT_EQ(headlines[0], L"Jeśli aktualnie są uruchomione jakieś inne programy TEV, zakmnij je teraz - inaczej "
                            L"odtwarzanie danych się nie powiedzie.");
    EXPECT_EQ(headlines[1], L"Czy odtworzyć plik z kopii zapasowej? Aktualna zawartość tego pliku zostanie utracona!");
    EXPECT_TRUE(script.shown[1].message.destructive);
    EXPECT_EQ(headlines[2], L"Plik odtworzono pomyślnie.");
    EXPECT_EQ(headlines[6], L"!Liczba odtworzonych plików: 2");
    EXPECT_EQ(script.shown[6].body, L"Aby odtworzone pliki zostały zachowane, program musi teraz zakończyć pracę.");
    // No temporary file stays beside the data.
    EXPECT_EQ(FileNames(world.data), (std::vector<std::wstring>{L"Faktury.dat", L"Kontrahenci.dat", L"Towary.dat"}));
}

TEST_F(Restore, ADamagedBackupLeavesTheCurrentFileIntact) {
    // A backup whose data blocks are long enough to damage (after the tables
    // at the start).
    const std::string towaryInBackup = NoiseBytes(4000, 7);
    WriteBytes(towary, towaryInBackup);
    script.now = kNow + 3.0 / 86400;
    ASSERT_TRUE(MakeLargeBackup(L"", L"", false, false, false, false));
    backup = LastLargeBackup();
    WriteBytes(towary, "towary dzisiaj");
    std::string bytes = ReadBytes(backup);
    ASSERT_GT(bytes.size(), 4000u);
    for (size_t i = bytes.size() - 40; i < bytes.size() - 10; ++i) bytes[i] ^= 0x5A;
    WriteBytes(backup, bytes);
    script.Answer(1).Answer(1).Answer(1);
    EXPECT_FALSE(RunDialog([&](TeTevCabRozpakuj& d) {
        d.lbPliki->SetChecked(ItemOf(d, L"Towary.dat"), true);
        try {
            d.bOdtworzClick(d.bOdtworz);
            ADD_FAILURE() << "no failure";
        } catch (const Failure& f) {
            EXPECT_EQ(f.message().find(L"%Nie udało się odtworzyć pliku!\r\nTowary.dat\r\n"), 0u) << f.message();
        }
    }));
    EXPECT_EQ(ReadBytes(towary), "towary dzisiaj");
    EXPECT_EQ(FileNames(world.data), (std::vector<std::wstring>{L"Faktury.dat", L"Kontrahenci.dat", L"Towary.dat"}));
}

TEST_F(Restore, UnattendedQuestionsReplaceNothing) {
    // Every question left to its countdown.
    script.Unanswered().Unanswered().Unanswered().Unanswered();
    EXPECT_FALSE(RunDialog([&](TeTevCabRozpakuj& d) {
        for (int i = 0; i < d.lbPliki->Count(); ++i) d.lbPliki->SetChecked(i, true);
        d.bOdtworzClick(d.bOdtworz);
    }));
    EXPECT_EQ(ReadBytes(faktury), "faktury dzisiaj");
    EXPECT_EQ(ReadBytes(kontrahenci), "kontrahenci dzisiaj");
    EXPECT_EQ(ReadBytes(towary), "towary dzisiaj");
    EXPECT_EQ(Headlines(script).back(), L"Nie udało się odtworzyć żadnych plików!");
}

TEST_F(Restore, AnEntryWithoutATargetIsRefusedWithAMessage) {
    // A backup holding a file of no table.
    const std::wstring extra = world.root + L"notatki.txt";
    WriteBytes(extra, "notatki");
    script.now = kNow + 5.0 / 86400;
    ASSERT_TRUE(MakeLargeBackup(L"", extra, false, false, false, false));
    backup = LastLargeBackup();
    script.shown.clear();
    script.Answer(1).Answer(1).Answer(1);
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_FALSE(RunDialog([&](TeTevCabRozpakuj& d) {
        ASSERT_EQ(d.lbPliki->Count(), 1);
        EXPECT_NE(d.lbPliki->Item(0).find(L"(nieznany plik!)"), std::wstring::npos);
        EXPECT_NE(d.lbPliki->Item(0).find(L"jako: <a href=\"notatki.txt|\"></a>"), std::wstring::npos);
        d.lbPliki->SetChecked(0, true);
        d.bOdtworzClick(d.bOdtworz);
    }));
    const auto headlines = Headlines(script);
    ASSERT_GE(headlines.size(), 2u);
    EXPECT_EQ(headlines[1], L"!Nie wiem, gdzie odtworzyć plik notatki.txt.");
    EXPECT_FALSE(FileExists(std::wstring(current) + L"\\notatki.txt"));
}

TEST_F(Restore, EntriesOfOneNameAreRestoredByTheirPosition) {
    // The same table's file backed up from two folders: the current one and
    // an older copy elsewhere, put in as the extra file.
    const std::wstring elsewhere = world.root + L"stare\\Faktury.dat";
    fs::create_directories(fs::path(world.root + L"stare"));
    WriteBytes(elsewhere, "faktury ze starego folderu");
    script.now = kNow + 7.0 / 86400;
    ASSERT_TRUE(MakeLargeBackup(L"x", elsewhere, false, false, false, false));
    backup = LastLargeBackup();
    ASSERT_EQ(Entries(backup)[0], L"Faktury.dat");
    script.shown.clear();
    LargeBackupWorld::ForgetResolvedTables();
    // The link of the first item, then of the second: both go to the one target.
    script.Answer(1).Answer(1).Answer(1);
    RunDialog([&](TeTevCabRozpakuj& d) {
        ASSERT_EQ(HiddenData(d.lbPliki->Item(0)), L"Faktury.dat|" + faktury);
        d.lbPlikiAnchorClick(d.lbPliki, 0, L"Faktury.dat|" + faktury);
    });
    EXPECT_EQ(ReadBytes(faktury), "faktury ze starego folderu");
    EXPECT_EQ(script.shown[1].body, L"Faktury.dat\r\n   jako    \r\n" + faktury);
}

// A target marked read-only (copied from a CD) is offered for repair first:
// cleared, it is replaced; kept, it stays whole and nothing is left beside it.
TEST_F(Restore, AReadOnlyTargetIsClearedOnTheUsersAnswerOrLeftWhole) {
    struct Case {
        int clear;  // the answer to the attributes' question
        const char* content;
        bool readOnlyAfter;
        const wchar_t* last;
    };
    for (const Case& c : {Case{2, "faktury dzisiaj", true, L"Niestety, nie udało się zmienić atrybutów pliku. Zapis "
                                                             L"nie będzie możliwy."},
                          Case{1, "faktury z kopii", false, L"Plik odtworzono pomyślnie."}}) {
        SCOPED_TRACE(c.clear);
        ASSERT_TRUE(SetFileAttributesW(faktury.c_str(), FILE_ATTRIBUTE_READONLY));
        script.shown.clear();
        // Notice, confirmation, the attributes, then what follows (cleared:
        // that they were, and the success).
        script.Answer(1).Answer(1).Answer(c.clear).Answer(1);
        if (c.clear == 1) script.Answer(1);
        RunDialog([&](TeTevCabRozpakuj& d) {
            d.lbPlikiAnchorClick(d.lbPliki, ItemOf(d, L"Faktury.dat"), L"Faktury.dat|" + faktury);
        });
        EXPECT_EQ(ReadBytes(faktury), c.content);
        EXPECT_EQ((GetFileAttributesW(faktury.c_str()) & FILE_ATTRIBUTE_READONLY) != 0, c.readOnlyAfter);
        const auto headlines = Headlines(script);
        ASSERT_GE(headlines.size(), 4u);
        EXPECT_EQ(headlines[2].find(L"Atrybuty pliku uniemożliwiają zapis do niego."), 0u);
        EXPECT_EQ(headlines.back(), c.last);
        EXPECT_EQ(FileNames(world.data),
                  (std::vector<std::wstring>{L"Faktury.dat", L"Kontrahenci.dat", L"Towary.dat"}));
    }
}

TEST_F(Restore, ANameThatDiffersInLetterCaseAsksToRename) {
    // The table is now registered under another letter case.
    const std::wstring renamed = world.data + L"FAKTURY.DAT";
    StoreTablePath(kFaktury, renamed);
    script.Answer(1).Answer(1).Answer(1).Answer(1);
    RunDialog([&](TeTevCabRozpakuj& d) {
        const int item = ItemOf(d, L"Faktury.dat");
        d.lbPliki->SetChecked(item, true);
        d.bOdtworzClick(d.bOdtworz);
    });
    const auto headlines = Headlines(script);
    ASSERT_GE(headlines.size(), 3u);
    EXPECT_EQ(headlines[2], L"Czy zamienić nazwę?");
    EXPECT_EQ(script.shown[2].body, L"Faktury.dat\r\n" + renamed);
    EXPECT_TRUE(script.shown[2].message.destructive);
    EXPECT_EQ(ReadBytes(renamed), "faktury z kopii");
}

}  // namespace
