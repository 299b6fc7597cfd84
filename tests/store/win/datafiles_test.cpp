#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "store/copynames.h"
#include "store/tevlist.h"
#include "store/win/datafiles.h"
#include "store_fixture.h"
#include "support/scripted_responder.h"
#include "util/calendar.h"
#include "util/paths.h"
#include "util/win/files.h"

namespace {

namespace fs = std::filesystem;

DateTimeValue At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return *EncodeDate(y, mo, d) + *EncodeTime(h, mi, s);
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A list of cards numbered from 1, each named by the pattern and its number.
void Fill(tTevList& list, int count, const std::wstring& name) {
    for (int i = 1; i <= count; ++i) list.Add(std::make_unique<TKartka>(i, name + std::to_wstring(i)));
}

std::string ContentOf(int count, const std::wstring& name) {
    tTevList list;
    Fill(list, count, name);
    return SaveListContent(list);
}

std::vector<std::wstring> Headlines(const ScriptedResponder& script) {
    std::vector<std::wstring> out;
    for (const Shown& s : script.shown) out.push_back(s.headline);
    return out;
}

class DataFiles : public testing::Test {
protected:
    void SetUp() override {
        RegisterTestTypes();
        InstallStoreHost();
        dir_ = fs::temp_directory_path() /
               (std::string("archiwin-datafiles-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        RemoveAll();
        fs::create_directories(dir_);
        file_ = dir_ / L"Faktury.dat";
        script_.now = At(2002, 6, 19, 22, 22, 17);
    }
    void TearDown() override { RemoveAll(); }
    void RemoveAll() {
        std::error_code ec;
        if (fs::exists(dir_, ec))
            for (const auto& e : fs::recursive_directory_iterator(dir_, ec))
                SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(dir_, ec);
    }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().wstring());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScriptedResponder script_;
    fs::path dir_;
    fs::path file_;
};

TEST_F(DataFiles, ALoadedFileIsSavedBackByteForByte) {
    // Three cards; one with an empty text, one with a character of the
    // Windows-1250 code page that has no Polish meaning.
    const std::string fixture = Hex("03 00 03 00 00 00") + Hex("29 23 01 00 00 00 03 00") + "abc" +
                                Hex("29 23 02 00 00 00 00 00") + Hex("29 23 ff ff ff 7f 02 00") + "\xb9\x81";
    Write(file_, fixture);
    tTevList list;
    ASSERT_TRUE(LoadListFromFile(list, file_.wstring(), false)) << LastDataError();
    EXPECT_EQ(list.LoadedCount(), 3);
    EXPECT_EQ(list.FilePath(), file_.wstring());
    EXPECT_EQ(list.FileSize(), static_cast<std::int32_t>(fixture.size()));
    EXPECT_NE(list.FileTime(), 0);

    ASSERT_TRUE(SaveListToFile(list, file_.wstring(), false)) << LastDataError();
    EXPECT_EQ(Bytes(file_), fixture);
    EXPECT_TRUE(script_.shown.empty());
    // Nothing is left beside it but the file.
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"Faktury.dat"});

    // With keepLoaded, a list that holds items is not read again.
    Write(file_, Hex("00 00 00 00 00 00"));
    EXPECT_TRUE(LoadListFromFile(list, file_.wstring(), true));
    EXPECT_EQ(list.LoadedCount(), 3);
    EXPECT_FALSE(LoadListFromFile(list, (dir_ / L"brak.dat").wstring(), false));
    EXPECT_EQ(LastDataError(), L"");
}

TEST_F(DataFiles, SmallCopiesTakeThePeriodName) {
    const std::wstring path = file_.wstring();
    Write(file_, ContentOf(2, L"stare "));
    tTevList list;
    ASSERT_TRUE(LoadListFromFile(list, path, false));
    list.Add(std::make_unique<TKartka>(3, L"nowa"));
    ASSERT_TRUE(SaveListToFile(list, path, true)) << LastDataError();
    EXPECT_EQ(Bytes(dir_ / L"Kopia 244 Faktury.dat"), ContentOf(2, L"stare "));

    // A second save of the same period overwrites the copy with what the
    // file held before it.
    const std::string second = Bytes(file_);
    list.Add(std::make_unique<TKartka>(4, L"jeszcze"));
    ASSERT_TRUE(SaveListToFile(list, path, true));
    EXPECT_EQ(Bytes(dir_ / L"Kopia 244 Faktury.dat"), second);

    // 5 January 2010: another period, the older copy stays.
    script_.now = At(2010, 1, 5, 8, 0, 0);
    ASSERT_TRUE(SaveListToFile(list, path, true));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Faktury.dat", L"Kopia 107 Faktury.dat", L"Kopia 244 Faktury.dat"}));

    // Without the flag no copy; switched off in the settings, none either.
    script_.now = At(2010, 1, 7);
    ASSERT_TRUE(SaveListToFile(list, path, false));
    SetSmallCopyRules([] { return false; }, nullptr);
    ASSERT_TRUE(SaveListToFile(list, path, true));
    EXPECT_FALSE(MakeSmallCopy(path));
    SetSmallCopyRules(nullptr, nullptr);
    EXPECT_EQ(Names().size(), 3u);
    EXPECT_FALSE(MakeSmallCopy((dir_ / L"brak.dat").wstring()));
    EXPECT_TRUE(script_.shown.empty());
}

TEST_F(DataFiles, ShrinkingBelowHalfAsksAndIsLogged) {
    const std::wstring log = ProgramDir() + L"exce.txt";
    const std::string oldLog = Bytes(log);
    const std::string content = ContentOf(4, L"abcd");
    const size_t half = content.size();
    struct Case {
        size_t oldSize;
        int answer;  // 0: no question expected
        bool written;
    };
    // Exactly half of the old file passes; one byte less asks.
    for (const Case c : {Case{2 * half, 0, true}, Case{2 * half + 2, 2, false}, Case{2 * half + 2, 1, true}}) {
        const std::string before(c.oldSize, 'x');
        Write(file_, before);
        tTevList list;
        Fill(list, 4, L"abcd");
        ScriptedResponder script;
        if (c.answer) script.Answer(c.answer);
        EXPECT_EQ(SaveListToFile(list, file_.wstring(), false), c.written) << c.oldSize;
        EXPECT_EQ(Bytes(file_), c.written ? content : before) << c.oldSize;
        if (!c.answer) {
            EXPECT_TRUE(script.shown.empty());
            continue;
        }
        ASSERT_GE(script.shown.size(), 1u);
        EXPECT_TRUE(script.shown[0].message.destructive);
        EXPECT_EQ(script.shown[0].headline,
                  L"Plik, który chcesz zapisać, zawiera dużo mniej danych, niż już istniejący plik o tej samej nazwie. "
                  L"Czy mimo wszystko zapisać ten plik?");
        EXPECT_EQ(script.shown[0].body, file_.wstring() + L": plik ma " + std::to_wstring(c.oldSize) +
                                            L", zapisywane dane " + std::to_wstring(half) + L" bajtów.");
        if (!c.written) {
            ASSERT_EQ(script.shown.size(), 2u);
            EXPECT_NE(script.shown[1].body.find(L"Nie zapisuję nowego pliku!"), std::wstring::npos);
            EXPECT_EQ(LastDataError(), L"Nie zapisuję nowego pliku!");
        }
    }
    // Each question went to the log (two lines each).
    const std::string added = Bytes(log).substr(oldLog.size());
    EXPECT_EQ(std::count(added.begin(), added.end(), '\n'), 4) << added;
    Write(log, oldLog);
    if (oldLog.empty()) DeleteFileW(log.c_str());
}

TEST_F(DataFiles, ADamagedFileIsCopiedAsideAndNeverSavedOver) {
    // Announces three cards but holds one and a half.
    const std::string damaged = Hex("03 00 03 00 00 00") + Hex("29 23 01 00 00 00 01 00") + "a" + Hex("29 23 02 00");
    Write(file_, damaged);
    tTevList list;
    list.Add(std::make_unique<TKartka>(7, L"w pamięci"));
    EXPECT_FALSE(LoadListFromFile(list, file_.wstring(), false));
    EXPECT_TRUE(list.LoadFailed());
    EXPECT_EQ(list.LoadedCount(), 1);  // nothing read was appended
    EXPECT_FALSE(LastDataError().empty());
    ASSERT_EQ(script_.shown.size(), 1u);
    EXPECT_EQ(script_.shown[0].headline, L"%Plik istnieje, ale nie mogę go otworzyć! Tworzę awaryjną kopię zapasową.");
    EXPECT_EQ(script_.shown[0].body, LastDataError());

    // The copy lies beside the file, whatever the current directory.
    std::wstring copy;
    for (const std::wstring& name : Names())
        if (name.rfind(L"_akz_020619_222217_", 0) == 0) copy = name;
    ASSERT_FALSE(copy.empty());
    EXPECT_TRUE(copy.size() > 12 && copy.substr(copy.size() - 15) == L"Faktury.dat.akz") << copy;
    EXPECT_EQ(Bytes(dir_ / copy), damaged);
    // A second copy within the same second takes another free name.
    EXPECT_TRUE(MakeEmergencyCopy(file_.wstring()));
    EXPECT_EQ(Names().size(), 3u);

    // The list does not go back over the file it could not read.
    EXPECT_FALSE(SaveListToFile(list, file_.wstring(), false));
    EXPECT_EQ(Bytes(file_), damaged);
    EXPECT_NE(LastDataError().find(L"nie udało się go wcześniej odczytać"), std::wstring::npos) << LastDataError();
}

TEST_F(DataFiles, AnotherProgramsWriteIsKeptUnlessTheUserConfirms) {
    const std::wstring path = file_.wstring();
    Write(file_, ContentOf(3, L"nasze "));
    tTevList list;
    ASSERT_TRUE(LoadListFromFile(list, path, false));
    list.Add(std::make_unique<TKartka>(4, L"nowa"));
    const std::string ours = SaveListContent(list);

    // Another process writes the file.
    const std::string theirs = ContentOf(3, L"cudze ");
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    fs::path source = dir_ / L"cudze.bin";
    Write(source, theirs);
    std::wstring command = L"cmd.exe /c copy /y \"" + source.wstring() + L"\" \"" + path + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &si, &pi));
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DeleteFileW(source.c_str());
    ASSERT_EQ(Bytes(file_), theirs);
    // Make the change visible even where the copy keeps the time.
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME later;
    GetSystemTimeAsFileTime(&later);
    SetFileTime(h, nullptr, nullptr, &later);
    CloseHandle(h);

    // "Anuluj" twice within one second: the file stays theirs, each time our
    // content goes to an emergency copy of its own.
    for (int round = 0; round < 2; ++round) {
        ScriptedResponder script;
        script.now = script_.now;
        script.Answer(2);
        EXPECT_FALSE(SaveListToFile(list, path, true));
        EXPECT_EQ(Bytes(file_), theirs);
        ASSERT_EQ(script.shown.size(), 2u);
        EXPECT_TRUE(script.shown[0].message.destructive);
        EXPECT_EQ(script.shown[0].headline,
                  L"Wykryłem próbę zapisu danych do pliku, do którego w międzyczasie zapisywała inna aplikacja. "
                  L"Czy zapisać plik mimo wszystko?");
        EXPECT_NE(script.shown[1].body.find(L"pozostał taki, jak zapisała go inna aplikacja"), std::wstring::npos);
        const std::wstring copy = path + (round == 0 ? L".akz.20020619.222217" : L".akz.20020619.222218");
        EXPECT_NE(script.shown[1].body.find(copy), std::wstring::npos) << script.shown[1].body;
        EXPECT_EQ(Bytes(copy), ours);
    }
    // Left alone, the question keeps their data too.
    {
        ScriptedResponder script;
        script.Unanswered();
        EXPECT_FALSE(SaveListToFile(list, path, false));
        EXPECT_EQ(Bytes(file_), theirs);
    }
    // "OK": written over, without a small copy of the other program's data
    // being lost (the copy holds theirs).
    ScriptedResponder script;
    script.now = script_.now;
    script.Answer(1);
    EXPECT_TRUE(SaveListToFile(list, path, true));
    EXPECT_EQ(Bytes(file_), ours);
    EXPECT_EQ(Bytes(dir_ / L"Kopia 244 Faktury.dat"), theirs);
    // Remembered afresh: the next save asks nothing.
    ScriptedResponder quiet;
    EXPECT_TRUE(SaveListToFile(list, path, false));
    EXPECT_TRUE(quiet.shown.empty());
}

TEST_F(DataFiles, AnEmergencyCopyOfALongListKeepsTheLongForm) {
    tTevList list;
    list.SetLongForm(true);
    for (int i = 0; i < 32768; ++i) list.Add(std::make_unique<TKartka>(i, L""));
    EXPECT_TRUE(SaveEmergencyCopy(list, file_.wstring()));
    const fs::path copy = file_.wstring() + L".akz.20020619.222217";
    EXPECT_EQ(Bytes(copy), SaveListContent(list));
    EXPECT_EQ(script_.shown.at(0).headline, L"*Zapisałem awaryjną kopię zapasową.\r\nnazwa pliku: " + copy.wstring());
}

TEST_F(DataFiles, AFirstSaveOfANewListDoesNotWarn) {
    Write(file_, ContentOf(2, L"x"));
    tTevList list;
    Fill(list, 2, L"y");
    EXPECT_TRUE(SaveListToFile(list, file_.wstring(), false));
    EXPECT_TRUE(script_.shown.empty());
    EXPECT_EQ(Bytes(file_), ContentOf(2, L"y"));
}

TEST_F(DataFiles, AttributesThatForbidWritingAreOfferedForRepair) {
    const std::wstring path = file_.wstring();
    Write(file_, ContentOf(2, L"stare"));
    tTevList list;
    Fill(list, 2, L"nowe!");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    {
        ScriptedResponder script;
        script.Answer(2);  // keep the attributes
        EXPECT_FALSE(SaveListToFile(list, path, false));
        EXPECT_EQ(Bytes(file_), ContentOf(2, L"stare"));
        EXPECT_EQ(Headlines(script).back(),
                  L"%Niestety, zapisanie danych nie było możliwe. Być może podałeś nieprawidłową ścieżkę.");
    }
    ScriptedResponder script;
    script.Answer(1).Answer(1);
    EXPECT_TRUE(SaveListToFile(list, path, false)) << LastDataError();
    EXPECT_EQ(Bytes(file_), ContentOf(2, L"nowe!"));
    EXPECT_FALSE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(DataFiles, AMissingDirectoryIsOfferedForCreation) {
    tTevList list;
    Fill(list, 1, L"a");
    // One missing level: created on yes.
    const fs::path inNew = dir_ / L"nowy" / L"Faktury.dat";
    script_.Answer(1).Answer(1);
    EXPECT_TRUE(SaveListToFile(list, inNew.wstring(), false));
    EXPECT_EQ(Bytes(inNew), ContentOf(1, L"a"));
    EXPECT_EQ(script_.shown[1].headline, L"*Ścieżka została utworzona pomyślnie.");

    // Two missing levels: the creation fails quietly and the program's
    // directory is offered next; declined, nothing is written.
    ScriptedResponder script;
    script.Answer(1).Answer(2);
    const fs::path deep = dir_ / L"a" / L"b" / L"Faktury.dat";
    EXPECT_FALSE(SaveListToFile(list, deep.wstring(), false));
    ASSERT_GE(script.shown.size(), 2u);
    EXPECT_NE(script.shown[1].body.find(L"Czy mam spróbować zapisać plik w bieżącym katalogu programu?"),
              std::wstring::npos);
    EXPECT_FALSE(fs::exists(dir_ / L"a"));
}

TEST_F(DataFiles, AFailedWriteLeavesTheOldFile) {
    const std::wstring path = file_.wstring();
    Write(file_, ContentOf(3, L"stare"));
    tTevList list;
    ASSERT_TRUE(LoadListFromFile(list, path, false));
    list.Add(std::make_unique<TKartka>(9, L"nowa"));
    // The place of the new content is taken by a folder: the write fails.
    fs::create_directory(PendingSaveName(path, GetCurrentProcessId()));
    EXPECT_FALSE(SaveListToFile(list, path, false));
    EXPECT_EQ(Bytes(file_), ContentOf(3, L"stare"));
    EXPECT_FALSE(LastDataError().empty());
    fs::remove(PendingSaveName(path, GetCurrentProcessId()));
    // The next save goes through and asks nothing: the file is as read.
    ScriptedResponder quiet;
    EXPECT_TRUE(SaveListToFile(list, path, false)) << LastDataError();
    EXPECT_TRUE(quiet.shown.empty());
}

// A process that saves the file over and over, each time with the other of
// two contents; started by the test below, which ends it at random points.
constexpr int kChildCards = 20000;

TEST(DataFilesChild, DISABLED_SavesUntilEnded) {
    RegisterTestTypes();
    InstallStoreHost();
    ScriptedResponder script;
    wchar_t target[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"ARCHIWIN_SAVE_TARGET", target, MAX_PATH), 0u);
    Write(std::wstring(target) + L".start", "");
    for (int round = 0;; ++round) {
        tTevList list;
        Fill(list, kChildCards, round % 2 ? L"BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB " : L"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA ");
        SaveListToFile(list, target, false);
    }
}

TEST_F(DataFiles, ASaveKilledAtAnyPointLeavesOneWholeFile) {
    const std::wstring path = file_.wstring();
    const std::string a = ContentOf(kChildCards, L"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA ");
    const std::string b = ContentOf(kChildCards, L"BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB ");
    Write(file_, a);
    std::wstring command = L"\"" + ProgramFile() +
                           L"\" --gtest_also_run_disabled_tests --gtest_filter=DataFilesChild.DISABLED_SavesUntilEnded";
    SetEnvironmentVariableW(L"ARCHIWIN_SAVE_TARGET", path.c_str());
    std::mt19937 random(20021);
    int sawA = 0, sawB = 0, caughtWriting = 0;
    for (int kill = 0; kill < 12; ++kill) {
        DeleteFileW((path + L".start").c_str());
        STARTUPINFOW si{sizeof si};
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                   nullptr, &si, &pi));
        for (int wait = 0; wait < 600 && !FileExists(path + L".start"); ++wait) Sleep(50);
        Sleep(std::uniform_int_distribution<int>(0, 700)(random));
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);

        const std::string now = Bytes(file_);
        ASSERT_TRUE(now == a || now == b) << "kill " << kill << ": " << now.size() << " bytes, neither whole content";
        (now == a ? sawA : sawB)++;
        for (const std::wstring& name : Names())
            if (name.size() > 6 && name.substr(name.size() - 6) == L".zapis") {
                ++caughtWriting;
                DeleteFileW((dir_ / name).c_str());
            }
    }
    SetEnvironmentVariableW(L"ARCHIWIN_SAVE_TARGET", nullptr);
    // The saves did replace the file, and some kills came mid-write.
    EXPECT_GT(sawB, 0);
    std::printf("kills: %d with the first content, %d with the second, %d while the new content was written\n", sawA,
                sawB, caughtWriting);
}

}  // namespace
