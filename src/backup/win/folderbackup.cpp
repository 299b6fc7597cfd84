#include "backup/win/folderbackup.h"

#include <vector>

#include "backup/entrypaths.h"
#include "backup/infovalues.h"
#include "backup/win/infofile.h"
#include "cabinet/cabfile.h"
#include "interact/ask.h"
#include "interact/filedialogs.h"
#include "interact/progress.h"
#include "interact/seam.h"
#include "util/datetext.h"
#include "util/paths.h"
#include "util/safeformat.h"
#include "util/sizetext.h"
#include "util/win/files.h"
#include "util/win/filesearch.h"
#include "util/win/identity.h"

namespace {

std::wstring ProgramVersionText() {
    const TNazwaAplikacji& me = OwnIdentity();
    return me.productName + L" " + me.version;
}

}  // namespace

void BackupFolder() {
    const std::wstring folder = ChooseFolder(L"Wybierz folder", L"C:\\");
    if (folder.empty()) return;
    const std::wstring proposed = DefaultArchiveName(ProgramDir(), folder, Modal().Now());
    const std::wstring archive = ChooseSaveFile(L"Kopia zapasowa", proposed, L"Kopie zapasowe|*.cab");
    PackFolder(folder, archive);
}

bool PackFolder(const std::wstring& chosenFolder, const std::wstring& archive) {
    const std::wstring folder = BackupFolderText(chosenFolder);
    if (!DirectoryExists(folder)) RaiseError(L"Folder nie istnieje!\r\n" + folder);

    std::vector<std::wstring> files;
    FindFiles(files, L"*.*", folder, true);
    const bool confirmed = Ask(SafeFormat(L"Kopia zapasowa folderu %s\r\n"
                                          L"do spakowania w sumie %d plików.\r\n"
                                          L"nazwa archiwum: %s\r\n"
                                          L"Kontyunować?",
                                          {folder, static_cast<int>(files.size()), archive}));
    if (!confirmed) return false;

    const std::wstring info = InfoFilePath();
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
    ShowStatus(L"Dodaję pliki do listy");
    TCABFile cab;
    const int count = static_cast<int>(files.size());
    for (int i = 0; i < count; ++i) {
        ShowProgress(i, count);
        TCABFileEntry& entry = cab.CABFileContents.Add();
        entry.Name = files[static_cast<size_t>(i)];
        entry.RelPath = EntryRelPath(entry.Name, folder, info);
    }

    if (Ask(L"Mocna kompresja?")) {
        cab.CompressionType = typLZX;
        cab.LZXMemory = lzxLowest;
    } else {
        cab.CompressionType = Ask(L"Kompresować w ogóle?") ? typMSZIP : typNone;
    }

    ShowStatus(L"Kompresuję pliki...");
    cab.OnCompressProgress = [](TCABFile*, int pos, int tot) { UpdateProgress(pos, tot); };
    cab.CABFile = archive;
    cab.Compress();
    FinishProgress();
    // The writer raises its own failures; an archive that is still not there
    // is reported as a failure too, never described as made.
    if (!FileExists(archive)) RaiseError(L"Nie udało się utworzyć archiwum.\r\n" + archive);

    Ask(L"Wykonałem kopię zapasową.\r\n" + FileDescription(archive) + L"\r\n" +
        SafeFormat(L"Kompresja z %s w %s, %s",
                   {SizeText(cab.TotalSize, false), SizeText(cab.CompressedSize, false),
                    DurationText(Modal().Now() - start)}));
    return true;
}
