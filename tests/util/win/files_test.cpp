#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "interact/filedialogs.h"
#include "support/scripted_responder.h"
#include "util/failure.h"
#include "util/paths.h"
#include "util/textcase.h"
#include "util/textfile.h"
#include "util/win/files.h"
#include "util/win/registry.h"

namespace {

namespace fs = std::filesystem;

class Files : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (std::string("archiwin-files-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::wstring Make(const std::wstring& name, const std::string& bytes) {
        std::wstring path = (dir_ / name).wstring();
        std::ofstream(fs::path(path), std::ios::binary) << bytes;
        return path;
    }
    static std::string Bytes(const std::wstring& path) {
        std::ifstream in(fs::path(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path dir_;
};

TEST(ProgramPaths, DirectoriesEndInABackslash) {
    std::wstring exe = ProgramFile();
    EXPECT_TRUE(EndsWithNoCase(L"test_util_win.exe", exe)) << exe;
    EXPECT_EQ(ProgramDir(), LowerCase(DirectoryPart(exe)));
    EXPECT_EQ(ProgramDir().back(), L'\\');
    for (FolderKind kind : {FolderKind::Personal, FolderKind::DesktopDirectory, FolderKind::StartMenu, FolderKind::Fonts}) {
        std::wstring dir = SpecialFolder(kind);
        EXPECT_EQ(dir.back(), L'\\') << dir;
        EXPECT_TRUE(DirectoryExists(dir)) << dir;
    }
    EXPECT_EQ(DocumentsDir(), SpecialFolder(FolderKind::Personal));
    EXPECT_EQ(DesktopDir(), SpecialFolder(FolderKind::DesktopDirectory));
    EXPECT_EQ(StartMenuDir(), SpecialFolder(FolderKind::StartMenu));
    // Virtual folders have no path on the disk.
    EXPECT_EQ(SpecialFolder(FolderKind::RecycleBin), L"C:\\");
    EXPECT_EQ(WorkDir(), ProgramDir());
}

TEST_F(Files, SizesDatesAndTimes) {
    std::wstring file = Make(L"dane.dat", std::string(1536, 'x'));
    // 10 December 2026, 12:34:57.250 UTC
    SYSTEMTIME st{2026, 12, 4, 10, 12, 34, 57, 250};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    HANDLE h = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);

    EXPECT_EQ(FileSizeOf(file), 1536);
    EXPECT_EQ(FileSizeOf(file + L".brak"), -1);

    FileTimeRecord r = FileTimes(file, FileTimeKind::LastWrite);
    EXPECT_EQ(r.fileTime, (std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
    EXPECT_EQ(r.year, 2026);
    EXPECT_EQ(r.month, 12);
    EXPECT_EQ(r.weekday, 4);
    EXPECT_EQ(r.day, 10);
    EXPECT_EQ(r.hour, 12);
    EXPECT_EQ(r.minute, 34);
    EXPECT_EQ(r.second, 57);
    EXPECT_EQ(r.millisecond, 250);
    EXPECT_NEAR(r.dateTime, 46366 + (12 * 3600 + 34 * 60 + 57.25) / 86400.0, 1e-8);
    EXPECT_EQ(FileTimes(file + L".brak", FileTimeKind::LastWrite).year, 0);

    // The local time in the two-second steps of the DOS form.
    FILETIME local;
    FileTimeToLocalFileTime(&ft, &local);
    SYSTEMTIME ls;
    FileTimeToSystemTime(&local, &ls);
    DateTimeValue date = FileDateOf(file);
    double seconds = (date - std::floor(date)) * 86400;
    EXPECT_NEAR(seconds, ls.wHour * 3600 + ls.wMinute * 60 + 56, 1e-3);
    EXPECT_EQ(FileDateOf(file + L".brak"), 0);
}

TEST_F(Files, DirectoryAvailableAnswersByAttributesAndLetsATestRunAhead) {
    const std::wstring folder = (dir_ / L"kopie").wstring();
    fs::create_directories(dir_ / L"kopie");
    const std::wstring file = Make(L"plik.txt", "x");
    const std::wstring absent = (dir_ / L"brak").wstring();
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    EXPECT_TRUE(DirectoryAvailable(folder));
    EXPECT_TRUE(DirectoryAvailable(folder + L"\\"));
    EXPECT_FALSE(DirectoryAvailable(file));
    EXPECT_FALSE(DirectoryAvailable(absent));
    EXPECT_FALSE(DirectoryAvailable(L""));
    // A test started without waiting is still under way when the next
    // question comes: that question waits for it instead of taking "not yet"
    // for "no".
    for (int round = 0; round < 20; ++round) {
        DirectoryAvailable(folder, 0);
        EXPECT_TRUE(DirectoryAvailable(folder)) << round;
        DirectoryAvailable(absent, 0);
        EXPECT_FALSE(DirectoryAvailable(absent)) << round;
    }
    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
}

TEST_F(Files, Description) {
    std::wstring missing = (dir_ / L"brak.dat").wstring();
    EXPECT_EQ(FileDescription(missing), L"plik " + missing + L"\r\nzajmuje -1 B\r\nostatnio zapisany: -");
    std::wstring file = Make(L"dane.dat", std::string(2048, 'x'));
    std::wstring text = FileDescription(file);
    EXPECT_EQ(text.rfind(L"plik " + file + L"\r\nzajmuje 2,00 kB\r\nostatnio zapisany: ", 0), 0u) << text;
}

// The code after the caller's word, then the system's text without its line
// break; a code the system has no text for stands alone.
TEST(SystemErrorText, CodeAndTheSystemsText) {
    const struct {
        unsigned long code;
        const wchar_t* prefix;
        const wchar_t* start;
    } cases[] = {
        {ERROR_ACCESS_DENIED, nullptr, L"błąd 5: "},
        {ERROR_ACCESS_DENIED, L"błąd systemu ", L"błąd systemu 5: "},
        {ERROR_FILE_NOT_FOUND, L"błąd systemu ", L"błąd systemu 2: "},
    };
    for (const auto& c : cases) {
        std::wstring text = c.prefix ? SystemErrorText(c.code, c.prefix) : SystemErrorText(c.code);
        EXPECT_EQ(text.rfind(c.start, 0), 0u) << text;
        EXPECT_GT(text.size(), wcslen(c.start)) << text;
        EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos) << text;
        EXPECT_NE(text.back(), L' ') << text;
    }
    EXPECT_EQ(SystemErrorText(0x2000FFFFu), L"błąd 536936447");
    EXPECT_EQ(SystemErrorText(0x2000FFFFu, L"błąd systemu "), L"błąd systemu 536936447");
}

TEST_F(Files, ReplaceFile) {
    std::wstring source = Make(L"nowy.tmp", "nowy"), target = Make(L"dane.dat", "stary");
    EXPECT_TRUE(ReplaceFile(source, target));
    EXPECT_EQ(Bytes(target), "nowy");
    EXPECT_FALSE(FileExists(source));
    // Without a source the target stays as it is.
    EXPECT_FALSE(ReplaceFile(source, target));
    EXPECT_EQ(Bytes(target), "nowy");
    std::wstring fresh = (dir_ / L"nowe miejsce.dat").wstring();
    EXPECT_TRUE(ReplaceFile(Make(L"x.tmp", "x"), fresh));
    EXPECT_EQ(Bytes(fresh), "x");
}

TEST_F(Files, LzExpandCopy) {
    // "SZDD" file of the system's compress tool: header, then LZSS with a
    // flag byte (all literals) before each eight bytes.
    std::string packed = std::string("SZDD\x88\xF0\x27\x33\x41\x00\x0A\x00\x00\x00", 14) + "\xFF" + "Archiwin" + "\xFF" + "!!";
    std::wstring file = Make(L"plik.da_", packed);
    std::wstring copy = LzExpandCopy(file);
    EXPECT_EQ(copy, (dir_ / L"Kopia plik.da_").wstring());
    EXPECT_EQ(Bytes(copy), "Archiwin!!");
    // Long paths and names outside the ANSI code page as well.
    fs::create_directories(dir_ / std::wstring(120, L'd'));
    std::wstring deep = Make(std::wstring(120, L'd') + L"\\ŻÓŁW ĆMA.da_", packed);
    EXPECT_EQ(Bytes(LzExpandCopy(deep)), "Archiwin!!");
    // A plain file is copied as it is, over an older copy.
    std::wstring plain = Make(L"zwykły.txt", "tekst");
    Make(L"Kopia zwykły.txt", "stara kopia");
    EXPECT_EQ(Bytes(LzExpandCopy(plain)), "tekst");

    EXPECT_EQ(LzExpandCopy((dir_ / L"brak.dat").wstring()), L"");
    // A source held by another program cannot be opened: the failure carries the code.
    std::wstring held = Make(L"zajęty.txt", "x");
    HANDLE h = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    try {
        LzExpandCopy(held);
        ADD_FAILURE() << "no failure raised";
    } catch (const Failure& f) {
        EXPECT_EQ(f.message().rfind(L"Błąd biblioteki LZ -", 0), 0u) << f.message();
    }
    CloseHandle(h);
    EXPECT_FALSE(FileExists((dir_ / L"Kopia zajęty.txt").wstring()));
}

TEST_F(Files, AppendLineLeavesALockedLogAlone) {
    std::wstring log = Make(L"dziennik.log", "stara treść\r\n");
    HANDLE h = CreateFileW(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(AppendLine(log, L"nowa"));
    CloseHandle(h);
    EXPECT_EQ(Bytes(log), "stara treść\r\n");
    EXPECT_TRUE(AppendLine(log, L"nowa"));
    EXPECT_EQ(Bytes(log), "stara treść\r\nnowa\r\n");
}

TEST(Shell, OpenAddsTheSchemeToBareAddresses) {
    ScriptedResponder responder;
    struct Case { const wchar_t *target, *opened; };
    for (const Case& c : std::initializer_list<Case>{
             {L"www.tev.pl", L"http://www.tev.pl"},
             {L"HTTP://www.tev.pl/a", L"HTTP://www.tev.pl/a"},
             {L"https://www.tev.pl/pomoc", L"https://www.tev.pl/pomoc"},
             {L"ftp://ftp.tev.pl/", L"ftp://ftp.tev.pl/"},
             {L"mailto:pomoc@tev.pl", L"mailto:pomoc@tev.pl"},
             {L"C:\\Program Files\\TEV\\Instaluj.EXE", L"C:\\Program Files\\TEV\\Instaluj.EXE"},
         }) {
        EXPECT_TRUE(ShellOpen(c.target));
        ASSERT_FALSE(responder.shown.empty());
        EXPECT_EQ(responder.shown.back().kind, L"shell");
        EXPECT_EQ(responder.shown.back().headline, c.opened);
    }
}

TEST(Shell, RegisterFileType) {
    ScriptedResponder responder;
    const std::wstring ext = L".archiwintest" + std::to_wstring(GetCurrentProcessId());
    const std::wstring type = L"ArchiwinTest.Typ" + std::to_wstring(GetCurrentProcessId());
    EXPECT_TRUE(RegisterFileType(ext, type));
    EXPECT_EQ(RegReadValue(kClassesRoot, ext, L"", L""), type);
    EXPECT_EQ(RegReadValue(kClassesRoot, type, L"", L""), L"Archiwin");
    EXPECT_EQ(RegReadValue(kClassesRoot, type + L"\\DefaultIcon", L"", L""), ProgramFile() + L",0");
    EXPECT_TRUE(responder.shown.empty());
    EXPECT_TRUE(RegDeleteKey(kClassesRoot, ext));
    EXPECT_TRUE(RegDeleteKey(kClassesRoot, type));
}

TEST(FileDialogs, CancellingRaises) {
    ScriptedResponder responder;
    responder.Cancel().Cancel().Answer(L"C:\\Kopie\\kopia.cab").Cancel().Answer(L"C:\\Dane");
    try {
        ChooseOpenFile(L"Otwórz kopię", L"C:\\Kopie\\kopia.cab", L"Kopie zapasowe|*.cab");
        ADD_FAILURE();
    } catch (const Failure& f) {
        EXPECT_EQ(f.message(), L"Nie wybrano żadnego pliku.");
    }
    try {
        ChooseSaveFile(L"Kopia zapasowa", L"C:\\Kopie\\kopia_c.dane.cab", L"Kopie zapasowe|*.cab");
        ADD_FAILURE();
    } catch (const Failure& f) {
        EXPECT_EQ(f.message(), L"%Kopia zapasowa: Nie wybrano lokalizacji.");
    }
    ASSERT_EQ(responder.shown.size(), 2u);
    EXPECT_EQ(responder.shown[0].kind, L"open");
    EXPECT_EQ(responder.shown[0].body, L"C:\\Kopie\\kopia.cab");
    EXPECT_EQ(responder.shown[1].kind, L"save");
    EXPECT_EQ(responder.shown[1].caption, L"Kopia zapasowa");
    EXPECT_EQ(responder.shown[1].headline, L"C:\\Kopie\\");  // starting folder
    EXPECT_EQ(responder.shown[1].items, std::vector<std::wstring>{L"Kopie zapasowe|*.cab"});

    EXPECT_EQ(ChooseSaveFile(L"Kopia zapasowa", L"kopia.cab", L""), L"C:\\Kopie\\kopia.cab");
    EXPECT_EQ(ChooseFolder(L"Wybierz folder", L"C:\\"), L"");
    EXPECT_EQ(ChooseFolder(L"Wybierz folder", L"C:\\"), L"C:\\Dane\\");
}

}  // namespace
