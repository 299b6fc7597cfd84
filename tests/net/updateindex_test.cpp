// The update index and the texts of the update wizard.
#include "net/updateindex.h"

#include <gtest/gtest.h>

#include "util/calendar.h"
#include "util/datetext.h"
#include "util/textmarkup.h"

namespace {

TEST(UpdateIndex, SectionsKeysAndProductLinesInAnyCase) {
    // Windows-1250: "Wersja dla Ciebie: żółć" in the information text.
    const std::string bytes =
        "; komentarz\r\n"
        "[INFORMACJA]\r\n"
        "informacja = Wersja dla Ciebie: \xBF\xF3\xB3\xE6  Druga linia\r\n"
        "[-Serwery]\r\n"
        "Lustro 1=lustro.tev.pl\r\n"
        "Zly=evil.example\r\n"
        "[archiwin]\r\n"
        "<info>=Aktualizacje z grudnia\r\n"
        "setup.exe=2.1;Instalator;pliki/setup.exe\r\n"
        "; nie plik\r\n"
        "pomoc.hlp=3;Pomoc;pliki/pomoc.hlp\n"
        "[Archiwin]\r\n"
        "drugi.txt=1;drugi raz;x\r\n"
        "[Inny]\r\n"
        "inny.exe=1;2;3\r\n";
    const UpdateIndex index = ParseUpdateIndex(bytes, L"Archiwin");
    EXPECT_EQ(index.information, L"Wersja dla Ciebie: żółć  Druga linia");
    ASSERT_EQ(index.servers.size(), 2u);
    EXPECT_EQ(index.servers[0].first, L"Lustro 1");
    EXPECT_EQ(index.servers[0].second, L"lustro.tev.pl");
    const std::vector<std::wstring> lines = {L"<info>=Aktualizacje z grudnia", L"setup.exe=2.1;Instalator;pliki/setup.exe",
                                             L"pomoc.hlp=3;Pomoc;pliki/pomoc.hlp"};
    EXPECT_EQ(index.productLines, lines);

    const UpdateIndex utf8 = ParseUpdateIndex("\xEF\xBB\xBF[Informacja]\nInformacja=\xC5\xBC\xC3\xB3\xC5\x82w\n", L"X");
    EXPECT_EQ(utf8.information, L"żółw");
    EXPECT_TRUE(ParseUpdateIndex("<html>404 Not Found</html>", L"Archiwin").information.empty());
}

TEST(UpdateIndex, InformationTextBreaksAtDoubleSpaces) {
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"Linia 1  Linia 2", L"Linia 1\r\nLinia 2"},
        {L"a     b", L"a\r\nb"},
        {L"a  b    c", L"a\r\nb\r\nc"},
        {L"jedna spacja zostaje", L"jedna spacja zostaje"},
        {L"a  \r\n  b", L"a\r\nb"},
    };
    for (const auto& c : cases) EXPECT_EQ(PrepareInformationText(c.in), c.out) << c.in;
}

TEST(UpdateIndex, MirrorsMustBeHostsUnderPl) {
    const struct {
        const wchar_t* value;
        const wchar_t* hidden;  // nullptr: not offered
    } cases[] = {
        {L"lustro.tev.pl", L"lustro.tev.pl"},
        {L" LUSTRO.Tev.PL ", L"lustro.tev.pl"},
        {L"http://lustro.tev.pl/", L"lustro.tev.pl"},
        {L"https://lustro.tev.pl", L"https://lustro.tev.pl"},
        {L"evil.example", nullptr},
        {L"x.pl.evil.example", nullptr},
        {L"evil.example/x.pl", nullptr},
        {L"evil.example?.pl", nullptr},
        {L"user@lustro.tev.pl", nullptr},
        {L"lustro.tev.pl:8080", nullptr},
        {L"ftp://lustro.tev.pl", nullptr},
        {L"lustro tev.pl", nullptr},
        {L".pl", nullptr},
        {L"", nullptr},
    };
    for (const auto& c : cases) {
        const auto m = UsableMirror(c.value);
        if (!c.hidden) {
            EXPECT_FALSE(m) << c.value;
            continue;
        }
        ASSERT_TRUE(m) << c.value;
        EXPECT_EQ(m->Hidden(), c.hidden);
    }
    const auto m = UsableMirror(L"lustro.tev.pl");
    const std::wstring entry = ServerEntryMarkup(L"Lustro", *m);
    EXPECT_EQ(entry, L"Lustro         lustro.tev.pl" + std::wstring(42, L' ') + L"<z>lustro.tev.pl</z>");
    EXPECT_EQ(HiddenData(entry), L"lustro.tev.pl");
}

TEST(UpdateIndex, FileLinesNeedAllFourFields) {
    const struct {
        const wchar_t* line;
        const wchar_t* name;  // nullptr: ignored
        const wchar_t* version;
        const wchar_t* description;
        const wchar_t* path;
    } cases[] = {
        {L"setup.exe=2.1;Nowa wersja;pliki/setup.exe", L"setup.exe", L"2.1", L"Nowa wersja", L"pliki/setup.exe"},
        {L" a.txt = 1 ; opis ; p/a.txt ", L"a.txt", L"1", L"opis", L"p/a.txt"},
        {L"a=b=c;d;e", L"a", L"b", L"c", L"d"},
        {L"a.txt=1;opis", nullptr, nullptr, nullptr, nullptr},
        {L"a.txt=1;;p", nullptr, nullptr, nullptr, nullptr},
        {L"=1;opis;p", nullptr, nullptr, nullptr, nullptr},
        {L"a.txt", nullptr, nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const auto f = SplitFileLine(c.line);
        if (!c.name) {
            EXPECT_FALSE(f) << c.line;
            continue;
        }
        ASSERT_TRUE(f) << c.line;
        EXPECT_EQ(f->name, c.name);
        EXPECT_EQ(f->version, c.version);
        EXPECT_EQ(f->description, c.description);
        EXPECT_EQ(f->path, c.path);
    }
    EXPECT_EQ(InfoLineValue(L"<INFO>=Nowości"), L"Nowości");
    EXPECT_FALSE(InfoLineValue(L"info=x"));
}

TEST(UpdateIndex, OnlyPlainFileNamesBesideTheProgram) {
    const struct {
        const wchar_t* name;
        LocalNameVerdict verdict;
    } cases[] = {
        {L"setup.exe", LocalNameVerdict::Ok},
        {L"Pomoc do programu.hlp", LocalNameVerdict::Ok},
        {L"Kopia setup.exe", LocalNameVerdict::Ok},
        {L"..\\..\\x.exe", LocalNameVerdict::Unsafe},
        {L"../x.exe", LocalNameVerdict::Unsafe},
        {L"C:\\Users\\a\\Start Menu\\Programs\\Startup\\x.exe", LocalNameVerdict::Unsafe},
        {L"c:x.exe", LocalNameVerdict::Unsafe},
        {L"\\\\serwer\\x.exe", LocalNameVerdict::Unsafe},
        {L"setup.exe:strumien", LocalNameVerdict::Unsafe},
        {L"..", LocalNameVerdict::Unsafe},
        {L".htaccess", LocalNameVerdict::Unsafe},
        {L"a..b", LocalNameVerdict::Unsafe},
        {L"x.exe.", LocalNameVerdict::Unsafe},
        {L"x.exe ", LocalNameVerdict::Unsafe},
        {L"*.exe", LocalNameVerdict::Unsafe},
        {L"ARCHIW~1.EXE", LocalNameVerdict::Unsafe},
        {L"CON", LocalNameVerdict::Unsafe},
        {L"nul.txt", LocalNameVerdict::Unsafe},
        {L"com1.exe", LocalNameVerdict::Unsafe},
        {L"LPT9", LocalNameVerdict::Unsafe},
        {L"a\tb", LocalNameVerdict::Unsafe},
        {L"com10.exe", LocalNameVerdict::Ok},
        {L"A.TEV", LocalNameVerdict::OwnFiles},
        {L"aa.rap", LocalNameVerdict::OwnFiles},
        {L"ARCHIWIN.exe", LocalNameVerdict::OwnProgram},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckLocalName(c.name, L"archiwin.exe"), c.verdict) << c.name;
    EXPECT_EQ(CheckLocalName(std::wstring(201, L'a'), L"archiwin.exe"), LocalNameVerdict::Unsafe);

    for (const wchar_t* module : {L"version.dll", L"UXTHEME.DLL", L"x.ocx", L"archiwin.exe.manifest", L"archiwin.exe.local"})
        EXPECT_TRUE(IsLoadableModule(module)) << module;
    for (const wchar_t* plain : {L"setup.exe", L"pomoc.hlp", L"dll.txt"}) EXPECT_FALSE(IsLoadableModule(plain)) << plain;
    EXPECT_TRUE(IsExecutableName(L"SETUP.EXE"));
    EXPECT_FALSE(IsExecutableName(L"setup.exe.txt"));
}

TEST(UpdateIndex, FreshnessAgainstTheLastUpdateDay) {
    const UpdateFileLine line{L"setup.exe", L"2.1", L"Instalator", L"p/setup.exe"};
    const DateTimeValue day = *EncodeDate(2026, 12, 1);
    const std::wstring tail = L"<br><b>setup.exe</b> (2.1)<br>Instalator";
    EXPECT_EQ(UpdateItemMarkup(line, 0, day), tail);
    EXPECT_EQ(UpdateItemMarkup(line, day, day), L"(już było ściągnięte)<br>" + LongDateText(day) + tail);
    EXPECT_EQ(UpdateItemMarkup(line, day + 0.25, day), L"<b><u>NOWE!</u></b><br>" + LongDateText(day + 0.25) + tail);
    EXPECT_EQ(UpdateItemMarkup(line, day - 3, 0), L"<b><u>NOWE!</u></b><br>" + LongDateText(day - 3) + tail);
}

TEST(UpdateIndex, LastUpdateDayAndStatus) {
    EXPECT_EQ(ParseLastUpdateDay(L"46366"), 46366);
    for (const wchar_t* never : {L"", L"abc", L"12a", L"-5", L"46366.5", L"99999999"})
        EXPECT_EQ(ParseLastUpdateDay(never), 0) << never;
    const DateTimeValue today = *EncodeDate(2026, 12, 10);
    EXPECT_EQ(LastUpdateStatus(0, today), L"<b>Jeszcze nigdy nie aktualizowałeś programu.</b> Zrób to teraz.");
    EXPECT_EQ(LastUpdateStatus(today - 1, today),
              L"Ostatni raz <b>aktualizowałeś program </b> - 9 grudnia 2026 (środa), czyli <b>wczoraj.</b>");
}

TEST(UpdateIndex, ProgressInKilobytesOfAThousandBytes) {
    const DateTimeValue tenSeconds = 10.0 / 86400;
    const std::wstring text = DownloadProgressText(500000, 1000000, tenSeconds);
    EXPECT_EQ(text.substr(0, text.find(L"\r\n")), L"500,000 kB z 1000,000 kB");
    EXPECT_EQ(text.substr(text.find(L"\r\n") + 2),
              DurationText(tenSeconds) + L" z " + DurationText(tenSeconds * 1000000 / 500001));
    EXPECT_EQ(DownloadProgressText(1500, -1, tenSeconds), L"1,500 kB\r\n" + DurationText(tenSeconds));
}

TEST(UpdateIndex, RunOnceCommandQuotesBothPaths) {
    EXPECT_EQ(RunOnceCommand(L"c:\\program files\\tev\\setup.exe", L"c:\\program files\\tev\\"),
              L"\"c:\\program files\\tev\\setup.exe\" -o \"c:\\program files\\tev\\\\\"");
    EXPECT_EQ(RunOnceCommand(L"d:\\a\\setup.exe", L"d:\\a"), L"\"d:\\a\\setup.exe\" -o \"d:\\a\"");
}

TEST(UpdateIndex, KeptCopyAndItsShortcut) {
    EXPECT_EQ(KeptCopyName(L"226.12.10.1", L"archiwin.exe"), L"_AA_226.12.10.1_archiwin.exe");
    EXPECT_EQ(KeptCopyShortcut(L"Archiwin", *EncodeDate(2026, 12, 10)),
              L"Tevsoft\\Zachowane\\Archiwin (sprzed aktualizacji 10 grudnia 2026).lnk");
}

TEST(UpdateIndex, DownloadFolder) {
    const std::wstring program = L"c:\\program files\\tev\\", desktop = L"C:\\Users\\Ala\\Pulpit\\",
                       documents = L"C:\\Users\\Ala\\Dokumenty\\", own = L"C:\\Users\\Ala\\AppData\\Local\\TEV\\Archiwin\\";
    EXPECT_EQ(ChooseUpdateDir(program, desktop, documents, true, own), program);
    EXPECT_EQ(ChooseUpdateDir(L"c:\\users\\ala\\pulpit", desktop, documents, true, own), documents);
    EXPECT_EQ(ChooseUpdateDir(program, desktop, documents, false, own), own);
    EXPECT_EQ(ChooseUpdateDir(L"d:\\archiwin", desktop, documents, true, own), L"d:\\archiwin\\");
}

TEST(UpdateIndex, NotificationLines) {
    DownloadNotice n;
    n.product = L"Archiwin";
    n.fileName = L"setup.exe";
    n.serverPath = L"pliki/setup.exe";
    n.received = 123456;
    n.announced = 123456;
    n.duration = 3.0 / 86400;
    n.programVersion = L"226.12.10.1";
    n.status = L"Ostatni raz aktualizowałeś program - wczoraj.\r\n";
    n.windowsVersion = L"22H2";
    n.windowsVersionNumber = L"10.0.19045";
    n.plusVersionNumber = L"?";
    n.windowsProductName = L"Windows 10 Pro";
    EXPECT_EQ(NoticeSubject(n), L"Archiwin: Pobrano plik setup.exe (pliki/setup.exe)");
    const std::vector<std::wstring> body = NoticeBody(n);
    const std::vector<std::wstring> expected = {
        L"pobrano setup.exe z pliki/setup.exe (123456)",
        L"Archiwin 226.12.10.1",
        L"-",
        L"Ostatni raz aktualizowałeś program - wczoraj.",
        L"-",
        L"120,6 kB, " + DurationText(n.duration),
        L"-",
        L"Version: 22H2",
        L"VersionNumber: 10.0.19045",
        L"Plus! VersionNumber: ?",
        L"ProductName: Windows 10 Pro",
    };
    EXPECT_EQ(body, expected);
}

}  // namespace
