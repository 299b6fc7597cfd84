#include "backup/win/folderbackup.h"

#include <algorithm>
#include <set>
#include <vector>

#include "backup/entrypaths.h"
#include "backup/infovalues.h"
#include "backup/restorelist.h"
#include "backup/win/archivefolder.h"
#include "backup/win/backupproblems.h"
#include "backup/win/infofile.h"
#include "cabinet/cabfile.h"
#include "interact/ask.h"
#include "interact/filedialogs.h"
#include "interact/progress.h"
#include "interact/seam.h"
#include "util/datetext.h"
#include "util/numberwords.h"
#include "util/paths.h"
#include "util/safeformat.h"
#include "util/sizetext.h"
#include "util/win/files.h"
#include "util/win/filesearch.h"
#include "util/win/identity.h"

namespace {

constexpr wchar_t kCaption[] = L"Kopia zapasowa";
// A cabinet holds at most 65535 files; the information file is one of them.
constexpr size_t kMostFiles = 65534;

std::wstring ProgramVersionText() {
    const TNazwaAplikacji& me = OwnIdentity();
    return me.productName + L" " + me.version;
}

// A list of files for the message list: each path, and why when there is a reason.
std::wstring FileLines(const std::vector<std::pair<std::wstring, std::wstring>>& files) {
    std::wstring lines;
    for (const auto& [path, why] : files) {
        if (!lines.empty()) lines += L"\r\n";
        lines += MarkupLiteral(path);
        if (!why.empty()) lines += L" – " + why;
    }
    return lines;
}

void RemoveFiles(std::vector<std::wstring>& files, const std::vector<std::pair<std::wstring, std::wstring>>& gone) {
    std::set<std::wstring> names;
    for (const auto& [path, why] : gone) names.insert(path);
    std::erase_if(files, [&](const std::wstring& f) { return names.count(f) > 0; });
}

void RaiseCannotWrite(const std::wstring& archive, const std::wstring& problem) {
    RaiseError(L"Nie mogę zapisać archiwum kopii zapasowej.\r\n" + archive + L"\r\n" + problem +
               L"\r\nWybierz inny folder na archiwum (na przykład Dokumenty albo dysk zewnętrzny) i zrób kopię "
               L"jeszcze raz.");
}

// The files whose names the archive cannot hold, found before anything is
// asked: the user skips them or gives up. False when he gives up.
bool SkipNamesTooLong(std::vector<std::wstring>& files, const std::wstring& folder, const std::wstring& info,
                      int& skipped) {
    std::vector<std::pair<std::wstring, std::wstring>> tooLong;
    for (const std::wstring& file : files) {
        TCABFileEntry entry;
        entry.Name = file;
        entry.RelPath = EntryRelPath(file, folder, info);
        if (!TCABFile::NameFits(entry)) tooLong.emplace_back(file, L"");
    }
    if (tooLong.empty()) return true;
    const bool skip = ShowMessageList(
        kCaption,
        SafeFormat(L"<b>Nazwy %d plików są za długie dla archiwum kopii zapasowej.</b><br>"
                   L"Archiwum mieści ścieżkę pliku w folderze do 255 bajtów (litery spoza polskiego alfabetu "
                   L"zajmują po 2–3 bajty). Naciśnij OK, aby pominąć te pliki i spakować pozostałe, albo Anuluj, "
                   L"aby zrezygnować z kopii i najpierw skrócić ich nazwy.",
                   {static_cast<int>(tooLong.size())}),
        FileLines(tooLong));
    if (!skip) return false;
    RemoveFiles(files, tooLong);
    skipped = static_cast<int>(tooLong.size());
    return true;
}

// The writer's failure said in Polish: which file or place, what happened,
// what to do. Files that cannot be read may be skipped: true to pack again
// without them.
bool AfterWriterFailure(const ECABFileError& failure, std::vector<std::wstring>& files, const std::wstring& archive,
                        std::int64_t totalBytes) {
    if (failure.message() == CabFileErrorText(1) || failure.message() == CabFileErrorText(2)) {
        const auto unreadable = UnreadableFiles(files);
        if (unreadable.empty())
            RaiseError(L"Nie udało się odczytać jednego z plików folderu.\r\nMógł być przez chwilę zajęty przez "
                       L"inny program. Zrób kopię jeszcze raz.");
        const bool skip = ShowMessageList(
            kCaption,
            SafeFormat(L"<b>Nie mogę odczytać %d plików folderu.</b><br>"
                       L"Naciśnij OK, aby pominąć te pliki i spakować pozostałe, albo Anuluj, aby przerwać kopię; "
                       L"zamknij wtedy programy, które ich używają, i zrób kopię jeszcze raz.",
                       {static_cast<int>(unreadable.size())}),
            FileLines(unreadable));
        if (!skip)
            RaiseError(L"Kopia zapasowa przerwana.\r\nArchiwum nie zostało utworzone. Zamknij programy, które "
                       L"używają tych plików, i zrób kopię jeszcze raz.");
        RemoveFiles(files, unreadable);
        return true;
    }
    if (failure.message() == CabFileErrorText(6) || failure.message() == CabFileErrorText(4)) {
        std::wstring problem = ArchiveTargetProblem(archive, totalBytes);
        if (problem.empty()) problem = L"Zapis archiwum się nie powiódł. Sprawdź, czy na dysku jest dość miejsca.";
        RaiseCannotWrite(archive, problem);
    }
    RaiseError(L"Nie udało się spakować plików do archiwum.\r\n" + archive + L"\r\nZrób kopię jeszcze raz; gdy "
               L"błąd się powtórzy, wybierz pakowanie bez kompresji (Nie na oba pytania o kompresję).");
}

}  // namespace

void BackupFolder() {
    const std::wstring folder = ChooseFolder(L"Wybierz folder", L"C:\\");
    if (folder.empty()) return;
    const std::wstring proposed = DefaultArchiveName(ArchiveFolder(), folder, Modal().Now());
    const std::wstring archive = ChooseSaveFile(kCaption, proposed, L"Kopie zapasowe|*.cab");
    PackFolder(folder, archive);
}

bool PackFolder(const std::wstring& chosenFolder, const std::wstring& archive) {
    const std::wstring folder = BackupFolderText(chosenFolder);
    if (!DirectoryExists(folder)) RaiseError(L"Folder nie istnieje!\r\n" + folder);
    // Where the archive cannot go is said before any question.
    if (const std::wstring problem = ArchiveTargetProblem(archive); !problem.empty())
        RaiseCannotWrite(archive, problem);

    const std::wstring info = InfoFilePath();
    std::vector<std::wstring> files;
    FindFiles(files, L"*.*", folder, true);
    if (files.size() > kMostFiles)
        RaiseError(SafeFormat(L"Folder ma za dużo plików na jedno archiwum.\r\n%s\r\nPlików jest %d, a archiwum "
                              L"kopii zapasowej mieści najwyżej %d. Zrób osobne kopie jego podfolderów.",
                              {folder, static_cast<int>(files.size()), static_cast<int>(kMostFiles)}));
    int skipped = 0;
    if (!SkipNamesTooLong(files, folder, info, skipped)) return false;

    std::wstring count = L"do spakowania w sumie " +
                         PluralFormat(L"%d %s", L"plik", L"pliki", L"plików", static_cast<std::int64_t>(files.size())) +
                         L".";
    if (skipped > 0) count += SafeFormat(L" (pominięte: %d o za długich nazwach)", {skipped});
    const bool confirmed = Ask(SafeFormat(L"Kopia zapasowa folderu %s\r\n"
                                          L"%s\r\n"
                                          L"nazwa archiwum: %s\r\n"
                                          L"Kontynuować?",
                                          {folder, count, archive}));
    if (!confirmed) return false;

    // Text the information file's code page cannot hold is kept exactly
    // beside its closest form (infovalues.h).
    const std::wstring section = InfoSectionName(FileNamePart(archive));
    if (!WriteInfoValue(info, section, L"Dir", folder))
        RaiseError(L"Nie mogę zapisać pliku informacji o archiwum.\r\n" + info);
    WriteInfoValue(info, section, L"Wersja", ProgramVersionText());
    WriteInfoValue(info, section, L"Komentarz", InputText(L"Komentarz do archiwum", L"Wpisz komentarz", L""));
    files.insert(files.begin(), info);

    const DateTimeValue start = Modal().Now();
    ProgressScope progress;
    TCABFile cab;
    auto listFiles = [&] {
        ShowStatus(L"Dodaję pliki do listy");
        cab.CABFileContents.Clear();
        const int n = static_cast<int>(files.size());
        for (int i = 0; i < n; ++i) {
            ShowProgress(i, n);
            TCABFileEntry& entry = cab.CABFileContents.Add();
            entry.Name = files[static_cast<size_t>(i)];
            entry.RelPath = EntryRelPath(entry.Name, folder, info);
        }
    };
    listFiles();

    if (Ask(L"Mocna kompresja?")) {
        cab.CompressionType = typLZX;
        cab.LZXMemory = lzxLowest;
    } else {
        cab.CompressionType = Ask(L"Kompresować w ogóle?") ? typMSZIP : typNone;
    }

    cab.CABFile = archive;
    {
        StopOffer offer;
        // The writer removes its unfinished file when the report throws.
        auto stopIfAsked = [&] {
            if (StopRequested())
                RaiseError(L"Przerwałeś tworzenie kopii zapasowej: archiwum nie zostało zapisane.\r\n" + archive);
        };
        cab.OnCompressProgress = [&](TCABFile*, int pos, int tot) {
            UpdateProgress(pos, tot);
            stopIfAsked();
        };
        for (;;) {
            ShowStatus(L"Kompresuję pliki...");
            stopIfAsked();
            try {
                cab.Compress();
                break;
            } catch (const ECABFileError& failure) {
                FinishProgress();
                if (!AfterWriterFailure(failure, files, archive, cab.TotalSize)) return false;
                listFiles();
            }
        }
    }
    FinishProgress();
    // An archive that is still not there is reported as a failure too, never
    // described as made.
    if (!FileExists(archive)) RaiseError(L"Nie udało się utworzyć archiwum.\r\n" + archive);

    Ask(L"Wykonałem kopię zapasową.\r\n" + FileDescription(archive) + L"\r\n" +
        SafeFormat(L"Kompresja z %s w %s, %s",
                   {SizeText(cab.TotalSize, false), SizeText(cab.CompressedSize, false),
                    DurationText(Modal().Now() - start)}));
    return true;
}
