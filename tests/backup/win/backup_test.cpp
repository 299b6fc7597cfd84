// Folder backup and restore from the main window, end to end: the real
// windows, the modal seam answering, the platform's cabinet services
// reading what was written, files changed on disk and restored.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <memory>
#include <set>

#include "app/win/startup.h"
#include "app/win/temain.h"
#include "app/win/windows_responder.h"
#include "backup/entrypaths.h"
#include "backup/win/folderbackup.h"
#include "backup/win/infofile.h"
#include "backup/win/openbackup.h"
#include "backup_fixture.h"
#include "cabinet/cabfile.h"
#include "support/scripted_responder.h"
#include "support/win/capture.h"
#include "support/win/keys.h"
#include "util/cp1250.h"
#include "util/ini.h"
#include "util/paths.h"
#include "util/textcase.h"
#include "util/textmarkup.h"
#include "util/win/files.h"
#include "util/win/identity.h"
#include "ui/win/form.h"
#include "ui/win/timer.h"

namespace {

const std::wstring kComment = L"Przed zamknięciem roku \"grudzień\"";

// "Wersja" as read back (the tests' executable carries no product name).
std::wstring VersionText() {
    std::wstring text = OwnIdentity().productName + L" " + OwnIdentity().version;
    while (!text.empty() && text.front() == L' ') text.erase(0, 1);
    while (!text.empty() && text.back() == L' ') text.pop_back();
    return text;
}

class Backup : public ::testing::Test {
protected:
    void SetUp() override {
        InstallExceptionHandler();
        DeleteFileW(InfoFilePath().c_str());
    }
    void TearDown() override { DeleteFileW(InfoFilePath().c_str()); }

    // Answers a whole backup from the main window: folder, archive,
    // confirmation, comment, the compression questions, the report.
    void ScriptBackup(ScriptedResponder& script, const std::wstring& archive, std::vector<int> compression,
                      const std::wstring& folder = L"") {
        script.Answer((folder.empty() ? sample.folder : folder) + L"\\").Answer(archive).Answer(1).Answer(kComment);
        for (int answer : compression) script.Answer(answer);
        script.Answer(1);
    }

    std::wstring MakeBackup(const std::wstring& name, std::vector<int> compression = {2, 1}) {
        ScriptedResponder script;
        const std::wstring archive = sample.work + name;
        ScriptBackup(script, archive, compression);
        main.tevClickableLabel3->Click();
        EXPECT_TRUE(FileExists(archive));
        return archive;
    }

    static std::vector<std::wstring> Headlines(const ScriptedResponder& script) {
        std::vector<std::wstring> out;
        for (const Shown& s : script.shown) out.push_back(s.headline);
        return out;
    }

    SampleFolder sample;
    TeMain main;
};

// The list's items by key: checked or not, and the comparison line.
struct ListedItem {
    bool checked;
    std::wstring markup;
};
std::map<std::wstring, ListedItem> Listed(TeZawartoscArchiwum& d) {
    std::map<std::wstring, ListedItem> items;
    for (int i = 0; i < d.lb->Count(); ++i) items[HiddenData(d.lb->Item(i))] = {d.lb->Checked(i), d.lb->Item(i)};
    return items;
}
std::vector<std::wstring> CheckedKeys(TeZawartoscArchiwum& d) {
    std::vector<std::wstring> keys;
    for (auto& [key, item] : Listed(d))
        if (item.checked) keys.push_back(key);
    return keys;
}

TEST_F(Backup, EachCompressionKindWritesWhatTheSystemReadsBack) {
    struct Kind {
        const wchar_t* name;
        std::vector<int> answers;
        CabMethod method;
        std::vector<std::wstring> questions;
    } kinds[] = {
        {L"lzx.cab", {1}, CabMethod::Lzx, {L"Mocna kompresja?"}},
        {L"mszip.cab", {2, 1}, CabMethod::Mszip, {L"Mocna kompresja?", L"Kompresować w ogóle?"}},
        {L"bez.cab", {2, 2}, CabMethod::None, {L"Mocna kompresja?", L"Kompresować w ogóle?"}},
    };
    const auto original = sample.Contents();
    ASSERT_EQ(original.size(), 6u);
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        DeleteFileW(InfoFilePath().c_str());
        ScriptedResponder script;
        const std::wstring archive = sample.work + kind.name;
        ScriptBackup(script, archive, kind.answers);
        main.tevClickableLabel3->Click();

        // What the user was shown, in order.
        ASSERT_EQ(script.shown.size(), 5u + kind.questions.size());
        EXPECT_EQ(script.shown[0].kind, L"folder");
        EXPECT_EQ(script.shown[0].caption, L"Wybierz folder");
        EXPECT_EQ(script.shown[0].headline, L"C:\\");
        EXPECT_EQ(script.shown[1].kind, L"save");
        EXPECT_EQ(script.shown[1].caption, L"Kopia zapasowa");
        EXPECT_EQ(script.shown[1].body, DefaultArchiveName(ProgramDir(), sample.folder, script.now));
        EXPECT_EQ(script.shown[1].items, std::vector<std::wstring>{L"Kopie zapasowe|*.cab"});
        EXPECT_EQ(script.shown[2].headline, L"Kopia zapasowa folderu " + sample.folder);
        EXPECT_EQ(script.shown[2].body,
                  L"do spakowania w sumie 6 plików.\r\nnazwa archiwum: " + archive + L"\r\nKontynuować?");
        EXPECT_EQ(script.shown[3].kind, L"input");
        EXPECT_EQ(script.shown[3].caption, L"Komentarz do archiwum");
        EXPECT_EQ(script.shown[3].headline, L"Wpisz komentarz");
        EXPECT_EQ(script.shown[3].body, L"");
        for (size_t i = 0; i < kind.questions.size(); ++i) EXPECT_EQ(script.shown[4 + i].headline, kind.questions[i]);
        const Shown& report = script.shown.back();
        EXPECT_EQ(report.headline, L"Wykonałem kopię zapasową.");
        EXPECT_EQ(report.body.find(FileDescription(archive)), 0u) << report.body;
        EXPECT_NE(report.body.find(L"\r\nKompresja z "), std::wstring::npos) << report.body;
        if (kind.method == CabMethod::Lzx) {
            EXPECT_TRUE(CaptureMessage(report.message, L"raport_kopii.png"));
        }

        // The platform's reader finds every file, the information file first.
        const std::wstring out = sample.work + L"system_" + kind.name;
        ASSERT_TRUE(ExtractWithSystem(archive, out));
        auto extracted = FolderContents(out);
        ASSERT_EQ(extracted.count(L"!!kopia.tev"), 1u);
        const std::wstring info = out + L"\\!!kopia.tev";
        EXPECT_EQ(IniReadString(info, kind.name, L"Dir", L""), sample.folder);
        EXPECT_EQ(IniReadString(info, kind.name, L"Wersja", L""),
                  VersionText());
        EXPECT_EQ(IniReadString(info, kind.name, L"Komentarz", L""), kComment);
        EXPECT_NE(ReadBytes(info).find("Komentarz=Przed zamkni\xEA" "ciem roku ~grudzie\xF1~"), std::string::npos)
            << "a double quote is stored as ~, the text in Windows-1250";
        extracted.erase(L"!!kopia.tev");
        EXPECT_EQ(extracted, original);

        TCABFile cab;
        cab.CABFile = archive;
        cab.ReadContents();
        ASSERT_EQ(cab.CABFileContents.Count(), 7);
        EXPECT_EQ(cab.CABFileContents.Items(0).Name, L"!!kopia.tev");
        EXPECT_TRUE(cab.CABFileContents.Contains(L"Księgi\\Rok 2026\\Ćwiczenia\\ósemka.txt"));
        EXPECT_EQ(cab.ArchiveCompression().method, kind.method);
    }
}

TEST_F(Backup, TwoBackupsInOneRunThenTheInformationFileIsSetAside) {
    const std::wstring first = MakeBackup(L"pierwsza.cab");
    const std::wstring second = MakeBackup(L"druga.cab", {1});
    auto sections = [&](const std::wstring& archive) {
        const std::wstring out = sample.work + L"info_" + FileNamePart(archive);
        EXPECT_TRUE(ExtractWithSystem(archive, out));
        const std::wstring info = out + L"\\!!kopia.tev";
        return std::make_pair(IniReadString(info, L"pierwsza.cab", L"Dir", L""),
                              IniReadString(info, L"druga.cab", L"Dir", L""));
    };
    EXPECT_EQ(sections(first), std::make_pair(sample.folder, std::wstring()));
    EXPECT_EQ(sections(second), std::make_pair(sample.folder, sample.folder));

    // At the end of the run the file goes aside under the time; a second
    // set-aside in the same minute finds the name taken and leaves the file.
    ScriptedResponder clock;
    const std::wstring log = InfoFilePath() + L"_261210_1200_.log";
    DeleteFileW(log.c_str());
    SetAsideInfoFile();
    EXPECT_FALSE(FileExists(InfoFilePath()));
    EXPECT_EQ(IniReadString(log, L"druga.cab", L"Dir", L""), sample.folder);
    WriteBytes(InfoFilePath(), "[x]\r\nDir=C:\\\r\n");
    SetAsideInfoFile();
    EXPECT_TRUE(FileExists(InfoFilePath()));
    EXPECT_EQ(IniReadString(log, L"druga.cab", L"Dir", L""), sample.folder);
    DeleteFileW(log.c_str());
}

TEST_F(Backup, StopsAndFailuresLeaveNothingHalfDone) {
    {  // Folder browser cancelled: nothing else happens.
        ScriptedResponder script;
        script.Cancel();
        main.tevClickableLabel3->Click();
        EXPECT_EQ(script.shown.size(), 1u);
    }
    {  // Save dialog cancelled.
        ScriptedResponder script;
        script.Answer(sample.folder).Cancel();
        try {
            main.tevClickableLabel3->Click();
            ADD_FAILURE() << "no failure";
        } catch (const Failure& f) {
            EXPECT_EQ(f.message(), L"%Kopia zapasowa: Nie wybrano lokalizacji.");
        }
    }
    {  // A folder that does not exist.
        ScriptedResponder script;
        const std::wstring missing = sample.root + L"nie ma";
        try {
            PackFolder(missing + L"\\", sample.work + L"x.cab");
            ADD_FAILURE() << "no failure";
        } catch (const Failure& f) {
            EXPECT_EQ(f.message(), L"%Folder nie istnieje!\r\n" + missing);
        }
    }
    {  // Confirmation declined: no archive, no information file.
        ScriptedResponder script;
        script.Answer(2);
        EXPECT_FALSE(PackFolder(sample.folder, sample.work + L"nie.cab"));
        EXPECT_FALSE(FileExists(sample.work + L"nie.cab"));
        EXPECT_FALSE(FileExists(InfoFilePath()));
    }
    {  // An empty folder gives an archive of the information file alone.
        ScriptedResponder script;
        const std::wstring empty = sample.root + L"pusty";
        CreateDirectoryW(empty.c_str(), nullptr);
        EXPECT_TRUE(PackFolder(empty, sample.work + L"pusty.cab"));
        EXPECT_EQ(script.shown[0].body.substr(0, 32), L"do spakowania w sumie 0 plików.\r");
        TCABFile cab;
        cab.CABFile = sample.work + L"pusty.cab";
        cab.ReadContents();
        ASSERT_EQ(cab.CABFileContents.Count(), 1);
        EXPECT_EQ(cab.CABFileContents.Items(0).Name, L"!!kopia.tev");
    }
}

TEST_F(Backup, TextOutsideTheCodePageIsBackedUpAndRestoredExactly) {
    // A folder, a comment and an archive name the information file's code
    // page cannot hold.
    const std::wstring folder = sample.root + L"Москва Año";
    const std::wstring comment = L"Archiwum \"Ωmega\" – ñandú, Объём";
    CreateDirectoryW(folder.c_str(), nullptr);
    WriteBytes(folder + L"\\list.txt", "treść");
    const std::wstring archive = sample.work + L"kopia Ωmega.cab";
    {
        ScriptedResponder script;
        script.Answer(1).Answer(comment).Answer(2).Answer(1).Answer(1);
        ASSERT_TRUE(PackFolder(folder + L"\\", archive));
        EXPECT_EQ(script.shown.back().headline, L"Wykonałem kopię zapasową.");
    }
    // Readers that know only the code page find the closest text.
    EXPECT_EQ(IniReadString(InfoFilePath(), L"kopia ?mega.cab", L"Dir", L""), sample.root + L"Moskwa Ano");

    DeleteFileW((folder + L"\\list.txt").c_str());
    ScriptedResponder script;
    script.Answer(archive);
    WhenContentsShown([&](TeZawartoscArchiwum& d) {
        EXPECT_EQ(d.lbDest->Text(), folder);
        EXPECT_EQ(d.lbKomentarz->Text(), comment);
        EXPECT_EQ(CheckedKeys(d), std::vector<std::wstring>{L"list.txt"});
        script.Answer(1).Answer(1);
        Press(d.tevColorButton2);
    });
    main.tevClickableLabel2->Click();
    EXPECT_EQ(ReadBytes(folder + L"\\list.txt"), "treść");
}

// A failure's text as the program's dialog shows it: the first line the
// headline, the rest the body.
MessageRequest AsShown(const std::wstring& text) {
    MessageRequest r;
    r.caption = L"Archiwin";
    const size_t end = text.find(L"\r\n");
    r.headline = text.substr(0, end);
    if (end != std::wstring::npos) r.body = text.substr(end + 2);
    return r;
}

// Where the archive cannot be written, said before any question.
TEST_F(Backup, AnArchivePlaceThatCannotBeWrittenIsNamedBeforeAnyQuestion) {
    const std::wstring readOnly = sample.work + L"tylko do odczytu.cab";
    WriteBytes(readOnly, "stara kopia");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    struct Case {
        std::wstring archive;
        std::wstring problem;
    } cases[] = {
        {sample.work + L"brak folderu\\x.cab", L"Folder „" + sample.work + L"brak folderu\\” nie istnieje."},
        {readOnly, L"Plik o tej nazwie już istnieje i jest tylko do odczytu, więc nie mogę go zastąpić."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        ScriptedResponder script;
        try {
            PackFolder(sample.folder, c.archive);
            ADD_FAILURE() << "no failure";
        } catch (const Failure& f) {
            EXPECT_EQ(f.message(), L"%Nie mogę zapisać archiwum kopii zapasowej.\r\n" + c.archive + L"\r\n" + c.problem +
                                       L"\r\nWybierz inny folder na archiwum (na przykład Dokumenty albo dysk "
                                       L"zewnętrzny) i zrób kopię jeszcze raz.");
            if (c.archive == readOnly) EXPECT_TRUE(CaptureMessage(AsShown(f.message()), L"kopia_tylko_do_odczytu.png"));
        }
        EXPECT_TRUE(script.shown.empty());
        EXPECT_FALSE(FileExists(InfoFilePath()));
    }
    EXPECT_EQ(ReadBytes(readOnly), "stara kopia");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A file another program holds without sharing: named with the reason, then
// skipped or the backup given up, never an archive described as made
// without saying so.
TEST_F(Backup, ALockedSourceFileIsNamedAndCanBeSkipped) {
    const std::wstring locked = sample.Path(L"Księgi\\styczeń.txt");
    HANDLE h = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    for (const bool skip : {false, true}) {
        SCOPED_TRACE(skip ? "skipped" : "given up");
        DeleteFileW(InfoFilePath().c_str());
        const std::wstring archive = sample.work + (skip ? L"bez zablokowanego.cab" : L"przerwana.cab");
        ShootingResponder script;
        if (skip) script.Shoot(L"list", L"zablokowany_plik.png");
        script.Answer(1).Answer(L"").Answer(2).Answer(1).Answer(skip ? 1 : 2).Answer(1);
        try {
            EXPECT_TRUE(PackFolder(sample.folder, archive));
            EXPECT_TRUE(skip);
        } catch (const Failure& f) {
            EXPECT_FALSE(skip);
            EXPECT_EQ(f.message(), L"%Kopia zapasowa przerwana.\r\nArchiwum nie zostało utworzone. Zamknij programy, "
                                   L"które używają tych plików, i zrób kopię jeszcze raz.");
        }
        auto list = std::find_if(script.shown.begin(), script.shown.end(),
                                 [](const Shown& s) { return s.kind == L"list"; });
        ASSERT_NE(list, script.shown.end());
        EXPECT_EQ(list->caption, L"Kopia zapasowa");
        EXPECT_EQ(list->headline.substr(0, 46), L"<b>Nie mogę odczytać 1 plików folderu.</b><br>");
        EXPECT_EQ(list->items, std::vector<std::wstring>{
                                   locked + L" – plik jest otwarty w innym programie, który nie pozwala go czytać"});
        EXPECT_EQ(FileExists(archive), skip);
        EXPECT_EQ(script.pictures, std::vector<bool>(skip ? 1 : 0, true));
        if (skip) {
            EXPECT_EQ(script.shown.back().headline, L"Wykonałem kopię zapasową.");
            TCABFile cab;
            cab.CABFile = archive;
            cab.ReadContents();
            EXPECT_EQ(cab.CABFileContents.Count(), 6);
            EXPECT_FALSE(cab.CABFileContents.Contains(L"Księgi\\styczeń.txt"));
        }
    }
    CloseHandle(h);
}

// Names the archive cannot hold are found before the first question.
TEST_F(Backup, NamesTooLongForTheArchiveAreFoundFirstAndSkippedOrTheBackupGivenUp) {
    // 128 Cyrillic letters and a backslash: short enough for the disk, 261
    // bytes as stored.
    const std::wstring sub = std::wstring(64, L'Ж');
    const std::wstring name = sub + L"\\" + std::wstring(64, L'Ж') + L".txt";
    CreateDirectoryW(sample.Path(sub).c_str(), nullptr);
    WriteBytes(sample.Path(name), "za długa nazwa");
    ASSERT_TRUE(FileExists(sample.Path(name)));
    for (const bool skip : {false, true}) {
        SCOPED_TRACE(skip ? "skipped" : "given up");
        DeleteFileW(InfoFilePath().c_str());
        const std::wstring archive = sample.work + L"dlugie nazwy.cab";
        ShootingResponder script;
        if (skip) script.Shoot(L"list", L"za_dlugie_nazwy.png");
        script.Answer(skip ? 1 : 2).Answer(1).Answer(L"").Answer(2).Answer(1).Answer(1);
        EXPECT_EQ(PackFolder(sample.folder, archive), skip);
        ASSERT_FALSE(script.shown.empty());
        EXPECT_EQ(script.shown[0].kind, L"list");
        EXPECT_EQ(script.shown[0].items, std::vector<std::wstring>{sample.Path(name)});
        EXPECT_NE(script.shown[0].headline.find(L"Nazwy 1 plików są za długie"), std::wstring::npos);
        EXPECT_EQ(script.pictures, std::vector<bool>(skip ? 1 : 0, true));
        EXPECT_EQ(FileExists(archive), skip);
        if (skip) {
            const std::wstring& body = script.shown[1].body;
            EXPECT_EQ(body.substr(0, body.find(L'\r')), L"do spakowania w sumie 6 plików. (pominięte: 1 o za długich nazwach)");
            EXPECT_EQ(script.shown.back().headline, L"Wykonałem kopię zapasową.");
        } else {
            EXPECT_EQ(script.shown.size(), 1u);
        }
    }
}

TEST(InfoFile, LivesInAPerUserFolderWhenTheProgramDirectoryCannotBeWritten) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(InfoFileFolderFor(temp), temp);
    const std::wstring fallback = InfoFileFolderFor(L"C:\\Program Files\\Nie ma takiego\\");
    EXPECT_TRUE(EndsWithNoCase(L"\\TEV\\Archiwin\\", fallback)) << fallback;
    EXPECT_TRUE(DirectoryExists(fallback));
    EXPECT_EQ(InfoFilePath(), ProgramDir() + L"!!kopia.tev");  // the tests' own folder can be written
}

TEST_F(Backup, RestoreComparesChecksByModeAndReplacesAfterTheQuestion) {
    const auto original = sample.Contents();
    const std::wstring archive = MakeBackup(L"kopia.cab");

    // Unchanged folder: every file the same, nothing checked.
    {
        ScriptedResponder script;
        script.Answer(archive);
        bool ran = false;
        WhenContentsShown([&](TeZawartoscArchiwum& d) {
            ran = true;
            EXPECT_EQ(d.Text(), L"Zawartosc archiwum");
            EXPECT_EQ(d.eNazwaArchiwum->Text(), archive);
            EXPECT_EQ(d.lbIlosc->Text(), L"7");
            EXPECT_EQ(d.lbKompresja->Text().substr(0, 6), L"MSZIP ");
            EXPECT_EQ(d.lbDest->Text(), sample.folder);
            EXPECT_EQ(d.lbKomentarz->Text(), kComment);
            EXPECT_EQ(d.lbAplikacja->Text(), VersionText());
            auto items = Listed(d);
            ASSERT_EQ(items.size(), 6u);
            for (auto& [key, item] : items) {
                EXPECT_FALSE(item.checked) << key;
                EXPECT_NE(item.markup.find(L"<br> plik już istnieje,  ta sama data,  rozmiar ten sam."),
                          std::wstring::npos)
                    << item.markup;
            }
        });
        main.tevClickableLabel2->Click();
        EXPECT_TRUE(ran);
        EXPECT_EQ(script.shown[0].kind, L"open");
        EXPECT_EQ(script.shown[0].caption, L"Kopia zapasowa");
        EXPECT_EQ(script.shown[0].items, std::vector<std::wstring>{L"Kopie zapasowe|*.cab"});
    }

    // Changes on disk: a file edited later, one older on disk, one deleted,
    // a nested subfolder deleted.
    const std::wstring edited = L"zażółć gęślą jaźń.txt", older = L"Księgi\\styczeń.txt";
    WriteBytes(sample.Path(edited), "nowa treść");
    ShiftWriteTime(sample.Path(edited), 1);
    ShiftWriteTime(sample.Path(older), -1);
    DeleteFileW(sample.Path(L"pusty.txt").c_str());
    RemoveTree(sample.Path(L"Księgi\\Rok 2026"));

    const std::wstring olderOnDisk = FileDescription(sample.Path(older));
    {
        ScriptedResponder script;
        script.Answer(archive);
        WhenContentsShown([&](TeZawartoscArchiwum& d) {
            auto items = Listed(d);
            EXPECT_NE(items[edited].markup.find(L"plik w archiwum jest starszy,  ma <b>inny rozmiar</b>"),
                      std::wstring::npos);
            EXPECT_NE(items[older].markup.find(L"plik w archiwum jest <b>nowszy</b>,  rozmiar ten sam."),
                      std::wstring::npos);
            EXPECT_NE(items[L"pusty.txt"].markup.find(L"<br> <b>nowy plik</b>"), std::wstring::npos);
            const std::vector<std::wstring> byDefault = {L"Księgi\\Rok 2026\\grudzień.bin",
                                                         L"Księgi\\Rok 2026\\Ćwiczenia\\ósemka.txt",
                                                         L"Księgi\\styczeń.txt", L"pusty.txt"};
            EXPECT_EQ(CheckedKeys(d), byDefault);
            Press(d.bZastap);
            EXPECT_EQ(CheckedKeys(d), std::vector<std::wstring>{older});
            Press(d.bWypakuj);
            EXPECT_EQ(CheckedKeys(d).size(), 6u);
            Press(d.bWyczysc);
            EXPECT_TRUE(CheckedKeys(d).empty());
            Press(d.bZastapDodaj);
            EXPECT_EQ(CheckedKeys(d), byDefault);
            EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(L"zawartosc_archiwum.png")));

            script.Answer(1).Answer(1).Answer(1);  // extract 4, replace styczeń.txt, the count
            Press(d.tevColorButton2);
        });
        main.tevClickableLabel2->Click();
        auto headlines = Headlines(script);
        ASSERT_GE(headlines.size(), 4u);
        EXPECT_EQ(headlines[1], L"Czy wypakować 4 pliki?");
        EXPECT_EQ(headlines[2], L"Czy na pewno zastąpić plik " + sample.Path(older) + L"?");
        EXPECT_EQ(script.shown[2].body, L"Plik na dysku: \r\n" + olderOnDisk);
        EXPECT_EQ(headlines[3], L"Ilość wypakowanych plików: 4");
        EXPECT_EQ(headlines.size(), 4u);
        auto now = sample.Contents();
        EXPECT_EQ(now[edited], "nowa treść");  // newer on disk: left alone
        now[edited] = original.at(edited);
        EXPECT_EQ(now, original);  // the rest restored, nested folders recreated
    }

    // Everything, refusing the replacement: the file stays, yet counts.
    {
        ScriptedResponder script;
        script.Answer(archive);
        WhenContentsShown([&](TeZawartoscArchiwum& d) {
            Press(d.bWypakuj);
            script.Answer(1);
            for (int i = 0; i < 6; ++i) script.Answer(2);
            script.Answer(1);
            Press(d.tevColorButton2);
        });
        main.tevClickableLabel2->Click();
        EXPECT_EQ(script.shown.back().headline, L"Ilość wypakowanych plików: 6");
        EXPECT_EQ(sample.Contents()[edited], "nowa treść");
    }

    // Everything without questions.
    {
        ScriptedResponder script;
        script.Answer(archive);
        WhenContentsShown([&](TeZawartoscArchiwum& d) {
            Press(d.bWypakuj);
            d.cbNiePytajOZastapienie->SetChecked(true);
            script.Answer(1).Answer(1);
            Press(d.tevColorButton2);
        });
        main.tevClickableLabel2->Click();
        auto headlines = Headlines(script);
        headlines.erase(headlines.begin());  // the open dialog
        EXPECT_EQ(headlines, (std::vector<std::wstring>{L"Czy wypakować 6 plików?", L"Ilość wypakowanych plików: 6"}));
        EXPECT_EQ(sample.Contents(), original);
    }
}

// The program's own message dialog for every message, left alone by one of
// the ways nobody answers it, or answered "Tak" where the test says so; the
// other interactions (the open dialog) from the script.
class LeftAlone : public ScriptedResponder {
public:
    enum Way { Yes, Countdown, Activation };
    std::deque<Way> ways;  // one per message; Yes once they run out

    int ShowMessage(const MessageRequest& r) override {
        shown.push_back({L"message", r.caption, r.headline, r.body, r, {}});
        const Way way = ways.empty() ? Yes : ways.front();
        if (!ways.empty()) ways.pop_front();
        if (way == Yes) return 1;
        MessageRequest left = r;
        left.timeout = way == Countdown ? 1 : 20;
        // Another window of the program becomes active while it waits.
        std::unique_ptr<Form> other;
        Timer activate(300, way == Activation);
        activate.OnTimer = [&] {
            activate.SetEnabled(false);
            other = std::make_unique<Form>(BorderStyle::None);
            other->SetBounds(10, 10, 100, 50);
            other->Show();
        };
        return WindowsResponder().ShowMessage(left);
    }
};

TEST_F(Backup, RestoreQuestionsLeftUnansweredKeepTheFilesOnDisk) {
    const auto original = sample.Contents();
    const std::wstring archive = MakeBackup(L"kopia.cab");
    const std::wstring changed = L"Księgi\\styczeń.txt", deleted = L"pusty.txt";
    using W = LeftAlone::Way;
    struct Case {
        const wchar_t* what;
        std::deque<W> ways;  // "Czy wypakować…?", then "Czy na pewno zastąpić…?"
        bool restored;       // the deleted file comes back
    } cases[] = {
        {L"extraction question, countdown", {W::Countdown}, false},
        {L"extraction question, another window", {W::Activation}, false},
        {L"replacement question, countdown", {W::Yes, W::Countdown}, true},
        {L"replacement question, another window", {W::Yes, W::Activation}, true},
    };
    const std::wstring lost = DirectoryPart(ProgramFile()) + L"!Stracone komunikaty.log";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A file changed on disk whose date is older than the archive's copy
        // (checked, so its replacement is asked), and one deleted.
        WriteBytes(sample.Path(changed), "zmieniony na dysku");
        ShiftWriteTime(sample.Path(changed), -1);
        DeleteFileW(sample.Path(deleted).c_str());

        LeftAlone windows;
        windows.Answer(archive);
        windows.ways = c.ways;
        WhenContentsShown([&](TeZawartoscArchiwum& d) {
            EXPECT_EQ(CheckedKeys(d), (std::vector<std::wstring>{changed, deleted}));
            Press(d.tevColorButton2);
        });
        main.tevClickableLabel2->Click();

        ASSERT_GE(windows.shown.size(), 2u);
        EXPECT_EQ(windows.shown[1].headline, L"Czy wypakować 2 pliki?");
        EXPECT_TRUE(windows.shown[1].message.destructive);
        if (c.restored) {
            ASSERT_GE(windows.shown.size(), 3u);
            EXPECT_EQ(windows.shown[2].headline, L"Czy na pewno zastąpić plik " + sample.Path(changed) + L"?");
            EXPECT_TRUE(windows.shown[2].message.destructive);
        }
        EXPECT_EQ(ReadBytes(sample.Path(changed)), "zmieniony na dysku");
        EXPECT_EQ(FileExists(sample.Path(deleted)), c.restored);
        if (c.restored) EXPECT_EQ(ReadBytes(sample.Path(deleted)), original.at(deleted));
        // Only a countdown that ran out leaves its line in the lost-message log.
        EXPECT_EQ(FileExists(lost), c.ways.back() == W::Countdown);
        DeleteFileW(lost.c_str());
    }
}

// The header's rows hold their whole letters at the window's DPI (the
// descenders of "g" and "ę" included), and a value too long for its row
// shows whole as its hint, a short one has none.
TEST_F(Backup, RestoreHeaderRowsFitTheFontAndLongValuesShowWholeAsHints) {
    const std::wstring comment = L"Kopia zrobiona przed zamknięciem roku, gdy księgowość wysłała już "
                                 L"wszystkie deklaracje i zestawienia do urzędu skarbowego i do ZUS-u";
    const std::wstring archive = sample.work + L"kopia z długim komentarzem.cab";
    {
        ScriptedResponder script;
        script.Answer(sample.folder + L"\\").Answer(archive).Answer(1).Answer(comment).Answer(2).Answer(1).Answer(1);
        main.tevClickableLabel3->Click();
    }
    ScriptedResponder script;
    script.Answer(archive);
    bool ran = false;
    WhenContentsShown([&](TeZawartoscArchiwum& d) {
        ran = true;
        Font bold = d.GetFont();
        bold.bold = true;
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, FontHandle(bold, d.Dpi()));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        const std::vector<Label*> values = {d.eNazwaArchiwum, d.lbIlosc, d.lbRozmiarArchiwum, d.lbRozmiarPlikow,
                                            d.lbKompresja, d.lbDest, d.lbKomentarz, d.lbAplikacja};
        for (size_t i = 0; i < values.size(); ++i) {
            const RECT r = values[i]->PixelBounds();
            EXPECT_GE(r.bottom - r.top, metrics.tmHeight) << "row " << i;
            if (i > 0) {
                EXPECT_GE(r.top, values[i - 1]->PixelBounds().bottom) << "row " << i << " overlaps";
            }
        }
        EXPECT_LE(values.back()->Bounds().bottom, d.pnNaglowek->Height());
        EXPECT_EQ(d.lbKomentarz->Text(), comment);
        EXPECT_EQ(d.lbKomentarz->Hint(), comment);
        EXPECT_EQ(d.lbIlosc->Hint(), L"");
        EXPECT_TRUE(CaptureWindowPng(d.Handle(), ShotPath(L"zawartosc_archiwum_naglowek.png")));
    });
    main.tevClickableLabel2->Click();
    EXPECT_TRUE(ran);
    DeleteFileW(archive.c_str());
}

// The contents dialog without a mouse, every key typed through the system's
// input: it opens on the list; the buttons' letters choose the modes, Space
// checks the file the arrows reached, Tab leaves the list, Alt+B restores
// what is checked. (Shift+Tab from the buttons' panel does not yet come back
// to the list.)
TEST_F(Backup, RestoreDialogByKeyboardAlone) {
    const std::wstring archive = MakeBackup(L"kopia.cab");
    DeleteFileW(sample.Path(L"pusty.txt").c_str());
    ScriptedResponder script;
    script.Answer(archive).Answer(2);  // "Czy wypakować…?": Nie
    std::vector<int> checked;
    HWND list = nullptr, opened = nullptr, tabbed = nullptr;
    bool ticked = false;
    WhenContentsShown([&](TeZawartoscArchiwum& d) {
        list = d.lb->Handle();
        opened = GetFocus();
        auto count = [&] { checked.push_back(d.lb->CheckedCount()); };
        KeySteps steps;
        steps.Keys({VK_MENU, 'W'}).Then(count);  // every file
        steps.Keys({VK_MENU, 'C'}).Then(count);  // none
        steps.Keys({VK_MENU, 'N'}).Then(count);  // the deleted one
        steps.Keys({VK_MENU, 'T'}).Then(count);  // none differs on disk
        steps.Keys({VK_DOWN}).Keys({VK_SPACE}).Then(count);
        steps.Keys({VK_TAB}).Then([&] { tabbed = GetFocus(); });
        steps.Keys({VK_MENU, 'P'}).Then([&] { ticked = d.cbNiePytajOZastapienie->Checked(); });
        steps.Keys({VK_MENU, 'B'});
        steps.Start();
        EXPECT_TRUE(RunMessagesUntil([&] { return steps.Done() && d.ModalResult() != mrNone; }))
            << "the keys did not close the dialog";
    });
    main.tevClickableLabel2->Click();
    ASSERT_NE(list, nullptr) << "the dialog did not show";
    EXPECT_EQ(opened, list);
    EXPECT_EQ(checked, (std::vector<int>{6, 0, 1, 0, 1}));
    EXPECT_NE(tabbed, list);
    EXPECT_TRUE(ticked);
    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_EQ(script.shown[1].headline, L"Czy wypakować 1 plik?");
}

// The archive's folder lost, or unknown to the archive: the user restores
// into a folder of his choice, or has the original made again.
TEST_F(Backup, ALostFolderIsRestoredWhereTheUserChooses) {
    const auto original = sample.Contents();
    const std::wstring made = MakeBackup(L"kopia.cab");
    const std::wstring renamed = sample.work + L"inna nazwa.cab";
    CopyFileW(made.c_str(), renamed.c_str(), FALSE);
    const std::wstring foreign = sample.work + L"obca.cab";
    {
        TCABFile cab;
        cab.CABFile = foreign;
        auto& e = cab.CABFileContents.Add();
        e.Name = sample.Path(L"pusty.txt");
        cab.Compress();
    }
    // A renamed archive and one without the information file know no
    // folder: the chooser, cancelled at first (the window stays, nothing
    // written), then a new folder, compared and restored into.
    for (const std::wstring& archive : {renamed, foreign}) {
        SCOPED_TRACE(archive);
        const std::wstring other = sample.root + L"Odtworzone " + FileNamePart(archive);
        CreateDirectoryW(other.c_str(), nullptr);
        ShootingResponder script;
        if (archive == renamed) script.Shoot(L"folder", L"wybor_folderu.png");
        script.Answer(archive);
        WhenContentsShown([&](TeZawartoscArchiwum& d) {
            EXPECT_EQ(d.lbDest->Text(), L"");
            EXPECT_EQ(d.lbKomentarz->Text(), L"");
            for (auto& [key, item] : Listed(d)) EXPECT_FALSE(item.checked);
            script.Cancel();
            Press(d.tevColorButton2);
            ASSERT_EQ(script.shown.back().kind, L"folder");
            EXPECT_EQ(script.shown.back().caption, L"Wybierz folder, do którego wypakować pliki");
            EXPECT_EQ(script.shown.back().headline, L"C:\\");
            EXPECT_TRUE(d.Visible());
            EXPECT_EQ(script.pictures, std::vector<bool>(archive == renamed ? 1 : 0, true));
            script.Answer(other + L"\\");
            Press(d.tevColorButton2);
            EXPECT_EQ(d.lbDest->Text(), other);
            // Compared with the chosen folder: everything is new there.
            for (auto& [key, item] : Listed(d)) EXPECT_NE(item.markup.find(L"<b>nowy plik</b>"), std::wstring::npos);
            script.Answer(1).Answer(1);
            Press(d.tevColorButton2);
        });
        main.tevClickableLabel2->Click();
        EXPECT_EQ(script.shown.back().headline,
                  archive == foreign ? L"Ilość wypakowanych plików: 1" : L"Ilość wypakowanych plików: 6");
        if (archive == renamed) {
            EXPECT_EQ(FolderContents(other), original);
        }
    }

    // The original folder deleted: made again on the user's "Tak", and
    // everything comes back into it.
    RemoveTree(sample.folder);
    ShootingResponder script;
    script.Shoot(L"message", L"folder_nie_istnieje.png");
    script.Answer(made);
    WhenContentsShown([&](TeZawartoscArchiwum& d) {
        EXPECT_EQ(d.lbDest->Text(), sample.folder);
        script.Answer(1);
        Press(d.tevColorButton2);
        // A question in the headline: its buttons are "Tak" and "Nie".
        EXPECT_EQ(script.shown.back().headline,
                  L"Folder docelowy nie istnieje. Utworzyć go od nowa i wypakować pliki tam?");
        EXPECT_EQ(script.shown.back().body, sample.folder + L"\r\nNie: wybierzesz inny folder.");
        EXPECT_TRUE(DirectoryExists(sample.folder));
        EXPECT_EQ(script.pictures, std::vector<bool>{true});
        EXPECT_EQ(CheckedKeys(d).size(), 6u);
        script.Answer(1).Answer(1);
        Press(d.tevColorButton2);
    });
    main.tevClickableLabel2->Click();
    EXPECT_EQ(script.shown.back().headline, L"Ilość wypakowanych plików: 6");
    EXPECT_EQ(sample.Contents(), original);
}

TEST_F(Backup, AFileThatIsNoArchiveIsSaidPlainlyAndNothingIsOffered) {
    const std::wstring bad = sample.work + L"zly.cab";
    WriteBytes(bad, "to nie jest archiwum");
    ScriptedResponder script;
    try {
        ShowBackup(bad);  // raises before the contents window opens
        ADD_FAILURE() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.message().substr(0, f.message().find(L'\r')),
                  L"%Ten plik nie jest archiwum kopii zapasowej albo jest tak uszkodzony, że nie da się go odczytać.");
        EXPECT_NE(f.message().find(bad), std::wstring::npos);
        EXPECT_TRUE(CaptureMessage(AsShown(f.message()), L"nie_archiwum.png"));
    }

    {  // Nothing checked.
        const std::wstring made = MakeBackup(L"kopia.cab");
        ScriptedResponder script;
        script.Answer(made);
        WhenContentsShown([&](TeZawartoscArchiwum& d) { Press(d.tevColorButton2); });
        main.tevClickableLabel2->Click();
        EXPECT_EQ(script.shown.back().headline, L"%Nic nie zaznaczyłeś!");
    }
    {  // A missing file.
        ScriptedResponder script;
        EXPECT_THROW(ShowBackup(sample.work + L"nie ma.cab"), Failure);
        script.Cancel();
        try {
            OpenBackup();
            ADD_FAILURE() << "no failure";
        } catch (const Failure& f) {
            EXPECT_EQ(f.message(), L"Nie wybrano żadnego pliku.");
        }
    }
}

// Damaged data: one summary of what came back and what did not, and why,
// instead of a message for every file.
TEST_F(Backup, ADamagedArchiveEndsInOneSummary) {
    const std::wstring archive = MakeBackup(L"uszkodzona.cab");
    std::string bytes = ReadBytes(archive);
    WriteBytes(archive, bytes.substr(0, bytes.size() * 3 / 4));  // its end lost
    RemoveTree(sample.folder);
    CreateDirectoryW(sample.folder.c_str(), nullptr);

    ShootingResponder script;
    script.Shoot(L"list", L"podsumowanie_wypakowania.png");
    script.Answer(archive);
    WhenContentsShown([&](TeZawartoscArchiwum& d) {
        EXPECT_EQ(CheckedKeys(d).size(), 6u);
        script.Answer(1).Answer(1);
        Press(d.tevColorButton2);
    });
    main.tevClickableLabel2->Click();
    const Shown& summary = script.shown.back();
    ASSERT_EQ(summary.kind, L"list") << summary.headline;
    EXPECT_EQ(summary.caption, L"Wypakowanie plików");
    ASSERT_FALSE(summary.items.empty());
    const size_t restored = sample.Contents().size();
    EXPECT_EQ(restored + summary.items.size(), 6u);
    EXPECT_EQ(summary.headline.substr(0, summary.headline.find(L'.')),
              L"<b>Wypakowane pliki: " + std::to_wstring(restored) + L" z 6");
    for (const std::wstring& line : summary.items) EXPECT_NE(line.find(L" – "), std::wstring::npos) << line;
    // One summary, no message per file.
    EXPECT_EQ(script.shown.size(), 3u);
    EXPECT_EQ(script.pictures, std::vector<bool>{true});
    for (const auto& [path, data] : FolderContents(sample.root))
        EXPECT_EQ(path.find(L"tevtmp"), std::wstring::npos) << path;
}

// Only the archive's own information file is replaced without a question.
TEST_F(Backup, AUserFileNamedLikeTheInformationFileIsAskedAbout) {
    const std::wstring name = L"moja kopia.tev";
    WriteBytes(sample.Path(name), "moje dane");
    const std::wstring archive = MakeBackup(L"kopia.cab");
    WriteBytes(sample.Path(name), "zmienione");
    ShiftWriteTime(sample.Path(name), -1);
    ScriptedResponder script;
    script.Answer(archive);
    WhenContentsShown([&](TeZawartoscArchiwum& d) {
        EXPECT_EQ(CheckedKeys(d), std::vector<std::wstring>{name});
        script.Answer(1).Answer(2).Answer(1);
        Press(d.tevColorButton2);
    });
    main.tevClickableLabel2->Click();
    ASSERT_GE(script.shown.size(), 3u);
    EXPECT_EQ(script.shown[2].headline, L"Czy na pewno zastąpić plik " + sample.Path(name) + L"?");
    EXPECT_TRUE(script.shown[2].message.destructive);
    EXPECT_EQ(ReadBytes(sample.Path(name)), "zmienione");
}

// A folder as users have them: thousands of small files in a few hundred
// subfolders and some large ones, backed up with each compression kind from
// the main window; half of it changed or deleted, then restored with the
// dialog's own choice and compared byte for byte.
TEST_F(Backup, ThousandsOfSmallFilesComeBackByteForByte) {
    const std::wstring folder = sample.root + L"Poczta i ustawienia";
    std::map<std::wstring, std::string> original;
    for (int i = 0; i < 5000; ++i) {
        const std::wstring dir = L"skrzynka " + std::to_wstring(i / 50);
        const std::wstring name = dir + L"\\wiadomość " + std::to_wstring(i) + (i % 7 ? L".ini" : L".eml");
        std::string text = "[wpis " + std::to_string(i) + "]\r\n";
        text += i % 3 ? "kolor=zielony\r\n" : Noise(static_cast<size_t>(i % 400), static_cast<uint32_t>(i + 1));
        original[name] = text;
    }
    original[L"duże\\archiwum poczty.bin"] = Noise(3 << 20, 7);
    std::string ledger;
    for (int i = 0; ledger.size() < (2u << 20); ++i) ledger += "Faktura " + std::to_string(i) + "; kwota " + std::to_string(i * 37 % 9973) + " zł\r\n";
    original[L"duże\\księga.txt"] = ledger;
    original[L"duże\\pusty.dat"] = "";
    std::filesystem::create_directories(std::filesystem::path(folder) / L"duże");
    for (int d = 0; d < 100; ++d)
        std::filesystem::create_directories(std::filesystem::path(folder) / (L"skrzynka " + std::to_wstring(d)));
    for (const auto& [name, bytes] : original) WriteBytes(folder + L"\\" + name, bytes);
    ASSERT_EQ(FolderContents(folder), original);

    struct Kind {
        const wchar_t* archive;
        std::vector<int> answers;
        CabMethod method;
    } kinds[] = {
        {L"wiele lzx.cab", {1}, CabMethod::Lzx},
        {L"wiele mszip.cab", {2, 1}, CabMethod::Mszip},
        {L"wiele bez.cab", {2, 2}, CabMethod::None},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.archive);
        DeleteFileW(InfoFilePath().c_str());
        const std::wstring archive = sample.work + kind.archive;
        {
            ScriptedResponder script;
            ScriptBackup(script, archive, kind.answers, folder);
            main.tevClickableLabel3->Click();
            ASSERT_EQ(script.shown.back().headline, L"Wykonałem kopię zapasową.");
            EXPECT_NE(script.shown[2].body.find(L"w sumie 5003 pliki."), std::wstring::npos);
        }
        TCABFile cab;
        cab.CABFile = archive;
        cab.ReadContents();
        ASSERT_EQ(cab.CABFileContents.Count(), 5004);
        EXPECT_EQ(cab.ArchiveCompression().method, kind.method);

        // Half of it changed: every fourth file deleted, every fourth
        // rewritten and dated a day back (the archive's copy is newer), a
        // whole subfolder gone, the large text shortened.
        std::set<std::wstring> changed;
        int n = 0;
        for (const auto& [name, bytes] : original) {
            const std::wstring path = folder + L"\\" + name;
            switch (n++ % 4) {
            case 0:
                DeleteFileW(path.c_str());
                changed.insert(name);
                break;
            case 1:
                WriteBytes(path, "zmienione " + std::to_string(n));
                ShiftWriteTime(path, -1);
                changed.insert(name);
                break;
            default:
                if (name.starts_with(L"skrzynka 7\\")) changed.insert(name);
                break;
            }
        }
        RemoveTree(folder + L"\\skrzynka 7");
        WriteBytes(folder + L"\\duże\\księga.txt", ledger.substr(0, 1000));
        ShiftWriteTime(folder + L"\\duże\\księga.txt", -1);
        changed.insert(L"duże\\księga.txt");
        const size_t expected = changed.size();
        ASSERT_GE(expected * 2, original.size());

        ScriptedResponder script;
        script.Answer(archive);
        WhenContentsShown([&](TeZawartoscArchiwum& d) {
            EXPECT_EQ(d.lbDest->Text(), folder);
            EXPECT_EQ(CheckedKeys(d).size(), expected);
            d.cbNiePytajOZastapienie->SetChecked(true);
            script.Answer(1).Answer(1);
            Press(d.tevColorButton2);
        });
        main.tevClickableLabel2->Click();
        EXPECT_EQ(script.shown.back().headline, L"Ilość wypakowanych plików: " + std::to_wstring(expected));
        const auto restored = FolderContents(folder);
        EXPECT_EQ(restored.size(), original.size());
        int differing = 0;
        for (const auto& [name, bytes] : original) {
            auto found = restored.find(name);
            if (found != restored.end() && found->second == bytes) continue;
            if (++differing <= 5) ADD_FAILURE() << "not as backed up: " << WideToUtf8(name);
        }
        EXPECT_EQ(differing, 0);
        for (const auto& [name, bytes] : FolderContents(sample.root))
            ASSERT_EQ(name.find(L"tevtmp"), std::wstring::npos) << name;
    }
}

}  // namespace
