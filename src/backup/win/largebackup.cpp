#include <windows.h>

#include "backup/win/largebackup.h"

#include <random>
#include <vector>

#include "backup/largebackuprules.h"
#include "backup/win/backupsettings.h"
#include "backup/win/infofile.h"
#include "cabinet/cabfile.h"
#include "interact/ask.h"
#include "interact/progress.h"
#include "interact/seam.h"
#include "ui/win/application.h"
#include "util/failure.h"
#include "util/paths.h"
#include "util/tables.h"
#include "util/textcase.h"
#include "util/win/busycursor.h"
#include "util/win/files.h"
#include "util/win/filesearch.h"
#include "util/win/logs.h"
#include "util/win/registry.h"
#include "util/win/sharedfiles.h"
#include "util/win/tablepaths.h"

namespace {

std::wstring lastLargeBackup;

// Section "-" of the settings: the last backup made, and the day of the last
// one made or declined.
constexpr wchar_t kRecordSection[] = L"-";

void Report(const std::wstring& text) { AppendLog(LargeBackupReportFile(), L"Zerezo: " + text); }

unsigned RandomNumber() {
    static std::mt19937 generator(static_cast<unsigned>(GetTickCount64()) ^ GetCurrentProcessId());
    return generator() % 100;
}

// The names of the moment in the order they are tried: the plain one, then
// numbered ones, at random first and then each in turn.
class NameCandidates {
public:
    NameCandidates(std::wstring directory, DateTimeValue moment)
        : directory_(std::move(directory)), moment_(moment) {}
    std::wstring First() const { return directory_ + LargeBackupName(moment_); }
    // Empty once every name was tried.
    std::wstring Next() {
        ++tried_;
        if (tried_ <= 100) return directory_ + LargeBackupName(moment_, static_cast<int>(RandomNumber()));
        if (tried_ <= 200) return directory_ + LargeBackupName(moment_, tried_ - 101);
        return {};
    }

private:
    std::wstring directory_;
    DateTimeValue moment_;
    int tried_ = 0;
};

// A name of the moment no file has yet.
std::wstring FreeName(NameCandidates& names) {
    std::wstring path = names.First();
    while (!path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) path = names.Next();
    if (path.empty()) throw Failure(L"Nie mogę nadać nazwy kopii zapasowej: wszystkie nazwy tej chwili są zajęte.");
    return path;
}

// Gives the finished archive its name by a move that replaces nothing: a
// name taken meanwhile (a sibling program's backup of the same second) is
// passed over for the next free one.
std::wstring MoveToFreeName(const std::wstring& finished, std::wstring path, NameCandidates& names) {
    for (;;) {
        if (MoveFileExW(finished.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) return path;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            throw Failure(L"Nie mogę nadać kopii zapasowej nazwy " + path + L" (" + SystemErrorText(error) + L").");
        path = FreeName(names);
    }
}

// A name in the backup directory that no mask of the program matches.
std::wstring WorkingName(const std::wstring& directory) {
    static unsigned counter = 0;
    return directory + L"~Archiwin-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) +
           L".tmp";
}

// Adds a file that exists and is not in the list yet; true when added.
bool AddFile(TCABFile& cab, const std::wstring& path) {
    if (path.empty() || !FileExists(path) || cab.CABFileContents.Contains(path)) return false;
    cab.CABFileContents.Add().Name = path;
    return true;
}

void RecordDay(DateTimeValue now) { WriteSetting(kRecordSection, L"Kopia zapasowa - data", DayNumberText(now)); }

// Deletes one old copy by full path; false (and a message) when it stays.
bool DeleteCopy(const std::wstring& path, std::int64_t size, PruneTally& tally, const std::wstring& shownName) {
    if (!DeleteFileW(path.c_str())) {
        Ask(L"Nie udało się usunąć pliku!\r\n" + shownName);
        return false;
    }
    ++tally.count;
    tally.bytes += size;
    return true;
}

void ShowSummary(const PruneTally& tally) {
    if (tally.count > 0 && tally.bytes > 0) Ask(PruneSummary(tally.count, tally.bytes));
}

}  // namespace

const std::wstring& LastLargeBackup() { return lastLargeBackup; }

std::wstring LargeBackupReportFile() {
    static const std::wstring path = InfoFileFolderFor(ProgramDir()) + L"raport.txt";
    return path;
}

bool MakeLargeBackup(const std::wstring& tag, const std::wstring& extraFile, bool askFirst, bool report, bool prune,
                     bool allTables) {
    LargeBackupOptions options;
    options.tag = tag;
    options.extraFile = extraFile;
    options.askFirst = askFirst;
    options.report = report;
    options.prune = prune;
    options.allTables = allTables;
    return MakeLargeBackup(options);
}

bool MakeLargeBackup(const LargeBackupOptions& options) {
    const DateTimeValue start = Modal().Now();
    const BackupSettings& settings = CurrentBackupSettings();
    if ((!settings.WykonujDuzeKopie && !options.evenWhenSwitchedOff) ||
        (options.askFirst &&
         !Ask(L"Pora wykonać kopię zapasową. Czy mam ją zrobić teraz?\r\n"
              L"Kopia zapasowa zajmuje od 250kB do 1.5MB, powstanie w folderze Moje dokumenty i będzie zawierać "
              L"wszystkie pliki danych, używane przez nasze programy. Zalecamy zrobienie takiej kopii. Zawsze "
              L"będziesz mógł ją usunąć..."))) {
        RecordDay(start);
        return false;
    }

    ProgressScope progress;
    bool made = false;
    std::wstring failure;
    int files = 0;
    BackupLocation location;
    {
        ShowStatus(L"Wykonuję kopię zapasową...");
        TCABFile cab;
        cab.CompressionType = typMSZIP;
        cab.OnCompressProgress = [](TCABFile*, int pos, int tot) { UpdateProgress(pos, tot); };
        std::wstring working;
        bool started = false;
        try {
            location = LocateBackupDirectory();
            NameCandidates names(location.directory, Modal().Now());
            std::wstring path = FreeName(names);
            Report(path);
            BusyCursor busy;
            Report(L"START");
            started = true;

            AddFile(cab, options.extraFile);
            if (!options.tag.empty() || options.extraFile.empty()) {
                int tables = 0;
                // Without searching the disks: a backup neither asks about
                // copies found elsewhere nor takes one as a table's file.
                for (int table = 0; table < kTableCount; ++table) {
                    if (IsReferenceTable(table) && !options.allTables) continue;
                    if (AddFile(cab, ResolveTablePath(table, L"", false))) ++tables;
                }
                if (tables == 0)
                    throw Failure(L"Nie znalazłem żadnego pliku danych. Być może dysk z danymi jest teraz "
                                  L"niedostępny.");
            }
            AddFile(cab, SharedSettingsFile());
            AddFile(cab, NipExceptionsFile());
            files = cab.CABFileContents.Count();

            ShowStatus(L"Wykonuję " + path);
            working = WorkingName(location.directory);
            cab.CABFile = working;
            cab.Compress();
            if (!FileExists(working)) throw Failure(L"Nie udało się utworzyć archiwum.");
            const std::wstring madePath = MoveToFreeName(working, path, names);
            working.clear();
            if (madePath != path) Report(madePath);
            Report(L"CREATED");
            lastLargeBackup = madePath;
            WriteSetting(kRecordSection, L"Kopia zapasowa", madePath);
            RecordDay(Modal().Now());
            if (!location.fallback) RecordBackupDirectory(location.directory);
            made = true;
        } catch (...) {
            failure = ExceptionMessage(std::current_exception());
        }
        if (!made) {
            if (!working.empty()) DeleteFileW(working.c_str());
            if (started) Report(L"ERROR");
        }
    }
    App().ProcessMessages();

    if (options.report) {
        if (made) {
            Ask(LargeBackupReport(lastLargeBackup, FileSizeOf(lastLargeBackup), files, Modal().Now() - start));
        } else {
            std::wstring reason = failure;
            if (!reason.empty() && reason.front() == L'%') reason.erase(0, 1);
            Ask(L"Nie udało się wykonać kopii zapasowej!" + (reason.empty() ? L"" : L"\r\n" + reason));
        }
    }
    if (made && options.prune) PruneLargeBackups();
    return made;
}

void PruneLargeBackups() {
    const BackupSettings& settings = CurrentBackupSettings();
    if (!settings.KasujDuzeKopieAutomatycznie && !settings.KasujDuzeKopieZapytaj) return;
    const std::wstring directory = BackupDirectory();
    PruneTally tally;
    for (const wchar_t* mask : {L"tevKopia*.tev", L"tevKopia*.cab"}) {
        for (const ListedFile& file : ListFiles(directory, mask)) {
            if (IsPrunableBackupName(file.name)) PruneLargeBackup(file.path, tally);
        }
    }
    ShowSummary(tally);
}

void PruneLargeBackup(const std::wstring& path, PruneTally& tally) {
    const BackupSettings& settings = CurrentBackupSettings();
    const std::wstring name = FileNamePart(path);
    if (SameTextNoCase(name, FileNamePart(lastLargeBackup))) return;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return;
    if (!OldEnough(LocalDateTimeOf(data.ftLastWriteTime), Modal().Now(), settings.KasujDuzeKopiePoDniach)) return;
    if (!settings.KasujDuzeKopieAutomatycznie) {
        if (!settings.KasujDuzeKopieZapytaj) return;
        if (!Ask(L"Czy mam usunąć starą, zapewne zbędną kopię zapasową?\r\nnazwa pliku: " + name + L"\r\n" +
                     L"Uwaga: nie usuwaj tej kopii, jeśli nie jesteś pewien, czy jest zbędna. Nazwa pliku zawiera "
                     L"datę wykonania (rok i numer tygodnia), więc od razu zorientujesz się, czy jest bardzo stara, "
                     L"czy nie.",
                 Question::Destructive))
            return;
    }
    const std::int64_t size =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    DeleteCopy(path, size, tally, name);
}

void PruneSmallCopies(const std::wstring& dataFile, const std::wstring& copyJustMade) {
    const BackupSettings& settings = CurrentBackupSettings();
    if (!settings.KasujMaleKopieAutomatycznie || App().Terminated()) return;
    const std::wstring directory = DirectoryPart(dataFile);
    const std::wstring name = FileNamePart(dataFile);
    const std::wstring justMade = FileNamePart(copyJustMade);
    const DateTimeValue now = Modal().Now();
    PruneTally tally;
    for (const ListedFile& file : ListFiles(directory, L"Kopia * " + name)) {
        if (!IsNumberedSmallCopy(file.name, name) || SameTextNoCase(file.name, justMade)) continue;
        if (!OldEnough(file.written, now, settings.KasujMaleKopiePoDniach)) continue;
        DeleteCopy(file.path, file.size, tally, file.path);
    }
    ShowSummary(tally);
}
