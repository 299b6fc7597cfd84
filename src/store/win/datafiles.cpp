#include <windows.h>

#include "store/win/datafiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

#include "interact/ask.h"
#include "interact/progress.h"
#include "interact/seam.h"
#include "store/copynames.h"
#include "store/storehost.h"
#include "store/tevlist.h"
#include "store/tevstream.h"
#include "util/failure.h"
#include "util/paths.h"
#include "util/safeformat.h"
#include "util/textcase.h"
#include "util/textfile.h"
#include "util/win/busycursor.h"
#include "util/win/files.h"
#include "util/win/tablepaths.h"
#include "util/win/writable.h"

namespace {

std::wstring lastDataError;
SmallCopiesOn smallCopiesOn = nullptr;
PruneCopies pruneCopies = nullptr;

constexpr wchar_t kSupportHint[] =
    L"Jeśli potrzebujesz pomocy, napisz do naszego działu pomocy technicznej (adres znajdziesz na naszych stronach "
    L"internetowych w dziale „Pomoc techniczna”).";

[[noreturn]] void RaiseSystem(const std::wstring& what, const std::wstring& path) {
    const DWORD code = GetLastError();
    throw Failure(what + L" " + path + L" (" + SystemErrorText(code, L"błąd systemu ") + L").");
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    bool Close() {
        bool ok = true;
        if (Valid()) ok = CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

std::string ReadWholeFile(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) RaiseSystem(L"Nie mogę otworzyć pliku", path);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) RaiseSystem(L"Nie mogę odczytać rozmiaru pliku", path);
    if (size.QuadPart > std::numeric_limits<std::int32_t>::max())
        throw Failure(L"Plik " + path + L" jest za duży, by mógł być plikiem danych.");
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr)) RaiseSystem(L"Nie mogę odczytać pliku", path);
        if (got == 0) break;  // shorter than it was a moment ago
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

// Writes the bytes to a new file and forces them onto the disk.
void WriteWholeFile(const std::wstring& path, const std::string& bytes, DWORD attributes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    if (!file.Valid()) RaiseSystem(L"Nie mogę utworzyć pliku", path);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!WriteFile(file.Get(), bytes.data() + done, want, &put, nullptr) || put == 0) {
            const DWORD code = GetLastError();
            file.Close();
            DeleteFileW(path.c_str());
            SetLastError(code);
            RaiseSystem(L"Nie mogę zapisać pliku", path);
        }
        done += put;
    }
    if (!FlushFileBuffers(file.Get()) || !file.Close()) {
        const DWORD code = GetLastError();
        file.Close();
        DeleteFileW(path.c_str());
        SetLastError(code);
        RaiseSystem(L"Nie mogę zapisać na dysku pliku", path);
    }
}

DateTimeValue UtcValue(const FILETIME& ft) {
    const std::uint64_t ticks = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    // 109205 days from 1 January 1601 to 30 December 1899.
    return static_cast<double>(ticks) / 864000000000.0 - 109205.0;
}

void Remember(tTevList& list, const std::wstring& path) {
    const DataFileState state = DataFileStateOf(path);
    list.SetFilePath(path);
    list.SetFileState(static_cast<std::int32_t>(state.size), state.written);
}

bool SameState(const DataFileState& a, const DataFileState& b) {
    return a.exists == b.exists && a.size == b.size && a.written == b.written;
}

DataFileState RememberedState(const tTevList& list) {
    DataFileState state;
    state.exists = true;
    state.size = list.FileSize();
    state.written = list.FileTime();
    return state;
}

DateTimeValue Now() { return Modal().Now(); }

// The list's content as a data file's bytes.
std::string ContentOf(tTevList& list, bool longForm) {
    tTevStream stream;
    stream.SetLongForm(longForm);
    if (list.FileSize() > 0) stream.Reserve(static_cast<size_t>(list.FileSize()) + list.FileSize() / 16);
    list.SaveToStream(stream);
    return stream.TakeBytes();
}

// Writes the bytes under a name that is free at the moment (the moment is
// moved on by a second while the name is taken); the name written.
std::wstring WriteSaveEmergencyCopy(const std::string& bytes, const std::wstring& dataFile) {
    DateTimeValue moment = Now();
    std::wstring name = SaveEmergencyCopyName(dataFile, moment);
    for (int i = 0; i < 3600 && GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
        moment += 1.0 / 86400.0;
        name = SaveEmergencyCopyName(dataFile, moment);
    }
    // CREATE_NEW: a copy made by another program in the same instant is kept.
    Handle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) RaiseSystem(L"Nie mogę utworzyć pliku", name);
    file.Close();
    WriteWholeFile(name, bytes, FILE_ATTRIBUTE_NORMAL);
    return name;
}

// The question when the file changed since this program last read or wrote
// it. True: write over it.
bool ConfirmOverwriteOfOthersSave(const std::wstring& path) {
    return Ask(L"Wykryłem próbę zapisu danych do pliku, do którego w międzyczasie zapisywała inna aplikacja. Czy zapisać "
               L"plik mimo wszystko?\r\nJeśli odtwarzałeś właśnie dane z kopii zapasowej, wybierz NIE.\r\nJeśli "
               L"odpowiesz OK, dane zapisane przez tę inną aplikację zostaną bezpowrotnie utracone. Jeśli naciśniesz "
               L"Anuluj, utracisz dane zapisywane przez TEN program. Zapiszę tylko awaryjną kopię zapasową pod "
               L"unikalną nazwą.\r\n\r\nplik: " +
                   path,
               Question::Destructive);
}

// After "Anuluj" at the concurrent-write question: the list's content goes to
// an emergency copy and the data file stays as the other program wrote it.
void KeepOthersSave(tTevList& list, const std::wstring& path) {
    std::wstring copy;
    std::wstring failure;
    try {
        copy = WriteSaveEmergencyCopy(ContentOf(list, list.LongForm()), path);
    } catch (...) {
        failure = ExceptionMessage(std::current_exception());
    }
    lastDataError = L"Plik " + path +
                    L" pozostał taki, jak zapisała go inna aplikacja; dane tego programu nie zostały w nim zapisane.";
    if (failure.empty()) {
        lastDataError += L"\r\nZapisałem je w awaryjnej kopii zapasowej: " + copy;
        AskHeadline(L"!Nie zapisałem pliku danych, bo w międzyczasie zapisała go inna aplikacja.",
                    lastDataError + L"\r\n" + kSupportHint);
    } else {
        lastDataError += L"\r\nNie udało się zapisać awaryjnej kopii zapasowej: " + failure;
        AskHeadline(L"%Nie zapisałem pliku danych, bo w międzyczasie zapisała go inna aplikacja.",
                    lastDataError + L"\r\n" + kSupportHint);
    }
}

// The line of the shrink log beside the program; a folder that cannot be
// written costs the line, never the save.
void LogShrink(const std::wstring& text) {
    try {
        AppendLine(ProgramDir() + L"exce.txt", text);
    } catch (...) {
    }
}

// Offers to create a missing directory, then the program's directory.
void OfferDirectory(std::wstring& path) {
    auto missing = [&] { return !FileExists(path) && !DirectoryExists(DirectoryPart(path)); };
    if (!missing()) return;
    const std::wstring intro = path + L": taka ścieżka nie istnieje. Zapisanie pliku nie będzie możliwe. \r\n";
    if (Ask(intro + L"Czy mam spróbować utworzyć taką ścieżkę?")) {
        std::wstring dir = DirectoryPart(path);
        RemoveBackslash(dir);
        if (CreateDirectoryW(dir.c_str(), nullptr)) Ask(L"*Ścieżka została utworzona pomyślnie.");
    }
    if (missing() && Ask(intro + L"Czy mam spróbować zapisać plik w bieżącym katalogu programu?"))
        path = ProgramDir() + FileNamePart(path);
}

class StoreHostWin : public StoreHost {
public:
    std::wstring ResolveTablePath(int table, const std::wstring& suggested) override {
        return ::ResolveTablePath(table, suggested, true);
    }
    bool FileExists(const std::wstring& path) override { return ::FileExists(path); }
    bool LoadListFromFile(tTevList& list, const std::wstring& path, bool keepLoaded) override {
        return ::LoadListFromFile(list, path, keepLoaded);
    }
    bool SaveListToFile(tTevList& list, const std::wstring& path, bool smallCopy) override {
        return ::SaveListToFile(list, path, smallCopy);
    }
    bool AskRemembered(const std::wstring& text, const std::wstring& dialogKey) override {
        return ::AskRemembered(text, dialogKey, true);
    }
    void ShowMessage(const std::wstring& text) override { Ask(text); }
    void ShowStatus(const std::wstring& text) override { ::ShowStatus(text); }
    void FinishProgress() override { ::FinishProgress(); }
    void BeginBusy() override {
        if (depth_++ == 0) previous_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    }
    void EndBusy() override {
        if (depth_ > 0 && --depth_ == 0) SetCursor(previous_ ? previous_ : LoadCursorW(nullptr, IDC_ARROW));
    }
    std::wstring FileDescription(const std::wstring& path) override { return ::FileDescription(path); }
    DateTimeValue Now() override { return Modal().Now(); }

private:
    int depth_ = 0;
    HCURSOR previous_ = nullptr;
};

}  // namespace

const std::wstring& LastDataError() { return lastDataError; }

void SetSmallCopyRules(SmallCopiesOn on, PruneCopies prune) {
    smallCopiesOn = on;
    pruneCopies = prune;
}

DataFileState DataFileStateOf(const std::wstring& path) {
    DataFileState state;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return state;
    state.exists = true;
    state.size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    state.written = UtcValue(data.ftLastWriteTime);
    return state;
}

bool LoadListFromFile(tTevList& list, const std::wstring& path, bool keepLoaded) {
    if (keepLoaded && list.LoadedCount() > 0) return true;
    lastDataError.clear();
    if (path.empty() || !FileExists(path)) return false;
    const DataFileState before = DataFileStateOf(path);
    tTevStream stream;
    try {
        stream = tTevStream(ReadWholeFile(path));
    } catch (...) {
        lastDataError = ExceptionMessage(std::current_exception());
        return false;
    }
    try {
        LoadListContent(list, stream);
    } catch (...) {
        // The list keeps what it held; it must not go back over this file.
        lastDataError = ExceptionMessage(std::current_exception());
        list.SetFilePath(path);
        list.SetFileState(0, 0);
        list.SetLoadFailed(true);
        Ask(L"%Plik istnieje, ale nie mogę go otworzyć! Tworzę awaryjną kopię zapasową.\r\n" + lastDataError);
        MakeEmergencyCopy(path);
        return false;
    }
    list.SetLoadFailed(false);
    list.SetFilePath(path);
    // What was read, as it was when read.
    list.SetFileState(static_cast<std::int32_t>(before.size), before.written);
    return true;
}

bool MakeEmergencyCopy(const std::wstring& dataFile) {
    const DateTimeValue moment = Now();
    std::mt19937 random(static_cast<unsigned>(GetTickCount()) ^ static_cast<unsigned>(GetCurrentProcessId()));
    const int first = static_cast<int>(random() % kLoadEmergencyNumbers);
    std::wstring name = LoadEmergencyCopyName(dataFile, moment, first);
    // A free name: a second copy in the same second takes another number.
    for (int i = 0; i < kLoadEmergencyNumbers; ++i) {
        name = LoadEmergencyCopyName(dataFile, moment, (first + i) % kLoadEmergencyNumbers);
        if (CopyFileW(dataFile.c_str(), name.c_str(), TRUE)) return true;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    Ask(L"%Nie udało się wykonać awaryjnej kopii zapasowej!\r\n" + dataFile + L"\r\n" + name);
    return false;
}

bool SaveEmergencyCopy(tTevList& list, const std::wstring& dataFile) {
    std::wstring name = SaveEmergencyCopyName(dataFile, Now());
    try {
        name = WriteSaveEmergencyCopy(ContentOf(list, list.LongForm()), dataFile);
    } catch (...) {
        AskHeadline(L"%Nie udało się zapisać awaryjnej kopii zapasowej.",
                    ExceptionMessage(std::current_exception()) + L"\r\nnazwa pliku: " + name);
        return false;
    }
    AskHeadline(L"*Zapisałem awaryjną kopię zapasową.\r\nnazwa pliku: " + name,
                L"Aby dowiedzieć się, jak odtworzyć dane z takiej kopii, skontaktuj się z naszym działem pomocy "
                L"technicznej (adres znajdziesz na naszych stronach internetowych w dziale „Pomoc techniczna”).");
    return true;
}

bool MakeSmallCopy(const std::wstring& dataFile) {
    if (!FileExists(dataFile)) return false;
    if (smallCopiesOn && !smallCopiesOn()) return false;
    try {
        const std::wstring copy = SmallCopyName(dataFile, Now());
        if (!CopyFileW(dataFile.c_str(), copy.c_str(), FALSE)) {
            // An older copy of the period marked read-only.
            SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!CopyFileW(dataFile.c_str(), copy.c_str(), FALSE)) return false;
        }
        if (pruneCopies) pruneCopies(dataFile, copy);
        return true;
    } catch (...) {
        return false;
    }
}

bool SaveListToFile(tTevList& list, const std::wstring& requestedPath, bool smallCopy) {
    std::wstring path = requestedPath;
    bool saved = false;
    bool keptOthersSave = false;
    try {
        if (path.empty()) throw Failure(L"Nie podano nazwy pliku danych.");
        OfferDirectory(path);

        // A list whose file could not be read holds what it held before, not
        // the file's content: written back, it would replace the file's data.
        if (list.LoadFailed() && SameTextNoCase(list.FilePath(), path))
            throw Failure(L"Nie zapisuję listy w pliku " + path +
                          L", bo nie udało się go wcześniej odczytać: zapis zniszczyłby zawarte w nim dane.");

        // Another program wrote the file since this one last read or wrote it.
        DataFileState seen = DataFileStateOf(path);
        if (seen.exists && list.FileSize() != 0 && list.FileTime() != 0 &&
            !SameState(seen, RememberedState(list))) {
            if (!ConfirmOverwriteOfOthersSave(path)) {
                KeepOthersSave(list, path);
                keptOthersSave = true;
                return false;
            }
            seen = DataFileStateOf(path);
        }

        if (smallCopy && seen.exists) {
            BusyCursor busy;
            MakeSmallCopy(path);
        }

        BusyCursor busy;
        const std::string content = ContentOf(list, list.LongForm());

        const DataFileState now = DataFileStateOf(path);
        if (now.exists && static_cast<std::int64_t>(content.size()) * 2 < now.size) {
            const std::wstring question =
                L"Plik, który chcesz zapisać, zawiera dużo mniej danych, niż już istniejący plik o tej samej nazwie. "
                L"Czy mimo wszystko zapisać ten plik?\r\n" +
                SafeFormat(L"%s: plik ma %d, zapisywane dane %d bajtów.",
                           {path, static_cast<long long>(now.size), static_cast<long long>(content.size())});
            LogShrink(question);
            if (!Ask(question, Question::Destructive)) throw Failure(L"Nie zapisuję nowego pliku!");
        }

        // Attributes the user would not have cleared stop the save (some
        // systems would let the replacement below pass them by).
        if (!EnsureWritable(path))
            throw Failure(L"Atrybuty pliku " + path + L" uniemożliwiają zapis do niego.");
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) attributes = 0;
        attributes &= FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

        // The new content beside the file, complete and on the disk, before
        // the old one goes.
        const std::wstring pending = PendingSaveName(path, GetCurrentProcessId());
        SetFileAttributesW(pending.c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteWholeFile(pending, content, FILE_ATTRIBUTE_NORMAL);

        // The questions may have waited for minutes: look again.
        if (!SameState(DataFileStateOf(path), seen) && !ConfirmOverwriteOfOthersSave(path)) {
            DeleteFileW(pending.c_str());
            KeepOthersSave(list, path);
            keptOthersSave = true;
            return false;
        }
        if (!MoveFileExW(pending.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const DWORD code = GetLastError();
            DeleteFileW(pending.c_str());
            SetLastError(code);
            RaiseSystem(L"Nie mogę zastąpić pliku", path);
        }
        if (attributes != 0) SetFileAttributesW(path.c_str(), attributes);
        saved = true;
        list.SetLoadFailed(false);
        Remember(list, path);
    } catch (...) {
        lastDataError = ExceptionMessage(std::current_exception());
    }
    if (!saved && !keptOthersSave)
        AskHeadline(L"%Niestety, zapisanie danych nie było możliwe. Być może podałeś nieprawidłową ścieżkę.",
                    std::wstring(kSupportHint) + L"\r\n" + lastDataError);
    return saved;
}

void InstallStoreHost() {
    static StoreHostWin host;
    SetStoreHost(&host);
}
